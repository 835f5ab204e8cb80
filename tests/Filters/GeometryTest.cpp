#include "FilterTestSupport.h"
#include "Filters/CropNarrowing.h"
#include "Filters/FilterRegistry.h"
#include "Filters/UCF_AFFINE.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Pixels named by letter in their blue byte, alpha 0x80 + letter.
Picture Letters(int32_t w, int32_t h, const char* letters)
{
    Picture p(w, h);
    for (int32_t i = 0; i < w * h; ++i) {
        uint8_t* px = p.At(i % w, i / w);
        px[0] = px[1] = px[2] = static_cast<uint8_t>(letters[i]);
        px[3] = static_cast<uint8_t>(0x80 + i);
    }
    return p;
}

std::string Read(const Picture& p)
{
    std::string s;
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x)
            s += static_cast<char>(p.At(x, y)[0]);
    return s;
}

TEST(Rotate, QuarterTurnsOfThreeByTwo)
{
    struct Case
    {
        int32_t mode;
        const char* expected;
    };
    for (const Case& c : {Case{0, "daebfc"}, Case{1, "cfbead"}, Case{-3, "cfbead"}}) {
        Picture src = Letters(3, 2, "abcdef");
        Picture dst(2, 3);
        dst.Fill(0x33);
        ASSERT_EQ(RunFilter(UCF_ID_ROTATE, src, &dst, &c.mode, 4), UCF_OK);
        EXPECT_EQ(Read(dst), c.expected) << c.mode;
        for (int32_t i = 0; i < 6; ++i)
            EXPECT_EQ(dst.At(i % 2, i / 2)[3], 0x33) << "alpha kept";
    }
}

TEST(Rotate, EveryPixelOfLargerPicturesLandsWhereTheTurnPutsItAlphaKept)
{
    // Sizes around the blocks the turn works in, with padded rows.
    const struct
    {
        int32_t w, h, padding;
    } sizes[] = {{23, 13, 0}, {16, 8, 4}, {5, 4, 0}, {37, 7, 12}, {1, 9, 0}, {9, 1, 0}};
    for (const auto& size : sizes) {
        for (const int32_t mode : {0, 1}) {
            Picture src(size.w, size.h, 8, 4, size.padding), dst(size.h, size.w, 8, 4, size.padding);
            src.Randomise(static_cast<uint32_t>(size.w * 100 + size.h));
            dst.Randomise(static_cast<uint32_t>(size.w + size.h * 100));
            const Picture before = dst;
            ASSERT_EQ(RunFilter(UCF_ID_ROTATE, src, &dst, &mode, 4), UCF_OK);
            for (int32_t y = 0; y < size.w; ++y) {
                for (int32_t x = 0; x < size.h; ++x) {
                    const uint8_t* from =
                        mode == 0 ? src.At(y, size.h - 1 - x) : src.At(size.w - 1 - y, x);
                    const uint8_t* got = dst.At(x, y);
                    ASSERT_EQ(0, std::memcmp(got, from, 3))
                        << size.w << "x" << size.h << " mode " << mode << " at " << x << "," << y;
                    ASSERT_EQ(got[3], before.At(x, y)[3]) << "alpha kept";
                }
            }
        }
    }
}

TEST(Rotate, RefusesWrongSizesModesAndFormats)
{
    Picture src = Letters(3, 2, "abcdef");
    const int32_t cw = 0, bad = 2;
    Picture same(3, 2), bigger(3, 4), gray(2, 3, 1, 1), turned(2, 3);
    EXPECT_EQ(RunFilter(UCF_ID_ROTATE, src, &same, &cw, 4), UCF_ERR_GEOMETRY);
    EXPECT_EQ(RunFilter(UCF_ID_ROTATE, src, &bigger, &cw, 4), UCF_ERR_GEOMETRY);
    EXPECT_EQ(RunFilter(UCF_ID_ROTATE, src, &gray, &cw, 4), UCF_ERR_FORMATMISMATCH);
    EXPECT_EQ(RunFilter(UCF_ID_ROTATE, src, &turned, &bad, 4), UCF_ERR_BADPARAM);
    EXPECT_EQ(RunFilter(UCF_ID_ROTATE, src, &turned, nullptr, 0), UCF_ERR_BADPARAM);
}

