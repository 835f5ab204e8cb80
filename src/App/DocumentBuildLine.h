// A line record of either file as a line item of the page: both builders take
// lines alike, only the record types differ.
#pragma once

#include "App/DocumentBuildGeometry.h"
#include "App/DocumentBuildMacro.h"
#include "Core/ErrorCheck.h"
#include "Core/LocalizeScript.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerNames.h"
#include "Layout/LineItem.h"

#include <cstdint>
#include <memory>
#include <string>

// Throws 0 (the build fails) for a slanted line, a missing name text or a line
// off the printable area; null when its width is out of range (the record is
// dropped); else the item, not yet on the page.
template <typename LinePart>
std::unique_ptr<CLineItem> LineItemFromRecord(const CLayoutManager& layout,
                                              const std::string& localizeIniPath, const LinePart& line,
                                              int number)
{
    BoolCheck(line.x1 == line.x2 || line.y1 == line.y2, 0);
    std::string format;
    BoolCheck(CLocalizeScript(localizeIniPath).GetCaption(7, format), 0);
    auto item = std::make_unique<CLineItem>();
    item->SetLabel(FormatNumberedName(format, number));
    WideRect rect{line.x1, line.y1, line.x2, line.y2};
    const std::int64_t grow = std::int64_t{line.width} - 1;
    if (layout.GetOrientation() == 1) {
        const std::int64_t h = PageTurnHeight(layout);
        const std::int64_t shift = line.x1 == line.x2 ? grow : 0;
        rect = WideRect{line.y1, h - line.x2 - shift, line.y2, h - line.x1 - shift};
    }
    WideRect extent = rect;
    (rect.left == rect.right ? extent.right : extent.bottom) += grow;
    BoolCheck(FitsPrintable(layout, rect) && FitsPrintable(layout, extent), 0);
    item->SetRect(NarrowRect(rect));
    if (line.width < 1 || line.width > CLayoutManager::kMaxLineWidth)
        return nullptr;
    item->SetWidth(line.width);
    item->SetColor(ColorOf(line.red, line.green, line.blue));
    item->SetLineNumber(static_cast<std::uint16_t>(number));
    return item;
}
