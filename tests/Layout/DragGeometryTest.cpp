#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/EditItem.h"
#include "Layout/support/MouseTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace managertest;
using mousetest::MouseFixture;

class DragGeometryTest : public MouseFixture
{
protected:
    // A resize frame over the item as a drag of that handle kind starts it.
    std::unique_ptr<CEditItem> FrameFor(CLayoutItem* item, int kind)
    {
        auto frame = std::make_unique<CEditItem>();
        frame->SetRect(RectOf(item));
        frame->SetHandleKind(kind);
        frame->SetTargetItem(item);
        return frame;
    }
    RECT InPRect(int l, int t, int r, int b) const
    {
        return RECT{printable.left + l, printable.top + t, printable.left + r, printable.top + b};
    }
};

struct SnapCase
{
    const char* name;
    bool snap;
    int gx, gy;
    bool camera;
    POINT in;       // relative to the printable rect's top-left
    POINT expected; // likewise
};

TEST_F(DragGeometryTest, SnapPointRoundsToTheNearestGridLineInsideThePrintableRect)
{
    const int w = printable.Width();
    const int h = printable.Height();
    ASSERT_NE(w % 10, 0) << "the last grid line must lie before the edge for this table";
    const SnapCase cases[] = {
        {"off clamps only", false, 10, 10, false, {14, 15}, {14, 15}},
        {"off clamps outside", false, 10, 10, false, {-7, w + 9}, {0, w + 9 > h ? h : w + 9}},
        {"14 and 15", true, 10, 10, false, {14, 15}, {10, 20}},
        {"halves upwards", true, 10, 10, false, {5, 4}, {10, 0}},
        {"past the last grid line", true, 10, 10, false, {w, h}, {w / 10 * 10, h / 10 * 10}},
        {"camera never snaps", true, 10, 10, true, {14, 15}, {14, 15}},
        {"zero steps do not snap", true, 0, 0, false, {14, 15}, {14, 15}},
        {"zero step on one axis", true, 10, 0, false, {14, 15}, {10, 15}},
        {"negative step", true, -4, 10, false, {14, 15}, {14, 20}},
    };
    for (const SnapCase& c : cases) {
        SCOPED_TRACE(c.name);
        manager.SetGrid({.stepX = c.gx, .stepY = c.gy, .snap = c.snap});
        shell.cameraLayout = c.camera;
        const POINT got = manager.SnapPoint(InP(c.in.x, c.in.y));
        EXPECT_EQ(got.x - printable.left, c.expected.x);
        EXPECT_EQ(got.y - printable.top, c.expected.y);
    }
}

TEST_F(DragGeometryTest, SnapPointKeepsInsideAGivenBound)
{
    manager.SetGrid({.stepX = 10, .stepY = 10, .snap = true});
    const RECT bound = InPRect(12, 12, 37, 37);
    const POINT low = manager.SnapPoint(InP(0, 0), &bound);
    const POINT high = manager.SnapPoint(InP(100, 100), &bound);
    EXPECT_EQ(low.x - printable.left, 12) << "the bound's own edge when the grid line lies before it";
    EXPECT_EQ(high.x - printable.left, 30) << "the last grid line inside the bound";
    EXPECT_EQ(high.y - printable.top, 30);
}

TEST_F(DragGeometryTest, BoxToolRectIsSquareWhileShiftIsHeld)
{
    EXPECT_EQ(manager.GetBoxToolRect(InP(50, 50), InP(10, 80)), InPRect(10, 50, 50, 80));
    host.keyFlags = MK_SHIFT;
    EXPECT_EQ(manager.GetBoxToolRect(InP(50, 50), InP(10, 80)), InPRect(20, 50, 50, 80));
    EXPECT_EQ(manager.GetBoxToolRect(InP(50, 50), InP(90, 10)), InPRect(50, 10, 90, 50));
}

TEST_F(DragGeometryTest, LineToolRectHoldsTheCentreLineOfTheNewLine)
{
    ChangeItemDefaults(manager, [](ItemDefaults& d) { d.lineWidth = 5; }); // w = 4, h = 2
    const RECT vertical = manager.GetLineToolRect(InP(100, 100), InP(103, 200), true);
    EXPECT_EQ(vertical, InPRect(100, 100, 100, 200));
    const RECT upwards = manager.GetLineToolRect(InP(100, 200), InP(103, 100), true);
    EXPECT_EQ(upwards, InPRect(100, 100, 100, 200));
    const RECT horizontal = manager.GetLineToolRect(InP(100, 100), InP(300, 101), false);
    EXPECT_EQ(horizontal, InPRect(100, 100, 300, 100));
    // At the right edge the line's thickness still fits inside.
    const RECT atEdge = manager.GetLineToolRect(POINT{printable.right, printable.top + 10},
                                                POINT{printable.right, printable.top + 90}, true);
    EXPECT_EQ(atEdge.left, printable.right - 4 + 2);
}

