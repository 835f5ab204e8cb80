#include "FilterTestSupport.h"
#include "Filters/BlurKernels.h"
#include "Filters/FilterRegistry.h"
#include "Filters/UCF_SGAUSS.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <tuple>

namespace {

// The blur exactly as its formula states it, every row and column clamped to
// the picture.
Picture NaiveBlur(const Picture& in, int32_t radius)
{
    std::vector<int16_t> w(2 * radius);
    int32_t sum = 0;
    const int32_t taps = UCF_SGAUSS::BuildKernel(radius, w.data(), &sum);
    const int32_t half = radius - 1;
    const uint32_t norm = static_cast<uint32_t>(sum) * sum;
    Picture out = in;
    int32_t channels = in.format == 1 ? 1 : 3;
    int32_t index[3] = {2, 1, 0};
    if (in.format == 1)
        index[0] = 0;
    if (in.format == 2)
        index[0] = 0, index[2] = 2;
    if (in.format == 16)
        index[0] = 1, index[1] = 2, index[2] = 3;
    auto sample = [&](int32_t x, int32_t y, int32_t c) {
        x = std::clamp(x, 0, in.width - 1);
        y = std::clamp(y, 0, in.height - 1);
        return uint32_t{in.At(x, y)[index[c]]};
    };
    std::vector<uint32_t> column(static_cast<size_t>(in.width));
    for (int32_t y = 0; y < in.height; ++y)
        for (int32_t c = 0; c < channels; ++c) {
            for (int32_t x = 0; x < in.width; ++x) {
                uint32_t s = 0;
                for (int32_t k = 0; k < taps; ++k)
                    s += sample(x, y + k - half, c) * w[k];
                column[x] = s;
            }
            for (int32_t x = 0; x < in.width; ++x) {
                uint32_t v = 0;
                for (int32_t k = 0; k < taps; ++k)
                    v += column[std::clamp(x + k - half, 0, in.width - 1)] * w[k];
                out.At(x, y)[index[c]] =
                    static_cast<uint8_t>(channels == 3 ? (v * 2 / norm + 1) / 2 : v / norm);
            }
        }
    return out;
}

int32_t Blur(Picture& source, Picture* destination, int32_t radius, int32_t lines = 0,
             EventRecorder* recorder = nullptr)
{
    const int32_t block[2] = {radius, 0};
    return RunFilter(UCF_ID_SGAUSS, source, destination, block, sizeof(block), recorder, lines);
}

TEST(SgaussKernel, WeightsAndSumsFollowTheStaircase)
{
    struct Case
    {
        int32_t radius;
        std::vector<int16_t> weights;
        int32_t sum;
    };
    const Case cases[] = {
        {2, {1, 1, 1}, 3},
        {3, {1, 2, 2, 2, 1}, 8},
        {4, {1, 2, 3, 3, 3, 2, 1}, 15},
        {5, {1, 1, 2, 2, 2, 2, 2, 1, 1}, 14},
    };
    for (const Case& c : cases) {
        std::vector<int16_t> w(2 * c.radius);
        int32_t sum = 0;
        const int32_t taps = UCF_SGAUSS::BuildKernel(c.radius, w.data(), &sum);
        w.resize(taps);
        EXPECT_EQ(w, c.weights) << "radius " << c.radius;
        EXPECT_EQ(sum, c.sum) << "radius " << c.radius;
    }
    std::vector<int16_t> w(200);
    int32_t sum = 0;
    EXPECT_EQ(UCF_SGAUSS::BuildKernel(100, w.data(), &sum), 199);
    EXPECT_EQ(sum, 2079);
    EXPECT_EQ(std::accumulate(w.begin(), w.begin() + 199, 0), 2079);
    EXPECT_EQ(w[99], 19);
    EXPECT_EQ(w[0], 1);
    EXPECT_EQ(w[98], 20);
}

// The small kernels' norms (radius 2, 3, 4) all get a 16-bit divider, so their
// row path is the one the tests below pin; a norm whose sums outgrow 16 bits
// gets none.
TEST(SgaussKernel, SmallNormsGetAnExactSixteenBitDivider)
{
    for (uint32_t norm : {9u, 64u, 225u})
        for (bool colour : {false, true}) {
            BlurDivider divider;
            ASSERT_TRUE(BlurMakeDivider(norm, colour, &divider)) << norm << " " << colour;
            for (uint32_t v = 0; v <= 255 * norm; ++v) {
                const uint32_t x = v + divider.bias;
                const uint32_t wanted = colour ? (2 * v + norm) / (2 * norm) : v / norm;
                ASSERT_EQ(((x * divider.magic) >> 16) >> divider.shift, wanted) << norm << " " << v;
            }
        }
    BlurDivider divider;
    EXPECT_FALSE(BlurMakeDivider(257, false, &divider));
}

TEST(Sgauss, RadiusTwoSpreadsAWhitePixelToA3x3SquareOf28)
{
    Picture p(5, 5);
    p.Fill(0);
    std::memset(p.At(2, 2), 255, 3);
    ASSERT_EQ(Blur(p, nullptr, 2), UCF_OK);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 5; ++x) {
            const bool inside = std::abs(x - 2) <= 1 && std::abs(y - 2) <= 1;
            EXPECT_EQ(p.At(x, y)[0], inside ? 28 : 0) << x << "," << y;
            EXPECT_EQ(p.At(x, y)[3], 0) << "alpha";
        }
}

