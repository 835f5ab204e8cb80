#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/MouseTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace managertest;
using mousetest::HandlePoint;
using mousetest::MouseFixture;
using Kinds = std::vector<int>;

class MouseDragTest : public MouseFixture
{
protected:
    void SetUp() override
    {
        MouseFixture::SetUp();
        manager.GetDragState().currentTool = 3;
    }
    RECT InPRect(int l, int t, int r, int b) const
    {
        return RECT{printable.left + l, printable.top + t, printable.left + r, printable.top + b};
    }
    CChangeRectUndoInfo* RectRecord() const
    {
        return dynamic_cast<CChangeRectUndoInfo*>(manager.GetPendingUndo());
    }
};

TEST_F(MouseDragTest, AClickWithoutAMoveSelectsAndChangesNoGeometry)
{
    auto* text = Append(manager, MakeString(InPRect(100, 100, 200, 200), "t"));
    Press(InP(150, 150));
    EXPECT_EQ(host.cursors.back(), CursorMove);
    Release(InP(150, 150));
    EXPECT_EQ(host.cursors.back(), 308) << "back to the selection tool's cursor";
    EXPECT_TRUE(text->IsSelected());
    EXPECT_EQ(RectOf(text), InPRect(100, 100, 200, 200));
    EXPECT_EQ(host.Kinds(), Kinds{5});
    EXPECT_EQ(host.currentItem, text);
    EXPECT_EQ(manager.GetPendingUndo(), nullptr);

    host.Clear();
    Press(InP(150, 150), MK_LBUTTON | MK_SHIFT);
    Release(InP(150, 150));
    EXPECT_FALSE(text->IsSelected()) << "Shift on a selected item deselects it";
    EXPECT_EQ(host.Kinds(), Kinds{5});
}

TEST_F(MouseDragTest, MoveSnapsTheSelectionsCornerToTheGrid)
{
    manager.SetGrid({.stepX = 10, .stepY = 10, .snap = true});
    auto* a = Append(manager, MakeString(InPRect(100, 100, 150, 150), "a"));
    auto* b = Append(manager, MakeString(InPRect(200, 300, 260, 340), "b"));
    a->SetSelected(true);
    // Shift on an unselected item adds it and drags both.
    Press(InP(210, 310), MK_LBUTTON | MK_SHIFT);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    MoveTo(InP(224, 325));
    RECT during{};
    EXPECT_FALSE(manager.GetSelectionInfo(&during)) << "two items give no read-out";
    Release(InP(224, 325));
    // Offset (14, 15) snaps the union's corner (100, 100) to (110, 120).
    EXPECT_EQ(RectOf(a), InPRect(110, 120, 160, 170));
    EXPECT_EQ(RectOf(b), InPRect(210, 320, 270, 360));
    EXPECT_FALSE(a->IsDrawSuppressed());
    EXPECT_FALSE(b->IsDrawSuppressed());
    ASSERT_NE(RectRecord(), nullptr);
    ASSERT_EQ(RectRecord()->Entries().size(), 2u);
    EXPECT_EQ(RectRecord()->Entries()[0].rect, InPRect(100, 100, 150, 150));
    EXPECT_EQ(RectRecord()->Entries()[1].rect, InPRect(200, 300, 260, 340));
    EXPECT_EQ(host.Kinds(), (Kinds{5, 5, 6, 5, 1}));
    EXPECT_TRUE(manager.GetEditFrames().empty());
    EXPECT_TRUE(manager.GetEditRegion().IsEmpty());
}

TEST_F(MouseDragTest, MoveNeverPassesTheLastGridLine)
{
    manager.SetGrid({.stepX = 10, .stepY = 10, .snap = true});
    auto* text = Append(manager, MakeString(InPRect(100, 100, 155, 150), "t"));
    text->SetSelected(true);
    Drag(InP(120, 120), {InP(5000, 120)});
    const RECT r = RectOf(text);
    EXPECT_LE(r.right, printable.right);
    EXPECT_EQ((r.left - printable.left) % 10, 0) << "the left edge stays on a grid line";
    EXPECT_GT(r.right + 10, printable.right) << "as far right as the grid allows";
}

TEST_F(MouseDragTest, MoveWithZeroGridStepsFollowsThePointer)
{
    manager.SetGrid({.stepX = 0, .stepY = 0, .snap = true});
    auto* text = Append(manager, MakeString(InPRect(100, 100, 150, 150), "t"));
    text->SetSelected(true);
    Drag(InP(120, 120), {InP(134, 137)});
    EXPECT_EQ(RectOf(text), InPRect(114, 117, 164, 167));
    // A selection wider than the page still stops at the left edge, not at a division by zero.
    auto* wide = Append(manager, MakeString(RECT{printable.left, 500, printable.right + 40, 600}, "w"));
    manager.SelectAll(false);
    wide->SetSelected(true);
    Drag(POINT{printable.left + 20, 550}, {POINT{printable.left + 60, 550}});
    EXPECT_EQ(RectOf(wide).left, printable.left);
}

