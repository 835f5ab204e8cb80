#include "App/MainFrame.h"
#include "App/MainMenu.h"
#include "App/MenuDisplay.h"
#include "App/ViewCommandHost.h"
#include "App/ViewCommandRules.h"
#include "App/ViewCommandTable.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/AppTestSupport.h"
#include "App/support/SiblingAppConfig.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/ClipboardPort.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/DialogFakes.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace {

// The view's dialogs: what each was shown, and the answer the test chose.
class FakeViewDialogs : public IViewDialogs
{
public:
    bool RunGridDialog(GridSettings& grid) override
    {
        gridShown.push_back(grid);
        if (!accept)
            return false;
        grid = gridAnswer;
        return true;
    }
    bool RunLineDialog(int& points) override
    {
        lineShown.push_back(points);
        if (!accept)
            return false;
        points = lineAnswer;
        return true;
    }
    bool RunRollPaperDialog(int lowest, int highest, int& length) override
    {
        rollShown.push_back({lowest, highest, length});
        if (!accept)
            return false;
        length = rollAnswer;
        return true;
    }
    bool RunEnvDialog() override
    {
        ++envRuns;
        return accept;
    }

    bool accept = true;
    GridSettings gridAnswer{20, 30, true, true};
    int lineAnswer = 7;
    int rollAnswer = 5000;
    std::vector<GridSettings> gridShown;
    std::vector<int> lineShown;
    std::vector<std::array<int, 3>> rollShown;
    int envRuns = 0;
};

class VersionedServices : public FakeServices
{
public:
    double GetFileVersionString() override { return version; }
    double version = 3.4;
};

class ViewCommandsTest : public ::testing::Test
{
public:
    ViewCommandsTest() : tempEnv("TMPDIR", temp.path().toStdString())
    {
        EnsureApp();
        ui.viewDialogs = &viewDialogs;
        app = std::make_unique<CZAVEditorApp>(folders.Environment(), ui, services);
        EXPECT_TRUE(app->InitInstance(std::nullopt));
        view = app->GetView();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(app->GetMainFrame()));
        Layout().SetClipboardPort(&clipboard);
        Layout().SetFrameNameFormat("Frame%d");
        view->SetManualOpener([this](const std::string& path) {
            opened.push_back(path);
            return true;
        });
    }
    ~ViewCommandsTest() override
    {
        Layout().SetClipboardPort(nullptr);
        app->ExitInstance();
    }

    CLayoutManager& Layout() { return *app->GetDocument()->GetLayoutManager(); }
    CZAVEditorDoc& Document() { return *app->GetDocument(); }
    const CCmdUI State(int id) { return app->Router().QueryState(id); }
    RECT Printable() { return Layout().GetPrintableRect(); }

    template <class T> T* Add(std::unique_ptr<T> item, RECT rect, bool selected)
    {
        T* raw = item.get();
        item->SetRect(rect);
        Layout().AddItem(-1, std::move(item));
        raw->SetSelected(selected);
        return raw;
    }
    CLineItem* AddLine(int width, bool selected = true, int y = 0)
    {
        const RECT p = Printable();
        auto line = std::make_unique<CLineItem>();
        line->SetWidth(width);
        const int at = p.top + 200 + y;
        return Add(std::move(line), RECT{p.left + 100, at, p.left + 400, at}, selected);
    }
    CInsertImageFrameItem* AddFrame(RECT rect, bool selected = true)
    {
        return Add(std::make_unique<CInsertImageFrameItem>(), rect, selected);
    }
    CStringItem* AddText(bool selected = true)
    {
        return Add(std::make_unique<CStringItem>(), RECT{100, 400, 300, 440}, selected);
    }
    CMacroStringItem* AddMacro(CInsertImageFrameItem* owner, bool selected = true)
    {
        auto text = std::make_unique<CMacroStringItem>();
        text->SetOwnerFrame(owner);
        return Add(std::move(text), RECT{60, 320, 260, 340}, selected);
    }
    CBackgroundImageFrameItem* AddBackground(bool selected = true)
    {
        return Add(std::make_unique<CBackgroundImageFrameItem>(), RECT{0, 0, 300, 300}, selected);
    }
    // A small picture on disk.
    std::string Picture()
    {
        const std::string path = temp.path().toStdString() + "/picture.bmp";
        QImage image(640, 480, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
        return path;
    }

    // The main menu as the user opens it: its update handlers run, then the entry is chosen.
    bool FromMenu(int id)
    {
        QAction* action = FindMenuAction(*app->MainMenuBar(), id);
        EXPECT_NE(action, nullptr) << id;
        if (!action)
            return false;
        auto* menu = qobject_cast<QMenu*>(action->parent());
        EXPECT_NE(menu, nullptr);
        if (!menu)
            return false;
        emit menu->aboutToShow();
        if (!action->isEnabled())
            return false;
        action->trigger();
        return true;
    }
    // The accelerator's keys, typed into the main window.
    void FromKeys(const char* keys)
    {
        CMainFrame* frame = app->GetMainFrame();
        frame->activateWindow();
        view->setFocus();
        QTest::keySequence(frame, QKeySequence(QString::fromLatin1(keys)));
    }
    // A right click at a page point (layout units), choosing the entry.
    std::vector<MenuModel> FromContextMenu(POINT pagePoint, int id)
    {
        std::vector<MenuModel> shown;
        view->SetMenuRunner([&shown, id](const MenuModel& menu, QPoint) {
            shown.push_back(menu);
            return id;
        });
        POINT p = pagePoint;
        Layout().ScalePoint(&p, -1.0f);
        const POINT origin = Layout().GetOrigin();
        const POINT margin = Layout().GetMarginOffset(true);
        const POINT scroll = view->GetScrollPosition();
        const QPoint at(p.x + origin.x + margin.x - scroll.x, p.y + origin.y + margin.y - scroll.y);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &event);
        view->SetMenuRunner(nullptr);
        return shown;
    }
    // The selected item's rectangle is kept; SelectedRectTurned tells whether it turned by 90 degrees since.
    void SelectedRect() { Layout().GetFirstSelectedItem(nullptr)->GetRect(&kept, false); }
    bool SelectedRectTurned()
    {
        RECT now;
        Layout().GetFirstSelectedItem(nullptr)->GetRect(&now, false);
        return now.right - now.left == kept.bottom - kept.top &&
               now.bottom - now.top == kept.right - kept.left;
    }
    bool ToolBoxAsked(const std::string& call)
    {
        const auto& calls = ui.toolBox->calls;
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    QTemporaryDir temp;
    ScopedEnv tempEnv;
    AppFolders folders{{"ShowOpeningFirst=0"}};
    FakeAppUi ui;
    FakeViewDialogs viewDialogs;
    VersionedServices services;
    MessageRecorder recorder;
    dialogtest::FakeDialogs layoutDialogs;
    std::unique_ptr<CZAVEditorApp> app;
    CZAVEditorView* view = nullptr;
    std::vector<std::string> opened;
    RECT kept{};

    struct Clipboard : IClipboardPort
    {
        bool HasAnyFormat() override { return held.has_value(); }
        bool HasLayoutFormat() override { return held.has_value(); }
        bool Put(const std::vector<std::uint8_t>& block) override
        {
            held = block;
            return true;
        }
        std::optional<std::vector<std::uint8_t>> Get() override { return held; }
        std::optional<std::vector<std::uint8_t>> held;
    } clipboard;
};

