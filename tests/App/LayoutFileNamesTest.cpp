#include "App/LayoutFileNames.h"
#include "App/SystemLayoutFolderServices.h"
#include "App/support/AppTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kAllowed = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";

struct NameCase
{
    const char* name;
    int expected;
};

TEST(LayoutFileNamesTest, PlainNames)
{
    for (const NameCase& c : {
             NameCase{"ABCDEF_1", -2},
             NameCase{"vlmo00AB", -1},
             NameCase{"VlMo00_A", -1},
             NameCase{"ABCDEFGHI", 2},
             NameCase{"", 1},
             NameCase{"AB写真", 3},     // two-byte characters are never allowed
             NameCase{"あいうえお", 2}, // ten bytes: the length decides first
             NameCase{"AB-CD", 3},
             NameCase{"AB\xF0\x9F\x98\x80", 3}, // no Shift-JIS form at all
             NameCase{"ABCDEFG\xF0\x9F\x98\x80", 2},
             NameCase{"ABCDEF_X", 0},
             NameCase{"ABCDEFGH", 0},
             NameCase{"VLMO00A", 0}, // the prefix is reserved in eight-character names only
             NameCase{"A", 0},
         })
        EXPECT_EQ(CheckLayoutFileName(c.name, kAllowed), c.expected) << c.name;
}

TEST(LayoutFileNamesTest, NumberedNames)
{
    for (const NameCase& c : {
             NameCase{"ABCDEF_1", 0},
             NameCase{"ABCDEFG1", 3},
             NameCase{"VLMO00_1", -1},
             NameCase{"vlmo00_1", -1},
             NameCase{"", 1},
             NameCase{"ABCDE_1", 2},
             NameCase{"ABCDEFG_1", 2},
             NameCase{"ABCDEF_X", 3},
             NameCase{"AB-DEF_1", 3},
             NameCase{"あABCD_1", 3}, // eight bytes with a lead byte among the first six
             NameCase{"ABCDEあ1", 3}, // the seventh byte is the second half of a character
             NameCase{"abc_ef_9", 0},
         })
        EXPECT_EQ(CheckNumberedLayoutFileName(c.name, kAllowed), c.expected) << c.name;
}

TEST(LayoutFileNamesTest, OnlyTheListedCharactersAreAllowed)
{
    EXPECT_EQ(CheckLayoutFileName("ABC", "ABC"), 0);
    EXPECT_EQ(CheckLayoutFileName("ABD", "ABC"), 3);
    EXPECT_EQ(CheckLayoutFileName("abc", "ABC"), 3);
    EXPECT_EQ(CheckLayoutFileName("ABC", ""), 3);
    // A half-width katakana is one byte, so it may be listed.
    EXPECT_EQ(CheckLayoutFileName("Aｱ", "Aｱ"), 0);
    EXPECT_EQ(CheckNumberedLayoutFileName("ｱｱｱｱｱｱ_1", "ｱ"), 0);
}

TEST(LayoutFileNamesTest, TheServicesTakeTheAllowedCharactersFromTheShippedTexts)
{
    AppFolders folders;
    SystemLayoutFolderServices services(folders.Environment().programFolder + "Localize.ini");
    EXPECT_EQ(services.CheckLayoutFileName("ABCDEF_1"), -2);
    EXPECT_EQ(services.CheckLayoutFileName("Summer24"), 0);
    EXPECT_EQ(services.CheckLayoutFileName("Sum mer"), 3);
    EXPECT_EQ(services.CheckNumberedLayoutFileName("ABCDEF_1"), 0);
    // Without the texts nothing is allowed.
    SystemLayoutFolderServices bare(folders.Environment().programFolder + "missing.ini");
    EXPECT_EQ(bare.CheckLayoutFileName("Summer24"), 3);
}

} // namespace
