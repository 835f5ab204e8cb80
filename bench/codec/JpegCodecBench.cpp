// Our codec against libjpeg-turbo on a 4000 x 3000 photographic picture:
// encoding at quality 90 with 2x2 luminance sampling, and decoding a stream
// that libjpeg-turbo wrote in 4:2:0 with a restart interval.
#include "ImageProcessing/JpegEncoder.h"
#include "support/JpegReference.h"
#include "support/JpegTestSupport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr uint32_t kWidth = 4000;
constexpr uint32_t kHeight = 3000;

const std::vector<uint8_t>& Picture()
{
    static const std::vector<uint8_t> picture = JpegTestPhoto(kWidth, kHeight, 3);
    return picture;
}

const std::vector<uint8_t>& ReferenceStream()
{
    static const std::vector<uint8_t> stream = [] {
        JpegReferenceEncodeOptions options;
        options.quality = 90;
        options.restartInterval = (kWidth + 15) / 16;
        std::vector<uint8_t> s;
        if (!JpegReferenceEncode(Picture().data(), kWidth, kHeight, options, s))
            std::abort();
        return s;
    }();
    return stream;
}

// Both encoders write into one buffer allocated once, so that only encoding is timed.
constexpr size_t kOutCapacity = size_t(kWidth) * kHeight * 3;

std::vector<uint8_t>& OutBuffer()
{
    static std::vector<uint8_t> buffer(kOutCapacity, 1);
    return buffer;
}

void EncodeOurs(benchmark::State& state)
{
    const auto& picture = Picture();
    uint8_t* out = OutBuffer().data();
    static const JpegFixedClock clock({2001, 3, 9, 14, 5, 7});
    JpegEncodeParams params;
    params.width = kWidth;
    params.height = kHeight;
    params.samplingMode = 2;
    params.quality = 90;
    for (auto _ : state) {
        CJpegEncoder encoder(clock);
        uint32_t written = 0;
        size_t total = 0;
        int status = JpegEncodeMemory(encoder, params, out, uint32_t(kOutCapacity), written);
        total += written;
        for (uint32_t row = 0; status == 0 && row < kHeight; row += 32) {
            status = JpegEncodePrepare(encoder, params, picture.data() + size_t(row) * kWidth * 3,
                                       out + total, uint32_t(kOutCapacity - total), written, 32);
            total += written;
        }
        if (status != 2)
            state.SkipWithError("encoding failed");
        benchmark::DoNotOptimize(out[total - 1]);
    }
}

void EncodeReference(benchmark::State& state)
{
    const auto& picture = Picture();
    uint8_t* out = OutBuffer().data();
    JpegReferenceEncodeOptions options;
    options.quality = 90;
    for (auto _ : state) {
        size_t written = 0;
        if (!JpegReferenceEncodeInto(picture.data(), kWidth, kHeight, options, out, kOutCapacity, written))
            state.SkipWithError("encoding failed");
        benchmark::DoNotOptimize(out[written - 1]);
    }
}

void DecodeOurs(benchmark::State& state)
{
    const auto& stream = ReferenceStream();
    for (auto _ : state) {
        const auto result = JpegDecodeOurs(stream, 5000, 307200);
        if (result.status != 4)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(result.pixels.data());
    }
}

void DecodeReference(benchmark::State& state)
{
    const auto& stream = ReferenceStream();
    for (auto _ : state) {
        JpegReferenceImage image;
        if (!JpegReferenceDecode(stream.data(), stream.size(), true, image))
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

} // namespace

BENCHMARK(EncodeOurs)->Name("jpeg-encode/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(EncodeReference)->Name("jpeg-encode/libjpeg-turbo")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DecodeOurs)->Name("jpeg-decode/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DecodeReference)->Name("jpeg-decode/libjpeg-turbo")->Unit(benchmark::kMillisecond)->UseRealTime();
