#include "Core/support/ScopedTmpDir.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/support/FixtureBmp.h"
#include "ImageProcessing/support/FixtureImage.h"
#include "ImageProcessing/support/FixtureTarga.h"
#include "ImageProcessing/support/FixtureTiff.h"
#include "Platform/Archive.h"
#include "Platform/PageAllocator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

struct KindCase
{
    const char* path;
    std::optional<ImageFileKind> load;   // LoadFile
    std::optional<ImageFileKind> scaled; // LoadFileScaled
    std::optional<ImageFileKind> buffer; // LoadImageFileToBuffer
};

TEST(ImageLoadDispatch, ExtensionsChooseTheReaders)
{
    using K = ImageFileKind;
    const KindCase cases[] = {
        {"photo.JPG", K::Jpeg, K::Jpeg, K::Jpeg},
        {"photo.jpgx", K::Jpeg, K::Jpeg, std::nullopt},
        {"photo.JPEG", K::Jpeg, K::Jpeg, K::Jpeg},
        {"photo.jpe", std::nullopt, std::nullopt, std::nullopt},
        {"a.Bmp", K::Bmp, K::Bmp, K::Bmp},
        {"a.bmpfile", K::Bmp, K::Bmp, std::nullopt},
        {"a.bm", std::nullopt, std::nullopt, std::nullopt},
        {"a.tif", K::Tiff, K::Tiff, K::Tiff},
        {"photo.TIFF", K::Tiff, K::Tiff, K::Tiff},
        {"a.tiff2", K::Tiff, K::Tiff, std::nullopt},
        {"a.EFF", K::Eff, K::Eff, K::Eff},
        {"a.tga", K::Targa, std::nullopt, std::nullopt},
        {"a.TGA1", K::Targa, std::nullopt, std::nullopt},
        {"a.tg", std::nullopt, std::nullopt, std::nullopt},
        {"/x.bmp/noextension", std::nullopt, std::nullopt, std::nullopt},
        {"/dir.d/a.png", std::nullopt, std::nullopt, std::nullopt},
        {"a.", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const KindCase& c : cases) {
        EXPECT_EQ(ImageFileKindForLoad(c.path, true), c.load) << c.path;
        EXPECT_EQ(ImageFileKindForLoad(c.path, false), c.scaled) << c.path;
        EXPECT_EQ(ImageFileKindForBuffer(c.path), c.buffer) << c.path;
    }
}

class CountingWaitCursor : public IWaitFeedback
{
public:
    void BeginWait() override { ++begun; }
    void EndWait() override { ++ended; }
    void KeepPainted() override {}
    int begun = 0;
    int ended = 0;
};

class ImageLoad : public ::testing::Test
{
protected:
    void SetUp() override { SetImageWaitFeedback(&cursor); }
    void TearDown() override { SetImageWaitFeedback(nullptr); }

    std::string Bmp(const char* name)
    {
        const std::string path = folder.Path(name);
        WriteFixtureFile(path, FixtureBmp(bmp));
        return path;
    }

    FixtureFolder folder;
    FixtureBmpOptions bmp;
    CountingWaitCursor cursor;
};

// The same BMP bytes under several names: the name alone decides.
TEST_F(ImageLoad, LoadFileReadsByTheBeginningOfTheExtension)
{
    CImage image;
    ASSERT_EQ(image.LoadFile(Bmp("a.BMPX")), ImageFileOk);
    EXPECT_EQ(image.GetWidth(), bmp.width);
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 3, 2), FixtureBmpPixel(bmp, 3, 2)));
    // A failed load leaves the image released.
    EXPECT_EQ(image.LoadFile(Bmp("a.bm")), ImageFileUnsupported);
    EXPECT_FALSE(image.IsValid());
    ASSERT_EQ(image.LoadFile(Bmp("b.bmp")), ImageFileOk);
    EXPECT_EQ(image.LoadFile(Bmp("a.jpg")), ImageFileUnsupported); // BMP bytes under a JPEG name
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.LoadFile(folder.Path("missing.bmp")), ImageFileMissing);
    EXPECT_EQ(cursor.begun, 5);
    EXPECT_EQ(cursor.ended, 5);
}

