#include "ImageProcessing/BMPFile.h"

#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFileLoops.h"
#include "ImageProcessing/PixelConversion.h"
#include "ImageProcessing/support/FixtureBmp.h"
#include "ImageProcessing/support/FixtureImage.h"
#include "Platform/PageAllocator.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct BufferRead
{
    int result = -1;
    SIZE size{-9, -9};
    PageBuffer pixels;
    PageBuffer plane;
};

BufferRead ReadBuffer(const std::string& path, const SIZE* maximum = nullptr, bool wantPlane = true)
{
    BufferRead r;
    std::uint8_t* pixels = nullptr;
    std::uint8_t* plane = nullptr;
    r.result = CBMPFile().ReadBuffer(path, &pixels, wantPlane ? &plane : nullptr, &r.size, maximum);
    r.pixels.reset(pixels);
    r.plane.reset(plane);
    return r;
}

std::string WriteBmp(const FixtureFolder& folder, const FixtureBmpOptions& o, const char* name = "a.bmp")
{
    const std::string path = folder.Path(name);
    WriteFixtureFile(path, FixtureBmp(o));
    return path;
}

struct DepthCase
{
    const char* name;
    int bits;
    int headerSize;
    bool topDown;
    int colorsUsed;
};

class BmpDepths : public ::testing::TestWithParam<DepthCase>
{
};

