#include "editing/celleditrules.h"

#include <gtest/gtest.h>

namespace flr {
namespace {

// The caret at the end, nothing selected.
CellEditState At(const std::string& text, int caret = -1)
{
    CellEditState s;
    s.text = text;
    s.caret = caret < 0 ? static_cast<int>(text.size()) : caret;
    s.selStart = s.caret;
    return s;
}

CellEditState Selected(const std::string& text, int start, int length)
{
    CellEditState s = At(text, start + length);
    s.selStart = start;
    s.selLength = length;
    return s;
}

// Types `keys` into an empty time editor as the widget does, or stops at the first key that
// is not accepted; returns the text and whether all went in.
std::pair<std::string, bool> TypeTime(const std::string& keys, int fps)
{
    CellEditState s;
    for (char k : keys) {
        const TimeKeyResult r = TimeKey(s, k, fps);
        if (r.verdict != KeyVerdict::Accept) return {s.text, false};
        s.text += k;
        if (r.insertColon) s.text += ':';
        s.caret = s.selStart = static_cast<int>(s.text.size());
    }
    return {s.text, true};
}

TEST(DelayRules, OneSeparatorAtMostTwoDecimalsAndNormalisation)
{
    EXPECT_EQ(DelayKey(At("1.5"), ','), KeyVerdict::Refuse);
    EXPECT_EQ(DelayKey(Selected("1.5", 1, 1), ','), KeyVerdict::Accept);  // covers it
    EXPECT_EQ(DelayKey(Selected("1.5", 2, 1), '.'), KeyVerdict::Refuse);
    EXPECT_EQ(DelayKey(Selected("1.5", 0, 3), '.'), KeyVerdict::Accept);
    EXPECT_EQ(DelayKey(At("1.25"), '3'), KeyVerdict::Refuse);
    EXPECT_EQ(DelayKey(At("1.25", 1), '3'), KeyVerdict::Accept);  // left of the separator
    EXPECT_EQ(DelayKey(Selected("1.25", 3, 1), '3'), KeyVerdict::Accept);
    EXPECT_EQ(DelayKey(At("1.2"), '3'), KeyVerdict::Accept);
    EXPECT_EQ(DelayKey(At("1"), 'a'), KeyVerdict::Refuse);
    EXPECT_EQ(DelayKey(At(""), kBackspaceKey), KeyVerdict::Refuse);
    EXPECT_EQ(DelayKey(At("1"), kBackspaceKey), KeyVerdict::Accept);

    // A typed delay is normalised; what could only have been pasted is not a delay.
    EXPECT_EQ(NormaliseDelay("007.5"), "7.50");
    EXPECT_EQ(NormaliseDelay("."), "0.00");
    EXPECT_EQ(NormaliseDelay(",5"), "0,50");
    EXPECT_EQ(NormaliseDelay("5."), "5.00");
    EXPECT_EQ(NormaliseDelay("12"), "12.00");
    EXPECT_EQ(NormaliseDelay("00"), "0.00");
    EXPECT_EQ(NormaliseDelay(""), std::nullopt);
    EXPECT_EQ(NormaliseDelay("1..2"), std::nullopt);  // pasted, not typed
    EXPECT_EQ(NormaliseDelay("1a"), std::nullopt);
}

TEST(TimeRules, FramesByRateAndCompletion)
{
    EXPECT_TRUE(TypeTime("00000024", 25).second);
    EXPECT_FALSE(TypeTime("00000025", 25).second);
    EXPECT_TRUE(TypeTime("00000029", 30).second);
    EXPECT_TRUE(TypeTime("00000023", 24).second);
    EXPECT_FALSE(TypeTime("00000024", 24).second);
    EXPECT_FALSE(TypeTime("0000003", 30).second);  // tens of frames 0 to 2
    EXPECT_FALSE(TypeTime("006", 25).second);      // tens of minutes 0 to 5
    EXPECT_FALSE(TypeTime("00006", 25).second);    // tens of seconds
    EXPECT_EQ(TypeTime("01020304", 25).first, "01:02:03:04");

    // An incomplete time is completed with zeros.
    EXPECT_EQ(CompleteTimeCode("01:02"), "01:02:00:00");
    EXPECT_EQ(CompleteTimeCode("5"), "50:00:00:00");
    EXPECT_EQ(CompleteTimeCode("01:02:03:04"), "01:02:03:04");
    EXPECT_EQ(CompleteTimeCode("01:"), "01:00:00:00");
    EXPECT_EQ(CompleteTimeCode(""), std::nullopt);
    EXPECT_EQ(CompleteTimeCode("0102"), std::nullopt);
    EXPECT_EQ(CompleteTimeCode("01:02:0304"), std::nullopt);
    EXPECT_EQ(CompleteTimeCode("ab:cd:ef:gh"), std::nullopt);
}

TEST(TimeRules, PositionsColonsAndBackspace)
{
    EXPECT_EQ(TimeKey(At("01"), ':', 25).verdict, KeyVerdict::Accept);
    EXPECT_EQ(TimeKey(At("01"), '5', 25).verdict, KeyVerdict::Refuse);
    EXPECT_EQ(TimeKey(At("0"), ':', 25).verdict, KeyVerdict::Refuse);
    EXPECT_EQ(TimeKey(At("01:02:03:04"), '1', 25).verdict, KeyVerdict::Ignore);
    // With everything selected only a digit starts over.
    EXPECT_EQ(TimeKey(Selected("01:02:03:04", 0, 11), '7', 25).verdict, KeyVerdict::Accept);
    EXPECT_EQ(TimeKey(Selected("01:02:03:04", 0, 11), ':', 25).verdict, KeyVerdict::Refuse);
    EXPECT_EQ(TimeKey(Selected("01:02:03:04", 0, 11), kBackspaceKey, 25).verdict,
              KeyVerdict::Refuse);
    // The digit and its colon go together.
    EXPECT_TRUE(TimeKey(At("01:"), kBackspaceKey, 25).doubleBackspace);
    EXPECT_TRUE(TimeKey(At("01:02:03:"), kBackspaceKey, 25).doubleBackspace);
    EXPECT_FALSE(TimeKey(At("01:0"), kBackspaceKey, 25).doubleBackspace);
    EXPECT_EQ(TimeKey(At(""), kBackspaceKey, 25).verdict, KeyVerdict::Refuse);
    // No second colon where one follows already.
    EXPECT_FALSE(TimeKey(At("0:02", 1), '1', 25).insertColon);
}

TEST(AddressAndDigitRules, KeysAndTheSendRule)
{
    EXPECT_EQ(AddressKey(At(""), 'b'), KeyVerdict::Accept);
    EXPECT_EQ(AddressKey(At("B"), 'C'), KeyVerdict::Refuse);
    EXPECT_EQ(AddressKey(At("B1", 0), 'C'), KeyVerdict::Accept);
    EXPECT_EQ(AddressKey(At(""), '1'), KeyVerdict::Refuse);
    EXPECT_EQ(AddressKey(Selected("B12", 0, 3), '1'), KeyVerdict::Refuse);
    EXPECT_EQ(AddressKey(At("B"), ' '), KeyVerdict::Accept);
    EXPECT_EQ(AddressKey(At("B1"), ' '), KeyVerdict::Refuse);
    EXPECT_EQ(AddressKey(Selected("B", 0, 1), ' '), KeyVerdict::Refuse);
    EXPECT_EQ(AddressKey(At("B"), '7'), KeyVerdict::Accept);
    EXPECT_EQ(AddressKey(At("B "), '0'), KeyVerdict::Refuse);
    EXPECT_EQ(AddressKey(At("B0"), '0'), KeyVerdict::Refuse);
    EXPECT_EQ(AddressKey(At("B0"), '9'), KeyVerdict::Accept);
    EXPECT_EQ(AddressKey(At("B3"), '2'), KeyVerdict::Accept);
    EXPECT_EQ(AddressKey(At("B3"), '3'), KeyVerdict::Refuse);
    EXPECT_EQ(AddressKey(At("B4"), '0'), KeyVerdict::Refuse);
    EXPECT_EQ(AddressKey(At("B"), '-'), KeyVerdict::Refuse);
    EXPECT_EQ(AddressKey(At("Z"), '5'), KeyVerdict::Accept);  // bank Z is kept

    // Sent only as a letter and a number.
    EXPECT_EQ(AddressToSend("B7"), "B7");
    EXPECT_EQ(AddressToSend("B 7"), "B 7");
    EXPECT_EQ(AddressToSend("B"), std::nullopt);
    EXPECT_EQ(AddressToSend("17"), std::nullopt);
    EXPECT_EQ(AddressToSend(""), std::nullopt);
    // Plain digit cells.
    EXPECT_EQ(DigitKey(At("12"), '3'), KeyVerdict::Accept);
    EXPECT_EQ(DigitKey(At("12"), '.'), KeyVerdict::Refuse);
    EXPECT_EQ(DigitKey(At(""), kBackspaceKey), KeyVerdict::Refuse);
}

}  // namespace
}  // namespace flr
