#include "FrameKit/PZAVLayoutFileInfo.h"
#include "FrameKit/PackageErrorCode.h"

#include <gtest/gtest.h>

namespace {

TEST(PackageLayoutFileInfo, RecordsSplitAtTheLastBackslash)
{
    PZAVLayoutFileInfo entry;
    EXPECT_FALSE(entry.HasThumbnail());
    EXPECT_TRUE(entry.SetThumbnail("c:\\a\\t.jpg", 10, 20));
    MemberRecord r;
    entry.GetThumbnail(&r);
    EXPECT_STREQ(r.referenceName, "c:\\a");
    EXPECT_STREQ(r.packageName, "t.jpg");
    EXPECT_EQ(r.offset, 10u);
    EXPECT_EQ(r.size, 20u);
    EXPECT_TRUE(entry.HasThumbnail());
    // Without a backslash after the first character the names stay.
    EXPECT_TRUE(entry.SetSound("\\s.wav", 0, 0));
    EXPECT_FALSE(entry.HasSound());
    EXPECT_TRUE(entry.SetSound("\x95\x5c.wav", 1, 2));
    entry.GetSound(&r);
    EXPECT_STREQ(r.packageName, "");
    EXPECT_TRUE(entry.HasSound());

    EXPECT_EQ(entry.GetPicture(0, &r), ZAV_ERR_LAYOUT_INDEX);
    EXPECT_TRUE(entry.AddPicture(".\\Image\\p.jpg", 5, 6));
    EXPECT_EQ(entry.GetPicture(0, &r), ZAV_OK);
    EXPECT_STREQ(r.referenceName, ".\\Image");
    EXPECT_EQ(entry.GetPicture(1, &r), ZAV_ERR_LAYOUT_INDEX);
    EXPECT_EQ(entry.GetPicture(-1, &r), ZAV_ERR_LAYOUT_INDEX);

    const char name[256] = "a.usd";
    EXPECT_TRUE(entry.SetLayoutFile(name, 363, 9));
    entry.GetLayoutFile(&r);
    EXPECT_STREQ(r.referenceName, "");
    EXPECT_STREQ(r.packageName, "a.usd");
    LayoutHeaderRecord header;
    header.itemCount = 4;
    EXPECT_TRUE(entry.SetHeader(header));
    entry.Clear();
    EXPECT_FALSE(entry.HasThumbnail());
    EXPECT_FALSE(entry.HasSound());
    EXPECT_EQ(entry.GetPictureCount(), 0);
    EXPECT_TRUE(entry.GetHeader(&header));
    EXPECT_EQ(header.itemCount, 0);
    entry.GetLayoutFile(&r);
    EXPECT_TRUE(r.IsAbsent());
}

TEST(PackageLayoutFileInfo, SetIndexNames)
{
    const struct
    {
        const char* path;
        bool expected;
    } cases[] = {
        {"x.usm", true}, {"X.USM", true}, {"a.usm.bak", false}, {"a.usm\\b.usm", false},
        {"usm", false},  {"", false},     {nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "null");
        EXPECT_EQ(IsSetIndexName(c.path), c.expected);
    }
}

} // namespace
