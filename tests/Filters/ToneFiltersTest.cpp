// Monochrome, S-curve contrast and hue/saturation: the pixel rules and the
// refusals of blocks that would leave the tables' ranges.
#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"
#include "Filters/UCF_SCONTRAST.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

uint16_t Sample16(const Picture& p, int32_t x, int32_t y, int32_t i)
{
    uint16_t v;
    std::memcpy(&v, p.At(x, y) + 2 * i, 2);
    return v;
}

void SetSample16(Picture& p, int32_t x, int32_t y, int32_t i, uint16_t v)
{
    std::memcpy(p.At(x, y) + 2 * i, &v, 2);
}

// Format 8 stores blue, green, red, alpha.
void SetRgb(Picture& p, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b)
{
    p.At(x, y)[0] = b;
    p.At(x, y)[1] = g;
    p.At(x, y)[2] = r;
}

std::array<int, 3> Rgb(const Picture& p, int32_t x, int32_t y)
{
    return {p.At(x, y)[2], p.At(x, y)[1], p.At(x, y)[0]};
}

TEST(Mono, TheMeanOfTheThreeChannelsTruncated)
{
    Picture p(2, 1);
    SetRgb(p, 0, 0, 10, 20, 31);
    SetRgb(p, 1, 0, 255, 255, 254);
    p.At(0, 0)[3] = 77;
    ASSERT_EQ(RunFilter(UCF_ID_MONO, p, nullptr, nullptr, 0), UCF_OK);
    EXPECT_EQ(Rgb(p, 0, 0), (std::array<int, 3>{20, 20, 20}));
    EXPECT_EQ(Rgb(p, 1, 0), (std::array<int, 3>{254, 254, 254}));
    EXPECT_EQ(p.At(0, 0)[3], 77);
}

TEST(Mono, SixteenBitSamplesPlainAndSwapped)
{
    struct Case
    {
        int32_t swap;
        uint16_t stored[3];
        uint16_t expected;
    } cases[] = {
        {0, {65535, 65535, 65535}, 65535},
        {0, {1, 2, 6}, 3},
        {1, {0xFFFF, 0xFFFF, 0xFFFF}, 0xFFFF},
        // 0x0100, 0x0200, 0x0600 swapped: the grey 0x0300 stored as 0x0003
        {1, {0x0001, 0x0002, 0x0006}, 0x0003},
    };
    for (const Case& c : cases) {
        Picture p(1, 1, 64, 6);
        for (int32_t i = 0; i < 3; ++i)
            SetSample16(p, 0, 0, i, c.stored[i]);
        ImageDescriptor s = p.Describe();
        s.byteSwap16 = c.swap;
        UtilFilter filter(&s, nullptr, UCF_ID_MONO, 0, nullptr);
        ASSERT_EQ(filter.GetLastResult(), UCF_OK);
        ASSERT_EQ(filter.Execute(nullptr, 3, 0), UCF_OK);
        for (int32_t i = 0; i < 3; ++i)
            EXPECT_EQ(Sample16(p, 0, 0, i), c.expected) << c.swap << " " << c.stored[0];
    }
}

TEST(Mono, SixteenBitGreyIsLeftAloneAndItsDestinationUnwritten)
{
    Picture src(3, 2, 32, 2), dst(3, 2, 32, 2);
    src.Randomise(5);
    dst.Fill(0x42);
    const Picture before = dst;
    ASSERT_EQ(RunFilter(UCF_ID_MONO, src, &dst, nullptr, 0), UCF_OK);
    EXPECT_TRUE(dst.SameRows(before));
}

TEST(Mono, ProgressCountsImageRowsAndAStopGives2107)
{
    Picture p(2, 4);
    EventRecorder recorder;
    ASSERT_EQ(RunFilter(UCF_ID_MONO, p, nullptr, nullptr, 0, &recorder), UCF_OK);
    EXPECT_EQ(recorder.percents, (std::vector<int32_t>{25, 50, 75, 100}));
    EventRecorder stopper;
    stopper.refuseEvent = FE_PROGRESS;
    EXPECT_EQ(RunFilter(UCF_ID_MONO, p, nullptr, nullptr, 0, &stopper), UCF_ERR_CANCELLED);
}

TEST(SContrast, ZeroBlockIsTheIdentityInBothDepths)
{
    Picture p(256, 1, 4, 3);
    for (int32_t x = 0; x < 256; ++x)
        std::memset(p.At(x, 0), x, 3);
    const Picture original = p;
    const int32_t block[2] = {0, 0};
    ASSERT_EQ(RunFilter(UCF_ID_SCONTRAST, p, nullptr, block, 8), UCF_OK);
    EXPECT_TRUE(p.SameRows(original));

    std::vector<uint16_t> table(65536);
    UCF_SCONTRAST::BuildCurve(0, 0, true, table.data());
    for (int32_t i = 0; i < 65536; ++i)
        ASSERT_EQ(table[i], i);
}

