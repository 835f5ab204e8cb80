#include "Platform/ShiftJis.h"

#include <cerrno>
#include <iconv.h>

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

std::string CutToShiftJisBytes(std::string_view utf8, std::size_t maxBytes)
{
    if (const auto whole = Utf8ToShiftJis(utf8); whole && whole->size() <= maxBytes)
        return std::string(utf8);
    std::size_t used = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        const std::size_t length = lead < 0x80    ? 1
                                   : lead >= 0xF0 ? 4
                                   : lead >= 0xE0 ? 3
                                   : lead >= 0xC0 ? 2
                                                  : 1;
        const std::string_view character = utf8.substr(pos, length);
        const auto sjis = Utf8ToShiftJis(character);
        const std::size_t bytes = sjis ? sjis->size() : 2;
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        pos += character.size();
    }
    return std::string(utf8.substr(0, pos));
}
