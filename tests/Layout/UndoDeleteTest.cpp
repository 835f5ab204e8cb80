#include "Layout/LayoutManager.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace managertest;
using Labels_t = std::vector<std::string>;

class UndoDeleteTest : public ::testing::Test
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

TEST_F(UndoDeleteTest, UndoWithoutRecordSendsNothing)
{
    EXPECT_EQ(manager.Undo(), 1);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(UndoDeleteTest, FrameWithTwoTextsComesBackAndGoesAgain)
{
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "X"));
    const RECT first{10, 20, 110, 40};
    const RECT second{10, 50, 110, 70};
    CInsertImageFrameItem* frame = AppendFrameWithTexts(manager, RECT{0, 100, 400, 500}, 1, {first, second});
    Append(manager, MakeString(RECT{0, 0, 50, 50}, "Y"));
    frame->SetSelected(true);
    ASSERT_EQ(Labels(manager), (Labels_t{"X", "T1.0", "T1.1", "F1", "Y"}));

    host.Clear();
    EXPECT_EQ(manager.DeleteSelection(), 1);
    EXPECT_EQ(Labels(manager), (Labels_t{"X", "Y"}));
    EXPECT_EQ(host.Kinds(), (std::vector<int>{3, 1}));
    EXPECT_EQ(host.toolBoxCalls, 1);
    EXPECT_EQ(host.currentItem, nullptr);

    host.Clear();
    EXPECT_EQ(manager.Undo(), 1);
    EXPECT_EQ(host.sent, (std::vector<std::pair<int, int>>{{3, 0}, {1, 1}}));
    ASSERT_EQ(manager.GetItemCount(-1, -1, nullptr), 5);
    auto* restored = dynamic_cast<CInsertImageFrameItem*>(manager.GetItemAt(3));
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->GetLabel(), "F1");
    auto* t1 = dynamic_cast<CMacroStringItem*>(manager.GetItemAt(1));
    auto* t2 = dynamic_cast<CMacroStringItem*>(manager.GetItemAt(2));
    ASSERT_NE(t1, nullptr);
    ASSERT_NE(t2, nullptr);
    EXPECT_EQ(restored->GetLinkedText1(), t1);
    EXPECT_EQ(restored->GetLinkedText2(), t2);
    EXPECT_EQ(restored->GetLinkedText3(), nullptr);
    EXPECT_EQ(t1->GetOwnerFrame(), restored);
    EXPECT_EQ(t1->GetMacroKind(), 0);
    EXPECT_EQ(t2->GetMacroKind(), 1);
    EXPECT_EQ(t1->GetDirection(), 0);
    EXPECT_EQ(t2->GetDirection(), 1);
    RECT r;
    EXPECT_EQ(*t1->GetRect(&r, false), first);
    EXPECT_EQ(*t2->GetRect(&r, false), second);
    EXPECT_TRUE(t1->IsSelected());
    EXPECT_FALSE(t1->IsDrawSuppressed());
    EXPECT_NE(dynamic_cast<CAddUndoInfo*>(manager.GetPendingUndo()), nullptr);

    EXPECT_EQ(manager.Undo(), 1);
    EXPECT_EQ(Labels(manager), (Labels_t{"X", "Y"}));
    EXPECT_EQ(manager.Undo(), 1);
    EXPECT_EQ(manager.GetItemCount(-1, -1, &IsKindOf<CMacroStringItem>), 2);
    EXPECT_EQ(dynamic_cast<CInsertImageFrameItem*>(manager.GetItemAt(3))->GetLinkedText2(),
              manager.GetItemAt(2));
}

TEST_F(UndoDeleteTest, FrameNumbersCloseTheirGapAndComeBack)
{
    Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 1));
    CInsertImageFrameItem* two = Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 2));
    CInsertImageFrameItem* three = Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 3));
    two->SetSelected(true);
    manager.DeleteSelection();
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{1, 2}));
    EXPECT_EQ(three->GetLabel(), "Frame2");

    manager.Undo();
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(three->GetLabel(), "Frame3");
    EXPECT_EQ(manager.GetItemAt(1)->GetLabel(), "F2");

    manager.Undo();
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{1, 2}));
    EXPECT_EQ(three->GetLabel(), "Frame2");
}

TEST_F(UndoDeleteTest, ANumberAnotherFrameStillCarriesIsNotClosed)
{
    CInsertImageFrameItem* a = Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 1));
    Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 1));
    Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 2));
    a->SetSelected(true);
    manager.DeleteSelection();
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{1, 2}));
}

