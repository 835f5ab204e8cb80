#include "ImageProcessing/JpegEncoder.h"
#include "ImageProcessing/JpegTables.h"
#include "support/JpegReference.h"
#include "support/JpegStreamBytes.h"
#include "support/JpegTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

const JpegFixedClock kAfternoon({2001, 3, 9, 14, 5, 7});

JpegEncodeParams Params(uint32_t width, uint32_t height, uint32_t mode, uint32_t quality = 90)
{
    JpegEncodeParams p;
    p.width = width;
    p.height = height;
    p.samplingMode = mode;
    p.quality = quality;
    return p;
}

std::vector<uint8_t> Header(const JpegEncodeParams& p, bool eff, int* status = nullptr,
                            const CEffClock& clock = kAfternoon)
{
    CJpegEncoder encoder(clock);
    std::vector<uint8_t> block(4096);
    uint32_t written = 12345;
    const int s = eff ? EffEncodeMemory(encoder, p, block.data(), 4096, written)
                      : JpegEncodeMemory(encoder, p, block.data(), 4096, written);
    if (status)
        *status = s;
    block.resize(s == 0 ? written : 0);
    return block;
}

std::vector<uint8_t> Bytes(const std::vector<uint8_t>& v, size_t offset, size_t count)
{
    return std::vector<uint8_t>(v.begin() + offset, v.begin() + offset + count);
}

} // namespace

TEST(JpegEncoder, PlainHeaderIs595BytesWithTheTablesFrameRestartAndScan)
{
    struct Case
    {
        uint32_t mode, width;
        uint8_t lumaSampling;
        uint16_t interval;
    };
    for (const Case c : {Case{0, 100, 0x11, 13}, Case{1, 100, 0x21, 7}, Case{2, 33, 0x22, 3}}) {
        SCOPED_TRACE(c.mode);
        const auto h = Header(Params(c.width, 40, c.mode), false);
        ASSERT_EQ(h.size(), 595u);
        EXPECT_EQ(Bytes(h, 0, 6), (std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x84}));
        EXPECT_EQ(h[6], 0x00);
        EXPECT_EQ(h[71], 0x01);
        EXPECT_EQ(Bytes(h, 136, 4), (std::vector<uint8_t>{0xFF, 0xC4, 0x01, 0xA2}));
        const std::vector<uint8_t> sof = {
            0xFF, 0xC0, 0x00,           0x11, 0x08, 0x00, 40,   0x00, static_cast<uint8_t>(c.width),
            0x03, 0x00, c.lumaSampling, 0x00, 0x01, 0x11, 0x01, 0x02, 0x11,
            0x01};
        EXPECT_EQ(Bytes(h, 556, 19), sof);
        EXPECT_EQ(Bytes(h, 575, 6),
                  (std::vector<uint8_t>{0xFF, 0xDD, 0x00, 0x04, 0x00, static_cast<uint8_t>(c.interval)}));
        EXPECT_EQ(Bytes(h, 581, 14), (std::vector<uint8_t>{0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x00, 0x00, 0x01,
                                                           0x11, 0x02, 0x11, 0x00, 0x3F, 0x00}));
    }
}

TEST(JpegEncoder, EffHeaderIs760BytesWithPrefixFlatTableAndFourthComponent)
{
    const auto h = Header(Params(200, 100, 2), true);
    ASSERT_EQ(h.size(), 760u);
    const uint8_t start[] = {0xFF, 0xD8, 0xFF, 0xE5, 0x00, 0x5D, 'E', 'F', 'F', 'H', 'E', 'A', 'D', 0x00};
    EXPECT_EQ(std::memcmp(h.data(), start, sizeof start), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&h[14])),
              "Enhanced Frame File (C) 2000-2001 TAKRA VELMO CORP.");
    EXPECT_EQ(Bytes(h, 66, 8), (std::vector<uint8_t>{0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&h[74]), 16), "20010309020507PM");
    EXPECT_EQ(Bytes(h, 90, 7), std::vector<uint8_t>(7, 0));
    EXPECT_EQ(Bytes(h, 97, 4), (std::vector<uint8_t>{0xFF, 0xDB, 0x00, 0xC5}));
    EXPECT_EQ(h[101 + 130], 0x02); // third table: flat
    EXPECT_EQ(Bytes(h, 101 + 131, 64), std::vector<uint8_t>(64, 1));
    const size_t sof = 97 + 199 + 420;
    EXPECT_EQ(Bytes(h, sof, 22),
              (std::vector<uint8_t>{0xFF, 0xC0, 0x00, 0x14, 0x08, 0x00, 100,  0x00, 200,  0x04, 0x00,
                                    0x22, 0x00, 0x01, 0x11, 0x01, 0x02, 0x11, 0x01, 0x03, 0x22, 0x02}));
    EXPECT_EQ(Bytes(h, sof + 22, 6), (std::vector<uint8_t>{0xFF, 0xDD, 0x00, 0x04, 0x00, 13}));
    EXPECT_EQ(Bytes(h, sof + 28, 16), (std::vector<uint8_t>{0xFF, 0xDA, 0x00, 0x0E, 0x04, 0x00, 0x00, 0x01,
                                                            0x11, 0x02, 0x11, 0x03, 0x00, 0x00, 0x3F, 0x00}));
}

