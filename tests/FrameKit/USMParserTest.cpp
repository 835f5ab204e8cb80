#include "FrameKit/USMParser.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/ValueChecks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<USMParser> Parsed(const std::string& text)
{
    auto parser = std::make_unique<USMParser>();
    EXPECT_EQ(parser->ParseMemory(text.data(), text.size(), nullptr), ZAV_OK);
    return parser;
}

TEST(FrameUsmParser, ReadsTheIndexKeys)
{
    USMParser p;
    const std::string text = "[HEADER]\r\nHdRevision=1.00\r\nHdClassification= 0.10\r\nHdCapability=-7x\r\n"
                             "HdCount=2\r\nHdFilename=\"L00.usd\"\r\nHdFilename=\"\x95\x5c.usd\"\r\n";
    ASSERT_EQ(p.ParseMemory(text.data(), text.size(), nullptr), ZAV_OK);
    unsigned char major = 9, minor = 9;
    int count = 0, capability = 0;
    EXPECT_EQ(p.GetClassificationMajor(&major), ZAV_OK);
    EXPECT_EQ(p.GetClassificationMinor(&minor), ZAV_OK);
    EXPECT_EQ(major, 0);
    EXPECT_EQ(minor, 10);
    EXPECT_EQ(p.GetCount(&count), ZAV_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(p.GetCapability(&capability), ZAV_OK);
    EXPECT_EQ(capability, -7);
    char name[256];
    EXPECT_EQ(p.GetFilename(0, name), ZAV_OK);
    EXPECT_STREQ(name, "L00.usd");
    EXPECT_EQ(p.GetFilename(1, name), ZAV_OK);
    EXPECT_STREQ(name, "\x95\x5c.usd");
    EXPECT_EQ(p.GetFilename(2, name), ZAV_ERR_INDEX_KEY);
    EXPECT_STREQ(name, "");
}

TEST(FrameUsmParser, MissingMalformedAndOversizedKeys)
{
    auto empty = Parsed("[HEADER]\nHdClassification=x\nHdCount=99999999999\n");
    unsigned char b = 0;
    int n = 0;
    char name[256];
    EXPECT_EQ(empty->GetClassificationMinor(&b), ZAV_ERR_INDEX_KEY); // no point
    EXPECT_EQ(empty->GetClassificationMajor(&b), ZAV_OK);            // empty digit run
    EXPECT_EQ(b, 0);
    EXPECT_EQ(empty->GetCount(&n), ZAV_OK);
    EXPECT_EQ(n, INT32_MAX);
    EXPECT_EQ(empty->GetCapability(&n), ZAV_ERR_INDEX_KEY);
    EXPECT_EQ(empty->GetFilename(0, name), ZAV_ERR_INDEX_KEY);
    auto big = Parsed("[HEADER]\nHdClassification=300.1\nHdFilename=\"" + std::string(256, 'n') + "\"\n");
    EXPECT_EQ(big->GetClassificationMajor(&b), ZAV_ERR_INDEX_KEY);
    EXPECT_EQ(big->GetFilename(0, name), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(big->GetFilename(-1, name), ZAV_ERR_ARGUMENT);
}

TEST(FrameValueChecks, RectUnitAndStyle)
{
    struct Case
    {
        ZavRect in;
        bool x, y;
        ZavRect out;
    } cases[] = {
        {{10, 20, 0, 5}, true, true, {0, 5, 10, 20}},
        {{10, 20, 0, 5}, true, false, {0, 20, 10, 5}},
        {{10, 20, 0, 5}, false, true, {10, 5, 0, 20}},
        {{1, 2, 3, 4}, true, true, {1, 2, 3, 4}},
    };
    for (Case& c : cases) {
        NormalizeRect(&c.in, c.x, c.y);
        EXPECT_EQ(c.in.x1, c.out.x1);
        EXPECT_EQ(c.in.y1, c.out.y1);
        EXPECT_EQ(c.in.x2, c.out.x2);
        EXPECT_EQ(c.in.y2, c.out.y2);
    }
    for (int v : {-1, 0, 1, 2, 3})
        EXPECT_EQ(IsValidUnitCode(v), v >= 0 && v <= 2) << v;
    const std::uint8_t good[][3] = {{0, 0, 0}, {4, 2, 8}};
    const std::uint8_t bad[][3] = {{5, 0, 0}, {0, 3, 0}, {0, 0, 9}, {255, 0, 0}};
    for (const auto& c : good)
        EXPECT_TRUE(IsValidStringStyle(c));
    for (const auto& c : bad)
        EXPECT_FALSE(IsValidStringStyle(c));
}

} // namespace
