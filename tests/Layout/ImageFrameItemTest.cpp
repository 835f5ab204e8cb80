#include "Core/TempFolders.h"
#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageProcessing/support/OrientedPictures.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/support/LayoutTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <tiffio.h>

using namespace layouttest;

namespace {

constexpr std::uint32_t kRed = 0xFF0000; // as the picture shows it (0xRRGGBB)
constexpr std::uint32_t kBlue = 0x0000FF;

bool NearRgb(std::uint32_t a, std::uint32_t b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
        if (x - y > 16 || y - x > 16)
            return false;
    }
    return true;
}

// Each quadrant of an upright picture shows the stored quadrant the
// orientation puts there.
void ExpectUprightQuadrants(const FixtureOrientation& o, int storedWidth, int storedHeight,
                            std::uint32_t (*rgbAt)(const void*, int, int), const void* picture)
{
    const int uw = FixtureUprightWidth(o, storedWidth, storedHeight);
    const int uh = FixtureUprightHeight(o, storedWidth, storedHeight);
    for (const int ux : {uw / 4, uw * 3 / 4})
        for (const int uy : {uh / 4, uh * 3 / 4}) {
            int x = 0, y = 0;
            FixtureStoredPoint(o, storedWidth, storedHeight, ux, uy, &x, &y);
            EXPECT_TRUE(
                NearRgb(rgbAt(picture, ux, uy), FixtureQuadrantColour(storedWidth, storedHeight, x, y)))
                << o.name << " at " << ux << "," << uy;
        }
}

std::uint32_t ImageRgb(const void* image, int x, int y)
{
    return RgbAt(*static_cast<const CImage*>(image), x, y);
}

std::vector<char> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Left half red, right half blue.
std::uint32_t Halves(int x, int width)
{
    return x < width / 2 ? kRed : kBlue;
}

} // namespace

class ImageFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApplication();
        m_tmpDir.emplace(scratch.Path());
    }

    std::string Picture(const std::string& name, int width, int height)
    {
        return WriteBmp24(scratch / name, width, height, [width](int x, int) { return Halves(x, width); });
    }

    ScratchFolder scratch;
    FakeShell shell;

private:
    // Set once the application exists; the last member, so that it is put
    // back before the others go.
    std::optional<ScopedTmpDir> m_tmpDir;
};

TEST_F(ImageFrameTest, BackgroundLimitsRefuseAndKeepThePreviousPicture)
{
    CBackgroundImageFrameItem frame;
    const std::string good = Picture("good.bmp", 300, 200);
    ASSERT_EQ(frame.LoadImage(good), ImageLoadOk);
    EXPECT_EQ(frame.GetImageFileName(), good);
    EXPECT_EQ(frame.GetPictureSize().cx, 300);
    EXPECT_EQ(frame.GetImageBuffer1()->GetWidth(), 300);
    const std::string working = frame.GetImageFileName2();
    ASSERT_FALSE(working.empty());
    EXPECT_TRUE(std::filesystem::exists(working));
    EXPECT_EQ(working.rfind(GetTempImageFolder(), 0), 0u) << working;

    struct Case
    {
        int width, height, result;
    };
    const Case cases[] = {
        {159, 2000, ImageLoadTooSmall}, {5000, 100, ImageLoadTooLarge}, {4096, 200, 1}, {200, 4096, 1}};
    for (const Case& c : cases) {
        const std::string path = WriteBmp24(scratch / "refused.bmp", c.width, c.height, 0x00FF00);
        EXPECT_EQ(frame.LoadImage(path), c.result) << c.width << "x" << c.height;
        EXPECT_EQ(frame.GetImageFileName(), good);
        EXPECT_EQ(frame.GetImageFileName2(), working);
        EXPECT_EQ(frame.GetPictureSize().cx, 300);
        EXPECT_EQ(frame.GetImageBuffer1()->GetWidth(), 300);
    }
    EXPECT_EQ(frame.LoadImage(scratch.Write("broken.bmp", "BM")), ImageLoadUnreadable);
    EXPECT_EQ(frame.LoadImage(scratch / "missing.bmp"), ImageLoadUnreadable);
    EXPECT_EQ(frame.GetImageFileName(), good);
}

