// Masked drawing and nearest-pixel shrinking of a 4000 x 3000 picture against
// Qt doing the same work.
#include "ImageProcessing/Image.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A picture with a mask of soft edges, opaque and transparent areas: every
// path of the blend is taken.
struct MaskedPicture
{
    CImage source;
    CImage dest;
    QImage argb;
    QImage destQ;

    MaskedPicture()
    {
        source.Create(kWidth, kHeight);
        source.CreateMask();
        dest.Create(kWidth, kHeight);
        destQ = QImage(kWidth, kHeight, QImage::Format_RGB32);
        argb = QImage(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
        std::mt19937 random(7);
        auto* src = reinterpret_cast<std::uint32_t*>(source.GetBits());
        auto* mask = reinterpret_cast<std::uint32_t*>(source.GetMask()->GetBits());
        auto* dst = reinterpret_cast<std::uint32_t*>(dest.GetBits());
        for (int row = 0; row < kHeight; ++row) {
            auto* line = reinterpret_cast<std::uint32_t*>(argb.scanLine(kHeight - 1 - row));
            auto* destLine = reinterpret_cast<std::uint32_t*>(destQ.scanLine(kHeight - 1 - row));
            for (int x = 0; x < kWidth; ++x) {
                const std::size_t i = static_cast<std::size_t>(row) * kWidth + x;
                const std::uint32_t colour = random() & 0xFFFFFF;
                const int band = (x / 200) % 4;
                const unsigned m = band == 0 ? 0 : band == 1 ? 255 : (x * 7 + row) & 0xFF;
                src[i] = colour;
                mask[i] = m * 0x010101u;
                dst[i] = random() & 0xFFFFFF;
                destLine[x] = dst[i] | 0xFF000000u;
                const unsigned a = 255 - m;
                const unsigned r = ((colour >> 16) & 0xFF) * a / 255, g = ((colour >> 8) & 0xFF) * a / 255,
                               b = (colour & 0xFF) * a / 255;
                line[x] = (a << 24) | (r << 16) | (g << 8) | b;
            }
        }
    }
};

MaskedPicture& Masked()
{
    static MaskedPicture picture;
    return picture;
}

void BM_DrawMaskedOurs(benchmark::State& state)
{
    MaskedPicture& p = Masked();
    for (auto _ : state) {
        p.source.DrawMasked(&p.dest, 0, 0, kWidth, kHeight, 0, 0);
        benchmark::DoNotOptimize(p.dest.GetBits());
    }
}

void BM_DrawMaskedQPainter(benchmark::State& state)
{
    MaskedPicture& p = Masked();
    for (auto _ : state) {
        QPainter painter(&p.destQ);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(0, 0, p.argb);
        painter.end();
        benchmark::DoNotOptimize(p.destQ.bits());
    }
}

struct StretchInput
{
    std::vector<std::uint32_t> buffer;
    QImage picture;
    CImage target;

    StretchInput() : buffer(static_cast<std::size_t>(kWidth) * kHeight)
    {
        std::mt19937 random(11);
        for (auto& p : buffer)
            p = random() & 0xFFFFFF;
        picture = QImage(kWidth, kHeight, QImage::Format_RGB32);
        for (int row = 0; row < kHeight; ++row)
            std::memcpy(picture.scanLine(kHeight - 1 - row),
                        buffer.data() + static_cast<std::size_t>(row) * kWidth, kWidth * 4);
        target.Create(1000, 750);
    }
};

StretchInput& Stretch()
{
    static StretchInput input;
    return input;
}

void BM_StretchOurs(benchmark::State& state)
{
    StretchInput& s = Stretch();
    for (auto _ : state) {
        s.target.StretchDIBitsFrom(0, 0, 1000, 750, 0, 0, kWidth, kHeight, 32, kWidth, kHeight,
                                   s.buffer.data(), SRCCOPY);
        benchmark::DoNotOptimize(s.target.GetBits());
    }
}

void BM_StretchQImage(benchmark::State& state)
{
    StretchInput& s = Stretch();
    for (auto _ : state) {
        QImage scaled = s.picture.scaled(1000, 750, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        benchmark::DoNotOptimize(scaled.bits());
    }
}

} // namespace

BENCHMARK(BM_DrawMaskedOurs)->Name("drawmasked/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawMaskedQPainter)->Name("drawmasked/qpainter")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchOurs)->Name("stretch/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchQImage)->Name("stretch/qimage")->Unit(benchmark::kMillisecond);
