// The thumbnail a layout was opened with is carried while the page draws the
// same, and follows its bytes when a save moves the file, never other bytes.
#include "App/CarriedThumbnail.h"
#include "Core/support/ScratchFolder.h"
#include "ImageProcessing/Image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

CImage Page(COLORREF color)
{
    CImage page;
    EXPECT_TRUE(page.Create(16, 12));
    page.FillRectLTRB(0, 0, 16, 12, color);
    return page;
}

TEST(CarriedThumbnailTest, TheFileIsCarriedWhileThePageDrawsTheSame)
{
    ScratchFolder scratch;
    const std::string file = scratch / "THUMB.USF";
    WriteBytes(file, "first thumbnail");
    CCarriedThumbnail carried;
    carried.Remember(file, Page(RGB(10, 20, 30)));
    const auto same = carried.Take(Page(RGB(10, 20, 30)));
    ASSERT_TRUE(same.has_value());
    EXPECT_EQ(std::string(same->begin(), same->end()), "first thumbnail");
    EXPECT_FALSE(carried.Take(Page(RGB(10, 20, 31))).has_value());
}

TEST(CarriedThumbnailTest, TheCarryFollowsItsBytesToANewFileOnly)
{
    struct Case
    {
        const char* name;
        const char* moved; // the bytes of the file followed; none when null
        bool carried;
    };
    const Case cases[] = {
        {"the same bytes", "first thumbnail", true},
        {"other bytes", "other thumbnail", false},
        {"no file", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch;
        const std::string file = scratch / "THUMB.USF";
        WriteBytes(file, "first thumbnail");
        CCarriedThumbnail carried;
        carried.Remember(file, Page(RGB(10, 20, 30)));
        const std::string moved = scratch / "moved.USF";
        if (c.moved)
            WriteBytes(moved, c.moved);
        carried.Follow(moved);
        ASSERT_EQ(std::remove(file.c_str()), 0);
        const auto taken = carried.Take(Page(RGB(10, 20, 30)));
        ASSERT_EQ(taken.has_value(), c.carried);
        if (taken) {
            EXPECT_EQ(std::string(taken->begin(), taken->end()), "first thumbnail");
        }
    }
}

} // namespace
