#include "App/MainFrame.h"
#include "App/MainMenu.h"
#include "App/MenuDisplay.h"
#include "App/ZAVEditorView.h"
#include "App/support/DocumentFakes.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerMenus.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>

namespace {

// The main frame, the tool box and the router as the view sees them.
class FakeViewHost : public IEditorViewHost
{
public:
    FakeViewHost()
    {
        const MenuModel menu = BuildMainMenuSkeleton();
        for (const MenuEntry& top : menu.entries)
            FillQMenu(*bar.addMenu(QString()), top.items);
    }
    void ForwardLayoutChanged(int kind, int lParam) override { forwarded.emplace_back(kind, lParam); }
    QMenuBar* MainMenuBar() override { return withMenu ? &bar : nullptr; }
    void RebuildItemList() override { ++itemListRebuilds; }
    void RouteCommand(int id) override { routed.push_back(id); }

    std::vector<int> Kinds() const
    {
        std::vector<int> kinds;
        for (const auto& f : forwarded)
            kinds.push_back(f.first);
        return kinds;
    }
    bool Forwarded(int kind) const
    {
        const std::vector<int> kinds = Kinds();
        return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
    }

    QMenuBar bar;
    bool withMenu = true;
    std::vector<std::pair<int, int>> forwarded;
    int itemListRebuilds = 0;
    std::vector<int> routed;
};

// The pointer and buttons the auto-scroll timer reads, as a test sets them.
class TestView : public CZAVEditorView
{
public:
    using CZAVEditorView::CZAVEditorView;
    int GetKeyFlags() override { return keyFlags; }
    POINT GetCursorClientPos() override { return cursor; }
    int keyFlags = 0;
    POINT cursor{};
};

// The layout manager reaches the view, the document and the texts through these.
class Installed : public ILayoutManagerHost, public ILayoutShell
{
public:
    Installed(ILayoutView* view, ILayoutDocument* document, std::string ini)
        : m_view(view), m_document(document), m_ini(std::move(ini))
    {
        SetLayoutManagerHost(this);
        SetLayoutShell(this);
    }
    ~Installed() override
    {
        SetLayoutManagerHost(nullptr);
        SetLayoutShell(nullptr);
    }
    ILayoutView* GetActiveEditorView() override { return m_view; }
    bool HasMainWindow() override { return true; }
    ILayoutToolBox* GetToolBox() override { return nullptr; }
    ILayoutDocument* GetActiveEditorDoc() override { return m_document; }
    std::string GetLocalizeIniPath() override { return m_ini; }

private:
    ILayoutView* m_view;
    ILayoutDocument* m_document;
    std::string m_ini;
};

class EditorViewTest : public ::testing::Test
{
protected:
    EditorViewTest() : view(*fx.document, host), installed(&view, fx.document.get(), fx.host.localizeIniPath)
    {
        Layout().SetFrameNameFormat("Frame%d");
        Layout().SetPaper(3, 0, 0, 500, false);
        view.resize(400, 300);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.ApplyZoomMode(true);
        host.forwarded.clear();
    }

    CLayoutManager& Layout() { return *fx.document->GetLayoutManager(); }
    QWidget* Port() { return view.viewport(); }

