#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace managertest;
using Labels_t = std::vector<std::string>;

class LayoutManagerQueryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        SetUpA4(manager);
    }
    // The editor's temporary folders go to a folder of this test's own.
    ScratchFolder scratch;
    ScopedTmpDir tmpDir{scratch.Path()};
    FakeHost host;
    FakeModeShell shell;
    CLayoutManager manager;
};

TEST_F(LayoutManagerQueryTest, AddItemPositionsAndIndexes)
{
    auto* x = Append(manager, MakeString(RECT{0, 0, 10, 10}, "X"));
    EXPECT_EQ(Labels(manager), (Labels_t{"X"}));
    manager.AddItem(0, MakeString(RECT{0, 0, 10, 10}, "Y"));
    manager.AddItem(5, MakeString(RECT{0, 0, 10, 10}, "Z"));
    manager.AddItem(1, MakeString(RECT{0, 0, 10, 10}, "W"));
    EXPECT_EQ(Labels(manager), (Labels_t{"Y", "W", "X", "Z"}));
    EXPECT_FALSE(manager.AddItem(0, nullptr));
    EXPECT_EQ(manager.GetItemIndex(x), 2);
    EXPECT_EQ(manager.GetItemIndex(nullptr), -1);
    CStringItem outside;
    EXPECT_EQ(manager.GetItemIndex(&outside), -2);
    EXPECT_FALSE(manager.DeleteItem(&outside));
    EXPECT_EQ(manager.GetItemAt(4), nullptr);
    manager.SetZoom(0.5f, false);
    manager.AddItem(0, MakeString(RECT{0, 0, 10, 10}, "V"));
    EXPECT_FLOAT_EQ(manager.GetItemAt(0)->GetScale(), 0.5f);
}

TEST_F(LayoutManagerQueryTest, CountsAndFirstSelected)
{
    Append(manager, MakeLine(RECT{0, 0, 10, 0}, 1))->SetSelected(true);
    auto* hidden = Append(manager, MakeString(RECT{0, 0, 10, 10}, "S"));
    hidden->SetVisible(false);
    hidden->SetSelected(true);
    Append(manager, MakeFrame(RECT{0, 0, 10, 10}, 1));
    EXPECT_EQ(manager.GetItemCount(-1, -1, nullptr), 3);
    EXPECT_EQ(manager.GetItemCount(1, -1, nullptr), 2);
    EXPECT_EQ(manager.GetItemCount(1, 1, nullptr), 1);
    EXPECT_EQ(manager.GetItemCount(-1, 0, &IsKindOf<CStringItem>), 1);
    EXPECT_EQ(manager.GetFirstSelectedItem(&IsKindOf<CStringItem>), hidden);
    EXPECT_EQ(manager.GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>), nullptr);
    EXPECT_TRUE(manager.IsSelectionOfClass(&IsKindOf<CLineItem>, false, false, false));
    EXPECT_FALSE(manager.IsSelectionOfClass(&IsKindOf<CLineItem>, true, false, false));
    EXPECT_TRUE(manager.IsSelectionOfClass(&IsKindOf<CLineItem>, true, true, false));
}

TEST_F(LayoutManagerQueryTest, AFramesOwnTextsCountWithIt)
{
    CInsertImageFrameItem* frame = AppendFrameWithTexts(manager, RECT{0, 0, 100, 100}, 1, {RECT{0, 0, 5, 5}});
    frame->SetSelected(true);
    EXPECT_TRUE(manager.IsOneInsertFrameSelected());
    EXPECT_TRUE(manager.IsSelectionOfClass(&IsKindOf<CInsertImageFrameItem>, true, false, false));
    EXPECT_FALSE(manager.IsSelectionOfClass(&IsKindOf<CInsertImageFrameItem>, true, false, true));
    RECT r;
    ASSERT_TRUE(manager.GetSelectionInfo(&r));
    EXPECT_EQ(r, (RECT{0, 0, 100, 100}));
    Append(manager, MakeString(RECT{0, 0, 10, 10}, "S"))->SetSelected(true);
    EXPECT_FALSE(manager.IsOneInsertFrameSelected());
    EXPECT_FALSE(manager.GetSelectionInfo(&r));
}

