#include "App/LayoutFileNames.h"

#include "Platform/ShiftJis.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxNameBytes = 8;
constexpr std::size_t kNumberedStem = 6;
constexpr char32_t kReservedPrefix[] = U"VLMO00";

// The name as the bytes of its Shift-JIS form: a single-byte character keeps
// its code point, the two bytes of any other character (or of one Shift-JIS
// cannot hold) are marked as a lead byte and its trail, so that positions and
// lengths count bytes as the printing side does.
constexpr char32_t kLeadByte = 0xFFFFFFFE;
constexpr char32_t kTrailByte = 0xFFFFFFFF;

std::vector<char32_t> NameBytes(const std::string& name)
{
    std::vector<char32_t> bytes;
    for (const char32_t c : QString::fromStdString(name).toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        const std::optional<std::string> sjis = Utf8ToShiftJis(one.toStdString());
        if (sjis && sjis->size() == 1) {
            bytes.push_back(c);
        } else {
            bytes.push_back(kLeadByte);
            bytes.push_back(kTrailByte);
        }
    }
    return bytes;
}

bool IsAllowed(char32_t c, const std::vector<char32_t>& allowed)
{
    if (c == kLeadByte || c == kTrailByte)
        return false;
    return std::find(allowed.begin(), allowed.end(), c) != allowed.end();
}

bool IsDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

char32_t AsciiUpper(char32_t c)
{
    return (c >= U'a' && c <= U'z') ? c - (U'a' - U'A') : c;
}

bool HasReservedPrefix(const std::vector<char32_t>& bytes)
{
    const std::size_t length = std::char_traits<char32_t>::length(kReservedPrefix);
    if (bytes.size() < length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (AsciiUpper(bytes[i]) != kReservedPrefix[i])
            return false;
    return true;
}

std::vector<char32_t> AllowedSet(const std::string& allowed)
{
    const QList<uint> codes = QString::fromStdString(allowed).toUcs4();
    return std::vector<char32_t>(codes.begin(), codes.end());
}

} // namespace

int CheckLayoutFileName(const std::string& name, const std::string& allowed)
{
    if (name.empty())
        return 1;
    const std::vector<char32_t> bytes = NameBytes(name);
    if (bytes.size() > kMaxNameBytes)
        return 2;
    const std::vector<char32_t> set = AllowedSet(allowed);
    for (const char32_t c : bytes)
        if (!IsAllowed(c, set))
            return 3;
    if (bytes.size() == kMaxNameBytes && bytes[6] == U'_' && IsDigit(bytes[7]))
        return -2;
    if (bytes.size() == kMaxNameBytes && HasReservedPrefix(bytes))
        return -1;
    return 0;
}

int CheckNumberedLayoutFileName(const std::string& name, const std::string& allowed)
{
    if (name.empty())
        return 1;
    const std::vector<char32_t> bytes = NameBytes(name);
    if (bytes.size() != kMaxNameBytes)
        return 2;
    if (HasReservedPrefix(bytes))
        return -1;
    if (bytes[6] != U'_' || !IsDigit(bytes[7]))
        return 3;
    const std::vector<char32_t> set = AllowedSet(allowed);
    for (std::size_t i = 0; i < kNumberedStem; ++i)
        if (!IsAllowed(bytes[i], set))
            return 3;
    return 0;
}
