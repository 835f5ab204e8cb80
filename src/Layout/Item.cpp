#include "Layout/Item.h"

#include "Core/Units.h"
#include "ImageProcessing/Image.h"
#include "Platform/Archive.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace {

int ScaleValue(int value, float scale)
{
    return RoundHalfAway(static_cast<double>(value) * static_cast<double>(scale));
}

int UnscaleValue(int value, float scale)
{
    return RoundHalfAway(static_cast<double>(value) / static_cast<double>(scale));
}

} // namespace

void CItem::Serialize(CArchive& archive)
{
    if (archive.IsStoring()) {
        archive.WriteInt32(m_rect.left);
        archive.WriteInt32(m_rect.top);
        archive.WriteInt32(m_rect.right);
        archive.WriteInt32(m_rect.bottom);
        archive.WriteUInt32(std::bit_cast<std::uint32_t>(m_scale));
        archive.WriteInt32(m_orientation);
    } else {
        m_rect.left = archive.ReadInt32();
        m_rect.top = archive.ReadInt32();
        m_rect.right = archive.ReadInt32();
        m_rect.bottom = archive.ReadInt32();
        m_scale = std::bit_cast<float>(archive.ReadUInt32());
        m_orientation = archive.ReadInt32();
    }
}

RECT* CItem::GetScaledRect(RECT* out, float scale) const
{
    if (!out)
        return out;
    *out = m_rect;
    ScaleRect(out, scale);
    return out;
}

RECT* CItem::GetRect(RECT* out, bool scaled) const
{
    if (!out)
        return out;
    if (scaled)
        return GetScaledRect(out, m_scale);
    *out = m_rect;
    return out;
}

void CItem::SetRect(const RECT& rect)
{
    m_rect = rect;
}

bool CItem::SetOrientation(int orientation)
{
    if (orientation != 0 && orientation != 1)
        return false;
    m_orientation = orientation;
    return true;
}

bool CItem::Draw(CImage* canvas, float scale, const POINT* origin, bool /*force*/)
{
    if (!canvas || !canvas->IsValid())
        return false;
    RECT r;
    GetScaledRect(&r, scale);
    r = item_draw::ClipToCanvas(item_draw::MoveToOrigin(r, origin), canvas);
    if (item_draw::IsEmptyRect(r))
        return false;
    item_draw::Outline(canvas, RECT{r.left - 1, r.top - 1, r.right, r.bottom}, 0, R2_NOT);
    return true;
}

bool CItem::DrawToFit(CImage* canvas, const RECT& target, bool force)
{
    const int w = m_rect.right - m_rect.left;
    const int h = m_rect.bottom - m_rect.top;
    const int tw = target.right - target.left;
    const int th = target.bottom - target.top;
    float scale;
    if (w > h) {
        if (w == 0 || tw == 0)
            return false;
        scale = static_cast<float>(tw) / static_cast<float>(w);
    } else {
        if (h == 0 || th == 0)
            return false;
        scale = static_cast<float>(th) / static_cast<float>(h);
    }
    const POINT origin{target.left, target.top};
    return Draw(canvas, scale, &origin, force);
}

bool CItem::DrawAtOwnScale(CImage* canvas, const POINT* origin)
{
    return Draw(canvas, m_scale, origin, false);
}

int CItem::HitTest(POINT point)
{
    RECT r;
    GetScaledRect(&r, m_scale);
    return (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) ? 1 : 0;
}

int CItem::GetHandleCursor(int code) const
{
    switch (code) {
    case 1:
        return CursorMove;
    case 2:
    case 9:
        return CursorSizeDiagonalDown;
    case 3:
    case 8:
        return CursorSizeVertical;
    case 4:
    case 7:
        return CursorSizeDiagonalUp;
    case 5:
    case 6:
        return CursorSizeHorizontal;
    default:
        return CursorNone;
    }
}

CItem* CItem::CopyFrom(const CItem& other)
{
    RECT rect;
    other.GetRect(&rect, false);
    SetRect(rect);
    SetScale(other.GetScale());
    SetOrientation(other.GetOrientation());
    return this;
}

