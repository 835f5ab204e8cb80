#include "ImageTestSupport.h"
#include "Platform/PageAllocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

using imagetest::PixelAt;
using imagetest::Rgb;
using imagetest::SetPixelAt;

namespace {

void FillRandom(CImage& image, unsigned seed)
{
    std::mt19937 random(seed);
    auto* pixels = reinterpret_cast<std::uint32_t*>(image.GetBits());
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i)
        pixels[i] = random();
}

void SetMask(CImage& image, int x, int y, unsigned value)
{
    SetPixelAt(*image.GetMask(), x, y, value * 0x010101u);
}

unsigned MaskAt(const CImage& image, int x, int y)
{
    return (PixelAt(*image.GetMask(), x, y) >> 16) & 0xFF;
}

// Draws the whole 4-row source onto dest and checks every pixel against the
// plain formula, the fourth byte kept from dest.
void ExpectDrawMaskedFollowsThePlainFormula(const CImage& source, CImage& dest, int width, const char* label)
{
    std::vector<std::uint32_t> before;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < width; ++x)
            before.push_back(PixelAt(dest, x, y));
    ASSERT_EQ(source.DrawMasked(&dest, 0, 0, width, 4, 0, 0), 1) << label;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned m = MaskAt(source, x, y);
            const std::uint32_t s = PixelAt(source, x, y), d = before[y * width + x];
            std::uint32_t expected = d & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8)
                expected |= ((((s >> shift) & 0xFF) * (255 - m) + ((d >> shift) & 0xFF) * m) / 255) << shift;
            ASSERT_EQ(PixelAt(dest, x, y), expected)
                << label << " width " << width << ": " << x << "," << y << " m " << m;
        }
    }
}

} // namespace

