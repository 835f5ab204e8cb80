// Our codec against libjpeg-turbo on a 4000 x 3000 photographic picture:
// encoding at quality 90 with 2x2 luminance sampling, and decoding a stream
// that libjpeg-turbo wrote in 4:2:0 with a restart interval.
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

void EncodeOurs(benchmark::State& state)
{
    const auto& picture = Picture();
    for (auto _ : state) {
        const auto result = JpegEncodeOurs(picture, nullptr, kWidth, kHeight, 2, 90, false);
        if (result.lastStatus != 2)
            state.SkipWithError("encoding failed");
        benchmark::DoNotOptimize(result.stream.data());
    }
}

void EncodeReference(benchmark::State& state)
{
    const auto& picture = Picture();
    JpegReferenceEncodeOptions options;
    options.quality = 90;
    for (auto _ : state) {
        std::vector<uint8_t> stream;
        if (!JpegReferenceEncode(picture.data(), kWidth, kHeight, options, stream))
            state.SkipWithError("encoding failed");
        benchmark::DoNotOptimize(stream.data());
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
