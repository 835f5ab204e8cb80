#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using imagetest::PixelAt;
using imagetest::Rgb;

namespace {

// A bottom-up 32-bit buffer whose pixel tells its column and stored row.
std::vector<std::uint32_t> CodedBuffer(int width, int height)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<std::size_t>(row) * width + x] = static_cast<std::uint32_t>((row << 12) | x);
    return pixels;
}

} // namespace

TEST(ImageStretch, DoublingA450By90BufferDrawsOneBandAndReturns90)
{
    const auto buffer = CodedBuffer(450, 90);
    CImage image;
    ASSERT_TRUE(image.Create(900, 180));
    EXPECT_EQ(image.StretchDIBitsFrom(0, 0, 900, 180, 0, 0, 450, 90, 32, 450, 90, buffer.data(), SRCCOPY),
              90);
    // Two columns of 225 source pixels onto 450 destination pixels each:
    // every destination pixel shows the source pixel at half its position,
    // the picture's top row being the buffer's last stored row.
    for (int y : {0, 1, 2, 90, 179})
        for (int x : {0, 1, 224, 449, 450, 451, 899})
            EXPECT_EQ(Rgb(PixelAt(image, x, y)), static_cast<std::uint32_t>(((89 - y / 2) << 12) | (x / 2)))
                << x << "," << y;
}

TEST(ImageStretch, IntoARectangleWhoseTopIsNotZeroFillsExactlyThatRectangle)
{
    struct Case
    {
        int x, y, w, h, bufW, bufH;
    };
    for (const Case& c :
         {Case{3, 7, 10, 6, 5, 3}, Case{2, 10, 40, 300, 30, 450}, Case{0, 1, 500, 20, 450, 10}}) {
        std::vector<std::uint32_t> black(static_cast<std::size_t>(c.bufW) * c.bufH, 0);
        CImage image;
        ASSERT_TRUE(image.Create(c.x + c.w + 3, c.y + c.h + 4));
        const int rows = image.StretchDIBitsFrom(c.x, c.y, c.w, c.h, 0, 0, c.bufW, c.bufH, 32, c.bufW, c.bufH,
                                                 black.data(), SRCCOPY);
        EXPECT_EQ(rows, c.bufH);
        for (int y = 0; y < image.GetHeight(); ++y) {
            for (int x = 0; x < image.GetWidth(); ++x) {
                const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
                ASSERT_EQ(Rgb(PixelAt(image, x, y)), inside ? 0u : 0xFFFFFFu)
                    << c.w << "x" << c.h << " at " << x << "," << y;
            }
        }
    }
}

TEST(ImageStretch, BandsRunFromTheBufferBottomToTheRectangleBottom)
{
    // 450 rows make two bands of 225; the picture must still read top to bottom.
    const auto buffer = CodedBuffer(3, 450);
    CImage image;
    ASSERT_TRUE(image.Create(3, 460));
    EXPECT_EQ(image.StretchDIBitsFrom(0, 5, 3, 450, 0, 0, 3, 450, 32, 3, 450, buffer.data(), SRCCOPY), 450);
    for (int y = 5; y < 455; ++y)
        ASSERT_EQ(Rgb(PixelAt(image, 1, y)), static_cast<std::uint32_t>(((449 - (y - 5)) << 12) | 1)) << y;
}

TEST(ImageStretch, SourceRowsCountFromTheBottomAndStayInTheBuffer)
{
    const auto buffer = CodedBuffer(4, 6);
    CImage image;
    ASSERT_TRUE(image.Create(4, 2));
    // Stored rows 1 and 2 only.
    EXPECT_EQ(image.StretchDIBitsFrom(0, 0, 4, 2, 0, 1, 4, 2, 32, 4, 6, buffer.data(), SRCCOPY), 2);
    EXPECT_EQ(Rgb(PixelAt(image, 2, 0)), (2u << 12) | 2);
    EXPECT_EQ(Rgb(PixelAt(image, 2, 1)), (1u << 12) | 2);
    // Rows beyond the buffer are refused rather than read.
    EXPECT_EQ(image.StretchDIBitsFrom(0, 0, 4, 2, 0, 5, 4, 2, 32, 4, 6, buffer.data(), SRCCOPY), 0);
    EXPECT_EQ(image.StretchDIBitsFrom(0, 0, 4, 2, 0, 0, 4, 2, 32, 4, 6, nullptr, SRCCOPY), 0);
    CImage empty;
    EXPECT_EQ(empty.StretchDIBitsFrom(0, 0, 4, 2, 0, 0, 4, 2, 32, 4, 6, buffer.data(), SRCCOPY), 0);
}

