// BMP files of arbitrary bytes through every reader of the BMP class.
#include "../FileFuzzInput.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/Image.h"
#include "Platform/PageAllocator.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = FileFuzzInput(data, size, ".bmp");
    CBMPFile file;
    FileFuzzReadAll(file, path, true);
    // The 32-bit readers have no maximum: keep the picture small here.
    if (size >= 26) {
        std::int32_t w = 0, h = 0;
        std::memcpy(&w, data + 18, 4);
        std::memcpy(&h, data + 22, 4);
        const long long area = static_cast<long long>(w) * (h < 0 ? -static_cast<long long>(h) : h);
        if (area < 0 || area > (1 << 20))
            return 0;
    }
    CImage image;
    file.ReadWithMask(path, &image);
    std::uint8_t* raw = nullptr;
    SIZE rawSize{};
    file.ReadRaw32(path, &raw, &rawSize);
    PageFree(raw);
    return 0;
}
