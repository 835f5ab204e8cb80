#include "Platform/ProfileReader.h"

#include "Core/support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

// "表示" in Shift-JIS: the trail byte of "表" is 0x5C, the backslash.
const std::string kHyouji = "\x95\x5C\x8E\xA6";
// "ソ" is 0x83 0x5C.
const std::string kSo = "\x83\x5C";

class ProfileReader : public ::testing::Test
{
protected:
    std::string Ini(const std::string& bytes) { return m_scratch.Write("test.ini", bytes); }
    ScratchFolder m_scratch;
};

} // namespace

TEST_F(ProfileReader, NamesWithoutRegardToCaseAndFirstDuplicateWins)
{
    const std::string path = Ini("[Caption]\r\n"
                                 "Title = First \r\n"
                                 "TITLE=Second\r\n"
                                 "[caption]\r\n"
                                 "Late=only in the second section\r\n"
                                 "[Other]\r\n"
                                 "Title=Other's\r\n");
    EXPECT_EQ(ReadProfileValue(path, "CAPTION", "title"), "First");
    EXPECT_EQ(ReadProfileValue(path, " Caption ", "Title"), "First");
    EXPECT_EQ(ReadProfileValue(path, "other", "TITLE"), "Other's");
    EXPECT_EQ(ReadProfileValue(path, "Caption", "Late"), std::nullopt);
    EXPECT_EQ(ReadProfileValue(path, "Caption", "Missing"), std::nullopt);
    EXPECT_EQ(ReadProfileValue(path, "Missing", "Title"), std::nullopt);
}

TEST_F(ProfileReader, ValuesTrimmedAndOuterQuotesStripped)
{
    const std::string path = Ini("[S]\n"
                                 "a=\"  quoted  \"\n"
                                 "b='single'\n"
                                 "c=\"unbalanced'\n"
                                 "d=\"\n"
                                 "e=   \n"
                                 "f=x=y\n"
                                 "; g=comment\n"
                                 "no equals sign\n"
                                 "h=\t tabbed \t\n");
    EXPECT_EQ(ReadProfileValue(path, "S", "a"), "  quoted  ");
    EXPECT_EQ(ReadProfileValue(path, "S", "b"), "single");
    EXPECT_EQ(ReadProfileValue(path, "S", "c"), "\"unbalanced'");
    EXPECT_EQ(ReadProfileValue(path, "S", "d"), "\"");
    EXPECT_EQ(ReadProfileValue(path, "S", "e"), "");
    EXPECT_EQ(ReadProfileValue(path, "S", "f"), "x=y");
    EXPECT_EQ(ReadProfileValue(path, "S", "; g"), std::nullopt);
    EXPECT_EQ(ReadProfileValue(path, "S", "h"), "tabbed");
}

TEST_F(ProfileReader, ShiftJisValuesComeBackAsUtf8)
{
    const std::string path = Ini("[" + kHyouji + "]\n" + kSo + "=\"" + kSo + "\"\n" + "k=" + kHyouji + "\n" +
                                 "bad=\x81\n" + "after=ok\n");
    EXPECT_EQ(ReadProfileValue(path, "表示", "k"), "表示");
    // A value ending in a 0x5C trail byte keeps its character and its quotes go.
    EXPECT_EQ(ReadProfileValue(path, "表示", "ソ"), "ソ");
    EXPECT_EQ(ReadProfileValue(path, "表示", "bad"), std::nullopt);
    EXPECT_EQ(ReadProfileValue(path, "表示", "after"), "ok");
}

TEST_F(ProfileReader, MissingFileReadsAsEmpty)
{
    const std::string missing = m_scratch / "none.ini";
    EXPECT_EQ(ReadProfileValue(missing, "S", "k"), std::nullopt);
    EXPECT_EQ(ReadProfileString(missing, "S", "k", "default"), "default");
    EXPECT_EQ(ReadProfileInt(missing, "S", "k", -3), -3);
    EXPECT_EQ(ReadProfileString(m_scratch.Path(), "S", "k"), ""); // a folder is no file
}

TEST_F(ProfileReader, Integers)
{
    const std::string path = Ini("[S]\na= 42abc\nb=-7\nc=abc\nd=\ne=99999999999\n");
    EXPECT_EQ(ReadProfileInt(path, "S", "a", 0), 42);
    EXPECT_EQ(ReadProfileInt(path, "S", "b", 0), -7);
    EXPECT_EQ(ReadProfileInt(path, "S", "c", 5), 0);
    EXPECT_EQ(ReadProfileInt(path, "S", "d", 5), 0);
    EXPECT_EQ(ReadProfileInt(path, "S", "e", 0), 2147483647);
    EXPECT_EQ(ReadProfileInt(path, "S", "x", 5), 5);
}
