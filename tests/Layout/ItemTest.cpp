#include "Layout/EditItem.h"
#include "Layout/LayoutItem.h"
#include "Layout/LineItem.h"
#include "Layout/StringItem.h"
#include "Layout/support/LayoutTestSupport.h"

#include <gtest/gtest.h>
#include <list>
#include <memory>

using namespace layouttest;

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Label round trips: stored words after the CItem part (six values) and the label read back.
struct LabelCase
{
    std::string label;
    std::vector<std::uint8_t> stored; // count, flag, then the line bytes
};

std::vector<std::uint8_t> Int32(int v)
{
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST(ItemScaling, RoundsHalfAwayFromZeroAndUsesOwnScaleForZero)
{
    CItem item;
    item.SetRect(RECT{5, -5, 15, 25});
    item.SetScale(0.5f);
    RECT r;
    item.GetScaledRect(&r, 0.0f);
    EXPECT_TRUE(SameRect(r, RECT{3, -3, 8, 13}));
    item.GetScaledRect(&r, 2.0f);
    EXPECT_TRUE(SameRect(r, RECT{10, -10, 30, 50}));
    item.GetRect(&r, false);
    EXPECT_TRUE(SameRect(r, RECT{5, -5, 15, 25}));

    RECT back{3, -3, 8, 13};
    EXPECT_TRUE(item.UnscaleRect(&back, 0.0f));
    EXPECT_TRUE(SameRect(back, RECT{6, -6, 16, 26}));
    EXPECT_FALSE(item.ScalePoint(static_cast<POINT*>(nullptr), 1.0f));
}

TEST(ItemOrientation, RefusesValuesOtherThanZeroAndOne)
{
    CItem item;
    EXPECT_TRUE(item.SetOrientation(1));
    EXPECT_FALSE(item.SetOrientation(2));
    EXPECT_EQ(item.GetOrientation(), 1);
}

TEST(ItemDraw, OutlinesTheScaledRectInvertedAndGrownLeftAndTop)
{
    CImage canvas;
    ASSERT_TRUE(canvas.Create(40, 40));
    CItem item;
    item.SetRect(RECT{10, 10, 30, 20});
    ASSERT_TRUE(item.Draw(&canvas, 1.0f, nullptr, false));
    EXPECT_EQ(RgbAt(canvas, 9, 9), 0x000000u);   // grown corner
    EXPECT_EQ(RgbAt(canvas, 29, 19), 0x000000u); // right and bottom edges at right - 1, bottom - 1
    EXPECT_EQ(RgbAt(canvas, 30, 19), 0xFFFFFFu);
    EXPECT_EQ(RgbAt(canvas, 15, 15), 0xFFFFFFu); // inside untouched
    // Drawing again inverts back.
    ASSERT_TRUE(item.Draw(&canvas, 1.0f, nullptr, false));
    EXPECT_EQ(CountColor(canvas, 0xFFFFFF), 40 * 40);
    item.SetRect(RECT{50, 50, 60, 60});
    EXPECT_FALSE(item.Draw(&canvas, 1.0f, nullptr, false));
}

TEST(ItemDrawToFit, SquareItemUsesTargetHeight)
{
    CImage canvas;
    ASSERT_TRUE(canvas.Create(100, 100));
    CItem item;
    item.SetRect(RECT{0, 0, 10, 10});
    // Fit to the height 20: the outline is 20 x 20 from the target's corner, not 40 wide.
    ASSERT_TRUE(item.DrawToFit(&canvas, RECT{5, 5, 45, 25}, false));
    EXPECT_EQ(RgbAt(canvas, 24, 24), 0x000000u);
    EXPECT_EQ(RgbAt(canvas, 44, 24), 0xFFFFFFu);
    CItem flat;
    flat.SetRect(RECT{0, 0, 0, 0});
    EXPECT_FALSE(flat.DrawToFit(&canvas, RECT{5, 5, 45, 25}, false));
}

TEST(ItemCursors, HandleCodesAndEditKinds)
{
    CItem item;
    const int expected[11] = {0, 309, 312, 310, 313, 311, 311, 313, 310, 312, 0};
    for (int code = 0; code <= 10; ++code)
        EXPECT_EQ(item.GetHandleCursor(code), expected[code]) << code;

    const int kinds[11] = {0, 3, 8, 4, 10, 5, 7, 11, 6, 9, 0};
    for (int code = 0; code <= 10; ++code)
        EXPECT_EQ(MapHandleCode(code), kinds[code]) << code;

    CEditItem frame;
    EXPECT_EQ(frame.GetCursorForKind(8, false), 312);
    EXPECT_EQ(frame.GetCursorForKind(8, true), 313);
    EXPECT_EQ(frame.GetCursorForKind(10, true), 312);
    CLineItem horizontal;
    horizontal.SetRect(RECT{0, 5, 50, 5});
    frame.SetTargetItem(&horizontal);
    EXPECT_EQ(frame.GetCursorForKind(4, false), 311);
    EXPECT_EQ(frame.GetCursorForKind(5, false), 311);
    EXPECT_EQ(frame.SetHandleFromCode(6), 7);
}

TEST(LayoutItemArchive, LabelLinesFlagsAndRoundTrip)
{
    const std::vector<LabelCase> cases = {
        {"a\r\nb", Concat({Int32(2), Int32(0), {'a', '\n', 'b', '\n'}})},
        {"a\r\n", Concat({Int32(1), Int32(1), {'a', '\n'}})},
        {"", Concat({Int32(0), Int32(0)})},
    };
    for (const LabelCase& c : cases) {
        CLayoutItem item;
        item.SetLabel(c.label);
        item.SetSelected(true);
        const std::vector<std::uint8_t> bytes = Store(item);
        ASSERT_EQ(bytes.size(), 24 + c.stored.size() + 12) << c.label;
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 24, bytes.end() - 12), c.stored) << c.label;
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 12, bytes.end()),
                  Concat({Int32(1), Int32(1), Int32(1)}));
        CLayoutItem back;
        Load(back, bytes);
        EXPECT_EQ(back.GetLabel(), c.label);
        EXPECT_TRUE(back.IsSelected());
        EXPECT_TRUE(back.IsDrawSuppressed());
    }
}

