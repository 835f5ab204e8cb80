#include "Dialogs/ItemListBox.h"
#include "Dialogs/support/BarFixture.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/StringItem.h"
#include "Layout/UndoInfo.h"

#include <gtest/gtest.h>

#include <QTest>

#include <set>

namespace {

constexpr int kRow = CItemListBox::kRowHeight;

class ItemListBoxTest : public ::testing::Test
{
protected:
    // A list `rows` rows tall over the page of four listed items.
    void Build(int rows)
    {
        page = bars.MakePage();
        list = std::make_unique<CItemListBox>(bars.shell);
        list->resize(258, rows * kRow);
        list->show();
        list->SetItemList(&bars.Layout().GetItems());
        list->UpdateList(true);
    }
    QPoint Text(int row) const { return QPoint(150, (row - list->GetTopIndex()) * kRow + kRow / 2); }
    QPoint Icon(int row) const { return QPoint(10, (row - list->GetTopIndex()) * kRow + kRow / 2); }
    QWidget* View() const { return list->viewport(); }
    void Press(QPoint at, Qt::KeyboardModifiers keys = {})
    {
        QTest::mousePress(View(), Qt::LeftButton, keys, at);
    }
    void Release(QPoint at, Qt::KeyboardModifiers keys = {})
    {
        QTest::mouseRelease(View(), Qt::LeftButton, keys, at);
    }
    void Move(QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, at, View()->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(View(), &move);
    }
    std::set<CLayoutItem*> Selected()
    {
        const std::vector<CLayoutItem*> selected = bars.Selected();
        return {selected.begin(), selected.end()};
    }

