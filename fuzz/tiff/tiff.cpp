// TIFF files of arbitrary bytes through the TIFF readers (and so through
// libtiff's own parsing of them).
#include "../FileFuzzInput.h"
#include "ImageProcessing/TiffFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = FileFuzzInput(data, size, ".tif");
    CTiffFile file;
    FileFuzzReadAll(file, path, true);
    return 0;
}
