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

PageBuffer ShapeLevelBits(const CImage& work, int level, const ShapeLevelLayout& layout)
{
    static_assert(std::endian::native == std::endian::little, "pixels are read and written as words");
    const std::uint8_t* pixels = work.GetBits();
    const int imageWidth = work.GetWidth();
    const int height = work.GetHeight();
    const int width = layout.width;
    if (!pixels || imageWidth <= 0 || height <= 0 || width <= 0)
        return nullptr;
    for (int start : layout.starts)
        if (start < 0 || start > imageWidth - width)
            return nullptr;
    const int stride = AlignRowBytes(width * 3);
    PageBuffer bits =
        AllocPageBuffer(static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(height));
    if (!bits)
        return nullptr;
    const auto value = static_cast<std::uint32_t>(level & 0xFF);
    const auto levelOf = [value](std::uint32_t pixel) { return (pixel & 0xFF) == 0xFF ? value : 0u; };
    for (int row = 0; row < height; ++row) {
        const auto* line =
            reinterpret_cast<const std::uint32_t*>(pixels) + static_cast<std::size_t>(row) * imageWidth;
        const std::uint32_t* first = line + layout.starts[0];
        const std::uint32_t* second = line + layout.starts[1];
        const std::uint32_t* third = line + layout.starts[2];
        const auto samples = [&](int x) {
            return levelOf(first[x]) | levelOf(second[x]) << 8 | levelOf(third[x]) << 16;
        };
        std::uint8_t* to = bits.get() + static_cast<std::size_t>(row) * stride;
        int x = 0;
        // Four pixels make three words.
        for (; x + 4 <= width; x += 4, to += 12) {
            const std::uint32_t a = samples(x), b = samples(x + 1), c = samples(x + 2), d = samples(x + 3);
            const std::uint32_t words[3] = {a | b << 24, b >> 8 | c << 16, c >> 16 | d << 8};
            std::memcpy(to, words, sizeof(words));
        }
        for (; x < width; ++x, to += 3) {
            const std::uint32_t v = samples(x);
            to[0] = static_cast<std::uint8_t>(v);
            to[1] = static_cast<std::uint8_t>(v >> 8);
            to[2] = static_cast<std::uint8_t>(v >> 16);
        }
        std::memset(to, 0, static_cast<std::size_t>(stride - width * 3));
    }
    return bits;
}

ShapeLevelLayout PackShapeLevels(int width, int blur)
{
    // The blur reaches blur - 1 columns to each side. Three ranges of p columns,
    // the first at the left edge and the last at the right, cover every column
    // with its whole reach (or the image's own edge) once 3p >= width + 4 reach;
    // the middle one must also end inside the image.
    const int reach = blur - 1;
    const int packed = (width + 4 * reach + 2) / 3;
    if (blur <= 1 || packed >= width || 2 * packed > width + 2 * reach)
        return ShapeLevelLayout{width, {0, 0, 0}, {0, 0}};
    const int middle = packed - 2 * reach;
    const int last = width - packed;
    // Each column is read from the first range that holds its reach.
    return ShapeLevelLayout{packed, {0, middle, last}, {middle + reach, last + reach}};
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
    // The blur treats the three samples of a pixel alike and apart, so the
    // work image's columns are blurred as three ranges side by side.
    const ShapeLevelLayout layout = PackShapeLevels(qw, blur);
    PageBuffer bits = ShapeLevelBits(work, level, layout);
    NullCheck(bits.get(), ErrorIdReported);
    work.Release();
    if (blur > 1) {
        CGaussianBlur feather;
        feather.SetProgressWindow(progress);
        feather.ExecuteOnFormattedBuffers(blur, bits.get(), layout.width, qh, 4, nullptr, 0, 0, 4);
    }

    PageBuffer coverage = AllocPageBuffer(static_cast<std::uint64_t>(W) * static_cast<std::uint64_t>(H));
    NullCheck(coverage.get(), ErrorIdReported);
    std::uint8_t* out = coverage.get();
    const int stride24 = AlignRowBytes(layout.width * 3);
    // Top-down row y of the work image is its stored row qh - 1 - y, and the
    // coverage's stored row H - 1 - y.
    for (int y = 0; y < qh; ++y) {
        const std::uint8_t* from = bits.get() + static_cast<std::size_t>(qh - 1 - y) * stride24;
        std::uint8_t* to = out + static_cast<std::size_t>(H - 1 - y) * W;
        int x = 0;
        for (; x < layout.ends[0]; ++x)
            to[x] = from[x * 3];
        for (; x < layout.ends[1]; ++x)
            to[x] = from[(x - layout.starts[1]) * 3 + 1];
        for (; x < qw; ++x)
            to[x] = from[(x - layout.starts[2]) * 3 + 2];
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
