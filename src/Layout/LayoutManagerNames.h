// Item names made from a localisation text with one integer placeholder.
#pragma once

#include <string>

// The first %d (or %i, %u) becomes the number and "%%" a percent sign; other
// text is kept as it is, so a text with any other directive cannot misread it.
std::string FormatNumberedName(const std::string& format, long number);
