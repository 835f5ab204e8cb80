// Runs a test through each vector path: the levels a parameterised test takes,
// the cap that forces one for a scope, and the skip for a level the processor
// lacks.
#pragma once

#include "Filters/CpuFeatures.h"

#include <gtest/gtest.h>

#include <string>

namespace simdtest {

inline const FilterCpu::Level kEveryLevel[] = {FilterCpu::Level::Scalar, FilterCpu::Level::Sse2,
                                               FilterCpu::Level::Avx2, FilterCpu::Level::Avx512};

// Caps the dispatch for its lifetime, then returns to the environment's cap.
class ScopedCap
{
public:
    explicit ScopedCap(FilterCpu::Level level) { FilterCpu::SetCap(level); }
    ~ScopedCap() { FilterCpu::ResetCap(); }
    ScopedCap(const ScopedCap&) = delete;
    ScopedCap& operator=(const ScopedCap&) = delete;
};

inline std::string LevelParamName(const testing::TestParamInfo<FilterCpu::Level>& info)
{
    return FilterCpu::LevelName(info.param);
}

} // namespace simdtest

// In a test body: skips the test, saying why, when the processor lacks `level`.
#define SKIP_UNLESS_PROCESSOR_HAS(level)                                                                     \
    do {                                                                                                     \
        if (FilterCpu::ProcessorLevel() < (level))                                                           \
            GTEST_SKIP() << "this processor has no " << FilterCpu::LevelName(level) << " path (it offers "   \
                         << FilterCpu::LevelName(FilterCpu::ProcessorLevel()) << ")";                        \
    } while (false)
