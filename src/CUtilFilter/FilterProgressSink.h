// Where the filter adapters send their progress (UM_FILTERPROGRESS); the
// window that shows it implements this, tests record what it receives.
#pragma once

#include <cstdint>

constexpr unsigned UM_FILTERPROGRESS = 0x401;

class IFilterProgressSink
{
public:
    virtual ~IFilterProgressSink() = default;
    // Sent synchronously: wParam is the filter event, lParam the percentage for
    // progress events and 0 for the others. The answer is the window's.
    virtual intptr_t SendFilterMessage(unsigned message, intptr_t wParam, intptr_t lParam) = 0;
};
