#include "FileFuzzInput.h"

#include "ImageProcessing/Image.h"
#include "Platform/PageAllocator.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// Removed when the process ends, so that replays under `make test` leave nothing.
struct ScratchFile
{
    std::string path;
    ~ScratchFile() { std::remove(path.c_str()); }
};

} // namespace

const std::string& FileFuzzInput(const std::uint8_t* data, std::size_t size, const char* extension)
{
    static const ScratchFile scratch{[extension] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir ? dir : "/tmp") + "/zav-fuzz-" + std::to_string(::getpid()) + extension;
    }()};
    const std::string& path = scratch.path;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
    return path;
}

void FileFuzzReadAll(CImageFile& file, const std::string& path, bool scaled)
{
    const SIZE maximum{1024, 1024};
    std::uint8_t* pixels = nullptr;
    std::uint8_t* plane = nullptr;
    SIZE size{};
    const int result = file.ReadBuffer(path, &pixels, &plane, &size, &maximum);
    if (result == ImageFileOk && (!pixels || !plane || size.cx < 1 || size.cy < 1))
        std::abort(); // success must hand out the buffers
    PageFree(pixels);
    PageFree(plane);
    if (result != ImageFileOk)
        return;
    CImage image;
    if (file.Read(path, &image) == ImageFileOk &&
        (image.GetWidth() != size.cx || image.GetHeight() != size.cy))
        std::abort(); // the two readers must agree on the picture
    if (scaled) {
        double scale = 0;
        SIZE picture{};
        file.ReadScaled(path, &image, 37, 23, &picture, &scale, 0x123456, 0, &maximum);
        file.ReadScaled(path, &image, 64, 64, &picture, &scale, 0, 1, &maximum);
    }
}
