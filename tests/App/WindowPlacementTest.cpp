#include "App/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

const Rect WorkArea{0, 0, 1024, 740};

struct FitCase
{
    const char* name;
    Rect stored;
    Rect expected;
};

TEST(WindowPlacementTest, StoredMainWindowIsMovedThenCutIntoTheWorkArea)
{
    const FitCase cases[] = {
        {"inside", {100, 50, 600, 550}, {100, 50, 600, 550}},
        {"wider than the area", {300, 10, 1600, 500}, {0, 10, 1024, 500}},
        {"wider, starting left of it", {-500, 10, 1100, 500}, {0, 10, 1024, 500}},
        {"past the right edge", {900, 10, 1200, 500}, {724, 10, 1024, 500}},
        {"before the left edge", {-50, 10, 250, 500}, {0, 10, 300, 500}},
        {"past the bottom", {10, 600, 410, 900}, {10, 440, 410, 740}},
        {"taller than the area", {10, -20, 410, 900}, {10, 0, 410, 740}},
    };
    for (const FitCase& c : cases)
        EXPECT_EQ(PlaceMainWindow(c.stored, Rect{5, 5, 105, 105}, WorkArea), c.expected) << c.name;
}

TEST(WindowPlacementTest, NeverStoredMainWindowKeepsItsPlaceAt400By500)
{
    EXPECT_EQ(PlaceMainWindow(Rect{-32768, 30, 900, 900}, Rect{40, 60, 140, 160}, WorkArea),
              (Rect{40, 60, 440, 560}));
    EXPECT_EQ(PlaceMainWindow(Rect{30, -32768, 900, 900}, Rect{40, 60, 140, 160}, WorkArea),
              (Rect{40, 60, 440, 560}));
}

TEST(WindowPlacementTest, NeverStoredToolBoxSitsAtTheMainWindowsTopRightMovedBackByTheExcess)
{
    const Rect never{-32768, -32768, -65536, -65536};
    const Rect frame{0, 0, 280, 380};
    EXPECT_EQ(PlaceToolBoxFrame(never, frame, Rect{100, 50, 500, 550}, WorkArea), (Rect{500, 50, 780, 430}));
    // 880 + 280 passes 1024 by 136; 500 + 380 passes 740 by 140.
    EXPECT_EQ(PlaceToolBoxFrame(never, frame, Rect{100, 500, 880, 700}, WorkArea),
              (Rect{744, 360, 1024, 740}));
    // Never moved right or down, even when it starts left of the area.
    EXPECT_EQ(PlaceToolBoxFrame(never, frame, Rect{-600, -100, -300, 200}, WorkArea),
              (Rect{-300, -100, -20, 280}));
    // A stored one is fitted like the main window.
    EXPECT_EQ(PlaceToolBoxFrame(Rect{900, 10, 1180, 390}, frame, Rect{}, WorkArea),
              (Rect{744, 10, 1024, 390}));
}

TEST(WindowPlacementTest, ChangeModeFrameIsShiftedNeverCut)
{
    const Rect frame{0, 0, 200, 60};
    EXPECT_EQ(PlaceChangeModeFrame(Point{-32768, 5}, frame, Rect{100, 50, 500, 550}, WorkArea),
              (Rect{100, 550, 300, 610}));
    EXPECT_EQ(PlaceChangeModeFrame(Point{-32768, 5}, frame, Rect{100, 50, 500, 700}, WorkArea),
              (Rect{100, 680, 300, 740}));
    EXPECT_EQ(PlaceChangeModeFrame(Point{900, -30}, frame, Rect{}, WorkArea), (Rect{824, 0, 1024, 60}));
    const Rect wide{0, 0, 1200, 60};
    EXPECT_EQ(PlaceChangeModeFrame(Point{10, 10}, wide, Rect{}, WorkArea), (Rect{-176, 10, 1024, 70}));
}

} // namespace