TEST_F(LayoutManagerQueryTest, LineQueries)
{
    EXPECT_EQ(manager.GetSelectedLineColor(), static_cast<COLORREF>(-1));
    EXPECT_EQ(manager.GetSelectedLineWidth(), 0);
    CLineItem* a = Append(manager, MakeLine(RECT{100, 100, 300, 100}, 5, 5));
    CLineItem* b = Append(manager, MakeLine(RECT{100, 200, 100, 400}, 5, 6));
    a->SetSelected(true);
    b->SetSelected(true);
    EXPECT_EQ(manager.GetSelectedLineColor(), 0u);
    EXPECT_EQ(manager.GetSelectedLineWidth(), 5);
    b->SetWidth(7);
    EXPECT_EQ(manager.GetSelectedLineWidth(), 0);
    b->SetSelected(false);
    RECT r;
    ASSERT_TRUE(manager.GetSelectionInfo(&r));
    EXPECT_EQ(r, (RECT{100, 100, 300, 104}));
}

TEST_F(LayoutManagerQueryTest, CanSetSelectedLineWidth)
{
    EXPECT_FALSE(manager.CanSetSelectedLineWidth(1281));
    EXPECT_TRUE(manager.CanSetSelectedLineWidth(10));
    // Printable {3, 3, 2885, 4118}, grown by 1 on the right and bottom.
    CLineItem* line = Append(manager, MakeLine(RECT{2800, 100, 2880, 100}, 1));
    line->SetSelected(true);
    EXPECT_TRUE(manager.CanSetSelectedLineWidth(10));  // right 2880 + 5 = 2885
    EXPECT_FALSE(manager.CanSetSelectedLineWidth(12)); // right 2886: the edge is outside
    line->SetRect(RECT{2, 100, 50, 100});
    EXPECT_FALSE(manager.CanSetSelectedLineWidth(3)); // left 2 - 1 = 1 < 3
    line->SetSelected(false);
    EXPECT_TRUE(manager.CanSetSelectedLineWidth(1280));
    EXPECT_EQ(manager.GetPendingUndo(), nullptr);
}

TEST_F(LayoutManagerQueryTest, RotationTurnsAndPushesInside)
{
    ASSERT_TRUE(manager.SetPaper(3, 1, 0, 500, false)); // printable {3, 7, 4118, 2889}
    CStringItem* text = Append(manager, MakeString(RECT{100, 100, 300, 150}, "S"));
    CLineItem* line = Append(manager, MakeLine(RECT{100, 500, 300, 500}, 11));
    CLineItem* edge = Append(manager, MakeLine(RECT{4000, 20, 4000, 220}, 1));
    for (CLayoutItem* item : std::initializer_list<CLayoutItem*>{text, line, edge})
        item->SetSelected(true);
    host.Clear();
    ASSERT_TRUE(manager.RotateSelection(true));
    EXPECT_EQ(host.Kinds(), (std::vector<int>{5, 1}));
    RECT r;
    EXPECT_EQ(*text->GetRect(&r, false), RotateRect90(RECT{100, 100, 300, 150}));
    EXPECT_EQ(text->GetDirection(), 1);
    // The widened line {100, 500, 300, 510} turned, then made a vertical line again.
    RECT turned = RotateRect90(RECT{100, 500, 300, 510});
    turned.right = turned.left;
    EXPECT_EQ(*line->GetRect(&r, false), turned);
    // The vertical line turned to a horizontal one 200 long about x 4000 reaches 4100: inside.
    // Its turned top, 120, is within the page.
    EXPECT_EQ(edge->GetRect(&r, false)->top, edge->GetRect(&r, false)->bottom);
    EXPECT_LE(edge->GetRect(&r, false)->right, 4118);

    manager.Undo();
    EXPECT_EQ(*text->GetRect(&r, false), (RECT{100, 100, 300, 150}));
    EXPECT_EQ(text->GetDirection(), 0);
    EXPECT_EQ(*line->GetRect(&r, false), (RECT{100, 500, 300, 500}));
}

TEST_F(LayoutManagerQueryTest, RotationThatCannotFitShowsMessage155)
{
    ASSERT_TRUE(manager.SetPaper(3, 1, 0, 500, false)); // printable height 2882
    CStringItem* text = Append(manager, MakeString(RECT{10, 10, 3000, 110}, "S"));
    text->SetSelected(true);
    manager.SetPendingUndo(std::make_unique<CChangeOrderUndoInfo>());
    host.Clear();
    EXPECT_FALSE(manager.RotateSelection(false));
    EXPECT_EQ(host.messages, (std::vector<int>{155}));
    EXPECT_EQ(host.styles, (std::vector<unsigned>{MB_ICONHAND}));
    EXPECT_TRUE(host.sent.empty());
    RECT r;
    EXPECT_EQ(*text->GetRect(&r, false), (RECT{10, 10, 3000, 110}));
    EXPECT_NE(dynamic_cast<CChangeOrderUndoInfo*>(manager.GetPendingUndo()), nullptr);
}

