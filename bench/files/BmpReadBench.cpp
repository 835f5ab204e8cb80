// Reading a 24-bit 4000 x 3000 BMP into a CImage against QImageReader reading
// the same file.
#include "BenchSupport.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/Image.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A photograph-like 24-bit BMP written once per process.
const std::string& BenchFile()
{
    static const std::string path = [] {
        const std::string p = BenchTempPath(".bmp");
        const std::uint32_t stride = (kWidth * 3 + 3) & ~3u;
        const std::uint32_t size = stride * kHeight;
        std::vector<std::uint8_t> bytes(54 + static_cast<std::size_t>(size));
        auto put32 = [&](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        bytes[0] = 'B';
        bytes[1] = 'M';
        put32(2, 54 + size);
        put32(10, 54);
        put32(14, 40);
        put32(18, kWidth);
        put32(22, kHeight);
        bytes[26] = 1;
        bytes[28] = 24;
        put32(34, size);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                std::uint8_t* p = &bytes[54 + static_cast<std::size_t>(y) * stride + x * 3];
                p[0] = static_cast<std::uint8_t>(x ^ y);
                p[1] = static_cast<std::uint8_t>((x * 3 + y) >> 2);
                p[2] = static_cast<std::uint8_t>(y >> 4);
            }
        std::FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        std::atexit([] { std::filesystem::remove(BenchFile()); });
        return p;
    }();
    return path;
}

void BmpReadOurs(benchmark::State& state)
{
    const std::string& path = BenchFile();
    for (auto _ : state) {
        CImage image;
        if (CBMPFile().Read(path, &image) != 0 || image.GetWidth() != kWidth)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(image.GetBits());
    }
}

void BmpReadQImage(benchmark::State& state)
{
    ReadWithQImage(state, BenchFile(), kWidth);
}

} // namespace

BENCHMARK(BmpReadOurs)->Name("bmp-read/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BmpReadQImage)->Name("bmp-read/qimage")->Unit(benchmark::kMillisecond)->UseRealTime();
