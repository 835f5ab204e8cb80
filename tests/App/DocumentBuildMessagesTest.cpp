#include "App/DocumentBuildMessages.h"
#include "Core/PaperRules.h"

#include <gtest/gtest.h>

namespace {

// A built page's paper is reported unless its display name is known and the
// editor offers its margin mode there: every paper and every mode.
TEST(PaperOfferedTest, APageIsOfferedExactlyWhenNamedAndItsModeOffered)
{
    for (int paper = -1; paper <= 24; ++paper) {
        for (int mode = -1; mode <= 7; ++mode) {
            EXPECT_EQ(IsPaperOffered("name", paper, mode), IsMarginModeOffered(paper, mode))
                << "paper " << paper << " mode " << mode;
            EXPECT_FALSE(IsPaperOffered("", paper, mode)) << "paper " << paper << " mode " << mode;
        }
    }
    // The pairs the editor does not offer although a file may carry them.
    EXPECT_FALSE(IsPaperOffered("A6", 1, 2));
    EXPECT_FALSE(IsPaperOffered("4x6", 2, 0));
    EXPECT_FALSE(IsPaperOffered("WALLET", 23, 1));
    EXPECT_TRUE(IsPaperOffered("A3", 4, 5));
}

} // namespace
