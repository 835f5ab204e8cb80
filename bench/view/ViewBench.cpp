// The editing view's paint: a 1600 x 1000 display image copied into the
// window's surface as the view paints it after a render (which leaves the
// image opaque), against Qt drawing a same-size RGB32 picture onto the same
// surface.
#include "App/ZAVEditorView.h"
#include "Platform/PageAllocator.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;

struct Pictures
{
    CImage display;
    // Held by the same allocator as the display image, so that both copies
    // meet the surface at the same alignment.
    QImage reference{static_cast<uchar*>(PageAllocUncleared(std::size_t(kWidth) * kHeight * 4)),
                     kWidth,
                     kHeight,
                     kWidth * 4,
                     QImage::Format_RGB32,
                     [](void* bits) { PageFree(bits); },
                     nullptr};
    // Where a window's backing store would receive the paint.
    QImage surface{kWidth, kHeight, QImage::Format_RGB32};

    Pictures()
    {
        display.Create(kWidth, kHeight);
        std::mt19937 random(11);
        auto* bits = reinterpret_cast<std::uint32_t*>(display.GetBits());
        for (int i = 0; i < kWidth * kHeight; ++i)
            bits[i] = random() | 0xFF000000u;
        for (int row = 0; row < kHeight; ++row)
            std::memcpy(reference.scanLine(row), bits + std::size_t(kHeight - 1 - row) * kWidth, kWidth * 4);
    }
};

Pictures& Shared()
{
    static Pictures pictures;
    return pictures;
}

void BM_ViewBlitOurs(benchmark::State& state)
{
    Pictures& p = Shared();
    for (auto _ : state) {
        QPainter painter(&p.surface);
        PaintDisplayImage(painter, p.display, QPoint(0, 0), DisplayAlpha::Opaque);
        painter.end();
        benchmark::DoNotOptimize(p.surface.constBits());
    }
    // The paint must show the stored rows the right way up.
    if (p.surface.pixel(0, 0) != p.reference.pixel(0, 0) ||
        p.surface.pixel(kWidth - 1, kHeight - 1) != p.reference.pixel(kWidth - 1, kHeight - 1))
        state.SkipWithError("the paint differs from the picture");
}

void BM_ViewBlitQImage(benchmark::State& state)
{
    Pictures& p = Shared();
    for (auto _ : state) {
        QPainter painter(&p.surface);
        painter.drawImage(0, 0, p.reference);
        painter.end();
        benchmark::DoNotOptimize(p.surface.constBits());
    }
}

} // namespace

BENCHMARK(BM_ViewBlitOurs)->Name("view-blit/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewBlitQImage)->Name("view-blit/qimage")->Unit(benchmark::kMillisecond);
