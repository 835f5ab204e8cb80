// The forward transform with AVX2 integer vectors, for processors that have
// them; exactly the results of the portable code.
#pragma once

#include <cstdint>

namespace JpegDct {

bool HasAvx2();
void ForwardAvx2(const int16_t* samples, int stride, int32_t coefficients[64]);

} // namespace JpegDct
