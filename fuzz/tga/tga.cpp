// Targa files of arbitrary bytes through the Targa readers.
#include "../FileFuzzInput.h"
#include "ImageProcessing/TargaFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = FileFuzzInput(data, size, ".tga");
    CTargaFile file;
    FileFuzzReadAll(file, path, false);
    return 0;
}