// --- The table, sent from the menu ------------------------------------------------------------

TEST_F(ViewCommandsTest, EveryEntryOfTheTableIsOnTheMainMenuOrTheToolBox)
{
    MenuModel menu = BuildMainMenuSkeleton();
    for (const ViewCommandEntry& entry : ViewCommandTable()) {
        if (entry.id == 32857) // the tool box's selection button only
            continue;
        EXPECT_NE(menu.Find(entry.id), nullptr) << entry.id;
        EXPECT_NE(FindMenuAction(*app->MainMenuBar(), entry.id), nullptr) << entry.id;
    }
    // The view comes first: it answers for the commands it knows, the document for Save.
    EXPECT_TRUE(app->Router().IsEnabled(ID_FILE_SAVE));
    EXPECT_EQ(FindViewCommand(ID_FILE_SAVE), nullptr);
}

struct MenuCase
{
    int id;
    std::function<void(ViewCommandsTest&)> setUp;
    std::function<void(ViewCommandsTest&)> check;
};

TEST_F(ViewCommandsTest, EachCommandFromTheMenuReachesItsOperation)
{
    // Each case runs on the page the cases before it left; the checks read what changed.
    const RECT p = Printable();
    const RECT frameRect{p.left + 50, p.top + 50, p.left + 350, p.top + 250};
    const std::vector<MenuCase> cases = {
        {32773, nullptr, [](auto& t) { EXPECT_EQ(t.ui.documentUi.saveDialogForms, std::vector<int>{0}); }},
        {32772, nullptr, [](auto& t) { EXPECT_EQ(t.ui.documentUi.headerDialogRuns, 1); }},
        {32850, nullptr, [](auto& t) { EXPECT_TRUE(t.ToolBoxAsked("SelectTool 6")); }},
        {32840, nullptr, [](auto& t) { EXPECT_TRUE(t.ToolBoxAsked("SelectTool 7")); }},
        {32830, nullptr, [](auto& t) { EXPECT_TRUE(t.ToolBoxAsked("SelectTool 5")); }},
        {32810, nullptr, [](auto& t) { EXPECT_TRUE(t.ToolBoxAsked("SelectTool 4")); }},
        {32853, [&](auto& t) { t.AddFrame(frameRect)->SetImagePlacement(1); },
         [](auto& t) { EXPECT_TRUE(t.Layout().AllSelectedFramesHavePlacement(0)); }},
        {32854, nullptr, [](auto& t) { EXPECT_TRUE(t.Layout().AllSelectedFramesHavePlacement(1)); }},
        {32855, nullptr, [](auto& t) { EXPECT_TRUE(t.Layout().AllSelectedFramesHaveRotation(4)); }},
        {32874, nullptr, [](auto& t) { EXPECT_TRUE(t.Layout().AllSelectedFramesHaveAspect(2)); }},
        {32875, nullptr, [](auto& t) { EXPECT_TRUE(t.Layout().AllSelectedFramesHaveAspect(-1)); }},
        {32873, nullptr, [](auto& t) { EXPECT_TRUE(t.Layout().AllSelectedFramesHaveAspect(1)); }},
        {32851, nullptr, [](auto& t) { EXPECT_EQ(t.layoutDialogs.asked.back(), "select0"); }},
        {32856, nullptr, [](auto& t) { EXPECT_EQ(t.layoutDialogs.asked.back(), "info"); }},
        {32852,
         [](auto& t) {
             auto* frame = dynamic_cast<CInsertImageFrameItem*>(
                 t.Layout().GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>));
             ASSERT_EQ(frame->LoadImage(t.Picture()), ImageLoadOk);
         },
         [](auto& t) { EXPECT_EQ(t.layoutDialogs.asked.back(), "range"); }},
        {32871, nullptr,
         [](auto& t) {
             EXPECT_TRUE(t.Layout().GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>) != nullptr);
             EXPECT_TRUE(dynamic_cast<CInsertImageFrameItem*>(
                             t.Layout().GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>))
                             ->GetImageFileName()
                             .empty());
         }},
        {32781, nullptr,
         [](auto& t) { EXPECT_EQ(t.Layout().GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>), 0); }},
        {57643, nullptr,
         [](auto& t) { EXPECT_EQ(t.Layout().GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>), 1); }},
        {57634, nullptr, [](auto& t) { EXPECT_TRUE(t.clipboard.held.has_value()); }},
        {57637, nullptr,
         [](auto& t) { EXPECT_EQ(t.Layout().GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>), 2); }},
        {57635, nullptr,
         [](auto& t) { EXPECT_EQ(t.Layout().GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>), 1); }},
        {57642, [](auto& t) { t.AddText(false); },
         [](auto& t) { EXPECT_EQ(t.Layout().GetItemCount(0, -1, nullptr), 0); }},
        {32785,
         [](auto& t) {
             t.Layout().SelectAll(false);
             t.Layout().GetItemAt(0)->SetSelected(true);
         },
         [](auto& t) { EXPECT_FALSE(t.Layout().GetItemAt(0)->IsSelected()); }},
        {32782, nullptr, [](auto& t) { EXPECT_TRUE(t.Layout().GetItemAt(0)->IsSelected()); }},
        {32784, nullptr, [](auto& t) { EXPECT_TRUE(t.Layout().GetItemAt(1)->IsSelected()); }},
        {32783, nullptr, [](auto& t) { EXPECT_TRUE(t.Layout().GetItemAt(0)->IsSelected()); }},
        {32831,
         [](auto& t) {
             t.Layout().SelectAll(false);
             t.AddText();
         },
         [](auto& t) { EXPECT_EQ(t.layoutDialogs.asked.back(), "font"); }},
        {32786, nullptr,
         [](auto& t) {
             RECT r;
             t.Layout().GetFirstSelectedItem(&IsKindOf<CStringItem>)->GetRect(&r, false);
             EXPECT_NE(r.top, 400);
         }},
        {32787, nullptr,
         [](auto& t) {
             RECT r;
             t.Layout().GetFirstSelectedItem(&IsKindOf<CStringItem>)->GetRect(&r, false);
             EXPECT_NE(r.left, 100);
         }},
        {32788, [](auto& t) { t.SelectedRect(); }, [](auto& t) { EXPECT_TRUE(t.SelectedRectTurned()); }},
        {32789, [](auto& t) { t.SelectedRect(); }, [](auto& t) { EXPECT_TRUE(t.SelectedRectTurned()); }},
        {32842,
         [](auto& t) {
             t.Layout().SelectAll(false);
             t.AddBackground();
         },
         [](auto& t) { EXPECT_TRUE(t.Layout().AllSelectedBackgroundsAspectFixed()); }},
        {32841,
         [](auto& t) {
             auto* background = dynamic_cast<CBackgroundImageFrameItem*>(
                 t.Layout().GetFirstSelectedItem(&IsKindOf<CBackgroundImageFrameItem>));
             ASSERT_EQ(background->LoadImage(t.Picture()), ImageLoadOk);
         },
         [](auto& t) { EXPECT_EQ(t.layoutDialogs.asked.back(), "transparency"); }},
        {32813,
         [](auto& t) {
             t.Layout().SelectAll(false);
             t.AddLine(5);
         },
         [](auto& t) { EXPECT_EQ(t.Layout().GetSelectedLineWidth(), 10); }},
        {32819, nullptr,
         [](auto& t) {
             EXPECT_EQ(t.viewDialogs.lineShown, std::vector<int>{2});
             EXPECT_EQ(t.Layout().GetSelectedLineWidth(), 35);
         }},
        {32820, [](auto& t) { t.layoutDialogs.chosenColor = RGB(10, 20, 30); },
         [](auto& t) { EXPECT_EQ(t.Layout().GetSelectedLineColor(), RGB(10, 20, 30)); }},
        {32800, nullptr,
         [](auto& t) {
             ASSERT_EQ(t.viewDialogs.gridShown.size(), 1u);
             EXPECT_EQ(t.Layout().GetGrid().stepX, 20);
             EXPECT_TRUE(t.Layout().GetGrid().snap);
         }},
        {32861, nullptr,
         [](auto& t) {
             EXPECT_EQ(t.viewDialogs.envRuns, 1);
             EXPECT_TRUE(t.ToolBoxAsked("UpdateItemInfo 1"));
         }},
        {32870, nullptr,
         [](auto& t) {
             ASSERT_EQ(t.recorder.messages.size(), 1u);
             EXPECT_EQ(t.recorder.messages[0].text, ShippedCaption(174));
         }},
        {32801, nullptr,
         [](auto& t) { EXPECT_EQ(t.view->Model().GetZoomMode(), EditorViewModel::ZoomMode::Free); }},
        {32803, nullptr, [](auto& t) { EXPECT_TRUE(t.view->Model().IsFitToPaperWidth()); }},
        {32802, nullptr,
         [](auto& t) { EXPECT_EQ(t.view->Model().GetZoomMode(), EditorViewModel::ZoomMode::Free); }},
        {32804, nullptr, [](auto& t) { EXPECT_TRUE(t.view->Model().IsFitWholePaper()); }},
        {32876, nullptr,
         [](auto& t) {
             EXPECT_FALSE(t.app->GetMainFrame()->ToolBoxFrame()->isVisible());
             EXPECT_EQ(t.app->Settings().GetShowToolBoxWindow(), 0);
         }},
        {32860, [](auto& t) { t.Document().SetLayoutPaper(6, 0, 0, 3000, false); },
         [](auto& t) {
             ASSERT_EQ(t.viewDialogs.rollShown.size(), 1u);
             EXPECT_EQ(t.Layout().GetRollLength(), 5000);
         }},
    };
    for (const MenuCase& c : cases) {
        if (c.setUp)
            c.setUp(*this);
        ui.toolBox->calls.clear();
        EXPECT_TRUE(FromMenu(c.id)) << c.id;
        c.check(*this);
        if (HasFailure()) {
            ADD_FAILURE() << "at command " << c.id;
            return;
        }
    }
}

