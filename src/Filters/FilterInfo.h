// What a filter tells the facade about itself; the facade reads only the
// format mask and the strip overlap.
#pragma once

#include <cstdint>

struct FilterInfo
{
    char name[64] = {};
    int32_t word16 = 0;
    int32_t word17 = 0;
    int32_t formatMask = 0;
    int32_t overlap = 0; // extra source lines a strip needs beyond its output lines
    int32_t word20 = 0;
    int32_t word21 = 0;
    int32_t word22 = 0;
    int64_t workBytes = 0;
    int64_t word24 = 0;
    int64_t word25 = 0;
};
