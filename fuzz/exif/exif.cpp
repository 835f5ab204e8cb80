// Camera files of arbitrary bytes through the Exif thumbnail reader, and the
// same bytes as an in-memory JPEG stream.
#include "../FileFuzzInput.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = FileFuzzInput(data, size, ".jpg");
    CJpegFile file;
    CImage image;
    const int result = file.ReadExifThumbnail(path, &image);
    if (result < 0 || result > 8)
        std::abort();
    if (size > 0 && size < (1u << 20) && !file.DecodeMemory(data, static_cast<int>(size), &image) &&
        image.IsValid())
        std::abort();
    return 0;
}