TEST_F(ViewCommandsTest, EveryLineWidthEntrySetsItsWidthAndTheSelectionButtonItsTool)
{
    CLineItem* line = AddLine(5);
    for (int id = 32811; id <= 32818; ++id) {
        ASSERT_TRUE(FromMenu(id)) << id;
        EXPECT_EQ(line->GetWidth(false, -1.0f), LineWidthOfCommand(id)) << id;
        EXPECT_EQ(Layout().GetItemDefaults().lineWidth, LineWidthOfCommand(id)) << id;
        EXPECT_EQ(State(id).check, 1) << id;
    }
    // The tool box's selection button has no menu entry.
    ASSERT_TRUE(app->Router().Route(32857));
    EXPECT_TRUE(ToolBoxAsked("SelectTool 3"));
}

// --- Accelerators and context menus -----------------------------------------------------------

TEST_F(ViewCommandsTest, AcceleratorsReachTheSameHandlers)
{
    for (const auto& [keys, tool] : {std::pair{"Ctrl+1", 6}, {"Ctrl+2", 7}, {"Ctrl+3", 5}, {"Ctrl+4", 4}}) {
        ui.toolBox->calls.clear();
        FromKeys(keys);
        EXPECT_TRUE(ToolBoxAsked("SelectTool " + std::to_string(tool))) << keys;
    }
    const RECT p = Printable();
    AddFrame(RECT{p.left + 50, p.top + 50, p.left + 350, p.top + 250}, false);
    FromKeys("Ctrl+A");
    EXPECT_EQ(Layout().GetItemCount(1, -1, nullptr), 1);
    FromKeys("Ctrl+C");
    FromKeys("Ctrl+V");
    EXPECT_EQ(Layout().GetItemCount(-1, -1, nullptr), 2);
    FromKeys("Ctrl+X");
    EXPECT_EQ(Layout().GetItemCount(-1, -1, nullptr), 1);
    FromKeys("Ctrl+Z");
    EXPECT_EQ(Layout().GetItemCount(-1, -1, nullptr), 2);

    const float before = Layout().GetScale();
    FromKeys("Ctrl+Up");
    EXPECT_GT(Layout().GetScale(), before);
    FromKeys("Ctrl+Down");
    EXPECT_FLOAT_EQ(Layout().GetScale(), NextZoomStep(NextZoomStep(before, true), false));
}

