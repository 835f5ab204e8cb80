// Our codec against libjpeg in both directions.
#include "ImageProcessing/JpegDecoder.h"
#include "support/JpegReference.h"
#include "support/JpegTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size())
        return 1000;
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}

struct Size
{
    uint32_t width, height;
};

const Size kSizes[] = {{100, 8}, {100, 16}, {1, 1}, {17, 17}, {61, 43}, {128, 96}};

} // namespace

TEST(JpegDecoderDifferential, OurStreamsDecodeInLibjpegLikeInOurDecoder)
{
    for (uint32_t mode = 0; mode <= 2; ++mode)
        for (const Size s : kSizes) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " " << s.width << "x" << s.height);
            const auto rgb = JpegTestPhoto(s.width, s.height, mode + 1);
            const auto encoded = JpegEncodeOurs(rgb, nullptr, s.width, s.height, mode, 90, false);
            ASSERT_EQ(encoded.lastStatus, 2);
            const auto ours = JpegDecodeOurs(encoded.stream);
            ASSERT_EQ(ours.status, 4);
            EXPECT_EQ(ours.width, s.width);
            EXPECT_EQ(ours.height, s.height);
            JpegReferenceImage reference;
            ASSERT_TRUE(JpegReferenceDecode(encoded.stream.data(), encoded.stream.size(), false, reference));
            EXPECT_LE(MaxDifference(ours.pixels, reference.pixels), 2);
        }
}

TEST(JpegDecoderDifferential, OurStreamsLoseAtMost2DbAgainstLibjpegsOwn)
{
    const int lumaH[] = {1, 2, 2}, lumaV[] = {1, 1, 2};
    for (uint32_t mode = 0; mode <= 2; ++mode)
        for (const Size s : {Size{100, 8}, Size{100, 16}, Size{61, 43}, Size{256, 192}})
            for (int quality : {50, 90, 100}) {
                SCOPED_TRACE(testing::Message()
                             << "mode " << mode << " " << s.width << "x" << s.height << " q" << quality);
                const auto rgb = JpegTestPhoto(s.width, s.height, 7);
                const auto encoded = JpegEncodeOurs(rgb, nullptr, s.width, s.height, mode, quality, false);
                ASSERT_EQ(encoded.lastStatus, 2);
                JpegReferenceImage fromOurs, fromTheirs;
                ASSERT_TRUE(
                    JpegReferenceDecode(encoded.stream.data(), encoded.stream.size(), true, fromOurs));
                JpegReferenceEncodeOptions options;
                options.quality = quality;
                options.hSampling = lumaH[mode];
                options.vSampling = lumaV[mode];
                std::vector<uint8_t> theirs;
                ASSERT_TRUE(JpegReferenceEncode(rgb.data(), s.width, s.height, options, theirs));
                ASSERT_TRUE(JpegReferenceDecode(theirs.data(), theirs.size(), true, fromTheirs));
                const size_t pixels = size_t(s.width) * s.height;
                EXPECT_GE(JpegPsnr(rgb.data(), fromOurs.pixels.data(), pixels, 3, 3) + 2.0,
                          JpegPsnr(rgb.data(), fromTheirs.pixels.data(), pixels, 3, 3));
            }
}

TEST(JpegDecoderDifferential, EffStreamsDecodeInLibjpegLikeInOurDecoder)
{
    // libjpeg takes four unmarked components as they are coded: convert its
    // Y, Cb, Cr with our own rule and compare all four channels.
    for (uint32_t mode = 0; mode <= 2; ++mode)
        for (const Size s : {Size{100, 16}, Size{33, 19}}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " " << s.width << "x" << s.height);
            const auto rgb = JpegTestPhoto(s.width, s.height);
            const auto plane = JpegTestPlane(s.width, s.height);
            const auto encoded = JpegEncodeOurs(rgb, plane.data(), s.width, s.height, mode, 90, true);
            ASSERT_EQ(encoded.lastStatus, 2);
            const auto ours = JpegDecodeOurs(encoded.stream);
            ASSERT_EQ(ours.status, 4);
            JpegReferenceImage reference;
            ASSERT_TRUE(JpegReferenceDecode(encoded.stream.data(), encoded.stream.size(), false, reference));
            ASSERT_EQ(reference.components, 4);
            ASSERT_EQ(ours.pixels.size(), reference.pixels.size());
            std::vector<uint8_t> converted(reference.pixels.size());
            for (size_t i = 0; i < converted.size(); i += 4) {
                const int y = reference.pixels[i], cb = reference.pixels[i + 1] - 128,
                          cr = reference.pixels[i + 2] - 128;
                converted[i] = static_cast<uint8_t>(std::clamp((256 * y + 359 * cr) >> 8, 0, 255));
                converted[i + 1] =
                    static_cast<uint8_t>(std::clamp((8192 * y - 2819 * cb - 5850 * cr) >> 13, 0, 255));
                converted[i + 2] = static_cast<uint8_t>(std::clamp((4096 * y + 7258 * cb) >> 12, 0, 255));
                converted[i + 3] = reference.pixels[i + 3];
            }
            EXPECT_LE(MaxDifference(ours.pixels, converted), 2);
        }
}

