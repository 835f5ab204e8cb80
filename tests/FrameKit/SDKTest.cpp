#include "FrameKit/SDK.h"
#include "FrameKit/PackageErrorCode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kLayout = "[HEADER]\r\nHdRevision=2.10\r\nHdTitle=\"Card\"\r\nHdDirection=Vertical\r\n"
                            "HdThumbnail=\".\\Thumb.bmp\"\r\nHdSound=\"s.wav\"\r\n"
                            "HdPhysicalPaperSize=HAGAKI\r\nHdMargines=0,0,0,0\r\n[PAGE]\r\n"
                            "DrawPicture(\".\\bg.bmp\",0,0,0,2097,1417,0,0,0)\r\n"
                            "DrawPicture(\"\",1,100,200,300,400,1,1,3)\r\n"
                            "DrawLine(0,10,100,10,4,0,0,0)\r\n"
                            "DrawStrings(\"\",0,\"Hi\",0,0,50,20,1,\"F\",0,1,2,3)\r\n";

int Open(ZAV_SDK_PACK& sdk, const std::string& text, const char* folder = "/layouts")
{
    return sdk.OpenLayoutText(folder, static_cast<std::int32_t>(text.size()), text.data());
}

TEST(FrameSdk, FreshObjectAnswersBusyAndChecksArgumentsFirst)
{
    ZAV_SDK sdk;
    LayoutHeaderRecord header;
    ZavInsertFrameInfo frame;
    ZavItemRecord item;
    char buf[16];
    std::uint8_t codes[3] = {0, 0, 0};
    ZavConversion conv;
    const int results[] = {
        sdk.GetLayoutHeader(&header),                             // 7
        sdk.GetInsertFrame(0, &frame),                            // 8
        sdk.GetItem(0, &item),                                    // 9
        sdk.GetRawValue("HEADER", "HdTitle", 0, buf, sizeof buf), // 10
        sdk.GetInsertFrameFileCodes(0, codes),                    // 11
        sdk.GetInsertFrameCodes(0, codes),                        // 12
        sdk.SetInsertFrameCodes(0, 0, codes),                     // 13
        sdk.SetConversion(0, &conv),                              // 14
        sdk.GetConversion(0, &conv),                              // 15
        sdk.SetInsertFrameValue(0, 1),                            // 20
    };
    for (int rc : results)
        EXPECT_EQ(rc, ZAV_ERR_BUSY);
    EXPECT_EQ(sdk.GetInsertFrame(-1, &frame), ZAV_ERR_INDEX);
    const std::uint8_t bad[3] = {5, 0, 0};
    EXPECT_EQ(sdk.SetInsertFrameCodes(0, 0, bad), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(sdk.SetInsertFrameCodes(3, 0, codes), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(sdk.GetConversion(2, &conv), ZAV_ERR_ARGUMENT);
    std::int32_t count = 5;
    EXPECT_EQ(sdk.GetSearchResultCount(&count), ZAV_ERR_BUSY);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(sdk.SearchLayouts(&count, 23, 0, "/", 0), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(sdk.SearchLayouts(&count, 0, 7, "/", 0), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(sdk.GetSearchResultCount(&count), ZAV_ERR_BUSY); // nothing was searched
    EXPECT_EQ(sdk.OpenSearchResult(0), ZAV_ERR_BUSY);
    EXPECT_EQ(sdk.CheckBusy(0), ZAV_OK);
    EXPECT_EQ(sdk.IsBusy(), ZAV_OK);
}

TEST(FrameSdk, OpensTextAndConvertsItems)
{
    ZAV_SDK_PACK sdk;
    ASSERT_EQ(Open(sdk, kLayout), ZAV_OK);
    LayoutHeaderRecord h;
    ASSERT_EQ(sdk.GetLayoutHeader(&h), ZAV_OK);
    EXPECT_STREQ(h.title, "Card");
    EXPECT_STREQ(h.thumbnailPath, "/layouts/Thumb.bmp");
    char name[256];
    sdk.GetThumbnailName(name);
    EXPECT_STREQ(name, ".\\Thumb.bmp");
    sdk.GetSoundName(name);
    EXPECT_STREQ(name, "s.wav");
    ASSERT_EQ(sdk.GetItemFileName(0, name), ZAV_OK);
    EXPECT_STREQ(name, ".\\bg.bmp");
    EXPECT_EQ(sdk.GetItemFileName(2, name), ZAV_ERR_ITEM_INDEX);

    // Target 1 at twice the resolution and rotated; target 0 stays in layout units.
    ZavConversion p;
    p.kind = 0;
    p.resolution = 720.0;
    p.rotated = 1;
    ASSERT_EQ(sdk.SetConversion(1, &p), ZAV_OK);
    ZavInsertFrameInfo frame;
    ASSERT_EQ(sdk.GetInsertFrame(0, &frame), ZAV_OK);
    EXPECT_EQ(frame.itemIndex, 1);
    EXPECT_EQ(frame.x1, 400);
    EXPECT_EQ(frame.x2, 800);
    EXPECT_EQ((frame.y1), (1417 - 300) * 2);
    EXPECT_EQ((frame.y2), (1417 - 100) * 2);
    EXPECT_EQ(sdk.GetInsertFrame(1, &frame), ZAV_ERR_INDEX);

    std::uint8_t codes[3];
    ASSERT_EQ(sdk.GetInsertFrameFileCodes(0, codes), ZAV_OK);
    EXPECT_EQ(codes[0], 0); // 1 turned once more
    EXPECT_EQ(codes[2], 1); // anchor 3 turned
    // Codes set in target 1's terms come back the same.
    const std::uint8_t set[3] = {2, 0, 7};
    ASSERT_EQ(sdk.SetInsertFrameCodes(1, 0, set), ZAV_OK);
    ASSERT_EQ(sdk.GetInsertFrameCodes(0, codes), ZAV_OK);
    EXPECT_EQ(codes[0], 2);
    EXPECT_EQ(codes[2], 7);

    ZavItemRecord r;
    ASSERT_EQ(sdk.GetItem(1, &r), ZAV_OK);
    EXPECT_EQ(r.picture.codesT1[0], 2);
    EXPECT_EQ(r.picture.codesT1[2], 7);
    EXPECT_EQ(r.picture.codes[0], 1); // as read from the file
    EXPECT_EQ(r.picture.rectT0.x1, 100);
    EXPECT_EQ(r.picture.rectT1.x1, 400);
    ASSERT_EQ(sdk.GetItem(2, &r), ZAV_OK);
    EXPECT_EQ(r.kind, 1);
    EXPECT_EQ(r.line.widthT1, 8);
    EXPECT_EQ(r.line.widthT0, 4);
    ASSERT_EQ(sdk.GetItem(3, &r), ZAV_OK);
    EXPECT_EQ(r.kind, 2);
    EXPECT_EQ(r.string.scaleT1, 2.0);
    EXPECT_EQ(r.string.scaleT0, 1.0);
    EXPECT_EQ(r.string.rotationT1, 0);
    EXPECT_EQ(r.string.rotationT0, 1);
    EXPECT_EQ(sdk.GetItem(4, &r), ZAV_ERR_ITEM_INDEX);

    EXPECT_EQ(sdk.SetInsertFrameValue(0, 9), ZAV_OK);
    EXPECT_EQ(sdk.SetInsertFrameValue(3, 9), ZAV_ERR_INDEX);
    char raw[64];
    ASSERT_EQ(sdk.GetRawValue("PAGE", nullptr, 2, raw, sizeof raw), ZAV_OK);
    EXPECT_STREQ(raw, "DrawLine(0,10,100,10,4,0,0,0)");
}

TEST(FrameSdk, ConversionRefusals)
{
    ZAV_SDK_PACK sdk;
    std::string roll = kLayout;
    roll.replace(roll.find("HAGAKI"), 6, "R100");
    ASSERT_EQ(Open(sdk, roll), ZAV_OK);
    ZavConversion size;
    size.kind = 2;
    size.width = 1000;
    size.height = 700;
    EXPECT_EQ(sdk.SetConversion(1, &size), ZAV_ERR_ARGUMENT); // no length to divide by
    std::string open = roll;
    open.replace(open.find("100,200,300,400"), 15, "100,200,300,N");
    ASSERT_EQ(Open(sdk, open), ZAV_OK);
    EXPECT_EQ(sdk.SetConversion(1, &size), ZAV_OK);
    ZavConversion got;
    ASSERT_EQ(sdk.GetConversion(1, &got), ZAV_OK);
    EXPECT_DOUBLE_EQ(got.scale, 700.0 / 1417.0);
    ZavConversion huge;
    huge.kind = 1;
    huge.scale = 1e7;
    EXPECT_EQ(sdk.SetConversion(0, &huge), ZAV_ERR_ARGUMENT);
    huge.scale = -1.0;
    EXPECT_EQ(sdk.SetConversion(0, &huge), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(sdk.SetConversion(2, &size), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(sdk.SetConversion(0, nullptr), ZAV_ERR_ARGUMENT);
}

TEST(FrameSdk, SearchThenOpenAResult)
{
    const fs::path dir = fs::temp_directory_path() / ("framekit-sdk-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "card.usd", std::ios::binary) << kLayout;
    ZAV_SDK sdk;
    std::int32_t count = 0;
    ASSERT_EQ(sdk.SearchLayouts(&count, 0, 0, dir.c_str(), 0), ZAV_OK);
    ASSERT_EQ(count, 1);
    ZavSearchResult r;
    ASSERT_EQ(sdk.GetSearchResult(0, &r), ZAV_OK);
    EXPECT_STREQ(r.title, "Card");
    EXPECT_EQ(sdk.GetSearchResult(1, &r), ZAV_ERR_INDEX);
    EXPECT_EQ(sdk.OpenSearchResult(1), ZAV_ERR_INDEX);
    ASSERT_EQ(sdk.OpenSearchResult(0), ZAV_OK);
    LayoutHeaderRecord h;
    ASSERT_EQ(sdk.GetLayoutHeader(&h), ZAV_OK);
    EXPECT_EQ(h.itemCount, 4);
    EXPECT_EQ(std::string(h.thumbnailPath), (dir / "Thumb.bmp").string());
    std::int32_t paper = -1;
    EXPECT_EQ(sdk.GetSearchCondition(&paper, nullptr, nullptr, nullptr), ZAV_OK);
    EXPECT_EQ(paper, 0);
    // A failed search leaves no result to read.
    EXPECT_EQ(sdk.SearchLayouts(&count, 0, 0, (dir / "none").c_str(), 0), ZAV_ERR_NO_SEARCH_FOLDER);
    EXPECT_EQ(sdk.GetSearchResult(0, &r), ZAV_ERR_BUSY);
    fs::remove_all(dir);
}

} // namespace
