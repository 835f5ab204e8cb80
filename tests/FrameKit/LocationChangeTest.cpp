#include "FrameKit/LocationChange.h"
#include "FrameKit/PackageErrorCode.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int32_t kNoMargins[4] = {0, 0, 0, 0};

LocationChange Hagaki(bool roll = false)
{
    return LocationChange(nullptr, nullptr, 2097, 1417, 360.0, kNoMargins, roll);
}

TEST(FrameLocationChange, FreshObjectKeepsLayoutUnits)
{
    LocationChange lc = Hagaki();
    const std::int32_t in[2] = {100, 200};
    for (int t : {0, 1}) {
        std::int32_t out[2];
        lc.ConvertPoint(t, in, out);
        EXPECT_EQ(out[0], 100);
        EXPECT_EQ(out[1], 200);
        ZavConversion r;
        lc.GetConversion(t, &r);
        EXPECT_EQ(r.kind, 3);
        EXPECT_EQ(r.width, 2097);
        EXPECT_EQ(r.height, 1417);
    }
    EXPECT_EQ(lc.RecordIndex(0), 0);
    EXPECT_EQ(lc.RecordIndex(7), 1);
}

TEST(FrameLocationChange, KindsAndPoints)
{
    LocationChange lc = Hagaki();
    ZavConversion p;
    p.kind = 0;
    p.resolution = 720.0;
    ASSERT_TRUE(lc.Accepts(p));
    lc.SetConversion(1, p);
    ZavConversion r;
    lc.GetConversion(1, &r);
    EXPECT_EQ(r.scale, 2.0);
    EXPECT_EQ(r.width, 4194);
    EXPECT_EQ(r.height, 2834);
    lc.GetConversion(0, &r); // target 0 untouched
    EXPECT_EQ(r.scale, 1.0);

    p = ZavConversion();
    p.kind = 2;
    p.width = 1000;
    p.height = 700;
    lc.SetConversion(0, p);
    const std::int32_t in[2] = {1417, 2097};
    std::int32_t out[2];
    lc.ConvertPoint(0, in, out);
    EXPECT_EQ(out[0], 700);
    EXPECT_EQ(out[1], 1000);

    p = ZavConversion();
    p.rotated = 1;
    p.originX = 5;
    p.originY = 7;
    lc.SetConversion(0, p);
    const std::int32_t zero[2] = {0, 0};
    lc.ConvertPoint(0, zero, out);
    EXPECT_EQ(out[0], 5);
    EXPECT_EQ(out[1], 1417 + 7);
    const std::int32_t rect[4] = {0, 0, 100, 50};
    std::int32_t converted[4];
    lc.ConvertRect(0, rect, converted); // ordered after the turn
    EXPECT_EQ(converted[0], 5);
    EXPECT_EQ(converted[1], 1317 + 7);
    EXPECT_EQ(converted[2], 55);
    EXPECT_EQ(converted[3], 1424);
}

TEST(FrameLocationChange, LengthsAndCodes)
{
    LocationChange lc = Hagaki();
    struct Case
    {
        double scale;
        std::int32_t in, out;
    } cases[] = {{0.3, 1, 1}, {0.5, 5, 3}, {2.0, 3, 6}, {0.1, 2, 1}};
    for (const Case& c : cases) {
        ZavConversion p;
        p.kind = 1;
        p.scale = c.scale;
        lc.SetConversion(1, p);
        std::int32_t out = 0;
        lc.ConvertLength(1, c.in, &out);
        EXPECT_EQ(out, c.out) << c.scale << " " << c.in;
    }
    ZavConversion rotated;
    rotated.rotated = 1;
    lc.SetConversion(1, rotated);
    for (std::uint8_t first = 0; first < 4; ++first)
        for (std::uint8_t anchor = 0; anchor < 9; ++anchor) {
            const std::uint8_t in[3] = {first, 2, anchor};
            std::uint8_t there[3], back[3];
            lc.ConvertCodes(1, in, there);
            lc.RevertCodes(1, there, back);
            EXPECT_EQ(there[1], 2);
            EXPECT_EQ(back[0], first);
            EXPECT_EQ(back[2], anchor);
        }
    const std::uint8_t in[3] = {0, 1, 0};
    std::uint8_t out[3];
    lc.ConvertCodes(1, in, out);
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[2], 2);
    lc.ConvertCodes(0, in, out); // target 0 is not rotated
    EXPECT_EQ(out[0], 0);
}

TEST(FrameLocationChange, RefusesWhatCannotBeComputed)
{
    LocationChange rollNoOpenHeight(nullptr, nullptr, 0, 1417, 360.0, kNoMargins, false);
    LocationChange rollOpenHeight(nullptr, nullptr, 0, 1417, 360.0, kNoMargins, true);
    ZavConversion size;
    size.kind = 2;
    size.width = 1000;
    size.height = 700;
    EXPECT_FALSE(rollNoOpenHeight.Accepts(size));
    EXPECT_TRUE(rollOpenHeight.Accepts(size));
    LocationChange lc = Hagaki();
    ZavConversion p;
    p.kind = 1;
    p.scale = 2e6; // width past 32 bits
    EXPECT_FALSE(lc.Accepts(p));
    p.scale = 0.0;
    EXPECT_FALSE(lc.Accepts(p));
    p.kind = 0;
    p.resolution = -1.0;
    EXPECT_FALSE(lc.Accepts(p));
    p.kind = 4;
    EXPECT_FALSE(lc.Accepts(p));
    p.kind = 3;
    p.rotated = 2;
    EXPECT_FALSE(lc.Accepts(p));
    size.width = 0;
    EXPECT_FALSE(lc.Accepts(size));
}

} // namespace
