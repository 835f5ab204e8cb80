#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageTestSupport.h"
#include "support/FixtureFiles.h"
#include "support/JpegFileFixture.h"
#include "support/JpegTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

using imagetest::PixelAt;
using imagetest::SetPixelAt;

const JpegFixedClock kAfternoon(EffDateTime{2001, 3, 9, 14, 5, 7});

std::uint8_t MaskAt(const CImage& image, int x, int y)
{
    return static_cast<std::uint8_t>((PixelAt(*image.GetMask(), x, y) >> 16) & 0xFF);
}

// 200 x 100, a gradient, and a mask transparent inside (50, 20) - (120, 70).
void MakeMaskedImage(CImage& image)
{
    ASSERT_TRUE(image.Create(200, 100));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            SetPixelAt(image, x, y, static_cast<std::uint32_t>((x << 16) | (y * 2 << 8) | 90));
    ASSERT_TRUE(image.CreateMask());
    image.GetMask()->FillRect(50, 20, 70, 50, RGB(255, 255, 255));
}

class EffFileTest : public ::testing::Test
{
protected:
    FixtureFolder folder;
};

TEST_F(EffFileTest, RoundTripKeepsTheMaskAndTheColours)
{
    CImage image;
    MakeMaskedImage(image);
    CEFFFile file(kAfternoon);
    const std::string path = folder.Path("a.eff");
    ASSERT_EQ(file.Write(path, &image), 0);
    CImage back;
    ASSERT_EQ(file.Read(path, &back), 0);
    ASSERT_EQ(back.GetWidth(), 200);
    ASSERT_EQ(back.GetHeight(), 100);
    ASSERT_TRUE(back.HasMask());
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool inside = x >= 50 && x < 120 && y >= 20 && y < 70;
            ASSERT_NEAR(MaskAt(back, x, y), inside ? 255 : 0, 1) << x << "," << y;
            const std::uint32_t want = PixelAt(image, x, y), got = PixelAt(back, x, y);
            for (int shift = 0; shift < 24; shift += 8)
                ASSERT_NEAR(int((got >> shift) & 0xFF), int((want >> shift) & 0xFF), 12) << x << "," << y;
            // The fourth byte carries the mask value too.
            ASSERT_NEAR(int(got >> 24), inside ? 255 : 0, 1);
        }
}

TEST_F(EffFileTest, HeaderCarriesTheClockAndTheTablesFollowAt97)
{
    CImage image;
    MakeMaskedImage(image);
    const std::string path = folder.Path("h.eff");
    ASSERT_EQ(CEFFFile(kAfternoon).Write(path, &image), 0);
    const std::vector<std::uint8_t> bytes = JpegFixtureReadFile(path);
    ASSERT_GT(bytes.size(), 101u);
    const std::uint8_t start[] = {0xFF, 0xD8, 0xFF, 0xE5, 0x00, 0x5D, 'E', 'F', 'F', 'H', 'E', 'A', 'D', 0};
    EXPECT_EQ(std::memcmp(bytes.data(), start, sizeof start), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 74), 16), "20010309020507PM");
    const std::uint8_t dqt[] = {0xFF, 0xDB, 0x00, 0xC5};
    EXPECT_EQ(std::memcmp(bytes.data() + 97, dqt, 4), 0);

    EffHeaderRecord record;
    ASSERT_EQ(CEFFFile().ReadEffHeader(path, &record), 1);
    EXPECT_EQ(record.marker, 0xFFE5);
    EXPECT_EQ(record.segmentLength, 93);
    EXPECT_EQ(record.thumbnailCount, 0);
    EXPECT_EQ(record.byte66, 1);
    EXPECT_EQ(record.value72, 1);
    EXPECT_EQ(std::string(record.date, 8), "20010309");
    EXPECT_STREQ(record.text[4], "");
    EXPECT_EQ(std::string(record.extensionTag, 8), std::string(8, '\0'));
}