    BarFixture bars;
    BarFixture::Page page;
    std::unique_ptr<CItemListBox> list;
};

TEST_F(ItemListBoxTest, MacroStringsAreNotListedAndARebuildScrollsToTheSelection)
{
    Build(2);
    ASSERT_EQ(list->GetCount(), 4);
    EXPECT_EQ(list->GetItemAt(0), page.frame);
    EXPECT_EQ(list->GetItemAt(1), page.text);
    EXPECT_EQ(list->GetItemAt(2), page.line);
    EXPECT_EQ(list->GetItemAt(3), page.background);
    EXPECT_EQ(list->GetTopIndex(), 0);

    // Below the two visible rows: the top moves down by the difference.
    page.background->SetSelected(true);
    list->UpdateList(true);
    EXPECT_EQ(list->GetTopIndex(), 2);
    // Above the top row: it becomes the top row.
    bars.Layout().SelectAll(false);
    page.text->SetSelected(true);
    list->UpdateList(false);
    EXPECT_EQ(list->GetTopIndex(), 1);
    // Nothing selected: a rebuild keeps the top row it had.
    bars.Layout().SelectAll(false);
    list->UpdateList(true);
    EXPECT_EQ(list->GetTopIndex(), 1);
    EXPECT_EQ(list->FindFirstSelectedItem(), nullptr);
}

TEST_F(ItemListBoxTest, ClicksSelectAsAMultipleSelectionListDoes)
{
    Build(6);
    using K = Qt::KeyboardModifiers;
    const K none{}, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, both = ctrl | shift;
    CLayoutItem* rows[4] = {page.frame, page.text, page.line, page.background};
    const struct
    {
        const char* name;
        std::set<int> before;
        int anchorRow; // clicked plainly first, -1 for none
        K keys;
        int row; // -1: below the last row
        std::set<int> afterPress;
        std::set<int> afterRelease;
    } cases[] = {
        {"plain on an unselected row", {0, 2}, -1, none, 1, {1}, {1}},
        {"plain on a selected row waits for the release", {0, 2}, -1, none, 2, {0, 2}, {2}},
        {"ctrl adds on release", {0}, -1, ctrl, 2, {0}, {0, 2}},
        {"ctrl removes on release", {0, 2}, -1, ctrl, 2, {0, 2}, {0}},
        {"shift replaces with the range", {3}, 0, shift, 2, {0, 1, 2}, {0, 1, 2}},
        {"ctrl and shift add the range", {}, 1, both, 2, {1, 2, 3}, {1, 2, 3}},
        {"plain below the rows clears", {0, 3}, -1, none, -1, {0, 3}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bars.Layout().SelectAll(false);
        if (c.anchorRow >= 0) {
            Press(Text(c.anchorRow));
            Release(Text(c.anchorRow));
        }
        if (c.name == std::string("ctrl and shift add the range"))
            page.background->SetSelected(true);
        else {
            bars.Layout().SelectAll(false);
            for (int row : c.before)
                rows[row]->SetSelected(true);
        }
        bars.shell.redraws.clear();
        const QPoint at = c.row >= 0 ? Text(c.row) : QPoint(150, 5 * kRow);
        auto selectedRows = [&] {
            std::set<int> out;
            for (int row = 0; row < 4; ++row)
                if (rows[row]->IsSelected())
                    out.insert(row);
            return out;
        };
        Press(at, c.keys);
        EXPECT_EQ(selectedRows(), c.afterPress);
        Release(at, c.keys);
        EXPECT_EQ(selectedRows(), c.afterRelease);
        ASSERT_FALSE(bars.shell.redraws.empty());
        EXPECT_EQ(bars.shell.redraws.back().first, 2);
    }
}

TEST_F(ItemListBoxTest, AToggleReleasedOnItsIconHidesTheItemUndoably)
{
    Build(6);
    Press(Icon(2));
    Release(Icon(2));
    EXPECT_FALSE(page.line->IsVisible());
    EXPECT_NE(dynamic_cast<CChangeStateUndoInfo*>(bars.Layout().GetPendingUndo()), nullptr);
    ASSERT_FALSE(bars.shell.redraws.empty());
    EXPECT_EQ(bars.shell.redraws.back(), std::make_pair(1, static_cast<CLayoutItem*>(page.line)));
    ASSERT_EQ(bars.shell.layoutChanges.size(), 1u);
    EXPECT_EQ(bars.shell.layoutChanges[0], std::make_pair(1, 0));
    EXPECT_EQ(list->RowIconId(2), CItemListBox::kIconHidden);
    EXPECT_EQ(list->RowIconId(1), CItemListBox::kIconVisible);

    bars.Layout().Undo();
    EXPECT_TRUE(page.line->IsVisible());
}

TEST_F(ItemListBoxTest, AToggleReleasedElsewhereChangesNothing)
{
    Build(6);
    Press(Icon(1));
    Move(Text(1));
    Release(Text(1));
    EXPECT_TRUE(page.text->IsVisible());
    EXPECT_EQ(bars.Layout().GetPendingUndo(), nullptr);
    EXPECT_TRUE(bars.shell.layoutChanges.empty());
    for (const auto& redraw : bars.shell.redraws)
        EXPECT_NE(redraw.first, 1);
    // Released on another row's icon: still nothing.
    Press(Icon(1));
    Release(Icon(2));
    EXPECT_TRUE(page.text->IsVisible());
    EXPECT_TRUE(page.line->IsVisible());
}

TEST_F(ItemListBoxTest, ADropReordersThePageUndoably)
{
    Build(6);
    const std::vector<CLayoutItem*> before = bars.Order();
    // The last row dropped on the first: the background goes in front of the frame.
    Press(Text(3));
    Move(Text(2));
    Move(Text(0));
    Release(Text(0));
    const std::vector<CLayoutItem*> after = bars.Order();
    const auto at = [&](CLayoutItem* item) {
        return std::find(after.begin(), after.end(), item) - after.begin();
    };
    EXPECT_LT(at(page.background), at(page.frame));
    EXPECT_NE(dynamic_cast<CChangeOrderUndoInfo*>(bars.Layout().GetPendingUndo()), nullptr);
    EXPECT_EQ(list->GetAnchor(), page.background);
    bars.Layout().Undo();
    EXPECT_EQ(bars.Order(), before);
}

TEST_F(ItemListBoxTest, ADropOnItsOwnRowDoesNothingAndBelowTheRowsMovesToTheEnd)
{
    Build(6);
    const std::vector<CLayoutItem*> before = bars.Order();
    Press(Text(1));
    Move(Text(2));
    Move(Text(1));
    Release(Text(1));
    EXPECT_EQ(bars.Order(), before);
    EXPECT_EQ(bars.Layout().GetPendingUndo(), nullptr);

    // A photo layout takes a drop below the last row as the end of the page.
    bars.Layout().SelectAll(false);
    Press(Text(1));
    Move(Text(2));
    Move(QPoint(150, 5 * kRow));
    Release(QPoint(150, 5 * kRow));
    EXPECT_EQ(bars.Order().back(), page.text);
    EXPECT_NE(dynamic_cast<CChangeOrderUndoInfo*>(bars.Layout().GetPendingUndo()), nullptr);
}

TEST_F(ItemListBoxTest, ACameraLayoutsBaseFrameIsNeitherHiddenNorDragged)
{
    ASSERT_TRUE(bars.doc.document->NewDSCLayout(0));
    auto base = std::make_unique<CBackgroundImageFrameItem>();
    CLayoutItem* baseFrame = base.get();
    base->SetLabel("Base");
    base->SetRect(RECT{0, 0, 703, 1023});
    bars.Layout().AddItem(bars.Layout().GetItemCount(-1, -1, nullptr), std::move(base));
    bars.Layout().SelectAll(false);
    list = std::make_unique<CItemListBox>(bars.shell);
    list->resize(258, 5 * kRow);
    list->show();
    list->SetItemList(&bars.Layout().GetItems());
    list->UpdateList(true);
    const int last = list->GetCount() - 1;
    ASSERT_GE(last, 1);
    ASSERT_EQ(list->GetItemAt(last), baseFrame);
    EXPECT_EQ(list->RowIconId(last), CItemListBox::kIconBaseFrame);
    EXPECT_EQ(list->RowIconId(0), CItemListBox::kIconVisible);

    Press(Icon(last));
    Release(Icon(last));
    EXPECT_TRUE(baseFrame->IsVisible());
    EXPECT_EQ(bars.Layout().GetPendingUndo(), nullptr);

    const std::vector<CLayoutItem*> before = bars.Order();
    Press(Text(last));
    EXPECT_TRUE(baseFrame->IsSelected());
    Move(Text(0));
    Release(Text(0));
    EXPECT_EQ(bars.Order(), before);
    EXPECT_EQ(bars.Layout().GetPendingUndo(), nullptr);
}

TEST_F(ItemListBoxTest, ItemsDeletedBetweenPaintsAreNeverTouched)
{
    Build(6);
    page.text->SetSelected(true);
    // The page drops two items; the list has not been rebuilt yet.
    bars.Layout().DeleteItem(page.text);
    bars.Layout().DeleteItem(page.line);
    EXPECT_EQ(list->GetItemAt(1), nullptr);
    EXPECT_EQ(list->RowIconId(2), 0);
    EXPECT_EQ(list->FindFirstSelectedItem(), nullptr);
    list->grab();
    Press(Icon(1));
    Release(Icon(1));
    Press(Text(2));
    Move(Text(0));
    Release(Text(0));
    Press(Text(1), Qt::ShiftModifier);
    Release(Text(1), Qt::ShiftModifier);
    QTest::mouseDClick(View(), Qt::LeftButton, {}, Text(2));
    list->UpdateList(false);
    list->grab();
    EXPECT_EQ(bars.Order().size(), 4u);
    list->UpdateList(true);
    EXPECT_EQ(list->GetCount(), 2);
}

TEST_F(ItemListBoxTest, ARightClickSelectsOutsideTheIconUnlessCtrlIsHeld)
{
    Build(6);
    auto right = [this](QPoint at, Qt::KeyboardModifiers keys = {}) {
        QTest::mousePress(View(), Qt::RightButton, keys, at);
        QTest::mouseRelease(View(), Qt::RightButton, keys, at);
    };
    page.frame->SetSelected(true);
    right(Text(2));
    EXPECT_EQ(Selected(), std::set<CLayoutItem*>{page.line});
    right(Text(1), Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::set<CLayoutItem*>{page.line});
    right(Icon(1));
    EXPECT_EQ(Selected(), std::set<CLayoutItem*>{page.line});
    right(QPoint(150, 5 * kRow), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::set<CLayoutItem*>{page.line});
    right(QPoint(150, 5 * kRow));
    EXPECT_TRUE(Selected().empty());
    ASSERT_FALSE(bars.shell.redraws.empty());
    EXPECT_EQ(bars.shell.redraws.back().first, 2);
}

TEST_F(ItemListBoxTest, DeleteGoesToTheMainWindowAndArrowsToTheBar)
{
    Build(6);
    QWidget bar;
    list->setParent(&bar);
    struct Recorder : QObject
    {
        std::vector<int> keys;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::KeyPress)
                keys.push_back(static_cast<QKeyEvent*>(event)->key());
            return false;
        }
    } recorder;
    bar.installEventFilter(&recorder);
    QTest::keyClick(list.get(), Qt::Key_Delete);
    QTest::keyClick(list.get(), Qt::Key_Up);
    QTest::keyClick(list.get(), Qt::Key_Right);
    EXPECT_EQ(bars.shell.commands, std::vector<int>{CItemListBox::kDeleteCommand});
    EXPECT_EQ(recorder.keys, (std::vector<int>{Qt::Key_Up, Qt::Key_Right}));
    list->setParent(nullptr);
}

} // namespace
