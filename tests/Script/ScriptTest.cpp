#include "Script/Script.h"

#include "Script/support/ScriptFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

TEST(Script, ReadLineSkipsBlankAndCommentLinesAndTrims)
{
    TempFolder folder;
    const std::string path = folder.File("a.txt");
    WriteBytes(path, "  \r\n; only a comment\r\n\t[HEADER]  ;note\r\nKey=1\nlast");
    CScript script;
    ASSERT_EQ(script.OpenRead(path), 1);
    std::string line;
    ASSERT_EQ(script.ReadLine(line), 1);
    EXPECT_EQ(line, "[HEADER]");
    ASSERT_EQ(script.ReadLine(line), 1);
    EXPECT_EQ(line, "Key=1"); // LF alone ends a line as well
    ASSERT_EQ(script.ReadLine(line), 1);
    EXPECT_EQ(line, "last");
    EXPECT_EQ(script.ReadLine(line), 0);
    EXPECT_EQ(script.Close(), 1);
    EXPECT_EQ(script.Close(), 0);
}

TEST(Script, FileOfCommentsOnlyYieldsNothing)
{
    TempFolder folder;
    const std::string path = folder.File("a.txt");
    WriteBytes(path, " \r\n;x\r\n\t\r\n");
    CScript script;
    ASSERT_EQ(script.OpenRead(path), 1);
    std::string line = "kept";
    EXPECT_EQ(script.ReadLine(line), 0);
    EXPECT_EQ(line, "kept");
}

TEST(Script, KeysAreReadStrictlyInOrderAndAFailedLookupRestoresThePosition)
{
    TempFolder folder;
    const std::string path = folder.File("a.txt");
    WriteBytes(path, CrLf({"HdTitle = abc", "hdtitle=abc", "Key=a=b", "=x", "[PAGE]", "Last=1"}));
    CScript script;
    ASSERT_EQ(script.OpenRead(path), 1);
    std::string value = "unchanged";
    EXPECT_EQ(script.GetKeyValue("Key", value), 0); // out of order: not found
    EXPECT_EQ(value, "unchanged");
    ASSERT_EQ(script.GetKeyValue("HdTitle", value), 1); // still the next line
    EXPECT_EQ(value, "abc");
    EXPECT_EQ(script.GetKeyValue("HdTitle", value), 0); // case-sensitive
    std::string line;
    ASSERT_EQ(script.ReadLine(line), 1);
    EXPECT_EQ(line, "hdtitle=abc");
    ASSERT_EQ(script.GetKeyValue("Key", value), 1);
    EXPECT_EQ(value, "a=b");
    EXPECT_EQ(script.GetKeyValue("", value), 0); // "=" at the start
    ASSERT_EQ(script.ReadLine(line), 1);
    EXPECT_EQ(line, "=x");
    EXPECT_EQ(script.GetKeyValue("PAGE", value), 0);
    std::string name;
    ASSERT_EQ(script.FindSection(name), 1); // the failed look-up left [PAGE]
    EXPECT_EQ(name, "PAGE");
    EXPECT_EQ(script.FindSection(name), 0); // a key line is consumed and handed back
    EXPECT_EQ(name, "Last=1");
    EXPECT_EQ(script.GetKeyValue("Last", value), 0); // end of file
}

TEST(Script, SectionLinesNeedBothBrackets)
{
    EXPECT_EQ(CScript::IsSectionLine("["), 0);
    EXPECT_EQ(CScript::IsSectionLine("[]"), 1);
    EXPECT_EQ(CScript::IsSectionLine("[A] "), 0);
    EXPECT_EQ(CScript::IsSectionLine("x[A]"), 0);
}

TEST(Script, OpeningAnOpenScriptFailsAndKeepsTheFile)
{
    TempFolder folder;
    WriteBytes(folder.File("a.txt"), "first\r\n");
    WriteBytes(folder.File("b.txt"), "second\r\n");
    CScript script;
    ASSERT_EQ(script.OpenRead(folder.File("a.txt")), 1);
    EXPECT_EQ(script.OpenRead(folder.File("b.txt")), 0);
    EXPECT_EQ(script.OpenWrite(folder.File("c.txt")), 0);
    std::string line;
    ASSERT_EQ(script.ReadLine(line), 1);
    EXPECT_EQ(line, "first");
    EXPECT_EQ(script.GetPath(), folder.File("a.txt"));
    EXPECT_EQ(script.GetFolder(), folder.Path());
    EXPECT_FALSE(std::filesystem::exists(folder.File("c.txt")));
}

