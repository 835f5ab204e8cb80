// The ten most recently used layout files, newest first, no two equal
// without regard to case; stored as "RecentUsedFile1" to "RecentUsedFile10".
#pragma once

#include <string>
#include <vector>

class QSettings;

class RecentFileList
{
public:
    static constexpr int MaxEntries = 10;

    const std::vector<std::string>& Entries() const { return m_entries; }
    void AddRecentFile(const std::string& path);
    // 1 when an entry was removed, 0 when none matched.
    int RemoveRecentFile(const std::string& path);

    // Reads the current group of the store up to its first empty value.
    void Load(QSettings& store);
    // Writes all ten values, empty ones after the list's end.
    void Save(QSettings& store) const;

private:
    std::vector<std::string> m_entries;
};
