#include "Dialogs/PictureViewGeometry.h"

#include "Core/ErrorCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// The factor is zoom / 100; integer arithmetic keeps every step exact.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b)
{
    return -FloorDiv(-a, b);
}

int ToInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

} // namespace

int PictureViewAxis::MaxPosition() const
{
    return std::max(0, rangeMax - std::max(page - 1, 0));
}

CPictureViewGeometry::CPictureViewGeometry(std::vector<int> zoomSteps, int resetZoom)
    : m_steps(std::move(zoomSteps)), m_resetZoom(resetZoom), m_zoom(resetZoom)
{
}

void CPictureViewGeometry::Reset()
{
    m_zoom = m_resetZoom;
    m_picture = SIZE{};
    m_client = SIZE{};
    m_x = PictureViewAxis{};
    m_y = PictureViewAxis{};
    ClearCarries();
}

void CPictureViewGeometry::SetPictureSize(SIZE size)
{
    m_picture = SIZE{std::max(size.cx, 0), std::max(size.cy, 0)};
    SetClientSize(m_client);
}

void CPictureViewGeometry::UpdateAxis(PictureViewAxis& axis, int picture, int client) const
{
    const std::int64_t scaled = CeilDiv(std::int64_t{picture} * m_zoom, 100);
    if (client < scaled) {
        axis.barShown = true;
        axis.page = picture / 8;
        axis.rangeMax = ToInt(picture - CeilDiv(std::int64_t{client} * 100, m_zoom) + axis.page);
        axis.origin = std::clamp(axis.origin, 0, axis.MaxPosition());
        axis.offset = 0;
    } else {
        axis.barShown = false;
        axis.page = 0;
        axis.rangeMax = 0;
        axis.origin = 0;
        axis.offset = ToInt((client - scaled) / 2);
    }
}

void CPictureViewGeometry::SetClientSize(SIZE size)
{
    m_client = SIZE{std::max(size.cx, 0), std::max(size.cy, 0)};
    UpdateAxis(m_x, m_picture.cx, m_client.cx);
    UpdateAxis(m_y, m_picture.cy, m_client.cy);
}

void CPictureViewGeometry::SetZoom(int zoom)
{
    BoolCheck(std::find(m_steps.begin(), m_steps.end(), zoom) != m_steps.end(), ErrorIdSilent);
    m_zoom = zoom;
    SetClientSize(m_client);
}

int CPictureViewGeometry::ZoomInStep() const
{
    const auto next = std::upper_bound(m_steps.begin(), m_steps.end(), m_zoom);
    return next == m_steps.end() ? m_zoom : *next;
}

int CPictureViewGeometry::ZoomOutStep() const
{
    const auto at = std::lower_bound(m_steps.begin(), m_steps.end(), m_zoom);
    return at == m_steps.begin() ? m_zoom : *(at - 1);
}

int CPictureViewGeometry::FitZoom() const
{
    if (m_steps.empty())
        return m_zoom;
    if (m_picture.cx <= 0 || m_picture.cy <= 0)
        return m_steps.front();
    const double r = 100.0 * std::min(static_cast<double>(m_client.cx) / m_picture.cx,
                                      static_cast<double>(m_client.cy) / m_picture.cy);
    int chosen = m_steps.front();
    for (int step : m_steps)
        if (step <= r)
            chosen = step;
    return chosen;
}

void CPictureViewGeometry::CentreOn(POINT picture)
{
    const auto centre = [this](PictureViewAxis& axis, int point, int client) {
        if (!axis.barShown)
            return;
        const std::int64_t visible = CeilDiv(std::int64_t{client} * 100, m_zoom);
        axis.origin = std::clamp(ToInt(point - visible / 2), 0, axis.MaxPosition());
    };
    centre(m_x, picture.x, m_client.cx);
    centre(m_y, picture.y, m_client.cy);
}

bool CPictureViewGeometry::ScrollTo(bool vertical, int position)
{
    PictureViewAxis& axis = vertical ? m_y : m_x;
    const int clamped = std::clamp(position, 0, axis.MaxPosition());
    if (clamped == axis.origin)
        return false;
    axis.origin = clamped;
    return true;
}

bool CPictureViewGeometry::ScrollBy(bool vertical, int distance)
{
    const PictureViewAxis& axis = vertical ? m_y : m_x;
    return ScrollTo(vertical, ToInt(std::int64_t{axis.origin} + distance));
}

