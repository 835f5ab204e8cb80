#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageTestSupport.h"
#include "support/FixtureFiles.h"
#include "support/FixtureImage.h"
#include "support/JpegFileFixture.h"
#include "support/OrientedPictures.h"

#include <gtest/gtest.h>

namespace {

using imagetest::PixelAt;

std::vector<std::uint8_t> RgbThumbnail(std::uint32_t width, std::uint32_t height)
{
    // Top half red, bottom half green, R, G, B top row first.
    std::vector<std::uint8_t> rgb(std::size_t(width) * height * 3, 0);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            rgb[(y * width + x) * 3 + (y < height / 2 ? 0 : 1)] = 200;
    return rgb;
}

class ExifThumbnailTest : public ::testing::TestWithParam<bool> // big-endian block
{
protected:
    int ReadThumbnail(const ExifFixture& fixture, CImage& image)
    {
        const std::string path = folder.Path("photo.jpg");
        WriteFixtureFile(path, ExifFixtureFile(fixture));
        return CJpegFile().ReadExifThumbnail(path, &image);
    }
    FixtureFolder folder;
};

TEST_P(ExifThumbnailTest, JpegThumbnailIsDecodedAtItsOwnSize)
{
    ExifFixture f;
    f.bigEndian = GetParam();
    f.compression = 6;
    f.thumbnail = JpegFixtureEncode(JpegFixtureKind::Rgb, RgbThumbnail(64, 48).data(), 64, 48);
    CImage image;
    ASSERT_EQ(ReadThumbnail(f, image), 0);
    ASSERT_EQ(image.GetWidth(), 64);
    ASSERT_EQ(image.GetHeight(), 48);
    const std::uint32_t top = PixelAt(image, 30, 5), bottom = PixelAt(image, 30, 40);
    EXPECT_NEAR(int((top >> 16) & 0xFF), 200, 8);
    EXPECT_NEAR(int((bottom >> 8) & 0xFF), 200, 8);
}

// A thumbnail coded as R, G, B with an Adobe segment (transform 0) is not
// converted from YCbCr.
TEST_P(ExifThumbnailTest, AdobeRgbThumbnailKeepsItsColours)
{
    ExifFixture f;
    f.bigEndian = GetParam();
    f.compression = 6;
    f.thumbnail = JpegFixtureEncode(JpegFixtureKind::AdobeRgb, RgbThumbnail(64, 48).data(), 64, 48);
    CImage image;
    ASSERT_EQ(ReadThumbnail(f, image), 0);
    ASSERT_EQ(image.GetWidth(), 64);
    const std::uint32_t top = PixelAt(image, 30, 5), bottom = PixelAt(image, 30, 40);
    EXPECT_NEAR(int((top >> 16) & 0xFF), 200, 2);
    EXPECT_NEAR(int((top >> 8) & 0xFF), 0, 2);
    EXPECT_NEAR(int(top & 0xFF), 0, 2);
    EXPECT_NEAR(int((bottom >> 16) & 0xFF), 0, 2);
    EXPECT_NEAR(int((bottom >> 8) & 0xFF), 200, 2);
    EXPECT_NEAR(int(bottom & 0xFF), 0, 2);
}

TEST_P(ExifThumbnailTest, UncompressedThumbnailNeedsTheExactByteCount)
{
    ExifFixture f;
    f.bigEndian = GetParam();
    f.compression = 1;
    f.width = 160;
    f.height = 120;
    f.thumbnail = RgbThumbnail(160, 120);
    f.stripByteCounts = 57600;
    CImage image;
    ASSERT_EQ(ReadThumbnail(f, image), 0);
    ASSERT_EQ(image.GetWidth(), 160);
    ASSERT_EQ(image.GetHeight(), 120);
    EXPECT_EQ(imagetest::Rgb(PixelAt(image, 3, 3)), 0xC80000u);
    EXPECT_EQ(imagetest::Rgb(PixelAt(image, 3, 100)), 0x00C800u);

    f.stripByteCounts = 57601;
    CImage other;
    EXPECT_EQ(ReadThumbnail(f, other), 8);
}

TEST_P(ExifThumbnailTest, StripOutsideTheSegmentIsRefused)
{
    ExifFixture f;
    f.bigEndian = GetParam();
    f.compression = 1;
    f.width = 16;
    f.height = 16;
    f.thumbnail = RgbThumbnail(16, 8); // half of what the tags promise
    f.stripByteCounts = 16 * 16 * 3;
    CImage image;
    EXPECT_EQ(ReadThumbnail(f, image), 8);
}

TEST_P(ExifThumbnailTest, MissingCompressionGivesEight)
{
    ExifFixture f;
    f.bigEndian = GetParam();
    f.withCompressionTag = false;
    f.thumbnail = JpegFixtureSolid(JpegFixtureKind::Rgb, {1, 2, 3}, 8, 8);
    CImage image;
    EXPECT_EQ(ReadThumbnail(f, image), 8);
}

// A camera stores the thumbnail as its sensor saw it, like the photo: the
// photo's orientation turns it upright too, in either byte order.
TEST_P(ExifThumbnailTest, ThumbnailIsTurnedByThePhotosOrientation)
{
    constexpr int kWidth = 6, kHeight = 4;
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const FixturePixel p = FixturePattern(x, y);
            rgb.insert(rgb.end(), {p.r, p.g, p.b});
        }
    for (const FixtureOrientation& o : FixtureOrientations()) {
        ExifFixture f;
        f.bigEndian = GetParam();
        f.compression = 1;
        f.width = kWidth;
        f.height = kHeight;
        f.thumbnail = rgb;
        f.stripByteCounts = static_cast<std::uint32_t>(rgb.size());
        f.orientation = o.value;
        CImage image;
        ASSERT_EQ(ReadThumbnail(f, image), 0) << o.name;
        const int uw = FixtureUprightWidth(o, kWidth, kHeight);
        const int uh = FixtureUprightHeight(o, kWidth, kHeight);
        ASSERT_EQ(image.GetWidth(), uw) << o.name;
        ASSERT_EQ(image.GetHeight(), uh) << o.name;
        for (int uy = 0; uy < uh; ++uy)
            for (int ux = 0; ux < uw; ++ux) {
                int x = 0, y = 0;
                FixtureStoredPoint(o, kWidth, kHeight, ux, uy, &x, &y);
                ASSERT_TRUE(SameColour(FixtureImagePixel(image, ux, uy), FixturePattern(x, y)))
                    << o.name << " " << ux << "," << uy;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, ExifThumbnailTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "MM" : "II"; });

TEST(ExifThumbnailRefusalTest, ExifMustDirectlyFollowTheStartOfImage)
{
    FixtureFolder folder;
    ExifFixture f;
    f.thumbnail = JpegFixtureSolid(JpegFixtureKind::Rgb, {1, 2, 3}, 8, 8);
    f.jfifFirst = true;
    WriteFixtureFile(folder.Path("jfif.jpg"), ExifFixtureFile(f));
    CImage image;
    CJpegFile file;
    EXPECT_EQ(file.ReadExifThumbnail(folder.Path("jfif.jpg"), &image), 6);

    f.jfifFirst = false;
    f.identifier = "XMP";
    WriteFixtureFile(folder.Path("xmp.jpg"), ExifFixtureFile(f));
    EXPECT_EQ(file.ReadExifThumbnail(folder.Path("xmp.jpg"), &image), 6);
    EXPECT_EQ(file.ReadExifThumbnail(folder.Path("none.jpg"), &image), 1);
}

TEST(ExifThumbnailRefusalTest, SegmentShorterThanItsIdentifierIsRefused)
{
    FixtureFolder folder;
    ExifFixture f;
    f.thumbnail = JpegFixtureSolid(JpegFixtureKind::Rgb, {1, 2, 3}, 8, 8);
    auto bytes = ExifFixtureFile(f);
    bytes[4] = 0;
    bytes[5] = 5;
    WriteFixtureFile(folder.Path("short.jpg"), bytes);
    CImage image;
    EXPECT_EQ(CJpegFile().ReadExifThumbnail(folder.Path("short.jpg"), &image), 6);
}

TEST(ExifThumbnailRefusalTest, TruncatedMemoryStreamEndsWithFailure)
{
    const auto stream = JpegFixtureSolid(JpegFixtureKind::Rgb, {1, 2, 3}, 64, 64);
    CImage image;
    CJpegFile file;
    ASSERT_EQ(file.DecodeMemory(stream.data(), static_cast<int>(stream.size()), &image), 1);
    EXPECT_EQ(image.GetWidth(), 64);
    EXPECT_EQ(file.DecodeMemory(stream.data(), static_cast<int>(stream.size() / 2), &image), 0);
    EXPECT_FALSE(image.IsValid());
}

} // namespace
