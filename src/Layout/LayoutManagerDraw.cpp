// Drawing the whole page: paper and bleed, grid, items, camera bands and the
// selection or drag feedback.
#include "Core/Units.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageDC.h"
#include "Layout/LayoutItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerHost.h"

#include <array>

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kBleed = 0xDCC8C8;
constexpr COLORREF kGridColor = 0xE1E1E1;
constexpr int kMinGridStep = 64;

POINT Offset(const POINT* origin)
{
    return origin ? *origin : POINT{0, 0};
}

RECT Moved(RECT r, POINT by)
{
    return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

RECT Grown(RECT r, int by)
{
    return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

// A rect given on the portrait camera page, turned onto the landscape one.
RECT OnCameraPage(RECT r, int orientation)
{
    if (orientation != 1)
        return r;
    return RECT{r.top, kCameraPageShortSide - r.right, r.bottom, kCameraPageShortSide - r.left};
}

void Rectangle(CImage* canvas, const RECT& r, COLORREF pen, COLORREF brush)
{
    canvas->DrawRectangle(r.left, r.top, r.right, r.bottom, pen, brush);
}

} // namespace

int CLayoutManager::DrawPage(CImage* canvas, const POINT* origin)
{
    if (!canvas)
        return 1;
    POINT base = GetMarginOffset(true);
    base.x += Offset(origin).x;
    base.y += Offset(origin).y;
    DrawPaper(canvas, true, origin);
    DrawGrid(canvas, origin);
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        RECT r;
        (*it)->GetRect(&r, true);
        const POINT at{base.x + r.left, base.y + r.top};
        (*it)->DrawAtOwnScale(canvas, &at);
    }
    DrawPaperFrame(canvas, origin);
    DrawItems(canvas, origin);
    return 1;
}

void CLayoutManager::DrawPaper(CImage* canvas, bool drawPrintable, const POINT* origin)
{
    if (!canvas)
        return;
    const POINT shift = Offset(origin);
    const SIZE extent = GetPaperExtent();
    auto toCanvas = [&](RECT r) {
        ScaleRect(&r, GetScale());
        return Moved(r, shift);
    };

    if (!IsActiveDocumentDSCLayout()) {
        const RECT page{0, 0, extent.cx, extent.cy};
        if (HasLeftMargin()) {
            Rectangle(canvas, toCanvas(page), kWhite, kWhite);
            if (drawPrintable) {
                const RECT printable = Moved(GetPrintableRect(), GetMarginOffset(false));
                Rectangle(canvas, Grown(toCanvas(printable), 1), kBlack, kWhite);
            }
            return;
        }
        Rectangle(canvas, Grown(toCanvas(page), 1), kBlack, kBleed);
        const RECT paper{page.left - m_margins.left, page.top - m_margins.top, page.right + m_margins.right,
                         page.bottom + m_margins.bottom};
        Rectangle(canvas, toCanvas(paper), kWhite, kWhite);
        return;
    }

    ILayoutDocument* document = GetActiveDocument();
    std::array<int, 14> params{};
    if (document && document->GetEditMode() >= 2 && document->GetEditMode() <= 9 &&
        document->GetCurrentModeParams(params) && params[1] == 0 && params[2] != 0) {
        const double k = 704.0 / params[2];
        const RECT area = OnCameraPage(RECT{params[6], params[7], params[8], params[9]}, GetOrientation());
        Rectangle(canvas, toCanvas(Grown(area, RoundHalfAway(42 * k))), kWhite, kWhite);
        return;
    }
    Rectangle(canvas, Grown(toCanvas(RECT{0, 0, extent.cx, extent.cy}), 1), kBlack, kWhite);
}

