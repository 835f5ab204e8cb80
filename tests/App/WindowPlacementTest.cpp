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
        EXPECT_EQ(PlaceMainWindow(c.stored, Rect{5, 5, 105, 105}, WorkArea, FirstStartRoom{}), c.expected)
            << c.name;
}

// A tall page, the menus of a wide bar, a tool box 280 wide and a mode bar 60 high.
FirstStartRoom Room(int menuBarWidth, int paperWidth, int paperHeight)
{
    FirstStartRoom room;
    room.menuBarWidth = menuBarWidth;
    room.chromeWidth = 10;
    room.chromeHeight = 80;
    room.pageMargin = 15;
    room.paperWidth = paperWidth;
    room.paperHeight = paperHeight;
    room.besideWidth = 280;
    room.belowHeight = 60;
    return room;
}

// First start: the whole height above the mode bar; wide enough for the page
// at that height and for the whole menu bar; never into the tool box's room.
TEST(WindowPlacementTest, NeverStoredMainWindowShowsItsMenusAndPageAndLeavesRoomForTheBars)
{
    struct Case
    {
        const char* name;
        FirstStartRoom room;
        Rect current;
        Rect expected;
    };
    // Height 740 - 60 = 680; the page 680 - 80 - 30 = 570 high.
    const Case cases[] = {
        // 570 * 100 / 150 = 380 wide, + 30 + 10.
        {"page wider than the menus", Room(300, 100, 150), {40, 0, 140, 100}, {40, 0, 460, 680}},
        {"menus wider than the page", Room(600, 100, 150), {40, 0, 140, 100}, {40, 0, 640, 680}},
        // 570 * 150 / 100 = 855 + 40 = 895, cut to 1024 - 280 = 744.
        {"wide page cut at the tool box", Room(300, 150, 100), {0, 0, 100, 100}, {0, 0, 744, 680}},
        // Moved left and up so that the tool box and the mode bar fit too.
        {"moved back for the bars", Room(600, 100, 150), {300, 200, 400, 300}, {144, 0, 744, 680}},
        {"without a page", Room(500, 0, 0), {10, 20, 110, 120}, {10, 0, 510, 680}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceMainWindow(Rect{-32768, 30, 900, 900}, c.current, WorkArea, c.room), c.expected)
            << c.name;
        EXPECT_EQ(PlaceMainWindow(Rect{30, -32768, 900, 900}, c.current, WorkArea, c.room), c.expected)
            << c.name;
    }
    // A stored place is kept as stored, whatever the first start would make room for.
    EXPECT_EQ(PlaceMainWindow(Rect{100, 50, 600, 550}, Rect{}, WorkArea, Room(900, 100, 150)),
              (Rect{100, 50, 600, 550}));
}

TEST(WindowPlacementTest, NeverStoredToolBoxSitsAtTheMainWindowsTopRightMovedBackByTheExcess)
{
    const Rect never{-32768, -32768, -65536, -65536};
    const Rect frame{0, 0, 280, 380};
    EXPECT_EQ(PlaceToolBoxFrame(never, frame, Rect{100, 50, 500, 550}, 50, WorkArea),
              (Rect{500, 50, 780, 430}));
    // Its top is level with the bottom of the window's menu bar, so that a
    // maximised window keeps its menus uncovered.
    EXPECT_EQ(PlaceToolBoxFrame(never, frame, Rect{100, 50, 500, 550}, 95, WorkArea),
              (Rect{500, 95, 780, 475}));
    // 880 + 280 passes 1024 by 136; 500 + 380 passes 740 by 140.
    EXPECT_EQ(PlaceToolBoxFrame(never, frame, Rect{100, 500, 880, 700}, 500, WorkArea),
              (Rect{744, 360, 1024, 740}));
    // Never moved right or down, even when it starts left of the area.
    EXPECT_EQ(PlaceToolBoxFrame(never, frame, Rect{-600, -100, -300, 200}, -100, WorkArea),
              (Rect{-300, -100, -20, 280}));
    // A stored one is fitted like the main window.
    EXPECT_EQ(PlaceToolBoxFrame(Rect{900, 10, 1180, 390}, frame, Rect{}, 95, WorkArea),
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
