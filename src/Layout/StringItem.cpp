#include "Layout/StringItem.h"

#include "Core/ErrorCheck.h"
#include "Core/Units.h"
#include "ImageProcessing/LargeImage.h"
#include "Layout/ArchiveText.h"
#include "Layout/KeyedText.h"
#include "Layout/StringTextRules.h"
#include "Platform/Archive.h"

#include <algorithm>

namespace {
constexpr int kDrawLimit = 800;
// Font heights are in 1/96 inch; layout units are 1/360 inch.
constexpr double kFontUnitsToLayout = 3.75;
constexpr int kTextImageQuality = 90;

// The pixels of the cell that are not the key, put into the large image with the cell's top-left at (x, y).
void CopyInk(const CImage& cell, COLORREF key, CLargeImage& image, int x, int y)
{
    const std::uint32_t keyPixel = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    std::uint8_t* pixels = image.GetPixels();
    const std::uint8_t* bits = cell.GetBits();
    if (!pixels || !bits)
        return;
    for (int row = 0; row < cell.GetHeight(); ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= height)
            continue;
        const auto* from = reinterpret_cast<const std::uint32_t*>(
            bits + static_cast<std::ptrdiff_t>(cell.GetHeight() - 1 - row) * cell.GetRowBytes());
        auto* to = reinterpret_cast<std::uint32_t*>(pixels +
                                                    static_cast<std::ptrdiff_t>(height - 1 - ty) * width * 4);
        for (int column = 0; column < cell.GetWidth(); ++column) {
            const int tx = x + column;
            if (tx >= 0 && tx < width && (from[column] & 0xFFFFFFu) != keyPixel)
                to[tx] = (from[column] & 0xFFFFFFu) | (to[tx] & 0xFF000000u);
        }
    }
}

} // namespace

void CStringItem::Serialize(CArchive& archive)
{
    CLayoutItem::Serialize(archive);
    if (archive.IsStoring()) {
        WriteTextLines(archive, m_text);
        WriteLogFont(archive, m_font);
        archive.WriteUInt32(m_textColor);
        archive.WriteInt32(m_shadowOffset.x);
        archive.WriteInt32(m_shadowOffset.y);
        archive.WriteUInt32(m_shadowColor);
        archive.WriteInt32(m_shadowOn);
        archive.WriteUInt32(m_backColor);
        archive.WriteInt32(m_backColorOn);
        archive.WriteInt32(m_verticalText);
        archive.WriteInt32(m_direction);
    } else {
        m_text = ReadTextLines(archive);
        m_font = ReadLogFont(archive);
        m_textColor = archive.ReadUInt32();
        m_shadowOffset.x = archive.ReadInt32();
        m_shadowOffset.y = archive.ReadInt32();
        m_shadowColor = archive.ReadUInt32();
        m_shadowOn = archive.ReadInt32();
        m_backColor = archive.ReadUInt32();
        m_backColorOn = archive.ReadInt32();
        m_verticalText = archive.ReadInt32();
        m_direction = archive.ReadInt32();
    }
}

bool CStringItem::GetLogFont(LOGFONT* out) const
{
    if (!out)
        return false;
    *out = m_font;
    return true;
}

bool CStringItem::SetLogFont(const LOGFONT* font)
{
    if (!font)
        return false;
    m_font = *font;
    return true;
}

void CStringItem::Rotate(bool clockwise)
{
    if (m_direction >= 0 && m_direction <= 3)
        m_direction = (m_direction + (clockwise ? 1 : 3)) % 4;
}

bool CStringItem::Draw(CImage* canvas, float scale, const POINT* origin, bool force)
{
    return RenderText(canvas, scale, kDrawLimit, kDrawLimit, origin, force);
}

LOGFONT CStringItem::WorkingFont(double factor) const
{
    LOGFONT font = m_font;
    font.lfHeight = RoundHalfAway(m_font.lfHeight * factor * kFontUnitsToLayout);
    if (font.lfHeight == 0)
        font.lfHeight = 1;
    font.lfEscapement = 0;
    font.lfOrientation = 0;
    return font;
}

std::vector<CStringItem::PreparedLine> CStringItem::PrepareLines(const LOGFONT& workingFont,
                                                                 int available) const
{
    const std::string spaces = OverhangSpaces(workingFont.lfWeight, workingFont.lfItalic != 0);
    const CTextMeasurer measurer(workingFont);
    const auto measure = [&measurer](std::string_view text) { return measurer.Measure(text).cx; };
    std::vector<PreparedLine> prepared;
    for (const std::string& line : SplitStringLines(m_text)) {
        PreparedLine entry;
        if (!line.empty()) {
            entry.text = ShortenLine(line + spaces, available, measure);
            entry.extent = measurer.Measure(entry.text);
        } else {
            // An empty line keeps its place at the height of a drawn one.
            entry.extent = measurer.Measure(" ");
            entry.extent.cx = 0;
        }
        prepared.push_back(entry);
    }
    return prepared;
}

