#include "Layout/LayoutManager.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace managertest;

class LayoutManagerPaperTest : public ::testing::Test
{
protected:
    void SetUp() override { layouttest::EnsureGuiApplication(); }
    FakeHost host;
    CLayoutManager manager;
};

TEST_F(LayoutManagerPaperTest, A4InModeOneAndFour)
{
    ASSERT_TRUE(manager.SetPaper(3, 0, 1, 500, false));
    EXPECT_EQ(manager.GetMargins(), (PageMargins{42, 198, 42, 42}));
    EXPECT_EQ(manager.GetPaperExtent().cx, 2976);
    EXPECT_EQ(manager.GetPaperExtent().cy, 4209);
    EXPECT_EQ(manager.GetPrintableRect(), (RECT{3, 3, 2885, 3962}));
    EXPECT_EQ(manager.GetMarginOffset(false), (POINT{42, 42}));
    EXPECT_TRUE(manager.HasLeftMargin());

    ASSERT_TRUE(manager.SetPaper(3, 0, 4, 500, false));
    EXPECT_EQ(manager.GetPaperExtent().cx, 3048);
    EXPECT_EQ(manager.GetPaperExtent().cy, 4281);
    EXPECT_EQ(manager.GetPrintableRect(), (RECT{0, 0, 3048, 4281}));
    EXPECT_EQ(manager.GetMarginOffset(false), (POINT{0, 0}));
    EXPECT_FALSE(manager.HasLeftMargin());
}

TEST_F(LayoutManagerPaperTest, RefusedArgumentsChangeNothing)
{
    ASSERT_TRUE(manager.SetPaper(0, 0, 0, 500, false));
    struct Case
    {
        int index, orientation, mode;
    };
    // Code 11 has a table row but is no paper: it must not give its size to the old code.
    for (const Case c : {Case{11, 0, 0}, Case{24, 0, 0}, Case{-1, 0, 0}, Case{3, 2, 0}, Case{3, 0, 7}}) {
        EXPECT_FALSE(manager.SetPaper(c.index, c.orientation, c.mode, 500, true));
        EXPECT_EQ(manager.GetPaperSizeIndex(), 0);
        EXPECT_EQ(manager.GetPaperSize().cx, 1417);
        EXPECT_EQ(manager.GetPaperSize().cy, 2097);
    }
    EXPECT_TRUE(host.sent.empty());
    EXPECT_FALSE(manager.SetPaperSizeIndex(11));
}

TEST_F(LayoutManagerPaperTest, RollLength)
{
    ASSERT_TRUE(manager.SetPaper(8, 0, 0, 1000, false));
    EXPECT_EQ(manager.GetPaperSize().cy, 999);
    EXPECT_FALSE(manager.SetRollLength(15841));
    EXPECT_EQ(manager.GetRollLength(), 1000);
    ASSERT_TRUE(manager.SetPaper(3, 0, 0, 1000, false));
    EXPECT_TRUE(manager.SetRollLength(7));
    EXPECT_EQ(manager.GetRollLength(), 500);
}

TEST_F(LayoutManagerPaperTest, LineWidthIsLimitedByTheSmallerPrintableSide)
{
    // Roll 89 mm, 500 long, mode 1: printable height 499 - 240 - 10 = 249.
    ChangeItemDefaults(manager, [](ItemDefaults& d) { d.lineWidth = 300; });
    ASSERT_TRUE(manager.SetPaper(6, 0, 1, 500, false));
    EXPECT_EQ(manager.GetPrintableRect().Height(), 249);
    EXPECT_EQ(manager.GetItemDefaults().lineWidth, 250);
    ChangeItemDefaults(manager, [](ItemDefaults& d) { d.lineWidth = 80; });
    ASSERT_TRUE(manager.SetPaper(6, 0, 1, 500, false));
    EXPECT_EQ(manager.GetItemDefaults().lineWidth, 80);
    // Borderless, the printable height is the extent, 499 + 72.
    ChangeItemDefaults(manager, [](ItemDefaults& d) { d.lineWidth = 300; });
    ASSERT_TRUE(manager.SetPaper(6, 0, 4, 500, false));
    EXPECT_EQ(manager.GetItemDefaults().lineWidth, 300);
}

