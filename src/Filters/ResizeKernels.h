// The bilinear resize on 4-byte pixels, as the vertical blend of two
// horizontal blends: fy * (BR fx + B (1024 - fx)) is BR wBR + B wB exactly.
#pragma once

#include <cstdint>

// out[4 i + c] = P (1024 - fx) + R fx for each destination column i.
void ResizeBlendColumns(const uint8_t* row, const int32_t* columns, const int32_t* rights,
                        const int32_t* fractions, int32_t width, int32_t* out);
// Each sample ((bottom fy) >> 20) + ((top (1024 - fy)) >> 20); the bytes under
// keepMask keep the destination's value.
void ResizeBlendRows(const int32_t* top, const int32_t* bottom, int32_t fy, int32_t width, uint32_t keepMask,
                     uint8_t* out);
