#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"
#include "Filters/KrsCorrection.h"
#include "Filters/KrsResult.h"
#include "Filters/UCF_KRS.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace {

using namespace krs;

// Smooth colour ramps with a little noise: many levels, like a photo.
Picture PhotoLike(int32_t w, int32_t h, int32_t format = 8, int32_t bpp = 4)
{
    Picture p(w, h, format, bpp);
    std::mt19937 rng(5);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* px = p.At(x, y);
            const int32_t r = 20 + x * 210 / w, g = 30 + y * 200 / h, b = 60 + (x + y) * 120 / (w + h);
            const int32_t rgb[3] = {r + static_cast<int32_t>(rng() % 9), g + static_cast<int32_t>(rng() % 9),
                                    b + static_cast<int32_t>(rng() % 9)};
            const int32_t index[3] = {format == 2 ? 0 : 2, 1, format == 2 ? 2 : 0};
            for (int32_t c = 0; c < 3; ++c)
                px[index[c]] = static_cast<uint8_t>(rgb[c]);
            if (bpp == 4)
                px[3] = 0x33;
        }
    return p;
}

struct Krs
{
    ImageDescriptor source;
    std::array<int32_t, 14> block{};
    std::unique_ptr<UtilFilter> facade;

    explicit Krs(Picture& p, Picture* destination = nullptr, int32_t blockBytes = 56)
    {
        source = p.Describe();
        ImageDescriptor d = destination ? destination->Describe() : ImageDescriptor{};
        facade = std::make_unique<UtilFilter>(&source, destination ? &d : nullptr, UCF_ID_KRS, blockBytes,
                                              block.data());
    }
    int32_t Result(std::vector<uint8_t>* out)
    {
        int64_t pair[2] = {};
        const int32_t rc = facade->GetAnalysisResult(pair);
        if (rc == UCF_OK && out)
            out->assign(reinterpret_cast<const uint8_t*>(pair[1]),
                        reinterpret_cast<const uint8_t*>(pair[1]) + pair[0]);
        return rc;
    }
    int32_t Store(std::vector<uint8_t>& result, int64_t size = kResultBytes)
    {
        int64_t pair[2] = {size, static_cast<int64_t>(reinterpret_cast<intptr_t>(result.data()))};
        return facade->SetAnalysisResult(pair);
    }
};

TEST(Krs, AUniformPictureIsRefusedAndItsResultSaysSo)
{
    Picture p(40, 30);
    p.Fill(120);
    Krs krs(p);
    ASSERT_EQ(krs.facade->GetLastResult(), UCF_OK);
    EXPECT_EQ(krs.Result(nullptr), UCF_ERR_NOTANALYSED) << "before any analysis";
    EXPECT_EQ(krs.facade->Execute(nullptr, 1, 0), UCF_ERR_ANALYSIS);
    std::vector<uint8_t> result;
    ASSERT_EQ(krs.Result(&result), UCF_OK);
    ASSERT_EQ(result.size(), 16028u);
    EXPECT_NE(Read32(result.data(), kRefusal), 0);
    const Picture before = p;
    EXPECT_EQ(krs.facade->Execute(nullptr, 2, 0), UCF_ERR_REFUSED);
    EXPECT_TRUE(p.SameRows(before));
}

