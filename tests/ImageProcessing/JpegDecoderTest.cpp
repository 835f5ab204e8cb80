#include "ImageProcessing/JpegDecoder.h"
#include "ImageProcessing/JpegEncoder.h"
#include "support/JpegReference.h"
#include "support/JpegStreamBytes.h"
#include "support/JpegTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

std::vector<uint8_t> LibjpegStream(uint32_t width, uint32_t height, int h, int v, int interval,
                                   int quality = 85)
{
    const auto rgb = JpegTestPhoto(width, height, 11);
    JpegReferenceEncodeOptions options;
    options.quality = quality;
    options.hSampling = h;
    options.vSampling = v;
    options.restartInterval = interval;
    std::vector<uint8_t> stream;
    EXPECT_TRUE(JpegReferenceEncode(rgb.data(), width, height, options, stream));
    return stream;
}

// Noise at quality 100 in mode 2: MCUs of ten blocks far larger than 640 bytes.
std::vector<uint8_t> LargeMcuEffStream(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> rgb(size_t(width) * height * 3), plane(size_t(width) * height);
    uint32_t state = 99;
    for (auto& b : rgb)
        b = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 23);
    for (auto& b : plane)
        b = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 23);
    const auto r = JpegEncodeOurs(rgb, plane.data(), width, height, 2, 100, true);
    EXPECT_EQ(r.lastStatus, 2);
    return r.stream;
}

int Decode(CJpegDecoder& decoder, const std::vector<uint8_t>& chunk, std::vector<uint8_t>& block,
           uint32_t* written = nullptr)
{
    uint32_t w = 0, width = 0, height = 0, rowWidth = 0, rows = 0;
    const int status =
        JpegDecodeMemory(decoder, chunk.data(), static_cast<uint32_t>(chunk.size()), block.data(),
                         static_cast<uint32_t>(block.size()), w, width, height, rowWidth, rows, 0);
    if (written)
        *written = w;
    return status;
}

} // namespace

TEST(JpegDecoder, ChunkSizesDoNotChangeTheOutput)
{
    const std::vector<uint8_t> streams[] = {
        LibjpegStream(61, 43, 2, 2, 3),
        LibjpegStream(50, 20, 2, 1, 0),
        JpegEncodeOurs(JpegTestPhoto(70, 40), nullptr, 70, 40, 1, 90, false).stream,
        LargeMcuEffStream(48, 40),
    };
    size_t scanStart = 0;
    JpegSegments(streams[3], &scanStart);
    const size_t mcus = 3 * 3;
    ASSERT_GT((streams[3].size() - scanStart) / mcus, 640u);
    for (const auto& stream : streams) {
        const auto whole = JpegDecodeOurs(stream, stream.size());
        ASSERT_EQ(whole.status, 4);
        for (size_t chunk : {1, 7, 640, 4999, 5000}) {
            SCOPED_TRACE(chunk);
            const auto pieces = JpegDecodeOurs(stream, chunk);
            EXPECT_EQ(pieces.status, 4);
            EXPECT_EQ(pieces.pixels, whole.pixels);
        }
    }
}

TEST(JpegDecoder, FullOutputBlockGives3AndTheSameChunkGoesOn)
{
    const auto stream = LibjpegStream(40, 70, 2, 2, 0);
    const auto reference = JpegDecodeOurs(stream);
    ASSERT_EQ(reference.status, 4);
    // Room for exactly one MCU row of 16 rows.
    const auto small = JpegDecodeOurs(stream, 5000, 16 * 40 * 3);
    EXPECT_EQ(small.status, 4);
    EXPECT_EQ(small.pixels, reference.pixels);
    EXPECT_GE(small.calls, 5);
    // Output block smaller than one MCU row: refused.
    EXPECT_EQ(JpegDecodeOurs(stream, 5000, 16 * 40 * 3 - 1).status, 1);
}

TEST(JpegDecoder, WideStreamThatNoBlockRowFitsIsRefused)
{
    const auto stream = LibjpegStream(10000, 16, 2, 2, 0, 50);
    const auto result = JpegDecodeOurs(stream, 5000, 307200);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.pixels.empty());
}

TEST(JpegDecoder, OnePixelGivesThreeOrFourBytes)
{
    const std::vector<uint8_t> pixel = {10, 200, 60};
    const uint8_t alpha = 255;
    for (bool eff : {false, true}) {
        const auto encoded = JpegEncodeOurs(pixel, &alpha, 1, 1, 2, 90, eff);
        const auto decoded = JpegDecodeOurs(encoded.stream);
        ASSERT_EQ(decoded.status, 4);
        ASSERT_EQ(decoded.pixels.size(), eff ? 4u : 3u);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(decoded.pixels[c], pixel[c], 4);
        if (eff) {
            EXPECT_EQ(decoded.pixels[3], 255);
        }
    }
}

