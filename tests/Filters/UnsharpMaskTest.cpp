#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"
#include "Filters/SampleAccess.h"
#include "Filters/UCF_USM.h"
#include "Filters/UsmKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>

namespace {

struct Sharpening
{
    int32_t radius = 10;
    int32_t amount = 100;
    int32_t threshold = 0;
    int32_t variant = 0;
    std::array<int32_t, 4> Block() const { return {radius, amount, threshold, variant}; }
};

// Byte offsets of the colour samples of a format and their size.
struct Channels
{
    int32_t count;
    int32_t offset[3];
    int32_t bytes;
};

Channels ChannelsOf(int32_t format)
{
    switch (format) {
    case 1:
        return {1, {0, 0, 0}, 1};
    case 2:
        return {3, {0, 1, 2}, 1};
    case 4:
        return {3, {2, 1, 0}, 1};
    case 8:
        return {3, {2, 1, 0}, 1};
    case 16:
        return {3, {1, 2, 3}, 1};
    case 32:
        return {1, {0, 0, 0}, 2};
    default:
        return {3, {0, 2, 4}, 2};
    }
}

// The sharpening exactly as its formula states it, sample by sample, the
// picture's edges repeated.
Picture NaiveUsm(const Picture& in, const Sharpening& s, bool swapped = false)
{
    const int32_t radius = std::clamp(s.radius, 0, 30);
    const UsmKernel& kernel = GetUsmKernel(radius, s.variant != 0);
    const int32_t k = UsmHalfWidth(radius);
    const Channels ch = ChannelsOf(in.format);
    const int64_t a = static_cast<int64_t>(s.amount * 2.56 * 0.5);
    const int64_t t = ch.bytes == 2 ? int64_t{s.threshold} * 256 : s.threshold;
    const int64_t maximum = ch.bytes == 2 ? 65535 : 255;
    auto sample = [&](const Picture& p, int32_t x, int32_t y, int32_t c) -> int64_t {
        x = std::clamp(x, 0, p.width - 1);
        y = std::clamp(y, 0, p.height - 1);
        const uint8_t* q = p.At(x, y) + ch.offset[c];
        return ch.bytes == 1 ? *q : Load16(q, swapped);
    };
    Picture out = in;
    for (int32_t y = 0; y < in.height; ++y)
        for (int32_t x = 0; x < in.width; ++x)
            for (int32_t c = 0; c < ch.count; ++c) {
                int64_t sum = 0;
                for (int32_t dy = -k; dy <= k; ++dy)
                    for (int32_t dx = -k; dx <= k; ++dx)
                        sum += kernel.c[UsmCoefficientIndex(std::abs(dx), std::abs(dy))] *
                               sample(in, x + dx, y + dy, c);
                const int64_t p = sample(in, x, y, c);
                const int64_t d = ((p - (sum >> kernel.shift)) * a) >> 7;
                int64_t o = d > t ? p + d - t : (d < -t ? p + d + t : p);
                o = std::clamp<int64_t>(o, 0, maximum);
                uint8_t* q = out.At(x, y) + ch.offset[c];
                if (ch.bytes == 1)
                    *q = static_cast<uint8_t>(o);
                else
                    Store16(q, static_cast<uint32_t>(o), swapped);
            }
    return out;
}

int32_t Sharpen(Picture& p, const Sharpening& s, Picture* destination = nullptr, int32_t lines = 0,
                EventRecorder* recorder = nullptr)
{
    const auto block = s.Block();
    return RunFilter(UCF_ID_USM, p, destination, block.data(), sizeof(block), recorder, lines);
}

TEST(UnsharpMaskKernels, EveryRowWeighsToItsPowerOfTwo)
{
    for (bool thinned : {false, true})
        for (int32_t radius = 0; radius <= 30; ++radius) {
            const UsmKernel& kernel = GetUsmKernel(radius, thinned);
            const int32_t k = UsmHalfWidth(radius);
            int64_t total = 0;
            for (int32_t dy = -4; dy <= 4; ++dy)
                for (int32_t dx = -4; dx <= 4; ++dx) {
                    const uint8_t c = kernel.c[UsmCoefficientIndex(std::abs(dx), std::abs(dy))];
                    total += c;
                    if (std::abs(dx) > k || std::abs(dy) > k) {
                        EXPECT_EQ(c, 0) << "outside the window of radius " << radius;
                    }
                }
            EXPECT_EQ(total, int64_t{1} << kernel.shift) << "radius " << radius << " thinned " << thinned;
        }
    EXPECT_EQ(GetUsmKernel(15, true).c[1], 0);
    EXPECT_EQ(GetUsmKernel(14, true).c[1], 136) << "thinning starts at 15";
    EXPECT_EQ(UsmHalfWidth(8), 1);
    EXPECT_EQ(UsmHalfWidth(9), 2);
    EXPECT_EQ(UsmHalfWidth(21), 3);
    EXPECT_EQ(UsmHalfWidth(22), 4);
}

TEST(UnsharpMask, AgreesWithTheFormulaOnEveryFormatAndRadius)
{
    const std::tuple<int32_t, int32_t> sizes[] = {{1, 1}, {2, 3}, {9, 1}, {13, 7}, {5, 12}, {31, 9}};
    const int32_t formats[][2] = {{8, 4}, {4, 3}, {1, 1}, {2, 3}, {16, 4}, {32, 2}, {64, 6}};
    uint32_t seed = 1;
    for (auto [w, h] : sizes)
        for (int32_t radius : {3, 5, 8, 10, 14, 15, 19, 22, 30})
            for (int32_t variant : {0, 1}) {
                const auto& f = formats[seed % 7];
                Picture src(w, h, f[0], f[1], static_cast<int32_t>(seed % 3));
                src.Randomise(seed++);
                const Sharpening s{radius, static_cast<int32_t>(seed % 300), static_cast<int32_t>(seed % 5),
                                   variant};
                const Picture expected = NaiveUsm(src, s);
                Picture dst(w, h, f[0], f[1]);
                dst.Randomise(seed);
                const Picture before = dst;
                ASSERT_EQ(Sharpen(src, s, &dst), UCF_OK);
                const Channels ch = ChannelsOf(f[0]);
                for (int32_t y = 0; y < h; ++y)
                    for (int32_t x = 0; x < w; ++x)
                        for (int32_t b = 0; b < f[1]; ++b) {
                            bool colour = false;
                            for (int32_t c = 0; c < ch.count; ++c)
                                colour |= b >= ch.offset[c] && b < ch.offset[c] + ch.bytes;
                            const uint8_t want = colour ? expected.At(x, y)[b] : before.At(x, y)[b];
                            ASSERT_EQ(dst.At(x, y)[b], want)
                                << w << "x" << h << " r" << radius << " v" << variant << " fmt " << f[0]
                                << " at " << x << "," << y;
                        }
                Picture inPlace = src;
                ASSERT_EQ(Sharpen(inPlace, s), UCF_OK);
                EXPECT_TRUE(inPlace.SameRows(expected));
            }
}

TEST(UnsharpMask, SwappedSixteenBitSamplesAreSwappedBackAfterSharpening)
{
    Picture src(11, 6, 64, 6);
    src.Randomise(40);
    const Sharpening s{12, 150, 3, 0};
    const Picture expected = NaiveUsm(src, s, true);
    ImageDescriptor d = src.Describe();
    d.byteSwap16 = 1;
    const auto block = s.Block();
    UtilFilter filter(&d, nullptr, UCF_ID_USM, sizeof(block), block.data());
    ASSERT_EQ(filter.Execute(nullptr, 3, 0), UCF_OK);
    EXPECT_TRUE(src.SameRows(expected));
}

TEST(UnsharpMask, RadiiUpToTwoLeaveThePictureUnchanged)
{
    for (int32_t radius : {-5, 0, 1, 2})
        for (int32_t amount : {100, 500, -300}) {
            Picture p(9, 7);
            p.Randomise(static_cast<uint32_t>(radius + 10));
            const Picture before = p;
            ASSERT_EQ(Sharpen(p, {radius, amount, 0, 0}), UCF_OK);
            EXPECT_TRUE(p.SameRows(before)) << "radius " << radius << " amount " << amount;
        }
}

TEST(UnsharpMask, RadiiOutsideTheTableTakeItsEnds)
{
    Picture src(17, 13);
    src.Randomise(4);
    const struct
    {
        int32_t radius, like, overlap;
    } cases[] = {{45, 30, 4}, {1000000, 30, 4}, {-5, 0, 1}, {-2147483647 - 1, 0, 1}};
    for (const auto& c : cases) {
        Picture a = src, b = src;
        ASSERT_EQ(Sharpen(a, {c.radius, 180, 1, 0}), UCF_OK);
        ASSERT_EQ(Sharpen(b, {c.like, 180, 1, 0}), UCF_OK);
        EXPECT_TRUE(a.SameRows(b)) << c.radius;
        ImageDescriptor d = src.Describe();
        const int32_t block[4] = {c.radius, 100, 0, 0};
        UtilFilter filter(&d, nullptr, UCF_ID_USM, sizeof(block), block);
        EXPECT_EQ(filter.GetContext()->info.overlap, c.overlap) << c.radius;
    }
}

// One bright grey sample in the dark at radius 3 (centre 252/256, one step
// 1/256): the blur is 98, the difference 2, scaled by A / 128.
TEST(UnsharpMask, TheThresholdKeepsSmallDifferencesAndShrinksLargerOnes)
{
    const struct
    {
        int32_t amount, threshold;
        uint8_t centre;
    } cases[] = {{100, 0, 102}, {100, 1, 101}, {100, 2, 100}, {100, 3, 100},
                 {400, 3, 105}, {400, 8, 100}, {400, 7, 101}, {-100, 1, 99}};
    for (const auto& c : cases) {
        Picture p(3, 3, 1, 1);
        p.Fill(0);
        *p.At(1, 1) = 100;
        ASSERT_EQ(Sharpen(p, {3, c.amount, c.threshold, 0}), UCF_OK);
        EXPECT_EQ(*p.At(1, 1), c.centre) << c.amount << " " << c.threshold;
        EXPECT_EQ(*p.At(0, 1), 0) << "a neighbour's blur rounds down to its own value";
    }
}

TEST(UnsharpMask, AStepEdgeOvershootsOnBothSides)
{
    Picture p(12, 5, 4, 3);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 12; ++x)
            std::memset(p.At(x, y), x < 6 ? 60 : 190, 3);
    Picture mild = p;
    ASSERT_EQ(Sharpen(mild, {10, 100, 0, 0}), UCF_OK);
    for (int32_t y = 0; y < 5; ++y) {
        EXPECT_LT(*mild.At(5, y), 60);
        EXPECT_GT(*mild.At(6, y), 190);
        EXPECT_EQ(*mild.At(0, y), 60) << "far from the edge";
        EXPECT_EQ(*mild.At(11, y), 190);
    }
    ASSERT_EQ(Sharpen(p, {10, 2000, 0, 0}), UCF_OK);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t c = 0; c < 3; ++c) {
            EXPECT_EQ(p.At(5, y)[c], 0);
            EXPECT_EQ(p.At(6, y)[c], 255);
        }
}

