// The thumbnail file a layout was opened with, carried to the next save while
// the page still draws exactly as it did when opened: saving a layout that
// was not changed keeps "THUMB.USF" byte for byte instead of drawing it anew
// from pictures that were decoded from their files.
#pragma once

#include "Core/CarriedFile.h"

#include <optional>
#include <string>
#include <vector>

class CImage;

class CCarriedThumbnail
{
public:
    // `file` is the thumbnail of the page `drawn` shows; forgets instead when
    // the file cannot be read.
    void Remember(const std::string& file, const CImage& drawn);
    void Forget();
    // The file is read from `file` from now on when it holds the same bytes:
    // a save that replaced the folder it lay in keeps the carry.
    void Follow(const std::string& file);
    // The file's bytes while it and the page drawn now are both as remembered.
    std::optional<std::vector<char>> Take(const CImage& drawn) const;

private:
    CCarriedFile m_file;
};
