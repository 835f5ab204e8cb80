#include "FrameKit/PackageText.h"

#include "FrameKit/FileUtil.h"

#include <iconv.h>
#include <memory>

namespace {

bool Convert(const char* to, const char* from, const std::string& in, std::string& out)
{
    out.clear();
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::unique_ptr<void, int (*)(iconv_t)> guard(cd, ::iconv_close);
    std::string buffer(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = buffer.data();
    std::size_t dstLeft = buffer.size();
    if (::iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1))
        return false;
    if (::iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1))
        return false;
    out.assign(buffer.data(), buffer.size() - dstLeft);
    return out.find('\0') == std::string::npos;
}

std::size_t LastBackslash(const std::string& text)
{
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsSjisLeadByte(c) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        if (c == '\\')
            last = i;
    }
    return last;
}

unsigned char Upper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? c - 32 : c;
}

} // namespace

bool ZavUtf8ToCp932(const std::string& utf8, std::string& out)
{
    return Convert("CP932", "UTF-8", utf8, out);
}

bool ZavCp932ToUtf8(const std::string& cp932, std::string& out)
{
    return Convert("UTF-8", "CP932", cp932, out);
}

std::string ZavReferenceName(const std::string& reference)
{
    const std::size_t sep = LastBackslash(reference);
    return sep == std::string::npos ? reference : reference.substr(sep + 1);
}

std::string ZavReferenceFolder(const std::string& reference)
{
    const std::size_t sep = LastBackslash(reference);
    return sep == std::string::npos ? std::string() : reference.substr(0, sep);
}

std::string ZavHostName(const std::string& path)
{
    const std::size_t sep = path.rfind('/');
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

bool ZavSameNameNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[i]);
        if (IsSjisLeadByte(ca) && i + 1 < a.size()) {
            if (ca != cb || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (Upper(ca) != Upper(cb))
            return false;
    }
    return true;
}
