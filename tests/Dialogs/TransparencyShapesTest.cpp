#include "Dialogs/TransparencyShapes.h"
#include "App/support/AppTestSupport.h"
#include "CUtilFilter/GaussianBlur.h"
#include "ImageProcessing/BitmapInfo.h"
#include "ImageProcessing/Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace {

// Coverage byte at top-down (x, y) of a bottom-up W x H plane.
int At(const PageBuffer& plane, int W, int H, int x, int y)
{
    return plane.get()[static_cast<std::size_t>(H - 1 - y) * W + x];
}

std::set<int> Values(const PageBuffer& plane, int W, int H)
{
    std::set<int> values(plane.get(), plane.get() + static_cast<std::size_t>(W) * H);
    return values;
}

} // namespace

TEST(TransparencyShapesTest, FillLevelIsExactForEveryRatioAndFullForCameraLayouts)
{
    struct Case
    {
        int ratio, mode;
        bool camera;
        int level;
    };
    const Case cases[] = {
        {100, 0, false, 255}, {0, 0, false, 0},   {70, 0, false, 178}, {30, 1, false, 178},
        {0, 1, false, 255},   {100, 1, false, 0}, {50, 0, false, 127}, {1, 0, false, 2},
        {30, 0, true, 255},   {30, 1, true, 255}, {0, 0, true, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TransparencyFillLevel(c.ratio, c.mode, c.camera), c.level) << c.ratio << " " << c.mode;
    // Every level agrees with the exact product, which floating point misses at 100.
    for (int ratio = 0; ratio <= 100; ++ratio)
        EXPECT_EQ(TransparencyFillLevel(ratio, 0, false) * 100, ratio * 255 - (ratio * 255) % 100);
}

TEST(TransparencyShapesTest, LevelBitsRaiseAFirstByteOf255AndReadEachSampleFromItsRange)
{
    // Stored pixels whose first byte is 255 or not, in every position of the
    // four-pixel groups and their tails; widths 1..9 cover each padding.
    const std::uint32_t kinds[] = {0x00FFFFFFu, 0x00000000u, 0x000000FFu,
                                   0xFFFFFF00u, 0x00FEFEFEu, 0xFF0000FFu};
    for (int imageWidth = 1; imageWidth <= 11; ++imageWidth) {
        const int height = 3;
        CImage work;
        ASSERT_TRUE(work.Create(imageWidth, height));
        auto* pixels = reinterpret_cast<std::uint32_t*>(work.GetBits());
        for (int i = 0; i < imageWidth * height; ++i)
            pixels[i] = kinds[(i * 5 + i / 7) % 6];
        std::vector<ShapeLevelLayout> layouts{{imageWidth, {0, 0, 0}}};
        if (imageWidth > 2)
            layouts.push_back({imageWidth - 2, {0, 2, 1}});
        for (const ShapeLevelLayout& layout : layouts) {
            const PageBuffer bits = ShapeLevelBits(work, 77, layout);
            ASSERT_NE(bits.get(), nullptr);
            const int stride = (layout.width * 3 + 3) & ~3;
            for (int row = 0; row < height; ++row) {
                const std::uint8_t* got = bits.get() + static_cast<std::size_t>(row) * stride;
                for (int x = 0; x < layout.width; ++x)
                    for (int c = 0; c < 3; ++c) {
                        const std::uint32_t pixel = pixels[row * imageWidth + layout.starts[c] + x];
                        ASSERT_EQ(got[3 * x + c], (pixel & 0xFF) == 0xFF ? 77 : 0)
                            << imageWidth << " " << layout.width << " " << row << " " << x << " " << c;
                    }
                for (int pad = layout.width * 3; pad < stride; ++pad)
                    ASSERT_EQ(got[pad], 0) << imageWidth << " " << row << " " << pad;
            }
        }
        // A range reaching past either edge is refused.
        EXPECT_EQ(ShapeLevelBits(work, 77, {imageWidth, {0, 1, 0}}).get(), nullptr);
        EXPECT_EQ(ShapeLevelBits(work, 77, {imageWidth, {-1, 0, 0}}).get(), nullptr);
    }
    EXPECT_EQ(ShapeLevelBits(CImage{}, 77, {1, {0, 0, 0}}).get(), nullptr);
}

TEST(TransparencyShapesTest, PackedColumnRangesBlurExactlyAsTheWholeWidth)
{
    EnsureApp();
    // Noise with white edge columns, so that any column taken from a range
    // that misses part of the blur's reach, or sees a false edge, differs.
    const auto white = [](int x, int row, int width) {
        return x == 0 || x == width - 1 || (x * 7 + row * 13 + (x * row) % 5) % 23 < 9;
    };
    for (int width : {1, 2, 5, 9, 20, 39, 40, 41, 58, 97, 301})
        for (int blur : {0, 1, 2, 3, 4, 5, 12, 30}) {
            const int height = 9 + blur % 4;
            const int level = 201;
            // The whole width in all three samples, blurred as the pipeline once did.
            const int stride = AlignRowBytes(width * 3);
            std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride) * height, 0);
            for (int row = 0; row < height; ++row)
                for (int x = 0; x < width; ++x)
                    if (white(x, row, width))
                        std::fill_n(&bits[static_cast<std::size_t>(row) * stride + 3 * x], 3, level);
            if (blur > 1) {
                CGaussianBlur feather;
                feather.ExecuteOnFormattedBuffers(blur, bits.data(), width, height, 4, nullptr, 0, 0, 4);
            }
            const PageBuffer plane = MakeShapeCoverage(
                width, height, CoverageMirror::None,
                [&](CImage& work) {
                    auto* pixels = reinterpret_cast<std::uint32_t*>(work.GetBits());
                    for (int row = 0; row < height; ++row)
                        for (int x = 0; x < width; ++x)
                            if (white(x, row, width))
                                pixels[static_cast<std::size_t>(row) * width + x] = 0x00FFFFFFu;
                },
                blur, level, nullptr);
            for (int row = 0; row < height; ++row)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(plane.get()[static_cast<std::size_t>(row) * width + x],
                              bits[static_cast<std::size_t>(row) * stride + 3 * x + 2])
                        << "width " << width << " blur " << blur << " at " << x << "," << row;
        }
}

