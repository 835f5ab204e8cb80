// Rows of an image copied into a 32-bit image or surface with their fourth
// bytes made opaque, which the drawing routines leave 0: the view's render
// into its kept picture, and a paint of a picture drawn on since.
#pragma once

#include <cstddef>
#include <cstdint>

// to[i] = from[i] | 0xFF000000 for the `count` pixels of each of `rows` rows,
// the rows `toStep` and `fromStep` bytes apart (either may step backwards);
// no row of `to` overlaps one of `from`. The processor's path is chosen once.
void CopyRowsOpaque(std::uint8_t* to, std::ptrdiff_t toStep, const std::uint8_t* from, std::ptrdiff_t fromStep,
                    int rows, int count);
