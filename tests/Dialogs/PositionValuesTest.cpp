#include "Dialogs/PositionValues.h"
#include "App/PaperModes.h"

#include <gtest/gtest.h>

namespace {

// A page of 1000 x 2000 units with margins 40 left and 30 top.
PositionInput Page(RECT selection, int unit)
{
    PositionInput input;
    input.hasSelection = true;
    input.selection = selection;
    input.paper = SIZE{1000, 2000};
    input.margins = PageMargins{30, 30, 40, 40};
    input.unit = unit;
    return input;
}

TEST(PositionValuesTest, NothingSelectedShowsZerosAndTheSmallestSize)
{
    for (int unit : {0, 1, 2}) {
        PositionInput input;
        input.unit = unit;
        const PositionValues v = CalcPositionValues(input);
        EXPECT_EQ(v.left, 0.0f);
        EXPECT_EQ(v.top, 0.0f);
        EXPECT_EQ(v.right, 0.0f);
        EXPECT_EQ(v.bottom, 0.0f);
        EXPECT_FLOAT_EQ(v.width, 0.01f);
        EXPECT_FLOAT_EQ(v.height, 0.01f);
    }
    PositionInput input;
    input.unit = 2;
    EXPECT_EQ(FormatPositionValues(CalcPositionValues(input), 2).size, "0.01\r\nx\r\n0.01");
    input.unit = 1;
    EXPECT_EQ(FormatPositionValues(CalcPositionValues(input), 1).size, "0.0\r\nx\r\n0.0");
    input.unit = 0;
    const PositionTexts pixels = FormatPositionValues(CalcPositionValues(input), 0);
    EXPECT_EQ(pixels.size, "0\r\nx\r\n0");
    EXPECT_EQ(pixels.left, "0");
    EXPECT_EQ(pixels.bottom, "0");
}

TEST(PositionValuesTest, DistancesRunFromThePapersEdgesAndAddUpToThePaper)
{
    // Item coordinates lie inside the margins: 0,0 is 40,30 on the paper.
    const PositionValues v = CalcPositionValues(Page(RECT{100, 200, 299, 599}, 0));
    EXPECT_EQ(v.left, 140.0f);
    EXPECT_EQ(v.top, 230.0f);
    EXPECT_EQ(v.width, 200.0f);
    EXPECT_EQ(v.height, 400.0f);
    EXPECT_EQ(v.left + v.width + v.right, 1000.0f);
    EXPECT_EQ(v.top + v.height + v.bottom, 2000.0f);
}

TEST(PositionValuesTest, AOneUnitItemIsOneByOne)
{
    const PositionValues v = CalcPositionValues(Page(RECT{10, 10, 10, 10}, 0));
    EXPECT_EQ(v.width, 1.0f);
    EXPECT_EQ(v.height, 1.0f);
    EXPECT_EQ(FormatPositionValues(v, 0).size, "1\r\nx\r\n1");
}

TEST(PositionValuesTest, NegativeMarginsDoNotShiftTheItems)
{
    PositionInput input = Page(RECT{0, 0, 99, 99}, 0);
    input.margins = PageMargins{-42, -72, -36, -36};
    const PositionValues v = CalcPositionValues(input);
    EXPECT_EQ(v.left, 0.0f);
    EXPECT_EQ(v.top, 0.0f);
    EXPECT_EQ(v.right, 900.0f);
}

TEST(PositionValuesTest, TheUnitChangesEveryNumber)
{
    // 360 units are an inch: 25.4 millimetres.
    const RECT selection{320, 330, 679, 1049};
    const PositionTexts pixels = FormatPositionValues(CalcPositionValues(Page(selection, 0)), 0);
    const PositionTexts mm = FormatPositionValues(CalcPositionValues(Page(selection, 1)), 1);
    const PositionTexts inches = FormatPositionValues(CalcPositionValues(Page(selection, 2)), 2);
    EXPECT_EQ(pixels.size, "360\r\nx\r\n720");
    EXPECT_EQ(mm.size, "25.4\r\nx\r\n50.8");
    EXPECT_EQ(inches.size, "1.00\r\nx\r\n2.00");
    EXPECT_EQ(pixels.left, "360");
    EXPECT_EQ(mm.left, "25");
    EXPECT_EQ(inches.left, "1.0");
    EXPECT_EQ(pixels.top, "360");
    EXPECT_EQ(pixels.right, "280");
    EXPECT_EQ(mm.right, "20");
    EXPECT_EQ(inches.right, "0.8");
    EXPECT_EQ(pixels.bottom, "920");
    EXPECT_EQ(inches.bottom, "2.6");
}

TEST(PositionValuesTest, CameraModesMeasureOnTheModesPaperAtItsPrintScale)
{
    // A camera page: 703 x 1023, no margins; one item at 100,200 .. 299,399.
    for (int orientation : {0, 1}) {
        for (int mode = 2; mode <= 9; ++mode) {
            PaperModeRow row{};
            ASSERT_TRUE(GetPaperModeParams(mode, &row));
            PositionInput input;
            input.hasSelection = true;
            input.selection = RECT{100, 200, 299, 399};
            input.paper = orientation ? SIZE{1023, 703} : SIZE{703, 1023};
            input.orientation = orientation;
            input.modeRow = row;
            const PositionValues v = CalcPositionValues(input);
            const RECT unturned{row[10], row[11], row[12], row[13]};
            const RECT paper = orientation ? TurnModeRect(unturned) : unturned;
            const float scale = row[2] / 704.0f;
            EXPECT_NEAR(v.left, (100 - paper.left) * scale, 0.01) << mode;
            EXPECT_NEAR(v.top, (200 - paper.top) * scale, 0.01) << mode;
            EXPECT_NEAR(v.width, 200 * scale, 0.01) << mode;
            EXPECT_NEAR(v.height, 200 * scale, 0.01) << mode;
            EXPECT_NEAR(v.left + v.width + v.right, (paper.right - paper.left) * scale, 0.05) << mode;
            EXPECT_NEAR(v.top + v.height + v.bottom, (paper.bottom - paper.top) * scale, 0.05) << mode;
        }
    }
    // Mode 3, L size with border, portrait: paper 5,5 .. 697,1017 at 1188 / 704.
    PaperModeRow row{};
    GetPaperModeParams(3, &row);
    PositionInput input;
    input.hasSelection = true;
    input.selection = RECT{5, 5, 356, 5};
    input.paper = SIZE{703, 1023};
    input.modeRow = row;
    input.unit = 0;
    const PositionTexts texts = FormatPositionValues(CalcPositionValues(input), 0);
    EXPECT_EQ(texts.left, "0");
    EXPECT_EQ(texts.top, "0");
    EXPECT_EQ(texts.size, "594\r\nx\r\n2");
}

} // namespace
