#include "App/MainFrame.h"
#include "App/support/StandInAppUi.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/DocumentFakes.h"
#include "App/support/ModalScript.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QSettings>
#include <QTimer>

namespace {

class DocumentWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureApp(); }

    FakeAppUi ui;
    FakeServices services;
    FakeFileKinds kinds;
    MessageRecorder recorder;
    QTemporaryDir work;
};

TEST_F(DocumentWindowTest, AFileNamedOnTheCommandLineOpens)
{
    AppFolders folders({"ShowOpeningFirst=0"});
    const std::string path = work.filePath(QStringLiteral("start.zvd")).toStdString();
    QFile(QString::fromStdString(path)).open(QIODevice::WriteOnly);
    CZAVEditorApp app(folders.Environment(), ui, services);
    app.SetLayoutFileKinds(&kinds);
    ASSERT_TRUE(app.InitInstance(path));
    EXPECT_EQ(kinds.calls, std::vector<std::string>{"load zvd " + path});
    EXPECT_EQ(app.GetDocument()->GetPathName(), path);
    EXPECT_EQ(app.GetRecentFileList()->front(), path);
    EXPECT_TRUE(ui.documentUi.wizardModes.empty());
    EXPECT_TRUE(recorder.messages.empty());
    app.ExitInstance();
}

TEST_F(DocumentWindowTest, AFileThatFailsShowsItsMessageLeavesANewLayoutAndNoWizard)
{
    AppFolders folders({"ShowOpeningFirst=0"});
    const std::string path = work.filePath(QStringLiteral("broken.zvd")).toStdString();
    QFile(QString::fromStdString(path)).open(QIODevice::WriteOnly);
    kinds.loadResult = 0;
    CZAVEditorApp app(folders.Environment(), ui, services);
    app.SetLayoutFileKinds(&kinds);
    ASSERT_TRUE(app.InitInstance(path));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, ShippedCaption(25));
    EXPECT_TRUE(app.GetDocument()->GetPathName().empty());
    EXPECT_EQ(app.GetDocument()->GetWindowTitle(), ShippedCaption(173).toStdString());
    EXPECT_TRUE(ui.documentUi.wizardModes.empty());
    EXPECT_TRUE(app.GetMainFrame()->isVisible());
    app.ExitInstance();
}

TEST_F(DocumentWindowTest, APlainStartOffersTheWizardOnItsStartPage)
{
    AppFolders folders({"ShowOpeningFirst=0"});
    CZAVEditorApp app(folders.Environment(), ui, services);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    EXPECT_EQ(ui.documentUi.wizardModes, std::vector<int>{0});
    app.ExitInstance();
}

TEST_F(DocumentWindowTest, ACameraStartShowsThePaperModeBarAndLeavesTheFrameTool)
{
    AppFolders folders({"ShowOpeningFirst=0", "EditableFrameType=1"});
    CZAVEditorApp app(folders.Environment(), ui, services);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    EXPECT_TRUE(app.GetDocument()->IsDSCLayout());
    ASSERT_NE(ui.toolBox, nullptr);
    EXPECT_NE(std::find(ui.toolBox->calls.begin(), ui.toolBox->calls.end(), "SelectTool 7"),
              ui.toolBox->calls.end());
    EXPECT_TRUE(app.GetMainFrame()->ChangeModeFrame()->isVisible());
    app.ExitInstance();
}

TEST_F(DocumentWindowTest, APhotoStartHidesThePaperModeBarWhateverTheSetting)
{
    AppFolders folders({"ShowOpeningFirst=0"});
    {
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowChangeModeWindow"), 1);
    }
    CZAVEditorApp app(folders.Environment(), ui, services);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    EXPECT_FALSE(app.GetDocument()->IsDSCLayout());
    EXPECT_TRUE(app.GetMainFrame()->isVisible());
    EXPECT_FALSE(app.GetMainFrame()->ChangeModeFrame()->isVisible());
    app.ExitInstance();
}

TEST_F(DocumentWindowTest, FileNewWithAPostcardChosenInTheStandInMakesAPostcardLayout)
{
    AppFolders folders({"ShowOpeningFirst=0"});
    {
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
    }
    // The stand-in dialogs themselves, driven as a user would.
    StandInAppUi standIn;
    CZAVEditorApp app(folders.Environment(), standIn, services);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    ASSERT_NE(app.GetDocument()->GetLayoutManager()->GetPaperSizeIndex(), 0);
    bool driven = false;
    modaltest::OnNextModal<QDialog>([&](QDialog& modal) {
        auto* dialog = &modal;
        auto* papers = dialog->findChild<QComboBox*>(QStringLiteral("PaperSize"));
        auto* direction = dialog->findChild<QComboBox*>(QStringLiteral("Direction"));
        ASSERT_NE(papers, nullptr);
        ASSERT_NE(direction, nullptr);
        papers->setCurrentIndex(papers->findData(0)); // postcard
        direction->setCurrentIndex(1);
        driven = true;
        dialog->accept();
    });
    ASSERT_TRUE(app.Router().Route(57600));
    EXPECT_TRUE(driven);
    CZAVEditorDoc& doc = *app.GetDocument();
    EXPECT_EQ(doc.GetLayoutManager()->GetPaperSizeIndex(), 0);
    EXPECT_EQ(doc.GetLayoutManager()->GetOrientation(), 1);
    EXPECT_FALSE(doc.IsDSCLayout());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(app.Settings().GetSingleZAVDefaultPaperSize(), 0);
    EXPECT_EQ(app.Settings().GetSingleZAVDefaultPaperDirection(), 1);
    app.ExitInstance();
}

} // namespace
