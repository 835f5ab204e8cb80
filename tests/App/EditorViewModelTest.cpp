#include "App/EditorViewModel.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/MacroStringItem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

// Found by argument lookup: SIZE lives in the global namespace.
static bool operator==(SIZE a, SIZE b)
{
    return a.cx == b.cx && a.cy == b.cy;
}

namespace {

ClientSizes Client(int w, int h, int bar = 17)
{
    return ClientSizes{SIZE{w, h}, SIZE{w, h}, SIZE{bar, bar}};
}

class EditorViewModelTest : public ::testing::Test
{
protected:
    void SetUp() override { layout.SetPaper(3, 0, 0, 500, false); }

    SIZE Page() const
    {
        RECT r;
        layout.GetRect(&r, true);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

    CLayoutManager layout;
    EditorViewModel model;
};

TEST_F(EditorViewModelTest, StartsFittingTheWholePaperWithoutScrollSizes)
{
    EXPECT_TRUE(model.IsFitWholePaper());
    EXPECT_FALSE(model.IsFitToPaperWidth());
    EXPECT_FALSE(model.HasScrollSizes());
    EXPECT_EQ(model.GetScrollPosition(), (POINT{0, 0}));
    POINT position{7, 7};
    EXPECT_FALSE(model.ViewCentreScroll(layout, SIZE{400, 300}, &position));
}

TEST_F(EditorViewModelTest, OriginCentresASmallPageAndKeepsALargeOneAtTheMargin)
{
    layout.SetZoom(0.2f, false);
    const SIZE page = Page();
    ASSERT_GT(page.cx, 50);
    struct Case
    {
        SIZE client;
        POINT origin;
    };
    const std::vector<Case> cases = {
        {{page.cx + 301, page.cy + 101}, {150, 50}},                // both axes centred, halves truncated
        {{page.cx - 40, page.cy - 40}, {kPageMargin, kPageMargin}}, // both larger than the client
        {{page.cx + 200, page.cy / 2}, {100, kPageMargin}},         // wide and short
        {{page.cx + 2 * kPageMargin + 2, page.cy},
         {kPageMargin + 1, kPageMargin}}, // just wider than page + margins
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(model.UpdateScrollSizes(layout, Client(c.client.cx, c.client.cy)));
        EXPECT_EQ(layout.GetOrigin(), c.origin) << c.client.cx << "x" << c.client.cy;
    }
}

TEST_F(EditorViewModelTest, ScrollSizesArePagePlusMarginsWithALineOfAFiftiethAtLeastTen)
{
    for (float scale : {1.0f, 0.2f, 4.0f / 60.0f}) {
        layout.SetZoom(scale, false);
        const SIZE page = Page();
        ClientSizes sizes = Client(300, 200);
        sizes.trueClient = SIZE{317, 217};
        ASSERT_TRUE(model.UpdateScrollSizes(layout, sizes));
        const ScrollSizes& s = model.GetScrollSizes();
        EXPECT_EQ(s.total.cx, page.cx + 30);
        EXPECT_EQ(s.total.cy, page.cy + 30);
        EXPECT_EQ(s.page.cx, 317);
        EXPECT_EQ(s.page.cy, 217);
        EXPECT_EQ(s.line.cx, std::max(10, (page.cx + 30) / 50)) << scale;
        EXPECT_EQ(s.line.cy, std::max(10, (page.cy + 30) / 50)) << scale;
    }
    // At scale 1 the line is a fiftieth; at 4/60 the floor of 10 holds.
    layout.SetZoom(1.0f, false);
    model.UpdateScrollSizes(layout, Client(300, 200));
    EXPECT_GT(model.GetScrollSizes().line.cx, 10);
    layout.SetZoom(4.0f / 60.0f, false);
    model.UpdateScrollSizes(layout, Client(300, 200));
    EXPECT_EQ(model.GetScrollSizes().line.cx, 10);
}

TEST_F(EditorViewModelTest, AnEmptyClientChangesNothing)
{
    layout.SetZoom(0.2f, false);
    const POINT origin{3, 4};
    layout.SetOrigin(&origin);
    EXPECT_FALSE(model.UpdateScrollSizes(layout, Client(0, 300)));
    EXPECT_FALSE(model.UpdateScrollSizes(layout, Client(300, 0)));
    EXPECT_FALSE(model.HasScrollSizes());
    EXPECT_EQ(layout.GetOrigin(), origin);
}

TEST_F(EditorViewModelTest, ScrollingStaysBetweenZeroAndTheLimit)
{
    layout.SetZoom(1.0f, false);
    const SIZE page = Page();
    const SIZE client{400, 300};
    model.UpdateScrollSizes(layout, Client(client.cx, client.cy));
    const POINT limit = model.ScrollLimit(client);
    EXPECT_EQ(limit, (POINT{page.cx + 30 - 400, page.cy + 30 - 300}));
    EXPECT_FALSE(model.ScrollBy(SIZE{-10, -10}, client));
    EXPECT_TRUE(model.ScrollBy(SIZE{50, 60}, client));
    EXPECT_EQ(model.GetScrollPosition(), (POINT{50, 60}));
    EXPECT_TRUE(model.ScrollTo(POINT{100000, 100000}, client));
    EXPECT_EQ(model.GetScrollPosition(), limit);
    EXPECT_FALSE(model.ScrollBy(SIZE{1, 1}, client));
    // The page point under a client point follows the scroll position and the origin.
    EXPECT_EQ(model.PagePoint(layout, POINT{20, 30}),
              (POINT{20 + limit.x - kPageMargin, 30 + limit.y - kPageMargin}));
}

TEST_F(EditorViewModelTest, FitWidthLeavesRoomForTheVerticalBarOnlyWhenThePageIsTooTall)
{
    model.SetZoomMode(EditorViewModel::ZoomMode::FitWidth);
    EXPECT_TRUE(model.IsFitToPaperWidth());
    const SIZE e = layout.GetPaperExtent();
    ASSERT_GT(e.cy, e.cx); // portrait: at full width the page is taller than wide
    // Too tall for the client: the bar's width comes off first.
    ClientSizes tall = Client(600, 400, 17);
    model.ApplyFitZoom(layout, tall, false);
    EXPECT_FLOAT_EQ(layout.GetScale(), float(600 - 17 - 30) / float(e.cx));
    EXPECT_EQ(layout.GetOrigin(), (POINT{kPageMargin, kPageMargin}));
    // Tall enough: the whole width.
    const int height = int(std::lround(600.0 * e.cy / e.cx)) + 30;
    ClientSizes roomy = Client(600, height, 17);
    model.ApplyFitZoom(layout, roomy, false);
    EXPECT_FLOAT_EQ(layout.GetScale(), float(600 - 30) / float(e.cx));
    // One pixel short of that height needs the bar again.
    roomy.trueClient.cy = height - 1;
    model.ApplyFitZoom(layout, roomy, false);
    EXPECT_FLOAT_EQ(layout.GetScale(), float(600 - 17 - 30) / float(e.cx));
}

TEST_F(EditorViewModelTest, FitPageTakesTheSmallerRatio)
{
    const SIZE e = layout.GetPaperExtent();
    model.ApplyFitZoom(layout, Client(800, 400), false);
    EXPECT_FLOAT_EQ(layout.GetScale(), std::min(770.0f / e.cx, 370.0f / e.cy));
    model.ApplyFitZoom(layout, Client(200, 900), false);
    EXPECT_FLOAT_EQ(layout.GetScale(), std::min(170.0f / e.cx, 870.0f / e.cy));
}

TEST_F(EditorViewModelTest, AClientNoLargerThanTheMarginsKeepsTheScale)
{
    layout.SetZoom(0.2f, false);
    for (auto mode : {EditorViewModel::ZoomMode::FitPage, EditorViewModel::ZoomMode::FitWidth}) {
        model.SetZoomMode(mode);
        for (const ClientSizes& sizes : {Client(0, 0), Client(30, 400), Client(400, 30)}) {
            model.ApplyFitZoom(layout, sizes, false);
            EXPECT_FLOAT_EQ(layout.GetScale(), 0.2f);
        }
    }
    // Fit width on a client just wider than the margins and the bar stays positive.
    model.SetZoomMode(EditorViewModel::ZoomMode::FitWidth);
    model.ApplyFitZoom(layout, Client(40, 40, 17), false);
    EXPECT_GT(layout.GetScale(), 0.0f);
}

TEST_F(EditorViewModelTest, FreeZoomScrollsBackToTheViewCentreAfterAResize)
{
    model.SetZoomMode(EditorViewModel::ZoomMode::Free);
    layout.SetZoom(1.0f, false);
    SIZE client{400, 300};
    model.UpdateScrollSizes(layout, Client(client.cx, client.cy));
    model.ScrollTo(POINT{300, 500}, client);
    const POINT centre = model.ViewCentre(layout, client);
    layout.SetViewOffset(&centre);

    client = SIZE{600, 450};
    model.UpdateScrollSizes(layout, Client(client.cx, client.cy));
    POINT position{};
    ASSERT_TRUE(model.ViewCentreScroll(layout, client, &position));
    model.ScrollTo(position, client);
    EXPECT_FLOAT_EQ(layout.GetScale(), 1.0f);
    EXPECT_EQ(model.ViewCentre(layout, client), centre);
    EXPECT_EQ(model.GetScrollPosition(), (POINT{300 - 100, 500 - 75}));
}

TEST_F(EditorViewModelTest, ACentreLeftOfTheClientCentreScrollsToZero)
{
    layout.SetZoom(1.0f, false);
    const SIZE client{400, 300};
    model.UpdateScrollSizes(layout, Client(client.cx, client.cy));
    const POINT nearCorner{10, 10};
    layout.SetViewOffset(&nearCorner);
    POINT position{-1, -1};
    ASSERT_TRUE(model.ViewCentreScroll(layout, client, &position));
    EXPECT_EQ(position, (POINT{0, 0}));
    // A page that fits the client never scrolls, wherever the centre was.
    layout.SetZoom(4.0f / 60.0f, false);
    model.UpdateScrollSizes(layout, Client(2000, 2000));
    const POINT far{5000, 5000};
    layout.SetViewOffset(&far);
    ASSERT_TRUE(model.ViewCentreScroll(layout, SIZE{2000, 2000}, &position));
    EXPECT_EQ(position, (POINT{0, 0}));
}

TEST_F(EditorViewModelTest, OnlyUndoingTheFirstChangeMakesTheDocumentCleanAgain)
{
    struct Case
    {
        const char* name;
        bool startModified;
        std::vector<bool> undos; // one content change each; true for an undo
        bool modified;
    };
    const std::vector<Case> cases = {
        {"change", false, {false}, true},
        {"change, undo", false, {false, true}, false},
        {"two changes, one undo", false, {false, false, true}, true},
        {"change, undo, redo", false, {false, true, true}, true},
        {"change, undo, redo, undo", false, {false, true, true, true}, false},
        {"undo on a modified document", true, {true}, true},
    };
    for (const Case& c : cases) {
        EditorViewModel fresh;
        bool modified = c.startModified;
        for (bool undo : c.undos)
            modified = fresh.OnContentChanged(modified, undo);
        EXPECT_EQ(modified, c.modified) << c.name;
    }
}

TEST_F(EditorViewModelTest, AutoScrollStepsOnlyTowardsRoomLeft)
{
    layout.SetZoom(1.0f, false);
    const SIZE client{400, 300};
    model.UpdateScrollSizes(layout, Client(client.cx, client.cy));
    const POINT limit = model.ScrollLimit(client);
    // At the far left and top nothing is left to scroll that way.
    EXPECT_EQ(model.AutoScrollLines(POINT{-5, 100}, client, true), (SIZE{0, 0}));
    EXPECT_EQ(model.AutoScrollLines(POINT{100, -5}, client, true), (SIZE{0, 0}));
    EXPECT_EQ(model.AutoScrollLines(POINT{400, 300}, client, true), (SIZE{1, 1}));
    EXPECT_EQ(model.AutoScrollLines(POINT{450, 100}, client, false), (SIZE{0, 0}));
    EXPECT_EQ(model.AutoScrollLines(POINT{200, 100}, client, true), (SIZE{0, 0}));
    model.ScrollTo(POINT{limit.x, 40}, client);
    EXPECT_EQ(model.AutoScrollLines(POINT{450, -1}, client, true), (SIZE{0, -1}));
    EXPECT_EQ(model.AutoScrollLines(POINT{-1, 350}, client, true), (SIZE{-1, 1}));
    // A page that fits never scrolls.
    layout.SetZoom(4.0f / 60.0f, false);
    model.UpdateScrollSizes(layout, Client(2000, 2000));
    EXPECT_EQ(model.AutoScrollLines(POINT{2100, 2100}, SIZE{2000, 2000}, true), (SIZE{0, 0}));
}

TEST_F(EditorViewModelTest, TheTimerStartsOnTheFirstScrollAndStopsOnceWhenScrollingEnds)
{
    using A = EditorViewModel::TimerAction;
    EXPECT_EQ(model.OnButtonUp(), A::None);
    EXPECT_EQ(model.AfterDragMove(false), A::None);
    EXPECT_EQ(model.AfterDragMove(true), A::Start);
    EXPECT_TRUE(model.IsAutoScrolling());
    EXPECT_EQ(model.AfterDragMove(true), A::None);
    EXPECT_EQ(model.AfterDragMove(false), A::Stop);
    EXPECT_FALSE(model.IsAutoScrolling());
    EXPECT_EQ(model.AfterDragMove(true), A::Start);
    EXPECT_EQ(model.OnButtonUp(), A::Stop);
    EXPECT_EQ(model.OnButtonUp(), A::None);
}

// --- Menu greying -----------------------------------------------------------------------------

CInsertImageFrameItem* AddFrame(CLayoutManager& layout, bool selected, int rotation = 0)
{
    auto frame = std::make_unique<CInsertImageFrameItem>();
    frame->SetRect(RECT{10, 10, 100, 100});
    frame->SetImageRotation(rotation);
    frame->SetSelected(selected);
    CInsertImageFrameItem* raw = frame.get();
    layout.AddItem(0, std::move(frame));
    return raw;
}

CMacroStringItem* AddMacro(CLayoutManager& layout, bool selected, CInsertImageFrameItem* owner = nullptr)
{
    auto text = std::make_unique<CMacroStringItem>();
    text->SetRect(RECT{10, 120, 100, 140});
    text->SetOwnerFrame(owner);
    CMacroStringItem* raw = text.get();
    layout.AddItem(0, std::move(text));
    raw->SetSelected(selected);
    return raw;
}

TEST(EditorMenuGreyingTest, SubMenusFollowTheSelection)
{
    struct Case
    {
        const char* name;
        bool camera;
        void (*build)(CLayoutManager&);
        MenuGreying expected; // order, align, rotate, paper mode, aspect ratio
    };
    const std::vector<Case> cases = {
        {"nothing selected",
         false,
         [](CLayoutManager& l) { AddFrame(l, false); },
         {false, false, false, false, false}},
        {"nothing selected, camera", true, [](CLayoutManager&) {}, {false, false, false, true, false}},
        {"a photo frame",
         false,
         [](CLayoutManager& l) { AddFrame(l, true); },
         {true, true, true, false, true}},
        {"a camera frame",
         true,
         [](CLayoutManager& l) { AddFrame(l, true); },
         {false, false, false, true, false}},
        {"macro strings only",
         false,
         [](CLayoutManager& l) {
             AddMacro(l, true);
             AddMacro(l, true);
         },
         {false, true, true, false, false}},
        {"a frame with its own macro string",
         false,
         [](CLayoutManager& l) { AddMacro(l, true, AddFrame(l, true)); },
         {true, true, true, false, true}},
        {"an auto-rotating frame",
         false,
         [](CLayoutManager& l) { AddFrame(l, true, CImageFrameItem::kAutomaticRotation); },
         {true, true, false, false, true}},
        {"a frame and a loose macro string",
         false,
         [](CLayoutManager& l) {
             AddFrame(l, true);
             AddMacro(l, true);
         },
         {true, true, true, false, false}},
    };
    for (const Case& c : cases) {
        CLayoutManager layout;
        layout.SetPaper(3, 0, 0, 500, false);
        c.build(layout);
        const MenuGreying g = ComputeMenuGreying(layout, c.camera);
        EXPECT_EQ(g.order, c.expected.order) << c.name;
        EXPECT_EQ(g.align, c.expected.align) << c.name;
        EXPECT_EQ(g.rotate, c.expected.rotate) << c.name;
        EXPECT_EQ(g.paperMode, c.expected.paperMode) << c.name;
        EXPECT_EQ(g.aspectRatio, c.expected.aspectRatio) << c.name;
    }
}

} // namespace
