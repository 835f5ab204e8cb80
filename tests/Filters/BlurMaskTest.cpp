// The blur mask mixes the truncated blur with the unblurred picture through a
// grey mask, or through a blend mode without one.
#include "FilterTestSupport.h"
#include "Filters/UCF_SGAUSS.h"
#include "Filters/UCFilterMerge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr int32_t kBlurMaskId = 17;

// The blur as its formula states it, every row and column clamped to the
// picture, the sums divided by S x S and truncated.
Picture NaiveTruncatedBlur(const Picture& in, int32_t radius)
{
    std::vector<int16_t> w(2 * radius);
    int32_t sum = 0;
    const int32_t taps = UCF_SGAUSS::BuildKernel(radius, w.data(), &sum);
    const int32_t half = radius - 1;
    const uint64_t norm = static_cast<uint64_t>(sum) * sum;
    Picture out = in;
    std::vector<uint64_t> column(static_cast<size_t>(in.width));
    for (int32_t y = 0; y < in.height; ++y)
        for (int32_t c = 0; c < 3; ++c) {
            for (int32_t x = 0; x < in.width; ++x) {
                uint64_t s = 0;
                for (int32_t k = 0; k < taps; ++k)
                    s += uint64_t{in.At(x, std::clamp(y + k - half, 0, in.height - 1))[c]} * w[k];
                column[x] = s;
            }
            for (int32_t x = 0; x < in.width; ++x) {
                uint64_t v = 0;
                for (int32_t k = 0; k < taps; ++k)
                    v += column[std::clamp(x + k - half, 0, in.width - 1)] * w[k];
                out.At(x, y)[c] = static_cast<uint8_t>(v / norm);
            }
        }
    return out;
}

struct BlurMaskBlock
{
    int32_t radius;
    int32_t second;
    int32_t mode;
    int32_t opacity;
};

int32_t BlurMask(Picture& source, Picture* mask, const BlurMaskBlock& block, int32_t lines = 0,
                 int32_t blockSize = sizeof(BlurMaskBlock), Picture* destination = nullptr)
{
    ImageDescriptor s = source.Describe();
    ImageDescriptor d;
    if (destination)
        d = destination->Describe();
    UtilFilter filter(&s, destination ? &d : nullptr, kBlurMaskId, blockSize, &block);
    if (filter.GetLastResult() != UCF_OK)
        return filter.GetLastResult();
    ImageDescriptor m;
    if (mask) {
        m = mask->Describe();
        if (int32_t rc = filter.SetSecondImage(sizeof(ImageDescriptor), &m))
            return rc;
    }
    return filter.Execute(nullptr, 3, lines);
}

// (blurred x m + unblurred x (256 - m)) >> 8 on red, green and blue; alpha kept.
Picture Mixed(const Picture& unblurred, const Picture& blurred, const Picture& mask)
{
    Picture out = unblurred;
    for (int32_t y = 0; y < out.height; ++y)
        for (int32_t x = 0; x < out.width; ++x) {
            const int32_t m = *mask.At(x, y);
            for (int32_t c = 0; c < 3; ++c)
                out.At(x, y)[c] =
                    static_cast<uint8_t>((blurred.At(x, y)[c] * m + unblurred.At(x, y)[c] * (256 - m)) >> 8);
        }
    return out;
}

TEST(BlurMaskTest, MatchesTheNaiveFormulaAtEveryRadiusAndShape)
{
    struct Shape
    {
        int32_t width, height, lines, format, bytesPerPixel;
    } shapes[] = {{13, 11, 0, 8, 4}, {9, 1, 0, 8, 4},   {6, 2, 0, 2, 3}, {10, 3, 0, 8, 4},
                  {17, 29, 4, 8, 4}, {12, 20, 1, 2, 3}, {11, 9, 0, 4, 3}};
    for (int32_t radius : {2, 3, 4, 5, 6, 9, 18, 19, 30, 31, 100}) {
        for (const Shape& shape : shapes) {
            Picture src(shape.width, shape.height, shape.format, shape.bytesPerPixel);
            src.Randomise(static_cast<uint32_t>(radius * 97 + shape.height));
            const Picture blurred = NaiveTruncatedBlur(src, radius);
            Picture mask(shape.width, shape.height, 1, 1);
            mask.Randomise(static_cast<uint32_t>(radius));
            for (uint8_t fill : {0, 255, 1}) {
                if (fill != 1)
                    mask.Fill(fill);
                Picture out = src;
                ASSERT_EQ(BlurMask(out, &mask, {radius, 0, 0, 100}, shape.lines), UCF_OK);
                EXPECT_TRUE(out.SameRows(Mixed(src, blurred, mask)))
                    << "radius " << radius << " " << shape.width << "x" << shape.height << " mask "
                    << int{fill};
                if (fill == 0) { // the unblurred picture, alpha included
                    EXPECT_TRUE(out.SameRows(src)) << radius;
                }
            }
        }
    }
}

