#include "FilterTestSupport.h"
#include "Filters/CubicTable.h"
#include "Filters/FilterRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int32_t Resize(Picture& src, Picture& dst, int32_t mode, EventRecorder* recorder = nullptr)
{
    const int32_t block[2] = {mode, 0};
    return RunFilter(UCF_ID_RESIZE, src, &dst, block, sizeof(block), recorder);
}

// The three kernels written plainly from their formulas, for 8-bit BGRA.
Picture NaiveResize(const Picture& s, Picture d, int32_t mode)
{
    const int64_t ws = s.width, hs = s.height, wd = d.width, hd = d.height;
    auto at = [&](int64_t x, int64_t y, int c) {
        return int64_t{s.At(static_cast<int32_t>(x), static_cast<int32_t>(y))[c]};
    };
    for (int64_t j = 0; j < hd; ++j)
        for (int64_t i = 0; i < wd; ++i)
            for (int c = 0; c < 3; ++c) {
                int64_t v = 0;
                if (mode == 0) {
                    const int64_t y = j * (hs * 1024 / hd), x = i * (ws * 1024 / wd);
                    const int64_t r = y >> 10, col = x >> 10, fy = y & 1023, fx = x & 1023;
                    const int64_t right = std::min(col + 1, ws - 1), below = std::min(r + 1, hs - 1);
                    v = ((at(right, below, c) * fx * fy + at(col, below, c) * (1024 - fx) * fy) >> 20) +
                        ((at(col, r, c) * (1024 - fx) * (1024 - fy) + at(right, r, c) * fx * (1024 - fy)) >>
                         20);
                } else if (mode == 1) {
                    const int64_t x = i * (ws - 1) / (wd - 1), px = (i * (ws - 1) * 64 / (wd - 1)) % 64;
                    const int64_t y = j * (hs - 1) / (hd - 1), py = (j * (hs - 1) * 64 / (hd - 1)) % 64;
                    int64_t sum = 0;
                    for (int a = 0; a < 4; ++a) {
                        int64_t column = 0;
                        for (int b = 0; b < 4; ++b)
                            column += kCubicTable[py][b] * at(std::clamp<int64_t>(x - 1 + a, 0, ws - 1),
                                                              std::clamp<int64_t>(y - 1 + b, 0, hs - 1), c);
                        sum += kCubicTable[px][a] * column;
                    }
                    v = std::clamp<int64_t>((sum + 0x80000) >> 20, 0, 255);
                } else {
                    const int64_t xstep = ws * 1024 / wd, ystep = hs * 1024 / hd;
                    const int64_t y0 = (j * ystep) >> 10;
                    const int64_t rows = j + 1 == hd ? hs / hd : ((j * ystep + ystep) >> 10) - y0;
                    const int64_t x0 = i == 0 ? 0 : ((i - 1) * xstep + xstep) >> 10;
                    const int64_t cols = i + 1 == wd ? ws / wd : ((i * xstep + xstep) >> 10) - x0;
                    int64_t sum = 0;
                    for (int64_t b = 0; b < rows; ++b)
                        for (int64_t a = 0; a < cols; ++a)
                            sum += at(x0 + a, y0 + b, c);
                    v = sum / (rows * cols);
                }
                d.At(static_cast<int32_t>(i), static_cast<int32_t>(j))[c] = static_cast<uint8_t>(v);
            }
    return d;
}

TEST(Resize, AreaAverageHalvesTheFourByFourExample)
{
    const uint8_t rows[4][4] = {{0, 0, 4, 4}, {0, 0, 4, 4}, {8, 8, 12, 12}, {8, 8, 12, 12}};
    Picture src(4, 4, 1, 1), dst(2, 2, 1, 1);
    for (int32_t y = 0; y < 4; ++y)
        std::memcpy(src.At(0, y), rows[y], 4);
    ASSERT_EQ(Resize(src, dst, 2), UCF_OK);
    EXPECT_EQ(dst.At(0, 0)[0], 0);
    EXPECT_EQ(dst.At(1, 0)[0], 4);
    EXPECT_EQ(dst.At(0, 1)[0], 8);
    EXPECT_EQ(dst.At(1, 1)[0], 12);
}

