// Hot loops of the codec are compiled twice, for AVX2 and for the baseline
// processor; the loader picks one at start-up (GCC function multiversioning).
// Not under ThreadSanitizer, whose instrumented picking code would run before
// its runtime is up.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define JPEG_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define JPEG_VECTOR_CLONES
#endif

// Code that runs only where JpegAvx2::Available() holds.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define JPEG_BITS_TARGET __attribute__((target("avx2,bmi,bmi2,lzcnt")))
#else
#define JPEG_BITS_TARGET
#endif
