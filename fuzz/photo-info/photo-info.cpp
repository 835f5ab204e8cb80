#include "FrameKit/PhotoInfo.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Reads the bytes as a photo: JPEG and TIFF alike are told apart by their first bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of the exact size, so that a read past the input is caught.
    std::vector<std::uint8_t> bytes(data, data + size);
    ZAVMemoryByteSource source(bytes.data(), bytes.size());
    ZAVPhotoInfo info;
    std::uint32_t flags = 0;
    ZAVVividexRecord record;
    ExifPhotoInfoReader(source, &info, &flags, &record);
    // Every text must come back terminated within its field.
    for (const char* text : {info.exposureText, info.fNumberText, info.isoText, info.modelText,
                             info.dateOriginal, info.dateDigitized, info.dateTime, info.makeText})
        (void)std::strlen(text);
    return 0;
}
