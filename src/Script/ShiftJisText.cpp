#include "Script/ShiftJisText.h"

#include "Platform/ShiftJis.h"

std::optional<std::size_t> ShiftJisByteLength(std::string_view utf8)
{
    const auto sjis = Utf8ToShiftJis(utf8);
    if (!sjis)
        return std::nullopt;
    return sjis->size();
}

bool FitsShiftJisField(std::string_view utf8, std::size_t fieldSize)
{
    const auto length = ShiftJisByteLength(utf8);
    return length && fieldSize > 0 && *length <= fieldSize - 1;
}

std::optional<std::string> CutToShiftJisField(std::string_view utf8, std::size_t fieldSize)
{
    const auto sjis = Utf8ToShiftJis(utf8);
    if (!sjis || fieldSize == 0)
        return std::nullopt;
    if (sjis->size() <= fieldSize - 1)
        return std::string(utf8);
    std::size_t cut = 0;
    for (;;) {
        const std::size_t next = cut + ShiftJisCharLength(static_cast<unsigned char>((*sjis)[cut]));
        if (next > fieldSize - 1)
            break;
        cut = next;
    }
    return ShiftJisToUtf8(std::string_view(*sjis).substr(0, cut));
}
