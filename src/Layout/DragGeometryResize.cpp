// The resize rules of boxes: free, square, fixed-aspect backgrounds and frames with an aspect kind.
#include "Core/Geometry.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/DragGeometry.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"

#include <algorithm>
#include <cstdint>

using namespace drag_geometry;

namespace {
bool MovesTop(int kind)
{
    return kind == 4 || kind == 8 || kind == 10;
}
bool MovesLeft(int kind)
{
    return kind == 5 || kind == 8 || kind == 11;
}
bool MovesBottom(int kind)
{
    return kind == 6 || kind == 9 || kind == 11;
}
bool MovesRight(int kind)
{
    return kind == 7 || kind == 9 || kind == 10;
}

int Scaled(int value, int from, int to)
{
    return static_cast<int>(static_cast<double>(value) / from * to);
}

// The background's image size in page orientation; false when it has none.
bool ImageRatio(CBackgroundImageFrameItem& background, int* w0, int* h0)
{
    const CImage* image = background.GetImageBuffer1();
    if (!image || !image->IsValid() || image->GetWidth() < 1 || image->GetHeight() < 1)
        return false;
    *w0 = image->GetWidth();
    *h0 = image->GetHeight();
    if (background.GetImageRotation() == 1 || background.GetImageRotation() == 3)
        std::swap(*w0, *h0);
    return true;
}

// The largest box of the image's ratio, anchored as the handle demands.
RECT FitBackground(int kind, RECT r, const RECT& o, const RECT& p, bool xCrossed, bool yCrossed, int w0,
                   int h0)
{
    if (kind == 5 || kind == 7) {
        int height = Scaled(r.Width(), w0, h0);
        int width = r.Width();
        const int cy = (o.top + o.bottom) / 2;
        const int m = std::min(cy - p.top, p.bottom - cy);
        if (height > 2 * m) {
            height = 2 * m;
            width = Scaled(2 * m, h0, w0);
        }
        if (kind == 5) {
            if (!xCrossed)
                r.left = o.right - width, r.right = o.right;
            else
                r.left = o.right, r.right = o.right + width;
        } else {
            if (!xCrossed)
                r.left = o.left, r.right = o.left + width;
            else
                r.right = o.left, r.left = o.left - width;
        }
        r.top = o.top + (o.Height() - height) / 2;
        r.bottom = r.top + height;
        return r;
    }
    if (kind == 4 || kind == 6) {
        int width = Scaled(r.Height(), h0, w0);
        int height = r.Height();
        const int cx = (o.left + o.right) / 2;
        const int m = std::min(cx - p.left, p.right - cx);
        if (width > 2 * m) {
            width = 2 * m;
            height = Scaled(2 * m, w0, h0);
        }
        if (kind == 4) {
            if (!yCrossed)
                r.top = o.bottom - height, r.bottom = o.bottom;
            else
                r.top = o.bottom, r.bottom = o.bottom + height;
        } else {
            if (!yCrossed)
                r.top = o.top, r.bottom = o.top + height;
            else
                r.bottom = o.top, r.top = o.top - height;
        }
        r.left = o.left + (o.Width() - width) / 2;
        r.right = r.left + width;
        return r;
    }
    if (std::int64_t(r.Width()) * h0 > std::int64_t(r.Height()) * w0) {
        const int width = Scaled(r.Height(), h0, w0);
        if (MovesLeft(kind)) {
            if (!xCrossed)
                r.left = o.right - width;
            else
                r.right = o.right + width;
        } else {
            if (!xCrossed)
                r.right = o.left + width;
            else
                r.left = o.left - width;
        }
    } else {
        const int height = Scaled(r.Width(), w0, h0);
        if (MovesTop(kind)) {
            if (!yCrossed)
                r.top = o.bottom - height;
            else
                r.bottom = o.bottom + height;
        } else {
            if (!yCrossed)
                r.bottom = o.top + height;
            else
                r.top = o.top - height;
        }
    }
    return r;
}

// Shift's square, held at the edge or corner that does not move.
RECT Square(int kind, RECT r, const RECT& o, const RECT& p, bool xCrossed, bool yCrossed)
{
    auto placeX = [&](int extent) {
        if (MovesLeft(kind) != xCrossed)
            r.left = r.right - extent;
        else
            r.right = r.left + extent;
    };
    auto placeY = [&](int extent) {
        if (MovesTop(kind) != yCrossed)
            r.top = r.bottom - extent;
        else
            r.bottom = r.top + extent;
    };
    if (kind >= 8) {
        const int s = std::min(r.Width(), r.Height());
        placeX(s);
        placeY(s);
    } else if (kind == 5 || kind == 7) {
        const int cy = (o.top + o.bottom) / 2;
        const int s = std::min(r.Width(), 2 * std::min(cy - p.top, p.bottom - cy));
        placeX(s);
        r.top = cy - s / 2;
        r.bottom = r.top + s;
    } else {
        const int cx = (o.left + o.right) / 2;
        const int s = std::min(r.Height(), 2 * std::min(cx - p.left, p.right - cx));
        placeY(s);
        r.left = cx - s / 2;
        r.right = r.left + s;
    }
    return r;
}
} // namespace

