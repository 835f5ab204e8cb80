// Targa files: the 18-byte header, the true-colour pixels (uncompressed, type 2,
// or run-length, type 10) decoded into the editor's 32-bit layout, and the
// read-only file class over them.
#pragma once

#include "ImageProcessing/ImageFile.h"

#include <cstdint>
#include <span>

struct TargaHeader
{
    std::uint8_t idLength = 0;
    std::uint8_t colorMapType = 0;
    std::uint8_t imageType = 0;
    std::uint16_t colorMapFirst = 0;
    std::uint16_t colorMapLength = 0;
    std::uint8_t colorMapBits = 0;
    std::uint16_t xOrigin = 0;
    std::uint16_t yOrigin = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t pixelDepth = 0;
    std::uint8_t descriptor = 0;
};

constexpr std::size_t kTargaHeaderSize = 18;

// False when the block is shorter than a header.
bool ParseTargaHeader(std::span<const std::uint8_t> file, TargaHeader* header);
// No identification field, no colour map, true colour (type 2 or 10), 24 or 32 bits.
bool IsAcceptedTargaHeader(const TargaHeader& header);

// Decodes the pixels after the header into packed 4-byte pixels (blue, green,
// red, mask value), bottom row first whatever the file's origin. The mask value
// is 255 - alpha for 32-bit files with 8 alpha bits, else 0 (opaque).
// ImageFileOk, ImageFileUnsupported (unusable size), ImageFileReadFailed (the
// pixel data ends early) or ImageFileNoMemory.
int DecodeTargaPixels(std::span<const std::uint8_t> file, const TargaHeader& header, PageBuffer* pixels);
