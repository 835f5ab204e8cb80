// A background whose working copy is exactly the EFF file it came from, or
// the file a save stored it in, keeps that file's bytes for the next save; any
// change of the picture drops them; and neither file is read to know it.
#include "Core/TempFolders.h"
#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/ImageFile.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/support/FrameImageSupport.h"
#include "Layout/support/LayoutTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 180;

std::vector<char> Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// A picture with a gradient and a mask that is half transparent; the header's
// time is fixed, so the same shade always gives the same bytes.
std::string WriteEff(const std::string& path, int shade = 0)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
    std::vector<std::uint8_t> plane(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * kWidth + x) * 4];
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x + y + shade);
            plane[static_cast<std::size_t>(y) * kWidth + x] = x < kWidth / 2 ? 0 : 255;
        }
    static const frameimagetest::FixedClock clock;
    EXPECT_EQ(CEFFFile(clock).WriteBuffer(path, pixels.data(), plane.data(), kWidth, kHeight), 0);
    return path;
}

// Rewrites the working copy with one pixel's mask changed, as the transparency
// dialog does, without telling the item.
void ChangeWorkingMask(const std::string& working)
{
    CBMPFile bmp;
    std::uint8_t* raw = nullptr;
    SIZE size{};
    ASSERT_EQ(bmp.ReadRaw32(working, &raw, &size), 0);
    PageBuffer pixels(raw);
    pixels.get()[3] = static_cast<std::uint8_t>(pixels.get()[3] ^ 0xFF);
    ASSERT_EQ(bmp.WriteRaw32(working, pixels.get(), size.cx, size.cy), 0);
}

// Counts the reads of files in one folder while it lives (the system reports
// every read, whoever makes it).
class FolderReads
{
public:
    explicit FolderReads(const std::string& folder) : m_fd(inotify_init1(IN_NONBLOCK))
    {
        EXPECT_GE(m_fd, 0);
        EXPECT_GE(inotify_add_watch(m_fd, folder.c_str(), IN_ACCESS | IN_CLOSE_WRITE), 0);
    }
    ~FolderReads() { ::close(m_fd); }
    FolderReads(const FolderReads&) = delete;
    FolderReads& operator=(const FolderReads&) = delete;

    struct Seen
    {
        int reads = 0;
        int writes = 0;
    };
    Seen Take()
    {
        Seen seen;
        alignas(inotify_event) char buffer[1 << 16];
        for (ssize_t got; (got = ::read(m_fd, buffer, sizeof buffer)) > 0;)
            for (char* at = buffer; at < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->mask & IN_ACCESS)
                    ++seen.reads;
                if (event->mask & IN_CLOSE_WRITE)
                    ++seen.writes;
                at += sizeof(inotify_event) + event->len;
            }
        return seen;
    }

private:
    int m_fd;
};

class CarriedPictureTest : public ::testing::Test
{
protected:
    void SetUp() override { layouttest::EnsureGuiApplication(); }
    ScratchFolder scratch;
    ScopedTmpDir tmpDir{scratch.Path()};
};

TEST_F(CarriedPictureTest, AnEffBackgroundCarriesItsFileBytesAndItsCopiesToo)
{
    const std::string eff = WriteEff(scratch / "Image001.eff");
    CBackgroundImageFrameItem item;
    ASSERT_EQ(item.LoadImage(eff), ImageLoadOk);
    const auto carried = item.TakeCarriedPicture();
    ASSERT_TRUE(carried.has_value());
    EXPECT_EQ(*carried, Bytes(eff));

    // A copy of a copy, as an undo record and its undo make them.
    CBackgroundImageFrameItem copy;
    copy.CopyFrom(item);
    CBackgroundImageFrameItem again;
    again.CopyFrom(copy);
    for (const CBackgroundImageFrameItem* made : {&copy, &again}) {
        ASSERT_NE(made->GetImageFileName2(), item.GetImageFileName2());
        const auto copied = made->TakeCarriedPicture();
        ASSERT_TRUE(copied.has_value());
        EXPECT_EQ(*copied, Bytes(eff));
    }
}