TEST_F(ViewCommandsTest, ContextMenuEntriesReachTheSameHandlers)
{
    const RECT p = Printable();
    CLineItem* line = AddLine(5, false);
    RECT r;
    line->GetRect(&r, false);
    const std::vector<MenuModel> shown = FromContextMenu(POINT{(r.left + r.right) / 2, r.top}, 32815);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].Find(32815), nullptr);
    EXPECT_EQ(line->GetWidth(false, -1.0f), 20);

    CInsertImageFrameItem* frame = AddFrame(RECT{p.left + 50, p.top + 400, p.left + 350, p.top + 600}, false);
    FromContextMenu(POINT{p.left + 200, p.top + 500}, 32855);
    EXPECT_EQ(frame->GetImageRotation(), CImageFrameItem::kAutomaticRotation);

    // Off every item: the page's menu, with the zoom.
    const float before = Layout().GetScale();
    FromContextMenu(POINT{p.right - 5, p.bottom - 5}, 32801);
    EXPECT_GT(Layout().GetScale(), before);
}

TEST_F(ViewCommandsTest, AGreyedCommandNeverRunsWhateverSendsIt)
{
    // Nothing selected: Delete, and the layout's undo are greyed.
    AddText(false);
    Layout().DeletePendingUndo();
    EXPECT_FALSE(State(32781).enabled);
    EXPECT_FALSE(FromMenu(32781));
    EXPECT_FALSE(app->Router().Route(57643));
    FromKeys("Ctrl+Z");
    EXPECT_EQ(Layout().GetItemCount(-1, -1, nullptr), 1);

    // A camera layout: the frame tool is greyed, from the keys too.
    Document().SetDSCLayout(1);
    ui.toolBox->calls.clear();
    FromKeys("Ctrl+1");
    EXPECT_FALSE(ToolBoxAsked("SelectTool 6"));

    // At 1.0 Zoom in is greyed; from the keys and the page's menu it does nothing.
    Document().SetDSCLayout(0);
    Layout().SetZoom(1.0f, true);
    FromKeys("Ctrl+Up");
    EXPECT_FLOAT_EQ(Layout().GetScale(), 1.0f);
    EXPECT_FALSE(State(32801).enabled);
    Layout().SetZoom(1.0f / 15.0f, true);
    EXPECT_FALSE(State(32802).enabled);
    EXPECT_TRUE(State(32801).enabled);
}

