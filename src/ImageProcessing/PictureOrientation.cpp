#include "ImageProcessing/PictureOrientation.h"

#include "ImageProcessing/Image.h"
#include "ImageProcessing/TiffIfdReader.h"

#include <cstring>
#include <utility>

namespace {

constexpr std::uint16_t kTagOrientation = 0x0112;
constexpr std::uint16_t kTypeShort = 3;

// Where the upright picture's top-left pixel lies in the stored one, and the
// steps (in bytes) that move one upright pixel right and one upright row down.
struct Walk
{
    std::ptrdiff_t origin;
    std::ptrdiff_t right;
    std::ptrdiff_t down;
};

Walk WalkFor(const StoredPixels& s, int orientation)
{
    const std::ptrdiff_t px = 4;
    const std::ptrdiff_t row = s.rowStep;
    const std::ptrdiff_t lastX = static_cast<std::ptrdiff_t>(s.width) - 1;
    const std::ptrdiff_t lastY = static_cast<std::ptrdiff_t>(s.height) - 1;
    auto at = [&](std::ptrdiff_t x, std::ptrdiff_t y) { return y * row + x * px; };
    switch (orientation) {
    case 2: // mirrored left to right
        return {at(lastX, 0), -px, row};
    case 3: // upside down
        return {at(lastX, lastY), -px, -row};
    case 4: // mirrored top to bottom
        return {at(0, lastY), px, -row};
    case 5: // stored rows are the upright columns, first row on the left
        return {at(0, 0), row, px};
    case 6: // first stored row on the right: a quarter turn clockwise shows it
        return {at(0, lastY), -row, px};
    case 7:
        return {at(lastX, lastY), -row, -px};
    case 8: // first stored row on the left, read upwards
        return {at(lastX, 0), row, -px};
    default:
        return {0, px, row};
    }
}

} // namespace

int KnownOrientation(int value)
{
    return value >= 1 && value <= 8 ? value : kUprightOrientation;
}

bool OrientationSwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

void UprightSize(int orientation, std::uint32_t width, std::uint32_t height, std::uint32_t* uprightWidth,
                 std::uint32_t* uprightHeight)
{
    if (OrientationSwapsSides(orientation))
        std::swap(width, height);
    *uprightWidth = width;
    *uprightHeight = height;
}

int ExifOrientation(const CTiffIfdReader& block)
{
    if (!block.IsValid())
        return kUprightOrientation;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    const std::uint8_t* value = nullptr;
    // The main picture's own directory only: the thumbnail's directory further
    // down the chain may say something else.
    if (!block.FindInIfd(&type, &count, &value, kTagOrientation, block.FirstDirectory(), 0) ||
        type != kTypeShort || count < 1)
        return kUprightOrientation;
    return KnownOrientation(block.Read16(value));
}

int ExifSegmentOrientation(std::span<const std::uint8_t> payload)
{
    static constexpr std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (payload.size() < sizeof kExif || std::memcmp(payload.data(), kExif, sizeof kExif) != 0)
        return kUprightOrientation;
    return ExifOrientation(CTiffIfdReader(payload.subspan(sizeof kExif)));
}

StoredPixels BottomUpPixels(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height,
                            std::size_t rowBytes)
{
    StoredPixels stored;
    stored.width = width;
    stored.height = height;
    stored.rowStep = -static_cast<std::ptrdiff_t>(rowBytes);
    stored.top = height ? pixels + std::size_t{height - 1} * rowBytes : pixels;
    return stored;
}

void OrientPixels(const StoredPixels& stored, int orientation, const PictureView& upright)
{
    const Walk walk = WalkFor(stored, KnownOrientation(orientation));
    for (std::uint32_t y = 0; y < upright.height; ++y) {
        const std::uint8_t* in = stored.top + walk.origin + static_cast<std::ptrdiff_t>(y) * walk.down;
        std::uint8_t* out = upright.PixelRow(y);
        for (std::uint32_t x = 0; x < upright.width; ++x, in += walk.right)
            std::memcpy(out + std::size_t{x} * 4, in, 4);
    }
}

PageBuffer OrientTopDownPixels(const std::uint8_t* pixels, int orientation, std::uint32_t* width,
                               std::uint32_t* height)
{
    StoredPixels stored;
    stored.top = pixels;
    stored.rowStep = static_cast<std::ptrdiff_t>(*width) * 4;
    stored.width = *width;
    stored.height = *height;
    PageBuffer out = AllocPageBuffer(std::uint64_t{*width} * *height * 4);
    if (!out)
        return nullptr;
    PictureView view;
    view.pixels = out.get();
    UprightSize(orientation, *width, *height, &view.width, &view.height);
    OrientPixels(stored, orientation, view);
    *width = view.width;
    *height = view.height;
    return out;
}

void OrientImage(CImage* image, int orientation)
{
    orientation = KnownOrientation(orientation);
    if (orientation == kUprightOrientation || !image || !image->IsValid())
        return;
    const StoredPixels stored = BottomUpPixels(
        image->GetBits(), static_cast<std::uint32_t>(image->GetWidth()),
        static_cast<std::uint32_t>(image->GetHeight()), static_cast<std::size_t>(image->GetRowBytes()));
    CImage upright;
    CImagePictureAllocator allocator(&upright, false);
    std::uint32_t width = 0, height = 0;
    UprightSize(orientation, stored.width, stored.height, &width, &height);
    OrientPixels(stored, orientation, allocator.Allocate(width, height));
    *image = std::move(upright);
}
