#include "ImageProcessing/JpegDct.h"

#include "ImageProcessing/JpegAvx2.h"
#include "ImageProcessing/JpegCpu.h"

#include <cstring>

namespace JpegDct {

namespace {

constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;

constexpr int32_t kFix0_298631336 = 2446;
constexpr int32_t kFix0_390180644 = 3196;
constexpr int32_t kFix0_541196100 = 4433;
constexpr int32_t kFix0_765366865 = 6270;
constexpr int32_t kFix0_899976223 = 7373;
constexpr int32_t kFix1_175875602 = 9633;
constexpr int32_t kFix1_501321110 = 12299;
constexpr int32_t kFix1_847759065 = 15137;
constexpr int32_t kFix1_961570560 = 16069;
constexpr int32_t kFix2_053119869 = 16819;
constexpr int32_t kFix2_562915447 = 20995;
constexpr int32_t kFix3_072711026 = 25172;

template <typename T> constexpr T Descale(T x, int n)
{
    return (x + (T(1) << (n - 1))) >> n;
}

} // namespace

void Forward(const int16_t* samples, int stride, int32_t coefficients[64])
{
    if (JpegAvx2::Available())
        JpegAvx2::Forward(samples, stride, coefficients);
    else
        ForwardPortable(samples, stride, coefficients);
}

void ForwardPair(const int16_t* samplesA, int strideA, const int16_t* samplesB, int strideB,
                 int32_t coefficientsA[64], int32_t coefficientsB[64])
{
    if (JpegAvx2::Available()) {
        JpegAvx2::ForwardPair(samplesA, strideA, samplesB, strideB, coefficientsA, coefficientsB);
    } else {
        ForwardPortable(samplesA, strideA, coefficientsA);
        ForwardPortable(samplesB, strideB, coefficientsB);
    }
}

JPEG_VECTOR_CLONES void ForwardPortable(const int16_t* samples, int stride, int32_t coefficients[64])
{
    // The row pass runs on the transposed block, so that each of its steps
    // works on eight rows at once; the result is transposed back.
    int32_t t[64], u[64];
    for (int r = 0; r < 8; ++r)
        for (int k = 0; k < 8; ++k)
            t[k * 8 + r] = samples[r * stride + k];
    for (int r = 0; r < 8; ++r) {
        const int32_t tmp0 = t[r] + t[56 + r], tmp7 = t[r] - t[56 + r];
        const int32_t tmp1 = t[8 + r] + t[48 + r], tmp6 = t[8 + r] - t[48 + r];
        const int32_t tmp2 = t[16 + r] + t[40 + r], tmp5 = t[16 + r] - t[40 + r];
        const int32_t tmp3 = t[24 + r] + t[32 + r], tmp4 = t[24 + r] - t[32 + r];
        const int32_t tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
        const int32_t tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
        u[r] = (tmp10 + tmp11) * (1 << kPass1Bits);
        u[32 + r] = (tmp10 - tmp11) * (1 << kPass1Bits);
        const int32_t z1 = (tmp12 + tmp13) * kFix0_541196100;
        u[16 + r] = Descale(z1 + tmp13 * kFix0_765366865, kConstBits - kPass1Bits);
        u[48 + r] = Descale(z1 - tmp12 * kFix1_847759065, kConstBits - kPass1Bits);
        const int32_t z5 = (tmp4 + tmp6 + tmp5 + tmp7) * kFix1_175875602;
        const int32_t a1 = -(tmp4 + tmp7) * kFix0_899976223;
        const int32_t a2 = -(tmp5 + tmp6) * kFix2_562915447;
        const int32_t a3 = -(tmp4 + tmp6) * kFix1_961570560 + z5;
        const int32_t a4 = -(tmp5 + tmp7) * kFix0_390180644 + z5;
        u[56 + r] = Descale(tmp4 * kFix0_298631336 + a1 + a3, kConstBits - kPass1Bits);
        u[40 + r] = Descale(tmp5 * kFix2_053119869 + a2 + a4, kConstBits - kPass1Bits);
        u[24 + r] = Descale(tmp6 * kFix3_072711026 + a2 + a3, kConstBits - kPass1Bits);
        u[8 + r] = Descale(tmp7 * kFix1_501321110 + a1 + a4, kConstBits - kPass1Bits);
    }
    int32_t* out = coefficients;
    for (int r = 0; r < 8; ++r)
        for (int f = 0; f < 8; ++f)
            out[r * 8 + f] = u[f * 8 + r];
    // Columns; unlike the libraries' scaled output this also divides by 8.
    constexpr int kEven = kPass1Bits + 3;
    constexpr int kOdd = kConstBits + kPass1Bits + 3;
    for (int col = 0; col < 8; ++col) {
        int32_t* c = out + col;
        const int32_t tmp0 = c[0] + c[56], tmp7 = c[0] - c[56];
        const int32_t tmp1 = c[8] + c[48], tmp6 = c[8] - c[48];
        const int32_t tmp2 = c[16] + c[40], tmp5 = c[16] - c[40];
        const int32_t tmp3 = c[24] + c[32], tmp4 = c[24] - c[32];
        const int32_t tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
        const int32_t tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
        c[0] = Descale(tmp10 + tmp11, kEven);
        c[32] = Descale(tmp10 - tmp11, kEven);
        const int32_t z1 = (tmp12 + tmp13) * kFix0_541196100;
        c[16] = Descale(z1 + tmp13 * kFix0_765366865, kOdd);
        c[48] = Descale(z1 - tmp12 * kFix1_847759065, kOdd);
        const int32_t z5 = (tmp4 + tmp6 + tmp5 + tmp7) * kFix1_175875602;
        const int32_t a1 = -(tmp4 + tmp7) * kFix0_899976223;
        const int32_t a2 = -(tmp5 + tmp6) * kFix2_562915447;
        const int32_t a3 = -(tmp4 + tmp6) * kFix1_961570560 + z5;
        const int32_t a4 = -(tmp5 + tmp7) * kFix0_390180644 + z5;
        c[56] = Descale(tmp4 * kFix0_298631336 + a1 + a3, kOdd);
        c[40] = Descale(tmp5 * kFix2_053119869 + a2 + a4, kOdd);
        c[24] = Descale(tmp6 * kFix3_072711026 + a2 + a3, kOdd);
        c[8] = Descale(tmp7 * kFix1_501321110 + a1 + a4, kOdd);
    }
}

// The arithmetic runs modulo 2^32 (unsigned), which is exact for every stream
// of 8-bit samples and merely meaningless, never undefined, for hostile ones.
namespace {

using U = uint32_t;

inline int32_t DescaleU(U x, int n)
{
    return static_cast<int32_t>(x + (U(1) << (n - 1))) >> n;
}

inline uint8_t Sample(int32_t v)
{
    v += 128;
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The two halves of one 1-D pass over eight inputs i0 .. i7.
struct Odd
{
    U o0, o1, o2, o3;
};

inline Odd OddPart(U i7, U i5, U i3, U i1)
{
    const U q1 = i7 + i1, q2 = i5 + i3, q3 = i7 + i3, q4 = i5 + i1;
    const U z5 = (q3 + q4) * U(kFix1_175875602);
    const U m1 = q1 * U(-kFix0_899976223), m2 = q2 * U(-kFix2_562915447);
    const U m3 = q3 * U(-kFix1_961570560) + z5, m4 = q4 * U(-kFix0_390180644) + z5;
    return {i7 * U(kFix0_298631336) + m1 + m3, i5 * U(kFix2_053119869) + m2 + m4,
            i3 * U(kFix3_072711026) + m2 + m3, i1 * U(kFix1_501321110) + m1 + m4};
}

struct Even
{
    U tmp10, tmp11, tmp12, tmp13;
};

inline Even EvenPart(U i0, U i2, U i4, U i6)
{
    const U z1 = (i2 + i6) * U(kFix0_541196100);
    const U t2 = z1 + i6 * U(-kFix1_847759065);
    const U t3 = z1 + i2 * U(kFix0_765366865);
    const U t0 = (i0 + i4) << kConstBits;
    const U t1 = (i0 - i4) << kConstBits;
    return {t0 + t3, t1 + t2, t1 - t2, t0 - t3};
}

} // namespace

void Inverse(const int32_t coefficients[64], unsigned nonZeroRows, uint8_t* out, int stride)
{
    // Blocks with only their first row, often just the DC, cost little without vectors.
    if ((nonZeroRows & ~1u) != 0 && JpegAvx2::Available())
        JpegAvx2::Inverse(coefficients, out, stride);
    else
        InversePortable(coefficients, nonZeroRows, out, stride);
}

JPEG_VECTOR_CLONES void InversePortable(const int32_t coefficients[64], unsigned nonZeroRows, uint8_t* out,
                                        int stride)
{
    if ((nonZeroRows & ~1u) == 0) {
        bool dcOnly = true;
        for (int i = 1; i < 8; ++i)
            dcOnly = dcOnly && coefficients[i] == 0;
        if (dcOnly) {
            const uint8_t v = Sample(DescaleU(U(coefficients[0]) << kPass1Bits, kPass1Bits + 3));
            for (int r = 0; r < 8; ++r)
                std::memset(out + r * stride, v, 8);
            return;
        }
    }
    int32_t ws[64];
    for (int col = 0; col < 8; ++col) {
        const int32_t* in = coefficients + col;
        int32_t* w = ws + col;
        if (in[8] == 0 && in[16] == 0 && in[24] == 0 && in[32] == 0 && in[40] == 0 && in[48] == 0 &&
            in[56] == 0) {
            const int32_t dc = static_cast<int32_t>(U(in[0]) << kPass1Bits);
            for (int r = 0; r < 8; ++r)
                w[r * 8] = dc;
            continue;
        }
        const auto [tmp10, tmp11, tmp12, tmp13] = EvenPart(U(in[0]), U(in[16]), U(in[32]), U(in[48]));
        const Odd o = OddPart(U(in[56]), U(in[40]), U(in[24]), U(in[8]));
        constexpr int n = kConstBits - kPass1Bits;
        w[0] = DescaleU(tmp10 + o.o3, n);
        w[56] = DescaleU(tmp10 - o.o3, n);
        w[8] = DescaleU(tmp11 + o.o2, n);
        w[48] = DescaleU(tmp11 - o.o2, n);
        w[16] = DescaleU(tmp12 + o.o1, n);
        w[40] = DescaleU(tmp12 - o.o1, n);
        w[24] = DescaleU(tmp13 + o.o0, n);
        w[32] = DescaleU(tmp13 - o.o0, n);
    }
    for (int row = 0; row < 8; ++row) {
        const int32_t* w = ws + row * 8;
        uint8_t* o = out + row * stride;
        if (w[1] == 0 && w[2] == 0 && w[3] == 0 && w[4] == 0 && w[5] == 0 && w[6] == 0 && w[7] == 0) {
            std::memset(o, Sample(DescaleU(U(w[0]), kPass1Bits + 3)), 8);
            continue;
        }
        const auto [tmp10, tmp11, tmp12, tmp13] = EvenPart(U(w[0]), U(w[2]), U(w[4]), U(w[6]));
        const Odd d = OddPart(U(w[7]), U(w[5]), U(w[3]), U(w[1]));
        constexpr int n = kConstBits + kPass1Bits + 3;
        o[0] = Sample(DescaleU(tmp10 + d.o3, n));
        o[7] = Sample(DescaleU(tmp10 - d.o3, n));
        o[1] = Sample(DescaleU(tmp11 + d.o2, n));
        o[6] = Sample(DescaleU(tmp11 - d.o2, n));
        o[2] = Sample(DescaleU(tmp12 + d.o1, n));
        o[5] = Sample(DescaleU(tmp12 - d.o1, n));
        o[3] = Sample(DescaleU(tmp13 + d.o0, n));
        o[4] = Sample(DescaleU(tmp13 - d.o0, n));
    }
}

} // namespace JpegDct