TEST(JpegEncoder, EffTimeFieldKeepsTheHourUpTo13AndCountsAgainFrom14)
{
    struct Case
    {
        int hour, minute, second;
        const char* field;
    };
    for (const Case c : {Case{14, 5, 7, "020507PM"}, Case{13, 5, 7, "130507AM"}, Case{0, 30, 0, "003000AM"},
                         Case{12, 5, 7, "120507AM"}, Case{23, 59, 59, "115959PM"}}) {
        const JpegFixedClock clock({2026, 12, 31, c.hour, c.minute, c.second});
        const auto h = Header(Params(8, 8, 0), true, nullptr, clock);
        ASSERT_EQ(h.size(), 760u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&h[74]), 16), std::string("20261231") + c.field);
    }
}

TEST(JpegEncoder, QuantTablesFollowTheCommonQualityScaling)
{
    // At 50 the tables are the typical ones of the standard.
    const uint8_t k1Row0[] = {16, 11, 10, 16, 24, 40, 51, 61};
    const uint8_t k2Row0[] = {17, 18, 24, 47, 99, 99, 99, 99};
    for (int quality : {0, 1, 10, 25, 50, 75, 90, 99, 100, 250}) {
        SCOPED_TRACE(quality);
        int status = -1;
        const auto h = Header(Params(16, 16, 2, quality), false, &status);
        ASSERT_EQ(status, 0);
        uint16_t luminance[64], chrominance[64];
        ASSERT_TRUE(JpegReferenceQuantTables(std::clamp(quality, 1, 100), luminance, chrominance));
        for (int i = 0; i < 64; ++i) {
            EXPECT_EQ(h[7 + i], luminance[JpegTables::kZigzag[i]]) << i;
            EXPECT_EQ(h[72 + i], chrominance[JpegTables::kZigzag[i]]) << i;
            if (quality >= 100) {
                EXPECT_EQ(h[7 + i], 1);
                EXPECT_EQ(h[72 + i], 1);
            }
        }
        if (quality == 50) {
            EXPECT_EQ(Bytes(h, 7, 3), (std::vector<uint8_t>{16, 11, 12})); // zigzag 0, 1, 8
            for (int x = 0; x < 8; ++x) {
                EXPECT_EQ(JpegTables::ScaleQuantTable(JpegTables::kLuminanceBase, 50)[x], k1Row0[x]);
                EXPECT_EQ(JpegTables::ScaleQuantTable(JpegTables::kChrominanceBase, 50)[x], k2Row0[x]);
            }
        }
    }
}

TEST(JpegEncoder, HuffmanTablesAreTheTypicalOnes)
{
    // libjpeg without optimised coding writes the same four tables.
    const auto rgb = JpegTestPhoto(16, 16);
    std::vector<uint8_t> reference;
    ASSERT_TRUE(JpegReferenceEncode(rgb.data(), 16, 16, {}, reference));
    std::map<uint8_t, std::vector<uint8_t>> expected;
    for (const auto& s : JpegSegments(reference)) {
        if (s.marker != 0xC4)
            continue;
        size_t p = 0;
        while (p < s.body.size()) {
            size_t count = 0;
            for (int i = 1; i <= 16; ++i)
                count += s.body[p + i];
            expected[s.body[p]].assign(s.body.begin() + p + 1, s.body.begin() + p + 17 + count);
            p += 17 + count;
        }
    }
    ASSERT_EQ(expected.size(), 4u);
    const auto h = Header(Params(16, 16, 2), false);
    size_t p = 140;
    for (uint8_t id : {0x00, 0x10, 0x01, 0x11}) {
        ASSERT_EQ(h[p], id);
        const auto& e = expected[id];
        EXPECT_EQ(Bytes(h, p + 1, e.size()), e) << int(id);
        p += 1 + e.size();
    }
    EXPECT_EQ(p, 556u);
}

