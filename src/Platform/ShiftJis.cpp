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