TEST(Resize, EveryModeMatchesItsFormulaAndKeepsAlpha)
{
    const int32_t sizes[][4] = {{7, 5, 3, 2}, {9, 9, 9, 9},   {5, 3, 11, 8}, {1, 1, 4, 3},
                                {2, 1, 5, 2}, {13, 17, 6, 5}, {40, 3, 7, 3}, {3, 40, 2, 9}};
    uint32_t seed = 10;
    for (const auto& z : sizes)
        for (int32_t mode : {0, 1, 2}) {
            Picture src(z[0], z[1]);
            src.Randomise(seed++);
            Picture dst(z[2], z[3]);
            dst.Randomise(seed++);
            const Picture before = dst;
            const bool enlarges = z[2] > z[0] || z[3] > z[1];
            if (mode == 2 && enlarges) {
                EXPECT_EQ(Resize(src, dst, mode), UCF_ERR_UNSUPPORTED);
                EXPECT_TRUE(dst.SameRows(before)) << "nothing written";
                continue;
            }
            ASSERT_EQ(Resize(src, dst, mode), UCF_OK) << z[0] << "x" << z[1] << " mode " << mode;
            const Picture expected = NaiveResize(src, before, mode);
            EXPECT_TRUE(dst.SameRows(expected))
                << z[0] << "x" << z[1] << " -> " << z[2] << "x" << z[3] << " mode " << mode;
        }
}

TEST(Resize, SameSizeBilinearCopiesAndBicubicHitsTheEndsExactly)
{
    Picture src(6, 4);
    src.Randomise(5);
    Picture same(6, 4);
    ASSERT_EQ(Resize(src, same, 0), UCF_OK);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(0, std::memcmp(same.At(x, y), src.At(x, y), 3));
    Picture big(17, 11);
    ASSERT_EQ(Resize(src, big, 1), UCF_OK);
    const int32_t corners[][4] = {{0, 0, 0, 0}, {16, 0, 5, 0}, {0, 10, 0, 3}, {16, 10, 5, 3}};
    for (const auto& c : corners)
        EXPECT_EQ(0, std::memcmp(big.At(c[0], c[1]), src.At(c[2], c[3]), 3)) << c[0] << "," << c[1];
}

// 8001 columns: i * (width - 1) * 64 passes 2^31 long before the last column.
TEST(Resize, WideBicubicComputesItsColumnsIn64Bits)
{
    Picture src(8001, 2, 32, 2);
    for (int32_t x = 0; x < 8001; ++x)
        for (int32_t y = 0; y < 2; ++y) {
            const uint16_t v = static_cast<uint16_t>(x * 8);
            std::memcpy(src.At(x, y), &v, 2);
        }
    Picture dst(8001, 2, 32, 2);
    ASSERT_EQ(Resize(src, dst, 1), UCF_OK);
    for (int32_t x : {0, 1, 4000, 7999, 8000}) {
        uint16_t v;
        std::memcpy(&v, dst.At(x, 1), 2);
        EXPECT_EQ(v, x * 8) << x;
    }
    Picture narrow(4000, 2, 32, 2);
    ASSERT_EQ(Resize(src, narrow, 0), UCF_OK);
    uint16_t last;
    std::memcpy(&last, narrow.At(3999, 0), 2);
    EXPECT_EQ(last,
              (3999 * (8001 * 1024 / 4000) >> 10) * 8 + 8 * ((3999 * (8001 * 1024 / 4000)) & 1023) / 1024);
}