// Read into an image and read into a buffer give the stored picture.
TEST_P(BmpDepths, ReadAndReadBufferGiveThePicture)
{
    const DepthCase& c = GetParam();
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.width = 13; // rows of every depth end in padding
    o.height = 6;
    o.bits = c.bits;
    o.headerSize = c.headerSize;
    o.topDown = c.topDown;
    o.colorsUsed = c.colorsUsed;
    const std::string path = WriteBmp(folder, o);

    CImage image;
    ASSERT_EQ(CBMPFile().Read(path, &image), ImageFileOk);
    ASSERT_EQ(image.GetWidth(), o.width);
    ASSERT_EQ(image.GetHeight(), o.height);
    BufferRead r = ReadBuffer(path);
    ASSERT_EQ(r.result, ImageFileOk);
    EXPECT_EQ(r.size.cx, o.width);
    EXPECT_EQ(r.size.cy, o.height);
    for (int y = 0; y < o.height; ++y)
        for (int x = 0; x < o.width; ++x) {
            const FixturePixel want = FixtureBmpPixel(o, x, y);
            ASSERT_TRUE(SameColour(FixtureImagePixel(image, x, y), want)) << x << "," << y;
            const FixturePixel got = FixtureBufferPixel(r.pixels.get(), o.width, o.height, x, y);
            ASSERT_TRUE(SameColour(got, want)) << x << "," << y;
            ASSERT_EQ(got.a, 0) << x << "," << y;
            ASSERT_EQ(r.plane.get()[y * o.width + x], 0);
        }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BmpDepths,
    ::testing::Values(
        DepthCase{"Bits1Core", 1, 12, false, 0}, DepthCase{"Bits4Core", 4, 12, false, 0},
        DepthCase{"Bits8Core", 8, 12, false, 0}, DepthCase{"Bits24Core", 24, 12, false, 0},
        DepthCase{"Bits1Info", 1, 40, false, 0}, DepthCase{"Bits4InfoFewColours", 4, 40, false, 5},
        DepthCase{"Bits8Info", 8, 40, false, 0}, DepthCase{"Bits8InfoFewColours", 8, 40, false, 17},
        DepthCase{"Bits24Info", 24, 40, false, 0}, DepthCase{"Bits1V4", 1, 108, false, 0},
        DepthCase{"Bits8V5", 8, 124, false, 0}, DepthCase{"Bits24V5", 24, 124, false, 0},
        DepthCase{"Bits1TopDown", 1, 40, true, 0}, DepthCase{"Bits4TopDown", 4, 40, true, 0},
        DepthCase{"Bits8TopDown", 8, 108, true, 0}, DepthCase{"Bits24TopDown", 24, 40, true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A core header with a 2-colour palette of 3-byte entries reads as the 40-byte form does.
TEST(BmpFile, CoreHeaderReadsLikeTheInfoHeader)
{
    FixtureFolder folder;
    FixtureBmpOptions core, info;
    core.bits = info.bits = 1;
    core.headerSize = 12;
    CImage a, b;
    ASSERT_EQ(CBMPFile().Read(WriteBmp(folder, core, "core.bmp"), &a), ImageFileOk);
    ASSERT_EQ(CBMPFile().Read(WriteBmp(folder, info, "info.bmp"), &b), ImageFileOk);
    for (int y = 0; y < core.height; ++y)
        for (int x = 0; x < core.width; ++x)
            ASSERT_TRUE(SameColour(FixtureImagePixel(a, x, y), FixtureImagePixel(b, x, y)));
}

// 6 x 4 picture, bottom row first, palette entries by index.
struct RleCase
{
    const char* name;
    std::uint32_t compression;
    std::vector<std::uint8_t> data;
    std::vector<int> indices; // 24 indices, picture row 0 (the top) first
};

class BmpRunLength : public ::testing::TestWithParam<RleCase>
{
};

TEST_P(BmpRunLength, DecodesEveryEscape)
{
    const RleCase& c = GetParam();
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.width = 6;
    o.height = 4;
    o.bits = c.compression == 1 ? 8 : 4;
    o.compression = c.compression;
    o.rle = c.data;
    const std::string path = WriteBmp(folder, o);
    CImage image;
    ASSERT_EQ(CBMPFile().Read(path, &image), ImageFileOk);
    BufferRead r = ReadBuffer(path);
    ASSERT_EQ(r.result, ImageFileOk);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const FixturePixel want = FixtureBmpPaletteEntry(c.indices[y * 6 + x]);
            EXPECT_TRUE(SameColour(FixtureImagePixel(image, x, y), want)) << x << "," << y;
            EXPECT_TRUE(SameColour(FixtureBufferPixel(r.pixels.get(), 6, 4, x, y), want)) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, BmpRunLength,
    ::testing::Values(
        // bottom row: run of 3 x 5, literal 1 2 3 (+pad); end of line; row 1: run 2 x 7, end
        // of line; then a delta right 2 and up 1 to row 3, run 1 x 9, end of picture.
        RleCase{"Rle8",
                1,
                {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 2, 7, 0, 0, 0, 2, 2, 1, 1, 9, 0, 1},
                {0, 0, 9, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 7, 7, 0, 0, 0, 0, /**/ 5, 5, 5, 1, 2, 3}},
        // even literal (no pad), a run that passes the row end: its excess is dropped
        RleCase{"Rle8RunClippedAtRowEnd",
                1,
                {0, 4, 1, 2, 3, 4, 4, 6, 0, 1},
                {0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 1, 2, 3, 4, 6, 6}},
        // rows coded to the padded stride (8 pixels on 6) and closed by an end of line:
        // a run, then a literal past the row's end; both go no further than the row;
        // an end of line on the empty row 2 leaves it for row 3
        RleCase{"Rle8RowsCodedToTheStride",
                1,
                {8, 3, 0, 0, 0, 8, 1, 2, 3, 4, 5, 6, 0, 0, 0, 0, 0, 0, 2, 9, 0, 1},
                {9, 9, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 1, 2, 3, 4, 5, 6, /**/ 3, 3, 3, 3, 3, 3}},
        // RLE4: a run of 8 nibbles and a literal of 8 nibbles on rows of 6
        RleCase{"Rle4RowsCodedToTheStride",
                2,
                {8, 0x12, 0, 0, 0, 8, 0x34, 0x56, 0x78, 0x9A, 0, 0, 0, 1},
                {0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 3, 4, 5, 6, 7, 8, /**/ 1, 2, 1, 2, 1, 2}},
        // bottom row: run of 4 alternating 1/2, run of 2 of 3/4, end of line on a full row;
        // row 1: literal of 5 nibbles (3 bytes + pad), end of line; row 2: run 3 of a/b,
        // delta (1, 1), run 1 of c; end of picture.
        RleCase{"Rle4",
                2,
                {4, 0x12, 2, 0x34, 0, 0, 0, 5, 0x56, 0x78, 0x90, 0, 0, 0, 3, 0xAB, 0, 2, 1, 1, 1, 0xC0, 0, 1},
                {0, 0, 0, 0, 12, 0, /**/ 10, 11, 10, 0, 0, 0, /**/ 5, 6, 7, 8, 9, 0, /**/ 1, 2, 1, 2, 3, 4}},
        // Data that ends without an end of picture leaves the rest at entry 0.
        RleCase{"Rle4Literal4NoEnd", 2, {0, 4, 0x12, 0x34}, {0,      0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0,
                                                             /**/ 0, 0, 0, 0, 0, 0, /**/ 1, 2, 3, 4, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpFile, RunsPastThePictureStayInside)
{
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.width = 3;
    o.height = 2;
    o.bits = 8;
    o.compression = 1;
    // A run of 255, a literal of 200 that the data does not hold, a delta far outside.
    o.rle = {255, 4, 0, 200, 1, 2, 0, 2, 250, 250};
    const std::string path = WriteBmp(folder, o);
    CImage image;
    ASSERT_EQ(CBMPFile().Read(path, &image), ImageFileOk);
    // The run fills the bottom row only; the literal the data lacks ends the data.
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 2, 1), FixtureBmpPaletteEntry(4)));
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 0, 0), FixtureBmpPaletteEntry(0)));
    BufferRead r = ReadBuffer(path);
    EXPECT_EQ(r.result, ImageFileOk);
}

