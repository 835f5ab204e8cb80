#include "Layout/LayoutManager.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace managertest;

class LayoutManagerStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        SetUpA4(manager);
    }
    FakeHost host;
    CLayoutManager manager;
};

TEST_F(LayoutManagerStateTest, ResetEmptiesThePageAndTellsTheToolBox)
{
    CStringItem* text = Append(manager, MakeString(RECT{0, 0, 10, 10}, "S"));
    host.currentItem = text;
    const POINT offset{5, 6};
    manager.SetViewOffset(&offset);
    manager.SetPendingUndo(std::make_unique<CChangeOrderUndoInfo>());
    manager.Reset();
    EXPECT_EQ(manager.GetItemCount(-1, -1, nullptr), 0);
    EXPECT_EQ(manager.GetPendingUndo(), nullptr);
    EXPECT_EQ(manager.GetViewOffset(), (POINT{0, 0}));
    EXPECT_EQ(host.currentItem, nullptr);
    EXPECT_EQ(host.toolBoxCalls, 1);
}

TEST_F(LayoutManagerStateTest, SettingsStartAtTheirDefaultsAndKeepWhatTheyAreGiven)
{
    CLayoutManager fresh;
    const GridSettings grid = fresh.GetGrid();
    EXPECT_EQ(grid.stepX, 0);
    EXPECT_EQ(grid.stepY, 0);
    EXPECT_FALSE(grid.shown);
    EXPECT_FALSE(grid.snap);
    EXPECT_EQ(fresh.GetItemDefaults().lineWidth, 5);
    EXPECT_EQ(fresh.GetItemDefaults().lineColor, 0u);
    EXPECT_EQ(fresh.GetItemDefaults().textColor, 0u);

    fresh.SetGrid({.stepX = 20, .stepY = -3, .shown = true, .snap = true});
    EXPECT_EQ(fresh.GetGrid().stepX, 20);
    EXPECT_EQ(fresh.GetGrid().stepY, -3); // stored as given; the snapping leaves that axis alone
    EXPECT_TRUE(fresh.GetGrid().shown);
    EXPECT_TRUE(fresh.GetGrid().snap);
    ItemDefaults defaults = fresh.GetItemDefaults();
    defaults.textColor = 0x00FF00;
    defaults.font.lfHeight = -21;
    fresh.SetItemDefaults(defaults);
    EXPECT_EQ(fresh.GetItemDefaults().textColor, 0x00FF00u);
    EXPECT_EQ(fresh.GetItemDefaults().font.lfHeight, -21);
    EXPECT_EQ(fresh.GetItemDefaults().lineWidth, 5);
}

TEST_F(LayoutManagerStateTest, RefreshToolBoxTakesTheListsFirstSelectedItem)
{
    CStringItem* text = Append(manager, MakeString(RECT{0, 0, 10, 10}, "S"));
    host.firstSelected = text;
    EXPECT_TRUE(manager.RefreshToolBox());
    EXPECT_EQ(host.currentItem, text);
    SetLayoutManagerHost(nullptr);
    EXPECT_FALSE(manager.RefreshToolBox());
    EXPECT_FALSE(manager.NotifyToolBox(nullptr));
    // Without a host nothing is sent, and commands still work.
    text->SetSelected(true);
    EXPECT_EQ(manager.DeleteSelection(), 1);
    EXPECT_EQ(manager.GetItemCount(-1, -1, nullptr), 0);
    SetLayoutManagerHost(&host);
}

class UnknownRecord : public CUndoInfo
{
};

TEST_F(LayoutManagerStateTest, UnknownRecordIsNotRun)
{
    manager.SetPendingUndo(std::make_unique<UnknownRecord>());
    EXPECT_EQ(manager.Undo(), 0);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(LayoutManagerStateTest, ItemDirections)
{
    CStringItem text;
    text.SetDirection(2);
    CLineItem line;
    EXPECT_EQ(GetItemDirection(&text), 2);
    EXPECT_EQ(GetItemDirection(&line), -1);
    EXPECT_EQ(GetItemDirection(nullptr), -1);
    EXPECT_TRUE(SetItemDirection(&text, -1));
    EXPECT_EQ(text.GetDirection(), 2);
    EXPECT_TRUE(SetItemDirection(&text, 3));
    EXPECT_EQ(text.GetDirection(), 3);
    EXPECT_FALSE(SetItemDirection(&line, 1));
    CDeleteUndoInfo record;
    for (unsigned n : {5u, 2u, 5u, 3u})
        record.AddIndex(n);
    EXPECT_EQ(record.RemovedNumbers(), (std::vector<unsigned>{2, 3, 5}));
}

TEST_F(LayoutManagerStateTest, SelectionInfoWhileDragging)
{
    DragState& drag = manager.GetDragState();
    drag.dragging = true;
    RECT r;
    drag.dragMode = 3;
    manager.GetRubberBand().SetRect(RECT{1, 2, 30, 40});
    ASSERT_TRUE(manager.GetSelectionInfo(&r));
    EXPECT_EQ(r, (RECT{1, 2, 30, 40}));

    drag.dragMode = 4; // a new line: grown by the line width
    ChangeItemDefaults(manager, [](ItemDefaults& d) { d.lineWidth = 6; });
    EXPECT_FALSE(manager.GetSelectionInfo(&r));
    drag.toolFrame = std::make_unique<CEditItem>();
    drag.toolFrame->SetRect(RECT{10, 10, 100, 10});
    ASSERT_TRUE(manager.GetSelectionInfo(&r));
    EXPECT_EQ(r, (RECT{8, 8, 103, 13}));

    drag.dragMode = 2;
    CLineItem* line = Append(manager, MakeLine(RECT{0, 0, 0, 50}, 7));
    drag.resizeFrame = std::make_unique<CEditItem>();
    drag.resizeFrame->SetRect(RECT{20, 0, 20, 60});
    drag.resizeFrame->SetTargetItem(line);
    ASSERT_TRUE(manager.GetSelectionInfo(&r));
    EXPECT_EQ(r, (RECT{20, 0, 26, 60}));
}

TEST_F(LayoutManagerStateTest, DragFeedbackIsDrawnInsteadOfTheSelection)
{
    CImage canvas;
    ASSERT_TRUE(canvas.Create(120, 120));
    canvas.FillRectLTRB(0, 0, 120, 120, 0xFFFFFF);
    manager.SetZoom(0.1f, false);
    // The edit region inverts the pixels it covers, moved by the margin offset (4, 4).
    manager.GetEditRegion().CreateRectRgn(10, 10, 20, 20);
    manager.GetDragState().dragging = true;
    manager.GetDragState().dragMode = 1;
    manager.DrawItems(&canvas, nullptr);
    EXPECT_EQ(layouttest::RgbAt(canvas, 14, 14), 0x000000u);
    EXPECT_EQ(layouttest::RgbAt(canvas, 13, 14), 0xFFFFFFu);
    EXPECT_EQ(layouttest::RgbAt(canvas, 23, 23), 0x000000u);
    EXPECT_EQ(layouttest::RgbAt(canvas, 24, 24), 0xFFFFFFu);
}

} // namespace
