// Automatic white level: black and white points from the histograms, the level
// tables, and results a client stores or reads.
#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"
#include "Filters/PixelLayout.h"
#include "Filters/UCF_AUTOLEVEL.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

struct ResultBlock
{
    int64_t size = 0;
    const void* data = nullptr;
};

std::array<double, 2> Percents(double low, double high)
{
    return {low, high};
}

// Red spans `lo`..`hi` along the row, green is flat, blue already spans 0..255.
Picture Ramp(int32_t lo, int32_t hi)
{
    Picture p(256, 2);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 256; ++x) {
            p.At(x, y)[2] = static_cast<uint8_t>(lo + x * (hi - lo) / 255);
            p.At(x, y)[1] = 90;
            p.At(x, y)[0] = static_cast<uint8_t>(x);
        }
    return p;
}

std::array<uint32_t, 8> Analyse(Picture& p, const std::array<double, 2>& percents)
{
    ImageDescriptor s = p.Describe();
    UtilFilter filter(&s, nullptr, UCF_ID_AUTOLEVEL, 16, percents.data());
    EXPECT_EQ(filter.GetLastResult(), UCF_OK);
    EXPECT_EQ(filter.Execute(nullptr, 1, 0), UCF_OK);
    ResultBlock r;
    EXPECT_EQ(filter.GetAnalysisResult(&r), UCF_OK);
    std::array<uint32_t, 8> words{};
    EXPECT_EQ(r.size, 32);
    if (r.size == 32 && r.data)
        std::memcpy(words.data(), r.data, 32);
    return words;
}

TEST(AutoLevel, ZeroPercentFindsTheDarkestAndBrightestLevels)
{
    Picture p = Ramp(50, 200);
    const auto w = Analyse(p, Percents(0, 0));
    EXPECT_EQ(w[0], 50u);
    EXPECT_EQ(w[1], 200u);
    EXPECT_EQ(w[2], 0u); // flat green
    EXPECT_EQ(w[3], 255u);
    EXPECT_EQ(w[4], 0u);
    EXPECT_EQ(w[5], 255u);
    EXPECT_EQ(w[6], 0u);
    EXPECT_EQ(w[7], 0u);
}

TEST(AutoLevel, AChannelIsStretchedAndFlatOrFullOnesKept)
{
    Picture p = Ramp(50, 200);
    Picture original = p;
    const auto percents = Percents(0, 0);
    ASSERT_EQ(RunFilter(UCF_ID_AUTOLEVEL, p, nullptr, percents.data(), 16), UCF_OK);
    for (int32_t x = 0; x < 256; ++x) {
        const int32_t r = original.At(x, 0)[2];
        ASSERT_EQ(p.At(x, 0)[2], (r - 50) * 255 / 150) << x;
        ASSERT_EQ(p.At(x, 0)[1], 90);
        ASSERT_EQ(p.At(x, 0)[0], x);
        ASSERT_EQ(p.At(x, 0)[3], original.At(x, 0)[3]);
    }
    EXPECT_EQ(p.At(0, 0)[2], 0);
    EXPECT_EQ(p.At(255, 0)[2], 255);
}

TEST(AutoLevel, OnePercentOf5000PixelsNeedsMoreThan50)
{
    Picture p(100, 50, 1, 1);
    p.Fill(200);
    // 50 pixels at 10 are not more than 1 %; the 51st, at 11, is
    for (int32_t i = 0; i < 50; ++i)
        p.At(i, 0)[0] = 10;
    p.At(50, 0)[0] = 11;
    for (int32_t i = 0; i < 51; ++i)
        p.At(i, 1)[0] = 250;
    p.At(51, 1)[0] = 240;
    const auto w = Analyse(p, Percents(1, 1));
    EXPECT_EQ(w[6], 11u);
    EXPECT_EQ(w[7], 250u);
    EXPECT_EQ(w[0], 0u);
}

TEST(AutoLevel, FindPointsOnSixteenBitCounts)
{
    std::vector<uint64_t> h(65536, 0);
    h[1000] = 10;
    h[40000] = 10;
    uint32_t lo = 0, hi = 0;
    UCF_AUTOLEVEL::FindPoints(h.data(), 65536, 20, 0, 0, &lo, &hi);
    EXPECT_EQ(lo, 1000u);
    EXPECT_EQ(hi, 40000u);
    std::vector<uint64_t> flat(65536, 0);
    flat[7] = 20;
    UCF_AUTOLEVEL::FindPoints(flat.data(), 65536, 20, 10, 10, &lo, &hi);
    EXPECT_EQ(lo, 0u);
    EXPECT_EQ(hi, 65535u);
}

