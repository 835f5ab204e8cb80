#include "Filters/CpuFeatures.h"
#include "Filters/ResizeKernels.h"
#include "SimdPathSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using FilterCpu::Level;

TEST(CpuFeatures, CapNamesParseToTheirLevelsAndNothingElseParses)
{
    struct Case
    {
        const char* text;
        bool parses;
        Level level;
    };
    const Case cases[] = {
        {"scalar", true, Level::Scalar}, {"sse2", true, Level::Sse2},    {"avx2", true, Level::Avx2},
        {"avx512", true, Level::Avx512}, {"AVX2", false, Level::Scalar}, {"avx-512", false, Level::Scalar},
        {"", false, Level::Scalar},      {"avx", false, Level::Scalar},  {nullptr, false, Level::Scalar},
    };
    for (const Case& c : cases) {
        Level level = Level::Avx2; // untouched unless the text parses
        EXPECT_EQ(FilterCpu::ParseLevel(c.text, &level), c.parses) << (c.text ? c.text : "(null)");
        EXPECT_EQ(level, c.parses ? c.level : Level::Avx2) << (c.text ? c.text : "(null)");
    }
    for (const Level level : simdtest::kEveryLevel) {
        Level back = Level::Scalar;
        ASSERT_TRUE(FilterCpu::ParseLevel(FilterCpu::LevelName(level), &back));
        EXPECT_EQ(back, level);
    }
}

TEST(CpuFeatures, ACapLowersTheActiveLevelButNeverRaisesItAboveTheProcessor)
{
    const Level processor = FilterCpu::ProcessorLevel();
    for (const Level cap : simdtest::kEveryLevel) {
        simdtest::ScopedCap scoped(cap);
        const Level expected = cap < processor ? cap : processor;
        EXPECT_EQ(FilterCpu::ActiveLevel(), expected) << FilterCpu::LevelName(cap);
        EXPECT_EQ(FilterCpu::Avx2(), expected >= Level::Avx2) << FilterCpu::LevelName(cap);
        EXPECT_EQ(FilterCpu::Avx512BwVl(), expected >= Level::Avx512) << FilterCpu::LevelName(cap);
        if (expected < Level::Avx512) {
            EXPECT_FALSE(FilterCpu::Avx512Vbmi()) << FilterCpu::LevelName(cap);
        }
    }
}

TEST(CpuFeatures, TheEnvironmentCapIsReadAgainWhenATestsCapIsLifted)
{
    const char* saved = std::getenv("ZAV_CPU_CAP");
    const std::string previous = saved ? saved : "";
    ASSERT_EQ(::setenv("ZAV_CPU_CAP", "scalar", 1), 0);
    FilterCpu::ResetCap();
    EXPECT_EQ(FilterCpu::ActiveLevel(), Level::Scalar);
    {
        simdtest::ScopedCap cap(Level::Avx512);
        EXPECT_EQ(FilterCpu::ActiveLevel(), FilterCpu::ProcessorLevel());
    }
    EXPECT_EQ(FilterCpu::ActiveLevel(), Level::Scalar);
    // An unknown name caps nothing.
    ASSERT_EQ(::setenv("ZAV_CPU_CAP", "fastest", 1), 0);
    FilterCpu::ResetCap();
    EXPECT_EQ(FilterCpu::ActiveLevel(), FilterCpu::ProcessorLevel());
    if (saved)
        ::setenv("ZAV_CPU_CAP", previous.c_str(), 1);
    else
        ::unsetenv("ZAV_CPU_CAP");
    FilterCpu::ResetCap();
}

TEST(CpuFeatures, TheResizeKernelsFollowTheCap)
{
    {
        simdtest::ScopedCap cap(Level::Sse2);
        EXPECT_EQ(BilinearRows4::Supported(), ResizePath::PerPixel);
    }
    {
        simdtest::ScopedCap cap(Level::Avx2);
        EXPECT_EQ(BilinearRows4::Supported(),
                  FilterCpu::ProcessorLevel() >= Level::Avx2 ? ResizePath::Avx2 : ResizePath::PerPixel);
    }
}
