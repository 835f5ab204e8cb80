#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/support/FixtureFiles.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(ImageFileBase, ReadsAnswerUnsupportedAndWritesNoWriter)
{
    FixtureFolder folder;
    WriteFixtureFile(folder.Path("a.bin"), {1, 2, 3});
    CImageFile file;
    CImage image;
    SIZE size{5, 5};
    double scale = 2.5;
    std::uint8_t* pixels = nullptr;
    std::uint8_t* plane = nullptr;
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(file.Read(folder.Path("a.bin"), &image), ImageFileUnsupported);
    EXPECT_EQ(file.ReadScaled(folder.Path("a.bin"), &image, 9, 9, &size, &scale, 0, 1, nullptr),
              ImageFileUnsupported);
    EXPECT_EQ(file.ReadBuffer(folder.Path("a.bin"), &pixels, &plane, &size, nullptr), ImageFileUnsupported);
    EXPECT_EQ(file.Write(folder.Path("w.bin"), &image), ImageFileNoMemory);
    EXPECT_EQ(file.WriteBuffer(folder.Path("w.bin"), buffer, nullptr, 2, 2), ImageFileNoMemory);
    // Nothing was touched.
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(size.cx, 5);
    EXPECT_EQ(scale, 2.5);
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(std::filesystem::exists(folder.Path("w.bin")));
}

TEST(ImageFileBase, ByteOrderOperations)
{
    CImageFile file;
    EXPECT_EQ(file.Swap16(0x1234), 0x3412);
    EXPECT_EQ(file.Swap32(0x01020304u), 0x04030201u);
    std::uint16_t v16 = 0xABCD;
    std::uint32_t v32 = 0xA1B2C3D4u;
    file.Swap16InPlace(&v16);
    file.Swap32InPlace(&v32);
    EXPECT_EQ(v16, 0xCDAB);
    EXPECT_EQ(v32, 0xD4C3B2A1u);
    std::uint8_t rgb[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_TRUE(file.SwapRedBlue(rgb, 6, 1));
    EXPECT_EQ(rgb[0], 3);
    EXPECT_EQ(rgb[2], 1);
    EXPECT_EQ(rgb[3], 6);
}

TEST(ImageFileBase, PictureSizeCap)
{
    EXPECT_TRUE(IsUsablePictureSize(1, 1));
    EXPECT_TRUE(IsUsablePictureSize(16384, 16384)); // exactly 2^28 pixels
    EXPECT_FALSE(IsUsablePictureSize(16384, 16385));
    EXPECT_FALSE(IsUsablePictureSize(0, 10));
    EXPECT_FALSE(IsUsablePictureSize(10, -1));
    EXPECT_FALSE(IsUsablePictureSize(0x7FFFFFFF, 0x7FFFFFFF));
    EXPECT_FALSE(IsUsablePictureSize(std::int64_t{1} << 40, 1));
    EXPECT_TRUE(IsUsablePictureSize(std::int64_t{1} << 28, 1));
    EXPECT_EQ(AllocPageBuffer(0), nullptr);
}

TEST(ImageFileBase, RawFileOperations)
{
    FixtureFolder folder;
    CImageFile file;
    EXPECT_FALSE(file.Open(folder.Path("missing"), CImageFile::OpenMode::Read));
    ASSERT_TRUE(file.Open(folder.Path("f"), CImageFile::OpenMode::CreateReadWrite));
    const std::uint8_t bytes[5] = {9, 8, 7, 6, 5};
    ASSERT_TRUE(file.WriteBytes(bytes, 5));
    EXPECT_EQ(file.GetLength(), 5u);
    ASSERT_TRUE(file.Seek(3));
    std::uint8_t back[4] = {};
    EXPECT_EQ(file.ReadBytes(back, 4), 2u);
    EXPECT_EQ(back[0], 6);
    EXPECT_FALSE(CImageFile::IsReadableFile(folder.Path("f"))); // still staged
    EXPECT_TRUE(file.CommitWrite());
    EXPECT_FALSE(file.CommitWrite());
    file.Close();
    file.Close(); // harmless
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.ReadBytes(back, 1), 0u);
    EXPECT_TRUE(CImageFile::IsReadableFile(folder.Path("f")));
    EXPECT_FALSE(CImageFile::IsReadableFile(folder.Path("")));

    // Closed before the commit: the file written so far is dropped.
    ASSERT_TRUE(file.Open(folder.Path("g"), CImageFile::OpenMode::CreateReadWrite));
    ASSERT_TRUE(file.WriteBytes(bytes, 5));
    file.Close();
    EXPECT_FALSE(CImageFile::IsReadableFile(folder.Path("g")));
}

} // namespace
