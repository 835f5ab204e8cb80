#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include "Platform/support/FaultyWriteCalls.h"
#include "Script/support/ScriptFiles.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct ScriptSave
{
    const char* what;
    const char* file;
    std::function<int(const std::string&)> write;
    const char* golden; // what a successful save writes
};

const ScriptSave kSaves[] = {
    {"layout script", "a.usd", [](const std::string& path) { return CUDLScript().Write(path); },
     "default-header.usd"},
    {"editor document", "a.zvd",
     [](const std::string& path) {
         CZAVScript document;
         document.SetDrawRecords({});
         return document.Write(path);
     },
     "plain.zvd"},
};

const WriteFault kFaults[] = {WriteFault::Open, WriteFault::MiddleWrite, WriteFault::Sync,
                              WriteFault::Rename};

TEST(ScriptSaveFault, AFailingStepKeepsThePreviousFileAndLeavesNoTemporaryFile)
{
    const std::string previous = "[HEADER]\r\nHdTitle=\"the previous good save\"\r\n; \x82\xA0\r\n";
    for (const ScriptSave& save : kSaves)
        for (const WriteFault fault : kFaults) {
            SCOPED_TRACE(std::string(save.what) + ", fault at " + WriteFaultName(fault));
            TempFolder folder;
            const std::string path = folder.File(save.file);
            WriteBytes(path, previous);
            const auto before = FolderNames(folder.Path());
            FaultyWriteCalls calls(fault);
            EXPECT_EQ(save.write(path), 0);
            EXPECT_GE(calls.Failures(), 1);
            EXPECT_EQ(ReadBytes(path), previous);
            EXPECT_EQ(FolderNames(folder.Path()), before);
        }
}

TEST(ScriptSaveFault, ASuccessfulSaveReplacesTheFileAndKeepsItsPermissions)
{
    for (const ScriptSave& save : kSaves) {
        SCOPED_TRACE(save.what);
        TempFolder folder;
        const std::string path = folder.File(save.file);
        WriteBytes(path, std::string(5000, 'o')); // longer than the new contents
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        ASSERT_EQ(save.write(path), 1);
        EXPECT_EQ(ReadBytes(path), ReadBytes(FixturePath(save.golden)));
        EXPECT_EQ(FileMode(path), 0640u);
        EXPECT_EQ(FolderNames(folder.Path()), std::set<std::string>{save.file});
    }
}

} // namespace