// 3 x 2, palette black, red, green, each row coded to its padded stride of 4
// and closed by an end of line (as common encoders write it): green over red.
TEST(BmpFile, RunLengthRowsCodedToThePaddedStrideDecodeInPlace)
{
    const std::vector<std::uint8_t> rle = {0x04, 0x01, 0x00, 0x00, 0x04, 0x02, 0x00, 0x00, 0x00, 0x01};
    FixtureBytes b;
    const std::uint32_t offset = 14 + 40 + 3 * 4;
    b.U8('B').U8('M').U32(offset + static_cast<std::uint32_t>(rle.size())).U16(0).U16(0).U32(offset);
    b.U32(40).I32(3).I32(2).U16(1).U16(8).U32(1).U32(static_cast<std::uint32_t>(rle.size()));
    b.I32(2835).I32(2835).U32(3).U32(0);
    b.U32(0x000000).U32(0xFF0000).U32(0x00FF00).Raw(rle); // stored blue, green, red, reserved
    FixtureFolder folder;
    const std::string path = folder.Path("padded.bmp");
    WriteFixtureFile(path, b.Bytes());
    const FixturePixel red{0, 0, 255, 0}, green{0, 255, 0, 0};
    CImage image, scaled;
    ASSERT_EQ(CBMPFile().Read(path, &image), ImageFileOk);
    BufferRead r = ReadBuffer(path);
    ASSERT_EQ(r.result, ImageFileOk);
    SIZE size;
    double scale = 0;
    ASSERT_EQ(CBMPFile().ReadScaled(path, &scaled, 3, 2, &size, &scale, 0, 1, nullptr), ImageFileOk);
    for (int x = 0; x < 3; ++x) {
        EXPECT_TRUE(SameColour(FixtureImagePixel(image, x, 0), green)) << x;
        EXPECT_TRUE(SameColour(FixtureImagePixel(image, x, 1), red)) << x;
        EXPECT_TRUE(SameColour(FixtureBufferPixel(r.pixels.get(), 3, 2, x, 0), green)) << x;
        EXPECT_TRUE(SameColour(FixtureBufferPixel(r.pixels.get(), 3, 2, x, 1), red)) << x;
        EXPECT_TRUE(SameColour(FixtureImagePixel(scaled, x, 0), green)) << x;
        EXPECT_TRUE(SameColour(FixtureImagePixel(scaled, x, 1), red)) << x;
    }
}

TEST(BmpFile, SixteenAndThirtyTwoBitsAreRefusedByTheReaders)
{
    FixtureFolder folder;
    for (int bits : {16, 32}) {
        FixtureBmpOptions o;
        o.bits = bits;
        const std::string path = WriteBmp(folder, o);
        CImage image;
        EXPECT_EQ(CBMPFile().Read(path, &image), ImageFileUnsupported) << bits;
        SIZE size{};
        double scale = 0;
        EXPECT_EQ(CBMPFile().ReadScaled(path, &image, 50, 50, &size, &scale, 0, 1, nullptr),
                  ImageFileUnsupported);
        EXPECT_EQ(ReadBuffer(path).result, ImageFileUnsupported) << bits;
    }
    FixtureBmpOptions o24;
    CImage image;
    EXPECT_EQ(CBMPFile().ReadWithMask(WriteBmp(folder, o24), &image), ImageFileUnsupported);
}

// A 32-bit file's fourth byte becomes the mask; top-down files too.
TEST(BmpFile, ThirtyTwoBitsThroughTheMaskReader)
{
    for (bool topDown : {false, true}) {
        FixtureFolder folder;
        FixtureBmpOptions o;
        o.bits = 32;
        o.topDown = topDown;
        const std::string path = WriteBmp(folder, o);
        CImage image;
        ASSERT_EQ(CBMPFile().ReadWithMask(path, &image), ImageFileOk);
        ASSERT_TRUE(image.HasMask());
        for (int y = 0; y < o.height; ++y)
            for (int x = 0; x < o.width; ++x) {
                const FixturePixel want = FixtureBmpPixel(o, x, y);
                ASSERT_TRUE(SameColour(FixtureImagePixel(image, x, y), want)) << x << "," << y;
                ASSERT_EQ(FixtureMaskValue(image, x, y), want.a) << x << "," << y;
            }
        std::uint8_t* raw = nullptr;
        SIZE size{};
        ASSERT_EQ(CBMPFile().ReadRaw32(path, &raw, &size), ImageFileOk);
        PageBuffer owned(raw);
        EXPECT_EQ(size.cx, o.width);
        const FixturePixel corner = FixtureBufferPixel(raw, o.width, o.height, 1, 0);
        EXPECT_TRUE(SameColour(corner, FixtureBmpPixel(o, 1, 0)));
        EXPECT_EQ(corner.a, FixtureBmpPixel(o, 1, 0).a);
    }
}

