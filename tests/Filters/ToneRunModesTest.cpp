// Every run mode of the tone and colour point filters gives the pixels of one
// whole run: facade-cut strips, client-fed strips, in place and into a
// destination; alpha is never written and a destination of another size is
// refused before anything is written.
#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct ToneCase
{
    const char* name;
    int32_t id;
    std::vector<uint8_t> block;
    int32_t format;
    int32_t bytesPerPixel;
};

template <typename T> std::vector<uint8_t> Bytes(std::initializer_list<T> values)
{
    std::vector<uint8_t> out(values.size() * sizeof(T));
    std::memcpy(out.data(), values.begin(), out.size());
    return out;
}

std::vector<ToneCase> Cases()
{
    const auto contrast = Bytes<int32_t>({20, 60});
    const auto hue = Bytes<int32_t>({10, 70, 40, 0});
    const auto colorize = Bytes<int32_t>({-20, -150, -30, 1});
    const auto level = Bytes<double>({2.0, 3.0});
    return {
        {"mono BGRA", UCF_ID_MONO, {}, 8, 4},
        {"mono ARGB", UCF_ID_MONO, {}, 16, 4},
        {"mono RGB48", UCF_ID_MONO, {}, 64, 6},
        {"contrast BGRA", UCF_ID_SCONTRAST, contrast, 8, 4},
        {"contrast grey", UCF_ID_SCONTRAST, contrast, 1, 1},
        {"contrast grey16", UCF_ID_SCONTRAST, contrast, 32, 2},
        {"hue BGRA", UCF_ID_HUESAT, hue, 8, 4},
        {"hue ARGB colorize", UCF_ID_HUESAT, colorize, 16, 4},
        {"hue RGB48", UCF_ID_HUESAT, hue, 64, 6},
        {"level BGRA", UCF_ID_AUTOLEVEL, level, 8, 4},
        {"level ARGB", UCF_ID_AUTOLEVEL, level, 16, 4},
        {"level grey", UCF_ID_AUTOLEVEL, level, 1, 1},
        {"level RGB48", UCF_ID_AUTOLEVEL, level, 64, 6},
        {"inverse BGRA", UCF_ID_INVS, {}, 8, 4},
    };
}

const void* Block(const ToneCase& c)
{
    return c.block.empty() ? nullptr : c.block.data();
}

int32_t BlockSize(const ToneCase& c)
{
    return static_cast<int32_t>(c.block.size());
}

// The analysis a whole run makes, so that client-fed applies get the same points.
struct HeldResult
{
    std::vector<uint8_t> bytes;
};

HeldResult WholeAnalysis(const ToneCase& c, Picture& src)
{
    HeldResult held;
    if (c.id != UCF_ID_AUTOLEVEL)
        return held;
    ImageDescriptor s = src.Describe();
    UtilFilter filter(&s, nullptr, c.id, BlockSize(c), Block(c));
    EXPECT_EQ(filter.Execute(nullptr, 1, 0), UCF_OK);
    struct
    {
        int64_t size = 0;
        const uint8_t* data = nullptr;
    } r;
    EXPECT_EQ(filter.GetAnalysisResult(&r), UCF_OK);
    if (r.data)
        held.bytes.assign(r.data, r.data + r.size);
    return held;
}

int32_t RunClientFed(const ToneCase& c, Picture& src, Picture& dst, int32_t lines, const HeldResult& held)
{
    ImageDescriptor s = src.Describe();
    ImageDescriptor d = dst.Describe();
    UtilFilter filter(&s, &d, c.id, BlockSize(c), Block(c));
    if (filter.GetLastResult())
        return filter.GetLastResult();
    if (!held.bytes.empty()) {
        struct
        {
            int64_t size;
            const uint8_t* data;
        } r{static_cast<int64_t>(held.bytes.size()), held.bytes.data()};
        if (int32_t rc = filter.SetAnalysisResult(&r))
            return rc;
    }
    int32_t overlap = -1, total = 0;
    if (int32_t rc = filter.BeginApply(&overlap, &total))
        return rc;
    EXPECT_EQ(overlap, 0) << c.name;
    for (int32_t row = 0; row < total; row += lines) {
        const int32_t n = std::min(lines, total - row);
        ImageDescriptor a = s, b = d;
        a.pixels = src.At(0, row);
        a.regionHeight = n;
        b.pixels = dst.At(0, row);
        b.regionHeight = n;
        if (int32_t rc = filter.ApplyStrip(&a, &b, nullptr))
            return rc;
    }
    return filter.EndApply();
}

TEST(ToneRunModes, EveryModeGivesTheWholeRunsPixels)
{
    for (const ToneCase& c : Cases()) {
        Picture src(13, 11, c.format, c.bytesPerPixel, 3);
        src.Randomise(31);
        const HeldResult held = WholeAnalysis(c, src);

        Picture whole(13, 11, c.format, c.bytesPerPixel, 3);
        whole.Fill(0x5A);
        ASSERT_EQ(RunFilter(c.id, src, &whole, Block(c), BlockSize(c)), UCF_OK) << c.name;

        // in place equals into a destination that starts as the source
        Picture inPlace = src, copy = src;
        ASSERT_EQ(RunFilter(c.id, inPlace, nullptr, Block(c), BlockSize(c)), UCF_OK) << c.name;
        ASSERT_EQ(RunFilter(c.id, src, &copy, Block(c), BlockSize(c)), UCF_OK) << c.name;
        EXPECT_TRUE(inPlace.SameRows(copy)) << c.name;

        for (int32_t lines : {1, 4, 10}) {
            Picture cut(13, 11, c.format, c.bytesPerPixel, 3);
            cut.Fill(0x5A);
            ASSERT_EQ(RunFilter(c.id, src, &cut, Block(c), BlockSize(c), nullptr, lines), UCF_OK) << c.name;
            EXPECT_TRUE(cut.SameRows(whole)) << c.name << " strips of " << lines;

            Picture fed(13, 11, c.format, c.bytesPerPixel, 3);
            fed.Fill(0x5A);
            ASSERT_EQ(RunClientFed(c, src, fed, lines, held), UCF_OK) << c.name;
            EXPECT_TRUE(fed.SameRows(whole)) << c.name << " fed strips of " << lines;
        }

        // alpha is neither written into a destination nor changed in place
        if ((c.format == 8 || c.format == 16) && c.id != UCF_ID_INVS) {
            const int32_t alpha = c.format == 8 ? 3 : 0;
            for (int32_t y = 0; y < 11; ++y)
                for (int32_t x = 0; x < 13; ++x) {
                    ASSERT_EQ(whole.At(x, y)[alpha], 0x5A) << c.name;
                    ASSERT_EQ(inPlace.At(x, y)[alpha], src.At(x, y)[alpha]) << c.name;
                }
        }
    }
}

TEST(ToneRunModes, ADestinationOfAnotherSizeIsRefusedBeforeWriting)
{
    for (const ToneCase& c : Cases()) {
        if (c.format != 8)
            continue;
        for (const auto& size : {std::pair{5, 5}, std::pair{10, 11}, std::pair{11, 10}}) {
            Picture src(10, 10), dst(size.first, size.second);
            src.Randomise(32);
            dst.Fill(0x42);
            const Picture before = dst;
            EXPECT_EQ(RunFilter(c.id, src, &dst, Block(c), BlockSize(c)), UCF_ERR_GEOMETRY) << c.name;
            EXPECT_TRUE(dst.SameRows(before)) << c.name;
        }
    }
}

} // namespace
