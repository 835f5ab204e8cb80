#include "FilterTestSupport.h"
#include "Filters/FilterRegistry.h"
#include "Filters/UCF_NEWMEMC.h"

#include <gtest/gtest.h>

#include <array>

namespace {

struct MemoryColour
{
    int32_t amounts[3] = {0, 0, 0};
    int32_t hue[2] = {0, 360};
    int32_t saturation[2] = {0, 100};
    int32_t value[2] = {0, 100};

    std::array<int32_t, 13> Block() const
    {
        return {0,
                0,
                0,
                0,
                amounts[0],
                amounts[1],
                amounts[2],
                hue[0],
                hue[1],
                saturation[0],
                saturation[1],
                value[0],
                value[1]};
    }
};

int32_t Correct(Picture& p, const MemoryColour& m, Picture* destination = nullptr)
{
    const auto block = m.Block();
    return RunFilter(UCF_ID_NEWMEMC, p, destination, block.data(), sizeof(block));
}

// One BGRA pixel through the filter; its alpha is 0x77 and must stay so.
std::array<uint8_t, 3> CorrectOne(uint8_t r, uint8_t g, uint8_t b, const MemoryColour& m)
{
    Picture p(1, 1);
    uint8_t* px = p.At(0, 0);
    px[0] = b, px[1] = g, px[2] = r, px[3] = 0x77;
    EXPECT_EQ(Correct(p, m), UCF_OK);
    EXPECT_EQ(px[3], 0x77);
    return {px[2], px[1], px[0]};
}

TEST(MemoryColour, HueTableWrapsAndRampsOverFiftyDegrees)
{
    uint8_t t[361];
    UCF_NEWMEMC::BuildHueTable(350, 10, t);
    EXPECT_EQ(t[0], 255);
    EXPECT_EQ(t[360], 255);
    EXPECT_EQ(t[355], 255);
    EXPECT_EQ(t[10], 255);
    EXPECT_EQ(t[30], 153);
    EXPECT_EQ(t[330], 153);
    EXPECT_EQ(t[60], 0);
    EXPECT_EQ(t[300], 0);
    EXPECT_EQ(t[180], 0);

    UCF_NEWMEMC::BuildHueTable(100, 100, t); // one degree, ramps on both sides
    EXPECT_EQ(t[100], 255);
    EXPECT_EQ(t[99], 249);
    EXPECT_EQ(t[101], 249);
    EXPECT_EQ(t[50], 0);

    UCF_NEWMEMC::BuildHueTable(200, 120, t); // ramps that meet keep the larger value
    EXPECT_EQ(t[0], 255);
    EXPECT_EQ(t[150], 102);
    EXPECT_EQ(t[160], 51);
    EXPECT_EQ(t[170], 102);
}

TEST(MemoryColour, RangeTablesKeepThePartsBytes)
{
    uint8_t t[101];
    UCF_NEWMEMC::BuildRangeTable(40, 60, t);
    const struct
    {
        int32_t index;
        uint8_t value;
    } cases[] = {{0, 0},    {19, 0},   {20, 0},   {30, 127}, {39, 242}, {40, 255}, {60, 255},
                 {61, 243}, {62, 230}, {70, 128}, {79, 13},  {80, 0},   {81, 0},   {100, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(t[c.index], c.value) << c.index;
}

TEST(MemoryColour, ShiftsHueSaturationAndValueOfFullMembers)
{
    MemoryColour turn;
    turn.amounts[0] = 120; // degrees at full membership
    turn.hue[0] = turn.hue[1] = 0;
    EXPECT_EQ(CorrectOne(255, 0, 0, turn), (std::array<uint8_t, 3>{0, 255, 0}));

    MemoryColour darker;
    darker.amounts[2] = -50; // percent of full scale
    EXPECT_EQ(CorrectOne(255, 255, 255, darker), (std::array<uint8_t, 3>{128, 128, 128}));

    MemoryColour paler;
    paler.amounts[1] = -100;
    EXPECT_EQ(CorrectOne(200, 40, 40, paler), (std::array<uint8_t, 3>{200, 200, 200}));
}

TEST(MemoryColour, ColoursOutsideTheRangeStayUnchanged)
{
    MemoryColour sky;
    sky.amounts[0] = 40;
    sky.amounts[1] = 40;
    sky.hue[0] = 190, sky.hue[1] = 250;
    sky.saturation[0] = 30, sky.saturation[1] = 100;
    EXPECT_EQ(CorrectOne(250, 30, 20, sky), (std::array<uint8_t, 3>{250, 30, 20})) << "red is far from sky";
    EXPECT_NE(CorrectOne(40, 90, 220, sky), (std::array<uint8_t, 3>{40, 90, 220})) << "blue is sky";
    // Grey has saturation 0, under S1 - 20: no membership, whatever its level.
    for (uint8_t v : {0, 1, 127, 128, 254, 255})
        EXPECT_EQ(CorrectOne(v, v, v, sky), (std::array<uint8_t, 3>{v, v, v})) << int{v};
}

TEST(MemoryColour, RedWithBlueAboveGreenWrapsItsHue)
{
    // (255, 0, 128): red is largest and blue exceeds green, hue about 330.
    MemoryColour pink;
    pink.amounts[0] = 60;
    pink.hue[0] = 320, pink.hue[1] = 340;
    const auto out = CorrectOne(255, 0, 128, pink);
    EXPECT_EQ(out[0], 255);
    EXPECT_LT(out[1], 128) << "turned towards red and orange";
    EXPECT_EQ(out[2], 0);
    MemoryColour everything;
    everything.amounts[0] = -400; // a turn past zero
    everything.amounts[2] = 1000;
    EXPECT_EQ(CorrectOne(255, 0, 128, everything), (std::array<uint8_t, 3>{212, 0, 255}));
}

TEST(MemoryColour, RefusesNoAmountsAndShortBlocks)
{
    Picture p(3, 3);
    p.Randomise(2);
    const Picture before = p;
    EXPECT_EQ(Correct(p, MemoryColour{}), UCF_ERR_BADPARAM);
    EXPECT_TRUE(p.SameRows(before));
    MemoryColour m;
    m.amounts[0] = 10;
    const auto block = m.Block();
    EXPECT_EQ(RunFilter(UCF_ID_NEWMEMC, p, nullptr, block.data(), 48), UCF_ERR_BADPARAM);
    EXPECT_EQ(RunFilter(UCF_ID_NEWMEMC, p, nullptr, nullptr, 0), UCF_ERR_BADPARAM);
    EXPECT_TRUE(p.SameRows(before));
}

TEST(MemoryColour, RangesOutsideTheirScalesAreClamped)
{
    MemoryColour wide;
    wide.amounts[2] = -50;
    wide.hue[0] = -100, wide.hue[1] = 900;
    wide.saturation[0] = -5, wide.saturation[1] = 400;
    wide.value[0] = -1, wide.value[1] = 101;
    EXPECT_EQ(CorrectOne(255, 255, 255, wide), (std::array<uint8_t, 3>{128, 128, 128}));
}

TEST(MemoryColour, RowsInlineEqualTheStripPass)
{
    MemoryColour m;
    m.amounts[0] = 35, m.amounts[1] = -20, m.amounts[2] = 15;
    m.hue[0] = 270, m.hue[1] = 80;
    m.saturation[0] = 10, m.saturation[1] = 80;
    m.value[0] = 20, m.value[1] = 95;
    Picture src(37, 6, 2, 3); // R, G, B rows are already packed
    src.Randomise(31);
    Picture whole(37, 6, 2, 3);
    ASSERT_EQ(Correct(src, m, &whole), UCF_OK);

    ImageDescriptor s = src.Describe();
    const auto block = m.Block();
    UtilFilter facade(&s, nullptr, UCF_ID_NEWMEMC, sizeof(block), block.data());
    ASSERT_EQ(facade.BeginApply(nullptr, nullptr), UCF_OK);
    Picture rows = src;
    for (int32_t y = 0; y < 6; ++y)
        facade.GetContext()->filter->ProcessRowInline(rows.At(0, y), 37);
    EXPECT_TRUE(rows.SameRows(whole));
    EXPECT_EQ(facade.EndApply(), UCF_OK);
}

TEST(MemoryColour, ReportsProgressPerRowAndStops)
{
    MemoryColour m;
    m.amounts[0] = 10;
    Picture p(4, 5);
    p.Randomise(3);
    EventRecorder recorder;
    const auto block = m.Block();
    ASSERT_EQ(RunFilter(UCF_ID_NEWMEMC, p, nullptr, block.data(), sizeof(block), &recorder), UCF_OK);
    EXPECT_EQ(recorder.percents, (std::vector<int32_t>{20, 40, 60, 80, 100}));
    EventRecorder stopper;
    stopper.refuseEvent = FE_PROGRESS;
    EXPECT_EQ(RunFilter(UCF_ID_NEWMEMC, p, nullptr, block.data(), sizeof(block), &stopper),
              UCF_ERR_CANCELLED);
    EXPECT_EQ(stopper.Count(FE_PROGRESS), 1);
}

TEST(ColourManagement, LeavesEveryFormatItTakesUnchanged)
{
    for (auto [format, bpp] : {std::pair{64, 6}, std::pair{8, 4}, std::pair{2, 3}}) {
        Picture p(6, 4, format, bpp);
        p.Randomise(8);
        const Picture before = p;
        EXPECT_EQ(RunFilter(UCF_ID_CMM, p, nullptr, nullptr, 0), UCF_OK) << format;
        EXPECT_TRUE(p.SameRows(before));
        Picture dst(6, 4, format, bpp);
        dst.Fill(9);
        const Picture held = dst;
        EXPECT_EQ(RunFilter(UCF_ID_CMM, p, &dst, nullptr, 0), UCF_OK);
        EXPECT_TRUE(dst.SameRows(held)) << "the destination keeps what it held";
    }
    Picture grey(3, 3, 1, 1);
    EXPECT_EQ(RunFilter(UCF_ID_CMM, grey, nullptr, nullptr, 0), UCF_ERR_FORMAT);
}

} // namespace
