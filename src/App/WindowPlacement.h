// Where the main window and the floating bars go at start-up: pure functions
// of the stored places, the current places and the work area of the primary
// screen, so that every rule is testable without a window.
#pragma once

#include "Core/Geometry.h"

// The places the settings held when they were read, kept apart: the windows
// store their places into the settings as soon as they exist, before start-up
// has placed them.
struct StoredPlaces
{
    Rect mainWindow;
    int mainWindowMaximize = 0;
    Rect toolBox;
    Point changeMode;
};

// The stored rectangle moved into the work area, then cut at the edge it was
// moved towards when it is larger than the work area.
Rect FitRectToWorkArea(const Rect& stored, const Rect& workArea);

// What the main window makes room for at first start, in outer pixels.
struct FirstStartRoom
{
    int menuBarWidth = 0; // the window width that shows every menu of the bar
    int chromeWidth = 0;  // the window's size less the view's client area
    int chromeHeight = 0;
    int pageMargin = 0; // the view's margin around the page
    int paperWidth = 0; // the page's proportions
    int paperHeight = 0;
    int besideWidth = 0; // the floating bar placed to the window's right
    int belowHeight = 0; // the floating bar placed below the window
};

// First start: as high as the work area less the bar below, as wide as the
// page at that height and the whole menu bar need, cut to the work area less
// the bar beside; at the current top-left corner moved so that both bars
// still fit beside and below it.
Rect FirstStartMainWindow(const Rect& current, const Rect& workArea, const FirstStartRoom& room);

// A stored main window rectangle whose left or top was never stored is
// placed as at first start; else it is fitted into the work area.
Rect PlaceMainWindow(const Rect& stored, const Rect& current, const Rect& workArea,
                     const FirstStartRoom& room);

// The floating tool box: never stored, at the main window's right edge with
// its top at `clientTop` (below the window's menu bar, which the box then
// does not cover even when the window is maximised), keeping its size, moved
// left or up by what passes the work area.
Rect PlaceToolBoxFrame(const Rect& stored, const Rect& currentFrame, const Rect& mainWindow, int clientTop,
                       const Rect& workArea);

// The floating mode bar: never stored, at the main window's bottom-left
// corner; else at the stored point; shifted, never cut, into the work area.
Rect PlaceChangeModeFrame(const Point& stored, const Rect& currentFrame, const Rect& mainWindow,
                          const Rect& workArea);