TEST(JpegEncoder, HeaderRefusals)
{
    struct Case
    {
        const char* name;
        JpegEncodeParams params;
        uint32_t block;
        const char* message;
    };
    JpegEncodeParams bits32 = Params(16, 16, 0);
    bits32.bitsPerPixel = 32;
    JpegEncodeParams kind2 = Params(16, 16, 0);
    kind2.colourKind = 2;
    const Case cases[] = {
        {"bits", bits32, 4096, "\nData is not 24 bits per pixel.\n"},
        {"block", Params(16, 16, 0), 1023, "\nOutput buffer should be more than 1024 bytes.\n"},
        {"mode", Params(16, 16, 3), 4096, ""},
        {"kind", kind2, 4096, ""},
        {"width0", Params(0, 16, 0), 4096, ""},
        {"height0", Params(16, 0, 0), 4096, ""},
        {"wide", Params(65536, 16, 0), 4096, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool eff : {false, true}) {
            CJpegEncoder encoder(kAfternoon);
            std::vector<uint8_t> block(4096, 0xEE);
            uint32_t written = 99;
            testing::internal::CaptureStdout();
            const int status = eff ? EffEncodeMemory(encoder, c.params, block.data(), c.block, written)
                                   : JpegEncodeMemory(encoder, c.params, block.data(), c.block, written);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), c.message);
            EXPECT_EQ(status, 1);
            EXPECT_EQ(written, 0u);
            EXPECT_EQ(block[0], 0xEE);
        }
    }
}

TEST(JpegEncoder, OnePixelInMode2IsOneMcuWithIntervalOneAndEoi)
{
    const std::vector<uint8_t> pixel = {200, 30, 90}; // exactly one row of one pixel: nothing else is read
    const auto r = JpegEncodeOurs(pixel, nullptr, 1, 1, 2, 90, false);
    ASSERT_EQ(r.headerStatus, 0);
    EXPECT_EQ(r.lastStatus, 2);
    EXPECT_EQ(Bytes(r.stream, 575, 6), (std::vector<uint8_t>{0xFF, 0xDD, 0x00, 0x04, 0x00, 0x01}));
    EXPECT_EQ(JpegScanMarkers(r.stream), std::vector<uint8_t>{0xD9});
    EXPECT_EQ(r.stream.back(), 0xD9);
    JpegReferenceImage image;
    ASSERT_TRUE(JpegReferenceDecode(r.stream.data(), r.stream.size(), false, image));
    ASSERT_EQ(image.pixels.size(), 3u);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(image.pixels[c], pixel[c], 4);
}

TEST(JpegEncoder, SeventeenRowsInMode2AreTwoBandsWithOneRestart)
{
    const uint32_t width = 40, height = 17;
    const auto rgb = JpegTestPhoto(width, height); // exactly 17 rows: the padding is never read
    const auto r = JpegEncodeOurs(rgb, nullptr, width, height, 2, 90, false);
    ASSERT_EQ(r.lastStatus, 2);
    EXPECT_EQ(Bytes(r.stream, 575, 6), (std::vector<uint8_t>{0xFF, 0xDD, 0x00, 0x04, 0x00, 0x03}));
    EXPECT_EQ(JpegScanMarkers(r.stream), (std::vector<uint8_t>{0xD0, 0xD9}));
    JpegReferenceImage image;
    ASSERT_TRUE(JpegReferenceDecode(r.stream.data(), r.stream.size(), false, image));
    EXPECT_EQ(image.height, height);
    EXPECT_GT(JpegPsnr(rgb.data(), image.pixels.data(), width * height, 3, 3), 30);
}