TEST_F(UndoDeleteTest, MovedItemComesBackAndMovesAgain)
{
    CStringItem* text = Append(manager, MakeString(RECT{100, 100, 300, 200}, "S"));
    text->SetSelected(true);
    host.Clear();
    ASSERT_TRUE(manager.CenterSelection(0));
    EXPECT_EQ(host.Kinds(), (std::vector<int>{5, 1}));
    RECT r;
    // Printable {3, 3, 2885, 4118}: (2882 - 200) / 2 + 3.
    EXPECT_EQ(*text->GetRect(&r, false), (RECT{1344, 100, 1544, 200}));
    manager.Undo();
    EXPECT_EQ(*text->GetRect(&r, false), (RECT{100, 100, 300, 200}));
    manager.Undo();
    EXPECT_EQ(*text->GetRect(&r, false), (RECT{1344, 100, 1544, 200}));
    ASSERT_TRUE(manager.CenterSelection(1));
    EXPECT_EQ(*text->GetRect(&r, false), (RECT{1344, 2010, 1544, 2110}));
    // Already centred on both axes.
    manager.CenterSelection(0);
    host.Clear();
    EXPECT_FALSE(manager.CenterSelection(0));
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(UndoDeleteTest, CentringNothingSendsNothing)
{
    Append(manager, MakeString(RECT{100, 100, 300, 200}, "S"));
    EXPECT_FALSE(manager.CenterSelection(0));
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(UndoDeleteTest, LineChangesSwapBack)
{
    CLineItem* line = Append(manager, MakeLine(RECT{100, 100, 300, 100}, 1, 0x10));
    line->SetSelected(true);
    ChangeItemDefaults(manager, [](ItemDefaults& d) {
        d.lineWidth = 9;
        d.lineColor = 0x0000FF;
    });
    host.Clear();
    manager.ChangeSelectedLines(true, true);
    EXPECT_EQ(host.Kinds(), (std::vector<int>{5, 1}));
    RECT r;
    EXPECT_EQ(*line->GetRect(&r, false), (RECT{96, 96, 304, 96}));
    EXPECT_EQ(line->GetWidth(false, -1.0f), 9);
    EXPECT_EQ(line->GetColor(), 0x0000FFu);
    manager.Undo();
    EXPECT_EQ(*line->GetRect(&r, false), (RECT{100, 100, 300, 100}));
    EXPECT_EQ(line->GetWidth(false, -1.0f), 1);
    EXPECT_EQ(line->GetColor(), 0x10u);
    host.Clear();
    manager.ChangeSelectedLines(false, false);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(UndoDeleteTest, RecordsOfOtherKindsSwapTheirValues)
{
    CStringItem* text = Append(manager, MakeString(RECT{0, 0, 100, 100}, "S"));
    CInsertImageFrameItem* frame = Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 1));

    auto state = std::make_unique<CChangeStateUndoInfo>();
    state->Add(text);
    text->SetVisible(false);
    manager.SetPendingUndo(std::move(state));
    manager.Undo();
    EXPECT_TRUE(text->IsVisible());
    manager.Undo();
    EXPECT_FALSE(text->IsVisible());

    auto strings = std::make_unique<CChangeStringUndoInfo>();
    strings->Add(text);
    text->SetText("new");
    text->SetDirection(2);
    manager.SetPendingUndo(std::move(strings));
    manager.Undo();
    EXPECT_EQ(text->GetText(), "");
    EXPECT_EQ(text->GetDirection(), 0);
    manager.Undo();
    EXPECT_EQ(text->GetText(), "new");

    auto pictures = std::make_unique<CChangeInsertImageFrameUndoInfo>();
    pictures->Add(frame);
    frame->SetImageRotation(3);
    manager.SetPendingUndo(std::move(pictures));
    manager.Undo();
    EXPECT_EQ(frame->GetImageRotation(), 0);

    // A record for an item no longer on the page is passed over.
    auto stale = std::make_unique<CChangeStateUndoInfo>();
    stale->Add(text);
    text->SetSelected(true);
    manager.DeleteSelection();
    manager.SetPendingUndo(std::move(stale));
    EXPECT_EQ(manager.Undo(), 1);
}

TEST_F(UndoDeleteTest, MacroStringRecordRemovesAndRebuildsTexts)
{
    CInsertImageFrameItem* frame =
        AppendFrameWithTexts(manager, RECT{0, 100, 400, 500}, 1, {RECT{1, 2, 3, 4}});
    frame->SetShowISO(true);
    auto record = std::make_unique<CChangeMacroStringUndoInfo>();
    record->Add(frame, nullptr, nullptr, nullptr); // before: no texts, ISO off
    record->Entries().front().settings.showISO = false;
    manager.SetPendingUndo(std::move(record));
    manager.Undo();
    EXPECT_EQ(manager.GetItemCount(-1, -1, &IsKindOf<CMacroStringItem>), 0);
    EXPECT_EQ(frame->GetLinkedText1(), nullptr);
    EXPECT_FALSE(frame->ShowsISO());
    manager.Undo();
    ASSERT_EQ(manager.GetItemCount(-1, -1, &IsKindOf<CMacroStringItem>), 1);
    EXPECT_EQ(manager.GetItemAt(0), frame->GetLinkedText1());
    EXPECT_EQ(frame->GetLinkedText1()->GetOwnerFrame(), frame);
    RECT r;
    EXPECT_EQ(*frame->GetLinkedText1()->GetRect(&r, false), (RECT{1, 2, 3, 4}));
    EXPECT_TRUE(frame->ShowsISO());
}

TEST_F(UndoDeleteTest, ImageFrameRecordExchangesTheObjects)
{
    CInsertImageFrameItem* frame =
        AppendFrameWithTexts(manager, RECT{0, 100, 400, 500}, 1, {RECT{1, 2, 3, 4}});
    auto record = std::make_unique<CChangeImageFrameUndoInfo>(frame);
    frame->SetImageRotation(2);
    manager.SetPendingUndo(std::move(record));
    manager.Undo();
    auto* now = dynamic_cast<CInsertImageFrameItem*>(manager.GetItemAt(1));
    ASSERT_NE(now, nullptr);
    EXPECT_NE(now, frame);
    EXPECT_EQ(now->GetImageRotation(), 0);
    EXPECT_EQ(now->GetLinkedText1()->GetOwnerFrame(), now);
    // Undoing again puts a copy of the changed frame in its place.
    manager.Undo();
    auto* again = dynamic_cast<CInsertImageFrameItem*>(manager.GetItemAt(1));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetImageRotation(), 2);
    EXPECT_EQ(again->GetLinkedText1()->GetOwnerFrame(), again);
}

} // namespace