TEST_F(ImageLoad, ShortExtensionGivesSixWithoutOpeningTheFile)
{
    CImage image;
    // No file exists: a reader would answer 1.
    EXPECT_EQ(image.LoadFile(folder.Path("a.tg")), ImageFileUnsupported);
    EXPECT_EQ(image.LoadFile(folder.Path("noext")), ImageFileUnsupported);
    std::uint8_t* pixels = nullptr;
    SIZE size{};
    EXPECT_EQ(LoadImageFileToBuffer(folder.Path("photo.jpgx"), &pixels, nullptr, &size, nullptr),
              ImageFileUnsupported);
    EXPECT_EQ(pixels, nullptr);
}

TEST_F(ImageLoad, LoadImageFileToBufferMatchesTheWholeExtension)
{
    FixtureTiffOptions o;
    ASSERT_TRUE(WriteFixtureTiff(folder.Path("photo.TIFF"), o));
    std::filesystem::copy_file(folder.Path("photo.TIFF"), folder.Path("photo.tiffx"));
    std::uint8_t* pixels = nullptr;
    std::uint8_t* plane = nullptr;
    SIZE size{};
    ASSERT_EQ(LoadImageFileToBuffer(folder.Path("photo.TIFF"), &pixels, &plane, &size, nullptr), ImageFileOk);
    PageBuffer ownPixels(pixels), ownPlane(plane);
    EXPECT_EQ(size.cx, o.width);
    EXPECT_EQ(size.cy, o.height);
    EXPECT_TRUE(SameColour(FixtureBufferPixel(pixels, o.width, o.height, 1, 2), FixtureTiffPixel(o, 1, 2)));
    EXPECT_EQ(LoadImageFileToBuffer(folder.Path("photo.tiffx"), &pixels, &plane, &size, nullptr),
              ImageFileUnsupported);
    CImage image;
    EXPECT_EQ(image.LoadFile(folder.Path("photo.tiffx")), ImageFileOk);
    EXPECT_EQ(cursor.begun, cursor.ended);
}

// Pictures without alpha load opaque through the buffer path the image frames
// use: the plane and the mask built from it hold 0 everywhere.
TEST_F(ImageLoad, TiffAndTargaWithoutAlphaLoadOpaqueThroughTheBufferPath)
{
    FixtureTiffOptions tiff;
    ASSERT_TRUE(WriteFixtureTiff(folder.Path("rgb.tif"), tiff));
    FixtureTargaOptions tga;
    tga.depth = 32;
    tga.fourthByte = 255; // a writer's filler, not alpha: no alpha bits declared
    WriteFixtureFile(folder.Path("noalpha.tga"), FixtureTarga(tga));

    struct Source
    {
        std::string path;
        int width, height;
        int (*read)(const std::string&, std::uint8_t**, std::uint8_t**, SIZE*);
    } sources[] = {
        {folder.Path("rgb.tif"), tiff.width, tiff.height,
         [](const std::string& p, std::uint8_t** px, std::uint8_t** pl, SIZE* s) {
             return LoadImageFileToBuffer(p, px, pl, s, nullptr);
         }},
        {folder.Path("noalpha.tga"), tga.width, tga.height,
         [](const std::string& p, std::uint8_t** px, std::uint8_t** pl, SIZE* s) {
             return CreateImageFile(ImageFileKind::Targa)->ReadBuffer(p, px, pl, s, nullptr);
         }},
    };
    for (const Source& s : sources) {
        std::uint8_t* pixels = nullptr;
        std::uint8_t* plane = nullptr;
        SIZE size{};
        ASSERT_EQ(s.read(s.path, &pixels, &plane, &size), ImageFileOk) << s.path;
        PageBuffer ownPixels(pixels), ownPlane(plane);
        for (int i = 0; i < s.width * s.height; ++i)
            ASSERT_EQ(plane[i], 0) << s.path << " " << i;
        CImage image;
        ASSERT_EQ(image.SetFromRgbaBuffer(pixels, size.cx, size.cy, nullptr, nullptr, 0, 0), ImageFileOk);
        ASSERT_TRUE(image.HasMask());
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                ASSERT_EQ(FixtureMaskValue(image, x, y), 0) << s.path;
    }
}

