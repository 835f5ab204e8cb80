#include "Script/ScriptNumber.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(ScriptNumber, IntegersAreRangeChecked)
{
    EXPECT_EQ(ParseScriptInt("0"), 0);
    EXPECT_EQ(ParseScriptInt("-5"), -5);
    EXPECT_EQ(ParseScriptInt(""), 0);
    EXPECT_EQ(ParseScriptInt("-"), 0);
    EXPECT_EQ(ParseScriptInt("007"), 7);
    EXPECT_EQ(ParseScriptInt("2147483647"), 2147483647);
    EXPECT_EQ(ParseScriptInt("-2147483648"), INT32_MIN);
    EXPECT_FALSE(ParseScriptInt("2147483648"));
    EXPECT_FALSE(ParseScriptInt("-2147483649"));
    EXPECT_FALSE(ParseScriptInt("99999999999999999999"));
    EXPECT_FALSE(ParseScriptInt("1.5"));
    EXPECT_FALSE(ParseScriptInt("5-"));
    EXPECT_FALSE(ParseScriptInt("+5"));
    EXPECT_FALSE(ParseScriptInt(" 5"));
    EXPECT_FALSE(ParseScriptInt("N"));
}

TEST(ScriptNumber, DecimalsReadLikeTheFilesWriteThem)
{
    EXPECT_EQ(ParseScriptDouble("2.10"), 2.1);
    EXPECT_EQ(ParseScriptDouble("02.10"), 2.1);
    EXPECT_EQ(ParseScriptDouble("-1.5"), -1.5);
    EXPECT_EQ(ParseScriptDouble("1.2.3"), 1.2); // a second point ends the number
    EXPECT_EQ(ParseScriptDouble("."), 0.0);
    EXPECT_FALSE(ParseScriptDouble("abc"));
    EXPECT_FALSE(ParseScriptDouble("1e5"));
    EXPECT_FALSE(ParseScriptDouble(std::string(400, '9'))); // beyond a double
}

TEST(ScriptNumber, FixedTwoDecimalsIgnoreTheLocale)
{
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // a comma locale, where installed
    EXPECT_EQ(FormatFixed2(2.1, 5), "02.10");
    EXPECT_EQ(FormatFixed2(1.0, 5), "01.00");
    EXPECT_EQ(FormatFixed2(0.01, 5), "00.01");
    EXPECT_EQ(FormatFixed2(1.1, 4), "1.10");
    EXPECT_EQ(FormatFixed2(1.2, 4), "1.20");
    EXPECT_EQ(FormatFixed2(-1.5, 6), "-01.50");
    EXPECT_EQ(FormatFixed2(123.456, 5), "123.46");
    EXPECT_FALSE(FormatFixed2(1.0 / 0.0, 5));
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace
