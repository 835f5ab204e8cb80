// A natural cubic spline through up to ten control points in 64-bit fixed
// point, turned into 8-bit or 16-bit tone tables.
#pragma once

#include <cstdint>

class UCSpline
{
public:
    static constexpr int32_t kMaxPoints = 10;

    // x ascending is the caller's duty; points beyond ten are ignored.
    UCSpline(const int64_t* x, const int64_t* y, int32_t count);
    virtual ~UCSpline();

    int32_t Evaluate8(int64_t x) const;
    int32_t Evaluate16(int64_t x) const;
    void FillTable8(uint8_t* table) const;
    void FillTable16(uint16_t* table) const;
    int32_t Count() const { return m_count; }

private:
    int64_t Evaluate(int64_t x) const; // the curve value, not clamped

    int64_t m_x[kMaxPoints] = {};
    int64_t m_y[kMaxPoints] = {};
    int64_t m_second[kMaxPoints] = {}; // second derivatives, scaled like y
    int16_t m_count = 0;
};