TEST(Krs, APhotoGivesTheResultLayoutAndTheGridsCounts)
{
    Picture p = PhotoLike(120, 90);
    Krs krs(p);
    ASSERT_EQ(krs.facade->Execute(nullptr, 1, 0), UCF_OK);
    std::vector<uint8_t> r;
    ASSERT_EQ(krs.Result(&r), UCF_OK);
    ASSERT_EQ(r.size(), 16028u);
    EXPECT_EQ(Read32(r.data(), kRadius), 12);
    EXPECT_EQ(Read32(r.data(), kVariant), 1);
    EXPECT_EQ(Read32(r.data(), kEnable), 1);
    EXPECT_EQ(Read32(r.data(), kBaseCurveSwitch), 0);
    EXPECT_EQ(Read32(r.data(), kAfterRequest), 0);
    EXPECT_EQ(Read32(r.data(), kMemorySwitch), 0);
    EXPECT_EQ(Read32(r.data(), kRefusal), 0);

    // Step 1 on a picture this small: every pixel of every row but the last.
    uint32_t expected[4][256] = {};
    uint32_t n = 0;
    for (int32_t y = 0; y < 89; ++y)
        for (int32_t x = 0; x < 120; ++x) {
            const uint8_t* px = p.At(x, y);
            const int32_t lum = (38 * px[2] + 76 * px[1] + 14 * px[0]) >> 7;
            if (lum == 0 || lum == 255)
                continue;
            ++n, ++expected[0][lum], ++expected[1][px[2]], ++expected[2][px[1]], ++expected[3][px[0]];
        }
    EXPECT_EQ(ReadU32(r.data(), kCount), n);
    uint32_t largest = 0;
    for (int32_t k = 0; k < 4; ++k)
        for (int32_t v = 0; v < 256; ++v) {
            ASSERT_EQ(ReadU32(r.data(), kHistograms + 4 * (256 * k + v)), expected[k][v]) << k << " " << v;
            if (v % 2 == 0) {
                ASSERT_EQ(ReadU32(r.data(), kBefore + 4 * (128 * k + v / 2)), expected[k][v]);
                largest = std::max(largest, expected[k][v]);
            }
        }
    EXPECT_EQ(ReadU32(r.data(), kCeiling), std::min(largest, n / 50));
}

TEST(Krs, AStoredResultAppliesWithoutAnalysisAndStripsEqualAWholeApply)
{
    Picture p = PhotoLike(64, 48);
    std::vector<uint8_t> result;
    {
        Krs krs(p);
        ASSERT_EQ(krs.facade->Execute(nullptr, 1, 0), UCF_OK);
        ASSERT_EQ(krs.Result(&result), UCF_OK);
    }
    Write32(result.data(), kMemorySwitch, 1); // the memory-colour filter joins in
    Picture whole(64, 48);
    whole.Fill(0x77);
    {
        Krs krs(p, &whole);
        EXPECT_EQ(krs.Store(result, kResultBytes - 1), UCF_ERR_BADPARAM);
        ASSERT_EQ(krs.Store(result), UCF_OK);
        ASSERT_EQ(krs.facade->Execute(nullptr, 2, 0), UCF_OK);
    }
    EXPECT_FALSE(whole.SameRows(p)) << "the picture was corrected";
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 64; ++x)
            ASSERT_EQ(whole.At(x, y)[3], 0x77) << "alpha untouched";
    for (int32_t lines : {1, 5, 16}) {
        Picture strips(64, 48);
        strips.Fill(0x77);
        Krs krs(p, &strips);
        ASSERT_EQ(krs.Store(result), UCF_OK);
        ASSERT_EQ(krs.facade->Execute(nullptr, 2, lines), UCF_OK);
        EXPECT_TRUE(strips.SameRows(whole)) << "lines " << lines;
    }
    for (int32_t lines : {0, 7}) {
        Picture inPlace = p;
        Krs krs(inPlace);
        ASSERT_EQ(krs.Store(result), UCF_OK);
        ASSERT_EQ(krs.facade->Execute(nullptr, 2, lines), UCF_OK);
        for (int32_t y = 0; y < 48; ++y)
            for (int32_t x = 0; x < 64; ++x)
                ASSERT_EQ(0, std::memcmp(inPlace.At(x, y), whole.At(x, y), 3))
                    << "in place, lines " << lines << " at " << x << "," << y;
    }
}

TEST(Krs, RefusesOtherFormatsBlocksAndApplyWithoutResult)
{
    for (auto [format, bpp] : {std::pair{1, 1}, std::pair{32, 2}, std::pair{64, 6}}) {
        Picture p(8, 8, format, bpp);
        Krs krs(p);
        EXPECT_EQ(krs.facade->Execute(nullptr, 3, 0), UCF_ERR_FORMAT) << format;
    }
    Picture p = PhotoLike(16, 16);
    Krs shortBlock(p, nullptr, 52);
    EXPECT_EQ(shortBlock.facade->GetLastResult(), UCF_ERR_BADPARAM);
    Krs noBlock(p, nullptr, 0);
    EXPECT_EQ(noBlock.facade->GetLastResult(), UCF_ERR_BADPARAM);
    Krs krs(p);
    EXPECT_EQ(krs.facade->Execute(nullptr, 2, 0), UCF_ERR_NOTANALYSED);
}

