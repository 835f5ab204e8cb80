#include "Layout/LayoutManager.h"

#include "Core/FontList.h"
#include "Core/Units.h"
#include "Layout/ClipboardPort.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManagerHost.h"
#include "Layout/LayoutManagerNames.h"
#include "Layout/LineItem.h"
#include "Layout/UndoInfo.h"

#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

LOGFONT BuildDefaultFont()
{
    LOGFONT font;
    font.lfWeight = FW_NORMAL;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return font;
    const InterfaceFont gui = GetDefaultGuiFont();
    font.lfFaceName = gui.face;
    font.lfCharSet = gui.charSet;
    if (!HasTrueTypeFont(font.lfFaceName)) {
        const std::vector<std::string> names = CollectTrueTypeFontNames();
        if (!names.empty())
            font.lfFaceName = names.front();
    }
    // Heights are kept at 96 dots per inch whatever the screen has.
    const double points = QGuiApplication::font().pointSizeF();
    font.lfHeight = points > 0 ? -RoundHalfAway(points * 96.0 / 72.0) : 0;
    return font;
}

} // namespace

CLayoutManager::CLayoutManager()
{
    m_itemDefaults.font = BuildDefaultFont();
    m_drag.currentTool = 6;
}

CLayoutManager::~CLayoutManager()
{
    m_pendingUndo.reset();
    m_editFrames.clear();
    m_items.clear();
}

void CLayoutManager::SetOrigin(const POINT* origin)
{
    if (origin)
        m_origin = *origin;
}

void CLayoutManager::SetViewOffset(const POINT* offset)
{
    if (offset)
        m_viewOffset = *offset;
}

SIZE CLayoutManager::GetPaperExtent() const
{
    return SIZE{m_paperSize.cx - std::min(m_margins.left + m_margins.right, 0),
                m_paperSize.cy - std::min(m_margins.top + m_margins.bottom, 0)};
}

POINT CLayoutManager::GetMarginOffset(bool scaled) const
{
    POINT offset{std::max(m_margins.left, 0), std::max(m_margins.top, 0)};
    if (scaled)
        ScalePoint(&offset, GetScale());
    return offset;
}

RECT CLayoutManager::GetPrintableRect() const
{
    return CalcPrintableRect(m_paperSize.cx, m_paperSize.cy, GetOrientation(), m_margins);
}

RECT* CLayoutManager::GetRect(RECT* out, bool scaled) const
{
    if (!out)
        return nullptr;
    const SIZE extent = GetPaperExtent();
    *out = RECT{m_origin.x, m_origin.y, m_origin.x + RoundHalfAway(extent.cx * double(GetScale())),
                m_origin.y + RoundHalfAway(extent.cy * double(GetScale()))};
    if (!scaled)
        UnscaleRect(out, GetScale());
    return out;
}

bool CLayoutManager::SetOrientation(int orientation)
{
    const bool stored = CItem::SetOrientation(orientation);
    for (auto& item : m_items)
        item->SetOrientation(orientation);
    return stored;
}

bool CLayoutManager::SetPaperSizeIndex(int index)
{
    if (index < 0 || index >= kPaperSizeCount || index == kUnassignedPaperSize)
        return false;
    m_paperSizeIndex = index;
    return true;
}

bool CLayoutManager::SetPaperMode(int mode)
{
    if (mode < 0 || mode >= kMarginModeCount)
        return false;
    m_paperMode = mode;
    return true;
}

bool CLayoutManager::SetRollLength(int length)
{
    if (!IsPageTableRollPaper(m_paperSizeIndex)) {
        m_rollLength = kMinRollLength;
        return true;
    }
    if (length < kMinRollLength || length > kMaxRollLength)
        return false;
    m_rollLength = length;
    return true;
}

bool CLayoutManager::SetPaper(int sizeIndex, int orientation, int mode, int rollLength, bool notify)
{
    // Code 11 has a table row but no paper: taking its size while keeping the
    // old code would leave the two disagreeing.
    if (sizeIndex < 0 || sizeIndex >= kPaperSizeCount || sizeIndex == kUnassignedPaperSize)
        return false;
    if (orientation < 0 || orientation > 1 || mode < 0 || mode >= kMarginModeCount)
        return false;
    m_paperSize = GetPaperSizeFromTable(sizeIndex, orientation, rollLength);
    m_margins = GetModeMargins(mode, orientation);
    SetPaperSizeIndex(sizeIndex);
    SetOrientation(orientation);
    SetPaperMode(mode);
    SetRollLength(rollLength);
    FinishPaperChange(notify);
    return true;
}

bool CLayoutManager::SetPaperOrientation(int orientation, bool notify)
{
    if (orientation < 0 || orientation > 1)
        return false;
    m_paperSize = orientation == 0 ? SIZE{kCameraPageShortSide, kCameraPageLongSide}
                                   : SIZE{kCameraPageLongSide, kCameraPageShortSide};
    m_margins = PageMargins{};
    SetPaperSizeIndex(3);
    SetOrientation(orientation);
    SetPaperMode(0);
    SetRollLength(kMinRollLength);
    FinishPaperChange(notify);
    return true;
}