TEST(SContrast, ContrastBeyondTheRangeActsAsItsEnd)
{
    std::vector<uint8_t> a(256), b(256), c(256), d(256);
    UCF_SCONTRAST::BuildCurve(0, 250, false, a.data());
    UCF_SCONTRAST::BuildCurve(0, 100, false, b.data());
    UCF_SCONTRAST::BuildCurve(0, -400, false, c.data());
    UCF_SCONTRAST::BuildCurve(0, -100, false, d.data());
    EXPECT_EQ(a, b);
    EXPECT_EQ(c, d);
    // positive contrast darkens the quarter tone and brightens the upper one
    EXPECT_LT(b[64], 64 - 20);
    EXPECT_GT(b[160], 160 + 20);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[255], 255);
}

TEST(SContrast, SixteenBitTableFollowsTheCurveAndGamma)
{
    std::vector<uint16_t> table(65536);
    UCF_SCONTRAST::BuildCurve(0, 100, true, table.data());
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[128 * 256], 128 * 256); // the curve passes through the middle
    EXPECT_LT(table[64 * 256], 64 * 256 - 20 * 256);
    EXPECT_EQ(table[65535], 65535);
    for (int32_t i = 1; i < 65536; ++i)
        ASSERT_GE(table[i], table[i - 1]) << i;
    // brightness 50: gamma 0.5, so a quarter becomes a half
    UCF_SCONTRAST::BuildCurve(50, 0, true, table.data());
    EXPECT_EQ(table[16384], static_cast<uint16_t>(std::pow(16384 / 65535.0, 0.5) * 65535 + 0.5));

    Picture p(1, 1, 32, 2);
    SetSample16(p, 0, 0, 0, 64 * 256);
    const int32_t block[2] = {0, 100};
    ASSERT_EQ(RunFilter(UCF_ID_SCONTRAST, p, nullptr, block, 8), UCF_OK);
    std::vector<uint16_t> expected(65536);
    UCF_SCONTRAST::BuildCurve(0, 100, true, expected.data());
    EXPECT_EQ(Sample16(p, 0, 0, 0), expected[64 * 256]);
}

TEST(SContrast, BlocksAreChecked)
{
    Picture p(2, 2);
    const int32_t fine[2] = {-142, 0};
    const int32_t dark[2] = {-143, 0};
    EXPECT_EQ(RunFilter(UCF_ID_SCONTRAST, p, nullptr, nullptr, 0), UCF_ERR_CURVE);
    EXPECT_EQ(RunFilter(UCF_ID_SCONTRAST, p, nullptr, fine, 4), UCF_ERR_BADPARAM);
    EXPECT_EQ(RunFilter(UCF_ID_SCONTRAST, p, nullptr, dark, 8), UCF_ERR_BADPARAM);
    EXPECT_EQ(RunFilter(UCF_ID_SCONTRAST, p, nullptr, fine, 8), UCF_OK);
}

TEST(ToneFilters, ProgressIsTheRowWithinTheStripAndAStopGives2107)
{
    const int32_t contrast[2] = {0, 10};
    const int32_t hue[4] = {0, 30, 0, 0};
    const double level[2] = {1, 1};
    const struct
    {
        const char* name;
        int32_t id;
        const void* block;
        int32_t size;
    } cases[] = {
        {"contrast", UCF_ID_SCONTRAST, contrast, 8},
        {"hue", UCF_ID_HUESAT, hue, 16},
        {"level", UCF_ID_AUTOLEVEL, level, 16},
    };
    for (const auto& c : cases) {
        Picture p(2, 4);
        p.Randomise(11);
        EventRecorder recorder;
        ASSERT_EQ(RunFilter(c.id, p, nullptr, c.block, c.size, &recorder, 2), UCF_OK) << c.name;
        EXPECT_EQ(recorder.percents, (std::vector<int32_t>{0, 50, 0, 50})) << c.name;
        EventRecorder stopper;
        stopper.refuseEvent = FE_PROGRESS;
        EXPECT_EQ(RunFilter(c.id, p, nullptr, c.block, c.size, &stopper), UCF_ERR_CANCELLED) << c.name;
    }
}

struct HueCase
{
    const char* name;
    std::array<int32_t, 4> block; // lightness, hue, saturation, colorize
    std::array<uint8_t, 3> in;
    std::array<int, 3> out;
};

