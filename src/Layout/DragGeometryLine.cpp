// Dragging an end of a line: it stays horizontal or vertical, and turns when pulled farther sideways than
// along.
#include "Layout/DragGeometry.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutServices.h"
#include "Layout/LineItem.h"

#include <algorithm>
#include <cstdlib>

using namespace drag_geometry;

namespace {
// Keeps a line of thickness w on the grid of its axis and at least w long.
void SnapAlong(int& start, int& end, int moving, int step, int nearEdge, int farEdge, int w)
{
    if (moving == 0)
        start = SnapAxis(start, step, nearEdge, nearEdge, farEdge);
    else if (moving == 1)
        end = SnapAxis(end, step, nearEdge, nearEdge, farEdge);
    if (start > end)
        std::swap(start, end);
    const int last = LastGridLine(nearEdge, farEdge, step);
    if (end > farEdge) {
        end = last;
        if (end - start < w)
            start = end - w;
    } else if (end - start < w) {
        end = start + w;
        if (end > farEdge) {
            end = last;
            start = end - w;
        }
    } else {
        return;
    }
    if (start < nearEdge) {
        start = nearEdge;
        end = start + w;
    }
}
} // namespace

RECT CLayoutManager::CalcLineDragRect(const CLineItem* line, int kind, POINT point, bool* swapped) const
{
    if (!line || kind < 4 || kind > 7)
        return RECT{};
    RECT l;
    line->GetRect(&l, false);
    RECT b;
    line->GetLineBounds(&b, false);
    const int w = line->GetWidth(false, -1.0f) - 1;
    const int h = w / 2;
    const int x = point.x;
    const int y = point.y;
    RECT r{};
    bool swap = false;
    bool turned = false;
    if (kind == 4 || kind == 6) {
        if (kind == 4) {
            swap = y > b.bottom;
            r.top = swap ? l.bottom - w : y - h;
            r.bottom = swap ? y - h + w : l.bottom;
        } else {
            swap = y < b.top;
            r.top = swap ? y - h : l.top;
            r.bottom = swap ? l.top + w : y - h + w;
        }
        const int d = std::abs(b.left - x) + w;
        if (d <= r.bottom - r.top) {
            r.left = r.right = l.left;
        } else {
            turned = true;
            r.top = r.bottom = kind == 4 ? l.bottom - w : l.top;
            if (b.left < x) {
                r.left = l.left;
                r.right = l.left + d;
            } else {
                r.right = l.left + w;
                r.left = r.right - d;
            }
        }
    } else {
        if (kind == 5) {
            swap = x > b.right;
            r.left = swap ? l.right - w : x - h;
            r.right = swap ? x - h + w : l.right;
        } else {
            swap = x < b.left;
            r.left = swap ? x - h : l.left;
            r.right = swap ? l.left + w : x - h + w;
        }
        const int d = std::abs(b.top - y) + w;
        if (d <= r.right - r.left) {
            r.top = r.bottom = l.top;
        } else {
            turned = true;
            r.left = r.right = kind == 5 ? l.right - w : l.left;
            if (b.top < y) {
                r.top = l.top;
                r.bottom = l.top + d;
            } else {
                r.bottom = l.top + w;
                r.top = r.bottom - d;
            }
        }
    }

    const RECT p = GetPrintableRect();
    r.left = std::max(r.left, p.left);
    r.top = std::max(r.top, p.top);
    const bool horizontal = r.left != r.right;
    if (horizontal) {
        r.right = std::min(r.right, p.right);
        if (r.top + w > p.bottom)
            r.top = r.bottom = p.bottom - w;
    } else {
        r.bottom = std::min(r.bottom, p.bottom);
        if (r.left + w > p.right)
            r.left = r.right = p.right - w;
    }

    if (m_grid.snap && !IsActiveDocumentDSCLayout()) {
        int& start = horizontal ? r.left : r.top;
        int& end = horizontal ? r.right : r.bottom;
        // 0 the start, 1 the end, -1 neither.
        int moving = -1;
        if (!turned) {
            const bool handleAtStart = kind == 4 || kind == 5;
            moving = handleAtStart != swap ? 0 : 1;
        } else {
            const int fixedAt = (kind == 4 || kind == 6) ? l.left : l.top;
            if (start == fixedAt)
                moving = 1;
            else if (end == fixedAt)
                moving = 0;
        }
        if (horizontal)
            SnapAlong(start, end, moving, m_grid.stepX, p.left, p.right, w);
        else
            SnapAlong(start, end, moving, m_grid.stepY, p.top, p.bottom, w);
    }
    if (swapped)
        *swapped = swap;
    return r;
}