TEST(Flip, ModesIntoADestinationKeepItsAlpha)
{
    struct Case
    {
        int32_t mode;
        const char* expected;
    };
    for (const Case& c : {Case{0, "cbafed"}, Case{1, "defabc"}, Case{2, "fedcba"}, Case{-1, "......"}}) {
        Picture src = Letters(3, 2, "abcdef");
        Picture dst(3, 2);
        dst.Fill('.');
        ASSERT_EQ(RunFilter(UCF_ID_FLIP, src, &dst, &c.mode, 4), UCF_OK);
        EXPECT_EQ(Read(dst), c.expected) << c.mode;
        EXPECT_EQ(dst.At(0, 0)[3], '.');
    }
    Picture src = Letters(3, 2, "abcdef");
    Picture wrong(2, 3);
    const int32_t mode = 0;
    EXPECT_EQ(RunFilter(UCF_ID_FLIP, src, &wrong, &mode, 4), UCF_ERR_GEOMETRY);
    const int32_t three = 3;
    EXPECT_EQ(RunFilter(UCF_ID_FLIP, src, nullptr, &three, 4), UCF_ERR_BADPARAM);
}

TEST(Flip, InPlaceTwiceRestoresAndAlphaStaysPut)
{
    for (int32_t h : {1, 4, 5}) {
        Picture p(7, h);
        p.Randomise(static_cast<uint32_t>(h));
        const Picture original = p;
        const int32_t mode = 2;
        ASSERT_EQ(RunFilter(UCF_ID_FLIP, p, nullptr, &mode, 4), UCF_OK);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < 7; ++x) {
                EXPECT_EQ(0, std::memcmp(p.At(x, y), original.At(6 - x, h - 1 - y), 3));
                EXPECT_EQ(p.At(x, y)[3], original.At(x, y)[3]);
            }
        ASSERT_EQ(RunFilter(UCF_ID_FLIP, p, nullptr, &mode, 4), UCF_OK);
        EXPECT_TRUE(p.SameRows(original)) << h;
    }
}

int32_t Affine(Picture& src, Picture& dst, double angle, int32_t method)
{
    const AffineParameters block{angle, method, 0};
    return RunFilter(UCF_ID_AFFINE, src, &dst, &block, sizeof(block));
}

TEST(Affine, NearestAtZeroCopiesAndAtHalfTurnReverses)
{
    Picture src(5, 4);
    src.Randomise(8);
    Picture copy(5, 4), turned(5, 4);
    copy.Fill(0x77);
    ASSERT_EQ(Affine(src, copy, 0.0, 1), UCF_OK);
    ASSERT_EQ(Affine(src, turned, -180.0, 1), UCF_OK);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 5; ++x) {
            EXPECT_EQ(0, std::memcmp(copy.At(x, y), src.At(x, y), 3)) << x << "," << y;
            EXPECT_EQ(copy.At(x, y)[3], 0x77);
            EXPECT_EQ(0, std::memcmp(turned.At(x, y), src.At(4 - x, 3 - y), 3)) << x << "," << y;
        }
}

TEST(Affine, BilinearAtZeroWhitensTheFirstColumnAndRow)
{
    Picture src(4, 3);
    src.Fill(0);
    Picture dst(4, 3);
    dst.Fill(0x10);
    ASSERT_EQ(Affine(src, dst, 0.0, 0), UCF_OK);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(dst.At(x, y)[0], x == 0 || y == 0 ? 255 : 0) << x << "," << y;
            EXPECT_EQ(dst.At(x, y)[3], 0x10);
        }
}