struct ResizeCase
{
    const char* name;
    int kind;
    POINT to; // relative to P
    RECT expected;
    bool swapped;
};

TEST_F(DragGeometryTest, ResizeMovesTheDraggedEdgesAndTurnsOverPastTheOpposite)
{
    auto* text = Append(manager, MakeString(InPRect(100, 100, 200, 160), "t"));
    const ResizeCase cases[] = {
        {"top", CEditItem::KindTop, {150, 50}, InPRect(100, 50, 200, 160), false},
        {"top past bottom", CEditItem::KindTop, {150, 190}, InPRect(100, 160, 200, 190), true},
        {"left", CEditItem::KindLeft, {80, 130}, InPRect(80, 100, 200, 160), false},
        {"left past right", CEditItem::KindLeft, {260, 130}, InPRect(200, 100, 260, 160), true},
        {"right up to left is no pass", CEditItem::KindRight, {100, 130}, InPRect(100, 100, 100, 160), false},
        {"top-left past right only", CEditItem::KindTopLeft, {230, 90}, InPRect(200, 90, 230, 160), true},
        {"top-left past both", CEditItem::KindTopLeft, {230, 190}, InPRect(200, 160, 230, 190), false},
        {"bottom-right", CEditItem::KindBottomRight, {250, 170}, InPRect(100, 100, 250, 170), false},
    };
    for (const ResizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto frame = FrameFor(text, c.kind);
        POINT p = InP(c.to.x, c.to.y);
        bool swapped = !c.swapped;
        EXPECT_EQ(manager.CalcResizeRect(frame.get(), &p, &swapped), c.expected);
        EXPECT_EQ(swapped, c.swapped);
    }
}

TEST_F(DragGeometryTest, ResizeSnapsThePointAndWritesItBack)
{
    auto* text = Append(manager, MakeString(InPRect(100, 100, 200, 160), "t"));
    manager.SetGrid({.stepX = 10, .stepY = 10, .snap = true});
    auto frame = FrameFor(text, CEditItem::KindBottomRight);
    POINT p = InP(254, 176);
    EXPECT_EQ(manager.CalcResizeRect(frame.get(), &p), InPRect(100, 100, 250, 180));
    EXPECT_EQ(p.x - printable.left, 250);
}

TEST_F(DragGeometryTest, ShiftSquaresBoxesButNotMacroStrings)
{
    auto* text = Append(manager, MakeString(InPRect(100, 100, 200, 160), "t"));
    auto macro = std::make_unique<CMacroStringItem>();
    macro->SetRect(InPRect(100, 100, 200, 160));
    auto* macroText = Append(manager, std::move(macro));
    host.keyFlags = MK_SHIFT;
    auto corner = FrameFor(text, CEditItem::KindBottomRight);
    POINT p = InP(300, 180);
    EXPECT_EQ(manager.CalcResizeRect(corner.get(), &p), InPRect(100, 100, 180, 180));
    auto topLeft = FrameFor(text, CEditItem::KindTopLeft);
    p = InP(50, 90);
    EXPECT_EQ(manager.CalcResizeRect(topLeft.get(), &p), InPRect(130, 90, 200, 160));
    auto side = FrameFor(text, CEditItem::KindRight);
    p = InP(240, 130);
    EXPECT_EQ(manager.CalcResizeRect(side.get(), &p), InPRect(100, 60, 240, 200)) << "centred on the item";
    auto macroFrame = FrameFor(macroText, CEditItem::KindBottomRight);
    p = InP(300, 180);
    EXPECT_EQ(manager.CalcResizeRect(macroFrame.get(), &p), InPRect(100, 100, 300, 180));
}

TEST_F(DragGeometryTest, ResizeOfNothingOrOfALineIsEmpty)
{
    auto* line = Append(manager, MakeLine(InPRect(100, 100, 300, 100), 5));
    auto frame = FrameFor(line, CEditItem::KindRight);
    POINT p = InP(400, 100);
    EXPECT_EQ(manager.CalcResizeRect(frame.get(), &p), RECT{});
    EXPECT_EQ(manager.CalcResizeRect(nullptr, &p), RECT{});
}

