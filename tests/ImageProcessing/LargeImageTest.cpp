#include "ImageProcessing/LargeImage.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageTestSupport.h"
#include "support/FixtureFiles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::uint32_t LargePixel(const CLargeImage& image, int x, int y)
{
    std::uint32_t p;
    std::memcpy(&p, image.GetPixels() + (std::size_t(image.GetHeight() - 1 - y) * image.GetWidth() + x) * 4,
                4);
    return p;
}

TEST(LargeImageTest, NewImageIsWhiteInEveryByte)
{
    CLargeImage image;
    ASSERT_TRUE(image.Create(70, 3));
    for (int i = 0; i < 70 * 3 * 4; ++i)
        ASSERT_EQ(image.GetPixels()[i], 0xFF);
    EXPECT_FALSE(image.Create(0, 5));
    EXPECT_FALSE(image.IsValid());
}

TEST(LargeImageTest, FillIsClippedToTheImageAcrossBands)
{
    CLargeImage image;
    ASSERT_TRUE(image.Create(30, 150)); // three bands
    ASSERT_TRUE(image.FillRect(5, -20, 10, 100, RGB(255, 0, 0)));
    ASSERT_TRUE(image.FillRect(20, 100, 5, 500, RGB(0, 0, 255)));
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 30; ++x) {
            std::uint32_t want = 0xFFFFFF;
            if (x >= 5 && x < 15 && y < 80)
                want = 0xFF0000;
            if (x >= 20 && x < 25 && y >= 100)
                want = 0x0000FF;
            ASSERT_EQ(LargePixel(image, x, y) & 0xFFFFFF, want) << x << "," << y;
        }
}

TEST(LargeImageTest, BandedFillsEqualFillsOfOneWholeImage)
{
    const int width = 90, height = 200;
    CLargeImage large;
    CImage whole;
    ASSERT_TRUE(large.Create(width, height));
    ASSERT_TRUE(whole.Create(width, height));
    whole.FillRect(0, 0, width, height, RGB(255, 255, 255));
    const RECT fills[] = {{-5, -30, 40, 70}, {30, 60, 95, 140}, {10, 120, 50, 400}, {0, 63, 90, 65}};
    COLORREF colour = RGB(10, 20, 30);
    for (const RECT& r : fills) {
        colour += 0x203040;
        ASSERT_TRUE(large.FillRect(r.left, r.top, r.right - r.left, r.bottom - r.top, colour));
        whole.FillRect(r.left, r.top, r.right - r.left, r.bottom - r.top, colour);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(LargePixel(large, x, y) & 0xFFFFFF, imagetest::PixelAt(whole, x, y) & 0xFFFFFF)
                << x << "," << y;
}

TEST(LargeImageTest, TiledTextEqualsOneWholeDraw)
{
    imagetest::EnsureGuiApplication();
    LOGFONT logFont;
    logFont.lfHeight = -70;
    logFont.lfWeight = FW_BOLD;
    logFont.lfFaceName = "DejaVu Sans";
    const CImageFont font(logFont);
    const int width = 300, height = 150;
    const RECT rect{10, 20, 290, 140};
    const std::string text = "Tiles 64";
    const unsigned format = DT_CENTER | DT_SINGLELINE | DT_VCENTER;

    CLargeImage large;
    ASSERT_TRUE(large.Create(width, height));
    ASSERT_TRUE(large.FillRect(0, 0, width, height, RGB(0, 255, 0)));
    large.SetFont(font);
    large.SetBkMode(1); // transparent
    large.SetTextColor(RGB(20, 0, 200));
    ASSERT_TRUE(large.DrawText(text, -1, &rect, format));

    CImage whole;
    ASSERT_TRUE(whole.Create(width, height));
    whole.FillRect(0, 0, width, height, RGB(0, 255, 0));
    whole.SelectObject(font);
    whole.SetBkMode(1);
    whole.SetTextColor(RGB(20, 0, 200));
    RECT r = rect;
    whole.DrawText(text, -1, &r, format);

    int changed = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t got = LargePixel(large, x, y) & 0xFFFFFF;
            ASSERT_EQ(got, imagetest::PixelAt(whole, x, y) & 0xFFFFFF) << x << "," << y;
            changed += got != 0x00FF00;
        }
    EXPECT_GT(changed, 500); // the text spans several tiles

    // The key colour becomes the transparent part of the mask.
    ASSERT_TRUE(large.CreateMask());
    ASSERT_TRUE(large.MakeMaskFromColorKey(&large, RGB(0, 255, 0)));
    std::uint8_t* plane = large.GetMaskPlane();
    ASSERT_NE(plane, nullptr);
    int opaque = 0;
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t p = LargePixel(large, i % width, height - 1 - i / width) & 0xFFFFFF;
        ASSERT_EQ(plane[i], p == 0x00FF00 ? 255 : 0);
        opaque += plane[i] == 0;
    }
    EXPECT_EQ(opaque, changed);
    PageFree(plane);
}

TEST(LargeImageTest, SaveAsEffShrinksToTheMaximum)
{
    FixtureFolder folder;
    CLargeImage image;
    ASSERT_TRUE(image.Create(400, 200));
    ASSERT_TRUE(image.FillRect(0, 0, 200, 200, RGB(255, 0, 0)));
    ASSERT_TRUE(image.CreateMask());
    ASSERT_TRUE(image.MakeMaskFromColorKey(&image, RGB(255, 255, 255))); // right half transparent

    SIZE written{};
    ASSERT_EQ(image.SaveAsEff(folder.Path("own.eff"), nullptr, &written, 2, 90), 0);
    EXPECT_EQ(written.cx, 400);
    EXPECT_EQ(written.cy, 200);

    const SIZE maximum{100, 100};
    ASSERT_EQ(image.SaveAsEff(folder.Path("small.eff"), &maximum, &written, 2, 90), 0);
    EXPECT_EQ(written.cx, 100);
    EXPECT_EQ(written.cy, 50);
    CImage back;
    ASSERT_EQ(CEFFFile().Read(folder.Path("small.eff"), &back), 0);
    ASSERT_EQ(back.GetWidth(), 100);
    ASSERT_EQ(back.GetHeight(), 50);
    EXPECT_NEAR(int((imagetest::PixelAt(back, 20, 25) >> 16) & 0xFF), 255, 6);
    EXPECT_LE((imagetest::PixelAt(*back.GetMask(), 20, 25) >> 16) & 0xFF, 2u);
    EXPECT_GE((imagetest::PixelAt(*back.GetMask(), 80, 25) >> 16) & 0xFF, 253u);

    CLargeImage empty;
    EXPECT_EQ(empty.SaveAsEff(folder.Path("none.eff"), nullptr, nullptr, 0, 90), 6);
}

} // namespace