TEST(UnsharpMask, HugeAmountsAndThresholdsDoNotOverflow)
{
    const struct
    {
        int32_t amount, threshold;
    } cases[] = {{2147483647, 0},        {-2147483647 - 1, 0},          {2147483647, 2147483647},
                 {100, -2147483647 - 1}, {2147483647, -2147483647 - 1}, {100, 2147483647}};
    for (const auto& c : cases)
        for (auto [format, bpp] : {std::pair{8, 4}, std::pair{64, 6}, std::pair{32, 2}}) {
            Picture src(7, 6, format, bpp);
            src.Randomise(6);
            const Sharpening s{10, c.amount, c.threshold, 0};
            Picture p = src;
            ASSERT_EQ(Sharpen(p, s), UCF_OK);
            EXPECT_TRUE(p.SameRows(NaiveUsm(src, s))) << c.amount << " " << c.threshold << " fmt " << format;
        }
}

TEST(UnsharpMask, FlatPicturesStayFlatToTheirEdges)
{
    for (auto [format, bpp] : {std::pair{8, 4}, std::pair{1, 1}, std::pair{64, 6}})
        for (int32_t radius : {3, 9, 15, 22, 30})
            for (int32_t variant : {0, 1}) {
                Picture p(10, 8, format, bpp);
                p.Fill(0x9C);
                const Picture before = p;
                ASSERT_EQ(Sharpen(p, {radius, 500, 0, variant}), UCF_OK);
                EXPECT_TRUE(p.SameRows(before)) << format << " r" << radius;
            }
}

