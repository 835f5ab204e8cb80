#include "Layout/MacroStringItem.h"

#include "Core/Units.h"
#include "ImageProcessing/ImageFont.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/KeyedText.h"
#include "Platform/Archive.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr std::uint8_t kProofQuality = 2;
constexpr std::uint8_t kFixedPitch = 1;

std::string JoinParts(const std::vector<std::string>& parts)
{
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty())
            joined += ' ';
        joined += part;
    }
    return joined;
}

} // namespace

void CMacroStringItem::Serialize(CArchive& archive)
{
    CLayoutItem::Serialize(archive);
    if (archive.IsStoring()) {
        archive.WriteInt32(m_kind);
        archive.WriteInt32(m_direction);
        // The owner is linked again by the code that reads the items.
        archive.WriteInt32(0);
    } else {
        m_kind = archive.ReadInt32();
        m_direction = archive.ReadInt32();
        archive.ReadInt32();
        m_owner = nullptr;
    }
}

void CMacroStringItem::SetSelected(bool selected)
{
    CLayoutItem::SetSelected((m_owner && m_owner->IsSelected()) ? true : selected);
}

void CMacroStringItem::Rotate(bool clockwise)
{
    if (m_direction >= 0 && m_direction <= 3)
        m_direction = (m_direction + (clockwise ? 1 : 3)) % 4;
}

CMacroStringItem* CMacroStringItem::CopyFrom(const CMacroStringItem& other)
{
    CLayoutItem::CopyFrom(other);
    SetMacroKind(other.GetMacroKind());
    SetDirection(other.GetDirection());
    SetOwnerFrame(other.GetOwnerFrame());
    return this;
}

std::string CMacroStringItem::GetSampleText() const
{
    switch (m_kind) {
    case KindDateTime:
        return "XXXX.XX.XX  XX:XX:XX";
    case KindShootingData: {
        if (!m_owner)
            return {};
        std::vector<std::string> parts;
        if (m_owner->ShowsExposureTime())
            parts.push_back("X/XXs");
        if (m_owner->ShowsFNumber())
            parts.push_back("FX.X");
        if (m_owner->ShowsISO())
            parts.push_back("ISOXXX");
        if (m_owner->ShowsCameraName())
            parts.push_back("XXXXXXXX");
        if (m_owner->ShowsFlash())
            parts.push_back("XXX");
        return JoinParts(parts);
    }
    case KindFileName:
        return m_owner ? std::string(32, 'X') : std::string();
    default:
        return {};
    }
}

std::string CMacroStringItem::GetMacroText() const
{
    switch (m_kind) {
    case KindDateTime: {
        char text[64];
        std::snprintf(text, sizeof text, "%s.%s.%s  %s:%s:%s", "%Y", "%L", "%D", "%H", "%M", "%S");
        return text;
    }
    case KindShootingData: {
        if (!m_owner)
            return {};
        std::vector<std::string> parts;
        if (m_owner->ShowsExposureTime())
            parts.push_back("%E");
        if (m_owner->ShowsFNumber())
            parts.push_back("%U");
        if (m_owner->ShowsISO())
            parts.push_back("%I");
        if (m_owner->ShowsCameraName())
            parts.push_back("%C");
        if (m_owner->ShowsFlash())
            parts.push_back("%A");
        return JoinParts(parts);
    }
    case KindFileName:
        if (!m_owner)
            return {};
        return m_owner->ShowsFullPath() ? "%F" : "%f";
    default:
        return {};
    }
}

bool CMacroStringItem::OwnerFont(LOGFONT* out) const
{
    if (!m_owner || !out)
        return false;
    *out = LOGFONT{};
    out->lfFaceName = m_owner->GetInfoFontName();
    out->lfHeight = m_owner->GetInfoFontSize() == 1 ? 50 : 40;
    out->lfQuality = kProofQuality;
    out->lfPitchAndFamily = kFixedPitch;
    return true;
}

RECT* CMacroStringItem::FitRectToText(RECT* out, bool fit) const
{
    if (!out)
        return out;
    RECT r;
    GetRect(&r, false);
    if (!fit) {
        *out = RECT{r.left, r.top, r.left, r.top};
        return out;
    }
    LOGFONT font;
    if (!OwnerFont(&font)) {
        *out = r;
        return out;
    }
    const SIZE extent = MeasureTextLine(font, GetSampleText());
    const bool across = m_direction == 1 || m_direction == 3;
    const int w = across ? extent.cy : extent.cx;
    const int h = across ? extent.cx : extent.cy;
    *out = RECT{r.left, r.top, r.left + w, r.top + h};
    return out;
}

bool CMacroStringItem::Draw(CImage* canvas, float scale, const POINT* origin, bool force)
{
    if (!MayDraw(force) || !m_owner || !canvas || !canvas->IsValid())
        return false;
    const float drawScale = EffectiveScale(scale);
    RECT r;
    GetScaledRect(&r, drawScale);
    r = item_draw::MoveToOrigin(r, origin);
    const RECT visible = item_draw::ClipToCanvas(r, canvas);
    if (item_draw::IsEmptyRect(visible))
        return false;
    LOGFONT font;
    OwnerFont(&font);
    const std::string text = GetSampleText();
    const SIZE extent = MeasureTextLine(font, text);
    const int w = RoundHalfAway(extent.cx * static_cast<double>(drawScale));
    const int h = RoundHalfAway(extent.cy * static_cast<double>(drawScale));
    RECT box;
    switch (m_direction) {
    case 1:
        box = RECT{r.right - h, r.top, r.right, r.top + w};
        break;
    case 2:
        box = RECT{r.right - w, r.bottom - h, r.right, r.bottom};
        break;
    case 3:
        box = RECT{r.left, r.bottom - w, r.left + h, r.bottom};
        break;
    default:
        box = RECT{r.left, r.top, r.left + w, r.top + h};
        break;
    }
    const COLORREF color = m_owner->GetInfoTextColor();
    const COLORREF key = (color & 0xFFFFFF) == 0xFFFFFF ? 0x000000 : 0xFFFFFF;
    if (!text.empty() && w > 0 && h > 0) {
        const RECT clip{std::max(visible.left, box.left), std::max(visible.top, box.top),
                        std::min(visible.right, box.right), std::min(visible.bottom, box.bottom)};
        DrawKeyedTextLine(canvas, clip, box, text, font, extent, m_direction, color, key);
    }
    return true;
}

void CMacroStringItem::DirectionHandles(int handles[2]) const
{
    if (m_direction == 1 || m_direction == 3) {
        handles[0] = 1;
        handles[1] = 6;
    } else {
        handles[0] = 3;
        handles[1] = 4;
    }
}

void CMacroStringItem::DrawSelection(CImage* canvas, const POINT* origin)
{
    int handles[2];
    DirectionHandles(handles);
    DrawSelectionFrame(canvas, origin, true, handles, 2);
}

POINT* CMacroStringItem::GetHandlePoint(POINT* out, int index, bool scaled) const
{
    if (!out)
        return out;
    int handles[2];
    DirectionHandles(handles);
    if (index != handles[0] && index != handles[1]) {
        *out = POINT{0, 0};
        return out;
    }
    return CLayoutItem::GetHandlePoint(out, index, scaled);
}

int CMacroStringItem::HitTest(POINT point)
{
    int handles[2];
    DirectionHandles(handles);
    if (const int code = HitHandles(point, handles, 2))
        return code;
    RECT r;
    GetScaledRect(&r, GetScale());
    return HitWidened(point, r) ? 1 : 0;
}
