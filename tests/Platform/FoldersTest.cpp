// The documents folder a save is offered: the XDG one, made when missing,
// else the home folder; never a folder that does not exist.
#include "Platform/Folders.h"
#include "Core/support/ScopedEnv.h"
#include "Core/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

class DocumentsFolderTest : public ::testing::Test
{
protected:
    void UserDirs(const std::string& line)
    {
        std::filesystem::create_directories(scratch / "config");
        std::ofstream(scratch / "config/user-dirs.dirs") << line << "\n";
    }
    static bool IsFolder(const std::string& path) { return std::filesystem::is_directory(path); }

    ScratchFolder scratch;
    ScopedEnv home{"HOME", scratch.Path()};
    ScopedEnv config{"XDG_CONFIG_HOME", scratch / "config"};
};

TEST_F(DocumentsFolderTest, AMissingDocumentsFolderIsMadeWithTheUmasksMode)
{
    struct Case
    {
        const char* name;
        const char* userDirs; // null: no list of user folders
        const char* folder;
    };
    const Case cases[] = {
        {"the default", nullptr, "Documents"},
        {"named by the user's folder list", "XDG_DOCUMENTS_DIR=\"$HOME/Papers/Mine\"", "Papers/Mine"},
    };
    const mode_t mask = ::umask(022);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.userDirs)
            UserDirs(c.userDirs);
        const std::string expected = scratch / c.folder;
        ASSERT_FALSE(IsFolder(expected));
        EXPECT_EQ(UserDocumentsPath(), expected);
        ASSERT_TRUE(IsFolder(expected));
        struct stat st;
        ASSERT_EQ(::stat(expected.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0755u);
        // Asked again, the folder that is there now.
        EXPECT_EQ(UserDocumentsPath(), expected);
    }
    ::umask(mask);
}

TEST_F(DocumentsFolderTest, ADocumentsFolderThatCannotBeMadeGivesTheHomeFolder)
{
    // A file in the way of the folder.
    std::ofstream(scratch / "Documents") << "not a folder";
    EXPECT_EQ(UserDocumentsPath(), scratch.Path());
}

} // namespace