TEST(JpegDecoder, TransparencySurvivesAnEffRoundTrip)
{
    const uint32_t width = 57, height = 41;
    const auto rgb = JpegTestPhoto(width, height);
    const auto plane = JpegTestPlane(width, height);
    for (uint32_t mode = 0; mode <= 2; ++mode) {
        const auto encoded = JpegEncodeOurs(rgb, plane.data(), width, height, mode, 90, true);
        ASSERT_EQ(encoded.lastStatus, 2);
        const auto decoded = JpegDecodeOurs(encoded.stream);
        ASSERT_EQ(decoded.status, 4);
        EXPECT_EQ(decoded.rowWidth, width * 4);
        ASSERT_EQ(decoded.pixels.size(), size_t(width) * height * 4);
        int worst = 0;
        for (size_t i = 0; i < plane.size(); ++i)
            worst = std::max(worst, std::abs(int(decoded.pixels[i * 4 + 3]) - plane[i]));
        EXPECT_LE(worst, 1) << "mode " << mode;
        EXPECT_GT(JpegPsnr(rgb.data(), decoded.pixels.data(), plane.size(), 3, 4), 30);
    }
}

TEST(JpegDecoder, RestartMarkersMayComeInAnyOrder)
{
    auto stream = JpegEncodeOurs(JpegTestPhoto(32, 64), nullptr, 32, 64, 2, 90, false).stream;
    const auto reference = JpegDecodeOurs(stream);
    ASSERT_EQ(reference.status, 4);
    size_t start = 0;
    JpegSegments(stream, &start);
    uint8_t next = 0xD5;
    for (size_t p = start; p + 1 < stream.size(); ++p)
        if (stream[p] == 0xFF && stream[p + 1] >= 0xD0 && stream[p + 1] <= 0xD7)
            stream[p + 1] = next--;
    const auto shuffled = JpegDecodeOurs(stream);
    EXPECT_EQ(shuffled.status, 4);
    EXPECT_EQ(shuffled.pixels, reference.pixels);
}

TEST(JpegDecoder, MissingRestartMarkerIsRefused)
{
    // Our stream has markers after each row only; an interval of 1 asks for more.
    auto stream = JpegEncodeOurs(JpegTestPhoto(48, 32), nullptr, 48, 32, 2, 90, false).stream;
    ASSERT_EQ(stream[579], 0x00);
    ASSERT_EQ(stream[580], 0x03);
    stream[580] = 0x01;
    EXPECT_EQ(JpegDecodeOurs(stream).status, 1);
}

TEST(JpegDecoder, OneRowFrameReadsWithOrWithoutMarkersInside)
{
    // Files written earlier: interval 1, several MCUs and no markers in the row.
    auto ours = JpegEncodeOurs(JpegTestPhoto(100, 8), nullptr, 100, 8, 0, 90, false).stream;
    const auto reference = JpegDecodeOurs(ours);
    ASSERT_EQ(reference.status, 4);
    ours[580] = 0x01;
    const auto old = JpegDecodeOurs(ours);
    EXPECT_EQ(old.status, 4);
    EXPECT_EQ(old.pixels, reference.pixels);
    // Other encoders put a marker after every MCU.
    const auto stream = LibjpegStream(100, 8, 1, 1, 1);
    EXPECT_EQ(JpegDecodeOurs(stream).status, 4);
}

TEST(JpegDecoder, SplitApp0DecodesLikeWhole)
{
    const auto stream = LibjpegStream(20, 20, 2, 2, 0);
    ASSERT_EQ(stream[3], 0xE0);
    const auto whole = JpegDecodeOurs(stream, stream.size());
    CJpegDecoder decoder;
    std::vector<uint8_t> block(307200), pixels;
    const std::vector<uint8_t> first(stream.begin(), stream.begin() + 3);
    const std::vector<uint8_t> rest(stream.begin() + 3, stream.end());
    EXPECT_EQ(Decode(decoder, first, block), 2);
    uint32_t written = 0;
    EXPECT_EQ(Decode(decoder, rest, block, &written), 4);
    pixels.assign(block.begin(), block.begin() + written);
    EXPECT_EQ(pixels, whole.pixels);
}

