// A row of an image copied into a 32-bit surface with its fourth bytes made
// opaque: the whole cost of a view's paint.
#pragma once

#include <cstddef>
#include <cstdint>

// to[i] = from[i] | 0xFF000000 for every i; the rows do not overlap.
void CopyRowOpaque(std::uint32_t* __restrict to, const std::uint32_t* __restrict from, int count);

// `rows` rows of `count` pixels each, the rows `toStep` and `fromStep` bytes
// apart (either may step backwards); the processor's path is chosen once.
void CopyRowsOpaque(std::uint8_t* to, std::ptrdiff_t toStep, const std::uint8_t* from, std::ptrdiff_t fromStep,
                    int rows, int count);
