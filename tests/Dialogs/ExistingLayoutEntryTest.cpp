// One listed layout: the page's own rules for set indexes and packaged frame
// files on top of the shared header reading, and the 60 x 60 thumbnail with
// its transparent border.
#include "Dialogs/ExistingLayoutEntry.h"

#include "Core/LocalizeScript.h"
#include "Core/Path.h"
#include "Dialogs/LayoutListEntry.h"
#include "Dialogs/support/FakeDialogShell.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "FrameKit/PackageTestUtil.h"
#include "FrameKit/PackageZAV.h"
#include "ImageProcessing/Image.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Caption(int id)
{
    std::string text;
    CLocalizeScript(ShippedIniPath()).GetCaption(id, text);
    return text;
}

// A JPEG of the size, written by our own encoder.
std::string WriteJpeg(const std::string& path, int width, int height, COLORREF color = RGB(200, 40, 40))
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    CImage image;
    EXPECT_TRUE(image.Create(width, height));
    image.FillRect(0, 0, width, height, color);
    EXPECT_EQ(image.SaveAsJpeg(path, 0, 90), 0);
    return path;
}

// A set index of one member with the title.
std::string SetIndex(const std::string& title)
{
    return "[HEADER]\r\nHdRevision=1.00\r\nHdTitle=\"" + title +
           "\"\r\nHdCapability=3\r\nHdClassification=0.10\r\nHdCount=1\r\nHdFilename=\"A.usd\"\r\n";
}

class ExistingLayoutEntryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        shell.localizeIniPath = ShippedIniPath();
    }
    std::string ListFolder() const { return dir / "List"; }

    PackageTempDir dir;
    FakeDialogShell shell;
};

// Where the thumbnail shows: alpha 255 exactly inside the rectangle.
void ExpectShownExactly(const QImage& image, const QRect& shown)
{
    ASSERT_EQ(image.size(), QSize(60, 60));
    int wrong = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if ((qAlpha(image.pixel(x, y)) == 255) != shown.contains(x, y))
                ++wrong;
    EXPECT_EQ(wrong, 0) << "pixels outside the picture shown or inside it hidden";
}

} // namespace

TEST_F(ExistingLayoutEntryTest, NumberedSetIndexesTakeTheirFoldersThumbnailOthersNothing)
{
    WriteBytes(dir / "a/ABCDEF_0X.usm", SetIndex("Trip"));
    WriteBytes(dir / "a/THUMB.USF", "t");
    WriteBytes(dir / "b/ABCDEF_01.usm", SetIndex("Lower"));
    WriteBytes(dir / "b/thumb.usf", "t");
    WriteBytes(dir / "c/ABCDEFGH.usm", SetIndex("Plain"));
    WriteBytes(dir / "c/THUMB.USF", "t");

    LayoutListEntry entry;
    ASSERT_EQ(ReadLayoutEntry(shell, dir / "a/ABCDEF_0X.usm", entry, ListFolder()), 1);
    EXPECT_EQ(entry.fileName, "ABCDEF_0X.usm");
    EXPECT_EQ(entry.thumbnailPath, dir / "a/THUMB.USF");
    EXPECT_EQ(entry.title, "Trip");
    EXPECT_EQ(entry.kindText, Caption(247));
    EXPECT_EQ(entry.paperOrder, LayoutListEntry::kUnknownPaperOrder);
    EXPECT_EQ(entry.imageIndex, -1);

    // Written elsewhere in other letters, it is found all the same.
    ASSERT_EQ(ReadLayoutEntry(shell, dir / "b/ABCDEF_01.usm", entry, ListFolder()), 1);
    EXPECT_EQ(entry.thumbnailPath, dir / "b/thumb.usf");
    EXPECT_EQ(entry.title, "Lower");

    ASSERT_EQ(ReadLayoutEntry(shell, dir / "c/ABCDEFGH.usm", entry, ListFolder()), 1);
    EXPECT_EQ(entry.fileName, "ABCDEFGH.usm");
    EXPECT_EQ(entry.thumbnailPath, "");
    EXPECT_EQ(entry.title, "");
    EXPECT_EQ(entry.kindText, "");

    EXPECT_EQ(ReadLayoutEntry(shell, "", entry, ListFolder()), 0);
}

