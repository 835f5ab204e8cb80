#include "Dialogs/TransparencyGeometry.h"

#include "Core/ErrorCheck.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

// Exact floor and ceiling of a / b for b > 0, so zoom factors never meet
// binary fractions (0.1 has none).
std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && (a < 0))
        --q;
    return q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b)
{
    return -FloorDiv(-a, b);
}

} // namespace

int TransparencyScrollBar::LastPos() const
{
    return page > 0 ? std::max(0, max + 1 - page) : max;
}

void TransparencyScrollBar::SetPos(int value)
{
    pos = std::clamp(value, 0, LastPos());
}

void CTransparencyGeometry::Reset()
{
    *this = CTransparencyGeometry{};
}

void CTransparencyGeometry::SetPictureSize(int width, int height)
{
    m_width = std::max(0, width);
    m_height = std::max(0, height);
}

void CTransparencyGeometry::SetClientSize(int width, int height)
{
    m_clientWidth = std::max(0, width);
    m_clientHeight = std::max(0, height);
}

int CTransparencyGeometry::StepIndex() const
{
    const auto* end = std::end(kZoomSteps);
    const auto* found = std::find(std::begin(kZoomSteps), end, m_zoom);
    BoolCheck(found != end, ErrorIdSilent);
    return static_cast<int>(found - std::begin(kZoomSteps));
}

int CTransparencyGeometry::NextZoomIn() const
{
    const int i = StepIndex();
    return kZoomSteps[std::min(i + 1, 6)];
}

int CTransparencyGeometry::NextZoomOut() const
{
    const int i = StepIndex();
    return kZoomSteps[std::max(i - 1, 0)];
}

int CTransparencyGeometry::ComputeFitZoom() const
{
    if (m_width <= 0 || m_height <= 0)
        return 10;
    const double f = 100.0 * std::min(static_cast<double>(m_clientWidth) / m_width,
                                      static_cast<double>(m_clientHeight) / m_height);
    if (f < 25)
        return 10;
    if (f < 50)
        return 25;
    if (f < 100)
        return 50;
    if (f < 200)
        return 100;
    if (f < 400)
        return 200;
    if (f < 800)
        return 400;
    return 800;
}

POINT CTransparencyGeometry::UnzoomPoint(POINT point) const
{
    if (m_zoom == 100)
        return point;
    return POINT{static_cast<int>(FloorDiv(std::int64_t{point.x} * 100, m_zoom)),
                 static_cast<int>(FloorDiv(std::int64_t{point.y} * 100, m_zoom))};
}

RECT CTransparencyGeometry::UnzoomRect(RECT rect) const
{
    const POINT a = UnzoomPoint(POINT{rect.left, rect.top});
    const POINT b = UnzoomPoint(POINT{rect.right, rect.bottom});
    return RECT{a.x, a.y, b.x, b.y};
}

POINT CTransparencyGeometry::ClientToPicture(POINT point) const
{
    const POINT p = UnzoomPoint(POINT{point.x - m_offset.x, point.y - m_offset.y});
    return POINT{p.x + m_origin.x, p.y + m_origin.y};
}

RECT CTransparencyGeometry::ClientToPictureRect(RECT rect) const
{
    const POINT a = ClientToPicture(POINT{rect.left, rect.top});
    const POINT b = ClientToPicture(POINT{rect.right, rect.bottom});
    return RECT{a.x, a.y, b.x, b.y};
}

RECT CTransparencyGeometry::PictureToClient(RECT rect, bool zoom, bool offset) const
{
    std::int64_t l = std::int64_t{rect.left} - m_origin.x;
    std::int64_t t = std::int64_t{rect.top} - m_origin.y;
    std::int64_t r = std::int64_t{rect.right} - m_origin.x;
    std::int64_t b = std::int64_t{rect.bottom} - m_origin.y;
    if (zoom) {
        l = FloorDiv(l * m_zoom, 100);
        t = FloorDiv(t * m_zoom, 100);
        r = CeilDiv(r * m_zoom, 100);
        b = CeilDiv(b * m_zoom, 100);
    }
    if (offset) {
        l += m_offset.x;
        r += m_offset.x;
        t += m_offset.y;
        b += m_offset.y;
    }
    return RECT{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)};
}

POINT CTransparencyGeometry::PictureToClient(POINT point, bool zoom, bool offset) const
{
    std::int64_t x = std::int64_t{point.x} - m_origin.x;
    std::int64_t y = std::int64_t{point.y} - m_origin.y;
    if (zoom) {
        x = FloorDiv(x * m_zoom, 100);
        y = FloorDiv(y * m_zoom, 100);
    }
    if (offset) {
        x += m_offset.x;
        y += m_offset.y;
    }
    return POINT{static_cast<int>(x), static_cast<int>(y)};
}

RECT CTransparencyGeometry::GetVisiblePictureRect() const
{
    const auto w =
        std::min<std::int64_t>(m_width - m_origin.x, CeilDiv(std::int64_t{m_clientWidth} * 100, m_zoom));
    const auto h =
        std::min<std::int64_t>(m_height - m_origin.y, CeilDiv(std::int64_t{m_clientHeight} * 100, m_zoom));
    return RECT{m_origin.x, m_origin.y, m_origin.x + static_cast<int>(w), m_origin.y + static_cast<int>(h)};
}

