#include "ImageProcessing/DecodedPicture.h"

#include "Core/ErrorCheck.h"
#include "Core/Geometry.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/PixelConversion.h"

#include <cstring>

namespace {

[[noreturn]] void Fail(int code)
{
    throw code;
}

} // namespace

PictureView CImagePictureAllocator::Allocate(std::uint32_t width, std::uint32_t height)
{
    if (!m_target || !m_target->Create(static_cast<int>(width), static_cast<int>(height)))
        Fail(ImageFileDrawFailed);
    PictureView view;
    view.pixels = m_target->GetBits();
    view.width = width;
    view.height = height;
    if (!view.pixels || m_target->GetRowBytes() != static_cast<int>(width * 4))
        Fail(ImageFileDrawFailed);
    if (m_withMask) {
        if (!m_target->CreateMask() || !m_target->GetMask()->GetBits())
            Fail(ImageFileDrawFailed);
        view.mask = m_target->GetMask()->GetBits() + 2; // the mask value is the red byte
        view.maskStep = 4;
    }
    return view;
}

PictureView CBufferPictureAllocator::Allocate(std::uint32_t w, std::uint32_t h)
{
    const std::uint64_t count = std::uint64_t(w) * h;
    pixels = AllocPageBuffer(count * 4);
    if (!pixels)
        Fail(ImageFileNoMemory);
    if (m_withPlane) {
        plane = AllocPageBuffer(count);
        if (!plane)
            Fail(ImageFileNoMemory);
    }
    width = w;
    height = h;
    PictureView view;
    view.pixels = pixels.get();
    view.mask = plane.get();
    view.width = w;
    view.height = h;
    return view;
}

void CBufferPictureAllocator::HandOver(std::uint8_t** pixelsOut, std::uint8_t** planeOut, SIZE* size)
{
    *size = SIZE{static_cast<int>(width), static_cast<int>(height)};
    *pixelsOut = pixels.release();
    if (planeOut)
        *planeOut = plane.release();
}

void CPictureRowSink::OnSize(std::uint32_t width, std::uint32_t height, std::uint32_t components)
{
    if (components != m_components)
        Fail(ImageFileUnsupported);
    m_view = m_allocator.Allocate(width, height);
}

void CPictureRowSink::OnRows(const std::uint8_t* rows, std::uint32_t firstRow, std::uint32_t count)
{
    const std::uint32_t width = m_view.width;
    for (std::uint32_t y = 0; y < count; ++y) {
        std::uint8_t* out = m_view.PixelRow(firstRow + y);
        if (m_components == 3) {
            const std::uint8_t* in = rows + std::size_t(y) * width * 3;
            for (std::uint32_t x = 0; x < width; ++x) {
                out[4 * x] = in[3 * x + 2];
                out[4 * x + 1] = in[3 * x + 1];
                out[4 * x + 2] = in[3 * x];
                out[4 * x + 3] = 0;
            }
            continue;
        }
        const std::uint8_t* in = rows + std::size_t(y) * width * 4;
        for (std::uint32_t x = 0; x < width; ++x) {
            out[4 * x] = in[4 * x + 2];
            out[4 * x + 1] = in[4 * x + 1];
            out[4 * x + 2] = in[4 * x];
            out[4 * x + 3] = in[4 * x + 3];
        }
        if (m_view.mask) {
            std::uint8_t* mask = m_view.MaskRow(firstRow + y);
            const std::uint32_t step = m_view.maskStep;
            for (std::uint32_t x = 0; x < width; ++x)
                mask[std::size_t(x) * step] = in[4 * x + 3];
        }
    }
}

PictureView CMaximumAllocator::Allocate(std::uint32_t width, std::uint32_t height)
{
    if (ExceedsMaximum(m_maximum, width, height)) {
        if (m_size)
            *m_size = SIZE{static_cast<int>(width), static_cast<int>(height)};
        Fail(ImageFileCancelled);
    }
    return m_inner.Allocate(width, height);
}

bool ExceedsMaximum(const SIZE* maximum, std::int64_t width, std::int64_t height)
{
    return maximum &&
           ((maximum->cx >= 0 && width > maximum->cx) || (maximum->cy >= 0 && height > maximum->cy));
}

void PlaceScaledPicture(CImage* target, const std::uint8_t* pixels, const std::uint8_t* plane, int width,
                        int height, int boxWidth, int boxHeight, SIZE* pictureSize, double* scale,
                        COLORREF background, int noEnlarge)
{
    if (pictureSize)
        *pictureSize = SIZE{width, height};
    if (scale)
        *scale = 1.0;
    Rect maskRect{0, 0, width, height};
    CanContinueOrThrow();
    if (!noEnlarge || width > boxWidth || height > boxHeight) {
        const Rect fit = CalcAspectFitRect(width, height, boxWidth, boxHeight, true, scale);
        if (fit.IsEmpty())
            Fail(ImageFileDrawFailed);
        Rect into{0, 0, fit.Width(), fit.Height()};
        if (!noEnlarge) {
            if (!target->Create(boxWidth, boxHeight))
                Fail(ImageFileDrawFailed);
            target->FillRectLTRB(0, 0, boxWidth, boxHeight, background);
            into = fit;
        } else if (!target->Create(fit.Width(), fit.Height())) {
            Fail(ImageFileDrawFailed);
        }
        CanContinueOrThrow();
        if (target->StretchDIBitsFrom(into.left, into.top, into.Width(), into.Height(), 0, 0, width, height,
                                      32, width, height, pixels, SRCCOPY) < 1)
            Fail(ImageFileDrawFailed);
        maskRect = into;
    } else {
        if (!target->Create(width, height) || !target->GetBits())
            Fail(ImageFileDrawFailed);
        std::memcpy(target->GetBits(), pixels, std::size_t(width) * height * 4);
    }
    if (!plane)
        return;
    CanContinueOrThrow();
    const std::size_t stride = (std::size_t(width) + 3) / 4 * 4;
    PageBuffer padded = AllocPageBuffer(std::uint64_t(stride) * height);
    if (!padded)
        Fail(ImageFileNoMemory);
    for (int y = 0; y < height; ++y)
        std::memcpy(padded.get() + y * stride, plane + std::size_t(y) * width, width);
    CanContinueOrThrow();
    if (!target->CreateMask())
        Fail(ImageFileDrawFailed);
    CanContinueOrThrow();
    if (target->GetMask()->StretchGrayFrom(maskRect.left, maskRect.top, maskRect.Width(), maskRect.Height(),
                                           0, 0, width, height, width, height, padded.get(), SRCCOPY) < 1)
        Fail(ImageFileDrawFailed);
}

int DecodeMemoryInto(const std::uint8_t* data, int length, CImage* target, bool withMask,
                     std::uint32_t components)
{
    try {
        NullCheck(data, 0);
        NullCheck(target, 0);
        BoolCheck(length > 0, 0);
        CMemoryChunkSource source(std::span<const std::uint8_t>(data, static_cast<std::size_t>(length)));
        CImagePictureAllocator allocator(target, withMask);
        CPictureRowSink sink(allocator, components);
        DecodeInChunks(source, sink);
        return 1;
    } catch (...) {
        if (target)
            target->Release();
        return 0;
    }
}

void ReleasePicture(CImage* target)
{
    if (target)
        target->Release();
}
