// JPEG files of arbitrary bytes through the JPEG readers: the library path
// for grey and colour files and the own decoder for four-component ones.
#include "../FileFuzzInput.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = FileFuzzInput(data, size, ".jpg");
    CJpegFile file;
    FileFuzzReadAll(file, path, true);
    // The same bytes from memory, as the stream reader sees a file.
    if (size > 0 && size < (1u << 20)) {
        std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
        if (!stream)
            std::abort();
        CImage image;
        if (file.ReadStream(stream, &image) != 0 && image.IsValid())
            std::abort(); // a failed read leaves no image
        std::fclose(stream);
    }
    return 0;
}
