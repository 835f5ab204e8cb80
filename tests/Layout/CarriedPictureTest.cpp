// A background whose working copy is exactly the EFF file it came from keeps
// that file's bytes for the next save; any change of the picture drops them.
#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/ImageFile.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/support/LayoutTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 180;

std::vector<char> Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// A picture with a gradient and a mask that is half transparent.
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
    EXPECT_EQ(CEFFFile().WriteBuffer(path, pixels.data(), plane.data(), kWidth, kHeight), 0);
    return path;
}

// Rewrites the working copy with one pixel's mask changed, as the transparency dialog does.
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
    const auto carried = item.GetCarriedPicture().Take(item.GetImageFileName2());
    ASSERT_TRUE(carried.has_value());
    EXPECT_EQ(*carried, Bytes(eff));

    CBackgroundImageFrameItem copy;
    copy.CopyFrom(item);
    ASSERT_NE(copy.GetImageFileName2(), item.GetImageFileName2());
    const auto copied = copy.GetCarriedPicture().Take(copy.GetImageFileName2());
    ASSERT_TRUE(copied.has_value());
    EXPECT_EQ(*copied, Bytes(eff));
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
        {"a changed mask", false,
         [](CBackgroundImageFrameItem& item, const std::string&) {
             ChangeWorkingMask(item.GetImageFileName2());
         }},
        {"a file changed since", false,
         [](CBackgroundImageFrameItem&, const std::string& eff) {
             std::ofstream(eff, std::ios::binary | std::ios::app) << 'x';
         }},
        {"a file gone", false,
         [](CBackgroundImageFrameItem&, const std::string& eff) { std::remove(eff.c_str()); }},
        {"the picture removed", false,
         [](CBackgroundImageFrameItem& item, const std::string&) { item.LoadImage(std::string()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string eff = WriteEff(scratch / "Image001.eff");
        const std::string path =
            c.fromBmp ? layouttest::WriteBmp24(scratch / "picture.bmp", kWidth, kHeight, 0x336699) : eff;
        CBackgroundImageFrameItem item;
        ASSERT_EQ(item.LoadImage(path), ImageLoadOk);
        c.change(item, eff);
        EXPECT_FALSE(item.GetCarriedPicture().Take(item.GetImageFileName2()).has_value());
    }
}

TEST_F(CarriedPictureTest, ARefusedPictureKeepsWhatWasCarried)
{
    const std::string eff = WriteEff(scratch / "Image001.eff");
    CBackgroundImageFrameItem item;
    ASSERT_EQ(item.LoadImage(eff), ImageLoadOk);
    EXPECT_NE(item.LoadImage(layouttest::WriteBmp24(scratch / "small.bmp", 20, 20, 0x336699)), ImageLoadOk);
    EXPECT_TRUE(item.GetCarriedPicture().Take(item.GetImageFileName2()).has_value());
    // Another EFF replaces the carried file.
    const std::string other = WriteEff(scratch / "Other.eff", 90);
    ASSERT_NE(Bytes(other), Bytes(eff));
    ASSERT_EQ(item.LoadImage(other), ImageLoadOk);
    const auto carried = item.GetCarriedPicture().Take(item.GetImageFileName2());
    ASSERT_TRUE(carried.has_value());
    EXPECT_EQ(*carried, Bytes(other));
}

// A save that replaces the folder the source lay in points the carry at the
// file that now holds the same bytes, never at one that holds others.
TEST_F(CarriedPictureTest, TheCarryFollowsItsBytesToANewFileOnly)
{
    struct Case
    {
        const char* name;
        int shade; // of the file followed; -1 when there is none
        bool carried;
    };
    const Case cases[] = {
        {"the same bytes", 0, true},
        {"other bytes", 90, false},
        {"no file", -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string eff = WriteEff(scratch / "Image001.eff");
        const std::vector<char> stored = Bytes(eff);
        CBackgroundImageFrameItem item;
        ASSERT_EQ(item.LoadImage(eff), ImageLoadOk);
        const std::string moved = scratch / "Image000.eff";
        std::remove(moved.c_str());
        if (c.shade >= 0)
            WriteEff(moved, c.shade);
        item.FollowCarriedPicture(moved);
        ASSERT_EQ(std::remove(eff.c_str()), 0);
        const auto carried = item.GetCarriedPicture().Take(item.GetImageFileName2());
        ASSERT_EQ(carried.has_value(), c.carried);
        if (carried) {
            EXPECT_EQ(*carried, stored);
        }
    }
}

} // namespace
