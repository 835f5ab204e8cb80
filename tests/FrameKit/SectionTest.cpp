#include "FrameKit/Section.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FrameSection, DrawKindsByExactName)
{
    struct Case
    {
        const char* name;
        bool draw;
        int kind;
    } cases[] = {
        {"HdTitle", false, 0}, {"DrawPicture", true, 1}, {"DrawStrings", true, 2},
        {"DrawLine", true, 3}, {"DrawLines", true, 4},   {"drawline", true, 4},
    };
    for (const Case& c : cases) {
        ZAV_Key key(c.name, "x", c.draw);
        EXPECT_EQ(key.DrawKind(), c.kind) << c.name;
        EXPECT_EQ(key.GetKind(), c.draw ? 1 : 0) << c.name;
    }
}

TEST(FrameSection, FindValueByOccurrenceAndDrawLinesByIndex)
{
    ZAV_Section section("HEADER");
    EXPECT_TRUE(section.NameEquals("HEADER"));
    EXPECT_FALSE(section.NameEquals("header"));
    section.AddKey("HdFilename", "first", false);
    section.AddKey("DrawLine", "(1,2,3,4,5)", true);
    section.AddKey("HdFilename", "\"second\"", false);
    EXPECT_EQ(section.KeyCount(), 3);

    char buf[32];
    ASSERT_TRUE(section.FindValue("HdFilename", buf, sizeof buf, -1, false));
    EXPECT_STREQ(buf, "first");
    ASSERT_TRUE(section.FindValue("HdFilename", buf, sizeof buf, 1, true));
    EXPECT_STREQ(buf, "second");
    EXPECT_FALSE(section.FindValue("HdFilename", buf, sizeof buf, 2, false));

    int kind = -1;
    ASSERT_TRUE(section.GetDrawLine(0, buf, sizeof buf, &kind));
    EXPECT_STREQ(buf, "DrawLine(1,2,3,4,5)");
    EXPECT_EQ(kind, 3);
    EXPECT_FALSE(section.GetDrawLine(1, buf, sizeof buf, &kind));
    EXPECT_FALSE(section.GetDrawLine(-1, buf, sizeof buf, &kind));
    char small[6];
    ASSERT_TRUE(section.GetDrawLine(0, small, sizeof small, &kind));
    EXPECT_STREQ(small, "DrawL");
}

TEST(FrameSection, QuotesStrippedOnlyAtCharacterBoundariesAndLimitsKept)
{
    // 0x81 0x22 is one double-byte character whose trail byte is a quote.
    ZAV_Key key("K",
                "\"a\x81\x22"
                "b\"",
                false);
    char buf[16];
    key.GetValue(buf, sizeof buf, true);
    EXPECT_STREQ(buf, "a\x81\x22"
                      "b");
    key.GetValue(buf, 3, false);
    EXPECT_STREQ(buf, "\"a");

    // Quotes inside an enclosed value are the editor's text; elsewhere every
    // quote goes.
    const struct
    {
        const char* value;
        const char* stripped;
    } cases[] = {{"\"say \"hi\" 100%\"", "say \"hi\" 100%"},
                 {"\"\"", ""},
                 {"\"", ""},
                 {"a\"b\"c", "abc"},
                 {"\"open", "open"},
                 {"\"\x81\x22\"", "\x81\x22"}};
    for (const auto& c : cases) {
        ZAV_Key quoted("K", c.value, false);
        quoted.GetValue(buf, sizeof buf, true);
        EXPECT_STREQ(buf, c.stripped) << c.value;
    }

    std::string longName(70, 'n'), longValue(600, 'v');
    ZAV_Key big(longName.c_str(), longValue.c_str(), false);
    EXPECT_EQ(std::string(big.name).size(), 64u);
    EXPECT_EQ(std::string(big.value).size(), 512u);
}

} // namespace
