// Hot loops are compiled twice, for AVX2 and for the baseline processor, and
// the loader picks one (GCC function multiversioning). Other compilers (the
// clang fuzzing build) get the baseline form only.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define FILTER_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define FILTER_VECTOR_CLONES
#endif
