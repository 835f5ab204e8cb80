// The values of a set index (".usm"): the set's texts, its byte total and the
// member layout scripts it names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct USMHeader
{
    double revision = 1.0;
    std::string title;
    std::string comment;
    std::int32_t capability = 0; // the set's byte total
    double classification = 0.01;
    std::int32_t count = 0;
    // As read: the names the index holds. While a set is written: the full
    // paths of the member scripts in the temporary folder.
    std::vector<std::string> fileNames;
    // As read: the text the index holds (a relative path is not resolved).
    // While a set is written: the native path of the camera thumbnail.
    std::string cameraThumbnail;

    bool operator==(const USMHeader&) const = default;
};
