#include "Platform/ProfileWriter.h"

#include "Platform/AtomicFileWriter.h"
#include "Platform/ProfileSyntax.h"
#include "Platform/ShiftJis.h"

#include <cctype>
#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

using profile_syntax::SameName;
using profile_syntax::Trim;

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The file's bytes; an empty text for a missing file, nothing when it exists
// but cannot be read.
std::optional<std::string> ReadExisting(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
    return profile_syntax::ReadProfileBytes(path, true);
}

struct Line
{
    std::size_t start = 0;
    std::size_t end = 0;  // before the line end
    std::size_t next = 0; // after the line end
};

std::vector<Line> SplitLines(const std::string& bytes)
{
    // Shift-JIS trail bytes never take the value 0x0A.
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t newline = bytes.find('\n', start);
        const std::size_t next = newline == std::string::npos ? bytes.size() : newline + 1;
        std::size_t end = newline == std::string::npos ? bytes.size() : newline;
        if (end > start && bytes[end - 1] == '\r')
            --end;
        lines.push_back(Line{start, end, next});
        start = next;
    }
    return lines;
}

} // namespace

bool WriteProfileValue(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value)
{
    const std::string_view wantedSection = Trim(section);
    const std::string_view wantedKey = Trim(key);
    if (wantedSection.empty() || wantedKey.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || wantedKey.find('=') != std::string_view::npos ||
        wantedSection.find(']') != std::string_view::npos)
        return false;
    const auto sjisValue = Utf8ToShiftJis(value);
    const auto sjisSection = Utf8ToShiftJis(wantedSection);
    const auto sjisKey = Utf8ToShiftJis(wantedKey);
    if (!sjisValue || !sjisSection || !sjisKey)
        return false;
    auto existing = ReadExisting(path);
    if (!existing)
        return false;
    std::string bytes = std::move(*existing);
    const std::vector<Line> lines = SplitLines(bytes);
    // New lines follow the file's own line ends.
    const std::size_t firstNewline = bytes.find('\n');
    const std::string eol =
        firstNewline != std::string::npos && (firstNewline == 0 || bytes[firstNewline - 1] != '\r') ? "\n"
                                                                                                    : "\r\n";

    bool inSection = false;
    bool sectionSeen = false;
    std::optional<std::size_t> lastSectionLine; // the last non-empty line of the section
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const std::string_view raw(bytes.data() + line.start, line.end - line.start);
        const auto converted = ShiftJisToUtf8(raw);
        if (!converted) // unreadable for the reader too: kept, never matched
            continue;
        const std::string_view text = Trim(*converted);
        if (text.empty() || text.front() == ';')
            continue;
        if (text.front() == '[') {
            if (inSection)
                break;
            const auto close = text.find(']');
            const std::string_view name =
                Trim(text.substr(1, close == std::string_view::npos ? close : close - 1));
            inSection = !sectionSeen && SameName(name, wantedSection);
            sectionSeen = sectionSeen || inSection;
            if (inSection)
                lastSectionLine = i;
            continue;
        }
        if (!inSection)
            continue;
        lastSectionLine = i;
        const auto equals = text.find('=');
        if (equals == std::string_view::npos || !SameName(Trim(text.substr(0, equals)), wantedKey))
            continue;
        // "=" is never a Shift-JIS trail byte, so the first one in the bytes is the key's.
        const std::size_t rawEquals = raw.find('=');
        out.reserve(bytes.size() + sjisValue->size());
        out.append(bytes, 0, line.start + rawEquals + 1);
        out += *sjisValue;
        out.append(bytes, line.end, std::string::npos);
        return WriteFileAtomically(path, out.data(), out.size());
    }

    const std::string keyLine = *sjisKey + "=" + *sjisValue;
    if (lastSectionLine) {
        const Line& after = lines[*lastSectionLine];
        out.append(bytes, 0, after.next);
        // A last line without a line feed (a lone CR ends no line for the reader) gets one.
        if (bytes[after.next - 1] != '\n')
            out += eol;
        out += keyLine + eol;
        out.append(bytes, after.next, std::string::npos);
    } else {
        out = bytes;
        if (!out.empty() && out.back() != '\n')
            out += eol;
        out += "[" + *sjisSection + "]" + eol + keyLine + eol;
    }
    return WriteFileAtomically(path, out.data(), out.size());
}