TEST(HueSaturation, PixelRules)
{
    const HueCase cases[] = {
        {"zeros keep a colour", {0, 0, 0, 0}, {200, 30, 90}, {200, 30, 90}},
        {"hue 180 turns red cyan", {0, 180, 0, 0}, {255, 0, 0}, {0, 255, 255}},
        {"hue -120 turns green red", {0, -120, 0, 0}, {0, 255, 0}, {255, 0, 0}},
        {"grey never tinted", {0, 90, 0, 0}, {128, 128, 128}, {128, 128, 128}},
        {"grey never tinted by colorize", {0, 40, 50, 1}, {77, 77, 77}, {77, 77, 77}},
        {"colorize 0 gives cyan", {0, 0, 0, 1}, {255, 0, 0}, {0, 255, 255}},
        {"saturation -100 nears the mean", {0, 0, -100, 0}, {255, 0, 0}, {85, 85, 85}},
        {"lightness -100 is black", {-100, 0, 0, 0}, {200, 30, 90}, {0, 0, 0}},
        {"lightness 100 is white", {100, 0, 0, 0}, {200, 30, 90}, {255, 255, 255}},
        {"lightness applies to grey", {-50, 0, 0, 0}, {100, 100, 100}, {50, 50, 50}},
    };
    for (const HueCase& c : cases) {
        Picture p(1, 1);
        SetRgb(p, 0, 0, c.in[0], c.in[1], c.in[2]);
        p.At(0, 0)[3] = 9;
        ASSERT_EQ(RunFilter(UCF_ID_HUESAT, p, nullptr, c.block.data(), 16), UCF_OK) << c.name;
        EXPECT_EQ(Rgb(p, 0, 0), c.out) << c.name;
        EXPECT_EQ(p.At(0, 0)[3], 9) << c.name;
    }
}

TEST(HueSaturation, ZerosAreTheIdentityOnEveryColourAndDepth)
{
    Picture p(64, 16);
    p.Randomise(6);
    const Picture original = p;
    const int32_t block[4] = {0, 0, 0, 0};
    ASSERT_EQ(RunFilter(UCF_ID_HUESAT, p, nullptr, block, 16), UCF_OK);
    EXPECT_TRUE(p.SameRows(original));

    Picture wide(32, 8, 64, 6);
    wide.Randomise(7);
    const Picture wideOriginal = wide;
    ASSERT_EQ(RunFilter(UCF_ID_HUESAT, wide, nullptr, block, 16), UCF_OK);
    EXPECT_TRUE(wide.SameRows(wideOriginal));
}

TEST(HueSaturation, SixteenBitHueTurn)
{
    Picture p(1, 1, 64, 6);
    SetSample16(p, 0, 0, 0, 65535);
    SetSample16(p, 0, 0, 1, 0);
    SetSample16(p, 0, 0, 2, 0);
    const int32_t block[4] = {0, 180, 0, 0};
    ASSERT_EQ(RunFilter(UCF_ID_HUESAT, p, nullptr, block, 16), UCF_OK);
    EXPECT_EQ(Sample16(p, 0, 0, 0), 0);
    EXPECT_EQ(Sample16(p, 0, 0, 1), 65535);
    EXPECT_EQ(Sample16(p, 0, 0, 2), 65535);
}

TEST(HueSaturation, RefusalsAtConstruction)
{
    const struct
    {
        const char* name;
        int32_t format, bytesPerPixel;
        std::array<int32_t, 4> block;
        int32_t size;
        int32_t expected;
    } cases[] = {
        {"grey source", 1, 1, {0, 0, 0, 0}, 16, UCF_ERR_UNSUPPORTED},
        {"grey 16-bit source", 32, 2, {0, 0, 0, 0}, 16, UCF_ERR_UNSUPPORTED},
        {"no block", 8, 4, {0, 0, 0, 0}, 0, UCF_ERR_CURVE},
        {"short block", 8, 4, {0, 0, 0, 0}, 12, UCF_ERR_BADPARAM},
        {"hue 181", 8, 4, {0, 181, 0, 0}, 16, UCF_ERR_BADPARAM},
        {"hue -181", 8, 4, {0, -181, 0, 0}, 16, UCF_ERR_BADPARAM},
        {"lightness 101", 8, 4, {101, 0, 0, 0}, 16, UCF_ERR_BADPARAM},
        {"lightness -101", 8, 4, {-101, 0, 0, 0}, 16, UCF_ERR_BADPARAM},
        {"saturation 101", 8, 4, {0, 0, 101, 0}, 16, UCF_ERR_BADPARAM},
        {"saturation -101", 8, 4, {0, 0, -101, 0}, 16, UCF_ERR_BADPARAM},
        {"the ends of the ranges", 8, 4, {-100, 180, 100, 1}, 16, UCF_OK},
    };
    for (const auto& c : cases) {
        Picture p(2, 2, c.format, c.bytesPerPixel);
        ImageDescriptor s = p.Describe();
        UtilFilter filter(&s, nullptr, UCF_ID_HUESAT, c.size, c.size ? c.block.data() : nullptr);
        EXPECT_EQ(filter.GetLastResult(), c.expected) << c.name;
    }
}

TEST(HueSaturation, ExtremeSettingsStayInRangeOnRandomPixels)
{
    const std::array<int32_t, 4> blocks[] = {
        {100, 180, 100, 0}, {-100, -180, -100, 1}, {37, -180, 100, 1}, {-5, 179, 100, 0}};
    for (const auto& block : blocks) {
        Picture p(64, 8, 64, 6);
        p.Randomise(8);
        ASSERT_EQ(RunFilter(UCF_ID_HUESAT, p, nullptr, block.data(), 16), UCF_OK);
        Picture q(64, 8, 2, 3);
        q.Randomise(9);
        ASSERT_EQ(RunFilter(UCF_ID_HUESAT, q, nullptr, block.data(), 16), UCF_OK);
    }
}

} // namespace
