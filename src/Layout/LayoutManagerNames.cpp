#include "Layout/LayoutManagerNames.h"

std::string FormatNumberedName(const std::string& format, long number)
{
    std::string out;
    bool used = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '%' && i + 1 < format.size()) {
            const char next = format[i + 1];
            if (next == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (!used && (next == 'd' || next == 'i' || next == 'u')) {
                out += std::to_string(number);
                used = true;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}
