// The dialog edits of single items and the frame and background commands of
// the item menus.
#include "Core/Geometry.h"
#include "Core/Path.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutDialogs.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Layout/UndoInfo.h"

#include <cmath>
#include <utility>

namespace {

int MulDivRounded(int value, int numerator, int denominator)
{
    if (denominator == 0)
        return value;
    return static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator));
}

int ScreenLogPixelsY(ILayoutDialogs& dialogs)
{
    const int dpi = dialogs.GetScreenLogPixelsY();
    return dpi > 0 ? dpi : 96;
}

void ShowMessage(int textId)
{
    ILayoutManagerHost* host = GetLayoutManagerHost();
    if (ILayoutView* view = host ? host->GetActiveEditorView() : nullptr)
        view->ShowLocalizedMessage(textId, MB_ICONHAND);
}

template <class Frame> Frame* FirstSelectedWithImage(const LayoutItemList& items)
{
    for (const auto& item : items) {
        auto* frame = dynamic_cast<Frame*>(item.get());
        if (frame && frame->IsSelected() && !frame->GetImageFileName().empty())
            return frame;
    }
    return nullptr;
}

Rect ToRect(const RECT& r)
{
    return Rect{r.left, r.top, r.right, r.bottom};
}

RECT ToRECT(const Rect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

// The picture's proportions as large as fit the rect, held at its top-left.
RECT FitPictureInRect(const RECT& rect, int width, int height)
{
    return ToRECT(FitRectInRect(ToRect(rect), Rect{0, 0, width, height}, false, true));
}

} // namespace

bool CLayoutManager::HoldDialogRecord(std::unique_ptr<CUndoInfo> record, bool ok)
{
    if (!ok)
        return false;
    SetPendingUndo(std::move(record));
    Notify(LayoutChangeSelection);
    Notify(LayoutChangeContent);
    return true;
}

void CLayoutManager::OnLButtonDblClk(int /*flags*/, POINT point)
{
    point = ToItemPoint(point);
    if (m_drag.currentTool == 3) {
        m_drag.hitItem = nullptr;
        m_drag.hitCode = HitTestItems(point, &m_drag.hitItem);
        CLayoutItem* item = m_drag.hitCode != 0 ? m_drag.hitItem : nullptr;
        if (item) {
            if (!item->IsSelected()) {
                item->SetSelected(true);
                NotifyToolBox(item);
                Notify(LayoutChangeSelection);
            }
            EditItemProperties(item);
        }
    }
    if (m_drag.currentTool == 3 || InScaledPrintable(point))
        SetHoverCursor();
}

void CLayoutManager::EditItemProperties(CLayoutItem* item)
{
    if (!item)
        return;
    if (auto* line = dynamic_cast<CLineItem*>(item)) {
        ILayoutDialogs* dialogs = GetLayoutDialogs();
        COLORREF color = line->GetColor();
        if (!dialogs || !dialogs->ChooseColor(color))
            return;
        DeletePendingUndo();
        auto record = std::make_unique<CChangeLineUndoInfo>();
        record->Add(line);
        line->SetColor(color);
        m_itemDefaults.lineColor = color;
        HoldDialogRecord(std::move(record), true);
        return;
    }
    if (auto* text = dynamic_cast<CStringItem*>(item)) {
        auto record = std::make_unique<CChangeStringUndoInfo>();
        record->Add(text);
        HoldDialogRecord(std::move(record), EditStringItem(text));
        return;
    }
    if (auto* background = dynamic_cast<CBackgroundImageFrameItem*>(item)) {
        auto record = std::make_unique<CChangeImageFrameUndoInfo>(background);
        HoldDialogRecord(std::move(record), EditTransparency(background));
        return;
    }
    if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item)) {
        if (frame->GetImageFileName().empty()) {
            auto record = std::make_unique<CChangeImageFrameUndoInfo>(frame);
            HoldDialogRecord(std::move(record), ApplyImageToFrame(frame));
        } else {
            auto record = std::make_unique<CChangeInsertImageFrameUndoInfo>();
            record->Add(frame);
            HoldDialogRecord(std::move(record), SelectImageRange(frame));
        }
        return;
    }
    if (auto* macro = dynamic_cast<CMacroStringItem*>(item); macro && macro->GetOwnerFrame())
        EditImageInfo(macro->GetOwnerFrame());
}