    // Free zoom at a scale, scrolled by an offset.
    void ZoomAndScroll(float scale, SIZE scroll)
    {
        view.Model().SetZoomMode(EditorViewModel::ZoomMode::Free);
        Layout().SetZoom(scale, true);
        const POINT origin{0, 0};
        Layout().SetViewOffset(&origin);
        view.ScrollToViewCentre();
        view.OnScrollBy(scroll, true);
        view.RenderOffscreen(false);
        host.forwarded.clear();
    }

    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, QPointF(at), Port()->mapToGlobal(QPointF(at)), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(Port(), &event);
    }
    void Press(QPoint at) { Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton); }
    void Move(QPoint at) { Send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
    void Release(QPoint at) { Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
    void Drag(QPoint from, QPoint to)
    {
        Press(from);
        Move(QPoint((from.x() + to.x()) / 2, (from.y() + to.y()) / 2));
        Move(to);
        Release(to);
    }

    // The layout rectangle under two client points, as the page shows it.
    RECT PageRectUnder(QPoint a, QPoint b)
    {
        const POINT scroll = view.GetScrollPosition();
        const POINT origin = Layout().GetOrigin();
        const POINT margin = Layout().GetMarginOffset(true);
        POINT p0{a.x() + scroll.x - origin.x - margin.x, a.y() + scroll.y - origin.y - margin.y};
        POINT p1{b.x() + scroll.x - origin.x - margin.x, b.y() + scroll.y - origin.y - margin.y};
        Layout().UnscalePoint(&p0, -1.0f);
        Layout().UnscalePoint(&p1, -1.0f);
        return RECT{p0.x, p0.y, p1.x, p1.y};
    }

    DocumentFixture fx;
    FakeViewHost host;
    TestView view;
    Installed installed;
};

TEST_F(EditorViewTest, OpensFittingTheWholePaperCentredInTheClient)
{
    EXPECT_TRUE(view.IsFitWholePaper());
    RECT page;
    Layout().GetRect(&page, true);
    const SIZE client = view.Sizes().client;
    EXPECT_LE(page.bottom - page.top, client.cy - 30);
    EXPECT_EQ(Layout().GetOrigin().x, std::max(15, (client.cx - (page.right - page.left)) / 2));
    EXPECT_EQ(view.DisplayImage().GetWidth(), client.cx);
    EXPECT_EQ(view.DisplayImage().GetHeight(), client.cy);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
}

TEST_F(EditorViewTest, TheFrameToolMakesAFrameAtThePageRectangleUnderThePointer)
{
    struct Case
    {
        float scale;
        SIZE scroll;
    };
    for (const Case& c : {Case{1.0f, SIZE{120, 200}}, Case{0.45f, SIZE{40, 60}}}) {
        ZoomAndScroll(c.scale, c.scroll);
        ASSERT_EQ(view.GetScrollPosition(), (POINT{c.scroll.cx, c.scroll.cy})) << c.scale;
        Layout().DeleteAllItems();
        fx.document->SetModifiedFlag(0);
        Layout().GetDragState().currentTool = 6;
        const QPoint from(60, 50), to(260, 190);
        const RECT expected = PageRectUnder(from, to);
        Drag(from, to);

        ASSERT_EQ(Layout().GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>), 1) << c.scale;
        RECT r;
        Layout().GetItemAt(0)->GetRect(&r, false);
        EXPECT_EQ(r, expected) << c.scale;
        EXPECT_TRUE(host.Forwarded(3));
        EXPECT_TRUE(host.Forwarded(1));
        const std::vector<int> kinds = host.Kinds();
        EXPECT_LT(std::find(kinds.begin(), kinds.end(), 3) - kinds.begin(),
                  std::find(kinds.begin(), kinds.end(), 1) - kinds.begin());
        EXPECT_TRUE(fx.document->IsModified());
        EXPECT_EQ(Layout().GetDragState().currentTool, 3);
    }
}

TEST_F(EditorViewTest, DeleteRemovesTheSelectedFrame)
{
    Layout().GetDragState().currentTool = 6;
    Drag(QPoint(130, 60), QPoint(250, 200));
    ASSERT_EQ(Layout().GetItemCount(-1, -1, nullptr), 1);
    host.forwarded.clear();
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(Layout().GetItemCount(-1, -1, nullptr), 0);
    EXPECT_TRUE(host.Forwarded(3));
    EXPECT_TRUE(fx.document->IsModified());
}

