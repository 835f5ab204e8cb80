#include "Dialogs/SCRegistDialog.h"
#include "App/AppSettings.h"
#include "App/MessageBoxes.h"
#include "App/ZAVEditorDoc.h"
#include "Dialogs/support/SaveDialogFixture.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const unsigned kReplaceQuestion = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;

class SCRegistDialogTest : public ::testing::Test
{
protected:
    SCRegistDialogTest()
    {
        s.shell.cardRoots = {s.f.Work() + "/card/"};
        s.services.udlFolder = s.f.Work() + "/udl";
        QDir().mkpath(QString::fromStdString(s.services.udlFolder));
    }

    std::unique_ptr<CSCRegistDialog> Open(int mode)
    {
        auto dialog = std::make_unique<CSCRegistDialog>(s.shell, mode);
        dialog->show();
        return dialog;
    }
    // Types the name and presses OK.
    void Register(CSCRegistDialog& dialog, const char* name)
    {
        dialog.NameEdit()->setText(QString::fromLatin1(name));
        dialog.accept();
    }
    std::string Card(const std::string& relative = {}) const { return s.f.Work() + "/card/" + relative; }
    void Fill(const std::string& folder, const char* extension, int count)
    {
        for (int i = 0; i < count; ++i)
            s.f.MakeFile(folder + "/F" + std::to_string(i) + extension);
    }

    SaveDialogFixture s;
};

TEST_F(SCRegistDialogTest, SwitchedOffCardDrivesEndTheCardModesAtOnce)
{
    SaveDialogFixture off({"EnableMemoryCardDrive=0"});
    for (const int mode : {1, 2}) {
        CSCRegistDialog dialog(off.shell, mode);
        EXPECT_EQ(dialog.DoModal(), -1) << mode;
    }
    CSCRegistDialog shared(off.shell, 0);
    EXPECT_FALSE(shared.CardsSwitchedOff());
}

TEST_F(SCRegistDialogTest, ThePhotoLayoutIsRegisteredInTheSharedFolderWithoutACard)
{
    s.MakePhotoLayout(s.f.Work() + "/LAY1.usd");
    s.shell.cardRoots.clear();
    auto dialog = Open(0);
    EXPECT_FALSE(dialog->DriveCombo()->isVisible());
    EXPECT_EQ(dialog->NameEdit()->text(), QStringLiteral("LAY1"));
    EXPECT_TRUE(dialog->OkButton()->isEnabled());
    dialog->accept();
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save usd " + s.f.Work() + "/udl/LAY1.usd"});
    EXPECT_EQ(dialog->EndCode(), 1);
}

TEST_F(SCRegistDialogTest, ACameraLayoutInTheSharedFolderReadsNoCard)
{
    s.MakeCameraLayout();
    auto dialog = Open(0);
    Register(*dialog, "PARTY1");
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save usm " + s.f.Work() + "/udl/PARTY1_0.usm"});
    EXPECT_EQ(dialog->EndCode(), 1);
    EXPECT_EQ(s.shell.cardRootReads, 0);
}