TEST(BmpFile, MaskRoundTripInSeveralPieces)
{
    FixtureFolder folder;
    CImage source;
    ASSERT_TRUE(source.Create(211, 97)); // 82 KB of rows: more than one write piece
    ASSERT_TRUE(source.CreateMask());
    for (int y = 0; y < 97; ++y)
        for (int x = 0; x < 211; ++x) {
            std::uint8_t* p = const_cast<std::uint8_t*>(FixtureImageByte(source, x, y));
            const FixturePixel v = FixturePattern(x, y);
            p[0] = v.b;
            p[1] = v.g;
            p[2] = v.r;
            const_cast<std::uint8_t*>(FixtureImageByte(*source.GetMask(), x, y))[2] =
                static_cast<std::uint8_t>(x + y);
        }
    const std::string path = folder.Path("mask.bmp");
    ASSERT_EQ(CBMPFile().WriteWithMask(path, &source), ImageFileOk);
    CImage back;
    ASSERT_EQ(CBMPFile().ReadWithMask(path, &back), ImageFileOk);
    ASSERT_EQ(back.GetWidth(), 211);
    for (int y = 0; y < 97; ++y)
        for (int x = 0; x < 211; ++x) {
            ASSERT_TRUE(SameColour(FixtureImagePixel(back, x, y), FixtureImagePixel(source, x, y)));
            ASSERT_EQ(FixtureMaskValue(back, x, y), (x + y) & 0xFF);
        }
    CImage empty;
    EXPECT_EQ(CBMPFile().WriteWithMask(folder.Path("none.bmp"), &empty), ImageFileUnsupported);
}

TEST(BmpFile, WriteBufferAndWriteReadBackTheSameRows)
{
    FixtureFolder folder;
    const int w = 301, h = 90; // 24-bit rows of 903 bytes padded to 904; 81 KB
    PageBuffer pixels(static_cast<std::uint8_t*>(PageAlloc(w * h * 4)));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const FixturePixel v = FixturePattern(x, y);
            std::uint8_t* p = pixels.get() + ((h - 1 - y) * w + x) * 4;
            p[0] = v.b;
            p[1] = v.g;
            p[2] = v.r;
            p[3] = 77;
        }
    const std::string path = folder.Path("buffer.bmp");
    ASSERT_EQ(CBMPFile().WriteBuffer(path, pixels.get(), nullptr, w, h), ImageFileOk);
    CImage back;
    ASSERT_EQ(CBMPFile().Read(path, &back), ImageFileOk);
    const std::string again = folder.Path("image.bmp");
    ASSERT_EQ(CBMPFile().Write(again, &back), ImageFileOk);
    CImage twice;
    ASSERT_EQ(CBMPFile().Read(again, &twice), ImageFileOk);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ASSERT_TRUE(SameColour(FixtureImagePixel(back, x, y), FixturePattern(x, y))) << x << "," << y;
            ASSERT_TRUE(SameColour(FixtureImagePixel(twice, x, y), FixturePattern(x, y))) << x << "," << y;
        }

    std::uint8_t* raw = nullptr;
    SIZE size{};
    ASSERT_EQ(CBMPFile().WriteRaw32(folder.Path("raw.bmp"), pixels.get(), w, h), ImageFileOk);
    ASSERT_EQ(CBMPFile().ReadRaw32(folder.Path("raw.bmp"), &raw, &size), ImageFileOk);
    PageBuffer owned(raw);
    EXPECT_EQ(std::memcmp(raw, pixels.get(), w * h * 4), 0);
    EXPECT_EQ(CBMPFile().WriteRaw32(folder.Path("bad.bmp"), nullptr, w, h), ImageFileUnsupported);
    EXPECT_EQ(CBMPFile().WriteRaw32(folder.Path("bad.bmp"), pixels.get(), 0, h), ImageFileUnsupported);
    EXPECT_EQ(CBMPFile().WriteBuffer(folder.Path("no/such/folder.bmp"), pixels.get(), nullptr, w, h),
              ImageFileMissing);
}

TEST(BmpFile, MaximumIsTestedBeforeAnythingElseOfThePicture)
{
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.width = 900;
    o.height = 601;
    const std::string path = WriteBmp(folder, o);
    const SIZE anyWidth{-1, 600};
    BufferRead r = ReadBuffer(path, &anyWidth);
    EXPECT_EQ(r.result, ImageFileCancelled);
    EXPECT_EQ(r.size.cx, 900);
    EXPECT_EQ(r.size.cy, 601);
    EXPECT_EQ(r.pixels, nullptr);
    const SIZE fits{-1, 601};
    EXPECT_EQ(ReadBuffer(path, &fits).result, ImageFileOk);

    CImage image;
    SIZE size{};
    double scale = 0;
    EXPECT_EQ(CBMPFile().ReadScaled(path, &image, 100, 100, &size, &scale, 0, 1, &anyWidth),
              ImageFileCancelled);
    EXPECT_EQ(size.cy, 601);
    EXPECT_EQ(scale, 1.0);
}