TEST_F(CarriedPictureTest, NothingIsCarriedWhenThePictureOrItsFileIsNotAsLoaded)
{
    struct Case
    {
        const char* name;
        bool fromBmp;
        void (*change)(CBackgroundImageFrameItem& item, const std::string& eff);
    };
    const Case cases[] = {
        {"a picture from another kind of file", true, [](CBackgroundImageFrameItem&, const std::string&) {}},
        {"a mask edit written without a word", false,
         [](CBackgroundImageFrameItem& item, const std::string&) {
             ChangeWorkingMask(item.GetImageFileName2());
         }},
        {"a mask edit told by its writer", false,
         [](CBackgroundImageFrameItem& item, const std::string&) { item.WorkingCopyRewritten(); }},
        {"a file changed since", false,
         [](CBackgroundImageFrameItem&, const std::string& eff) {
             std::ofstream(eff, std::ios::binary | std::ios::app) << 'x';
         }},
        {"a file written again, even with its own bytes", false,
         [](CBackgroundImageFrameItem&, const std::string& eff) {
             const std::vector<char> bytes = Bytes(eff);
             // Kept aside, so that the new file cannot take its inode.
             ASSERT_EQ(std::rename(eff.c_str(), (eff + ".old").c_str()), 0);
             std::ofstream(eff, std::ios::binary)
                 .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
         }},
        {"a file gone", false,
         [](CBackgroundImageFrameItem&, const std::string& eff) { std::remove(eff.c_str()); }},
        {"the picture removed", false,
         [](CBackgroundImageFrameItem& item, const std::string&) { item.LoadImage(std::string()); }},
        {"a new picture", false,
         [](CBackgroundImageFrameItem& item, const std::string& eff) {
             const std::string bmp = eff + ".bmp";
             ASSERT_EQ(item.LoadImage(layouttest::WriteBmp24(bmp, kWidth, kHeight, 0x336699)), ImageLoadOk);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string eff = WriteEff(scratch / "Image001.eff");
        const std::string path =
            c.fromBmp ? layouttest::WriteBmp24(scratch / "picture.bmp", kWidth, kHeight, 0x336699) : eff;
        CBackgroundImageFrameItem item;
        ASSERT_EQ(item.LoadImage(path), ImageLoadOk);
        c.change(item, eff);
        EXPECT_FALSE(item.TakeCarriedPicture().has_value());
        // Nor does a copy made after the change carry anything.
        CBackgroundImageFrameItem copy;
        copy.CopyFrom(item);
        EXPECT_FALSE(copy.TakeCarriedPicture().has_value());
    }
}

TEST_F(CarriedPictureTest, ARefusedPictureKeepsWhatWasCarried)
{
    const std::string eff = WriteEff(scratch / "Image001.eff");
    CBackgroundImageFrameItem item;
    ASSERT_EQ(item.LoadImage(eff), ImageLoadOk);
    EXPECT_NE(item.LoadImage(layouttest::WriteBmp24(scratch / "small.bmp", 20, 20, 0x336699)), ImageLoadOk);
    EXPECT_TRUE(item.TakeCarriedPicture().has_value());
    // Another EFF replaces the carried file.
    const std::string other = WriteEff(scratch / "Other.eff", 90);
    ASSERT_NE(Bytes(other), Bytes(eff));
    ASSERT_EQ(item.LoadImage(other), ImageLoadOk);
    const auto carried = item.TakeCarriedPicture();
    ASSERT_TRUE(carried.has_value());
    EXPECT_EQ(*carried, Bytes(other));
}

// A save that replaces the folder the source lay in points the carry at the
// file moved with it, never at another one, even one with the same bytes.
TEST_F(CarriedPictureTest, TheCarryFollowsItsFileWhereItWasMovedOnly)
{
    struct Case
    {
        const char* name;
        int shade; // of another file written at the new name; -1 when the file is moved there
        bool written;
        bool carried;
    };
    const Case cases[] = {
        {"the file moved", -1, false, true},
        {"another file with the same bytes", 0, true, false},
        {"another file with other bytes", 90, true, false},
        {"no file", -1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(scratch / "old");
        std::filesystem::remove_all(scratch / "new");
        std::filesystem::create_directories(scratch / "old");
        std::filesystem::create_directories(scratch / "new");
        const std::string eff = WriteEff(scratch / "old/Image001.eff");
        const std::vector<char> stored = Bytes(eff);
        CBackgroundImageFrameItem item;
        ASSERT_EQ(item.LoadImage(eff), ImageLoadOk);
        const std::string moved = scratch / "new/Image001.eff";
        if (c.written) {
            WriteEff(moved, c.shade);
            ASSERT_EQ(c.shade == 0, Bytes(moved) == stored);
        } else if (c.carried) {
            // As a save moves the folder the file lies in.
            std::filesystem::remove_all(scratch / "new");
            std::filesystem::rename(scratch / "old", scratch / "new");
        }
        item.FollowCarriedPicture(moved);
        std::remove(eff.c_str());
        const auto carried = item.TakeCarriedPicture();
        ASSERT_EQ(carried.has_value(), c.carried);
        if (carried) {
            EXPECT_EQ(*carried, stored);
        }
    }
}

// A picture a save encoded anew is carried from the file it was stored in once
// the save is in place, for as long as the working copy stays as it was.
TEST_F(CarriedPictureTest, APictureStoredByASaveIsCarriedOnceTheSaveIsInPlace)
{
    struct Case
    {
        const char* name;
        bool followed;
        bool changedBetween;
        bool carried;
    };
    const Case cases[] = {
        {"the save in place", true, false, true},
        {"a save that did not finish", false, false, false},
        {"the picture changed before the save was in place", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CBackgroundImageFrameItem item;
        ASSERT_EQ(item.LoadImage(layouttest::WriteBmp24(scratch / "picture.bmp", kWidth, kHeight, 0x336699)),
                  ImageLoadOk);
        ASSERT_FALSE(item.TakeCarriedPicture().has_value());
        std::filesystem::create_directories(scratch / "staging");
        const std::string staged = WriteEff(scratch / "staging/Image000.eff", 40);
        const std::vector<char> stored = Bytes(staged);
        item.CarryStoredPicture(staged);
        EXPECT_FALSE(item.TakeCarriedPicture().has_value()) << "carried before the save is in place";
        std::filesystem::remove_all(scratch / "saved");
        std::filesystem::rename(scratch / "staging", scratch / "saved");
        if (c.changedBetween)
            item.WorkingCopyRewritten();
        if (c.followed)
            item.FollowCarriedPicture(scratch / "saved/Image000.eff");
        const auto carried = item.TakeCarriedPicture();
        ASSERT_EQ(carried.has_value(), c.carried);
        if (carried) {
            EXPECT_EQ(*carried, stored);
        }
    }
}

// Opening writes the working copy once and reads nothing back; knowing that
// it is unchanged and taking the carried bytes never reads it.
TEST_F(CarriedPictureTest, TheWorkingCopyIsWrittenOnceAndNeverReadToKnowItsCarry)
{
    const std::string eff = WriteEff(scratch / "Image001.eff");
    const std::string folder = GetTempImageFolder(true);
    ASSERT_FALSE(folder.empty());
    FolderReads reads(folder);
    CBackgroundImageFrameItem item;
    ASSERT_EQ(item.LoadImage(eff), ImageLoadOk);
    for (int save = 0; save < 3; ++save)
        ASSERT_TRUE(item.TakeCarriedPicture().has_value());
    const FolderReads::Seen seen = reads.Take();
    EXPECT_EQ(seen.reads, 0);
    // The fresh name is made empty, then the picture is written under it.
    EXPECT_LE(seen.writes, 2);
    EXPECT_GE(seen.writes, 1);
}

} // namespace
