#include "Core/Geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Products in 64 bits, so that large rectangles cannot overflow; a zero
// divisor gives 0 instead of a fault.
int MulDiv(std::int64_t a, std::int64_t b, std::int64_t c)
{
    return c == 0 ? 0 : static_cast<int>(a * b / c);
}

int ClampInto(int value, int low, int high)
{
    return std::min(std::max(value, low), high);
}

} // namespace

Rect RotateRect90(const Rect& rect)
{
    const int cx = (rect.left + rect.right) / 2;
    const int cy = (rect.top + rect.bottom) / 2;
    const int w = rect.Width();
    const int h = rect.Height();
    Rect out;
    out.left = cx - h / 2;
    out.top = cy - w / 2;
    out.right = out.left + h;
    out.bottom = out.top + w;
    return out;
}

Rect FitRectInRect(const Rect& bounds, const Rect& source, bool centre, bool enlarge)
{
    const int bw = bounds.Width(), bh = bounds.Height();
    const int sw = source.Width(), sh = source.Height();
    if (sw < 1 && sh < 1)
        return {};
    const bool taller = std::int64_t{bw} * sh > std::int64_t{bh} * sw;
    int width = sw, height = sh;
    bool placeByCentre = centre;
    Rect out;
    if (sw > bw && !taller) {
        width = bw;
        height = MulDiv(bw, sh, sw);
        out.left = bounds.left;
        out.top = centre ? bounds.top + (bh - height) / 2 : bounds.top;
        placeByCentre = false;
    } else if (sh > bh && taller) {
        height = bh;
        width = MulDiv(bh, sw, sh);
        out.top = bounds.top;
        out.left = centre ? bounds.left + (bw - width) / 2 : bounds.left;
        placeByCentre = false;
    } else {
        if (enlarge && taller) {
            height = bh;
            width = MulDiv(bh, sw, sh);
        } else if (enlarge) {
            width = bw;
            height = MulDiv(bw, sh, sw);
        }
        out.left = bounds.left;
        out.top = bounds.top;
    }
    if (placeByCentre) {
        out.left = bounds.left + (bw - width) / 2;
        out.top = bounds.top + (bh - height) / 2;
    }
    out.right = out.left + width;
    out.bottom = out.top + height;
    return out;
}

Rect ClipRectToBounds(const Rect& bounds, const Rect& rect)
{
    Rect out;
    out.left = ClampInto(rect.left, bounds.left, bounds.right);
    out.right = ClampInto(rect.right, bounds.left, bounds.right);
    out.top = ClampInto(rect.top, bounds.top, bounds.bottom);
    out.bottom = ClampInto(rect.bottom, bounds.top, bounds.bottom);
    const bool lostWidth =
        out.Width() <= 0 && rect.Width() > 0 && (out.left == bounds.left || out.left == bounds.right);
    const bool lostHeight =
        out.Height() <= 0 && rect.Height() > 0 && (out.top == bounds.top || out.top == bounds.bottom);
    if (lostWidth || lostHeight)
        return {};
    return out;
}

Rect CalcAspectFitRect(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight, bool fit,
                       double* scale)
{
    if (pictureWidth < 1 || pictureHeight < 1 || boxWidth < 1 || boxHeight < 1) {
        if (scale)
            *scale = 0.0;
        return {};
    }
    const double w = pictureWidth, h = pictureHeight, W = boxWidth, H = boxHeight;
    const double a = w / W;
    const double b = h / H;
    const bool wider = a >= b;
    double factor;
    Rect out;
    if (fit && wider) {
        factor = 1.0 / a;
        const int y = std::min(static_cast<int>(std::ceil(h / a)), boxHeight);
        out = {0, (boxHeight - y) / 2, boxWidth, (boxHeight - y) / 2 + y};
    } else if (fit) {
        factor = 1.0 / b;
        const int x = std::min(static_cast<int>(std::ceil(w / b)), boxWidth);
        out = {(boxWidth - x) / 2, 0, (boxWidth - x) / 2 + x, boxHeight};
    } else if (wider) {
        factor = 1.0 / b;
        const int x = static_cast<int>(std::ceil(w / b));
        out = {(x - boxWidth) / 2, 0, (x - boxWidth) / 2 + x, boxHeight};
    } else {
        factor = 1.0 / a;
        const int y = static_cast<int>(std::ceil(h / a));
        out = {0, (y - boxHeight) / 2, boxWidth, (y - boxHeight) / 2 + y};
    }
    if (scale)
        *scale = factor;
    return out;
}

void AdjustRectToAspect(Rect& rect, int aspectWidth, int aspectHeight, int mode, int anchor)
{
    if (anchor < 0 || anchor > 3)
        return;
    const std::int64_t W = rect.Width(), H = rect.Height(), aw = aspectWidth, ah = aspectHeight;
    std::int64_t width = W, height = H;
    if (mode == 0 && aw * H != 0 && ah * W != 0) {
        const double ratio = static_cast<double>(ah * W) / static_cast<double>(aw * H);
        if (ratio < 1.0)
            height = static_cast<std::int64_t>(std::floor(static_cast<double>(H * ah * W) / (aw * H)));
        else
            width = static_cast<std::int64_t>(std::floor(static_cast<double>(W * aw * H) / (ah * W)));
    } else if (mode == 1 && aw != 0) {
        height = static_cast<std::int64_t>(std::floor(static_cast<double>(ah * W) / aw));
    } else if (mode == 2 && ah != 0) {
        width = static_cast<std::int64_t>(std::floor(static_cast<double>(aw * H) / ah));
    }
    const int newWidth = static_cast<int>(std::clamp<std::int64_t>(width, 1, INT32_MAX / 2));
    const int newHeight = static_cast<int>(std::clamp<std::int64_t>(height, 1, INT32_MAX / 2));
    const bool keepRight = anchor == 1 || anchor == 3;
    const bool keepBottom = anchor == 2 || anchor == 3;
    if (keepRight)
        rect.left = rect.right - newWidth;
    else
        rect.right = rect.left + newWidth;
    if (keepBottom)
        rect.top = rect.bottom - newHeight;
    else
        rect.bottom = rect.top + newHeight;
}