// --- Update handlers --------------------------------------------------------------------------

TEST_F(ViewCommandsTest, LineWidthsFollowTheSelectionOrTheDefault)
{
    // Nothing selected: greyed, and the default width of 5 checks 1 pt.
    EXPECT_EQ(Layout().GetItemDefaults().lineWidth, 5);
    for (int id = 32811; id <= 32818; ++id) {
        EXPECT_FALSE(State(id).enabled) << id;
        EXPECT_EQ(State(id).check, id == 32812 ? 1 : 0) << id;
    }
    EXPECT_EQ(State(32819).check, 0);
    // Two lines of 5 and 10: every width and Other width enabled, none checked.
    AddLine(5, true, 0);
    AddLine(10, true, 40);
    for (int id = 32811; id <= 32820; ++id) {
        EXPECT_TRUE(State(id).enabled) << id;
        if (id != 32820) {
            EXPECT_EQ(State(id).check, 0) << id;
        }
    }
    // One line of 35: Other width carries the mark.
    Layout().SelectAll(false);
    AddLine(35, true, 80);
    EXPECT_EQ(State(32819).check, 1);
    // A text among the lines greys them.
    AddText(true);
    EXPECT_FALSE(State(32812).enabled);
}

struct Selection
{
    const char* name;
    bool camera;
    std::function<void(ViewCommandsTest&)> make;
    bool edit;       // Cut, Copy, Delete, Order
    bool textEdit;   // Text > edit
    bool applyImage; // 32851
    bool fill;       // 32853
    bool inside;     // 32854
};

TEST_F(ViewCommandsTest, UpdateHandlersOverRepresentativeSelections)
{
    const RECT p = Printable();
    const RECT frameRect{p.left + 50, p.top + 50, p.left + 350, p.top + 250};
    const std::vector<Selection> cases = {
        {"nothing", false, [](auto&) {}, false, false, false, false, false},
        {"one text", false, [](auto& t) { t.AddText(); }, true, true, false, false, false},
        {"two texts", false,
         [](auto& t) {
             t.AddText();
             t.AddText();
         },
         true, false, false, false, false},
        {"macro strings only", false, [&](auto& t) { t.AddMacro(t.AddFrame(frameRect, false)); }, false,
         false, false, false, false},
        {"frame with its macro", false, [&](auto& t) { t.AddMacro(t.AddFrame(frameRect)); }, true, false,
         true, true, true},
        {"camera frame", true, [&](auto& t) { t.AddFrame(frameRect); }, false, false, true, true, false},
        {"camera text", true, [](auto& t) { t.AddText(); }, true, true, false, false, false},
        {"line and text", false,
         [](auto& t) {
             t.AddLine(5);
             t.AddText();
         },
         true, false, false, false, false},
    };
    for (const Selection& c : cases) {
        Layout().DeleteAllItems();
        Document().SetDSCLayout(c.camera ? 1 : 0);
        c.make(*this);
        for (int id : {57635, 57634, 32781, 32782, 32783, 32784, 32785})
            EXPECT_EQ(State(id).enabled, c.edit) << c.name << " " << id;
        EXPECT_EQ(State(32831).enabled, c.textEdit) << c.name;
        EXPECT_EQ(State(32851).enabled, c.applyImage) << c.name;
        EXPECT_EQ(State(32853).enabled, c.fill) << c.name;
        EXPECT_EQ(State(32854).enabled, c.inside) << c.name;
        EXPECT_EQ(State(32855).enabled, c.inside) << c.name;
        EXPECT_EQ(State(32800).enabled, !c.camera) << c.name;
        EXPECT_EQ(State(32850).enabled, !c.camera) << c.name;
        EXPECT_EQ(State(32877).enabled, c.camera) << c.name;
        EXPECT_FALSE(State(32860).enabled) << c.name; // not a roll paper
    }
}

