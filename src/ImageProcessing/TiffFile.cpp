#include "ImageProcessing/TiffFile.h"

#include "Core/ErrorCheck.h"
#include "ImageProcessing/PictureOrientation.h"
#include "ImageProcessing/PixelConversion.h"
#include "ImageProcessing/TiffRgbaReading.h"

#include <tiffio.h>

#include <cstdarg>
#include <memory>

namespace {

void SilentTiffHandler(const char*, const char*, va_list)
{
}

struct TiffCloser
{
    void operator()(TIFF* tif) const noexcept { TIFFClose(tif); }
};

// The RGBA raster (red, green, blue, alpha premultiplied) becomes blue, green,
// red and the mask value, with partial alpha's colours restored.
void RasterToMaskedPixels(std::uint8_t* p, std::uint64_t count)
{
    for (std::uint64_t i = 0; i < count; ++i, p += 4) {
        const unsigned r = p[0], g = p[1], b = p[2], a = p[3];
        if (a == 255 || a == 0) {
            p[0] = static_cast<std::uint8_t>(b);
            p[2] = static_cast<std::uint8_t>(r);
        } else {
            auto restore = [a](unsigned c) {
                const unsigned v = (c * 255 + a / 2) / a;
                return static_cast<std::uint8_t>(v > 255 ? 255 : v);
            };
            p[0] = restore(b);
            p[1] = restore(g);
            p[2] = restore(r);
        }
        p[3] = static_cast<std::uint8_t>(255 - a);
    }
}

} // namespace

void InstallSilentTiffHandlers()
{
    static const bool installed = [] {
        TIFFSetWarningHandler(SilentTiffHandler);
        TIFFSetErrorHandler(SilentTiffHandler);
        return true;
    }();
    (void)installed;
}

bool IsAcceptedTiffCompression(int compression)
{
    return compression >= 1 && compression <= 5;
}

int ReadTiffPixels(const std::string& path, int limitWidth, int limitHeight, int* width, int* height,
                   PageBuffer* pixels)
{
    InstallSilentTiffHandlers();
    if (!CImageFile::IsReadableFile(path))
        return ImageFileMissing;
    std::unique_ptr<TIFF, TiffCloser> tif(TIFFOpen(path.c_str(), "r"));
    if (!tif)
        return ImageFileOpenFailed;

    std::uint32_t w = 0, h = 0;
    std::uint16_t compression = COMPRESSION_NONE, photometric = 0, orientation = ORIENTATION_TOPLEFT;
    if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &h))
        return ImageFileUnsupported;
    TIFFGetField(tif.get(), TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ORIENTATION, &orientation);
    const int turn = KnownOrientation(orientation);

    // Limits are for the picture upright. Sizes are reported as ints; a side
    // beyond that is beyond any limit too.
    std::uint32_t uw = 0, uh = 0;
    UprightSize(turn, w, h, &uw, &uh);
    const std::int64_t w64 = uw, h64 = uh;
    if ((limitWidth >= 0 && w64 > limitWidth) || (limitHeight >= 0 && h64 > limitHeight)) {
        *width = w64 > INT32_MAX ? INT32_MAX : static_cast<int>(w64);
        *height = h64 > INT32_MAX ? INT32_MAX : static_cast<int>(h64);
        return ImageFileCancelled;
    }
    if (!IsAcceptedTiffCompression(compression) || !IsUsablePictureSize(w64, h64))
        return ImageFileUnsupported;

    PageBuffer raster;
    if (const int code = ReadStoredRgba(tif.get(), photometric, w, h, &raster); code != ImageFileOk)
        return code;
    RasterToMaskedPixels(raster.get(), std::uint64_t{w} * h);
    if (turn == kUprightOrientation) {
        if (!FlipRowsVertical(raster.get(), static_cast<int>(w * 4), static_cast<int>(h)))
            return ImageFileCancelled;
    } else {
        raster = OrientTopDownPixels(raster.get(), turn, &w, &h);
        if (!raster)
            return ImageFileNoMemory;
    }
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    *pixels = std::move(raster);
    return ImageFileOk;
}

namespace {

int LimitWidth(const SIZE* maximum)
{
    return maximum ? maximum->cx : -1;
}

int LimitHeight(const SIZE* maximum)
{
    return maximum ? maximum->cy : -1;
}

} // namespace

int CTiffFile::Read(std::string path, CImage* target)
{
    ResetCancel();
    return Reading([&] {
        int width = 0, height = 0;
        PageBuffer pixels;
        if (const int code = ReadTiffPixels(path, -1, -1, &width, &height, &pixels); code != ImageFileOk)
            throw code;
        PlaceWhole(target, pixels.get(), 32, width, height);
    });
}

int CTiffFile::ReadScaled(std::string path, CImage* target, int boxWidth, int boxHeight, SIZE* pictureSize,
                          double* scale, COLORREF background, int noEnlarge, const SIZE* maximum)
{
    ResetCancel();
    return Reading([&] {
        int width = 0, height = 0;
        PageBuffer pixels;
        const int code =
            ReadTiffPixels(path, LimitWidth(maximum), LimitHeight(maximum), &width, &height, &pixels);
        if (code == ImageFileOk || code == ImageFileCancelled) {
            *pictureSize = {width, height};
            *scale = 1.0;
        }
        if (code != ImageFileOk)
            throw code;
        PlaceScaled(target, pixels.get(), 32, width, height, boxWidth, boxHeight, scale, background,
                    noEnlarge);
    });
}

int CTiffFile::ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                          const SIZE* maximum)
{
    ResetCancel();
    return Reading([&] {
        NullCheck(pixels, 0);
        NullCheck(size, 0);
        int width = 0, height = 0;
        PageBuffer out;
        const int code =
            ReadTiffPixels(path, LimitWidth(maximum), LimitHeight(maximum), &width, &height, &out);
        if (code == ImageFileOk || code == ImageFileCancelled)
            *size = {width, height};
        if (code != ImageFileOk)
            throw code;
        PageBuffer maskPlane;
        if (plane) {
            maskPlane.reset(ExtractAlphaPlane(out.get(), width * 4, height));
            if (!maskPlane)
                throw static_cast<int>(ImageFileNoMemory);
        }
        *pixels = out.release();
        if (plane)
            *plane = maskPlane.release();
    });
}
