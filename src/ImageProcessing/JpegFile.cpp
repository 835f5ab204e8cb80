#include "ImageProcessing/JpegFile.h"

#include "Core/ErrorCheck.h"
#include "ImageProcessing/DecodedPicture.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFileLoops.h"
#include "ImageProcessing/JpegLibReader.h"
#include "ImageProcessing/PictureOrientation.h"
#include "ImageProcessing/PixelConversion.h"

#include <jpeglib.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

struct LibDestroy
{
    void operator()(ZavJpegLib* lib) const noexcept { ZavJpegLibDestroy(lib); }
};
using LibPtr = std::unique_ptr<ZavJpegLib, LibDestroy>;

[[noreturn]] void Fail(int code)
{
    throw code;
}

// The CMYK rule of the editor: the first three inputs are ink amounts, the
// fourth is the inverted black; the channels come out reversed (B from the third).
inline void CmykToBgr(const std::uint8_t* c, std::uint8_t* out)
{
    constexpr double kInv255 = 0.00392156862745098;
    const double k = c[3] * kInv255;
    for (int j = 0; j < 3; ++j) {
        double t = c[2 - j] * kInv255 * k + (1.0 - k);
        if (t > 1.0)
            t = 1.0;
        out[j] = static_cast<std::uint8_t>((1.0 - t) * 255.0);
    }
    out[3] = 0;
}

// The own decoder's rows of a four-component stream through the CMYK rule.
class CCmykRowSink : public IJpegRowSink
{
public:
    explicit CCmykRowSink(IPictureAllocator& allocator) : m_allocator(allocator) {}

    void OnSize(std::uint32_t width, std::uint32_t height, std::uint32_t components) override
    {
        BoolCheck(components == 4, 0);
        m_view = m_allocator.Allocate(width, height);
    }
    void OnRows(const std::uint8_t* rows, std::uint32_t firstRow, std::uint32_t count) override
    {
        for (std::uint32_t y = 0; y < count; ++y) {
            const std::uint8_t* in = rows + std::size_t(y) * m_view.width * 4;
            std::uint8_t* out = m_view.PixelRow(firstRow + y);
            for (std::uint32_t x = 0; x < m_view.width; ++x)
                CmykToBgr(in + 4 * x, out + 4 * x);
        }
    }

private:
    IPictureAllocator& m_allocator;
    PictureView m_view;
};

// The library path: grey or colour rows (or plain CMYK) into the picture.
void ReadWithLibrary(ZavJpegLib* lib, const ZavJpegLibInfo& info, IPictureAllocator& allocator)
{
    const bool grey = info.outColorSpace == JCS_GRAYSCALE;
    const bool cmyk = info.outColorSpace == JCS_CMYK;
    if (!ZavJpegLibStart(lib, grey ? ZAV_JPEG_OUT_GREY : cmyk ? ZAV_JPEG_OUT_CMYK : ZAV_JPEG_OUT_BGR))
        Fail(ImageFileCheckFailed);
    const PictureView view = allocator.Allocate(info.width, info.height);
    const std::uint32_t bytes = grey ? 1 : cmyk ? 4 : 3;
    const unsigned batch = ZavJpegLibRowBatch(lib);
    std::vector<std::uint8_t> buffer(std::size_t(info.width) * bytes * batch);
    std::vector<unsigned char*> rows(batch);
    for (unsigned i = 0; i < batch; ++i)
        rows[i] = buffer.data() + std::size_t(i) * info.width * bytes;
    std::uint32_t y = 0;
    while (y < info.height) {
        CanContinueOrThrow();
        unsigned got = 0;
        if (!ZavJpegLibReadRows(lib, rows.data(), batch, &got) || got == 0)
            Fail(ImageFileCheckFailed);
        for (unsigned r = 0; r < got && y < info.height; ++r, ++y) {
            const std::uint8_t* in = rows[r];
            std::uint8_t* out = view.PixelRow(y);
            if (grey) {
                for (std::uint32_t x = 0; x < info.width; ++x) {
                    const std::uint32_t v = in[x];
                    const std::uint32_t px = v | (v << 8) | (v << 16);
                    std::memcpy(out + 4 * x, &px, 4);
                }
            } else if (cmyk) {
                // Plain CMYK keeps the inverted inks of its writers; the rule
                // wants the first three as ink amounts.
                for (std::uint32_t x = 0; x < info.width; ++x) {
                    const std::uint8_t c[4] = {static_cast<std::uint8_t>(255 - in[4 * x]),
                                               static_cast<std::uint8_t>(255 - in[4 * x + 1]),
                                               static_cast<std::uint8_t>(255 - in[4 * x + 2]), in[4 * x + 3]};
                    CmykToBgr(c, out + 4 * x);
                }
            } else {
                for (std::uint32_t x = 0; x < info.width; ++x) {
                    out[4 * x] = in[3 * x];
                    out[4 * x + 1] = in[3 * x + 1];
                    out[4 * x + 2] = in[3 * x + 2];
                    out[4 * x + 3] = 0;
                }
            }
        }
    }
    if (ZavJpegLibHitEnd(lib)) // the library padded a truncated file
        Fail(ImageFileReadFailed);
    ZavJpegLibFinish(lib);
}

