#include "Platform/ProfileWriter.h"

#include "Platform/ProfileReader.h"
#include "Platform/support/FaultyWriteCalls.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <iterator>

namespace {

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ProfileWriterTest : public ::testing::Test
{
protected:
    std::string File(const std::string& name) const { return m_folder.path().toStdString() + "/" + name; }

    QTemporaryDir m_folder;
};

// Comments, quotes, blank lines, a later section of the same name and an LF
// line among CR LF ones: only the one value may change.
const std::string kMixed = "; leading comment\r\n"
                           "[Other]\r\n"
                           "HdCapacity=7\r\n"
                           "\r\n"
                           "[header]\r\n"
                           "HdRevision=01.00 ; kept\r\n"
                           "HdTitle=\"a;b\"\n"
                           "  hdcapacity = 0\r\n"
                           "HdThumbnail=\".\\A\\THUMB.USF\"\r\n"
                           "\r\n"
                           "[HEADER]\r\n"
                           "HdCapacity=9\r\n";

TEST_F(ProfileWriterTest, ReplacesTheFirstMatchingKeyAndKeepsEveryOtherByte)
{
    const std::string path = File("a.usd");
    WriteText(path, kMixed);
    ASSERT_TRUE(WriteProfileValue(path, "HEADER", "HdCapacity", "1234"));
    std::string expected = kMixed;
    const std::string old = "  hdcapacity = 0\r\n";
    expected.replace(expected.find(old), old.size(), "  hdcapacity =1234\r\n");
    EXPECT_EQ(ReadText(path), expected);
    EXPECT_EQ(ReadProfileInt(path, "HEADER", "HdCapacity", -1), 1234);
}

TEST_F(ProfileWriterTest, AddsMissingKeysAndSectionsWithTheFilesLineEnds)
{
    struct Case
    {
        const char* name;
        std::string before;
        const char* section;
        std::string after;
    };
    const Case cases[] = {
        {"key to its section's end, before the blank line", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "A",
         "[A]\r\nx=1\r\nk=v\r\n\r\n[B]\r\ny=2\r\n"},
        {"LF-only file", "[A]\nx=1\n[B]\ny=2\n", "B", "[A]\nx=1\n[B]\ny=2\nk=v\n"},
        {"last line without a line end", "[A]\r\nx=1", "A", "[A]\r\nx=1\r\nk=v\r\n"},
        {"last line ending in a lone CR", "[A]\r\nx=1\r", "A", "[A]\r\nx=1\r\r\nk=v\r\n"},
        {"section line ending in a lone CR", "[A]\r", "A", "[A]\r\r\nk=v\r\n"},
        {"empty section", "[A]\r\n[B]\r\n", "a", "[A]\r\nk=v\r\n[B]\r\n"},
        {"section to the file's end", "[A]\nx=1", "C", "[A]\nx=1\n[C]\nk=v\n"},
        {"empty file", "", "S", "[S]\r\nk=v\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = File("case.ini");
        WriteText(path, c.before);
        ASSERT_TRUE(WriteProfileValue(path, c.section, "k", "v"));
        EXPECT_EQ(ReadText(path), c.after);
        EXPECT_EQ(ReadProfileString(path, c.section, "k"), "v");
    }
}

TEST_F(ProfileWriterTest, CreatesAMissingFileAndWritesShiftJis)
{
    const std::string path = File("new.ini");
    ASSERT_TRUE(WriteProfileValue(path, "HEADER", "HdTitle", "\xE5\x86\x99\xE7\x9C\x9F")); // 写真
    EXPECT_EQ(ReadText(path), "[HEADER]\r\nHdTitle=\x8e\xca\x90\x5e\r\n");
    EXPECT_EQ(ReadProfileString(path, "HEADER", "HdTitle"), "\xE5\x86\x99\xE7\x9C\x9F");
}

TEST_F(ProfileWriterTest, RefusesWhatItCannotWriteAndLeavesTheFile)
{
    const std::string path = File("a.ini");
    WriteText(path, kMixed);
    EXPECT_FALSE(WriteProfileValue(path, "HEADER", "HdCapacity", "1\r\nHdX=2"));
    EXPECT_FALSE(WriteProfileValue(path, "HEADER", "HdCapacity", "\xF0\x9F\x98\x80")); // no Shift-JIS form
    EXPECT_FALSE(WriteProfileValue(path, "HEADER", "Hd=Capacity", "1"));
    EXPECT_FALSE(WriteProfileValue(path, "", "HdCapacity", "1"));
    EXPECT_FALSE(WriteProfileValue(File("missing/a.ini"), "HEADER", "HdCapacity", "1"));
    EXPECT_EQ(ReadText(path), kMixed);
}

TEST_F(ProfileWriterTest, AFailedRewriteLeavesTheFileAsItWas)
{
    for (WriteFault fault :
         {WriteFault::Open, WriteFault::MiddleWrite, WriteFault::Sync, WriteFault::Rename}) {
        SCOPED_TRACE(WriteFaultName(fault));
        const std::string path = File("a.usd");
        WriteText(path, kMixed);
        FaultyWriteCalls calls(fault, 8);
        EXPECT_FALSE(WriteProfileValue(path, "HEADER", "HdCapacity", "99"));
        EXPECT_GT(calls.Failures(), 0);
        EXPECT_EQ(ReadText(path), kMixed);
        EXPECT_EQ(FolderNames(m_folder.path().toStdString()), std::set<std::string>{"a.usd"});
    }
}

} // namespace