TEST(JpegDecoderDifferential, LibjpegStreamsDecodeLikeInLibjpeg)
{
    struct Sampling
    {
        int h, v;
    };
    const uint32_t width = 61, height = 43;
    const auto rgb = JpegTestPhoto(width, height, 5);
    for (const Sampling sampling : {Sampling{1, 1}, Sampling{2, 1}, Sampling{2, 2}}) {
        const int mcusPerRow = (width + 8 * sampling.h - 1) / (8 * sampling.h);
        for (int interval : {0, 1, 3, mcusPerRow}) {
            SCOPED_TRACE(testing::Message() << sampling.h << "x" << sampling.v << " interval " << interval);
            JpegReferenceEncodeOptions options;
            options.quality = 85;
            options.hSampling = sampling.h;
            options.vSampling = sampling.v;
            options.restartInterval = interval;
            std::vector<uint8_t> stream;
            ASSERT_TRUE(JpegReferenceEncode(rgb.data(), width, height, options, stream));
            const auto ours = JpegDecodeOurs(stream);
            ASSERT_EQ(ours.status, 4);
            JpegReferenceImage reference;
            ASSERT_TRUE(JpegReferenceDecode(stream.data(), stream.size(), false, reference));
            EXPECT_LE(MaxDifference(ours.pixels, reference.pixels), 3);
        }
    }
}

TEST(JpegDecoderDifferential, FourComponentStreamsOfLibjpegDecode)
{
    const uint32_t width = 40, height = 24;
    auto cmyk = JpegTestPhoto(width, height * 4 / 3 + 1);
    cmyk.resize(size_t(width) * height * 4);
    for (int h : {1, 2}) {
        JpegReferenceEncodeOptions options;
        options.cmyk = true;
        options.hSampling = h;
        options.vSampling = h;
        options.jfif = false;
        std::vector<uint8_t> stream;
        ASSERT_TRUE(JpegReferenceEncode(cmyk.data(), width, height, options, stream));
        const auto ours = JpegDecodeOurs(stream);
        ASSERT_EQ(ours.status, 4);
        EXPECT_EQ(ours.rowWidth, width * 4);
        EXPECT_EQ(ours.pixels.size(), size_t(width) * height * 4);
        // The fourth component comes through as coded.
        JpegReferenceImage reference;
        ASSERT_TRUE(JpegReferenceDecode(stream.data(), stream.size(), false, reference));
        int worst = 0;
        for (size_t i = 3; i < ours.pixels.size(); i += 4)
            worst = std::max(worst, std::abs(int(ours.pixels[i]) - reference.pixels[i]));
        EXPECT_LE(worst, 1);
    }
}

TEST(JpegDecoderDifferential, StreamsMarkedAsRgbGiveTheirComponentsAsCoded)
{
    const uint32_t width = 30, height = 20;
    const auto rgb = JpegTestPhoto(width, height);
    std::vector<uint8_t> coded;
    ASSERT_TRUE(JpegReferenceEncodeRgbComponents(rgb.data(), width, height, 95, coded));
    JpegReferenceImage reference;
    ASSERT_TRUE(JpegReferenceDecode(coded.data(), coded.size(), false, reference));
    // The same stream with a "VLMO" APP0 in front of its tables.
    std::vector<uint8_t> marked = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x07, 'V', 'L', 'M', 'O', 0x00};
    marked.insert(marked.end(), coded.begin() + 2, coded.end());
    const auto ours = JpegDecodeOurs(marked);
    ASSERT_EQ(ours.status, 4);
    EXPECT_LE(MaxDifference(ours.pixels, reference.pixels), 1);
}

namespace {

// Offset of the first segment with this marker code, or 0.
size_t FindSegment(const std::vector<uint8_t>& stream, uint8_t code)
{
    for (size_t p = 2; p + 4 <= stream.size() && stream[p] == 0xFF;
         p += 2 + ((size_t(stream[p + 2]) << 8) | stream[p + 3]))
        if (stream[p + 1] == code)
            return p;
    return 0;
}

} // namespace

// For three components the Adobe segment's transform decides as in libjpeg:
// 0 means R, G, B unless a JFIF segment says YCbCr; 1 means YCbCr.
TEST(JpegDecoderDifferential, AdobeTransformDecidesWhetherColoursAreConverted)
{
    const uint32_t width = 30, height = 20;
    const auto rgb = JpegTestPhoto(width, height, 5);
    std::vector<uint8_t> plain;
    ASSERT_TRUE(JpegReferenceEncodeRgbComponents(rgb.data(), width, height, 95, plain, true));
    const size_t adobe = FindSegment(plain, 0xEE);
    ASSERT_NE(adobe, 0u);
    ASSERT_EQ(FindSegment(plain, 0xE0), 0u); // no JFIF segment
    ASSERT_EQ(plain[adobe + 4 + 11], 0);

    std::vector<uint8_t> transform1 = plain;
    transform1[adobe + 4 + 11] = 1;
    std::vector<uint8_t> jfif = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J',  'F',  'I',  'F',
                                 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00};
    jfif.insert(jfif.end(), plain.begin() + 2, plain.end());

    const struct
    {
        const char* name;
        const std::vector<uint8_t>& stream;
        bool rgb;
    } cases[] = {
        {"transform 0", plain, true}, {"transform 1", transform1, false}, {"JFIF first", jfif, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JpegReferenceImage reference;
        ASSERT_TRUE(JpegReferenceDecode(c.stream.data(), c.stream.size(), false, reference));
        const auto ours = JpegDecodeOurs(c.stream);
        ASSERT_EQ(ours.status, 4);
        EXPECT_LE(MaxDifference(ours.pixels, reference.pixels), 1);
        // Only the unconverted reading gives the picture back.
        const double psnr = JpegPsnr(ours.pixels.data(), rgb.data(), size_t(width) * height, 3, 3);
        if (c.rgb)
            EXPECT_GT(psnr, 35.0);
        else
            EXPECT_LT(psnr, 20.0);
    }
}