TEST(JpegDecoder, FirstChunkWithoutStartOfImageIsRefusedAndLeavesTheDecoderIdle)
{
    CJpegDecoder decoder;
    std::vector<uint8_t> block(307200);
    EXPECT_EQ(Decode(decoder, {0xFF, 0xD9, 0x00}, block), 1);
    EXPECT_EQ(Decode(decoder, {0x00}, block), 1);
    const auto stream = LibjpegStream(16, 16, 1, 1, 0);
    uint32_t written = 0;
    EXPECT_EQ(Decode(decoder, stream, block, &written), 4);
    EXPECT_EQ(written, 16u * 16 * 3);
}

TEST(JpegDecoder, ResetEndsTheStreamInProgress)
{
    const auto stream = LibjpegStream(16, 16, 1, 1, 0);
    CJpegDecoder decoder;
    std::vector<uint8_t> block(307200);
    EXPECT_EQ(Decode(decoder, std::vector<uint8_t>(stream.begin(), stream.begin() + 100), block), 2);
    JpegDecodeReset(decoder);
    EXPECT_EQ(decoder.Status(), 4);
    uint32_t written = 0;
    EXPECT_EQ(Decode(decoder, stream, block, &written), 4);
    EXPECT_EQ(written, 16u * 16 * 3);
}

TEST(JpegDecoder, TwoStreamsAtOnceOnTwoThreads)
{
    const auto a = JpegTestPhoto(160, 120, 1), b = JpegTestPhoto(120, 160, 2);
    const auto planeA = JpegTestPlane(160, 120);
    const auto expectedA = JpegEncodeOurs(a, planeA.data(), 160, 120, 2, 90, true);
    const auto expectedB = JpegEncodeOurs(b, nullptr, 120, 160, 0, 75, false);
    const auto pixelsA = JpegDecodeOurs(expectedA.stream, 7), pixelsB = JpegDecodeOurs(expectedB.stream, 13);
    bool sameA = true, sameB = true;
    std::thread first([&] {
        for (int i = 0; i < 20; ++i) {
            const auto e = JpegEncodeOurs(a, planeA.data(), 160, 120, 2, 90, true);
            sameA =
                sameA && e.stream == expectedA.stream && JpegDecodeOurs(e.stream, 7).pixels == pixelsA.pixels;
        }
    });
    std::thread second([&] {
        for (int i = 0; i < 20; ++i) {
            const auto e = JpegEncodeOurs(b, nullptr, 120, 160, 0, 75, false);
            sameB = sameB && e.stream == expectedB.stream &&
                    JpegDecodeOurs(e.stream, 13).pixels == pixelsB.pixels;
        }
    });
    first.join();
    second.join();
    EXPECT_TRUE(sameA);
    EXPECT_TRUE(sameB);
}

TEST(JpegDecoder, OutputKindOtherThanColourIsRefused)
{
    const auto stream = LibjpegStream(16, 16, 1, 1, 0);
    CJpegDecoder decoder;
    std::vector<uint8_t> block(307200);
    uint32_t w, width, height, rowWidth, rows;
    EXPECT_EQ(JpegDecodeMemory(decoder, stream.data(), static_cast<uint32_t>(stream.size()), block.data(),
                               307200, w, width, height, rowWidth, rows, 1),
              1);
}

// An RGB stream as RGB writers mark it (components R, G, B, an Adobe segment
// with transform 0, no JFIF) is not converted from YCbCr: red stays red, also
// when the chunk boundary splits the Adobe segment.
TEST(JpegDecoder, AdobeRgbStreamKeepsItsColours)
{
    const struct
    {
        uint8_t r, g, b;
    } colours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {40, 120, 200}};
    for (const auto& colour : colours) {
        std::vector<uint8_t> rgb;
        for (int i = 0; i < 64; ++i)
            rgb.insert(rgb.end(), {colour.r, colour.g, colour.b});
        std::vector<uint8_t> stream;
        ASSERT_TRUE(JpegReferenceEncodeRgbComponents(rgb.data(), 8, 8, 95, stream, true));
        for (size_t chunk : {size_t(5000), size_t(7)}) {
            SCOPED_TRACE(testing::Message() << int(colour.r) << "," << int(colour.g) << "," << int(colour.b)
                                            << " chunk " << chunk);
            const auto ours = JpegDecodeOurs(stream, chunk);
            ASSERT_EQ(ours.status, 4);
            ASSERT_EQ(ours.pixels.size(), 8u * 8 * 3);
            for (size_t i = 0; i < ours.pixels.size(); i += 3) {
                ASSERT_NEAR(ours.pixels[i], colour.r, 1) << i / 3;
                ASSERT_NEAR(ours.pixels[i + 1], colour.g, 1) << i / 3;
                ASSERT_NEAR(ours.pixels[i + 2], colour.b, 1) << i / 3;
            }
        }
    }
}
