#include "Layout/LayoutManagerMouseCursors.h"
#include "Layout/support/MouseTestSupport.h"

#include <gtest/gtest.h>

namespace {

using mousetest::MouseFixture;

TEST(MouseCursorTest, EveryEditingCursorLoadsWithItsHotSpotInside)
{
    layouttest::EnsureGuiApplication();
    for (int id = 304; id <= 313; ++id) {
        SCOPED_TRACE(id);
        const LayoutCursor cursor = LoadLayoutCursor(id);
        ASSERT_FALSE(cursor.image.isNull());
        EXPECT_EQ(cursor.image.size(), QSize(32, 32));
        EXPECT_TRUE(cursor.image.hasAlphaChannel());
        EXPECT_TRUE(cursor.image.rect().contains(cursor.hotSpot.x, cursor.hotSpot.y));
        EXPECT_GT(qAlpha(cursor.image.pixel(cursor.hotSpot.x, cursor.hotSpot.y)), 0)
            << "the hot spot is drawn";
    }
    EXPECT_TRUE(LoadLayoutCursor(303).image.isNull());
    EXPECT_TRUE(LoadLayoutCursor(0).image.isNull());
}

class MouseToolCursorTest : public MouseFixture
{
};

TEST_F(MouseToolCursorTest, HoverShowsTheToolsCursorInsideThePrintableRect)
{
    const int expected[] = {308, 304, 305, 306, 307};
    for (int tool = 3; tool <= 7; ++tool) {
        SCOPED_TRACE(tool);
        manager.GetDragState().currentTool = tool;
        EXPECT_EQ(manager.GetHoverCursor(), expected[tool - 3]);
        host.cursors.clear();
        MoveTo(InP(100, 100), 0);
        EXPECT_EQ(host.cursors, std::vector<int>{expected[tool - 3]});
        host.cursors.clear();
        MoveTo(POINT{printable.right + 10, printable.top + 10}, 0);
        EXPECT_EQ(host.cursors.empty(), tool != 3) << "outside, only the selection tool keeps its cursor";
    }
    manager.GetDragState().currentTool = 9;
    EXPECT_EQ(manager.GetHoverCursor(), 0);
    EXPECT_FALSE(manager.SetHoverCursor());
}

} // namespace
