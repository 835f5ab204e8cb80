// What the profile reader and writer agree on: how a line's section and key
// names are trimmed and compared, and how large a profile file may be.
#pragma once

#include <cctype>
#include <cstddef>
#include <fstream>
#include <ios>
#include <optional>
#include <string>
#include <string_view>

namespace profile_syntax {

// Profile files are a few kilobytes; anything near this is not one.
inline constexpr std::streamoff kMaxProfileBytes = 64 * 1024 * 1024;

// The file's bytes; nothing when it cannot be opened or is too large. With
// `wholeOnly` a short read gives nothing too (a rewrite must not lose the rest);
// otherwise the bytes read are what there is.
inline std::optional<std::string> ReadProfileBytes(const std::string& path, bool wholeOnly)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxProfileBytes)
        return std::nullopt;
    in.seekg(0);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), size);
    if (in.gcount() != size) {
        if (wholeOnly)
            return std::nullopt;
        bytes.resize(static_cast<std::size_t>(in.gcount()));
    }
    return bytes;
}

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
