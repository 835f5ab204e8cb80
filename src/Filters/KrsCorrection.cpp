#include "KrsCorrection.h"

#include "KrsCurves.h"

#include <algorithm>
#include <cstring>
#include <iterator>

// Every product of stored values is formed in 64 bits; values that index a
// curve are clamped to it, so a stored result cannot lead out of bounds.

namespace {

using namespace krs;

constexpr int32_t kDefaultTargets[kTargetCount] = {0,  255, 500, 200, 128, 4,   4,   0,   55, 192, 27,
                                                   0,  9,   32,  124, 0,   219, 191, 184, 0,  192, 0,
                                                   20, 0,   8,   -16, 0,   120, 200, 100, 100};

// Presets by switch word 1: switch words 4 to 13, -1 where the preset sets nothing.
constexpr int32_t kPresets[12][10] = {
    {0, 0, 0, 0, 0, -1, 0, 0, 0, 0}, {3, 3, 3, 3, 3, -1, 0, 0, 0, 0}, {2, 4, 3, 2, 2, -1, 0, 0, 2, 0},
    {4, 2, 3, 4, 4, -1, 2, 2, 0, 0}, {3, 0, 1, 3, 2, 2, 0, 0, 0, 2},  {3, 1, 0, 3, 3, 2, 0, 0, 0, 0},
    {2, 4, 2, 4, 3, -1, 2, 0, 0, 0}, {4, 3, 2, 3, 5, -1, 0, 0, 0, 0}, {5, 3, 3, 4, 5, -1, 0, 0, 0, 0},
    {2, 5, 3, 3, 3, -1, 0, 0, 0, 0}, {3, 3, 3, 4, 4, -1, 0, 0, 0, 4}, {3, 4, 3, 3, 4, -1, 0, 0, 2, 0},
};

// Strength in fifths: far beyond any preset, yet every product stays in 64 bits.
int64_t Strength(const int32_t* w)
{
    return std::clamp(w[2], -1000, 1000);
}

bool Active(int32_t word)
{
    return word != 0 && word != 255;
}

uint8_t Byte(int64_t v)
{
    return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
}

int32_t Word(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

void Identity(uint8_t curve[256])
{
    for (int32_t i = 0; i < 256; ++i)
        curve[i] = static_cast<uint8_t>(i);
}

// A curve fitted through (0, 0), (p, p + o), (255, 255) and applied to a curve.
void Bend(uint8_t curve[256], int32_t p, int64_t o)
{
    const int32_t x[3] = {0, p, 255};
    const int32_t y[3] = {0, Word(p + o), 255};
    ApplyFittedCurve(x, y, 3, curve);
}

void IdentityPoints(KrsPoints* points)
{
    const int32_t levels[5] = {0, 64, 128, 192, 255};
    for (int32_t k = 0; k < 4; ++k)
        for (int32_t i = 0; i < 5; ++i)
            points->x[k][i] = points->y[k][i] = levels[i];
    points->count = 5;
}

void ClearBySwitches(KrsCorrection* s, const int32_t* w)
{
    if (w[4] != 255) {
        s->black = 0, s->white = 255, s->gain = 255, s->offset = 0, s->contrast = 0;
    }
    if (w[5] != 255)
        s->brightness = 0, s->spare = 0;
    if (w[6] != 255)
        for (int32_t c = 0; c < 3; ++c)
            s->bumps[c] = s->offsets[c] = 0;
    if (w[7] != 255)
        std::fill(std::begin(s->second), std::end(s->second), 0);
    if (w[8] != 255)
        s->amount = s->threshold = 0;
    for (int32_t i = 0; i < 3; ++i)
        if (w[10 + i] != 255)
            std::fill(std::begin(s->cast[i]), std::end(s->cast[i]), 0);
}

void SetTargets(int32_t* t, int32_t first, std::initializer_list<int32_t> values)
{
    for (int32_t v : values)
        t[first++] = v;
}

void ApplyPresetTargets(int32_t* w, int32_t* t)
{
    if (w[4] != 255)
        t[30] = 100;
    switch (w[4]) {
    case 255:
        SetTargets(t, 0, {0, 255});
        break;
    case 0:
    case 1:
    case 6:
    case 7:
        SetTargets(t, 0, {0, 255});
        t[5] = 0;
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        SetTargets(t, 0, {0, 255});
        t[5] = w[4] == 2 ? 2 : (w[4] == 3 ? 4 : (w[4] == 4 ? 8 : 16));
        break;
    default:
        break;
    }
    switch (w[5]) {
    case 0:
    case 3:
        t[4] = 128, t[30] = 100;
        break;
    case 1:
        t[4] = 86, t[30] = 100;
        break;
    case 2:
        t[4] = 102, t[30] = 100;
        break;
    case 4:
        t[4] = 153, t[30] = 100;
        break;
    case 5:
        t[4] = 86, t[30] = 70;
        break;
    default:
        break;
    }
    switch (w[6]) {
    case 0:
        t[6] = 0;
        break;
    case 1:
    case 3:
    case 5:
        t[6] = 4;
        break;
    case 2:
        t[6] = 2;
        break;
    case 4:
        t[6] = 6;
        break;
    default:
        break;
    }
    constexpr int32_t kSaturationTargets[6] = {0, 96, 112, 128, 144, 160};
    if (w[7] >= 0 && w[7] <= 5)
        t[27] = kSaturationTargets[w[7]];
    constexpr int32_t kSharpeningTargets[6] = {0, 75, 150, 300, 400, 600};
    if (w[8] == 10)
        t[28] = 0;
    else if (w[8] >= 0 && w[8] <= 5)
        t[28] = kSharpeningTargets[w[8]];
    if (w[10] == 4)
        SetTargets(t, 8, {0, 128, 0});
    if (w[11] == 4)
        SetTargets(t, 12, {0, 32, 128});
    if (w[12] == 4)
        SetTargets(t, 16, {243, 222, 218});
    if (w[13] == 4)
        SetTargets(t, 20, {192, 0, 4});
    if (w[14] == 4)
        SetTargets(t, 24, {16, -32, 0});
}

void ApplySceneCode(KrsCorrection* s, int32_t* w, int32_t* t)
{
    switch (w[3]) {
    case 1:
        w[12] = 2;
        SetTargets(t, 16, {230, 172, 172});
        break;
    case 2:
        w[12] = 4;
        SetTargets(t, 16, {243, 222, 218});
        break;
    case 3:
        w[10] = 2;
        SetTargets(t, 8, {0, 192, 20});
        break;
    case 4:
        w[11] = 2;
        SetTargets(t, 12, {0, 32, 128});
        break;
    case 5:
        w[13] = 2;
        break;
    case 6:
        w[13] = 4;
        SetTargets(t, 20, {192, 0, 4});
        break;
    case 7:
        s->bumps[0] = 0, s->bumps[1] = -4, s->bumps[2] = 0;
        break;
    case 8:
        s->bumps[2] = 10;
        break;
    case 9:
        s->bumps[0] = 10, s->bumps[2] = -30;
        break;
    case 10:
        s->bumps[0] = 30, s->bumps[2] = -10;
        break;
    case 11:
        s->bumps[0] = -10, s->bumps[2] = 30;
        break;
    case 12:
        s->bumps[0] = 20, s->bumps[1] = -20;
        break;
    case 50:
        w[4] = 2, w[5] = 5, w[6] = 3, w[7] = 2, w[8] = 2, w[12] = 2;
        SetTargets(t, 0, {0, 255});
        t[4] = 128, t[5] = 2, t[6] = 4;
        SetTargets(t, 16, {230, 172, 172});
        t[27] = 96, t[28] = 75;
        break;
    case 51:
    case 52:
        w[4] = 2, w[6] = 3, w[7] = 2, w[8] = 2, w[12] = 2;
        SetTargets(t, 16, {230, 172, 172});
        s->bumps[w[3] == 51 ? 2 : 0] = 10;
        break;
    case 53:
        w[4] = 2, w[6] = 3, w[7] = 2, w[8] = 4;
        SetTargets(t, 0, {0, 255});
        t[4] = 115, t[5] = -5, t[6] = 4, t[27] = 96, t[28] = 200;
        break;
    case 54:
        w[4] = 1, w[6] = 3, w[7] = 2, w[8] = 2;
        SetTargets(t, 0, {0, 255});
        t[4] = 128, t[5] = -10, t[6] = 4, t[27] = 96, t[28] = 75;
        break;
    case 500:
        w[0] = 0;
        break;
    case 501:
        w[0] = 0;
        s->offsets[0] = 20, s->offsets[1] = 0, s->offsets[2] = -25;
        break;
    case 502:
        s->contrast = 16;
        break;
    case 503:
    case 504:
    case 505:
    case 506: {
        constexpr int32_t kBrightness[4] = {15, 30, -15, -30};
        s->brightness = kBrightness[w[3] - 503];
        break;
    }
    case 507:
        std::fill(std::begin(s->second), std::end(s->second), 20);
        break;
    case 508:
        s->amount = 30;
        break;
    case 509:
        w[12] = 255;
        s->cast[2][1] = 10, s->cast[2][2] = -5, s->cast[2][3] = 0;
        break;
    case 520:
        t[27] = 160, t[28] = 200;
        break;
    case 521:
    case 522:
    case 523:
    case 524: {
        constexpr int32_t kMiddle[4] = {128, 115, 90, 77};
        t[4] = kMiddle[w[3] - 521];
        break;
    }
    case 525:
        SetTargets(t, 0, {0, 255});
        t[4] = 90, t[5] = 5, t[6] = 4, t[27] = 160, t[28] = 200;
        break;
    case 526:
        SetTargets(t, 0, {0, 255});
        t[4] = 115, t[5] = -5, t[6] = 4, t[27] = 96, t[28] = 75;
        break;
    case 961:
        for (int32_t k = 0; k < 4; ++k) {
            const int32_t xs[3] = {0, 128, 255}, ys[3] = {255, 128, 0};
            for (int32_t i = 0; i < 3; ++i)
                s->points[1].x[k][i] = xs[i], s->points[1].y[k][i] = ys[i];
        }
        s->points[1].count = 3;
        w[4] = 30;
        break;
    default:
        break;
    }
}

// Level step: false when the black and white points leave no span.
bool LevelStep(KrsCorrection* s, const KrsSettings& set)
{
    const int32_t* w = set.switches;
    const int32_t* t = set.targets;
    const int64_t f = Strength(w);
    const int64_t lo = set.scene[kSceneLow], hi = set.scene[kSceneHigh];
    const int64_t black = w[12] == 2 ? -5 : lo * f / 5;
    const int64_t white = 255 - (255 - hi) * f / 5;
    if (white - black < 1 || white - black >= 512) {
        s->black = 0, s->white = 255, s->gain = 255, s->offset = 0;
        return false;
    }
    s->black = black, s->white = white;
    s->gain = (int64_t{t[1]} - t[0]) * 255 / (white - black);
    s->offset = s->gain * black / 255;
    const int64_t spread = int64_t{set.scene[kSceneSpread]} * s->gain / 255;
    if (spread < 64)
        s->contrast += (int64_t{t[5]} * KrsIsqrt(64 - spread) / 4) * f / 5;
    return true;
}

// Gain and offset of loaded or cleared black and white points.
void LevelFromPoints(KrsCorrection* s, const KrsSettings& set)
{
    const int64_t span = s->white - s->black;
    if (span < 1 || span >= 512) {
        s->gain = 255, s->offset = 0;
        return;
    }
    s->gain = (int64_t{set.targets[1]} - set.targets[0]) * 255 / span;
    s->offset = s->gain * s->black / 255;
}

bool BrightnessStep(KrsCorrection* s, const KrsSettings& set)
{
    const int32_t* w = set.switches;
    const int32_t* t = set.targets;
    const int64_t f = Strength(w);
    const int64_t lo = set.scene[kSceneLow], hi = set.scene[kSceneHigh];
    const int64_t span = (255 - (255 - hi) * f / 5) - (w[12] == 2 ? -5 : lo * f / 5);
    if (span < 1)
        return false;
    const int64_t v = ((int64_t{t[1]} - t[0]) * 255 / span) * set.scene[kSceneSpread] / 255;
    const int64_t u = int64_t{t[4]} - (int64_t{set.scene[kSceneReference]} * s->gain) / 255 + s->offset;
    const int64_t r = u > 0 ? KrsIsqrt(4 * u) : KrsIsqrt(-u);
    if (v == 0)
        return false;
    s->brightness += ((r * 64 / v) * f) / 5;
    return true;
}

void CastCurves(KrsCorrection* s, const KrsSettings& set)
{
    const int32_t* w = set.switches;
    const int32_t* t = set.targets;
    const int64_t f = Strength(w);
    const bool useDelta[3] = {w[1] == 3 || w[1] == 6 || w[10] == 2 || w[10] == 4,
                              w[1] == 3 || w[11] == 2 || w[11] == 4,
                              w[1] == 2 || w[1] == 11 || w[12] == 2 || w[12] == 4};
    constexpr int32_t kPoint[5] = {64, 192, 192, 128, 192};
    constexpr int32_t kDivisor[3] = {8, 8, 6};
    constexpr int32_t kRedOffsets[4] = {0, 16, -8, -8};
    for (int32_t i = 0; i < 5; ++i) {
        if (w[10 + i] == 0)
            continue;
        for (int32_t k = 0; k < 4; ++k) {
            int64_t o = 0;
            if (i < 3) {
                int64_t d = 0;
                if (useDelta[i]) {
                    const int32_t level = std::clamp(set.scene[kSceneFoliage + 4 * i + k], 0, 255);
                    d = ((int64_t{t[7 + 4 * i + k]} - s->base[k][level]) / kDivisor[i] * f) / 5;
                }
                s->cast[i][k] += d;
                o = s->cast[i][k];
            } else if (i == 3) {
                o = kRedOffsets[k];
            } else {
                o = t[23 + k];
            }
            std::memcpy(s->alternative[i][k], s->base[k], 256);
            Bend(s->alternative[i][k], kPoint[i], o);
        }
    }
}

void SecondAdjustmentAndSharpening(KrsCorrection* s, const KrsSettings& set, int64_t width, int64_t height)
{
    const int32_t* w = set.switches;
    const int32_t* t = set.targets;
    const int64_t f = Strength(w);
    if (Active(w[7])) {
        const int64_t d = int64_t{t[27]} - ((int64_t{set.scene[kSceneSaturation]} * s->gain) >> 8);
        for (int64_t& factor : s->second) {
            factor += (f * std::max<int64_t>(d / 2, 0)) / 5;
            if (w[9] != 0)
                factor += 10;
        }
    }
    if (Active(w[8])) {
        const int64_t e = (int64_t{set.scene[kSceneEdge]} * s->gain) >> 8;
        const int64_t c = (int64_t{set.scene[kSceneEdgeShare]} * s->gain) >> 8;
        s->threshold = std::clamp<int64_t>(c < 1 ? 0 : t[29] / c, 0, 30);
        const int64_t k = e < 1 ? 0 : t[28] / e;
        const int64_t a = std::clamp<int64_t>(std::min(width, height) * k / 2500, 0, 50);
        s->amount += (f * a) / 5;
        if (w[8] == 10)
            s->amount = s->threshold = 0;
    }
    s->amount = std::clamp<int64_t>(s->amount, 0, 50);
    s->threshold = std::clamp<int64_t>(s->threshold, 0, 30);
}

} // namespace

void SetKrsDefaults(KrsSettings* settings)
{
    int32_t* w = settings->switches;
    std::fill(w, w + kSwitchCount, 0);
    w[0] = 1, w[1] = 1, w[2] = 5, w[3] = 0;
    for (int32_t i = 4; i <= 8; ++i)
        w[i] = 3;
    std::copy(std::begin(kDefaultTargets), std::end(kDefaultTargets), settings->targets);
}

void RunKrsPresetStep(KrsCorrection* s, KrsSettings* settings)
{
    int32_t* w = settings->switches;
    int32_t* t = settings->targets;
    ClearBySwitches(s, w);
    IdentityPoints(&s->points[0]);
    IdentityPoints(&s->points[1]);
    if (w[1] != 255)
        w[13] = w[14] = 0;
    if (w[1] >= 0 && w[1] < 12) {
        for (int32_t i = 0; i < 10; ++i)
            if (kPresets[w[1]][i] >= 0)
                w[4 + i] = kPresets[w[1]][i];
        if (w[1] == 10)
            s->second[1] += 2 * Strength(w);
    }
    ApplyPresetTargets(w, t);
    ApplySceneCode(s, w, t);
    if (w[8] == 10)
        t[28] = 0, s->amount = s->threshold = 0;
}

bool DeriveKrsCorrection(KrsCorrection* s, KrsSettings* settings, int64_t width, int64_t height)
{
    const int32_t* w = settings->switches;
    const int32_t* t = settings->targets;
    if (w[3] == 0)
        ClearBySwitches(s, w);
    if (w[4] != 255 && w[6] != 255) {
        for (auto& curve : s->base)
            Identity(curve);
        for (auto& block : s->alternative)
            for (auto& curve : block)
                Identity(curve);
    }
    bool ok = true;
    if (Active(w[4]))
        ok = LevelStep(s, *settings);
    else
        LevelFromPoints(s, *settings);
    for (auto& curve : s->base)
        for (uint8_t& v : curve)
            v = Byte(int64_t{v} * s->gain / 255 - s->offset + t[0]);
    if (s->contrast != 0) {
        const int32_t x[4] = {0, 64, 192, 255};
        const int32_t y[4] = {0, Word(64 - s->contrast), Word(192 + s->contrast), 255};
        for (auto& curve : s->base)
            ApplyFittedCurve(x, y, 4, curve);
    }
    if (Active(w[5])) {
        if (!BrightnessStep(s, *settings))
            return false;
    }
    if (s->brightness != 0)
        for (auto& curve : s->base)
            Bend(curve, s->brightness >= 1 ? 64 : 192, s->brightness);
    if (Active(w[6]) && w[0] != 0) {
        const int64_t f = Strength(w);
        const int64_t m = settings->scene[kSceneGreyMean];
        for (int32_t c = 0; c < 3; ++c) {
            const int64_t mc = settings->scene[kSceneGreyChannels + c];
            s->bumps[c] += ((((m - mc) * s->gain / 510) * t[6] / 5) * f) / 5;
        }
        if (w[6] == 1)
            s->bumps[0] = 4, s->bumps[2] = -2;
        if (w[6] == 5)
            s->bumps[1] = 10;
        if (w[12] == 2)
            s->bumps[1] -= 4;
    }
    for (int32_t c = 0; c < 3; ++c) {
        const int32_t x[3] = {0, 192, 255};
        const int32_t y[3] = {Word(s->offsets[c]), Word(192 + s->offsets[c] + s->bumps[c]),
                              Word(255 + s->offsets[c])};
        ApplyFittedCurve(x, y, 3, s->base[1 + c]);
    }
    for (int32_t v = 0; v < 256; ++v)
        s->base[0][v] = Byte((30 * s->base[1][v] + 59 * s->base[2][v] + 11 * s->base[3][v]) / 100);
    const int32_t power = std::clamp(t[30], 0, 1000);
    if (power != 100) {
        uint8_t table[256];
        BuildKrsPowerTable(power, table);
        for (auto& curve : s->base)
            for (uint8_t& v : curve)
                v = table[v];
    }
    CastCurves(s, *settings);
    SecondAdjustmentAndSharpening(s, *settings, width, height);
    return ok;
}

void ResetKrsAfterFailure(KrsCorrection* s, KrsSettings* settings)
{
    for (int32_t c = 1; c < 4; ++c)
        Identity(s->base[c]);
    for (int32_t i = 10; i <= 14; ++i)
        settings->switches[i] = 0;
    s->second[1] = s->second[2] = s->second[3] = 0;
    s->amount = s->threshold = 0;
}

void LoadKrsFactors(KrsCorrection* s, const uint8_t* r)
{
    auto word = [&](int32_t i) -> int64_t { return ClampStored(Read32(r, kFactors + 4 * i)); };
    s->black = word(0);
    s->white = 255 - word(1);
    s->contrast = word(2);
    s->brightness = word(3);
    for (int32_t c = 0; c < 3; ++c) {
        s->bumps[c] = word(5 + c);
        s->offsets[c] = word(9 + c);
    }
    for (int32_t i = 0; i < 4; ++i)
        s->second[i] = word(12 + i);
    for (int32_t i = 0; i < 3; ++i)
        for (int32_t k = 0; k < 4; ++k)
            s->cast[i][k] = ClampStored(Read32(r, kCastFactors + 4 * (4 * i + k)));
    s->amount = std::clamp<int64_t>(Read32(r, kAmount), 0, 50);
    s->threshold = std::clamp<int64_t>(Read32(r, kThreshold), 0, 30);
}

void WriteKrsBack(const KrsCorrection& s, const KrsSettings& set, uint8_t* r)
{
    for (int32_t i = 0; i < 15; ++i)
        Write32(r, kSwitches + 4 * i, set.switches[i]);
    const int64_t words[16] = {s.black,      255 - s.white, s.contrast,   s.brightness,
                               s.brightness, s.bumps[0],    s.bumps[1],   s.bumps[2],
                               s.spare,      s.offsets[0],  s.offsets[1], s.offsets[2],
                               s.second[0],  s.second[1],   s.second[2],  s.second[3]};
    for (int32_t i = 0; i < 16; ++i)
        Write32(r, kFactors + 4 * i, Word(words[i]));
    for (int32_t i = 0; i < 3; ++i)
        for (int32_t k = 0; k < 4; ++k)
            Write32(r, kCastFactors + 4 * (4 * i + k), Word(s.cast[i][k]));
    Write32(r, kAmount, s.amount);
    Write32(r, kThreshold, s.threshold);
    std::memcpy(r + kBaseCurves, s.base, sizeof(s.base));
    std::memcpy(r + kAlternativeCurves, s.alternative, sizeof(s.alternative));
    for (int32_t i = 0; i < kTargetCount; ++i)
        Write32(r, kTargets + 4 * i, set.targets[i]);
    for (int32_t i = 0; i < 4; ++i)
        if (set.switches[10 + i] == 0)
            for (int32_t c = 1; c < 4; ++c) {
                uint8_t* curve = r + kAlternativeCurves + (4 * i + c) * 256;
                for (int32_t v = 0; v < 256; ++v)
                    curve[v] = static_cast<uint8_t>(v);
            }
}

void BuildKrsPreCurves(KrsCorrection* s, uint8_t* r)
{
    const KrsPoints& p = s->points[1];
    for (int32_t c = 0; c < 3; ++c) {
        Identity(s->pre[c]);
        ApplyFittedCurve(p.x[1 + c], p.y[1 + c], p.count, s->pre[c]);
        std::memcpy(r + kPreCurves + 256 * c, s->pre[c], 256);
    }
}

void WriteKrsBeforeHistograms(uint8_t* r)
{
    uint32_t largest = 0;
    for (int32_t k = 0; k < 4; ++k)
        for (int32_t i = 0; i < 128; ++i) {
            const uint32_t v = ReadU32(r, kHistograms + 4 * (256 * k + 2 * i));
            Write32(r, kBefore + 4 * (128 * k + i), v);
            largest = std::max(largest, v);
        }
    Write32(r, kCeiling, std::min(largest, ReadU32(r, kCount) / 50));
}

void WriteKrsAfterHistograms(const KrsCorrection& s, const KrsSettings& set, uint8_t* r)
{
    for (int32_t k = 0; k < 4; ++k) {
        uint64_t after[256] = {};
        const int32_t source = set.switches[0] == 0 ? 0 : k;
        for (int32_t v = 0; v < 256; ++v)
            after[s.base[k][v]] += ReadU32(r, kHistograms + 4 * (256 * source + v));
        for (int32_t i = 0; i < 128; ++i)
            Write32(r, kAfter + 4 * (128 * k + i), static_cast<int64_t>(after[2 * i]));
    }
}
