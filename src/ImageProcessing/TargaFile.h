// Targa files: the 18-byte header, the true-colour pixels (uncompressed, type 2,
// or run-length, type 10) decoded into the editor's 32-bit layout, and the
// read-only file class over them.
#pragma once

#include "ImageProcessing/ImageFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

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
// red, mask value), bottom row first and left pixel first whatever the file's
// origin (descriptor bits 5 and 4). The mask value
// is 255 - alpha for 32-bit files with 8 alpha bits, else 0 (opaque).
// ImageFileOk, ImageFileUnsupported (unusable size), ImageFileReadFailed (the
// pixel data ends early) or ImageFileNoMemory.
int DecodeTargaPixels(std::span<const std::uint8_t> file, const TargaHeader& header, PageBuffer* pixels);

// Reads uncompressed and run-length true-colour Targa files. Writing and the
// scaled read keep the base's answers.
class CTargaFile : public CImageFile
{
public:
    int Read(std::string path, CImage* target) override;
    int ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                   const SIZE* maximum) override;

private:
    // Opens the file, reads and checks the header and reads the pixel data that
    // a picture of that size can use. Throws a result code.
    std::vector<std::uint8_t> ReadAccepted(const std::string& path, TargaHeader* header);
};
