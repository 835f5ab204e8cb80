#include "ImageTestSupport.h"

#include <gtest/gtest.h>

using imagetest::PixelAt;

TEST(ImageCreate, WhitePixelsWithFourthByteZeroNonNullBitsAndEmptyMaskHolder)
{
    CImage image;
    ASSERT_TRUE(image.Create(7, 3));
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 7);
    EXPECT_EQ(image.GetHeight(), 3);
    EXPECT_EQ(image.GetBitsPerPixel(), 32);
    EXPECT_EQ(image.GetRowBytes(), 28);
    ASSERT_NE(image.GetBits(), nullptr);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(PixelAt(image, x, y), 0x00FFFFFFu);
    ASSERT_NE(image.GetMask(), nullptr);
    EXPECT_FALSE(image.GetMask()->IsValid());
    EXPECT_FALSE(image.HasMask());
}

TEST(ImageCreate, ReleasesBitmapAndMaskItHeld)
{
    CImage image;
    ASSERT_TRUE(image.Create(4, 4));
    ASSERT_TRUE(image.CreateMask());
    image.FillRect(0, 0, 4, 4, RGB(1, 2, 3));
    ASSERT_TRUE(image.HasMask());
    ASSERT_TRUE(image.Create(2, 5));
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetHeight(), 5);
    EXPECT_EQ(PixelAt(image, 1, 4), 0x00FFFFFFu);
    EXPECT_FALSE(image.HasMask());
    EXPECT_FALSE(image.HasIcon());
    EXPECT_EQ(image.GetResourceId(), 0);
}

TEST(ImageCreate, RefusesEmptyOrOverflowingSizesAndIsLeftEmpty)
{
    CImage image;
    ASSERT_TRUE(image.Create(2, 2));
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 3}, {70000, 70000}}) {
        EXPECT_FALSE(image.Create(w, h)) << w << " x " << h;
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(image.GetWidth(), 0);
        EXPECT_EQ(image.GetBits(), nullptr);
        EXPECT_EQ(image.GetDC(), nullptr);
    }
}

TEST(ImageCreate, EmptyImageDrawsNothingAndAnswersZero)
{
    CImage image;
    EXPECT_EQ(image.FillRect(0, 0, 1, 1, 0), 0);
    EXPECT_EQ(image.DrawLine(0, 0, 3, 3, 1, 0, PS_SOLID), 0);
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetRowBytes(), 0);
    EXPECT_EQ(image.GetBits24(), nullptr);
    CImage other;
    EXPECT_EQ(image.BitBltTo(&other, 0, 0, 1, 1, 0, 0, SRCCOPY), 0);
    image.Release();
    image.Release();
}

TEST(ImageCreate, PictureRowZeroIsTheLastStoredRow)
{
    CImage image;
    ASSERT_TRUE(image.Create(3, 2));
    image.FillRect(0, 0, 3, 1, RGB(0x11, 0x22, 0x33));
    const auto* stored = reinterpret_cast<const std::uint32_t*>(image.GetBits());
    EXPECT_EQ(stored[0], 0x00FFFFFFu); // bottom row first
    EXPECT_EQ(stored[3], 0x00112233u); // blue, green, red in memory order
    const auto* bytes = image.GetBits() + 12;
    EXPECT_EQ(bytes[0], 0x33);
    EXPECT_EQ(bytes[1], 0x22);
    EXPECT_EQ(bytes[2], 0x11);
}

TEST(ImageCreate, CompatibleImageHasNoBitsButDraws)
{
    CImage view;
    ASSERT_TRUE(view.CreateCompatible(5, 5));
    EXPECT_TRUE(view.IsValid());
    EXPECT_EQ(view.GetBits(), nullptr);
    CImage copy;
    ASSERT_TRUE(copy.Create(5, 5));
    view.FillRect(1, 1, 1, 1, RGB(9, 8, 7));
    ASSERT_EQ(view.BitBltTo(&copy, 0, 0, 5, 5, 0, 0, SRCCOPY), 1);
    EXPECT_EQ(PixelAt(copy, 1, 1), 0x00090807u);
    EXPECT_EQ(PixelAt(copy, 0, 0), 0x00FFFFFFu);
}
