#include "JpegTestSupport.h"

#include "ImageProcessing/JpegDecoder.h"
#include "ImageProcessing/JpegEncoder.h"

#include <algorithm>
#include <cmath>

std::vector<uint8_t> JpegTestPhoto(uint32_t width, uint32_t height, uint32_t seed)
{
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    uint32_t state = seed * 2654435761u + 12345;
    auto noise = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 24) % 9) - 4;
    };
    // Like a photograph: colour changes slowly, detail and noise are mostly in
    // the brightness, and some edges are hard.
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const double fx = double(x) / std::max<uint32_t>(width, 1),
                         fy = double(y) / std::max<uint32_t>(height, 1);
            const double hue = 2.0 * fx + 1.5 * fy + 0.9 * seed;
            double light = 120 + 60 * std::sin(9.0 * fx + 0.5 * seed) * std::cos(7.0 * fy) +
                           18 * std::sin(x * 0.31 + y * 0.07) * std::cos(y * 0.23);
            if (((x / 37) + (y / 23)) % 7 == 0) // hard-edged patches
                light = 0.45 * light + 20;
            const int n = noise();
            const double r = light + 55 * std::sin(hue), g = light + 40 * std::sin(hue + 2.1),
                         b = light + 50 * std::sin(hue + 4.2);
            uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
            p[0] = static_cast<uint8_t>(std::clamp<int>(int(r) + n, 0, 255));
            p[1] = static_cast<uint8_t>(std::clamp<int>(int(g) + n, 0, 255));
            p[2] = static_cast<uint8_t>(std::clamp<int>(int(b) + n, 0, 255));
        }
    return rgb;
}

std::vector<uint8_t> JpegTestPlane(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> plane(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            plane[size_t(y) * width + x] = (x > width / 4 && x < width / 2 && y > height / 3)
                                               ? 255
                                               : static_cast<uint8_t>((x * 7 + y * 3) & 0xFF);
    return plane;
}

JpegOursEncodeResult JpegEncodeOurs(const std::vector<uint8_t>& rgb, const uint8_t* plane, uint32_t width,
                                    uint32_t height, uint32_t mode, uint32_t quality, bool eff,
                                    uint32_t outBlock)
{
    static const JpegFixedClock clock({2001, 3, 9, 14, 5, 7});
    CJpegEncoder encoder(clock);
    JpegEncodeParams params;
    params.width = width;
    params.height = height;
    params.samplingMode = mode;
    params.quality = quality;
    JpegOursEncodeResult result;
    std::vector<uint8_t> block(outBlock);
    uint32_t written = 0;
    result.headerStatus = eff ? EffEncodeMemory(encoder, params, block.data(), outBlock, written)
                              : JpegEncodeMemory(encoder, params, block.data(), outBlock, written);
    if (result.headerStatus != 0)
        return result;
    result.stream.assign(block.begin(), block.begin() + written);
    for (uint32_t row = 0; row < height; row += 32) {
        const uint8_t* rows = rgb.data() + size_t(row) * width * 3;
        result.lastStatus =
            eff ? EffEncodePrepare(encoder, params, rows, block.data(), outBlock, written, 32,
                                   plane + size_t(row) * width)
                : JpegEncodePrepare(encoder, params, rows, block.data(), outBlock, written, 32);
        if (result.lastStatus == 1 || result.lastStatus == 3)
            return result;
        result.stream.insert(result.stream.end(), block.begin(), block.begin() + written);
    }
    return result;
}

JpegOursDecodeResult JpegDecodeOurs(const std::vector<uint8_t>& stream, size_t chunkSize, uint32_t outBlock)
{
    CJpegDecoder decoder;
    JpegDecodeReset(decoder);
    std::vector<uint8_t> block(outBlock);
    JpegOursDecodeResult result;
    size_t offset = 0;
    size_t length = std::min(chunkSize, stream.size());
    for (;;) {
        uint32_t written = 0, width = 0, height = 0, rowWidth = 0, rows = 0;
        ++result.calls;
        const int status =
            JpegDecodeMemory(decoder, stream.data() + offset, static_cast<uint32_t>(length), block.data(),
                             outBlock, written, width, height, rowWidth, rows, 0);
        if (width > 0) {
            if (result.width == 0) // the accumulation is sized once, as the file classes do
                result.pixels.reserve(size_t(rowWidth) * height);
            result.width = width;
            result.height = height;
            result.rowWidth = rowWidth;
        }
        result.pixels.insert(result.pixels.end(), block.begin(), block.begin() + written);
        result.status = status;
        if (status == 1 || status == 4)
            return result;
        if (status == 3)
            continue;
        offset += length;
        if (offset >= stream.size())
            return result; // the stream ended before the picture did
        length = std::min(chunkSize, stream.size() - offset);
    }
}

double JpegPsnr(const uint8_t* a, const uint8_t* b, size_t pixels, int strideA, int strideB)
{
    double sum = 0;
    for (size_t i = 0; i < pixels; ++i)
        for (int c = 0; c < 3; ++c) {
            const double d = double(a[i * strideA + c]) - b[i * strideB + c];
            sum += d * d;
        }
    const double mse = sum / (pixels * 3.0);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}
