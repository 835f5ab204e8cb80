#include "ImageTestSupport.h"

#include <gtest/gtest.h>

using imagetest::PixelAt;

namespace {
constexpr int kSample = 9000; // the tests' own bitmap and icon
}

TEST(ImageResource, BitmapBecomesA32BitImageAndRemembersItsId)
{
    CImage image;
    ASSERT_TRUE(image.Create(9, 9));
    ASSERT_TRUE(image.CreateMask());
    ASSERT_TRUE(image.LoadBitmapResource(kSample));
    EXPECT_EQ(image.GetResourceId(), kSample);
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.GetBitsPerPixel(), 32);
    EXPECT_FALSE(image.HasMask());
    EXPECT_EQ(PixelAt(image, 0, 1), 0x00FF0000u); // bottom row: red, green, blue
    EXPECT_EQ(PixelAt(image, 2, 1), 0x000000FFu);
    EXPECT_EQ(PixelAt(image, 1, 0), 0x00000000u); // top row: white, black, grey
    EXPECT_EQ(PixelAt(image, 2, 0), 0x00808080u);
    EXPECT_FALSE(image.LoadBitmapResource(1));
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetResourceId(), 0);
}

TEST(ImageResource, IconGivesItsSizeAndDrawsThroughItsTransparency)
{
    CImage icon;
    ASSERT_TRUE(icon.LoadIconResource(kSample));
    EXPECT_TRUE(icon.HasIcon());
    EXPECT_FALSE(icon.IsValid());
    EXPECT_EQ(icon.GetWidth(), 4);
    EXPECT_EQ(icon.GetHeight(), 3);
    SIZE size;
    ASSERT_TRUE(icon.GetIconSize(&size));
    EXPECT_EQ(size.cx, 4);
    CImage canvas;
    ASSERT_TRUE(canvas.Create(8, 8));
    ASSERT_EQ(icon.DrawIconTo(&canvas, 2, 3), 1);
    EXPECT_EQ(PixelAt(canvas, 2, 3) & 0xFFFFFF, 0x00FF0000u);
    EXPECT_EQ(PixelAt(canvas, 3, 5) & 0xFFFFFF, 0x00FF0000u);
    EXPECT_EQ(PixelAt(canvas, 4, 3), 0x00FFFFFFu); // transparent half
    EXPECT_EQ(PixelAt(canvas, 1, 3), 0x00FFFFFFu);
    // Creating releases the icon.
    ASSERT_TRUE(icon.Create(2, 2));
    EXPECT_FALSE(icon.HasIcon());
    EXPECT_FALSE(CImage().LoadIconResource(1));
}

TEST(ImageResource, SharedIconsAreKeptOncePerId)
{
    const CImageIcon* first = LoadSharedIcon(kSample);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LoadSharedIcon(kSample), first);
    EXPECT_EQ(first->GetSize().cy, 3);
    EXPECT_EQ(LoadSharedIcon(2), nullptr);
}

TEST(ImageResource, PaletteImageIsFilledWithItsColourNearestWhite)
{
    const RGBQUAD blackAndWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    CImage image;
    ASSERT_TRUE(image.CreateFromInfo(10, 4, 1, 2, blackAndWhite));
    EXPECT_EQ(PixelAt(image, 9, 3), 0x00FFFFFFu);
    EXPECT_NE(image.GetMask(), nullptr);
    const RGBQUAD dark[1] = {{10, 20, 30, 0}};
    ASSERT_TRUE(image.CreateFromInfo(2, 2, 8, 1, dark));
    EXPECT_EQ(PixelAt(image, 0, 0), 0x001E140Au);
    EXPECT_FALSE(image.CreateFromInfo(2, 2, 7, 0, nullptr));
}