TEST_F(EffFileTest, HeaderOfAPlainJpegIsRefusedAndZeroed)
{
    const std::string path = folder.Path("plain.jpg");
    WriteFixtureFile(path, JpegFixtureSolid(JpegFixtureKind::Rgb, {1, 2, 3}, 8, 8));
    EffHeaderRecord record;
    record.segmentLength = 77;
    EXPECT_EQ(CEFFFile().ReadEffHeader(path, &record), 0);
    EXPECT_EQ(record.segmentLength, 0);
    EXPECT_EQ(record.marker, 0);
}

TEST_F(EffFileTest, ThreeComponentStreamNamedEffIsRefused)
{
    const std::string path = folder.Path("plain.eff");
    WriteFixtureFile(path, JpegFixtureSolid(JpegFixtureKind::Rgb, {1, 2, 3}, 16, 16));
    CEFFFile file;
    CImage image;
    EXPECT_EQ(file.Read(path, &image), 6);
    EXPECT_FALSE(image.IsValid());
    std::uint8_t* pixels = nullptr;
    SIZE size;
    EXPECT_EQ(file.ReadBuffer(path, &pixels, nullptr, &size, nullptr), 6);
    EXPECT_EQ(pixels, nullptr);
}

TEST_F(EffFileTest, BufferWithoutPlaneIsOpaqueAndBufferReadGivesThePlane)
{
    std::vector<std::uint8_t> pixels(40 * 30 * 4, 0x80);
    const std::string path = folder.Path("b.eff");
    CEFFFile file(kAfternoon);
    ASSERT_EQ(file.WriteBuffer(path, pixels.data(), nullptr, 40, 30), 0);
    std::uint8_t* out = nullptr;
    std::uint8_t* plane = nullptr;
    SIZE size;
    ASSERT_EQ(file.ReadBuffer(path, &out, &plane, &size, nullptr), 0);
    EXPECT_EQ(size.cx, 40);
    EXPECT_EQ(size.cy, 30);
    for (int i = 0; i < 40 * 30; ++i) {
        ASSERT_LE(plane[i], 1);
        ASSERT_EQ(out[4 * i + 3], plane[i]);
    }
    PageFree(out);
    PageFree(plane);

    // A plane given bottom row first comes back in the same order.
    std::vector<std::uint8_t> mask(40 * 30, 0);
    std::fill(mask.begin(), mask.begin() + 40 * 10, 255); // the bottom ten rows
    ASSERT_EQ(file.WriteBufferEx(path, pixels.data(), mask.data(), 40, 30, 2, 90), 0);
    const SIZE maximum{40, 30};
    ASSERT_EQ(file.ReadBuffer(path, &out, &plane, &size, &maximum), 0);
    EXPECT_GE(plane[0], 254);
    EXPECT_LE(plane[40 * 29], 1);
    PageFree(out);
    PageFree(plane);
}

TEST_F(EffFileTest, ReadScaledLeavesTheMaskOpaqueOutsideThePicture)
{
    CImage image;
    ASSERT_TRUE(image.Create(100, 50));
    ASSERT_TRUE(image.CreateMask());
    image.GetMask()->FillRect(0, 0, 100, 50, RGB(255, 255, 255)); // all transparent
    const std::string path = folder.Path("s.eff");
    CEFFFile file(kAfternoon);
    ASSERT_EQ(file.Write(path, &image), 0);
    CImage back;
    SIZE picture;
    double scale = 0;
    ASSERT_EQ(file.ReadScaled(path, &back, 400, 400, &picture, &scale, RGB(0, 0, 0), 0, nullptr), 0);
    EXPECT_EQ(back.GetWidth(), 400);
    EXPECT_EQ(picture.cx, 100);
    EXPECT_DOUBLE_EQ(scale, 4.0);
    ASSERT_TRUE(back.HasMask());
    EXPECT_EQ(MaskAt(back, 200, 50), 0);    // above the picture
    EXPECT_GE(MaskAt(back, 200, 200), 254); // inside
    EXPECT_EQ(imagetest::Rgb(PixelAt(back, 200, 50)), 0u);

    const SIZE maximum{99, 99};
    EXPECT_EQ(file.ReadScaled(path, &back, 400, 400, &picture, &scale, 0, 1, &maximum), 7);
    EXPECT_EQ(picture.cx, 100);
    EXPECT_EQ(scale, 1.0);
    EXPECT_FALSE(back.IsValid());
}

