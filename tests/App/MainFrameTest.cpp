#include "App/MainFrame.h"
#include "App/MainMenu.h"
#include "App/support/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

namespace {

class RecordingTarget : public ICommandTarget
{
public:
    bool HandlesCommand(int id) const override { return id == ID_FILE_NEW || id == ID_FILE_OPEN; }
    bool IsCommandEnabled(int id) const override { return id != ID_FILE_OPEN; }
    void OnCommand(int id) override { ran.push_back(id); }
    std::vector<int> ran;
};

class MainFrameTest : public ::testing::Test
{
protected:
    void Start(const std::vector<std::string>& uiSettings = {"ShowOpeningFirst=0"})
    {
        EnsureApp();
        folders = std::make_unique<AppFolders>(uiSettings);
        app = std::make_unique<CZAVEditorApp>(folders->Environment(), ui, services);
        ASSERT_TRUE(app->InitInstance(std::nullopt));
        frame = app->GetMainFrame();
        app->Router().SetTarget(CommandRouter::Document, &document);
    }
    void TearDown() override
    {
        if (app)
            app->ExitInstance();
    }

    FakeAppUi ui;
    FakeServices services;
    RecordingTarget document;
    MessageRecorder recorder;
    std::unique_ptr<AppFolders> folders;
    std::unique_ptr<CZAVEditorApp> app;
    CMainFrame* frame = nullptr;
};

TEST_F(MainFrameTest, ResizingBelowTheMinimumGives200By300)
{
    Start();
    frame->resize(100, 100);
    EXPECT_EQ(frame->size(), QSize(200, 300));
}

TEST_F(MainFrameTest, MaximiseStoresOneAndRestoreStoresZeroAndTheRectangle)
{
    Start();
    frame->showNormal();
    frame->setGeometry(40, 50, 500, 400);
    QCoreApplication::processEvents();
    frame->showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(frame->isMaximized());
    EXPECT_EQ(app->Settings().GetMainWindowMaximize(), 1);
    frame->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(app->Settings().GetMainWindowMaximize(), 0);
    const QRect restored = frame->frameGeometry();
    EXPECT_EQ(app->Settings().GetMainWindowRect(),
              (Rect{restored.left(), restored.top(), restored.right() + 1, restored.bottom() + 1}));
}

TEST_F(MainFrameTest, LayoutChangesAreRelayedByTheTable)
{
    struct Case
    {
        int kind;
        bool itemList;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {1, true, {}},
        {2, true, {"UpdateItemInfo 1"}},
        {3, true, {"UpdateList 1", "RedrawPositionInfo 0"}},
        {4, false, {"RedrawPositionInfo 0"}},
        {5, true, {"UpdateList 0", "RedrawPositionInfo 0"}},
        {5, false, {"RedrawPositionInfo 0"}},
        {6, true, {"RedrawPositionInfo 0"}},
        {7, true, {}},
        {0, true, {}},
    };
    Start();
    for (const Case& c : cases) {
        ui.toolBox->calls.clear();
        // The fake's item list is fixed at creation; a case without one uses a second frame.
        if (!c.itemList) {
            FakeAppUi noList;
            noList.toolBoxWithItemList = false;
            CMainFrame other(*app, noList, app->Router());
            EXPECT_EQ(other.OnLayoutChanged(c.kind), 0);
            EXPECT_EQ(noList.toolBox->calls, c.calls) << c.kind;
            continue;
        }
        EXPECT_EQ(frame->OnLayoutChanged(c.kind), 0);
        EXPECT_EQ(ui.toolBox->calls, c.calls) << c.kind;
    }
}

std::vector<int> Ids(const std::vector<MenuEntry>& entries)
{
    std::vector<int> ids;
    for (const MenuEntry& e : entries)
        ids.push_back(e.kind == MenuEntry::Kind::Popup ? -1 : e.id);
    return ids;
}

TEST_F(MainFrameTest, CameraOnlyInstallationPrunesFileButKeepsCtrlN)
{
    Start({"ShowOpeningFirst=0", "EditableFrameType=1"});
    const std::vector<MenuEntry>& file = frame->Menu().entries.at(0).items;
    EXPECT_EQ(Ids(file),
              (std::vector<int>{-1, ID_FILE_OPEN, 0, ID_FILE_SAVE, 32773, 0, 32772, 0, ID_APP_EXIT}));
    EXPECT_EQ(Ids(file[0].items), (std::vector<int>{ID_FILE_NEW_DSC}));
    EXPECT_EQ(frame->menuBar()->actions().size(), 6);
    EXPECT_EQ(frame->menuBar()->actions().at(0)->text(), QStringLiteral("ファイル(&F)"));

    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    QTest::keyClick(frame, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(document.ran, (std::vector<int>{ID_FILE_NEW}));
    // Greyed by its update handler: never runs.
    QTest::keyClick(frame, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(document.ran, (std::vector<int>{ID_FILE_NEW}));
}

TEST_F(MainFrameTest, EveryInstallationKindPrunesItsOwnEntries)
{
    for (const auto& [type, newIds, fileSize] :
         {std::tuple{0, std::vector<int>{ID_FILE_NEW, ID_FILE_NEW_DSC}, 11},
          {2, std::vector<int>{ID_FILE_NEW}, 11},
          {1, std::vector<int>{ID_FILE_NEW_DSC}, 9}}) {
        MenuModel menu = BuildMainMenuSkeleton();
        PruneMainMenu(menu, type);
        EXPECT_EQ(Ids(menu.entries[0].items[0].items), newIds) << type;
        EXPECT_EQ(menu.entries[0].items.size(), static_cast<std::size_t>(fileSize)) << type;
    }
}

TEST_F(MainFrameTest, MenuEntriesRunOnlyWhenEnabled)
{
    Start();
    QMenu* file = frame->menuBar()->actions().at(0)->menu();
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    QAction* open = nullptr;
    for (QAction* action : file->actions())
        if (action->data().toInt() == ID_FILE_OPEN)
            open = action;
    ASSERT_NE(open, nullptr);
    EXPECT_FALSE(open->isEnabled());
    EXPECT_FALSE(app->Router().Route(ID_FILE_OPEN));
    EXPECT_TRUE(app->Router().Route(ID_FILE_NEW));
    EXPECT_FALSE(app->Router().Route(12345)); // no target knows it
    EXPECT_EQ(document.ran, (std::vector<int>{ID_FILE_NEW}));
}

TEST_F(MainFrameTest, BarsFloatCannotBeClosedAndTellTheirBarWhenMoved)
{
    Start();
    QDockWidget* toolBox = frame->ToolBoxFrame();
    EXPECT_TRUE(toolBox->isFloating());
    EXPECT_FALSE(toolBox->features() & QDockWidget::DockWidgetClosable);
    EXPECT_FALSE(frame->ChangeModeFrame()->features() & QDockWidget::DockWidgetClosable);
    EXPECT_EQ(toolBox->allowedAreas(), Qt::NoDockWidgetArea);
    ui.toolBox->calls.clear();
    toolBox->move(toolBox->pos() + QPoint(30, 20));
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.toolBox->calls, (std::vector<std::string>{"Moved"}));
}

TEST_F(MainFrameTest, ABoxAskedForWhileABarIsActiveIsOwnedByTheMainWindow)
{
    Start();
    EXPECT_EQ(MessageBoxOwner(frame, frame->ToolBoxFrame()), frame);
    EXPECT_EQ(MessageBoxOwner(frame, nullptr), frame);
    QWidget dialog;
    EXPECT_EQ(MessageBoxOwner(frame, &dialog), &dialog);
    frame->ToolBoxFrame()->activateWindow();
    QCoreApplication::processEvents();
    ShowLocalizedMessage(24, MB_ICONSTOP);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].owner, frame);
}

