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

// A stored main window rectangle whose left or top was never stored keeps the
// current position with a size of 400 x 500.
Rect PlaceMainWindow(const Rect& stored, const Rect& current, const Rect& workArea);

// The floating tool box: never stored, at the main window's top-right corner
// keeping its size, moved left or up by what passes the work area.
Rect PlaceToolBoxFrame(const Rect& stored, const Rect& currentFrame, const Rect& mainWindow,
                       const Rect& workArea);

// The floating mode bar: never stored, at the main window's bottom-left
// corner; else at the stored point; shifted, never cut, into the work area.
Rect PlaceChangeModeFrame(const Point& stored, const Rect& currentFrame, const Rect& mainWindow,
                          const Rect& workArea);