class FixedAspectTest : public DragGeometryTest
{
protected:
    // A fixed-aspect background whose picture is 200 x 100.
    CBackgroundImageFrameItem* AddBackground(RECT rect, int rotation)
    {
        auto background = std::make_unique<CBackgroundImageFrameItem>();
        background->SetRect(rect);
        background->GetImageBuffer1()->Create(200, 100);
        background->SetImageRotation(rotation);
        background->SetAspectFixed(true);
        return Append(manager, std::move(background));
    }
};

TEST_F(FixedAspectTest, KeepsThePicturesAspect)
{
    auto* wide = AddBackground(InPRect(100, 100, 300, 200), 0);
    host.keyFlags = MK_SHIFT; // no square for fixed-aspect backgrounds
    const ResizeCase cases[] = {
        {"right side", CEditItem::KindRight, {500, 150}, InPRect(100, 50, 500, 250), false},
        {"left side past right", CEditItem::KindLeft, {340, 150}, InPRect(300, 140, 340, 160), true},
        {"bottom side", CEditItem::KindBottom, {200, 300}, InPRect(0, 100, 400, 300), false},
        {"corner, too wide", CEditItem::KindBottomRight, {700, 200}, InPRect(100, 100, 300, 200), false},
        {"corner, too tall", CEditItem::KindBottomRight, {200, 400}, InPRect(100, 100, 200, 150), false},
        {"top-left corner", CEditItem::KindTopLeft, {0, 0}, InPRect(0, 50, 300, 200), false},
    };
    for (const ResizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto frame = FrameFor(wide, c.kind);
        POINT p = InP(c.to.x, c.to.y);
        EXPECT_EQ(manager.CalcResizeRect(frame.get(), &p), c.expected);
    }
}

TEST_F(FixedAspectTest, AQuarterTurnedPictureExchangesTheRatio)
{
    auto* tall = AddBackground(InPRect(100, 100, 200, 300), 1);
    auto frame = FrameFor(tall, CEditItem::KindRight);
    POINT p = InP(300, 200);
    EXPECT_EQ(manager.CalcResizeRect(frame.get(), &p), InPRect(100, 0, 300, 400));
}

TEST_F(FixedAspectTest, EveryTurnResizesByThePicturesTurnedProportions)
{
    // The picture is 200 x 100: upright and half-turned it keeps 2:1, a quarter
    // or three-quarter turn shows it 1:2. The same drag must follow that.
    struct TurnCase
    {
        int rotation;
        RECT expected;
    };
    const TurnCase cases[] = {
        {0, InPRect(100, 150, 300, 250)},
        {1, InPRect(100, 0, 300, 400)},
        {2, InPRect(100, 150, 300, 250)},
        {3, InPRect(100, 0, 300, 400)},
    };
    for (const TurnCase& c : cases) {
        SCOPED_TRACE("rotation " + std::to_string(c.rotation));
        manager.DeleteAllItems();
        auto* background = AddBackground(InPRect(100, 100, 200, 300), c.rotation);
        auto frame = FrameFor(background, CEditItem::KindRight);
        POINT p = InP(300, 200);
        EXPECT_EQ(manager.CalcResizeRect(frame.get(), &p), c.expected);
    }
}

TEST_F(FixedAspectTest, NeverGrowsPastThePrintableRectOnTheCentredAxis)
{
    // Centre 40 below the top: at most 80 high, so at most 160 wide.
    auto* background = AddBackground(InPRect(100, 20, 200, 60), 0);
    auto frame = FrameFor(background, CEditItem::KindRight);
    POINT p = InP(900, 40);
    const RECT r = manager.CalcResizeRect(frame.get(), &p);
    EXPECT_EQ(r, InPRect(100, 0, 260, 80));
    EXPECT_GE(r.top, printable.top);
}

TEST_F(FixedAspectTest, WithoutAPictureTheBoxIsFree)
{
    auto background = std::make_unique<CBackgroundImageFrameItem>();
    background->SetRect(InPRect(100, 100, 300, 200));
    background->SetAspectFixed(true);
    auto* empty = Append(manager, std::move(background));
    auto frame = FrameFor(empty, CEditItem::KindBottomRight);
    POINT p = InP(400, 400);
    EXPECT_EQ(manager.CalcResizeRect(frame.get(), &p), InPRect(100, 100, 400, 400));
}