TEST(Krs, PresetRowsSetTheirSwitches)
{
    const int32_t rows[12][10] = {
        {0, 0, 0, 0, 0, 9, 0, 0, 0, 0}, {3, 3, 3, 3, 3, 9, 0, 0, 0, 0}, {2, 4, 3, 2, 2, 9, 0, 0, 2, 0},
        {4, 2, 3, 4, 4, 9, 2, 2, 0, 0}, {3, 0, 1, 3, 2, 2, 0, 0, 0, 2}, {3, 1, 0, 3, 3, 2, 0, 0, 0, 0},
        {2, 4, 2, 4, 3, 9, 2, 0, 0, 0}, {4, 3, 2, 3, 5, 9, 0, 0, 0, 0}, {5, 3, 3, 4, 5, 9, 0, 0, 0, 0},
        {2, 5, 3, 3, 3, 9, 0, 0, 0, 0}, {3, 3, 3, 4, 4, 9, 0, 0, 0, 4}, {3, 4, 3, 3, 4, 9, 0, 0, 2, 0}};
    for (int32_t preset = 0; preset < 12; ++preset) {
        KrsSettings settings;
        SetKrsDefaults(&settings);
        settings.switches[1] = preset;
        settings.switches[9] = 9; // left alone where a row sets nothing
        KrsCorrection state;
        RunKrsPresetStep(&state, &settings);
        for (int32_t i = 0; i < 10; ++i)
            EXPECT_EQ(settings.switches[4 + i], rows[preset][i]) << "preset " << preset << " word " << 4 + i;
        EXPECT_EQ(state.second[1], preset == 10 ? 10 : 0);
    }
}

TEST(Krs, SceneCodesSetTheirSwitchesTargetsAndFactors)
{
    auto run = [](int32_t code, KrsCorrection* state) {
        KrsSettings s;
        SetKrsDefaults(&s);
        s.switches[1] = 255;
        s.switches[3] = code;
        RunKrsPresetStep(state, &s);
        return s;
    };
    KrsCorrection state;
    KrsSettings s = run(50, &state);
    EXPECT_EQ((std::vector<int32_t>(s.switches + 4, s.switches + 9)), (std::vector<int32_t>{2, 5, 3, 2, 2}));
    EXPECT_EQ(s.switches[12], 2);
    EXPECT_EQ(s.targets[16], 230);
    EXPECT_EQ(s.targets[27], 96);
    EXPECT_EQ(s.targets[28], 75);
    s = run(961, &state);
    EXPECT_EQ(s.switches[4], 30);
    EXPECT_EQ(state.points[1].count, 3);
    EXPECT_EQ(state.points[1].y[2][0], 255);
    EXPECT_EQ(state.points[0].count, 5) << "the first set stays the identity";
    s = run(509, &state);
    EXPECT_EQ(s.switches[12], 255);
    EXPECT_EQ(state.cast[2][1], 10);
    EXPECT_EQ(state.cast[2][2], -5);
    s = run(501, &state);
    EXPECT_EQ(s.switches[0], 0);
    EXPECT_EQ(state.offsets[2], -25);
    s = run(505, &state);
    EXPECT_EQ(state.brightness, -15);
    s = run(12, &state);
    EXPECT_EQ(state.bumps[0], 20);
    EXPECT_EQ(state.bumps[1], -20);
}

TEST(Krs, SwitchWord1Of255KeepsTheStoredRedAndSaturationCorrections)
{
    for (int32_t preset : {255, 1, 11}) {
        KrsSettings s;
        SetKrsDefaults(&s);
        s.switches[1] = preset;
        s.switches[13] = 4;
        s.switches[14] = 4;
        KrsCorrection state;
        RunKrsPresetStep(&state, &s);
        EXPECT_EQ(s.switches[13], preset == 255 ? 4 : 0) << preset;
        EXPECT_EQ(s.switches[14], preset == 255 ? 4 : 0) << preset;
    }
}

