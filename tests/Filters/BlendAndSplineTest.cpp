#include "Filters/FilterErrorCode.h"
#include "Filters/UCFilterMerge.h"
#include "Filters/UCSpline.h"

#include <gtest/gtest.h>

namespace {

uint8_t Entry(const UCFilterMerge& m, int a, int b)
{
    return m.Table()[a * 256 + b];
}

TEST(UCFilterMerge, NormalModeFollowsTheOpacity)
{
    for (auto [opacity, expect] :
         {std::pair{100, 50}, std::pair{0, 200}, std::pair{50, (200 * 512 + 50 * 512) >> 10}}) {
        UCFilterMerge m(0, opacity, nullptr);
        ASSERT_TRUE(m.HasTables());
        EXPECT_EQ(Entry(m, 200, 50), expect) << opacity;
    }
}

TEST(UCFilterMerge, ModesAtFullOpacity)
{
    struct Case
    {
        int mode, a, b, expected;
    };
    const Case cases[] = {
        {1, 200, 50, 150},  {2, 255, 0, 255},
        {2, 100, 0, 0},     {2, 200, 100, 114},
        {3, 10, 255, 255},  {3, 100, 155, 255},
        {4, 255, 128, 128}, {5, 9, 7, 7},
        {6, 9, 7, 9},       {9, 128, 128, 192},
        {7, 100, 100, 78},  {10, 200, 200, 231},
        {8, 100, 0, 39},    {8, 100, 200, 100 + (160 - 100) * 73 / 128},
    };
    for (const Case& c : cases) {
        UCFilterMerge m(c.mode, 100, nullptr);
        EXPECT_EQ(Entry(m, c.a, c.b), c.expected) << "mode " << c.mode;
    }
    UCFilterMerge clamped(40, 300, nullptr);
    EXPECT_EQ(clamped.Mode(), 11);
    EXPECT_EQ(clamped.Opacity(), 100);
    EXPECT_EQ(UCFilterMerge::SoftLightCurve(254), 255);
    EXPECT_EQ(UCFilterMerge::SoftLightCurve(255), 255);
    EXPECT_EQ(UCFilterMerge::SoftLightCurve(0), 0);
}

TEST(UCFilterMerge, ColourFillBlendsTowardsTheColourByMask)
{
    const uint8_t red[3] = {255, 0, 0};
    UCFilterMerge m(11, 100, red);
    const uint8_t source[8] = {0, 0, 0, 0, 10, 20, 30, 0}; // R, G, B, pad
    const uint8_t mask[2] = {0, 255};
    uint8_t out[8] = {};
    m.BlendRowWithMask(source, 0, 1, 2, 4, mask, out, 0, 1, 2, 4, 2);
    EXPECT_EQ(out[0], 254);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[4], 10);
    EXPECT_EQ(out[5], 20);
    EXPECT_EQ(out[6], 30);
}

TEST(UCSpline, ThroughThreeDiagonalPointsIsTheIdentity)
{
    const int64_t x[3] = {0, 128, 255}, y[3] = {0, 128, 255};
    UCSpline spline(x, y, 3);
    uint8_t table[256];
    spline.FillTable8(table);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(table[i], i);
}

TEST(UCSpline, UsesTenPointsAtMostAndClampsItsTables)
{
    int64_t x[12], y[12];
    for (int i = 0; i < 12; ++i) {
        x[i] = i * 20;
        y[i] = i < 10 ? 100 : 0; // the last two would pull the curve down
    }
    UCSpline spline(x, y, 12);
    EXPECT_EQ(spline.Count(), 10);
    EXPECT_EQ(spline.Evaluate8(220), 100);
    const int64_t sx[3] = {0, 100, 200}, sy[3] = {0, 300, -50};
    UCSpline wild(sx, sy, 3);
    EXPECT_EQ(wild.Evaluate8(100), 255);
    EXPECT_EQ(wild.Evaluate8(260), 0);
    std::vector<uint16_t> table16(65536);
    wild.FillTable16(table16.data());
    EXPECT_EQ(table16[100], 300);
    EXPECT_EQ(table16[65535], 0);
}

} // namespace
