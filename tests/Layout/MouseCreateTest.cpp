#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/DialogFakes.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/MouseTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace managertest;
using mousetest::MouseFixture;
using Kinds = std::vector<int>;

class MouseCreateTest : public MouseFixture
{
protected:
    MouseCreateTest()
    {
        // The new text's dialog and the new background's picture choice are confirmed; the picture
        // has the shape of the box drawn, so the background keeps it.
        dialogs.chosenPath = layouttest::WriteBmp24(scratch / "picture.bmp", 200, 320, 0x336699);
    }
    CLayoutItem* Front() const
    {
        return manager.GetItems().empty() ? nullptr : manager.GetItems().front().get();
    }
    CAddUndoInfo* AddRecord() const { return dynamic_cast<CAddUndoInfo*>(manager.GetPendingUndo()); }
    void UseTool(int tool) { manager.GetDragState().currentTool = tool; }

    dialogtest::FakeDialogs dialogs;
};

struct ToolCase
{
    const char* name;
    int tool;
    ItemClass kind;
    int cursor;
};

TEST_F(MouseCreateTest, EachBoxToolCreatesItsItemInFrontAndGoesBackToSelection)
{
    const ToolCase cases[] = {
        {"text", 5, &IsKindOf<CStringItem>, 305},
        {"insert-photo frame", 6, &IsKindOf<CInsertImageFrameItem>, 306},
        {"background", 7, &IsKindOf<CBackgroundImageFrameItem>, 307},
    };
    for (const ToolCase& c : cases) {
        SCOPED_TRACE(c.name);
        manager.DeleteAllItems();
        auto* old = Append(manager, MakeString(RECT{500, 500, 600, 600}, "old"));
        old->SetSelected(true);
        host.Clear();
        host.cursors.clear();
        host.selectedTools.clear();
        const int captures = host.captures;
        UseTool(c.tool);

        Press(InP(100, 100));
        EXPECT_EQ(host.captures, captures + 1);
        EXPECT_EQ(host.cursors.back(), c.cursor);
        EXPECT_FALSE(old->IsSelected()) << "a creation tool deselects everything";
        MoveTo(InP(150, 180));
        MoveTo(InP(200, 260));
        Release(InP(200, 260));

        CLayoutItem* item = Front();
        ASSERT_NE(item, old);
        EXPECT_TRUE(c.kind(item));
        EXPECT_EQ(RectOf(item), (RECT{printable.left + 100, printable.top + 100, printable.left + 200,
                                      printable.top + 260}));
        EXPECT_TRUE(item->IsSelected());
        EXPECT_FALSE(item->IsDrawSuppressed());
        ASSERT_NE(AddRecord(), nullptr);
        EXPECT_EQ(AddRecord()->Items(), std::vector<CLayoutItem*>{item});
        EXPECT_EQ(host.Kinds(), (Kinds{5, 6, 6, 3, 1}));
        EXPECT_EQ(host.selectedTools, std::vector<int>{3});
        EXPECT_EQ(manager.GetDragState().currentTool, 3);
        EXPECT_TRUE(manager.GetEditFrames().empty());
        EXPECT_EQ(manager.GetDragState().toolFrame, nullptr);
    }
}

TEST_F(MouseCreateTest, CancelledDialogLeavesThePageAsItWas)
{
    const ToolCase cases[] = {
        {"text", 5, &IsKindOf<CStringItem>, 305},
        {"background", 7, &IsKindOf<CBackgroundImageFrameItem>, 307},
    };
    for (const ToolCase& c : cases) {
        SCOPED_TRACE(c.name);
        manager.DeleteAllItems();
        Append(manager, MakeString(RECT{500, 500, 600, 600}, "old"));
        // A record held before the drag must survive a creation that is called off.
        UseTool(7);
        dialogs.confirm = true;
        Drag(InP(300, 300), {InP(400, 420)});
        const CUndoInfo* held = manager.GetPendingUndo();
        ASSERT_NE(held, nullptr);
        const CLayoutItem* front = Front();
        const std::size_t count = manager.GetItems().size();

        dialogs.confirm = false;
        host.Clear();
        UseTool(c.tool);
        Drag(InP(100, 100), {InP(200, 260)});

        EXPECT_EQ(manager.GetItems().size(), count);
        EXPECT_EQ(Front(), front);
        EXPECT_EQ(manager.GetPendingUndo(), held);
        const Kinds kinds = host.Kinds();
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 3), 0) << "nothing was added";
        ASSERT_FALSE(kinds.empty());
        EXPECT_EQ(kinds.back(), 6);
    }
}

