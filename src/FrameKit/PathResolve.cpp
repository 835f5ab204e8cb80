#include "FrameKit/PathResolve.h"

#include "FrameKit/PackageErrorCode.h"

#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool HasDriveLetter(const char* ref)
{
    unsigned char c = static_cast<unsigned char>(ref[0]);
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && ref[1] == ':';
}

bool Convert(const char* to, const char* from, const char* text, std::string& out)
{
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::unique_ptr<void, int (*)(iconv_t)> guard(cd, ::iconv_close);
    std::size_t inLeft = std::strlen(text);
    std::vector<char> buffer(inLeft * 4 + 4);
    char* in = const_cast<char*>(text);
    char* dst = buffer.data();
    std::size_t outLeft = buffer.size();
    if (::iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<std::size_t>(-1))
        return false;
    out.assign(buffer.data(), static_cast<std::size_t>(dst - buffer.data()));
    return true;
}

bool Cp932ToUtf8(const char* text, std::string& out)
{
    return Convert("UTF-8", "CP932", text, out);
}

// Appends rather than concatenating temporaries, which GCC 12 mistakes for
// overlapping copies (-Wrestrict) in release builds.
std::string Child(const std::string& folder, const std::string& name)
{
    std::string path = folder;
    path += '/';
    path += name;
    return path;
}

bool EqualAsciiNoCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; a[i] != '\0' && b[i] != '\0'; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

// The one entry of folder whose name matches without regard to (single-byte)
// letter case; several matches are as good as none, since picking one would
// depend on the order the folder lists them in.
bool FindNoCase(const std::string& folder, std::string& name)
{
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (dir == nullptr)
        return false;
    int found = 0;
    std::string match;
    while (dirent* e = ::readdir(dir)) {
        if (EqualAsciiNoCase(name, e->d_name) && ++found == 1)
            match = e->d_name;
    }
    ::closedir(dir);
    if (found != 1)
        return false;
    name = match;
    return true;
}

ZavDateTime ToDateTime(const struct timespec& ts)
{
    struct tm tm
    {
    };
    time_t t = ts.tv_sec;
    ::gmtime_r(&t, &tm);
    ZavDateTime d;
    d.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    d.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    d.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    d.day = static_cast<std::uint16_t>(tm.tm_mday);
    d.hour = static_cast<std::uint16_t>(tm.tm_hour);
    d.minute = static_cast<std::uint16_t>(tm.tm_min);
    d.second = static_cast<std::uint16_t>(tm.tm_sec);
    d.milliseconds = static_cast<std::uint16_t>(ts.tv_nsec / 1000000);
    return d;
}

} // namespace

int GetFileTime(const char* path, int which, ZavDateTime* out)
{
    if (path == nullptr || out == nullptr)
        return ZAV_ERR_ARGUMENT;
    int fd = ZavOpenRegularForReading(path);
    if (fd < 0)
        return ZAV_ERR_FILE_IO;
    struct statx sx
    {
    };
    int rc = ::statx(fd, "", AT_EMPTY_PATH, STATX_MTIME | STATX_BTIME | STATX_CTIME, &sx);
    ::close(fd);
    if (rc != 0)
        return ZAV_ERR_FILE_IO;
    const struct statx_timestamp& st =
        which == 1 ? sx.stx_mtime : ((sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime);
    *out = ToDateTime({static_cast<time_t>(st.tv_sec), static_cast<long>(st.tv_nsec)});
    return ZAV_OK;
}

int ResolveRelativePath(const char* reference, const char* baseFolder, char* out, std::size_t outSize)
{
    return ZavGuard([&]() -> int {
        if (out != nullptr && outSize > 0)
            out[0] = '\0';
        if (reference == nullptr || reference[0] == '\0' || baseFolder == nullptr || baseFolder[0] != '/' ||
            out == nullptr || outSize == 0)
            return ZAV_ERR_ARGUMENT;
        std::string ref;
        if (!Cp932ToUtf8(reference, ref))
            return ZAV_ERR_ARGUMENT;
        // After conversion no trail byte is left, so every "\" is a separator.
        for (char& c : ref)
            if (c == '\\')
                c = '/';
        std::string joined = ref[0] == '/' && !HasDriveLetter(reference) ? ref : Child(baseFolder, ref);
        std::vector<std::string> parts;
        std::size_t start = 0;
        while (start <= joined.size()) {
            std::size_t end = joined.find('/', start);
            if (end == std::string::npos)
                end = joined.size();
            std::string part = joined.substr(start, end - start);
            if (part == "..") {
                if (!parts.empty())
                    parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            start = end + 1;
        }
        std::string result;
        bool lookUp = true;
        for (std::string& part : parts) {
            std::string next = Child(result, part);
            struct stat st;
            if (lookUp && ::lstat(next.c_str(), &st) != 0) {
                if (FindNoCase(result, part))
                    next = Child(result, part);
                else
                    lookUp = false; // nothing below a missing folder can be found
            }
            result = std::move(next);
        }
        if (result.empty())
            result.push_back('/'); // assigning "/" trips GCC 12's -Wrestrict

        if (result.size() > outSize - 1)
            return ZAV_ERR_ARGUMENT;
        std::memcpy(out, result.c_str(), result.size() + 1);
        return ZAV_OK;
    });
}

const char* FileNamePart(const char* path)
{
    if (path == nullptr)
        return nullptr;
    const char* last = nullptr;
    for (std::size_t i = 0; path[i] != '\0'; ++i) {
        if (IsSjisLeadByte(static_cast<unsigned char>(path[i])) && path[i + 1] != '\0') {
            ++i;
            continue;
        }
        if (path[i] == '\\')
            last = path + i;
    }
    return (last != nullptr && last[1] != '\0') ? last + 1 : nullptr;
}

void RemoveFileNamePart(std::string& path)
{
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsSjisLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (path[i] == '\\')
            last = i;
    }
    if (last != std::string::npos)
        path.erase(last);
}

bool ZavCp932CanHold(const char* utf8)
{
    std::string out;
    return utf8 != nullptr && Convert("CP932", "UTF-8", utf8, out);
}
