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

#include <QApplication>
#include <QCoreApplication>
#include <QDockWidget>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <map>
#include <optional>
#include <string>

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

// Where each of the start-up windows was when it was first shown, and how often
// it was shown: a window manager takes the place a window has when it is
// mapped and may ignore a later move.
struct FirstShowRecorder : QObject
{
    std::map<std::string, QRect> firstShownAt;
    std::map<std::string, int> shows;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && widget && widget->isWindow()) {
            const std::string name = widget->objectName().toStdString();
            if (shows[name]++ == 0)
                firstShownAt[name] = widget->frameGeometry();
        }
        return false;
    }
};

std::string Describe(const QPoint& p)
{
    return std::to_string(p.x()) + "," + std::to_string(p.y());
}

std::string Describe(const QRect& r)
{
    return Describe(r.topLeft()) + " " + std::to_string(r.width()) + "x" + std::to_string(r.height());
}

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

TEST_F(ProgramBarsTest, OnAFirstStartTheBarsAreShownOnceWhereTheyBelongBesideTheMainWindow)
{
    // Camera layouts only: the new layout shows the mode bar too.
    AppFolders camera({"EditableFrameType=1"});
    {
        QSettings store(camera.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
        store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
    }
    FirstShowRecorder shown;
    qApp->installEventFilter(&shown);
    AppDialogShell shell;
    DialogsUi ui(shell);
    QRect toolBoxAt, modeAt;
    {
        CZAVEditorApp app(camera.Environment(), ui, services);
        shell.Attach(&app);
        const bool started = app.InitInstance(std::nullopt);
        qApp->removeEventFilter(&shown);
        ASSERT_TRUE(started);
        CMainFrame* frame = app.GetMainFrame();
        const QRect main = frame->frameGeometry();
        toolBoxAt = frame->ToolBoxFrame()->frameGeometry();
        modeAt = frame->ChangeModeFrame()->frameGeometry();
        // Every menu shows on the menu bar, none behind its overflow button.
        const QMenuBar* menus = frame->menuBar();
        for (QAction* action : menus->actions())
            EXPECT_TRUE(menus->rect().contains(menus->actionGeometry(action)) &&
                        !menus->actionGeometry(action).isEmpty())
                << action->text().toStdString();
        // The window leaves room for both bars, so neither covers it.
        const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_GE(work.width(), main.width() + toolBoxAt.width());
        EXPECT_GE(work.height(), main.height() + modeAt.height());
        EXPECT_FALSE(toolBoxAt.intersects(main)) << Describe(toolBoxAt) << " main " << Describe(main);
        EXPECT_FALSE(modeAt.intersects(main)) << Describe(modeAt) << " main " << Describe(main);

        // The main window with its border, title bar included, on the screen.
        EXPECT_TRUE(work.contains(main)) << Describe(work) << " main " << Describe(main);
        // The tool box beside it, not above the bottom of its menu bar (the
        // border a window system will add counts), so a maximised window
        // keeps its menus uncovered.
        const int menuBottom = menus->mapToGlobal(QPoint(0, menus->height())).y();
        EXPECT_EQ(toolBoxAt.left(), main.right() + 1);
        EXPECT_GE(toolBoxAt.top(), menuBottom);
        EXPECT_LE(toolBoxAt.top(), menuBottom + 40);
        EXPECT_EQ(Describe(modeAt.topLeft()), Describe(main.bottomLeft() + QPoint(0, 1)));
        // Each window was shown once, already where it belongs.
        EXPECT_EQ(shown.shows, (std::map<std::string, int>{
                                   {"MainFrame", 1}, {"ToolBoxFrame", 1}, {"ChangeModeFrame", 1}}));
        EXPECT_EQ(Describe(shown.firstShownAt["MainFrame"]), Describe(main));
        EXPECT_EQ(Describe(shown.firstShownAt["ToolBoxFrame"]), Describe(toolBoxAt));
        EXPECT_EQ(Describe(shown.firstShownAt["ChangeModeFrame"].topLeft()), Describe(modeAt.topLeft()));
        app.ExitInstance();
    }
    // What is remembered is where the bars are, not where they were before placement.
    QSettings store(camera.SettingsFile(), QSettings::IniFormat);
    const auto stored = [&store](const char* key) {
        return store.value(QLatin1String("App Info/") + QLatin1String(key)).toInt();
    };
    EXPECT_EQ(Describe(QRect(stored("ToolBoxWindowX"), stored("ToolBoxWindowY"), stored("ToolBoxWindowW"),
                             stored("ToolBoxWindowH"))),
              Describe(toolBoxAt));
    EXPECT_EQ(Describe(QPoint(stored("ChangeModeWindowX"), stored("ChangeModeWindowY"))),
              Describe(modeAt.topLeft()));
}

} // namespace
