// Every test program that can write an EFF file stamps it with one fixed
// time, so that two writes of the same picture are the same bytes however
// the seconds fall; a test of the clock itself hands the writer its own.
#include "ImageProcessing/EffFormat.h"

#include <gtest/gtest.h>

namespace {

class FixedEffClock : public CEffClock
{
public:
    EffDateTime Now() const override { return {2026, 5, 17, 14, 30, 15}; }
};

class FixedEffClockEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { SetDefaultEffClock(&m_clock); }
    void TearDown() override { SetDefaultEffClock(nullptr); }

private:
    FixedEffClock m_clock;
};

// Owned by GoogleTest from here on.
[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new FixedEffClockEnvironment);

} // namespace
