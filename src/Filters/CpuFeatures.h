// The processor features the filters' vector paths need, probed once. Filters
// may run from static constructors, before the processor has been probed.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__)
namespace FilterCpu {

inline bool Avx2()
{
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return has;
}

// 512-bit byte and word operations on 128- and 256-bit vectors too.
inline bool Avx512BwVl()
{
    static const bool has =
        (__builtin_cpu_init(), __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl"));
    return has;
}

// 512-bit byte permutes across the whole vector.
inline bool Avx512Vbmi()
{
    static const bool has =
        (__builtin_cpu_init(), __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi"));
    return has;
}

} // namespace FilterCpu
#endif
