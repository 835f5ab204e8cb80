// Reading a 4000 x 3000 camera-like JPEG into a CImage against QImageReader,
// and writing a 4000 x 3000 image with its mask as EFF against libjpeg-turbo
// compressing the same four components (no colour transform) to a file.
#include "BenchSupport.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "support/JpegTestSupport.h"
#include "support/LibJpegJump.h"

#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// Plain frames only between setjmp and longjmp. rows: top row first.
bool LibjpegCompress(const std::string& path, unsigned char** rows, int components, bool cmyk, int hv0,
                     int hv3, int quality)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    jpeg_compress_struct info;
    LibJpegJump error;
    info.err = UseLibJpegJump(error, false);
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::fclose(out);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = components;
    info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    if (cmyk)
        jpeg_set_colorspace(&info, JCS_CMYK); // kept as given: no colour transform
    jpeg_set_quality(&info, quality, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        const int f = (c == 0 || c == 3) ? hv0 : 1;
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = (c == 3 ? hv3 : f);
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height)
        jpeg_write_scanlines(&info, rows + info.next_scanline, info.image_height - info.next_scanline);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
    return true;
}

// A camera-like JPEG (4:2:0, quality 90) written once per process.
const std::string& CameraJpeg()
{
    static const std::string path = [] {
        const std::string p = BenchTempPath(".jpg");
        std::vector<std::uint8_t> rgb = JpegTestPhoto(kWidth, kHeight, 11);
        std::vector<unsigned char*> rows(kHeight);
        for (int y = 0; y < kHeight; ++y)
            rows[y] = rgb.data() + std::size_t(y) * kWidth * 3;
        if (!LibjpegCompress(p, rows.data(), 3, false, 2, 1, 90))
            std::abort();
        std::atexit([] { std::filesystem::remove(CameraJpeg()); });
        return p;
    }();
    return path;
}

// The image with its mask that the EFF writers get.
CImage& MaskedImage()
{
    static CImage* image = [] {
        auto* im = new CImage;
        if (!im->Create(kWidth, kHeight) || !im->CreateMask())
            std::abort();
        const std::vector<std::uint8_t> rgb = JpegTestPhoto(kWidth, kHeight, 5);
        const std::vector<std::uint8_t> plane = JpegTestPlane(kWidth, kHeight);
        std::uint8_t* bits = im->GetBits();
        std::uint8_t* mask = im->GetMask()->GetBits();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const std::size_t stored = (std::size_t(kHeight - 1 - y) * kWidth + x) * 4;
                const std::uint8_t* p = &rgb[(std::size_t(y) * kWidth + x) * 3];
                const std::uint8_t a = plane[std::size_t(y) * kWidth + x];
                bits[stored] = p[2];
                bits[stored + 1] = p[1];
                bits[stored + 2] = p[0];
                bits[stored + 3] = a;
                mask[stored] = mask[stored + 1] = mask[stored + 2] = a;
            }
        return im;
    }();
    return *image;
}

void JpegFileReadOurs(benchmark::State& state)
{
    const std::string& path = CameraJpeg();
    for (auto _ : state) {
        CImage image;
        if (image.LoadFile(path) != 0 || image.GetWidth() != kWidth)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(image.GetBits());
    }
}

void JpegFileReadQImage(benchmark::State& state)
{
    ReadWithQImage(state, CameraJpeg(), kWidth);
}

void EffWriteOurs(benchmark::State& state)
{
    CImage& image = MaskedImage();
    const std::string path = BenchTempPath(".eff");
    for (auto _ : state)
        if (CEFFFile().WriteImage(path, &image, 2, 90) != 0)
            state.SkipWithError("write failed");
    std::filesystem::remove(path);
}

void EffWriteLibjpeg(benchmark::State& state)
{
    // The same four bytes of every pixel, fed top row first without a copy.
    CImage& image = MaskedImage();
    std::vector<unsigned char*> rows(kHeight);
    for (int y = 0; y < kHeight; ++y)
        rows[y] = image.GetBits() + std::size_t(kHeight - 1 - y) * kWidth * 4;
    const std::string path = BenchTempPath("-ref.jpg");
    for (auto _ : state)
        if (!LibjpegCompress(path, rows.data(), 4, true, 2, 2, 90))
            state.SkipWithError("write failed");
    std::filesystem::remove(path);
}

} // namespace

BENCHMARK(JpegFileReadOurs)->Name("jpeg-file-read/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(JpegFileReadQImage)->Name("jpeg-file-read/qimage")->Unit(benchmark::kMillisecond);
BENCHMARK(EffWriteOurs)->Name("eff-write/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(EffWriteLibjpeg)->Name("eff-write/libjpeg-turbo")->Unit(benchmark::kMillisecond);
