// A file carried to the next save while it and what it was made from are as
// they were when it was read: a save then writes the file's own bytes instead
// of making it again, so an unchanged layout saves byte for byte.
#pragma once

#include <optional>
#include <string>
#include <vector>

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