TEST_F(SCRegistDialogTest, WithoutASharedFolderOrWhileThePrintingApplicationRunsModeZeroRefuses)
{
    s.MakePhotoLayout();
    s.services.siblingPath = "/opt/app/app";
    s.services.siblingRunning = true;
    auto dialog = Open(0);
    Register(*dialog, "LAY1");
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{195});
    EXPECT_EQ(dialog->NameEdit()->text(), QStringLiteral("LAY1"));

    s.services.siblingRunning = false;
    s.services.udlFolder.clear();
    dialog->accept();
    EXPECT_EQ(s.ShellMessages(), (std::vector<int>{195, 24}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(s.Saves().empty());
}

TEST_F(SCRegistDialogTest, WithoutACardOkStaysDisabledInTheCardModes)
{
    s.MakePhotoLayout(s.f.Work() + "/LAY1.usd");
    s.shell.cardRoots.clear();
    for (const int mode : {1, 2}) {
        auto dialog = Open(mode);
        EXPECT_EQ(dialog->DriveCombo()->count(), 0);
        EXPECT_FALSE(dialog->OkButton()->isEnabled()) << mode;
        dialog->NameEdit()->setText(QStringLiteral("OTHER"));
        EXPECT_FALSE(dialog->OkButton()->isEnabled()) << mode;
    }
}

TEST_F(SCRegistDialogTest, TheCardsFreePlacesAreCounted)
{
    struct Case
    {
        bool camera;
        int mode;
        const char* extension;
        int files;
        bool refused;
    };
    const Case cases[] = {
        {false, 1, ".usd", 99, false}, {false, 1, ".USD", 100, true}, {true, 1, ".usd", 92, false},
        {true, 1, ".usd", 93, true},   {true, 2, ".usm", 99, false},  {true, 2, ".Usm", 100, true},
        {true, 2, ".usd", 100, false}, // scripts do not fill a camera card
    };
    int index = 0;
    for (const Case& test : cases) {
        SaveDialogFixture fixture;
        const std::string card = fixture.f.Work() + "/card" + std::to_string(index++) + "/";
        fixture.shell.cardRoots = {card};
        if (test.camera)
            fixture.MakeCameraLayout();
        else
            fixture.MakePhotoLayout();
        for (int i = 0; i < test.files; ++i)
            fixture.f.MakeFile("card" + std::to_string(index - 1) + "/VLUDL/F" + std::to_string(i) +
                               test.extension);
        CSCRegistDialog dialog(fixture.shell, test.mode);
        dialog.show();
        dialog.NameEdit()->setText(test.camera ? QStringLiteral("PARTY1") : QStringLiteral("LAY1"));
        dialog.accept();
        const std::string what = std::to_string(test.mode) + test.extension + std::to_string(test.files);
        if (test.refused) {
            EXPECT_EQ(fixture.ShellMessages(), std::vector<int>{176}) << what;
            EXPECT_TRUE(fixture.Saves().empty()) << what;
            EXPECT_TRUE(dialog.isVisible()) << what;
        } else {
            EXPECT_TRUE(fixture.ShellMessages().empty()) << what;
            EXPECT_EQ(fixture.Saves().size(), 1u) << what;
        }
    }
}

TEST_F(SCRegistDialogTest, ACameraSetIsRefusedWhenAnyVariantNameIsTaken)
{
    s.MakeCameraLayout();
    auto dialog = Open(1);
    for (const char* code : {"00", "01", "30", "31", "20", "21", "10", "11"}) {
        for (const bool folder : {false, true}) {
            // Another case than the one typed: the card's file system does not fold it.
            const std::string variant = Card("vludl/party1") + code + ".USD";
            if (folder)
                QDir().mkpath(QString::fromStdString(variant));
            else
                s.f.MakeFile("card/vludl/party1" + std::string(code) + ".USD");
            s.shell.messages.clear();
            Register(*dialog, "PARTY1");
            EXPECT_EQ(s.ShellMessages(), std::vector<int>{12}) << code << folder;
            EXPECT_TRUE(dialog->NameEdit()->text().isEmpty());
            QDir(QString::fromStdString(variant)).removeRecursively();
            QFile::remove(QString::fromStdString(variant));
        }
    }
    EXPECT_TRUE(s.Saves().empty());
    Register(*dialog, "PARTY1");
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save usm " + Card("vludl/PARTY1_0.usm")});
}

TEST_F(SCRegistDialogTest, NamesTheCardOrItsSetsAlreadyUseAreRefused)
{
    // A camera's list names the set in another case.
    s.f.MakeFile("card/DCIM/100CAM/cam.ust", "[HEADER]\r\nHdusm=party1_0.USM\r\n");
    s.MakeCameraLayout();
    auto camera = Open(2);
    Register(*camera, "PARTY1");
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{262});
    Register(*camera, "PARTY2");
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save usm " + Card("VLUDL/PARTY2_0.usm")});

    // A script that a set index of the card owns.
    s.shell.messages.clear();
    s.MakePhotoLayout();
    s.services.namedByUsm = Card("VLUDL/PARTY200.usd");
    auto photo = Open(1);
    Register(*photo, "PARTY200");
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{265});
    EXPECT_TRUE(photo->NameEdit()->text().isEmpty());
}