TEST_F(LayoutManagerQueryTest, FrameQueries)
{
    CInsertImageFrameItem* frame = Append(manager, MakeFrame(RECT{0, 0, 10, 10}, 1));
    auto background = std::make_unique<CBackgroundImageFrameItem>();
    CBackgroundImageFrameItem* back = Append(manager, std::move(background));
    EXPECT_FALSE(manager.AllSelectedFramesHavePlacement(1));
    EXPECT_FALSE(manager.AllSelectedBackgroundsAspectFixed());
    frame->SetSelected(true);
    back->SetSelected(true);
    frame->SetImagePlacement(1);
    EXPECT_TRUE(manager.AllSelectedFramesHavePlacement(1));
    EXPECT_FALSE(manager.AllSelectedFramesHaveRotation(4));
    EXPECT_FALSE(manager.IsAutoRotateSelected());
    frame->SetImageRotation(4);
    EXPECT_TRUE(manager.AllSelectedFramesHaveRotation(4));
    EXPECT_TRUE(manager.IsAutoRotateSelected());
    back->SetAspectFixed(true);
    EXPECT_TRUE(manager.AllSelectedBackgroundsAspectFixed());
    // Frames without a picture file need nothing on disk.
    EXPECT_TRUE(manager.CheckItemImageFiles());
    frame->SetImageFileName("/no/such/picture.jpg");
    frame->SetImageFileName2("/no/such/working.jpg");
    EXPECT_FALSE(manager.CheckItemImageFiles());
}

TEST_F(LayoutManagerQueryTest, HitTestPrefersHandlesOfTheSelection)
{
    CStringItem* front = Append(manager, MakeString(RECT{0, 0, 100, 100}, "A"));
    CStringItem* back = Append(manager, MakeString(RECT{50, 50, 200, 200}, "B"));
    CLayoutItem* hit = nullptr;
    EXPECT_EQ(manager.HitTestItems(POINT{60, 60}, &hit), 1);
    EXPECT_EQ(hit, front);
    back->SetSelected(true);
    EXPECT_EQ(manager.HitTestItems(POINT{60, 60}, &hit), 1);
    EXPECT_EQ(hit, back);
    hit = nullptr;
    EXPECT_EQ(manager.HitTestItems(POINT{1000, 1000}, &hit), 0);
    EXPECT_EQ(hit, nullptr);
}

TEST_F(LayoutManagerQueryTest, SelectInRectTakesWhollyInsideItems)
{
    CStringItem* inside = Append(manager, MakeString(RECT{10, 10, 50, 50}, "A"));
    CStringItem* across = Append(manager, MakeString(RECT{10, 10, 150, 50}, "B"));
    manager.SelectInRect(RECT{0, 0, 100, 100});
    EXPECT_TRUE(inside->IsSelected());
    EXPECT_FALSE(across->IsSelected());
    manager.SelectAll(true);
    EXPECT_TRUE(across->IsSelected());
}

TEST_F(LayoutManagerQueryTest, RenumberFramesInTheOrderOfTheirNumbers)
{
    CInsertImageFrameItem* a = Append(manager, MakeFrame(RECT{0, 0, 10, 10}, 7));
    CInsertImageFrameItem* b = Append(manager, MakeFrame(RECT{0, 0, 10, 10}, 3));
    CInsertImageFrameItem* hidden = Append(manager, MakeFrame(RECT{0, 0, 10, 10}, 5));
    hidden->SetVisible(false);
    EXPECT_TRUE(manager.RenumberInsertFrames(true));
    EXPECT_EQ(b->GetFrameNumber(), 1);
    EXPECT_EQ(a->GetFrameNumber(), 2);
    EXPECT_EQ(a->GetLabel(), "Frame2");
    EXPECT_EQ(hidden->GetFrameNumber(), 5);
    EXPECT_TRUE(manager.RenumberInsertFrames(false));
    EXPECT_EQ(hidden->GetFrameNumber(), 3);
    EXPECT_FALSE(manager.RenumberInsertFrames(false));
}

TEST_F(LayoutManagerQueryTest, CloneKeepsTheClassAndRefusesOthers)
{
    auto* text = Append(manager, MakeString(RECT{1, 2, 3, 4}, "S"));
    text->SetText("hello");
    std::unique_ptr<CLayoutItem> copy;
    ASSERT_TRUE(manager.CloneItem(&copy, text));
    auto* copied = dynamic_cast<CStringItem*>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->GetText(), "hello");
    CLayoutItem plain;
    EXPECT_FALSE(manager.CloneItem(&copy, &plain));
    EXPECT_FALSE(manager.CloneItem(nullptr, text));
    EXPECT_FALSE(manager.CloneItem(&copy, nullptr));
}

} // namespace