TEST_F(MouseDragTest, SelectionInfoFollowsTheMovedOutline)
{
    auto* text = Append(manager, MakeString(InPRect(100, 100, 150, 150), "t"));
    Press(InP(120, 120));
    MoveTo(InP(140, 150));
    RECT info{};
    ASSERT_TRUE(manager.GetSelectionInfo(&info));
    EXPECT_EQ(info, InPRect(120, 130, 170, 180));
    EXPECT_EQ(manager.GetEditFrameRect(false, false), InPRect(100, 100, 150, 150));
    EXPECT_TRUE(text->IsDrawSuppressed());
    EXPECT_NE(RectRecord(), nullptr) << "the record is held from the first move";
    Release(InP(140, 150));
    EXPECT_EQ(RectOf(text), InPRect(120, 130, 170, 180));
}

TEST_F(MouseDragTest, ResizeThatCrossesOverSwapsTheDiagonalCursor)
{
    auto* text = Append(manager, MakeString(InPRect(100, 100, 200, 160), "t"));
    text->SetSelected(true);
    Press(HandlePoint(*text, 2)); // top-left
    EXPECT_EQ(manager.GetDragState().dragMode, 2);
    EXPECT_EQ(host.cursors.back(), CursorSizeDiagonalDown);
    MoveTo(InP(80, 90));
    EXPECT_EQ(host.cursors.back(), CursorSizeDiagonalDown);
    ASSERT_NE(manager.GetDragState().resizeFrame, nullptr);
    EXPECT_EQ(RectOf(manager.GetDragState().resizeFrame.get()), InPRect(80, 90, 200, 160));
    MoveTo(InP(260, 90));
    EXPECT_EQ(host.cursors.back(), CursorSizeDiagonalUp) << "past the right edge the other diagonal";
    Release(InP(260, 90));
    EXPECT_EQ(RectOf(text), InPRect(200, 90, 260, 160));
    EXPECT_FALSE(text->IsDrawSuppressed());
    ASSERT_NE(RectRecord(), nullptr);
    EXPECT_EQ(RectRecord()->Entries().at(0).rect, InPRect(100, 100, 200, 160));
    EXPECT_EQ(host.Kinds(), (Kinds{5, 6, 6, 5, 1}));
}

TEST_F(MouseDragTest, ResizeToNoExtentKeepsOneUnit)
{
    auto* text = Append(manager, MakeString(InPRect(100, 100, 200, 160), "t"));
    text->SetSelected(true);
    Drag(HandlePoint(*text, 6), {InP(100, 130)}); // right handle onto the left edge
    EXPECT_EQ(RectOf(text), InPRect(100, 100, 101, 160));
}

TEST_F(MouseDragTest, FixedAspectBackgroundResizesWithItsPicture)
{
    auto background = std::make_unique<CBackgroundImageFrameItem>();
    background->SetRect(InPRect(100, 100, 300, 200));
    background->GetImageBuffer1()->Create(200, 100);
    background->SetAspectFixed(true);
    auto* item = Append(manager, std::move(background));
    item->SetSelected(true);
    Drag(HandlePoint(*item, 9), {InP(500, 210)});
    EXPECT_EQ(RectOf(item), InPRect(100, 100, 320, 210));
}

TEST_F(MouseDragTest, LineEndDraggedSidewaysTurnsTheLine)
{
    auto* line = Append(manager, MakeLine(InPRect(100, 100, 100, 300), 5));
    line->SetSelected(true);
    Press(HandlePoint(*line, 8)); // bottom end
    EXPECT_EQ(manager.GetDragState().dragMode, 2);
    MoveTo(InP(500, 150));
    Release(InP(500, 150));
    EXPECT_FALSE(line->IsVertical());
    EXPECT_EQ(RectOf(line), InPRect(100, 100, 502, 100));
    ASSERT_NE(RectRecord(), nullptr);
    EXPECT_EQ(RectRecord()->Entries().at(0).rect, InPRect(100, 100, 100, 300));
}

TEST_F(MouseDragTest, RubberBandSelectsTheItemsInside)
{
    auto* inside = Append(manager, MakeString(InPRect(100, 100, 150, 150), "in"));
    auto* across = Append(manager, MakeString(InPRect(180, 100, 260, 150), "across"));
    Drag(InP(50, 50), {InP(200, 200)});
    EXPECT_TRUE(inside->IsSelected());
    EXPECT_FALSE(across->IsSelected());
    EXPECT_EQ(host.Kinds(), (Kinds{5, 6, 5, 1}));
    EXPECT_EQ(host.cursors.back(), 308);
}

