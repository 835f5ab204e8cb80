#include "Layout/VerticalText.h"

#include "ImageProcessing/Image.h"

#include <string>
#include <vector>

namespace {

struct Character
{
    char32_t code;
    std::string_view bytes;
};

std::vector<Character> Decode(std::string_view text)
{
    std::vector<Character> characters;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (pos + length > text.size())
            length = text.size() - pos;
        char32_t code = length == 1 ? lead : (lead & (0x3F >> (length - 1)));
        for (std::size_t i = 1; i < length; ++i)
            code = (code << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
        characters.push_back(Character{code, text.substr(pos, length)});
        pos += length;
    }
    return characters;
}

SIZE Extent(CImage& scratch, std::string_view text)
{
    return scratch.GetTextExtent(text);
}

} // namespace

bool IsVerticalFace(const LOGFONT& font)
{
    return !font.lfFaceName.empty() && font.lfFaceName.front() == '@';
}

LOGFONT WithoutVerticalMark(const LOGFONT& font)
{
    LOGFONT plain = font;
    if (IsVerticalFace(plain))
        plain.lfFaceName.erase(0, 1);
    return plain;
}

bool IsUprightInVerticalWriting(char32_t c)
{
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF01 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
}

SIZE MeasureVerticalLine(const LOGFONT& font, std::string_view text)
{
    CImage scratch;
    if (!scratch.Create(1, 1))
        return SIZE{};
    LOGFONT plain = WithoutVerticalMark(font);
    plain.lfEscapement = 0;
    plain.lfOrientation = 0;
    scratch.SelectObject(CImageFont(plain));
    const int cell = Extent(scratch, " ").cy;
    SIZE size{0, cell};
    for (const Character& c : Decode(text))
        size.cx += IsUprightInVerticalWriting(c.code) ? cell : Extent(scratch, c.bytes).cx;
    return size;
}

void DrawVerticalLine(CImage& image, const LOGFONT& font, std::string_view text, COLORREF color)
{
    CImageDC* dc = image.GetDC();
    if (!dc)
        return;
    LOGFONT plain = WithoutVerticalMark(font);
    plain.lfEscapement = 0;
    plain.lfOrientation = 0;
    LOGFONT lying = plain;
    lying.lfEscapement = 900;
    lying.lfOrientation = 900;
    const CImageFont upright(plain);
    const CImageFont turned(lying);
    dc->SelectObject(upright);
    const int cell = dc->GetTextExtent(" ").cy;
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(color);
    int x = 0;
    for (const Character& c : Decode(text)) {
        if (IsUprightInVerticalWriting(c.code)) {
            dc->SelectObject(upright);
            const int advance = dc->GetTextExtent(c.bytes).cx;
            // Turned a quarter anticlockwise about its reference point, centred across the line.
            dc->SelectObject(turned);
            dc->TextOut(x, cell - (cell - advance) / 2, c.bytes);
            x += cell;
        } else {
            dc->SelectObject(upright);
            dc->TextOut(x, 0, c.bytes);
            x += dc->GetTextExtent(c.bytes).cx;
        }
    }
    dc->SelectObject(upright);
}
