// TIFF files written by libtiff at test time.
#pragma once

#include "ImageProcessing/support/FixtureFiles.h"

#include <cstdint>
#include <string>
#include <vector>

struct FixtureTiffOptions
{
    int width = 6;
    int height = 4;
    int samples = 3;     // 1: bilevel (1 bit), 3: RGB, 4: RGB and alpha
    int compression = 1; // libtiff's COMPRESSION_ value
    int extraSample = 2; // for 4 samples: 1 associated, 2 unassociated alpha
    int fixedAlpha = -1; // -1: the pattern's varying alpha
    int orientation = 1; // the Orientation tag; the pixels are stored as FixtureTiffPixel gives them
};

// Pixel (x, y), y = 0 the top row, as the file stores it (for 4 samples with
// associated alpha the stored colours are premultiplied from these).
FixturePixel FixtureTiffPixel(const FixtureTiffOptions& options, int x, int y);
// False when libtiff cannot write the file.
bool WriteFixtureTiff(const std::string& path, const FixtureTiffOptions& options);

// A minimal uncompressed 8-bit greyscale TIFF built byte by byte whose header
// claims the given size; it holds one strip of `dataBytes` bytes.
std::vector<std::uint8_t> FixtureTiffHeaderOnly(std::uint32_t width, std::uint32_t height,
                                                std::uint32_t dataBytes);
