// The file a frame's working copy was made from, when that file already holds
// the picture in the form a layout stores it: a save then takes the file's
// bytes instead of encoding the picture again, so pictures the user did not
// change stay byte for byte the same over any number of saves.
#pragma once

#include <optional>
#include <string>
#include <vector>

class CCarriedPicture
{
public:
    // `source` carries the picture `working` holds now; forgets instead when
    // either file cannot be read.
    void Remember(const std::string& source, const std::string& working);
    void Forget();
    bool IsSet() const { return !m_source.empty(); }
    // The carried bytes are read from `file` from now on when it holds them:
    // a save that replaced the folder the source lay in keeps the carry.
    void Follow(const std::string& file);
    // The source's bytes while the working copy and the source are both as
    // they were remembered; nothing once either has changed.
    std::optional<std::vector<char>> Take(const std::string& working) const;

private:
    std::string m_source;
    std::string m_sourceDigest;
    std::string m_workingDigest;
};
