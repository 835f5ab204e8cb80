// The blend of a masked drawing, one row at a time, for drawings that bring
// their own rows (the transparency view).
#pragma once

#include <cstdint>

// dst = (src x (255 - m) + dst x m) / 255 per colour byte, m being byte 2 of
// each mask pixel; dst keeps its fourth byte, and m = 255 leaves it alone.
void BlendMaskedRow(const std::uint32_t* src, const std::uint32_t* mask, std::uint32_t* dst, int count);
