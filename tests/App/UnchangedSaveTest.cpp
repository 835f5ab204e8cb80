// Saving a page again stores its unchanged pictures as they were, without
// copying them: the new companion folder names the very files the previous
// save wrote, and those files are the layout's own once the save ends.
#include "App/DocumentFileKinds.h"
#include "App/PackageKit.h"
#include "App/support/DocumentFakes.h"
#include "App/support/FileKindsFakes.h"

#include "ImageProcessing/BMPFile.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"

#include <gtest/gtest.h>

#include <QImage>

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct Stored
{
    std::vector<char> bytes;
    ino_t inode = 0;
    nlink_t links = 0;
};

// The pictures of a companion folder by name.
std::map<std::string, Stored> Pictures(const std::string& folder)
{
    std::map<std::string, Stored> found;
    for (const char* name : {"Image000.jpg", "Image001.eff"}) {
        const std::string path = folder + "/" + name;
        struct stat status
        {
        };
        if (::stat(path.c_str(), &status) != 0)
            continue;
        std::ifstream in(path, std::ios::binary);
        found[name] = Stored{std::vector<char>(std::istreambuf_iterator<char>(in), {}), status.st_ino,
                             status.st_nlink};
    }
    return found;
}

// The same pictures, as the very files, each the layout's alone.
void ExpectTheSameFiles(const std::map<std::string, Stored>& now, const std::map<std::string, Stored>& before)
{
    ASSERT_EQ(now.size(), before.size());
    for (const auto& [name, stored] : before) {
        EXPECT_EQ(now.at(name).bytes, stored.bytes) << name;
        EXPECT_EQ(now.at(name).inode, stored.inode) << name << " was written again";
        EXPECT_EQ(now.at(name).links, 1u) << name << " still shares its file";
    }
}

// A photo frame and a background with a mask, detailed so that any second
// encoding would change their bytes.
std::string Detailed(const std::string& folder, const char* name, const char* format)
{
    QImage image(240, 180, QImage::Format_RGB888);
    std::uint32_t seed = 777;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y, qRgb(static_cast<int>(seed >> 24), (x * 7) & 0xFF, (y * 3) & 0xFF));
        }
    const std::string path = folder + "/" + name;
    EXPECT_TRUE(image.save(QString::fromStdString(path), format));
    return path;
}

class UnchangedSaveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(d.NewSingleLayout(3, 0, 0));
        CLayoutManager& layout = *d.GetLayoutManager();
        auto frame = std::make_unique<CInsertImageFrameItem>();
        frame->SetFrameNumber(1);
        ASSERT_EQ(frame->LoadImage(Detailed(fixture.Work(), "photo.jpg", "JPG")), ImageLoadOk);
        frame->SetRect(RECT{100, 100, 500, 400});
        ASSERT_TRUE(layout.AddItem(0, std::move(frame)));
        auto back = std::make_unique<CBackgroundImageFrameItem>();
        ASSERT_EQ(back->LoadImage(Detailed(fixture.Work(), "back.bmp", "BMP")), ImageLoadOk);
        back->SetRect(RECT{50, 500, 600, 900});
        background = back.get();
        ASSERT_TRUE(layout.AddItem(0, std::move(back)));
    }

    void Save(const std::string& path) { ASSERT_EQ(kinds.SaveZvdDocument(d, path), 0) << path; }

    // Half the mask made clear, as the transparency dialog writes it.
    void EditMask()
    {
        CBMPFile bmp;
        std::uint8_t* raw = nullptr;
        SIZE size{};
        ASSERT_EQ(bmp.ReadRaw32(background->GetImageFileName2(), &raw, &size), 0);
        const PageBuffer pixels(raw);
        for (int i = 0; i < size.cx * size.cy / 2; ++i)
            pixels.get()[std::size_t(i) * 4 + 3] = 0xFF;
        ASSERT_EQ(bmp.WriteRaw32(background->GetImageFileName2(), pixels.get(), size.cx, size.cy), 0);
        background->WorkingCopyRewritten();
    }

    DocumentFixture fixture;
    CZAVEditorDoc& d = *fixture.document;
    DocumentFileKinds kinds;
    CBackgroundImageFrameItem* background = nullptr;
};

TEST_F(UnchangedSaveTest, SavesInPlaceKeepThePicturesTheFirstSaveWroteAndLeaveNoSecondName)
{
    const std::string path = fixture.Work() + "/page.zvd";
    const std::string companion = fixture.Work() + "/page";
    Save(path);
    const auto first = Pictures(companion);
    ASSERT_EQ(first.size(), 2u);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        Save(path);
        ExpectTheSameFiles(Pictures(companion), first);
    }
}

TEST_F(UnchangedSaveTest, AnotherLayoutGetsPicturesOfItsOwnAndAnEditedMaskIsEncodedAndThenKept)
{
    const std::string path = fixture.Work() + "/page.zvd";
    Save(path);
    const auto first = Pictures(fixture.Work() + "/page");

    // Saved under another name, the page shares no file with the first
    // layout, which a later save of either may then replace or remove.
    const std::string other = fixture.Work() + "/other.zvd";
    Save(other);
    const auto copied = Pictures(fixture.Work() + "/other");
    ASSERT_EQ(copied.size(), 2u);
    for (const auto& [name, stored] : first) {
        EXPECT_EQ(copied.at(name).bytes, stored.bytes) << name;
        EXPECT_NE(copied.at(name).inode, stored.inode) << name;
        EXPECT_EQ(copied.at(name).links, 1u) << name;
    }
    EXPECT_EQ(Pictures(fixture.Work() + "/page").at("Image001.eff").links, 1u);

    // The edited background is encoded anew; the photo stays the file it was.
    EditMask();
    Save(other);
    const auto edited = Pictures(fixture.Work() + "/other");
    EXPECT_NE(edited.at("Image001.eff").bytes, copied.at("Image001.eff").bytes);
    EXPECT_EQ(edited.at("Image000.jpg").inode, copied.at("Image000.jpg").inode);

    // What that save encoded is what every later save keeps.
    Save(other);
    const auto kept = Pictures(fixture.Work() + "/other");
    EXPECT_EQ(kept.at("Image001.eff").bytes, edited.at("Image001.eff").bytes);
    EXPECT_EQ(kept.at("Image001.eff").inode, edited.at("Image001.eff").inode);
}

// A save that fails after the pictures were linked leaves the previous save,
// and the next save still stores the very files it had.
TEST_F(UnchangedSaveTest, AFailedSaveLeavesThePicturesCarriedForTheNext)
{
    const std::string path = fixture.Work() + "/page.zvd";
    const std::string companion = fixture.Work() + "/page";
    Save(path);
    const auto first = Pictures(companion);
    ASSERT_EQ(first.size(), 2u);
    FailingSaveFileSystem files;
    DocumentFileKinds failing(MakeFramePackageKit, files);
    const struct
    {
        FailingSaveFileSystem::Step step;
        int n;
    } failures[] = {{FailingSaveFileSystem::SyncStep, 1},
                    {FailingSaveFileSystem::RenameStep, 1},
                    {FailingSaveFileSystem::RenameStep, 2}};
    for (const auto& failure : failures) {
        SCOPED_TRACE(testing::Message() << failure.step << " " << failure.n);
        files.FailAt(failure.step, failure.n);
        EXPECT_NE(failing.SaveZvdDocument(d, path), 0);
        EXPECT_TRUE(files.Failed());
        ExpectTheSameFiles(Pictures(companion), first);
    }
    Save(path);
    ExpectTheSameFiles(Pictures(companion), first);
}

} // namespace
