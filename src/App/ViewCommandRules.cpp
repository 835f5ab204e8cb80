#include "App/ViewCommandRules.h"

#include "Core/PaperRules.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Layout/UndoInfo.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::pair<int, int> kLineWidths[] = {{32811, 1},  {32812, 5},  {32813, 10}, {32814, 15},
                                               {32815, 20}, {32816, 25}, {32817, 30}, {32818, 40}};

} // namespace

int LineWidthOfCommand(int id)
{
    for (const auto& [command, width] : kLineWidths)
        if (command == id)
            return width;
    return 0;
}

bool IsMenuLineWidth(int width)
{
    return std::any_of(std::begin(kLineWidths), std::end(kLineWidths),
                       [width](const auto& entry) { return entry.second == width; });
}

int SelectedCount(const CLayoutManager& layout)
{
    return layout.GetItemCount(1, -1, nullptr);
}

bool HasSelectedLine(const CLayoutManager& layout)
{
    return layout.GetItemCount(1, -1, &IsKindOf<CLineItem>) > 0;
}

int CurrentLineWidth(const CLayoutManager& layout)
{
    return HasSelectedLine(layout) ? layout.GetSelectedLineWidth() : layout.GetItemDefaults().lineWidth;
}

bool IsOnlyLines(const CLayoutManager& layout)
{
    return layout.IsSelectionOfClass(&IsKindOf<CLineItem>, true, false, false);
}

bool IsOnlyTexts(const CLayoutManager& layout)
{
    return layout.IsSelectionOfClass(&IsKindOf<CStringItem>, true, false, false);
}

bool IsOnlyBackgrounds(const CLayoutManager& layout)
{
    return layout.IsSelectionOfClass(&IsKindOf<CBackgroundImageFrameItem>, true, false, false);
}

bool IsOnlyInsertFrames(const CLayoutManager& layout)
{
    return layout.IsSelectionOfClass(&IsKindOf<CInsertImageFrameItem>, true, false, false);
}

bool CanEditSelection(const CLayoutManager& layout, bool camera)
{
    if (SelectedCount(layout) == 0)
        return false;
    if (layout.IsSelectionOfClass(&IsKindOf<CMacroStringItem>, true, false, true))
        return false;
    return !(camera && layout.GetItemCount(1, -1, &IsKindOf<CInsertImageFrameItem>) > 0);
}

const CInsertImageFrameItem* OneFrameOfSelection(const CLayoutManager& layout)
{
    if (SelectedCount(layout) == 0 || !layout.IsOneInsertFrameSelected())
        return nullptr;
    if (const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(
            layout.GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>)))
        return frame;
    const auto* text =
        dynamic_cast<const CMacroStringItem*>(layout.GetFirstSelectedItem(&IsKindOf<CMacroStringItem>));
    return text ? text->GetOwnerFrame() : nullptr;
}

bool CanZoomIn(float scale)
{
    return scale < 1.0f;
}

bool CanZoomOut(float scale)
{
    return scale > 1.0f / 15.0f;
}

bool ApplyLineWidth(CLayoutManager& layout, int width)
{
    if (!layout.CanSetSelectedLineWidth(width))
        return false;
    ItemDefaults defaults = layout.GetItemDefaults();
    defaults.lineWidth = width;
    layout.SetItemDefaults(defaults);
    layout.ChangeSelectedLines(true, false);
    return true;
}

int OtherWidthStartPoints(const CLayoutManager& layout)
{
    return std::max(1, CurrentLineWidth(layout) / kUnitsPerPoint);
}

void ApplyOtherWidth(CLayoutManager& layout, int points)
{
    ItemDefaults defaults = layout.GetItemDefaults();
    defaults.lineWidth = points * kUnitsPerPoint;
    layout.SetItemDefaults(defaults);
    layout.ChangeSelectedLines(true, false);
}

COLORREF LineColourStart(const CLayoutManager& layout)
{
    const COLORREF colour =
        HasSelectedLine(layout) ? layout.GetSelectedLineColor() : layout.GetItemDefaults().lineColor;
    return static_cast<int>(colour) < 0 ? 0 : colour;
}

void ApplyLineColour(CLayoutManager& layout, COLORREF colour)
{
    ItemDefaults defaults = layout.GetItemDefaults();
    defaults.lineColor = colour;
    layout.SetItemDefaults(defaults);
    layout.ChangeSelectedLines(false, true);
}

bool RemoveAppliedImage(CLayoutManager& layout)
{
    auto* frame =
        dynamic_cast<CInsertImageFrameItem*>(layout.GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>));
    if (!frame)
        return false;
    layout.DeletePendingUndo();
    auto record = std::make_unique<CChangeImageFrameUndoInfo>(frame);
    frame->LoadImage(std::string());
    frame->SetImageRange(RECT{0, 0, 0, 0});
    layout.SetPendingUndo(std::move(record));
    return true;
}

bool SetSelectedFramesAspect(CLayoutManager& layout, int command)
{
    if (command < 32873 || command > 32875)
        return false;
    auto record = std::make_unique<CChangeRectUndoInfo>();
    layout.DeletePendingUndo();
    for (const auto& item : layout.GetItems()) {
        auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get());
        if (!frame || !frame->IsSelected())
            continue;
        record->Add(frame);
        if (command == 32875) {
            frame->SetAspectKind(CInsertImageFrameItem::AspectFree);
            continue;
        }
        RECT rect;
        frame->GetRect(&rect, false);
        const bool wide = rect.right - rect.left > rect.bottom - rect.top;
        if (command == 32873)
            frame->SetAspectKind(wide ? CInsertImageFrameItem::Aspect3x2 : CInsertImageFrameItem::Aspect2x3);
        else
            frame->SetAspectKind(wide ? CInsertImageFrameItem::Aspect4x3 : CInsertImageFrameItem::Aspect3x4);
        frame->FitRectToAspect();
    }
    layout.SetPendingUndo(std::move(record));
    return true;
}

bool NextKeepAspect(const CLayoutManager& layout)
{
    const auto* background = dynamic_cast<const CBackgroundImageFrameItem*>(
        layout.GetFirstSelectedItem(&IsKindOf<CBackgroundImageFrameItem>));
    return background && !background->IsAspectFixed();
}

bool NextAutoRotate(const CLayoutManager& layout)
{
    const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(
        layout.GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>));
    return frame && frame->GetImageRotation() != CImageFrameItem::kAutomaticRotation;
}

int RollPaperLowestLength(const CLayoutManager& layout)
{
    const PageMargins margins = layout.GetMargins();
    const auto negative = [](int value) { return std::min(value, 0); };
    int lowest = 0;
    if (layout.GetOrientation() == 0)
        lowest = layout.GetItemsBottom() + negative(margins.top) + negative(margins.bottom);
    else
        lowest = layout.GetItemsRight() + negative(margins.left) + negative(margins.right);
    return lowest + 1;
}

int RollPaperStartLength(const CLayoutManager& layout, int lowest)
{
    const int length = layout.GetRollLength() & 0xFFFF;
    return std::min(std::max(length, lowest), kMaxRollLength);
}

std::string OnlineManualPath(const std::string& programFolder)
{
    return programFolder + "Manual/index.htm";
}