TEST_F(ImageFrameTest, LargePictureIsKeptAtDisplaySizeWithItsScale)
{
    CBackgroundImageFrameItem frame;
    ASSERT_EQ(frame.LoadImage(Picture("big.bmp", 1600, 400)), ImageLoadOk);
    EXPECT_EQ(frame.GetImageBuffer1()->GetWidth(), 800);
    EXPECT_EQ(frame.GetImageBuffer1()->GetHeight(), 200);
    EXPECT_DOUBLE_EQ(frame.GetImageScale(), 0.5);
    EXPECT_EQ(frame.GetPictureSize().cx, 1600);
    // An opaque picture loads opaque: the mask is 0 everywhere.
    ASSERT_TRUE(frame.GetImageBuffer1()->HasMask());
    EXPECT_EQ(MaskAt(*frame.GetImageBuffer1(), 0, 0), 0);
    EXPECT_EQ(MaskAt(*frame.GetImageBuffer1(), 799, 199), 0);
}

TEST_F(ImageFrameTest, EmptyPathClearsAndWorkingFileGoesWithTheItem)
{
    std::string working;
    {
        CBackgroundImageFrameItem frame;
        ASSERT_EQ(frame.LoadImage(Picture("a.bmp", 200, 200)), ImageLoadOk);
        frame.SetImageRange(RECT{50, 60, 10, 20});
        RECT range;
        frame.GetImageRange(&range);
        EXPECT_EQ(range.left, 10);
        EXPECT_EQ(range.bottom, 60);
        ASSERT_TRUE(frame.BuildDisplayImage(1, false));
        EXPECT_TRUE(frame.GetImageBuffer2()->IsValid());
        const std::string first = frame.GetImageFileName2();
        EXPECT_EQ(frame.LoadImage(""), ImageLoadOk);
        EXPECT_EQ(frame.GetImageFileName(), "");
        frame.GetImageRange(&range);
        EXPECT_EQ(range.right, 0);
        EXPECT_FALSE(frame.GetImageBuffer1()->IsValid());
        EXPECT_FALSE(frame.GetImageBuffer2()->IsValid());
        EXPECT_FALSE(frame.GetImageBuffer3()->IsValid());
        EXPECT_FALSE(frame.GetImageBuffer4()->IsValid());
        EXPECT_FALSE(std::filesystem::exists(first));
        ASSERT_EQ(frame.LoadImage(Picture("b.bmp", 200, 200)), ImageLoadOk);
        working = frame.GetImageFileName2();
        EXPECT_TRUE(std::filesystem::exists(working));
    }
    EXPECT_FALSE(std::filesystem::exists(working));
}

TEST_F(ImageFrameTest, RotationSettersAndBuilding)
{
    CBackgroundImageFrameItem frame;
    for (int i = 0; i < 4; ++i)
        frame.Rotate(true);
    EXPECT_EQ(frame.GetImageRotation(), 0);
    frame.Rotate(false);
    EXPECT_EQ(frame.GetImageRotation(), 3);
    frame.SetImageRotation(4);
    frame.Rotate(true);
    EXPECT_EQ(frame.GetImageRotation(), 4);
    frame.SetImageMode(0);
    EXPECT_EQ(frame.GetImageMode(), 4);
    frame.SetImagePlacement(1);
    EXPECT_EQ(frame.GetImagePlacement(), 0);

    ASSERT_EQ(frame.LoadImage(Picture("c.bmp", 400, 200)), ImageLoadOk);
    frame.SetImageRotation(2);
    frame.SetRect(RECT{0, 0, 40, 20});
    frame.SetDrawSuppressed(false);
    CImage canvas;
    ASSERT_TRUE(canvas.Create(40, 20));
    EXPECT_FALSE(frame.GetImageBuffer2()->IsValid());
    EXPECT_FALSE(frame.GetImageBuffer4()->IsValid());
    ASSERT_TRUE(frame.Draw(&canvas, 1.0f, nullptr, false));
    // Image 2 was built on the way to image 3.
    EXPECT_EQ(frame.GetImageBuffer2()->GetWidth(), 200);
    EXPECT_EQ(frame.GetImageBuffer3()->GetWidth(), 400);
    EXPECT_FALSE(frame.GetImageBuffer4()->IsValid());
    // Half a turn: the blue half is now on the left.
    EXPECT_EQ(RgbAt(canvas, 2, 10), kBlue);
    EXPECT_EQ(RgbAt(canvas, 37, 10), kRed);
    // A quarter turn clockwise puts the red (left) half at the top.
    EXPECT_EQ(RgbAt(*frame.GetImageBuffer2(), 100, 10), kRed);
    EXPECT_EQ(RgbAt(*frame.GetImageBuffer2(), 100, 390), kBlue);
    ASSERT_TRUE(frame.BuildDisplayImage(3, false));
    EXPECT_EQ(RgbAt(*frame.GetImageBuffer4(), 100, 10), kBlue);
}

