// The camera thumbnail (".ctf") a set was opened with, carried to the next
// registration while what it is made from is as it was then: made again it
// would be drawn from a frame image that may since have been written at
// another quality, and would no longer match the file.
#pragma once

#include <optional>
#include <string>
#include <vector>

class CCarriedCtf
{
public:
    // `file` was made from what `sources` digests (CtfSourceDigest); forgets
    // instead when the file cannot be read or there is no digest.
    void Remember(const std::string& file, const std::string& sources);
    void Forget();
    // The file's bytes while it and its sources are both as remembered.
    std::optional<std::vector<char>> Take(const std::string& sources) const;

private:
    std::string m_file;
    std::string m_fileDigest;
    std::string m_sources;
};
