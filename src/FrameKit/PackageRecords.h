#pragma once

#include <cstdint>

// Where one member lies in an open package and how a layout refers to it.
// A record of empty names and zero offset and size is an absent file.
struct MemberRecord
{
    char referenceName[256] = {};
    char packageName[256] = {};
    std::uint32_t offset = 0;
    std::uint32_t size = 0;

    bool IsAbsent() const
    {
        return referenceName[0] == '\0' && packageName[0] == '\0' && offset == 0 && size == 0;
    }
};

// The set index's header values that the package queries hand out.
struct IndexInfo
{
    std::uint8_t classificationMajor = 0;
    std::uint8_t classificationMinor = 0;
    std::int32_t capability = 0;
    std::int32_t layoutCount = 0;
    char cameraThumbnail[256] = {};
};
