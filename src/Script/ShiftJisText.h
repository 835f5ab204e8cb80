// Byte limits of the script files' fixed fields count the Shift-JIS form of a
// text, while the text itself is kept as UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Bytes of the text in Shift-JIS; nothing when Shift-JIS cannot hold it.
std::optional<std::size_t> ShiftJisByteLength(std::string_view utf8);

// True when the text, with its terminating NUL, fits a field of fieldSize bytes.
bool FitsShiftJisField(std::string_view utf8, std::size_t fieldSize);

// The longest leading part of the text that fits a field of fieldSize bytes
// with its NUL; never splits a character. Nothing when Shift-JIS cannot hold it.
std::optional<std::string> CutToShiftJisField(std::string_view utf8, std::size_t fieldSize);
