#include "App/AboutDlg.h"
#include "App/MainFrame.h"
#include "App/support/StandInAppUi.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDockWidget>
#include <QLabel>
#include <QPushButton>

namespace {

// The stand-in bars with dialogs that never block.
class BarsUi : public StandInAppUi
{
public:
    IDocumentUi* DocumentUi() override { return &documentUi; }
    FakeDocumentUi documentUi;
};

class StandInBarsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        app = std::make_unique<CZAVEditorApp>(folders.Environment(), ui, services);
        ASSERT_TRUE(app->InitInstance(std::nullopt));
    }
    void TearDown() override { app->ExitInstance(); }

    // A camera layout, so that the paper-mode bar shows.
    AppFolders folders{{"ShowOpeningFirst=0", "EditableFrameType=1"}};
    BarsUi ui;
    FakeServices services;
    MessageRecorder recorder;
    std::unique_ptr<CZAVEditorApp> app;
};

TEST_F(StandInBarsTest, ToolBoxHasTheFiveToolsAndStoresTheSelectedOneInTheLayout)
{
    IToolBoxBar* toolBox = app->GetMainFrame()->GetToolBoxBar();
    ASSERT_NE(toolBox, nullptr);
    EXPECT_EQ(app->GetToolBox(), toolBox);
    const QList<QAbstractButton*> buttons = toolBox->Widget()->findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 5);
    for (const ToolButton& button : ToolBoxButtons) {
        toolBox->SelectTool(button.tool);
        EXPECT_EQ(app->GetDocument()->GetLayoutManager()->GetDragState().currentTool, button.tool);
        const auto checked =
            std::count_if(buttons.begin(), buttons.end(), [](auto* b) { return b->isChecked(); });
        EXPECT_EQ(checked, 1);
    }
}

TEST_F(StandInBarsTest, ToolButtonsGoThroughTheViewsCommandsAndAGreyedOneChangesNothing)
{
    ASSERT_TRUE(app->GetDocument()->IsDSCLayout());
    const QList<QAbstractButton*> buttons =
        app->GetMainFrame()->GetToolBoxBar()->Widget()->findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 5);
    const auto buttonOf = [&buttons](int command) {
        for (std::size_t i = 0; i < std::size(ToolBoxButtons); ++i)
            if (ToolBoxButtons[i].command == command)
                return buttons.at(static_cast<int>(i));
        return static_cast<QAbstractButton*>(nullptr);
    };
    const int& tool = app->GetDocument()->GetLayoutManager()->GetDragState().currentTool;
    buttonOf(32830)->click();
    EXPECT_EQ(tool, 5);
    EXPECT_TRUE(buttonOf(32830)->isChecked());
    // Photo frames are not drawn on a camera layout: its button stays up.
    buttonOf(32850)->click();
    EXPECT_EQ(tool, 5);
    EXPECT_TRUE(buttonOf(32830)->isChecked());
    EXPECT_FALSE(buttonOf(32850)->isChecked());
}

TEST_F(StandInBarsTest, MovingAFloatingFrameStoresItsPlace)
{
    QDockWidget* toolBoxFrame = app->GetMainFrame()->ToolBoxFrame();
    toolBoxFrame->move(120, 90);
    QCoreApplication::processEvents();
    const QRect toolBoxRect = toolBoxFrame->frameGeometry();
    EXPECT_EQ(
        app->Settings().GetToolBoxWindowRect(),
        (Rect{toolBoxRect.left(), toolBoxRect.top(), toolBoxRect.right() + 1, toolBoxRect.bottom() + 1}));

    QDockWidget* modeFrame = app->GetMainFrame()->ChangeModeFrame();
    modeFrame->move(300, 400);
    QCoreApplication::processEvents();
    const QRect modeRect = modeFrame->frameGeometry();
    EXPECT_EQ(app->Settings().GetChangeModeWindowPos(), (Point{modeRect.left(), modeRect.top()}));
}

TEST_F(StandInBarsTest, AboutBoxIsLocalisedFromItsDialogSection)
{
    CAboutDlg dialog(app->GetLocalizeIniPath(), &app->GetUIFont());
    EXPECT_EQ(dialog.windowTitle(), ShippedCaption(3370));
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("ZAV VARERAVA 2.12")));
    EXPECT_TRUE(texts.contains(ShippedCaption(168)));
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text(), ShippedCaption(3100));
}

} // namespace
