#include "Dialogs/BarLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(BarLayoutTest, EachToolCodeChecksItsButton)
{
    const struct
    {
        int tool;
        int button;
    } cases[] = {{3, 4}, {4, 3}, {5, 2}, {6, 0}, {7, 1}, {9, -1}, {0, -1}, {-1, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ToolButtonIndex(c.tool), c.button) << "tool " << c.tool;
}

TEST(BarLayoutTest, TheListTakesWhatTheFixedControlsLeave)
{
    const int text = 12, edge = 2;
    const ToolBoxGeometry g = CalcToolBoxGeometry(600, text, edge);
    EXPECT_EQ(g.toolButtons[0], QRect(10, 10, 50, 50));
    EXPECT_EQ(g.toolButtons[4], QRect(218, 10, 50, 50));
    EXPECT_EQ(g.separatorTop, QRect(10, 64, 258, 2));
    EXPECT_EQ(g.smallButtons[0], QRect(10, 70, 34, 34));
    EXPECT_EQ(g.smallButtons[4], QRect(154, 70, 34, 34));
    // From the bottom: information 10 above the client's end, then 4-pixel gaps.
    EXPECT_EQ(g.infoArea, QRect(10, 600 - 10 - 40, 258, 40));
    EXPECT_EQ(g.separatorInfo, QRect(10, 550 - 6, 258, 2));
    EXPECT_EQ(g.readOut, QRect(10, 544 - 4 - 139, 258, 139));
    EXPECT_EQ(g.separatorList, QRect(10, 401 - 6, 258, 2));
    EXPECT_EQ(g.list.top(), 108);
    EXPECT_EQ(g.list.y() + g.list.height(), 395 - 4);
}

TEST(BarLayoutTest, AListLeavingTwiceTheEdgeBelowItsLastRowGrowsOnePixel)
{
    const int text = 12, edge = 2;
    // Height 600 leaves a list of 283 = 5 x 54 + 13 pixels: unchanged.
    EXPECT_EQ(CalcToolBoxGeometry(600, text, edge).list.height(), 283);
    // 9 pixels less leaves 274 = 5 x 54 + 4, twice the edge: one pixel taller.
    EXPECT_EQ(CalcToolBoxGeometry(591, text, edge).list.height(), 275);
    EXPECT_EQ(CalcToolBoxGeometry(592, text, edge).list.height(), 275);
}

TEST(BarLayoutTest, TheFloatingToolBoxStretchesOnlyVertically)
{
    BarSizes sizes{QSize(278, 500), QSize(278, 500), kToolBoxWidth, kToolBoxMinHeight, false};
    const int workArea = 700;
    EXPECT_EQ(CalcDynamicLayout(sizes, 300, LM_LENGTHY, workArea), QSize(278, 377));
    EXPECT_EQ(CalcDynamicLayout(sizes, 900, LM_LENGTHY, workArea), QSize(278, 700));
    EXPECT_EQ(CalcDynamicLayout(sizes, 450, LM_LENGTHY | LM_COMMIT, workArea), QSize(278, 450));
    // A width asked for is never given.
    EXPECT_EQ(CalcDynamicLayout(sizes, 600, 0, workArea), QSize(278, 450));
    EXPECT_EQ(CalcDynamicLayout(sizes, 50, LM_MRUWIDTH, workArea), QSize(278, 450));
    // The docked size stays unless it follows the floating one.
    EXPECT_EQ(sizes.docked, QSize(278, 500));
    sizes.changeDockedSize = true;
    CalcDynamicLayout(sizes, 420, LM_LENGTHY, workArea);
    EXPECT_EQ(sizes.docked, QSize(278, 420));
    EXPECT_EQ(CalcDynamicLayout(sizes, 0, LM_VERTDOCK, workArea), QSize(278, 420));
    EXPECT_EQ(CalcDynamicLayout(sizes, 0, LM_VERTDOCK | LM_STRETCH, workArea), QSize(278, 32767));
    EXPECT_EQ(CalcDynamicLayout(sizes, 0, LM_HORZDOCK | LM_HORZ | LM_STRETCH, workArea), QSize(32767, 420));
}

TEST(BarLayoutTest, EveryHiddenPairTakesItsWidthAndItsButtons)
{
    const struct
    {
        std::array<bool, 4> shown;
        int width;
    } cases[] = {
        {{true, true, true, true}, 394},    {{false, true, true, true}, 318},
        {{false, false, true, true}, 242},  {{true, false, false, false}, 166},
        {{false, false, false, false}, 90},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ModeBarWidth(c.shown), c.width);
        const ModeBarGeometry g = CalcModeBarGeometry(c.shown);
        int buttons = 0, right = 0;
        for (const QRect& r : g.buttons) {
            if (r.isEmpty())
                continue;
            ++buttons;
            right = std::max(right, r.x() + r.width());
        }
        const int pairs = (c.width - 90) / 76;
        EXPECT_EQ(buttons, 2 + 2 * pairs);
        EXPECT_EQ(right, c.width - 6 - (pairs ? 0 : 6)) << c.width;
    }
    const ModeBarGeometry all = CalcModeBarGeometry({true, true, true, true});
    EXPECT_EQ(all.buttons[0], QRect(6, 6, 34, 34));
    EXPECT_EQ(all.buttons[1], QRect(44, 6, 34, 34));
    EXPECT_EQ(all.separator, QRect(82, 6, 2, 34));
    EXPECT_EQ(all.buttons[2], QRect(88, 6, 34, 34));
    EXPECT_EQ(all.buttons[9], QRect(354, 6, 34, 34));
}

TEST(BarLayoutTest, AModeFindsItsButtonAmongTheShownOnes)
{
    const std::array<bool, 4> all{true, true, true, true};
    const std::array<bool, 4> noL{false, true, true, true};
    const std::array<bool, 4> noPostcard{true, false, true, true};
    const struct
    {
        const std::array<bool, 4>* shown;
        int mode;
        int index;
    } cases[] = {
        {&all, 0, 0},
        {&all, 1, 1},
        {&all, 9, 9},
        {&all, 10, -1},
        {&noL, 1, 1},
        {&noL, 4, 2},
        {&noL, 9, 7},
        // A mode of a hidden pair has no button: none is checked in its place.
        {&noL, 2, -1},
        {&noL, 3, -1},
        {&noPostcard, 4, -1},
        {&noPostcard, 5, -1},
        {&noPostcard, 3, 3},
        {&noPostcard, 6, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ModeButtonIndex(c.mode, *c.shown), c.index) << "mode " << c.mode;
}

} // namespace
