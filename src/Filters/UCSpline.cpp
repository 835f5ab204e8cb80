#include "UCSpline.h"

#include <algorithm>

namespace {

constexpr int64_t kScale = 1000000;

int64_t Line(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t x)
{
    if (x1 == x0)
        return y0;
    return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

} // namespace

UCSpline::UCSpline(const int64_t* x, const int64_t* y, int32_t count)
{
    m_count = static_cast<int16_t>(std::clamp(count, 0, kMaxPoints));
    for (int32_t i = 0; i < m_count; ++i) {
        m_x[i] = x[i];
        m_y[i] = y[i] * kScale;
    }
    const int32_t n = m_count;
    if (n < 3)
        return;
    // Tridiagonal system of the interior second derivatives (natural ends).
    int64_t diag[kMaxPoints] = {}, rhs[kMaxPoints] = {}, h[kMaxPoints] = {};
    for (int32_t i = 0; i + 1 < n; ++i)
        h[i] = std::max<int64_t>(m_x[i + 1] - m_x[i], 1);
    for (int32_t i = 1; i + 1 < n; ++i) {
        diag[i] = 2 * (h[i - 1] + h[i]);
        rhs[i] = 6 * ((m_y[i + 1] - m_y[i]) / h[i] - (m_y[i] - m_y[i - 1]) / h[i - 1]);
    }
    for (int32_t i = 2; i + 1 < n; ++i) {
        const __int128 factor_num = h[i - 1];
        diag[i] = static_cast<int64_t>(diag[i] - factor_num * h[i - 1] / diag[i - 1]);
        rhs[i] = static_cast<int64_t>(rhs[i] - factor_num * rhs[i - 1] / diag[i - 1]);
    }
    for (int32_t i = n - 2; i >= 1; --i) {
        const __int128 next = i + 2 < n ? static_cast<__int128>(h[i]) * m_second[i + 1] : 0;
        m_second[i] = static_cast<int64_t>((rhs[i] - next) / diag[i]);
    }
}

UCSpline::~UCSpline() = default;

int64_t UCSpline::Evaluate(int64_t x) const
{
    const int32_t n = m_count;
    if (n == 0)
        return 0;
    if (n == 1)
        return m_y[0];
    if (x < m_x[0])
        return Line(m_x[0], m_y[0], m_x[1], m_y[1], x);
    if (x >= m_x[n - 1])
        return x == m_x[n - 1] ? m_y[n - 1] : Line(m_x[n - 2], m_y[n - 2], m_x[n - 1], m_y[n - 1], x);
    const int32_t i = static_cast<int32_t>(std::upper_bound(m_x, m_x + n, x) - m_x) - 1;
    const __int128 h = std::max<int64_t>(m_x[i + 1] - m_x[i], 1);
    const __int128 a = m_x[i + 1] - x;
    const __int128 b = x - m_x[i];
    const __int128 v = (m_second[i] * a * a * a + m_second[i + 1] * b * b * b) / (6 * h) +
                       (m_y[i] * a + m_y[i + 1] * b) / h - (m_second[i] * a + m_second[i + 1] * b) * h / 6;
    return static_cast<int64_t>(v);
}

int32_t UCSpline::Evaluate8(int64_t x) const
{
    return static_cast<int32_t>(std::clamp<int64_t>(Evaluate(x) / kScale, 0, 255));
}

int32_t UCSpline::Evaluate16(int64_t x) const
{
    return static_cast<int32_t>(std::clamp<int64_t>(Evaluate(x) / kScale, 0, 65535));
}

void UCSpline::FillTable8(uint8_t* table) const
{
    for (int32_t i = 0; i < 256; ++i)
        table[i] = static_cast<uint8_t>(Evaluate8(i));
}

void UCSpline::FillTable16(uint16_t* table) const
{
    for (int32_t i = 0; i < 65536; ++i)
        table[i] = static_cast<uint16_t>(Evaluate16(i));
}
