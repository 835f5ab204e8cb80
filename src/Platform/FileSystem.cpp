#include "Platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

bool StatNoFollow(const std::string& path, struct stat& st)
{
    return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

std::string ParentOf(const std::string& path)
{
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const auto slash = p.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return p.substr(0, slash);
}

} // namespace

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder)
{
    if (folder.empty())
        return std::nullopt;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return std::nullopt;
    std::vector<FolderEntry> entries;
    const std::string base = folder.back() == '/' ? folder : folder + '/';
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st;
        const bool isFolder = StatNoFollow(base + name, st) && S_ISDIR(st.st_mode);
        entries.push_back({name, isFolder});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

bool PathExists(const std::string& path)
{
    struct stat st;
    return StatNoFollow(path, st);
}

bool IsSymbolicLink(const std::string& path)
{
    struct stat st;
    return StatNoFollow(path, st) && S_ISLNK(st.st_mode);
}

std::string FollowSymbolicLinks(const std::string& path)
{
    // The system's own limit of links in one lookup.
    constexpr int kMostLinks = 40;
    std::string current = path;
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        if (!IsSymbolicLink(current))
            return current;
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t size = ::readlink(current.c_str(), target.data(), target.size());
        if (size <= 0 || static_cast<std::size_t>(size) >= target.size())
            return {};
        const std::string next(target.data(), static_cast<std::size_t>(size));
        if (next.front() == '/') {
            current = next;
        } else {
            const std::string parent = ParentOf(current);
            current = (parent == "/" ? parent : parent + '/') + next;
        }
    }
    return {};
}

bool IsFolderPath(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFilePath(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool HasReadOnlyAttribute(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

bool ClearReadOnlyAttribute(const std::string& path)
{
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return false;
    return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool DeletePlainFile(const std::string& path)
{
    struct stat st;
    if (!StatNoFollow(path, st) || S_ISDIR(st.st_mode))
        return false;
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
        return false;
    return ::unlink(path.c_str()) == 0;
}

bool RemoveEmptyFolder(const std::string& path)
{
    return !path.empty() && ::rmdir(path.c_str()) == 0;
}

bool MakeFolder(const std::string& path, unsigned mode)
{
    return !path.empty() && ::mkdir(path.c_str(), mode) == 0;
}

bool SetPathMode(const std::string& path, unsigned mode)
{
    return !path.empty() && ::chmod(path.c_str(), mode) == 0;
}

std::string CreateUniqueFile(const std::string& folder, const std::string& prefix, const std::string& suffix)
{
    if (!IsFolderPath(folder))
        return {};
    std::string pattern = folder;
    if (pattern.back() != '/')
        pattern += '/';
    pattern += prefix + "XXXXXX" + suffix;
    const int fd = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd < 0)
        return {};
    ::close(fd);
    return pattern;
}

bool HasEffectiveAccess(const std::string& path, int mode)
{
    return !path.empty() && ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

bool MayDeleteEntry(const std::string& path)
{
    struct stat entry;
    if (!StatNoFollow(path, entry))
        return false;
    const std::string parent = ParentOf(path);
    if (!HasEffectiveAccess(parent, W_OK | X_OK))
        return false;
    struct stat folder;
    if (::stat(parent.c_str(), &folder) != 0)
        return false;
    if ((folder.st_mode & S_ISVTX) == 0)
        return true;
    const uid_t me = ::geteuid();
    return me == 0 || me == entry.st_uid || me == folder.st_uid;
}

bool VolumeKeepsPermissions(const std::string& path)
{
    std::string probe = path;
    struct statfs fs;
    while (!probe.empty()) {
        if (::statfs(probe.c_str(), &fs) == 0) {
            constexpr long exfatMagic = 0x2011BAB0;
            return fs.f_type != MSDOS_SUPER_MAGIC && fs.f_type != exfatMagic;
        }
        const std::string parent = ParentOf(probe);
        if (parent == probe)
            break;
        probe = parent;
    }
    return false;
}

std::optional<unsigned long long> RegularFileSize(const std::string& path)
{
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<unsigned long long>(st.st_size);
}
