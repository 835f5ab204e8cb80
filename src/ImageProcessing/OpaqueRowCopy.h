// A row of an image copied into a 32-bit surface with its fourth bytes made
// opaque: the whole cost of a view's paint.
#pragma once

#include <cstdint>

// to[i] = from[i] | 0xFF000000 for every i; the rows do not overlap.
void CopyRowOpaque(std::uint32_t* __restrict to, const std::uint32_t* __restrict from, int count);