TEST_F(EffFileTest, ThumbnailsAndLongTextFields)
{
    CEFFFile file(kAfternoon);
    CImage big, small;
    MakeMaskedImage(big);
    ASSERT_TRUE(small.Create(20, 10));
    ASSERT_TRUE(small.CreateMask());
    small.GetMask()->FillRect(0, 0, 10, 10, RGB(255, 255, 255));
    ASSERT_EQ(file.Write(folder.Path("big.eff"), &big), 0);
    ASSERT_EQ(file.Write(folder.Path("small.eff"), &small), 0);
    const auto main = JpegFixtureReadFile(folder.Path("big.eff"));
    const auto thumb = JpegFixtureReadFile(folder.Path("small.eff"));

    // Our own files have no thumbnail.
    CImage target;
    EXPECT_EQ(file.ReadThumbnail(folder.Path("big.eff"), 0, &target, nullptr), 6);

    const std::string path = folder.Path("thumb.eff");
    WriteFixtureFile(path, EffFixtureWithThumbnail(main, thumb, 20, 10, std::string(300, 'x')));
    EffHeaderRecord record;
    ASSERT_EQ(file.ReadEffHeader(path, &record), 1);
    EXPECT_EQ(record.thumbnailCount, 1);
    EXPECT_EQ(std::string(record.text[1]), std::string(127, 'x')); // cut to its field
    EXPECT_EQ(std::string(record.extensionTag), "EFFEXHE");

    EffThumbnailInfo info;
    ASSERT_EQ(file.ReadThumbnail(path, 0, &target, &info), 0);
    EXPECT_EQ(info.width, 20);
    EXPECT_EQ(info.height, 10);
    ASSERT_EQ(target.GetWidth(), 20);
    ASSERT_TRUE(target.HasMask());
    EXPECT_GE(MaskAt(target, 2, 5), 254);
    EXPECT_LE(MaskAt(target, 15, 5), 1);
    EXPECT_EQ(file.ReadThumbnail(path, 1, &target, nullptr), 6);
    EXPECT_FALSE(target.IsValid());

    CImage whole;
    ASSERT_EQ(file.Read(path, &whole), 0); // the decoder passes over the segments
    EXPECT_EQ(whole.GetWidth(), 200);

    // A thumbnail segment that runs past the end of the file.
    auto cut = EffFixtureWithThumbnail(main, thumb, 20, 10, "");
    cut.resize(cut.size() - main.size() + 97 - thumb.size() / 2);
    WriteFixtureFile(path, cut);
    EXPECT_EQ(file.ReadThumbnail(path, 0, &target, nullptr), 3);
    EXPECT_FALSE(target.IsValid());
}

TEST_F(EffFileTest, TextFieldWithoutEndIsRefused)
{
    CImage image;
    ASSERT_TRUE(image.Create(8, 8));
    ASSERT_EQ(CEFFFile(kAfternoon).Write(folder.Path("a.eff"), &image), 0);
    auto bytes = JpegFixtureReadFile(folder.Path("a.eff"));
    // Fill the text fields and the count with letters: no NUL inside the segment.
    std::fill(bytes.begin() + 90, bytes.begin() + 97, 'A');
    EffHeaderRecord record;
    EXPECT_EQ(CEFFFile::ParseEffHeader(bytes, &record), 0);
    EXPECT_EQ(record.segmentLength, 0);
}

} // namespace
