#include "App/MainFrame.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/AppTestSupport.h"
#include "Core/support/ScopedTmpDir.h"
#include "Dialogs/ChangeModeBar.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogsUi.h"
#include "Dialogs/ItemListBox.h"
#include "Dialogs/ToolBoxBar.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDockWidget>
#include <QKeyEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

struct KeyRecorder : QObject
{
    std::vector<int> keys;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys.push_back(static_cast<QKeyEvent*>(event)->key());
        return false;
    }
};

class ProgramBarsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        m_tmpDir.emplace(tmp.path().toStdString());
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
    }

    QTemporaryDir tmp;
    AppFolders folders;
    FakeServices services;
    MessageRecorder recorder;

private:
    // Set once the test application exists, which points TMPDIR at its own
    // folder first; the last member, so that it is put back before the
    // others go.
    std::optional<ScopedTmpDir> m_tmpDir;
};

TEST_F(ProgramBarsTest, TheProgramGetsTheRealBarsAndTheirPlacesAreKept)
{
    AppDialogShell shell;
    DialogsUi ui(shell);
    CZAVEditorApp app(folders.Environment(), ui, services);
    shell.Attach(&app);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    CMainFrame* frame = app.GetMainFrame();
    auto* toolBox = dynamic_cast<CToolBoxBar*>(frame->GetToolBoxBar());
    auto* modeBar = dynamic_cast<CChangeModeBar*>(frame->GetChangeModeBar());
    ASSERT_NE(toolBox, nullptr);
    ASSERT_NE(modeBar, nullptr);
    EXPECT_EQ(toolBox->parentWidget(), frame->ToolBoxFrame());
    EXPECT_EQ(frame->ToolBoxFrame()->windowTitle(), toolBox->windowTitle());
    EXPECT_EQ(app.GetToolBox(), static_cast<ILayoutToolBox*>(toolBox));

    // The view's tool command reaches the tool box through the application.
    app.SelectTool(4);
    EXPECT_EQ(toolBox->GetToolButtons().GetCurrent(), 3);
    EXPECT_EQ(app.GetDocument()->GetLayoutManager()->GetDragState().currentTool, 4);

    // Keys go to the main frame's view.
    KeyRecorder view;
    frame->centralWidget()->installEventFilter(&view);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    shell.ForwardKeyToView(key);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.keys, std::vector<int>{Qt::Key_Delete});
    frame->centralWidget()->removeEventFilter(&view);

    // A visibility toggle in the list reaches the view: the document is changed.
    auto line = std::make_unique<CLineItem>();
    line->SetRect(RECT{50, 500, 450, 500});
    CLayoutItem* item = line.get();
    CLayoutManager& layout = *app.GetDocument()->GetLayoutManager();
    layout.AddItem(0, std::move(line));
    toolBox->UpdateItemList(1);
    app.GetDocument()->SetModifiedFlag(0);
    CItemListBox* list = toolBox->GetItemList();
    ASSERT_EQ(list->GetItemAt(0), item);
    const QPoint icon(10, CItemListBox::kRowHeight / 2);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, icon);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, icon);
    EXPECT_FALSE(item->IsVisible());
    EXPECT_TRUE(app.GetDocument()->IsModified());

    // Moving the floating frames stores their places in the settings file.
    frame->ToolBoxFrame()->show();
    frame->ToolBoxFrame()->move(140, 90);
    frame->ChangeModeFrame()->show();
    frame->ChangeModeFrame()->move(260, 610);
    QCoreApplication::processEvents();
    const QRect toolBoxAt = frame->ToolBoxFrame()->frameGeometry();
    const QRect modeAt = frame->ChangeModeFrame()->frameGeometry();
    app.ExitInstance();
    QSettings store(folders.SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(store.value(QStringLiteral("App Info/ToolBoxWindowX")).toInt(), toolBoxAt.left());
    EXPECT_EQ(store.value(QStringLiteral("App Info/ToolBoxWindowY")).toInt(), toolBoxAt.top());
    EXPECT_EQ(store.value(QStringLiteral("App Info/ToolBoxWindowH")).toInt(), toolBoxAt.height());
    EXPECT_EQ(store.value(QStringLiteral("App Info/ChangeModeWindowX")).toInt(), modeAt.left());
    EXPECT_EQ(store.value(QStringLiteral("App Info/ChangeModeWindowY")).toInt(), modeAt.top());
}

} // namespace