TEST(Sgauss, UniformPicturesStayUnchangedUpToTheBorders)
{
    for (int32_t format : {1, 8}) {
        for (int32_t radius : {2, 3, 7, 30, 100}) {
            Picture p(13, 9, format, format == 1 ? 1 : 4);
            p.Fill(100);
            Picture original = p;
            ASSERT_EQ(Blur(p, nullptr, radius), UCF_OK);
            EXPECT_TRUE(p.SameRows(original)) << "format " << format << " radius " << radius;
        }
    }
}

TEST(Sgauss, AlphaIsNeitherReadNorWritten)
{
    Picture src(7, 6);
    src.Randomise(3);
    Picture dst(7, 6);
    dst.Fill(0x5A);
    ASSERT_EQ(Blur(src, &dst, 3), UCF_OK);
    Picture expected = NaiveBlur(src, 3);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 7; ++x) {
            EXPECT_EQ(dst.At(x, y)[3], 0x5A);
            EXPECT_EQ(0, std::memcmp(dst.At(x, y), expected.At(x, y), 3));
        }
}

TEST(Sgauss, RefusesAShortBlockOrARadiusBelowTwo)
{
    Picture p(4, 4);
    const int32_t one[2] = {1, 0};
    EXPECT_EQ(RunFilter(UCF_ID_SGAUSS, p, nullptr, one, 8), UCF_ERR_BADPARAM);
    const int32_t shortBlock = 3;
    EXPECT_EQ(RunFilter(UCF_ID_SGAUSS, p, nullptr, &shortBlock, 4), UCF_ERR_BADPARAM);
}

// Sizes from one pixel up, radii far beyond the picture's height: every output
// must equal the clamped formula bit for bit, in place and into a destination.
TEST(Sgauss, AgreesBitForBitWithTheClampedFormula)
{
    const std::tuple<int32_t, int32_t> sizes[] = {{1, 1},  {1, 5},   {5, 1},  {2, 2},   {3, 17},
                                                  {17, 3}, {31, 12}, {64, 9}, {300, 7}, {7, 300}};
    const int32_t radii[] = {2, 3, 4, 5, 6, 11, 18, 19, 29, 30, 57, 100};
    const int32_t formats[][2] = {{8, 4}, {4, 3}, {1, 1}, {2, 3}, {16, 4}};
    uint32_t seed = 1;
    for (auto [w, h] : sizes)
        for (int32_t radius : radii) {
            const auto& f = formats[seed % 5];
            Picture src(w, h, f[0], f[1], static_cast<int32_t>(seed % 3));
            src.Randomise(seed++);
            const Picture expected = NaiveBlur(src, radius);
            Picture inPlace = src;
            ASSERT_EQ(Blur(inPlace, nullptr, radius), UCF_OK);
            EXPECT_TRUE(inPlace.SameRows(expected)) << w << "x" << h << " r" << radius << " fmt " << f[0];
            Picture dst(w, h, f[0], f[1]);
            dst.Randomise(seed);
            ASSERT_EQ(Blur(src, &dst, radius), UCF_OK);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    for (int32_t c = 0; c < f[1]; ++c)
                        if (!(f[0] == 8 && c == 3) && !(f[0] == 16 && c == 0)) {
                            ASSERT_EQ(dst.At(x, y)[c], expected.At(x, y)[c])
                                << w << "x" << h << " r" << radius << " at " << x << "," << y;
                        }
        }
}

