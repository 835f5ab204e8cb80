#include "ImageProcessing/TiffFile.h"

#include "ImageProcessing/Image.h"
#include "ImageProcessing/support/FixtureImage.h"
#include "ImageProcessing/support/FixtureTiff.h"

#include <tiffio.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TiffRead
{
    int result = -1;
    int width = 0;
    int height = 0;
    PageBuffer pixels;
};

TiffRead Read(const std::string& path, int limitWidth = -1, int limitHeight = -1)
{
    TiffRead r;
    r.result = ReadTiffPixels(path, limitWidth, limitHeight, &r.width, &r.height, &r.pixels);
    return r;
}

const std::uint8_t* At(const TiffRead& r, int x, int y)
{
    return r.pixels.get() + (static_cast<std::size_t>(r.height - 1 - y) * r.width + x) * 4;
}

struct CompressionCase
{
    const char* name;
    int compression;
    int samples;
};

class TiffAcceptedCompression : public ::testing::TestWithParam<CompressionCase>
{
};

// Without alpha every pixel is opaque: mask value 0 in the fourth byte.
TEST_P(TiffAcceptedCompression, ReadsExactPixelsBottomRowFirstAndOpaque)
{
    FixtureFolder folder;
    FixtureTiffOptions o;
    o.width = 19;
    o.height = 5;
    o.samples = GetParam().samples;
    o.compression = GetParam().compression;
    const std::string path = folder.Path("a.tif");
    ASSERT_TRUE(WriteFixtureTiff(path, o));
    TiffRead r = Read(path);
    ASSERT_EQ(r.result, ImageFileOk);
    ASSERT_EQ(r.width, 19);
    ASSERT_EQ(r.height, 5);
    for (int y = 0; y < o.height; ++y)
        for (int x = 0; x < o.width; ++x) {
            const FixturePixel want = FixtureTiffPixel(o, x, y);
            const std::uint8_t* p = At(r, x, y);
            ASSERT_EQ(p[0], want.b) << x << "," << y;
            ASSERT_EQ(p[1], want.g) << x << "," << y;
            ASSERT_EQ(p[2], want.r) << x << "," << y;
            ASSERT_EQ(p[3], 0) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Compressions, TiffAcceptedCompression,
                         ::testing::Values(CompressionCase{"None", COMPRESSION_NONE, 3},
                                           CompressionCase{"NoneBilevel", COMPRESSION_NONE, 1},
                                           CompressionCase{"CcittRle", COMPRESSION_CCITTRLE, 1},
                                           CompressionCase{"Group3", COMPRESSION_CCITTFAX3, 1},
                                           CompressionCase{"Group4", COMPRESSION_CCITTFAX4, 1},
                                           CompressionCase{"Lzw", COMPRESSION_LZW, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

class TiffRefusedCompression : public ::testing::TestWithParam<CompressionCase>
{
};

TEST_P(TiffRefusedCompression, IsUnsupportedButTheMaximumComesFirst)
{
    FixtureFolder folder;
    FixtureTiffOptions o;
    o.width = 40;
    o.height = 30;
    o.compression = GetParam().compression;
    const std::string path = folder.Path("b.tif");
    ASSERT_TRUE(WriteFixtureTiff(path, o));
    EXPECT_EQ(Read(path).result, ImageFileUnsupported);
    EXPECT_EQ(Read(path, 40, 30).result, ImageFileUnsupported);
    TiffRead tooTall = Read(path, -1, 29);
    EXPECT_EQ(tooTall.result, ImageFileCancelled);
    EXPECT_EQ(tooTall.width, 40);
    EXPECT_EQ(tooTall.height, 30);
    EXPECT_EQ(tooTall.pixels, nullptr);
    EXPECT_EQ(Read(path, 39, -1).result, ImageFileCancelled);
}

INSTANTIATE_TEST_SUITE_P(Compressions, TiffRefusedCompression,
                         ::testing::Values(CompressionCase{"PackBits", COMPRESSION_PACKBITS, 3},
                                           CompressionCase{"Jpeg", COMPRESSION_JPEG, 3},
                                           CompressionCase{"Deflate", COMPRESSION_ADOBE_DEFLATE, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TiffFile, MaximumLetsTheExactSizeThrough)
{
    FixtureFolder folder;
    FixtureTiffOptions o;
    const std::string path = folder.Path("c.tif");
    ASSERT_TRUE(WriteFixtureTiff(path, o));
    EXPECT_EQ(Read(path, o.width, o.height).result, ImageFileOk);
    EXPECT_EQ(Read(path, 0, -1).result, ImageFileCancelled);
}

// The fourth byte is the mask value 255 - alpha, and partial alpha's colours
// come back as stored, not darkened by the premultiplication.
TEST(TiffFile, AlphaBecomesTheMaskValueWithColoursRestored)
{
    for (int extra : {EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_ASSOCALPHA}) {
        FixtureFolder folder;
        FixtureTiffOptions o;
        o.width = 9;
        o.height = 7;
        o.samples = 4;
        o.extraSample = extra;
        const std::string path = folder.Path("d.tif");
        ASSERT_TRUE(WriteFixtureTiff(path, o));
        TiffRead r = Read(path);
        ASSERT_EQ(r.result, ImageFileOk);
        for (int y = 0; y < o.height; ++y)
            for (int x = 0; x < o.width; ++x) {
                const FixturePixel want = FixtureTiffPixel(o, x, y);
                const std::uint8_t* p = At(r, x, y);
                ASSERT_EQ(p[3], 255 - want.a) << x << "," << y;
                if (want.a < 16)
                    continue; // too little alpha left to carry the colour
                const int tolerance = 1 + 255 / want.a;
                EXPECT_NEAR(p[0], want.b, tolerance) << extra << " " << x << "," << y << " a=" << int(want.a);
                EXPECT_NEAR(p[1], want.g, tolerance) << extra << " " << x << "," << y;
                EXPECT_NEAR(p[2], want.r, tolerance) << extra << " " << x << "," << y;
            }
    }
}

TEST(TiffFile, OpaqueAlphaIsAnOpaqueMask)
{
    FixtureFolder folder;
    FixtureTiffOptions o;
    o.samples = 4;
    o.fixedAlpha = 255;
    const std::string path = folder.Path("e.tif");
    ASSERT_TRUE(WriteFixtureTiff(path, o));
    TiffRead r = Read(path);
    ASSERT_EQ(r.result, ImageFileOk);
    const FixturePixel want = FixtureTiffPixel(o, 2, 1);
    EXPECT_EQ(At(r, 2, 1)[0], want.b);
    EXPECT_EQ(At(r, 2, 1)[2], want.r);
    for (int i = 0; i < o.width * o.height; ++i)
        ASSERT_EQ(r.pixels.get()[i * 4 + 3], 0);
}

TEST(TiffFile, MissingFileAndNonTiffAndFolder)
{
    FixtureFolder folder;
    EXPECT_EQ(Read(folder.Path("missing.tif")).result, ImageFileMissing);
    EXPECT_EQ(Read(folder.Path("")).result, ImageFileMissing);
    WriteFixtureFile(folder.Path("junk.tif"), {'n', 'o', 't', ' ', 'a', ' ', 't', 'i', 'f', 'f'});
    EXPECT_EQ(Read(folder.Path("junk.tif")).result, ImageFileOpenFailed);
}

// Sizes from the header are checked before the raster is allocated.
TEST(TiffFile, UnusableSizesAreRefusedBeforeAllocating)
{
    FixtureFolder folder;
    struct Case
    {
        std::uint32_t w, h;
        int result;
    } cases[] = {{70000, 70000, ImageFileUnsupported},
                 {0xFFFFFFFF, 2, ImageFileUnsupported},
                 {16384, 16385, ImageFileUnsupported},
                 {4, 4, ImageFileOk}};
    for (const Case& c : cases) {
        const std::string path = folder.Path("big.tif");
        WriteFixtureFile(path, FixtureTiffHeaderOnly(c.w, c.h, 16));
        EXPECT_EQ(Read(path).result, c.result) << c.w << "x" << c.h;
    }
}

TEST(TiffFile, TruncatedDataIsAReadFailure)
{
    FixtureFolder folder;
    const std::string path = folder.Path("short.tif");
    auto bytes = FixtureTiffHeaderOnly(64, 64, 64 * 64);
    bytes.resize(bytes.size() - 64 * 64 + 100);
    WriteFixtureFile(path, bytes);
    EXPECT_EQ(Read(path).result, ImageFileReadFailed);
}

// Writers that leave out StripByteCounts: for a picture in one strip libtiff
// works the count out from the picture's size, and the picture reads whole.
TEST(TiffFile, MissingStripByteCountsStillReads)
{
    const std::uint32_t width = 5, height = 4;
    const std::uint16_t count = 7;
    const std::uint32_t dataAt = 8 + 2 + count * 12 + 4;
    FixtureBytes b;
    b.U8('I').U8('I').U16(42).U32(8).U16(count);
    auto entry = [&](unsigned tag, unsigned type, std::uint32_t n, std::uint32_t value) {
        b.U16(tag).U16(type).U32(n).U32(value);
    };
    entry(256, 4, 1, width);
    entry(257, 4, 1, height);
    entry(258, 3, 1, 8);
    entry(259, 3, 1, 1);
    entry(262, 3, 1, 1); // grey, 0 black
    entry(273, 4, 1, dataAt);
    entry(278, 4, 1, height);
    b.U32(0);
    for (std::uint32_t i = 0; i < width * height; ++i)
        b.U8(10 + i * 11);
    FixtureFolder folder;
    const std::string path = folder.Path("nocounts.tif");
    WriteFixtureFile(path, b.Bytes());
    TiffRead r = Read(path);
    ASSERT_EQ(r.result, ImageFileOk);
    ASSERT_EQ(r.width, 5);
    ASSERT_EQ(r.height, 4);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = At(r, static_cast<int>(x), static_cast<int>(y));
            const int want = static_cast<std::uint8_t>(10 + (y * width + x) * 11);
            ASSERT_EQ(p[0], want) << x << "," << y;
            ASSERT_EQ(p[1], want) << x << "," << y;
            ASSERT_EQ(p[2], want) << x << "," << y;
            ASSERT_EQ(p[3], 0) << x << "," << y;
        }
}

// An LZW RGB file whose one strip holds the given raw bytes.
bool WriteRawLzwTiff(const std::string& path, const std::vector<std::uint8_t>& strip)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 16u);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 16u);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 16u);
    std::vector<std::uint8_t> data = strip;
    const bool ok = TIFFWriteRawStrip(tif, 0, data.data(), static_cast<tmsize_t>(data.size())) >= 0;
    TIFFClose(tif);
    return ok;
}

// Compressed data that does not decode fails the read instead of giving
// whatever came out of the decoder.
TEST(TiffFile, UndecodableCompressedStripsFail)
{
    FixtureFolder folder;
    std::vector<std::uint8_t> garbage(200);
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<std::uint8_t>(0xFF - (i * 37) % 256);
    const struct
    {
        const char* name;
        std::vector<std::uint8_t> strip;
    } cases[] = {{"garbage.tif", garbage}, {"onebyte.tif", {0x80}}};
    for (const auto& c : cases) {
        const std::string path = folder.Path(c.name);
        ASSERT_TRUE(WriteRawLzwTiff(path, c.strip)) << c.name;
        EXPECT_EQ(Read(path).result, ImageFileReadFailed) << c.name;
    }
}

} // namespace