bool CItem::ScalePoint(POINT* point, float scale) const
{
    if (!point)
        return false;
    const float s = EffectiveScale(scale);
    point->x = ScaleValue(point->x, s);
    point->y = ScaleValue(point->y, s);
    return true;
}

bool CItem::ScalePoint(SIZE* size, float scale) const
{
    if (!size)
        return false;
    const float s = EffectiveScale(scale);
    size->cx = ScaleValue(size->cx, s);
    size->cy = ScaleValue(size->cy, s);
    return true;
}

bool CItem::ScaleRect(RECT* rect, float scale) const
{
    if (!rect)
        return false;
    const float s = EffectiveScale(scale);
    rect->left = ScaleValue(rect->left, s);
    rect->top = ScaleValue(rect->top, s);
    rect->right = ScaleValue(rect->right, s);
    rect->bottom = ScaleValue(rect->bottom, s);
    return true;
}

bool CItem::UnscalePoint(POINT* point, float scale) const
{
    const float s = EffectiveScale(scale);
    if (!point || s <= 0.0f)
        return false;
    point->x = UnscaleValue(point->x, s);
    point->y = UnscaleValue(point->y, s);
    return true;
}

bool CItem::UnscalePoint(SIZE* size, float scale) const
{
    const float s = EffectiveScale(scale);
    if (!size || s <= 0.0f)
        return false;
    size->cx = UnscaleValue(size->cx, s);
    size->cy = UnscaleValue(size->cy, s);
    return true;
}

bool CItem::UnscaleRect(RECT* rect, float scale) const
{
    const float s = EffectiveScale(scale);
    if (!rect || s <= 0.0f)
        return false;
    rect->left = UnscaleValue(rect->left, s);
    rect->top = UnscaleValue(rect->top, s);
    rect->right = UnscaleValue(rect->right, s);
    rect->bottom = UnscaleValue(rect->bottom, s);
    return true;
}

namespace item_draw {

RECT MoveToOrigin(const RECT& rect, const POINT* origin)
{
    if (!origin)
        return rect;
    return RECT{origin->x, origin->y, origin->x + (rect.right - rect.left),
                origin->y + (rect.bottom - rect.top)};
}

bool IsEmptyRect(const RECT& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

RECT NormalizedStroke(const RECT& rect)
{
    RECT r{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom), std::max(rect.left, rect.right),
           std::max(rect.top, rect.bottom)};
    r.right = std::max(r.right, r.left + 1);
    r.bottom = std::max(r.bottom, r.top + 1);
    return r;
}

RECT ClampToCanvas(const RECT& rect, const CImage* canvas)
{
    const int w = canvas ? canvas->GetWidth() : 0;
    const int h = canvas ? canvas->GetHeight() : 0;
    return RECT{std::clamp(rect.left, 0, w), std::clamp(rect.top, 0, h), std::clamp(rect.right, 0, w),
                std::clamp(rect.bottom, 0, h)};
}

RECT ClipToCanvas(const RECT& rect, const CImage* canvas)
{
    if (!canvas || !canvas->IsValid())
        return RECT{};
    RECT r{rect.left < 0 ? 0 : rect.left, rect.top < 0 ? 0 : rect.top,
           rect.right > canvas->GetWidth() ? canvas->GetWidth() : rect.right,
           rect.bottom > canvas->GetHeight() ? canvas->GetHeight() : rect.bottom};
    return IsEmptyRect(r) ? RECT{} : r;
}

void Outline(CImage* canvas, const RECT& rect, COLORREF color, int rop2)
{
    CImageDC* dc = canvas ? canvas->GetDC() : nullptr;
    if (!dc)
        return;
    const int oldRop = dc->SetROP2(rop2);
    const CImagePen oldPen = dc->SelectObject(CImagePen{PS_SOLID, 1, color});
    const CImageBrush oldBrush = dc->SelectObject(CImageBrush{0, true});
    dc->Rectangle(rect.left, rect.top, rect.right, rect.bottom);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
    dc->SetROP2(oldRop);
}

void HandleSquare(CImage* canvas, POINT point)
{
    if (canvas && canvas->IsValid())
        canvas->DrawRectangle(point.x - 3, point.y - 3, point.x + 3, point.y + 3, 0x000000, 0xFFFFFF);
}

} // namespace item_draw