TEST(BmpFile, ScaledReadFitsTheBox)
{
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.width = 100;
    o.height = 50;
    const std::string path = WriteBmp(folder, o);
    CImage image;
    SIZE size{};
    double scale = 0;
    ASSERT_EQ(CBMPFile().ReadScaled(path, &image, 400, 400, &size, &scale, RGB(1, 2, 3), 1, nullptr),
              ImageFileOk);
    EXPECT_EQ(image.GetWidth(), 100);
    EXPECT_EQ(image.GetHeight(), 50);
    EXPECT_EQ(scale, 1.0);
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 10, 20), FixtureBmpPixel(o, 10, 20)));

    ASSERT_EQ(CBMPFile().ReadScaled(path, &image, 400, 400, &size, &scale, RGB(1, 2, 3), 0, nullptr),
              ImageFileOk);
    EXPECT_EQ(image.GetWidth(), 400);
    EXPECT_EQ(image.GetHeight(), 400);
    EXPECT_DOUBLE_EQ(scale, 4.0);
    EXPECT_EQ(size.cx, 100);
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 5, 5), FixturePixel{3, 2, 1, 0}));
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 5, 395), FixturePixel{3, 2, 1, 0}));
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 41, 101), FixtureBmpPixel(o, 10, 0)));

    ASSERT_EQ(CBMPFile().ReadScaled(path, &image, 40, 40, &size, &scale, 0, 1, nullptr), ImageFileOk);
    EXPECT_EQ(image.GetWidth(), 40);
    EXPECT_EQ(image.GetHeight(), 20);
    EXPECT_DOUBLE_EQ(scale, 0.4);
}

struct HostileCase
{
    const char* name;
    std::size_t at; // byte to patch (-1: none)
    std::uint32_t value;
    int bytes;
    int result;
};

class BmpHostile : public ::testing::TestWithParam<HostileCase>
{
};

TEST_P(BmpHostile, IsRefusedCleanly)
{
    const HostileCase& c = GetParam();
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.bits = 8;
    auto bytes = FixtureBmp(o);
    for (int i = 0; i < c.bytes; ++i)
        bytes[c.at + i] = static_cast<std::uint8_t>(c.value >> (8 * i));
    const std::string path = folder.Path("h.bmp");
    WriteFixtureFile(path, bytes);
    CImage image;
    EXPECT_EQ(CBMPFile().Read(path, &image), c.result);
    EXPECT_EQ(ReadBuffer(path).result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BmpHostile,
    ::testing::Values(HostileCase{"NotBm", 0, 'X', 1, ImageFileUnsupported},
                      HostileCase{"HeightIntMin", 22, 0x80000000u, 4, ImageFileUnsupported},
                      HostileCase{"WidthZero", 18, 0, 4, ImageFileUnsupported},
                      HostileCase{"WidthNegative", 18, 0xFFFFFFF0u, 4, ImageFileUnsupported},
                      HostileCase{"HeightZero", 22, 0, 4, ImageFileUnsupported},
                      HostileCase{"TooManyPixels", 18, 60000000, 4, ImageFileUnsupported},
                      HostileCase{"Planes2", 26, 2, 2, ImageFileUnsupported},
                      HostileCase{"Compression3", 30, 3, 4, ImageFileUnsupported},
                      HostileCase{"Rle4On8Bits", 30, 2, 4, ImageFileUnsupported},
                      HostileCase{"PaletteLargerThanDepth", 46, 257, 4, ImageFileUnsupported},
                      HostileCase{"HeaderBetweenCoreAndInfo", 14, 20, 4, ImageFileUnsupported},
                      HostileCase{"HeaderPastTheFile", 14, 100000, 4, ImageFileReadFailed},
                      HostileCase{"PixelOffsetPastTheFile", 10, 0xFFFFFF00u, 4, ImageFileOk},
                      HostileCase{"PixelOffsetInsideTheHeader", 10, 20, 4, ImageFileOk}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpFile, HugeSizeIsRefusedBeforeAllocating)
{
    FixtureFolder folder;
    FixtureBmpOptions o;
    auto bytes = FixtureBmp(o);
    const std::uint32_t w = 20000, h = 20000; // 1.6 GB of 32-bit pixels from a tiny file
    std::memcpy(&bytes[18], &w, 4);
    std::memcpy(&bytes[22], &h, 4);
    WriteFixtureFile(folder.Path("big.bmp"), bytes);
    CImage image;
    EXPECT_EQ(CBMPFile().Read(folder.Path("big.bmp"), &image), ImageFileUnsupported);
}

TEST(BmpFile, TopDownWithRunLengthIsRefused)
{
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.bits = 8;
    o.compression = 1;
    o.topDown = true;
    o.rle = {2, 1, 0, 1};
    CImage image;
    EXPECT_EQ(CBMPFile().Read(WriteBmp(folder, o), &image), ImageFileUnsupported);
}

// The offset field is followed when it is usable: a 24-bit file with a gap (or
// an optional palette) before its rows reads correctly.
TEST(BmpFile, PixelOffsetFieldIsFollowedInsideTheFile)
{
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.gapBeforePixels = 36;
    const std::string path = WriteBmp(folder, o);
    CImage image;
    ASSERT_EQ(CBMPFile().Read(path, &image), ImageFileOk);
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 0, 0), FixtureBmpPixel(o, 0, 0)));
    EXPECT_TRUE(SameColour(FixtureImagePixel(image, 6, 4), FixtureBmpPixel(o, 6, 4)));
}