TEST_F(EditorViewTest, TheWheelDoesNothingDuringADrag)
{
    ZoomAndScroll(1.0f, SIZE{0, 100});
    const auto wheel = [this] {
        QWheelEvent event(QPointF(100, 100), Port()->mapToGlobal(QPointF(100, 100)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Port(), &event);
    };
    Layout().GetDragState().currentTool = 3;
    Press(QPoint(100, 100));
    Move(QPoint(120, 130));
    ASSERT_TRUE(Layout().GetDragState().dragging);
    wheel();
    EXPECT_EQ(view.GetScrollPosition().y, 100);
    Release(QPoint(120, 130));
    // Without a drag the same wheel scrolls.
    wheel();
    EXPECT_GT(view.GetScrollPosition().y, 100);
}

TEST_F(EditorViewTest, DraggingOutScrollsOneLinePerTickUpToTheLimitAndStopsTheTimer)
{
    ZoomAndScroll(1.0f, SIZE{0, 0});
    const SIZE client = view.Sizes().client;
    const POINT limit = view.Model().ScrollLimit(client);
    const int line = view.Model().GetScrollSizes().line.cx;
    ASSERT_GT(limit.x, 2 * line);
    Layout().GetDragState().currentTool = 3;
    Press(QPoint(100, 100));
    Move(QPoint(110, 110));

    // Out to the left at the far left: nothing scrolls and the timer stays off.
    Move(QPoint(-20, 110));
    EXPECT_EQ(view.GetScrollPosition().x, 0);
    EXPECT_FALSE(view.IsAutoScrollTimerActive());

    // Out to the right: one line now, then one per tick.
    Move(QPoint(client.cx + 20, 110));
    EXPECT_EQ(view.GetScrollPosition().x, line);
    EXPECT_TRUE(view.IsAutoScrollTimerActive());
    view.keyFlags = MK_LBUTTON;
    view.cursor = POINT{client.cx + 20, 110};
    int ticks = 0;
    while (view.IsAutoScrollTimerActive() && ticks < 1000) {
        const int before = view.GetScrollPosition().x;
        view.OnTimer(CZAVEditorView::kAutoScrollTimer);
        QCoreApplication::sendPostedEvents(Port());
        const int after = view.GetScrollPosition().x;
        EXPECT_EQ(after, std::min(before + line, limit.x));
        ++ticks;
    }
    EXPECT_EQ(view.GetScrollPosition().x, limit.x);
    EXPECT_FALSE(view.IsAutoScrollTimerActive());
    EXPECT_EQ(ticks, (limit.x - line + line - 1) / line + 1);

    // Back out to the left scrolls again, until the far left stops the timer.
    Move(QPoint(-20, 110));
    EXPECT_EQ(view.GetScrollPosition().x, limit.x - line);
    EXPECT_TRUE(view.IsAutoScrollTimerActive());
    view.OnScrollBy(SIZE{-limit.x, 0}, true);
    Move(QPoint(-20, 110));
    EXPECT_EQ(view.GetScrollPosition().x, 0);
    EXPECT_FALSE(view.IsAutoScrollTimerActive());

    // The button-up stops a running timer.
    Move(QPoint(client.cx + 20, 110));
    EXPECT_TRUE(view.IsAutoScrollTimerActive());
    Release(QPoint(client.cx + 20, 110));
    EXPECT_FALSE(view.IsAutoScrollTimerActive());
}

TEST_F(EditorViewTest, ARightClickOnAFrameOffersTheFrameMenuAndRoutesTheChoice)
{
    Layout().GetDragState().currentTool = 6;
    Drag(QPoint(130, 60), QPoint(250, 200));
    std::vector<MenuModel> shown;
    view.SetMenuRunner([&shown](const MenuModel& menu, QPoint) {
        shown.push_back(menu);
        return 32853;
    });
    const QPoint at(190, 130);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, Port()->mapToGlobal(at));
    QApplication::sendEvent(Port(), &event);

    ASSERT_EQ(shown.size(), 1u);
    const MenuModel skeleton = BuildLayoutMenuSkeleton(MenuInsertFrame);
    ASSERT_EQ(shown[0].entries.size(), skeleton.entries.size());
    for (std::size_t i = 0; i < skeleton.entries.size(); ++i)
        EXPECT_EQ(shown[0].entries[i].id, skeleton.entries[i].id) << i;
    EXPECT_FALSE(shown[0].entries[0].text.empty());
    EXPECT_EQ(host.routed, std::vector<int>{32853});

    // Off every item the page's menu shows the view's zoom mode.
    shown.clear();
    const QPoint away(5, 5);
    QContextMenuEvent outside(QContextMenuEvent::Mouse, away, Port()->mapToGlobal(away));
    QApplication::sendEvent(Port(), &outside);
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_NE(shown[0].Find(32804), nullptr);
    EXPECT_TRUE(shown[0].Find(32804)->checked);
    EXPECT_FALSE(shown[0].Find(32803)->checked);
}