// Bilinear on four-byte pixels, written plainly; colour bytes are those other
// than alpha, which keeps the destination's value.
Picture NaiveBilinear4(const Picture& s, Picture d, int32_t alpha)
{
    const int64_t ws = s.width, hs = s.height, wd = d.width, hd = d.height;
    const int64_t xstep = ws * 1024 / wd, ystep = hs * 1024 / hd;
    for (int64_t j = 0; j < hd; ++j)
        for (int64_t i = 0; i < wd; ++i) {
            const int64_t y = j * ystep, x = i * xstep;
            const int64_t r = std::min(y >> 10, hs - 1), col = std::min(x >> 10, ws - 1);
            const int64_t fy = y & 1023, fx = x & 1023;
            const int64_t right = std::min(col + 1, ws - 1), below = std::min(r + 1, hs - 1);
            auto at = [&](int64_t cx, int64_t cy, int c) {
                return int64_t{s.At(static_cast<int32_t>(cx), static_cast<int32_t>(cy))[c]};
            };
            for (int c = 0; c < 4; ++c) {
                if (c == alpha)
                    continue;
                const int64_t v =
                    ((at(right, below, c) * fx * fy + at(col, below, c) * (1024 - fx) * fy) >> 20) +
                    ((at(col, r, c) * (1024 - fx) * (1024 - fy) + at(right, r, c) * fx * (1024 - fy)) >> 20);
                d.At(static_cast<int32_t>(i), static_cast<int32_t>(j))[c] = static_cast<uint8_t>(v);
            }
        }
    return d;
}

// Widths and scales on both sides of any vector block or source window: rows
// narrower than a block, shrinks by up to twenty, enlargements, padded rows,
// and alpha first or last.
TEST(Resize, BilinearFourBytePixelsMatchTheFormulaAtEveryScale)
{
    struct Case
    {
        int32_t sw, sh, dw, dh, format, padding;
    };
    const Case cases[] = {
        {526, 37, 262, 18, 8, 0},  {526, 37, 262, 18, 16, 12}, {300, 9, 299, 5, 8, 4},
        {64, 4, 64, 4, 8, 0},      {33, 3, 200, 7, 8, 0},      {1000, 5, 180, 3, 8, 0},
        {1000, 4, 170, 3, 16, 0},  {2000, 3, 97, 2, 8, 0},     {47, 6, 31, 4, 8, 0},
        {31, 5, 40, 3, 16, 8},     {257, 3, 129, 2, 8, 0},     {4209, 3, 2097, 2, 8, 0},
        {4209, 7, 2097, 3, 16, 4}, {90, 2, 1, 1, 8, 0},        {128, 2, 16, 3, 8, 0},
    };
    uint32_t seed = 40;
    for (const Case& c : cases) {
        Picture src(c.sw, c.sh, c.format, 4, c.padding);
        src.Randomise(seed++);
        Picture dst(c.dw, c.dh, c.format, 4, c.padding);
        dst.Randomise(seed++);
        const Picture expected = NaiveBilinear4(src, dst, c.format == 16 ? 0 : 3);
        ASSERT_EQ(Resize(src, dst, 0), UCF_OK);
        EXPECT_TRUE(dst.SameRows(expected))
            << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh << " format " << c.format;
    }
}

TEST(Resize, DegenerateSizesAreRefused)
{
    struct Case
    {
        int32_t sw, sh, dw, dh, mode, expected;
    };
    const Case cases[] = {
        {0, 4, 2, 2, 0, UCF_ERR_GEOMETRY}, {4, 0, 2, 2, 1, UCF_ERR_GEOMETRY},
        {4, 4, 0, 2, 2, UCF_ERR_GEOMETRY}, {4, 4, 2, 0, 0, UCF_ERR_GEOMETRY},
        {4, 4, 1, 3, 1, UCF_ERR_GEOMETRY}, {4, 4, 3, 1, 1, UCF_ERR_GEOMETRY},
        {4, 4, 1, 1, 0, UCF_OK},           {4, 4, 1, 1, 2, UCF_OK},
        {1, 1, 2, 2, 1, UCF_OK},           {3, 1, 5, 2, 1, UCF_OK},
        {2, 2, 7, 7, 1, UCF_OK},           {4, 4, 2, 2, 3, UCF_ERR_BADPARAM},
    };
    for (const Case& c : cases) {
        Picture src(c.sw, c.sh), dst(c.dw, c.dh);
        src.Randomise(7);
        EXPECT_EQ(Resize(src, dst, c.mode), c.expected)
            << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh << " mode " << c.mode;
    }
    Picture src(4, 4), dst(2, 2);
    const int32_t shortBlock = 0;
    EXPECT_EQ(RunFilter(UCF_ID_RESIZE, src, &dst, &shortBlock, 4), UCF_ERR_BADPARAM);
}

} // namespace