TEST(JpegEncoder, PictureOfOneMcuRowGetsTheMcusPerRowAsInterval)
{
    // Other decoders expect a marker after every `interval` MCUs; with one row there are none.
    const auto rgb = JpegTestPhoto(100, 8);
    const auto r = JpegEncodeOurs(rgb, nullptr, 100, 8, 0, 90, false);
    ASSERT_EQ(r.lastStatus, 2);
    EXPECT_EQ(Bytes(r.stream, 575, 6), (std::vector<uint8_t>{0xFF, 0xDD, 0x00, 0x04, 0x00, 13}));
    EXPECT_EQ(JpegScanMarkers(r.stream), std::vector<uint8_t>{0xD9});
}

TEST(JpegEncoder, RestartMarkersCycleAndEveryFfIsStuffed)
{
    const uint32_t width = 24, height = 8 * 11;
    const auto rgb = JpegTestPhoto(width, height);
    const auto r = JpegEncodeOurs(rgb, nullptr, width, height, 1, 100, false);
    ASSERT_EQ(r.lastStatus, 2);
    EXPECT_EQ(JpegScanMarkers(r.stream),
              (std::vector<uint8_t>{0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD0, 0xD1, 0xD9}));
}

TEST(JpegEncoder, BatchRefusals)
{
    const auto rgb = JpegTestPhoto(16, 32);
    const auto plane = JpegTestPlane(16, 32);
    std::vector<uint8_t> block(400000, 0xEE);
    struct Case
    {
        const char* name;
        JpegEncodeParams params;
        uint32_t rows;
        bool eff;
        const uint8_t* plane;
    };
    JpegEncodeParams bits32 = Params(16, 32, 0);
    bits32.bitsPerPixel = 32;
    const Case cases[] = {
        {"24 rows", Params(16, 32, 0), 24, false, nullptr},
        {"8 rows", Params(16, 32, 2), 8, true, plane.data()},
        {"bits", bits32, 32, false, nullptr},
        {"mode 3", Params(16, 32, 3), 32, false, nullptr},
        {"no plane", Params(16, 32, 0), 32, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CJpegEncoder encoder(kAfternoon);
        uint32_t written = 99;
        testing::internal::CaptureStdout();
        const int status =
            c.eff ? EffEncodePrepare(encoder, c.params, rgb.data(), block.data(), 400000, written, c.rows,
                                     c.plane)
                  : JpegEncodePrepare(encoder, c.params, rgb.data(), block.data(), 400000, written, c.rows);
        const std::string message = testing::internal::GetCapturedStdout();
        EXPECT_EQ(status, 1);
        EXPECT_EQ(written, 0u);
        EXPECT_EQ(block[0], 0xEE);
        EXPECT_EQ(message, c.params.bitsPerPixel == 32 ? "\nData is not 24 bits per pixel.\n" : "");
    }
}

TEST(JpegEncoder, StreamsCannotChangeComponentsOrPictureHalfway)
{
    const auto rgb = JpegTestPhoto(16, 64);
    const auto plane = JpegTestPlane(16, 64);
    std::vector<uint8_t> block(400000);
    uint32_t written = 0;
    CJpegEncoder encoder(kAfternoon);
    ASSERT_EQ(JpegEncodeMemory(encoder, Params(16, 64, 0), block.data(), 400000, written), 0);
    EXPECT_EQ(EffEncodePrepare(encoder, Params(16, 64, 0), rgb.data(), block.data(), 400000, written, 32,
                               plane.data()),
              1);
    EXPECT_EQ(JpegEncodePrepare(encoder, Params(16, 64, 2), rgb.data(), block.data(), 400000, written, 32),
              1);
    EXPECT_EQ(JpegEncodePrepare(encoder, Params(16, 64, 0), rgb.data(), block.data(), 400000, written, 32),
              0);
    EXPECT_EQ(JpegEncodePrepare(encoder, Params(32, 64, 0), rgb.data(), block.data(), 400000, written, 32),
              1);
    EXPECT_EQ(JpegEncodePrepare(encoder, Params(16, 64, 0), rgb.data() + 16 * 32 * 3, block.data(), 400000,
                                written, 32),
              2);
}

TEST(JpegEncoder, BlockTooSmallForTheFirstMcuGives3AndRewindsTheBatch)
{
    const uint32_t width = 64, height = 64;
    const auto rgb = JpegTestPhoto(width, height);
    const auto whole = JpegEncodeOurs(rgb, nullptr, width, height, 2, 90, false);
    ASSERT_EQ(whole.lastStatus, 2);

    CJpegEncoder encoder(kAfternoon);
    const JpegEncodeParams p = Params(width, height, 2);
    std::vector<uint8_t> block(400000);
    uint32_t written = 0;
    ASSERT_EQ(JpegEncodeMemory(encoder, p, block.data(), 400000, written), 0);
    std::vector<uint8_t> stream(block.begin(), block.begin() + written);
    ASSERT_EQ(JpegEncodePrepare(encoder, p, rgb.data(), block.data(), 400000, written, 32), 0);
    stream.insert(stream.end(), block.begin(), block.begin() + written);
    written = 77;
    EXPECT_EQ(JpegEncodePrepare(encoder, p, rgb.data() + 32 * width * 3, block.data(), 16, written, 32), 3);
    EXPECT_EQ(written, 0u);
    // The same batch again into a large block continues the stream where it stood.
    ASSERT_EQ(JpegEncodePrepare(encoder, p, rgb.data() + 32 * width * 3, block.data(), 400000, written, 32),
              2);
    stream.insert(stream.end(), block.begin(), block.begin() + written);
    EXPECT_EQ(stream, whole.stream);
}

TEST(JpegEncoder, BlockFillingUpHalfwayGives3)
{
    const uint32_t width = 256, height = 32;
    const auto rgb = JpegTestPhoto(width, height);
    CJpegEncoder encoder(kAfternoon);
    const JpegEncodeParams p = Params(width, height, 0, 100);
    std::vector<uint8_t> block(400000);
    uint32_t written = 0;
    ASSERT_EQ(JpegEncodeMemory(encoder, p, block.data(), 400000, written), 0);
    EXPECT_EQ(JpegEncodePrepare(encoder, p, rgb.data(), block.data(), 2000, written, 32), 3);
    EXPECT_LT(written, 2000u);
}

namespace {

uint64_t Fnv1a(const std::vector<uint8_t>& bytes)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes)
        hash = (hash ^ b) * 0x100000001b3ull;
    return hash;
}

