// What the point filters that map samples through tables share: the distinct
// tone samples of a pixel (alpha excluded), the size check before writing and
// the per-strip progress.
#pragma once

#include "FilterErrorCode.h"
#include "PixelLayout.h"

#include <cstdint>

struct ToneSamples
{
    int32_t count = 0;
    int32_t index[3] = {};
};

// Grey formats have one sample that red, green and blue all name: mapping it
// three times would apply the table three times.
inline ToneSamples ToneSamplesOf(const PixelLayout& layout)
{
    ToneSamples t;
    t.index[t.count++] = layout.red;
    if (layout.green != layout.red)
        t.index[t.count++] = layout.green;
    if (layout.blue != layout.red && layout.blue != layout.green)
        t.index[t.count++] = layout.blue;
    return t;
}

// UCF_OK and *write false when the formats differ (nothing is written);
// 2010 when rows would be written past a destination of another size.
inline int32_t CheckPointJob(const FilterJob& job, bool* write)
{
    *write = false;
    if (job.sameFormat != 1)
        return UCF_OK;
    const PixelLayout& s = job.source;
    const PixelLayout& d = job.destination;
    if (d.regionWidth != s.regionWidth || d.regionHeight != s.regionHeight)
        return UCF_ERR_GEOMETRY;
    *write = true;
    return UCF_OK;
}

inline int32_t StripPercent(int32_t row, int32_t rows)
{
    return static_cast<int32_t>(int64_t{row} * 100 / (rows > 0 ? rows : 1));
}
