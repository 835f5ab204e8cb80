#include "App/MainFrame.h"
#include "App/SingleInstance.h"
#include "App/support/AppTestSupport.h"
#include "Core/TempFolders.h"
#include "Core/support/ScopedTmpDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QSettings>

#include <cstdlib>
#include <optional>

namespace {

class StartUpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        // The temporary image folder lies under the user's temporary folder.
        m_tmpDir.emplace(tmp.path().toStdString());
    }

    QTemporaryDir tmp;
    FakeAppUi ui;
    FakeServices services;
    MessageRecorder recorder;

private:
    // Set once the test application exists, which points TMPDIR at its own
    // folder first; the last member, so that it is put back before the
    // others go.
    std::optional<ScopedTmpDir> m_tmpDir;
};

TEST_F(StartUpTest, AStartShowsTheWindowAndBothBarsAndSavesAtExit)
{
    AppFolders folders({"EditableFrameType=1"});
    CZAVEditorApp app(folders.Environment(), ui, services);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    CMainFrame* frame = app.GetMainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    // A new layout: its name, the place of the modified marker and the program's title.
    EXPECT_EQ(frame->windowTitle(), ShippedCaption(173) + QStringLiteral("[*] - ") + ShippedCaption(161));
    EXPECT_TRUE(frame->ToolBoxFrame()->isVisible());
    EXPECT_TRUE(frame->ToolBoxFrame()->isFloating());
    EXPECT_TRUE(frame->ChangeModeFrame()->isVisible());
    // A tool box never placed before keeps the bar's own height.
    for (const std::string& call : ui.toolBox->calls)
        EXPECT_NE(call.rfind("SetBarHeight", 0), 0u) << call;
    EXPECT_EQ(ui.logoRuns, 1);
    EXPECT_EQ(app.GetUIFont().pixelSize(), 12);
    EXPECT_EQ(app.GetLocalizeIniPath(), folders.Environment().programFolder + "Localize.ini");
    EXPECT_TRUE(recorder.messages.empty());
    app.ExitInstance();
    QSettings store(folders.SettingsFile(), QSettings::IniFormat);
    EXPECT_TRUE(store.contains(QStringLiteral("App Info/MainWindowX")));
    EXPECT_TRUE(store.contains(QStringLiteral("RecentUsedFile/RecentUsedFile10")));
}