bool CStringItem::RenderText(CImage* canvas, float scale, int maxWidth, int maxHeight, const POINT* origin,
                             bool force)
{
    if (!MayDraw(force) || !canvas || !canvas->IsValid())
        return false;
    const float drawScale = EffectiveScale(scale);
    RECT r;
    GetScaledRect(&r, drawScale);
    r = item_draw::MoveToOrigin(r, origin);
    if (r.right - r.left <= 0)
        r.right = r.left + 1;
    if (r.bottom - r.top <= 0)
        r.bottom = r.top + 1;
    const RECT visible = item_draw::ClipToCanvas(r, canvas);
    if (item_draw::IsEmptyRect(visible))
        return false;
    if (HasBackColor())
        canvas->FillRectLTRB(visible.left, visible.top, visible.right, visible.bottom, m_backColor);

    RECT unscaled;
    GetRect(&unscaled, false);
    const StringWorkingSize work =
        FitWorkingSize(CalcStringWorkingSize(unscaled.right - unscaled.left, unscaled.bottom - unscaled.top),
                       maxWidth, maxHeight);
    const LOGFONT font = WorkingFont(work.factor);
    const bool across = m_direction == 1 || m_direction == 3;
    const std::vector<PreparedLine> lines = PrepareLines(font, across ? work.height : work.width);
    const double k = drawScale / work.factor;
    const COLORREF key = ChooseKeyColor(m_textColor, m_shadowColor);

    POINT shadow{0, 0};
    POINT shift{0, 0};
    if (HasShadow()) {
        shadow = ShadowOffsetForDirection(m_shadowOffset, m_direction, IsVerticalText());
        shift = TextShiftForShadow(shadow, m_direction);
        ScalePoint(&shadow, drawScale);
        ScalePoint(&shift, drawScale);
    }
    const auto pass = [&](POINT offset, COLORREF color) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const PreparedLine& line = lines[i];
            const int h = std::max(2, RoundHalfAway(line.extent.cy * k));
            if (line.text.empty())
                continue;
            const int w = RoundHalfAway(line.extent.cx * k);
            RECT box = StringLineBox(r, m_direction, static_cast<int>(i), w, h);
            box = RECT{box.left + offset.x, box.top + offset.y, box.right + offset.x, box.bottom + offset.y};
            DrawKeyedTextLine(canvas, visible, box, line.text, font, line.extent, m_direction, color, key);
        }
    };
    if (HasShadow())
        pass(POINT{shadow.x + shift.x, shadow.y + shift.y}, m_shadowColor);
    pass(shift, m_textColor);
    return true;
}

bool CStringItem::SaveTextImage(const std::string& path)
{
    RECT unscaled;
    GetRect(&unscaled, false);
    const StringWorkingSize work =
        CalcStringWorkingSize(unscaled.right - unscaled.left, unscaled.bottom - unscaled.top);
    const LOGFONT font = WorkingFont(work.factor);
    const bool across = m_direction == 1 || m_direction == 3;
    const std::vector<PreparedLine> lines = PrepareLines(font, across ? work.height : work.width);
    const COLORREF key = ChooseKeyColor(m_textColor, m_shadowColor);

    CLargeImage image;
    if (!image.Create(work.width, work.height) ||
        !image.FillRect(0, 0, work.width, work.height, HasBackColor() ? m_backColor : key))
        return false;
    const RECT whole{0, 0, work.width, work.height};
    POINT shadow{0, 0};
    POINT shift{0, 0};
    if (HasShadow()) {
        // At the working size one layout unit is `factor` pixels.
        const POINT offset = ShadowOffsetForDirection(m_shadowOffset, m_direction, IsVerticalText());
        shadow = POINT{RoundHalfAway(offset.x * work.factor), RoundHalfAway(offset.y * work.factor)};
        shift = TextShiftForShadow(shadow, m_direction);
    }
    const auto pass = [&](POINT offset, COLORREF color) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const PreparedLine& line = lines[i];
            if (line.text.empty())
                continue;
            const int h = std::max(2, line.extent.cy);
            const RECT box = StringLineBox(whole, m_direction, static_cast<int>(i), line.extent.cx, h);
            CImage cell;
            if (RenderTurnedCell(cell, line.text, font, line.extent, m_direction, color, key))
                CopyInk(cell, key, image, box.left + offset.x, box.top + offset.y);
        }
    };
    if (HasShadow())
        pass(POINT{shadow.x + shift.x, shadow.y + shift.y}, m_shadowColor);
    pass(shift, m_textColor);
    if (!image.CreateMask() || !image.MakeMaskFromColorKey(&image, key))
        return false;
    try {
        return image.SaveAsEff(path, nullptr, nullptr, 0, kTextImageQuality) == 0;
    } catch (enumErrorID) {
        return false;
    }
}

CStringItem* CStringItem::CopyFrom(const CStringItem& other)
{
    CLayoutItem::CopyFrom(other);
    SetText(other.GetText());
    LOGFONT font;
    other.GetLogFont(&font);
    SetLogFont(&font);
    SetTextColor(other.GetTextColor());
    SetShadowOffset(other.GetShadowOffset());
    SetShadowColor(other.GetShadowColor());
    SetShadow(other.HasShadow());
    SetBackColor(other.GetBackColor());
    SetBackColorOn(other.HasBackColor());
    SetVerticalText(other.IsVerticalText());
    SetDirection(other.GetDirection());
    return this;
}