bool CLayoutManager::EditStringItem(CStringItem* item)
{
    std::unique_ptr<CChangeStringUndoInfo> own;
    if (!item) {
        item = dynamic_cast<CStringItem*>(GetFirstSelectedItem(&IsKindOf<CStringItem>));
        if (!item)
            return false;
        own = std::make_unique<CChangeStringUndoInfo>();
        own->Add(item);
    }
    ILayoutDialogs* dialogs = GetLayoutDialogs();
    if (!dialogs)
        return false;
    const int dpi = ScreenLogPixelsY(*dialogs);
    StringItemFontValues values;
    item->GetLogFont(&values.font);
    const bool converted = !values.font.lfFaceName.empty();
    if (converted) {
        if (values.font.lfFaceName.front() == '@')
            values.font.lfFaceName.erase(0, 1);
        values.font.lfHeight = MulDivRounded(values.font.lfHeight, dpi, 96);
    }
    values.flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_TTONLY | CF_NOVERTFONTS;
    values.text = item->GetText();
    values.textColor = item->GetTextColor();
    values.shadowOffset = item->GetShadowOffset();
    values.shadowColor = item->GetShadowColor();
    values.shadow = item->HasShadow();
    values.backColor = item->GetBackColor();
    values.backColorOn = item->HasBackColor();
    values.vertical = item->IsVerticalText();
    if (dialogs->RunStringItemFontDialog(values) != IDOK)
        return false;

    // The dialog works in screen pixels; the item keeps 1/96 inch, so that
    // confirming the dialog unchanged keeps the size on any screen.
    if (converted)
        values.font.lfHeight = MulDivRounded(values.font.lfHeight, 96, dpi);
    const bool wasVertical = item->IsVerticalText();
    item->SetText(values.text);
    item->SetLogFont(&values.font);
    item->SetTextColor(values.textColor);
    item->SetShadowOffset(values.shadowOffset);
    item->SetShadowColor(values.shadowColor);
    item->SetShadow(values.shadow);
    item->SetBackColor(values.backColor);
    item->SetBackColorOn(values.backColorOn);
    item->SetVerticalText(values.vertical);
    if (values.vertical != wasVertical)
        item->Rotate(values.vertical);
    if (own)
        HoldDialogRecord(std::move(own), true);
    m_itemDefaults.font = values.font;
    m_itemDefaults.textColor = values.textColor;
    return true;
}

bool CLayoutManager::EditTransparency(CBackgroundImageFrameItem* item)
{
    std::unique_ptr<CChangeImageFrameUndoInfo> own;
    if (!item) {
        item = FirstSelectedWithImage<CBackgroundImageFrameItem>(m_items);
        if (!item)
            return false;
        own = std::make_unique<CChangeImageFrameUndoInfo>(item);
    }
    ILayoutDialogs* dialogs = GetLayoutDialogs();
    const bool ok = dialogs && dialogs->RunPictureTransparencyDialog(*item) == 1;
    return own ? HoldDialogRecord(std::move(own), ok) : ok;
}

bool CLayoutManager::SelectImageRange(CInsertImageFrameItem* item)
{
    std::unique_ptr<CChangeInsertImageFrameUndoInfo> own;
    if (!item) {
        item = FirstSelectedWithImage<CInsertImageFrameItem>(m_items);
        if (!item)
            return false;
        own = std::make_unique<CChangeInsertImageFrameUndoInfo>();
        own->Add(item);
    }
    ILayoutDialogs* dialogs = GetLayoutDialogs();
    const bool ok = dialogs && dialogs->RunPictureRangeDialog(*item) == 1;
    return own ? HoldDialogRecord(std::move(own), ok) : ok;
}

