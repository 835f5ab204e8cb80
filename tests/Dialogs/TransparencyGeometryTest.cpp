#include "Dialogs/TransparencyGeometry.h"
#include "Core/ErrorCheck.h"

#include <gtest/gtest.h>

namespace {

CTransparencyGeometry Laid(int width, int height, int clientWidth, int clientHeight, int zoom)
{
    CTransparencyGeometry g;
    g.SetPictureSize(width, height);
    g.SetClientSize(clientWidth, clientHeight);
    g.StoreZoom(zoom);
    g.UpdateScrollBars();
    return g;
}

void ExpectRect(const RECT& r, int l, int t, int rr, int b)
{
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rr);
    EXPECT_EQ(r.bottom, b);
}

} // namespace

TEST(TransparencyGeometryTest, FitZoomChoosesTheLargestStepThatShowsTheWholePicture)
{
    struct Case
    {
        int width, height, clientWidth, clientHeight, zoom;
    };
    const Case cases[] = {
        {100, 100, 150, 150, 100}, {100, 100, 1000, 1000, 800}, {10000, 10000, 1000, 1000, 10},
        {1000, 500, 300, 300, 25}, {1000, 500, 500, 900, 50},   {400, 300, 1000, 1000, 200},
        {100, 100, 799, 799, 400}, {4000, 100, 1000, 1000, 25},
    };
    for (const Case& c : cases) {
        const CTransparencyGeometry g = Laid(c.width, c.height, c.clientWidth, c.clientHeight, 10);
        EXPECT_EQ(g.ComputeFitZoom(), c.zoom) << c.width << "x" << c.height << " in " << c.clientWidth;
    }
}

TEST(TransparencyGeometryTest, ZoomStepsStopAtBothEndsAndAZoomOutsideThemIsAnError)
{
    CTransparencyGeometry g;
    const int in[] = {25, 50, 100, 200, 400, 800, 800};
    const int out[] = {10, 10, 25, 50, 100, 200, 400};
    for (int i = 0; i < 7; ++i) {
        g.StoreZoom(CTransparencyGeometry::kZoomSteps[i]);
        EXPECT_EQ(g.NextZoomIn(), in[i]);
        EXPECT_EQ(g.NextZoomOut(), out[i]);
    }
    g.StoreZoom(300);
    EXPECT_THROW(g.NextZoomIn(), enumErrorID);
    EXPECT_THROW(g.NextZoomOut(), enumErrorID);
}

TEST(TransparencyGeometryTest, ConversionsAtEveryZoomStepRoundTripWholePicturePixels)
{
    // A 1000 x 800 picture in a 300 x 200 client scrolled to (40, 30).
    for (const int zoom : CTransparencyGeometry::kZoomSteps) {
        CTransparencyGeometry g = Laid(1000, 800, 300, 200, zoom);
        g.SetScrollOrigin(40, 30);
        const int z100 = zoom;
        // Picture pixel (45, 37) as a window rectangle: floor at the start, ceil at the end.
        const RECT w = g.PictureToClient(RECT{45, 37, 46, 38}, true, true);
        const POINT o = g.GetOffset();
        EXPECT_EQ(w.left, o.x + 5 * z100 / 100) << zoom;
        EXPECT_EQ(w.top, o.y + 7 * z100 / 100) << zoom;
        EXPECT_EQ(w.right, o.x + (6 * z100 + 99) / 100) << zoom;
        EXPECT_EQ(w.bottom, o.y + (8 * z100 + 99) / 100) << zoom;
        if (zoom >= 100) {
            // Every window pixel of the rectangle converts back to the picture pixel.
            for (int x = w.left; x < w.right; ++x)
                for (int y = w.top; y < w.bottom; ++y) {
                    const POINT p = g.ClientToPicture(POINT{x, y});
                    EXPECT_EQ(p.x, 45) << zoom;
                    EXPECT_EQ(p.y, 37) << zoom;
                }
        }
        // Without the zoom flag only the origin is taken off.
        ExpectRect(g.PictureToClient(RECT{45, 37, 46, 38}, false, false), 5, 7, 6, 8);
        const RECT visible = g.GetVisiblePictureRect();
        EXPECT_EQ(visible.left, 40);
        EXPECT_EQ(visible.right - visible.left, std::min(960, (300 * 100 + zoom - 1) / zoom)) << zoom;
        EXPECT_EQ(visible.bottom - visible.top, std::min(770, (200 * 100 + zoom - 1) / zoom)) << zoom;
        const SIZE scaled = g.GetScaledPictureSize(false);
        EXPECT_EQ(scaled.cx, (1000 * zoom + 99) / 100);
        EXPECT_EQ(scaled.cy, (800 * zoom + 99) / 100);
    }
}

