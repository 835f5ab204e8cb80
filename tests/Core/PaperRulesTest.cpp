#include "Core/PaperRules.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const std::set<int> kRolls = {6, 7, 8, 9, 10}; // "R89" .. "R5IN"
const std::set<int> kA3 = {4, 5};              // "A3", "A3N"
const std::set<int> kCards = {22, 23};         // "BUSINESSCARD1", "WALLET"

bool In(const std::set<int>& set, int value)
{
    return set.count(value) == 1;
}

// The margin modes a layout file may store with each paper, every paper and
// every mode.
TEST(PaperRulesTest, EveryPaperAcceptsExactlyItsMarginModes)
{
    for (int paper = -1; paper <= 24; ++paper) {
        const bool roll = In(kRolls, paper);
        const bool isA3 = In(kA3, paper);
        const bool card = In(kCards, paper);
        const bool expected[7] = {!roll, !roll, !roll && !isA3 && !card, roll, roll, isA3, card};
        for (int mode = 0; mode <= 6; ++mode)
            EXPECT_EQ(IsMarginModeAccepted(mode, paper), expected[mode])
                << "paper " << paper << " mode " << mode;
        EXPECT_FALSE(IsMarginModeAccepted(7, paper));
        EXPECT_FALSE(IsMarginModeAccepted(-1, paper));
    }
}

// What the editor offers: the wizard's areas of each paper and the modes
// they give; a paper without a text offers nothing.
TEST(PaperRulesTest, EveryPaperOffersExactlyItsAreasAndMarginModes)
{
    const auto offered = [](int paper) -> std::set<int> {
        if (paper < 0 || paper > 23 || paper == 11)
            return {};
        if (paper == 1) // "A6"
            return {0, 1};
        if (paper == 2) // "4x6"
            return {1};
        if (In(kRolls, paper))
            return {3, 4};
        if (In(kCards, paper))
            return {0, 6};
        if (In(kA3, paper))
            return {0, 1, 5};
        return {0, 1, 2};
    };
    for (int paper = -1; paper <= 24; ++paper) {
        const std::set<int> modes = offered(paper);
        for (int mode = -1; mode <= 7; ++mode)
            EXPECT_EQ(IsMarginModeOffered(paper, mode), In(modes, mode))
                << "paper " << paper << " mode " << mode;
        for (int area = kAreaStandard; area <= kAreaRollPaper; ++area) {
            const bool some = In(modes, MarginModeOfArea(area, paper, false)) ||
                              In(modes, MarginModeOfArea(area, paper, true));
            EXPECT_EQ(IsAreaOffered(paper, area), some) << "paper " << paper << " area " << area;
        }
    }
}

// Whatever the editor offers, the layout files can carry and read back.
TEST(PaperRulesTest, WhatIsOfferedIsAccepted)
{
    for (int paper = -1; paper <= 24; ++paper)
        for (int mode = -1; mode <= 7; ++mode)
            if (IsMarginModeOffered(paper, mode)) {
                EXPECT_TRUE(IsMarginModeAccepted(mode, paper)) << "paper " << paper << " mode " << mode;
            }
}

TEST(PaperRulesTest, AreasAndMarginModesCorrespond)
{
    struct Case
    {
        int area;
        int paper;
        bool autoCutter;
        int mode;
    };
    const Case cases[] = {
        {kAreaMaximum, 3, false, 0},
        {kAreaStandard, 3, true, 1},
        {kAreaBorderless, 0, false, 2},
        {kAreaBorderless, 4, false, 5},
        {kAreaBorderless, 5, true, 5},
        {kAreaBorderless, 23, false, 6},
        {kAreaRollPaper, 7, false, 3},
        {kAreaRollPaper, 7, true, 4},
        {-1, 3, false, -1},
        {4, 3, false, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MarginModeOfArea(c.area, c.paper, c.autoCutter), c.mode) << c.area << " on " << c.paper;
        if (c.mode >= 0) {
            EXPECT_EQ(AreaOfMarginMode(c.mode), c.area) << c.mode;
        }
    }
    EXPECT_EQ(AreaOfMarginMode(-1), -1);
    EXPECT_EQ(AreaOfMarginMode(7), -1);
}

} // namespace