// Pixels are never read from the headers or the palette: an offset field that
// points into them is not trusted, and the rows are read from where the
// palette ends, where they are.
TEST(BmpFile, PixelOffsetInsideTheHeadersOrPaletteReadsFromThePaletteEnd)
{
    const struct
    {
        const char* name;
        int bits;
        int headerSize;
        int offsetBack;
    } cases[] = {
        {"8-bit, into the palette", 8, 40, 40},       {"8-bit, to the palette's start", 8, 40, 1024},
        {"4-bit, last palette entry", 4, 40, 4},      {"1-bit core, into the palette", 1, 12, 3},
        {"8-bit, into the header", 8, 40, 1024 + 20}, {"24-bit, into a long header", 24, 108, 30},
    };
    for (const auto& c : cases) {
        FixtureFolder folder;
        FixtureBmpOptions o;
        o.width = 13;
        o.height = 6;
        o.bits = c.bits;
        o.headerSize = c.headerSize;
        o.offsetBack = c.offsetBack;
        const std::string path = WriteBmp(folder, o);
        CImage image;
        ASSERT_EQ(CBMPFile().Read(path, &image), ImageFileOk) << c.name;
        BufferRead r = ReadBuffer(path);
        ASSERT_EQ(r.result, ImageFileOk) << c.name;
        CImage scaled;
        SIZE size{};
        double scale = 0;
        ASSERT_EQ(CBMPFile().ReadScaled(path, &scaled, 100, 100, &size, &scale, 0, 1, nullptr), ImageFileOk);
        for (int y = 0; y < o.height; ++y)
            for (int x = 0; x < o.width; ++x) {
                const FixturePixel want = FixtureBmpPixel(o, x, y);
                ASSERT_TRUE(SameColour(FixtureImagePixel(image, x, y), want))
                    << c.name << " " << x << "," << y;
                ASSERT_TRUE(SameColour(FixtureBufferPixel(r.pixels.get(), o.width, o.height, x, y), want))
                    << c.name << " " << x << "," << y;
                ASSERT_TRUE(SameColour(FixtureImagePixel(scaled, x, y), want))
                    << c.name << " " << x << "," << y;
            }
    }
}

// A bitmap has no mask: palette entries' reserved byte never reaches the
// buffer's fourth byte.
TEST(BmpFile, PaletteReservedByteIsNotAMask)
{
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.bits = 8;
    o.paletteReserved = 0xFF;
    BufferRead r = ReadBuffer(WriteBmp(folder, o));
    ASSERT_EQ(r.result, ImageFileOk);
    for (int i = 0; i < o.width * o.height; ++i)
        ASSERT_EQ(r.pixels.get()[i * 4 + 3], 0);
}

TEST(BmpFile, ShortFilesAndMissingFiles)
{
    FixtureFolder folder;
    FixtureBmpOptions o;
    auto bytes = FixtureBmp(o);
    const std::size_t headers = 54;
    // Rows cut short are a damaged file, not a picture with black rows.
    auto cut = bytes;
    cut.resize(headers + 30);
    WriteFixtureFile(folder.Path("cut.bmp"), cut);
    EXPECT_EQ(ReadBuffer(folder.Path("cut.bmp")).result, ImageFileReadFailed);

    auto none = bytes;
    none.resize(headers);
    WriteFixtureFile(folder.Path("none.bmp"), none);
    EXPECT_EQ(ReadBuffer(folder.Path("none.bmp")).result, ImageFileReadFailed);
    auto header = bytes;
    header.resize(20);
    WriteFixtureFile(folder.Path("header.bmp"), header);
    EXPECT_EQ(ReadBuffer(folder.Path("header.bmp")).result, ImageFileReadFailed);
    header.resize(10);
    WriteFixtureFile(folder.Path("tiny.bmp"), header);
    EXPECT_EQ(ReadBuffer(folder.Path("tiny.bmp")).result, ImageFileReadFailed);

    EXPECT_EQ(ReadBuffer(folder.Path("missing.bmp")).result, ImageFileMissing);
    std::filesystem::create_directory(folder.Path("dir.bmp"));
    EXPECT_EQ(ReadBuffer(folder.Path("dir.bmp")).result, ImageFileMissing);
}

} // namespace

