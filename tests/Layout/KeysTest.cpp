#include "Layout/UndoInfo.h"
#include "Layout/support/MouseTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace managertest;
using mousetest::MouseFixture;
using Kinds = std::vector<int>;

class KeysTest : public MouseFixture
{
protected:
    void SetUp() override
    {
        MouseFixture::SetUp();
        manager.GetDragState().currentTool = 3;
        text = Append(manager, MakeString(RECT{100, 100, 200, 150}, "t"));
        text->SetSelected(true);
    }
    void Key(int key) { manager.OnKeyDown(key, 1, 0); }
    CStringItem* text = nullptr;
};

struct ArrowCase
{
    const char* name;
    float zoom;
    int key;
    POINT moved;
};

TEST_F(KeysTest, ArrowsMoveByOneUnitOrOneScreenPixel)
{
    const ArrowCase cases[] = {
        {"right at 1", 1.0f, VK_RIGHT, {1, 0}},     {"left at 1", 1.0f, VK_LEFT, {-1, 0}},
        {"up at 1", 1.0f, VK_UP, {0, -1}},          {"down at 1", 1.0f, VK_DOWN, {0, 1}},
        {"right at 0.25", 0.25f, VK_RIGHT, {4, 0}}, {"up at 0.25", 0.25f, VK_UP, {0, -4}},
        {"down at 2", 2.0f, VK_DOWN, {0, 1}},
    };
    for (const ArrowCase& c : cases) {
        SCOPED_TRACE(c.name);
        manager.SetZoom(c.zoom, false);
        ASSERT_FLOAT_EQ(manager.GetScale(), c.zoom);
        text->SetRect(RECT{100, 100, 200, 150});
        host.Clear();
        Key(c.key);
        EXPECT_EQ(RectOf(text), (RECT{100 + c.moved.x, 100 + c.moved.y, 200 + c.moved.x, 150 + c.moved.y}));
        EXPECT_EQ(host.Kinds(), (Kinds{5, 1}));
        auto* record = dynamic_cast<CChangeRectUndoInfo*>(manager.GetPendingUndo());
        ASSERT_NE(record, nullptr);
        ASSERT_EQ(record->Entries().size(), 1u);
        EXPECT_EQ(record->Entries()[0].rect, (RECT{100, 100, 200, 150}));
    }
}

TEST_F(KeysTest, ArrowThatWouldLeaveThePrintableRectMovesNothing)
{
    text->SetRect(RECT{printable.left, 100, printable.left + 50, 150});
    Key(VK_LEFT);
    EXPECT_EQ(RectOf(text).left, printable.left);
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(manager.GetPendingUndo(), nullptr);
    // The right edge may reach the printable rect's right edge, not pass it.
    text->SetRect(RECT{printable.right - 51, 100, printable.right - 1, 150});
    Key(VK_RIGHT);
    EXPECT_EQ(RectOf(text).right, printable.right);
    Key(VK_RIGHT);
    EXPECT_EQ(RectOf(text).right, printable.right);
}

TEST_F(KeysTest, ModifiersAndOtherKeysChangeNothing)
{
    for (int flags : {MK_SHIFT, MK_CONTROL}) {
        host.keyFlags = flags;
        Key(VK_RIGHT);
        Key(VK_DELETE);
    }
    host.keyFlags = 0;
    Key('A');
    Key(VK_SHIFT);
    EXPECT_EQ(RectOf(text), (RECT{100, 100, 200, 150}));
    EXPECT_EQ(manager.GetItems().size(), 1u);
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(manager.GetPendingUndo(), nullptr);
}

TEST_F(KeysTest, DeleteRemovesTheSelectionButNotOnlyMacroStrings)
{
    text->SetSelected(false);
    auto macro = std::make_unique<CMacroStringItem>();
    macro->SetRect(RECT{300, 300, 400, 350});
    auto* macroText = Append(manager, std::move(macro));
    macroText->SetSelected(true);
    Key(VK_DELETE);
    EXPECT_EQ(manager.GetItems().size(), 2u);
    Key(VK_RIGHT);
    EXPECT_EQ(RectOf(macroText).left, 301) << "macro strings still move";

    text->SetSelected(true);
    Key(VK_DELETE);
    ASSERT_EQ(manager.GetItems().size(), 1u);
    EXPECT_EQ(manager.GetItems().front().get(), macroText) << "macro strings only go with their frame";
    EXPECT_NE(dynamic_cast<CDeleteUndoInfo*>(manager.GetPendingUndo()), nullptr);
}

TEST_F(KeysTest, NothingSelectedMovesNothing)
{
    text->SetSelected(false);
    Key(VK_DOWN);
    EXPECT_EQ(RectOf(text), (RECT{100, 100, 200, 150}));
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(KeysTest, CameraLayoutFramesDoNotMoveOrGo)
{
    shell.cameraLayout = true;
    text->SetSelected(false);
    auto* frame = Append(manager, MakeFrame(RECT{300, 300, 500, 600}, 1));
    frame->SetSelected(true);
    Key(VK_RIGHT);
    Key(VK_DELETE);
    EXPECT_EQ(RectOf(frame), (RECT{300, 300, 500, 600}));
    EXPECT_EQ(manager.GetItems().size(), 2u);
    shell.cameraLayout = false;
    Key(VK_RIGHT);
    EXPECT_EQ(RectOf(frame).left, 301);
}

TEST_F(KeysTest, ShiftDuringABoxOrResizeDragReshapesAtOnce)
{
    host.keyFlags = MK_LBUTTON | MK_SHIFT;
    host.cursorPos = POINT{77, 88};
    manager.GetDragState().currentTool = 6;
    Press(InP(10, 10));
    MoveTo(InP(50, 90));
    manager.OnKeyDown(VK_SHIFT, 1, 0);
    manager.OnKeyUp(VK_SHIFT, 1, 0);
    manager.OnKeyDown(VK_RIGHT, 1, 0); // ignored while dragging
    ASSERT_EQ(host.mouseMoves.size(), 2u);
    EXPECT_EQ(host.mouseMoves[0].first, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(host.mouseMoves[0].second, (POINT{77, 88}));
    Release(InP(50, 90));
    EXPECT_EQ(RectOf(manager.GetItems().front().get()),
              (RECT{printable.left + 10, printable.top + 10, printable.left + 50, printable.top + 50}))
        << "square while Shift is held";

    // A rubber band does not care about Shift.
    host.mouseMoves.clear();
    manager.GetDragState().currentTool = 3;
    Press(InP(1000, 1000));
    MoveTo(InP(1100, 1100));
    manager.OnKeyDown(VK_SHIFT, 1, 0);
    Release(InP(1100, 1100));
    EXPECT_TRUE(host.mouseMoves.empty());
}

} // namespace
