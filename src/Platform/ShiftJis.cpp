#include "Platform/ShiftJis.h"

#include <cerrno>
#include <iconv.h>
#include <limits>
#include <utility>

namespace {

std::optional<std::string> Convert(const char* to, const char* from, std::string_view in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out;
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        size_t dstLeft = out.size() - used;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            ok = false; // EILSEQ or EINVAL: unconvertible or truncated input
            break;
        }
        if (r != 0) { // iconv substituted an irreversible character
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.resize(used);
    return out;
}

} // namespace

std::optional<std::string> ShiftJisToUtf8(std::string_view sjis)
{
    return Convert("UTF-8", "CP932", sjis);
}

std::optional<std::string> Utf8ToShiftJis(std::string_view utf8)
{
    return Convert("CP932", "UTF-8", utf8);
}

namespace {

// The byte length of the UTF-8 character that starts with `lead`; a stray byte counts alone.
std::size_t Utf8CharLength(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Walks the text character by character while the Shift-JIS bytes stay within
// `maxBytes`; gives the UTF-8 length walked and the bytes counted.
std::pair<std::size_t, std::size_t> CountShiftJis(std::string_view utf8, std::size_t maxBytes)
{
    std::size_t used = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::string_view character =
            utf8.substr(pos, Utf8CharLength(static_cast<unsigned char>(utf8[pos])));
        const auto sjis = Utf8ToShiftJis(character);
        const std::size_t bytes = sjis ? sjis->size() : kUnconvertibleCharBytes;
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        pos += character.size();
    }
    return {pos, used};
}

} // namespace

std::size_t ShiftJisByteCount(std::string_view utf8)
{
    if (const auto whole = Utf8ToShiftJis(utf8))
        return whole->size();
    return CountShiftJis(utf8, std::numeric_limits<std::size_t>::max()).second;
}

std::string CutToShiftJisBytes(std::string_view utf8, std::size_t maxBytes)
{
    if (const auto whole = Utf8ToShiftJis(utf8); whole && whole->size() <= maxBytes)
        return std::string(utf8);
    return std::string(utf8.substr(0, CountShiftJis(utf8, maxBytes).first));
}