TEST_F(ImageLoad, TargaHasNoScaledRead)
{
    WriteFixtureFile(folder.Path("a.tga"), FixtureTarga({}));
    CImage image;
    SIZE size{};
    double scale = 7;
    EXPECT_EQ(image.LoadFileScaled(folder.Path("a.tga"), 50, 50, &size, &scale, 0, 1, nullptr),
              ImageFileUnsupported);
    EXPECT_EQ(scale, 7);
    ASSERT_EQ(image.LoadFile(folder.Path("a.tga")), ImageFileOk);
    EXPECT_EQ(image.GetWidth(), 5);
}

TEST_F(ImageLoad, LoadFileScaledForwardsToTheScaledReader)
{
    bmp.width = 100;
    bmp.height = 50;
    CImage image;
    SIZE size{};
    double scale = 0;
    ASSERT_EQ(image.LoadFileScaled(Bmp("a.bmp"), 400, 400, &size, &scale, RGB(9, 9, 9), 0, nullptr),
              ImageFileOk);
    EXPECT_EQ(image.GetWidth(), 400);
    EXPECT_EQ(size.cx, 100);
    EXPECT_DOUBLE_EQ(scale, 4.0);
    const SIZE maximum{-1, 49};
    EXPECT_EQ(image.LoadFileScaled(Bmp("a.bmp"), 400, 400, &size, &scale, 0, 0, &maximum),
              ImageFileCancelled);
    EXPECT_EQ(size.cy, 50);
    EXPECT_EQ(cursor.begun, 2);
    EXPECT_EQ(cursor.ended, 2);
}

TEST_F(ImageLoad, SaveAsBmpOfAnEmptyImageWritesNothing)
{
    CImage empty;
    EXPECT_EQ(empty.SaveAsBmp(folder.Path("empty.bmp")), ImageFileUnsupported);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("empty.bmp")));
}

// A 100 x 50 picture whose fourth byte is the mask value.
PageBuffer MaskedBuffer(int w, int h)
{
    PageBuffer buffer(static_cast<std::uint8_t*>(PageAlloc(static_cast<std::size_t>(w) * h * 4)));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = buffer.get() + (static_cast<std::size_t>(h - 1 - y) * w + x) * 4;
            const FixturePixel v = FixturePattern(x, y);
            p[0] = v.b;
            p[1] = v.g;
            p[2] = v.r;
            p[3] = static_cast<std::uint8_t>(x < w / 2 ? 200 : 10);
        }
    return buffer;
}

TEST(ImageFromBuffer, WithoutABoxTheImageAndMaskAreTheBuffer)
{
    PageBuffer buffer = MaskedBuffer(100, 50);
    CImage image;
    ASSERT_EQ(image.SetFromRgbaBuffer(buffer.get(), 100, 50, nullptr, nullptr, 0, 0), ImageFileOk);
    ASSERT_EQ(image.GetWidth(), 100);
    ASSERT_TRUE(image.HasMask());
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 70, 3), FixturePattern(70, 3)));
    EXPECT_EQ(FixtureMaskValue(image, 10, 40), 200);
    EXPECT_EQ(FixtureMaskValue(image, 90, 40), 10);
    EXPECT_EQ(image.SetFromRgbaBuffer(nullptr, 100, 50, nullptr, nullptr, 0, 0), ImageFileCheckFailed);
    EXPECT_EQ(image.SetFromRgbaBuffer(buffer.get(), 0, 50, nullptr, nullptr, 0, 0), ImageFileCheckFailed);
}

TEST(ImageFromBuffer, NoEnlargeKeepsASmallPictureAndTheScale)
{
    PageBuffer buffer = MaskedBuffer(100, 50);
    CImage image;
    const SIZE box{400, 400};
    double scale = 3.25;
    ASSERT_EQ(image.SetFromRgbaBuffer(buffer.get(), 100, 50, &box, &scale, RGB(1, 2, 3), 1), ImageFileOk);
    EXPECT_EQ(image.GetWidth(), 100);
    EXPECT_EQ(image.GetHeight(), 50);
    EXPECT_EQ(scale, 3.25);
    EXPECT_EQ(FixtureMaskValue(image, 0, 0), 200);
    EXPECT_EQ(FixtureMaskValue(image, 99, 49), 10);

    const SIZE small{50, 50};
    ASSERT_EQ(image.SetFromRgbaBuffer(buffer.get(), 100, 50, &small, &scale, RGB(1, 2, 3), 1), ImageFileOk);
    EXPECT_EQ(image.GetWidth(), 50);
    EXPECT_EQ(image.GetHeight(), 25);
    EXPECT_DOUBLE_EQ(scale, 0.5);
    EXPECT_EQ(FixtureMaskValue(image, 5, 5), 200);
    EXPECT_EQ(FixtureMaskValue(image, 45, 20), 10);
}

