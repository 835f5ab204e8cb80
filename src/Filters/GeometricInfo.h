// The info block of the filters that work on the whole image at once.
#pragma once

#include "FilterInfo.h"

#include <cstring>

inline void FillGeometricInfo(FilterInfo* info, const char* name)
{
    *info = FilterInfo{};
    std::strncpy(info->name, name, sizeof(info->name) - 1);
    info->word16 = 3;
    info->word17 = 3;
    info->formatMask = 127;
    info->overlap = -1;
    info->workBytes = 3072;
}
