// Reading an image's pixels and mask values by picture row (0 at the top), and
// pixels of packed bottom-up buffers.
#pragma once

#include "ImageProcessing/Image.h"
#include "ImageProcessing/support/FixtureFiles.h"

#include <cstdint>

inline const std::uint8_t* FixtureImageByte(const CImage& image, int x, int y)
{
    return image.GetBits() + static_cast<std::ptrdiff_t>(image.GetHeight() - 1 - y) * image.GetRowBytes() +
           x * 4;
}

// Blue, green, red and the fourth byte of the image's pixel.
inline FixturePixel FixtureImagePixel(const CImage& image, int x, int y)
{
    const std::uint8_t* p = FixtureImageByte(image, x, y);
    return {p[0], p[1], p[2], p[3]};
}

// The mask value (red byte of the mask pixel).
inline int FixtureMaskValue(const CImage& image, int x, int y)
{
    return FixtureImageByte(*image.GetMask(), x, y)[2];
}

// Pixel (x, y) of a packed bottom-up buffer of 4-byte pixels.
inline FixturePixel FixtureBufferPixel(const std::uint8_t* pixels, int width, int height, int x, int y)
{
    const std::uint8_t* p = pixels + (static_cast<std::size_t>(height - 1 - y) * width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

inline bool SameColour(const FixturePixel& a, const FixturePixel& b)
{
    return a.b == b.b && a.g == b.g && a.r == b.r;
}
