// Helpers the geometric filters share to reach the colour samples of a pixel:
// the alpha sample is never written, 16-bit samples may be stored byte-swapped.
#pragma once

#include "PixelLayout.h"

#include <cstdint>
#include <cstring>

// Byte offsets of the samples a filter may write (all but alpha).
struct ColourSamples
{
    int32_t count = 0;
    int32_t offset[4] = {};
};

inline ColourSamples ColourSamplesOf(const PixelLayout& layout)
{
    ColourSamples c;
    for (int32_t i = 0; i < layout.samples; ++i)
        if (i != layout.alpha)
            c.offset[c.count++] = i * layout.bytesPerSample;
    return c;
}

inline uint32_t Load16(const uint8_t* p, bool swap)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    if (swap)
        v = static_cast<uint16_t>(v >> 8 | v << 8);
    return v;
}

inline void Store16(uint8_t* p, uint32_t value, bool swap)
{
    uint16_t v = static_cast<uint16_t>(value);
    if (swap)
        v = static_cast<uint16_t>(v >> 8 | v << 8);
    std::memcpy(p, &v, 2);
}

// Copies every sample of one pixel but alpha.
inline void CopyColour(uint8_t* destination, const uint8_t* source, const ColourSamples& samples,
                       int32_t bytesPerSample)
{
    for (int32_t k = 0; k < samples.count; ++k)
        std::memcpy(destination + samples.offset[k], source + samples.offset[k],
                    static_cast<size_t>(bytesPerSample));
}

inline int64_t Clamp64(int64_t v, int64_t lo, int64_t hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}
