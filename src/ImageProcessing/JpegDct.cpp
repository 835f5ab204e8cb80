#include "ImageProcessing/JpegDct.h"

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

inline uint8_t ClampSample(int64_t v)
{
    v += 128;
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

} // namespace

JPEG_VECTOR_CLONES void Forward(const int16_t* samples, int stride, int32_t coefficients[64])
{
    int32_t* out = coefficients;
    for (int row = 0; row < 8; ++row) {
        const int16_t* d = samples + row * stride;
        int32_t* o = out + row * 8;
        const int32_t tmp0 = d[0] + d[7], tmp7 = d[0] - d[7];
        const int32_t tmp1 = d[1] + d[6], tmp6 = d[1] - d[6];
        const int32_t tmp2 = d[2] + d[5], tmp5 = d[2] - d[5];
        const int32_t tmp3 = d[3] + d[4], tmp4 = d[3] - d[4];
        const int32_t tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
        const int32_t tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
        o[0] = (tmp10 + tmp11) * (1 << kPass1Bits);
        o[4] = (tmp10 - tmp11) * (1 << kPass1Bits);
        const int32_t z1 = (tmp12 + tmp13) * kFix0_541196100;
        o[2] = Descale(z1 + tmp13 * kFix0_765366865, kConstBits - kPass1Bits);
        o[6] = Descale(z1 - tmp12 * kFix1_847759065, kConstBits - kPass1Bits);
        const int32_t z5 = (tmp4 + tmp6 + tmp5 + tmp7) * kFix1_175875602;
        const int32_t a1 = -(tmp4 + tmp7) * kFix0_899976223;
        const int32_t a2 = -(tmp5 + tmp6) * kFix2_562915447;
        const int32_t a3 = -(tmp4 + tmp6) * kFix1_961570560 + z5;
        const int32_t a4 = -(tmp5 + tmp7) * kFix0_390180644 + z5;
        o[7] = Descale(tmp4 * kFix0_298631336 + a1 + a3, kConstBits - kPass1Bits);
        o[5] = Descale(tmp5 * kFix2_053119869 + a2 + a4, kConstBits - kPass1Bits);
        o[3] = Descale(tmp6 * kFix3_072711026 + a2 + a3, kConstBits - kPass1Bits);
        o[1] = Descale(tmp7 * kFix1_501321110 + a1 + a4, kConstBits - kPass1Bits);
    }
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

// 64-bit intermediates: hostile streams may carry any coefficient the format allows.
JPEG_VECTOR_CLONES void Inverse(const int32_t coefficients[64], unsigned nonZeroRows, uint8_t* out,
                                int stride)
{
    if ((nonZeroRows & ~1u) == 0) {
        bool dcOnly = true;
        for (int i = 1; i < 8; ++i)
            dcOnly = dcOnly && coefficients[i] == 0;
        if (dcOnly) {
            const int64_t dc = Descale<int64_t>(int64_t(coefficients[0]) * (1 << kPass1Bits), kPass1Bits + 3);
            const uint8_t v = ClampSample(dc);
            for (int r = 0; r < 8; ++r)
                std::memset(out + r * stride, v, 8);
            return;
        }
    }
    int64_t ws[64];
    for (int col = 0; col < 8; ++col) {
        const int32_t* in = coefficients + col;
        int64_t* w = ws + col;
        if ((nonZeroRows & ~1u) == 0 || (in[8] == 0 && in[16] == 0 && in[24] == 0 && in[32] == 0 &&
                                         in[40] == 0 && in[48] == 0 && in[56] == 0)) {
            const int64_t dc = int64_t(in[0]) * (1 << kPass1Bits);
            for (int r = 0; r < 8; ++r)
                w[r * 8] = dc;
            continue;
        }
        int64_t z2 = in[16], z3 = in[48];
        int64_t z1 = (z2 + z3) * kFix0_541196100;
        const int64_t t2 = z1 - z3 * kFix1_847759065;
        const int64_t t3 = z1 + z2 * kFix0_765366865;
        z2 = in[0];
        z3 = in[32];
        const int64_t t0 = (z2 + z3) * (1 << kConstBits);
        const int64_t t1 = (z2 - z3) * (1 << kConstBits);
        const int64_t tmp10 = t0 + t3, tmp13 = t0 - t3, tmp11 = t1 + t2, tmp12 = t1 - t2;

        int64_t o0 = in[56], o1 = in[40], o2 = in[24], o3 = in[8];
        const int64_t q1 = o0 + o3, q2 = o1 + o2, q3 = o0 + o2, q4 = o1 + o3;
        const int64_t z5 = (q3 + q4) * kFix1_175875602;
        const int64_t m1 = -q1 * kFix0_899976223, m2 = -q2 * kFix2_562915447;
        const int64_t m3 = -q3 * kFix1_961570560 + z5, m4 = -q4 * kFix0_390180644 + z5;
        o0 = o0 * kFix0_298631336 + m1 + m3;
        o1 = o1 * kFix2_053119869 + m2 + m4;
        o2 = o2 * kFix3_072711026 + m2 + m3;
        o3 = o3 * kFix1_501321110 + m1 + m4;
        constexpr int n = kConstBits - kPass1Bits;
        w[0] = Descale(tmp10 + o3, n);
        w[56] = Descale(tmp10 - o3, n);
        w[8] = Descale(tmp11 + o2, n);
        w[48] = Descale(tmp11 - o2, n);
        w[16] = Descale(tmp12 + o1, n);
        w[40] = Descale(tmp12 - o1, n);
        w[24] = Descale(tmp13 + o0, n);
        w[32] = Descale(tmp13 - o0, n);
    }
    for (int row = 0; row < 8; ++row) {
        const int64_t* w = ws + row * 8;
        uint8_t* o = out + row * stride;
        if (w[1] == 0 && w[2] == 0 && w[3] == 0 && w[4] == 0 && w[5] == 0 && w[6] == 0 && w[7] == 0) {
            const uint8_t v = ClampSample(Descale<int64_t>(w[0], kPass1Bits + 3));
            std::memset(o, v, 8);
            continue;
        }
        int64_t z2 = w[2], z3 = w[6];
        int64_t z1 = (z2 + z3) * kFix0_541196100;
        const int64_t t2 = z1 - z3 * kFix1_847759065;
        const int64_t t3 = z1 + z2 * kFix0_765366865;
        const int64_t t0 = (w[0] + w[4]) * (1 << kConstBits);
        const int64_t t1 = (w[0] - w[4]) * (1 << kConstBits);
        const int64_t tmp10 = t0 + t3, tmp13 = t0 - t3, tmp11 = t1 + t2, tmp12 = t1 - t2;

        int64_t o0 = w[7], o1 = w[5], o2 = w[3], o3 = w[1];
        const int64_t q1 = o0 + o3, q2 = o1 + o2, q3 = o0 + o2, q4 = o1 + o3;
        const int64_t z5 = (q3 + q4) * kFix1_175875602;
        const int64_t m1 = -q1 * kFix0_899976223, m2 = -q2 * kFix2_562915447;
        const int64_t m3 = -q3 * kFix1_961570560 + z5, m4 = -q4 * kFix0_390180644 + z5;
        o0 = o0 * kFix0_298631336 + m1 + m3;
        o1 = o1 * kFix2_053119869 + m2 + m4;
        o2 = o2 * kFix3_072711026 + m2 + m3;
        o3 = o3 * kFix1_501321110 + m1 + m4;
        constexpr int n = kConstBits + kPass1Bits + 3;
        o[0] = ClampSample(Descale(tmp10 + o3, n));
        o[7] = ClampSample(Descale(tmp10 - o3, n));
        o[1] = ClampSample(Descale(tmp11 + o2, n));
        o[6] = ClampSample(Descale(tmp11 - o2, n));
        o[2] = ClampSample(Descale(tmp12 + o1, n));
        o[5] = ClampSample(Descale(tmp12 - o1, n));
        o[3] = ClampSample(Descale(tmp13 + o0, n));
        o[4] = ClampSample(Descale(tmp13 - o0, n));
    }
}

} // namespace JpegDct
