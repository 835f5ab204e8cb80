#include "App/EditorViewModel.h"

#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/MacroStringItem.h"

#include <algorithm>
#include <cmath>

namespace {

int Clamp(int value, int limit)
{
    return std::clamp(value, 0, std::max(0, limit));
}

} // namespace

void EditorViewModel::ApplyFitZoom(CLayoutManager& layout, const ClientSizes& sizes, bool notify) const
{
    SIZE s = sizes.trueClient;
    // A client no larger than the margins (a minimised window) would give a
    // scale of zero or below, which no page point survives: keep the scale.
    if (s.cx <= 2 * kPageMargin || s.cy <= 2 * kPageMargin)
        return;
    const POINT origin{kPageMargin, kPageMargin};
    layout.SetOrigin(&origin);
    if (m_zoomMode == ZoomMode::FitWidth) {
        const SIZE e = layout.GetPaperExtent();
        if (e.cx > 0) {
            // At the full width the page would need a vertical bar: leave room for it.
            const long long height = std::llround(double(s.cx) * double(e.cy) / double(e.cx));
            if (height + 2 * kPageMargin > s.cy)
                s.cx -= sizes.barExtent.cx;
        }
        layout.ZoomToWidth(std::max(1, s.cx - 2 * kPageMargin), notify);
    } else if (m_zoomMode == ZoomMode::FitPage) {
        layout.ZoomToFit(SIZE{s.cx - 2 * kPageMargin, s.cy - 2 * kPageMargin}, notify);
    }
}

bool EditorViewModel::UpdateScrollSizes(CLayoutManager& layout, const ClientSizes& sizes)
{
    if (sizes.client.cx <= 0 || sizes.client.cy <= 0)
        return false;
    RECT page;
    layout.GetRect(&page, true);
    const int w = page.right - page.left;
    const int h = page.bottom - page.top;
    const POINT origin{std::max(kPageMargin, (sizes.client.cx - w) / 2),
                       std::max(kPageMargin, (sizes.client.cy - h) / 2)};
    layout.SetOrigin(&origin);
    m_sizes.total = SIZE{w + 2 * kPageMargin, h + 2 * kPageMargin};
    m_sizes.page = sizes.trueClient;
    m_sizes.line = SIZE{std::max(10, m_sizes.total.cx / 50), std::max(10, m_sizes.total.cy / 50)};
    m_sizesSet = true;
    ScrollTo(m_position, sizes.client);
    return true;
}

POINT EditorViewModel::ScrollLimit(SIZE client) const
{
    if (!m_sizesSet)
        return POINT{0, 0};
    return POINT{std::max(0, m_sizes.total.cx - client.cx), std::max(0, m_sizes.total.cy - client.cy)};
}

bool EditorViewModel::ScrollTo(POINT position, SIZE client)
{
    if (!m_sizesSet)
        return false;
    const POINT limit = ScrollLimit(client);
    const POINT next{Clamp(position.x, limit.x), Clamp(position.y, limit.y)};
    const bool changed = next.x != m_position.x || next.y != m_position.y;
    m_position = next;
    return changed;
}

bool EditorViewModel::ScrollBy(SIZE delta, SIZE client)
{
    return ScrollTo(POINT{m_position.x + delta.cx, m_position.y + delta.cy}, client);
}

bool EditorViewModel::ViewCentreScroll(const CLayoutManager& layout, SIZE client, POINT* position) const
{
    if (!m_sizesSet)
        return false;
    POINT p = layout.GetViewOffset();
    layout.ScalePoint(&p, -1.0f);
    const POINT origin = layout.GetOrigin();
    p.x += origin.x;
    p.y += origin.y;
    const POINT c{client.cx / 2, client.cy / 2};
    position->x = (p.x >= c.x && m_sizes.total.cx > client.cx) ? p.x - c.x : 0;
    position->y = (p.y >= c.y && m_sizes.total.cy > client.cy) ? p.y - c.y : 0;
    return true;
}

POINT EditorViewModel::DrawOrigin(const CLayoutManager& layout) const
{
    const POINT origin = layout.GetOrigin();
    const POINT scroll = GetScrollPosition();
    return POINT{origin.x - scroll.x, origin.y - scroll.y};
}

POINT EditorViewModel::PagePoint(const CLayoutManager& layout, POINT client) const
{
    const POINT origin = DrawOrigin(layout);
    return POINT{client.x - origin.x, client.y - origin.y};
}

POINT EditorViewModel::ViewCentre(const CLayoutManager& layout, SIZE client) const
{
    POINT centre = PagePoint(layout, POINT{client.cx / 2, client.cy / 2});
    layout.UnscalePoint(&centre, -1.0f);
    return centre;
}

bool EditorViewModel::OnContentChanged(bool modified, bool undo)
{
    if (!modified) {
        m_firstChange = true;
        return true;
    }
    if (m_firstChange && undo) {
        m_firstChange = false;
        return false;
    }
    m_firstChange = false;
    return true;
}

SIZE EditorViewModel::AutoScrollLines(POINT point, SIZE client, bool captured) const
{
    SIZE lines{};
    if (!captured || !m_sizesSet)
        return lines;
    const POINT pos = m_position;
    if (m_sizes.total.cx > client.cx) {
        if (point.x < 0 && pos.x > 0)
            lines.cx = -1;
        else if (point.x >= client.cx && client.cx + pos.x < m_sizes.total.cx)
            lines.cx = 1;
    }
    if (m_sizes.total.cy > client.cy) {
        if (point.y < 0 && pos.y > 0)
            lines.cy = -1;
        else if (point.y >= client.cy && client.cy + pos.y < m_sizes.total.cy)
            lines.cy = 1;
    }
    return lines;
}

EditorViewModel::TimerAction EditorViewModel::AfterDragMove(bool scrolled)
{
    if (scrolled && !m_autoScroll) {
        m_autoScroll = true;
        return TimerAction::Start;
    }
    if (!scrolled && m_autoScroll) {
        m_autoScroll = false;
        return TimerAction::Stop;
    }
    return TimerAction::None;
}

EditorViewModel::TimerAction EditorViewModel::OnButtonUp()
{
    if (!m_autoScroll)
        return TimerAction::None;
    m_autoScroll = false;
    return TimerAction::Stop;
}

MenuGreying ComputeMenuGreying(const CLayoutManager& layout, bool camera)
{
    const bool any = layout.GetItemCount(1, -1, nullptr) > 0;
    const bool macroOnly = layout.IsSelectionOfClass(&IsKindOf<CMacroStringItem>, true, false, true);
    const bool frameSelected = layout.GetItemCount(1, -1, &IsKindOf<CInsertImageFrameItem>) > 0;
    const bool framesOnly = layout.IsSelectionOfClass(&IsKindOf<CInsertImageFrameItem>, true, false, false);
    const bool cameraFrame = camera && frameSelected;
    MenuGreying greying;
    greying.order = any && !cameraFrame && !macroOnly;
    greying.align = any && !cameraFrame;
    greying.rotate = any && !cameraFrame && !layout.IsAutoRotateSelected();
    greying.paperMode = camera;
    greying.aspectRatio = !camera && framesOnly;
    return greying;
}