TEST(Krs, AfterHistogramsOnlyWhenAskedAndOneForAllChannelsInGreyMode)
{
    Picture p = PhotoLike(50, 40);
    std::vector<uint8_t> result;
    {
        Krs krs(p);
        ASSERT_EQ(krs.facade->Execute(nullptr, 1, 0), UCF_OK);
        ASSERT_EQ(krs.Result(&result), UCF_OK);
    }
    for (int32_t i = kAfter; i < kCeiling; ++i)
        result[i] = static_cast<uint8_t>(i * 7);
    {
        Picture q = p;
        Krs krs(q);
        ASSERT_EQ(krs.Store(result), UCF_OK);
        ASSERT_EQ(krs.facade->Execute(nullptr, 2, 0), UCF_OK);
        std::vector<uint8_t> after;
        ASSERT_EQ(krs.Result(&after), UCF_OK);
        for (int32_t i = kAfter; i < kCeiling; ++i)
            ASSERT_EQ(after[i], static_cast<uint8_t>(i * 7)) << "kept at " << i;
    }
    Write32(result.data(), kAfterRequest, 1);
    Write32(result.data(), kSwitches + 4 * 3, 500);
    Picture q = p;
    Krs krs(q);
    ASSERT_EQ(krs.Store(result), UCF_OK);
    ASSERT_EQ(krs.facade->Execute(nullptr, 2, 0), UCF_OK);
    std::vector<uint8_t> after;
    ASSERT_EQ(krs.Result(&after), UCF_OK);
    uint64_t total = 0;
    for (int32_t k = 1; k < 4; ++k)
        for (int32_t i = 0; i < 128; ++i) {
            const uint32_t v = ReadU32(after.data(), kAfter + 4 * (128 * k + i));
            ASSERT_EQ(v, ReadU32(after.data(), kAfter + 4 * i)) << "channel " << k << " level " << 2 * i;
            total += v;
        }
    EXPECT_GT(total, 0u);
}

TEST(Krs, HostileStoredResultsStayInBoundsAndEnd)
{
    Picture p = PhotoLike(23, 11);
    std::vector<std::vector<uint8_t>> results;
    for (uint8_t fill : {0x00, 0xFF}) // all 0 and all -1
        results.emplace_back(kResultBytes, fill);
    for (int32_t word : {0x7FFFFFFF, static_cast<int32_t>(0x80000000)}) {
        std::vector<uint8_t> r(kResultBytes);
        for (int32_t i = 0; i + 4 <= kResultBytes; i += 4)
            Write32(r.data(), i, word);
        results.push_back(r);
    }
    std::mt19937 rng(2024);
    for (int32_t n = 0; n < 1000; ++n) {
        std::vector<uint8_t> r(kResultBytes);
        for (auto& b : r)
            b = static_cast<uint8_t>(rng());
        if (n % 2 == 0)
            Write32(r.data(), kRefusal, 0);
        results.push_back(r);
    }
    for (size_t i = 0; i < results.size(); ++i) {
        for (bool refused : {true, false}) {
            std::vector<uint8_t> r = results[i];
            if (!refused)
                Write32(r.data(), kRefusal, 0);
            Picture q = p;
            Krs krs(q);
            ASSERT_EQ(krs.Store(r), UCF_OK);
            const int32_t rc = krs.facade->Execute(nullptr, 2, i % 3 == 0 ? 4 : 0);
            ASSERT_TRUE(rc == UCF_OK || rc == UCF_ERR_REFUSED) << i << " gave " << rc;
            if (i >= 4 && refused)
                break; // random results try both only once the refusal word is cleared
        }
    }
}

} // namespace