SIZE CTransparencyGeometry::GetScaledPictureSize(bool fromScrollOrigin) const
{
    const std::int64_t w = fromScrollOrigin ? m_width - m_origin.x : m_width;
    const std::int64_t h = fromScrollOrigin ? m_height - m_origin.y : m_height;
    return SIZE{static_cast<int>(CeilDiv(w * m_zoom, 100)), static_cast<int>(CeilDiv(h * m_zoom, 100))};
}

RECT CTransparencyGeometry::GetPictureClientRect() const
{
    const RECT visible = GetVisiblePictureRect();
    const auto span = [this](int offset, int size, int visibleSize, int client, int& from, int& to) {
        if (offset != 0) {
            from = offset;
            to = offset + static_cast<int>(CeilDiv(std::int64_t{size} * m_zoom, 100));
            return;
        }
        const int shown = static_cast<int>(CeilDiv(std::int64_t{visibleSize} * m_zoom, 100));
        from = 0;
        to = shown < client ? shown : client;
    };
    RECT r{};
    span(m_offset.x, m_width, visible.right - visible.left, m_clientWidth, r.left, r.right);
    span(m_offset.y, m_height, visible.bottom - visible.top, m_clientHeight, r.top, r.bottom);
    return r;
}

RECT CTransparencyGeometry::SnapRect(RECT rect) const
{
    if (m_zoom <= 100)
        return rect;
    const auto snap = [this](int c) {
        return static_cast<int>(FloorDiv(std::int64_t{c} * 100, m_zoom) * m_zoom / 100);
    };
    return RECT{snap(rect.left), snap(rect.top), snap(rect.right), snap(rect.bottom)};
}

void CTransparencyGeometry::UpdateScrollBars()
{
    const SIZE scaled = GetScaledPictureSize(false);
    POINT origin = m_origin;
    const auto layout = [this](TransparencyScrollBar& bar, int client, int scaledSize, int size, int& origin,
                               int& offset) {
        if (client < scaledSize) {
            bar.inUse = true;
            bar.page = size / 8;
            bar.max = (size - static_cast<int>(CeilDiv(std::int64_t{client} * 100, m_zoom))) + bar.page;
            bar.SetPos(bar.pos);
            origin = bar.pos;
            offset = 0;
        } else {
            bar = TransparencyScrollBar{};
            origin = 0;
            offset = (client - scaledSize) / 2;
        }
    };
    layout(m_horizontal, m_clientWidth, scaled.cx, m_width, origin.x, m_offset.x);
    layout(m_vertical, m_clientHeight, scaled.cy, m_height, origin.y, m_offset.y);
    SetScrollOrigin(origin.x, origin.y);
}

const TransparencyScrollBar& CTransparencyGeometry::Bar(unsigned message) const
{
    return message == WM_HSCROLL ? m_horizontal : m_vertical;
}

TransparencyScrollBar& CTransparencyGeometry::MutableBar(unsigned message)
{
    return message == WM_HSCROLL ? m_horizontal : m_vertical;
}

bool CTransparencyGeometry::ScrollBy(unsigned message, int code, int position)
{
    if (message != WM_HSCROLL && message != WM_VSCROLL)
        return false;
    TransparencyScrollBar& bar = MutableBar(message);
    switch (code) {
    case SB_LINEUP:
    case SB_PAGEUP:
        bar.SetPos(bar.pos - bar.page);
        break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
        bar.SetPos(bar.pos + bar.page);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        bar.SetPos(position);
        break;
    default:
        break;
    }
    if (message == WM_HSCROLL)
        SetScrollOrigin(bar.pos, -1);
    else
        SetScrollOrigin(-1, bar.pos);
    return true;
}

void CTransparencyGeometry::CenterOn(int x, int y)
{
    if (m_horizontal.inUse) {
        const int half = static_cast<int>(CeilDiv(std::int64_t{m_clientWidth} * 100, m_zoom) / 2);
        ScrollBy(WM_HSCROLL, SB_THUMBPOSITION, std::clamp(x - half, 0, m_horizontal.max));
    }
    if (m_vertical.inUse) {
        const int half = static_cast<int>(CeilDiv(std::int64_t{m_clientHeight} * 100, m_zoom) / 2);
        ScrollBy(WM_VSCROLL, SB_THUMBPOSITION, std::clamp(y - half, 0, m_vertical.max));
    }
}

void CTransparencyGeometry::SetScrollOrigin(int x, int y)
{
    if (x != -1) {
        m_previous.x = m_origin.x;
        m_origin.x = x;
    }
    if (y != -1) {
        m_previous.y = m_origin.y;
        m_origin.y = y;
    }
}

int CTransparencyGeometry::GetScrollMax(unsigned message) const
{
    return Bar(message).inUse ? Bar(message).max : 0;
}

int CTransparencyGeometry::GetScrollMin(unsigned) const
{
    return 0;
}

int CTransparencyGeometry::GetScrollPage(unsigned message) const
{
    return Bar(message).inUse ? Bar(message).page : 0;
}

bool CTransparencyGeometry::IsAtScrollEnd(unsigned message) const
{
    // A bar out of use, or one too short for a page, cannot move on either.
    const TransparencyScrollBar& bar = Bar(message);
    return !bar.inUse || bar.pos >= bar.LastPos();
}

bool CTransparencyGeometry::IsAtScrollStart(unsigned message) const
{
    return !Bar(message).inUse || Bar(message).pos == GetScrollMin(message);
}
