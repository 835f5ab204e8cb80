#include "ImageProcessing/TiffFile.h"

#include "ImageProcessing/Image.h"
#include "ImageProcessing/support/FixtureImage.h"
#include "ImageProcessing/support/FixtureTiff.h"
#include "ImageProcessing/support/OrientedPictures.h"

#include <tiffio.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

namespace {

class TiffOrientation : public ::testing::TestWithParam<FixtureOrientation>
{
};

// Every Orientation reads upright, the transposing ones (5 to 8) too; the mask
// value moves with its pixel, and the maximum is the upright picture's.
TEST_P(TiffOrientation, ReadsThePictureUpright)
{
    const FixtureOrientation& turn = GetParam();
    for (const int samples : {3, 4}) {
        FixtureFolder folder;
        FixtureTiffOptions o;
        o.width = 7;
        o.height = 4;
        o.samples = samples;
        o.orientation = turn.value;
        const std::string path = folder.Path("o.tif");
        ASSERT_TRUE(WriteFixtureTiff(path, o));
        TiffRead r = Read(path);
        ASSERT_EQ(r.result, ImageFileOk) << turn.name;
        const int uw = FixtureUprightWidth(turn, o.width, o.height);
        const int uh = FixtureUprightHeight(turn, o.width, o.height);
        ASSERT_EQ(r.width, uw) << turn.name;
        ASSERT_EQ(r.height, uh) << turn.name;
        for (int uy = 0; uy < uh; ++uy)
            for (int ux = 0; ux < uw; ++ux) {
                int x = 0, y = 0;
                FixtureStoredPoint(turn, o.width, o.height, ux, uy, &x, &y);
                const FixturePixel want = FixtureTiffPixel(o, x, y);
                const std::uint8_t* p = At(r, ux, uy);
                ASSERT_EQ(p[3], samples == 4 ? 255 - want.a : 0) << turn.name << " " << ux << "," << uy;
                if (samples == 4 && want.a < 16)
                    continue;
                const int tolerance = samples == 4 ? 1 + 255 / want.a : 0;
                ASSERT_NEAR(p[0], want.b, tolerance) << turn.name << " " << ux << "," << uy;
                ASSERT_NEAR(p[1], want.g, tolerance) << turn.name << " " << ux << "," << uy;
                ASSERT_NEAR(p[2], want.r, tolerance) << turn.name << " " << ux << "," << uy;
            }
        TiffRead tooHigh = Read(path, -1, uh - 1);
        EXPECT_EQ(tooHigh.result, ImageFileCancelled) << turn.name;
        EXPECT_EQ(tooHigh.width, uw) << turn.name;
        EXPECT_EQ(tooHigh.height, uh) << turn.name;
        EXPECT_EQ(Read(path, uw, uh).result, ImageFileOk) << turn.name;

        CImage image;
        ASSERT_EQ(CTiffFile().Read(path, &image), ImageFileOk);
        EXPECT_EQ(image.GetWidth(), uw);
        SIZE size{};
        double scale = 0;
        ASSERT_EQ(CTiffFile().ReadScaled(path, &image, 100, 100, &size, &scale, 0, 1, nullptr), ImageFileOk);
        EXPECT_EQ(size.cx, uw);
        EXPECT_EQ(size.cy, uh);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, TiffOrientation, ::testing::ValuesIn(FixtureOrientations()),
                         [](const auto& info) { return std::string(info.param.name); });

// A TIFF written sample by sample: one strip of `data` (zeros where short).
struct RawTiff
{
    std::uint32_t width = 4;
    std::uint32_t height = 2;
    std::uint16_t bits = 8;
    std::uint16_t samples = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t format = SAMPLEFORMAT_UINT;
    std::vector<std::uint8_t> data;
    std::vector<float> whitePoint; // chromaticity x, y; none: the tag is left out
};

bool WriteRawTiff(const std::string& path, const RawTiff& t)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, t.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, t.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, t.bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, t.samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, t.photometric);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, t.format);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, t.height);
    if (t.photometric == PHOTOMETRIC_SEPARATED)
        TIFFSetField(tif, TIFFTAG_INKSET, INKSET_CMYK);
    if (t.whitePoint.size() == 2)
        TIFFSetField(tif, TIFFTAG_WHITEPOINT, t.whitePoint.data());
    std::vector<std::uint8_t> strip(static_cast<std::size_t>(TIFFStripSize(tif)), 0);
    if (!t.data.empty())
        std::memcpy(strip.data(), t.data.data(), std::min(strip.size(), t.data.size()));
    const bool ok = TIFFWriteEncodedStrip(tif, 0, strip.data(), static_cast<tmsize_t>(strip.size())) >= 0;
    TIFFClose(tif);
    return ok;
}

std::vector<std::uint8_t> Bytes16(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> out;
    for (const int v : values) {
        const auto u = static_cast<std::uint16_t>(v);
        out.resize(out.size() + 2);
        std::memcpy(out.data() + out.size() - 2, &u, 2); // the file is written in this machine's order
    }
    return out;
}

struct ColourCase
{
    const char* name;
    RawTiff file;
    std::vector<std::uint32_t> rgb; // 0xRRGGBB of each pixel of the top row
    int tolerance;
};

class TiffColours : public ::testing::TestWithParam<ColourCase>
{
};

