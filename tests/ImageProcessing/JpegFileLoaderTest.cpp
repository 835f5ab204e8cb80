#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageTestSupport.h"
#include "support/FixtureFiles.h"
#include "support/JpegFileFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using imagetest::PixelAt;
using imagetest::SetPixelAt;

class JpegFileLoaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(image.Create(40, 20));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                SetPixelAt(image, x, y, x < 20 ? 0xE00000u : 0x0000E0u);
        ASSERT_TRUE(image.CreateMask());
        image.GetMask()->FillRect(0, 0, 10, 20, RGB(255, 255, 255));
    }
    FixtureFolder folder;
    CImage image;
};

TEST_F(JpegFileLoaderTest, LoadersChooseTheJpegAndEffReaders)
{
    ASSERT_EQ(image.SaveAsJpeg(folder.Path("photo.JPG"), 2, 95), 0);
    ASSERT_EQ(image.SaveAsEff(folder.Path("frame.eff"), 0, 90), 0);
    std::filesystem::copy_file(folder.Path("photo.JPG"), folder.Path("photo.jpgx"));

    CImage loaded;
    ASSERT_EQ(loaded.LoadFile(folder.Path("photo.JPG")), 0);
    EXPECT_EQ(loaded.GetWidth(), 40);
    EXPECT_FALSE(loaded.HasMask());
    ASSERT_EQ(loaded.LoadFile(folder.Path("photo.jpgx")), 0);
    ASSERT_EQ(loaded.LoadJpeg(folder.Path("photo.jpgx")), 0);
    EXPECT_NEAR(int((PixelAt(loaded, 30, 10)) & 0xFF), 0xE0, 8);

    ASSERT_EQ(loaded.LoadFile(folder.Path("frame.eff")), 0);
    ASSERT_TRUE(loaded.HasMask());
    EXPECT_GE((PixelAt(*loaded.GetMask(), 5, 5) >> 16) & 0xFF, 254u);
    EXPECT_LE((PixelAt(*loaded.GetMask(), 30, 5) >> 16) & 0xFF, 1u);

    SIZE picture;
    double scale = 0;
    ASSERT_EQ(loaded.LoadFileScaled(folder.Path("frame.eff"), 20, 20, &picture, &scale, 0, 1, nullptr), 0);
    EXPECT_EQ(loaded.GetWidth(), 20);
    EXPECT_EQ(loaded.GetHeight(), 10);
    EXPECT_DOUBLE_EQ(scale, 0.5);

    std::uint8_t* pixels = nullptr;
    std::uint8_t* plane = nullptr;
    SIZE size;
    ASSERT_EQ(LoadImageFileToBuffer(folder.Path("frame.eff"), &pixels, &plane, &size, nullptr), 0);
    EXPECT_EQ(size.cx, 40);
    EXPECT_GE(plane[0], 254); // bottom-left is transparent
    PageFree(pixels);
    PageFree(plane);

    EXPECT_EQ(loaded.LoadEffThumbnail(folder.Path("frame.eff")), 6); // our files carry none
    EXPECT_EQ(loaded.LoadExifThumbnail(folder.Path("photo.JPG")), 6);
}

TEST_F(JpegFileLoaderTest, SaversRefuseAnInvalidImage)
{
    CImage empty;
    EXPECT_EQ(empty.SaveAsJpeg(folder.Path("a.jpg"), 0, 90), 6);
    EXPECT_EQ(empty.SaveAsEff(folder.Path("a.eff"), 0, 90), 6);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("a.jpg")));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("a.eff")));
}

TEST_F(JpegFileLoaderTest, ExifThumbnailThroughTheImage)
{
    ExifFixture f;
    f.thumbnail = JpegFixtureSolid(JpegFixtureKind::Rgb, {0, 0, 200}, 32, 24);
    WriteFixtureFile(folder.Path("camera.jpg"), ExifFixtureFile(f));
    CImage thumbnail;
    ASSERT_EQ(thumbnail.LoadExifThumbnail(folder.Path("camera.jpg")), 0);
    EXPECT_EQ(thumbnail.GetWidth(), 32);
    EXPECT_EQ(thumbnail.GetHeight(), 24);
}

TEST_F(JpegFileLoaderTest, CropJpegFileCutsTheRange)
{
    ASSERT_EQ(image.SaveAsJpeg(folder.Path("src.jpg"), 0, 100), 0);
    ASSERT_EQ(CropJpegFile(folder.Path("src.jpg"), folder.Path("all.jpg"), RECT{0, 0, 40, 20}), 1);
    CImage out;
    ASSERT_EQ(out.LoadJpeg(folder.Path("all.jpg")), 0);
    EXPECT_EQ(out.GetWidth(), 40);
    EXPECT_EQ(out.GetHeight(), 20);

    ASSERT_EQ(CropJpegFile(folder.Path("src.jpg"), folder.Path("right.jpg"), RECT{24, 2, 40, 12}), 1);
    ASSERT_EQ(out.LoadJpeg(folder.Path("right.jpg")), 0);
    EXPECT_EQ(out.GetWidth(), 16);
    EXPECT_EQ(out.GetHeight(), 10);
    EXPECT_NEAR(int(PixelAt(out, 8, 5) & 0xFF), 0xE0, 8); // the blue half

    EXPECT_EQ(CropJpegFile(folder.Path("src.jpg"), folder.Path("bad.jpg"), RECT{30, 0, 50, 10}), 0);
    EXPECT_EQ(CropJpegFile(folder.Path("missing.jpg"), folder.Path("bad.jpg"), RECT{0, 0, 4, 4}), 0);
}

} // namespace
