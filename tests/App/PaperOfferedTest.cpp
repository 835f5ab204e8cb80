#include "App/DocumentBuildMessages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The margin modes a built page may have on each paper, every paper and every
// mode; anything else is reported to the user.
TEST(PaperOfferedTest, EveryPaperOffersExactlyItsMarginModes)
{
    const std::set<int> plain = {0, 1, 2, 5};
    const std::set<int> roll = {3, 4};
    const std::set<int> card = {0, 6};
    auto offered = [&](int paper) -> std::set<int> {
        switch (paper) {
        case 1: // "A6"
            return {0, 1};
        case 2: // "4x6"
            return {1};
        case 6: // "R89" .. "R5IN"
        case 7:
        case 8:
        case 9:
        case 10:
            return roll;
        case 22: // "BUSINESSCARD1", "WALLET"
        case 23:
            return card;
        default:
            return plain;
        }
    };
    for (int paper = 0; paper <= 23; ++paper) {
        if (paper == 11)
            continue; // no name, never a page's paper
        for (int mode = 0; mode <= 6; ++mode)
            EXPECT_EQ(IsPaperOffered("name", paper, mode), offered(paper).count(mode) == 1)
                << "paper " << paper << " mode " << mode;
    }
    // A paper without a display name is never offered.
    for (int mode = 0; mode <= 6; ++mode)
        EXPECT_FALSE(IsPaperOffered("", 3, mode)) << mode;
}

} // namespace