TEST_F(ViewCommandsTest, RollPaperIsOfferedForPapersSixToTenOfAPhotoLayout)
{
    // Code 11 cannot be a page's paper; every roll paper with a name is offered.
    const std::pair<int, bool> cases[] = {{0, false}, {5, false}, {6, true},   {7, true},  {8, true},
                                          {9, true},  {10, true}, {12, false}, {23, false}};
    for (const auto& [paper, offered] : cases) {
        Document().SetDSCLayout(0);
        ASSERT_TRUE(Document().SetLayoutPaper(paper, 0, 0, 3000, false)) << paper;
        EXPECT_EQ(State(32860).enabled, offered) << paper;
    }
    Document().SetLayoutPaper(6, 0, 0, 3000, false);
    Document().SetDSCLayout(1);
    EXPECT_FALSE(State(32860).enabled);
}

TEST_F(ViewCommandsTest, TheBackgroundCommandsOverOneAndSeveralSelected)
{
    // The transparency range edits one picture; keeping the aspect applies to all.
    struct Case
    {
        const char* name;
        std::function<void(ViewCommandsTest&)> make;
        bool transparency;
        bool keepAspect;
    };
    const Case cases[] = {
        {"nothing", [](auto&) {}, false, false},
        {"one background", [](auto& t) { t.AddBackground(); }, true, true},
        {"one of two backgrounds",
         [](auto& t) {
             t.AddBackground();
             t.AddBackground(false);
         },
         true, true},
        {"two backgrounds",
         [](auto& t) {
             t.AddBackground();
             t.AddBackground();
         },
         false, true},
        {"three backgrounds",
         [](auto& t) {
             for (int i = 0; i < 3; ++i)
                 t.AddBackground();
         },
         false, true},
        {"background and text",
         [](auto& t) {
             t.AddBackground();
             t.AddText();
         },
         false, false},
        {"one text", [](auto& t) { t.AddText(); }, false, false},
    };
    for (const Case& c : cases) {
        Layout().DeleteAllItems();
        c.make(*this);
        EXPECT_EQ(State(32841).enabled, c.transparency) << c.name;
        EXPECT_EQ(State(32842).enabled, c.keepAspect) << c.name;
        // The menu, opened as the user opens it, offers the entry or not.
        EXPECT_EQ(FromMenu(32841), c.transparency) << c.name;
    }
}

TEST_F(ViewCommandsTest, TheFrameEntriesOverHiddenAndShownFramesAndOneOrSeveralSelected)
{
    // Image information needs one frame that is shown or selected itself; applying
    // an image needs the frame itself selected.
    const RECT p = Printable();
    const RECT frameRect{p.left + 50, p.top + 50, p.left + 350, p.top + 250};
    const RECT otherRect{p.left + 400, p.top + 50, p.left + 700, p.top + 250};
    struct Case
    {
        const char* name;
        bool frameSelected, frameVisible;
        bool secondFrame;
        bool info, apply;
    };
    const Case cases[] = {
        {"shown frame selected", true, true, false, true, true},
        {"hidden frame selected", true, false, false, true, true},
        {"text of a shown frame", false, true, false, true, false},
        {"text of a hidden frame", false, false, false, false, false},
        {"two frames selected", true, true, true, false, false},
    };
    for (const Case& c : cases) {
        Layout().DeleteAllItems();
        Document().SetDSCLayout(0);
        CInsertImageFrameItem* frame = AddFrame(frameRect, c.frameSelected);
        frame->SetVisible(c.frameVisible);
        if (!c.frameSelected)
            AddMacro(frame);
        if (c.secondFrame)
            AddFrame(otherRect);
        EXPECT_EQ(State(32856).enabled, c.info) << c.name;
        EXPECT_EQ(State(32851).enabled, c.apply) << c.name;
    }
}

TEST_F(ViewCommandsTest, PrintFollowsThePhotoApplicationsStateAndVersion)
{
    AddText(false);
    services.siblingPath = "/usr/bin/photoapp";
    services.version = 3.2;
    EXPECT_TRUE(State(ID_FILE_PRINT).enabled);
    services.version = 3.1;
    EXPECT_FALSE(State(ID_FILE_PRINT).enabled);
    services.version = 3.2;
    services.siblingRunning = true;
    EXPECT_FALSE(State(ID_FILE_PRINT).enabled);
    EXPECT_FALSE(FromMenu(ID_FILE_PRINT));
}

// --- Commands that do more than forward -------------------------------------------------------

