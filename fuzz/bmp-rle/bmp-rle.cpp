// BMP run-length data into pixels and index rows: the first three bytes give
// width, height and depth, the rest is the run-length data.
#include "ImageProcessing/PixelConversion.h"
#include "Platform/PageAllocator.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const int width = 1 + data[0] % 64;
    const int height = 1 + data[1] % 64;
    const bool four = data[2] & 1;
    // An exactly sized copy, so that any read past the data is caught.
    std::vector<std::uint8_t> rle(data + 3, data + size);
    std::uint8_t* source = rle.empty() ? nullptr : rle.data();
    std::uint8_t palette[16 * 4];
    for (int i = 0; i < 64; ++i)
        palette[i] = static_cast<std::uint8_t>(i);
    const int paletteCount = 1 + data[2] % 16;
    std::uint8_t* pixels = four ? DecodeBmpRle4(source, rle.size(), palette, paletteCount, width, height, 0)
                                : DecodeBmpRle8(source, rle.size(), palette, paletteCount, width, height, 0);
    std::uint8_t* indices = four ? ExpandBmpRle4(source, rle.size(), width, height, 0)
                                 : ExpandBmpRle8(source, rle.size(), width, height, 0);
    PageFree(pixels);
    PageFree(indices);
    return 0;
}
