#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "Layout/LayoutManager.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace managertest;
using Sent = std::vector<std::pair<int, int>>;

struct NotifyCase
{
    const char* command;
    std::function<void(CLayoutManager&)> run;
    Sent expected;
};

// Each editing command tells the view what changed, in this order: the kind of
// change, then "content changed" when the page's content changed; Undo marks
// its content change with lParam 1; a page-size change is sent alone.
TEST(LayoutManagerNotifyTest, KindsPerCommand)
{
    layouttest::EnsureGuiApplication();
    ScratchFolder scratch; // the editor's temporary folders, for this test alone
    ScopedTmpDir tmpDir(scratch.Path());
    FakeHost host;
    FakeClipboard clipboard;
    const NotifyCase cases[] = {
        {"Delete", [](CLayoutManager& m) { m.DeleteSelection(); }, {{3, 0}, {1, 0}}},
        {"Bring to front", [](CLayoutManager& m) { m.BringToFront(); }, {{4, 0}, {1, 0}}},
        {"Send to back", [](CLayoutManager& m) { m.SendToBack(); }, {{4, 0}, {1, 0}}},
        {"Bring forward", [](CLayoutManager& m) { m.BringForward(); }, {{4, 0}, {1, 0}}},
        {"Send backward", [](CLayoutManager& m) { m.SendBackward(); }, {{4, 0}, {1, 0}}},
        {"Move in order", [](CLayoutManager& m) { m.MoveItemInOrder(m.GetItemAt(0)); }, {{4, 0}, {1, 0}}},
        {"Centre horizontally", [](CLayoutManager& m) { m.CenterSelection(0); }, {{5, 0}, {1, 0}}},
        {"Centre vertically", [](CLayoutManager& m) { m.CenterSelection(1); }, {{5, 0}, {1, 0}}},
        {"Rotate right", [](CLayoutManager& m) { m.RotateSelection(true); }, {{5, 0}, {1, 0}}},
        {"Rotate left", [](CLayoutManager& m) { m.RotateSelection(false); }, {{5, 0}, {1, 0}}},
        {"Line width and colour",
         [](CLayoutManager& m) { m.ChangeSelectedLines(true, true); },
         {{5, 0}, {1, 0}}},
        {"Cut", [](CLayoutManager& m) { m.Cut(); }, {{3, 0}, {1, 0}}},
        {"Copy", [](CLayoutManager& m) { m.Copy(); }, {}},
        {"Copy and paste",
         [&host](CLayoutManager& m) {
             m.Copy();
             host.Clear();
             m.Paste();
         },
         {{3, 0}, {1, 0}}},
        {"Undo",
         [&host](CLayoutManager& m) {
             m.BringToFront();
             host.Clear();
             m.Undo();
         },
         {{3, 0}, {1, 1}}},
        {"Select all", [](CLayoutManager& m) { m.SelectAll(true); }, {}},
        {"Select in rect",
         [](CLayoutManager& m) {
             m.SelectInRect(RECT{0, 0, 4000, 4000});
         },
         {}},
        {"Paper", [](CLayoutManager& m) { m.SetPaper(0, 1, 2, 500, true); }, {{2, 0}}},
        {"Camera paper", [](CLayoutManager& m) { m.SetPaperOrientation(1, true); }, {{2, 0}}},
        {"Zoom", [](CLayoutManager& m) { m.ZoomStep(true, true); }, {{2, 0}}},
        {"Zoom without notice", [](CLayoutManager& m) { m.SetZoom(0.5f, false); }, {}},
    };
    for (const NotifyCase& c : cases) {
        CLayoutManager manager;
        SetUpA4(manager);
        manager.SetClipboardPort(&clipboard);
        Append(manager, MakeString(RECT{100, 100, 200, 200}, "A"));
        Append(manager, MakeLine(RECT{100, 300, 300, 300}, 1))->SetSelected(true);
        Append(manager, MakeString(RECT{100, 400, 200, 450}, "B"))->SetSelected(true);
        Append(manager, MakeString(RECT{100, 100, 200, 200}, "C"));
        ChangeItemDefaults(manager, [](ItemDefaults& d) { d.lineWidth = 9; });
        manager.SetZoom(0.5f, false);
        host.Clear();
        c.run(manager);
        EXPECT_EQ(host.sent, c.expected) << c.command;
    }
}

} // namespace
