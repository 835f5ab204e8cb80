// Where the existing-layout page finds its layouts: the recent list cleaned
// through the shell, the layout folders without set members and long names,
// and the card's camera folder found without regard to case.
#include "Dialogs/ExistingLayoutSources.h"

#include "Dialogs/support/FakeDialogShell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Paths = std::vector<std::string>;

class ExistingLayoutSourcesTest : public ::testing::Test
{
protected:
    std::string Path(const std::string& relative) const
    {
        return m_dir.filePath(QString::fromStdString(relative)).toStdString();
    }
    std::string Write(const std::string& relative, const std::string& text = "x")
    {
        const std::string path = Path(relative);
        QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }
    // A set index that names its members.
    std::string WriteSet(const std::string& relative, const Paths& members)
    {
        std::string text = "[Header]\r\n";
        for (std::size_t i = 0; i < members.size(); ++i)
            text += "HdFilename" + std::to_string(i + 1) + "=\"" + members[i] + "\"\r\n";
        return Write(relative, text);
    }

    void SetFrameType(int frameType)
    {
        InstallSettings install;
        install.editableFrameType = frameType;
        shell.settings.SetInstallSettings(install);
    }

    QTemporaryDir m_dir;
    FakeDialogShell shell;
};

} // namespace

TEST_F(ExistingLayoutSourcesTest, RecentFilesLoseTheMissingAndTheSetMembersInTheShellsListToo)
{
    const std::string kept = Write("a/kept.usd");
    const std::string member = Write("a/MEMBER01.usd");
    WriteSet("a/ABCDEF_0.usm", {"member01.USD"});
    const std::string document = Write("b/page.zvd");
    const std::string gone = Path("b/gone.usd");
    const std::string alsoGone = Path("b/gone2.fdp");
    shell.recentFiles = {gone, kept, member, alsoGone, document};

    EXPECT_EQ(CollectRecentLayouts(shell), (Paths{kept, document}));
    EXPECT_EQ(shell.recentFiles, (Paths{kept, document}));
    // A second filling finds nothing more to clean.
    EXPECT_EQ(CollectRecentLayouts(shell), (Paths{kept, document}));
}

TEST_F(ExistingLayoutSourcesTest, AFolderListsShortLayoutNamesOfEitherCaseWithoutSetMembers)
{
    const std::string folder = Path("udl");
    const std::string upper = Write("udl/LAYOUT.USD");
    const std::string lower = Write("udl/b.usd");
    const std::string twelve = Write("udl/ABCDEFGH.usd");
    Write("udl/ABCDEFGHI.usd"); // 13 characters
    Write("udl/LONGNAME01.usm");
    Write("udl/MEMBER01.usd");
    Write("udl/notes.txt");
    QDir().mkpath(QString::fromStdString(Path("udl/dir.usd")));
    const std::string set = WriteSet("udl/SET_0001.usm", {"member01.usd"});

    EXPECT_EQ(CollectFolderLayouts(shell, folder, true, true), (Paths{twelve, lower, upper, set}));
    EXPECT_EQ(CollectFolderLayouts(shell, folder, true, false), (Paths{twelve, lower, upper}));
    EXPECT_EQ(CollectFolderLayouts(shell, folder, false, true), (Paths{set}));
    EXPECT_TRUE(CollectFolderLayouts(shell, Path("none"), true, true).empty());
    EXPECT_TRUE(CollectFolderLayouts(shell, "", true, true).empty());
}

TEST_F(ExistingLayoutSourcesTest, RegisteredLayoutsComeFromBothFoldersOnceEachAndFollowTheFrameType)
{
    const std::string own = Write("udl/own.usd");
    const std::string ownSet = WriteSet("udl/OWN_0001.usm", {});
    const std::string common = Write("common/common.usd");
    shell.udlFolder = Path("udl");
    shell.commonUdlFolder = Path("common");
    EXPECT_EQ(CollectRegisteredLayouts(shell), (Paths{own, ownSet, common}));

    // The photo-printing application only: no set indexes.
    SetFrameType(2);
    EXPECT_EQ(CollectRegisteredLayouts(shell), (Paths{own, common}));
    // Camera layouts only does not filter the registered scripts.
    SetFrameType(1);
    EXPECT_EQ(CollectRegisteredLayouts(shell), (Paths{own, ownSet, common}));

    // One folder named twice (once with a trailing "/") is searched once.
    SetFrameType(0);
    shell.commonUdlFolder = Path("udl") + "/";
    EXPECT_EQ(CollectRegisteredLayouts(shell), (Paths{own, ownSet}));
    // No layout folder: the common one alone.
    shell.udlFolder.clear();
    shell.commonUdlFolder = Path("common");
    EXPECT_EQ(CollectRegisteredLayouts(shell), (Paths{common}));
}

TEST_F(ExistingLayoutSourcesTest, ACardsCameraFolderIsFoundInAnyCaseAndFilteredByFrameType)
{
    const std::string root = Path("card") + "/";
    const std::string script = Write("card/vludl/CARD01.usd");
    const std::string set = WriteSet("card/vludl/CARD01_0.USM", {});
    Write("card/vludl/VERYLONGNAME.usd"); // 16 characters
    Write("card/DCIM/other.usd");
    EXPECT_EQ(FindCardLayoutFolder(root), Path("card/vludl"));

    const struct
    {
        int frameType;
        Paths expected;
    } cases[] = {{0, {script, set}}, {1, {set}}, {2, {script}}};
    for (const auto& c : cases) {
        SetFrameType(c.frameType);
        EXPECT_EQ(CollectCardLayouts(shell, root), c.expected) << "frame type " << c.frameType;
    }
    EXPECT_TRUE(CollectCardLayouts(shell, "").empty());
    EXPECT_TRUE(CollectCardLayouts(shell, Path("empty") + "/").empty());
}
