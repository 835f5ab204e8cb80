// Windows bitmap files: reads 1-, 4-, 8- and 24-bit pictures (uncompressed or
// run-length), writes 24-bit ones, and reads and writes the 32-bit files whose
// fourth byte is either kept as it is or carries the image's mask.
#pragma once

#include "ImageProcessing/ImageFile.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class IJpegBatchSource;

// What the headers of a readable file say, checked.
struct BmpHeaders
{
    int width = 0;
    int height = 0;       // rows, always positive
    bool topDown = false; // the file stores its top row first
    int bitCount = 0;
    std::uint32_t compression = 0;            // 0 none, 1 RLE8, 2 RLE4
    int paletteCount = 0;                     // entries read; indices at or above it are black
    std::array<std::uint8_t, 1024> palette{}; // blue, green, red, 0
    std::uint64_t pixelOffset = 0;            // where the rows start in the file
    std::uint64_t stride = 0;                 // bytes per stored row, padded to 4
};

class CBMPFile : public CImageFile
{
public:
    int ReadScaled(std::string path, CImage* target, int boxWidth, int boxHeight, SIZE* pictureSize,
                   double* scale, COLORREF background, int noEnlarge, const SIZE* maximum) override;
    int Read(std::string path, CImage* target) override;
    int WriteBuffer(std::string path, const std::uint8_t* pixels, const std::uint8_t* plane, int width,
                    int height) override;
    int Write(std::string path, CImage* source) override;
    int ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                   const SIZE* maximum) override;

    // The 32-bit rows exactly as stored, all four bytes kept.
    int ReadRaw32(std::string path, std::uint8_t** pixels, SIZE* size);
    // A 32-bit file's rows handed to `use` as encoder batches, colour from
    // bytes 0..2 and the plane from byte 3, read from the file only as the
    // batches are taken, so the picture is never held whole. The read's
    // failure, else what `use` returned.
    using RowsUser = std::function<int(int width, int height, IJpegBatchSource& rows)>;
    int ReadRaw32Rows(std::string path, const RowsUser& use);
    // The image from bytes 0..2 of a 32-bit file, its mask from byte 3.
    int ReadWithMask(std::string path, CImage* target);
    int WriteRaw32(std::string path, const std::uint8_t* pixels, int width, int height);
    // A 32-bit file whose byte 3 is the mask value (0 opaque .. 255 transparent).
    int WriteWithMask(std::string path, CImage* source);

private:
    // Opens the file and reads and checks its headers (the maximum, when given,
    // before the planes and compression; `size` receives the picture's size
    // then). Throws a result code.
    void ReadHeaders(const std::string& path, BmpHeaders* headers, const SIZE* maximum, SIZE* size);
    // The 32-bit form: header size 40, 32 bits, 1 plane, no compression.
    void ReadHeaders32(const std::string& path, BmpHeaders* headers);
    // The stored rows (or run-length data), bottom row first. Throws.
    PageBuffer ReadPixelBlock(const BmpHeaders& headers, std::uint64_t* blockSize);
    // Uncompressed 24-bit rows read straight into the target's pixels, piece by
    // piece, without a copy of the whole file in between. Throws.
    void ReadRows24Into(const BmpHeaders& headers, CImage* target);
    // The picture as packed 4-byte pixels, bottom row first. Throws.
    PageBuffer DecodeTo32(const BmpHeaders& headers, PageBuffer block, std::uint64_t blockSize);
    // Writes the headers and the rows, in pieces. Throws.
    void WriteFile(const std::string& path, int width, int height, int bitCount, const std::uint8_t* rows,
                   std::uint64_t rowBytes);
    // Writes an image's rows as `packRows` packs them (padded to 4 bytes), in pieces. Throws.
    void WriteImageRows(const std::string& path, CImage* source, int bitCount,
                        std::uint8_t* (CImage::*packRows)() const);
};