TEST(AutoLevel, SixteenBitHistogramsColourAndGrey)
{
    Picture colour(4, 1, 64, 6);
    const uint16_t reds[4] = {1000, 2000, 3000, 40000};
    for (int32_t x = 0; x < 4; ++x) {
        std::memcpy(colour.At(x, 0), &reds[x], 2);
        const uint16_t g = 500, b = static_cast<uint16_t>(100 * x);
        std::memcpy(colour.At(x, 0) + 2, &g, 2);
        std::memcpy(colour.At(x, 0) + 4, &b, 2);
    }
    auto w = Analyse(colour, Percents(0, 0));
    EXPECT_EQ(w[0], 1000u);
    EXPECT_EQ(w[1], 40000u);
    EXPECT_EQ(w[2], 0u);
    EXPECT_EQ(w[3], 65535u);
    EXPECT_EQ(w[4], 0u);
    EXPECT_EQ(w[5], 300u);

    Picture grey(3, 1, 32, 2);
    const uint16_t greys[3] = {7, 9, 60000};
    for (int32_t x = 0; x < 3; ++x)
        std::memcpy(grey.At(x, 0), &greys[x], 2);
    w = Analyse(grey, Percents(0, 0));
    EXPECT_EQ(w[6], 7u);
    EXPECT_EQ(w[7], 60000u);
    const auto percents = Percents(0, 0);
    ASSERT_EQ(RunFilter(UCF_ID_AUTOLEVEL, grey, nullptr, percents.data(), 16), UCF_OK);
    uint16_t v[3];
    for (int32_t x = 0; x < 3; ++x)
        std::memcpy(&v[x], grey.At(x, 0), 2);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[1], static_cast<uint16_t>(int64_t{2} * 65535 / (60000 - 7)));
    EXPECT_EQ(v[2], 65535);
}

TEST(AutoLevel, StoredAndMissingResults)
{
    Picture p(4, 1);
    p.Randomise(10);
    ImageDescriptor s = p.Describe();
    const auto percents = Percents(0, 0);
    UtilFilter filter(&s, nullptr, UCF_ID_AUTOLEVEL, 16, percents.data());
    ASSERT_EQ(filter.GetLastResult(), UCF_OK);
    // nothing held: 0 and the argument left as it was
    ResultBlock untouched{-7, &p};
    EXPECT_EQ(filter.GetAnalysisResult(&untouched), UCF_OK);
    EXPECT_EQ(untouched.size, -7);
    EXPECT_EQ(untouched.data, &p);
    EXPECT_EQ(filter.BeginApply(nullptr, nullptr), UCF_ERR_NOTANALYSED);
    EXPECT_EQ(filter.Execute(nullptr, 2, 0), UCF_ERR_NOTANALYSED);

    const uint32_t words[8] = {100, 100, 0, 255, 0, 255, 0, 0};
    ResultBlock shortBlock{31, words};
    EXPECT_EQ(filter.SetAnalysisResult(&shortBlock), UCF_ERR_BADPARAM);
    ResultBlock noData{32, nullptr};
    EXPECT_EQ(filter.SetAnalysisResult(&noData), UCF_ERR_BADPARAM);
    ResultBlock block{32, words};
    ASSERT_EQ(filter.SetAnalysisResult(&block), UCF_OK);
    ResultBlock back;
    ASSERT_EQ(filter.GetAnalysisResult(&back), UCF_OK);
    ASSERT_EQ(back.size, 32);
    EXPECT_EQ(0, std::memcmp(back.data, words, 32));

    // red's stored lo = hi = 100: 0 below, full from 100 on; the others unchanged
    Picture q(3, 1);
    const uint8_t reds[3] = {99, 100, 101};
    for (int32_t x = 0; x < 3; ++x) {
        q.At(x, 0)[2] = reds[x];
        q.At(x, 0)[1] = static_cast<uint8_t>(x * 50);
        q.At(x, 0)[0] = static_cast<uint8_t>(x * 70);
    }
    ImageDescriptor qs = q.Describe();
    UtilFilter stored(&qs, nullptr, UCF_ID_AUTOLEVEL, 0, nullptr);
    ASSERT_EQ(stored.GetLastResult(), UCF_OK);
    ASSERT_EQ(stored.SetAnalysisResult(&block), UCF_OK);
    ASSERT_EQ(stored.Execute(nullptr, 2, 0), UCF_OK);
    EXPECT_EQ(q.At(0, 0)[2], 0);
    EXPECT_EQ(q.At(1, 0)[2], 255);
    EXPECT_EQ(q.At(2, 0)[2], 255);
    EXPECT_EQ(q.At(2, 0)[1], 100);
    EXPECT_EQ(q.At(2, 0)[0], 140);
}

TEST(AutoLevel, LevelTablesForHostilePoints)
{
    std::vector<uint8_t> t(256);
    UCF_AUTOLEVEL::BuildLevels(200, 100, 256, t.data()); // lo > hi
    EXPECT_EQ(t[199], 0);
    EXPECT_EQ(t[200], 255);
    UCF_AUTOLEVEL::BuildLevels(0xFFFFFFFFu, 0xFFFFFFFFu, 256, t.data());
    EXPECT_EQ(t[255], 0);
    UCF_AUTOLEVEL::BuildLevels(0, 0xFFFFFFFFu, 256, t.data());
    EXPECT_EQ(t[255], 0); // 255 x 255 / (2^32 - 1)
    std::vector<uint16_t> w(65536);
    UCF_AUTOLEVEL::BuildLevels(0, 65535, 65536, w.data());
    for (int32_t i = 0; i < 65536; ++i)
        ASSERT_EQ(w[i], i);
}