namespace {

struct CutCase
{
    const char* name;
    int bits;
};

class BmpCutRows : public ::testing::TestWithParam<CutCase>
{
};

// Uncompressed rows cut inside the pixel data fail; a file lacking only the
// last row's padding (some writers leave it out) still reads whole.
TEST_P(BmpCutRows, CutPixelDataFailsAndMissingLastPaddingReads)
{
    const CutCase& c = GetParam();
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.width = 13; // every depth pads its rows
    o.height = 4;
    o.bits = c.bits;
    const auto bytes = FixtureBmp(o);
    const std::size_t stride = ((static_cast<std::size_t>(o.width) * c.bits + 31) / 32) * 4;
    const std::size_t lastRow = (static_cast<std::size_t>(o.width) * c.bits + 7) / 8;
    ASSERT_LT(lastRow, stride);

    auto unpadded = bytes;
    unpadded.resize(bytes.size() - (stride - lastRow));
    WriteFixtureFile(folder.Path("unpadded.bmp"), unpadded);
    BufferRead r = ReadBuffer(folder.Path("unpadded.bmp"));
    ASSERT_EQ(r.result, ImageFileOk);
    for (int y = 0; y < o.height; ++y)
        for (int x = 0; x < o.width; ++x)
            ASSERT_TRUE(SameColour(FixtureBufferPixel(r.pixels.get(), o.width, o.height, x, y),
                                   FixtureBmpPixel(o, x, y)))
                << x << "," << y;
    CImage whole;
    EXPECT_EQ(CBMPFile().Read(folder.Path("unpadded.bmp"), &whole), ImageFileOk);

    auto cut = bytes;
    cut.resize(bytes.size() - (stride - lastRow) - 1);
    WriteFixtureFile(folder.Path("cut.bmp"), cut);
    EXPECT_EQ(ReadBuffer(folder.Path("cut.bmp")).result, ImageFileReadFailed);
    CImage image;
    EXPECT_EQ(CBMPFile().Read(folder.Path("cut.bmp"), &image), ImageFileReadFailed);
    cut.resize(bytes.size() - stride * 2);
    WriteFixtureFile(folder.Path("half.bmp"), cut);
    EXPECT_EQ(ReadBuffer(folder.Path("half.bmp")).result, ImageFileReadFailed);
    EXPECT_EQ(CBMPFile().Read(folder.Path("half.bmp"), &image), ImageFileReadFailed);
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpCutRows,
                         ::testing::Values(CutCase{"Bits1", 1}, CutCase{"Bits4", 4}, CutCase{"Bits8", 8},
                                           CutCase{"Bits24", 24}),
                         [](const auto& info) { return std::string(info.param.name); });

// 16384 x 16384 declared by a file of 438 bytes: every reader of every depth
// refuses it before a block of the declared size is allocated.
TEST(BmpFile, HugeDeclaredSizeInATinyFileIsRefusedWithoutAllocating)
{
    FixtureFolder folder;
    for (int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        FixtureBmpOptions o;
        o.bits = bits;
        o.colorsUsed = bits == 8 ? 16 : 0; // a palette that leaves room for rows in 438 bytes
        auto bytes = FixtureBmp(o);
        const std::uint32_t side = 16384;
        std::memcpy(&bytes[18], &side, 4);
        std::memcpy(&bytes[22], &side, 4);
        bytes.resize(438, 0);
        const std::string path = folder.Path("huge.bmp");
        WriteFixtureFile(path, bytes);
        PageAllocResetLargestRequest();
        CImage image;
        if (bits == 32) {
            std::uint8_t* raw = nullptr;
            SIZE size{};
            EXPECT_EQ(CBMPFile().ReadRaw32(path, &raw, &size), ImageFileReadFailed);
            EXPECT_EQ(raw, nullptr);
            EXPECT_EQ(CBMPFile().ReadWithMask(path, &image), ImageFileReadFailed);
        } else {
            EXPECT_EQ(ReadBuffer(path).result, ImageFileReadFailed);
            EXPECT_EQ(CBMPFile().Read(path, &image), ImageFileReadFailed);
            SIZE size{};
            double scale = 0;
            EXPECT_EQ(CBMPFile().ReadScaled(path, &image, 50, 50, &size, &scale, 0, 1, nullptr),
                      ImageFileReadFailed);
        }
        EXPECT_LE(PageAllocLargestRequest(), 4096u);
    }
}

// 32-bit rows have no padding: a file cut anywhere inside its pixel data is
// refused by both 32-bit readers, the whole file reads.
TEST(BmpFile, ThirtyTwoBitsCutInsideThePixelDataFail)
{
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.width = 13;
    o.height = 4;
    o.bits = 32;
    const auto bytes = FixtureBmp(o);
    const std::size_t stride = 13 * 4;
    const struct
    {
        const char* name;
        std::size_t size;
        int result;
    } cases[] = {{"whole", bytes.size(), ImageFileOk},
                 {"one byte short", bytes.size() - 1, ImageFileReadFailed},
                 {"half the rows", bytes.size() - stride * 2, ImageFileReadFailed},
                 {"one row", 54 + stride, ImageFileReadFailed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> cut(bytes.begin(),
                                            bytes.begin() + static_cast<std::ptrdiff_t>(c.size));
        const std::string path = folder.Path("cut32.bmp");
        WriteFixtureFile(path, cut);
        std::uint8_t* raw = nullptr;
        SIZE size{};
        EXPECT_EQ(CBMPFile().ReadRaw32(path, &raw, &size), c.result);
        EXPECT_EQ(raw != nullptr, c.result == ImageFileOk);
        PageFree(raw);
        CImage image;
        EXPECT_EQ(CBMPFile().ReadWithMask(path, &image), c.result);
        EXPECT_EQ(image.IsValid(), c.result == ImageFileOk);
    }
}

std::vector<char> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// The rows read batch by batch as an encoder takes them give the very file
// that encoding the whole picture read at once gives, whichever way the rows
// are stored and however the last batch falls short.
TEST(BmpFile, ThirtyTwoBitRowsEncodedBatchByBatchGiveTheWholePicturesEff)
{
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown);
        FixtureFolder folder;
        FixtureBmpOptions o;
        o.width = 37;
        o.height = 70; // two whole batches and six rows
        o.bits = 32;
        o.topDown = topDown;
        const std::string path = WriteBmp(folder, o);

        std::uint8_t* raw = nullptr;
        SIZE size{};
        ASSERT_EQ(CBMPFile().ReadRaw32(path, &raw, &size), ImageFileOk);
        const PageBuffer pixels(raw);
        const PageBuffer plane(ExtractAlphaPlane(raw, size.cx * 4, size.cy));
        ASSERT_NE(plane.get(), nullptr);
        const std::string whole = folder.Path("whole.eff");
        ASSERT_EQ(CEFFFile().WriteBuffer(whole, pixels.get(), plane.get(), size.cx, size.cy), ImageFileOk);

        const std::string batched = folder.Path("batched.eff");
        int asked = 0;
        EXPECT_EQ(CBMPFile().ReadRaw32Rows(path,
                                           [&](int width, int height, IJpegBatchSource& rows) {
                                               ++asked;
                                               return CEFFFile().WriteRows(batched, width, height, rows, 0, 90);
                                           }),
                  ImageFileOk);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(FileBytes(batched), FileBytes(whole));
    }
}

