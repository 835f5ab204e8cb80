#include "Layout/PaperTable.h"

#include "Core/PaperSizes.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<float, 8> kZoomSteps{0.06666667f, 0.13333334f, 0.2f,       0.26666668f,
                                          0.45f,       0.6333333f,  0.8166667f, 1.0f};

} // namespace

SIZE GetPaperSizeFromTable(int index, int orientation, int rollLength)
{
    const auto row = GetPaperTableSize(index);
    if (!row)
        return SIZE{0, 0};
    SIZE size{row->width, row->height};
    if (IsPageTableRollPaper(index) && rollLength >= kMinRollLength && rollLength <= kMaxRollLength)
        size.cy = rollLength - 1;
    if (orientation == 1)
        std::swap(size.cx, size.cy);
    return size;
}

PageMargins GetModeMargins(int mode, int orientation)
{
    const auto row = GetPaperTableMargins(mode);
    if (!row)
        return PageMargins{};
    const PageMargins p{row->top, row->bottom, row->left, row->right};
    if (orientation != 1)
        return p;
    // The paper turned: its left and right edges become the top and bottom,
    // its top and bottom the left and right.
    return PageMargins{p.left, p.right, p.top, p.bottom};
}

RECT CalcPrintableRect(int width, int height, int orientation, const PageMargins& m)
{
    const int w = width - m.left - m.right;
    const int h = height - m.top - m.bottom;
    if (m.left <= 0)
        return RECT{0, 0, w, h};
    if (orientation == 1)
        return RECT{3, 7, w - 7, h - 3};
    return RECT{3, 3, w - 7, h - 7};
}

float NextZoomStep(float scale, bool zoomIn)
{
    if (zoomIn) {
        for (float step : kZoomSteps)
            if (step > scale)
                return step;
        return 1.0f;
    }
    if (scale > 1.0f)
        return 1.0f;
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
        if (*it < scale)
            return *it;
    return kZoomSteps.front();
}
