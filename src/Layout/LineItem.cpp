#include "Layout/LineItem.h"

#include "Platform/Archive.h"

void CLineItem::Serialize(CArchive& archive)
{
    CLayoutItem::Serialize(archive);
    if (archive.IsStoring()) {
        archive.WriteUInt32(m_color);
        archive.WriteInt32(m_width);
        const std::uint8_t number[2] = {static_cast<std::uint8_t>(m_lineNumber & 0xFF),
                                        static_cast<std::uint8_t>(m_lineNumber >> 8)};
        archive.WriteBytes(number, 2);
    } else {
        m_color = archive.ReadUInt32();
        m_width = archive.ReadInt32();
        std::uint8_t number[2];
        archive.ReadBytes(number, 2);
        m_lineNumber = static_cast<std::uint16_t>(number[0] | (number[1] << 8));
    }
}

int CLineItem::GetWidth(bool scaled, float scale) const
{
    if (!scaled)
        return m_width;
    return static_cast<int>(m_width * EffectiveScale(scale));
}

bool CLineItem::IsVertical() const
{
    RECT r;
    GetRect(&r, false);
    return r.left == r.right;
}

RECT* CLineItem::CalcLineRect(RECT* out, RECT rect, int thickness) const
{
    if (!out)
        return out;
    const int h = thickness / 2;
    if (rect.right != rect.left)
        *out = RECT{rect.left + h, rect.top + h, rect.right + h - thickness, rect.top + h};
    else
        *out = RECT{rect.left + h, rect.top + h, rect.left + h, rect.bottom + h - thickness};
    return out;
}

RECT* CLineItem::GetScaledLineRect(RECT* out, float scale) const
{
    RECT r;
    GetScaledRect(&r, scale);
    return CalcLineRect(out, r, static_cast<int>((m_width - 1) * EffectiveScale(scale)));
}

RECT* CLineItem::GetLineBounds(RECT* out, bool scaled) const
{
    RECT r;
    GetRect(&r, scaled);
    const int t = scaled ? static_cast<int>((m_width - 1) * GetScale()) : m_width - 1;
    return CalcLineRect(out, r, t);
}

bool CLineItem::Draw(CImage* canvas, float scale, const POINT* origin, bool force)
{
    if (!MayDraw(force) || !canvas || !canvas->IsValid())
        return false;
    RECT r;
    GetScaledRect(&r, scale);
    r = item_draw::MoveToOrigin(r, origin);
    // The rect of a line is flat: it is on the canvas when its stroke is.
    if (item_draw::IsEmptyRect(item_draw::ClipToCanvas(item_draw::NormalizedStroke(r), canvas)))
        return false;
    const int n = static_cast<int>((m_width - 1) * EffectiveScale(scale));
    if (IsVertical()) {
        r.right += n;
        if (r.right - r.left <= 0)
            r.right = r.left + 1;
    } else {
        r.bottom += n;
        if (r.bottom - r.top <= 0)
            r.bottom = r.top + 1;
    }
    canvas->DrawRectangle(r.left, r.top, r.right, r.bottom, m_color, m_color);
    return true;
}

void CLineItem::EndHandles(int handles[2]) const
{
    if (IsVertical()) {
        handles[0] = 1;
        handles[1] = 6;
    } else {
        handles[0] = 3;
        handles[1] = 4;
    }
}

void CLineItem::DrawSelection(CImage* canvas, const POINT* origin)
{
    int handles[2];
    EndHandles(handles);
    DrawSelectionFrame(canvas, origin, false, handles, 2);
}

POINT* CLineItem::GetHandlePoint(POINT* out, int index, bool scaled) const
{
    if (!out)
        return out;
    RECT r;
    GetRect(&r, scaled);
    const int n = scaled ? static_cast<int>((m_width - 1) * GetScale()) : m_width - 1;
    const int h = n / 2;
    *out = POINT{0, 0};
    if (IsVertical()) {
        if (index == 1)
            *out = POINT{r.left + h, r.top + h - 4};
        else if (index == 6)
            *out = POINT{r.left + h, r.bottom - n + h + 4};
    } else {
        if (index == 3)
            *out = POINT{r.left + h - 4, r.top + h};
        else if (index == 4)
            *out = POINT{r.right - n + h + 4, r.top + h};
    }
    return out;
}

int CLineItem::HitTest(POINT point)
{
    int handles[2];
    EndHandles(handles);
    if (const int code = HitHandles(point, handles, 2))
        return code;
    RECT r;
    GetScaledRect(&r, GetScale());
    const int n = static_cast<int>((m_width - 1) * GetScale());
    if (IsVertical()) {
        r.right += n;
        if (r.right - r.left < 4) {
            const int grow = (4 - (r.right - r.left)) / 2;
            r.left -= grow;
            r.right += grow;
        }
    } else {
        r.bottom += n;
        if (r.bottom - r.top < 4) {
            const int grow = (4 - (r.bottom - r.top)) / 2;
            r.top -= grow;
            r.bottom += grow;
        }
    }
    return (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) ? 1 : 0;
}

CLineItem* CLineItem::CopyFrom(const CLineItem& other)
{
    CLayoutItem::CopyFrom(other);
    SetColor(other.GetColor());
    SetWidth(other.GetWidth(false, 0.0f));
    SetLineNumber(other.GetLineNumber());
    return this;
}
