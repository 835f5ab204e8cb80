#include "Core/TempFolders.h"

#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "Platform/FileSystem.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Points the system's temporary folder at a scratch folder for one test.
class TempFolders : public ::testing::Test
{
protected:
    std::string UserTemp() const { return m_scratch / ("zaveditor-" + std::to_string(::geteuid())); }

    ScratchFolder m_scratch;
    // The tests of this folder share one process: what the run had comes back.
    ScopedTmpDir m_tmpDir{m_scratch.Path()};
};

} // namespace

TEST_F(TempFolders, EveryFolderLiesInTheUsersOwnTemporaryFolder)
{
    EXPECT_EQ(GetTempFolder(), UserTemp());
    struct stat st;
    ASSERT_EQ(::stat(UserTemp().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u); // nobody else may look into it

    struct Case
    {
        std::string (*get)(bool);
        const char* name;
    };
    const Case cases[] = {
        {GetTempImageFolder, "ZAVDTempImage/"},
        {GetTempSaveImageFolder, "ZAVDTempSaveImage/"},
        {GetTempClipFolder, "ZAVDTempClip/"},
        {GetTempDecodeFolder, "ZAVDTempDecode"},
        {GetTempEncodeFolder, "ZAVDTempEncode"},
        {GetTempPackageFolder, "ZAVDTempPackage"},
        {GetTempInsertFrameImageFolder, "ZAVDTempInsertFrameImage/"},
        {GetTempSaveUSMFolder, "ZAVTempSaveUSM/"},
    };
    for (const Case& c : cases) {
        const std::string expected = UserTemp() + "/" + c.name;
        EXPECT_EQ(c.get(false), expected);
        EXPECT_FALSE(IsDirectory(expected)) << "created without the flag: " << c.name;
        EXPECT_EQ(c.get(true), expected);
        EXPECT_TRUE(IsDirectory(expected)) << c.name;
    }
}

TEST_F(TempFolders, RefusesAForeignOrLinkedUserFolder)
{
    ScratchFolder elsewhere;
    ASSERT_EQ(::symlink(elsewhere.Path().c_str(), UserTemp().c_str()), 0);
    EXPECT_EQ(GetTempFolder(), "");
    EXPECT_EQ(GetTempImageFolder(true), "");
    EXPECT_EQ(GetTempImageFileName(true), "");
}

TEST_F(TempFolders, FileNamesAreUniqueAndCreated)
{
    EXPECT_EQ(GetTempImageFileName(false), ""); // the folder does not exist yet
    std::set<std::string> names;
    for (int i = 0; i < 50; ++i) {
        const std::string name = GetTempImageFileName(true);
        ASSERT_FALSE(name.empty());
        EXPECT_EQ(name.rfind(GetTempImageFolder() + "zvd", 0), 0u) << name;
        EXPECT_TRUE(IsFile(name));
        EXPECT_EQ(GetFileSizeOfPath(name), 0u);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 50u);
    EXPECT_EQ(GetTempSaveImageFileName(true).rfind(GetTempSaveImageFolder(), 0), 0u);
    EXPECT_EQ(GetTempClipFileName(true).rfind(GetTempClipFolder(), 0), 0u);
}

TEST_F(TempFolders, AskingWhereAFolderLiesMakesNothing)
{
    const std::string expected = UserTemp() + "/ZAVDTempImage/";
    EXPECT_EQ(GetTempImageFolder(false), expected);
    EXPECT_EQ(GetTempImageFileName(false), "");
    EXPECT_FALSE(IsDirectory(UserTemp())) << "the user's folder was made by a question";
    EXPECT_EQ(GetTempImageFolder(true), expected);
    EXPECT_TRUE(IsDirectory(expected));
}

// At the end only the chosen insert-frame picture stays, and the user's folder
// goes once it is empty.
TEST_F(TempFolders, RemovingTheWorkFoldersKeepsOnlyTheChosenInsertFramePicture)
{
    std::string (*const every[])(bool) = {
        GetTempImageFolder,  GetTempSaveImageFolder, GetTempClipFolder,    GetTempDecodeFolder,
        GetTempEncodeFolder, GetTempPackageFolder,   GetTempSaveUSMFolder, GetTempInsertFrameImageFolder};
    for (auto folder : every) {
        ASSERT_TRUE(CreateFolderPath(CombinePath(folder(true), "inner")));
        ASSERT_NE(CreateUniqueFile(folder(false), "zvd", ".tmp"), "");
    }
    RemoveTempWorkFolders();
    for (auto folder : every)
        EXPECT_EQ(IsDirectory(folder(false)), folder == GetTempInsertFrameImageFolder) << folder(false);
    RemoveTempFolderIfEmpty();
    EXPECT_TRUE(IsDirectory(UserTemp())) << "removed with the chosen picture in it";

    ASSERT_TRUE(DeleteFolderTree(GetTempInsertFrameImageFolder(false)));
    RemoveTempFolderIfEmpty();
    EXPECT_FALSE(IsDirectory(UserTemp()));
    // Nothing there: both are harmless.
    RemoveTempWorkFolders();
    RemoveTempFolderIfEmpty();
    EXPECT_FALSE(IsDirectory(UserTemp()));
}
