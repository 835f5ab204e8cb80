// The widest vector instructions the kernels may use: what the processor has,
// capped by the environment variable ZAV_CPU_CAP (scalar, sse2, avx2, avx512)
// or by a test, so that every path can be run on one machine. The one home of
// this choice for the filters and the editor's image kernels alike. Filters may
// run from static constructors, before the processor has been probed.
#pragma once

namespace FilterCpu {

enum class Level : int {
    Scalar = 0,
    Sse2 = 1,
    Avx2 = 2,
    Avx512 = 3, // AVX-512 F, BW, VL, DQ and CD (x86-64-v4)
};

// The level the processor offers, probed once.
Level ProcessorLevel();
// The processor's level capped by ZAV_CPU_CAP or SetCap; checked per call, so
// a cap set later takes effect at the next call.
Level ActiveLevel();
// Caps every later dispatch (tests); ResetCap returns to the environment's cap.
void SetCap(Level cap);
void ResetCap();
// "scalar", "sse2", "avx2", "avx512"; false for any other text.
bool ParseLevel(const char* text, Level* level);
const char* LevelName(Level level);

inline bool Sse2()
{
    return ActiveLevel() >= Level::Sse2;
}

inline bool Avx2()
{
    return ActiveLevel() >= Level::Avx2;
}

// 512-bit byte and word operations on 128- and 256-bit vectors too.
inline bool Avx512BwVl()
{
    return ActiveLevel() >= Level::Avx512;
}

// 512-bit byte permutes across the whole vector.
bool Avx512Vbmi();

} // namespace FilterCpu
