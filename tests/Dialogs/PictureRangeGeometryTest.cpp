// The picture-range editor's arithmetic without widgets: zoom steps, the
// scroll model, coordinates, the automatic scroll, range orientation and
// the checks of the dialog.
#include "Core/ErrorCheck.h"
#include "Dialogs/PictureRange.h"
#include "Dialogs/PictureViewGeometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const std::vector<int> kSteps{10, 25, 50, 100, 200, 400};

CPictureViewGeometry Make(SIZE picture, SIZE client, int zoom)
{
    CPictureViewGeometry g(kSteps, 100);
    g.SetPictureSize(picture);
    g.SetClientSize(client);
    g.SetZoom(zoom);
    return g;
}

std::string Show(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + ")";
}

TEST(PictureRangeGeometry, ZoomStepsStopAtBothEndsAndRefuseOtherValues)
{
    CPictureViewGeometry g(kSteps, 100);
    const std::vector<std::pair<int, int>> in{{10, 25},   {25, 50},   {50, 100},
                                              {100, 200}, {200, 400}, {400, 400}};
    for (const auto& [from, to] : in) {
        g.SetZoom(from);
        EXPECT_EQ(g.ZoomInStep(), to) << from;
    }
    const std::vector<std::pair<int, int>> out{{400, 200}, {200, 100}, {100, 50},
                                               {50, 25},   {25, 10},   {10, 10}};
    for (const auto& [from, to] : out) {
        g.SetZoom(from);
        EXPECT_EQ(g.ZoomOutStep(), to) << from;
    }
    g.SetZoom(50);
    for (int bad : {0, 75, 150, 800}) {
        EXPECT_THROW(g.SetZoom(bad), enumErrorID) << bad;
        EXPECT_EQ(g.GetZoom(), 50);
    }
}

TEST(PictureRangeGeometry, FitZoomTakesTheLargestStepNotAboveTheFittingScale)
{
    struct Case
    {
        SIZE client;
        int zoom;
    };
    // Picture 1000 x 800: the ratio is 100 x min(cw / 1000, ch / 800).
    const Case cases[] = {
        {{99, 1000}, 10},    {{249, 1000}, 10},   {{250, 1000}, 25},   {{499, 1000}, 25},
        {{500, 400}, 50},    {{999, 799}, 50},    {{1000, 800}, 100},  {{1999, 1600}, 100},
        {{2000, 1600}, 200}, {{4000, 3199}, 200}, {{4000, 3200}, 400}, {{9999, 9999}, 400},
        {{4000, 800}, 100},
    };
    for (const Case& c : cases) {
        CPictureViewGeometry g = Make({1000, 800}, c.client, 10);
        EXPECT_EQ(g.FitZoom(), c.zoom) << c.client.cx << " x " << c.client.cy;
    }
}

TEST(PictureRangeGeometry, BarsOfAPictureWiderThanTheClient)
{
    // 100 %: the range ends a page beyond the last full view, and the bar stops where its page reaches that
    // end.
    CPictureViewGeometry g = Make({1000, 800}, {300, 200}, 100);
    EXPECT_TRUE(g.Horizontal().barShown);
    EXPECT_EQ(g.Horizontal().page, 125);
    EXPECT_EQ(g.Horizontal().rangeMax, 1000 - 300 + 125);
    EXPECT_EQ(g.Horizontal().MaxPosition(), 701);
    EXPECT_TRUE(g.Vertical().barShown);
    EXPECT_EQ(g.Vertical().page, 100);
    EXPECT_EQ(g.Vertical().rangeMax, 800 - 200 + 100);
    EXPECT_EQ(g.Vertical().offset, 0);

    // 200 % with an odd client: ceil(301 / 2) = 151 picture pixels fit.
    g = Make({1000, 800}, {301, 200}, 200);
    EXPECT_EQ(g.Horizontal().rangeMax, 1000 - 151 + 125);

    // 25 %: 250 x 200 fits a 300 x 200 client (equal is not smaller): no bars, centred.
    g = Make({1000, 800}, {300, 200}, 25);
    EXPECT_FALSE(g.Horizontal().barShown);
    EXPECT_FALSE(g.Vertical().barShown);
    EXPECT_EQ(g.Horizontal().rangeMax, 0);
    EXPECT_EQ(g.Horizontal().offset, 25);
    EXPECT_EQ(g.Vertical().offset, 0);

    // The bar clamps the position; a zoom change keeps the origin where the new bar allows.
    g = Make({1000, 800}, {300, 200}, 100);
    EXPECT_TRUE(g.ScrollTo(false, 5000));
    EXPECT_EQ(g.Origin().x, 701);
    EXPECT_FALSE(g.ScrollBy(false, 125));
    EXPECT_TRUE(g.ScrollBy(false, -125));
    EXPECT_EQ(g.Origin().x, 576);
    g.SetZoom(25);
    EXPECT_EQ(g.Origin().x, 0);
}

