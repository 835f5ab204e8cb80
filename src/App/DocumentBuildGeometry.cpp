#include "App/DocumentBuildGeometry.h"

#include "Layout/LayoutManager.h"

std::int64_t PageTurnHeight(const CLayoutManager& layout)
{
    const PageMargins margins = layout.GetMargins();
    return std::int64_t{layout.GetPaperSize().cy} - margins.top - margins.bottom;
}

WideRect TurnRecordRect(const WideRect& rect, int orientation, std::int64_t turnHeight)
{
    if (orientation != 1)
        return rect;
    return WideRect{rect.top, turnHeight - rect.right, rect.bottom, turnHeight - rect.left};
}

bool FitsPrintable(const CLayoutManager& layout, const WideRect& rect)
{
    const RECT p = layout.GetPrintableRect();
    const auto inside = [&](std::int64_t x, std::int64_t y) {
        return x >= p.left && x < std::int64_t{p.right} + 1 && y >= p.top && y < std::int64_t{p.bottom} + 1;
    };
    return inside(rect.left, rect.top) && inside(rect.right, rect.bottom);
}

RECT NarrowRect(const WideRect& rect)
{
    return RECT{static_cast<std::int32_t>(rect.left), static_cast<std::int32_t>(rect.top),
                static_cast<std::int32_t>(rect.right), static_cast<std::int32_t>(rect.bottom)};
}
