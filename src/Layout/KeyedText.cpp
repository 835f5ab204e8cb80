#include "Layout/KeyedText.h"

#include "ImageProcessing/Image.h"
#include "Layout/VerticalText.h"

#include <algorithm>

int EscapementOfDirection(int direction)
{
    switch (direction) {
    case 1:
        return -900;
    case 2:
        return 1800;
    case 3:
        return 900;
    default:
        return 0;
    }
}

namespace {

// The pixels of source turned `direction` quarter turns clockwise into dest, created at the turned size.
bool TurnQuarters(const CImage& source, CImage& dest, int direction)
{
    const int w = source.GetWidth();
    const int h = source.GetHeight();
    const bool across = direction == 1 || direction == 3;
    if (!dest.Create(across ? h : w, across ? w : h))
        return false;
    const int stride = source.GetRowBytes();
    const int destStride = dest.GetRowBytes();
    const std::uint8_t* from = source.GetBits();
    std::uint8_t* to = dest.GetBits();
    const int dh = dest.GetHeight();
    for (int y = 0; y < h; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(from + static_cast<std::ptrdiff_t>(h - 1 - y) * stride);
        for (int x = 0; x < w; ++x) {
            int tx = x, ty = y;
            if (direction == 1) {
                tx = h - 1 - y;
                ty = x;
            } else if (direction == 2) {
                tx = w - 1 - x;
                ty = h - 1 - y;
            } else if (direction == 3) {
                tx = y;
                ty = w - 1 - x;
            }
            reinterpret_cast<std::uint32_t*>(to + static_cast<std::ptrdiff_t>(dh - 1 - ty) * destStride)[tx] =
                row[x];
        }
    }
    return true;
}

} // namespace

SIZE MeasureTextLine(const LOGFONT& font, std::string_view text)
{
    return CTextMeasurer(font).Measure(text);
}

CTextMeasurer::CTextMeasurer(const LOGFONT& font) : m_font(font), m_scratch(std::make_unique<CImage>())
{
    if (IsVerticalFace(font) || !m_scratch->Create(1, 1))
        return;
    LOGFONT unturned = font;
    unturned.lfEscapement = 0;
    unturned.lfOrientation = 0;
    m_scratch->SelectObject(CImageFont(unturned));
}

CTextMeasurer::~CTextMeasurer() = default;

SIZE CTextMeasurer::Measure(std::string_view text) const
{
    if (IsVerticalFace(m_font))
        return MeasureVerticalLine(m_font, text);
    return m_scratch->IsValid() ? m_scratch->GetTextExtent(text) : SIZE{};
}

bool RenderTurnedCell(CImage& scratch, std::string_view text, const LOGFONT& font, SIZE cell, int direction,
                      COLORREF color, COLORREF key)
{
    if (cell.cx < 1 || cell.cy < 1)
        return false;
    const bool across = direction == 1 || direction == 3;
    const int scratchWidth = across ? cell.cy : cell.cx;
    const int scratchHeight = across ? cell.cx : cell.cy;
    if (IsVerticalFace(font)) {
        CImage cellImage;
        if (!cellImage.Create(cell.cx, cell.cy))
            return false;
        cellImage.FillRectLTRB(0, 0, cell.cx, cell.cy, key);
        DrawVerticalLine(cellImage, font, text, color);
        if (!TurnQuarters(cellImage, scratch, direction))
            return false;
    } else {
        if (!scratch.Create(scratchWidth, scratchHeight))
            return false;
        scratch.FillRectLTRB(0, 0, scratchWidth, scratchHeight, key);
        LOGFONT turned = font;
        turned.lfEscapement = EscapementOfDirection(direction);
        turned.lfOrientation = turned.lfEscapement;
        CImageDC* dc = scratch.GetDC();
        dc->SelectObject(CImageFont(turned));
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(color);
        // The reference point is the top-left of the unturned cell; these put the turned cell on the scratch
        // image.
        POINT reference{0, 0};
        if (direction == 1)
            reference = POINT{cell.cy, 0};
        else if (direction == 2)
            reference = POINT{cell.cx, cell.cy};
        else if (direction == 3)
            reference = POINT{0, cell.cx};
        dc->TextOut(reference.x, reference.y, text);
    }

    return true;
}

bool DrawKeyedTextLine(CImage* canvas, const RECT& clip, const RECT& box, std::string_view text,
                       const LOGFONT& font, SIZE cell, int direction, COLORREF color, COLORREF key)
{
    if (!canvas || !canvas->IsValid() || cell.cx < 1 || cell.cy < 1)
        return false;
    const RECT visible{std::max({clip.left, box.left, 0}), std::max({clip.top, box.top, 0}),
                       std::min({clip.right, box.right, canvas->GetWidth()}),
                       std::min({clip.bottom, box.bottom, canvas->GetHeight()})};
    if (visible.right <= visible.left || visible.bottom <= visible.top)
        return false;
    CImage scratch;
    if (!RenderTurnedCell(scratch, text, font, cell, direction, color, key))
        return false;
    const int scratchWidth = scratch.GetWidth();
    const int scratchHeight = scratch.GetHeight();
    const int boxWidth = box.right - box.left;
    const int boxHeight = box.bottom - box.top;
    CImage boxImage;
    if (!boxImage.Create(boxWidth, boxHeight) || !boxImage.CreateMask())
        return false;
    scratch.StretchBltTo(&boxImage, 0, 0, boxWidth, boxHeight, 0, 0, scratchWidth, scratchHeight, SRCCOPY);
    boxImage.MakeMaskFromColorKey(&boxImage, key);
    return boxImage.DrawMasked(canvas, visible.left, visible.top, visible.right - visible.left,
                               visible.bottom - visible.top, visible.left - box.left,
                               visible.top - box.top) != 0;
}
