#include "Dialogs/TransparencyShapes.h"

#include "CUtilFilter/GaussianBlur.h"
#include "Core/ErrorCheck.h"
#include "ImageProcessing/BitmapInfo.h"
#include "ImageProcessing/Image.h"

#include <algorithm>
#include <bit>
#include <cstring>

int TransparencyFillLevel(int ratio, int mode, bool camera)
{
    int percent = camera ? 100 : std::clamp(ratio, 0, 100);
    if (!camera && mode == 1)
        percent = 100 - percent;
    return percent * 255 / 100;
}

PageBuffer ShapeLevelBits(const CImage& work, int level)
{
    static_assert(std::endian::native == std::endian::little, "pixels are read and written as words");
    const std::uint8_t* pixels = work.GetBits();
    const int width = work.GetWidth();
    const int height = work.GetHeight();
    if (!pixels || width <= 0 || height <= 0)
        return nullptr;
    const int stride = AlignRowBytes(width * 3);
    PageBuffer bits = AllocPageBuffer(static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(height));
    if (!bits)
        return nullptr;
    const auto value = static_cast<std::uint32_t>(level & 0xFF);
    const auto levelOf = [value](std::uint32_t pixel) { return (pixel & 0xFF) == 0xFF ? value : 0u; };
    for (int row = 0; row < height; ++row) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(pixels) + static_cast<std::size_t>(row) * width;
        std::uint8_t* to = bits.get() + static_cast<std::size_t>(row) * stride;
        int x = 0;
        // Four pixels make three words: one pass instead of a byte-wise copy and a fill.
        for (; x + 4 <= width; x += 4, to += 12) {
            const std::uint32_t a = levelOf(from[x]), b = levelOf(from[x + 1]), c = levelOf(from[x + 2]),
                                d = levelOf(from[x + 3]);
            const std::uint32_t words[3] = {a * 0x010101u | b << 24, b * 0x0101u | c * 0x01010000u,
                                            c | d * 0x01010100u};
            std::memcpy(to, words, sizeof(words));
        }
        for (; x < width; ++x, to += 3)
            to[0] = to[1] = to[2] = static_cast<std::uint8_t>(levelOf(from[x]));
        std::memset(to, 0, static_cast<std::size_t>(stride - width * 3));
    }
    return bits;
}

PageBuffer MakeShapeCoverage(int areaWidth, int areaHeight, CoverageMirror mirror,
                             const std::function<void(CImage& work)>& draw, int blur, int level,
                             IFilterProgressSink* progress)
{
    BoolCheck(areaWidth > 0 && areaHeight > 0, ErrorIdReported);
    const int W = areaWidth;
    const int H = areaHeight;
    const int qw = mirror == CoverageMirror::None ? W : (W + 1) / 2;
    const int qh = mirror == CoverageMirror::Both ? (H + 1) / 2 : H;

    // The work image: pure black and white, drawn without smoothing.
    CImage work;
    BoolCheck(work.Create(qw, qh), ErrorIdReported);
    work.FillRect(0, 0, qw, qh, 0x000000);
    draw(work);
    PageBuffer bits = ShapeLevelBits(work, level);
    NullCheck(bits.get(), ErrorIdReported);
    work.Release();
    if (blur > 1) {
        CGaussianBlur feather;
        feather.SetProgressWindow(progress);
        feather.ExecuteOnFormattedBuffers(blur, bits.get(), qw, qh, 4, nullptr, 0, 0, 4);
    }

    PageBuffer coverage = AllocPageBuffer(static_cast<std::uint64_t>(W) * static_cast<std::uint64_t>(H));
    NullCheck(coverage.get(), ErrorIdReported);
    std::uint8_t* out = coverage.get();
    const int stride24 = AlignRowBytes(qw * 3);
    // Top-down row y of the work image is its stored row qh - 1 - y, and the
    // coverage's stored row H - 1 - y.
    for (int y = 0; y < qh; ++y) {
        const std::uint8_t* from = bits.get() + static_cast<std::size_t>(qh - 1 - y) * stride24;
        std::uint8_t* to = out + static_cast<std::size_t>(H - 1 - y) * W;
        for (int x = 0; x < qw; ++x)
            to[x] = from[x * 3 + 2];
        for (int x = 0; x < W - qw; ++x)
            to[W - 1 - x] = to[x];
    }
    for (int y = 0; y < H - qh; ++y)
        std::memcpy(out + static_cast<std::size_t>(y) * W, out + static_cast<std::size_t>(H - 1 - y) * W,
                    static_cast<std::size_t>(W));
    return coverage;
}

PageBuffer MakeSymmetricCoverage(SymmetricShape shape, int width, int height, int blur, int level,
                                 IFilterProgressSink* progress)
{
    BoolCheck(width > 0 && height > 0 && blur >= 0, ErrorIdReported);
    const auto draw = [&](CImage& work) {
        // Only the top-left quarter falls into the work image.
        if (shape == SymmetricShape::Rectangle) {
            work.FillRectLTRB(blur, blur, blur + width, blur + height, 0xFFFFFF);
        } else {
            work.SelectObject(CImagePen{PS_SOLID, 1, 0xFFFFFF});
            work.SelectObject(CImageBrush{0xFFFFFF, false});
            work.Ellipse(blur, blur, blur + width, blur + height);
        }
    };
    return MakeShapeCoverage(width + 2 * blur, height + 2 * blur, CoverageMirror::Both, draw, blur, level,
                             progress);
}

void MergeCoverage(std::uint8_t* mask, int width, int height, int stride, const std::uint8_t* coverage,
                   int coverageWidth, int coverageHeight, int left, int top, int mode)
{
    if (!mask || !coverage)
        return;
    const int x0 = std::max(0, left);
    const int x1 = std::min(width, left + coverageWidth);
    const int y0 = std::max(0, top);
    const int y1 = std::min(height, top + coverageHeight);
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* c =
            coverage + static_cast<std::size_t>(coverageHeight - 1 - (y - top)) * coverageWidth + (x0 - left);
        std::uint8_t* m = mask + static_cast<std::size_t>(height - 1 - y) * stride + x0;
        if (mode == 1) {
            for (int x = x0; x < x1; ++x, ++c, ++m)
                *m = std::min<std::uint8_t>(*m, static_cast<std::uint8_t>(255 - *c));
        } else {
            for (int x = x0; x < x1; ++x, ++c, ++m)
                *m = std::max(*m, *c);
        }
    }
}
