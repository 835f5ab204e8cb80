#include "Dialogs/PictureRange.h"

#include "CUtilFilter/Rotate.h"
#include "Core/ErrorCheck.h"
#include "Core/Geometry.h"
#include "Core/PictureLimits.h"

#include <algorithm>
#include <cstdint>

namespace {

// One quarter turn into a new buffer; direction 1 clockwise, 0 counter-clockwise.
void TurnOnce(PageBuffer& pixels, SIZE& size, int direction)
{
    PageBuffer turned = AllocPageBuffer(std::uint64_t{4} * static_cast<std::uint64_t>(size.cx) *
                                        static_cast<std::uint64_t>(size.cy));
    NullCheck(turned.get(), ErrorIdReported);
    CRotate rotate;
    BoolCheck(
        rotate.ExecuteOnBuffers(direction, pixels.get(), size.cx, size.cy, turned.get(), size.cy, size.cx),
        ErrorIdReported);
    pixels = std::move(turned);
    size = SIZE{size.cy, size.cx};
}

// Picture coordinates of a client point, kept within the picture.
POINT PicturePointIn(const CPictureViewGeometry& geometry, POINT client)
{
    const POINT p = geometry.ClientToPicture(client);
    const SIZE size = geometry.GetPictureSize();
    return POINT{std::clamp(p.x, 0, size.cx), std::clamp(p.y, 0, size.cy)};
}

} // namespace

RECT StoredToTurnedRange(const RECT& r, int rotation, SIZE turned)
{
    const int W = turned.cx, H = turned.cy;
    switch (rotation) {
    case 1:
        return RECT{W - r.bottom, r.left, W - r.top, r.right};
    case 2:
        return RECT{W - r.right, H - r.bottom, W - r.left, H - r.top};
    case 3:
        return RECT{r.top, H - r.right, r.bottom, H - r.left};
    default:
        return r;
    }
}

RECT TurnedToStoredRange(const RECT& r, int rotation, SIZE turned)
{
    const int W = turned.cx, H = turned.cy;
    switch (rotation) {
    case 1:
        return RECT{r.top, W - r.right, r.bottom, W - r.left};
    case 2:
        return RECT{W - r.right, H - r.bottom, W - r.left, H - r.top};
    case 3:
        return RECT{H - r.bottom, r.left, H - r.top, r.right};
    default:
        return r;
    }
}

void TurnPicture(PageBuffer& pixels, SIZE& size, int rotation)
{
    switch (rotation) {
    case 1:
        TurnOnce(pixels, size, 1);
        break;
    case 2:
        TurnOnce(pixels, size, 1);
        TurnOnce(pixels, size, 1);
        break;
    case 3:
        TurnOnce(pixels, size, 0);
        break;
    default:
        break;
    }
}

RECT RangeFromBand(const CPictureViewGeometry& geometry, const RECT& band, bool square)
{
    const POINT anchor = PicturePointIn(geometry, POINT{band.left, band.top});
    const POINT moving = PicturePointIn(geometry, POINT{band.right, band.bottom});
    const RECT range = square ? SquareFromAnchor(anchor, moving)
                              : NormalizedRect(RECT{anchor.x, anchor.y, moving.x, moving.y});
    return range.IsEmpty() ? RECT{} : range;
}

RangeVerdict CheckPictureRange(const RECT& range)
{
    // An empty range would be scaled by its own zero sides; it stands for the whole picture.
    if (range.IsEmpty())
        return RangeVerdict::WriteEmpty;
    return FitsPictureLimits(range.Width(), range.Height()) ? RangeVerdict::Write : RangeVerdict::Refuse;
}

RECT PlaceInsideWorkArea(const RECT& window, const RECT& workArea)
{
    const auto place = [](int low, int high, int areaLow, int areaHigh) {
        if (high > areaHigh)
            return std::max(low - (high - areaHigh), areaLow);
        if (low < areaLow)
            return std::min(areaLow, areaHigh);
        return low;
    };
    const int left = place(window.left, window.right, workArea.left, workArea.right);
    const int top = place(window.top, window.bottom, workArea.top, workArea.bottom);
    return RECT{left, top, left + window.Width(), top + window.Height()};
}
