// The frame image of an A4 page (16 texts, 20 lines, 4 backgrounds) rendered
// and written as the printing application's save does, against writing an
// EFF of the same picture alone: the share that drawing adds.
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/StringItem.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

class FixedClock : public CEffClock
{
public:
    EffDateTime Now() const override { return EffDateTime{2024, 1, 2, 3, 4, 5}; }
};

std::filesystem::path Scratch()
{
    const auto dir = std::filesystem::temp_directory_path() / "zav-bench-frameimage";
    std::filesystem::create_directories(dir);
    return dir;
}

void Put(std::FILE* file, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        std::fputc(static_cast<int>((value >> (8 * i)) & 0xFF), file);
}

// A smooth 24-bit picture, as scanned frame pictures are.
std::string WritePicture(int index)
{
    constexpr int w = 900;
    constexpr int h = 1200;
    constexpr int stride = (w * 3 + 3) & ~3;
    const std::string path = (Scratch() / ("picture" + std::to_string(index) + ".bmp")).string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return path;
    std::fputc('B', file);
    std::fputc('M', file);
    Put(file, 54 + stride * h, 4);
    Put(file, 0, 4);
    Put(file, 54, 4);
    Put(file, 40, 4);
    Put(file, w, 4);
    Put(file, h, 4);
    Put(file, 1, 2);
    Put(file, 24, 2);
    Put(file, 0, 4);
    Put(file, stride * h, 4);
    Put(file, 2835, 4);
    Put(file, 2835, 4);
    Put(file, 0, 4);
    Put(file, 0, 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::fputc(index * 60, file);
            std::fputc(y * 255 / h, file);
            std::fputc(x * 255 / w, file);
        }
        for (int pad = w * 3; pad < stride; ++pad)
            std::fputc(0, file);
    }
    std::fclose(file);
    return path;
}

struct Page
{
    FixedClock clock;
    CLayoutManager manager;
    CImage canvas;
    std::string output = (Scratch() / "frame.eff").string();
    std::string reference = (Scratch() / "reference.eff").string();

    Page()
    {
        manager.SetPaper(3, 0, 0, 500, false);
        manager.SetFrameImageClock(&clock);
        for (int i = 0; i < 4; ++i) {
            auto background = std::make_unique<CBackgroundImageFrameItem>();
            const int loaded = background->LoadImage(WritePicture(i));
            if (loaded != ImageLoadOk)
                std::fprintf(stderr, "picture %d not loaded: %d\n", i, loaded);
            background->SetRect(RECT{50 + (i % 2) * 1400, 100 + (i / 2) * 2000, 1350 + (i % 2) * 1400,
                                     1900 + (i / 2) * 2000});
            manager.AddItem(-1, std::move(background));
        }
        for (int i = 0; i < 20; ++i) {
            auto line = std::make_unique<CLineItem>();
            if (i % 2)
                line->SetRect(RECT{100 + i * 130, 50, 100 + i * 130, 4000});
            else
                line->SetRect(RECT{50, 100 + i * 200, 2800, 100 + i * 200});
            line->SetWidth(1 + i % 10);
            line->SetColor(0x102030u * static_cast<unsigned>(i % 7));
            manager.AddItem(0, std::move(line));
        }
        for (int i = 0; i < 16; ++i) {
            auto text = std::make_unique<CStringItem>();
            text->SetRect(
                RECT{100 + (i % 4) * 700, 200 + (i / 4) * 1000, 700 + (i % 4) * 700, 600 + (i / 4) * 1000});
            LOGFONT font;
            font.lfFaceName = "IPAGothic";
            font.lfHeight = -16 - i;
            font.lfWeight = i % 3 ? FW_NORMAL : FW_BOLD;
            text->SetLogFont(&font);
            text->SetText("Frame text " + std::to_string(i) + "\nsecond line");
            text->SetTextColor(0x2040C0u + static_cast<unsigned>(i));
            text->SetDirection(i % 4);
            text->SetShadow(i % 2 == 0);
            text->SetShadowOffset(POINT{-5, 3});
            manager.AddItem(0, std::move(text));
        }
        bool small = false;
        manager.RenderFrameCanvas(canvas, &small);
    }
};

Page& ThePage()
{
    static int argc = 1;
    static char name[] = "bench_frameimage";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    static Page page;
    return page;
}

void BM_FrameImageOurs(benchmark::State& state)
{
    Page& page = ThePage();
    for (auto _ : state) {
        int quality = 90;
        const int result = page.manager.RenderStringItems(page.output, "", 0, &quality, 0);
        if (result != 0)
            state.SkipWithError("rendering failed");
        benchmark::DoNotOptimize(result);
    }
}

void BM_FrameImageEffWrite(benchmark::State& state)
{
    Page& page = ThePage();
    for (auto _ : state) {
        CEFFFile writer(page.clock);
        const int result = writer.WriteImage(page.reference, &page.canvas, 0, 90);
        if (result != 0)
            state.SkipWithError("writing failed");
        benchmark::DoNotOptimize(result);
    }
}

} // namespace

BENCHMARK(BM_FrameImageOurs)->Name("frame-image-a4/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameImageEffWrite)->Name("frame-image-a4/eff-write")->Unit(benchmark::kMillisecond);
