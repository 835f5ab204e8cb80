#include "Layout/PaperTable.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<SIZE, kPaperSizeCount> kPaperSizes{{
    {1417, 2097}, {1488, 2097}, {1610, 2485}, {2976, 4209}, {4209, 5952}, {4662, 6845},
    {1261, 499},  {1417, 499},  {2976, 499},  {4662, 499},  {1800, 499},  {1440, 499},
    {2976, 8418}, {3060, 3960}, {1800, 2880}, {1800, 2520}, {1417, 2125}, {1260, 1800},
    {1440, 2160}, {2880, 3600}, {3960, 5040}, {3960, 6120}, {780, 1290},  {765, 1219},
}};

// Portrait margins; landscape turns them a quarter (see GetModeMargins).
constexpr std::array<PageMargins, kMarginModeCount> kPortraitMargins{{
    {42, 42, 42, 42},
    {42, 198, 42, 42},
    {-42, -72, -36, -36},
    {0, 0, -36, -36},
    {-36, -36, -36, -36},
    {-42, -72, -50, -50},
    {-36, -50, -26, -26},
}};

constexpr std::array<float, 8> kZoomSteps{0.06666667f, 0.13333334f, 0.2f,       0.26666668f,
                                          0.45f,       0.6333333f,  0.8166667f, 1.0f};

} // namespace

SIZE GetPaperSizeFromTable(int index, int orientation, int rollLength)
{
    if (index < 0 || index >= kPaperSizeCount)
        return SIZE{0, 0};
    SIZE size = kPaperSizes[static_cast<std::size_t>(index)];
    if (IsPageTableRollPaper(index) && rollLength >= kMinRollLength && rollLength <= kMaxRollLength)
        size.cy = rollLength - 1;
    if (orientation == 1)
        std::swap(size.cx, size.cy);
    return size;
}

PageMargins GetModeMargins(int mode, int orientation)
{
    if (mode < 0 || mode >= kMarginModeCount)
        return PageMargins{};
    const PageMargins& p = kPortraitMargins[static_cast<std::size_t>(mode)];
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