// The small kernels take their own row path; every format, rows wider than a
// vector and padded, whole and in strips, in place and into another picture.
TEST(Sgauss, SmallKernelsAgreeBitForBitWithTheClampedFormula)
{
    const int32_t formats[][2] = {{8, 4}, {4, 3}, {1, 1}, {2, 3}, {16, 4}};
    uint32_t seed = 7;
    for (int32_t radius : {2, 3, 4})
        for (const auto& f : formats)
            for (int32_t lines : {0, 5}) {
                Picture src(181, 29, f[0], f[1], 3);
                src.Randomise(seed++);
                const Picture expected = NaiveBlur(src, radius);
                Picture inPlace = src;
                ASSERT_EQ(Blur(inPlace, nullptr, radius, lines), UCF_OK);
                EXPECT_TRUE(inPlace.SameRows(expected))
                    << "r" << radius << " fmt " << f[0] << " lines " << lines;
                Picture dst(181, 29, f[0], f[1], 1);
                ASSERT_EQ(Blur(src, &dst, radius, lines), UCF_OK);
                for (int32_t y = 0; y < 29; ++y)
                    for (int32_t x = 0; x < 181; ++x)
                        for (int32_t c = 0; c < f[1]; ++c)
                            if (!(f[0] == 8 && c == 3) && !(f[0] == 16 && c == 0)) {
                                ASSERT_EQ(dst.At(x, y)[c], expected.At(x, y)[c])
                                    << "r" << radius << " fmt " << f[0] << " lines " << lines << " at " << x
                                    << "," << y;
                            }
            }
}

TEST(Sgauss, StripRunsEqualAWholeRun)
{
    for (int32_t lines : {1, 4, 10, 64}) {
        for (int32_t radius : {2, 4, 9, 40}) {
            Picture src(23, 25);
            src.Randomise(static_cast<uint32_t>(lines * 131 + radius));
            const Picture expected = NaiveBlur(src, radius);
            Picture inPlace = src;
            EventRecorder recorder;
            ASSERT_EQ(Blur(inPlace, nullptr, radius, lines, &recorder), UCF_OK);
            EXPECT_TRUE(inPlace.SameRows(expected)) << "lines " << lines << " radius " << radius;
            Picture dst(23, 25);
            ASSERT_EQ(Blur(src, &dst, radius, lines), UCF_OK);
            for (int32_t y = 0; y < 25; ++y)
                for (int32_t x = 0; x < 23; ++x)
                    ASSERT_EQ(0, std::memcmp(dst.At(x, y), expected.At(x, y), 3)) << x << "," << y;
        }
    }
}

TEST(Sgauss, StripCuttingWithOverlapThreeFeeds13_10_2RowsFor10_10_5)
{
    Picture p(8, 25);
    p.Randomise(9);
    EventRecorder recorder;
    ASSERT_EQ(Blur(p, nullptr, 4, 10, &recorder), UCF_OK); // radius 4: overlap 3
    EXPECT_EQ(recorder.sourceRows, (std::vector<int32_t>{13, 10, 2}));
    EXPECT_EQ(recorder.outputRows, (std::vector<int32_t>{10, 10, 5}));
    EXPECT_EQ(recorder.percents.back(), 100);
}

} // namespace
