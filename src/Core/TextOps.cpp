#include "Core/TextOps.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>

namespace {

// Length of the UTF-8 sequence at `pos`; 1 for a byte that starts none.
std::size_t CharLength(std::string_view text, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || pos + length > text.size())
        return 1;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80)
            return 1;
    return length;
}

std::string CutTo(std::string_view text, std::size_t maxBytes)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t next = pos + CharLength(text, pos);
        if (next > maxBytes)
            break;
        pos = next;
    }
    return std::string(text.substr(0, pos));
}

void Unescape(std::string& text, char letter, char control)
{
    const char escape[] = {'\\', letter, '\0'};
    for (auto pos = text.find(escape); pos != std::string::npos; pos = text.find(escape, pos))
        text.replace(pos, 2, 1, control);
}

} // namespace

int CountChar(std::string_view text, char c)
{
    return static_cast<int>(std::count(text.begin(), text.end(), c));
}

int CountLines(std::string_view text)
{
    const int feeds = CountChar(text, '\n');
    return text.empty() || text.back() != '\n' ? feeds + 1 : feeds;
}

bool GetLineText(std::string_view text, int lineNumber, std::string& line, std::size_t bufferSize)
{
    if (bufferSize == 0 || lineNumber < 0 || lineNumber > CountLines(text))
        return false;
    line.clear();
    std::size_t start = 0;
    for (int i = 0; i < lineNumber; ++i) {
        const auto feed = text.find('\n', start);
        if (feed == std::string_view::npos)
            return false;
        start = feed + 1;
    }
    const auto end = text.find_first_of("\r\n", start);
    const std::string_view found = text.substr(start, end == std::string_view::npos ? end : end - start);
    if (end == std::string_view::npos && found.empty())
        return false;
    line = CutTo(found, bufferSize - 1);
    return true;
}

bool IsNumericString(std::string_view text, bool integerOnly)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool ok = (c >= '0' && c <= '9') || (c == '-' && i == 0) || (c == '.' && !integerOnly);
        if (!ok)
            return false;
    }
    return true;
}

std::string DeleteLastChar(std::string_view text)
{
    std::size_t pos = 0;
    std::size_t last = 0;
    while (pos < text.size()) {
        last = pos;
        pos += CharLength(text, pos);
    }
    return std::string(text.substr(0, last));
}

std::string GetClipboardText()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    return QGuiApplication::clipboard()->text().toStdString();
}

void UnescapeNewline(std::string& text)
{
    Unescape(text, 'n', '\n');
}

void UnescapeCarriageReturn(std::string& text)
{
    Unescape(text, 'r', '\r');
}

void UnescapeTab(std::string& text)
{
    Unescape(text, 't', '\t');
}

std::string StripIniComment(std::string_view text)
{
    std::size_t pos = 0;
    for (;;) {
        const auto semicolon = text.find(';', pos);
        if (semicolon == std::string_view::npos)
            return std::string(text);
        const auto open = text.find('"', pos);
        if (open == std::string_view::npos || semicolon < open)
            return std::string(text.substr(0, semicolon));
        auto close = text.find('"', open + 1);
        while (close != std::string_view::npos) {
            std::size_t percents = 0;
            while (close - percents > open + 1 && text[close - percents - 1] == '%')
                ++percents;
            if (percents % 2 == 0)
                break;
            close = text.find('"', close + 1);
        }
        if (close == std::string_view::npos)
            return std::string(text);
        pos = close + 1;
    }
}

std::string StripQuotes(std::string_view text)
{
    if (text.size() < 2)
        return std::string(text);
    if (text.front() == '"')
        text.remove_prefix(1);
    if (!text.empty() && text.back() == '"')
        text.remove_suffix(1);
    return std::string(text);
}