TEST_F(StartUpTest, ASecondStartWritesNoSettingsAndLeavesTheTemporaryFolder)
{
    AppFolders folders;
    SingleInstance running(folders.Environment().instanceFolder);
    ASSERT_TRUE(running.TryBecomeOnlyInstance());
    const std::string tempImages = GetTempImageFolder(true);
    ASSERT_TRUE(QDir(QString::fromStdString(tempImages)).exists());

    CZAVEditorApp second(folders.Environment(), ui, services);
    EXPECT_FALSE(second.InitInstance(std::nullopt));
    EXPECT_FALSE(second.IsInitialized());
    second.ExitInstance();
    EXPECT_FALSE(QFile::exists(folders.SettingsFile()));
    EXPECT_TRUE(QDir(QString::fromStdString(tempImages)).exists());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(StartUpTest, RefusedStartsShowTheirTextAndWriteNothing)
{
    struct Case
    {
        const char* name;
        bool withLocalizeIni;
        bool siblingRunning;
        QString text;
        QString caption;
    };
    const Case cases[] = {
        {"no Localize.ini", false, false, QStringLiteral("Application error.\nPlease reinstall application."),
         QStringLiteral("ZAV ZEZEVIDI2.1")},
        {"photo-printing application running", true, true, ShippedCaption(194), ShippedCaption(161)},
    };
    for (const Case& c : cases) {
        AppFolders folders({}, c.withLocalizeIni);
        const std::string tempImages = GetTempImageFolder(true);
        services.siblingPath = c.siblingRunning ? "/opt/print/print.exe" : "";
        services.siblingRunning = c.siblingRunning;
        recorder.messages.clear();
        {
            CZAVEditorApp app(folders.Environment(), ui, services);
            EXPECT_FALSE(app.InitInstance(std::nullopt)) << c.name;
            app.ExitInstance();
        }
        ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
        EXPECT_EQ(recorder.messages[0].text, c.text) << c.name;
        EXPECT_EQ(recorder.messages[0].caption, c.caption) << c.name;
        EXPECT_EQ(recorder.messages[0].type, MB_ICONSTOP) << c.name;
        EXPECT_FALSE(QFile::exists(folders.SettingsFile())) << c.name;
        // Its exit clears the working folders as every exit does.
        EXPECT_FALSE(QDir(QString::fromStdString(tempImages)).exists()) << c.name;
    }
    EXPECT_FALSE(ShippedCaption(194).isEmpty());
}

TEST_F(StartUpTest, EachConditionOfTheRunningApplicationRefusalAloneLetsTheProgramStart)
{
    struct Case
    {
        const char* name;
        std::string path;
        std::optional<int> found;
        bool running;
    };
    const Case cases[] = {
        {"installed, not running", "/opt/print/print.exe", std::nullopt, false},
        {"running, its path not found", "/opt/print/print.exe", 0, true},
        {"running, found with an empty path", "", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppFolders folders;
        services.siblingPath = c.path;
        services.siblingPathResult = c.found;
        services.siblingRunning = c.running;
        recorder.messages.clear();
        CZAVEditorApp app(folders.Environment(), ui, services);
        EXPECT_TRUE(app.InitInstance(std::nullopt));
        app.ExitInstance();
        for (const RecordedMessage& message : recorder.messages)
            EXPECT_NE(message.text, ShippedCaption(194));
    }
}

TEST_F(StartUpTest, AStoredPlaceIsFittedAndTheBarsHiddenAsStored)
{
    AppFolders folders({"EditableFrameType=1"});
    {
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowToolBoxWindow"), 0);
        store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
        store.setValue(QStringLiteral("App Info/MainWindowX"), 20);
        store.setValue(QStringLiteral("App Info/MainWindowY"), 30);
        store.setValue(QStringLiteral("App Info/MainWindowW"), 640);
        store.setValue(QStringLiteral("App Info/MainWindowH"), 480);
    }
    CZAVEditorApp app(folders.Environment(), ui, services);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    EXPECT_EQ(ui.logoRuns, 0);
    EXPECT_FALSE(app.GetMainFrame()->ToolBoxFrame()->isVisible());
    EXPECT_TRUE(app.GetMainFrame()->ChangeModeFrame()->isVisible());
    // The stored corner is the border's, not the inside's.
    EXPECT_EQ(app.GetMainFrame()->frameGeometry(), QRect(20, 30, 640, 480));
    app.ExitInstance();
}

TEST_F(StartUpTest, AStoredToolBoxPlaceSetsTheBarsHeightToWhatTheFrameLeavesIt)
{
    AppFolders folders;
    {
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
        store.setValue(QStringLiteral("App Info/ToolBoxWindowX"), 50);
        store.setValue(QStringLiteral("App Info/ToolBoxWindowY"), 60);
        store.setValue(QStringLiteral("App Info/ToolBoxWindowW"), 278);
        store.setValue(QStringLiteral("App Info/ToolBoxWindowH"), 420);
    }
    CZAVEditorApp app(folders.Environment(), ui, services);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    QDockWidget* frame = app.GetMainFrame()->ToolBoxFrame();
    const int overhead = frame->frameGeometry().height() - frame->widget()->height();
    std::vector<std::string> heights;
    for (const std::string& call : ui.toolBox->calls)
        if (call.rfind("SetBarHeight", 0) == 0)
            heights.push_back(call);
    EXPECT_EQ(heights, std::vector<std::string>{"SetBarHeight " + std::to_string(420 - overhead)});
    EXPECT_EQ(frame->frameGeometry().topLeft(), QPoint(50, 60));
    app.ExitInstance();
}

} // namespace
