#include "Script/ScriptText.h"

#include "Core/TextOps.h"
#include "Platform/ShiftJis.h"

namespace {

constexpr auto npos = std::string_view::npos;

// Position of the quote that closes the quoted text opened at `open`, or npos.
// A quote preceded by an odd run of "%" is escaped and does not close it.
std::size_t FindClosingQuote(std::string_view text, std::size_t open)
{
    std::size_t start = open + 1;
    while (start <= text.size()) {
        const std::size_t q = text.find('"', start);
        if (q == npos)
            return npos;
        std::size_t run = 0;
        while (q - run > start && text[q - run - 1] == '%')
            ++run;
        if (run % 2 == 0)
            return q;
        start = q + 1;
    }
    return npos;
}

// Position of the first `c` at or after `from`, a character boundary; a second
// byte of a double-byte character never matches.
std::size_t FindShiftJisChar(std::string_view bytes, char c, std::size_t from)
{
    for (std::size_t i = from; i < bytes.size();
         i += ShiftJisCharLength(static_cast<unsigned char>(bytes[i])))
        if (bytes[i] == c)
            return i;
    return npos;
}

} // namespace

bool IsScriptBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimScriptBlanksLeft(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsScriptBlank(text[i]))
        ++i;
    return text.substr(i);
}

std::string_view TrimScriptBlanksRight(std::string_view text)
{
    std::size_t n = text.size();
    while (n > 0 && IsScriptBlank(text[n - 1]))
        --n;
    return text.substr(0, n);
}

std::string_view TrimScriptBlanks(std::string_view text)
{
    return TrimScriptBlanksRight(TrimScriptBlanksLeft(text));
}

void QuoteString(std::string& text)
{
    text.insert(text.begin(), '"');
    text.push_back('"');
}

int UnquoteString(std::string& text)
{
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return 0;
    text = text.substr(1, text.size() - 2);
    return 1;
}

void StripComment(std::string& line)
{
    line = StripIniComment(line);
}

void StripShiftJisComment(std::string& bytes)
{
    const std::string_view text(bytes);
    std::size_t p = 0;
    while (p < text.size()) {
        const std::size_t semicolon = FindShiftJisChar(text, ';', p);
        if (semicolon == npos)
            return;
        const std::size_t open = FindShiftJisChar(text, '"', p);
        if (open == npos || semicolon < open) {
            bytes.resize(semicolon);
            return;
        }
        // "%" is never a second byte, so its run is counted byte by byte.
        std::size_t close = FindShiftJisChar(text, '"', open + 1);
        for (;;) {
            if (close == npos)
                return; // a quoted text runs to the end: nothing is a comment
            std::size_t run = 0;
            while (close - run > open + 1 && text[close - run - 1] == '%')
                ++run;
            if (run % 2 == 0)
                break;
            close = FindShiftJisChar(text, '"', close + 1);
        }
        p = close + 1;
    }
}

std::size_t NextField(std::string_view remainder, std::string& field)
{
    field.clear();
    std::size_t p = 0;
    for (;;) {
        if (p >= remainder.size())
            return 0;
        std::size_t separator = remainder.find(',', p);
        if (separator == npos)
            separator = remainder.find(')', p);
        if (separator == npos)
            return 0;
        const std::size_t quote = remainder.find('"', p);
        if (quote == npos || separator < quote) {
            field = TrimScriptBlanks(remainder.substr(0, separator));
            return separator + 1;
        }
        const std::size_t close = FindClosingQuote(remainder, quote);
        if (close == npos)
            return 0;
        p = close + 1;
    }
}

void EscapeQuotes(std::string& text)
{
    for (std::size_t i = text.find('"'); i != std::string::npos; i = text.find('"', i + 2))
        text.insert(i, 1, '%');
}

void UnescapeQuotes(std::string& text)
{
    for (std::size_t i = text.find("%\""); i != std::string::npos; i = text.find("%\"", i))
        text.erase(i, 1);
}

void EscapePercents(std::string& text)
{
    for (std::size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 2))
        text.insert(i, 1, '%');
}

void UnescapePercents(std::string& text)
{
    for (std::size_t i = text.find("%%"); i != std::string::npos; i = text.find("%%", i + 1))
        text.erase(i, 1);
}