TEST(PictureRangeGeometry, CentringClampsToTheBars)
{
    CPictureViewGeometry g = Make({1000, 800}, {300, 200}, 200);
    g.CentreOn({500, 400});
    EXPECT_EQ(g.Origin().x, 500 - 75);
    EXPECT_EQ(g.Origin().y, 400 - 50);
    g.CentreOn({10, 790});
    EXPECT_EQ(g.Origin().x, 0);
    EXPECT_EQ(g.Origin().y, g.Vertical().MaxPosition());
}

TEST(PictureRangeGeometry, ClientAndPictureCoordinatesAt200And25Percent)
{
    CPictureViewGeometry g = Make({1000, 800}, {300, 200}, 200);
    g.ScrollTo(false, 100);
    g.ScrollTo(true, 50);
    EXPECT_EQ(g.ClientToPicture({11, 7}), (POINT{105, 53}));
    // Left of and above the client round down too.
    EXPECT_EQ(g.ClientToPicture({-1, -3}), (POINT{99, 48}));
    EXPECT_EQ(g.PictureToClient({101, 51, 104, 54}), (RECT{2, 2, 8, 8}));
    EXPECT_EQ(g.VisiblePictureRect(), (RECT{100, 50, 250, 150}));
    EXPECT_EQ(g.PictureClientArea(), (RECT{0, 0, 300, 200}));

    g = Make({400, 200}, {300, 200}, 25);
    ASSERT_EQ(g.Horizontal().offset, 100);
    ASSERT_EQ(g.Vertical().offset, 75);
    EXPECT_EQ(g.ClientToPicture({103, 77}), (POINT{12, 8}));
    EXPECT_EQ(g.ClientToPicture({100, 75}), (POINT{0, 0}));
    // Left and top round down, right and bottom up.
    EXPECT_EQ(g.PictureToClient({1, 1, 3, 3}), (RECT{100, 75, 101, 76}));
    EXPECT_EQ(g.ScaledSize().cx, 100);
    EXPECT_EQ(g.PictureClientArea(), (RECT{100, 75, 200, 125}));
}

TEST(PictureRangeGeometry, SnappingFollowsPicturePixelsOnlyAbove100Percent)
{
    // A centred picture at 200 %: its pixels start at the offset, not at 0.
    CPictureViewGeometry g = Make({100, 100}, {301, 300}, 200);
    ASSERT_EQ(g.Horizontal().offset, 50);
    EXPECT_EQ(g.Snap({53, 54, 61, 62}), (RECT{52, 54, 60, 62}));
    g = Make({100, 100}, {300, 300}, 100);
    EXPECT_EQ(g.Snap({53, 54, 61, 62}), (RECT{53, 54, 61, 62}));
}

