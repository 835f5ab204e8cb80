#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageProcessing/PixelConversion.h"
#include "ImageTestSupport.h"
#include "support/FixtureFiles.h"
#include "support/JpegFileFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using imagetest::PixelAt;

struct Bgr
{
    int b, g, r;
};

Bgr ColourAt(const CImage& image, int x, int y)
{
    const std::uint32_t p = PixelAt(image, x, y);
    return {static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF),
            static_cast<int>((p >> 16) & 0xFF)};
}

void ExpectNear(const Bgr& got, const Bgr& want, int tolerance)
{
    EXPECT_NEAR(got.b, want.b, tolerance);
    EXPECT_NEAR(got.g, want.g, tolerance);
    EXPECT_NEAR(got.r, want.r, tolerance);
}

class JpegFileReadTest : public ::testing::Test
{
protected:
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const std::string path = folder.Path(name);
        WriteFixtureFile(path, bytes);
        return path;
    }
    FixtureFolder folder;
};

TEST_F(JpegFileReadTest, FileWithoutStartOfImageGivesSixAndAnEmptyImage)
{
    CImage image;
    ASSERT_TRUE(image.Create(4, 4));
    CJpegFile file;
    EXPECT_EQ(file.Read(Write("bad.jpg", {0x42, 0x4D, 0, 0, 0, 0}), &image), 6);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(file.Read(folder.Path("missing.jpg"), &image), 1);
}

TEST_F(JpegFileReadTest, GreyFileGivesEqualChannels)
{
    std::vector<std::uint8_t> grey(40 * 24);
    for (std::size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<std::uint8_t>(i * 7);
    CImage image;
    CJpegFile file;
    ASSERT_EQ(
        file.Read(Write("grey.jpg", JpegFixtureEncode(JpegFixtureKind::Grey, grey.data(), 40, 24)), &image),
        0);
    ASSERT_EQ(image.GetWidth(), 40);
    ASSERT_EQ(image.GetHeight(), 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) {
            const Bgr c = ColourAt(image, x, y);
            ASSERT_EQ(c.b, c.g);
            ASSERT_EQ(c.g, c.r);
        }
}

TEST_F(JpegFileReadTest, ColourFileKeepsTopRowAtTheTopAndColoursInOrder)
{
    // Top half red, bottom half blue.
    std::vector<std::uint8_t> rgb(32 * 32 * 3);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            std::uint8_t* p = &rgb[(y * 32 + x) * 3];
            p[0] = y < 16 ? 220 : 0;
            p[2] = y < 16 ? 0 : 220;
        }
    CImage image;
    CJpegFile file;
    ASSERT_EQ(
        file.Read(Write("rgb.jpg", JpegFixtureEncode(JpegFixtureKind::Rgb, rgb.data(), 32, 32)), &image), 0);
    ExpectNear(ColourAt(image, 5, 2), {0, 0, 220}, 6);
    ExpectNear(ColourAt(image, 5, 29), {220, 0, 0}, 6);
    EXPECT_EQ(PixelAt(image, 5, 2) >> 24, 0u);
}

// Stored C, M, Y, K as Adobe writers keep them (inverted): 255 is no ink.
struct CmykCase
{
    std::vector<std::uint8_t> stored;
    Bgr expected;
};

const CmykCase kCmykCases[] = {
    {{0, 255, 255, 255}, {255, 255, 0}},     // full cyan
    {{255, 0, 255, 255}, {255, 0, 255}},     // full magenta
    {{255, 255, 255, 255}, {255, 255, 255}}, // no ink
    {{255, 255, 255, 0}, {0, 0, 0}},         // full black
    {{128, 255, 255, 255}, {255, 255, 128}}, // half cyan
};

class JpegFileCmykTest : public JpegFileReadTest, public ::testing::WithParamInterface<JpegFixtureKind>
{
};

TEST_P(JpegFileCmykTest, FourComponentFilesGiveTheInkColours)
{
    CJpegFile file;
    int n = 0;
    for (const CmykCase& c : kCmykCases) {
        SCOPED_TRACE(n);
        CImage image;
        const std::string path =
            Write("cmyk" + std::to_string(n++) + ".jpg", JpegFixtureSolid(GetParam(), c.stored, 24, 16));
        ASSERT_EQ(file.Read(path, &image), 0);
        ASSERT_EQ(image.GetWidth(), 24);
        ExpectNear(ColourAt(image, 11, 7), c.expected, 4);
    }
}

INSTANTIATE_TEST_SUITE_P(PlainAndYcck, JpegFileCmykTest,
                         ::testing::Values(JpegFixtureKind::Cmyk, JpegFixtureKind::Ycck));

TEST_F(JpegFileReadTest, WideFourComponentFileFitsTheDecoderBlock)
{
    // One row of 16 x 16 MCUs at 4 bytes a pixel is more than 307200 bytes.
    CImage image;
    CJpegFile file;
    const std::string path =
        Write("wide.jpg", JpegFixtureSolid(JpegFixtureKind::Ycck, {0, 255, 255, 255}, 5200, 20));
    ASSERT_EQ(file.Read(path, &image), 0);
    EXPECT_EQ(image.GetWidth(), 5200);
    ExpectNear(ColourAt(image, 5199, 19), {255, 255, 0}, 4);
}

TEST_F(JpegFileReadTest, TwoComponentFileGivesEight)
{
    CImage image;
    CJpegFile file;
    const std::string path =
        Write("two.jpg", JpegFixtureSolid(JpegFixtureKind::TwoComponent, {10, 20}, 8, 8));
    EXPECT_EQ(file.Read(path, &image), 8);
    EXPECT_FALSE(image.IsValid());
    std::uint8_t* pixels = nullptr;
    SIZE size;
    EXPECT_EQ(file.ReadBuffer(path, &pixels, nullptr, &size, nullptr), 8);
    EXPECT_EQ(pixels, nullptr);
}