TEST_F(EditorViewTest, ContentChangesKeepTheModifiedFlagTrueToTheEdits)
{
    fx.document->SetModifiedFlag(0);
    Layout().GetDragState().currentTool = 6;
    Drag(QPoint(130, 60), QPoint(250, 200));
    EXPECT_TRUE(fx.document->IsModified());
    Layout().Undo();
    EXPECT_EQ(Layout().GetItemCount(-1, -1, nullptr), 0);
    EXPECT_FALSE(fx.document->IsModified());
    Layout().Undo(); // the redo
    EXPECT_EQ(Layout().GetItemCount(-1, -1, nullptr), 1);
    EXPECT_TRUE(fx.document->IsModified());
}

TEST_F(EditorViewTest, LayoutMessagesOutsideTheKindsAreStillForwarded)
{
    for (int kind : {0, 6, 7, 0x1234}) {
        host.forwarded.clear();
        EXPECT_EQ(view.OnLayoutChanged(kind, 9), 0);
        ASSERT_EQ(host.forwarded.size(), 1u) << kind;
        EXPECT_EQ(host.forwarded[0], std::make_pair(kind, 9));
    }
}

TEST_F(EditorViewTest, RedrawMessagesZeroAndThreeDoNothing)
{
    const auto mark = [this] {
        // Paint a spot into the kept image and grey a sub-menu by hand.
        view.GetKeptImage()->FillRect(0, 0, 4, 4, 0x0000FF);
        SubMenuAt(host.bar, {1, 11})->menuAction()->setEnabled(true);
    };
    const auto marked = [this] {
        const std::uint8_t* bits = view.DisplayImage().GetBits();
        const int rowBytes = view.DisplayImage().GetRowBytes();
        const std::uint8_t* top = bits + std::size_t(view.DisplayImage().GetHeight() - 1) * rowBytes;
        return top[2] == 0xFF && top[0] == 0;
    };
    ASSERT_EQ(Layout().GetItemCount(1, -1, nullptr), 0);
    for (int kind : {0, 3}) {
        mark();
        view.OnLayoutRedraw(kind, 0);
        EXPECT_TRUE(marked()) << kind;
        EXPECT_TRUE(SubMenuAt(host.bar, {1, 11})->menuAction()->isEnabled()) << kind;
    }
    for (int kind : {1, 2}) {
        mark();
        view.OnLayoutRedraw(kind, 0);
        EXPECT_FALSE(marked()) << kind;
        EXPECT_FALSE(SubMenuAt(host.bar, {1, 11})->menuAction()->isEnabled()) << kind;
    }
    EXPECT_TRUE(host.forwarded.empty());
}

TEST_F(EditorViewTest, AnEmptyClientRendersNothingAndKeepsTheImages)
{
    const int width = view.DisplayImage().GetWidth();
    const int height = view.DisplayImage().GetHeight();
    const float scale = Layout().GetScale();
    view.resize(0, 0);
    EXPECT_FLOAT_EQ(Layout().GetScale(), scale);
    view.RenderOffscreen(true);
    EXPECT_EQ(view.UpdateScrollSizes(), 0);
    EXPECT_EQ(view.DisplayImage().GetWidth(), width);
    EXPECT_EQ(view.DisplayImage().GetHeight(), height);
    EXPECT_EQ(view.WorkImage().GetWidth(), width);
}