void CLayoutManager::DrawGrid(CImage* canvas, const POINT* origin)
{
    if (!canvas || !m_grid.shown || IsActiveDocumentDSCLayout())
        return;
    const POINT shift = Offset(origin);
    const RECT work = Moved(GetPrintableRect(), GetMarginOffset(false));
    RECT limit = work;
    ScaleRect(&limit, GetScale());
    limit = Moved(limit, shift);
    auto toCanvas = [&](POINT p) {
        ScalePoint(&p, GetScale());
        return POINT{p.x + shift.x, p.y + shift.y};
    };
    const int gx = std::max(m_grid.stepX, kMinGridStep);
    const int gy = std::max(m_grid.stepY, kMinGridStep);
    for (int x = work.left; x < work.right; x += gx) {
        const POINT a = toCanvas(POINT{x, work.top});
        const POINT b = toCanvas(POINT{x, work.bottom});
        if (a.x >= limit.right)
            break;
        canvas->DrawLine(a.x, a.y, b.x, b.y, 1, kGridColor, PS_SOLID);
    }
    for (int y = work.top; y < work.bottom; y += gy) {
        const POINT a = toCanvas(POINT{work.left, y});
        const POINT b = toCanvas(POINT{work.right, y});
        if (a.y >= limit.bottom)
            break;
        canvas->DrawLine(a.x, a.y, b.x, b.y, 1, kGridColor, PS_SOLID);
    }
}

void CLayoutManager::DrawPaperFrame(CImage* canvas, const POINT* origin)
{
    if (!canvas || !IsActiveDocumentDSCLayout())
        return;
    ILayoutDocument* document = GetActiveDocument();
    if (!document)
        return;
    RECT frame;
    std::array<int, 14> params{};
    const int mode = document->GetEditMode();
    if (mode == 1) {
        if (!document->GetModePageRect(1, frame))
            return;
    } else if (mode >= 2 && mode <= 9 && document->GetCurrentModeParams(params)) {
        frame = OnCameraPage(RECT{params[10], params[11], params[12], params[13]}, GetOrientation());
    } else {
        return;
    }
    const RECT p = GetPrintableRect();
    const POINT shift = Offset(origin);
    const RECT bands[4] = {
        {p.left, p.top, frame.right, frame.top},
        {frame.right, p.top, p.right, frame.bottom},
        {frame.left, frame.bottom, p.right, p.bottom},
        {p.left, frame.top, frame.left, p.bottom},
    };
    for (RECT band : bands) {
        ScaleRect(&band, GetScale());
        band = Moved(band, shift);
        canvas->FillRectHalftoneLTRB(band.left, band.top, band.right, band.bottom, kBlack);
    }
}

void CLayoutManager::DrawItems(CImage* canvas, const POINT* origin)
{
    if (!canvas)
        return;
    POINT base = GetMarginOffset(true);
    base.x += Offset(origin).x;
    base.y += Offset(origin).y;
    auto at = [&](const CItem& item) {
        RECT r;
        item.GetRect(&r, true);
        return POINT{base.x + r.left, base.y + r.top};
    };
    if (!m_drag.dragging) {
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
            if (!(*it)->IsVisible() || !(*it)->IsSelected())
                continue;
            const POINT p = at(**it);
            (*it)->DrawSelection(canvas, &p);
        }
        return;
    }
    CItem* feedback = nullptr;
    switch (m_drag.dragMode) {
    case 1:
        InvertEditRegion(canvas, origin);
        return;
    case 2:
        feedback = m_drag.resizeFrame.get();
        break;
    case 3:
        feedback = &m_rubberBand;
        break;
    default:
        feedback = m_drag.toolFrame.get();
        break;
    }
    if (feedback) {
        const POINT p = at(*feedback);
        feedback->DrawAtOwnScale(canvas, &p);
    }
}

void CLayoutManager::InvertEditRegion(CImage* canvas, const POINT* origin)
{
    if (!canvas || !canvas->GetDC() || m_editRegion.IsEmpty())
        return;
    CRgn region(m_editRegion.GetQRegion());
    if (!m_editFrames.empty() && m_editFrames.front() && m_editFrames.front()->GetTargetItem()) {
        RECT frame;
        RECT item;
        m_editFrames.front()->GetScaledRect(&frame, GetScale());
        m_editFrames.front()->GetTargetItem()->GetScaledRect(&item, GetScale());
        region.OffsetRgn(frame.left - item.left, frame.top - item.top);
    }
    const POINT base = GetMarginOffset(true);
    region.OffsetRgn(base.x + Offset(origin).x, base.y + Offset(origin).y);
    canvas->GetDC()->InvertRgn(region);
}