TEST_F(DragGeometryTest, InsertFramesWithAnAspectKindKeepIt)
{
    auto* frameItem = Append(manager, MakeFrame(InPRect(100, 100, 300, 400), 1));
    frameItem->SetAspectKind(CInsertImageFrameItem::Aspect2x3);
    host.keyFlags = MK_SHIFT;
    for (int kind :
         {CEditItem::KindRight, CEditItem::KindBottom, CEditItem::KindBottomRight, CEditItem::KindTopLeft}) {
        SCOPED_TRACE(kind);
        auto frame = FrameFor(frameItem, kind);
        POINT p = InP(420, 520);
        const RECT r = manager.CalcResizeRect(frame.get(), &p);
        EXPECT_NEAR(r.Width() * 3.0, r.Height() * 2.0, 3.0) << "2 : 3";
        EXPECT_GE(r.left, printable.left);
        EXPECT_LE(r.right, printable.right);
    }
    auto corner = FrameFor(frameItem, CEditItem::KindBottomRight);
    POINT p = InP(420, 520);
    const RECT r = manager.CalcResizeRect(corner.get(), &p);
    EXPECT_EQ(r.left, printable.left + 100) << "the corner opposite the handle stays";
    EXPECT_EQ(r.top, printable.top + 100);
}

struct LineCase
{
    const char* name;
    RECT line; // relative to P
    int kind;
    POINT to;
    RECT expected;
    bool swapped;
};

TEST_F(DragGeometryTest, LineEndsStayOnTheirAxisAndTurnWhenPulledSideways)
{
    // Width 5: w = 4, h = 2; the ends are tested against the stroke's centre segment.
    const LineCase cases[] = {
        {"bottom end down",
         {100, 100, 100, 200},
         CEditItem::KindBottom,
         {101, 300},
         {100, 100, 100, 302},
         false},
        {"top end up", {100, 100, 100, 200}, CEditItem::KindTop, {101, 40}, {100, 38, 100, 200}, false},
        {"top end past bottom",
         {100, 100, 100, 200},
         CEditItem::KindTop,
         {101, 260},
         {100, 196, 100, 262},
         true},
        {"bottom end sideways turns",
         {100, 100, 100, 200},
         CEditItem::KindBottom,
         {400, 150},
         {100, 100, 402, 100},
         false},
        {"right end along",
         {100, 100, 300, 100},
         CEditItem::KindRight,
         {350, 102},
         {100, 100, 352, 100},
         false},
        {"right end down turns",
         {100, 100, 300, 100},
         CEditItem::KindRight,
         {150, 600},
         {100, 100, 100, 602},
         false},
        {"left end up turns", {100, 300, 300, 300}, CEditItem::KindLeft, {250, 0}, {296, 0, 296, 304}, false},
        {"corner kinds do nothing", {100, 100, 100, 200}, CEditItem::KindTopLeft, {0, 0}, {}, false},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        manager.DeleteAllItems();
        auto* line =
            Append(manager, MakeLine(InPRect(c.line.left, c.line.top, c.line.right, c.line.bottom), 5));
        bool swapped = !c.swapped;
        const RECT got = manager.CalcLineDragRect(line, c.kind, InP(c.to.x, c.to.y), &swapped);
        const RECT expected = c.kind == CEditItem::KindTopLeft ? RECT{}
                                                               : InPRect(c.expected.left, c.expected.top,
                                                                         c.expected.right, c.expected.bottom);
        EXPECT_EQ(got, expected);
        if (c.kind != CEditItem::KindTopLeft) {
            EXPECT_EQ(swapped, c.swapped);
        }
    }
}

TEST_F(DragGeometryTest, LineEndSnapsAlongItsAxisAndKeepsItsThickness)
{
    manager.SetGrid({.stepX = 10, .stepY = 10, .snap = true});
    auto* line = Append(manager, MakeLine(InPRect(100, 100, 300, 100), 5));
    EXPECT_EQ(manager.CalcLineDragRect(line, CEditItem::KindRight, InP(346, 100)),
              InPRect(100, 100, 350, 100));
    // Pulled back onto the other end: still as long as the line is thick.
    EXPECT_EQ(manager.CalcLineDragRect(line, CEditItem::KindRight, InP(100, 100)),
              InPRect(100, 100, 104, 100));
    manager.SetGrid({.stepX = 0, .stepY = 10, .snap = true});
    EXPECT_EQ(manager.CalcLineDragRect(line, CEditItem::KindRight, InP(346, 100)),
              InPRect(100, 100, 348, 100));
}

TEST_F(DragGeometryTest, LineStaysInsideThePrintableRect)
{
    auto* line = Append(manager, MakeLine(InPRect(100, 100, 300, 100), 5));
    const RECT r = manager.CalcLineDragRect(line, CEditItem::KindRight, POINT{printable.right + 500, 100});
    EXPECT_EQ(r.right, printable.right);
    const RECT l = manager.CalcLineDragRect(line, CEditItem::KindLeft, POINT{printable.left - 500, 100});
    EXPECT_EQ(l.left, printable.left);
}

} // namespace