// The 8-bit filter as its steps state it: one histogram per colour sample,
// the points and tables, each colour sample mapped through its table.
void NaiveAutoLevel(const Picture& source, Picture& expected, const std::array<double, 2>& percents)
{
    ImageDescriptor d = const_cast<Picture&>(source).Describe();
    PixelLayout layout;
    ASSERT_EQ(DecodePixelFormat(&d, &layout), UCF_OK);
    const int32_t channels[3] = {layout.red, layout.green, layout.blue};
    const int32_t count = source.format == UCF_FMT_GRAY8 ? 1 : 3;
    const int64_t pixels = int64_t{source.width} * source.height;
    for (int32_t k = 0; k < count; ++k) {
        uint32_t histogram[256] = {};
        for (int32_t y = 0; y < source.height; ++y)
            for (int32_t x = 0; x < source.width; ++x)
                ++histogram[source.At(x, y)[channels[k]]];
        uint32_t lo = 0, hi = 0;
        UCF_AUTOLEVEL::FindPoints(histogram, 256, pixels, percents[0], percents[1], &lo, &hi);
        uint8_t table[256];
        UCF_AUTOLEVEL::BuildLevels(lo, hi, 256, table);
        for (int32_t y = 0; y < source.height; ++y)
            for (int32_t x = 0; x < source.width; ++x)
                expected.At(x, y)[channels[k]] = table[source.At(x, y)[channels[k]]];
    }
}

// Widths around the vector sizes of every 8-bit layout, padded rows, in place
// and into a destination whose alpha must survive.
TEST(AutoLevel, EightBitLayoutsMatchThePlainHistogramAndTables)
{
    const struct
    {
        int32_t format, bytesPerPixel;
    } layouts[] = {{1, 1}, {2, 3}, {4, 3}, {8, 4}, {16, 4}};
    const std::array<double, 2> settings[] = {{0.5, 0.5}, {0, 0}, {10, 3}};
    for (const auto& layout : layouts)
        for (int32_t width : {1, 5, 21, 22, 64, 65, 100, 191, 257})
            for (int32_t padding : {0, 7})
                for (const auto& percents : settings) {
                    Picture src(width, 5, layout.format, layout.bytesPerPixel, padding);
                    std::mt19937 rng(static_cast<uint32_t>(width * 31 + layout.format + padding));
                    // A narrow band, so the points fall inside it and the tables stretch.
                    for (auto& b : src.bytes)
                        b = static_cast<uint8_t>(40 + rng() % 150);
                    Picture expected = src;
                    NaiveAutoLevel(src, expected, percents);
                    const std::string name = "format " + std::to_string(layout.format) + " width " +
                                             std::to_string(width) + " padding " + std::to_string(padding) +
                                             " low " + std::to_string(percents[0]);

                    Picture inPlace = src;
                    ASSERT_EQ(RunFilter(UCF_ID_AUTOLEVEL, inPlace, nullptr, percents.data(), 16), UCF_OK);
                    EXPECT_TRUE(inPlace.SameRows(expected)) << name;

                    Picture destination(width, 5, layout.format, layout.bytesPerPixel, padding);
                    destination.Fill(0xA5);
                    Picture wanted = destination;
                    NaiveAutoLevel(src, wanted, percents);
                    // NaiveAutoLevel maps src's samples into wanted; the rest stays 0xA5.
                    ASSERT_EQ(RunFilter(UCF_ID_AUTOLEVEL, src, &destination, percents.data(), 16), UCF_OK);
                    EXPECT_TRUE(destination.SameRows(wanted)) << name;
                    EXPECT_EQ(destination.bytes, wanted.bytes) << name << ": padding written";
                }
}

TEST(AutoLevel, BlocksAreChecked)
{
    Picture p(2, 2);
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    const struct
    {
        const char* name;
        std::array<double, 2> percents;
        int32_t size;
        int32_t expected;
    } cases[] = {
        {"fine", {0.5, 0.5}, 16, UCF_OK},
        {"ends", {0, 100}, 16, UCF_OK},
        {"short", {0.5, 0.5}, 15, UCF_ERR_BADPARAM},
        {"negative", {-0.1, 0.5}, 16, UCF_ERR_BADPARAM},
        {"above 100", {0.5, 100.5}, 16, UCF_ERR_BADPARAM},
        {"not a number", {nan, 0}, 16, UCF_ERR_BADPARAM},
        {"infinite", {0, inf}, 16, UCF_ERR_BADPARAM},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunFilter(UCF_ID_AUTOLEVEL, p, nullptr, c.percents.data(), c.size), c.expected) << c.name;
}

} // namespace
