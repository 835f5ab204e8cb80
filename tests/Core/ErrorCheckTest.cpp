#include "Core/ErrorCheck.h"

#include <gtest/gtest.h>

TEST(ErrorCheck, PassingChecks)
{
    int x = 0;
    EXPECT_EQ(NullCheck(&x, 0), 1);
    EXPECT_EQ(BoolCheck(2, 0), 1); // any non-zero condition passes
    EXPECT_EQ(BoolCheck(-1, ErrorIdReported), 1);
    EXPECT_EQ(NullCheck(&x, ErrorIdSilent), 1);
}

TEST(ErrorCheck, IdTypesNeverCatchEachOther)
{
    // An enumErrorID must pass a catch (int) and reach its own handler.
    auto throwsEnum = [] {
        try {
            BoolCheck(0, ErrorIdSilent);
        } catch (int) {
            return false;
        }
        return true;
    };
    EXPECT_THROW(throwsEnum(), enumErrorID);

    auto throwsInt = [] {
        try {
            NullCheck(nullptr, 7);
        } catch (enumErrorID) {
            return false;
        }
        return true;
    };
    try {
        throwsInt();
        FAIL() << "nothing thrown";
    } catch (int id) {
        EXPECT_EQ(id, 7);
    }
}

TEST(ErrorCheck, ThrowsTheGivenIdByValue)
{
    try {
        BoolCheck(0, ErrorIdCancelled);
        FAIL() << "nothing thrown";
    } catch (int id) {
        EXPECT_EQ(id, 7);
    }
    try {
        NullCheck(nullptr, ErrorIdReported);
        FAIL() << "nothing thrown";
    } catch (enumErrorID id) {
        EXPECT_EQ(id, ErrorIdReported);
    }
}
