// The merge filter blends through a grey mask read at the image's own rows.
#include "FilterTestSupport.h"
#include "Filters/UCFilterMerge.h"

#include <gtest/gtest.h>

namespace {

struct MergeBlock
{
    int32_t mode;
    int32_t opacity;
    uint8_t colour[3];
};

// Runs the merge filter with an optional mask; maskSize overrides the pair's size.
int32_t Merge(Picture& source, Picture* mask, const void* block, int32_t blockSize, int32_t lines = 0,
              int64_t maskSize = sizeof(ImageDescriptor))
{
    ImageDescriptor s = source.Describe();
    UtilFilter filter(&s, nullptr, 16, blockSize, block);
    if (filter.GetLastResult() != UCF_OK)
        return filter.GetLastResult();
    ImageDescriptor m;
    if (mask) {
        m = mask->Describe();
        if (int32_t rc = filter.SetSecondImage(static_cast<int32_t>(maskSize), &m))
            return rc;
    }
    return filter.Execute(nullptr, 3, lines);
}

TEST(MergeTest, ModeZeroAtFullOpacityWithAFullMaskGivesWhite)
{
    Picture src(7, 5, 8, 4);
    src.Randomise(3);
    Picture mask(7, 5, 1, 1);
    mask.Fill(255);
    const MergeBlock block{0, 100, {0, 0, 0}};
    ASSERT_EQ(Merge(src, &mask, &block, 11), UCF_OK);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x)
            for (int32_t c = 0; c < 3; ++c) // BGRA: alpha (3) is not written
                EXPECT_EQ(src.At(x, y)[c], 255) << x << "," << y;
}

TEST(MergeTest, EachRowUsesTheMaskRowOfTheWholeImageAcrossStrips)
{
    for (int32_t mode : {0, 3, 7, 11}) {
        Picture src(9, 23, 2, 3);
        src.Randomise(static_cast<uint32_t>(mode) + 1);
        Picture mask(9, 23, 1, 1);
        mask.Randomise(77);
        Picture expected = src;
        const MergeBlock block{mode, 60, {10, 200, 90}};
        UCFilterMerge merge(mode, 60, block.colour);
        ASSERT_TRUE(merge.HasTables());
        for (int32_t y = 0; y < 23; ++y)
            merge.BlendRowWithMask(src.At(0, y), 0, 1, 2, 3, mask.At(0, y), expected.At(0, y), 0, 1, 2, 3, 9);
        Picture whole = src;
        ASSERT_EQ(Merge(whole, &mask, &block, 11), UCF_OK);
        EXPECT_TRUE(whole.SameRows(expected)) << mode;
        Picture strips = src;
        ASSERT_EQ(Merge(strips, &mask, &block, 11, 4), UCF_OK);
        EXPECT_TRUE(strips.SameRows(expected)) << mode;
    }
}

TEST(MergeTest, RefusesBadSecondImagesAndBlocks)
{
    Picture src(6, 6, 8, 4);
    const MergeBlock block{0, 100, {0, 0, 0}};
    Picture grey(6, 6, 1, 1);
    Picture colourMask(6, 6, 8, 4);
    Picture narrow(5, 6, 1, 1);
    Picture shortMask(6, 5, 1, 1);
    Picture empty(6, 6, 1, 1);
    empty.bytes.clear();
    struct Case
    {
        const char* name;
        Picture* mask;
        int32_t blockSize;
        int64_t maskSize;
        int32_t expected;
    } cases[] = {
        {"no mask", nullptr, 11, sizeof(ImageDescriptor), UCF_ERR_NOSECONDIMAGE},
        {"format 8 mask", &colourMask, 11, sizeof(ImageDescriptor), UCF_ERR_UNSUPPORTED},
        {"wrong pair size", &grey, 11, 88, UCF_ERR_BADPARAM},
        {"short block", &grey, 10, sizeof(ImageDescriptor), UCF_ERR_BADPARAM},
        {"narrow mask", &narrow, 11, sizeof(ImageDescriptor), UCF_ERR_BADPARAM},
        {"short mask", &shortMask, 11, sizeof(ImageDescriptor), UCF_ERR_BADPARAM},
    };
    for (const Case& c : cases) {
        Picture copy = src;
        EXPECT_EQ(Merge(copy, c.mask, &block, c.blockSize, 0, c.maskSize), c.expected) << c.name;
    }
    // A mask without pixels is refused at apply.
    ImageDescriptor s = src.Describe();
    UtilFilter filter(&s, nullptr, 16, 11, &block);
    ImageDescriptor m = grey.Describe();
    m.pixels = nullptr;
    ASSERT_EQ(filter.SetSecondImage(sizeof(ImageDescriptor), &m), UCF_OK);
    EXPECT_EQ(filter.Execute(nullptr, 3, 0), UCF_ERR_BADPARAM);
}

} // namespace
