// The texture filter tiles a grey texture over the picture through a tone table.
#include "FilterTestSupport.h"
#include "Filters/UCF_TEXTURE.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct TextureBlock
{
    int32_t contrast;
    float threshold;
    int32_t offset;
};

int32_t Texture(Picture& source, Picture* texture, const TextureBlock& block, int32_t lines = 0,
                int32_t blockSize = sizeof(TextureBlock), int32_t pairSize = sizeof(ImageDescriptor))
{
    ImageDescriptor s = source.Describe();
    UtilFilter filter(&s, nullptr, 18, blockSize, &block);
    if (filter.GetLastResult() != UCF_OK)
        return filter.GetLastResult();
    ImageDescriptor t;
    if (texture) {
        t = texture->Describe();
        if (int32_t rc = filter.SetSecondImage(pairSize, &t))
            return rc;
    }
    return filter.Execute(nullptr, 3, lines);
}

TEST(TextureTest, ToneTables)
{
    uint8_t table[256];
    UCF_TEXTURE::BuildToneTable(100, 128.0f, table);
    for (int32_t i = 0; i < 256; ++i)
        EXPECT_EQ(table[i], i >= 128 ? 255 : 0) << i;
    UCF_TEXTURE::BuildToneTable(0, 0.0f, table);
    for (int32_t i = 0; i < 256; ++i)
        EXPECT_EQ(table[i], i) << i;
    for (int32_t c : {-100, -60, -1, 1, 50, 99, 100000, -100000}) {
        UCF_TEXTURE::BuildToneTable(c, 0.0f, table);
        EXPECT_EQ(table[127], 127) << c;
        EXPECT_TRUE(std::is_sorted(table, table + 256)) << c;
    }
    UCF_TEXTURE::BuildToneTable(50, 0.0f, table);
    EXPECT_GT(table[160], 160); // steeper above the centre
    UCF_TEXTURE::BuildToneTable(-50, 0.0f, table);
    EXPECT_LT(table[160], 160);
}

TEST(TextureTest, CentreEntryAtOffsetZeroLeavesThePicture)
{
    Picture src(8, 6, 8, 4);
    src.Randomise(9);
    Picture texture(3, 2, 1, 1);
    texture.Fill(127);
    Picture out = src;
    ASSERT_EQ(Texture(out, &texture, {0, 0.0f, 0}), UCF_OK);
    EXPECT_TRUE(out.SameRows(src));
}

// The naive tiling, for comparison: (table[v] - (127 - o)) >> 1 added and clamped.
void ExpectTiled(const Picture& src, const Picture& out, const Picture& texture, const uint8_t table[256],
                 int32_t offset)
{
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x) {
            const int32_t v = *texture.At(x % texture.width, y % texture.height);
            const int32_t d = (table[v] - (127 - offset)) >> 1;
            for (int32_t c = 0; c < 3; ++c)
                ASSERT_EQ(out.At(x, y)[c], std::clamp(src.At(x, y)[c] + d, 0, 255)) << x << "," << y;
        }
}

TEST(TextureTest, ThresholdTilingWrapsAcrossStrips)
{
    Picture src(11, 23, 2, 3);
    src.Randomise(5);
    Picture texture(4, 5, 1, 1);
    texture.Randomise(6);
    for (const TextureBlock block : {TextureBlock{100, 128.0f, 0}, TextureBlock{40, 0.0f, 20}}) {
        uint8_t table[256];
        UCF_TEXTURE::BuildToneTable(block.contrast, block.threshold, table);
        for (int32_t lines : {0, 3}) {
            Picture out = src;
            ASSERT_EQ(Texture(out, &texture, block, lines), UCF_OK);
            ExpectTiled(src, out, texture, table, block.offset);
        }
    }
}

TEST(TextureTest, RefusesBadSecondImagesAndBlocks)
{
    Picture src(6, 6, 8, 4);
    Picture grey(2, 2, 1, 1);
    Picture colour(2, 2, 8, 4);
    Picture empty(0, 0, 1, 1);
    const TextureBlock block{0, 0.0f, 0};
    EXPECT_EQ(Texture(src, nullptr, block), UCF_ERR_NOSECONDIMAGE);
    EXPECT_EQ(Texture(src, &colour, block), UCF_ERR_UNSUPPORTED);
    EXPECT_EQ(Texture(src, &grey, block, 0, sizeof(block), 88), UCF_ERR_BADPARAM);
    EXPECT_EQ(Texture(src, &grey, block, 0, 11), UCF_ERR_BADPARAM);
    EXPECT_EQ(Texture(src, &empty, block), UCF_ERR_BADPARAM);
    // Extreme offsets clamp instead of overflowing.
    Picture out = src;
    out.Fill(100);
    EXPECT_EQ(Texture(out, &grey, {0, 0.0f, INT32_MAX}), UCF_OK);
    EXPECT_EQ(out.At(0, 0)[0], 255);
    EXPECT_EQ(Texture(out, &grey, {0, 0.0f, INT32_MIN}), UCF_OK);
    EXPECT_EQ(out.At(0, 0)[0], 0);
}

} // namespace