TEST(BmpFile, ThirtyTwoBitRowsOfACutOrForeignFileAreNeverHandedOn)
{
    FixtureFolder folder;
    FixtureBmpOptions o;
    o.width = 13;
    o.height = 40;
    o.bits = 32;
    std::vector<std::uint8_t> bytes = FixtureBmp(o);
    bytes.pop_back();
    const std::string cut = folder.Path("cut.bmp");
    WriteFixtureFile(cut, bytes);
    o.bits = 24;
    const std::string plain = WriteBmp(folder, o, "plain.bmp");
    const struct
    {
        const char* name;
        std::string path;
        int result;
    } cases[] = {{"one byte short", cut, ImageFileReadFailed},
                 {"24 bits", plain, ImageFileUnsupported},
                 {"missing", folder.Path("none.bmp"), ImageFileMissing}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool used = false;
        EXPECT_EQ(CBMPFile().ReadRaw32Rows(c.path,
                                           [&](int, int, IJpegBatchSource&) {
                                               used = true;
                                               return ImageFileOk;
                                           }),
                  c.result);
        EXPECT_FALSE(used);
    }
    // What the user of the rows returns is the result.
    o.bits = 32;
    const std::string whole = WriteBmp(folder, o, "whole.bmp");
    EXPECT_EQ(CBMPFile().ReadRaw32Rows(whole, [](int, int, IJpegBatchSource&) { return ImageFileOpenFailed; }),
              ImageFileOpenFailed);
}

} // namespace
