// The image browser's list: which files it lists and in what order, the
// thumbnails made from real files of the four kinds, and a refill or a
// destruction while the worker is busy.
#include "Dialogs/ImageListCtrl.h"

#include "App/support/AppTestSupport.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/support/FixtureFiles.h"
#include "ImageProcessing/support/FixtureTiff.h"
#include "ImageProcessing/support/JpegFileFixture.h"
#include "ImageProcessing/support/OrientedPictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;

void Touch(const std::string& path)
{
    WriteFixtureFile(path, {0});
}

std::vector<std::string> ItemNames(const CImageListCtrl& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.count(); ++i)
        names.push_back(list.item(i)->text().toStdString());
    return names;
}

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Every pixel outside `inside` is white; inside, `expected` says what each is.
::testing::AssertionResult ShowsAt(const QImage& thumbnail, const QRect& inside,
                                   const std::function<bool(int x, int y, QRgb pixel)>& expected)
{
    if (thumbnail.size() != QSize(60, 60))
        return ::testing::AssertionFailure() << "size " << thumbnail.width() << " x " << thumbnail.height();
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const QRgb pixel = thumbnail.pixel(x, y);
            const bool ok = inside.contains(x, y) ? expected(x, y, pixel) : (pixel & 0xFFFFFF) == 0xFFFFFF;
            if (!ok)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << (pixel & 0xFFFFFF);
        }
    return ::testing::AssertionSuccess();
}

std::function<bool(int, int, QRgb)> Colour(QRgb colour, int tolerance = 40)
{
    return [=](int, int, QRgb pixel) { return Near(pixel, colour, tolerance); };
}

class ImageListCtrlTest : public ::testing::Test
{
protected:
    ImageListCtrlTest() { list.Init(); }

    std::string Path(const std::string& name) const { return folder.Path(name); }
    // The folder as the dialog sets it, without the trailing "/".
    std::string Folder() const { return std::filesystem::path(folder.Path("x")).parent_path().string(); }

    void FillAndWait()
    {
        QSignalSpy done(&list, &CImageListCtrl::ThumbnailsDone);
        list.SetFolder(Folder());
        list.FillFromFolder();
        ASSERT_TRUE(QTest::qWaitFor([&] { return done.count() > 0; }));
    }

    int Row(const std::string& name) const
    {
        const auto found = list.findItems(QString::fromStdString(name), Qt::MatchExactly);
        return found.isEmpty() ? -1 : list.row(found.first());
    }

    QImage ThumbnailOf(const std::string& name) const
    {
        return list.GetThumbnail(list.GetItemImage(Row(name)));
    }

    struct ApplicationFirst
    {
        ApplicationFirst() { EnsureApp(); }
    } application;
    FixtureFolder folder;
    CImageListCtrl list;
};

TEST_F(ImageListCtrlTest, ListsTheFourKindsInAnyCaseSortedByNameWithoutRegardToCase)
{
    for (const char* name : {"B.bmp", "a.jpg", "C.JPG", "d.jpeg", "e.tiff", "f.Tif", "g.EFF", "h.txt",
                             "_x.bmp", "\xE5\x86\x99\xE7\x9C\x9F.jpg", ".hidden.bmp", "jpg"})
        Touch(Path(name));
    std::filesystem::create_directory(Path("folder.jpg"));

    const std::vector<std::string> expected = {
        ".hidden.bmp", "_x.bmp", "a.jpg", "B.bmp", "C.JPG", "f.Tif", "g.EFF", "\xE5\x86\x99\xE7\x9C\x9F.jpg"};
    EXPECT_EQ(ListImageFileNames(Folder()), expected);
    FillAndWait();
    EXPECT_EQ(ItemNames(list), expected);
    EXPECT_EQ(list.GetItemPath(Row("a.jpg")), Path("a.jpg"));
    EXPECT_EQ(list.Worker().StartCount(), 1);
    // Nothing is selected until the user picks.
    EXPECT_EQ(list.GetSelectedFilePath(), "");
    // A shown list lays its cells out before any picture arrives; they must
    // already hold a whole thumbnail with the name below.
    list.resize(400, 300);
    list.show();
    const QRect cell = list.visualItemRect(list.item(0));
    EXPECT_GE(cell.height(), 60 + list.fontMetrics().height());
    EXPECT_GE(cell.width(), 60);
}

