#include "Layout/LayoutManager.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace managertest;
using Labels_t = std::vector<std::string>;

class LayoutManagerOrderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        SetUpA4(manager);
    }
    // Strings named by the letters, front first; those in `selected` are selected.
    void Build(const std::string& letters, const std::string& selected)
    {
        for (char c : letters) {
            auto* item = Append(manager, MakeString(RECT{0, 0, 100, 100}, std::string(1, c)));
            item->SetSelected(selected.find(c) != std::string::npos);
        }
    }
    FakeHost host;
    FakeModeShell shell;
    CLayoutManager manager;
};

struct OrderCase
{
    const char* name;
    const char* letters;
    const char* selected;
    int (CLayoutManager::*command)();
    bool camera;
    const char* expected;
};

TEST_F(LayoutManagerOrderTest, Commands)
{
    const OrderCase cases[] = {
        {"forward", "ABCD", "C", &CLayoutManager::BringForward, false, "ACBD"},
        {"backward", "ABCD", "C", &CLayoutManager::SendBackward, false, "ABDC"},
        {"to back", "ABCD", "C", &CLayoutManager::SendToBack, false, "ABDC"},
        {"to back, two", "ABCD", "AC", &CLayoutManager::SendToBack, false, "BDAC"},
        {"to front", "ABCD", "BD", &CLayoutManager::BringToFront, false, "BDAC"},
        {"forward at the front stays", "ABCD", "A", &CLayoutManager::BringForward, false, "ABCD"},
        {"forward, a run", "ABCD", "CD", &CLayoutManager::BringForward, false, "ACDB"},
        {"backward, a run", "ABCD", "AB", &CLayoutManager::SendBackward, false, "CABD"},
        {"camera keeps the last", "ABC", "B", &CLayoutManager::SendToBack, true, "ABC"},
        {"camera to back", "ABCD", "A", &CLayoutManager::SendToBack, true, "BCAD"},
        {"camera backward never passes the last", "ABC", "B", &CLayoutManager::SendBackward, true, "ABC"},
    };
    for (const OrderCase& c : cases) {
        manager.DeleteAllItems();
        shell.cameraLayout = c.camera;
        Build(c.letters, c.selected);
        (manager.*c.command)();
        std::string order;
        for (const std::string& label : Labels(manager))
            order += label;
        EXPECT_EQ(order, c.expected) << c.name;
    }
}

TEST_F(LayoutManagerOrderTest, PinnedTextsStayInFront)
{
    // T is a pinned text of frame F (its information option is set).
    auto* text = Append(manager, std::make_unique<CMacroStringItem>());
    text->SetLabel("T");
    Build("ABC", "BC");
    CInsertImageFrameItem* frame = Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 1));
    frame->SetInfoOption(1);
    frame->SetLinkedText1(text);
    text->SetOwnerFrame(frame);
    text->SetSelected(true);
    ASSERT_TRUE(manager.IsPinnedText(text));

    manager.BringToFront();
    EXPECT_EQ(Labels(manager), (Labels_t{"T", "B", "C", "A", "F1"}));
    manager.SelectAll(false);
    frame->SetSelected(true);
    text->SetSelected(true);
    manager.BringToFront();
    EXPECT_EQ(Labels(manager), (Labels_t{"T", "F1", "B", "C", "A"}));
    // A new item goes behind the pinned text.
    manager.AddItem(0, MakeString(RECT{0, 0, 10, 10}, "N"));
    EXPECT_EQ(Labels(manager).at(1), "N");
}

TEST_F(LayoutManagerOrderTest, ForwardSkipsAFramesTexts)
{
    Build("A", "");
    AppendFrameWithTexts(manager, RECT{0, 0, 100, 100}, 1, {RECT{0, 0, 10, 10}, RECT{0, 20, 10, 30}});
    Build("B", "B");
    manager.BringForward();
    EXPECT_EQ(Labels(manager), (Labels_t{"A", "B", "T1.0", "T1.1", "F1"}));
    manager.SendBackward();
    EXPECT_EQ(Labels(manager), (Labels_t{"A", "T1.0", "T1.1", "F1", "B"}));
}

TEST_F(LayoutManagerOrderTest, OrderUndoAndRedoAndTheirMessages)
{
    Build("ABCD", "C");
    host.Clear();
    manager.BringForward();
    EXPECT_EQ(host.sent, (std::vector<std::pair<int, int>>{{4, 0}, {1, 0}}));
    host.Clear();
    EXPECT_EQ(manager.Undo(), 1);
    EXPECT_EQ(Labels(manager), (Labels_t{"A", "B", "C", "D"}));
    EXPECT_EQ(host.sent, (std::vector<std::pair<int, int>>{{3, 0}, {1, 1}}));
    manager.Undo();
    EXPECT_EQ(Labels(manager), (Labels_t{"A", "C", "B", "D"}));
    // Nothing to move: the record is held but nothing is sent.
    manager.SelectAll(false);
    host.Clear();
    manager.SendToBack();
    EXPECT_TRUE(host.sent.empty());
    EXPECT_NE(dynamic_cast<CChangeOrderUndoInfo*>(manager.GetPendingUndo()), nullptr);
}

TEST_F(LayoutManagerOrderTest, MoveItemInOrder)
{
    Build("ABCD", "D");
    manager.MoveItemInOrder(manager.GetItemAt(1)); // in front of B
    EXPECT_EQ(Labels(manager), (Labels_t{"A", "D", "B", "C"}));
    manager.MoveItemInOrder(manager.GetItemAt(0)); // the head: to the front
    EXPECT_EQ(Labels(manager), (Labels_t{"D", "A", "B", "C"}));
    manager.MoveItemInOrder(nullptr); // no target: to the back
    EXPECT_EQ(Labels(manager), (Labels_t{"A", "B", "C", "D"}));
}

} // namespace
