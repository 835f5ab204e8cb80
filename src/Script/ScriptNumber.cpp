#include "Script/ScriptNumber.h"

#include "Core/TextOps.h"

#include <charconv>
#include <cmath>
#include <system_error>

std::optional<std::int32_t> ParseScriptInt(std::string_view text)
{
    if (!IsNumericString(text, true))
        return std::nullopt;
    if (text.empty() || text == "-")
        return 0;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> ParseScriptDouble(std::string_view text)
{
    if (!IsNumericString(text, false))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end; // like atof, a second "." ends the number
    if (error == std::errc::invalid_argument)
        return 0.0; // no digits at all
    if (error != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::string> FormatFixed2(double value, int width)
{
    if (!std::isfinite(value))
        return std::nullopt;
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (error != std::errc())
        return std::nullopt;
    std::string text(buffer, end);
    const std::size_t sign = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(sign, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}
