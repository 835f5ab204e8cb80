// Where the JPEG and EFF readers put a decoded picture: 32-bit pixels (B, G, R,
// fourth byte) bottom row first, with an optional mask written beside them, in
// an image of the editor or in page buffers; the placement of such a picture
// into a box, shared by the scaled readers; and the failure handling and
// buffer reading both file classes share.
#pragma once

#include "Core/ErrorCheck.h"
#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/JpegFileLoops.h"

#include <cstdint>
#include <cstdio>
#include <string>

class CImage;

// Rows of a picture being filled; every pointer stays valid while it is filled.
struct PictureView
{
    std::uint8_t* pixels = nullptr; // bottom row first, width x 4 bytes a row
    std::uint8_t* mask = nullptr;   // the bottom row's first mask value, or null
    std::uint32_t maskStep = 1;     // bytes from one mask value to the next
    std::uint32_t width = 0;
    std::uint32_t height = 0;

    std::uint8_t* PixelRow(std::uint32_t topRow) const
    {
        return pixels + std::size_t(height - 1 - topRow) * width * 4;
    }
    std::uint8_t* MaskRow(std::uint32_t topRow) const
    {
        return mask + std::size_t(height - 1 - topRow) * width * maskStep;
    }
};

// Makes the place a picture of the given size is decoded into. Throws an int
// result code when it cannot.
class IPictureAllocator
{
public:
    virtual ~IPictureAllocator() = default;
    virtual PictureView Allocate(std::uint32_t width, std::uint32_t height) = 0;
};

// Into an image of the editor, made at the picture's size (5 when it cannot
// be); with `withMask` the mask is made too and filled beside the pixels.
class CImagePictureAllocator : public IPictureAllocator
{
public:
    CImagePictureAllocator(CImage* target, bool withMask) : m_target(target), m_withMask(withMask) {}
    PictureView Allocate(std::uint32_t width, std::uint32_t height) override;

private:
    CImage* m_target;
    bool m_withMask;
};

// Into page buffers owned here until taken (4 when memory is short).
class CBufferPictureAllocator : public IPictureAllocator
{
public:
    explicit CBufferPictureAllocator(bool withPlane) : m_withPlane(withPlane) {}
    PictureView Allocate(std::uint32_t width, std::uint32_t height) override;
    // Gives the buffers and their size to a ReadBuffer caller; the plane only
    // when `planeOut` is not null.
    void HandOver(std::uint8_t** pixelsOut, std::uint8_t** planeOut, SIZE* size);

    PageBuffer pixels;
    PageBuffer plane;
    std::uint32_t width = 0;
    std::uint32_t height = 0;

private:
    bool m_withPlane;
};

// The own decoder's rows (R, G, B and, with four components, the fourth
// component) into the picture: pixels B, G, R and the fourth component (0
// without one), which also goes to the mask. A stream whose component count
// is not the one required is refused with 6.
class CPictureRowSink : public IJpegRowSink
{
public:
    CPictureRowSink(IPictureAllocator& allocator, std::uint32_t components)
        : m_allocator(allocator), m_components(components)
    {
    }
    void OnSize(std::uint32_t width, std::uint32_t height, std::uint32_t components) override;
    void OnRows(const std::uint8_t* rows, std::uint32_t firstRow, std::uint32_t count) override;

private:
    IPictureAllocator& m_allocator;
    std::uint32_t m_components;
    PictureView m_view;
};

// Refuses a picture larger than the maximum before anything is allocated:
// its size goes to `size` and the read ends with 7.
class CMaximumAllocator : public IPictureAllocator
{
public:
    CMaximumAllocator(IPictureAllocator& inner, const SIZE* maximum, SIZE* size)
        : m_inner(inner), m_maximum(maximum), m_size(size)
    {
    }
    PictureView Allocate(std::uint32_t width, std::uint32_t height) override;

private:
    IPictureAllocator& m_inner;
    const SIZE* m_maximum;
    SIZE* m_size;
};

// The scaled readers' placement of a decoded picture (bottom row first) in the
// target image: the picture size and a scale of 1.0 go to the outputs; with
// `noEnlarge` clear the image is the box filled with the background and the
// picture stretched into its centred fitted rectangle; with it set a larger
// picture is shrunk to its fitted size and a smaller one kept as it is. A
// plane (bottom row first) becomes the mask, opaque outside the picture.
// Throws an int result code (4, 5, 7).
void PlaceScaledPicture(CImage* target, const std::uint8_t* pixels, const std::uint8_t* plane, int width,
                        int height, int boxWidth, int boxHeight, SIZE* pictureSize, double* scale,
                        COLORREF background, int noEnlarge);

// The same for a picture decoded into page buffers.
inline void PlaceScaledPicture(CImage* target, const CBufferPictureAllocator& buffers, int boxWidth,
                               int boxHeight, SIZE* pictureSize, double* scale, COLORREF background,
                               int noEnlarge)
{
    PlaceScaledPicture(target, buffers.pixels.get(), buffers.plane.get(), static_cast<int>(buffers.width),
                       static_cast<int>(buffers.height), boxWidth, boxHeight, pictureSize, scale, background,
                       noEnlarge);
}

// Runs a scaled reader's decoding into `buffers`: a picture refused by the
// maximum before any pixels were made still reports a scale of 1.0.
template <class Decode>
void DecodeForScaling(Decode&& decode, const CBufferPictureAllocator& buffers, double* scale)
{
    try {
        decode();
    } catch (int code) {
        if (code == ImageFileCancelled && scale && !buffers.pixels)
            *scale = 1.0;
        throw;
    }
}

// Releases the target, when there is one.
void ReleasePicture(CImage* target);

// Runs a reader's body, which returns its result: a code it throws becomes the
// result through ReaderCode (anything else thrown ImageFileReadFailed), and
// then the target, when given, is released so that no half-read picture stays.
template <class Body> int GuardedRead(CImage* target, Body&& body)
{
    int result = ImageFileReadFailed;
    try {
        return body();
    } catch (int code) {
        result = ReaderCode(code);
    } catch (...) {
    }
    ReleasePicture(target);
    return result;
}

// The buffer readers of the JPEG and EFF files: opens `path` and has
// `decode(stream, buffers)` fill the buffers, which then go to the caller; the
// plane only when `plane` is given. A result code.
template <class Decode>
int ReadFileToBuffers(const std::string& path, std::uint8_t** pixels, std::uint8_t** plane, SIZE* size,
                      Decode&& decode)
{
    if (pixels)
        *pixels = nullptr;
    if (plane)
        *plane = nullptr;
    return GuardedRead(nullptr, [&]() -> int {
        NullCheck(pixels, 0);
        NullCheck(size, 0);
        StreamPtr stream;
        if (const int opened = OpenForReading(path, stream); opened != ImageFileOk)
            return opened;
        CBufferPictureAllocator buffers(plane != nullptr);
        decode(stream.get(), buffers);
        buffers.HandOver(pixels, plane, size);
        return ImageFileOk;
    });
}

// Decodes a stream held in memory through the own decoder into the target
// (with its mask when `withMask`), requiring `components` components: 1, or 0
// with the target released.
int DecodeMemoryInto(const std::uint8_t* data, int length, CImage* target, bool withMask,
                     std::uint32_t components);

// The maximum test of the readers: true when a maximum is given and the
// picture is wider or higher than a component of it that is 0 or more.
bool ExceedsMaximum(const SIZE* maximum, std::int64_t width, std::int64_t height);
