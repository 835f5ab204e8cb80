#include "Filters/ResizeKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct ColumnMap
{
    std::vector<int32_t> columns, rights, fractions;
};

// The resize filter's own map for a width change.
ColumnMap ScaleMap(int32_t sourceWidth, int32_t width)
{
    ColumnMap m;
    const int64_t step = int64_t{sourceWidth} * 1024 / width;
    for (int64_t i = 0; i < width; ++i) {
        const int64_t x = i * step;
        const int32_t column = static_cast<int32_t>(std::min<int64_t>(x >> 10, sourceWidth - 1));
        m.columns.push_back(column);
        m.rights.push_back(std::min(column + 1, sourceWidth - 1));
        m.fractions.push_back(static_cast<int32_t>(x & 1023));
    }
    return m;
}

// Any columns at all: jumps back and forth, repeats, right neighbours far off.
ColumnMap RandomMap(int32_t sourceWidth, int32_t width, int32_t spread, uint32_t seed)
{
    std::mt19937 rng(seed);
    ColumnMap m;
    int32_t column = 0;
    for (int32_t i = 0; i < width; ++i) {
        column = std::clamp(column + static_cast<int32_t>(rng() % (2 * spread + 1)) - spread / 2, 0,
                            sourceWidth - 1);
        m.columns.push_back(column);
        m.rights.push_back(rng() % 8 ? std::min(column + 1, sourceWidth - 1)
                                     : static_cast<int32_t>(rng() % sourceWidth));
        m.fractions.push_back(static_cast<int32_t>(rng() % 1024));
    }
    return m;
}

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v)
        b = static_cast<uint8_t>(rng());
    return v;
}

// Each vector path against the per-pixel row on the same map and rows. The
// source rows are allocated to their exact width, so the sanitizer sees any
// load past a row's end.
void ExpectSameRows(const ColumnMap& m, int32_t sourceWidth, uint32_t keep, uint32_t seed)
{
    const auto top = RandomBytes(size_t(sourceWidth) * 4, seed);
    const auto bottom = RandomBytes(size_t(sourceWidth) * 4, seed + 1);
    const BilinearRows4 narrow(m.columns, m.rights, m.fractions, sourceWidth, keep, ResizePath::PerPixel);
    EXPECT_EQ(narrow.Path(), ResizePath::PerPixel);
    for (ResizePath path : {ResizePath::Avx2, ResizePath::Vbmi}) {
        if (path > BilinearRows4::Supported())
            continue;
        const BilinearRows4 wide(m.columns, m.rights, m.fractions, sourceWidth, keep, path);
        for (int32_t fy : {0, 1, 300, 512, 1023}) {
            auto expected = RandomBytes(m.columns.size() * 4, seed + 2);
            auto actual = expected;
            narrow.Row(top.data(), bottom.data(), fy, expected.data());
            wide.Row(top.data(), bottom.data(), fy, actual.data());
            ASSERT_EQ(actual, expected)
                << "source " << sourceWidth << " width " << m.columns.size() << " fy " << fy << " keep "
                << std::hex << keep << " path " << static_cast<int>(path);
        }
    }
}

TEST(ResizeKernels, VectorPathsMatchThePerPixelRowOnEveryColumnMap)
{
    if (BilinearRows4::Supported() == ResizePath::PerPixel)
        GTEST_SKIP() << "no vector path on this processor";
    const int32_t scales[][2] = {{4209, 2097}, {4209, 1},   {526, 262},  {300, 299}, {64, 64}, {32, 17},
                                 {33, 200},    {1000, 180}, {1000, 170}, {2000, 97}, {47, 31}, {257, 129},
                                 {100, 400},   {513, 91},   {48, 1000},  {5, 40},    {12, 9}};
    uint32_t seed = 1;
    for (const auto& z : scales)
        for (uint32_t keep : {0xFF000000u, 0x000000FFu, 0x0000FF00u}) {
            seed += 3;
            ExpectSameRows(ScaleMap(z[0], z[1]), z[0], keep, seed);
        }
    for (int32_t spread : {1, 3, 8, 40}) {
        seed += 3;
        ExpectSameRows(RandomMap(700, 333, spread, seed), 700, 0xFF000000u, seed);
    }
    // Without exactly one kept byte every column takes the per-pixel row.
    ExpectSameRows(ScaleMap(526, 262), 526, 0, seed + 3);
    ExpectSameRows(ScaleMap(526, 262), 526, 0xFFFF0000u, seed + 6);
}

// The card-sized shrinks and enlargements take the widest path the processor
// has; the edges alone fall back.
TEST(ResizeKernels, EverydayScalesTakeTheWidestPath)
{
    const ResizePath best = BilinearRows4::Supported();
    if (best == ResizePath::PerPixel)
        GTEST_SKIP() << "no vector path on this processor";
    const int32_t scales[][2] = {{4209, 2097}, {526, 262}, {33, 200}, {1000, 200}};
    for (const auto& z : scales) {
        const ColumnMap m = ScaleMap(z[0], z[1]);
        EXPECT_EQ(BilinearRows4(m.columns, m.rights, m.fractions, z[0], 0xFF000000u).Path(), best)
            << z[0] << " -> " << z[1];
        EXPECT_EQ(BilinearRows4(m.columns, m.rights, m.fractions, z[0], 0xFF000000u, ResizePath::Avx2).Path(),
                  ResizePath::Avx2)
            << z[0] << " -> " << z[1];
    }
    const ColumnMap narrow = ScaleMap(3, 64);
    EXPECT_EQ(BilinearRows4(narrow.columns, narrow.rights, narrow.fractions, 3, 0xFF000000u).Path(),
              ResizePath::PerPixel)
        << "a source narrower than any load";
    const ColumnMap none = ScaleMap(526, 262);
    EXPECT_EQ(BilinearRows4(none.columns, none.rights, none.fractions, 526, 0).Path(), ResizePath::PerPixel)
        << "no alpha byte to keep";
}

} // namespace
