#include "Script/UDOScript.h"

#include "Script/support/ScriptFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(UDOScript, Version11Golden)
{
    TempFolder folder;
    CUDOScript script;
    script.SetLayoutID("C:\\T\\zavtemp.usd");
    script.SetSourceFiles({"C:\\T\\zavtemp.jpg"});
    ASSERT_EQ(script.Write(folder.File("zavtemp.udo")), 1);
    EXPECT_EQ(ReadBytes(folder.File("zavtemp.udo")), ReadBytes(FixturePath("version-1.1.udo")));
}

TEST(UDOScript, Version12Golden)
{
    TempFolder folder;
    CUDOScript script;
    script.SetLayoutID("C:\\T\\zavtemp.usd");
    script.SetSourceFiles({"C:\\T\\zavtemp.jpg"});
    script.SetVersion(1.2);
    script.SetAppClose(1);
    ASSERT_EQ(script.Write(folder.File("zavtemp.udo")), 1);
    EXPECT_EQ(ReadBytes(folder.File("zavtemp.udo")), ReadBytes(FixturePath("version-1.2.udo")));
}

TEST(UDOScript, SourcesAreNumberedAndAnEmptyListLeavesTheSectionEmpty)
{
    TempFolder folder;
    CUDOScript script;
    script.SetLayoutID("/tmp/zavtemp.usd");
    ASSERT_EQ(script.Write(folder.File("a.udo")), 1);
    EXPECT_NE(ReadBytes(folder.File("a.udo")).find("[SelectSource]\r\n[SelectPhoto]\r\n"), std::string::npos);
    EXPECT_NE(ReadBytes(folder.File("a.udo")).find("LayoutID=/tmp/zavtemp.usd\r\n"), std::string::npos);
    script.SetSourceFiles({"/tmp/a.jpg", "/tmp/写真.jpg"});
    ASSERT_EQ(script.Write(folder.File("a.udo")), 1);
    const std::string bytes = ReadBytes(folder.File("a.udo"));
    EXPECT_NE(bytes.find("[SelectSource]\r\nFile1=/tmp/a.jpg\r\nFile2=/tmp/\x8E\xCA\x90\x5E.jpg\r\n"),
              std::string::npos);
}

TEST(UDOScript, ClearKeepsTheCloseFlag)
{
    TempFolder folder;
    CUDOScript script;
    script.SetAppClose(1);
    script.SetVersion(1.2);
    script.SetLayoutID("x");
    script.Clear();
    ASSERT_EQ(script.Write(folder.File("a.udo")), 1);
    const std::string bytes = ReadBytes(folder.File("a.udo"));
    EXPECT_NE(bytes.find("Version=1.10\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("AppClose=TRUE\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("LayoutID=\r\n"), std::string::npos);
}

TEST(UDOScript, PathsThatDoNotFitOrWouldBeCutFailTheWrite)
{
    TempFolder folder;
    const std::string path = folder.File("a.udo");
    WriteBytes(path, "previous\r\n");
    struct Bad
    {
        const char* what;
        std::string layout;
        std::vector<std::string> sources;
    };
    const Bad bads[] = {
        {"layout 768 bytes", std::string(768, 'l'), {}},
        {"source 768 bytes", "ok", {"ok", std::string(768, 's')}},
        {"comment character", "/tmp/a;b.usd", {}},
        {"line break", "/tmp/a\nb.usd", {}},
        {"not Shift-JIS", "/tmp/\xF0\x9F\x98\x80.usd", {}},
    };
    for (const auto& bad : bads) {
        CUDOScript script;
        script.SetLayoutID(bad.layout);
        script.SetSourceFiles(bad.sources);
        EXPECT_EQ(script.Write(path), 0) << bad.what;
        EXPECT_EQ(ReadBytes(path), "previous\r\n") << bad.what;
    }
    CUDOScript fits;
    fits.SetLayoutID(std::string(767, 'l'));
    EXPECT_EQ(fits.Write(path), 1);
}

} // namespace
