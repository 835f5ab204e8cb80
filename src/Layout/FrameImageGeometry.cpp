#include "Core/Geometry.h"
#include "Layout/FrameImage.h"

#include <algorithm>
#include <cmath>

namespace {

int CeilDiv(long long numerator, long long denominator)
{
    return static_cast<int>(std::ceil(static_cast<double>(numerator) / static_cast<double>(denominator)));
}

int RoundUpEven(int d)
{
    return d + (d & 1);
}

} // namespace

FramePadding ComputeFramePadding(int width, int height)
{
    FramePadding pad{width, height, {0, 0}, false};
    const int boxWidth = width >= height ? 1024 : 768;
    const int boxHeight = width >= height ? 768 : 1024;
    const bool fits = width <= boxWidth && height <= boxHeight;
    const Rect fitted =
        FitRectInRect(Rect{0, 0, boxWidth, boxHeight}, Rect{0, 0, width, height}, true, false);
    const int fw = std::max(fitted.Width(), 1);
    const int fh = std::max(fitted.Height(), 1);
    if (width < kFrameImageMinSide && height < kFrameImageMinSide) {
        const int d = RoundUpEven(std::abs(width - height));
        if (width < height) {
            pad.width += d;
            pad.offset.x = d / 2;
        } else if (height < width) {
            pad.height += d;
            pad.offset.y = d / 2;
        }
        pad.small = true;
    } else if (width < kFrameImageMinSide) {
        const int d =
            RoundUpEven(fits ? kFrameImageMinSide - width
                             : CeilDiv(static_cast<long long>(kFrameImageMinSide - fw) * height, fh));
        pad.width += d;
        pad.offset.x = d / 2;
    } else if (height < kFrameImageMinSide) {
        int d = kFrameImageMinSide - height;
        if (!fits) {
            d = width > boxWidth && width > height
                    ? CeilDiv(static_cast<long long>(kFrameImageMinSide - fh) * width, fw)
                    : CeilDiv(static_cast<long long>(kFrameImageMinSide - fh) * height, fh);
        }
        d = RoundUpEven(d);
        pad.height += d;
        pad.offset.y = d / 2;
    }
    return pad;
}

RECT FrameTextLineRect(int direction, const RECT& r, int i, int a, int c)
{
    switch (direction) {
    case 1:
        return RECT{r.right - (i + 1) * a, r.top, r.right - i * a + c, r.top + c + a};
    case 2:
        return RECT{r.right - a, r.bottom - i * c - a, r.right + a, r.bottom + (1 - i) * c};
    case 3:
        return RECT{r.left + i * a, r.bottom - c, r.left + (i + 1) * a, r.bottom + a};
    default:
        return RECT{r.left, r.top + i * c, r.left + a, r.top + (i + 1) * c};
    }
}

unsigned FrameTextLineFormat(int direction)
{
    const unsigned base = DT_SINGLELINE | DT_NOPREFIX;
    switch (direction) {
    case 1:
        return base | DT_RIGHT;
    case 2:
        return base | DT_RIGHT | DT_BOTTOM;
    case 3:
        return base | DT_BOTTOM;
    default:
        return base | DT_VCENTER;
    }
}

void FrameTextShadowOffsets(int direction, bool vertical, POINT s, POINT* draw, POINT* correction)
{
    const int dx = s.x;
    const int dy = s.y;
    POINT d{0, 0};
    POINT m{0, 0};
    switch (direction) {
    case 0:
        d = vertical ? POINT{dy, -dx} : POINT{dx, dy};
        m = POINT{d.x < 0 ? -d.x : 0, d.y < 0 ? -d.y : 0};
        break;
    case 1:
        d = vertical ? POINT{dx, dy} : POINT{-dy, dx};
        m = POINT{d.x > 0 ? -d.x : 0, d.y < 0 ? -d.y : 0};
        break;
    case 2:
        d = vertical ? POINT{-dy, dx} : POINT{-dx, -dy};
        m = POINT{d.x > 0 ? -d.x : 0, d.y > 0 ? -d.y : 0};
        break;
    case 3:
        d = vertical ? POINT{-dx, -dy} : POINT{dy, -dx};
        m = POINT{d.x < 0 ? -d.x : 0, d.y > 0 ? -d.y : 0};
        break;
    default:
        break;
    }
    if (draw)
        *draw = d;
    if (correction)
        *correction = m;
}
