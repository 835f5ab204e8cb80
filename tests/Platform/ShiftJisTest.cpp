#include "Platform/ShiftJis.h"

#include <gtest/gtest.h>

TEST(ShiftJis, RoundTripsJapaneseWithBackslashTrailByte)
{
    // "表" is 0x95 0x5C: its trail byte is the backslash.
    const std::string sjis = "\x95\x5C\x8E\xA6";
    const auto utf8 = ShiftJisToUtf8(sjis);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(*utf8, "表示");
    EXPECT_EQ(Utf8ToShiftJis(*utf8), sjis);
}

TEST(ShiftJis, RefusesWhatCannotBeHeld)
{
    EXPECT_FALSE(Utf8ToShiftJis("emoji \xF0\x9F\x98\x80"));
    EXPECT_FALSE(Utf8ToShiftJis("\xFF bad utf8"));
    EXPECT_FALSE(ShiftJisToUtf8("\x81")); // a lead byte without its trail
    EXPECT_EQ(ShiftJisToUtf8(""), std::string());
    EXPECT_EQ(ShiftJisCharLength(0x95), 2);
    EXPECT_EQ(ShiftJisCharLength('A'), 1);
    EXPECT_EQ(ShiftJisCharLength(0xB1), 1); // half-width katakana
}

TEST(ShiftJis, CutCountsShiftJisBytesAndNeverSplits)
{
    EXPECT_EQ(CutToShiftJisBytes("abc", 2), "ab");
    EXPECT_EQ(CutToShiftJisBytes("a表示", 4), "a表"); // 1 + 2 bytes; the next needs 2 more
    EXPECT_EQ(CutToShiftJisBytes("a表示", 5), "a表示");
    EXPECT_EQ(CutToShiftJisBytes("表", 1), "");
    EXPECT_EQ(CutToShiftJisBytes("ｱｲ", 1), "ｱ"); // half-width katakana take one byte
    EXPECT_EQ(CutToShiftJisBytes("", 5), "");
}

// The count and the cut agree, and a character Shift-JIS cannot hold counts
// as the widest Shift-JIS character.
TEST(ShiftJis, ByteCountAgreesWithTheCut)
{
    const struct
    {
        std::string text;
        std::size_t bytes;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {"写真", 4},
        {"ｱｲ", 2},
        {"a表示/ｶ", 7},
        {"\xf0\x9f\x98\x80", kUnconvertibleCharBytes}, // an emoji
        {"a\xf0\x9f\x98\x80"
         "b",
         2 + kUnconvertibleCharBytes},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShiftJisByteCount(c.text), c.bytes) << c.text;
        EXPECT_EQ(CutToShiftJisBytes(c.text, c.bytes), c.text) << c.text;
        if (c.bytes > 0) {
            EXPECT_LT(ShiftJisByteCount(CutToShiftJisBytes(c.text, c.bytes - 1)), c.bytes) << c.text;
        }
    }
    EXPECT_EQ(kUnconvertibleCharBytes, 2u);
}
