// Every run mode of the sharpening and colour filters gives the pixels of one
// whole run: facade-cut strips, client-fed strips, in place and into a
// destination; alpha is never written and a destination of another size is
// refused before anything is written.
#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct FilterCase
{
    const char* name;
    int32_t id;
    std::vector<int32_t> block;
    int32_t format;
    int32_t bytesPerPixel;
    bool writes = true; // false: the run leaves a destination as it was
};

std::vector<FilterCase> Cases()
{
    std::vector<int32_t> memoryColour(13, 0);
    // a broad range around orange, every shift on
    const int32_t colour[] = {25, 30, -20, 300, 60, 10, 90, 5, 100};
    std::copy(std::begin(colour), std::end(colour), memoryColour.begin() + 4);
    return {
        {"memory colour BGRA", UCF_ID_NEWMEMC, memoryColour, 8, 4},
        {"memory colour ARGB", UCF_ID_NEWMEMC, memoryColour, 16, 4},
        {"memory colour RGB", UCF_ID_NEWMEMC, memoryColour, 2, 3},
        {"sharpening BGRA radius 10", UCF_ID_USM, {10, 150, 2, 0}, 8, 4},
        {"sharpening BGR radius 30 thinned", UCF_ID_USM, {30, 300, 0, 1}, 4, 3},
        {"sharpening ARGB radius 22", UCF_ID_USM, {22, 90, 1, 0}, 16, 4},
        {"sharpening grey radius 5", UCF_ID_USM, {5, 250, 0, 0}, 1, 1},
        {"sharpening RGB48 radius 17", UCF_ID_USM, {17, 200, 1, 0}, 64, 6},
        {"sharpening grey16 radius 9", UCF_ID_USM, {9, 200, 0, 0}, 32, 2},
        {"colour management BGRA", UCF_ID_CMM, {}, 8, 4, false},
        {"colour management RGB48", UCF_ID_CMM, {}, 64, 6, false},
    };
}

const void* Block(const FilterCase& c)
{
    return c.block.empty() ? nullptr : c.block.data();
}

int32_t BlockSize(const FilterCase& c)
{
    return static_cast<int32_t>(c.block.size() * sizeof(int32_t));
}

// Feeds the strips by hand: the first carries the overlap, the others only
// their own rows, the last every row still to come out.
int32_t RunClientFed(const FilterCase& c, Picture& src, Picture& dst, int32_t lines)
{
    ImageDescriptor s = src.Describe();
    ImageDescriptor d = dst.Describe();
    UtilFilter filter(&s, &d, c.id, BlockSize(c), Block(c));
    if (filter.GetLastResult())
        return filter.GetLastResult();
    int32_t overlap = -1, total = 0;
    if (int32_t rc = filter.BeginApply(&overlap, &total))
        return rc;
    int32_t sourceRow = 0, outputRow = 0;
    while (outputRow < total) {
        int32_t out = std::min(lines, total - outputRow);
        const int32_t in = std::min(outputRow == 0 ? out + std::max(overlap, 0) : out, total - sourceRow);
        if (sourceRow + in == total)
            out = total - outputRow; // the strip with the last source rows takes every output row left
        ImageDescriptor a = s, b = d;
        a.pixels = src.At(0, sourceRow);
        a.regionHeight = in;
        b.pixels = dst.At(0, outputRow);
        b.regionHeight = out;
        int32_t remaining = 0;
        if (int32_t rc = filter.ApplyStrip(&a, &b, &remaining))
            return rc;
        sourceRow += in;
        outputRow += out;
    }
    return filter.EndApply();
}

bool AlphaIs(const Picture& p, const Picture& expected, int32_t alphaIndex)
{
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x)
            if (p.At(x, y)[alphaIndex] != expected.At(x, y)[alphaIndex])
                return false;
    return true;
}

TEST(RunModes, StripsInPlaceAndClientFedEqualAWholeRun)
{
    for (const FilterCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        Picture src(23, 19, c.format, c.bytesPerPixel, 2);
        src.Randomise(17);
        Picture whole(23, 19, c.format, c.bytesPerPixel);
        whole.Fill(0x5A);
        const Picture untouched = whole;
        ASSERT_EQ(RunFilter(c.id, src, &whole, Block(c), BlockSize(c)), UCF_OK);
        const int32_t alpha = c.format == 8 ? 3 : (c.format == 16 ? 0 : -1);
        if (alpha >= 0) {
            EXPECT_TRUE(AlphaIs(whole, untouched, alpha)) << "alpha written";
        }

        const Picture& expectedInPlace = c.writes ? whole : src;
        Picture inPlace = src;
        ASSERT_EQ(RunFilter(c.id, inPlace, nullptr, Block(c), BlockSize(c)), UCF_OK);
        if (alpha >= 0) {
            EXPECT_TRUE(AlphaIs(inPlace, src, alpha)) << "alpha written in place";
        }
        for (int32_t y = 0; y < 19; ++y)
            for (int32_t x = 0; x < 23; ++x)
                for (int32_t k = 0; k < c.bytesPerPixel; ++k)
                    if (k != alpha) {
                        ASSERT_EQ(inPlace.At(x, y)[k], expectedInPlace.At(x, y)[k])
                            << "in place at " << x << "," << y;
                    }

        for (int32_t lines : {1, 4, 7, 19, 40}) {
            SCOPED_TRACE("lines " + std::to_string(lines));
            Picture strips(23, 19, c.format, c.bytesPerPixel);
            strips.Fill(0x5A);
            ASSERT_EQ(RunFilter(c.id, src, &strips, Block(c), BlockSize(c), nullptr, lines), UCF_OK);
            EXPECT_TRUE(strips.SameRows(whole)) << "facade-cut strips";
            Picture fed(23, 19, c.format, c.bytesPerPixel);
            fed.Fill(0x5A);
            ASSERT_EQ(RunClientFed(c, src, fed, lines), UCF_OK);
            EXPECT_TRUE(fed.SameRows(whole)) << "client-fed strips";
            Picture stripsInPlace = src;
            ASSERT_EQ(RunFilter(c.id, stripsInPlace, nullptr, Block(c), BlockSize(c), nullptr, lines),
                      UCF_OK);
            EXPECT_TRUE(stripsInPlace.SameRows(inPlace)) << "strips in place";
        }
    }
}

TEST(RunModes, ADestinationOfAnotherSizeIsRefusedBeforeWriting)
{
    for (const FilterCase& c : Cases()) {
        for (auto [w, h] : {std::pair{5, 5}, std::pair{10, 5}, std::pair{5, 10}, std::pair{11, 10}}) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(w) + "x" + std::to_string(h));
            Picture src(10, 10, c.format, c.bytesPerPixel);
            src.Randomise(5);
            Picture dst(w, h, c.format, c.bytesPerPixel);
            dst.Fill(0x42);
            const Picture before = dst;
            EXPECT_EQ(RunFilter(c.id, src, &dst, Block(c), BlockSize(c)), UCF_ERR_GEOMETRY);
            EXPECT_TRUE(dst.SameRows(before));
        }
    }
}

} // namespace