TEST(Affine, OutsideBecomesWhiteInEveryMethod)
{
    for (int32_t method : {0, 1, 2}) {
        Picture src(9, 9);
        src.Fill(0);
        Picture dst(21, 21); // larger than the source: its border lies outside
        dst.Fill(0x20);
        ASSERT_EQ(Affine(src, dst, 45.0, method), UCF_OK);
        EXPECT_EQ(dst.At(0, 0)[0], 255) << method;
        EXPECT_EQ(dst.At(20, 20)[1], 255) << method;
        EXPECT_EQ(dst.At(10, 10)[2], 0) << method;
        EXPECT_EQ(dst.At(0, 0)[3], 0x20) << method;
    }
    Picture one(1, 1), dst(3, 3);
    one.Fill(0);
    EXPECT_EQ(Affine(one, dst, 30.0, 0), UCF_OK) << "a one-column source";
    EXPECT_EQ(Affine(one, dst, 30.0, 3), UCF_ERR_BADPARAM);
    const int32_t shortBlock = 0;
    EXPECT_EQ(RunFilter(UCF_ID_AFFINE, one, &dst, &shortBlock, 4), UCF_ERR_BADPARAM);
}

TEST(Crop, CopiesTheRectangleByteForByteAlphaIncluded)
{
    Picture src(6, 5);
    src.Randomise(11);
    ImageDescriptor whole = src.Describe();
    Picture dst(6, 5);
    {
        ImageDescriptor d = dst.Describe();
        UtilFilter f(&whole, &d, UCF_ID_CROP, 0, nullptr);
        ASSERT_EQ(f.Execute(nullptr, 3, 0), UCF_OK);
        EXPECT_TRUE(dst.SameRows(src));
    }
    ImageDescriptor part = src.Describe();
    part.rectLeft = 2;
    part.rectTop = 1;
    part.rectRight = 5;
    part.rectBottom = 4;
    Picture small(3, 2);
    ImageDescriptor d = small.Describe();
    UtilFilter f(&part, &d, UCF_ID_CROP, 0, nullptr);
    ASSERT_EQ(f.Execute(nullptr, 3, 0), UCF_OK);
    for (int32_t y = 0; y < 2; ++y)
        EXPECT_EQ(0, std::memcmp(small.At(0, y), src.At(2, 1 + y), 12)) << y;
}

TEST(Crop, RectanglesOutsideThePictureAndLargerDestinationsAreRefused)
{
    const int32_t rects[][4] = {{-1, 0, 3, 3}, {0, 0, 7, 5}, {0, 0, 6, 6}, {3, 3, 3, 4}, {4, 1, 2, 3}};
    for (const auto& r : rects) {
        Picture src(6, 5), dst(1, 1);
        ImageDescriptor s = src.Describe();
        s.rectLeft = r[0];
        s.rectTop = r[1];
        s.rectRight = r[2];
        s.rectBottom = r[3];
        ImageDescriptor d = dst.Describe();
        UtilFilter f(&s, &d, UCF_ID_CROP, 0, nullptr);
        EXPECT_EQ(f.Execute(nullptr, 3, 0), UCF_ERR_GEOMETRY)
            << r[0] << "," << r[1] << "," << r[2] << "," << r[3];
    }
    Picture src(6, 5), tooBig(4, 2);
    ImageDescriptor s = src.Describe();
    s.rectRight = 3;
    ImageDescriptor d = tooBig.Describe();
    UtilFilter f(&s, &d, UCF_ID_CROP, 0, nullptr);
    EXPECT_EQ(f.Execute(nullptr, 3, 0), UCF_ERR_GEOMETRY);
}

TEST(Crop, NarrowingMovesThePixelsToTheRectangle)
{
    ImageDescriptor d;
    d.format = 8;
    d.width = d.regionWidth = 200;
    d.height = d.regionHeight = 100;
    d.rowBytes = 800;
    std::vector<uint8_t> buffer(80000);
    d.pixels = buffer.data();
    d.rectLeft = 10;
    d.rectTop = 20;
    d.rectRight = 110;
    d.rectBottom = 70;
    int64_t offset = 0;
    ASSERT_EQ(NarrowToRect(&d, &offset), UCF_OK);
    EXPECT_EQ(offset, 20 * 800 + 40);
    EXPECT_EQ(d.pixels, buffer.data() + offset);
    EXPECT_EQ(d.regionWidth, 100);
    EXPECT_EQ(d.regionHeight, 50);
    EXPECT_EQ(d.rectLeft, 0);
    EXPECT_EQ(d.rectRight, 100);
    d.format = 3;
    EXPECT_EQ(NarrowToRect(&d, &offset), UCF_ERR_UNSUPPORTED);
}

} // namespace
