#include "App/WindowPlacement.h"

#include "App/AppSettings.h"

#include <algorithm>

namespace {

// One axis of the fit: [low, high) into [areaLow, areaHigh).
void FitAxis(int& low, int& high, int areaLow, int areaHigh, bool cut)
{
    if (high > areaHigh) {
        const int excess = high - areaHigh;
        low -= excess;
        high -= excess;
        if (cut && low < areaLow)
            low = areaLow;
    } else if (low < areaLow) {
        const int shortfall = areaLow - low;
        low += shortfall;
        high += shortfall;
        if (cut && high > areaHigh)
            high = areaHigh;
    }
}

Rect Sized(Point topLeft, const Rect& like)
{
    return Rect{topLeft.x, topLeft.y, topLeft.x + (like.right - like.left),
                topLeft.y + (like.bottom - like.top)};
}

// Moves left or up only, never right or down.
Rect PullBackInside(Rect rect, const Rect& workArea)
{
    if (rect.right > workArea.right) {
        const int excess = rect.right - workArea.right;
        rect.left -= excess;
        rect.right -= excess;
    }
    if (rect.bottom > workArea.bottom) {
        const int excess = rect.bottom - workArea.bottom;
        rect.top -= excess;
        rect.bottom -= excess;
    }
    return rect;
}

} // namespace

Rect FitRectToWorkArea(const Rect& stored, const Rect& workArea)
{
    Rect rect = stored;
    FitAxis(rect.left, rect.right, workArea.left, workArea.right, true);
    FitAxis(rect.top, rect.bottom, workArea.top, workArea.bottom, true);
    return rect;
}

Rect FirstStartMainWindow(const Rect& current, const Rect& workArea, const FirstStartRoom& room)
{
    Rect area = workArea;
    area.right = std::max(area.left + 1, area.right - room.besideWidth);
    area.bottom = std::max(area.top + 1, area.bottom - room.belowHeight);
    const int height = area.bottom - area.top;
    int width = room.menuBarWidth;
    if (room.paperWidth > 0 && room.paperHeight > 0) {
        const long long pageHeight = std::max(0, height - room.chromeHeight - 2 * room.pageMargin);
        const long long pageWidth = pageHeight * room.paperWidth / room.paperHeight;
        width =
            static_cast<int>(std::max<long long>(width, pageWidth + 2 * room.pageMargin + room.chromeWidth));
    }
    width = std::min(width, area.right - area.left);
    return FitRectToWorkArea(Rect{current.left, current.top, current.left + width, current.top + height},
                             area);
}

Rect PlaceMainWindow(const Rect& stored, const Rect& current, const Rect& workArea,
                     const FirstStartRoom& room)
{
    if (stored.left == NeverStored || stored.top == NeverStored)
        return FirstStartMainWindow(current, workArea, room);
    return FitRectToWorkArea(stored, workArea);
}

Rect PlaceToolBoxFrame(const Rect& stored, const Rect& currentFrame, const Rect& mainWindow, int clientTop,
                       const Rect& workArea)
{
    if (stored.left == NeverStored || stored.top == NeverStored)
        return PullBackInside(
            Sized(Point{mainWindow.right, std::max(mainWindow.top, clientTop)}, currentFrame), workArea);
    return FitRectToWorkArea(stored, workArea);
}

Rect PlaceChangeModeFrame(const Point& stored, const Rect& currentFrame, const Rect& mainWindow,
                          const Rect& workArea)
{
    if (stored.x == NeverStored || stored.y == NeverStored)
        return PullBackInside(Sized(Point{mainWindow.left, mainWindow.bottom}, currentFrame), workArea);
    Rect rect = Sized(stored, currentFrame);
    FitAxis(rect.left, rect.right, workArea.left, workArea.right, false);
    FitAxis(rect.top, rect.bottom, workArea.top, workArea.bottom, false);
    return rect;
}
