// Feeds arbitrary blocks to the TIFF directory reader and looks up the tags the
// Exif thumbnail reader asks for, reading every value it hands back.
#include "ImageProcessing/TiffIfdReader.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CTiffIfdReader reader(std::span<const std::uint8_t>(data, size));
    static const std::uint16_t tags[] = {0x0103, 0x0111, 0x0117, 0x0201, 0x0202, 0x9003, 0x0100, 0xFFFF};
    unsigned sum = 0;
    for (std::uint16_t tag : tags) {
        std::uint16_t type = 0;
        std::uint32_t count = 0;
        const std::uint8_t* value = nullptr;
        if (reader.FindTag(&type, &count, &value, tag)) {
            const std::uint64_t bytes = std::uint64_t{count} * CTiffIfdReader::TiffTypeSize(type);
            for (std::uint64_t i = 0; i < bytes && i < 4096; ++i)
                sum += value[i];
        }
    }
    return sum == 0xFFFFFFFF ? 1 : 0;
}
