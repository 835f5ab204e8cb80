#include "KrsCurves.h"

#include <algorithm>

namespace {

constexpr int64_t kScale = 1000000;
constexpr int64_t kLimit = 1 << 20;

constexpr int32_t kPrimes[97] = {
    2,   3,   5,   7,   11,  13,  17,  19,  23,  29,  31,  37,  41,  43,  47,  53,  59,  61,  67,  71,
    73,  79,  83,  89,  97,  101, 103, 107, 109, 113, 127, 131, 137, 139, 149, 151, 157, 163, 167, 173,
    179, 181, 191, 193, 197, 199, 211, 223, 227, 229, 233, 239, 241, 251, 257, 263, 269, 271, 277, 281,
    283, 293, 307, 311, 313, 317, 331, 337, 347, 349, 353, 359, 367, 373, 379, 383, 389, 397, 401, 409,
    419, 421, 431, 433, 439, 443, 449, 457, 461, 463, 467, 479, 487, 491, 499, 503, 509};

// round(5000 ln p) for each prime above.
constexpr int32_t kPrimeLogs[97] = {
    3466,  5493,  8047,  9730,  11989, 12825, 14166, 14722, 15677, 16836, 17170, 18055, 18568, 18806,
    19251, 19851, 20388, 20554, 21023, 21313, 21452, 21847, 22094, 22443, 22874, 23076, 23174, 23364,
    23457, 23637, 24221, 24376, 24600, 24672, 25020, 25086, 25281, 25469, 25590, 25766, 25937, 25992,
    26261, 26313, 26416, 26467, 26759, 27036, 27125, 27169, 27255, 27382, 27424, 27627, 27745, 27861,
    27974, 28011, 28120, 28192, 28227, 28401, 28634, 28699, 28731, 28795, 29011, 29100, 29247, 29275,
    29332, 29417, 29527, 29608, 29688, 29740, 29818, 29920, 29970, 30069, 30189, 30213, 30331, 30354,
    30422, 30468, 30535, 30623, 30667, 30689, 30732, 30859, 30941, 30982, 31063, 31103, 31162};

constexpr int32_t kSmallPrimes = 9; // 2 .. 23 divide out repeatedly

int64_t Divide(int64_t a, int64_t b)
{
    return b == 0 ? 0 : a / b;
}

} // namespace

bool KrsCurve::Fit(const int32_t* xs, const int32_t* ys, int32_t n)
{
    *this = KrsCurve{};
    if (n < 3 || n > kKrsMaxPoints)
        return false;
    count = n;
    int64_t h[kKrsMaxPoints] = {};
    int64_t s[kKrsMaxPoints] = {};
    int64_t q[kKrsMaxPoints] = {};
    for (int32_t i = 0; i < n; ++i) {
        x[i] = xs[i];
        // Far beyond any byte, yet small enough that no product below overflows.
        y[i] = std::clamp<int64_t>(ys[i], -kLimit, kLimit) * kScale;
    }
    for (int32_t i = 0; i + 1 < n; ++i)
        h[i] = int64_t{x[i + 1]} - x[i];
    for (int32_t i = 1; i < n; ++i)
        s[i] = Divide(y[i] - y[i - 1], h[i - 1]);
    // No elimination term: for increasing points it is 0 in integers.
    for (int32_t i = 1; i + 1 < n; ++i) {
        m[i] = s[i + 1] - s[i];
        q[i] = 2 * (int64_t{x[i + 1]} - x[i - 1]);
    }
    for (int32_t i = n - 2; i >= 1; --i)
        m[i] = Divide(m[i] - h[i] * m[i + 1], q[i]);
    return true;
}

int64_t KrsCurve::Value(int32_t at) const
{
    if (count < 2)
        return 0;
    int32_t lo = 0, hi = count - 1;
    while (lo < hi) {
        const int32_t mid = (lo + hi) / 2;
        if (x[mid] < at)
            lo = mid + 1;
        else
            hi = mid;
    }
    const int32_t j = std::min(lo == 0 ? 0 : lo - 1, count - 2);
    const int64_t h = int64_t{x[j + 1]} - x[j];
    const int64_t t = int64_t{at} - x[j];
    const int64_t a = Divide((m[j + 1] - m[j]) * t, h);
    const int64_t v =
        ((a + 3 * m[j]) * t + Divide(y[j + 1] - y[j], h) - (m[j + 1] + 2 * m[j]) * h) * t + y[j];
    return v / kScale;
}

void ApplyFittedCurve(const int32_t* xs, const int32_t* ys, int32_t n, uint8_t curve[256])
{
    KrsCurve fitted;
    if (!fitted.Fit(xs, ys, n))
        return;
    uint8_t mapped[256];
    for (int32_t v = 0; v < 256; ++v)
        mapped[v] = static_cast<uint8_t>(std::clamp<int64_t>(fitted.Value(v), 0, 255));
    for (int32_t v = 0; v < 256; ++v)
        curve[v] = mapped[curve[v]];
}

int32_t KrsPrimeLog(int64_t n)
{
    if (n < 1)
        return 0;
    int32_t sum = 0;
    for (int32_t i = 0; i < kSmallPrimes && n != 1; ++i)
        while (n % kPrimes[i] == 0) {
            sum += kPrimeLogs[i];
            n /= kPrimes[i];
        }
    if (n == 1)
        return sum;
    const auto* p = std::lower_bound(kPrimes + kSmallPrimes, kPrimes + 97, n);
    if (p != kPrimes + 97 && *p == n)
        sum += kPrimeLogs[p - kPrimes];
    return sum;
}

void BuildKrsPowerTable(int32_t target, uint8_t table[256])
{
    // 0 is a valid exponent; a negative one would never end the search below.
    const int64_t g = int64_t{std::clamp(target, 0, 1000)} * 2048 / 100;
    const int64_t c = 27706 * g - 63855256;
    table[0] = 0;
    table[255] = 255;
    int64_t v = 1;
    for (int32_t x = 1; x <= 254; ++x) {
        const int64_t limit = g * KrsPrimeLog(x);
        while (2048 * int64_t{KrsPrimeLog(v)} + c <= limit)
            v += 2;
        table[x] = static_cast<uint8_t>(std::min<int64_t>(v / 2, 255));
    }
}

int64_t KrsIsqrt(int64_t n)
{
    if (n <= 0)
        return 0;
    int64_t r = 0;
    for (int64_t bit = int64_t{1} << 62; bit > 0; bit >>= 2) {
        if (n >= r + bit) {
            n -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
    }
    return r;
}
