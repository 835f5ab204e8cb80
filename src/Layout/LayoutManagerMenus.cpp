// The right-click menus: which menu the click and the selection choose, and
// which of its entries are enabled and checked.
#include "Layout/LayoutManagerMenus.h"

#include "Core/MenuLocalization.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/ClipboardPort.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"

#include <initializer_list>
#include <utility>

namespace {

void Enable(MenuModel& menu, int id, bool enabled)
{
    if (MenuEntry* entry = menu.Find(id))
        entry->enabled = enabled;
}

void Check(MenuModel& menu, int id, bool checked)
{
    if (MenuEntry* entry = menu.Find(id))
        entry->checked = checked;
}

void GrayPositions(MenuModel& menu, std::initializer_list<std::size_t> positions)
{
    for (std::size_t position : positions)
        if (position < menu.entries.size())
            menu.entries[position].enabled = false;
}

int LineWidthCommand(int width)
{
    constexpr std::pair<int, int> kWidths[] = {{1, 32811},  {5, 32812},  {10, 32813}, {15, 32814},
                                               {20, 32815}, {25, 32816}, {30, 32817}, {40, 32818}};
    if (width == 0)
        return 0;
    for (const auto& [w, command] : kWidths)
        if (w == width)
            return command;
    return 32819;
}

} // namespace

void CLayoutManager::ShowMenu(const MenuModel& menu, POINT screenPoint) const
{
    ILayoutManagerHost* host = GetLayoutManagerHost();
    ILayoutView* view = host ? host->GetActiveEditorView() : nullptr;
    if (!view || menu.entries.empty())
        return;
    view->TrackPopupMenu(menu, screenPoint);
}

void CLayoutManager::OnContextMenu(POINT screenPoint)
{
    if (m_drag.dragging)
        return;
    ILayoutManagerHost* host = GetLayoutManagerHost();
    ILayoutView* view = host ? host->GetActiveEditorView() : nullptr;
    if (!view)
        return;
    const POINT client = view->ScreenToClient(screenPoint);
    const POINT scroll = view->GetScrollPosition();
    const POINT margin = GetMarginOffset(true);
    const POINT point{client.x + scroll.x - m_origin.x - margin.x,
                      client.y + scroll.y - m_origin.y - margin.y};
    CLayoutItem* hit = nullptr;
    m_drag.hitCode = HitTestItems(point, &hit);
    m_drag.hitItem = hit;
    if (hit) {
        if (!hit->IsSelected()) {
            SelectAll(false);
            hit->SetSelected(true);
            NotifyToolBox(hit);
            Notify(LayoutChangeSelection);
        }
        ShowItemMenu(hit, screenPoint);
        return;
    }

    MenuModel menu = BuildLayoutMenuSkeleton(MenuPage);
    LocalizeMenu(MenuPage, &menu, GetLayoutLocalizeIniPath());
    Enable(menu, 57643, m_pendingUndo != nullptr);
    IClipboardPort& port = m_clipboard ? *m_clipboard : GetSystemClipboardPort();
    Enable(menu, 57637, port.HasAnyFormat() && port.HasLayoutFormat());
    if (m_items.empty())
        GrayPositions(menu, {4});
    Enable(menu, 32801, GetScale() < 1.0f);
    Enable(menu, 32802, GetScale() > 1.0f / 15.0f);
    Check(menu, 32803, view->IsFitToPaperWidth());
    Check(menu, 32804, view->IsFitWholePaper());
    if (IsActiveDocumentDSCLayout()) {
        const ILayoutDocument* document = GetActiveDocument();
        Check(menu, 32880 + (document ? document->GetEditMode() : 0), true);
        Enable(menu, 32800, false);
    } else {
        GrayPositions(menu, {12});
    }
    ShowMenu(menu, screenPoint);
}