TEST_F(ViewCommandsTest, ZoomStepsFromAFittedHalfAndTheirLimits)
{
    view->Model().SetZoomMode(EditorViewModel::ZoomMode::FitPage);
    Layout().SetZoom(0.5f, true);
    ASSERT_TRUE(app->Router().Route(32802));
    EXPECT_NEAR(Layout().GetScale(), 0.45f, 1e-6);
    EXPECT_EQ(view->Model().GetZoomMode(), EditorViewModel::ZoomMode::Free);
    Layout().SetZoom(0.5f, true);
    ASSERT_TRUE(app->Router().Route(32801));
    EXPECT_NEAR(Layout().GetScale(), 38.0f / 60.0f, 1e-6);
    // The Zoom out entry is enabled at once, before any menu opens.
    QAction* zoomOut = FindMenuAction(*app->MainMenuBar(), 32802);
    zoomOut->setEnabled(false);
    ASSERT_TRUE(app->Router().Route(32801));
    EXPECT_TRUE(zoomOut->isEnabled());
    // Check marks of the fit entries.
    ASSERT_TRUE(app->Router().Route(32803));
    EXPECT_EQ(State(32803).check, 1);
    EXPECT_EQ(State(32804).check, 0);
}

TEST_F(ViewCommandsTest, OtherWidthStartsFromTheDefaultAndStoresFiveUnitsAPoint)
{
    ItemDefaults defaults = Layout().GetItemDefaults();
    defaults.lineWidth = 3;
    Layout().SetItemDefaults(defaults);
    viewDialogs.lineAnswer = 7;
    // Greyed with nothing selected: the handler itself, as a line's menu would run it.
    EXPECT_FALSE(State(32819).enabled);
    view->OnItemLineOtherWidth();
    EXPECT_EQ(viewDialogs.lineShown.back(), 1);
    EXPECT_EQ(Layout().GetItemDefaults().lineWidth, 35);
    // Cancelled: nothing changes.
    viewDialogs.accept = false;
    view->OnItemLineOtherWidth();
    EXPECT_EQ(Layout().GetItemDefaults().lineWidth, 35);
}

TEST_F(ViewCommandsTest, AWidthTheLayoutRefusesShows160AndKeepsTheDefault)
{
    const RECT p = Printable();
    // A 1 pt line along the printable top: 2 pt would reach past it.
    auto line = std::make_unique<CLineItem>();
    line->SetWidth(5);
    Add(std::move(line), RECT{p.left + 100, p.top, p.left + 400, p.top}, true);
    ASSERT_TRUE(FromMenu(32813));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, ShippedCaption(160));
    EXPECT_EQ(Layout().GetItemDefaults().lineWidth, 5);
    EXPECT_EQ(Layout().GetSelectedLineWidth(), 5);
    // Above 1280 is refused whatever the lines.
    Layout().SelectAll(false);
    view->OnItemLineHairline();
    EXPECT_EQ(Layout().GetItemDefaults().lineWidth, 1);
    EXPECT_FALSE(ApplyLineWidth(Layout(), 1281));
    EXPECT_EQ(Layout().GetItemDefaults().lineWidth, 1);
}

TEST_F(ViewCommandsTest, AspectCommandsChooseTheKindByTheFramesShapeAndUndoRestores)
{
    struct Case
    {
        int command;
        SIZE size;
        int kind;
    };
    const RECT p = Printable();
    for (const Case& c : {Case{32874, {300, 200}, 2}, Case{32874, {200, 300}, 3}, Case{32874, {250, 250}, 3},
                          Case{32873, {250, 250}, 0}, Case{32873, {300, 200}, 1}}) {
        Layout().DeleteAllItems();
        CInsertImageFrameItem* frame =
            AddFrame(RECT{p.left + 10, p.top + 10, p.left + 10 + c.size.cx, p.top + 10 + c.size.cy});
        ASSERT_TRUE(app->Router().Route(c.command));
        EXPECT_EQ(frame->GetAspectKind(), c.kind) << c.command << " " << c.size.cx << "x" << c.size.cy;
    }

    // Not fixed keeps every rectangle, records them all, and Undo restores the kinds.
    Layout().DeleteAllItems();
    CInsertImageFrameItem* a = AddFrame(RECT{p.left + 10, p.top + 10, p.left + 310, p.top + 210});
    CInsertImageFrameItem* b = AddFrame(RECT{p.left + 10, p.top + 300, p.left + 210, p.top + 600});
    a->SetAspectKind(2);
    b->SetAspectKind(0);
    RECT ra, rb;
    a->GetRect(&ra, false);
    b->GetRect(&rb, false);
    ASSERT_TRUE(app->Router().Route(32875));
    EXPECT_EQ(a->GetAspectKind(), -1);
    EXPECT_EQ(b->GetAspectKind(), -1);
    RECT now;
    a->GetRect(&now, false);
    EXPECT_EQ(std::tie(now.left, now.top, now.right, now.bottom),
              std::tie(ra.left, ra.top, ra.right, ra.bottom));
    auto* record = dynamic_cast<CChangeRectUndoInfo*>(Layout().GetPendingUndo());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Entries().size(), 2u);
    EXPECT_TRUE(Document().IsModified());
    ASSERT_TRUE(app->Router().Route(57643));
    EXPECT_EQ(a->GetAspectKind(), 2);
    EXPECT_EQ(b->GetAspectKind(), 0);
}