TEST_F(ImageListCtrlTest, AFolderWithoutTheFourKindsListsNothingAndStartsNoWorker)
{
    for (const char* name : {"x.jpeg", "y.tiff", "z.png", "w.jp"})
        Touch(Path(name));
    FillAndWait();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.Worker().StartCount(), 0);
    EXPECT_FALSE(list.Worker().IsRunning());

    list.SetFolder("");
    list.FillFromFolder();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.Worker().StartCount(), 0);
}

TEST_F(ImageListCtrlTest, ThumbnailsOfRealFilesOfTheFourKinds)
{
    // The loaders' wait cursor runs on the worker too.
    CQtWaitFeedback feedback;
    SetImageWaitFeedback(&feedback);

    // A camera file whose main picture is damaged: only its Exif thumbnail can show.
    ExifFixture exif;
    exif.thumbnail = JpegFixtureSolid(JpegFixtureKind::Rgb, {0, 0, 255}, 40, 30);
    std::vector<std::uint8_t> camera = ExifFixtureFile(exif);
    const std::size_t segmentEnd = 4 + ((std::size_t(camera[4]) << 8) | camera[5]);
    camera.resize(segmentEnd);
    camera.insert(camera.end(), 300, 0x5A);
    WriteFixtureFile(Path("camera.jpg"), camera);
    {
        CImage whole;
        ASSERT_NE(whole.LoadFile(Path("camera.jpg")), 0) << "the main picture must be unreadable";
    }

    // An EFF file whose stored thumbnail (green) differs from its picture (red).
    {
        CImage red;
        ASSERT_TRUE(red.Create(200, 100));
        red.FillRect(0, 0, 200, 100, RGB(255, 0, 0));
        ASSERT_EQ(red.SaveAsEff(Path("main.eff.tmp"), 0, 90), 0);
        CImage green;
        ASSERT_TRUE(green.Create(20, 10));
        green.FillRect(0, 0, 20, 10, RGB(0, 255, 0));
        ASSERT_EQ(green.SaveAsEff(Path("thumb.eff.tmp"), 0, 90), 0);
        WriteFixtureFile(Path("stored.eff"),
                         EffFixtureWithThumbnail(JpegFixtureReadFile(Path("main.eff.tmp")),
                                                 JpegFixtureReadFile(Path("thumb.eff.tmp")), 20, 10, ""));
    }
    WriteFixtureFile(Path("small.jpg"), JpegFixtureSolid(JpegFixtureKind::Rgb, {200, 0, 0}, 30, 20));
    {
        QImage wide(120, 60, QImage::Format_RGB32);
        wide.fill(qRgb(0, 128, 0));
        ASSERT_TRUE(wide.save(QString::fromStdString(Path("wide.bmp")), "BMP"));
    }
    {
        // Our own 32-bit bitmap: the left half transparent through its mask.
        CImage masked;
        ASSERT_TRUE(masked.Create(40, 40));
        masked.FillRect(0, 0, 40, 40, RGB(255, 0, 0));
        ASSERT_TRUE(masked.CreateMask());
        masked.GetMask()->FillRect(0, 0, 20, 40, RGB(255, 255, 255));
        ASSERT_EQ(masked.SaveAsBmp(Path("masked.bmp")), 0);
    }
    FixtureTiffOptions tiff;
    ASSERT_TRUE(WriteFixtureTiff(Path("plain.tif"), tiff));
    WriteFixtureFile(Path("broken.jpg"), std::vector<std::uint8_t>(500, 0x33));
    WriteFixtureFile(Path("broken.eff"), {0xFF, 0xD8, 0xFF});
    std::filesystem::remove(Path("main.eff.tmp"));
    std::filesystem::remove(Path("thumb.eff.tmp"));

    FillAndWait();
    SetImageWaitFeedback(nullptr);
    ASSERT_EQ(list.count(), 8);

    EXPECT_TRUE(ShowsAt(ThumbnailOf("camera.jpg"), QRect(10, 15, 40, 30), Colour(qRgb(0, 0, 255))));
    EXPECT_TRUE(ShowsAt(ThumbnailOf("stored.eff"), QRect(20, 25, 20, 10), Colour(qRgb(0, 255, 0))));
    // Small pictures keep their size; larger ones shrink to fit, centred.
    EXPECT_TRUE(ShowsAt(ThumbnailOf("small.jpg"), QRect(15, 20, 30, 20), Colour(qRgb(200, 0, 0))));
    EXPECT_TRUE(ShowsAt(ThumbnailOf("wide.bmp"), QRect(0, 15, 60, 30), Colour(qRgb(0, 128, 0), 0)));
    EXPECT_TRUE(ShowsAt(ThumbnailOf("masked.bmp"), QRect(10, 10, 40, 40), [](int x, int, QRgb pixel) {
        return (pixel & 0xFFFFFF) == (x < 30 ? 0xFFFFFFu : 0xFF0000u);
    }));
    EXPECT_TRUE(ShowsAt(ThumbnailOf("plain.tif"), QRect(27, 28, 6, 4), [&](int x, int y, QRgb pixel) {
        const FixturePixel stored = FixtureTiffPixel(tiff, x - 27, y - 28);
        return Near(pixel, qRgb(stored.r, stored.g, stored.b), 0);
    }));

    // Unreadable files keep no picture and can still be picked.
    for (const char* name : {"broken.jpg", "broken.eff"}) {
        EXPECT_EQ(list.GetItemImage(Row(name)), -1) << name;
        list.item(Row(name))->setSelected(true);
        EXPECT_EQ(list.GetSelectedFilePath(), Path(name));
        list.clearSelection();
    }
    EXPECT_EQ(list.GetThumbnailCount(), 6);
    // Every cell holds a whole thumbnail with its name below, pictured or not.
    list.resize(400, 300);
    for (const char* name : {"camera.jpg", "broken.jpg"}) {
        const QRect cell = list.visualItemRect(list.item(Row(name)));
        EXPECT_GE(cell.height(), 60 + list.fontMetrics().height()) << name;
        EXPECT_GE(cell.width(), 60) << name;
    }
}

