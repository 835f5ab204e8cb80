#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageProcessing/support/FixtureFiles.h"
#include "ImageProcessing/support/FixtureImage.h"
#include "ImageProcessing/support/JpegFileFixture.h"
#include "ImageProcessing/support/OrientedPictures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Stored size; its quadrants are whole 8 x 8 blocks of one colour.
constexpr int kWidth = 48;
constexpr int kHeight = 32;

struct BufferRead
{
    int result = -1;
    SIZE size{-1, -1};
    PageBuffer pixels;
};

BufferRead ReadBuffer(const std::string& path, const SIZE* maximum = nullptr)
{
    BufferRead r;
    std::uint8_t* pixels = nullptr;
    r.result = CJpegFile().ReadBuffer(path, &pixels, nullptr, &r.size, maximum);
    r.pixels.reset(pixels);
    return r;
}

bool NearColour(const FixturePixel& p, std::uint32_t rgb)
{
    const auto near = [](int a, int b) { return a - b <= 12 && b - a <= 12; };
    return near(p.r, (rgb >> 16) & 0xFF) && near(p.g, (rgb >> 8) & 0xFF) && near(p.b, rgb & 0xFF);
}

// The picture as a viewer shows it: each upright pixel is the stored pixel the
// orientation puts there (`stored` read from the same stream without an
// orientation, so the decoder's rounding is the same), and with
// `quadrantColours` each quadrant shows its colour.
template <class PixelAt>
void ExpectUpright(const FixtureOrientation& o, const BufferRead& stored, PixelAt&& upright,
                   bool quadrantColours = true)
{
    const int uw = FixtureUprightWidth(o, kWidth, kHeight);
    const int uh = FixtureUprightHeight(o, kWidth, kHeight);
    for (int uy = 0; uy < uh; ++uy)
        for (int ux = 0; ux < uw; ++ux) {
            int x = 0, y = 0;
            FixtureStoredPoint(o, kWidth, kHeight, ux, uy, &x, &y);
            const FixturePixel want = FixtureBufferPixel(stored.pixels.get(), kWidth, kHeight, x, y);
            const FixturePixel got = upright(ux, uy);
            ASSERT_TRUE(SameColour(got, want)) << o.name << " at " << ux << "," << uy;
            if (quadrantColours && (ux % (uw / 2)) == uw / 4 && (uy % (uh / 2)) == uh / 4) {
                ASSERT_TRUE(NearColour(got, FixtureQuadrantColour(kWidth, kHeight, x, y))) << o.name;
            }
        }
}

class JpegOrientation : public ::testing::TestWithParam<FixtureOrientation>
{
};

TEST_P(JpegOrientation, EveryReaderGivesThePictureUpright)
{
    const FixtureOrientation& o = GetParam();
    FixtureFolder folder;
    const std::string plain = folder.Path("plain.jpg");
    const std::string path = folder.Path("turned.jpg");
    ASSERT_FALSE(FixtureOrientedQuadrantJpeg(plain, kWidth, kHeight, 1).empty());
    ASSERT_FALSE(FixtureOrientedQuadrantJpeg(path, kWidth, kHeight, o.value).empty());
    const BufferRead stored = ReadBuffer(plain);
    ASSERT_EQ(stored.result, ImageFileOk);
    ASSERT_EQ(stored.size.cx, kWidth);
    const int uw = FixtureUprightWidth(o, kWidth, kHeight);
    const int uh = FixtureUprightHeight(o, kWidth, kHeight);
    EXPECT_EQ(JpegFileOrientation(path), o.value);

    const BufferRead buffer = ReadBuffer(path);
    ASSERT_EQ(buffer.result, ImageFileOk);
    ASSERT_EQ(buffer.size.cx, uw);
    ASSERT_EQ(buffer.size.cy, uh);
    ExpectUpright(o, stored,
                  [&](int x, int y) { return FixtureBufferPixel(buffer.pixels.get(), uw, uh, x, y); });

    for (const bool byExtension : {false, true}) {
        CImage image;
        ASSERT_EQ(byExtension ? image.LoadFile(path) : CJpegFile().Read(path, &image), ImageFileOk);
        ASSERT_EQ(image.GetWidth(), uw);
        ASSERT_EQ(image.GetHeight(), uh);
        ExpectUpright(o, stored, [&](int x, int y) { return FixtureImagePixel(image, x, y); });
    }

    // Fitted into a box by its upright shape: kept whole in a larger box ...
    CImage scaled;
    SIZE size{};
    double scale = 0;
    ASSERT_EQ(CJpegFile().ReadScaled(path, &scaled, 200, 200, &size, &scale, 0xFFFFFF, 1, nullptr),
              ImageFileOk);
    EXPECT_EQ(size.cx, uw);
    EXPECT_EQ(size.cy, uh);
    ASSERT_EQ(scaled.GetWidth(), uw);
    ExpectUpright(o, stored, [&](int x, int y) { return FixtureImagePixel(scaled, x, y); });
    // ... and enlarged to fit a wide box as far as its upright height lets it.
    ASSERT_EQ(CJpegFile().ReadScaled(path, &scaled, 96, 48, &size, &scale, 0xFFFFFF, 0, nullptr),
              ImageFileOk);
    EXPECT_DOUBLE_EQ(scale, uh == kHeight ? 1.5 : 1.0);
}

INSTANTIATE_TEST_SUITE_P(Values, JpegOrientation, ::testing::ValuesIn(FixtureOrientations()),
                         [](const auto& info) { return std::string(info.param.name); });

