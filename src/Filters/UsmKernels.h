// The sharpener's integer blur kernels: one row per radius 0..30, fifteen
// coefficients weighing the samples at offsets (|dx|, |dy|) as an unordered
// pair, and the shift that divides by their total weight.
#pragma once

#include <cstdint>

constexpr int32_t kUsmMaxRadius = 30;
constexpr int32_t kUsmCoefficients = 15;

struct UsmKernel
{
    uint8_t c[kUsmCoefficients];
    int32_t shift;
};

// The kernel of a radius (clamped to 0..30); `thinned` selects the sparser rows
// of radii 15 to 30.
const UsmKernel& GetUsmKernel(int32_t radius, bool thinned);
// Half width of the window of a radius (clamped to 0..30): 1 to 4.
int32_t UsmHalfWidth(int32_t radius);
// Index of the coefficient for the offsets (a, b), in either order.
constexpr int32_t UsmCoefficientIndex(int32_t a, int32_t b)
{
    return a <= b ? b * (b + 1) / 2 + a : a * (a + 1) / 2 + b;
}
