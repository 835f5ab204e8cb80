#include "ImageProcessing/JpegDct.h"
#include "ImageProcessing/JpegAvx2.h"
#include "ImageProcessing/JpegTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

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

TEST(JpegDct, VectorAndPortableInverseAgreeExactly)
{
    if (!JpegAvx2::Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    uint32_t state = 5;
    for (int trial = 0; trial < 4000; ++trial) {
        // Sparse blocks hit the empty-column and empty-row shortcuts; the
        // dequantiser's whole range (a hostile stream's) makes the sums wrap.
        int32_t coefficients[64] = {};
        unsigned rows = 0;
        const int count = 1 + trial % 24;
        const int32_t range = trial % 3 == 0 ? (1 << 30) : trial % 3 == 1 ? 2048 : 40;
        for (int i = 0; i < count; ++i) {
            state = state * 1664525u + 1013904223u;
            const int index = trial % 5 == 0 ? (state >> 8) % 8 * 8 : (state >> 8) % 64; // one column, or any
            state = state * 1664525u + 1013904223u;
            coefficients[index] = static_cast<int32_t>(int64_t(state) % (2 * int64_t(range) + 1) - range);
            rows |= 1u << (index >> 3);
        }
        uint8_t vector[8 * 10], portable[8 * 10];
        std::fill(std::begin(vector), std::end(vector), 0xA5);
        std::fill(std::begin(portable), std::end(portable), 0xA5);
        JpegDct::Inverse(coefficients, rows | 2u, vector, 10); // never the portable first-row path
        JpegDct::InversePortable(coefficients, rows, portable, 10);
        ASSERT_TRUE(std::equal(std::begin(vector), std::end(vector), std::begin(portable))) << trial;
    }
}

TEST(JpegDct, VectorAndPortableForwardAgreeExactly)
{
    uint32_t state = 3;
    for (int trial = 0; trial < 2000; ++trial) {
        int16_t samples[8 * 9];
        for (int i = 0; i < 72; ++i) {
            state = state * 1664525u + 1013904223u;
            samples[i] =
                trial % 3 == 0 ? ((state >> 31) ? 127 : -128) : static_cast<int16_t>(int(state >> 24) - 128);
        }
        int32_t a[64], b[64];
        JpegDct::Forward(samples, 9, a);
        JpegDct::ForwardPortable(samples, 9, b);
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(a[i], b[i]) << trial << " " << i;
    }
}

// Blocks of extremes shaped like each basis picture drive every intermediate of
// the transform to its largest magnitude; each is paired with a random block.
TEST(JpegDct, PairedForwardMatchesPortableAtTheExtremes)
{
    uint32_t state = 5;
    for (int shape = 0; shape < 2 * 64; ++shape) {
        const int u = shape % 8, v = (shape / 8) % 8;
        const bool negate = shape >= 64;
        int16_t a[8 * 11], b[8 * 13];
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 11; ++x)
                a[y * 11 + x] = ((Basis(u, x % 8) * Basis(v, y) >= 0) != negate) ? 127 : -128;
        for (int i = 0; i < 8 * 13; ++i) {
            state = state * 1664525u + 1013904223u;
            b[i] = static_cast<int16_t>(int(state >> 24) - 128);
        }
        int32_t pairA[64], pairB[64], expectedA[64], expectedB[64];
        JpegDct::ForwardPair(a, 11, b, 13, pairA, pairB);
        JpegDct::ForwardPortable(a, 11, expectedA);
        JpegDct::ForwardPortable(b, 13, expectedB);
        for (int i = 0; i < 64; ++i) {
            ASSERT_EQ(pairA[i], expectedA[i]) << shape << " " << i;
            ASSERT_EQ(pairB[i], expectedB[i]) << shape << " " << i;
        }
    }
}