void CLayoutManager::FinishPaperChange(bool notify)
{
    const RECT printable = GetPrintableRect();
    const RECT source{0, 0, printable.Width(), printable.Height()};
    const RECT fitted = FitRectInRect(RECT{1, 1, 49, 49}, source, false, true);
    m_itemImageScale = source.Width() > 0 ? float(fitted.Width()) / float(source.Width()) : 0.0f;
    m_itemImageRect = RECT{std::max(fitted.left, 0), std::max(fitted.top, 0), std::min(fitted.right, 50),
                           std::min(fitted.bottom, 50)};
    ApplyPageToItems();

    const int shorter = printable.Width() > printable.Height() ? printable.Height() : printable.Width();
    if (shorter < m_itemDefaults.lineWidth)
        m_itemDefaults.lineWidth = std::max(1, (shorter + 1) / 5 * 5);

    DeletePendingUndo();
    NotifyPageSize(notify);
}

void CLayoutManager::ApplyPageToItems()
{
    for (auto& item : m_items) {
        item->SetItemImageRect(m_itemImageRect);
        item->SetItemImageScale(m_itemImageScale);
    }
}

void CLayoutManager::AdoptItem(CLayoutItem& item) const
{
    item.SetScale(GetScale());
    item.SetOrientation(GetOrientation());
    item.SetItemImageRect(m_itemImageRect);
    item.SetItemImageScale(m_itemImageScale);
}

int CLayoutManager::SetZoom(float scale, bool notify)
{
    SetScale(scale);
    m_rubberBand.SetScale(scale);
    for (auto& item : m_items)
        item->SetScale(scale);
    NotifyPageSize(notify);
    return 1;
}

int CLayoutManager::ZoomStep(bool zoomIn, bool notify)
{
    return SetZoom(NextZoomStep(GetScale(), zoomIn), notify);
}

int CLayoutManager::ZoomToWidth(int width, bool notify)
{
    const SIZE extent = GetPaperExtent();
    if (extent.cx <= 0)
        return 1;
    return SetZoom(float(width) / float(extent.cx), notify);
}

int CLayoutManager::ZoomToFit(SIZE size, bool notify)
{
    const SIZE extent = GetPaperExtent();
    if (extent.cx <= 0 || extent.cy <= 0)
        return 1;
    return SetZoom(std::min(float(size.cx) / float(extent.cx), float(size.cy) / float(extent.cy)), notify);
}

void CLayoutManager::Reset()
{
    DeletePendingUndo();
    DeleteAllItems();
    m_editFrames.clear();
    m_viewOffset = POINT{0, 0};
    ILayoutManagerHost* host = GetLayoutManagerHost();
    if (host && host->HasMainWindow())
        NotifyToolBox(nullptr);
}

void CLayoutManager::Notify(int kind, int lParam) const
{
    ILayoutManagerHost* host = GetLayoutManagerHost();
    if (ILayoutView* view = host ? host->GetActiveEditorView() : nullptr)
        view->SendLayoutChanged(kind, lParam);
}

void CLayoutManager::NotifyPageSize(bool notify) const
{
    ILayoutManagerHost* host = GetLayoutManagerHost();
    if (notify && host && host->HasMainWindow())
        Notify(LayoutChangePageSize);
}

bool CLayoutManager::NotifyToolBox(CLayoutItem* item)
{
    ILayoutManagerHost* host = GetLayoutManagerHost();
    ILayoutToolBox* toolBox = host ? host->GetToolBox() : nullptr;
    if (!toolBox)
        return false;
    toolBox->SetCurrentItem(item);
    return true;
}

bool CLayoutManager::RefreshToolBox()
{
    ILayoutManagerHost* host = GetLayoutManagerHost();
    ILayoutToolBox* toolBox = host ? host->GetToolBox() : nullptr;
    if (!toolBox)
        return false;
    toolBox->SetCurrentItem(toolBox->FindFirstSelectedItem());
    return true;
}

int CLayoutManager::GetItemsRight() const
{
    int right = 0;
    for (const auto& item : m_items)
        right = std::max(right, WidenedRect(item.get()).right);
    return right;
}

int CLayoutManager::GetItemsBottom() const
{
    int bottom = 0;
    for (const auto& item : m_items)
        bottom = std::max(bottom, WidenedRect(item.get()).bottom);
    return bottom;
}

std::uint16_t CLayoutManager::GetFreeLineNumber() const
{
    std::set<std::uint16_t> taken;
    for (const auto& item : m_items)
        if (const auto* line = dynamic_cast<const CLineItem*>(item.get()))
            taken.insert(line->GetLineNumber());
    for (unsigned n = 1; n <= 65534; ++n)
        if (!taken.count(static_cast<std::uint16_t>(n)))
            return static_cast<std::uint16_t>(n);
    return 0;
}

int CLayoutManager::GetFreeFrameNumber() const
{
    std::set<int> taken;
    for (const auto& item : m_items)
        if (const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(item.get()))
            taken.insert(frame->GetFrameNumber());
    for (int n = 1; n <= 65534; ++n)
        if (!taken.count(n))
            return n;
    return 0;
}

std::string CLayoutManager::FormatFrameName(int number) const
{
    return FormatNumberedName(m_frameNameFormat, number);
}

void CLayoutManager::SetPendingUndo(std::unique_ptr<CUndoInfo> record)
{
    m_pendingUndo = std::move(record);
}

void CLayoutManager::DeletePendingUndo()
{
    m_pendingUndo.reset();
}
