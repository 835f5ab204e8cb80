#include "Layout/DragGeometry.h"

#include <algorithm>

namespace drag_geometry {

int SnapAxis(int value, int step, int origin, int low, int high)
{
    if (step < 1)
        return value;
    const int snapped = ((step / 2 - origin + value) / step) * step + origin;
    return std::max(low, std::min(snapped, LastGridLine(origin, high, step)));
}

int LastGridLine(int nearEdge, int farEdge, int step)
{
    if (step < 1)
        return farEdge;
    return (farEdge - nearEdge) / step * step + nearEdge;
}

RECT Normalized(POINT a, POINT b)
{
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

RECT Moved(RECT rect, int dx, int dy)
{
    return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

} // namespace drag_geometry