TEST(TransparencyShapesTest, HardEdgedShapesHoldExactlyTwoValuesAndTheirShape)
{
    EnsureApp();
    for (const int blur : {0, 1}) {
        const int w = 9, h = 6;
        const int W = w + 2 * blur, H = h + 2 * blur;
        const PageBuffer rect = MakeSymmetricCoverage(SymmetricShape::Rectangle, w, h, blur, 200, nullptr);
        ASSERT_TRUE(rect);
        EXPECT_EQ(Values(rect, W, H), blur == 0 ? std::set<int>({200}) : std::set<int>({0, 200}));
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const bool inside = x >= blur && x < blur + w && y >= blur && y < blur + h;
                ASSERT_EQ(At(rect, W, H, x, y), inside ? 200 : 0) << x << "," << y << " blur " << blur;
            }
        const PageBuffer ellipse = MakeSymmetricCoverage(SymmetricShape::Ellipse, 21, 15, blur, 255, nullptr);
        EXPECT_EQ(Values(ellipse, 21 + 2 * blur, 15 + 2 * blur), std::set<int>({0, 255}));
    }
}

TEST(TransparencyShapesTest, AnOddWorkingWidthKeepsItsCentreColumnOnce)
{
    EnsureApp();
    // 5 x 3 with a 1-pixel margin: 7 x 5, the middle column is column 3.
    const PageBuffer plane = MakeSymmetricCoverage(SymmetricShape::Rectangle, 5, 3, 1, 255, nullptr);
    const int expected[] = {0, 255, 255, 255, 255, 255, 0};
    for (int y = 1; y <= 3; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(At(plane, 7, 5, x, y), expected[x]) << x << "," << y;
    // The ellipse is symmetric both ways, its centre row and column drawn once.
    const int W = 31, H = 17;
    const PageBuffer ellipse = MakeSymmetricCoverage(SymmetricShape::Ellipse, W, H, 0, 255, nullptr);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            ASSERT_EQ(At(ellipse, W, H, x, y), At(ellipse, W, H, W - 1 - x, y));
            ASSERT_EQ(At(ellipse, W, H, x, y), At(ellipse, W, H, x, H - 1 - y));
        }
    EXPECT_EQ(At(ellipse, W, H, 15, 8), 255);
    EXPECT_EQ(At(ellipse, W, H, 0, 0), 0);
}

