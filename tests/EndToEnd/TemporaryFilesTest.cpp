// The program leaves nothing in the temporary folder when it ends, but what
// it handed a photo-printing application that still runs; a later start
// removes that too.
#include "App/MainMenu.h"
#include "App/PrintCommand.h"
#include "App/SiblingApp.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/SiblingAppConfig.h"
#include "Dialogs/FolderTreeCtrl.h"
#include "Dialogs/ImageListCtrl.h"
#include "Dialogs/SelectImageDialog.h"
#include "EndToEnd/support/Commands.h"
#include "EndToEnd/support/Pictures.h"
#include "EndToEnd/support/SavedFiles.h"
#include "EndToEnd/support/Scenario.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <fcntl.h>
#include <semaphore.h>
#include <unistd.h>

namespace {

class TemporaryFilesTest : public ProgramTest
{
protected:
    TemporaryFilesTest()
    {
        // A photo-printing application that starts, takes nothing and ends.
        const QString program = QString::fromStdString(ScratchFolder()) + "photo-app";
        QFile script(program);
        if (script.open(QIODevice::WriteOnly))
            script.write("#!/bin/sh\nexit 0\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        WriteSiblingAppConfig(SiblingAppConfigPath(), {program.toStdString(), m_caption, "3.4"});
    }
    ~TemporaryFilesTest() override { StopPhotoApp(); }

    // The application runs while its semaphore exists.
    void StartPhotoApp()
    {
        m_running = sem_open(("/" + m_caption).c_str(), O_CREAT | O_EXCL, 0600, 0);
        ASSERT_NE(m_running, SEM_FAILED);
    }
    void StopPhotoApp()
    {
        if (m_running == SEM_FAILED)
            return;
        sem_close(m_running);
        sem_unlink(("/" + m_caption).c_str());
        m_running = SEM_FAILED;
    }

    // The user's own temporary folder and what it holds.
    static QString UserTemp()
    {
        return QDir::tempPath() + QStringLiteral("/zaveditor-") + QString::number(::geteuid());
    }
    static QStringList UserTempEntries()
    {
        return QDir(UserTemp())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    // A postcard with a picture, printed and saved as a packaged frame file.
    void PrintAndPackage()
    {
        const std::string pictures = MakeDetailedPicture(ScratchFolder(), "back", 320, 240, 3);
        NewPostcardLayout(*this);
        Choose(commands::kBackgroundTool);
        RunWithModals([&] { Drag(OnPage(0.1, 0.1), OnPage(0.9, 0.9)); }, {[&pictures](QWidget& modal) {
                          auto* dialog = qobject_cast<CSelectImageDialog*>(&modal);
                          ASSERT_NE(dialog, nullptr) << "expected the picture choice";
                          ASSERT_TRUE(dialog->FolderTree()->SelectFolder(pictures));
                          ASSERT_EQ(dialog->ImageList()->count(), 1);
                          dialog->ImageList()->item(0)->setSelected(true);
                          QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
                      }});
        Choose(ID_FILE_PRINT);
        ASSERT_TRUE(Messages().empty()) << Messages().front().text.toStdString();
        // A packaged frame file asks for the layout's title first.
        SetLayoutInformation(*this, QStringLiteral("Summer"), QStringLiteral("Me"),
                             QStringLiteral("Printed"));
        ASSERT_FALSE(SaveLayout(*this, SaveTarget::PackagedFrame, "packaged").empty());
        // What the print handed over lies in the temporary folder now.
        const TempPrintFiles handed = TempPrintFilePaths();
        for (const std::string& file : {handed.layout, handed.photo, handed.handOff})
            ASSERT_TRUE(QFile::exists(QString::fromStdString(file))) << file;
        ASSERT_TRUE(QDir(QString::fromStdString(handed.companion)).exists());
    }

    std::string m_caption = "zav-e2e-photo-" + std::to_string(::getpid());
    sem_t* m_running = SEM_FAILED;
};

TEST_F(TemporaryFilesTest, NothingOfTheProgramStaysAfterItEnds)
{
    StartProgram();
    PrintAndPackage();
    ASSERT_TRUE(QDir(UserTemp()).exists());
    FinishProgram();
    EXPECT_FALSE(QDir(UserTemp()).exists()) << UserTempEntries().join(' ').toStdString();
}

TEST_F(TemporaryFilesTest, WhatARunningPhotoAppWasHandedStaysUntilTheNextStart)
{
    StartProgram();
    PrintAndPackage();
    StartPhotoApp();
    FinishProgram();
    // The hand-off files, and nothing else: no working folder, no lock.
    EXPECT_EQ(UserTempEntries(), (QStringList{"zavtemp", "zavtemp.jpg", "zavtemp.udo", "zavtemp.usd"}));

    // The next start can only happen once the application has ended.
    StopPhotoApp();
    StartProgram();
    EXPECT_EQ(UserTempEntries().filter(QStringLiteral("zavtemp")), QStringList());
    FinishProgram();
    EXPECT_FALSE(QDir(UserTemp()).exists()) << UserTempEntries().join(' ').toStdString();
}

} // namespace
