// A file carried to the next save while it and what it was made from are as
// they were when it was read: a save then writes the file's own bytes instead
// of making it again, so an unchanged layout saves byte for byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the file system says of a file without reading it. Any write gives
// the file a new change time (set by the system, not by the writer) or a new
// inode, so a stamp taken after the last write of a file tells it apart from
// every later version of it.
struct FileStamp
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Nothing for a path that names no regular file.
std::optional<FileStamp> StampOfFile(const std::string& path);

class CCarriedFile
{
public:
    // `file` was made from what `key` digests; forgets instead when the file
    // cannot be read or there is no key.
    void Remember(const std::string& file, const std::string& key);
    void Forget();
    // The file is read from `file` from now on when it holds the same bytes:
    // a save that replaced the folder it lay in keeps the carry.
    void Follow(const std::string& file);
    // The file's bytes while it and its key are both as remembered.
    std::optional<std::vector<char>> Take(const std::string& key) const;

private:
    std::string m_file;
    std::string m_fileDigest;
    std::string m_key;
};