// Photos held upright by their orientation show upright, by whichever way
// their thumbnail is made: a camera's Exif thumbnail (stored as the sensor saw
// it, like the photo), a JPEG's own picture, a TIFF's.
TEST_F(ImageListCtrlTest, ThumbnailsOfTurnedPhotosAreUpright)
{
    const FixtureOrientation& six = FixtureOrientations()[5];
    const FixtureOrientation& eight = FixtureOrientations()[7];
    const FixtureOrientation& five = FixtureOrientations()[4];

    // Exif thumbnail 40 x 30 of quadrant colours; the main picture is damaged.
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const std::uint32_t c = FixtureQuadrantColour(40, 30, x, y);
            rgb.insert(rgb.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
        }
    ExifFixture exif;
    exif.compression = 1;
    exif.width = 40;
    exif.height = 30;
    exif.thumbnail = rgb;
    exif.stripByteCounts = static_cast<std::uint32_t>(rgb.size());
    exif.orientation = six.value;
    std::vector<std::uint8_t> camera = ExifFixtureFile(exif);
    camera.resize(4 + ((std::size_t(camera[4]) << 8) | camera[5]));
    camera.insert(camera.end(), 300, 0x5A);
    WriteFixtureFile(Path("camera.jpg"), camera);

    ASSERT_FALSE(FixtureOrientedQuadrantJpeg(Path("phone.jpg"), 48, 32, eight.value).empty());

    FixtureTiffOptions tiff;
    tiff.width = 7;
    tiff.height = 4;
    tiff.orientation = five.value;
    ASSERT_TRUE(WriteFixtureTiff(Path("turned.tif"), tiff));

    FillAndWait();
    ASSERT_EQ(list.count(), 3);

    // Upright 30 x 40 and 32 x 48, centred in the 60 x 60 cell.
    const auto quadrants = [](const FixtureOrientation& o, int width, int height, int left, int top) {
        return [=](int x, int y, QRgb pixel) {
            int sx = 0, sy = 0;
            FixtureStoredPoint(o, width, height, x - left, y - top, &sx, &sy);
            const std::uint32_t c = FixtureQuadrantColour(width, height, sx, sy);
            const bool edge = (sx + 1) % (width / 2) <= 1 || (sy + 1) % (height / 2) <= 1;
            return edge || Near(pixel, qRgb((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF), 24);
        };
    };
    EXPECT_TRUE(ShowsAt(ThumbnailOf("camera.jpg"), QRect(15, 10, 30, 40), quadrants(six, 40, 30, 15, 10)));
    EXPECT_TRUE(ShowsAt(ThumbnailOf("phone.jpg"), QRect(14, 6, 32, 48), quadrants(eight, 48, 32, 14, 6)));
    EXPECT_TRUE(ShowsAt(ThumbnailOf("turned.tif"), QRect(28, 26, 4, 7), [&](int x, int y, QRgb pixel) {
        int sx = 0, sy = 0;
        FixtureStoredPoint(five, 7, 4, x - 28, y - 26, &sx, &sy);
        const FixturePixel stored = FixtureTiffPixel(tiff, sx, sy);
        return Near(pixel, qRgb(stored.r, stored.g, stored.b), 0);
    }));
}

TEST_F(ImageListCtrlTest, MakeThumbnailRefusesNamesOutsideTheFourKinds)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(Path("real.png")), "PNG"));
    EXPECT_TRUE(MakeThumbnail(Path("real.png")).isNull());
    EXPECT_TRUE(MakeThumbnail("").isNull());
    EXPECT_TRUE(MakeThumbnail(Path("missing.jpg")).isNull());
}

