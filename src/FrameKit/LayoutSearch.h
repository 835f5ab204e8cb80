#pragma once

#include "FrameKit/FileUtil.h"

#include <cstdint>
#include <string>
#include <vector>

class ZAVDocuments;

// A layout found by a search, as the reader hands it out.
struct ZavSearchResult
{
    char title[129] = {};
    char thumbnailPath[kZavPathSize] = {};
    char layoutPath[kZavPathSize] = {};
    char paperName[65] = {};
    std::uint8_t direction = 0; // 0 "Vertical", 1 "Horizontal"
    std::int32_t margins[4] = {};
};

struct ZavSearchEntry
{
    std::int32_t matchIndex = -1;
    ZavSearchResult result;
};

// Files of a folder, and optionally its subfolders first, depth first, in the
// order the system lists them. Symbolic links are never descended into, a
// directory is visited once, and names the kit's files could not hold (a "\"
// or outside CP932) are skipped. The pattern is "*.<ext>", matched without
// regard to case.
struct ZavFoundFile
{
    std::string name;
    std::string path;
    unsigned mode = 0;
};
std::vector<ZavFoundFile> ZavWalkDirectory(const std::string& folder, const char* pattern, bool subfolders);

// Paths of the layout scripts ("*.usd") under a folder.
class ZAVFileSearch
{
public:
    virtual ~ZAVFileSearch() = default;
    int Find(std::int32_t* count, const char* folder, std::uint8_t subfolders);
    int GetPath(std::int32_t index, char out[kZavPathSize]) const;

private:
    std::vector<std::string> m_paths;
};

// Layouts of a folder and the ones among them that match a paper and margins.
class ZAVLayoutSearch
{
public:
    explicit ZAVLayoutSearch(ZAVDocuments* owner);
    virtual ~ZAVLayoutSearch() = default;

    int Search(std::int32_t* count, std::int32_t paperCode, std::int32_t marginMode, const char* folder,
               std::uint8_t subfolders);
    int GetEntry(std::int32_t matchIndex, ZavSearchResult* out) const;
    bool GetLayoutPath(std::int32_t matchIndex, char out[kZavPathSize]) const;
    std::int32_t GetMatchCount() const { return m_matchCount; }
    int GetCondition(std::int32_t* paperCode, std::int32_t* marginMode, char folder[kZavPathSize],
                     std::uint8_t* subfolders) const;
    int GetState() const { return m_state; }

private:
    int Run(std::int32_t paperCode, std::int32_t marginMode, const char* folder, std::uint8_t subfolders);
    int Rebuild();
    void Filter();
    std::string& CurrentFolder();

    ZAVDocuments* m_owner;
    std::string m_ownFolder;
    std::int32_t m_paperCode = -1;
    std::int32_t m_marginMode = 0;
    char m_folder[kZavPathSize] = {};
    std::uint8_t m_subfolders = 0;
    std::int32_t m_matchCount = 0;
    std::vector<ZavSearchEntry> m_entries;
    int m_state = 6200; // busy until a search completes
};

// Reads one layout's header into a search result; 0 or the reason to skip it.
int ZavReadSearchHeader(const char* layoutPath, ZavSearchResult* out);

// The shared "UDL" layout folder: under ZAV_SHARED_DATA_DIR when set, else
// under /var/lib/zaveditor when that exists, else under the user's XDG data
// folder ("zaveditor"). 6103 when the result is not a folder.
int LayoutFolderLocator(char folder[kZavPathSize]);