TEST(JpegDct, VectorChromaOfPairsMatchesTheConversionRule)
{
    if (!JpegAvx2::Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    for (uint32_t width : {10u, 17u, 64u, 101u}) {
        std::vector<uint8_t> a(width * 3), b(width * 3);
        uint32_t state = width;
        for (size_t i = 0; i < a.size(); ++i) {
            state = state * 1664525u + 1013904223u;
            a[i] = static_cast<uint8_t>(state >> 24);
            b[i] = i % 7 == 0 ? 255 : static_cast<uint8_t>(state >> 16);
        }
        std::vector<int16_t> cb(width, 999), cr(width, 999);
        const uint32_t done = JpegAvx2::ChromaPairs(a.data(), b.data(), width, cb.data(), cr.data());
        EXPECT_EQ(done % 8, 0u);
        if (done > 0) { // the last step read 28 bytes from pixel done - 8
            EXPECT_LE(size_t(done - 8) * 3 + 28, size_t(width) * 3);
        }
        for (uint32_t g = 0; g < done / 2; ++g) {
            int red = 0, green = 0, blue = 0;
            for (uint32_t x : {2 * g, 2 * g + 1}) {
                red += a[3 * x] + b[3 * x];
                green += a[3 * x + 1] + b[3 * x + 1];
                blue += a[3 * x + 2] + b[3 * x + 2];
            }
            auto chroma = [](int w) { return std::clamp((w + (1 << 17) - 1) >> 18, -128, 127); };
            EXPECT_EQ(cb[g], chroma(-11059 * red - 21709 * green + 32768 * blue)) << width << " " << g;
            EXPECT_EQ(cr[g], chroma(32768 * red - 27439 * green - 5329 * blue)) << width << " " << g;
        }
        EXPECT_EQ(cb[done / 2], 999); // nothing past what it reports
    }
}

TEST(JpegDct, VectorChromaOfSinglePixelsMatchesTheConversionRule)
{
    if (!JpegAvx2::Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    for (uint32_t width : {9u, 10u, 33u, 100u}) {
        std::vector<uint8_t> row(width * 3);
        uint32_t state = width * 3;
        for (size_t i = 0; i < row.size(); ++i) {
            state = state * 1664525u + 1013904223u;
            // Pure blues, yellows, reds and cyans reach the ends of the range.
            row[i] = i % 6 < 2 ? (i % 12 < 6 ? 255 : 0) : static_cast<uint8_t>(state >> 24);
        }
        std::vector<int16_t> cb(width, 999), cr(width, 999);
        const uint32_t done = JpegAvx2::ChromaRow(row.data(), width, cb.data(), cr.data());
        EXPECT_EQ(done % 8, 0u);
        if (done > 0) { // the last step read 28 bytes from pixel done - 8
            EXPECT_LE(size_t(done - 8) * 3 + 28, size_t(width) * 3);
        }
        for (uint32_t x = 0; x < done; ++x) {
            const int red = row[3 * x], green = row[3 * x + 1], blue = row[3 * x + 2];
            auto chroma = [](int w) { return std::clamp((w + (1 << 15) - 1) >> 16, -128, 127); };
            EXPECT_EQ(cb[x], chroma(-11059 * red - 21709 * green + 32768 * blue)) << width << " " << x;
            EXPECT_EQ(cr[x], chroma(32768 * red - 27439 * green - 5329 * blue)) << width << " " << x;
        }
        EXPECT_EQ(cb[done], 999); // nothing past what it reports
        EXPECT_EQ(cr[done], 999);
    }
}

TEST(JpegDct, VectorRgbFromBgraReordersEveryCoveredPixel)
{
    if (!JpegAvx2::Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    for (uint32_t width : {9u, 10u, 11u, 33u, 100u}) {
        std::vector<uint8_t> bgra(width * 4);
        for (size_t i = 0; i < bgra.size(); ++i)
            bgra[i] = static_cast<uint8_t>(i * 7 + width);
        std::vector<uint8_t> rgb(width * 3 + 1, 0xA5);
        const uint32_t done = JpegAvx2::RgbFromBgra(bgra.data(), width, rgb.data());
        EXPECT_EQ(done % 8, 0u);
        EXPECT_GE(done + 11, width); // all but a short tail
        for (uint32_t x = 0; x < done; ++x) {
            EXPECT_EQ(rgb[3 * x], bgra[4 * x + 2]) << width << " " << x;
            EXPECT_EQ(rgb[3 * x + 1], bgra[4 * x + 1]) << width << " " << x;
            EXPECT_EQ(rgb[3 * x + 2], bgra[4 * x]) << width << " " << x;
        }
        EXPECT_EQ(rgb[width * 3], 0xA5); // nothing written past the row
    }
}

TEST(JpegDct, VectorColourOutputMatchesTheDecoderRuleForEveryChromaPair)
{
    if (!JpegAvx2::Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    // One row per cr, every cb in it; the luminance runs through its whole range and both ends.
    constexpr uint32_t kWidth = 512;
    std::vector<uint8_t> cb(kWidth / 2), cr(kWidth / 2), luma(kWidth), rgb(kWidth * 3 + 1);
    for (int pattern = 0; pattern < 3; ++pattern)
        for (int r = 0; r < 256; ++r) {
            for (uint32_t i = 0; i < kWidth / 2; ++i) {
                cb[i] = static_cast<uint8_t>(i);
                cr[i] = static_cast<uint8_t>(r);
            }
            for (uint32_t x = 0; x < kWidth; ++x)
                luma[x] = pattern == 0 ? static_cast<uint8_t>(x * 37 + r * 11) : pattern == 1 ? 0 : 255;
            std::fill(rgb.begin(), rgb.end(), 0xA5);
            ASSERT_EQ(JpegAvx2::RgbFromYccHalf(luma.data(), cb.data(), cr.data(), kWidth, rgb.data()),
                      kWidth);
            int wrong = 0;
            for (uint32_t x = 0; x < kWidth; ++x) {
                const int y = luma[x], b = cb[x / 2] - 128, c = cr[x / 2] - 128;
                const int expected[3] = {clamp(y + ((359 * c) >> 8)),
                                         clamp(y + ((-2819 * b - 5850 * c) >> 13)),
                                         clamp(y + ((7258 * b) >> 12))};
                for (int k = 0; k < 3; ++k)
                    if (rgb[3 * x + k] != expected[k] && wrong++ == 0)
                        ADD_FAILURE() << "y " << y << " cb " << b + 128 << " cr " << c + 128 << " channel "
                                      << k << ": " << int(rgb[3 * x + k]) << " not " << expected[k];
            }
            ASSERT_EQ(wrong, 0);
            EXPECT_EQ(rgb[kWidth * 3], 0xA5);
        }
    // Rows that do not fill the last step leave their tail to the caller, untouched.
    for (uint32_t width : {1u, 15u, 17u, 33u, 47u}) {
        std::fill(rgb.begin(), rgb.end(), 0xA5);
        const uint32_t done = JpegAvx2::RgbFromYccHalf(luma.data(), cb.data(), cr.data(), width, rgb.data());
        EXPECT_EQ(done, width / 16 * 16) << width;
        EXPECT_EQ(rgb[3 * done], 0xA5) << width;
    }
}

TEST(JpegDct, VectorLumaMatchesTheConversionRule)
{
    if (!JpegAvx2::Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    for (uint32_t width : {9u, 10u, 33u, 100u}) {
        std::vector<uint8_t> row(width * 3);
        uint32_t state = width * 7;
        for (size_t i = 0; i < row.size(); ++i) {
            state = state * 1664525u + 1013904223u;
            row[i] = i % 5 == 0 ? 255 : i % 11 == 0 ? 0 : static_cast<uint8_t>(state >> 24);
        }
        std::vector<int16_t> luma(width, 999);
        const uint32_t done = JpegAvx2::LumaRow(row.data(), width, luma.data());
        EXPECT_EQ(done % 8, 0u);
        for (uint32_t x = 0; x < done; ++x)
            EXPECT_EQ(luma[x],
                      ((19595 * row[3 * x] + 38470 * row[3 * x + 1] + 7471 * row[3 * x + 2] + 32768) >> 16) -
                          128)
                << width << " " << x;
        if (done < width) {
            EXPECT_EQ(luma[done], 999);
        }
    }
}

namespace {

// The encoder's rounding rule: half away from zero.
int16_t Quotient(int c, int q)
{
    const int magnitude = (std::abs(c) + q / 2) / q;
    return static_cast<int16_t>(c < 0 ? -magnitude : magnitude);
}

uint64_t ZigzagMask(const int16_t natural[64])
{
    uint64_t mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= uint64_t(natural[JpegTables::kZigzag[i]] != 0) << i;
    return mask;
}

} // namespace

// Every divisor a table can hold against every true coefficient, the two
// blocks of a pair with different tables.
TEST(JpegDct, VectorQuantisationDividesEveryCoefficientExactly)
{
    if (!JpegAvx2::Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    for (int q = 1; q <= 255; ++q) {
        uint8_t divisorsA[64], divisorsB[64];
        for (int i = 0; i < 64; ++i) {
            divisorsA[i] = static_cast<uint8_t>(q);
            divisorsB[i] = static_cast<uint8_t>(256 - q);
        }
        JpegAvx2::QuantTable tableA, tableB;
        JpegAvx2::MakeQuantTable(divisorsA, tableA);
        JpegAvx2::MakeQuantTable(divisorsB, tableB);
        for (int first = -1024; first <= 1024; first += 64) {
            int16_t a[64], b[64], quotientsA[64], quotientsB[64];
            for (int i = 0; i < 64; ++i) {
                // Runs of zeros between the values, so that the masks vary.
                a[i] = static_cast<int16_t>(std::min(first + i, 1024));
                b[i] = static_cast<int16_t>((i * 7 + q) % 5 == 0 ? 0 : -std::min(first + i, 1024));
            }
            uint64_t nonZero[2];
            JpegAvx2::QuantisePair(a, b, tableA, tableB, quotientsA, quotientsB, nonZero);
            for (int i = 0; i < 64; ++i) {
                ASSERT_EQ(quotientsA[i], Quotient(a[i], q)) << "q " << q << " c " << a[i];
                ASSERT_EQ(quotientsB[i], Quotient(b[i], 256 - q)) << "q " << 256 - q << " c " << b[i];
            }
            ASSERT_EQ(nonZero[0], ZigzagMask(quotientsA)) << q << " " << first;
            ASSERT_EQ(nonZero[1], ZigzagMask(quotientsB)) << q << " " << first;
        }
    }
}

// The fused transform and quantisation against the portable transform and the
// rounding rule, at the quality tables the encoder uses and on extreme blocks.
TEST(JpegDct, VectorForwardQuantisationMatchesPortable)
{
    if (!JpegAvx2::Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    uint32_t state = 9;
    for (int trial = 0; trial < 600; ++trial) {
        const int quality = 1 + trial % 100;
        const auto divisorsA = JpegTables::ScaleQuantTable(JpegTables::kLuminanceBase, quality);
        const auto divisorsB = JpegTables::ScaleQuantTable(JpegTables::kChrominanceBase, 101 - quality);
        JpegAvx2::QuantTable tableA, tableB;
        JpegAvx2::MakeQuantTable(divisorsA.data(), tableA);
        JpegAvx2::MakeQuantTable(divisorsB.data(), tableB);
        int16_t a[8 * 12], b[8 * 9];
        for (int i = 0; i < 8 * 12; ++i) {
            state = state * 1664525u + 1013904223u;
            a[i] =
                trial % 4 == 0 ? ((state >> 31) ? 127 : -128) : static_cast<int16_t>(int(state >> 24) - 128);
        }
        for (int i = 0; i < 8 * 9; ++i)
            b[i] = trial % 3 == 0 ? -128 : static_cast<int16_t>((i * 37 + trial) % 256 - 128);
        int16_t quotientsA[64], quotientsB[64];
        uint64_t nonZero[2];
        JpegAvx2::ForwardQuantisePair(a, 12, b, 9, tableA, tableB, quotientsA, quotientsB, nonZero);
        int32_t expectedA[64], expectedB[64];
        JpegDct::ForwardPortable(a, 12, expectedA);
        JpegDct::ForwardPortable(b, 9, expectedB);
        for (int i = 0; i < 64; ++i) {
            ASSERT_EQ(quotientsA[i], Quotient(expectedA[i], divisorsA[i])) << trial << " " << i;
            ASSERT_EQ(quotientsB[i], Quotient(expectedB[i], divisorsB[i])) << trial << " " << i;
        }
        ASSERT_EQ(nonZero[0], ZigzagMask(quotientsA)) << trial;
        ASSERT_EQ(nonZero[1], ZigzagMask(quotientsB)) << trial;
    }
}

TEST(JpegDct, VectorEveryFourthByteReadsOnlyInsideItsPixels)
{
    if (!JpegAvx2::Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    for (uint32_t count : {1u, 32u, 33u, 64u, 65u, 100u, 131u}) {
        // The values start at byte 2 of each pixel, as a mask's grey does; the
        // pixels end the block, so that a read past them would leave it.
        std::vector<uint8_t> pixels(size_t(count) * 4);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint8_t>(i * 13 + count);
        std::vector<uint8_t> out(count + 1, 0xA5);
        const uint8_t* bytes = pixels.data() + 2;
        const uint32_t done = JpegAvx2::EveryFourthByte(bytes, count, out.data());
        EXPECT_EQ(done % 32, 0u);
        if (done > 0) { // the last step read up to bytes[4 * done - 1]
            EXPECT_LE(2 + size_t(done) * 4 - 1, pixels.size() - 1);
        }
        EXPECT_GE(done + 64, count); // all but a short tail
        for (uint32_t i = 0; i < done; ++i)
            ASSERT_EQ(out[i], bytes[4 * i]) << count << " " << i;
        EXPECT_EQ(out[done], 0xA5); // nothing past what it reports
    }
}