TEST_F(MainFrameTest, HelpAboutOpensTheAboutBoxOverTheMainWindow)
{
    Start();
    QAction* about = nullptr;
    for (QAction* menu : frame->menuBar()->actions())
        if (menu->menu())
            for (QAction* entry : menu->menu()->actions())
                if (entry->data().toInt() == ID_APP_ABOUT)
                    about = entry;
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(about->isEnabled());
    QString seenTitle;
    QWidget* seenParent = nullptr;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            seenTitle = box->windowTitle();
            seenParent = box->parentWidget();
            box->close();
        }
    });
    about->trigger();
    EXPECT_EQ(seenTitle, ShippedCaption(3370));
    EXPECT_EQ(seenParent, frame);
}

TEST_F(MainFrameTest, ReportErrorCodeShowsOnlyTheGeneralError)
{
    Start();
    ReportErrorCode(-1);
    ReportErrorCode(0);
    ReportErrorCode(2);
    EXPECT_TRUE(recorder.messages.empty());
    ReportErrorCode(1);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, ShippedCaption(24));
    EXPECT_EQ(recorder.messages[0].caption, ShippedCaption(161));
    EXPECT_EQ(recorder.messages[0].type, MB_ICONSTOP);
    EXPECT_FALSE(recorder.messages[0].text.isEmpty());
}

} // namespace
