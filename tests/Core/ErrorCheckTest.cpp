#include "Core/ErrorCheck.h"

#include <gtest/gtest.h>

TEST(ErrorCheck, PassingChecks)
{
    int x = 0;
    EXPECT_EQ(NullCheck(&x, 0), 1);
    EXPECT_NO_THROW(BoolCheck(2, 0));
    EXPECT_NO_THROW(BoolCheck(1, ErrorIdReported));
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