namespace {

TEST(TiffFileClass, ReadReadScaledAndReadBuffer)
{
    FixtureFolder folder;
    FixtureTiffOptions o;
    o.width = 40;
    o.height = 20;
    o.samples = 4;
    o.compression = COMPRESSION_LZW;
    const std::string path = folder.Path("a.tif");
    ASSERT_TRUE(WriteFixtureTiff(path, o));

    CImage image;
    ASSERT_EQ(CTiffFile().Read(path, &image), ImageFileOk);
    ASSERT_EQ(image.GetWidth(), 40);

    SIZE size{};
    double scale = 0;
    ASSERT_EQ(CTiffFile().ReadScaled(path, &image, 20, 20, &size, &scale, 0, 1, nullptr), ImageFileOk);
    EXPECT_EQ(image.GetWidth(), 20);
    EXPECT_EQ(image.GetHeight(), 10);
    EXPECT_DOUBLE_EQ(scale, 0.5);
    EXPECT_EQ(size.cx, 40);
    const SIZE maximum{39, 100};
    EXPECT_EQ(CTiffFile().ReadScaled(path, &image, 20, 20, &size, &scale, 0, 1, &maximum),
              ImageFileCancelled);
    EXPECT_EQ(scale, 1.0);
    EXPECT_EQ(size.cx, 40);

    std::uint8_t* pixels = nullptr;
    std::uint8_t* plane = nullptr;
    ASSERT_EQ(CTiffFile().ReadBuffer(path, &pixels, &plane, &size, nullptr), ImageFileOk);
    PageBuffer ownPixels(pixels), ownPlane(plane);
    CImage whole;
    ASSERT_EQ(CTiffFile().Read(path, &whole), ImageFileOk);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(plane[(19 - y) * 40 + x], 255 - FixtureTiffPixel(o, x, y).a);
            ASSERT_TRUE(SameColour(FixtureImagePixel(whole, x, y), FixtureBufferPixel(pixels, 40, 20, x, y)));
        }
    EXPECT_EQ(CTiffFile().ReadBuffer(path, nullptr, nullptr, &size, nullptr), ImageFileCheckFailed);
    EXPECT_EQ(CTiffFile().Write(path, &image), ImageFileNoMemory);
}

} // namespace