TEST(TransparencyShapesTest, AFiftyPixelBlurFadesTheEdgeOverTheMargin)
{
    EnsureApp();
    const int w = 120, h = 80, d = 50;
    const int W = w + 2 * d, H = h + 2 * d;
    const PageBuffer plane = MakeSymmetricCoverage(SymmetricShape::Rectangle, w, h, d, 255, nullptr);
    const int y = H / 2;
    // Along the middle row: nothing at the working area's edge, the full level
    // well inside, about half at the shape's edge, rising in between.
    EXPECT_LE(At(plane, W, H, 0, y), 5);
    EXPECT_GE(At(plane, W, H, W / 2, y), 240);
    EXPECT_NEAR(At(plane, W, H, d, y), 128, 30);
    for (int x = 1; x < W / 2; ++x)
        EXPECT_GE(At(plane, W, H, x, y), At(plane, W, H, x - 1, y)) << x;
    EXPECT_GT(Values(plane, W, H).size(), 20u);
}

TEST(TransparencyShapesTest, MergeRaisesOrLowersOnlyInsideThePictureAndKeepsRowOrder)
{
    // A 6 x 4 mask (stride 8) at 100, a 3 x 3 coverage whose top-left lies at (-1, -1).
    const int width = 6, height = 4, stride = AlignRowBytes(width);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(stride) * height, 100);
    // Coverage rows bottom-up: top row (y = 0) is stored last.
    const std::uint8_t coverage[] = {
        50, 60, 70,  // y = 2
        80, 90, 250, // y = 1
        1,  2,  3,   // y = 0 (outside the picture)
    };
    MergeCoverage(mask.data(), width, height, stride, coverage, 3, 3, -1, -1, 0);
    const auto at = [&](int x, int y) { return mask[static_cast<std::size_t>(height - 1 - y) * stride + x]; };
    EXPECT_EQ(at(0, 0), 100); // coverage 90 < 100
    EXPECT_EQ(at(1, 0), 250);
    EXPECT_EQ(at(0, 1), 100);
    EXPECT_EQ(at(1, 1), 100);
    EXPECT_EQ(at(2, 0), 100);                                                // outside the coverage
    EXPECT_EQ(mask[static_cast<std::size_t>(height - 1) * stride + 6], 100); // padding untouched

    std::vector<std::uint8_t> cancel(static_cast<std::size_t>(stride) * height, 200);
    MergeCoverage(cancel.data(), width, height, stride, coverage, 3, 3, 4, 2, 1);
    const auto c = [&](int x, int y) {
        return cancel[static_cast<std::size_t>(height - 1 - y) * stride + x];
    };
    EXPECT_EQ(c(4, 2), 200); // 255 - 1 = 254 > 200: kept
    EXPECT_EQ(c(4, 3), 175); // 255 - 80
    EXPECT_EQ(c(5, 3), 165); // 255 - 90
    EXPECT_EQ(c(3, 3), 200);
}

TEST(TransparencyShapesTest, ThePipelineMirrorsOnlyWhatItIsAskedTo)
{
    EnsureApp();
    // A white mark at the top-left of a 7 x 5 area: kept where drawn, and
    // copied to the right and the bottom as the mirror says.
    const auto mark = [](CImage& work) { work.FillRect(0, 0, 2, 1, 0xFFFFFF); };
    struct Case
    {
        CoverageMirror mirror;
        std::vector<std::pair<int, int>> white; // (x, y), top-down
    };
    const Case cases[] = {
        {CoverageMirror::None, {{0, 0}, {1, 0}}},
        {CoverageMirror::Horizontal, {{0, 0}, {1, 0}, {5, 0}, {6, 0}}},
        {CoverageMirror::Both, {{0, 0}, {1, 0}, {5, 0}, {6, 0}, {0, 4}, {1, 4}, {5, 4}, {6, 4}}},
    };
    for (const Case& c : cases) {
        const PageBuffer plane = MakeShapeCoverage(7, 5, c.mirror, mark, 0, 90, nullptr);
        int count = 0;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const bool white =
                    std::find(c.white.begin(), c.white.end(), std::pair{x, y}) != c.white.end();
                EXPECT_EQ(At(plane, 7, 5, x, y), white ? 90 : 0)
                    << static_cast<int>(c.mirror) << " " << x << "," << y;
                count += white;
            }
        EXPECT_EQ(count, static_cast<int>(c.white.size()));
    }
}
