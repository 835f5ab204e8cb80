// The loops of the 8-bit tone filters that count samples and map them through
// tables, over rows of interleaved samples.
#pragma once

#include <cstdint>

// Adds every sample of `height` rows of `width` pixels to the 256 counts of its
// place within the pixel: counts[s * 256 + value] for s < bytesPerPixel (1 to 4).
void CountSamples8(const uint8_t* pixels, int64_t rowBytes, int32_t width, int32_t height,
                   int32_t bytesPerPixel, uint32_t* counts);

// One row of `width` pixels through the 256-byte table of each sample place;
// a place without a table (alpha) keeps the destination's byte. Source and
// destination are the same row or do not overlap.
void MapSamples8(const uint8_t* source, uint8_t* destination, int32_t width, int32_t bytesPerPixel,
                 const uint8_t* const tables[4]);
