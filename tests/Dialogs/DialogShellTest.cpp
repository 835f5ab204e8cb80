#include "App/MainFrame.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/AppTestSupport.h"
#include "Core/support/ScopedTmpDir.h"
#include "Dialogs/DialogsUi.h"
#include "Dialogs/support/FakeDialogShell.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include <optional>

namespace {

class DialogShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        m_tmpDir.emplace(tmp.path().toStdString());
    }

    QTemporaryDir tmp;
    FakeServices services;
    MessageRecorder recorder;

private:
    // Set once the test application exists, which points TMPDIR at its own
    // folder first; the last member, so that it is put back before the
    // others go.
    std::optional<ScopedTmpDir> m_tmpDir;
};

TEST_F(DialogShellTest, TheProgramsShellAnswersWithTheStartedApplication)
{
    AppFolders folders;
    {
        // No wizard at start-up: its stand-in would wait for a person.
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
        store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
    }
    AppDialogShell shell;
    EXPECT_EQ(shell.GetActiveEditorDoc(), nullptr);
    EXPECT_EQ(shell.GetLayoutManager(), nullptr);
    EXPECT_EQ(shell.GetLocalizeIniPath(), "");

    DialogsUi ui(shell);
    CZAVEditorApp app(folders.Environment(), ui, services);
    shell.Attach(&app);
    ASSERT_TRUE(app.InitInstance(std::nullopt));

    EXPECT_EQ(shell.GetLocalizeIniPath(), folders.Environment().programFolder + "Localize.ini");
    EXPECT_EQ(&shell.Settings(), &app.Settings());
    ASSERT_NE(shell.GetActiveEditorDoc(), nullptr);
    EXPECT_EQ(shell.GetLayoutManager(), shell.GetActiveEditorDoc()->GetLayoutManager());
    EXPECT_EQ(shell.MainWindow(), app.GetMainFrame());
    EXPECT_EQ(shell.GetUIFont().pixelSize(), app.GetUIFont().pixelSize());

    // The setters refuse through the shell as they do on the application.
    EXPECT_EQ(shell.Settings().SetUnit(static_cast<DisplayUnit>(3)), 0);

    shell.ReportErrorCode(-1);
    EXPECT_TRUE(recorder.messages.empty());
    shell.ReportErrorCode(1);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, ShippedCaption(24));
    app.ExitInstance();
}

} // namespace
