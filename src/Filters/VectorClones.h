// Hot loops are compiled twice, for AVX2 and for the baseline processor, and
// the loader picks one (GCC function multiversioning). Other compilers (the
// clang fuzzing build) get the baseline form only, and so does the
// ThreadSanitizer build: the loader runs the picking code before the
// sanitizer's runtime is up, and its instrumented form crashes there.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define FILTER_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
// Integer-only loops gain from 512-bit lanes too; float loops stay off them
// (fused multiply-adds would change their rounding).
#define FILTER_INTEGER_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define FILTER_VECTOR_CLONES
#define FILTER_INTEGER_CLONES
#endif