// A slow maker whose picture's colour names the file, so a picture on the
// wrong item would show; it counts the files of each folder it started.
struct SlowMaker
{
    std::atomic<int> running{0};
    std::atomic<int> startedInOld{0};
    std::string oldFolder;

    static QRgb ColourOf(const std::string& path)
    {
        return qRgb(0, 0, static_cast<int>(std::hash<std::string>()(path) & 0xFF));
    }

    CThumbnailWorker::Loader Loader()
    {
        return [this](const std::string& path) {
            ++running;
            if (path.rfind(oldFolder, 0) == 0)
                ++startedInOld;
            std::this_thread::sleep_for(2ms);
            QImage image(60, 60, QImage::Format_RGB32);
            image.fill(ColourOf(path));
            --running;
            return image;
        };
    }
};

TEST_F(ImageListCtrlTest, ANewFolderWhileThumbnailsAreMadeGetsNoPictureOfTheOldOne)
{
    const std::string oldFolder = Path("old");
    const std::string newFolder = Path("new");
    std::filesystem::create_directory(oldFolder);
    std::filesystem::create_directory(newFolder);
    for (int i = 0; i < 200; ++i) {
        // The same names in both folders: only the folder tells them apart.
        const std::string name = "p" + std::to_string(1000 + i) + ".jpg";
        Touch(oldFolder + "/" + name);
        Touch(newFolder + "/" + name);
    }
    SlowMaker maker;
    maker.oldFolder = oldFolder + "/";
    list.SetThumbnailMaker(maker.Loader());

    list.SetFolder(oldFolder);
    list.FillFromFolder();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.GetThumbnailCount() >= 5; }));
    ASSERT_GT(list.PendingThumbnails(), 0) << "the maker is too fast for the test";

    QSignalSpy done(&list, &CImageListCtrl::ThumbnailsDone);
    list.SetFolder(newFolder);
    list.FillFromFolder();
    // The old thread was joined before the new filling began.
    const int startedInOld = maker.startedInOld.load();
    EXPECT_LT(startedInOld, 200);
    EXPECT_EQ(list.Worker().StartCount(), 2);
    EXPECT_EQ(list.GetThumbnailCount(), 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return done.count() > 0; }));
    ASSERT_EQ(list.count(), 200);
    EXPECT_EQ(list.GetThumbnailCount(), 200);
    for (int i = 0; i < list.count(); ++i) {
        const std::string path = list.GetItemPath(i);
        ASSERT_EQ(path.rfind(newFolder + "/", 0), 0u) << path;
        const QImage thumbnail = list.GetThumbnail(list.GetItemImage(i));
        ASSERT_FALSE(thumbnail.isNull()) << path;
        EXPECT_EQ(thumbnail.pixel(0, 0), SlowMaker::ColourOf(path)) << path;
    }
    for (int settle = 0; settle < 20; ++settle)
        QCoreApplication::processEvents();
    EXPECT_EQ(maker.startedInOld.load(), startedInOld);
    EXPECT_EQ(list.GetThumbnailCount(), 200);
}

TEST_F(ImageListCtrlTest, DestroyingTheListMidwayJoinsTheWorker)
{
    for (int i = 0; i < 200; ++i)
        Touch(Path("p" + std::to_string(i) + ".jpg"));
    SlowMaker maker;
    auto own = std::make_unique<CImageListCtrl>();
    own->Init();
    own->SetThumbnailMaker(maker.Loader());
    own->SetFolder(Folder());
    own->FillFromFolder();
    ASSERT_TRUE(QTest::qWaitFor([&] { return own->GetThumbnailCount() >= 3; }));
    own.reset();
    EXPECT_EQ(maker.running.load(), 0);
    for (int settle = 0; settle < 20; ++settle)
        QCoreApplication::processEvents();
}

} // namespace