TEST(UnsharpMask, PicturesShorterThanTheWindowAreSafe)
{
    for (int32_t rows : {1, 2, 3})
        for (int32_t lines : {0, 1, 2}) {
            Picture src(6, rows);
            src.Randomise(static_cast<uint32_t>(rows));
            const Sharpening s{30, 250, 0, 0};
            const Picture expected = NaiveUsm(src, s);
            Picture p = src;
            ASSERT_EQ(Sharpen(p, s, nullptr, lines), UCF_OK) << rows << " rows, lines " << lines;
            EXPECT_TRUE(p.SameRows(expected)) << rows << " rows, lines " << lines;
        }
}

// Inverts the packed rows it is handed, padding included.
class RowInverter : public UCFilter
{
public:
    RowInverter() : UCFilter(nullptr) {}
    void ProcessRowInline(uint8_t* row, int32_t width) override
    {
        for (int32_t i = 0; i < 3 * width; ++i)
            row[i] = static_cast<uint8_t>(~row[i]);
        ++rows;
        widths.push_back(width);
    }
    int32_t rows = 0;
    std::vector<int32_t> widths;
};

TEST(UnsharpMask, AChainedFilterCorrectsEachRowOnceBeforeSharpening)
{
    Picture src(14, 11);
    src.Randomise(12);
    const Sharpening s{24, 160, 2, 0};
    Picture inverted = src;
    for (int32_t y = 0; y < 11; ++y)
        for (int32_t x = 0; x < 14; ++x)
            for (int32_t c = 0; c < 3; ++c)
                inverted.At(x, y)[c] = static_cast<uint8_t>(~inverted.At(x, y)[c]);
    const Picture expected = NaiveUsm(inverted, s);

    for (int32_t lines : {0, 3}) {
        Picture dst(14, 11);
        ImageDescriptor a = src.Describe(), b = dst.Describe();
        const auto block = s.Block();
        UtilFilter filter(&a, &b, UCF_ID_USM, sizeof(block), block.data());
        auto* usm = dynamic_cast<UCF_USM*>(filter.GetContext()->filter.get());
        ASSERT_NE(usm, nullptr);
        RowInverter inverter;
        usm->SetChainedFilter(&inverter);
        ASSERT_EQ(filter.Execute(nullptr, 3, lines), UCF_OK);
        for (int32_t y = 0; y < 11; ++y)
            for (int32_t x = 0; x < 14; ++x)
                ASSERT_EQ(0, std::memcmp(dst.At(x, y), expected.At(x, y), 3)) << x << "," << y;
        EXPECT_EQ(inverter.rows, 11) << "each source row once";
        EXPECT_EQ(inverter.widths.front(), 14 + 2 * 4) << "padded by the half width";
    }
}