namespace {

TEST(Krs, BeginApplyHandsTheStoredSharpeningAndMemoryColoursToTheInnerFilters)
{
    Picture p = PhotoLike(40, 30);
    std::vector<uint8_t> result;
    {
        Krs krs(p);
        ASSERT_EQ(krs.facade->Execute(nullptr, 1, 0), UCF_OK);
        ASSERT_EQ(krs.Result(&result), UCF_OK);
    }
    const struct
    {
        int32_t radius, amount, threshold, variant;
        int32_t handed[4];
        int32_t overlap;
    } cases[] = {{7, 5, 3, 0, {7, 20, 3, 0}, 1},
                 {45, 0x7FFFFFFF, -9, 1, {30, 200, 0, 1}, 4},
                 {-3, 0, 40, 2, {0, 0, 30, 2}, 1}};
    for (const auto& c : cases) {
        std::vector<uint8_t> r = result;
        Write32(r.data(), kSwitches + 4 * 1, 255); // no preset
        Write32(r.data(), kSwitches + 4 * 8, 255); // keep the stored sharpening
        Write32(r.data(), kRadius, c.radius);
        Write32(r.data(), kAmount, c.amount);
        Write32(r.data(), kThreshold, c.threshold);
        Write32(r.data(), kVariant, c.variant);
        Write32(r.data(), kMemorySwitch, 1);
        const int32_t memory[10] = {15, 25, -5, 180, 260, 10, 90, 20, 100, 7};
        for (int32_t i = 0; i < 10; ++i)
            Write32(r.data(), kMemoryParameters + 4 * i, memory[i]);
        Picture q = p;
        Krs krs(q);
        ASSERT_EQ(krs.Store(r), UCF_OK);
        int32_t overlap = -1, total = 0;
        ASSERT_EQ(krs.facade->BeginApply(&overlap, &total), UCF_OK);
        EXPECT_EQ(overlap, c.overlap) << c.radius;
        int32_t block[14];
        std::memcpy(block, krs.facade->GetContext()->parameters.get(), sizeof(block));
        for (int32_t i = 0; i < 4; ++i)
            EXPECT_EQ(block[i], c.handed[i]) << "radius " << c.radius << " word " << i;
        for (int32_t i = 0; i < 10; ++i)
            EXPECT_EQ(block[4 + i], memory[i]) << "memory-colour word " << 4 + i;
        EXPECT_EQ(krs.facade->EndApply(), UCF_OK);
    }
}

TEST(Krs, ThePowerTargetBendsTheBaseCurvesOnlyAwayFromAHundred)
{
    for (int32_t power : {100, 0, 200}) {
        KrsSettings s;
        SetKrsDefaults(&s);
        for (int32_t i = 4; i <= 14; ++i)
            s.switches[i] = 0; // every step left out
        s.targets[30] = power;
        KrsCorrection state;
        ASSERT_TRUE(DeriveKrsCorrection(&state, &s, 100, 100));
        for (int32_t k = 0; k < 4; ++k)
            for (int32_t v = 0; v < 256; ++v) {
                const int32_t want = power == 100 ? v : (power == 0 ? (v == 0 ? 0 : 255) : -1);
                if (want >= 0) {
                    ASSERT_EQ(state.base[k][v], want) << "power " << power << " curve " << k << " at " << v;
                }
            }
        if (power == 200) {
            EXPECT_LT(state.base[1][128], 70);
            EXPECT_EQ(state.base[1][255], 255);
        }
    }
}

// Pictures of at least 1000 pixels both ways are sampled every other row and column.
TEST(Krs, LargePicturesAreSampledOnACoarserGrid)
{
    Picture p = PhotoLike(1100, 1003);
    Krs krs(p);
    ASSERT_EQ(krs.facade->Execute(nullptr, 1, 0), UCF_OK);
    std::vector<uint8_t> r;
    ASSERT_EQ(krs.Result(&r), UCF_OK);
    uint32_t luminance[256] = {};
    uint32_t n = 0;
    for (int32_t y = 1; y < 1002; y += 2) // rows 2, 4, ... counted from 1; the last row is skipped
        for (int32_t x = 1; x < 1100; x += 2) {
            const uint8_t* px = p.At(x, y);
            const int32_t lum = (38 * px[2] + 76 * px[1] + 14 * px[0]) >> 7;
            if (lum > 0 && lum < 255)
                ++n, ++luminance[lum];
        }
    EXPECT_EQ(ReadU32(r.data(), kCount), n);
    for (int32_t v = 0; v < 256; ++v)
        ASSERT_EQ(ReadU32(r.data(), kHistograms + 4 * v), luminance[v]) << v;
}

} // namespace

namespace {

TEST(Krs, ADestinationOfAnotherSizeIsRefusedBeforeWriting)
{
    Picture p = PhotoLike(10, 10);
    std::vector<uint8_t> result;
    {
        Picture wide = PhotoLike(90, 70); // enough levels for a result
        Krs krs(wide);
        ASSERT_EQ(krs.facade->Execute(nullptr, 1, 0), UCF_OK);
        ASSERT_EQ(krs.Result(&result), UCF_OK);
    }
    for (auto [w, h] : {std::pair{5, 5}, std::pair{10, 5}, std::pair{11, 10}}) {
        Picture dst(w, h);
        dst.Fill(0x42);
        const Picture before = dst;
        Krs krs(p, &dst);
        ASSERT_EQ(krs.Store(result), UCF_OK);
        EXPECT_EQ(krs.facade->Execute(nullptr, 2, 0), UCF_ERR_GEOMETRY) << w << "x" << h;
        EXPECT_TRUE(dst.SameRows(before));
    }
}

} // namespace

