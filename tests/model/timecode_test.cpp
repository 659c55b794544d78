#include "model/timecode.h"

#include <gtest/gtest.h>

#include <limits>

namespace flr {
namespace {

std::string Subtract(const char* text, double seconds, int fps)
{
    std::string out = "untouched";
    const CTimeCode value = SubtractSeconds(text, seconds, fps, out);
    if (!value.IsValid()) return "invalid";
    EXPECT_EQ(FormatTimeCode(value), out);
    return out;
}

std::string Parts(const TimeCodeParts& p) { return FormatTimeCodeParts(p); }

std::string Parse(const char* text)
{
    const auto parts = ParseTimeCode(text);
    return parts ? Parts(*parts) : "none";
}

TEST(TimeCode, FormatsAndParses)
{
    EXPECT_EQ(FormatTimeCode(CTimeCode()), "00:00:00:00");
    EXPECT_EQ(FormatTimeCode(CTimeCode::FromParts(1, 2, 3, 4)), "01:02:03:04");
    EXPECT_EQ(FormatTimeCode(CTimeCode::FromParts(200, 0, 0, 0)), "200:00:00:00");

    EXPECT_EQ(Parse("1:2:3:4"), "01:02:03:04");
    EXPECT_EQ(Parse(" 01: 02:03:24 trailing"), "01:02:03:24");  // as "%d" reads: spaces skipped
    EXPECT_EQ(Parse("01:02:03"), "none");
    EXPECT_EQ(Parse("01 :02:03:04"), "none");  // the colon must follow the number
    EXPECT_EQ(Parse("aa:bb:cc:dd"), "none");
    EXPECT_EQ(Parse(""), "none");
    // Saturates instead of overflowing.
    EXPECT_EQ(Parse("99999999999999:0:0:0"),
              std::to_string(std::numeric_limits<int>::max()) + ":00:00:00");
}

TEST(TimeCode, NonsenseSecondsCountAsZeroAndANonsenseFrameRateAs25)
{
    EXPECT_EQ(SecondsToTimeCodeText(-3.0, 25), "00:00:00:00");
    EXPECT_EQ(SecondsToTimeCodeText(std::numeric_limits<double>::quiet_NaN(), 25), "00:00:00:00");
    // Huge values stay defined (the hours byte wraps) instead of overflowing an int.
    EXPECT_NO_FATAL_FAILURE(SecondsToTimeCodeText(1e300, 25));
    EXPECT_EQ(Subtract("00:00:01:00", std::numeric_limits<double>::infinity(), 25), "invalid");
    // A nonsense frame rate counts as 25.
    EXPECT_EQ(SecondsToTimeCodeText(1.0, 0), "00:00:01:00");
    EXPECT_EQ(DifferenceText("00:00:00:00", "00:00:01:00", -3), "1.00");
    EXPECT_EQ(AddTimeCodeTexts("00:00:00:00", "00:00:01:00", 0), "00:00:01:00");
    EXPECT_EQ(Parts(DelayToParts("0.50", 0)), "00:00:00:12");
}

TEST(TimeCode, AdditionCarriesAndSubtractionBorrowsLosingNoFrameToBinary)
{
    EXPECT_EQ(AddTimeCodeTexts("00:00:00:20", "00:00:00:10", 25), "00:00:01:05");
    EXPECT_EQ(AddTimeCodeTexts("00:00:00:20", "00:00:00:10", 30), "00:00:01:00");
    EXPECT_EQ(AddTimeCodeTexts("00:59:59:24", "00:00:00:01", 25), "01:00:00:00");
    EXPECT_EQ(AddTimeCodeTexts("98:59:59:24", "00:00:00:01", 25), "00:00:00:00");
    EXPECT_EQ(AddTimeCodeTexts("98:00:00:00", "00:59:59:29", 30), "98:59:59:29");
    EXPECT_EQ(AddTimeCodeTexts("50:00:00:00", "49:00:00:00", 25), "00:00:00:00");
    EXPECT_EQ(FormatTimeCode(AddSeconds(CTimeCode::FromParts(0, 0, 1, 20), 0.2, 25)),
              "00:00:02:00");
    EXPECT_EQ(FormatTimeCode(AddSeconds(CTimeCode::FromParts(0, 0, 59, 0), 1.99, 30)),
              "00:01:01:00");

    // Subtraction borrows at exact minutes and hours and loses no frame to binary.
    EXPECT_EQ(Subtract("00:02:10:05", 60.0, 25), "00:01:10:05");
    EXPECT_EQ(Subtract("00:01:00:00", 60.0, 25), "00:00:00:00");
    EXPECT_EQ(Subtract("02:00:00:00", 3600.0, 30), "01:00:00:00");
    EXPECT_EQ(Subtract("01:30:20:10", 3600.0, 25), "00:30:20:10");
    EXPECT_EQ(Subtract("00:59:59:24", 3600.0, 25), "invalid");
    EXPECT_EQ(Subtract("01:00:00:00", 0.04, 25), "00:59:59:24");  // borrows through every field
    EXPECT_EQ(Subtract("01:01:01:01", 3661.0, 30), "00:00:00:01");
    EXPECT_EQ(Subtract("00:00:00:00", 0.0, 25), "00:00:00:00");
    // 0.2 s is 4.999... frames at 25 fps in binary; it still stands for 5.
    EXPECT_EQ(Subtract("00:00:10:00", 1.2, 25), "00:00:08:20");
    EXPECT_EQ(Subtract("00:00:10:00", 0.1, 30), "00:00:09:27");
}

TEST(TimeCode, AddingThePrefireSpanUndoesItsSubtractionExactly)
{
    for (int fps : {25, 30}) {
        for (int hundredths = 0; hundredths <= 6000; hundredths += 7) {
            const double prefire = hundredths / 100.0;
            const CTimeCode target = CTimeCode::FromParts(0, 2, 3, 4);
            const std::string time =
                AddTimeCodeTexts(FormatTimeCode(target), PrefireToTimeCodeText(prefire, fps), fps);
            const CTimeCode back =
                SubtractPrefire(CTimeCode::FromParts(*ParseTimeCode(time)), prefire, fps);
            ASSERT_EQ(back, target) << prefire << " s at " << fps;
        }
    }
}

TEST(TimeCode, DifferenceAndDelayTexts)
{
    EXPECT_EQ(DifferenceText("00:00:01:00", "00:00:00:15", 25), "-0.40");
    EXPECT_EQ(DifferenceText("00:00:00:00", "00:00:02:00", 25), "2.00");
    EXPECT_EQ(DifferenceText("00:00:00:00", "00:00:00:01", 30), "0.03");
    EXPECT_EQ(DifferenceText("00:00:00:00", "01:02:05:00", 25), "3725.00");
    EXPECT_EQ(DifferenceText("00:00:03:00", "00:00:03:00", 25), "0.00");
    // Delay texts split into fields.
    EXPECT_EQ(Parts(DelayToParts("1.99", 30)), "00:00:01:29");
    EXPECT_EQ(Parts(DelayToParts("3725,00", 25)), "01:02:05:00");
    EXPECT_EQ(Parts(DelayToParts("0.50", 25)), "00:00:00:12");
    EXPECT_EQ(Parts(DelayToParts("0.50", 30)), "00:00:00:15");
    EXPECT_EQ(Parts(DelayToParts("120.04", 25)), "00:02:00:01");
    EXPECT_EQ(Parts(DelayToParts(".25", 25)), "00:00:00:06");
    EXPECT_EQ(Parts(DelayToParts("1,5.25", 25)), "00:00:01:06");  // the first "." wins
    // Short or missing decimals are read as zeros, never past the end of the text.
    EXPECT_EQ(Parts(DelayToParts("7.5", 25)), "00:00:07:12");
    EXPECT_EQ(Parts(DelayToParts("7", 25)), "00:00:07:00");
    EXPECT_EQ(Parts(DelayToParts("", 25)), "00:00:00:00");
    // A delay never runs backwards: a negative one reads as none.
    EXPECT_EQ(Parts(DelayToParts("-12.40", 25)), "00:00:00:00");
    EXPECT_EQ(Parts(DelayToParts("-0.04", 25)), "00:00:00:00");
    EXPECT_EQ(Parts(DelayToParts(" +1.50", 25)), "00:00:01:12");
}

}  // namespace
}  // namespace flr