RECT CLayoutManager::CalcResizeRect(const CEditItem* frame, POINT* point, bool* swapped) const
{
    CLayoutItem* target = frame ? frame->GetTargetItem() : nullptr;
    if (!target || IsKindOf<CLineItem>(target))
        return RECT{};
    RECT o;
    target->GetRect(&o, false);
    RECT r;
    frame->GetRect(&r, false);
    const POINT p = SnapPoint(point ? *point : POINT{});
    if (point)
        *point = p;
    const RECT printable = GetPrintableRect();
    const int kind = frame->GetHandleKind();
    bool xCrossed = false;
    bool yCrossed = false;
    bool swap = false;
    if (kind >= 4 && kind <= 11) {
        if (MovesTop(kind)) {
            yCrossed = p.y > o.bottom;
            r.top = yCrossed ? o.bottom : p.y;
            r.bottom = yCrossed ? p.y : o.bottom;
        }
        if (MovesBottom(kind)) {
            yCrossed = p.y < o.top;
            r.top = yCrossed ? p.y : o.top;
            r.bottom = yCrossed ? o.top : p.y;
        }
        if (MovesLeft(kind)) {
            xCrossed = p.x > o.right;
            r.left = xCrossed ? o.right : p.x;
            r.right = xCrossed ? p.x : o.right;
        }
        if (MovesRight(kind)) {
            xCrossed = p.x < o.left;
            r.left = xCrossed ? p.x : o.left;
            r.right = xCrossed ? o.left : p.x;
        }
        swap = xCrossed != yCrossed;
    }
    if (swapped)
        *swapped = swap;
    if (kind < 4 || kind > 11)
        return r;

    if (auto* background = dynamic_cast<CBackgroundImageFrameItem*>(target);
        background && background->IsAspectFixed()) {
        int w0 = 0;
        int h0 = 0;
        if (ImageRatio(*background, &w0, &h0))
            return FitBackground(kind, r, o, printable, xCrossed, yCrossed, w0, h0);
        return r;
    }
    if (const auto* insert = dynamic_cast<const CInsertImageFrameItem*>(target);
        insert && insert->GetAspectKind() != CInsertImageFrameItem::AspectFree)
        return FitAndAlign(kind, &xCrossed, &yCrossed, insert, r);
    if (!IsKindOf<CMacroStringItem>(target) && IsShiftHeld())
        return Square(kind, r, o, printable, xCrossed, yCrossed);
    return r;
}

namespace {
int MirrorKind(int kind, bool xCrossed, bool yCrossed)
{
    if (xCrossed) {
        static const int x[12] = {0, 1, 2, 3, 4, 7, 6, 5, 10, 11, 8, 9};
        kind = x[kind];
    }
    if (yCrossed) {
        static const int y[12] = {0, 1, 2, 3, 6, 5, 4, 7, 11, 10, 9, 8};
        kind = y[kind];
    }
    return kind;
}

// The fitting of one rect: the kept side or corner, then a side kind centred on the dragged rect.
RECT Fit(int kind, RECT c, const RECT& dragged, int aw, int ah)
{
    int mode = 0;
    int anchor = 0;
    switch (kind) {
    case 4:
        mode = 2, anchor = 2;
        break;
    case 5:
        mode = 1, anchor = 1;
        break;
    case 6:
        mode = 2, anchor = 0;
        break;
    case 7:
        mode = 1, anchor = 0;
        break;
    case 8:
        anchor = 3;
        break;
    case 9:
        anchor = 0;
        break;
    case 10:
        anchor = 2;
        break;
    case 11:
        anchor = 1;
        break;
    default:
        break;
    }
    AdjustRectToAspect(c, aw, ah, mode, anchor);
    if (kind == 4 || kind == 6) {
        const int width = c.Width();
        c.left = (dragged.left + dragged.right) / 2 - width / 2;
        c.right = c.left + width;
    } else if (kind == 5 || kind == 7) {
        const int height = c.Height();
        c.top = (dragged.top + dragged.bottom) / 2 - height / 2;
        c.bottom = c.top + height;
    }
    return c;
}

bool Inside(const RECT& r, const RECT& p)
{
    return r.left >= p.left && r.top >= p.top && r.right <= p.right && r.bottom <= p.bottom;
}
} // namespace

RECT CLayoutManager::FitAndAlign(int kind, bool* xCrossed, bool* yCrossed, const CInsertImageFrameItem* frame,
                                 RECT rect) const
{
    const RECT printable = GetPrintableRect();
    if (rect.Width() == 0) {
        if (rect.left == printable.right)
            rect.left = rect.right - 1;
        else
            rect.right = rect.left + 1;
    }
    if (rect.Height() == 0) {
        if (rect.top == printable.bottom)
            rect.top = rect.bottom - 1;
        else
            rect.bottom = rect.top + 1;
    }
    const RECT clipped = ClipRectToBounds(printable, rect);
    int aw = 1;
    int ah = 1;
    if (frame)
        frame->GetAspectRatio(&aw, &ah);
    if (kind >= 0 && kind <= 11)
        kind = MirrorKind(kind, xCrossed && *xCrossed, yCrossed && *yCrossed);
    RECT fitted = Fit(kind, clipped, rect, aw, ah);
    if (!Inside(fitted, printable))
        fitted = Fit(kind, rect, rect, aw, ah);
    return fitted;
}