// Pixels with no smooth part at all: long codes and many 0xFF bytes to stuff.
std::vector<uint8_t> NoisePicture(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    uint32_t state = 99;
    for (uint8_t& b : rgb) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(state >> 24);
    }
    return rgb;
}

} // namespace

// The exact bytes of whole streams, so that no speed work changes the output unseen.
TEST(JpegEncoder, StreamBytesArePinned)
{
    struct Case
    {
        const char* name;
        uint32_t width, height, mode, quality;
        bool noise, eff;
        uint64_t hash;
    };
    const Case cases[] = {
        {"photo 4:4:4 q90", 203, 96, 0, 90, false, false, 0x1cfde259a36a8904ull},
        {"photo 4:2:2 q50", 203, 96, 1, 50, false, false, 0x3d2040d3e83d6578ull},
        {"photo 4:2:0 q90", 203, 96, 2, 90, false, false, 0xcf8e1d2a780053b4ull},
        {"photo 4:2:0 q100", 128, 64, 2, 100, false, false, 0x443137e021fa8f90ull},
        {"noise 4:2:0 q100", 61, 64, 2, 100, true, false, 0x2a3b98254c1830edull},
        {"noise 4:4:4 q95", 61, 64, 0, 95, true, false, 0xa5aaa9f890b9dfadull},
        {"photo eff 4:2:0 q90", 203, 96, 2, 90, false, true, 0x8952748a939b8baeull},
        {"noise eff 4:4:4 q100", 61, 32, 0, 100, true, true, 0xa064ae12a665b871ull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> rgb =
            c.noise ? NoisePicture(c.width, c.height) : JpegTestPhoto(c.width, c.height, 5);
        std::vector<uint8_t> plane(size_t(c.width) * c.height);
        for (size_t i = 0; i < plane.size(); ++i)
            plane[i] = static_cast<uint8_t>(i * 7 + (i >> 5));
        const auto result =
            JpegEncodeOurs(rgb, c.eff ? plane.data() : nullptr, c.width, c.height, c.mode, c.quality, c.eff);
        ASSERT_EQ(result.lastStatus, JpegEncodeDone);
        EXPECT_EQ(Fnv1a(result.stream), c.hash) << std::hex << Fnv1a(result.stream);
    }
}
