#include "Layout/LineItem.h"
#include "Layout/support/LayoutTestSupport.h"

#include <gtest/gtest.h>

using namespace layouttest;

namespace {

void PlaceLine(CLineItem& line, RECT rect, int width, COLORREF color = 0x0000FF)
{
    line.SetRect(rect);
    line.SetWidth(width);
    line.SetColor(color);
    line.SetDrawSuppressed(false);
}

std::string Show(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

} // namespace

TEST(LineItemDraw, ThicknessByWidthAndScale)
{
    struct Case
    {
        int width;
        float scale;
        int rows; // drawn thickness of a horizontal line
    };
    const Case cases[] = {{1, 1.0f, 1}, {1, 0.4f, 1}, {3, 1.0f, 2}, {3, 0.4f, 1}, {11, 0.5f, 5}};
    for (const Case& c : cases) {
        CImage canvas;
        ASSERT_TRUE(canvas.Create(60, 60));
        CLineItem line;
        PlaceLine(line, RECT{20, 20, 120, 20}, c.width);
        ASSERT_TRUE(line.Draw(&canvas, c.scale, nullptr, false));
        const RECT ink = InkBounds(canvas, 0xFFFFFF);
        const int left = static_cast<int>(20 * c.scale + 0.5f);
        const int right = std::min(60, static_cast<int>(120 * c.scale + 0.5f));
        EXPECT_EQ(Show(ink), Show(RECT{left, left, right, left + c.rows})) << c.width << " @ " << c.scale;
        EXPECT_EQ(RgbAt(canvas, left, left), Px(0x0000FF));
    }
}

TEST(LineItemDraw, VerticalThicknessLiesToTheRight)
{
    CImage canvas;
    ASSERT_TRUE(canvas.Create(60, 60));
    CLineItem line;
    PlaceLine(line, RECT{10, 5, 10, 45}, 4, 0x00FF00);
    EXPECT_TRUE(line.IsVertical());
    ASSERT_TRUE(line.Draw(&canvas, 1.0f, nullptr, false));
    EXPECT_EQ(Show(InkBounds(canvas, 0xFFFFFF)), Show(RECT{10, 5, 13, 45}));
    // Moved to an origin, the size is kept.
    CImage moved;
    ASSERT_TRUE(moved.Create(60, 60));
    const POINT origin{30, 0};
    ASSERT_TRUE(line.Draw(&moved, 1.0f, &origin, false));
    EXPECT_EQ(Show(InkBounds(moved, 0xFFFFFF)), Show(RECT{30, 0, 33, 40}));
}

TEST(LineItemDraw, SuppressedInvisibleAndOffCanvas)
{
    CImage canvas;
    ASSERT_TRUE(canvas.Create(30, 30));
    CLineItem line;
    PlaceLine(line, RECT{5, 5, 25, 5}, 1);
    line.SetDrawSuppressed(true);
    EXPECT_FALSE(line.Draw(&canvas, 1.0f, nullptr, false));
    EXPECT_TRUE(line.Draw(&canvas, 1.0f, nullptr, true));
    line.SetDrawSuppressed(false);
    line.SetVisible(false);
    EXPECT_FALSE(line.Draw(&canvas, 1.0f, nullptr, false));
    line.SetVisible(true);
    line.SetRect(RECT{5, 30, 25, 30});
    EXPECT_FALSE(line.Draw(&canvas, 1.0f, nullptr, false));
    line.SetRect(RECT{5, 29, 25, 29});
    EXPECT_TRUE(line.Draw(&canvas, 1.0f, nullptr, false));
}

TEST(LineItemGeometry, OrientationWidthAndSegments)
{
    CLineItem point;
    PlaceLine(point, RECT{7, 7, 7, 7}, 1);
    EXPECT_TRUE(point.IsVertical());
    CLineItem line;
    PlaceLine(line, RECT{0, 0, 100, 0}, 7);
    line.SetScale(0.5f);
    EXPECT_EQ(line.GetWidth(false, 0.3f), 7);
    EXPECT_EQ(line.GetWidth(true, 0.0f), 3);
    EXPECT_EQ(line.GetWidth(true, 0.3f), 2);

    RECT r;
    line.CalcLineRect(&r, RECT{10, 20, 110, 20}, 6);
    EXPECT_EQ(Show(r), Show(RECT{13, 23, 107, 23}));
    line.CalcLineRect(&r, RECT{10, 20, 10, 120}, 6);
    EXPECT_EQ(Show(r), Show(RECT{13, 23, 13, 117}));
    line.GetLineBounds(&r, false);
    EXPECT_EQ(Show(r), Show(RECT{3, 3, 97, 3}));
    line.GetScaledLineRect(&r, 1.0f);
    EXPECT_EQ(Show(r), Show(RECT{3, 3, 97, 3}));
}

TEST(LineItemHandles, OnlyTheEndsOfTheOrientation)
{
    CLineItem vertical;
    PlaceLine(vertical, RECT{10, 10, 10, 50}, 5);
    POINT p;
    vertical.GetHandlePoint(&p, 3, true);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    vertical.GetHandlePoint(&p, 1, true);
    EXPECT_EQ(p.x, 12);
    EXPECT_EQ(p.y, 8);
    vertical.GetHandlePoint(&p, 6, true);
    EXPECT_EQ(p.x, 12);
    EXPECT_EQ(p.y, 52);
    EXPECT_EQ(vertical.HitTest(POINT{12, 8}), 3);
    EXPECT_EQ(vertical.HitTest(POINT{12, 52}), 8);

    CLineItem horizontal;
    PlaceLine(horizontal, RECT{10, 10, 50, 10}, 1);
    horizontal.GetHandlePoint(&p, 4, true);
    EXPECT_EQ(p.x, 54);
    EXPECT_EQ(p.y, 10);
    EXPECT_EQ(horizontal.HitTest(POINT{6, 10}), 5);
    EXPECT_EQ(horizontal.HitTest(POINT{54, 10}), 6);
}

TEST(LineItemHitTest, ThinLineWidenedAcrossNotAlong)
{
    CLineItem line;
    PlaceLine(line, RECT{100, 50, 200, 50}, 1);
    for (int y = 45; y <= 55; ++y)
        EXPECT_EQ(line.HitTest(POINT{150, y}), (y >= 48 && y <= 51) ? 1 : 0) << y;
    EXPECT_EQ(line.HitTest(POINT{99, 50}), 0);
    EXPECT_EQ(line.HitTest(POINT{100, 50}), 1);
    EXPECT_EQ(line.HitTest(POINT{199, 50}), 1);
    EXPECT_EQ(line.HitTest(POINT{200, 50}), 0);

    CLineItem thick;
    PlaceLine(thick, RECT{100, 50, 100, 150}, 9);
    EXPECT_EQ(thick.HitTest(POINT{107, 100}), 1);
    EXPECT_EQ(thick.HitTest(POINT{108, 100}), 0);
}

TEST(LineItemSelection, TwoEndHandlesNoOutline)
{
    CImage canvas;
    ASSERT_TRUE(canvas.Create(80, 40));
    canvas.FillRectLTRB(0, 0, 80, 40, 0x808080);
    CLineItem line;
    PlaceLine(line, RECT{20, 20, 60, 20}, 1);
    line.SetSelected(true);
    line.DrawSelection(&canvas, nullptr);
    EXPECT_EQ(RgbAt(canvas, 16, 20), 0xFFFFFFu);
    EXPECT_EQ(RgbAt(canvas, 13, 17), 0x000000u);
    EXPECT_EQ(RgbAt(canvas, 64, 20), 0xFFFFFFu);
    EXPECT_EQ(RgbAt(canvas, 40, 19), 0x808080u);
    EXPECT_EQ(RgbAt(canvas, 40, 16), 0x808080u) << "no middle handle";
    EXPECT_EQ(CountColor(canvas, 0xFFFFFF), 2 * 16);
}

TEST(LineItemArchive, TenBytesAfterTheLayoutItem)
{
    CLineItem line;
    PlaceLine(line, RECT{1, 2, 3, 2}, 0x0102);
    line.SetColor(0x00AABBCC);
    line.SetLineNumber(0xBEEF);
    CLayoutItem plain;
    plain.SetRect(RECT{1, 2, 3, 2});
    plain.SetDrawSuppressed(false);
    const auto base = Store(plain);
    const auto bytes = Store(line);
    ASSERT_EQ(bytes.size(), base.size() + 10);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 10, bytes.end()),
              (std::vector<std::uint8_t>{0xCC, 0xBB, 0xAA, 0x00, 0x02, 0x01, 0x00, 0x00, 0xEF, 0xBE}));
    CLineItem back;
    Load(back, bytes);
    EXPECT_EQ(back.GetColor(), 0x00AABBCCu);
    EXPECT_EQ(back.GetWidth(false, 0.0f), 0x0102);
    EXPECT_EQ(back.GetLineNumber(), 0xBEEF);
    EXPECT_FALSE(back.IsDrawSuppressed());
}