TEST_F(ImageFrameTest, PlacementFillFitAndStretch)
{
    CBackgroundImageFrameItem frame;
    ASSERT_EQ(frame.LoadImage(Picture("d.bmp", 400, 200)), ImageLoadOk);
    frame.SetRect(RECT{0, 0, 100, 100});
    frame.SetDrawSuppressed(false);
    struct Case
    {
        int placement;
        POINT red, blue, white;
        int border; // first blue column on row 50
    };
    const Case cases[] = {
        {0, {10, 2}, {90, 97}, {-1, -1}, 50},  // fill: the middle 200 x 200 of the picture over the frame
        {1, {10, 30}, {90, 70}, {50, 10}, 50}, // fit: 100 x 50 in the middle, the canvas left above and below
        {3, {10, 2}, {90, 97}, {-1, -1}, 50},  // stretch
    };
    for (const Case& c : cases) {
        // Background frames always fill; the base's placements are reached through its own setter.
        frame.CImageFrameItem::SetImagePlacement(c.placement);
        CImage canvas;
        ASSERT_TRUE(canvas.Create(100, 100));
        ASSERT_TRUE(frame.Draw(&canvas, 1.0f, nullptr, false));
        EXPECT_EQ(RgbAt(canvas, c.red.x, c.red.y), kRed) << c.placement;
        EXPECT_EQ(RgbAt(canvas, c.blue.x, c.blue.y), kBlue) << c.placement;
        if (c.white.x >= 0) {
            EXPECT_EQ(RgbAt(canvas, c.white.x, c.white.y), 0xFFFFFFu) << c.placement;
            EXPECT_EQ(InkBounds(canvas, 0xFFFFFF).top, 25) << c.placement;
            EXPECT_EQ(InkBounds(canvas, 0xFFFFFF).bottom, 75) << c.placement;
        } else {
            EXPECT_EQ(CountColor(canvas, 0xFFFFFF), 0) << c.placement;
        }
        EXPECT_EQ(RgbAt(canvas, c.border - 1, 50), kRed) << c.placement;
        EXPECT_EQ(RgbAt(canvas, c.border, 50), kBlue) << c.placement;
    }
    // Fill with a range: only the red left quarter of the picture is shown.
    frame.CImageFrameItem::SetImagePlacement(0);
    frame.SetImageRange(RECT{0, 0, 100, 200});
    CImage canvas;
    ASSERT_TRUE(canvas.Create(100, 100));
    ASSERT_TRUE(frame.Draw(&canvas, 1.0f, nullptr, false));
    EXPECT_EQ(CountColor(canvas, kRed), 100 * 100);
    // Part of the frame beyond the canvas: the source is cut in proportion.
    frame.SetImageRange(RECT{});
    frame.CImageFrameItem::SetImagePlacement(3);
    CImage half;
    ASSERT_TRUE(half.Create(50, 100));
    ASSERT_TRUE(frame.Draw(&half, 1.0f, nullptr, false));
    EXPECT_EQ(CountColor(half, kRed), 50 * 100);
    const POINT origin{-50, 0};
    ASSERT_TRUE(frame.Draw(&half, 1.0f, &origin, false));
    EXPECT_EQ(CountColor(half, kBlue), 50 * 100);
}