// Decodes the picture as the file stores it into what the allocator makes: the
// library for grey and colour, the own decoder for four components.
void DecodeAsStored(LibPtr& lib, const ZavJpegLibInfo& info, std::FILE* stream, IPictureAllocator& allocator)
{
    switch (info.outColorSpace) {
    case JCS_GRAYSCALE:
    case JCS_RGB:
        ReadWithLibrary(lib.get(), info, allocator);
        return;
    case JCS_CMYK:
        // An Adobe marker saying "no transform" means plain CMYK samples, which
        // the own decoder would take for colour differences.
        if (info.sawAdobe && info.adobeTransform == 0) {
            ReadWithLibrary(lib.get(), info, allocator);
            return;
        }
        break;
    default:
        Fail(ImageFileCheckFailed);
    }
    lib.reset();
    std::rewind(stream);
    CStreamChunkSource source(stream);
    CCmykRowSink sink(allocator);
    DecodeInChunks(source, sink, info.width);
}

// Reads a JPEG stream (positioned at its start) upright into what the
// allocator makes. With a maximum, a picture larger upright ends with 7 and
// its upright size in `size`.
void ReadJpegStream(std::FILE* stream, IPictureAllocator& allocator, const SIZE* maximum, SIZE* size)
{
    std::uint8_t soi[2] = {0, 0};
    if (std::fread(soi, 1, 2, stream) != 2 || soi[0] != 0xFF || soi[1] != 0xD8)
        Fail(ImageFileUnsupported);
    std::rewind(stream);
    const std::uint64_t streamLength = StreamLength(stream);

    LibPtr lib(ZavJpegLibCreate());
    if (!lib)
        Fail(ImageFileNoMemory);
    ZavJpegLibInfo info{};
    if (!ZavJpegLibReadHeader(lib.get(), stream, &info))
        Fail(ImageFileCheckFailed);
    const int orientation =
        info.exif ? ExifSegmentOrientation(std::span<const std::uint8_t>(info.exif, info.exifLength))
                  : kUprightOrientation;
    std::uint32_t uprightWidth = 0, uprightHeight = 0;
    UprightSize(orientation, info.width, info.height, &uprightWidth, &uprightHeight);
    if (ExceedsMaximum(maximum, uprightWidth, uprightHeight)) {
        if (size)
            *size = SIZE{static_cast<int>(uprightWidth), static_cast<int>(uprightHeight)};
        Fail(ImageFileCancelled);
    }
    BoolCheck(IsUsablePictureSize(info.width, info.height), 0);
    BoolCheck(IsPlausiblePictureSize(info.width, info.height, streamLength), 0);
    if (orientation == kUprightOrientation) {
        DecodeAsStored(lib, info, stream, allocator);
        return;
    }
    CBufferPictureAllocator stored(false);
    DecodeAsStored(lib, info, stream, stored);
    CanContinueOrThrow();
    OrientPixels(
        BottomUpPixels(stored.pixels.get(), stored.width, stored.height, std::size_t{stored.width} * 4),
        orientation, allocator.Allocate(uprightWidth, uprightHeight));
}

} // namespace

int CJpegFile::ReadStream(std::FILE* stream, CImage* target)
{
    ResetCancel();
    return GuardedRead(target, [&]() -> int {
        NullCheck(stream, 0);
        NullCheck(target, 0);
        target->Release();
        CImagePictureAllocator allocator(target, false);
        ReadJpegStream(stream, allocator, nullptr, nullptr);
        return ImageFileOk;
    });
}

int CJpegFile::Read(std::string path, CImage* target)
{
    ResetCancel();
    if (target)
        target->Release();
    StreamPtr stream;
    if (const int opened = OpenForReading(path, stream); opened != ImageFileOk)
        return opened;
    return ReadStream(stream.get(), target);
}

