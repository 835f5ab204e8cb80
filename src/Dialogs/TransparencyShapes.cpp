#include "Dialogs/TransparencyShapes.h"

#include "CUtilFilter/GaussianBlur.h"
#include "Core/ErrorCheck.h"
#include "ImageProcessing/BitmapInfo.h"
#include "ImageProcessing/Image.h"

#include <algorithm>
#include <cstring>

int TransparencyFillLevel(int ratio, int mode, bool camera)
{
    int percent = camera ? 100 : std::clamp(ratio, 0, 100);
    if (!camera && mode == 1)
        percent = 100 - percent;
    return percent * 255 / 100;
}

void FillShapeLevel(std::uint8_t* bits, int width, int height, int level)
{
    if (!bits || width <= 0 || height <= 0)
        return;
    const int stride = AlignRowBytes(width * 3);
    const auto value = static_cast<std::uint8_t>(level);
    for (int row = 0; row < height; ++row) {
        std::uint8_t* p = bits + static_cast<std::size_t>(row) * stride;
        for (int x = 0; x < width; ++x, p += 3) {
            const std::uint8_t v = p[0] == 255 ? value : 0;
            p[0] = p[1] = p[2] = v;
        }
    }
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
    PageBuffer bits(work.GetBits24());
    NullCheck(bits.get(), ErrorIdReported);
    work.Release();
    FillShapeLevel(bits.get(), qw, qh, level);
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
