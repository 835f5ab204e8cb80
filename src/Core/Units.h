// Rounding and the conversion between layout units (dots at a resolution;
// callers pass 360, so a dot is one layout unit) and millimetres or inches.
#pragma once

// The nearest integer, halves away from zero: 2.5 gives 3, -2.5 gives -3.
int RoundHalfAway(double value);

// Each converts `*value` in place; false (value unchanged) for a null pointer
// or a resolution below 1.
bool PixelsToMM(int resolution, float* value);     // not rounded
bool MMToPixels(int resolution, float* value);     // rounded to whole dots
bool PixelsToInches(int resolution, float* value); // not rounded
bool InchesToPixels(int resolution, float* value); // rounded to whole dots

// Bits per pixel of the primary screen; 0 without a QGuiApplication.
int GetScreenColorDepth();
