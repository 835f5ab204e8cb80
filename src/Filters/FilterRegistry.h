// The constant table of the library's filters, indexed by id.
#pragma once

#include <memory>

#include <cstdint>

class UCFilter;
class UtilFilter;

using FilterFactory = std::unique_ptr<UCFilter> (*)(UtilFilter* owner);

struct FilterRegistryRow
{
    int32_t id;
    uint32_t flags;
    FilterFactory factory; // null: the filter is not part of this build
    const char* shortName;
};

enum FilterRegistryFlag : uint32_t {
    UCF_FLAG_NOSTRIPS = 0x20,
    UCF_FLAG_ANALYSIS = 0x80,
    UCF_FLAG_PARAMETERS = 0x100,
    UCF_FLAG_NOCLIENTSTRIPS = 0x20000,
    UCF_FLAG_NEEDDESTINATION = 0x40000,
};

enum FilterId : int32_t {
    UCF_ID_INVS = 0,
    UCF_ID_MONO = 1,
    UCF_ID_FLIP = 2,
    UCF_ID_ROTATE = 3,
    UCF_ID_AFFINE = 4,
    UCF_ID_AUTOLEVEL = 5,
    UCF_ID_RESIZE = 6,
    UCF_ID_SCONTRAST = 7,
    UCF_ID_HUESAT = 8,
    UCF_ID_CROP = 9,
    UCF_ID_USM = 10,
    UCF_ID_KRS = 11,
    UCF_ID_DSCNR = 12,
    UCF_ID_SGAUSS = 13,
    UCF_ID_CMM = 14,
    UCF_ID_NEWMEMC = 15,
    UCF_ID_MERGE = 16,
    UCF_ID_BLURMASK = 17,
    UCF_ID_TEXTURE = 18,
};

constexpr int32_t kFilterRegistrySize = 19;

const FilterRegistryRow* GetRegistryRow(int32_t id);
// A new filter with no owner, or null when the id has none.
std::unique_ptr<UCFilter> CreateRegisteredFilter(int32_t id);
uint32_t GetRegisteredFlags(int32_t id);
