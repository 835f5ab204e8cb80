#include "Core/PictureLimits.h"

#include <gtest/gtest.h>

namespace {

TEST(PictureLimitsTest, SidesAndAspectAtTheirBounds)
{
    EXPECT_FALSE(IsPictureTooLarge(4095, 4095));
    EXPECT_TRUE(IsPictureTooLarge(4096, 160));
    EXPECT_TRUE(IsPictureTooLarge(160, 4096));
    EXPECT_FALSE(IsPictureTooSmall(160, 160));
    EXPECT_TRUE(IsPictureTooSmall(159, 4095));
    EXPECT_TRUE(IsPictureTooSmall(4095, 159));
    // The longer side over the shorter, rounded up.
    EXPECT_FALSE(IsPictureTooLong(4000, 50));
    EXPECT_TRUE(IsPictureTooLong(4001, 50));
    EXPECT_TRUE(IsPictureTooLong(50, 4001));
    EXPECT_FALSE(IsPictureTooLong(1, 80));
    EXPECT_TRUE(IsPictureTooLong(10, 1000, 99.0));
    EXPECT_FALSE(IsPictureTooLong(0, 1000));
}

TEST(PictureLimitsTest, TheWorkingSizeAndWhetherItFits)
{
    struct Case
    {
        int w, h;
        int workW, workH;
        bool fits;
    };
    const Case cases[] = {
        {200, 300, 200, 300, true},    // kept
        {100, 50, 320, 160, true},     // enlarged until the smaller side is 160
        {5000, 1000, 4095, 819, true}, // fitted inside 4095
        {5000, 10, 4095, 9, false},    // fitted, then too thin
        {1, 100, 1, 100, false},       // enlarging would pass 4095: kept, too small
        {30, 768, 30, 768, false},     // enlarged it would be 4096 high: kept
        {0, 100, 1, 100, false},       // a collapsed side counts one unit
        {4095, 4095, 4095, 4095, true}, {160, 4095, 160, 4095, true},
    };
    for (const Case& c : cases) {
        const PictureWorkingSize size = CalcPictureWorkingSize(c.w, c.h);
        EXPECT_EQ(size.width, c.workW) << c.w << " x " << c.h;
        EXPECT_EQ(size.height, c.workH) << c.w << " x " << c.h;
        EXPECT_EQ(FitsPictureLimits(c.w, c.h), c.fits) << c.w << " x " << c.h;
    }
    const Rect cover = CoverMinPictureSide(80, 40);
    EXPECT_EQ(cover.Width(), 320);
    EXPECT_EQ(cover.Height(), 160);
}

} // namespace