TEST(Compositing, DrawMaskedIsExactAtMaskZeroAnd255AndKeepsTheFourthByte)
{
    CImage source, dest;
    ASSERT_TRUE(source.Create(9, 3));
    ASSERT_TRUE(source.CreateMask());
    ASSERT_TRUE(dest.Create(9, 3));
    FillRandom(source, 1);
    FillRandom(dest, 2);
    const CImage& before = dest;
    std::vector<std::uint32_t> original;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x)
            original.push_back(PixelAt(before, x, y));
    for (int x = 0; x < 9; ++x) {
        SetMask(source, x, 0, 0);
        SetMask(source, x, 1, 255);
        SetMask(source, x, 2, x < 4 ? 0 : 255);
    }
    // White over black at 0 stays 255: one result everywhere, no 254.
    SetPixelAt(source, 0, 0, 0x00FFFFFF);
    SetPixelAt(dest, 0, 0, 0xAB000000);
    original[0] = 0xAB000000;
    ASSERT_EQ(source.DrawMasked(&dest, 0, 0, 9, 3, 0, 0), 1);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 9; ++x) {
            const std::uint32_t d = original[y * 9 + x];
            const bool copied = y == 0 || (y == 2 && x < 4);
            const std::uint32_t expected =
                copied ? (PixelAt(source, x, y) & 0xFFFFFFu) | (d & 0xFF000000u) : d;
            EXPECT_EQ(PixelAt(dest, x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(PixelAt(dest, 0, 0), 0xABFFFFFFu);
}

TEST(Compositing, DrawMaskedPartialValuesFollowThePlainFormulaInEveryColumn)
{
    // Widths that are not a multiple of four exercise every path of a row.
    for (int width : {1, 5, 37}) {
        CImage source, dest;
        ASSERT_TRUE(source.Create(width, 4));
        ASSERT_TRUE(source.CreateMask());
        ASSERT_TRUE(dest.Create(width, 4));
        FillRandom(source, 10 + width);
        FillRandom(dest, 20 + width);
        FillRandom(*source.GetMask(), 30 + width);
        ExpectDrawMaskedFollowsThePlainFormula(source, dest, width, "random");
    }
}

TEST(Compositing, DrawMaskedRunsOfClearOpaqueAndPartialMaskFollowThePlainFormula)
{
    // Runs longer than any vector step, starting off its boundaries, so whole
    // steps of one kind and steps that mix kinds are both taken.
    constexpr int kWidth = 83;
    const struct
    {
        int run;
        int offset;
    } patterns[] = {{16, 0}, {32, 5}, {48, 11}, {7, 3}};
    int row = 0;
    CImage source, dest;
    ASSERT_TRUE(source.Create(kWidth, 4));
    ASSERT_TRUE(source.CreateMask());
    ASSERT_TRUE(dest.Create(kWidth, 4));
    FillRandom(source, 41);
    FillRandom(dest, 42);
    std::mt19937 random(43);
    for (const auto& p : patterns) {
        for (int x = 0; x < kWidth; ++x) {
            const int kind = ((x + p.offset) / p.run) % 3;
            SetMask(source, x, row, kind == 0 ? 0 : kind == 1 ? 255 : random() & 0xFF);
        }
        ++row;
    }
    ExpectDrawMaskedFollowsThePlainFormula(source, dest, kWidth, "runs");
}

TEST(Compositing, DrawMaskedClipsAtTheFarEdgesAndRefusesBadArguments)
{
    CImage source, dest;
    ASSERT_TRUE(source.Create(4, 4));
    ASSERT_TRUE(source.CreateMask());
    source.FillRect(0, 0, 4, 4, RGB(0, 0, 0));
    ASSERT_TRUE(dest.Create(5, 5));
    ASSERT_EQ(source.DrawMasked(&dest, 3, 3, 4, 4, 0, 0), 1);
    EXPECT_EQ(Rgb(PixelAt(dest, 4, 4)), 0u);
    EXPECT_EQ(Rgb(PixelAt(dest, 2, 4)), 0xFFFFFFu);
    // Origins before the pictures reach nothing outside them.
    EXPECT_EQ(source.DrawMasked(&dest, -2, -3, 4, 4, 0, 0), 1);
    EXPECT_EQ(Rgb(PixelAt(dest, 0, 0)), 0u);
    EXPECT_EQ(Rgb(PixelAt(dest, 2, 0)), 0xFFFFFFu);
    EXPECT_EQ(source.DrawMasked(&dest, 0, 0, 2, 2, -1, -1), 1);
    EXPECT_EQ(source.DrawMasked(&dest, 0, 0, 0, 2, 0, 0), 0);
    EXPECT_EQ(source.DrawMasked(nullptr, 0, 0, 2, 2, 0, 0), 0);
    CImage unmasked;
    ASSERT_TRUE(unmasked.Create(2, 2));
    EXPECT_EQ(unmasked.DrawMasked(&dest, 0, 0, 2, 2, 0, 0), 0);
}

TEST(Compositing, CompositeFollowsItsFourCases)
{
    struct Case
    {
        unsigned ts, td;
        std::uint8_t s, d;
        unsigned colour, mask;
    };
    const Case cases[] = {
        {0, 200, 10, 90, 10, 0},                                             // opaque source
        {77, 255, 10, 90, 10, 77},                                           // transparent destination
        {255, 40, 10, 90, 90, 40},                                           // transparent source
        {100, 0, 10, 90, (10 * 155 + 90 * 100) / 255, 0},                    // opaque destination
        {128, 128, 200, 60, ((60 * 127 * 128) / 255 + 200 * 127) / 191, 64}, // both partial
    };
    for (const Case& c : cases) {
        CImage source, dest;
        ASSERT_TRUE(source.Create(1, 1));
        ASSERT_TRUE(source.CreateMask());
        ASSERT_TRUE(dest.Create(1, 1));
        ASSERT_TRUE(dest.CreateMask());
        source.FillRect(0, 0, 1, 1, RGB(c.s, c.s, c.s));
        dest.FillRect(0, 0, 1, 1, RGB(c.d, c.d, c.d));
        SetMask(source, 0, 0, c.ts);
        SetMask(dest, 0, 0, c.td);
        ASSERT_EQ(source.Composite(&dest, 0, 0, 1, 1, 0, 0), 1);
        EXPECT_EQ(Rgb(PixelAt(dest, 0, 0)), c.colour * 0x010101u) << c.ts << "/" << c.td;
        EXPECT_EQ(MaskAt(dest, 0, 0), c.mask) << c.ts << "/" << c.td;
    }
}

// Whole rows, which go eight pixels at a time where they can, against the
// same pixels composited one by one: runs of copied, kept and blended pixels,
// mask bytes outside the grey byte, and fourth bytes set.
TEST(Compositing, CompositeOfWholeRowsMatchesSinglePixels)
{
    constexpr int kWidth = 45, kHeight = 6;
    CImage source, rows, single;
    ASSERT_TRUE(source.Create(kWidth, kHeight));
    ASSERT_TRUE(source.CreateMask());
    FillRandom(source, 21);
    FillRandom(*source.GetMask(), 22);
    const unsigned values[] = {0, 255, 77, 128, 1, 254};
    std::mt19937 random(23);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            // Rows 0-2 hold long runs of the cases that need no blending.
            const unsigned ts = y < 3 ? (x / 9 % 2 ? 255 : 0) : values[random() % 6];
            const std::uint32_t noise = random() & 0xFF00FFFFu;
            SetPixelAt(*source.GetMask(), x, y, noise | (ts << 16));
        }
    for (CImage* dest : {&rows, &single}) {
        ASSERT_TRUE(dest->Create(kWidth + 3, kHeight));
        ASSERT_TRUE(dest->CreateMask());
        FillRandom(*dest, 24);
        std::mt19937 again(25);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth + 3; ++x) {
                const unsigned td = y == 1 ? 255 : y == 2 ? (x % 5 ? 255 : 40) : values[again() % 6];
                SetPixelAt(*dest->GetMask(), x, y, (again() & 0xFF00FFFFu) | (td << 16));
            }
    }
    ASSERT_EQ(source.Composite(&rows, 2, 0, kWidth, kHeight, 0, 0), 1);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(source.Composite(&single, 2 + x, y, 1, 1, x, y), 1);
    const std::size_t bytes = std::size_t(kWidth + 3) * kHeight * 4;
    EXPECT_EQ(std::memcmp(rows.GetBits(), single.GetBits(), bytes), 0);
    EXPECT_EQ(std::memcmp(rows.GetMask()->GetBits(), single.GetMask()->GetBits(), bytes), 0);
}