TEST(PictureRangeGeometry, AutoScrollMovesTenPicturePixelsUnlessAtThatEnd)
{
    CPictureViewGeometry g = Make({1000, 800}, {300, 200}, 200);
    EXPECT_EQ(g.AutoScroll({150, 100}), (POINT{0, 0}));
    EXPECT_EQ(g.AutoScroll({300, 100}), (POINT{10, 0}));
    EXPECT_EQ(g.AutoScroll({-1, 200}), (POINT{-10, 10}));
    EXPECT_EQ(g.AutoScroll({-1, 0}), (POINT{0, 0}));
    g.ScrollTo(false, 5);
    EXPECT_EQ(g.AutoScroll({-40, 0}), (POINT{-5, 0}));
    g.ScrollTo(false, g.Horizontal().MaxPosition());
    EXPECT_EQ(g.AutoScroll({900, 50}), (POINT{0, 0}));
}

TEST(PictureRangeGeometry, TheAnchorShiftCarriesFractionsOfAClientPixel)
{
    CPictureViewGeometry g = Make({4000, 3000}, {300, 200}, 25);
    std::vector<int> shifts;
    for (int i = 0; i < 4; ++i)
        shifts.push_back(g.AnchorShift({10, 0}).x);
    EXPECT_EQ(shifts, (std::vector<int>{2, 3, 2, 3}));
    EXPECT_EQ(g.AnchorShift({-10, 0}).x, -2);
    g.ClearCarries();
    EXPECT_EQ(g.AnchorShift({-10, 0}).x, -2);
    g.SetZoom(200);
    g.ClearCarries();
    EXPECT_EQ(g.AnchorShift({10, -10}), (POINT{20, -20}));
}

TEST(PictureRangeRanges, AQuarterTurnedRangeIsHandedBackInStoredCoordinates)
{
    // The turned picture is 300 wide.
    EXPECT_EQ(TurnedToStoredRange({10, 20, 110, 220}, 1, {300, 400}), (RECT{20, 190, 220, 290}));
    EXPECT_EQ(StoredToTurnedRange({20, 190, 220, 290}, 1, {300, 400}), (RECT{10, 20, 110, 220}));
}

TEST(PictureRangeRanges, RoundTripsAtEveryRotationOfA301By200Picture)
{
    const SIZE stored{301, 200};
    const RECT ranges[] = {
        {0, 0, 301, 200}, {0, 0, 1, 1}, {300, 199, 301, 200}, {17, 40, 230, 41}, {100, 3, 101, 190}};
    for (int rotation = 0; rotation < 4; ++rotation) {
        const SIZE turned = rotation % 2 ? SIZE{stored.cy, stored.cx} : stored;
        for (const RECT& r : ranges) {
            const RECT t = StoredToTurnedRange(r, rotation, turned);
            EXPECT_GE(t.left, 0);
            EXPECT_LE(t.right, turned.cx);
            EXPECT_LE(t.bottom, turned.cy);
            EXPECT_EQ(t.Width() * t.Height(), r.Width() * r.Height());
            EXPECT_EQ(TurnedToStoredRange(t, rotation, turned), r) << rotation << " " << Show(r);
        }
    }
}

// Where the marked pixel of the stored picture lands when the picture is
// turned as the view turns it.
TEST(PictureRangeRanges, RangesTurnWithThePixelsTheRotateFilterTurns)
{
    const SIZE stored{301, 200};
    const std::uint32_t mark = 0x00FF0000;
    for (int rotation = 0; rotation < 4; ++rotation) {
        for (const POINT at : {POINT{7, 3}, POINT{300, 0}, POINT{0, 199}, POINT{150, 120}}) {
            PageBuffer pixels = AllocPageBuffer(4ull * stored.cx * stored.cy);
            ASSERT_TRUE(pixels);
            auto* words = reinterpret_cast<std::uint32_t*>(pixels.get());
            words[(stored.cy - 1 - at.y) * stored.cx + at.x] = mark; // rows bottom-up
            SIZE size = stored;
            TurnPicture(pixels, size, rotation);
            words = reinterpret_cast<std::uint32_t*>(pixels.get());
            POINT found{-1, -1};
            for (int y = 0; y < size.cy; ++y)
                for (int x = 0; x < size.cx; ++x)
                    if (words[(size.cy - 1 - y) * size.cx + x] == mark)
                        found = POINT{x, y};
            const RECT turned = StoredToTurnedRange({at.x, at.y, at.x + 1, at.y + 1}, rotation, size);
            EXPECT_EQ(turned, (RECT{found.x, found.y, found.x + 1, found.y + 1}))
                << "rotation " << rotation << " at " << at.x << "," << at.y;
            EXPECT_EQ(size.cx, rotation % 2 ? stored.cy : stored.cx);
        }
    }
}