TEST_F(ImageFrameTest, AutomaticRotationByShapesAndOrientation)
{
    CInsertImageFrameItem frame;
    struct Case
    {
        int orientation;
        RECT frameRect;
        RECT source;
        int rotation;
    };
    const Case cases[] = {
        {0, {0, 0, 100, 200}, {0, 0, 400, 200}, 1}, {0, {0, 0, 200, 100}, {0, 0, 400, 200}, 0},
        {0, {0, 0, 100, 100}, {0, 0, 400, 200}, 0}, {1, {0, 0, 100, 200}, {0, 0, 400, 200}, 3},
        {1, {0, 0, 200, 100}, {0, 0, 400, 200}, 0}, {1, {0, 0, 100, 100}, {0, 0, 400, 200}, 3},
    };
    for (const Case& c : cases) {
        frame.SetOrientation(c.orientation);
        frame.SetRect(c.frameRect);
        EXPECT_EQ(frame.ChooseRotation(4, c.source), c.rotation) << c.orientation << " " << c.frameRect.right;
        EXPECT_EQ(frame.ChooseRotation(2, c.source), 2);
    }
}

TEST_F(ImageFrameTest, PlaceholdersByCameraLayoutAndOrientation)
{
    CInsertImageFrameItem ordinary;
    EXPECT_EQ(ordinary.GetImageBuffer1()->GetResourceId(), 418);
    EXPECT_EQ(ordinary.GetImageBuffer2()->GetResourceId(), 419);
    EXPECT_EQ(ordinary.GetImageBuffer3()->GetResourceId(), 420);
    EXPECT_EQ(ordinary.GetImageBuffer4()->GetResourceId(), 421);
    EXPECT_EQ(ordinary.GetImageBuffer1()->GetWidth(), 452);
    EXPECT_EQ(ordinary.GetImageBuffer1()->GetHeight(), 340);
    EXPECT_EQ(ordinary.GetImageBuffer2()->GetWidth(), 340);
    EXPECT_EQ(ordinary.GetImageBuffer2()->GetHeight(), 452);

    shell.cameraLayout = true;
    shell.orientation = 1;
    CInsertImageFrameItem landscape;
    EXPECT_EQ(landscape.GetImageBuffer1()->GetResourceId(), 521);
    EXPECT_FALSE(landscape.GetImageBuffer2()->IsValid());
    EXPECT_FALSE(landscape.GetImageBuffer4()->IsValid());
    shell.orientation = 0;
    EXPECT_EQ(landscape.LoadImage(""), ImageLoadOk);
    EXPECT_EQ(landscape.GetImageBuffer1()->GetResourceId(), 522);

    shell.hasDocument = false;
    CInsertImageFrameItem none;
    EXPECT_EQ(none.GetImageBuffer1()->GetResourceId(), 418);
}

TEST_F(ImageFrameTest, InsertFrameSettersRotationAndAspect)
{
    CInsertImageFrameItem frame;
    frame.SetImagePlacement(2);
    EXPECT_EQ(frame.GetImagePlacement(), 0);
    frame.SetImagePlacement(1);
    EXPECT_EQ(frame.GetImagePlacement(), 1);

    frame.SetImageRotation(0);
    frame.SetAspectKind(0);
    frame.Rotate(true);
    EXPECT_EQ(frame.GetImageRotation(), 1);
    EXPECT_EQ(frame.GetAspectKind(), 1);
    frame.SetAspectKind(-1);
    frame.Rotate(true);
    EXPECT_EQ(frame.GetAspectKind(), -1);

    frame.SetOrientation(1);
    frame.SetImageRotation(3);
    EXPECT_EQ(frame.GetEffectiveRotation(), 0);
    frame.SetImageRotation(4);
    EXPECT_EQ(frame.GetEffectiveRotation(), 4);

    frame.SetRect(RECT{10, 20, 310, 320});
    frame.SetAspectKind(1);
    frame.FitRectToAspect();
    RECT r;
    frame.GetRect(&r, false);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 310);
    EXPECT_EQ(r.bottom, 220);
    int w = -7, h = -7;
    frame.SetAspectKind(3);
    frame.GetAspectRatio(&w, &h);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 4);

    CInsertImageFrameItem copy;
    copy.SetAspectKind(2);
    frame.SetFrameNumber(7);
    frame.SetShowFlash(true);
    frame.SetInfoOption(5);
    copy.CopyFrom(frame);
    EXPECT_EQ(copy.GetAspectKind(), 2);
    EXPECT_EQ(copy.GetFrameNumber(), 7);
    EXPECT_TRUE(copy.ShowsFlash());
    EXPECT_EQ(copy.GetInfoOption(), 0);
}