void CLayoutManager::ShowItemMenu(CLayoutItem* clicked, POINT screenPoint)
{
    if (!clicked)
        return;
    const int selected = GetItemCount(1, -1, nullptr);
    const bool camera = IsActiveDocumentDSCLayout();
    int menuId = MenuMixed;
    bool onText = false;
    if (IsKindOf<CLineItem>(clicked) && IsSelectionOfClass(&IsKindOf<CLineItem>, true, false, false))
        menuId = MenuLine;
    else if (IsKindOf<CStringItem>(clicked) && IsSelectionOfClass(&IsKindOf<CStringItem>, true, false, false))
        menuId = MenuText;
    else if (IsKindOf<CBackgroundImageFrameItem>(clicked) &&
             IsSelectionOfClass(&IsKindOf<CBackgroundImageFrameItem>, true, false, false))
        menuId = MenuBackground;
    else if (IsKindOf<CInsertImageFrameItem>(clicked) &&
             IsSelectionOfClass(&IsKindOf<CInsertImageFrameItem>, true, false, false))
        menuId = MenuInsertFrame;
    else if (IsKindOf<CMacroStringItem>(clicked)) {
        if (IsSelectionOfClass(&IsKindOf<CMacroStringItem>, true, false, false)) {
            menuId = MenuInfoText;
        } else if (IsSelectionOfClass(&IsKindOf<CInsertImageFrameItem>, true, false, false)) {
            menuId = MenuInsertFrame;
            onText = true;
        }
    }

    MenuModel menu = BuildLayoutMenuSkeleton(menuId);
    LocalizeMenu(static_cast<std::uint32_t>(menuId), &menu, GetLayoutLocalizeIniPath());
    switch (menuId) {
    case MenuLine:
        if (const int command = LineWidthCommand(GetSelectedLineWidth()))
            Check(menu, command, true);
        break;
    case MenuText:
        Enable(menu, 32831, selected == 1);
        break;
    case MenuBackground:
        Enable(menu, 32841, selected == 1);
        Check(menu, 32842, AllSelectedBackgroundsAspectFixed());
        break;
    case MenuInfoText:
        Enable(menu, 32856, IsOneInsertFrameSelected());
        if (IsAutoRotateSelected())
            GrayPositions(menu, {3});
        break;
    case MenuInsertFrame: {
        if (!IsOneInsertFrameSelected()) {
            for (int id : {32851, 32871, 32856, 32852})
                Enable(menu, id, false);
        } else {
            const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(clicked);
            if (onText || !frame || frame->GetImageFileName().empty()) {
                Enable(menu, 32852, false);
                Enable(menu, 32871, false);
            }
        }
        Check(menu, 32853, AllSelectedFramesHavePlacement(0));
        Check(menu, 32854, AllSelectedFramesHavePlacement(1));
        Check(menu, 32855, AllSelectedFramesHaveRotation(CImageFrameItem::kAutomaticRotation));
        if (IsAutoRotateSelected())
            GrayPositions(menu, {19});
        if (camera)
            GrayPositions(menu, {0, 1, 2, 9, 11, 13, 15, 17, 18, 19});
        int aspect = 0;
        if (AllSelectedFramesHaveAspect(0) || AllSelectedFramesHaveAspect(1))
            aspect = 32873;
        else if (AllSelectedFramesHaveAspect(3) || AllSelectedFramesHaveAspect(2))
            aspect = 32874;
        else if (AllSelectedFramesHaveAspect(-1))
            aspect = 32875;
        if (aspect)
            Check(menu, aspect, true);
        break;
    }
    default: {
        if (IsAutoRotateSelected())
            GrayPositions(menu, {6});
        bool frameSelected = false;
        for (const auto& item : m_items)
            frameSelected =
                frameSelected || (item->IsSelected() && IsKindOf<CInsertImageFrameItem>(item.get()));
        if (camera && frameSelected)
            GrayPositions(menu, {0, 1, 2, 4, 5, 6});
        break;
    }
    }
    ShowMenu(menu, screenPoint);
}

bool CLayoutManager::AllSelectedFramesHaveAspect(int kind) const
{
    bool any = false;
    for (const auto& item : m_items) {
        const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(item.get());
        if (!frame || !frame->IsSelected())
            continue;
        const int own = frame->GetAspectKind();
        bool inFamily = false;
        if (kind == 0)
            inFamily = own == 0 || own == 1;
        else if (kind == 1)
            inFamily = own == 1;
        else if (kind == 2 || kind == 3)
            inFamily = own == 2 || own == 3;
        else if (kind == -1)
            inFamily = own == -1;
        if (!inFamily)
            return false;
        any = true;
    }
    return any;
}