namespace {

// What each scene code sets: switch words (S), targets (T), colour-balance
// bumps (B), offsets (O), contrast (C), brightness (L), second-adjustment
// factors (A), sharpening amount (M).
struct SceneEffect
{
    char kind;
    int32_t index;
    int64_t value;
};

TEST(Krs, SceneCodeTable)
{
    const struct
    {
        int32_t code;
        std::vector<SceneEffect> effects;
    } codes[] = {
        {1, {{'S', 12, 2}, {'T', 16, 230}, {'T', 17, 172}, {'T', 18, 172}}},
        {2, {{'S', 12, 4}, {'T', 16, 243}, {'T', 17, 222}, {'T', 18, 218}}},
        {3, {{'S', 10, 2}, {'T', 8, 0}, {'T', 9, 192}, {'T', 10, 20}}},
        {4, {{'S', 11, 2}, {'T', 12, 0}, {'T', 13, 32}, {'T', 14, 128}}},
        {5, {{'S', 13, 2}}},
        {6, {{'S', 13, 4}, {'T', 20, 192}, {'T', 21, 0}, {'T', 22, 4}}},
        {7, {{'B', 0, 0}, {'B', 1, -4}, {'B', 2, 0}}},
        {8, {{'B', 2, 10}}},
        {9, {{'B', 0, 10}, {'B', 2, -30}}},
        {10, {{'B', 0, 30}, {'B', 2, -10}}},
        {11, {{'B', 0, -10}, {'B', 2, 30}}},
        {51,
         {{'S', 4, 2}, {'S', 6, 3}, {'S', 7, 2}, {'S', 8, 2}, {'S', 12, 2}, {'T', 16, 230}, {'B', 2, 10}}},
        {52, {{'S', 4, 2}, {'S', 12, 2}, {'T', 18, 172}, {'B', 0, 10}, {'B', 2, 0}}},
        {53, {{'S', 4, 2}, {'S', 8, 4}, {'T', 4, 115}, {'T', 5, -5}, {'T', 27, 96}, {'T', 28, 200}}},
        {54, {{'S', 4, 1}, {'S', 8, 2}, {'T', 4, 128}, {'T', 5, -10}, {'T', 28, 75}}},
        {500, {{'S', 0, 0}}},
        {502, {{'C', 0, 16}}},
        {503, {{'L', 0, 15}}},
        {504, {{'L', 0, 30}}},
        {506, {{'L', 0, -30}}},
        {507, {{'A', 0, 20}, {'A', 1, 20}, {'A', 2, 20}, {'A', 3, 20}}},
        {508, {{'M', 0, 30}}},
        {520, {{'T', 27, 160}, {'T', 28, 200}}},
        {521, {{'T', 4, 128}}},
        {522, {{'T', 4, 115}}},
        {523, {{'T', 4, 90}}},
        {524, {{'T', 4, 77}}},
        {525, {{'T', 4, 90}, {'T', 5, 5}, {'T', 6, 4}, {'T', 27, 160}, {'T', 28, 200}}},
        {526, {{'T', 4, 115}, {'T', 5, -5}, {'T', 6, 4}, {'T', 27, 96}, {'T', 28, 75}}},
        {999, {{'S', 0, 1}, {'C', 0, 0}, {'L', 0, 0}}}, // not a code: nothing
    };
    for (const auto& c : codes) {
        KrsSettings s;
        SetKrsDefaults(&s);
        s.switches[1] = 255; // no preset, so only the code acts
        for (int32_t i = 4; i <= 14; ++i)
            s.switches[i] = 255; // and nothing is cleared
        s.switches[3] = c.code;
        KrsCorrection state;
        RunKrsPresetStep(&state, &s);
        for (const SceneEffect& e : c.effects) {
            int64_t got = 0;
            switch (e.kind) {
            case 'S':
                got = s.switches[e.index];
                break;
            case 'T':
                got = s.targets[e.index];
                break;
            case 'B':
                got = state.bumps[e.index];
                break;
            case 'O':
                got = state.offsets[e.index];
                break;
            case 'C':
                got = state.contrast;
                break;
            case 'L':
                got = state.brightness;
                break;
            case 'A':
                got = state.second[e.index];
                break;
            default:
                got = state.amount;
                break;
            }
            EXPECT_EQ(got, e.value) << "code " << c.code << " " << e.kind << e.index;
        }
    }
}

} // namespace