TEST_F(ImageFrameTest, InsertFrameArchiveKeepsNumberAndAspectButDropsLinks)
{
    CInsertImageFrameItem frame;
    CMacroStringItem text;
    frame.SetLinkedText1(&text);
    frame.SetFrameNumber(12);
    frame.SetAspectKind(3);
    frame.SetShowISO(true);
    frame.SetShowFullPath(true);
    frame.SetInfoFontKey("key");
    frame.SetInfoFontName("face");
    frame.SetInfoFontSize(1);
    frame.SetInfoTextColor(0x123456);
    frame.SetImageRotation(1);
    const auto bytes = Store(frame);
    ASSERT_GE(bytes.size(), 48u);
    std::vector<std::uint8_t> tail(bytes.end() - 48, bytes.end());
    EXPECT_EQ(tail[0], 12);
    for (int i = 4; i < 44; ++i)
        EXPECT_EQ(tail[static_cast<std::size_t>(i)], 0) << i;
    EXPECT_EQ(tail[44], 3);

    CInsertImageFrameItem back;
    back.SetInfoFontName("old");
    Load(back, bytes);
    EXPECT_EQ(back.GetFrameNumber(), 12);
    EXPECT_EQ(back.GetAspectKind(), 3);
    EXPECT_EQ(back.GetLinkedText1(), nullptr);
    EXPECT_FALSE(back.ShowsISO());
    EXPECT_FALSE(back.ShowsFullPath());
    EXPECT_EQ(back.GetInfoFontKey(), "");
    EXPECT_EQ(back.GetInfoFontName(), "");
    EXPECT_EQ(back.GetInfoFontSize(), 0);
    EXPECT_EQ(back.GetInfoTextColor(), 0u);
    EXPECT_EQ(back.GetImageRotation(), 1);
    EXPECT_EQ(back.GetImageBuffer1()->GetResourceId(), 418);

    // In a camera layout the placement becomes fill and the rotation is fixed for the page.
    shell.cameraLayout = true;
    struct Case
    {
        int stored, orientation, fixed;
    };
    const Case cases[] = {{1, 1, 3}, {3, 1, 0}, {4, 1, 0}, {1, 0, 0}, {3, 0, 1}, {2, 0, 0}};
    for (const Case& c : cases) {
        frame.SetImageRotation(c.stored);
        frame.SetImagePlacement(1);
        const auto stored = Store(frame);
        shell.orientation = c.orientation;
        CInsertImageFrameItem camera;
        Load(camera, stored);
        EXPECT_EQ(camera.GetImageRotation(), c.fixed) << c.stored << " " << c.orientation;
        EXPECT_EQ(camera.GetImagePlacement(), 0);
        EXPECT_EQ(camera.GetImageBuffer1()->GetResourceId(), c.orientation == 1 ? 521 : 522);
    }
}

