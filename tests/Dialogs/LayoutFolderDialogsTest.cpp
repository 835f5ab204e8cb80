// The layout folders in the save dialogs: the save-name dialogs propose the
// documents folder for a layout of one of them, each folder deciding alone,
// so that OK never writes where a folder picked by hand would be refused; the
// save question offers no save in place for a layout of the common folder.
#include "App/ZAVEditorDoc.h"
#include "Dialogs/SaveAsPackagedZAVDialog.h"
#include "Dialogs/SaveNameSupport.h"
#include "Dialogs/SelectSaveDialog.h"
#include "Dialogs/support/SaveDialogFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace {

enum class Folder { None, Config, Shared, Common };

struct FolderCase
{
    const char* name;
    Folder folder;
};

const FolderCase kFolders[] = {
    {"config", Folder::Config},
    {"udl", Folder::Shared},
    {"common", Folder::Common},
    {"plain", Folder::None},
};

class LayoutFolderDialogsTest : public ::testing::Test
{
protected:
    std::string In(const FolderCase& c) const { return s.f.Work() + "/" + c.name; }
    // Only the case's folder is a layout folder.
    void MakeOnlyLayoutFolder(const FolderCase& c)
    {
        s.services.configFolder = c.folder == Folder::Config ? In(c) : std::string();
        s.services.udlFolder = c.folder == Folder::Shared ? In(c) : std::string();
        s.services.commonUdlFolder = c.folder == Folder::Common ? In(c) : std::string();
        QDir().mkpath(QString::fromStdString(In(c)));
    }
    std::string Documents() const { return WithoutTrailingSlash(s.shell.documentsFolder); }

    SaveDialogFixture s;
};

TEST_F(LayoutFolderDialogsTest, EachLayoutFolderAloneMovesTheProposalToTheDocumentsFolder)
{
    for (const FolderCase& c : kFolders) {
        SCOPED_TRACE(c.name);
        MakeOnlyLayoutFolder(c);
        for (const bool camera : {false, true}) {
            const std::string path = In(c) + (camera ? "/PARTY1_0.usm" : "/LAY1.usd");
            const LayoutNameProposal proposal =
                ProposeLayoutName(s.services, path, camera, s.shell.documentsFolder);
            EXPECT_EQ(proposal.folder, c.folder == Folder::None ? In(c) : Documents()) << camera;
            EXPECT_EQ(proposal.name, camera ? "PARTY1" : "LAY1");
        }
    }
}

TEST_F(LayoutFolderDialogsTest, ThePackagedSaveOfALayoutFolderLayoutIsWrittenToTheDocumentsFolder)
{
    QDir().mkpath(QString::fromStdString(Documents()));
    for (const FolderCase& c : kFolders) {
        SCOPED_TRACE(c.name);
        MakeOnlyLayoutFolder(c);
        s.MakePhotoLayout(In(c) + "/LAY1.usd");
        s.f.kinds.calls.clear();
        CSaveAsPackagedZAVDialog dialog(s.shell);
        dialog.show();
        const std::string expected = c.folder == Folder::None ? In(c) : Documents();
        EXPECT_EQ(dialog.Folder(), expected);
        ASSERT_TRUE(dialog.OkButton()->isEnabled());
        dialog.OkButton()->click();
        EXPECT_EQ(s.Saves(), std::vector<std::string>{"save fdp " + expected + "/LAY1.fdp"});
        EXPECT_TRUE(s.shell.messages.empty());
    }
}

TEST_F(LayoutFolderDialogsTest, TheSaveQuestionOffersNoSaveInPlaceForALayoutOfTheCommonFolder)
{
    constexpr int kSaveInPlace = 214;
    for (const FolderCase& c : kFolders) {
        SCOPED_TRACE(c.name);
        MakeOnlyLayoutFolder(c);
        s.Doc().SetPathName(s.f.MakeFile(std::string(c.name) + "/LAY1.zvd"));
        CSelectSaveDialog dialog(s.shell, 1);
        dialog.show();
        const std::vector<int> entries = dialog.Entries();
        const bool offered = std::find(entries.begin(), entries.end(), kSaveInPlace) != entries.end();
        EXPECT_EQ(offered, c.folder != Folder::Common);
    }
}

} // namespace