// Colours as the file means them: CIELab through the file's white point to
// sRGB (white stays white), signed samples from their most negative value
// (black) to their most positive (white).
TEST_P(TiffColours, ReadAsTheFileMeansThem)
{
    const ColourCase& c = GetParam();
    FixtureFolder folder;
    const std::string path = folder.Path("c.tif");
    ASSERT_TRUE(WriteRawTiff(path, c.file));
    TiffRead r = Read(path);
    ASSERT_EQ(r.result, ImageFileOk);
    ASSERT_EQ(r.width, static_cast<int>(c.file.width));
    for (std::size_t x = 0; x < c.rgb.size(); ++x) {
        const std::uint8_t* p = At(r, static_cast<int>(x), 0);
        EXPECT_NEAR(p[2], (c.rgb[x] >> 16) & 0xFF, c.tolerance) << c.name << " pixel " << x;
        EXPECT_NEAR(p[1], (c.rgb[x] >> 8) & 0xFF, c.tolerance) << c.name << " pixel " << x;
        EXPECT_NEAR(p[0], c.rgb[x] & 0xFF, c.tolerance) << c.name << " pixel " << x;
        EXPECT_EQ(p[3], 0) << c.name << " pixel " << x;
    }
}

RawTiff Lab(std::vector<std::uint8_t> samples, std::vector<float> whitePoint = {})
{
    RawTiff t;
    t.width = static_cast<std::uint32_t>(samples.size() / 3);
    t.height = 1;
    t.samples = 3;
    t.photometric = PHOTOMETRIC_CIELAB;
    t.data = std::move(samples);
    t.whitePoint = std::move(whitePoint);
    return t;
}

// One row of signed samples.
RawTiff Signed(std::uint16_t bits, std::uint16_t samples, std::uint16_t photometric,
               std::vector<std::uint8_t> data)
{
    const auto width = static_cast<std::uint32_t>(data.size() / (bits / 8) / samples);
    return RawTiff{width, 1, bits, samples, photometric, SAMPLEFORMAT_INT, std::move(data), {}};
}

std::uint8_t S8(int v)
{
    return static_cast<std::uint8_t>(static_cast<std::int8_t>(v));
}

// Lab samples: L in 0..255 for 0..100, a and b signed. The sRGB primaries'
// coordinates relative to D50 (the default white) and to D65 are the
// published ones, rounded to what the samples can hold; the colours expected
// are those samples' own through the CIE formulas, Bradford's adaptation to
// D65 and sRGB (so green's red is 10, not 0, and white stays white).
INSTANTIATE_TEST_SUITE_P(
    Kinds, TiffColours,
    ::testing::Values(
        ColourCase{"LabD50",
                   Lab({255, 0, 0, 0, 0, 0, 128, 0, 0, 138, 81, 70, 224, S8(-79), 81, 75, 68, S8(-112)}),
                   {0xFFFFFF, 0x000000, 0x777777, 0xFF0000, 0x0AFF00, 0x0001FE},
                   2},
        ColourCase{"LabD65", Lab({255, 0, 0, 136, 80, 67}, {0.3127f, 0.3290f}), {0xFFFFFF, 0xFF0201}, 2},
        ColourCase{"SignedGrey16",
                   Signed(16, 1, PHOTOMETRIC_MINISBLACK, Bytes16({-32768, -16384, 0, 16383, 32767})),
                   {0x000000, 0x404040, 0x808080, 0xBFBFBF, 0xFFFFFF},
                   1},
        ColourCase{"SignedGrey8",
                   Signed(8, 1, PHOTOMETRIC_MINISBLACK, {S8(-128), S8(0), S8(127)}),
                   {0x000000, 0x808080, 0xFFFFFF},
                   1},
        ColourCase{"SignedRgb8",
                   Signed(8, 3, PHOTOMETRIC_RGB, {S8(-128), S8(0), S8(127), S8(127), S8(-128), S8(0)}),
                   {0x0080FF, 0xFF0080},
                   1},
        ColourCase{
            "SignedRgb16", Signed(16, 3, PHOTOMETRIC_RGB, Bytes16({32767, -32768, 0})), {0xFF0080}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase
{
    const char* name;
    std::uint16_t bits, samples, photometric, format;
};

class TiffRefusedContent : public ::testing::TestWithParam<RefusedCase>
{
};

// What the RGBA reading cannot convert is unsupported content, not a failed read.
TEST_P(TiffRefusedContent, IsUnsupported)
{
    const RefusedCase& c = GetParam();
    FixtureFolder folder;
    const std::string path = folder.Path("r.tif");
    ASSERT_TRUE(WriteRawTiff(
        path,
        RawTiff{.bits = c.bits, .samples = c.samples, .photometric = c.photometric, .format = c.format}));
    EXPECT_EQ(Read(path).result, ImageFileUnsupported);
    CImage image;
    EXPECT_EQ(CTiffFile().Read(path, &image), ImageFileUnsupported);
    EXPECT_FALSE(image.IsValid());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TiffRefusedContent,
    ::testing::Values(RefusedCase{"Grey12", 12, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_UINT},
                      RefusedCase{"Grey32", 32, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_UINT},
                      RefusedCase{"SignedGrey32", 32, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_INT},
                      RefusedCase{"FloatGrey32", 32, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_IEEEFP},
                      RefusedCase{"FloatGrey16", 16, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_IEEEFP},
                      RefusedCase{"FloatRgb32", 32, 3, PHOTOMETRIC_RGB, SAMPLEFORMAT_IEEEFP},
                      RefusedCase{"Cmyk16", 16, 4, PHOTOMETRIC_SEPARATED, SAMPLEFORMAT_UINT},
                      RefusedCase{"SignedGrey4", 4, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_INT}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
