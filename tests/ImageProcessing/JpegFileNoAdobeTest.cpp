// A four-component JPEG file without an Adobe segment, which no CMYK writer
// we know of produces but a hand-made or stripped file may be: nothing marks
// its samples as plain inks, so the editor's own decoder reads them as every
// unmarked four-component stream (colour differences and black), not the
// library as plain CMYK.
#include "ImageProcessing/Image.h"
#include "ImageProcessing/JpegFile.h"
#include "ImageTestSupport.h"
#include "support/FixtureFiles.h"
#include "support/JpegFileFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

using Rgb = std::array<int, 3>;

// The own decoder's colour conversion of the first three samples.
Rgb DecodedColour(const std::array<int, 4>& s)
{
    const int y = s[0], cb = s[1] - 128, cr = s[2] - 128;
    const auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    return {clamp((256 * y + 359 * cr) >> 8), clamp((8192 * y - 2819 * cb - 5850 * cr) >> 13),
            clamp((4096 * y + 7258 * cb) >> 12)};
}

// The CMYK rule on ink amounts and the fourth sample as inverted black.
Rgb InkColour(const Rgb& inks, int inverseBlack)
{
    const double k = inverseBlack / 255.0;
    Rgb out{};
    for (int c = 0; c < 3; ++c)
        out[c] = static_cast<int>((1.0 - std::min(1.0, inks[c] / 255.0 * k + (1.0 - k))) * 255.0);
    return out;
}

Rgb ColourAt(const CImage& image, int x, int y)
{
    const std::uint32_t p = imagetest::PixelAt(image, x, y);
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
            static_cast<int>(p & 0xFF)};
}

TEST(JpegFileNoAdobeTest, FourComponentsWithoutAnAdobeSegmentAreReadAsColourDifferencesAndBlack)
{
    FixtureFolder folder;
    const std::array<int, 4> samples[] = {{200, 60, 220, 255}, {100, 150, 90, 128}, {128, 128, 128, 255}};
    int n = 0;
    for (const auto& s : samples) {
        SCOPED_TRACE(n);
        const std::vector<std::uint8_t> bytes = JpegFixtureSolid(
            JpegFixtureKind::CmykNoAdobe,
            {std::uint8_t(s[0]), std::uint8_t(s[1]), std::uint8_t(s[2]), std::uint8_t(s[3])}, 32, 16);
        // Made as meant: four components and no Adobe (APP14) segment.
        ASSERT_GT(bytes.size(), 4u);
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
            if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA)
                break; // the entropy data may hold any byte
            else
                ASSERT_FALSE(bytes[i] == 0xFF && bytes[i + 1] == 0xEE) << "an Adobe segment at " << i;
        const std::string path = folder.Path("noadobe" + std::to_string(n++) + ".jpg");
        WriteFixtureFile(path, bytes);

        CImage image;
        ASSERT_EQ(CJpegFile().Read(path, &image), 0);
        ASSERT_EQ(image.GetWidth(), 32);
        const Rgb expected = InkColour(DecodedColour(s), s[3]);
        const Rgb got = ColourAt(image, 13, 7);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(got[c], expected[c], 4) << "channel " << c;
    }
}

} // namespace
