#include "Script/HeaderSection.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The margin modes a layout file may store with each paper, every paper and
// every mode.
TEST(MarginAcceptanceTest, EveryPaperAcceptsExactlyItsMarginModes)
{
    const std::set<int> rolls = {6, 7, 8, 9, 10}; // "R89" .. "R5IN"
    const std::set<int> a3 = {4, 5};              // "A3", "A3N"
    const std::set<int> cards = {22, 23};         // "BUSINESSCARD1", "WALLET"
    for (int paper = 0; paper <= 23; ++paper) {
        const bool roll = rolls.count(paper) == 1;
        const bool isA3 = a3.count(paper) == 1;
        const bool card = cards.count(paper) == 1;
        const bool expected[7] = {!roll, !roll, !roll && !isA3 && !card, roll, roll, isA3, card};
        for (int mode = 0; mode <= 6; ++mode)
            EXPECT_EQ(MarginAcceptedForPaper(mode, paper), expected[mode])
                << "paper " << paper << " mode " << mode;
    }
    EXPECT_FALSE(MarginAcceptedForPaper(7, 3));
    EXPECT_FALSE(MarginAcceptedForPaper(-1, 3));
}

} // namespace