bool CLayoutManager::ApplyImageToFrame(CImageFrameItem* item)
{
    std::unique_ptr<CChangeImageFrameUndoInfo> own;
    if (!item) {
        item = dynamic_cast<CImageFrameItem*>(GetFirstSelectedItem(&IsKindOf<CInsertImageFrameItem>));
        if (!item)
            return false;
        own = std::make_unique<CChangeImageFrameUndoInfo>(item);
    }
    auto* background = dynamic_cast<CBackgroundImageFrameItem*>(item);
    if (!background && !dynamic_cast<CInsertImageFrameItem*>(item))
        return false;
    ILayoutDialogs* dialogs = GetLayoutDialogs();
    std::string path;
    if (!dialogs || dialogs->RunSelectImageDialog(background ? 1 : 0, path) != IDOK)
        return false;
    const int result = item->LoadImage(path);
    if (result != ImageLoadOk) {
        if (result == ImageLoadTooLarge)
            ShowMessage(146);
        else if (result == ImageLoadTooSmall)
            ShowMessage(147);
        else if (result == ImageLoadTooLong || result == ImageLoadUnreadable)
            ShowMessage(25);
        return false;
    }
    if (background) {
        background->SetLabel(GetFileNameFromPath(path, false));
        const SIZE picture = background->GetPictureSize();
        RECT rect;
        background->GetRect(&rect, false);
        if (picture.cx > 0 && picture.cy > 0)
            background->SetRect(FitPictureInRect(rect, picture.cx, picture.cy));
    }
    return own ? HoldDialogRecord(std::move(own), true) : true;
}

bool CLayoutManager::ToggleAspectFixed(bool fixed)
{
    DeletePendingUndo();
    auto record = std::make_unique<CChangeRectUndoInfo>();
    bool changed = false;
    for (auto& item : m_items) {
        auto* background = dynamic_cast<CBackgroundImageFrameItem*>(item.get());
        if (!background || !background->IsSelected())
            continue;
        record->Add(background);
        SIZE picture = background->GetPictureSize();
        if (background->GetImageRotation() == 1 || background->GetImageRotation() == 3)
            std::swap(picture.cx, picture.cy);
        // A frame without a picture has no proportions to keep; it keeps its rect.
        if (fixed && picture.cx > 0 && picture.cy > 0) {
            RECT rect;
            background->GetRect(&rect, false);
            background->SetRect(FitPictureInRect(rect, picture.cx, picture.cy));
        }
        background->SetAspectFixed(fixed);
        changed = true;
    }
    SetPendingUndo(std::move(record));
    if (changed) {
        Notify(LayoutChangeSelection);
        Notify(LayoutChangeContent);
    }
    return true;
}

bool CLayoutManager::ChangeSelectedInsertFrames(const std::function<void(CInsertImageFrameItem&)>& change)
{
    DeletePendingUndo();
    auto record = std::make_unique<CChangeInsertImageFrameUndoInfo>();
    bool changed = false;
    for (auto& item : m_items) {
        auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get());
        if (!frame || !frame->IsSelected())
            continue;
        record->Add(frame);
        change(*frame);
        changed = true;
    }
    SetPendingUndo(std::move(record));
    if (changed) {
        Notify(LayoutChangeSelection);
        Notify(LayoutChangeContent);
    }
    return true;
}

bool CLayoutManager::SetFramePlacement(int placement)
{
    return ChangeSelectedInsertFrames(
        [placement](CInsertImageFrameItem& frame) { frame.SetImagePlacement(placement); });
}

bool CLayoutManager::SetAutoRotate(bool on)
{
    return ChangeSelectedInsertFrames([on](CInsertImageFrameItem& frame) {
        frame.SetImageRotation(on ? CImageFrameItem::kAutomaticRotation : 0);
    });
}
