// EFF files of arbitrary bytes through the EFF readers, the header reader and
// the thumbnail reader.
#include "../FileFuzzInput.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = FileFuzzInput(data, size, ".eff");
    CEFFFile file;
    FileFuzzReadAll(file, path, true);
    EffHeaderRecord record;
    const int header = file.ReadEffHeader(path, &record);
    if (header != CEFFFile::ParseEffHeader(std::span<const uint8_t>(data, size), &record))
        std::abort(); // the file and memory forms must agree
    CImage image;
    for (int n = 0; n < 2; ++n)
        if (file.ReadThumbnail(path, n, &image, nullptr) != 0 && image.IsValid())
            std::abort();
    if (size > 0 && size < (1u << 20) && !file.DecodeWithHeader(data, static_cast<int>(size), &image) &&
        image.IsValid())
        std::abort();
    return 0;
}
