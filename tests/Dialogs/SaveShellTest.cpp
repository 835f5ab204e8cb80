#include "App/support/AppTestSupport.h"
#include "Core/LocalizeScript.h"
#include "Core/support/ScopedTmpDir.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogsUi.h"
#include "Dialogs/support/SettingsDialogsSupport.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include <optional>

namespace {

TEST(SaveShellTest, TheProgramsShellAnswersTheSaveDialogsWithTheApplication)
{
    EnsureApp();
    QTemporaryDir tmp;
    // Put back after the application's exit, before its objects go.
    std::optional<ScopedTmpDir> tmpDir(std::in_place, tmp.path().toStdString());
    AppFolders folders;
    {
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
        store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
    }
    FakeServices services;
    MessageRecorder recorder;
    AppDialogShell shell;
    EXPECT_EQ(shell.FolderServices(), nullptr);
    EXPECT_TRUE(shell.GetMemoryCardRoots().empty());

    DialogsUi ui(shell);
    CZAVEditorApp app(folders.Environment(), ui, services);
    app.SetMemoryCardRoots(std::vector<std::string>{"/media/a/", "/media/b/"});
    shell.Attach(&app);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    EXPECT_EQ(shell.FolderServices(), &services);
    EXPECT_EQ(shell.GetMemoryCardRoots(), (std::vector<std::string>{"/media/a/", "/media/b/"}));
    EXPECT_EQ(shell.GetDocumentsFolder(), folders.Environment().documentsFolder);
    app.ExitInstance();
    tmpDir.reset();
}

} // namespace

namespace {

TEST(SaveShellTest, TheShippedFileHoldsEveryTextAndLayoutOfTheSaveDialogs)
{
    const CLocalizeScript script(ShippedIniPath());
    for (const int id :
         {12,  13,  21,  23,  24,  148, 149, 159, 161, 167, 176, 180, 195, 196, 198, 205, 207, 214,
          215, 216, 217, 218, 219, 220, 221, 222, 223, 224, 225, 243, 244, 248, 249, 251, 262, 265}) {
        std::string text;
        EXPECT_TRUE(script.GetCaption(id, text) && !text.empty()) << id;
    }
    std::string format;
    script.GetCaption(207, format);
    EXPECT_EQ(format.find("%c"), format.rfind("%c")) << "one placeholder";
    EXPECT_NE(format.find("%c"), std::string::npos);
    for (const int dialog : {509, 519, 510, 140, 138, 150}) {
        int caption = 0, width = 0, height = 0;
        EXPECT_TRUE(script.GetDialogInfo(dialog, caption, width, height)) << dialog;
    }
}

} // namespace
