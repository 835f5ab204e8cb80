#include <gtest/gtest.h>

#include "Core/PaperRules.h"

// Linking this program is the check; the paper rules it runs are the ones the
// two libraries used to define each on their own.
TEST(LinkAll, TheRollPaperRulesKeepTheirTwoReadings)
{
    EXPECT_FALSE(IsScriptRollPaper(5));
    EXPECT_TRUE(IsScriptRollPaper(10));
    EXPECT_FALSE(IsScriptRollPaper(11));
    EXPECT_TRUE(IsPageTableRollPaper(11));
    EXPECT_FALSE(IsPageTableRollPaper(12));
}