TEST_F(MouseCreateTest, NewFrameTakesTheNextNumberAndItsName)
{
    Append(manager, MakeFrame(RECT{500, 500, 600, 600}, 1));
    UseTool(6);
    Drag(InP(10, 10), {InP(110, 160)});
    auto* frame = dynamic_cast<CInsertImageFrameItem*>(Front());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetFrameNumber(), 2);
    EXPECT_EQ(frame->GetLabel(), "Frame2");
}

TEST_F(MouseCreateTest, NewTextTakesTheDefaultFontAndColour)
{
    ChangeItemDefaults(manager, [](ItemDefaults& d) {
        d.textColor = 0x123456;
        d.font.lfHeight = -40;
    });
    UseTool(5);
    Drag(InP(10, 10), {InP(110, 160)});
    auto* text = dynamic_cast<CStringItem*>(Front());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetTextColor(), 0x123456u);
    LOGFONT font{};
    text->GetLogFont(&font);
    EXPECT_EQ(font.lfHeight, -40);
}

TEST_F(MouseCreateTest, NewTextIsNamedByItsTextAtOnce)
{
    dialogs.editFont = [](StringItemFontValues& v) { v.text = "Summer\r\n2026"; };
    UseTool(5);
    Drag(InP(10, 10), {InP(110, 160)});
    auto* text = dynamic_cast<CStringItem*>(Front());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetText(), "Summer\r\n2026");
    EXPECT_EQ(text->GetLabel(), "Summer\r\n2026");
}

TEST_F(MouseCreateTest, LineToolDrawsAVerticalOrHorizontalLine)
{
    ChangeItemDefaults(manager, [](ItemDefaults& d) {
        d.lineWidth = 5;
        d.lineColor = 0x0000FF;
    });
    UseTool(4);
    Drag(InP(100, 100), {InP(104, 300)});
    auto* vertical = dynamic_cast<CLineItem*>(Front());
    ASSERT_NE(vertical, nullptr);
    EXPECT_TRUE(vertical->IsVertical());
    EXPECT_EQ(RectOf(vertical),
              (RECT{printable.left + 98, printable.top + 98, printable.left + 98, printable.top + 302}));
    EXPECT_EQ(vertical->GetWidth(false, -1.0f), 5);
    EXPECT_EQ(vertical->GetColor(), 0x0000FFu);
    EXPECT_EQ(vertical->GetLabel(), "Line" + std::to_string(vertical->GetLineNumber()));
    EXPECT_EQ(host.Kinds(), (Kinds{5, 6, 3, 1}));
    ASSERT_NE(AddRecord(), nullptr);
    EXPECT_EQ(AddRecord()->Items(), std::vector<CLayoutItem*>{vertical});
    EXPECT_EQ(host.selectedTools, std::vector<int>{3});

    UseTool(4);
    Drag(InP(100, 400), {InP(300, 410)});
    auto* horizontal = dynamic_cast<CLineItem*>(Front());
    ASSERT_NE(horizontal, vertical);
    EXPECT_FALSE(horizontal->IsVertical());
    EXPECT_NE(horizontal->GetLineNumber(), vertical->GetLineNumber());
    EXPECT_EQ(manager.GetItems().size(), 2u);
}

TEST_F(MouseCreateTest, AnEmptyBoxCreatesNothingButStillReports)
{
    UseTool(5);
    Drag(InP(100, 100), {InP(300, 100)});
    EXPECT_TRUE(manager.GetItems().empty());
    EXPECT_EQ(manager.GetPendingUndo(), nullptr);
    EXPECT_EQ(host.Kinds(), (Kinds{5, 6, 5, 1}));
    EXPECT_EQ(manager.GetDragState().currentTool, 5) << "the tool stays when nothing was made";
}

TEST_F(MouseCreateTest, APressOutsideThePrintableRectStartsNothing)
{
    UseTool(6);
    Press(POINT{printable.right + 5, printable.top + 5});
    EXPECT_EQ(manager.GetDragState().dragMode, 0);
    EXPECT_FALSE(manager.GetDragState().pressed);
    EXPECT_EQ(host.captures, 0);
    MoveTo(InP(100, 100));
    Release(InP(100, 100));
    EXPECT_TRUE(manager.GetItems().empty());
}