TEST_F(LayoutManagerPaperTest, ItemsFollowThePageAndTheHeldRecordIsDropped)
{
    SetUpA4(manager);
    CLineItem* line = Append(manager, MakeLine(RECT{0, 0, 100, 0}, 5));
    manager.SetPendingUndo(std::make_unique<CChangeOrderUndoInfo>());
    host.Clear();
    ASSERT_TRUE(manager.SetPaper(3, 1, 1, 500, true));
    EXPECT_EQ(line->GetOrientation(), 1);
    EXPECT_EQ(manager.GetPendingUndo(), nullptr);
    EXPECT_EQ(host.Kinds(), (std::vector<int>{LayoutChangePageSize}));
    // The landscape printable area, wider than high, fitted into 48 x 48 from (1, 1).
    const int printableWidth = manager.GetPrintableRect().Width();
    RECT r;
    line->GetItemImageRect(&r);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right, 49);
    EXPECT_EQ(r, manager.GetItemImageRect());
    EXPECT_FLOAT_EQ(line->GetItemImageScale(), 48.0f / float(printableWidth));
    EXPECT_FLOAT_EQ(manager.GetItemImageScale(), 48.0f / float(printableWidth));

    host.mainWindow = false;
    host.Clear();
    ASSERT_TRUE(manager.SetPaper(3, 0, 1, 500, true));
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(LayoutManagerPaperTest, CameraPage)
{
    ASSERT_TRUE(manager.SetPaperOrientation(1, false));
    EXPECT_EQ(manager.GetPaperSize().cx, 1023);
    EXPECT_EQ(manager.GetPaperSize().cy, 703);
    EXPECT_EQ(manager.GetMargins(), (PageMargins{}));
    EXPECT_EQ(manager.GetPaperSizeIndex(), 3);
    EXPECT_EQ(manager.GetPrintableRect(), (RECT{0, 0, 1023, 703}));
    EXPECT_FALSE(manager.SetPaperOrientation(2, false));
    EXPECT_EQ(manager.GetPaperSize().cx, 1023);
}

TEST_F(LayoutManagerPaperTest, ZoomReachesEveryItemAndThePageRect)
{
    SetUpA4(manager);
    CLineItem* line = Append(manager, MakeLine(RECT{0, 0, 100, 0}, 5));
    manager.SetZoom(0.5f, false);
    EXPECT_FLOAT_EQ(line->GetScale(), 0.5f);
    manager.ZoomStep(true, false);
    EXPECT_FLOAT_EQ(manager.GetScale(), 0.6333333f);
    EXPECT_FLOAT_EQ(line->GetScale(), 0.6333333f);
    manager.ZoomToWidth(1417, false);
    const POINT origin{10, 20};
    manager.SetOrigin(&origin);
    manager.SetOrigin(nullptr);
    RECT page;
    manager.GetRect(&page, true);
    EXPECT_EQ(page, (RECT{10, 20, 10 + 1417, 20 + 2004}));
    manager.ZoomToFit(SIZE{2976, 1000}, false);
    EXPECT_FLOAT_EQ(manager.GetScale(), 1000.0f / 4209.0f);
}

TEST_F(LayoutManagerPaperTest, FreeNumbers)
{
    SetUpA4(manager);
    EXPECT_EQ(manager.GetFreeLineNumber(), 1);
    EXPECT_EQ(manager.GetFreeFrameNumber(), 1);
    Append(manager, MakeLine(RECT{0, 0, 10, 0}, 1))->SetLineNumber(1);
    Append(manager, MakeLine(RECT{0, 0, 10, 0}, 1))->SetLineNumber(3);
    Append(manager, MakeFrame(RECT{0, 0, 10, 10}, 2));
    EXPECT_EQ(manager.GetFreeLineNumber(), 2);
    EXPECT_EQ(manager.GetFreeFrameNumber(), 1);
}

TEST_F(LayoutManagerPaperTest, ItemsRightAndBottomCountLineWidths)
{
    SetUpA4(manager);
    EXPECT_EQ(manager.GetItemsRight(), 0);
    Append(manager, MakeLine(RECT{500, 10, 500, 300}, 9));  // vertical: right 500 + 8
    Append(manager, MakeLine(RECT{10, 400, 200, 400}, 11)); // horizontal: bottom 400 + 10
    EXPECT_EQ(manager.GetItemsRight(), 508);
    EXPECT_EQ(manager.GetItemsBottom(), 410);
}

} // namespace
