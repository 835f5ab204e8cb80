#include "App/support/AppTestSupport.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogsUi.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

namespace {

TEST(SaveShellTest, TheProgramsShellAnswersTheSaveDialogsWithTheApplication)
{
    EnsureApp();
    QTemporaryDir tmp;
    const QString oldTmp = qEnvironmentVariable("TMPDIR");
    qputenv("TMPDIR", tmp.path().toUtf8());
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
    if (oldTmp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp.toUtf8());
}

} // namespace