TEST_F(JpegFileReadTest, ReadScaledWithAMaximumGivesSevenAndTheSize)
{
    const std::string path = Write("wide.jpg", JpegFixtureSolid(JpegFixtureKind::Rgb, {1, 2, 3}, 200, 50));
    CJpegFile file;
    CImage image;
    SIZE picture;
    double scale = 0;
    const SIZE maximum{100, -1};
    EXPECT_EQ(file.ReadScaled(path, &image, 400, 400, &picture, &scale, 0, 1, &maximum), 7);
    EXPECT_EQ(picture.cx, 200);
    EXPECT_EQ(picture.cy, 50);
    EXPECT_EQ(scale, 1.0);
    EXPECT_FALSE(image.IsValid());

    const SIZE unlimited{-1, -1};
    EXPECT_EQ(file.ReadScaled(path, &image, 400, 400, &picture, &scale, 0, 1, &unlimited), 0);
    EXPECT_EQ(image.GetWidth(), 200);

    std::uint8_t* pixels = nullptr;
    SIZE size;
    const SIZE low{-1, 49};
    EXPECT_EQ(file.ReadBuffer(path, &pixels, nullptr, &size, &low), 7);
    EXPECT_EQ(size.cx, 200);
    EXPECT_EQ(pixels, nullptr);
}

TEST_F(JpegFileReadTest, ReadScaledPlacesThePictureInTheBox)
{
    const std::string path = Write("small.jpg", JpegFixtureSolid(JpegFixtureKind::Rgb, {0, 200, 0}, 100, 50));
    CJpegFile file;
    CImage image;
    SIZE picture;
    double scale = 0;
    ASSERT_EQ(file.ReadScaled(path, &image, 400, 400, &picture, &scale, RGB(0, 0, 255), 1, nullptr), 0);
    EXPECT_EQ(image.GetWidth(), 100);
    EXPECT_EQ(image.GetHeight(), 50);
    EXPECT_EQ(scale, 1.0);

    ASSERT_EQ(file.ReadScaled(path, &image, 400, 400, &picture, &scale, RGB(0, 0, 255), 0, nullptr), 0);
    EXPECT_EQ(image.GetWidth(), 400);
    EXPECT_EQ(image.GetHeight(), 400);
    EXPECT_DOUBLE_EQ(scale, 4.0);
    ExpectNear(ColourAt(image, 200, 50), {255, 0, 0}, 0);  // background above
    ExpectNear(ColourAt(image, 200, 200), {0, 200, 0}, 4); // picture in the middle
    ExpectNear(ColourAt(image, 200, 350), {255, 0, 0}, 0); // background below
}

TEST_F(JpegFileReadTest, ReadBufferGivesBottomRowFirstAndAZeroPlane)
{
    std::vector<std::uint8_t> rgb(16 * 16 * 3, 0);
    for (int i = 0; i < 16 * 8; ++i)
        rgb[i * 3] = 250; // top half red
    const std::string path = Write("buf.jpg", JpegFixtureEncode(JpegFixtureKind::Rgb, rgb.data(), 16, 16));
    CJpegFile file;
    std::uint8_t* pixels = nullptr;
    std::uint8_t* plane = nullptr;
    SIZE size;
    ASSERT_EQ(file.ReadBuffer(path, &pixels, &plane, &size, nullptr), 0);
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 16);
    const std::uint8_t* top = pixels + 15 * 16 * 4;
    EXPECT_GT(top[2], 200); // red in byte 2 of the last stored row
    EXPECT_LT(pixels[2], 60);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(plane[i], 0);
    PageFree(pixels);
    PageFree(plane);
    ASSERT_EQ(file.ReadBuffer(path, &pixels, nullptr, &size, nullptr), 0);
    PageFree(pixels);
}

// A red RGB file as RGB writers mark it (components R, G, B, Adobe transform
// 0, no JFIF) reads red through the library and through the own decoder.
TEST_F(JpegFileReadTest, AdobeRgbFileReadsInItsOwnColours)
{
    const auto bytes = JpegFixtureSolid(JpegFixtureKind::AdobeRgb, {255, 0, 0}, 8, 8);
    const std::string path = Write("red.jpg", bytes);
    CJpegFile file;
    CImage read, decoded;
    ASSERT_EQ(file.Read(path, &read), 0);
    ASSERT_EQ(file.DecodeMemory(bytes.data(), static_cast<int>(bytes.size()), &decoded), 1);
    for (const CImage* image : {&read, &decoded}) {
        ASSERT_EQ(image->GetWidth(), 8);
        ASSERT_EQ(image->GetHeight(), 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ExpectNear(ColourAt(*image, x, y), {0, 0, 255}, 1);
    }
    std::uint8_t* pixels = nullptr;
    SIZE size;
    ASSERT_EQ(file.ReadBuffer(path, &pixels, nullptr, &size, nullptr), 0);
    for (int i = 0; i < 64; ++i) {
        EXPECT_NEAR(pixels[i * 4], 0, 1);
        EXPECT_NEAR(pixels[i * 4 + 1], 0, 1);
        EXPECT_NEAR(pixels[i * 4 + 2], 255, 1);
    }
    PageFree(pixels);
}

TEST_F(JpegFileReadTest, ReaderClearsAnEarlierStopRequest)
{
    const std::string path = Write("c.jpg", JpegFixtureSolid(JpegFixtureKind::Rgb, {1, 2, 3}, 8, 8));
    RequestCancel();
    CJpegFile file;
    CImage image;
    EXPECT_EQ(file.Read(path, &image), 0);
}

} // namespace