TEST_F(EditorViewTest, AResizeKeepsTheZoomMode)
{
    // Fit page follows the client.
    const float fitted = Layout().GetScale();
    view.resize(600, 500);
    EXPECT_TRUE(view.IsFitWholePaper());
    EXPECT_GT(Layout().GetScale(), fitted);
    EXPECT_EQ(view.DisplayImage().GetWidth(), view.Sizes().client.cx);

    // Free zoom keeps the scale and the page point at the centre.
    ZoomAndScroll(1.0f, SIZE{150, 250});
    const POINT centre = Layout().GetViewOffset();
    view.resize(500, 420);
    EXPECT_FLOAT_EQ(Layout().GetScale(), 1.0f);
    EXPECT_FALSE(view.IsFitWholePaper());
    EXPECT_FALSE(view.IsFitToPaperWidth());
    const POINT after = Layout().GetViewOffset();
    EXPECT_LE(std::abs(after.x - centre.x), 1);
    EXPECT_LE(std::abs(after.y - centre.y), 1);

    // Fit width follows the new width.
    view.Model().SetZoomMode(EditorViewModel::ZoomMode::FitWidth);
    view.ApplyZoomMode(false);
    const float wide = Layout().GetScale();
    view.resize(350, 420);
    EXPECT_TRUE(view.IsFitToPaperWidth());
    EXPECT_LT(Layout().GetScale(), wide);
}

TEST_F(EditorViewTest, TheDisplayImageHoldsThePageOnGrey)
{
    const CImage& image = view.DisplayImage();
    const std::uint8_t* bits = image.GetBits();
    ASSERT_NE(bits, nullptr);
    // The top-left corner is the grey around the page; the page's centre is not.
    const std::uint8_t* top = bits + std::size_t(image.GetHeight() - 1) * image.GetRowBytes();
    EXPECT_EQ(top[0], 0xA8);
    EXPECT_EQ(top[1], 0xA8);
    EXPECT_EQ(top[2], 0xA8);
    RECT page;
    Layout().GetRect(&page, true);
    const int cx = (page.left + page.right) / 2, cy = (page.top + page.bottom) / 2;
    const std::uint8_t* centre =
        bits + std::size_t(image.GetHeight() - 1 - cy) * image.GetRowBytes() + cx * 4;
    EXPECT_NE(centre[0], 0xA8);
    // What the window shows is that image, the right way up.
    const QImage shown = Port()->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(0, 0)), QColor(0xA8, 0xA8, 0xA8));
    EXPECT_EQ(QColor(shown.pixel(cx, cy)), QColor(centre[2], centre[1], centre[0]));
}

TEST_F(EditorViewTest, TheWindowStaysOpaqueWhenFeedbackIsDrawnIntoTheKeptImage)
{
    const auto everyPixelOpaque = [this] {
        const CImage& image = view.DisplayImage();
        for (int row = 0; row < image.GetHeight(); ++row) {
            const auto* line = reinterpret_cast<const std::uint32_t*>(image.GetBits() +
                                                                      std::size_t(row) * image.GetRowBytes());
            for (int x = 0; x < image.GetWidth(); ++x)
                if (line[x] >> 24 != 0xFF)
                    return false;
        }
        return true;
    };
    // What the window's surface holds after a paint, fourth bytes included
    // (pixel() would report them 0xFF on a 32-bit surface whatever they are).
    const auto shownAt = [this](QPoint p) {
        Port()->repaint();
        const QPoint at = Port()->mapTo(Port()->window(), p);
        const QImage surface = Port()->screen()->grabWindow(Port()->window()->winId()).toImage();
        EXPECT_EQ(surface.depth(), 32);
        return reinterpret_cast<const QRgb*>(surface.constScanLine(at.y()))[at.x()];
    };
    // The render leaves the kept image opaque: the paint copies it as it is.
    ASSERT_TRUE(everyPixelOpaque());
    EXPECT_EQ(shownAt(QPoint(1, 1)), qRgb(0xA8, 0xA8, 0xA8));
    // The drawing routines leave the fourth byte 0, as the drag feedback does.
    view.GetKeptImage()->FillRect(0, 0, 4, 4, 0x0000FF);
    ASSERT_FALSE(everyPixelOpaque());
    EXPECT_EQ(shownAt(QPoint(1, 1)), qRgb(0xFF, 0, 0));
    // Rendered again, opaque again.
    view.OnLayoutRedraw(1, 0);
    EXPECT_TRUE(everyPixelOpaque());
    EXPECT_EQ(shownAt(QPoint(1, 1)), qRgb(0xA8, 0xA8, 0xA8));
}

