#include "Layout/StringTextRules.h"

#include "Core/Geometry.h"
#include "Layout/ArchiveText.h"

#include <cmath>

namespace {
constexpr int kMaxLineBytes = 259;

// Byte offsets where each character of the text ends.
std::vector<std::size_t> CharacterEnds(std::string_view text)
{
    std::vector<std::size_t> ends;
    std::size_t pos = 0;
    while (pos < text.size()) {
        pos = std::min(text.size(), pos + Utf8Length(static_cast<unsigned char>(text[pos])));
        ends.push_back(pos);
    }
    return ends;
}
} // namespace

COLORREF ChooseKeyColor(COLORREF textColor, COLORREF shadowColor)
{
    textColor &= 0xFFFFFF;
    shadowColor &= 0xFFFFFF;
    if (textColor != 0xFFFFFF && shadowColor != 0xFFFFFF)
        return 0xFFFFFF;
    if (textColor == 0 || shadowColor == 0)
        return 0x808080;
    return 0x000000;
}

StringWorkingSize CalcStringWorkingSize(int width, int height)
{
    return CalcPictureWorkingSize(width, height);
}

StringWorkingSize FitWorkingSize(StringWorkingSize size, int maxWidth, int maxHeight)
{
    if (size.width <= maxWidth && size.height <= maxHeight)
        return size;
    double factor = 1.0;
    const Rect fit = CalcAspectFitRect(size.width, size.height, maxWidth, maxHeight, true, &factor);
    return StringWorkingSize{fit.Width(), fit.Height(), size.factor * factor};
}

std::vector<std::string> SplitStringLines(std::string_view text)
{
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last)
            end = text.size();
        std::string line;
        for (char c : text.substr(start, end - start))
            if (c != '\r')
                line += c;
        line = CutToShiftJisBytes(line, kMaxLineBytes);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        lines.push_back(line);
        if (last)
            break;
        start = end + 1;
        if (start == text.size())
            break;
    }
    return lines;
}

std::string OverhangSpaces(int weight, bool italic)
{
    std::string spaces = " ";
    if (weight == 700)
        spaces += ' ';
    if (italic)
        spaces += ' ';
    return spaces;
}

std::string ShortenLine(const std::string& line, int available,
                        const std::function<int(std::string_view)>& measure)
{
    if (measure(line) <= available)
        return line;
    const std::vector<std::size_t> ends = CharacterEnds(line);
    // Widths grow with the prefix, so the shortest prefix still too wide is found by halving.
    std::size_t low = 1;
    std::size_t high = ends.size();
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (measure(std::string_view(line).substr(0, ends[mid - 1])) > available)
            high = mid;
        else
            low = mid + 1;
    }
    return ends.empty() ? line : line.substr(0, ends[low - 1]);
}

RECT StringLineBox(const RECT& r, int direction, int i, int w, int h)
{
    switch (direction) {
    case 1:
        return RECT{r.right - (i + 1) * h, r.top, r.right - i * h, r.top + w};
    case 2:
        return RECT{r.right - w, r.bottom - (i + 1) * h, r.right, r.bottom - i * h};
    case 3:
        return RECT{r.left + i * h, r.bottom - w, r.left + (i + 1) * h, r.bottom};
    default:
        return RECT{r.left, r.top + i * h, r.left + w, r.top + (i + 1) * h};
    }
}

POINT ShadowOffsetForDirection(POINT s, int direction, bool vertical)
{
    switch (direction) {
    case 0:
        return vertical ? POINT{s.y, -s.x} : POINT{s.x, s.y};
    case 1:
        return vertical ? POINT{s.x, s.y} : POINT{-s.y, s.x};
    case 2:
        return vertical ? POINT{-s.y, s.x} : POINT{-s.x, -s.y};
    case 3:
        return vertical ? POINT{-s.x, -s.y} : POINT{s.y, -s.x};
    default:
        return POINT{0, 0};
    }
}

POINT TextShiftForShadow(POINT d, int direction)
{
    POINT m{0, 0};
    const bool leftFirst = direction == 0 || direction == 3;
    if ((leftFirst && d.x < 0) || (!leftFirst && d.x > 0))
        m.x = -d.x;
    const bool topFirst = direction == 0 || direction == 1;
    if ((topFirst && d.y < 0) || (!topFirst && d.y > 0))
        m.y = -d.y;
    return m;
}