TEST(UnsharpMask, RefusesBlocksOfAnotherSize)
{
    Picture p(4, 4);
    const int32_t block[5] = {10, 100, 0, 0, 0};
    for (int32_t size : {0, 12, 20}) {
        ImageDescriptor d = p.Describe();
        UtilFilter filter(&d, nullptr, UCF_ID_USM, size, size ? block : nullptr);
        EXPECT_EQ(filter.GetLastResult(), UCF_ERR_BADPARAM) << size;
    }
}

TEST(UnsharpMask, ReportsProgressPerImageRowAndStops)
{
    Picture p(5, 8);
    p.Randomise(3);
    EventRecorder recorder;
    ASSERT_EQ(Sharpen(p, {10, 100, 0, 0}, nullptr, 3, &recorder), UCF_OK);
    EXPECT_EQ(recorder.percents, (std::vector<int32_t>{12, 25, 37, 50, 62, 75, 87, 100}));
    EXPECT_EQ(recorder.sourceRows, (std::vector<int32_t>{5, 3, 0}));
    EventRecorder stopper;
    stopper.refuseEvent = FE_PROGRESS;
    stopper.refuseAfter = 1;
    EXPECT_EQ(Sharpen(p, {10, 100, 0, 0}, nullptr, 0, &stopper), UCF_ERR_CANCELLED);
    EXPECT_EQ(stopper.Count(FE_PROGRESS), 2);
}

} // namespace
