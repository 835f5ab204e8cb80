#include "Dialogs/SaveAsPackagedZAVDialog.h"
#include "App/MessageBoxes.h"
#include "App/SaveChecks.h"
#include "App/ZAVEditorDoc.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/support/SaveDialogFixture.h"
#include "Platform/FolderChooser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <deque>

namespace {

class ScriptedFolders : public IFolderChooser
{
public:
    std::optional<std::string> ChooseFolder(const std::string&, const std::string& initial) override
    {
        initialFolders.push_back(initial);
        if (answers.empty())
            return std::nullopt;
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::string> answers;
    std::vector<std::string> initialFolders;
};

const unsigned kReplaceQuestion = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;

class SaveAsPackagedZAVDialogTest : public ::testing::Test
{
protected:
    // A shown dialog over the folder chooser.
    std::unique_ptr<CSaveAsPackagedZAVDialog> Open()
    {
        auto dialog = std::make_unique<CSaveAsPackagedZAVDialog>(s.shell);
        dialog->SetFolderChooser(&folders);
        dialog->show();
        return dialog;
    }
    void ChooseFolder(CSaveAsPackagedZAVDialog& dialog, const std::string& folder)
    {
        folders.answers.push_back(folder);
        dialog.SelectFolderButton()->click();
    }
    std::string Work() const { return s.f.Work(); }

    SaveDialogFixture s;
    ScriptedFolders folders;
};

TEST_F(SaveAsPackagedZAVDialogTest, ACameraLayoutIsWrittenWithItsNumberInTheChosenFolder)
{
    s.MakeCameraLayout();
    auto dialog = Open();
    EXPECT_EQ(dialog->SuffixLabel()->text(), QStringLiteral("_0"));
    EXPECT_FALSE(dialog->OkButton()->isEnabled()); // nothing proposed
    EXPECT_EQ(dialog->NameEdit()->maxLength(), 6);
    dialog->NameEdit()->setText(QStringLiteral("ABCDE"));
    EXPECT_FALSE(dialog->OkButton()->isEnabled());
    dialog->NameEdit()->setText(QStringLiteral("ABCDEF"));
    EXPECT_TRUE(dialog->OkButton()->isEnabled());
    ChooseFolder(*dialog, Work() + "/out/");
    EXPECT_EQ(dialog->Folder(), Work() + "/out");
    dialog->OkButton()->click();
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save fdp " + Work() + "/out/ABCDEF_0.fdp"});
    EXPECT_EQ(dialog->EndCode(), 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(s.shell.waitCursor, (std::vector<bool>{true, false}));
}

TEST_F(SaveAsPackagedZAVDialogTest, TheNameAndFolderAreProposedFromTheDocument)
{
    s.MakeCameraLayout(Work() + "/sets/PARTY1_0.usm");
    auto camera = Open();
    EXPECT_EQ(camera->NameEdit()->text(), QStringLiteral("PARTY1"));
    EXPECT_EQ(camera->Folder(), Work() + "/sets");
    EXPECT_TRUE(camera->OkButton()->isEnabled());
    camera->reject();

    // A layout of the configuration folder goes to the documents folder.
    s.services.configFolder = Work() + "/config";
    s.MakePhotoLayout(Work() + "/config/LAY1.usd");
    auto photo = Open();
    EXPECT_EQ(photo->NameEdit()->text(), QStringLiteral("LAY1"));
    EXPECT_EQ(photo->Folder() + "/", s.shell.documentsFolder);
    EXPECT_TRUE(photo->SuffixLabel()->text().isEmpty());
    photo->reject();

    // A name the rules refuse is not proposed; the editor's document proposes none.
    s.services.layoutNameResults["bad name"] = 3;
    s.Doc().SetPathName(Work() + "/bad name.fdp");
    auto refused = Open();
    EXPECT_TRUE(refused->NameEdit()->text().isEmpty());
    EXPECT_FALSE(refused->OkButton()->isEnabled());
    refused->reject();
    EXPECT_EQ(refused->EndCode(), 2);
}

TEST_F(SaveAsPackagedZAVDialogTest, FoldersTakeOneSlashAndTheLayoutFoldersAreRefused)
{
    s.MakePhotoLayout();
    auto dialog = Open();
    ChooseFolder(*dialog, "/");
    EXPECT_EQ(dialog->Folder(), "/");
    ChooseFolder(*dialog, "/x");
    EXPECT_EQ(dialog->Folder(), "/x");
    EXPECT_EQ(folders.initialFolders.back(), "/");

    s.services.configFolder = Work() + "/config";
    s.services.udlFolder = Work() + "/udl";
    s.services.commonUdlFolder = Work() + "/common";
    for (const std::string& refused : {Work() + "/config", Work() + "/udl/", Work() + "/common"}) {
        s.shell.messages.clear();
        ChooseFolder(*dialog, refused);
        EXPECT_EQ(s.ShellMessages(), std::vector<int>{167}) << refused;
        EXPECT_EQ(dialog->Folder(), "/x");
    }

    // The root takes no second slash before the name.
    ChooseFolder(*dialog, "/");
    dialog->NameEdit()->setText(QStringLiteral("ROOTLAY"));
    dialog->OkButton()->click();
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save fdp /ROOTLAY.fdp"});
}

TEST_F(SaveAsPackagedZAVDialogTest, AnExistingFileIsReplacedOnlyWhenTheAnswerIsYes)
{
    s.MakePhotoLayout();
    const std::string existing = s.f.MakeFile("out/LAY.fdp");
    auto dialog = Open();
    ChooseFolder(*dialog, Work() + "/out");
    dialog->NameEdit()->setText(QStringLiteral("LAY"));
    dialog->OkButton()->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->NameEdit()->text(), QStringLiteral("LAY"));
    EXPECT_TRUE(s.Saves().empty());
    ASSERT_EQ(s.shell.questions.size(), 1u);
    EXPECT_EQ(s.shell.questions[0], std::make_pair(205, kReplaceQuestion));

    s.shell.answers = {kAnswerYes};
    dialog->OkButton()->click();
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save fdp " + existing});
    EXPECT_EQ(s.shell.accessTests.at(0), std::make_pair(existing, kSaveTargetAccess));
    EXPECT_EQ(dialog->EndCode(), 1);
}

TEST_F(SaveAsPackagedZAVDialogTest, ARefusedAccessRightOrAFailedWriteEndsAsNotSaved)
{
    s.MakePhotoLayout();
    s.f.MakeFile("out/LAY.fdp");
    auto refused = Open();
    ChooseFolder(*refused, Work() + "/out");
    refused->NameEdit()->setText(QStringLiteral("LAY"));
    s.shell.answers = {kAnswerYes};
    s.shell.accessAllowed = false;
    refused->OkButton()->click();
    EXPECT_FALSE(refused->isVisible());
    EXPECT_EQ(refused->EndCode(), 2);
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{23});
    EXPECT_TRUE(s.Saves().empty());