// Rows long enough for the mixing to run in whole vectors and a tail, in
// place and into a destination, whole and in strips.
TEST(BlurMaskTest, WideRowsMatchTheNaiveFormula)
{
    struct Shape
    {
        int32_t width, height, lines, format, bytesPerPixel;
    } shapes[] = {{64, 6, 0, 4, 3}, {203, 5, 2, 4, 3}, {97, 4, 0, 2, 3}, {150, 5, 0, 8, 4}, {33, 7, 3, 8, 4}};
    for (int32_t radius : {3, 30, 100}) {
        for (const Shape& shape : shapes) {
            Picture src(shape.width, shape.height, shape.format, shape.bytesPerPixel, 5);
            src.Randomise(static_cast<uint32_t>(radius * 13 + shape.width));
            const Picture blurred = NaiveTruncatedBlur(src, radius);
            Picture mask(shape.width, shape.height, 1, 1, 3);
            mask.Randomise(static_cast<uint32_t>(shape.width + 1));
            // The extremes of the mask along the first row.
            *mask.At(0, 0) = 0;
            *mask.At(1, 0) = 255;
            *mask.At(shape.width - 1, 0) = 255;
            const Picture expected = Mixed(src, blurred, mask);
            const std::string name =
                "radius " + std::to_string(radius) + " width " + std::to_string(shape.width);

            Picture inPlace = src;
            ASSERT_EQ(BlurMask(inPlace, &mask, {radius, 0, 0, 100}, shape.lines), UCF_OK);
            EXPECT_TRUE(inPlace.SameRows(expected)) << name;
            EXPECT_EQ(inPlace.bytes.back(), src.bytes.back()) << name;

            Picture destination(shape.width, shape.height, shape.format, shape.bytesPerPixel, 5);
            destination.Fill(0x5A);
            ASSERT_EQ(
                BlurMask(src, &mask, {radius, 0, 0, 100}, shape.lines, sizeof(BlurMaskBlock), &destination),
                UCF_OK);
            for (int32_t y = 0; y < shape.height; ++y)
                for (int32_t x = 0; x < shape.width; ++x)
                    for (int32_t c = 0; c < 3; ++c)
                        ASSERT_EQ(destination.At(x, y)[c], expected.At(x, y)[c])
                            << name << " at " << x << "," << y << " sample " << c;
        }
    }
}

TEST(BlurMaskTest, WithoutAMaskBlendsThroughTheMode)
{
    for (int32_t mode : {0, 2, 9}) {
        Picture src(15, 12, 2, 3);
        src.Randomise(static_cast<uint32_t>(mode) + 40);
        const int32_t radius = 7;
        // The naive blur works on the first three samples: RGB and BGRA alike.
        const Picture blurred = NaiveTruncatedBlur(src, radius);
        UCFilterMerge merge(mode, 70, nullptr);
        Picture expected = src;
        for (int32_t y = 0; y < src.height; ++y)
            for (int32_t x = 0; x < src.width; ++x) {
                uint8_t* p = expected.At(x, y);
                merge.BlendPixel(&p[0], &p[1], &p[2], blurred.At(x, y)[0], blurred.At(x, y)[1],
                                 blurred.At(x, y)[2]);
            }
        Picture destination(15, 12, 2, 3);
        ASSERT_EQ(BlurMask(src, nullptr, {radius, 0, mode, 70}, 5, sizeof(BlurMaskBlock), &destination),
                  UCF_OK);
        EXPECT_TRUE(destination.SameRows(expected)) << mode;
    }
}

TEST(BlurMaskTest, Refusals)
{
    Picture src(8, 8, 8, 4);
    Picture colour(8, 8, 8, 4);
    Picture narrow(7, 8, 1, 1);
    Picture shortMask(8, 7, 1, 1);
    EXPECT_EQ(BlurMask(src, nullptr, {1, 0, 0, 100}), UCF_ERR_BADPARAM);
    EXPECT_EQ(BlurMask(src, nullptr, {3, 0, 0, 100}, 0, 12), UCF_ERR_BADPARAM);
    EXPECT_EQ(BlurMask(src, &colour, {3, 0, 0, 100}), UCF_ERR_UNSUPPORTED);
    EXPECT_EQ(BlurMask(src, &narrow, {3, 0, 0, 100}), UCF_ERR_BADPARAM);
    EXPECT_EQ(BlurMask(src, &shortMask, {3, 0, 0, 100}), UCF_ERR_BADPARAM);
    Picture otherFormat(8, 8, 2, 3);
    Picture mask(8, 8, 1, 1);
    EXPECT_EQ(BlurMask(src, &mask, {3, 0, 0, 100}, 0, sizeof(BlurMaskBlock), &otherFormat),
              UCF_ERR_FORMATMISMATCH);
    Picture narrower(7, 8, 8, 4);
    EXPECT_EQ(BlurMask(src, &mask, {3, 0, 0, 100}, 0, sizeof(BlurMaskBlock), &narrower), UCF_ERR_GEOMETRY);
}

} // namespace
