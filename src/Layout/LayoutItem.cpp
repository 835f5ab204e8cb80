#include "Layout/LayoutItem.h"

#include "Core/Units.h"
#include "Layout/ArchiveText.h"
#include "Platform/Archive.h"

namespace {
constexpr int kItemImageSize = 50;
constexpr int kAllHandles[8] = {0, 1, 2, 3, 4, 5, 6, 7};
} // namespace

CLayoutItem::CLayoutItem()
{
    m_itemImage.Create(kItemImageSize, kItemImageSize);
}

void CLayoutItem::Serialize(CArchive& archive)
{
    CItem::Serialize(archive);
    if (archive.IsStoring()) {
        WriteTextLines(archive, m_label);
        archive.WriteInt32(m_selected);
        archive.WriteInt32(m_visible);
        archive.WriteInt32(m_drawSuppressed);
    } else {
        m_label = ReadTextLines(archive);
        m_selected = archive.ReadInt32();
        m_visible = archive.ReadInt32();
        m_drawSuppressed = archive.ReadInt32();
    }
}

bool CLayoutItem::Draw(CImage* canvas, float scale, const POINT* origin, bool force)
{
    return CItem::Draw(canvas, scale, origin, force);
}

bool CLayoutItem::DrawToFit(CImage* canvas, const RECT& target, bool force)
{
    return CItem::DrawToFit(canvas, target, force);
}

bool CLayoutItem::DrawAtOwnScale(CImage* canvas, const POINT* origin)
{
    const bool result = Draw(canvas, GetScale(), origin, false);
    if (!m_itemImage.IsValid())
        return result;
    m_itemImage.FillRectLTRB(0, 0, kItemImageSize, kItemImageSize, IsSelected() ? 0x996633 : 0xDCC8C8);
    const RECT& box = m_itemImageRect;
    m_itemImage.DrawRectangle(box.left - 1, box.top - 1, box.right + 1, box.bottom + 1, 0x000000, 0xFFFFFF);
    RECT t;
    GetRect(&t, false);
    const double s = m_itemImageScale;
    t = RECT{RoundHalfAway(t.left * s) + box.left, RoundHalfAway(t.top * s) + box.top,
             RoundHalfAway(t.right * s) + box.left, RoundHalfAway(t.bottom * s) + box.top};
    CRgn clip;
    clip.CreateRectRgn(box.left, box.top, box.right, box.bottom);
    m_itemImage.SelectClipRgn(&clip);
    DrawToFit(&m_itemImage, t, true);
    m_itemImage.SelectClipRgn(nullptr);
    item_draw::Outline(&m_itemImage, RECT{box.left - 1, box.top - 1, box.right, box.bottom}, 0x000000,
                       R2_COPYPEN);
    return result;
}

int CLayoutItem::HitTest(POINT point)
{
    const int code = HitHandles(point, kAllHandles, 8);
    if (code)
        return code;
    RECT r;
    GetScaledRect(&r, GetScale());
    return HitWidened(point, r) ? 1 : 0;
}

int CLayoutItem::HitHandles(POINT point, const int* indexes, int count) const
{
    for (int k = 0; k < count; ++k) {
        POINT p;
        GetHandlePoint(&p, indexes[k], true);
        if (point.x >= p.x - 3 && point.x < p.x + 3 && point.y >= p.y - 3 && point.y < p.y + 3)
            return indexes[k] + 2;
    }
    return 0;
}

bool CLayoutItem::HitWidened(POINT point, RECT r)
{
    if (r.right - r.left < 4) {
        const int grow = (4 - (r.right - r.left)) / 2;
        r.left -= grow;
        r.right += grow;
    }
    if (r.bottom - r.top < 4) {
        const int grow = (4 - (r.bottom - r.top)) / 2;
        r.top -= grow;
        r.bottom += grow;
    }
    return point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
}

RECT* CLayoutItem::GetItemImageRect(RECT* out) const
{
    if (out)
        *out = m_itemImageRect;
    return out;
}

void CLayoutItem::SetItemImageRect(const RECT& rect)
{
    m_itemImageRect = rect;
    if (m_itemImageRect.left < 0)
        m_itemImageRect.left = 0;
    if (m_itemImageRect.top < 0)
        m_itemImageRect.top = 0;
    if (m_itemImageRect.right > kItemImageSize)
        m_itemImageRect.right = kItemImageSize;
    if (m_itemImageRect.bottom > kItemImageSize)
        m_itemImageRect.bottom = kItemImageSize;
}

void CLayoutItem::DrawSelection(CImage* canvas, const POINT* origin)
{
    DrawSelectionFrame(canvas, origin, true, kAllHandles, 8);
}

void CLayoutItem::DrawSelectionFrame(CImage* canvas, const POINT* origin, bool outline, const int* handles,
                                     int count) const
{
    if (!IsVisible() || !IsSelected() || IsDrawSuppressed() || !canvas || !canvas->IsValid())
        return;
    RECT own;
    GetScaledRect(&own, GetScale());
    const RECT r = item_draw::MoveToOrigin(own, origin);
    // A line's flat rect counts with its one-pixel stroke.
    if (item_draw::IsEmptyRect(item_draw::ClipToCanvas(item_draw::NormalizedStroke(r), canvas)))
        return;
    if (outline)
        item_draw::Outline(canvas, RECT{r.left - 1, r.top - 1, r.right, r.bottom}, 0x000000, R2_COPYPEN);
    const int dx = r.left - own.left;
    const int dy = r.top - own.top;
    for (int k = 0; k < count; ++k) {
        POINT p;
        GetHandlePoint(&p, handles[k], true);
        item_draw::HandleSquare(canvas, POINT{p.x + dx, p.y + dy});
    }
}

POINT* CLayoutItem::GetHandlePoint(POINT* out, int index, bool scaled) const
{
    if (!out)
        return out;
    RECT r;
    GetRect(&r, scaled);
    const int L = r.left - 4;
    const int T = r.top - 4;
    const int R = r.right + 4;
    const int B = r.bottom + 4;
    const int mx = L + (R - L) / 2;
    const int my = T + (B - T) / 2;
    switch (index) {
    case 0:
        *out = POINT{L, T};
        break;
    case 1:
        *out = POINT{mx, T};
        break;
    case 2:
        *out = POINT{R, T};
        break;
    case 3:
        *out = POINT{L, my};
        break;
    case 4:
        *out = POINT{R, my};
        break;
    case 5:
        *out = POINT{L, B};
        break;
    case 6:
        *out = POINT{mx, B};
        break;
    case 7:
        *out = POINT{R, B};
        break;
    default:
        *out = POINT{0, 0};
        break;
    }
    return out;
}

CLayoutItem* CLayoutItem::CopyFrom(const CLayoutItem& other)
{
    CItem::CopyFrom(other);
    SetLabel(other.GetLabel());
    SetSelected(other.IsSelected());
    SetVisible(other.IsVisible());
    SetDrawSuppressed(other.IsDrawSuppressed());
    if (this != &other)
        GetItemImage()->CopyFrom(other.GetItemImage());
    RECT rect;
    other.GetItemImageRect(&rect);
    SetItemImageRect(rect);
    SetItemImageScale(other.GetItemImageScale());
    return this;
}
