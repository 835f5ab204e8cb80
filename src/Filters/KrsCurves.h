// The tone-curve machinery of the automatic photo correction: its own integer
// curve fit through control points, the prime-logarithm table and the power
// table built from it.
#pragma once

#include <cstdint>

constexpr int32_t kKrsMaxPoints = 5;

// A curve through up to five control points with increasing x. Fit scales
// the y values by 1000000 and keeps them with the slope terms; values are
// formed in 64 bits, so stored or hostile points cannot overflow.
struct KrsCurve
{
    int32_t count = 0;
    int32_t x[kKrsMaxPoints] = {};
    int64_t y[kKrsMaxPoints] = {}; // scaled
    int64_t m[kKrsMaxPoints] = {};

    // False (and an identity-free, all-zero curve) for fewer than 3 or more
    // than 5 points.
    bool Fit(const int32_t* xs, const int32_t* ys, int32_t n);
    // The value at x, x within the first and last control point.
    int64_t Value(int32_t at) const;
};

// Fits the points and passes every entry of `curve` through the fitted
// curve, clamped to 0..255.
void ApplyFittedCurve(const int32_t* xs, const int32_t* ys, int32_t n, uint8_t curve[256]);

// L(n): 5000 ln n from the table of primes 2..509; factors it cannot carry
// add nothing. L(1) = 0.
int32_t KrsPrimeLog(int64_t n);

// Integer square root, 0 for n <= 0.
int64_t KrsIsqrt(int64_t n);

// The table raising levels to the power target / 100 (target clamped to 0..1000).
void BuildKrsPowerTable(int32_t target, uint8_t table[256]);
