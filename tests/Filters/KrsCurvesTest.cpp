#include "Filters/KrsCurves.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

TEST(KrsCurveFit, PointsOnTheDiagonalGiveTheIdentity)
{
    const struct
    {
        std::vector<int32_t> x;
    } cases[] = {{{0, 192, 255}}, {{0, 64, 128, 192, 255}}, {{0, 100, 255}}, {{0, 17, 64, 255}}};
    for (const auto& c : cases) {
        KrsCurve curve;
        ASSERT_TRUE(curve.Fit(c.x.data(), c.x.data(), static_cast<int32_t>(c.x.size())));
        for (int32_t v = 0; v < 256; ++v)
            ASSERT_EQ(curve.Value(v), v) << "points " << c.x.size() << " at " << v;
    }
}

TEST(KrsCurveFit, ThreeFallingPointsGiveAFallingCurve)
{
    const int32_t x[] = {0, 128, 255};
    const int32_t y[] = {255, 128, 0};
    KrsCurve curve;
    ASSERT_TRUE(curve.Fit(x, y, 3));
    EXPECT_EQ(curve.Value(0), 255);
    EXPECT_EQ(curve.Value(128), 128);
    EXPECT_EQ(curve.Value(255), 0);
    EXPECT_EQ(curve.m[1], -30) << "the slope term of the middle point, truncated";
    for (int32_t v = 1; v < 256; ++v)
        EXPECT_LE(curve.Value(v), curve.Value(v - 1)) << v;
}

TEST(KrsCurveFit, AnSCurveBendsBothWaysAndKeepsItsEnds)
{
    const int32_t x[] = {0, 64, 192, 255};
    const int32_t y[] = {0, 54, 202, 255};
    uint8_t curve[256];
    std::iota(curve, curve + 256, 0);
    ApplyFittedCurve(x, y, 4, curve);
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[64], 54);
    EXPECT_EQ(curve[192], 202);
    EXPECT_EQ(curve[255], 254) << "53000000 / 63 truncates: the fit lands just below its last point";
    EXPECT_LT(curve[40], 40);
    EXPECT_GT(curve[220], 220);
}

TEST(KrsCurveFit, RefusesTooFewOrTooManyPointsAndSurvivesHostileOnes)
{
    const int32_t x[] = {0, 255, 255, 255, 255, 255};
    const int32_t y[] = {2147483647, -2147483647 - 1, 2147483647, 0, 5, 6};
    KrsCurve curve;
    EXPECT_FALSE(curve.Fit(x, y, 2));
    EXPECT_FALSE(curve.Fit(x, y, 6));
    EXPECT_TRUE(curve.Fit(x, y, 5)) << "repeated x: no division by zero";
    uint8_t table[256];
    std::iota(table, table + 256, 0);
    ApplyFittedCurve(x, y, 5, table); // values clamp into the byte
    EXPECT_EQ(table[0], 255);
}

TEST(KrsPrimeLog, FactorsIntoTheTableOfPrimes)
{
    const struct
    {
        int64_t n;
        int32_t value;
    } cases[] = {{1, 0},        {2, 3466},   {3, 5493},   {255, 27706}, {510, 31172},    {509, 31162},
                 {1024, 34660}, {29, 16836}, {58, 20302}, {521, 0},     {2 * 521, 3466}, {0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(KrsPrimeLog(c.n), c.value) << c.n;
}

TEST(KrsPowerTable, RaisesLevelsToTheTargetOverAHundred)
{
    uint8_t table[256];
    BuildKrsPowerTable(0, table);
    EXPECT_EQ(table[0], 0);
    for (int32_t x = 1; x < 256; ++x)
        ASSERT_EQ(table[x], 255) << x;

    BuildKrsPowerTable(200, table); // squares: 255 (x / 255)^2
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[255], 255);
    for (int32_t x : {32, 64, 128, 200})
        EXPECT_NEAR(table[x], 255.0 * (x / 255.0) * (x / 255.0), 2.0) << x;
    for (int32_t x = 1; x < 256; ++x)
        ASSERT_GE(table[x], table[x - 1]) << x;

    BuildKrsPowerTable(50, table);
    EXPECT_NEAR(table[64], 127.7, 2.0);
    for (int32_t target : {-2147483647 - 1, -1, 1000, 5000, 2147483647}) {
        BuildKrsPowerTable(target, table); // clamped to 0..1000: ends, never wraps
        for (int32_t x = 1; x < 256; ++x)
            ASSERT_GE(table[x], table[x - 1]) << target << " at " << x;
    }
}

} // namespace
