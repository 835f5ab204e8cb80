#include "ImageProcessing/PixelConversion.h"
#include "Platform/PageAllocator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <random>
#include <vector>

namespace {

// A page-allocated copy of the bytes, as the conversions expect.
std::uint8_t* Block(std::initializer_list<int> bytes)
{
    auto* block = static_cast<std::uint8_t*>(PageAlloc(bytes.size()));
    std::size_t i = 0;
    for (int b : bytes)
        block[i++] = static_cast<std::uint8_t>(b);
    return block;
}

std::uint8_t* Block(const std::vector<std::uint8_t>& bytes)
{
    auto* block = static_cast<std::uint8_t*>(PageAlloc(bytes.size()));
    std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

std::uint32_t PixelAt(const std::uint8_t* pixels, int index)
{
    std::uint32_t value;
    std::memcpy(&value, pixels + 4 * index, 4);
    return value;
}

// Palette of 4-byte entries whose entry i is the pixel 0x0i0i0i0i.
std::vector<std::uint8_t> CountingPalette(int count)
{
    std::vector<std::uint8_t> palette;
    for (int i = 0; i < count; ++i)
        palette.insert(palette.end(), 4, static_cast<std::uint8_t>(i));
    return palette;
}

struct StopGuard
{
    ~StopGuard() { ResetCancel(); }
};

} // namespace

TEST(PixelConversion, AlignPlaneRowsPadsWithZerosOrCopiesWhole)
{
    std::uint8_t* five = Block({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    std::uint8_t* aligned = AlignPlaneRows(five, 5, 2, 1);
    ASSERT_NE(aligned, nullptr);
    const std::uint8_t expected[16] = {1, 2, 3, 4, 5, 0, 0, 0, 6, 7, 8, 9, 10, 0, 0, 0};
    EXPECT_EQ(std::memcmp(aligned, expected, 16), 0);
    std::uint8_t* back = PadRowsToStride(aligned, 5, 2, 1);
    ASSERT_NE(back, nullptr);
    const std::uint8_t packed[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(std::memcmp(back, packed, 10), 0);
    std::uint8_t* eight = AlignPlaneRows(back, 8, 1, 0);
    ASSERT_NE(eight, nullptr);
    EXPECT_EQ(std::memcmp(eight, packed, 8), 0);
    std::uint8_t* rows = AlignRowsCopy(eight, 3, 4, 2, 0);
    ASSERT_NE(rows, nullptr);
    const std::uint8_t cut[6] = {1, 2, 3, 5, 6, 7};
    EXPECT_EQ(std::memcmp(rows, cut, 6), 0);
    for (auto* b : {back, eight, rows})
        PageFree(b);
}

TEST(PixelConversion, ContinueFlagStopsConversionsAndKeepsTheSource)
{
    StopGuard guard;
    ResetCancel();
    EXPECT_TRUE(CanContinue());
    EXPECT_TRUE(CanContinueOrThrow());
    RequestCancel();
    EXPECT_FALSE(CanContinue());
    EXPECT_THROW(
        {
            try {
                CanContinueOrThrow();
            } catch (int id) {
                EXPECT_EQ(id, 7);
                throw;
            }
        },
        int);
    std::uint8_t* source = Block({1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Convert24To32(source, 6, 1, 1), nullptr);
    EXPECT_EQ(source[5], 6); // not released, untouched
    std::uint8_t rgb[3] = {1, 2, 3};
    EXPECT_FALSE(SwapRedBlue(rgb, 3, 1));
    EXPECT_EQ(rgb[0], 1);
    ResetCancel();
    std::uint8_t* done = Convert24To32(source, 6, 1, 1); // releases the source
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(PixelAt(done, 1), 0x00060504u);
    PageFree(done);
}

TEST(PixelConversion, CmykRule)
{
    struct Case
    {
        std::uint8_t in[4];
        std::uint8_t out[3];
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, {0, 0, 0}}, {{255, 255, 255, 255}, {0, 0, 0}}, {{0, 128, 255, 255}, {0, 127, 255}}};
    for (const Case& c : cases) {
        std::uint8_t out[3] = {9, 9, 9};
        ASSERT_TRUE(CmykToRgb(c.in, out, 4));
        EXPECT_EQ(std::memcmp(out, c.out, 3), 0) << int(out[0]) << " " << int(out[1]) << " " << int(out[2]);
        std::uint8_t* block = Block({c.in[0], c.in[1], c.in[2], c.in[3]});
        std::uint8_t* pixel = ConvertCmykTo32(block, 4, 1, 1);
        ASSERT_NE(pixel, nullptr);
        EXPECT_EQ(std::memcmp(pixel, c.out, 3), 0);
        EXPECT_EQ(pixel[3], 0);
        PageFree(pixel);
    }
}

TEST(PixelConversion, ThreeAndFourBytePixels)
{
    std::uint8_t* bgrx = Block({1, 2, 3, 4, 5, 6, 7, 8});
    std::uint8_t* packed = Convert32To24(bgrx, 8, 1, 0);
    std::uint8_t* swapped = SwapRgbCopyEx(bgrx, 8, 1, 0);
    ASSERT_TRUE(packed && swapped);
    const std::uint8_t p[6] = {1, 2, 3, 5, 6, 7}, s[6] = {3, 2, 1, 7, 6, 5};
    EXPECT_EQ(std::memcmp(packed, p, 6), 0);
    EXPECT_EQ(std::memcmp(swapped, s, 6), 0);
    std::uint8_t* wide = Convert24To32Swapped(swapped, 6, 1, 1);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(PixelAt(wide, 0), 0x00030201u);
    std::uint8_t* plane = nullptr;
    ASSERT_TRUE(ExtractAlphaAndSwap(bgrx, 8, 1, &plane));
    EXPECT_EQ(plane[0], 4);
    EXPECT_EQ(plane[1], 8);
    EXPECT_EQ(bgrx[0], 3);
    EXPECT_EQ(bgrx[2], 1);
    ASSERT_TRUE(SwapRedBlue32(bgrx, 8, 1));
    EXPECT_EQ(bgrx[0], 1);
    for (auto* b : {bgrx, packed, wide, plane})
        PageFree(b);
}

TEST(PixelConversion, FlipRowsAndCrop)
{
    std::uint8_t* rows = Block({1, 1, 2, 2, 3, 3});
    ASSERT_TRUE(FlipRowsVertical(rows, 2, 3));
    const std::uint8_t flipped[6] = {3, 3, 2, 2, 1, 1};
    EXPECT_EQ(std::memcmp(rows, flipped, 6), 0);
    PageFree(rows);

    // A 3 x 2 picture, bottom row stored first: pixels 0..2 are the bottom row.
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 6; ++i)
        bytes.insert(bytes.end(), {std::uint8_t(i), 0, 0, 0});
    std::uint8_t* pixels = Block(bytes);
    std::uint8_t* plane = Block({10, 11, 12, 13, 14, 15});
    std::uint8_t* outPixels = nullptr;
    std::uint8_t* outPlane = nullptr;
    EXPECT_FALSE(CropBuffer(&outPixels, &outPlane, 1, 0, 1, 2, pixels, plane, 3, 2, 0));
    EXPECT_EQ(outPixels, nullptr);
    EXPECT_FALSE(CropBuffer(&outPixels, &outPlane, 0, 0, 4, 2, pixels, plane, 3, 2, 0));
    // The top row's last two pixels.
    ASSERT_TRUE(CropBuffer(&outPixels, &outPlane, 1, 0, 3, 1, pixels, plane, 3, 2, 1));
    EXPECT_EQ(outPixels[0], 4);
    EXPECT_EQ(outPixels[4], 5);
    EXPECT_EQ(outPlane[0], 14);
    EXPECT_EQ(outPlane[1], 15);
    PageFree(outPixels);
    PageFree(outPlane);
}

TEST(PixelConversion, ByteOrderReads)
{
    const std::uint8_t bytes[4] = {0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(Read16(bytes, 0), 0x3412);
    EXPECT_EQ(Read16(bytes, 1), 0x1234);
    EXPECT_EQ(Read32(bytes, 0), 0x78563412u);
    EXPECT_EQ(Read32(bytes, 1), 0x12345678u);
}

TEST(PixelConversion, PaletteRowsReadTheirBmpStrides)
{
    const auto palette = CountingPalette(16);
    // 10 pixels of 4 bits: rows 8 bytes apart; of 1 bit: 4 bytes apart.
    std::vector<std::uint8_t> four(16, 0);
    four[0] = 0x12;
    four[4] = 0xF0; // pixel 8 of row 0
    four[8] = 0x34; // row 1
    std::uint8_t* pixels = ConvertBmp4To32(Block(four), four.size(), palette.data(), 16, 10, 2, 1);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(PixelAt(pixels, 0), 0x01010101u);
    EXPECT_EQ(PixelAt(pixels, 1), 0x02020202u);
    EXPECT_EQ(PixelAt(pixels, 8), 0x0F0F0F0Fu);
    EXPECT_EQ(PixelAt(pixels, 10), 0x03030303u);
    PageFree(pixels);

    std::vector<std::uint8_t> one(8, 0);
    one[1] = 0x40; // pixel 9 of row 0
    one[4] = 0x80; // row 1
    pixels = ConvertBmp1To32(Block(one), one.size(), palette.data(), 2, 10, 2, 1);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(PixelAt(pixels, 9), 0x01010101u);
    EXPECT_EQ(PixelAt(pixels, 8), 0u);
    EXPECT_EQ(PixelAt(pixels, 10), 0x01010101u);
    PageFree(pixels);

    // Indices beyond the palette read as zero; a short source is refused.
    std::uint8_t* eight = Block({0, 5, 0, 0});
    pixels = ConvertBmp8To32(eight, 4, palette.data(), 4, 2, 1, 0);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(PixelAt(pixels, 1), 0u);
    PageFree(pixels);
    EXPECT_EQ(ConvertBmp8To32(eight, 4, palette.data(), 4, 2, 2, 0), nullptr);
    EXPECT_EQ(ConvertBmp24To32(eight, 4, 2, 1, 0), nullptr);
    PageFree(eight);
}

TEST(PixelConversion, RunLengthRunsEndOfLineAndEnd)
{
    const auto palette = CountingPalette(16);
    std::uint8_t* rle = Block({0x03, 0x05, 0x00, 0x00, 0x00, 0x01});
    std::uint8_t* pixels = DecodeBmpRle8(rle, 6, palette.data(), 16, 4, 2, 1);
    ASSERT_NE(pixels, nullptr);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(PixelAt(pixels, i), i < 3 ? 0x05050505u : 0u) << i;
    PageFree(pixels);
}

// Runs and literals stop at the row's end; an end of line, also on a full or
// an empty row, goes to the next row's start. Both decoders and both expanders
// agree.
TEST(PixelConversion, RunLengthClipsAtTheRowEnd)
{
    const auto palette = CountingPalette(16);
    const struct
    {
        const char* name;
        bool four;
        std::vector<std::uint8_t> data;
        std::vector<int> indices; // 3 x 3, bottom row first
    } cases[] = {
        {"run to the stride", false, {4, 1, 0, 0, 4, 2, 0, 0, 0, 1}, {1, 1, 1, 2, 2, 2, 0, 0, 0}},
        {"literal past the end", false, {0, 5, 3, 4, 5, 6, 7, 0, 0, 0, 1, 8}, {3, 4, 5, 8, 0, 0, 0, 0, 0}},
        {"end of line on an empty row", false, {0, 0, 1, 9, 0, 0, 1, 5}, {0, 0, 0, 9, 0, 0, 5, 0, 0}},
        {"full row without end of line", false, {3, 1, 2, 2, 0, 0, 1, 3}, {1, 1, 1, 3, 0, 0, 0, 0, 0}},
        {"four-bit run and literal", true, {8, 0x12, 0, 0, 0, 4, 0x34, 0x56}, {1, 2, 1, 3, 4, 5, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint8_t* rle = Block(c.data);
        std::uint8_t* pixels = c.four ? DecodeBmpRle4(rle, c.data.size(), palette.data(), 16, 3, 3, 0)
                                      : DecodeBmpRle8(rle, c.data.size(), palette.data(), 16, 3, 3, 0);
        std::uint8_t* indices =
            c.four ? ExpandBmpRle4(rle, c.data.size(), 3, 3, 1) : ExpandBmpRle8(rle, c.data.size(), 3, 3, 1);
        ASSERT_NE(pixels, nullptr);
        ASSERT_NE(indices, nullptr);
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(PixelAt(pixels, i), static_cast<std::uint32_t>(c.indices[i]) * 0x01010101u) << i;
            const std::uint8_t* row = indices + (i / 3) * 4;
            const int index =
                c.four ? ((i % 3) & 1 ? row[(i % 3) / 2] & 0x0F : row[(i % 3) / 2] >> 4) : row[i % 3];
            EXPECT_EQ(index, c.indices[i]) << i;
        }
        PageFree(pixels);
        PageFree(indices);
    }
}

TEST(PixelConversion, RunLengthDeltaMovesThePosition)
{
    const auto palette = CountingPalette(16);
    // Two pixels of 7, then a delta of (1, 1), then one pixel of 9.
    std::uint8_t* rle = Block({0x02, 0x07, 0x00, 0x02, 0x01, 0x01, 0x01, 0x09, 0x00, 0x01});
    std::uint8_t* pixels = DecodeBmpRle8(rle, 10, palette.data(), 16, 4, 3, 0);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(PixelAt(pixels, 1), 0x07070707u);
    EXPECT_EQ(PixelAt(pixels, 2), 0u);
    EXPECT_EQ(PixelAt(pixels, 4 + 3), 0x09090909u); // row 1, column 3
    EXPECT_EQ(PixelAt(pixels, 4 + 2), 0u);
    PageFree(pixels);
    std::uint8_t* indices = ExpandBmpRle8(rle, 10, 4, 3, 0);
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(indices[1], 7);
    EXPECT_EQ(indices[4 + 3], 9);
    PageFree(indices);
    // 4 bits: nibbles alternate, high first; a literal of 3 nibbles pads to 2 bytes.
    std::uint8_t* rle4 = Block({0x03, 0x12, 0x00, 0x03, 0x34, 0x50, 0x00, 0x01});
    pixels = DecodeBmpRle4(rle4, 8, palette.data(), 16, 6, 1, 0);
    ASSERT_NE(pixels, nullptr);
    const std::uint32_t expected[6] = {1, 2, 1, 3, 4, 5};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(PixelAt(pixels, i), expected[i] * 0x01010101u) << i;
    PageFree(pixels);
    indices = ExpandBmpRle4(rle4, 8, 6, 1, 1);
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(indices[0], 0x12);
    EXPECT_EQ(indices[1], 0x13);
    EXPECT_EQ(indices[2], 0x45);
    PageFree(indices);
    PageFree(rle);
}

TEST(PixelConversion, HostileRunLengthDataStaysInsideItsBuffers)
{
    const auto palette = CountingPalette(16);
    // Hand-made attacks: a run past the end, a literal longer than the data,
    // a delta far outside, a truncated escape.
    const std::vector<std::vector<std::uint8_t>> attacks = {
        {0xFF, 0x01, 0xFF, 0x02, 0xFF, 0x03},
        {0x00, 0xFF, 0x01, 0x02},
        {0x00, 0x02, 0xFF, 0xFF, 0x05, 0x01},
        {0x00, 0x02, 0x01},
        {0x00},
        {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x02},
    };
    std::mt19937 random(42);
    std::vector<std::vector<std::uint8_t>> inputs = attacks;
    for (int i = 0; i < 3000; ++i) {
        std::vector<std::uint8_t> data(random() % 64);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(random() % 4 == 0 ? random() % 4 : random());
        inputs.push_back(data);
    }
    for (const auto& data : inputs) {
        for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {7, 5}}) {
            // Exactly sized copies, so that AddressSanitizer sees any stray read.
            std::vector<std::uint8_t> copy(data);
            const std::uint8_t* p = copy.empty() ? nullptr : copy.data();
            auto* src = const_cast<std::uint8_t*>(p);
            for (auto* out :
                 {DecodeBmpRle8(src, copy.size(), palette.data(), 16, w, h, 0),
                  DecodeBmpRle4(src, copy.size(), palette.data(), 16, w, h, 0),
                  ExpandBmpRle8(src, copy.size(), w, h, 0), ExpandBmpRle4(src, copy.size(), w, h, 0)}) {
                if (src) {
                    EXPECT_NE(out, nullptr);
                }
                PageFree(out);
            }
        }
    }
}
