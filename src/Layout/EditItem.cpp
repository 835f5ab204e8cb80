#include "Layout/EditItem.h"

#include "ImageProcessing/Image.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Platform/Archive.h"

int MapHandleCode(int code)
{
    static constexpr int kinds[9] = {3, 8, 4, 10, 5, 7, 11, 6, 9};
    return (code >= 1 && code <= 9) ? kinds[code - 1] : 0;
}

void CEditItem::Serialize(CArchive& archive)
{
    CItem::Serialize(archive);
    if (archive.IsStoring()) {
        archive.WriteInt32(m_kind);
        // The target is not a value that could be restored: it is stored as none.
        archive.WriteInt32(0);
    } else {
        m_kind = archive.ReadInt32();
        archive.ReadInt32();
        m_target = nullptr;
    }
}

bool CEditItem::Draw(CImage* canvas, float scale, const POINT* origin, bool /*force*/)
{
    if (!canvas || !canvas->IsValid())
        return false;
    RECT raw;
    GetScaledRect(&raw, scale);
    raw = item_draw::MoveToOrigin(raw, origin);
    // A line's rect may be flat or reversed: it is visible when its stroke is.
    if (item_draw::IsEmptyRect(item_draw::ClipToCanvas(item_draw::NormalizedStroke(raw), canvas)))
        return false;
    const RECT r = item_draw::ClampToCanvas(raw, canvas);
    CImageDC* dc = canvas->GetDC();
    if (!m_target) {
        if (m_kind == KindRubberBand) {
            item_draw::Outline(canvas, RECT{r.left, r.top, r.right - 1, r.bottom - 1}, 0, R2_NOT);
            return true;
        }
        if (m_kind == KindNewLine) {
            const int oldRop = dc->SetROP2(R2_NOT);
            const CImagePen oldPen = dc->SelectObject(CImagePen{PS_SOLID, 1, 0});
            dc->MoveTo(r.left, r.top);
            dc->LineTo(r.right, r.bottom);
            dc->SelectObject(oldPen);
            dc->SetROP2(oldRop);
            return true;
        }
        return false;
    }
    if (const auto* line = dynamic_cast<const CLineItem*>(m_target)) {
        const int n = static_cast<int>((line->GetWidth(false, 0.0f) - 1) * EffectiveScale(scale));
        const int h = n / 2;
        const int oldRop = dc->SetROP2(R2_NOT);
        const CImagePen oldPen = dc->SelectObject(CImagePen{PS_SOLID, 1, 0});
        dc->MoveTo(r.left + h, r.top + h);
        if (r.right == r.left)
            dc->LineTo(r.left + h, r.bottom + h - n);
        else
            dc->LineTo(r.right + h - n, r.top + h);
        dc->SelectObject(oldPen);
        dc->SetROP2(oldRop);
        return true;
    }
    if (IsKindOf<CStringItem>(m_target) || IsKindOf<CMacroStringItem>(m_target) ||
        IsKindOf<CBackgroundImageFrameItem>(m_target) || IsKindOf<CInsertImageFrameItem>(m_target)) {
        item_draw::Outline(canvas, RECT{r.left, r.top, r.right - 1, r.bottom - 1}, 0, R2_NOT);
        return true;
    }
    return false;
}

bool CEditItem::DrawAtOwnScale(CImage* canvas, const POINT* origin)
{
    return CItem::DrawAtOwnScale(canvas, origin);
}

int CEditItem::SetHandleFromCode(int code)
{
    m_kind = MapHandleCode(code);
    return m_kind;
}

int CEditItem::GetCursorForKind(int kind, bool swap) const
{
    const auto* line = dynamic_cast<const CLineItem*>(m_target);
    RECT rect{};
    if (line)
        line->GetRect(&rect, false);
    switch (kind) {
    case KindMove:
        return CursorMove;
    case KindTop:
    case KindBottom:
        return (line && rect.bottom == rect.top) ? CursorSizeHorizontal : CursorSizeVertical;
    case KindLeft:
    case KindRight:
        return (line && rect.right == rect.left) ? CursorSizeVertical : CursorSizeHorizontal;
    case KindTopLeft:
    case KindBottomRight:
        return swap ? CursorSizeDiagonalUp : CursorSizeDiagonalDown;
    case KindTopRight:
    case KindBottomLeft:
        return swap ? CursorSizeDiagonalDown : CursorSizeDiagonalUp;
    default:
        return CursorNone;
    }
}