TEST_F(SCRegistDialogTest, NameRulesAreCheckedInOrder)
{
    s.MakeCameraLayout();
    s.services.numberedNameResults = {{"VLMO00_0", -1}, {"ABC-EF_0", 3}};
    auto dialog = Open(1);
    for (const char* name : {"ABCDE", "VLMO00", "ABC-EF"})
        Register(*dialog, name);
    EXPECT_EQ(s.ShellMessages(), (std::vector<int>{243, 244, 13}));
    EXPECT_TRUE(s.Saves().empty());
}

TEST_F(SCRegistDialogTest, ReplacingAsksAndARefusedRightEndsAsNotSaved)
{
    s.MakePhotoLayout();
    const std::string existing = s.f.MakeFile("card/VLUDL/lay1.usd");
    auto dialog = Open(1);
    Register(*dialog, "LAY1");
    ASSERT_EQ(s.shell.questions.size(), 1u);
    EXPECT_EQ(s.shell.questions[0], std::make_pair(196, kReplaceQuestion));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(s.Saves().empty());

    s.shell.answers = {kAnswerYes};
    s.shell.accessAllowed = false;
    Register(*dialog, "LAY1");
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{23});
    EXPECT_EQ(dialog->EndCode(), 2);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(s.Saves().empty());

    // Allowed: the existing file is written under its own spelling.
    auto again = Open(1);
    s.shell.answers = {kAnswerYes};
    s.shell.accessAllowed = true;
    Register(*again, "LAY1");
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save usd " + existing});
    EXPECT_EQ(again->EndCode(), 1);
}

TEST_F(SCRegistDialogTest, WhatStandsInTheWayOrIsReadOnlyIsRefused)
{
    s.MakePhotoLayout();
    QDir().mkpath(QString::fromStdString(Card("VLUDL/Lay1")));
    auto dialog = Open(1);
    Register(*dialog, "LAY1");
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{12});

    // The companion folder of an existing script holds a read-only file.
    s.shell.messages.clear();
    s.f.MakeFile("card/VLUDL/LAY1.usd");
    const std::string locked = s.f.MakeFile("card/VLUDL/Lay1/Image001.jpg");
    QFile::setPermissions(QString::fromStdString(locked), QFileDevice::ReadOwner);
    s.shell.answers = {kAnswerYes};
    Register(*dialog, "LAY1");
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{198});
    EXPECT_TRUE(s.Saves().empty());
    QFile::setPermissions(QString::fromStdString(locked), QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // The companion folder itself cannot be written, though its files can.
    s.shell.messages.clear();
    const QString folder = QString::fromStdString(Card("VLUDL/Lay1"));
    const auto folderModes = QFile::permissions(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    s.shell.answers = {kAnswerYes};
    Register(*dialog, "LAY1");
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{198});
    EXPECT_TRUE(s.Saves().empty());
    QFile::setPermissions(folder, folderModes);
}

TEST_F(SCRegistDialogTest, FailuresEndAsNotSavedAfterTheirMessage)
{
    // An integer raised on the way is reported here.
    s.MakePhotoLayout();
    s.f.MakeFile("card/VLUDL/LAY1.usd");
    s.shell.answers = {kAnswerYes};
    s.shell.onAccessTest = [] { throw 5; };
    auto thrown = Open(1);
    Register(*thrown, "LAY1");
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{24});
    EXPECT_EQ(thrown->EndCode(), 2);
    EXPECT_FALSE(thrown->isVisible());

    // No document.
    s.shell.messages.clear();
    s.shell.onAccessTest = nullptr;
    auto noDocument = Open(1);
    s.shell.document = nullptr;
    Register(*noDocument, "LAY2");
    EXPECT_EQ(s.ShellMessages(), std::vector<int>{24});
    EXPECT_EQ(noDocument->EndCode(), 2);
    s.shell.document = s.f.document.get();

    // A failed write: the document reports it.
    s.shell.messages.clear();
    s.f.kinds.saveResult = 1;
    auto failed = Open(1);
    Register(*failed, "LAY3");
    EXPECT_EQ(s.Saves().size(), 1u);
    EXPECT_EQ(s.f.MessageIds(), std::vector<int>{23});
    EXPECT_EQ(failed->EndCode(), 2);
}

} // namespace