TEST_F(EditorViewTest, MenuStatesGreyTheMainMenusSubMenusByPosition)
{
    struct Where
    {
        std::initializer_list<int> path;
        int firstCommand;
    };
    for (const Where& w : {Where{{1, 10}, 32782}, Where{{1, 11}, 32786}, Where{{1, 12}, 32788},
                           Where{{2, 5}, 32880}, Where{{3, 0, 13}, 32873}}) {
        QMenu* menu = SubMenuAt(host.bar, w.path);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->actions().front()->data().toInt(), w.firstCommand);
    }
    view.UpdateMenuState();
    EXPECT_FALSE(SubMenuAt(host.bar, {1, 10})->menuAction()->isEnabled());
    EXPECT_FALSE(SubMenuAt(host.bar, {2, 5})->menuAction()->isEnabled());
    Layout().GetDragState().currentTool = 6;
    Drag(QPoint(130, 60), QPoint(250, 200));
    EXPECT_TRUE(SubMenuAt(host.bar, {1, 10})->menuAction()->isEnabled());
    EXPECT_TRUE(SubMenuAt(host.bar, {3, 0, 13})->menuAction()->isEnabled());
    // Without a menu nothing happens.
    host.withMenu = false;
    view.UpdateMenuState();
}

} // namespace

namespace {

TEST(EditorViewInAppTest, TheApplicationAnswersWithItsViewAndRelaysItsMessagesToTheMainFrame)
{
    EnsureApp();
    AppFolders folders({"ShowOpeningFirst=0"});
    FakeAppUi ui;
    FakeServices services;
    MessageRecorder recorder;
    CZAVEditorApp app(folders.Environment(), ui, services);
    ASSERT_TRUE(app.InitInstance(std::nullopt));
    CZAVEditorView* view = app.GetView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(app.GetActiveEditorView(), view);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app.GetMainFrame()));
    ASSERT_NE(ui.toolBox, nullptr);
    ui.toolBox->calls.clear();

    CLayoutManager& layout = *app.GetDocument()->GetLayoutManager();
    layout.GetDragState().currentTool = 6;
    RECT page;
    layout.GetRect(&page, true);
    const POINT scroll = view->GetScrollPosition();
    const QPoint from(page.left - scroll.x + 20, page.top - scroll.y + 20);
    const QPoint to(from.x() + 60, from.y() + 50);
    QWidget* port = view->viewport();
    const auto send = [port](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), port->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(port, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);

    EXPECT_EQ(layout.GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>), 1);
    EXPECT_TRUE(app.GetDocument()->IsModified());
    // Kind 3 rebuilds the tool box's list, as the main frame does it.
    const std::vector<std::string>& calls = ui.toolBox->calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "UpdateList 1"), calls.end());
    // The real main menu's Edit > Order follows the new selection.
    QMenu* order = SubMenuAt(*app.MainMenuBar(), {1, 10});
    ASSERT_NE(order, nullptr);
    EXPECT_EQ(order->actions().front()->data().toInt(), 32782);
    EXPECT_TRUE(order->menuAction()->isEnabled());
    app.ExitInstance();
    EXPECT_EQ(app.GetActiveEditorView(), nullptr);
}

} // namespace

