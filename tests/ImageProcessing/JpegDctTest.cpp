#include "ImageProcessing/JpegDct.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double Basis(int u, int x)
{
    return (u == 0 ? std::sqrt(0.5) : 1.0) * std::cos((2 * x + 1) * u * M_PI / 16);
}

} // namespace

TEST(JpegDct, ForwardGivesTrueCoefficientsWithinOne)
{
    uint32_t state = 7;
    for (int trial = 0; trial < 300; ++trial) {
        int16_t samples[8 * 10];
        for (int i = 0; i < 80; ++i) {
            state = state * 1664525u + 1013904223u;
            samples[i] = trial < 2 ? (trial == 0 ? -128 : 127) : static_cast<int16_t>(int(state >> 24) - 128);
        }
        int32_t out[64];
        JpegDct::Forward(samples, 10, out);
        for (int v = 0; v < 8; ++v)
            for (int u = 0; u < 8; ++u) {
                double sum = 0;
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x)
                        sum += samples[y * 10 + x] * Basis(u, x) * Basis(v, y);
                EXPECT_NEAR(out[v * 8 + u], sum / 4, 1.0) << trial << " " << u << "," << v;
            }
    }
}

TEST(JpegDct, InverseRestoresSamplesWithinOne)
{
    uint32_t state = 11;
    for (int trial = 0; trial < 300; ++trial) {
        int32_t coefficients[64] = {};
        unsigned rows = 0;
        const int count = trial % 20;
        for (int i = 0; i < count; ++i) {
            state = state * 1664525u + 1013904223u;
            const int index = (state >> 8) % 64;
            coefficients[index] = static_cast<int32_t>((state >> 20) % 301) - 150;
            rows |= 1u << (index >> 3);
        }
        coefficients[0] = static_cast<int32_t>(trial % 17) * 40 - 320;
        rows |= 1;
        uint8_t out[8 * 12];
        JpegDct::Inverse(coefficients, rows, out, 12);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                double sum = 0;
                for (int v = 0; v < 8; ++v)
                    for (int u = 0; u < 8; ++u)
                        sum += coefficients[v * 8 + u] * Basis(u, x) * Basis(v, y);
                const double expected = std::fmin(255, std::fmax(0, sum / 4 + 128));
                EXPECT_NEAR(out[y * 12 + x], expected, 1.0) << trial;
            }
    }
}
