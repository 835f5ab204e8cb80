#include "Core/Geometry.h"
#include "Core/Units.h"
#include "Core/support/GuiApp.h"

#include <gtest/gtest.h>
#include <ostream>

void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

TEST(Units, RoundHalfAwayFromZero)
{
    const std::pair<double, int> cases[] = {{2.5, 3},   {-2.5, -3}, {-0.4, 0},  {0.49999, 0}, {1.5, 2},
                                            {-1.5, -2}, {2.4, 2},   {-2.6, -3}, {0.0, 0}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(RoundHalfAway(value), rounded) << value;
}

TEST(Units, Conversions)
{
    float value = 25.4f;
    ASSERT_TRUE(MMToPixels(360, &value));
    EXPECT_EQ(value, 360.0f);
    value = 1.0f;
    ASSERT_TRUE(MMToPixels(360, &value));
    EXPECT_EQ(value, 14.0f); // 14.17
    value = -1.0f;
    ASSERT_TRUE(MMToPixels(360, &value));
    EXPECT_EQ(value, -14.0f);
    value = 360.0f;
    ASSERT_TRUE(PixelsToMM(360, &value));
    EXPECT_FLOAT_EQ(value, 25.4f);
    value = 180.0f;
    ASSERT_TRUE(PixelsToMM(360, &value));
    EXPECT_FLOAT_EQ(value, 12.7f);

    value = -0.5f;
    ASSERT_TRUE(InchesToPixels(360, &value));
    EXPECT_EQ(value, -180.0f);
    value = 0.0014f;
    ASSERT_TRUE(InchesToPixels(360, &value));
    EXPECT_EQ(value, 1.0f); // 0.504
    value = -0.0014f;
    ASSERT_TRUE(InchesToPixels(360, &value));
    EXPECT_EQ(value, -1.0f);
    value = 90.0f;
    ASSERT_TRUE(PixelsToInches(360, &value));
    EXPECT_FLOAT_EQ(value, 0.25f);

    EXPECT_FALSE(PixelsToMM(360, nullptr));
    EXPECT_FALSE(MMToPixels(360, nullptr));
    EXPECT_FALSE(PixelsToInches(360, nullptr));
    EXPECT_FALSE(InchesToPixels(360, nullptr));
    value = 5.0f;
    EXPECT_FALSE(PixelsToMM(0, &value));
    EXPECT_FALSE(PixelsToInches(0, &value));
    EXPECT_EQ(value, 5.0f);
}

TEST(Geometry, RotateRect90KeepsTheCentre)
{
    EXPECT_EQ(RotateRect90({0, 0, 100, 50}), (Rect{25, -25, 75, 75}));
    EXPECT_EQ(RotateRect90(RotateRect90({10, 20, 110, 60})), (Rect{10, 20, 110, 60}));
}

TEST(Geometry, FitRectInRect)
{
    struct Case
    {
        Rect source;
        bool centre, enlarge;
        Rect fitted;
    };
    const Rect bounds{10, 10, 110, 110};
    const Case cases[] = {
        {{0, 0, 100, 50}, true, true, {10, 35, 110, 85}},
        {{0, 0, 100, 50}, true, false, {10, 35, 110, 85}},
        {{0, 0, 40, 20}, true, false, {40, 50, 80, 70}},
        {{0, 0, 40, 20}, false, false, {10, 10, 50, 30}},
        {{0, 0, 40, 20}, false, true, {10, 10, 110, 60}},
        {{0, 0, 20, 40}, true, true, {35, 10, 85, 110}},
        {{0, 0, 400, 100}, false, false, {10, 10, 110, 35}}, // wider: shrunk to the width
        {{0, 0, 400, 100}, true, false, {10, 47, 110, 72}},
        {{0, 0, 50, 300}, true, false, {52, 10, 68, 110}}, // taller: shrunk to the height
        {{0, 0, 50, 300}, false, false, {10, 10, 26, 110}},
        {{0, 0, 0, 10}, true, true, {60, 10, 60, 110}}, // width 0: no division by it
        {{0, 0, 0, 0}, true, true, {0, 0, 0, 0}},
        {{5, 5, 5, 5}, false, false, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitRectInRect(bounds, c.source, c.centre, c.enlarge), c.fitted)
            << c.source.Width() << "x" << c.source.Height() << " centre " << c.centre << " enlarge "
            << c.enlarge;
    // Bounds of no width: nothing divides by zero.
    EXPECT_EQ(FitRectInRect({0, 0, 0, 0}, {0, 0, 0, 10}, false, false).Width(), 0);
}

TEST(Geometry, ClipRectToBounds)
{
    const Rect bounds{0, 0, 100, 100};
    struct Case
    {
        Rect rect;
        Rect clipped;
    };
    const Case cases[] = {
        {{-50, 10, -10, 20}, {0, 0, 0, 0}},     // wholly left
        {{150, 10, 200, 20}, {0, 0, 0, 0}},     // wholly right
        {{10, -30, 20, -5}, {0, 0, 0, 0}},      // wholly above
        {{10, 120, 20, 130}, {0, 0, 0, 0}},     // wholly below
        {{80, 10, 150, 20}, {80, 10, 100, 20}}, // straddles the right edge
        {{-20, -20, 30, 40}, {0, 0, 30, 40}},
        {{10, 10, 20, 20}, {10, 10, 20, 20}},
        {{-10, -10, 200, 200}, {0, 0, 100, 100}},
        {{50, 50, 50, 60}, {50, 50, 50, 60}}, // no width to begin with: kept
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClipRectToBounds(bounds, c.rect), c.clipped);
}

TEST(Geometry, CalcAspectFitRect)
{
    double scale = 0;
    EXPECT_EQ(CalcAspectFitRect(400, 300, 200, 200, true, &scale), (Rect{0, 25, 200, 175}));
    EXPECT_DOUBLE_EQ(scale, 0.5);
    const Rect cover = CalcAspectFitRect(400, 300, 200, 200, false, &scale);
    EXPECT_EQ(cover, (Rect{33, 0, 300, 200}));
    EXPECT_EQ(cover.Width(), 267);
    EXPECT_NEAR(scale, 2.0 / 3.0, 1e-12);

    // Portrait pictures take the other branch.
    EXPECT_EQ(CalcAspectFitRect(300, 400, 200, 200, true, &scale), (Rect{25, 0, 175, 200}));
    EXPECT_EQ(CalcAspectFitRect(300, 400, 200, 200, false, &scale), (Rect{0, 33, 200, 300}));
    // The scaled side is rounded up: 100 * 160 / 300 = 53.3 becomes 54.
    EXPECT_EQ(CalcAspectFitRect(300, 100, 160, 160, true, nullptr), (Rect{0, 53, 160, 107}));
    EXPECT_EQ(CalcAspectFitRect(100, 100, 160, 160, true, &scale), (Rect{0, 0, 160, 160}));
    EXPECT_DOUBLE_EQ(scale, 1.6);

    EXPECT_EQ(CalcAspectFitRect(0, 300, 200, 200, true, &scale), Rect{});
    EXPECT_EQ(scale, 0.0);
    EXPECT_EQ(CalcAspectFitRect(400, 300, 0, 200, false, &scale), Rect{});
}

TEST(Geometry, AdjustRectToAspect)
{
    struct Case
    {
        Rect rect;
        int aw, ah, mode, anchor;
        Rect adjusted;
    };
    const Case cases[] = {
        {{0, 0, 100, 100}, 2, 1, 0, 3, {0, 50, 100, 100}}, // too tall: the height shrinks
        {{0, 0, 100, 100}, 2, 1, 0, 0, {0, 0, 100, 50}},
        {{0, 0, 100, 100}, 1, 2, 0, 1, {50, 0, 100, 100}}, // too wide: the width shrinks
        {{0, 0, 100, 100}, 1, 2, 0, 2, {0, 0, 50, 100}},
        {{10, 10, 110, 40}, 4, 3, 1, 0, {10, 10, 110, 85}}, // keeps the width
        {{10, 10, 110, 40}, 4, 3, 2, 0, {10, 10, 50, 40}},  // keeps the height
        {{10, 10, 110, 40}, 4, 3, 7, 0, {10, 10, 110, 40}}, // other modes keep the size
        {{0, 0, 100, 100}, 1000, 1, 1, 0, {0, 0, 100, 1}},  // at least 1
        {{0, 0, 100, 100}, 2, 1, 0, 4, {0, 0, 100, 100}},   // unknown anchor
        {{0, 0, 100, 100}, 0, 1, 1, 0, {0, 0, 100, 100}},   // no aspect: no division by zero
    };
    for (const Case& c : cases) {
        Rect rect = c.rect;
        AdjustRectToAspect(rect, c.aw, c.ah, c.mode, c.anchor);
        EXPECT_EQ(rect, c.adjusted) << c.aw << ":" << c.ah << " mode " << c.mode << " anchor " << c.anchor;
    }
}

TEST(Units, ScreenColorDepth)
{
    EnsureGuiApp();
    EXPECT_GT(GetScreenColorDepth(), 8); // the editor refuses to start at 8 bits or fewer
}
