// The correction state of the automatic photo correction and the steps that
// turn analysis statistics, switches and targets into its curves: the preset
// step, the derivation, and the exchange with the analysis result.
#pragma once

#include "KrsResult.h"

#include <cstdint>

struct KrsPoints
{
    int32_t x[4][5] = {};
    int32_t y[4][5] = {};
    int32_t count = 0;
};

struct KrsCorrection
{
    int64_t black = 0, white = 255, gain = 255, offset = 0, contrast = 0, brightness = 0;
    int64_t bumps[3] = {}, spare = 0, offsets[3] = {};
    int64_t cast[3][4] = {}; // first, second, third cast corrections: luminance, R, G, B
    KrsPoints points[2];     // the second set defines the pre-curves
    int64_t second[4] = {};  // second adjustment: luminance, R, G, B (percent)
    int64_t amount = 0, threshold = 0;
    uint8_t base[4][256] = {};           // luminance, R, G, B
    uint8_t alternative[5][4][256] = {}; // one block per cast correction
    uint8_t pre[3][256] = {};            // R, G, B
};

// Scene values: what the analysis found, kept in the result so that a stored
// result applies without analysis. 31-42 are the class means the alternative
// curves read; the others are this filter's own.
namespace krs {
constexpr int32_t kSceneZoneMeans = 0; // the second Y histogram, nine zones, four quadrants
constexpr int32_t kSceneReference = 14;
constexpr int32_t kSceneSpread = 15;
constexpr int32_t kSceneLow = 16;    // darkest dark point, at most 12
constexpr int32_t kSceneHigh = 17;   // brightest bright point, at least 236
constexpr int32_t kSceneDark = 18;   // Y, R, G, B
constexpr int32_t kSceneBright = 22; // Y, R, G, B
constexpr int32_t kSceneMean = 26;   // Y, R, G, B
constexpr int32_t kSceneGreyMean = 30;
constexpr int32_t kSceneFoliage = 31; // Y, R, G, B means; sky at 35, pale red at 39
constexpr int32_t kSceneGreyChannels = 43;
constexpr int32_t kSceneSaturation = 46;
constexpr int32_t kSceneEdge = 47;
constexpr int32_t kSceneEdgeShare = 48;
constexpr int32_t kSceneGreyCount = 49;
constexpr int32_t kSceneOrientation = 50;
} // namespace krs

struct KrsSettings
{
    int32_t switches[krs::kSwitchCount] = {};
    int32_t targets[krs::kTargetCount] = {};
    int32_t scene[krs::kSceneCount] = {};
};

// The analysis defaults of the switches and targets.
void SetKrsDefaults(KrsSettings* settings);
// The preset step of the apply pass: clearing, identity control points,
// presets by switch word 1, targets, scene code and the sharpening switch.
void RunKrsPresetStep(KrsCorrection* state, KrsSettings* settings);
// Derives every curve and factor; false when the level or brightness step
// failed. `width` and `height` are the region's.
bool DeriveKrsCorrection(KrsCorrection* state, KrsSettings* settings, int64_t width, int64_t height);
// After a failed derivation: channel curves back to identity, cast
// corrections and sharpening off.
void ResetKrsAfterFailure(KrsCorrection* state, KrsSettings* settings);

// Stored words that enter products are bounded so that no product of the
// derivation leaves 64 bits; values a real analysis gives are far inside.
inline int32_t ClampStored(int32_t v)
{
    return v < -65536 ? -65536 : (v > 65536 ? 65536 : v);
}

// The factor block, 30 words, from and to the result.
void LoadKrsFactors(KrsCorrection* state, const uint8_t* result);
void WriteKrsBack(const KrsCorrection& state, const KrsSettings& settings, uint8_t* result);
// Builds the pre-curves from the second control-point set into the state and the result.
void BuildKrsPreCurves(KrsCorrection* state, uint8_t* result);
// Before-histograms (even levels) and the display ceiling, from the result's full histograms.
void WriteKrsBeforeHistograms(uint8_t* result);
// After-histograms through the derived base curves.
void WriteKrsAfterHistograms(const KrsCorrection& state, const KrsSettings& settings, uint8_t* result);