TEST_F(MouseDragTest, CameraLayoutProtectsItsFrames)
{
    shell.cameraLayout = true;
    auto* frame = Append(manager, MakeFrame(InPRect(100, 100, 300, 400), 1));
    auto* text = Append(manager, MakeString(InPRect(500, 100, 600, 200), "t"));

    // Hovering a frame shows no item cursor.
    host.cursors.clear();
    MoveTo(InP(200, 200), 0);
    EXPECT_EQ(host.cursors, std::vector<int>{308});

    Press(InP(200, 200));
    EXPECT_EQ(manager.GetDragState().dragMode, 3);
    EXPECT_FALSE(frame->IsSelected());
    MoveTo(InP(260, 300));
    Release(InP(260, 300));
    EXPECT_EQ(RectOf(frame), InPRect(100, 100, 300, 400));
    EXPECT_FALSE(frame->IsSelected());

    // A frame selected by other means is not moved either.
    frame->SetSelected(true);
    Drag(InP(200, 200), {InP(240, 260)});
    EXPECT_EQ(RectOf(frame), InPRect(100, 100, 300, 400));
    frame->SetSelected(true);
    Drag(HandlePoint(*frame, 9), {InP(400, 500)});
    EXPECT_EQ(RectOf(frame), InPRect(100, 100, 300, 400));

    // Other items move as usual.
    manager.SelectAll(false);
    Drag(InP(550, 150), {InP(560, 170)});
    EXPECT_EQ(RectOf(text), InPRect(510, 120, 610, 220));
}

TEST_F(MouseDragTest, ASecondPressWhileDraggingIsIgnored)
{
    auto* text = Append(manager, MakeString(InPRect(100, 100, 150, 150), "t"));
    Press(InP(120, 120));
    MoveTo(InP(130, 130));
    host.Clear();
    Press(InP(400, 400));
    EXPECT_TRUE(host.sent.empty());
    EXPECT_TRUE(text->IsSelected());
    Release(InP(130, 130));
    EXPECT_EQ(RectOf(text), InPRect(110, 110, 160, 160));
}

TEST_F(MouseDragTest, HoverCursorFollowsTheHandleUnderThePointer)
{
    auto* text = Append(manager, MakeString(InPRect(100, 100, 200, 160), "t"));
    text->SetSelected(true);
    struct HoverCase
    {
        int code;
        int cursor;
    } cases[] = {{2, CursorSizeDiagonalDown},
                 {3, CursorSizeVertical},
                 {4, CursorSizeDiagonalUp},
                 {6, CursorSizeHorizontal},
                 {9, CursorSizeDiagonalDown}};
    for (const HoverCase& c : cases) {
        SCOPED_TRACE(c.code);
        MoveTo(HandlePoint(*text, c.code), 0);
        EXPECT_EQ(host.cursors.back(), c.cursor);
    }
    MoveTo(InP(150, 130), 0);
    EXPECT_EQ(host.cursors.back(), CursorMove);
    MoveTo(InP(900, 900), 0);
    EXPECT_EQ(host.cursors.back(), 308);
}

} // namespace

namespace {

using namespace managertest;
using mousetest::HandlePoint;

class MouseDragRemovedItemTest : public mousetest::MouseFixture
{
protected:
    void SetUp() override
    {
        MouseFixture::SetUp();
        manager.GetDragState().currentTool = 3;
    }
};

TEST_F(MouseDragRemovedItemTest, KeysWaitWhileTheButtonIsHeld)
{
    auto* text = Append(manager, MakeString(RECT{100, 100, 200, 200}, "t"));
    text->SetSelected(true);
    Press(HandlePoint(*text, 9));
    manager.OnKeyDown(VK_DELETE, 1, 0);
    manager.OnKeyDown(VK_RIGHT, 1, 0);
    EXPECT_EQ(manager.GetItems().size(), 1u);
    EXPECT_EQ(RectOf(text), (RECT{100, 100, 200, 200}));
    Release(HandlePoint(*text, 9));
}

TEST_F(MouseDragRemovedItemTest, AnItemRemovedDuringTheDragIsLeftAlone)
{
    // The item goes between the press and the first move, and during a move; neither may touch it.
    for (int removeAfterMove = 0; removeAfterMove < 2; ++removeAfterMove) {
        for (int code : {1, 9}) {
            SCOPED_TRACE(code);
            manager.DeleteAllItems();
            auto* text = Append(manager, MakeString(RECT{100, 100, 200, 200}, "t"));
            auto* other = Append(manager, MakeString(RECT{300, 300, 400, 400}, "o"));
            text->SetSelected(true);
            const POINT start = code == 1 ? POINT{150, 150} : HandlePoint(*text, code);
            Press(start);
            if (removeAfterMove)
                MoveTo(POINT{start.x + 5, start.y + 5});
            manager.DeleteSelection();
            MoveTo(POINT{start.x + 20, start.y + 30});
            Release(POINT{start.x + 20, start.y + 30});
            ASSERT_EQ(manager.GetItems().size(), 1u);
            EXPECT_EQ(RectOf(other), (RECT{300, 300, 400, 400}));
        }
    }
}

} // namespace