TEST(ImageFromBuffer, WithoutNoEnlargeTheBoxIsFilledAroundACentredPicture)
{
    PageBuffer buffer = MaskedBuffer(100, 50);
    CImage image;
    const SIZE box{400, 400};
    double scale = 0;
    ASSERT_EQ(image.SetFromRgbaBuffer(buffer.get(), 100, 50, &box, &scale, RGB(1, 2, 3), 0), ImageFileOk);
    ASSERT_EQ(image.GetWidth(), 400);
    ASSERT_EQ(image.GetHeight(), 400);
    EXPECT_DOUBLE_EQ(scale, 4.0);
    // The picture lies in rows 100 .. 299; the border is background and opaque.
    for (int y : {0, 99, 300, 399}) {
        EXPECT_TRUE(SameColour(FixtureImagePixel(image, 200, y), FixturePixel{3, 2, 1, 0})) << y;
        EXPECT_EQ(FixtureMaskValue(image, 200, y), 0) << y;
    }
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 40, 100), FixturePattern(10, 0)));
    EXPECT_EQ(FixtureMaskValue(image, 10, 100), 200);
    EXPECT_EQ(FixtureMaskValue(image, 390, 299), 10);
}

// Archiving keeps only a path; the pixels and the mask travel in a temporary file.
TEST(ImageArchive, StoreAndLoadGiveBackPixelsAndMask)
{
    FixtureFolder folder;
    const ScopedTmpDir tmpDir(folder.Path(""));

    PageBuffer buffer = MaskedBuffer(31, 17);
    CImage image;
    ASSERT_EQ(image.SetFromRgbaBuffer(buffer.get(), 31, 17, nullptr, nullptr, 0, 0), ImageFileOk);
    CArchive store;
    image.Serialize(store);
    const std::vector<std::uint8_t> bytes = store.Data();
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\n');
    const std::string path(bytes.begin(), bytes.end() - 1);
    EXPECT_EQ(path.rfind(folder.Path(""), 0), 0u) << path;
    EXPECT_TRUE(std::filesystem::exists(path));

    CArchive load(bytes);
    CImage back;
    back.Serialize(load);
    ASSERT_EQ(back.GetWidth(), 31);
    ASSERT_TRUE(back.HasMask());
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 31; ++x) {
            ASSERT_TRUE(SameColour(FixtureImagePixel(back, x, y), FixturePattern(x, y)));
            ASSERT_EQ(FixtureMaskValue(back, x, y), x < 15 ? 200 : 10);
        }
}

// A picture that cannot be written or read back fails the archive instead of
// leaving a path to nothing.
TEST(ImageArchive, PictureThatCannotBeWrittenOrReadThrows)
{
    FixtureFolder folder;
    const ScopedTmpDir tmpDir(folder.Path(""));

    CImage invalid;
    CArchive store;
    EXPECT_THROW(invalid.Serialize(store), CArchiveException);
    EXPECT_TRUE(store.Data().empty());
    std::size_t left = 0;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder.Path(""), error);
         it != std::filesystem::recursive_directory_iterator(); ++it)
        left += it->is_regular_file() ? 1 : 0;
    EXPECT_EQ(left, 0u) << "the unwritten picture's file stays behind";

    const std::string junk = folder.Path("junk.tmp");
    std::ofstream(junk, std::ios::binary) << "BM not a bitmap";
    for (const std::string& line : {folder.Path("missing.tmp") + "\n", junk + "\n", std::string()}) {
        const std::vector<std::uint8_t> bytes(line.begin(), line.end());
        CArchive load(bytes);
        CImage back;
        EXPECT_THROW(back.Serialize(load), CArchiveException) << line;
        EXPECT_FALSE(back.IsValid());
    }
}

} // namespace