TEST_F(ImageFrameTest, BackgroundArchiveCarriesThePictureThroughTheClipboardFolder)
{
    CBackgroundImageFrameItem frame;
    ASSERT_EQ(frame.LoadImage(Picture("e.bmp", 1000, 500)), ImageLoadOk);
    frame.SetAspectFixed(true);
    frame.SetImageRange(RECT{10, 20, 110, 220});
    const auto bytes = Store(frame);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 4, bytes.end()),
              (std::vector<std::uint8_t>{1, 0, 0, 0}));

    CBackgroundImageFrameItem back;
    Load(back, bytes);
    EXPECT_TRUE(back.IsAspectFixed());
    EXPECT_EQ(back.GetImageFileName(), frame.GetImageFileName());
    EXPECT_EQ(back.GetPictureSize().cx, 1000);
    EXPECT_DOUBLE_EQ(back.GetImageScale(), 0.8);
    EXPECT_EQ(back.GetImageBuffer1()->GetWidth(), 800);
    EXPECT_EQ(RgbAt(*back.GetImageBuffer1(), 10, 10), kRed);
    EXPECT_EQ(RgbAt(*back.GetImageBuffer1(), 790, 10), kBlue);
    ASSERT_FALSE(back.GetImageFileName2().empty());
    EXPECT_NE(back.GetImageFileName2(), frame.GetImageFileName2());
    EXPECT_EQ(std::filesystem::file_size(back.GetImageFileName2()),
              std::filesystem::file_size(frame.GetImageFileName2()));
    RECT range;
    back.GetImageRange(&range);
    EXPECT_EQ(range.right, 110);

    CBackgroundImageFrameItem copy;
    copy.CopyFrom(frame);
    EXPECT_TRUE(copy.IsAspectFixed());
    EXPECT_NE(copy.GetImageFileName2(), frame.GetImageFileName2());
    EXPECT_TRUE(std::filesystem::exists(copy.GetImageFileName2()));
    EXPECT_EQ(copy.GetImageBuffer1()->GetWidth(), 800);

    // A frame without a picture stores no picture part and loads the placeholders.
    CBackgroundImageFrameItem empty;
    CBackgroundImageFrameItem emptyBack;
    Load(emptyBack, Store(empty));
    EXPECT_EQ(emptyBack.GetImageBuffer1()->GetResourceId(), 418);
    EXPECT_EQ(emptyBack.GetPictureSize().cx, 0);
}

TEST_F(ImageFrameTest, InsertFrameWorkingCopyIsJpeg)
{
    CInsertImageFrameItem frame;
    EXPECT_EQ(frame.LoadImage(WriteBmp24(scratch / "small.bmp", 100, 200, 0)), ImageLoadTooSmall);
    EXPECT_EQ(frame.GetImageBuffer1()->GetResourceId(), 418) << "the placeholder stays";
    ASSERT_EQ(frame.LoadImage(Picture("f.bmp", 400, 200)), ImageLoadOk);
    const std::string working = frame.GetImageFileName2();
    std::ifstream in(working, std::ios::binary);
    char head[2] = {};
    in.read(head, 2);
    EXPECT_EQ(static_cast<unsigned char>(head[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(head[1]), 0xD8);
    EXPECT_FALSE(frame.GetImageBuffer2()->IsValid()) << "the turned placeholders go with a picture";

    // A JPEG picture is copied as it is.
    const std::string photo = scratch / "photo.JPG";
    std::filesystem::copy_file(working, photo);
    CInsertImageFrameItem second;
    ASSERT_EQ(second.LoadImage(photo), ImageLoadOk);
    EXPECT_EQ(std::filesystem::file_size(second.GetImageFileName2()), std::filesystem::file_size(working));

    // Clearing puts the placeholders back and removes the working copy.
    EXPECT_EQ(frame.LoadImage(""), ImageLoadOk);
    EXPECT_FALSE(std::filesystem::exists(working));
    EXPECT_EQ(frame.GetImageFileName2(), "");
    EXPECT_EQ(frame.GetImageBuffer3()->GetResourceId(), 420);
}

TEST_F(ImageFrameTest, InsertFrameTurnsAPictureAutomatically)
{
    CInsertImageFrameItem frame;
    ASSERT_EQ(frame.LoadImage(Picture("g.bmp", 400, 200)), ImageLoadOk);
    frame.SetImageRotation(4);
    frame.SetImagePlacement(3); // stretch
    frame.SetRect(RECT{0, 0, 100, 200});
    frame.SetDrawSuppressed(false);
    CImage canvas;
    ASSERT_TRUE(canvas.Create(100, 200));
    ASSERT_TRUE(frame.Draw(&canvas, 1.0f, nullptr, true));
    // Portrait frame, landscape picture, portrait page: a quarter turn clockwise puts red on top.
    EXPECT_TRUE(frame.GetImageBuffer2()->IsValid());
    const auto near = [](std::uint32_t p, std::uint32_t want) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int a = static_cast<int>((p >> shift) & 0xFF);
            const int b = static_cast<int>((want >> shift) & 0xFF);
            if (std::abs(a - b) > 40)
                return false;
        }
        return true;
    };
    EXPECT_TRUE(near(RgbAt(canvas, 50, 20), kRed));
    EXPECT_TRUE(near(RgbAt(canvas, 50, 180), kBlue));
    // On a landscape page the other quarter is chosen: blue on top.
    frame.SetOrientation(1);
    ASSERT_TRUE(frame.Draw(&canvas, 1.0f, nullptr, true));
    EXPECT_TRUE(frame.GetImageBuffer4()->IsValid());
    EXPECT_TRUE(near(RgbAt(canvas, 50, 20), kBlue));
    EXPECT_TRUE(near(RgbAt(canvas, 50, 180), kRed));
}

