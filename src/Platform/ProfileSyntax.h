// What the profile reader and writer agree on: how a line's section and key
// names are trimmed and compared, and how large a profile file may be.
#pragma once

#include <cctype>
#include <cstddef>
#include <ios>
#include <string_view>

namespace profile_syntax {

// Profile files are a few kilobytes; anything near this is not one.
inline constexpr std::streamoff kMaxProfileBytes = 64 * 1024 * 1024;

inline bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

inline std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Names are compared on UTF-8, where the bytes of non-ASCII characters never
// fall in the ASCII letter range, so ASCII folding is safe.
inline bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace profile_syntax