TEST(PictureRangeRanges, TheBandBecomesARangeInsideThePicture)
{
    const CPictureViewGeometry g = Make({400, 300}, {400, 300}, 100);
    EXPECT_EQ(RangeFromBand(g, {10, 10, 50, 30}, false), (RECT{10, 10, 50, 30}));
    EXPECT_EQ(RangeFromBand(g, {50, 30, 10, 10}, false), (RECT{10, 10, 50, 30}));
    EXPECT_EQ(RangeFromBand(g, {100, 100, 500, -20}, false), (RECT{100, 0, 400, 100}));
    // Squared from the corner where the drag started, whichever way it went.
    EXPECT_EQ(RangeFromBand(g, {100, 100, 150, 120}, true), (RECT{100, 100, 120, 120}));
    EXPECT_EQ(RangeFromBand(g, {100, 100, 60, 20}, true), (RECT{60, 60, 100, 100}));
    // A band of no width or height chooses nothing.
    EXPECT_TRUE(RangeFromBand(g, {100, 100, 100, 200}, false).IsEmpty());
    EXPECT_EQ(RangeFromBand(g, {100, 100, 100, 200}, false), (RECT{}));
    EXPECT_EQ(RangeFromBand(g, {100, 100, 140, 100}, true), (RECT{}));
}

TEST(PictureRangeRanges, OkRefusesWhatTheFrameWouldEnlargePastTheLimit)
{
    struct Case
    {
        RECT range;
        RangeVerdict verdict;
    };
    const Case cases[] = {
        {{0, 0, 10, 300}, RangeVerdict::Refuse},       // 160 x 4800
        {{0, 0, 300, 10}, RangeVerdict::Refuse},       // 4800 x 160
        {{0, 0, 100, 2000}, RangeVerdict::Write},      // 160 x 3200
        {{0, 0, 200, 5000}, RangeVerdict::Write},      // both sides at least 160
        {{5, 5, 165, 4100}, RangeVerdict::Write},      // 160 x 4095
        {{0, 0, 159, 4095}, RangeVerdict::Refuse},     // 160 x 4121
        {{0, 0, 0, 0}, RangeVerdict::WriteEmpty},      // pressed and released
        {{40, 10, 40, 300}, RangeVerdict::WriteEmpty}, // no width
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckPictureRange(c.range), c.verdict) << Show(c.range);
}

TEST(PictureRangeRanges, AStoredWindowRectangleMovesInsideTheWorkAreaKeepingItsSize)
{
    const RECT area{0, 0, 1920, 1040};
    EXPECT_EQ(PlaceInsideWorkArea({1800, 100, 2200, 500}, area), (RECT{1520, 100, 1920, 500}));
    EXPECT_EQ(PlaceInsideWorkArea({-100, -50, 300, 350}, area), (RECT{0, 0, 400, 400}));
    EXPECT_EQ(PlaceInsideWorkArea({100, 900, 500, 1300}, area), (RECT{100, 640, 500, 1040}));
    EXPECT_EQ(PlaceInsideWorkArea({200, 100, 600, 500}, area), (RECT{200, 100, 600, 500}));
    // Larger than the work area: its top-left corner stays on it.
    EXPECT_EQ(PlaceInsideWorkArea({-100, 0, 2100, 400}, area), (RECT{0, 0, 2200, 400}));
}

} // namespace
