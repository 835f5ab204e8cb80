#include "FrameKit/ValueChecks.h"

#include <climits>
#include <cstdlib>
#include <utility>

void NormalizeRect(ZavRect* rect, bool orderX, bool orderY)
{
    if (rect == nullptr)
        return;
    if (orderX && rect->x1 > rect->x2)
        std::swap(rect->x1, rect->x2);
    if (orderY && rect->y1 > rect->y2)
        std::swap(rect->y1, rect->y2);
}

bool IsValidUnitCode(int value)
{
    return value >= 0 && value <= 2;
}

bool IsValidStringStyle(const std::uint8_t codes[3])
{
    return codes != nullptr && codes[0] <= 4 && codes[1] <= 2 && codes[2] <= 8;
}

int ZavDecimal(const char* text)
{
    long long v = std::strtoll(text, nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}