TEST_F(ImageFrameTest, AlphaOfAPictureBecomesItsMaskUnchanged)
{
    // Left half opaque red, right half fully transparent.
    const std::string path = scratch / "alpha.tif";
    {
        TIFF* tif = TIFFOpen(path.c_str(), "w");
        ASSERT_NE(tif, nullptr);
        const std::uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 200);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 200);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 4);
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 200);
        std::vector<std::uint8_t> row(200 * 4);
        for (int x = 0; x < 200; ++x) {
            const bool left = x < 100;
            row[static_cast<std::size_t>(x) * 4 + 0] = left ? 255 : 0;
            row[static_cast<std::size_t>(x) * 4 + 2] = left ? 0 : 255;
            row[static_cast<std::size_t>(x) * 4 + 3] = left ? 255 : 0;
        }
        for (std::uint32_t y = 0; y < 200; ++y)
            ASSERT_EQ(TIFFWriteScanline(tif, row.data(), y, 0), 1);
        TIFFClose(tif);
    }
    CBackgroundImageFrameItem frame;
    ASSERT_EQ(frame.LoadImage(path), ImageLoadOk);
    const CImage& picture = *frame.GetImageBuffer1();
    ASSERT_TRUE(picture.HasMask());
    EXPECT_EQ(MaskAt(picture, 10, 10), 0);
    EXPECT_EQ(MaskAt(picture, 190, 10), 255);
    frame.SetRect(RECT{0, 0, 200, 200});
    frame.SetDrawSuppressed(false);
    CImage canvas;
    ASSERT_TRUE(canvas.Create(200, 200));
    canvas.FillRectLTRB(0, 0, 200, 200, 0x808080);
    ASSERT_TRUE(frame.Draw(&canvas, 1.0f, nullptr, false));
    EXPECT_EQ(RgbAt(canvas, 10, 10), kRed);
    EXPECT_EQ(RgbAt(canvas, 190, 10), 0x808080u);
}

