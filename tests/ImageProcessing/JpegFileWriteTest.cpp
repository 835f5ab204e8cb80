#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageProcessing/JpegFileLoops.h"
#include "ImageTestSupport.h"
#include "support/FixtureFiles.h"
#include "support/JpegFileFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

using imagetest::PixelAt;
using imagetest::SetPixelAt;

// A picture whose colour depends on the position, smooth enough for JPEG.
std::uint32_t Gradient(int x, int y, int width, int height)
{
    const int r = x * 255 / std::max(1, width - 1);
    const int g = y * 255 / std::max(1, height - 1);
    return static_cast<std::uint32_t>((r << 16) | (g << 8) | 128);
}

void FillGradient(CImage& image)
{
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            SetPixelAt(image, x, y, Gradient(x, y, image.GetWidth(), image.GetHeight()));
}

int MaxChannelError(const CImage& a, const CImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            const std::uint32_t p = PixelAt(a, x, y), q = PixelAt(b, x, y);
            for (int shift = 0; shift < 24; shift += 8)
                worst = std::max(worst, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
        }
    return worst;
}

struct RoundTripCase
{
    int width, height;
};

class JpegFileRoundTripTest : public ::testing::TestWithParam<RoundTripCase>
{
protected:
    FixtureFolder folder;
};

TEST_P(JpegFileRoundTripTest, WrittenFileReadsBackAtTheSameSizeAndColours)
{
    const RoundTripCase c = GetParam();
    CImage image;
    ASSERT_TRUE(image.Create(c.width, c.height));
    FillGradient(image);
    const std::string path = folder.Path("out.jpg");
    CJpegFile file;
    ASSERT_EQ(file.Write(path, &image), 0);
    CImage back;
    ASSERT_EQ(file.Read(path, &back), 0);
    ASSERT_EQ(back.GetWidth(), c.width);
    ASSERT_EQ(back.GetHeight(), c.height);
    // Quality 100 and no subsampling: only rounding of the transforms.
    EXPECT_LE(MaxChannelError(image, back), 8);

    // The same through the buffer writer.
    std::uint8_t* pixels = image.GetBitsWithMaskAlpha();
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(file.WriteBuffer(path, pixels, nullptr, c.width, c.height), 0);
    PageFree(pixels);
    ASSERT_EQ(file.Read(path, &back), 0);
    EXPECT_LE(MaxChannelError(image, back), 8);
}

INSTANTIATE_TEST_SUITE_P(Sizes, JpegFileRoundTripTest,
                         ::testing::Values(RoundTripCase{1, 1}, RoundTripCase{1000, 33}, RoundTripCase{5, 7},
                                           RoundTripCase{5, 40}));

TEST(JpegFileWriteTest, FiveWideImageIsWrittenWithoutRowPadding)
{
    FixtureFolder folder;
    CImage image;
    ASSERT_TRUE(image.Create(5, 3));
    const std::uint32_t colours[5] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            SetPixelAt(image, x, y, colours[x]);
    const std::string path = folder.Path("five.jpg");
    CJpegFile file;
    ASSERT_EQ(file.WriteImage(path, &image, 0, 100), 0);
    CImage back;
    ASSERT_EQ(file.Read(path, &back), 0);
    ASSERT_EQ(back.GetWidth(), 5);
    EXPECT_LE(MaxChannelError(image, back), 40); // hard edges between single columns
    for (int x = 0; x < 5; ++x) {
        const std::uint32_t p = PixelAt(back, x, 1);
        for (int shift = 0; shift < 24; shift += 8)
            EXPECT_EQ(((p >> shift) & 0xFF) > 127, ((colours[x] >> shift) & 0xFF) > 127) << x;
    }
}

TEST(JpegFileWriteTest, NothingToWriteGivesSixAndNoFile)
{
    FixtureFolder folder;
    CJpegFile file;
    CImage empty;
    EXPECT_EQ(file.Write(folder.Path("a.jpg"), &empty), 6);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("a.jpg")));
    EXPECT_EQ(file.WriteBuffer(folder.Path("b.jpg"), nullptr, nullptr, 4, 4), 6);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("b.jpg")));
}

TEST(JpegFileWriteTest, RefusedStreamLeavesNoFileBehind)
{
    FixtureFolder folder;
    CImage image;
    ASSERT_TRUE(image.Create(8, 8));
    CJpegFile file;
    EXPECT_EQ(file.WriteImage(folder.Path("bad.jpg"), &image, 7, 90), 6); // no such sampling mode
    EXPECT_FALSE(std::filesystem::exists(folder.Path("bad.jpg")));
}

TEST(JpegFileWriteTest, UncreatableFileGivesOne)
{
    FixtureFolder folder;
    CImage image;
    ASSERT_TRUE(image.Create(8, 8));
    CJpegFile file;
    EXPECT_EQ(file.Write(folder.Path("no/such/folder/x.jpg"), &image), 1);
}

TEST(JpegFileWriteTest, NoiseAtQualityHundredFitsTheOutputBlock)
{
    // Noise codes to the longest stream a batch can give; the block must take
    // a whole batch, so the file is complete and reads back.
    FixtureFolder folder;
    CImage image;
    const int width = 4000, height = 32;
    ASSERT_TRUE(image.Create(width, height));
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixelAt(image, x, y, random() & 0xFFFFFF);
    const std::string path = folder.Path("noise.jpg");
    CJpegFile file;
    ASSERT_EQ(file.WriteImage(path, &image, 0, 100), 0);
    const auto size = std::filesystem::file_size(path);
    // One batch longer than a fixed 400000-byte block would have held.
    EXPECT_GT(size, 400000u);
    CImage back;
    ASSERT_EQ(file.Read(path, &back), 0);
    EXPECT_EQ(back.GetHeight(), height);
    EXPECT_LE(JpegEncoderBlockSize(width, false) / 2, JpegEncoderBlockSize(width, true));
}

TEST(JpegFileWriteTest, ReadBufferOfAWrittenFileIsBottomRowFirst)
{
    FixtureFolder folder;
    CImage image;
    ASSERT_TRUE(image.Create(64, 32));
    FillGradient(image);
    CJpegFile file;
    ASSERT_EQ(file.Write(folder.Path("src.jpg"), &image), 0);
    std::uint8_t* pixels = nullptr;
    SIZE size;
    ASSERT_EQ(file.ReadBuffer(folder.Path("src.jpg"), &pixels, nullptr, &size, nullptr), 0);
    EXPECT_EQ(size.cx, 64);
    EXPECT_EQ(size.cy, 32);
    // Bottom row first: the last stored row is the picture's top.
    const std::uint8_t* top = pixels + 31 * 64 * 4;
    EXPECT_NEAR(top[1], 0, 6);            // green grows downwards
    EXPECT_NEAR(pixels[1], 255, 6);       // bottom row
    EXPECT_NEAR(top[63 * 4 + 2], 255, 6); // red grows to the right
    PageFree(pixels);
}

} // namespace
