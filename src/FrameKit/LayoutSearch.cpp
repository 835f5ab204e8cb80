#include "FrameKit/LayoutSearch.h"

#include "FrameKit/Documents.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PaperTable.h"
#include "FrameKit/Parser.h"
#include "FrameKit/PathResolve.h"
#include "FrameKit/ValueChecks.h"

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <set>
#include <strings.h>
#include <sys/stat.h>
#include <utility>

namespace {

bool MatchesPattern(const char* name, const char* pattern)
{
    // Only "*.ext" patterns are used: compare the tail without regard to case.
    const char* ext = pattern[0] == '*' ? pattern + 1 : pattern;
    const std::size_t n = std::strlen(name);
    const std::size_t e = std::strlen(ext);
    return n > e && ::strcasecmp(name + n - e, ext) == 0;
}

// Appends rather than concatenating temporaries, which GCC 12 mistakes for
// overlapping copies (-Wrestrict) in release builds.
std::string Child(const std::string& folder, const std::string& name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

struct Walker
{
    const char* pattern;
    bool subfolders;
    std::set<std::pair<dev_t, ino_t>> visited;
    std::vector<ZavFoundFile> found;

    void Walk(const std::string& folder)
    {
        struct stat self;
        if (::stat(folder.c_str(), &self) != 0 || !visited.insert({self.st_dev, self.st_ino}).second)
            return;
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr)
            return;
        std::vector<std::pair<std::string, struct stat>> entries;
        while (dirent* e = ::readdir(dir)) {
            const char* name = e->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            if (std::strchr(name, '\\') != nullptr || !ZavCp932CanHold(name))
                continue;
            std::string path = Child(folder, name);
            struct stat st;
            if (path.size() >= kZavPathSize || ::lstat(path.c_str(), &st) != 0)
                continue;
            entries.emplace_back(name, st);
        }
        ::closedir(dir);
        if (subfolders)
            for (const auto& [name, st] : entries)
                if (S_ISDIR(st.st_mode))
                    Walk(Child(folder, name));
        for (const auto& [name, st] : entries)
            if (!S_ISDIR(st.st_mode) && MatchesPattern(name.c_str(), pattern))
                found.push_back({name, Child(folder, name), st.st_mode});
    }
};

bool Matches(const ZavSearchResult& r, std::int32_t paperCode, std::int32_t marginMode)
{
    return PaperNameMatches(paperCode, r.paperName) &&
           (marginMode == 0 ||
            MarginsMatch(marginMode, r.margins[0], r.margins[1], r.margins[2], r.margins[3]));
}

int CopyText(const ZAVParser& parser, const char* key, char* out, std::size_t maxBytes, bool strip,
             bool* present)
{
    char v[513];
    *present = parser.GetValue("HEADER", key, v, sizeof v, -1, strip);
    if (!*present)
        return ZAV_OK;
    const std::size_t len = std::strlen(v);
    if (len > maxBytes)
        return ZAV_ERR_ARGUMENT;
    std::memcpy(out, v, len + 1);
    return ZAV_OK;
}

} // namespace

std::vector<ZavFoundFile> ZavWalkDirectory(const std::string& folder, const char* pattern, bool subfolders)
{
    Walker w{pattern, subfolders, {}, {}};
    std::string start = folder;
    while (start.size() > 1 && start.back() == '/')
        start.pop_back();
    w.Walk(start);
    return std::move(w.found);
}

int ZAVFileSearch::Find(std::int32_t* count, const char* folder, std::uint8_t subfolders)
{
    return ZavGuard([&]() -> int {
        if (count != nullptr)
            *count = 0;
        if (folder == nullptr || !IsTerminatedWithin(folder, kZavPathSize))
            return ZAV_ERR_ARGUMENT;
        if (!IsFolder(folder))
            return ZAV_ERR_NO_SEARCH_FOLDER;
        for (ZavFoundFile& f : ZavWalkDirectory(folder, "*.usd", subfolders != 0))
            m_paths.push_back(std::move(f.path));
        if (count != nullptr)
            *count = static_cast<std::int32_t>(m_paths.size());
        return ZAV_OK;
    });
}

int ZAVFileSearch::GetPath(std::int32_t index, char out[kZavPathSize]) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_paths.size())
        return ZAV_ERR_INDEX;
    std::memset(out, 0, kZavPathSize);
    std::memcpy(out, m_paths[index].c_str(), m_paths[index].size());
    return ZAV_OK;
}

int ZavReadSearchHeader(const char* layoutPath, ZavSearchResult* out)
{
    return ZavGuard([&]() -> int {
        *out = ZavSearchResult();
        ZAVParser parser(layoutPath);
        if (int rc = parser.Parse("HEADER"))
            return rc;
        unsigned char major = 0;
        if (int rc = parser.GetRevisionMajor(&major))
            return rc;
        if (major != 2)
            return ZAV_ERR_HEADER;
        bool present = false;
        if (int rc = CopyText(parser, "HdTitle", out->title, kZavHeaderTextBytes, true, &present))
            return rc;
        if (int rc = CopyText(parser, "HdPhysicalPaperSize", out->paperName, 64, false, &present))
            return rc;
        if (!present)
            return ZAV_ERR_SYNTAX;
        int direction = 0;
        if (int rc = parser.GetDirection(&direction))
            return rc;
        out->direction = static_cast<std::uint8_t>(direction);
        if (int rc =
                parser.GetMargins(&out->margins[0], &out->margins[1], &out->margins[2], &out->margins[3]))
            return rc;
        char thumbnail[129] = {};
        if (int rc = CopyText(parser, "HdThumbnail", thumbnail, 128, true, &present))
            return rc;
        if (thumbnail[0] != '\0') {
            std::string folder(layoutPath);
            folder.erase(folder.rfind('/') == 0 ? 1 : folder.rfind('/'));
            if (int rc = ResolveRelativePath(thumbnail, folder.c_str(), out->thumbnailPath))
                return rc;
        }
        std::memcpy(out->layoutPath, layoutPath, std::strlen(layoutPath) + 1);
        return ZAV_OK;
    });
}

