#include "Layout/PaperTable.h"

#include <gtest/gtest.h>

namespace {

struct PaperCase
{
    int index, orientation, roll, width, height;
};

TEST(PaperTableTest, SizesByOrientationAndRollLength)
{
    const PaperCase cases[] = {
        {6, 0, 1000, 1261, 999},  {6, 1, 1000, 999, 1261},  {6, 0, 400, 1261, 499},
        {6, 0, 15841, 1261, 499}, {11, 0, 500, 1440, 499},  {3, 0, 1000, 2976, 4209},
        {3, 1, 0, 4209, 2976},    {24, 0, 0, 0, 0},         {-1, 0, 0, 0, 0},
        {23, 0, 0, 765, 1219},    {0, 1, 9999, 2097, 1417}, {10, 0, 15840, 1800, 15839},
    };
    for (const PaperCase& c : cases) {
        const SIZE size = GetPaperSizeFromTable(c.index, c.orientation, c.roll);
        EXPECT_EQ(size.cx, c.width) << c.index << " " << c.orientation << " " << c.roll;
        EXPECT_EQ(size.cy, c.height) << c.index << " " << c.orientation << " " << c.roll;
    }
}

TEST(PaperTableTest, TheRollLengthCountsFrom500To15840Inclusive)
{
    // Outside the range the roll row keeps its own height (499).
    const PaperCase cases[] = {
        {7, 0, 499, 1417, 499},     {7, 0, 500, 1417, 499},     {7, 0, 501, 1417, 500},
        {7, 0, 15839, 1417, 15838}, {7, 0, 15840, 1417, 15839}, {7, 0, 15841, 1417, 499},
        {7, 1, 15840, 15839, 1417}, {12, 0, 3000, 2976, 8418},
    };
    for (const PaperCase& c : cases) {
        const SIZE size = GetPaperSizeFromTable(c.index, c.orientation, c.roll);
        EXPECT_EQ(size.cx, c.width) << c.index << " " << c.orientation << " " << c.roll;
        EXPECT_EQ(size.cy, c.height) << c.index << " " << c.orientation << " " << c.roll;
    }
}

TEST(PaperTableTest, MarginsTurnWithTheOrientation)
{
    EXPECT_EQ(GetModeMargins(1, 0), (PageMargins{42, 198, 42, 42}));
    EXPECT_EQ(GetModeMargins(1, 1), (PageMargins{42, 42, 42, 198}));
    EXPECT_EQ(GetModeMargins(2, 1), (PageMargins{-36, -36, -42, -72}));
    EXPECT_EQ(GetModeMargins(3, 0), (PageMargins{0, 0, -36, -36}));
    EXPECT_EQ(GetModeMargins(3, 1), (PageMargins{-36, -36, 0, 0}));
    EXPECT_EQ(GetModeMargins(6, 1), (PageMargins{-26, -26, -36, -50}));
    EXPECT_EQ(GetModeMargins(7, 0), (PageMargins{}));
    EXPECT_EQ(GetModeMargins(-1, 1), (PageMargins{}));
}

TEST(PaperTableTest, EveryMarginModeInBothOrientations)
{
    struct MarginRow
    {
        int mode;
        PageMargins portrait, landscape;
    };
    const MarginRow rows[] = {
        {0, {42, 42, 42, 42}, {42, 42, 42, 42}},         {1, {42, 198, 42, 42}, {42, 42, 42, 198}},
        {2, {-42, -72, -36, -36}, {-36, -36, -42, -72}}, {3, {0, 0, -36, -36}, {-36, -36, 0, 0}},
        {4, {-36, -36, -36, -36}, {-36, -36, -36, -36}}, {5, {-42, -72, -50, -50}, {-50, -50, -42, -72}},
        {6, {-36, -50, -26, -26}, {-26, -26, -36, -50}},
    };
    for (const MarginRow& row : rows) {
        EXPECT_EQ(GetModeMargins(row.mode, 0), row.portrait) << "mode " << row.mode;
        EXPECT_EQ(GetModeMargins(row.mode, 1), row.landscape) << "mode " << row.mode;
    }
}

TEST(PaperTableTest, PrintableRectOfBorderedAndBorderlessPages)
{
    EXPECT_EQ(CalcPrintableRect(2976, 4209, 0, GetModeMargins(1, 0)), (RECT{3, 3, 2885, 3962}));
    EXPECT_EQ(CalcPrintableRect(4209, 2976, 1, GetModeMargins(1, 1)), (RECT{3, 7, 3962, 2889}));
    EXPECT_EQ(CalcPrintableRect(2976, 4209, 0, GetModeMargins(4, 0)), (RECT{0, 0, 3048, 4281}));
    EXPECT_EQ(CalcPrintableRect(703, 1023, 0, PageMargins{}), (RECT{0, 0, 703, 1023}));
}

TEST(PaperTableTest, ZoomSteps)
{
    struct ZoomCase
    {
        float from;
        bool in;
        float to;
    };
    const ZoomCase cases[] = {
        {0.5f, true, 0.6333333f},
        {0.5f, false, 0.45f},
        {1.0f, true, 1.0f},
        {5.0f, true, 1.0f},
        {0.06666667f, false, 0.06666667f},
        {5.0f, false, 1.0f},
        {0.0f, true, 0.06666667f},
        {0.13333334f, false, 0.06666667f},
        {0.2f, true, 0.26666668f},
        {1.0f, false, 0.8166667f},
    };
    for (const ZoomCase& c : cases)
        EXPECT_FLOAT_EQ(NextZoomStep(c.from, c.in), c.to) << c.from << (c.in ? " in" : " out");
}

} // namespace