TEST(ImageStretch, GreyPlanesAndOtherDepthsDrawThroughTheirPalette)
{
    // An 8-bit plane of 3 x 2, rows padded to 4 bytes, bottom row first.
    const std::uint8_t plane[8] = {10, 20, 30, 0, 40, 50, 60, 0};
    CImage image;
    ASSERT_TRUE(image.Create(3, 2));
    EXPECT_EQ(image.StretchGrayFrom(0, 0, 3, 2, 0, 0, 3, 2, 3, 2, plane, SRCCOPY), 2);
    EXPECT_EQ(Rgb(PixelAt(image, 0, 1)), 0x000A0A0Au);
    EXPECT_EQ(Rgb(PixelAt(image, 2, 0)), 0x003C3C3Cu);
    // 24 bits: blue, green, red.
    const std::uint8_t rgb[2 * 8] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    ASSERT_TRUE(image.Create(2, 2));
    EXPECT_EQ(image.StretchDIBitsFrom(0, 0, 2, 2, 0, 0, 2, 2, 24, 2, 2, rgb, SRCCOPY), 2);
    EXPECT_EQ(Rgb(PixelAt(image, 1, 1)), 0x00060504u);
    EXPECT_EQ(Rgb(PixelAt(image, 0, 0)), 0x00090807u);
}

// Copies of whole rows take short cuts (a row sampling the same source row as
// the one above, a run of consecutive columns); every kind of stretch still
// lands each pixel on its nearest source pixel and leaves alone the pixels
// whose source lies outside the picture.
TEST(ImageStretch, CopiesFollowTheNearestPixelRule)
{
    struct Case
    {
        const char* name;
        int x, y, width, height, srcX, srcY, srcWidth, srcHeight;
    };
    const Case cases[] = {
        {"same size", 3, 2, 40, 30, 1, 4, 40, 30},
        {"taller", 0, 1, 40, 70, 2, 0, 40, 25},
        {"grown both ways", 5, 0, 77, 61, 0, 3, 30, 20},
        {"shrunk", 1, 1, 20, 15, 0, 0, 47, 39},
        {"mirrored across", 50, 2, -40, 30, 0, 0, 40, 30},
        {"mirrored down", 2, 40, 30, -35, 1, 1, 30, 20},
        {"past the source", 0, 0, 60, 50, 20, 25, 40, 30},
        {"before the source", 4, 4, 50, 40, -6, -9, 40, 30},
    };
    constexpr int kSrcWidth = 47, kSrcHeight = 39, kDstWidth = 90, kDstHeight = 80;
    CImage source;
    ASSERT_TRUE(source.Create(kSrcWidth, kSrcHeight));
    for (int y = 0; y < kSrcHeight; ++y)
        for (int x = 0; x < kSrcWidth; ++x)
            imagetest::SetPixelAt(source, x, y, 0xA5000000u | std::uint32_t(y << 12 | x));
    auto axis = [](int i, int extent, int origin, int srcExtent) {
        const long long count = extent < 0 ? -extent : extent,
                        srcCount = srcExtent < 0 ? -srcExtent : srcExtent;
        const long long j = ((2LL * i + 1) * srcCount) / (2 * count);
        return static_cast<int>(srcExtent > 0 ? origin + j : origin - j);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CImage dest;
        ASSERT_TRUE(dest.Create(kDstWidth, kDstHeight));
        for (int y = 0; y < kDstHeight; ++y)
            for (int x = 0; x < kDstWidth; ++x)
                imagetest::SetPixelAt(dest, x, y, 0x5A000000u | std::uint32_t(y * 1000 + x));
        std::vector<std::uint32_t> expected(std::size_t(kDstWidth) * kDstHeight);
        for (int y = 0; y < kDstHeight; ++y)
            for (int x = 0; x < kDstWidth; ++x)
                expected[std::size_t(y) * kDstWidth + x] = PixelAt(dest, x, y);
        const int left = c.width > 0 ? c.x : c.x + c.width + 1, top = c.height > 0 ? c.y : c.y + c.height + 1;
        for (int y = std::max(top, 0); y < std::min(top + std::abs(c.height), kDstHeight); ++y)
            for (int x = std::max(left, 0); x < std::min(left + std::abs(c.width), kDstWidth); ++x) {
                const int sx = axis(c.width > 0 ? x - c.x : c.x - x, c.width, c.srcX, c.srcWidth);
                const int sy = axis(c.height > 0 ? y - c.y : c.y - y, c.height, c.srcY, c.srcHeight);
                if (sx >= 0 && sx < kSrcWidth && sy >= 0 && sy < kSrcHeight)
                    expected[std::size_t(y) * kDstWidth + x] = PixelAt(source, sx, sy);
            }
        source.StretchBltTo(&dest, c.x, c.y, c.width, c.height, c.srcX, c.srcY, c.srcWidth, c.srcHeight,
                            SRCCOPY);
        for (int y = 0; y < kDstHeight; ++y)
            for (int x = 0; x < kDstWidth; ++x)
                ASSERT_EQ(PixelAt(dest, x, y), expected[std::size_t(y) * kDstWidth + x]) << x << "," << y;
    }
}
