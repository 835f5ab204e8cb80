// One layout as the layout list shows it: the file, its thumbnail, title and
// paper. The owner of the list fills and keeps the entries; the list only
// points at them.
#pragma once

#include <cstdint>
#include <string>

struct LayoutListEntry
{
    // Sorts after every paper of the document's paper-size list.
    static constexpr std::int32_t kUnknownPaperOrder = 0x7FFFFFFF;

    std::string fileName;      // the file's name with its extension
    std::string thumbnailPath; // empty when the layout has none
    std::string title;
    std::string kindText; // the paper's localised name, or the camera-layout text
    std::int32_t paperOrder = kUnknownPaperOrder;
    // Index in the owner's thumbnail list, -1 while there is no thumbnail.
    // Written on the user-interface thread only.
    std::int32_t imageIndex = -1;
};