TEST(Compositing, StretchingFormsStretchPixelsAndMaskFirst)
{
    CImage source, dest;
    ASSERT_TRUE(source.Create(2, 1));
    ASSERT_TRUE(source.CreateMask());
    SetPixelAt(source, 0, 0, 0x00000011);
    SetPixelAt(source, 1, 0, 0x00000022);
    SetMask(source, 1, 0, 255);
    ASSERT_TRUE(dest.Create(4, 2));
    ASSERT_EQ(source.DrawMaskedRect(&dest, 0, 0, 4, 2, 0, 0, 2, 1), 1);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(Rgb(PixelAt(dest, 1, y)), 0x11u);
        EXPECT_EQ(Rgb(PixelAt(dest, 2, y)), 0xFFFFFFu);
    }
    ASSERT_TRUE(dest.CreateMask());
    dest.GetMask()->FillRect(0, 0, 4, 2, RGB(255, 255, 255));
    ASSERT_EQ(source.CompositeRect(&dest, 0, 0, 4, 2, 0, 0, 2, 1), 1);
    EXPECT_EQ(MaskAt(dest, 0, 1), 0u);
    EXPECT_EQ(MaskAt(dest, 3, 1), 255u);
    EXPECT_EQ(source.DrawMaskedRect(&dest, 0, 0, 4, 2, 0, 0, 0, 1), 0);
}

// The stretching forms against one whole stretched copy drawn by the plain
// form: tall rectangles, shrinking and growing, partly off the destination.
TEST(Compositing, StretchingFormsMatchOneWholeStretchedCopy)
{
    struct Case
    {
        const char* name;
        int x, y, width, height, srcX, srcY, srcWidth, srcHeight;
    };
    const Case cases[] = {
        {"grown", 3, 5, 91, 150, 2, 1, 30, 47},
        {"shrunk", 0, 0, 40, 33, 0, 0, 57, 99},
        {"one band exactly", 1, 2, 20, 32, 0, 0, 57, 99},
        {"off the top left", -7, -40, 80, 200, 5, 9, 50, 80},
        {"past the bottom right", 30, 60, 120, 90, 0, 0, 57, 99},
        {"source cut at its edge", 2, 3, 50, 70, 40, 60, 40, 60},
    };
    CImage source;
    ASSERT_TRUE(source.Create(57, 99));
    ASSERT_TRUE(source.CreateMask());
    FillRandom(source, 7);
    FillRandom(*source.GetMask(), 8);
    using Draw = int (CImage::*)(CImage*, int, int, int, int, int, int) const;
    using DrawRect = int (CImage::*)(CImage*, int, int, int, int, int, int, int, int) const;
    const std::pair<Draw, DrawRect> forms[] = {{&CImage::Composite, &CImage::CompositeRect},
                                               {&CImage::DrawMasked, &CImage::DrawMaskedRect}};
    for (const Case& c : cases)
        for (const auto& [plain, stretched] : forms) {
            SCOPED_TRACE(c.name);
            CImage expected, actual;
            for (CImage* dest : {&expected, &actual}) {
                ASSERT_TRUE(dest->Create(100, 120));
                ASSERT_TRUE(dest->CreateMask());
                FillRandom(*dest, 9);
                FillRandom(*dest->GetMask(), 10);
            }
            const int srcWidth = std::min(c.srcWidth, source.GetWidth() - c.srcX);
            const int srcHeight = std::min(c.srcHeight, source.GetHeight() - c.srcY);
            const int width = std::min(c.width, expected.GetWidth() - c.x);
            const int height = std::min(c.height, expected.GetHeight() - c.y);
            CImage whole;
            ASSERT_TRUE(whole.Create(width, height));
            ASSERT_TRUE(whole.CreateMask());
            source.StretchBltTo(&whole, 0, 0, width, height, c.srcX, c.srcY, srcWidth, srcHeight, SRCCOPY);
            source.GetMask()->StretchBltTo(whole.GetMask(), 0, 0, width, height, c.srcX, c.srcY, srcWidth,
                                           srcHeight, SRCCOPY);
            (whole.*plain)(&expected, c.x, c.y, width, height, 0, 0);
            ASSERT_EQ((source.*stretched)(&actual, c.x, c.y, c.width, c.height, c.srcX, c.srcY, c.srcWidth,
                                          c.srcHeight),
                      1);
            const std::size_t bytes = std::size_t(100) * 120 * 4;
            EXPECT_EQ(std::memcmp(actual.GetBits(), expected.GetBits(), bytes), 0);
            EXPECT_EQ(std::memcmp(actual.GetMask()->GetBits(), expected.GetMask()->GetBits(), bytes), 0);
        }
}

