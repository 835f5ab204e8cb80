// Conversion between the Shift-JIS (code page 932) bytes of the files the
// editor exchanges and the UTF-8 text it keeps in memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Nothing when the bytes are not valid code page 932.
std::optional<std::string> ShiftJisToUtf8(std::string_view sjis);
// Nothing when the text is not valid UTF-8 or holds a character that code page
// 932 cannot represent: such text is refused, never silently altered.
std::optional<std::string> Utf8ToShiftJis(std::string_view utf8);

// Length in bytes of the Shift-JIS character that starts with `lead`: 2 for a
// lead byte (0x81-0x9F, 0xE0-0xFC), else 1.
inline int ShiftJisCharLength(unsigned char lead)
{
    return ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) ? 2 : 1;
}

// Every limit given in bytes counts the text's Shift-JIS form. A character
// that code page 932 cannot hold (a host path may carry one, since paths are
// never converted) counts two bytes: the most any Shift-JIS character takes,
// so whatever a reader of the files puts in its place still fits.
constexpr std::size_t kUnconvertibleCharBytes = 2;

// The bytes of the UTF-8 text's Shift-JIS form, counted as above.
std::size_t ShiftJisByteCount(std::string_view utf8);
// The longest start of the UTF-8 text whose Shift-JIS form fits in `maxBytes`
// bytes, counted as above; a character is never split.
std::string CutToShiftJisBytes(std::string_view utf8, std::size_t maxBytes);