TEST_F(ExistingLayoutEntryTest, ACameraPackageWhoseFirstLayoutHasNoThumbnailGivesTheSeconds)
{
    const std::string thumbnail = ReadBytes(WriteJpeg(dir / "src/T01.USF", 40, 20));
    std::string index = "[HEADER]\r\nHdRevision=1.00\r\nHdTitle=\"Set title\"\r\nHdComment=\"C\"\r\n"
                        "HdClassification=0.10\r\nHdCapability=3\r\nHdCount=2\r\n";
    index += "HdFilename=\"L00.usd\"\r\nHdFilename=\"L01.usd\"\r\n";
    WriteBytes(dir / "src/L00.usd", LayoutScript("", "", {}));
    WriteBytes(dir / "src/L01.usd", LayoutScript("T01.USF", "", {}));
    WriteBytes(dir / "src/SET.usm", index);
    PackageZAV kit;
    ASSERT_EQ(kit.PackageDSC((dir / "src/SET.usm").c_str(), (dir / "set.fdp").c_str()), 0);

    LayoutListEntry entry;
    ASSERT_EQ(ReadLayoutEntry(shell, dir / "set.fdp", entry, ListFolder()), 1);
    EXPECT_EQ(entry.fileName, "set.fdp");
    EXPECT_EQ(entry.title, "Set title");
    EXPECT_EQ(entry.kindText, Caption(247));
    EXPECT_EQ(entry.paperOrder, LayoutListEntry::kUnknownPaperOrder);
    ASSERT_FALSE(entry.thumbnailPath.empty());
    // A new file of the page's folder, named "jpg" and six more characters.
    EXPECT_EQ(QFileInfo(QString::fromStdString(entry.thumbnailPath)).path().toStdString(), ListFolder());
    EXPECT_EQ(GetFileNameFromPath(entry.thumbnailPath, true).substr(0, 3), "jpg");
    EXPECT_EQ(GetFileNameFromPath(entry.thumbnailPath, true).size(), 9u);
    EXPECT_EQ(ReadBytes(entry.thumbnailPath), thumbnail);
    EXPECT_EQ(MakeLayoutThumbnail(entry.thumbnailPath).size(), QSize(60, 60));
}

TEST_F(ExistingLayoutEntryTest, AOneLayoutPackageGivesItsThumbnailTitleAndPaper)
{
    const std::string thumbnail = ReadBytes(WriteJpeg(dir / "src/THUMB.USF", 30, 40));
    WriteBytes(dir / "src/a.usd", LayoutScript("THUMB.USF", "", {}));
    PackageZAV kit;
    ZAVPath layout{};
    const std::string source = dir / "src/a.usd";
    std::snprintf(layout, sizeof layout, "%s", source.c_str());
    ASSERT_EQ(kit.Package(1, &layout, (dir / "one.fdp").c_str()), 0);
    // HAGAKI is code 0; the fake paper list puts it second.
    shell.paperList = {5, 0};

    LayoutListEntry entry;
    ASSERT_EQ(ReadLayoutEntry(shell, dir / "one.fdp", entry, ListFolder()), 1);
    EXPECT_EQ(entry.title, "Card");
    EXPECT_EQ(entry.paperOrder, 1);
    EXPECT_FALSE(entry.kindText.empty());
    EXPECT_EQ(ReadBytes(entry.thumbnailPath), thumbnail);

    // A damaged package fills nothing but the name.
    WriteBytes(dir / "bad.fdp", "VLZAV but nothing else");
    ASSERT_EQ(ReadLayoutEntry(shell, dir / "bad.fdp", entry, ListFolder()), 1);
    EXPECT_EQ(entry.fileName, "bad.fdp");
    EXPECT_EQ(entry.title, "");
    EXPECT_EQ(entry.thumbnailPath, "");
}

TEST_F(ExistingLayoutEntryTest, TheThumbnailLiesAsPlacedWithAlphaExactlyOverThePicture)
{
    const struct
    {
        int width, height;
        QRect shown; // the 2 pixels past the canvas are cut
    } cases[] = {
        {120, 60, QRect(2, 15, 58, 30)},
        {60, 120, QRect(15, 2, 30, 58)},
        {60, 60, QRect(0, 2, 60, 58)},
        {30, 20, QRect(2, 10, 58, 40)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const std::string path =
            WriteJpeg(dir / ("t" + std::to_string(c.width) + "x" + std::to_string(c.height) + ".jpg"),
                      c.width, c.height, RGB(0, 0, 255));
        const QImage thumbnail = MakeLayoutThumbnail(path);
        ASSERT_FALSE(thumbnail.isNull());
        ExpectShownExactly(thumbnail, c.shown);
        const QRgb inside = thumbnail.pixel(c.shown.center());
        EXPECT_LT(qRed(inside), 40);
        EXPECT_GT(qBlue(inside), 200);
    }
    // A thumbnail file is a JPEG whatever its name.
    WriteJpeg(dir / "set/THUMB.USF", 120, 60);
    ExpectShownExactly(MakeLayoutThumbnail(dir / "set/THUMB.USF"), QRect(2, 15, 58, 30));

    EXPECT_TRUE(MakeLayoutThumbnail("").isNull());
    EXPECT_TRUE(MakeLayoutThumbnail(dir / "missing.jpg").isNull());
    WriteBytes(dir / "broken.jpg", "not a picture");
    EXPECT_TRUE(MakeLayoutThumbnail(dir / "broken.jpg").isNull());
}