POINT CPictureViewGeometry::ClientToPicture(POINT client) const
{
    const auto convert = [this](int c, const PictureViewAxis& axis) {
        std::int64_t v = std::int64_t{c} - axis.offset;
        if (m_zoom != 100)
            v = FloorDiv(v * 100, m_zoom);
        return ToInt(v + axis.origin);
    };
    return POINT{convert(client.x, m_x), convert(client.y, m_y)};
}

RECT CPictureViewGeometry::PictureToClient(const RECT& picture) const
{
    const auto low = [this](int p, const PictureViewAxis& axis) {
        return ToInt(FloorDiv((std::int64_t{p} - axis.origin) * m_zoom, 100) + axis.offset);
    };
    const auto high = [this](int p, const PictureViewAxis& axis) {
        return ToInt(CeilDiv((std::int64_t{p} - axis.origin) * m_zoom, 100) + axis.offset);
    };
    return RECT{low(picture.left, m_x), low(picture.top, m_y), high(picture.right, m_x),
                high(picture.bottom, m_y)};
}

SIZE CPictureViewGeometry::ScaledSize() const
{
    return SIZE{ToInt(CeilDiv(std::int64_t{m_picture.cx} * m_zoom, 100)),
                ToInt(CeilDiv(std::int64_t{m_picture.cy} * m_zoom, 100))};
}

RECT CPictureViewGeometry::VisiblePictureRect() const
{
    const auto extent = [this](int client, int picture, int origin) {
        const std::int64_t fits = CeilDiv(std::int64_t{client} * 100, m_zoom);
        return ToInt(std::clamp<std::int64_t>(std::min<std::int64_t>(fits, picture - origin), 0, INT32_MAX));
    };
    return RECT{m_x.origin, m_y.origin, m_x.origin + extent(m_client.cx, m_picture.cx, m_x.origin),
                m_y.origin + extent(m_client.cy, m_picture.cy, m_y.origin)};
}

RECT CPictureViewGeometry::PictureClientArea() const
{
    const RECT area = PictureToClient(VisiblePictureRect());
    RECT clipped{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, m_client.cx),
                 std::min(area.bottom, m_client.cy)};
    if (clipped.IsEmpty())
        return RECT{};
    return clipped;
}

RECT CPictureViewGeometry::Snap(const RECT& client) const
{
    if (m_zoom <= 100)
        return client;
    // Measured from where the picture starts, so a centred picture snaps to its own pixels.
    const auto snap = [this](int c, int offset) {
        return ToInt(FloorDiv((std::int64_t{c} - offset) * 100, m_zoom) * m_zoom / 100 + offset);
    };
    return RECT{snap(client.left, m_x.offset), snap(client.top, m_y.offset), snap(client.right, m_x.offset),
                snap(client.bottom, m_y.offset)};
}

POINT CPictureViewGeometry::AutoScroll(POINT corner)
{
    const auto scroll = [this](bool vertical, int c, int client) {
        const PictureViewAxis& axis = vertical ? m_y : m_x;
        const int before = axis.origin;
        if (c < 0)
            ScrollBy(vertical, -kAutoScrollStep);
        else if (c >= client)
            ScrollBy(vertical, kAutoScrollStep);
        return axis.origin - before;
    };
    return POINT{scroll(false, corner.x, m_client.cx), scroll(true, corner.y, m_client.cy)};
}

POINT CPictureViewGeometry::AnchorShift(POINT scrolled)
{
    const auto shift = [this](int distance, double& carry) {
        carry += distance * (m_zoom / 100.0);
        const double whole = std::trunc(carry);
        carry -= whole;
        return static_cast<int>(whole);
    };
    return POINT{shift(scrolled.x, m_carryX), shift(scrolled.y, m_carryY)};
}

void CPictureViewGeometry::ClearCarries()
{
    m_carryX = 0.0;
    m_carryY = 0.0;
}

RECT SquareFromAnchor(POINT anchor, POINT moving)
{
    const int w = moving.x - anchor.x;
    const int h = moving.y - anchor.y;
    const int side = std::min(std::abs(w), std::abs(h));
    return NormalizedRect(RECT{anchor.x, anchor.y, anchor.x + Sign(w) * side, anchor.y + Sign(h) * side});
}

RECT NormalizedRect(const RECT& rect)
{
    return RECT{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
                std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
}