int CJpegFile::ReadScaled(std::string path, CImage* target, int boxWidth, int boxHeight, SIZE* pictureSize,
                          double* scale, COLORREF background, int noEnlarge, const SIZE* maximum)
{
    ResetCancel();
    return GuardedRead(target, [&]() -> int {
        NullCheck(target, 0);
        target->Release();
        StreamPtr stream;
        if (const int opened = OpenForReading(path, stream); opened != ImageFileOk)
            return opened;
        CBufferPictureAllocator allocator(false);
        DecodeForScaling([&] { ReadJpegStream(stream.get(), allocator, maximum, pictureSize); }, allocator,
                         scale);
        PlaceScaledPicture(target, allocator, boxWidth, boxHeight, pictureSize, scale, background, noEnlarge);
        return ImageFileOk;
    });
}

int CJpegFile::ReadBuffer(std::string path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                          const SIZE* maximum)
{
    ResetCancel();
    return ReadFileToBuffers(path, pixels, plane, size,
                             [&](std::FILE* stream, CBufferPictureAllocator& buffers) {
                                 ReadJpegStream(stream, buffers, maximum, size);
                             });
}

int CJpegFile::Write(std::string path, CImage* source)
{
    return WriteImage(std::move(path), source, 0, 100);
}

int CJpegFile::WriteBuffer(std::string path, const std::uint8_t* pixels, const std::uint8_t* plane, int width,
                           int height)
{
    return WriteBufferEx(std::move(path), pixels, plane, width, height, 0, 100);
}

int CJpegFile::WriteImage(std::string path, CImage* source, int samplingMode, int quality)
{
    ResetCancel();
    return Writing([&] {
        BoolCheck(source && source->IsValid() && source->GetBits() && source->GetBitsPerPixel() == 32, 0);
        const JpegEncodeParams params =
            EncodeParams(source->GetWidth(), source->GetHeight(), samplingMode, quality);
        CPixelBatchSource rows(source->GetBits(), params.width, params.height,
                               static_cast<std::size_t>(source->GetRowBytes()));
        CJpegEncoder encoder;
        EncodeInBatches(*this, path, encoder, params, false, rows);
    });
}

int CJpegFile::WriteBufferEx(std::string path, const std::uint8_t* pixels, const std::uint8_t*, int width,
                             int height, int samplingMode, int quality)
{
    ResetCancel();
    return Writing([&] {
        NullCheck(pixels, 0);
        const JpegEncodeParams params = EncodeParams(width, height, samplingMode, quality);
        CPixelBatchSource rows(pixels, params.width, params.height, std::size_t(width) * 4);
        CJpegEncoder encoder;
        EncodeInBatches(*this, path, encoder, params, false, rows);
    });
}

int JpegFileOrientation(const std::string& path)
{
    StreamPtr stream;
    if (OpenForReading(path, stream) != ImageFileOk)
        return kUprightOrientation;
    LibPtr lib(ZavJpegLibCreate());
    ZavJpegLibInfo info{};
    if (!lib || !ZavJpegLibReadHeader(lib.get(), stream.get(), &info) || !info.exif)
        return kUprightOrientation;
    return ExifSegmentOrientation(std::span<const std::uint8_t>(info.exif, info.exifLength));
}

int CropJpegFile(const std::string& source, const std::string& target, const RECT& range)
{
    CJpegFile file;
    std::uint8_t* pixels = nullptr;
    SIZE size;
    if (file.ReadBuffer(source, &pixels, nullptr, &size, nullptr) != ImageFileOk)
        return 0;
    PageBuffer whole(pixels);
    PageBuffer cut;
    const bool all = range.left == 0 && range.top == 0 && range.right == size.cx && range.bottom == size.cy;
    const bool empty = range.right <= range.left || range.bottom <= range.top;
    if (!empty && !all) {
        if (range.left < 0 || range.top < 0 || range.right > size.cx || range.bottom > size.cy)
            return 0;
        std::uint8_t* out = nullptr;
        if (!CropBuffer(&out, nullptr, range.left, range.top, range.right, range.bottom, whole.get(), nullptr,
                        size.cx, size.cy, 0) ||
            !out)
            return 0;
        cut.reset(out);
    }
    const std::uint8_t* written = cut ? cut.get() : whole.get();
    return file.WriteBuffer(target, written, nullptr, range.right - range.left, range.bottom - range.top) ==
                   ImageFileOk
               ? 1
               : 0;
}