    s.f.kinds.saveResult = 1;
    auto failed = Open();
    ChooseFolder(*failed, Work() + "/out");
    failed->NameEdit()->setText(QStringLiteral("NEW"));
    failed->OkButton()->click();
    EXPECT_EQ(s.Saves().size(), 1u);
    EXPECT_EQ(s.f.MessageIds(), std::vector<int>{23}); // the document's own report
    EXPECT_EQ(failed->EndCode(), 2);
}

TEST_F(SaveAsPackagedZAVDialogTest, ThePathLimitCountsShiftJisBytes)
{
    // "あ" is two bytes in Shift-JIS and three in UTF-8.
    const auto folderOf = [](int kana, const std::string& tail) {
        std::string folder = "/";
        for (int i = 0; i < kana; ++i)
            folder += "\xe3\x81\x82";
        return folder + tail;
    };
    s.MakePhotoLayout();
    auto dialog = Open();
    // "/" + 236 bytes + "/A.fdp": 243 bytes.
    ChooseFolder(*dialog, folderOf(118, ""));
    dialog->NameEdit()->setText(QStringLiteral("A"));
    dialog->OkButton()->click();
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{21});
    EXPECT_TRUE(dialog->NameEdit()->text().isEmpty());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(s.Saves().empty());

    ChooseFolder(*dialog, folderOf(117, "b"));
    dialog->NameEdit()->setText(QStringLiteral("A"));
    dialog->OkButton()->click();
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save fdp " + folderOf(117, "b") + "/A.fdp"});
}

TEST_F(SaveAsPackagedZAVDialogTest, NamesTheRulesRefuseEmptyTheField)
{
    s.MakePhotoLayout();
    s.services.layoutNameResults = {{"BAD", 3}, {"VLMO001", -1}, {"ABCDEF_1", -2}};
    auto dialog = Open();
    ChooseFolder(*dialog, Work());
    for (const char* name : {"BAD", "VLMO001", "ABCDEF_1"}) {
        dialog->NameEdit()->setText(QString::fromLatin1(name));
        dialog->OkButton()->click();
        EXPECT_TRUE(dialog->NameEdit()->text().isEmpty()) << name;
        EXPECT_TRUE(dialog->isVisible()) << name;
    }
    EXPECT_EQ(s.ShellMessages(), (std::vector<int>{13, 244}));
    ASSERT_EQ(s.shell.textMessages.size(), 1u);
    EXPECT_EQ(s.shell.textMessages[0].first, FormatCharMessage(LocalizedText(s.shell, 207), "1"));
    EXPECT_EQ(s.shell.textMessages[0].second, MB_ICONSTOP);
    EXPECT_TRUE(s.Saves().empty());
}

TEST_F(SaveAsPackagedZAVDialogTest, AReadOnlyTargetIsRefused)
{
    s.MakePhotoLayout();
    const std::string target = s.f.MakeFile("LAY.fdp");
    QFile::setPermissions(QString::fromStdString(target), QFileDevice::ReadOwner);
    auto dialog = Open();
    ChooseFolder(*dialog, Work());
    dialog->NameEdit()->setText(QStringLiteral("LAY"));
    s.shell.answers = {kAnswerYes};
    dialog->OkButton()->click();
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{180});
    EXPECT_TRUE(dialog->NameEdit()->text().isEmpty());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(s.Saves().empty());
    QFile::setPermissions(QString::fromStdString(target), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(SaveAsPackagedZAVDialogTest, ALongFolderIsShortenedInItsMiddle)
{
    s.MakePhotoLayout();
    auto dialog = Open();
    const std::string longFolder = "/start/" + std::string(300, 'x') + "/end";
    ChooseFolder(*dialog, longFolder);
    const QString shown = dialog->FolderAreaText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/st"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("    "))) << shown.toStdString();

    ChooseFolder(*dialog, "/short");
    EXPECT_EQ(dialog->FolderAreaText(), QStringLiteral("/short    "));
}

} // namespace
