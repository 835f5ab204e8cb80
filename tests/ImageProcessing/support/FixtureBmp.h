// BMP files built byte by byte.
#pragma once

#include "ImageProcessing/support/FixtureFiles.h"

#include <cstdint>
#include <vector>

struct FixtureBmpOptions
{
    int width = 7;
    int height = 5;
    int bits = 24;           // 1, 4, 8, 16, 24 or 32
    int headerSize = 40;     // 12 (core), 40, or a longer header (108, 124)
    bool topDown = false;    // negative height, top row stored first
    int colorsUsed = 0;      // the header's field; 0: the full palette
    int paletteEntries = -1; // entries stored; -1: colorsUsed, or the full palette
    std::uint8_t paletteReserved = 0;
    int gapBeforePixels = 0; // bytes between the palette and the rows (the offset field says so)
    int offsetBack = 0;      // the offset field points this many bytes before the rows
    std::uint32_t compression = 0;
    std::vector<std::uint8_t> rle; // the pixel data for compression 1 and 2
};

// Palette entry i as blue, green, red.
FixturePixel FixtureBmpPaletteEntry(int i);
// The palette index of pixel (x, y), y = 0 the top row, for 1, 4 and 8 bits.
int FixtureBmpIndex(const FixtureBmpOptions& options, int x, int y);
// Pixel (x, y) as the file stores it (for 32 bits `a` is the fourth byte).
FixturePixel FixtureBmpPixel(const FixtureBmpOptions& options, int x, int y);
std::vector<std::uint8_t> FixtureBmp(const FixtureBmpOptions& options);