TEST(Compositing, ColourKeyMakesTheMaskAndRefusesAnotherSize)
{
    CImage colours, image;
    ASSERT_TRUE(colours.Create(3, 1));
    SetPixelAt(colours, 0, 0, 0x7F123456); // the fourth byte does not count
    SetPixelAt(colours, 1, 0, 0x00123457);
    ASSERT_TRUE(image.Create(3, 1));
    ASSERT_TRUE(image.CreateMask());
    ASSERT_EQ(image.MakeMaskFromColorKey(&colours, RGB(0x12, 0x34, 0x56)), 1);
    EXPECT_EQ(MaskAt(image, 0, 0), 255u);
    EXPECT_EQ(MaskAt(image, 1, 0), 0u);
    EXPECT_EQ(MaskAt(image, 2, 0), 0u);
    CImage other;
    ASSERT_TRUE(other.Create(2, 1));
    EXPECT_EQ(image.MakeMaskFromColorKey(&other, RGB(255, 255, 255)), 0);
    EXPECT_EQ(MaskAt(image, 0, 0), 255u);
}

TEST(Compositing, MaskPlanesAndBuffersWithMaskValues)
{
    CImage image;
    ASSERT_TRUE(image.Create(3, 2));
    std::uint8_t* noMask = image.GetBitsWithMaskAlpha();
    ASSERT_NE(noMask, nullptr);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(noMask[4 * i + 3], 0) << i;
    PageFree(noMask);
    EXPECT_EQ(image.GetMaskPlane(), nullptr);

    ASSERT_TRUE(image.CreateMask());
    const std::uint8_t plane[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(image.SetMaskPlane(plane), 1);
    std::uint8_t* back = image.GetMaskPlane();
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(std::equal(plane, plane + 6, back));
    PageFree(back);
    // Memory order: the first plane byte is the picture's bottom-left pixel.
    EXPECT_EQ(MaskAt(image, 0, 1), 1u);
    std::uint8_t* withMask = image.GetBitsWithMaskAlpha();
    ASSERT_NE(withMask, nullptr);
    EXPECT_EQ(withMask[3], 1);
    EXPECT_EQ(withMask[4 * 5 + 3], 6);
    EXPECT_EQ(withMask[0], 0xFF);
    PageFree(withMask);
    EXPECT_EQ(image.SetMaskPlane(nullptr), 0);
}

TEST(Compositing, CreateMaskRemakesTheMaskAtTheImageSizeAllOpaque)
{
    CImage image;
    ASSERT_TRUE(image.Create(2, 2));
    ASSERT_TRUE(image.CreateMask());
    image.GetMask()->FillRect(0, 0, 2, 2, RGB(255, 255, 255));
    ASSERT_TRUE(image.Create(5, 3));
    ASSERT_TRUE(image.CreateMask());
    EXPECT_EQ(image.GetMask()->GetWidth(), 5);
    EXPECT_EQ(image.GetMask()->GetHeight(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(MaskAt(image, x, y), 0u);
    CImage copy;
    ASSERT_TRUE(copy.CopyFrom(&image));
    EXPECT_TRUE(copy.HasMask());
}

TEST(Compositing, DestinationWithoutPixelAccessIsRefused)
{
    CImage source, view;
    ASSERT_TRUE(source.Create(2, 2));
    ASSERT_TRUE(source.CreateMask());
    source.FillRect(0, 0, 2, 2, 0);
    ASSERT_TRUE(view.CreateCompatible(2, 2));
    EXPECT_EQ(source.DrawMasked(&view, 0, 0, 2, 2, 0, 0), 0);
    CImage probe;
    ASSERT_TRUE(probe.Create(2, 2));
    view.BitBltTo(&probe, 0, 0, 2, 2, 0, 0, SRCCOPY);
    EXPECT_EQ(Rgb(PixelAt(probe, 0, 0)), 0xFFFFFFu);
}
