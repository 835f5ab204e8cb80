#include "Core/ErrorCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

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

TEST(ErrorCheck, ATrailKeepsWhereItsChecksFailedOldestFirst)
{
    const auto fail = [](auto check) {
        try {
            check();
        } catch (int) {
        } catch (enumErrorID) {
        }
    };
    fail([] { BoolCheck(0, 0); }); // before the trail: not its concern
    const FailedCheckTrail trail;
    EXPECT_EQ(trail.Count(), 0u);
    EXPECT_TRUE(trail.Kept().empty());

    const int first = __LINE__ + 1;
    fail([] { NullCheck(nullptr, 0); });
    fail([] { BoolCheck(1, 0); }); // a passing check leaves no trace
    const int second = __LINE__ + 1;
    fail([] { BoolCheck(0, ErrorIdSilent); });
    ASSERT_EQ(trail.Count(), 2u);
    const std::vector<FailedCheck> kept = trail.Kept();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].line, first);
    EXPECT_EQ(kept[1].line, second);
    EXPECT_NE(std::string(kept[0].file).find("ErrorCheckTest.cpp"), std::string::npos);

    // Only the latest are kept; the count still tells them all.
    int last = 0;
    for (std::size_t i = 0; i < FailedCheckTrail::kKept + 3; ++i) {
        last = __LINE__ + 1;
        fail([] { BoolCheck(0, 0); });
    }
    EXPECT_EQ(trail.Count(), FailedCheckTrail::kKept + 5);
    const std::vector<FailedCheck> latest = trail.Kept();
    ASSERT_EQ(latest.size(), FailedCheckTrail::kKept);
    EXPECT_EQ(latest.back().line, last);
}

TEST(ErrorCheck, EachThreadKeepsItsOwnTrail)
{
    const FailedCheckTrail trail;
    std::thread other([] {
        try {
            BoolCheck(0, 0);
        } catch (int) {
        }
    });
    other.join();
    EXPECT_EQ(trail.Count(), 0u);
}
