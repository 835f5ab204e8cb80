#pragma once

#include <cstdint>

// Paper names, codes and sizes (1/360 inch; length 0 for roll papers) and the
// margin modes that layout searches match against.
constexpr int kZavPaperCount = 23;
constexpr int kZavMarginModeCount = 7;

bool PaperNameMatches(std::int32_t code, const char* name);
bool GetPaperSize(const char* name, std::int32_t* length, std::int32_t* width);
bool MarginsMatch(std::int32_t mode, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d);
