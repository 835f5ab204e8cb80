#include "Platform/Folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ProgramFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("zav-program-folder-" + std::to_string(::getpid()));
        fs::create_directories(m_root / "bin");
    }
    void TearDown() override { fs::remove_all(m_root); }
    fs::path m_root;
};

// The build tree keeps Localize.ini beside the program: that folder is the program's.
TEST_F(ProgramFolder, IsTheExecutablesFolderWhenLocalizeIniLiesThere)
{
    std::ofstream(m_root / "bin" / "Localize.ini") << "[UISetting]\n";
    EXPECT_EQ(ProgramFolderFor((m_root / "bin").string()), (m_root / "bin").string());
    EXPECT_EQ(ProgramFolderFor((m_root / "bin").string() + "/"), (m_root / "bin").string());
}

// An installed program finds its files in the prefix's share folder.
TEST_F(ProgramFolder, IsTheInstalledShareFolderOtherwise)
{
    EXPECT_EQ(ProgramFolderFor((m_root / "bin").string()), (m_root / "share" / "zaveditor").string());
    // A folder named Localize.ini is no file to read.
    fs::create_directories(m_root / "bin" / "Localize.ini");
    EXPECT_EQ(ProgramFolderFor((m_root / "bin").string()), (m_root / "share" / "zaveditor").string());
}

} // namespace