TEST(LayoutItemArchive, LongLineIsCutAndTruncatedDataThrows)
{
    CLayoutItem item;
    item.SetLabel(std::string(300, 'x'));
    const std::vector<std::uint8_t> bytes = Store(item);
    CLayoutItem back;
    Load(back, bytes);
    EXPECT_EQ(back.GetLabel(), std::string(259, 'x'));

    std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + 30);
    CLayoutItem broken;
    EXPECT_THROW(Load(broken, cut), CArchiveException);
    // A line count far beyond the data is refused before reading.
    std::vector<std::uint8_t> hostile(bytes.begin(), bytes.begin() + 24);
    const auto huge = Int32(0x7FFFFFFF);
    hostile.insert(hostile.end(), huge.begin(), huge.end());
    const auto zero = Int32(0);
    hostile.insert(hostile.end(), zero.begin(), zero.end());
    EXPECT_THROW(Load(broken, hostile), CArchiveException);
}

TEST(LayoutItemImageRect, ClampsToTheThumbnail)
{
    CLayoutItem item;
    item.SetItemImageRect(RECT{-5, -5, 60, 60});
    RECT r;
    EXPECT_TRUE(SameRect(*item.GetItemImageRect(&r), RECT{0, 0, 50, 50}));
    item.SetItemImageRect(RECT{10, 10, 5, 5});
    EXPECT_TRUE(SameRect(*item.GetItemImageRect(&r), RECT{10, 10, 5, 5}));
}

