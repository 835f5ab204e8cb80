#include "ImageProcessing/TargaFile.h"

#include "ImageProcessing/Image.h"
#include "ImageProcessing/support/FixtureImage.h"
#include "ImageProcessing/support/FixtureTarga.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct TargaCase
{
    const char* name;
    int depth;
    bool runLength;
    bool topFirst;
    int alphaBits;
    bool rightFirst = false;
};

class TargaDecode : public ::testing::TestWithParam<TargaCase>
{
};

// Every accepted kind decodes to the same bottom-up picture, whatever the
// file's compression and origin (bottom or top, left or right).
TEST_P(TargaDecode, GivesThePictureBottomRowFirst)
{
    const TargaCase& c = GetParam();
    FixtureTargaOptions o;
    o.width = 7;
    o.height = 4;
    o.depth = c.depth;
    o.runLength = c.runLength;
    o.topFirst = c.topFirst;
    o.alphaBits = c.alphaBits;
    o.rightFirst = c.rightFirst;
    const auto file = FixtureTarga(o);

    TargaHeader header;
    ASSERT_TRUE(ParseTargaHeader(file, &header));
    ASSERT_TRUE(IsAcceptedTargaHeader(header));
    EXPECT_EQ(header.width, 7);
    EXPECT_EQ(header.height, 4);
    PageBuffer pixels;
    ASSERT_EQ(DecodeTargaPixels(file, header, &pixels), ImageFileOk);
    for (int y = 0; y < o.height; ++y)
        for (int x = 0; x < o.width; ++x) {
            const std::uint8_t* p = pixels.get() + ((o.height - 1 - y) * o.width + x) * 4;
            const FixturePixel want = FixtureTargaPixel(o, x, y);
            const int mask = (c.depth == 32 && c.alphaBits == 8) ? 255 - want.a : 0;
            ASSERT_EQ(p[0], want.b) << x << "," << y;
            ASSERT_EQ(p[1], want.g) << x << "," << y;
            ASSERT_EQ(p[2], want.r) << x << "," << y;
            ASSERT_EQ(p[3], mask) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Kinds, TargaDecode,
                         ::testing::Values(TargaCase{"Raw24BottomUp", 24, false, false, 0},
                                           TargaCase{"Raw24TopDown", 24, false, true, 0},
                                           TargaCase{"Raw32Alpha8", 32, false, false, 8},
                                           TargaCase{"Raw32NoAlphaTopDown", 32, false, true, 0},
                                           TargaCase{"Rle24BottomUp", 24, true, false, 0},
                                           TargaCase{"Rle24TopDown", 24, true, true, 0},
                                           TargaCase{"Rle32Alpha8TopDown", 32, true, true, 8},
                                           TargaCase{"Rle32NoAlpha", 32, true, false, 0},
                                           TargaCase{"Raw24RightToLeft", 24, false, false, 0, true},
                                           TargaCase{"Raw32RightToLeftTopDown", 32, false, true, 8, true},
                                           TargaCase{"Rle24RightToLeft", 24, true, false, 0, true},
                                           TargaCase{"Rle32RightToLeftTopDown", 32, true, true, 8, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A 32-bit file without alpha bits is opaque whatever its fourth bytes hold; an
// opaque alpha of 255 is an opaque mask value 0, not a transparent one.
TEST(TargaDecode, FourthByteFollowsTheAlphaBits)
{
    for (int alphaBits : {0, 8}) {
        FixtureTargaOptions o;
        o.depth = 32;
        o.alphaBits = alphaBits;
        o.fourthByte = 255;
        const auto file = FixtureTarga(o);
        TargaHeader header;
        ASSERT_TRUE(ParseTargaHeader(file, &header));
        PageBuffer pixels;
        ASSERT_EQ(DecodeTargaPixels(file, header, &pixels), ImageFileOk);
        for (int i = 0; i < o.width * o.height; ++i)
            ASSERT_EQ(pixels.get()[i * 4 + 3], 0) << alphaBits << " " << i;
    }
    FixtureTargaOptions o;
    o.depth = 32;
    o.fourthByte = 0;
    const auto noAlpha = FixtureTarga(o);
    TargaHeader header;
    ASSERT_TRUE(ParseTargaHeader(noAlpha, &header));
    PageBuffer pixels;
    ASSERT_EQ(DecodeTargaPixels(noAlpha, header, &pixels), ImageFileOk);
    EXPECT_EQ(pixels.get()[3], 0);
}

TEST(TargaDecode, TwentyFourAndThirtyTwoBitsGiveTheSameColours)
{
    FixtureTargaOptions o24, o32;
    o32.depth = 32;
    o32.alphaBits = 8;
    o32.fourthByte = 255;
    PageBuffer a, b;
    TargaHeader h24, h32;
    const auto f24 = FixtureTarga(o24), f32 = FixtureTarga(o32);
    ASSERT_TRUE(ParseTargaHeader(f24, &h24) && ParseTargaHeader(f32, &h32));
    ASSERT_EQ(DecodeTargaPixels(f24, h24, &a), ImageFileOk);
    ASSERT_EQ(DecodeTargaPixels(f32, h32, &b), ImageFileOk);
    EXPECT_EQ(std::memcmp(a.get(), b.get(), 5 * 3 * 4), 0);
}

TEST(TargaDecode, DataEndingEarlyIsAReadFailure)
{
    for (bool runLength : {false, true}) {
        FixtureTargaOptions o;
        o.runLength = runLength;
        auto file = FixtureTarga(o);
        file.pop_back();
        TargaHeader header;
        ASSERT_TRUE(ParseTargaHeader(file, &header));
        PageBuffer pixels;
        EXPECT_EQ(DecodeTargaPixels(file, header, &pixels), ImageFileReadFailed) << runLength;
        EXPECT_EQ(pixels, nullptr);
    }
}

// A run longer than the picture fills the picture and stops there.
TEST(TargaDecode, RunPastThePictureIsBounded)
{
    FixtureBytes b;
    b.U8(0).U8(0).U8(10).U16(0).U16(0).U8(0).U16(0).U16(0).U16(3).U16(2).U8(24).U8(0);
    b.U8(0xFF).U8(1).U8(2).U8(3); // 128 pixels for a picture of 6
    TargaHeader header;
    ASSERT_TRUE(ParseTargaHeader(b.Bytes(), &header));
    PageBuffer pixels;
    ASSERT_EQ(DecodeTargaPixels(b.Bytes(), header, &pixels), ImageFileOk);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pixels.get()[i * 4 + 2], 3);
}

TEST(TargaDecode, UnusableSizesAreRefused)
{
    for (auto [w, h] : {std::pair{0, 4}, std::pair{4, 0}}) {
        FixtureBytes b;
        b.U8(0).U8(0).U8(2).U16(0).U16(0).U8(0).U16(0).U16(0).U16(w).U16(h).U8(24).U8(0).Zeros(48);
        TargaHeader header;
        ASSERT_TRUE(ParseTargaHeader(b.Bytes(), &header));
        PageBuffer pixels;
        EXPECT_EQ(DecodeTargaPixels(b.Bytes(), header, &pixels), ImageFileUnsupported);
    }
}

TEST(TargaHeader, OnlyPlainTrueColourIsAccepted)
{
    struct Field
    {
        std::size_t at;
        std::uint8_t value;
        bool accepted;
    } fields[] = {{0, 4, false},  {1, 1, false},   {2, 1, false},  {2, 3, false},  {2, 9, false},
                  {2, 11, false}, {16, 16, false}, {16, 8, false}, {16, 32, true}, {2, 10, true}};
    for (const Field& f : fields) {
        auto file = FixtureTarga({});
        file[f.at] = f.value;
        TargaHeader header;
        ASSERT_TRUE(ParseTargaHeader(file, &header));
        EXPECT_EQ(IsAcceptedTargaHeader(header), f.accepted) << f.at << "=" << int(f.value);
    }
    TargaHeader header;
    EXPECT_FALSE(ParseTargaHeader(std::vector<std::uint8_t>(17, 0), &header));
}

} // namespace

namespace {

TEST(TargaFile, ReadGivesTheImageAndReadBufferThePlane)
{
    FixtureFolder folder;
    FixtureTargaOptions o;
    o.width = 6;
    o.height = 5;
    o.depth = 32;
    o.alphaBits = 8;
    o.runLength = true;
    o.topFirst = true;
    const std::string path = folder.Path("a.tga");
    WriteFixtureFile(path, FixtureTarga(o));

    CImage image;
    ASSERT_EQ(CTargaFile().Read(path, &image), ImageFileOk);
    ASSERT_EQ(image.GetWidth(), 6);
    ASSERT_EQ(image.GetHeight(), 5);
    std::uint8_t* pixels = nullptr;
    std::uint8_t* plane = nullptr;
    SIZE size{};
    ASSERT_EQ(CTargaFile().ReadBuffer(path, &pixels, &plane, &size, nullptr), ImageFileOk);
    PageBuffer ownPixels(pixels), ownPlane(plane);
    EXPECT_EQ(size.cx, 6);
    EXPECT_EQ(size.cy, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const FixturePixel want = FixtureTargaPixel(o, x, y);
            ASSERT_TRUE(SameColour(FixtureImagePixel(image, x, y), want));
            ASSERT_TRUE(SameColour(FixtureBufferPixel(pixels, 6, 5, x, y), want));
            ASSERT_EQ(plane[(4 - y) * 6 + x], 255 - want.a);
        }
}

TEST(TargaFile, MaximumMissingFilesAndRefusedHeaders)
{
    FixtureFolder folder;
    FixtureTargaOptions o;
    const std::string path = folder.Path("a.tga");
    WriteFixtureFile(path, FixtureTarga(o));
    std::uint8_t* pixels = nullptr;
    SIZE size{};
    const SIZE maximum{4, -1};
    EXPECT_EQ(CTargaFile().ReadBuffer(path, &pixels, nullptr, &size, &maximum), ImageFileCancelled);
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(size.cx, 5);
    EXPECT_EQ(size.cy, 3);
    EXPECT_EQ(CTargaFile().ReadBuffer(path, nullptr, nullptr, &size, nullptr), ImageFileCheckFailed);

    CImage image;
    EXPECT_EQ(CTargaFile().Read(folder.Path("missing.tga"), &image), ImageFileMissing);
    auto colourMapped = FixtureTarga(o);
    colourMapped[1] = 1;
    WriteFixtureFile(folder.Path("map.tga"), colourMapped);
    EXPECT_EQ(CTargaFile().Read(folder.Path("map.tga"), &image), ImageFileUnsupported);
    auto cut = FixtureTarga(o);
    cut.resize(30);
    WriteFixtureFile(folder.Path("cut.tga"), cut);
    EXPECT_EQ(CTargaFile().Read(folder.Path("cut.tga"), &image), ImageFileReadFailed);
    WriteFixtureFile(folder.Path("tiny.tga"), {0, 0, 2});
    EXPECT_EQ(CTargaFile().Read(folder.Path("tiny.tga"), &image), ImageFileReadFailed);
    // No scaled reader and no writer.
    double scale = 0;
    EXPECT_EQ(CTargaFile().ReadScaled(path, &image, 9, 9, &size, &scale, 0, 1, nullptr),
              ImageFileUnsupported);
    EXPECT_EQ(CTargaFile().Write(path, &image), ImageFileNoMemory);
}

} // namespace
