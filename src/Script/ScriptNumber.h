// Numbers of the script files: range-checked reading of the "digits with an
// optional '-'" values and the fixed two-decimal form of the revisions. Both
// ignore the process locale (the files always use ".").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The value of a numeric text; a text without digits ("", "-") is 0. Nothing
// when the text is not numeric or its value does not fit.
std::optional<std::int32_t> ParseScriptInt(std::string_view text);
std::optional<double> ParseScriptDouble(std::string_view text);

// printf's "%#0<width>.2f"; nothing for infinities and NaN.
std::optional<std::string> FormatFixed2(double value, int width);