ZAVLayoutSearch::ZAVLayoutSearch(ZAVDocuments* owner) : m_owner(owner)
{
}

std::string& ZAVLayoutSearch::CurrentFolder()
{
    return m_owner != nullptr ? m_owner->CurrentLayoutFolder() : m_ownFolder;
}

int ZAVLayoutSearch::Search(std::int32_t* count, std::int32_t paperCode, std::int32_t marginMode,
                            const char* folder, std::uint8_t subfolders)
{
    if (count != nullptr)
        *count = 0;
    m_state = ZavGuard([&] { return Run(paperCode, marginMode, folder, subfolders); });
    if (count != nullptr)
        *count = m_matchCount;
    return m_state;
}

int ZAVLayoutSearch::Run(std::int32_t paperCode, std::int32_t marginMode, const char* folder,
                         std::uint8_t subfolders)
{
    const std::string previousFolder = m_folder;
    const std::uint8_t previousSubfolders = m_subfolders;
    m_paperCode = paperCode;
    m_marginMode = marginMode;
    m_subfolders = subfolders;
    m_matchCount = 0;
    char chosen[kZavPathSize] = {};
    if (folder != nullptr) {
        if (!IsTerminatedWithin(folder, kZavPathSize))
            return ZAV_ERR_ARGUMENT;
        std::strcpy(chosen, folder);
    } else if (int rc = LayoutFolderLocator(chosen)) {
        return rc;
    }
    std::memcpy(m_folder, chosen, sizeof m_folder);
    CurrentFolder() = m_folder;
    // Host folders are compared exactly: on this system letter case makes
    // two different folders.
    if (!m_entries.empty() && previousFolder == m_folder && previousSubfolders == subfolders) {
        Filter();
        return ZAV_OK;
    }
    return Rebuild();
}

int ZAVLayoutSearch::Rebuild()
{
    m_entries.clear();
    ZAVFileSearch files;
    std::int32_t count = 0;
    if (int rc = files.Find(&count, m_folder, m_subfolders))
        return rc;
    char path[kZavPathSize];
    for (std::int32_t i = 0; i < count; ++i) {
        files.GetPath(i, path);
        ZavSearchEntry entry;
        if (ZavReadSearchHeader(path, &entry.result) != ZAV_OK)
            continue;
        m_entries.push_back(entry);
    }
    Filter();
    return ZAV_OK;
}

void ZAVLayoutSearch::Filter()
{
    m_matchCount = 0;
    for (ZavSearchEntry& e : m_entries)
        e.matchIndex = Matches(e.result, m_paperCode, m_marginMode) ? m_matchCount++ : -1;
}

int ZAVLayoutSearch::GetEntry(std::int32_t matchIndex, ZavSearchResult* out) const
{
    for (const ZavSearchEntry& e : m_entries)
        if (matchIndex >= 0 && e.matchIndex == matchIndex) {
            if (out != nullptr)
                *out = e.result;
            return ZAV_OK;
        }
    return ZAV_ERR_INDEX;
}

bool ZAVLayoutSearch::GetLayoutPath(std::int32_t matchIndex, char out[kZavPathSize]) const
{
    for (const ZavSearchEntry& e : m_entries)
        if (matchIndex >= 0 && e.matchIndex == matchIndex) {
            std::memcpy(out, e.result.layoutPath, kZavPathSize);
            return true;
        }
    return false;
}

int ZAVLayoutSearch::GetCondition(std::int32_t* paperCode, std::int32_t* marginMode,
                                  char folder[kZavPathSize], std::uint8_t* subfolders) const
{
    if (paperCode != nullptr)
        *paperCode = m_paperCode;
    if (marginMode != nullptr)
        *marginMode = m_marginMode;
    if (folder != nullptr)
        std::memcpy(folder, m_folder, kZavPathSize);
    if (subfolders != nullptr)
        *subfolders = m_subfolders;
    return ZAV_OK;
}

int LayoutFolderLocator(char folder[kZavPathSize])
{
    return ZavGuard([&]() -> int {
        std::string root;
        struct stat st;
        if (const char* named = std::getenv("ZAV_SHARED_DATA_DIR"); named != nullptr && *named != '\0') {
            root = named;
        } else if (::stat("/var/lib/zaveditor", &st) == 0 && S_ISDIR(st.st_mode)) {
            root = "/var/lib/zaveditor";
        } else {
            const char* xdg = std::getenv("XDG_DATA_HOME");
            const char* home = std::getenv("HOME");
            if (xdg != nullptr && xdg[0] == '/')
                root = std::string(xdg) + "/zaveditor";
            else if (home != nullptr && home[0] == '/')
                root = std::string(home) + "/.local/share/zaveditor";
            else
                return ZAV_ERR_NO_FOLDER;
        }
        while (root.size() > 1 && root.back() == '/')
            root.pop_back();
        const std::string udl = root + "/UDL";
        if (folder != nullptr)
            std::memset(folder, 0, kZavPathSize);
        if (udl.size() >= kZavPathSize || !IsFolder(udl.c_str()))
            return ZAV_ERR_NO_FOLDER;
        if (folder != nullptr)
            std::memcpy(folder, udl.c_str(), udl.size());
        return ZAV_OK;
    });
}
