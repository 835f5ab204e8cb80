// Camera noise reduction: the luminance rule, grey and flat areas, levels,
// strips against a whole run, and short images.
#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"
#include "Filters/UCF_DSCNR.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>

namespace {

struct Triple
{
    int32_t y, ry, by;
};

Triple Convert(int32_t r, int32_t g, int32_t b)
{
    const int32_t y = (38 * r + 76 * g + 14 * b) >> 7;
    return {y, r - y, b - y};
}

int32_t Reduce(Picture& src, Picture* dst, int32_t level, int32_t lines = 0)
{
    const int32_t block[2] = {level, 0};
    return RunFilter(UCF_ID_DSCNR, src, dst, block, 8, nullptr, lines);
}

TEST(Dscnr, LuminanceRuleFollowsAnEdgeOrSmooths)
{
    struct Case
    {
        const char* name;
        std::array<int32_t, 3> above, centre, below;
        int32_t expected;
    } cases[] = {
        // a falls to b and u to w: the edge runs from above-right to below-left
        {"anti-diagonal", {255, 255, 240}, {255, 120, 0}, {240, 0, 0}, 160},
        // b - a + u - w large: above-left, below-right and centre
        {"diagonal", {240, 255, 255}, {0, 120, 255}, {0, 0, 240}, 160},
        // no strong edge: (eight neighbours + 24 x centre) >> 5 = 124, then the blend with 132
        {"smooth", {100, 100, 100}, {100, 132, 100}, {100, 100, 100}, 128},
        {"flat keeps its value", {77, 77, 77}, {77, 77, 77}, {77, 77, 77}, 77},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UCF_DSCNR::SmoothLuminance(c.above.data(), c.centre.data(), c.below.data()), c.expected)
            << c.name;
    for (int32_t y = 0; y < 256; ++y) {
        const int32_t row[3] = {y, y, y};
        ASSERT_EQ(UCF_DSCNR::SmoothLuminance(row, row, row), y);
    }
}

TEST(Dscnr, GreyStaysGreyAtEveryLevel)
{
    for (int32_t level = 1; level <= 3; ++level) {
        Picture p(17, 12);
        p.Randomise(40);
        for (int32_t y = 0; y < 12; ++y)
            for (int32_t x = 0; x < 17; ++x)
                std::memset(p.At(x, y), p.At(x, y)[0], 3);
        ASSERT_EQ(Reduce(p, nullptr, level), UCF_OK);
        for (int32_t y = 0; y < 12; ++y)
            for (int32_t x = 0; x < 17; ++x) {
                ASSERT_EQ(p.At(x, y)[0], p.At(x, y)[1]) << level;
                ASSERT_EQ(p.At(x, y)[1], p.At(x, y)[2]) << level;
            }
    }
}

TEST(Dscnr, FlatAreasKeepTheirLuminanceAndColourAtEveryLevel)
{
    // two flat halves; pixels whose window lies inside one half keep their triple
    const std::array<uint8_t, 3> left = {200, 90, 40}, right = {30, 160, 220}; // B, G, R
    for (int32_t level = 1; level <= 3; ++level) {
        const int32_t half = UCF_DSCNR::HalfOfLevel(level);
        Picture p(30, 9);
        for (int32_t y = 0; y < 9; ++y)
            for (int32_t x = 0; x < 30; ++x)
                std::memcpy(p.At(x, y), x < 15 ? left.data() : right.data(), 3);
        ASSERT_EQ(Reduce(p, nullptr, level), UCF_OK);
        for (const auto& [colour, from, to] :
             {std::tuple{left, 0, 15 - half}, std::tuple{right, 15 + half, 30}}) {
            const Triple t = Convert(colour[2], colour[1], colour[0]);
            uint8_t rgb[3];
            UCF_DSCNR::BackConvert(t.y, t.ry, t.by, rgb);
            for (int32_t y = 0; y < 9; ++y)
                for (int32_t x = from; x < to; ++x) {
                    ASSERT_EQ(p.At(x, y)[2], rgb[0]) << level << " " << x;
                    ASSERT_EQ(p.At(x, y)[1], rgb[1]) << level << " " << x;
                    ASSERT_EQ(p.At(x, y)[0], rgb[2]) << level << " " << x;
                    ASSERT_EQ(Convert(rgb[0], rgb[1], rgb[2]).y, t.y) << level << " " << x;
                }
        }
    }
}

TEST(Dscnr, ColourNoiseIsReduced)
{
    for (int32_t level = 1; level <= 3; ++level) {
        Picture p(20, 20);
        std::mt19937 rng(41);
        for (int32_t y = 0; y < 20; ++y)
            for (int32_t x = 0; x < 20; ++x) {
                p.At(x, y)[0] = static_cast<uint8_t>(100 + rng() % 13);
                p.At(x, y)[1] = 110;
                p.At(x, y)[2] = static_cast<uint8_t>(120 + rng() % 13);
            }
        const Picture original = p;
        ASSERT_EQ(Reduce(p, nullptr, level), UCF_OK);
        const auto spread = [](const Picture& q) {
            int32_t lo = 255, hi = 0;
            for (int32_t y = 4; y < 16; ++y)
                for (int32_t x = 4; x < 16; ++x) {
                    const int32_t ry = Convert(q.At(x, y)[2], q.At(x, y)[1], q.At(x, y)[0]).ry;
                    lo = std::min(lo, ry);
                    hi = std::max(hi, ry);
                }
            return hi - lo;
        };
        EXPECT_LT(spread(p), spread(original) / 2) << level;
    }
}

TEST(Dscnr, LevelsOutsideOneToThreeConstructButAreRefusedAtApply)
{
    for (int32_t level : {0, 4, -1}) {
        Picture p(4, 4);
        ImageDescriptor s = p.Describe();
        const int32_t block[2] = {level, 0};
        UtilFilter filter(&s, nullptr, UCF_ID_DSCNR, 8, block);
        ASSERT_EQ(filter.GetLastResult(), UCF_OK) << level;
        EXPECT_EQ(filter.GetContext()->info.overlap, -1) << level;
        EXPECT_EQ(filter.Execute(nullptr, 3, 0), UCF_ERR_BADPARAM) << level;
    }
    for (int32_t level = 1; level <= 3; ++level) {
        Picture p(4, 4);
        ImageDescriptor s = p.Describe();
        const int32_t block[2] = {level, 0};
        UtilFilter filter(&s, nullptr, UCF_ID_DSCNR, 8, block);
        EXPECT_EQ(filter.GetContext()->info.overlap, UCF_DSCNR::HalfOfLevel(level));
    }
    Picture p(4, 4);
    const int32_t shortBlock[1] = {1};
    EXPECT_EQ(RunFilter(UCF_ID_DSCNR, p, nullptr, shortBlock, 4), UCF_ERR_BADPARAM);
    const int32_t longBlock[3] = {1, 0, 0};
    EXPECT_EQ(RunFilter(UCF_ID_DSCNR, p, nullptr, longBlock, 12), UCF_ERR_BADPARAM);
}

TEST(Dscnr, StripsAndInPlaceEqualAWholeRun)
{
    const struct
    {
        int32_t format, bytesPerPixel;
    } formats[] = {{8, 4}, {4, 3}, {16, 4}, {1, 1}};
    for (const auto& f : formats)
        for (int32_t level = 1; level <= 3; ++level) {
            Picture src(19, 23, f.format, f.bytesPerPixel, 2);
            src.Randomise(42);
            Picture whole(19, 23, f.format, f.bytesPerPixel, 2);
            whole.Fill(0x5A);
            ASSERT_EQ(Reduce(src, &whole, level), UCF_OK);
            if (f.format == 8) {
                for (int32_t y = 0; y < 23; ++y)
                    for (int32_t x = 0; x < 19; ++x)
                        ASSERT_EQ(whole.At(x, y)[3], 0x5A); // alpha not written
            }
            Picture inPlace = src;
            ASSERT_EQ(Reduce(inPlace, nullptr, level), UCF_OK);
            Picture copy = src;
            ASSERT_EQ(Reduce(src, &copy, level), UCF_OK);
            EXPECT_TRUE(inPlace.SameRows(copy)) << f.format << " level " << level;
            for (int32_t lines : {1, 2, 5, 22}) {
                Picture cut(19, 23, f.format, f.bytesPerPixel, 2);
                cut.Fill(0x5A);
                ASSERT_EQ(Reduce(src, &cut, level, lines), UCF_OK);
                EXPECT_TRUE(cut.SameRows(whole)) << f.format << " level " << level << " lines " << lines;
                Picture cutInPlace = src;
                ASSERT_EQ(Reduce(cutInPlace, nullptr, level, lines), UCF_OK);
                EXPECT_TRUE(cutInPlace.SameRows(copy))
                    << f.format << " level " << level << " lines " << lines;
            }
        }
}

TEST(Dscnr, ClientFedStripsEqualAWholeRun)
{
    for (int32_t level = 1; level <= 3; ++level) {
        Picture src(11, 20);
        src.Randomise(43);
        Picture whole(11, 20);
        ASSERT_EQ(Reduce(src, &whole, level), UCF_OK);
        Picture dst(11, 20);
        ImageDescriptor s = src.Describe();
        ImageDescriptor d = dst.Describe();
        const int32_t block[2] = {level, 0};
        UtilFilter filter(&s, &d, UCF_ID_DSCNR, 8, block);
        int32_t overlap = -1, total = 0;
        ASSERT_EQ(filter.BeginApply(&overlap, &total), UCF_OK);
        ASSERT_EQ(overlap, UCF_DSCNR::HalfOfLevel(level));
        int32_t sourceRow = 0, outputRow = 0;
        while (outputRow < total) {
            int32_t out = std::min(6, total - outputRow);
            const int32_t in = std::min(outputRow == 0 ? out + overlap : out, total - sourceRow);
            if (sourceRow + in == total)
                out = total - outputRow;
            ImageDescriptor a = s, b = d;
            a.pixels = src.At(0, sourceRow);
            a.regionHeight = in;
            b.pixels = dst.At(0, outputRow);
            b.regionHeight = out;
            ASSERT_EQ(filter.ApplyStrip(&a, &b, nullptr), UCF_OK) << level;
            sourceRow += in;
            outputRow += out;
        }
        ASSERT_EQ(filter.EndApply(), UCF_OK);
        EXPECT_TRUE(dst.SameRows(whole)) << level;
    }
}

TEST(Dscnr, ImagesShorterThanTheWindowAreSafe)
{
    for (int32_t level = 1; level <= 3; ++level)
        for (int32_t rows = 1; rows <= 3; ++rows)
            for (int32_t width : {1, 2, 5}) {
                Picture src(width, rows);
                src.Randomise(44);
                Picture whole(width, rows);
                ASSERT_EQ(Reduce(src, &whole, level), UCF_OK) << level << " " << rows;
                Picture cut(width, rows);
                ASSERT_EQ(Reduce(src, &cut, level, 1), UCF_OK) << level << " " << rows;
                EXPECT_TRUE(cut.SameRows(whole));
                // one pixel: its window is itself, so it keeps its triple
                if (width == 1 && rows == 1) {
                    const Triple t = Convert(src.At(0, 0)[2], src.At(0, 0)[1], src.At(0, 0)[0]);
                    uint8_t rgb[3];
                    UCF_DSCNR::BackConvert(t.y, t.ry, t.by, rgb);
                    EXPECT_EQ(whole.At(0, 0)[2], rgb[0]);
                    EXPECT_EQ(whole.At(0, 0)[1], rgb[1]);
                    EXPECT_EQ(whole.At(0, 0)[0], rgb[2]);
                }
            }
}

TEST(Dscnr, DestinationsOfAnotherSizeOrFormatAreRefused)
{
    const struct
    {
        int32_t width, height, format, bytesPerPixel, expected;
    } cases[] = {
        {5, 5, 8, 4, UCF_ERR_GEOMETRY},
        {11, 10, 8, 4, UCF_ERR_GEOMETRY},
        {10, 10, 4, 3, UCF_ERR_FORMATMISMATCH},
    };
    for (const auto& c : cases) {
        Picture src(10, 10), dst(c.width, c.height, c.format, c.bytesPerPixel);
        src.Randomise(45);
        dst.Fill(0x42);
        const Picture before = dst;
        EXPECT_EQ(Reduce(src, &dst, 1), c.expected) << c.width << "x" << c.height;
        EXPECT_TRUE(dst.SameRows(before));
    }
}

} // namespace