TEST(LayoutItemHitTest, HandlesWinOverInsideAndThinItemsAreWidened)
{
    CLayoutItem item;
    item.SetRect(RECT{20, 20, 60, 40});
    // The handle squares lie around the rect grown by 4, with a half-size of 3.
    struct Case
    {
        POINT point;
        int code;
    };
    const Case cases[] = {
        {{16, 16}, 2}, {{13, 13}, 2}, {{18, 18}, 2}, {{19, 19}, 0}, {{40, 16}, 3}, {{64, 16}, 4},
        {{16, 30}, 5}, {{64, 30}, 6}, {{16, 44}, 7}, {{40, 44}, 8}, {{64, 44}, 9}, {{30, 30}, 1},
        {{20, 21}, 1}, {{60, 30}, 0}, {{40, 50}, 0}, {{12, 12}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(item.HitTest(c.point), c.code) << c.point.x << "," << c.point.y;

    CLayoutItem thin;
    thin.SetRect(RECT{0, 100, 1, 200});
    EXPECT_EQ(thin.HitTest(POINT{-1, 120}), 1);
    EXPECT_EQ(thin.HitTest(POINT{1, 120}), 1);
    EXPECT_EQ(thin.HitTest(POINT{-2, 120}), 0);
    EXPECT_EQ(thin.HitTest(POINT{2, 120}), 0);
}

TEST(LayoutItemHitTest, HandlesFollowTheOwnScale)
{
    CLayoutItem item;
    item.SetRect(RECT{20, 20, 60, 40});
    item.SetScale(0.5f);
    POINT p;
    item.GetHandlePoint(&p, 7, true);
    EXPECT_EQ(p.x, 34);
    EXPECT_EQ(p.y, 24);
    EXPECT_EQ(item.HitTest(POINT{34, 24}), 9);
    item.GetHandlePoint(&p, 8, true);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

TEST(LayoutItemSelection, OutlineAndEightHandles)
{
    CImage canvas;
    ASSERT_TRUE(canvas.Create(80, 60));
    canvas.FillRectLTRB(0, 0, 80, 60, 0x808080);
    CLayoutItem item;
    item.SetRect(RECT{20, 20, 60, 40});
    item.SetSelected(true);
    item.DrawSelection(&canvas, nullptr);
    EXPECT_EQ(CountColor(canvas, 0x000000) + CountColor(canvas, 0xFFFFFF), 0)
        << "suppressed item draws nothing";
    item.SetDrawSuppressed(false);
    item.DrawSelection(&canvas, nullptr);
    EXPECT_EQ(RgbAt(canvas, 30, 19), 0x000000u); // outline grown one pixel up
    EXPECT_EQ(RgbAt(canvas, 30, 39), 0x000000u);
    EXPECT_EQ(RgbAt(canvas, 30, 30), 0x808080u);
    // Handle squares: black border, white inside, around (16,16), (40,16) ... (64,44).
    const POINT centres[8] = {{16, 16}, {40, 16}, {64, 16}, {16, 30}, {64, 30}, {16, 44}, {40, 44}, {64, 44}};
    for (const POINT& c : centres) {
        EXPECT_EQ(RgbAt(canvas, c.x - 3, c.y - 3), 0x000000u);
        EXPECT_EQ(RgbAt(canvas, c.x + 2, c.y + 2), 0x000000u);
        EXPECT_EQ(RgbAt(canvas, c.x, c.y), 0xFFFFFFu);
        EXPECT_EQ(RgbAt(canvas, c.x - 4, c.y), 0x808080u);
    }
}

TEST(LayoutItemThumbnail, FilledByStateAndFramed)
{
    CImage canvas;
    ASSERT_TRUE(canvas.Create(10, 10));
    CLayoutItem item;
    item.SetRect(RECT{0, 0, 40, 40});
    item.SetItemImageRect(RECT{5, 5, 45, 45});
    item.SetItemImageScale(1.0f);
    item.DrawAtOwnScale(&canvas, nullptr);
    const CImage& thumb = *item.GetItemImage();
    EXPECT_EQ(RgbAt(thumb, 0, 0), Px(0xDCC8C8));
    EXPECT_EQ(RgbAt(thumb, 4, 20), 0x000000u); // the frame around the rect
    item.SetSelected(true);
    item.DrawAtOwnScale(&canvas, nullptr);
    EXPECT_EQ(RgbAt(item.GetItemImage()[0], 0, 0), Px(0x996633));
}

TEST(LayoutItemCopy, CopiesTheChainThroughAccessors)
{
    CLineItem source;
    source.SetRect(RECT{1, 2, 3, 2});
    source.SetScale(0.25f);
    source.SetOrientation(1);
    source.SetLabel("line");
    source.SetVisible(false);
    source.SetColor(0x123456);
    source.SetWidth(7);
    source.SetLineNumber(9);
    source.SetItemImageScale(0.5f);
    CLineItem copy;
    copy.CopyFrom(source);
    RECT r;
    EXPECT_TRUE(SameRect(*copy.GetRect(&r, false), RECT{1, 2, 3, 2}));
    EXPECT_FLOAT_EQ(copy.GetScale(), 0.25f);
    EXPECT_EQ(copy.GetOrientation(), 1);
    EXPECT_EQ(copy.GetLabel(), "line");
    EXPECT_FALSE(copy.IsVisible());
    EXPECT_EQ(copy.GetColor(), 0x123456u);
    EXPECT_EQ(copy.GetWidth(false, 0.0f), 7);
    EXPECT_EQ(copy.GetLineNumber(), 9);
    EXPECT_FLOAT_EQ(copy.GetItemImageScale(), 0.5f);
}

TEST(EditItemDraw, RubberBandNewLineAndTargets)
{
    CImage canvas;
    ASSERT_TRUE(canvas.Create(50, 50));
    CEditItem band;
    band.SetRect(RECT{10, 10, 30, 30});
    band.SetHandleKind(CEditItem::KindRubberBand);
    ASSERT_TRUE(band.Draw(&canvas, 1.0f, nullptr, false));
    EXPECT_EQ(RgbAt(canvas, 10, 10), 0x000000u);
    EXPECT_EQ(RgbAt(canvas, 28, 28), 0x000000u);
    EXPECT_EQ(RgbAt(canvas, 29, 29), 0xFFFFFFu);
    band.Draw(&canvas, 1.0f, nullptr, false);
    EXPECT_EQ(CountColor(canvas, 0xFFFFFF), 50 * 50);

    CEditItem frame;
    frame.SetRect(RECT{10, 10, 30, 30});
    frame.SetHandleKind(CEditItem::KindMove);
    EXPECT_FALSE(frame.Draw(&canvas, 1.0f, nullptr, false)) << "no target, not a band";
    CStringItem text;
    frame.SetTargetItem(&text);
    EXPECT_TRUE(frame.Draw(&canvas, 1.0f, nullptr, false));
    EXPECT_EQ(RgbAt(canvas, 28, 28), 0x000000u);

    CLineItem line;
    line.SetWidth(5);
    CImage horizontal;
    ASSERT_TRUE(horizontal.Create(50, 50));
    CEditItem across;
    across.SetRect(RECT{10, 20, 40, 20});
    across.SetTargetItem(&line);
    ASSERT_TRUE(across.Draw(&horizontal, 1.0f, nullptr, false));
    // The centre line of a width-5 stroke: n = 4, h = 2, from (12, 22) to (38, 22), the end excluded.
    RECT ink = InkBounds(horizontal, 0xFFFFFF);
    EXPECT_TRUE(SameRect(ink, RECT{12, 22, 38, 23}))
        << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
    CImage vertical;
    ASSERT_TRUE(vertical.Create(50, 50));
    CEditItem down;
    down.SetRect(RECT{10, 10, 10, 40});
    down.SetTargetItem(&line);
    ASSERT_TRUE(down.Draw(&vertical, 1.0f, nullptr, false));
    ink = InkBounds(vertical, 0xFFFFFF);
    EXPECT_TRUE(SameRect(ink, RECT{12, 12, 13, 38}))
        << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
}

TEST(EditItemArchive, TargetIsStoredAsNone)
{
    CEditItem frame;
    CLineItem line;
    frame.SetTargetItem(&line);
    frame.SetHandleKind(9);
    const std::vector<std::uint8_t> bytes = Store(frame);
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 24, bytes.end()), Concat({Int32(9), Int32(0)}));
    CEditItem back;
    back.SetTargetItem(&line);
    Load(back, bytes);
    EXPECT_EQ(back.GetHandleKind(), 9);
    EXPECT_EQ(back.GetTargetItem(), nullptr);
}

TEST(EditItemList, DeleteItemListEmptiesTheList)
{
    std::list<std::unique_ptr<CEditItem>> frames;
    frames.push_back(std::make_unique<CEditItem>());
    frames.push_back(std::make_unique<CEditItem>());
    EXPECT_TRUE(DeleteItemList(&frames));
    EXPECT_TRUE(frames.empty());
    EXPECT_FALSE(DeleteItemList(static_cast<std::list<std::unique_ptr<CEditItem>>*>(nullptr)));
}
