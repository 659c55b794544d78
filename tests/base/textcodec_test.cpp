#include "base/textcodec.h"

#include <gtest/gtest.h>

namespace flr {

TEST(TextCodec, Cp1252RoundTripsEveryByteAndTheRestBecomesQuestionMarks)
{
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Cp1252ToUtf8("Caf\xE9 \x80 \x93x\x94"), "Caf\u00e9 \u20ac \u201cx\u201d");

    // What Windows-1252 cannot hold, or is no UTF-8, becomes question marks.
    EXPECT_EQ(Utf8ToCp1252("\u65e5\u672c"), "??");
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");      // cut short
    EXPECT_EQ(Utf8ToCp1252("a\xC3(b"), "a?(b");  // bad continuation
    EXPECT_EQ(Utf8ToCp1252("\xFF\xFE"), "??");
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x8E\x86"), "?");  // fireworks emoji
}

}  // namespace flr