namespace {

// A 5 x 3 picture whose pixels tell their column and row apart, with the
// fourth byte left 0 as a plain copy leaves it.
void FillNumbered(CImage& image)
{
    image.Create(5, 3);
    for (int row = 0; row < 3; ++row) {
        auto* line =
            reinterpret_cast<std::uint32_t*>(image.GetBits() + std::size_t(2 - row) * image.GetRowBytes());
        for (int x = 0; x < 5; ++x)
            line[x] = std::uint32_t(0x10 * x) << 8 | std::uint32_t(0x40 * row);
    }
}

// The same picture with every fourth byte 0xFF, as the view's render leaves it.
void FillNumberedOpaque(CImage& image)
{
    FillNumbered(image);
    for (int row = 0; row < 3; ++row) {
        auto* line =
            reinterpret_cast<std::uint32_t*>(image.GetBits() + std::size_t(row) * image.GetRowBytes());
        for (int x = 0; x < 5; ++x)
            line[x] |= 0xFF000000u;
    }
}

TEST(PaintDisplayImageTest, EverySurfaceShowsTheTopRowOnTopAndOpaque)
{
    EnsureApp();
    for (const DisplayAlpha alpha : {DisplayAlpha::Unknown, DisplayAlpha::Opaque}) {
        SCOPED_TRACE(alpha == DisplayAlpha::Opaque ? "known opaque" : "fourth bytes 0");
        CImage image;
        if (alpha == DisplayAlpha::Opaque)
            FillNumberedOpaque(image);
        else
            FillNumbered(image);
        struct Surface
        {
            const char* name;
            QImage::Format format; // Invalid: a pixmap
            qreal scale;
        };
        for (const Surface& s :
             {Surface{"rgb32", QImage::Format_RGB32, 1.0},
              Surface{"premultiplied", QImage::Format_ARGB32_Premultiplied, 1.0},
              Surface{"rgb888", QImage::Format_RGB888, 1.0}, Surface{"scaled", QImage::Format_RGB32, 2.0},
              Surface{"pixmap", QImage::Format_Invalid, 1.0}}) {
            QImage shown;
            const QPoint at(3, 2);
            if (s.format == QImage::Format_Invalid) {
                QPixmap pixmap(12, 10);
                pixmap.fill(Qt::black);
                QPainter painter(&pixmap);
                PaintDisplayImage(painter, image, at, alpha);
                painter.end();
                shown = pixmap.toImage();
            } else {
                shown = QImage(24, 20, s.format);
                shown.fill(Qt::black);
                QPainter painter(&shown);
                painter.scale(s.scale, s.scale);
                PaintDisplayImage(painter, image, at, alpha);
            }
            for (int row = 0; row < 3; ++row) {
                for (int x = 0; x < 5; ++x) {
                    const QPoint p((at.x() + x) * s.scale, (at.y() + row) * s.scale);
                    const QRgb pixel = shown.pixel(p);
                    EXPECT_EQ(qAlpha(pixel), 255) << s.name;
                    EXPECT_EQ(qGreen(pixel), 0x10 * x) << s.name << " " << x << "," << row;
                    EXPECT_EQ(qBlue(pixel), 0x40 * row) << s.name << " " << x << "," << row;
                }
            }
            // Nothing beyond the picture is touched.
            EXPECT_EQ(shown.pixel(int((at.x() + 5) * s.scale), int(at.y() * s.scale)), qRgb(0, 0, 0))
                << s.name;
            EXPECT_EQ(shown.pixel(int(at.x() * s.scale), int((at.y() + 3) * s.scale)), qRgb(0, 0, 0))
                << s.name;
        }
    }
}

TEST(PaintDisplayImageTest, ThePainterClipIsKept)
{
    CImage image;
    FillNumbered(image);
    QImage shown(10, 10, QImage::Format_RGB32);
    shown.fill(Qt::black);
    QPainter painter(&shown);
    painter.setClipRect(QRect(0, 0, 2, 10));
    PaintDisplayImage(painter, image, QPoint(0, 0));
    painter.end();
    EXPECT_EQ(qGreen(shown.pixel(1, 0)), 0x10);
    EXPECT_EQ(shown.pixel(3, 0), qRgb(0, 0, 0));
}

} // namespace