TEST_F(ViewCommandsTest, RemovingTheAppliedImageEmptiesTheFrameAndUndoBringsItBack)
{
    const RECT p = Printable();
    CInsertImageFrameItem* frame = AddFrame(RECT{p.left + 10, p.top + 10, p.left + 310, p.top + 210});
    const std::string picture = Picture();
    ASSERT_EQ(frame->LoadImage(picture), ImageLoadOk);
    frame->SetImageRange(RECT{1, 2, 30, 40});
    ASSERT_TRUE(State(32871).enabled);
    ASSERT_TRUE(FromMenu(32871));
    EXPECT_TRUE(frame->GetImageFileName().empty());
    RECT range;
    frame->GetImageRange(&range);
    EXPECT_EQ(range.right - range.left, 0);
    EXPECT_FALSE(State(32871).enabled);
    ASSERT_TRUE(FromMenu(57643));
    auto* back =
        dynamic_cast<CInsertImageFrameItem*>(Layout().GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetImageFileName(), picture);
}

TEST_F(ViewCommandsTest, RollPaperOffersTheItemsLowestEdgeAndSetsTheLength)
{
    ASSERT_TRUE(Document().SetLayoutPaper(6, 0, 0, 3000, false));
    const PageMargins margins = Layout().GetMargins();
    ASSERT_GE(margins.top, 0);
    ASSERT_GE(margins.bottom, 0);
    auto text = std::make_unique<CStringItem>();
    Add(std::move(text), RECT{10, 1900, 200, 2000}, false);
    ASSERT_EQ(Layout().GetItemsBottom(), 2000);
    ASSERT_TRUE(FromMenu(32860));
    ASSERT_EQ(viewDialogs.rollShown.size(), 1u);
    EXPECT_EQ(viewDialogs.rollShown[0][0], 2001);
    EXPECT_EQ(viewDialogs.rollShown[0][1], 15840);
    EXPECT_EQ(viewDialogs.rollShown[0][2], 3000);
    EXPECT_EQ(Layout().GetRollLength(), 5000);
    EXPECT_EQ(Layout().GetPaperSizeIndex(), 6);
    // Cancelled: nothing changes.
    viewDialogs.accept = false;
    ASSERT_TRUE(FromMenu(32860));
    EXPECT_EQ(Layout().GetRollLength(), 5000);
}

TEST_F(ViewCommandsTest, TheBarTogglesStoreTheirSettings)
{
    QDockWidget* toolBox = app->GetMainFrame()->ToolBoxFrame();
    QDockWidget* modes = app->GetMainFrame()->ChangeModeFrame();
    const bool shown = toolBox->isVisible();
    ASSERT_TRUE(FromMenu(32876));
    EXPECT_EQ(toolBox->isVisible(), !shown);
    EXPECT_EQ(app->Settings().GetShowToolBoxWindow(), shown ? 0 : 1);
    EXPECT_EQ(State(32876).check, shown ? 0 : 1);
    ASSERT_TRUE(FromMenu(32876));
    EXPECT_EQ(app->Settings().GetShowToolBoxWindow(), shown ? 1 : 0);

    Document().SetDSCLayout(1);
    modes->hide();
    ASSERT_TRUE(FromMenu(32877));
    EXPECT_TRUE(modes->isVisible());
    EXPECT_EQ(app->Settings().GetShowChangeModeWindow(), 1);
    ASSERT_TRUE(FromMenu(32877));
    EXPECT_FALSE(modes->isVisible());
    EXPECT_EQ(app->Settings().GetShowChangeModeWindow(), 0);
}

TEST_F(ViewCommandsTest, PaperModesGoThroughTheModeBarAndCheckTheDocumentsMode)
{
    Document().SetDSCLayout(1);
    for (int mode = 0; mode <= 9; ++mode) {
        ASSERT_TRUE(FromMenu(32880 + mode));
        EXPECT_EQ(ui.modeBar->modes.back(), mode);
    }
    Document().SetEditMode(4);
    for (int mode = 0; mode <= 9; ++mode)
        EXPECT_EQ(State(32880 + mode).check, mode == 4 ? 1 : 0) << mode;
}

TEST_F(ViewCommandsTest, TheOnlineManualOpensWhenItIsThere)
{
    ASSERT_TRUE(FromMenu(32870));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, ShippedCaption(174));
    EXPECT_FALSE(recorder.messages[0].text.isEmpty());
    EXPECT_TRUE(opened.empty());

    const std::string folder = app->GetProgramFolder() + "Manual";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    QFile manual(QString::fromStdString(folder + "/index.htm"));
    ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    manual.write("<html></html>");
    manual.close();
    ASSERT_TRUE(FromMenu(32870));
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(opened, std::vector<std::string>{folder + "/index.htm"});
}

TEST_F(ViewCommandsTest, WithoutTheDialogLibraryTheViewsDialogsEndAsCancelled)
{
    ui.viewDialogs = nullptr;
    const GridSettings before = Layout().GetGrid();
    ASSERT_TRUE(FromMenu(32800));
    EXPECT_EQ(Layout().GetGrid().stepX, before.stepX);
    ASSERT_TRUE(FromMenu(32861));
    EXPECT_TRUE(viewDialogs.gridShown.empty());
    EXPECT_EQ(viewDialogs.envRuns, 0);
}

} // namespace
