// The bilinear resize on 4-byte pixels: each sample is
// ((fy (BR fx + B (1024 - fx))) >> 20) + (((1024 - fy) (R fx + P (1024 - fx))) >> 20),
// which is the weighted form with the four products wP, wR, wB, wBR exactly.
#pragma once

#include <cstdint>

// One destination row from source rows top and bottom; weights[i] holds
// (fx << 16) | (1024 - fx) of column i. Bytes under keepMask keep their value.
void ResizeBilinearRow(const uint8_t* top, const uint8_t* bottom, const int32_t* columns,
                       const int32_t* rights, const int32_t* weights, int32_t width, int32_t fy,
                       uint32_t keepMask, uint8_t* out);
