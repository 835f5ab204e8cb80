// Grid snapping, the move offset and the outlines of the creation tools.
#include "Layout/DragGeometry.h"
#include "Layout/LayoutItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutServices.h"

#include <algorithm>
#include <cstdlib>

using namespace drag_geometry;

POINT CLayoutManager::SnapPoint(POINT point, const RECT* bound) const
{
    const RECT printable = GetPrintableRect();
    const RECT b = bound ? *bound : printable;
    int x = std::min(std::max(point.x, b.left), b.right);
    int y = std::min(std::max(point.y, b.top), b.bottom);
    if (m_grid.snap && !IsActiveDocumentDSCLayout()) {
        x = SnapAxis(x, m_grid.stepX, printable.left, b.left, b.right);
        y = SnapAxis(y, m_grid.stepY, printable.top, b.top, b.bottom);
    }
    return POINT{x, y};
}

namespace {
// Pulls a start back by whole grid steps until start + extent fits before the far edge.
int PullBack(int start, int extent, int step, int nearEdge, int farEdge)
{
    const int over = start + extent - farEdge;
    if (over <= 0)
        return start;
    const int unit = std::max(step, 1);
    start -= (over + unit - 1) / unit * unit;
    return std::max(start, nearEdge);
}
} // namespace

POINT CLayoutManager::MoveEditFrames(POINT offset) const
{
    const RECT printable = GetPrintableRect();
    RECT r = Moved(m_dragRect, offset.x, offset.y);
    if (r.right > printable.right)
        r = Moved(r, printable.right - r.right, 0);
    if (r.bottom > printable.bottom)
        r = Moved(r, 0, printable.bottom - r.bottom);
    POINT s = SnapPoint(POINT{r.left, r.top});
    s.x = PullBack(s.x, r.Width(), m_grid.stepX, printable.left, printable.right);
    s.y = PullBack(s.y, r.Height(), m_grid.stepY, printable.top, printable.bottom);
    return POINT{s.x - m_dragRect.left, s.y - m_dragRect.top};
}

RECT CLayoutManager::GetEditFrameRect(bool scaled, bool follow) const
{
    RECT r = m_dragRect;
    if (scaled)
        ScaleRect(&r, GetScale());
    if (follow && !m_editFrames.empty() && m_editFrames.front() && m_editFrames.front()->GetTargetItem()) {
        RECT frame;
        RECT item;
        m_editFrames.front()->GetRect(&frame, false);
        m_editFrames.front()->GetTargetItem()->GetRect(&item, false);
        if (scaled) {
            ScaleRect(&frame, GetScale());
            ScaleRect(&item, GetScale());
        }
        r = Moved(r, frame.left - item.left, frame.top - item.top);
    }
    return r;
}

RECT CLayoutManager::GetBoxToolRect(POINT press, POINT pointer) const
{
    const POINT a = SnapPoint(press);
    POINT b = SnapPoint(pointer);
    if (IsShiftHeld()) {
        const int dx = std::abs(a.x - b.x);
        const int dy = std::abs(a.y - b.y);
        if (dx < dy)
            b.y = b.y >= a.y ? a.y + dx : a.y - dx;
        else
            b.x = b.x >= a.x ? a.x + dy : a.x - dy;
    }
    return Normalized(a, b);
}

RECT CLayoutManager::GetLineToolRect(POINT press, POINT pointer, bool vertical) const
{
    const RECT printable = GetPrintableRect();
    const int w = m_itemDefaults.lineWidth - 1;
    const int h = w / 2;
    // Written for a vertical line; a horizontal one runs the same with the axes exchanged.
    auto across = [vertical](POINT& p) -> int& { return vertical ? p.x : p.y; };
    auto along = [vertical](POINT& p) -> int& { return vertical ? p.y : p.x; };
    const int farEdge = vertical ? printable.right : printable.bottom;

    across(press) -= h;
    if (across(press) + w > farEdge)
        across(press) = farEdge - w;
    across(pointer) = across(press) + w;
    const bool forward = along(press) < along(pointer);
    if (forward) {
        along(press) -= h;
        along(pointer) += w - h;
    } else {
        along(pointer) -= h;
        along(press) += w - h;
    }
    POINT a = SnapPoint(press);
    POINT b = SnapPoint(pointer);
    across(a) = across(b) = across(a) + h;
    if (forward) {
        along(a) += h;
        along(b) += h - w;
        along(b) = std::max(along(b), along(a));
    } else {
        along(b) += h;
        along(a) += h - w;
        along(a) = std::max(along(a), along(b));
    }
    return Normalized(a, b);
}
