#include "Dialogs/LayoutHeaderReader.h"

#include "App/PaperNames.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/AppTestSupport.h"
#include "Core/Files.h"
#include "Dialogs/support/BarFixture.h"
#include "Dialogs/support/LayoutFileFixtures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr std::int32_t kUnknown = LayoutListEntry::kUnknownPaperOrder;

class LayoutHeaderReaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        ASSERT_TRUE(root.isValid());
    }
    std::string Path(const std::string& name) const { return root.path().toStdString() + "/" + name; }
    std::string PaperName(const char* paper)
    {
        return GetPaperSizeName(bars.shell.GetLocalizeIniPath(), PaperIndexFromName(paper));
    }
    int Order(const char* paper) const
    {
        return bars.doc.document->FindPaperSizeEntry(PaperIndexFromName(paper));
    }

    QTemporaryDir root;
    BarFixture bars;
};

TEST_F(LayoutHeaderReaderTest, ScriptsAndDocumentsGiveTitleThumbnailPaperAndOrder)
{
    WriteFileBytes(Path("a.usd"), LayoutScriptText("Post", ".\\A\\THUMB.USF"));
    WriteFileBytes(Path("a/thumb.usf"), "picture"); // another case than the reference
    WriteFileBytes(Path("b.USD"), LayoutScriptText("Small", "", "3.5x5"));
    WriteFileBytes(Path("c.zvd"), CameraDocumentText("Cam", ".\\A\\THUMB.USF"));
    WriteFileBytes(Path("d.usd"), "[HEADER]\r\nHdRevision=2.10\r\n"); // no paper: unreadable
    ASSERT_GE(Order("3.5x5"), 1);
    struct Case
    {
        const char* file;
        bool read;
        std::string title, thumbnail, kind;
        std::int32_t order;
    };
    const Case cases[] = {
        {"a.usd", true, "Post", Path("a/thumb.usf"), PaperName("HAGAKI"), Order("HAGAKI")},
        {"b.USD", true, "Small", "", PaperName("3.5x5"), Order("3.5x5")},
        {"c.zvd", true, "Cam", Path("a/thumb.usf"), bars.Text(kCameraLayoutTextId), kUnknown},
        {"d.usd", false, "", "", "", kUnknown},
        {"e.usd", false, "", "", "", kUnknown},
        {"a.txt", false, "", "", "", kUnknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        LayoutHeaderText header;
        EXPECT_EQ(ReadLayoutScriptHeader(bars.shell, Path(c.file), header), c.read);
        EXPECT_EQ(header.title, c.title);
        EXPECT_EQ(header.thumbnailPath, c.thumbnail);
        EXPECT_EQ(header.kindText, c.kind);
        EXPECT_EQ(header.paperOrder, c.order);
    }

    // Without a document no paper has an order; the name is still given.
    bars.shell.document = nullptr;
    LayoutHeaderText header;
    ASSERT_TRUE(ReadLayoutHeader(bars.shell, Path("a.usd"), "", header));
    EXPECT_EQ(header.kindText, PaperName("HAGAKI"));
    EXPECT_EQ(header.paperOrder, kUnknown);
}

TEST_F(LayoutHeaderReaderTest, APackageWritesItsThumbnailWhereTheCallerSays)
{
    WriteFileBytes(Path("src/one.usd"), LayoutScriptText("One", "THUMB.USF", "3.5x5"));
    ASSERT_TRUE(WriteRedJpeg(Path("src/THUMB.USF"), 30, 20));
    ASSERT_TRUE(PackageLayout(Path("src/one.usd"), Path("one.fdp")));
    WriteFileBytes(Path("bare.usd"), LayoutScriptText("Bare", ""));
    ASSERT_TRUE(PackageLayout(Path("bare.usd"), Path("bare.fdp")));
    WriteFileBytes(Path("broken.fdp"), "VLZAV and nothing more");

    ASSERT_TRUE(CreateFolderPath(Path("list")));
    LayoutHeaderText header;
    ASSERT_TRUE(ReadLayoutHeader(bars.shell, Path("one.fdp"), Path("list/jpg1.tmp"), header));
    EXPECT_EQ(header.title, "One");
    EXPECT_EQ(header.kindText, PaperName("3.5x5"));
    EXPECT_EQ(header.paperOrder, Order("3.5x5"));
    EXPECT_EQ(header.thumbnailPath, Path("list/jpg1.tmp"));
    EXPECT_EQ(GetFileSizeOfPath(header.thumbnailPath), GetFileSizeOfPath(Path("src/THUMB.USF")));

    LayoutHeaderText bare;
    EXPECT_TRUE(ReadPackageHeader(bars.shell, Path("bare.fdp"), Path("list/jpg2.tmp"), bare));
    EXPECT_EQ(bare.title, "Bare");
    EXPECT_EQ(bare.thumbnailPath, "");
    EXPECT_FALSE(IsFile(Path("list/jpg2.tmp")));

    LayoutHeaderText broken;
    EXPECT_FALSE(ReadPackageHeader(bars.shell, Path("broken.fdp"), Path("list/jpg3.tmp"), broken));
    EXPECT_EQ(broken.title, "");
    EXPECT_EQ(broken.paperOrder, kUnknown);
    EXPECT_FALSE(IsFile(Path("list/jpg3.tmp")));
}

TEST_F(LayoutHeaderReaderTest, FilesAreFoundWithoutRegardToCaseInsideTheirFolderOnly)
{
    WriteFileBytes(Path("lay/THUMB.USF"), "t");
    WriteFileBytes(Path("lay/Sub/Pic.JPG"), "p");
    WriteFileBytes(Path("outside.jpg"), "o");
    ASSERT_TRUE(QFile::link(QString::fromStdString(Path("outside.jpg")),
                            QString::fromStdString(Path("lay/link.jpg"))));
    ASSERT_TRUE(QFile::link(QString::fromStdString(Path("lay/THUMB.USF")),
                            QString::fromStdString(Path("lay/Sub/in.jpg"))));
    const std::string folder = Path("lay");
    struct Case
    {
        std::string name, found;
    };
    const Case cases[] = {
        {"thumb.usf", Path("lay/THUMB.USF")},
        {"./Thumb.Usf", Path("lay/THUMB.USF")},
        {"sub/pic.jpg", Path("lay/Sub/Pic.JPG")},
        {Path("lay/THUMB.USF"), Path("lay/THUMB.USF")},
        {"../outside.jpg", ""},
        {"sub/../../outside.jpg", ""},
        {Path("outside.jpg"), ""},
        {"sub", ""},
        {".", ""},
        {"", ""},
        {"missing.jpg", ""},
        {"link.jpg", ""},
        {"sub/in.jpg", Path("lay/Sub/in.jpg")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindFileInFolder(folder, c.name), c.found) << c.name;
}

} // namespace