TEST(TransparencyGeometryTest, OnePixelAt800PercentIsAnEightByEightWindowRectangle)
{
    const CTransparencyGeometry g = Laid(100, 100, 2000, 2000, 800);
    // The picture (800 x 800 window pixels) is centred: offset 600.
    EXPECT_EQ(g.GetOffset().x, 600);
    ExpectRect(g.PictureToClient(RECT{3, 4, 4, 5}, true, false), 24, 32, 32, 40);
    ExpectRect(g.PictureToClient(RECT{3, 4, 4, 5}, true, true), 624, 632, 632, 640);
    const POINT p = g.ClientToPicture(POINT{631, 639});
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, 4);
    ExpectRect(g.GetPictureClientRect(), 600, 600, 1400, 1400);
}

TEST(TransparencyGeometryTest, SnapRectKeepsWholePicturePixelsAboveOneHundredPercent)
{
    CTransparencyGeometry g = Laid(100, 100, 50, 50, 400);
    ExpectRect(g.SnapRect(RECT{5, 9, 13, 14}), 4, 8, 12, 12);
    g = Laid(100, 100, 50, 50, 100);
    ExpectRect(g.SnapRect(RECT{5, 9, 13, 14}), 5, 9, 13, 14);
    g = Laid(100, 100, 50, 50, 25);
    ExpectRect(g.SnapRect(RECT{5, 9, 13, 14}), 5, 9, 13, 14);
}

TEST(TransparencyGeometryTest, BarsAreUsedOnlyWhereThePictureIsLargerAndOtherwiseCentreIt)
{
    // 1000 x 100 at 100 % in 300 x 200: a horizontal bar, centred vertically.
    const CTransparencyGeometry g = Laid(1000, 100, 300, 200, 100);
    const TransparencyScrollBar& h = g.Bar(WM_HSCROLL);
    EXPECT_TRUE(h.inUse);
    EXPECT_EQ(h.page, 125);
    EXPECT_EQ(h.max, 1000 - 300 + 125);
    EXPECT_FALSE(g.Bar(WM_VSCROLL).inUse);
    EXPECT_EQ(g.GetOffset().x, 0);
    EXPECT_EQ(g.GetOffset().y, 50);
    ExpectRect(g.GetPictureClientRect(), 0, 50, 300, 150);
    EXPECT_EQ(g.GetScrollMax(WM_VSCROLL), 0);
    EXPECT_EQ(g.GetScrollPage(WM_VSCROLL), 0);
    // A bar out of use can move neither way, so nothing scrolls along it.
    EXPECT_TRUE(g.IsAtScrollStart(WM_VSCROLL));
    EXPECT_TRUE(g.IsAtScrollEnd(WM_VSCROLL));
}

TEST(TransparencyGeometryTest, ScrollCodesMoveByAPageAndClampAtTheBarsEnds)
{
    CTransparencyGeometry g = Laid(1000, 800, 300, 200, 100);
    EXPECT_TRUE(g.IsAtScrollStart(WM_HSCROLL));
    EXPECT_FALSE(g.IsAtScrollEnd(WM_HSCROLL));
    EXPECT_TRUE(g.ScrollBy(WM_HSCROLL, SB_PAGEDOWN, 0));
    EXPECT_EQ(g.GetScrollOrigin().x, 125);
    EXPECT_EQ(g.GetPreviousScrollOrigin().x, 0);
    g.ScrollBy(WM_HSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(g.GetScrollOrigin().x, 0);
    g.ScrollBy(WM_HSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(g.GetScrollOrigin().x, 0);
    // The last position is max + 1 - page.
    g.ScrollBy(WM_HSCROLL, SB_THUMBTRACK, 5000);
    EXPECT_EQ(g.GetScrollOrigin().x, 1000 - 300 + 1);
    EXPECT_TRUE(g.IsAtScrollEnd(WM_HSCROLL));
    g.ScrollBy(WM_VSCROLL, SB_THUMBPOSITION, 33);
    EXPECT_EQ(g.GetScrollOrigin().y, 33);
    EXPECT_EQ(g.GetScrollOrigin().x, 1000 - 300 + 1);
    EXPECT_FALSE(g.ScrollBy(0x0200, SB_LINEUP, 0));

    g.SetScrollOrigin(-1, 7);
    EXPECT_EQ(g.GetScrollOrigin().x, 701);
    EXPECT_EQ(g.GetScrollOrigin().y, 7);
    EXPECT_EQ(g.GetPreviousScrollOrigin().y, 33);
}

TEST(TransparencyGeometryTest, CenterOnPutsThePointInTheMiddleWithinTheBarsRange)
{
    CTransparencyGeometry g = Laid(1000, 800, 300, 200, 200);
    g.CenterOn(500, 400);
    // 150 x 100 picture pixels are visible at 200 %.
    EXPECT_EQ(g.GetScrollOrigin().x, 500 - 75);
    EXPECT_EQ(g.GetScrollOrigin().y, 400 - 50);
    g.CenterOn(10, 10);
    EXPECT_EQ(g.GetScrollOrigin().x, 0);
    EXPECT_EQ(g.GetScrollOrigin().y, 0);
}
