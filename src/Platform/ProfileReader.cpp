#include "Platform/ProfileReader.h"

#include "Platform/ProfileSyntax.h"
#include "Platform/ShiftJis.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <sstream>

namespace {

using profile_syntax::SameName;
using profile_syntax::Trim;

} // namespace

std::optional<std::string> ReadProfileValue(const std::string& path, std::string_view section,
                                            std::string_view key)
{
    const auto bytes = profile_syntax::ReadProfileBytes(path, false);
    if (!bytes)
        return std::nullopt;
    const std::string_view wantedSection = Trim(section);
    const std::string_view wantedKey = Trim(key);
    // Shift-JIS trail bytes never take the value 0x0A, so lines can be split
    // before conversion. The whole file is converted at once when it is valid;
    // otherwise line by line, so that one bad line spoils nothing else.
    const auto whole = ShiftJisToUtf8(*bytes);
    const std::string_view source = whole ? std::string_view(*whole) : std::string_view(*bytes);
    bool inSection = false;
    bool sectionSeen = false;
    std::size_t start = 0;
    while (start < source.size()) {
        std::size_t end = source.find('\n', start);
        if (end == std::string_view::npos)
            end = source.size();
        const std::string_view raw = source.substr(start, end - start);
        start = end + 1;
        std::optional<std::string> converted;
        if (!whole) {
            converted = ShiftJisToUtf8(raw);
            if (!converted)
                continue;
        }
        const std::string_view line = whole ? raw : std::string_view(*converted);
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == ';')
            continue;
        if (text.front() == '[') {
            if (inSection)
                return std::nullopt; // only the first section of that name counts
            const auto close = text.find(']');
            const std::string_view name =
                Trim(text.substr(1, close == std::string_view::npos ? close : close - 1));
            inSection = !sectionSeen && SameName(name, wantedSection);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection)
            continue;
        const auto equals = text.find('=');
        if (equals == std::string_view::npos || !SameName(Trim(text.substr(0, equals)), wantedKey))
            continue;
        std::string_view value = Trim(text.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue)
{
    if (auto value = ReadProfileValue(path, section, key))
        return std::move(*value);
    return std::string(defaultValue);
}

int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key, int defaultValue)
{
    const auto value = ReadProfileValue(path, section, key);
    if (!value)
        return defaultValue;
    const long parsed = std::strtol(value->c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(parsed, INT_MIN, INT_MAX));
}
