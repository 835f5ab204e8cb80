// Small helpers of the drag geometry shared by the layout manager's mouse code.
#pragma once

#include "ImageProcessing/GdiTypes.h"

namespace drag_geometry {
// The nearest grid line (halves upwards) measured from `origin`, kept within
// [low, last grid line up to `high`]; a step below 1 leaves the value as it is.
int SnapAxis(int value, int step, int origin, int low, int high);
// The last grid line at or before `far`; `far` itself for a step below 1.
int LastGridLine(int nearEdge, int farEdge, int step);
RECT Normalized(POINT a, POINT b);
RECT Moved(RECT rect, int dx, int dy);
} // namespace drag_geometry