// A photo that records an orientation comes in upright: its size, its display
// copy and the working copy the layout stores (a plain JPEG with nothing left
// to turn), and the automatic rotation is judged on its upright shape. A photo
// that records none is still carried as its file.
TEST_F(ImageFrameTest, InsertFrameTakesAPhotoUprightByItsOrientation)
{
    const FixtureOrientation& turn = FixtureOrientations()[5]; // 6: a portrait photo of a phone
    ASSERT_EQ(turn.value, 6);
    const std::string photo = scratch / "portrait.jpg";
    ASSERT_FALSE(FixtureOrientedQuadrantJpeg(photo, 400, 200, turn.value).empty());
    CInsertImageFrameItem frame;
    ASSERT_EQ(frame.LoadImage(photo), ImageLoadOk);
    EXPECT_EQ(frame.GetPictureSize().cx, 200);
    EXPECT_EQ(frame.GetPictureSize().cy, 400);
    const CImage& shown = *frame.GetImageBuffer1();
    ASSERT_EQ(shown.GetWidth(), 200);
    ASSERT_EQ(shown.GetHeight(), 400);
    ExpectUprightQuadrants(turn, 400, 200, ImageRgb, &shown);

    const std::string working = frame.GetImageFileName2();
    EXPECT_EQ(JpegFileOrientation(working), 1);
    CImage stored;
    ASSERT_EQ(stored.LoadJpeg(working), 0);
    ASSERT_EQ(stored.GetWidth(), 200);
    ASSERT_EQ(stored.GetHeight(), 400);
    ExpectUprightQuadrants(turn, 400, 200, ImageRgb, &stored);

    frame.SetImageRotation(4);
    frame.SetRect(RECT{0, 0, 100, 200});
    EXPECT_EQ(frame.GetShownRotation(), 0) << "an upright portrait needs no turn in a portrait frame";

    const std::string plain = scratch / "plain.jpg";
    ASSERT_FALSE(FixtureOrientedQuadrantJpeg(plain, 400, 200, 1).empty());
    CInsertImageFrameItem second;
    ASSERT_EQ(second.LoadImage(plain), ImageLoadOk);
    EXPECT_EQ(FileBytes(second.GetImageFileName2()), FileBytes(plain));
    second.SetImageRotation(4);
    second.SetRect(RECT{0, 0, 100, 200});
    EXPECT_EQ(second.GetShownRotation(), 1);
}

// A background from a TIFF whose Orientation stands it on its side: the
// display copy and the working copy a layout's picture is made from are upright.
TEST_F(ImageFrameTest, BackgroundTakesATurnedTiffUpright)
{
    const FixtureOrientation& turn = FixtureOrientations()[7]; // 8
    ASSERT_EQ(turn.value, 8);
    const int width = 300, height = 200;
    const std::string path = scratch / "turned.tif";
    {
        TIFF* tif = TIFFOpen(path.c_str(), "w");
        ASSERT_NE(tif, nullptr);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
        TIFFSetField(tif, TIFFTAG_ORIENTATION, turn.value);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t rgb = FixtureQuadrantColour(width, height, x, y);
                row[static_cast<std::size_t>(x) * 3] = static_cast<std::uint8_t>(rgb >> 16);
                row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<std::uint8_t>(rgb >> 8);
                row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<std::uint8_t>(rgb);
            }
            ASSERT_EQ(TIFFWriteScanline(tif, row.data(), static_cast<std::uint32_t>(y), 0), 1);
        }
        TIFFClose(tif);
    }
    CBackgroundImageFrameItem frame;
    ASSERT_EQ(frame.LoadImage(path), ImageLoadOk);
    EXPECT_EQ(frame.GetPictureSize().cx, height);
    EXPECT_EQ(frame.GetPictureSize().cy, width);
    ExpectUprightQuadrants(turn, width, height, ImageRgb, frame.GetImageBuffer1());

    std::uint8_t* raw = nullptr;
    SIZE size{};
    ASSERT_EQ(CBMPFile().ReadRaw32(frame.GetImageFileName2(), &raw, &size), 0);
    const PageBuffer pixels(raw);
    ASSERT_EQ(size.cx, height);
    ASSERT_EQ(size.cy, width);
    struct Buffer
    {
        const std::uint8_t* pixels;
        int width, height;
    } const buffer{pixels.get(), size.cx, size.cy};
    ExpectUprightQuadrants(
        turn, width, height,
        [](const void* b, int x, int y) {
            const auto& in = *static_cast<const Buffer*>(b);
            const std::uint8_t* p =
                in.pixels + (static_cast<std::size_t>(in.height - 1 - y) * in.width + x) * 4;
            return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
        },
        &buffer);
}