// The maximum is the upright picture's: a portrait photo stored sideways is
// judged, and reported, by the size it is shown at.
TEST(JpegOrientationRules, MaximumIsForTheUprightSize)
{
    FixtureFolder folder;
    const std::string path = folder.Path("portrait.jpg");
    ASSERT_FALSE(FixtureOrientedQuadrantJpeg(path, kWidth, kHeight, 6).empty());
    const SIZE narrow{kHeight, -1};
    EXPECT_EQ(ReadBuffer(path, &narrow).result, ImageFileOk);
    const SIZE low{-1, kWidth - 1};
    const BufferRead refused = ReadBuffer(path, &low);
    EXPECT_EQ(refused.result, ImageFileCancelled);
    EXPECT_EQ(refused.size.cx, kHeight);
    EXPECT_EQ(refused.size.cy, kWidth);
    CImage image;
    SIZE size{};
    double scale = 0;
    EXPECT_EQ(CJpegFile().ReadScaled(path, &image, 100, 100, &size, &scale, 0, 1, &low), ImageFileCancelled);
    EXPECT_EQ(size.cx, kHeight);
    EXPECT_EQ(size.cy, kWidth);
}

// What the value means does not depend on how it is written; values outside
// 1 to 8, and an Exif segment that records none, leave the picture as stored.
TEST(JpegOrientationRules, ByteOrderPlaceAndOddValues)
{
    FixtureFolder folder;
    const std::string plain = folder.Path("plain.jpg");
    const std::vector<std::uint8_t> upright = FixtureOrientedQuadrantJpeg(plain, kWidth, kHeight, 1);
    ASSERT_FALSE(upright.empty());
    const std::vector<std::uint8_t> bare(upright.begin() + 2 + FixtureExifOrientationSegment(1).size(),
                                         upright.end());
    ASSERT_EQ(bare[0], 0xFF);
    std::vector<std::uint8_t> stream = {0xFF, 0xD8};
    stream.insert(stream.end(), bare.begin(), bare.end());

    // A JFIF segment first: the Exif segment still counts.
    std::vector<std::uint8_t> jfifFirst = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F',
                                           0,    1,    1,    0,    0,    1,    0,   1,   0,   0};
    const std::vector<std::uint8_t> exif6 = FixtureExifOrientationSegment(6);
    jfifFirst.insert(jfifFirst.end(), exif6.begin(), exif6.end());
    jfifFirst.insert(jfifFirst.end(), bare.begin(), bare.end());

    const struct
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int width, height;
    } cases[] = {
        {"big-endian 6", FixtureWithExifOrientation(stream, 6, true), kHeight, kWidth},
        {"after JFIF 6", jfifFirst, kHeight, kWidth},
        {"value 0", FixtureWithExifOrientation(stream, 0), kWidth, kHeight},
        {"value 9", FixtureWithExifOrientation(stream, 9), kWidth, kHeight},
        {"no Exif", stream, kWidth, kHeight},
    };
    for (const auto& c : cases) {
        const std::string path = folder.Path("case.jpg");
        WriteFixtureFile(path, c.bytes);
        const BufferRead r = ReadBuffer(path);
        ASSERT_EQ(r.result, ImageFileOk) << c.name;
        EXPECT_EQ(r.size.cx, c.width) << c.name;
        EXPECT_EQ(r.size.cy, c.height) << c.name;
    }
}

// Grey pictures (libjpeg) and four-component ones (the own decoder) turn as
// colour ones do.
TEST(JpegOrientationRules, GreyAndFourComponentPicturesTurnToo)
{
    std::vector<std::uint8_t> grey(std::size_t(kWidth) * kHeight);
    std::vector<std::uint8_t> cmyk(std::size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t rgb = FixtureQuadrantColour(kWidth, kHeight, x, y);
            const std::size_t i = std::size_t(y) * kWidth + x;
            grey[i] = static_cast<std::uint8_t>(rgb >> 8);
            for (int c = 0; c < 3; ++c)
                cmyk[i * 4 + c] = static_cast<std::uint8_t>(rgb >> (8 * c));
            cmyk[i * 4 + 3] = 200;
        }
    const struct
    {
        JpegFixtureKind kind;
        const std::uint8_t* samples;
    } kinds[] = {{JpegFixtureKind::Grey, grey.data()}, {JpegFixtureKind::Ycck, cmyk.data()}};
    FixtureFolder folder;
    for (const auto& k : kinds) {
        const std::vector<std::uint8_t> stream = JpegFixtureEncode(k.kind, k.samples, kWidth, kHeight);
        ASSERT_FALSE(stream.empty());
        const std::string plain = folder.Path("plain.jpg");
        WriteFixtureFile(plain, stream);
        const BufferRead stored = ReadBuffer(plain);
        ASSERT_EQ(stored.result, ImageFileOk);
        for (const FixtureOrientation& o : FixtureOrientations()) {
            const std::string path = folder.Path("turned.jpg");
            WriteFixtureFile(path, FixtureWithExifOrientation(stream, o.value));
            const BufferRead r = ReadBuffer(path);
            ASSERT_EQ(r.result, ImageFileOk) << o.name;
            const int uw = FixtureUprightWidth(o, kWidth, kHeight);
            ASSERT_EQ(r.size.cx, uw) << o.name;
            ExpectUpright(
                o, stored,
                [&](int x, int y) {
                    return FixtureBufferPixel(r.pixels.get(), uw, FixtureUprightHeight(o, kWidth, kHeight), x,
                                              y);
                },
                false);
        }
    }
}

} // namespace