struct LimitCase
{
    const char* name;
    int lines, strings, macros, frames;
    bool camera;
    int tool;
    int message; // 0: allowed
};

TEST_F(MouseCreateTest, ItemLimitsRefuseThePress)
{
    const LimitCase cases[] = {
        {"20 lines", 20, 0, 0, 0, false, 4, 179},
        {"19 lines", 19, 0, 0, 0, false, 4, 0},
        {"20 lines do not stop texts", 20, 0, 0, 0, false, 5, 0},
        {"20 texts", 0, 20, 0, 0, false, 5, 156},
        {"20 others stop backgrounds", 0, 19, 0, 1, false, 7, 156},
        {"macro strings do not count", 0, 19, 5, 0, false, 6, 0},
        {"second frame of a camera layout", 0, 0, 0, 1, true, 6, 241},
        {"first frame of a camera layout", 0, 0, 0, 0, true, 6, 0},
        {"frames of an ordinary layout", 0, 0, 0, 3, false, 6, 0},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        manager.DeleteAllItems();
        shell.cameraLayout = c.camera;
        for (int k = 0; k < c.lines; ++k)
            Append(manager, MakeLine(RECT{10, 10 + k * 10, 100, 10 + k * 10}, 1));
        for (int k = 0; k < c.strings; ++k)
            Append(manager, MakeString(RECT{200, 10 + k * 10, 300, 20 + k * 10}, "s"));
        for (int k = 0; k < c.macros; ++k) {
            auto macro = std::make_unique<CMacroStringItem>();
            macro->SetRect(RECT{400, 10 + k * 10, 500, 20 + k * 10});
            Append(manager, std::move(macro));
        }
        for (int k = 0; k < c.frames; ++k)
            Append(manager, MakeFrame(RECT{600, 10 + k * 100, 700, 90 + k * 100}, k + 1));
        const std::size_t before = manager.GetItems().size();
        host.Clear();
        const int captures = host.captures;
        UseTool(c.tool);

        Drag(InP(1000, 1000), {InP(1100, 1300)});
        if (c.message != 0) {
            EXPECT_EQ(host.messages, std::vector<int>{c.message});
            EXPECT_EQ(host.styles, std::vector<unsigned>{MB_ICONHAND});
            EXPECT_EQ(host.captures, captures);
            EXPECT_EQ(manager.GetItems().size(), before);
            EXPECT_EQ(host.Kinds(), Kinds{5}) << "only the deselection of the press";
        } else {
            EXPECT_TRUE(host.messages.empty());
            EXPECT_EQ(manager.GetItems().size(), before + 1);
        }
    }
}

TEST_F(MouseCreateTest, FeedbackIsInvertedIntoTheKeptImageAndErasedAgain)
{
    host.scroll = POINT{20, 10};
    const std::uint32_t ground = layouttest::PixelAt(kept, 0, 0);
    const POINT offset = manager.GetMarginOffset(true);
    // The ink of the box outline, origin = margin offset minus scroll; its right and bottom edges are
    // exclusive.
    auto onCanvas = [&](int l, int t, int r, int b) {
        return RECT{offset.x - 20 + printable.left + l, offset.y - 10 + printable.top + t,
                    offset.x - 20 + printable.left + r - 1, offset.y - 10 + printable.top + b - 1};
    };
    UseTool(6);
    Press(InP(10, 10));
    EXPECT_TRUE(layouttest::InkBounds(kept, ground).IsEmpty()) << "nothing is drawn at the press";
    MoveTo(InP(60, 70));
    EXPECT_EQ(layouttest::InkBounds(kept, ground), onCanvas(10, 10, 60, 70));
    MoveTo(InP(80, 90));
    EXPECT_EQ(layouttest::InkBounds(kept, ground), onCanvas(10, 10, 80, 90))
        << "the first outline was erased";
    MoveTo(InP(30, 40));
    EXPECT_EQ(layouttest::InkBounds(kept, ground), onCanvas(10, 10, 30, 40));
    EXPECT_EQ(host.invalidations, 3);
    EXPECT_EQ(host.updates, 3);
}

} // namespace