TEST(Script, WritesShiftJisWithCrLfAndReadsItBackAsUtf8)
{
    TempFolder folder;
    const std::string path = folder.File("a.txt");
    CScript script;
    ASSERT_EQ(script.OpenWrite(path), 1);
    EXPECT_EQ(script.WriteSection("表"), 1);
    EXPECT_EQ(script.WriteKeyValue("Title", "\"ソフト\""), 1);
    EXPECT_EQ(script.WriteKeyInt("Key", -5), 1);
    EXPECT_EQ(script.WriteLine("; a comment"), 1);
    ASSERT_EQ(script.Close(), 1);
    EXPECT_EQ(ReadBytes(path), "[\x95\x5C]\r\nTitle=\"\x83\x5C\x83t\x83g\"\r\nKey=-5\r\n; a comment\r\n");

    ASSERT_EQ(script.OpenRead(path), 1);
    std::string name, value;
    ASSERT_EQ(script.FindSection(name), 1);
    EXPECT_EQ(name, "表");
    ASSERT_EQ(script.GetKeyValue("Title", value), 1);
    EXPECT_EQ(value, "\"ソフト\"");
}

TEST(Script, RefusesLinesThatWouldNotReadBackAndKeepsThePreviousFile)
{
    TempFolder folder;
    const std::string path = folder.File("a.txt");
    WriteBytes(path, "old\r\n");
    struct Refusal
    {
        const char* what;
        std::function<int(CScript&)> write;
    };
    const Refusal refusals[] = {
        {"line break", [](CScript& s) { return s.WriteLine("a\r\nb"); }},
        {"NUL", [](CScript& s) { return s.WriteLine(std::string("a\0b", 3)); }},
        {"not Shift-JIS", [](CScript& s) { return s.WriteLine("\xF0\x9F\x98\x80"); }},
        {"comment in value", [](CScript& s) { return s.WriteKeyValue("Key", "a;b"); }},
        {"quote then comment", [](CScript& s) { return s.WriteKeyValue("Key", "\"a\";b\""); }},
        {"blank value start", [](CScript& s) { return s.WriteKeyValue("Key", " a"); }},
        {"blank key end", [](CScript& s) { return s.WriteKeyValue("Key ", "a"); }},
        {"equals in key", [](CScript& s) { return s.WriteKeyValue("K=y", "a"); }},
        {"empty key", [](CScript& s) { return s.WriteKeyValue("", "a"); }},
    };
    for (const auto& refusal : refusals) {
        CScript script;
        ASSERT_EQ(script.OpenWrite(path), 1);
        EXPECT_EQ(script.WriteLine("fine"), 1);
        EXPECT_EQ(refusal.write(script), 0) << refusal.what;
        EXPECT_EQ(script.Close(), 0) << refusal.what;
        EXPECT_EQ(ReadBytes(path), "old\r\n") << refusal.what;
    }
}

TEST(Script, AFailedWriteRemovesAFileItCreated)
{
    TempFolder folder;
    const std::string path = folder.File("new.txt");
    CScript script;
    ASSERT_EQ(script.OpenWrite(path), 1);
    EXPECT_EQ(script.WriteLine("a\nb"), 0);
    EXPECT_EQ(script.Close(), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(Script, AnIoErrorAtCloseIsReported)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    CScript script;
    ASSERT_EQ(script.OpenWrite("/dev/full"), 1);
    EXPECT_EQ(script.WriteLine("x"), 1);
    EXPECT_EQ(script.Close(), 0);
}

TEST(Script, OpenFailuresReturnZero)
{
    TempFolder folder;
    CScript script;
    EXPECT_EQ(script.OpenRead(folder.File("missing")), 0);
    EXPECT_EQ(script.OpenRead(""), 0);
    EXPECT_EQ(script.OpenWrite(folder.File("no/such/folder/a.txt")), 0);
    EXPECT_FALSE(script.IsOpen());
    std::string line;
    EXPECT_EQ(script.ReadLine(line), 0);
    EXPECT_EQ(script.WriteLine("x"), 0);
}

TEST(Script, BytesShiftJisCannotDecodeMatterOnlyInTheLinesRead)
{
    TempFolder folder;
    const std::string path = folder.File("a.txt");
    // 0x80 is no character; 0x82 is a lead byte without its second byte.
    WriteBytes(path, "; \x80 \x82\r\nKey=1 ;\x80\x82\r\nOther=\x80\r\nLast=\x82\r\n");
    CScript script;
    ASSERT_EQ(script.OpenRead(path), 1);
    std::string value;
    ASSERT_EQ(script.GetKeyValue("Key", value), 1);
    EXPECT_EQ(value, "1");
    EXPECT_EQ(script.GetKeyValue("Last", value), 0); // another key's line: left alone
    std::string line = "kept";
    EXPECT_EQ(script.ReadLine(line), 0);
    EXPECT_EQ(script.ReadLine(line), 0); // the position stays at the line
    EXPECT_EQ(line, "kept");
    EXPECT_EQ(script.GetKeyValue("Other", value), 0);
    EXPECT_EQ(value, "1");
}

} // namespace
