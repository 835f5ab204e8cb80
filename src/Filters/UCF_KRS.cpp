#include "UCF_KRS.h"

#include "FilterErrorCode.h"
#include "FilterRegistry.h"
#include "KrsCurves.h"
#include "UCF_USM.h"
#include "UsmKernels.h"
#include "UtilFilter.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

using namespace krs;

namespace {

constexpr char kName[] = "Krestel FILTER";
constexpr int32_t kBlockBytes = 56;
constexpr int32_t kFormats = UCF_FMT_RGB24 | UCF_FMT_BGR24 | UCF_FMT_BGRA32 | UCF_FMT_ARGB32;
constexpr int32_t kStatisticsBuffer = 3;
constexpr int32_t kResultBuffer = 4;
constexpr int32_t kSpareBuffer = 1;

// The memory-colour settings handed out with a result (switched off): a
// gentle lift of the saturation of sky blues.
constexpr int32_t kMemoryColourSettings[10] = {0, 10, 0, 190, 250, 20, 100, 30, 100, 0};

int32_t Luminance(int32_t r, int32_t g, int32_t b)
{
    return (38 * r + 76 * g + 14 * b) >> 7;
}

int64_t MeanOf(const uint32_t* histogram, int32_t bins)
{
    uint64_t n = 0, sum = 0;
    for (int32_t i = 0; i < bins; ++i) {
        n += histogram[i];
        sum += uint64_t{histogram[i]} * static_cast<uint64_t>(i);
    }
    return n ? static_cast<int64_t>(sum / n) : 0;
}

uint8_t Clamp255(int64_t v)
{
    return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
}

} // namespace

struct UCF_KRS::Statistics
{
    uint32_t counted, grey, second, zoneCount[9], quadrantCount[4], classCount[4], saturationCount, edgeCount;
    uint32_t y[256], r[256], g[256], b[256], y2[256];
    uint32_t zone[9][256], quadrant[4][256];
    uint32_t greyClass[4][256];  // mean of R, G, B; R; G; B
    uint32_t classes[4][4][256]; // foliage, sky, pale red, saturated red: Y, R, G, B
    uint32_t saturation[512], edge[256], hue[360];
};

UCF_KRS::UCF_KRS(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_KRS::~UCF_KRS() = default;

int32_t UCF_KRS::Saturation(int32_t r, int32_t g, int32_t b)
{
    const int32_t mx = std::max({r, g, b}), mn = std::min({r, g, b});
    if (mx == mn)
        return 0;
    const int32_t sum = mx + mn;
    return (mx - mn) * 256 / (sum >= 256 ? 510 - sum : sum);
}

int32_t UCF_KRS::Hue(int32_t r, int32_t g, int32_t b)
{
    const int32_t mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const int32_t delta = mx - mn;
    if (delta == 0)
        return -1;
    int32_t h = 0;
    if (r == mx)
        h = (g - b) * 256 / delta;
    else if (g == mx)
        h = (b - r) * 256 / delta + 512;
    else
        h = (r - g) * 256 / delta + 1024;
    if (h < 0)
        h += 1536;
    return (h * 60) >> 8;
}

int32_t UCF_KRS::GetInfo(const ImageDescriptor*, int32_t parameterSize, const void*, FilterInfo* info)
{
    if (parameterSize != kBlockBytes)
        return UCF_ERR_BADPARAM;
    m_state = KrsCorrection{};
    *info = FilterInfo{};
    std::memcpy(info->name, kName, sizeof(kName));
    info->word16 = 1;
    info->word17 = 1;
    info->formatMask = kFormats;
    info->overlap = 4;
    return UCF_OK;
}

int32_t UCF_KRS::Initialize()
{
    if (int32_t rc = UCFilter::Initialize())
        return rc;
    m_owner->FreeWorkBuffer(kResultBuffer);
    m_hasAnalysisResult = 0;
    return m_parameters ? UCF_OK : UCF_ERR_CURVE;
}

int32_t UCF_KRS::BeginAnalysis()
{
    m_hasAnalysisResult = 0;
    auto* result = static_cast<uint8_t*>(m_owner->AllocWorkBuffer(kResultBuffer, kResultBytes));
    if (!result)
        return UCF_ERR_NOMEMORY;
    std::memset(result, 0, kResultBytes);
    m_settings = KrsSettings{};
    SetKrsDefaults(&m_settings);
    for (int32_t i = 0; i < kSwitchCount; ++i)
        Write32(result, kSwitches + 4 * i, m_settings.switches[i]);
    for (int32_t i = 0; i < kTargetCount; ++i)
        Write32(result, kTargets + 4 * i, m_settings.targets[i]);
    Write32(result, kRadius, 12);
    Write32(result, kVariant, 1);
    Write32(result, kEnable, 1);
    for (int32_t i = 0; i < 10; ++i)
        Write32(result, kMemoryParameters + 4 * i, kMemoryColourSettings[i]);
    const int32_t w = std::max(m_descriptor.regionWidth, 0), h = std::max(m_descriptor.regionHeight, 0);
    m_step = std::min(w, h) / 1000 + 1;
    m_columns = w / m_step;
    m_gridRows = h / m_step;
    m_rowNumber = 0;
    const size_t bytes = sizeof(Statistics) + static_cast<size_t>(m_columns);
    void* statistics = m_owner->AllocWorkBuffer(kStatisticsBuffer, bytes);
    if (!statistics)
        return UCF_ERR_NOBUFFER;
    std::memset(statistics, 0, bytes);
    return UCF_OK;
}

void UCF_KRS::Sample(Statistics& st, int32_t r, int32_t g, int32_t b, int32_t x, int32_t y, int32_t* previous)
{
    const int32_t lum = Luminance(r, g, b);
    const int32_t edge = *previous < 0 ? 15 : std::abs(lum - *previous);
    *previous = lum;
    if (lum == 0 || lum == 255)
        return;
    const int32_t s = Saturation(r, g, b);
    const int32_t h = Hue(r, g, b);
    ++st.counted;
    ++st.y[lum], ++st.r[r], ++st.g[g], ++st.b[b];
    ++st.second, ++st.y2[lum];
    auto count = [&](int32_t cls) {
        ++st.classCount[cls];
        ++st.classes[cls][0][lum], ++st.classes[cls][1][r], ++st.classes[cls][2][g], ++st.classes[cls][3][b];
    };
    if (s > 32) {
        if (g >= 33 && h >= 60 && h <= 120)
            count(0);
        if (b >= 129 && h >= 180 && h <= 240)
            count(1);
    }
    const bool redHue = h >= 345 || h < 46;
    const bool paleRed = s < 128 && r > 128 && redHue;
    if (paleRed)
        count(2);
    if (s > 128 && r >= 129 && redHue)
        count(3);
    const int32_t c = m_columns / 5, d = m_gridRows / 5;
    if (x > c && x < 4 * c && y > d && y < 4 * d) {
        const int32_t column = x < 2 * c ? 0 : (x >= 3 * c ? 2 : 1);
        int32_t zone = 0;
        if (y >= 3 * d)
            zone = column;
        else if (y >= 2 * d)
            zone = 3 + column;
        else
            zone = 6 + (column == 1 ? 0 : (column == 0 ? 1 : 2));
        ++st.zoneCount[zone], ++st.zone[zone][lum];
    } else {
        const int32_t quadrant = (y >= m_gridRows / 2 ? 0 : 2) + (x < m_columns / 2 ? 0 : 1);
        ++st.quadrantCount[quadrant], ++st.quadrant[quadrant][lum];
    }
    if (!paleRed) {
        if (h >= 46 && h < 300 && s < 50 && lum >= 65) {
            ++st.grey;
            ++st.greyClass[0][(r + g + b) / 3], ++st.greyClass[1][r], ++st.greyClass[2][g],
                ++st.greyClass[3][b];
        }
        if (s >= 65 && lum >= 65 && s != 256)
            ++st.saturationCount, ++st.saturation[s];
        if (edge > 4)
            ++st.edgeCount, ++st.edge[edge];
    }
    if (h >= 0)
        ++st.hue[h];
}

int32_t UCF_KRS::AccumulateHistogram(const FilterJob& job)
{
    auto* st = static_cast<Statistics*>(m_owner->GetWorkBuffer(kStatisticsBuffer));
    if (!st)
        return UCF_ERR_NOBUFFER;
    const PixelLayout& s = job.source;
    const uint8_t* row = s.pixels;
    for (int32_t y = 0; y < s.regionHeight; ++y, row += s.rowBytes) {
        ++m_rowNumber;
        if (y == s.regionHeight - 1 || m_rowNumber % m_step != 0)
            continue; // the last row of a strip is not sampled
        const int64_t gridRow = m_rowNumber / m_step - 1;
        if (gridRow >= m_gridRows)
            continue;
        int32_t previous = -1;
        for (int32_t i = 0; i < m_columns; ++i) {
            const int64_t x = (int64_t{i} + 1) * m_step - 1;
            if (x >= s.regionWidth)
                break;
            const uint8_t* p = row + x * s.bytesPerPixel;
            Sample(*st, p[s.red], p[s.green], p[s.blue], i, static_cast<int32_t>(gridRow), &previous);
        }
    }
    return UCF_OK;
}

void UCF_KRS::FirstStep(const Statistics& st, uint8_t* result)
{
    int32_t* scene = m_settings.scene;
    std::fill(scene, scene + kSceneCount, 0);
    const uint32_t n = st.counted;
    const int32_t* t = m_settings.targets;
    const uint32_t* channels[4] = {st.y, st.r, st.g, st.b};
    int64_t lo = 255, hi = 0;
    for (int32_t k = 0; k < 4; ++k) {
        const uint32_t* hist = channels[k];
        // A zero target means the share is never exceeded.
        int64_t dark = 0, bright = 255;
        if (t[2] > 0) {
            uint64_t cum = 0;
            for (int32_t level = 0; level < 256; ++level)
                if ((cum += hist[level]) > n / static_cast<uint32_t>(t[2])) {
                    dark = std::max(level - 1, 0);
                    break;
                }
        }
        if (t[3] > 0) {
            uint64_t cum = 0;
            for (int32_t level = 255; level >= 0; --level)
                if ((cum += hist[level]) > n / static_cast<uint32_t>(t[3])) {
                    bright = std::min(level + 1, 255);
                    break;
                }
        }
        scene[kSceneDark + k] = static_cast<int32_t>(dark);
        scene[kSceneBright + k] = static_cast<int32_t>(bright);
        scene[kSceneMean + k] = static_cast<int32_t>(MeanOf(hist, 256));
        lo = std::min(lo, dark);
        hi = std::max(hi, bright);
    }
    scene[kSceneLow] = static_cast<int32_t>(std::min<int64_t>(lo, 12));
    scene[kSceneHigh] = static_cast<int32_t>(std::max<int64_t>(hi, 236));
    const int64_t meanY = scene[kSceneMean];
    uint64_t spreadSum = 0;
    for (int64_t level = 0; level < 256; ++level)
        spreadSum += static_cast<uint64_t>((level - meanY) * (level - meanY) / 10) * st.y[level];
    scene[kSceneSpread] = static_cast<int32_t>(KrsIsqrt(n ? static_cast<int64_t>(spreadSum / n) * 10 : 0));
    scene[kSceneZoneMeans] = static_cast<int32_t>(MeanOf(st.y2, 256));
    for (int32_t z = 0; z < 9; ++z)
        scene[kSceneZoneMeans + 1 + z] = static_cast<int32_t>(MeanOf(st.zone[z], 256));
    for (int32_t q = 0; q < 4; ++q)
        scene[kSceneZoneMeans + 10 + q] = static_cast<int32_t>(MeanOf(st.quadrant[q], 256));
    // Portrait pictures take the centre column of zones, landscape ones the middle row.
    const bool portrait = m_descriptor.regionWidth <= m_descriptor.regionHeight;
    const int32_t zones[2][3] = {{4, 5, 6}, {2, 5, 7}};
    int32_t reference = 255;
    for (int32_t z : zones[portrait ? 1 : 0])
        reference = std::min(reference, scene[kSceneZoneMeans + z]);
    scene[kSceneReference] = reference;
    scene[kSceneGreyMean] = static_cast<int32_t>(MeanOf(st.greyClass[0], 256));
    for (int32_t c = 0; c < 3; ++c)
        scene[kSceneGreyChannels + c] = static_cast<int32_t>(MeanOf(st.greyClass[1 + c], 256));
    for (int32_t cls = 0; cls < 3; ++cls)
        for (int32_t k = 0; k < 4; ++k)
            scene[kSceneFoliage + 4 * cls + k] = static_cast<int32_t>(MeanOf(st.classes[cls][k], 256));
    scene[kSceneSaturation] = static_cast<int32_t>(MeanOf(st.saturation, 512));
    scene[kSceneEdge] = static_cast<int32_t>(MeanOf(st.edge, 256));
    scene[kSceneEdgeShare] = n ? static_cast<int32_t>(uint64_t{st.edgeCount} * 100 / n) : 0;
    scene[kSceneGreyCount] = static_cast<int32_t>(std::min<uint32_t>(st.grey, INT32_MAX));
    scene[kSceneOrientation] = portrait ? 1 : 0;
    for (int32_t i = 0; i < kSceneCount; ++i)
        Write32(result, kScene + 4 * i, scene[i]);
}

int32_t UCF_KRS::EndAnalysis()
{
    auto* result = static_cast<uint8_t*>(m_owner->GetWorkBuffer(kResultBuffer));
    const auto* st = static_cast<const Statistics*>(m_owner->GetWorkBuffer(kStatisticsBuffer));
    if (!result || !st)
        return UCF_ERR_NOBUFFER;
    const uint32_t* channels[4] = {st->y, st->r, st->g, st->b};
    for (int32_t k = 0; k < 4; ++k)
        for (int32_t v = 0; v < 256; ++v)
            Write32(result, kHistograms + 4 * (256 * k + v), channels[k][v]);
    Write32(result, kCount, st->counted);
    WriteKrsBeforeHistograms(result);
    m_hasAnalysisResult = 1; // held even when refused, with its refusal word
    int32_t levels = 0;
    for (int32_t v = 0; v < 255; ++v)
        levels += st->y[v] != 0;
    if (st->counted == 0 || levels < 64) {
        Write32(result, kRefusal, 1);
        return UCF_ERR_ANALYSIS;
    }
    FirstStep(*st, result);
    m_state = KrsCorrection{};
    DeriveKrsCorrection(&m_state, &m_settings, m_descriptor.regionWidth, m_descriptor.regionHeight);
    WriteKrsBack(m_state, m_settings, result);
    return UCF_OK;
}

int32_t UCF_KRS::ReleaseAnalysis()
{
    m_owner->FreeWorkBuffer(kStatisticsBuffer);
    return UCF_OK;
}

int32_t UCF_KRS::GetStripOverlap()
{
    const auto* result = static_cast<const uint8_t*>(m_owner->GetWorkBuffer(kResultBuffer));
    if (!m_hasAnalysisResult || !result)
        return -1;
    return UsmHalfWidth(std::clamp(Read32(result, kRadius), 0, kUsmMaxRadius));
}

int32_t UCF_KRS::BeginApply()
{
    auto* result = static_cast<uint8_t*>(m_owner->GetWorkBuffer(kResultBuffer));
    if (!m_hasAnalysisResult || !result)
        return UCF_ERR_NOTANALYSED;
    if (Read32(result, kRefusal) != 0)
        return UCF_ERR_REFUSED;
    ReleaseInner();
    int32_t* w = m_settings.switches;
    for (int32_t i = 0; i < kSwitchCount; ++i)
        w[i] = Read32(result, kSwitches + 4 * i);
    if (Read32(result, kEnable) == 0)
        for (int32_t i : {1, 4, 5, 6, 7, 8})
            w[i] = 255;
    w[0] = 1;
    for (int32_t i = 0; i < kTargetCount; ++i)
        m_settings.targets[i] = ClampStored(Read32(result, kTargets + 4 * i));
    for (int32_t i = 0; i < kSceneCount; ++i)
        m_settings.scene[i] = ClampStored(Read32(result, kScene + 4 * i));
    m_state = KrsCorrection{};
    LoadKrsFactors(&m_state, result);
    std::memcpy(m_state.base, result + kBaseCurves, sizeof(m_state.base));
    std::memcpy(m_state.alternative, result + kAlternativeCurves, sizeof(m_state.alternative));
    RunKrsPresetStep(&m_state, &m_settings);
    const bool derived =
        DeriveKrsCorrection(&m_state, &m_settings, m_descriptor.regionWidth, m_descriptor.regionHeight);
    if (Read32(result, kBaseCurveSwitch) == 1)
        std::memcpy(m_state.base, result + kBaseCurves, sizeof(m_state.base));
    if (!derived) {
        ResetKrsAfterFailure(&m_state, &m_settings);
        Write32(result, kRadius, 0);
    }
    WriteKrsBack(m_state, m_settings, result);
    if (w[4] == 30)
        BuildKrsPreCurves(&m_state, result);
    if (Read32(result, kAfterRequest) != 0)
        WriteKrsAfterHistograms(m_state, m_settings, result);

    FilterContext* context = m_owner->GetContext();
    auto* block = context->parameters.get();
    m_sharpener = CreateRegisteredFilter(UCF_ID_USM);
    if (!m_sharpener || !block)
        return UCF_ERR_NOBUFFER;
    m_sharpener->SetOwner(m_owner);
    static_cast<UCF_USM*>(m_sharpener.get())->SetChainedFilter(this);
    const int32_t sharpening[4] = {std::clamp(Read32(result, kRadius), 0, kUsmMaxRadius),
                                   static_cast<int32_t>(m_state.amount > 0 ? m_state.amount * 4 : 0),
                                   static_cast<int32_t>(std::max<int64_t>(m_state.threshold, 0)),
                                   Read32(result, kVariant)};
    std::memcpy(block, sharpening, sizeof(sharpening));
    if (int32_t rc = m_sharpener->Command(1, nullptr))
        return rc;
    if (int32_t rc = m_sharpener->Command(8, nullptr))
        return rc;
    m_memoryOn = Read32(result, kMemorySwitch) == 1;
    if (m_memoryOn) {
        std::memcpy(block + 16, result + kMemoryParameters, 40);
        m_memoryColour = CreateRegisteredFilter(UCF_ID_NEWMEMC);
        if (!m_memoryColour)
            return UCF_ERR_NOBUFFER;
        m_memoryColour->SetOwner(m_owner);
        if (m_memoryColour->Command(1, nullptr) || m_memoryColour->Command(8, nullptr)) {
            // The pass goes on without memory colours.
            m_memoryColour->Command(11, nullptr);
            m_memoryColour->Command(15, nullptr);
            m_memoryColour.reset();
        }
    }
    return UCF_OK;
}

int32_t UCF_KRS::PrepareApply()
{
    return m_sharpener ? m_sharpener->Command(9, nullptr) : UCF_ERR_KRS;
}

int32_t UCF_KRS::ApplyStrip()
{
    return m_sharpener ? m_sharpener->Command(10, nullptr) : UCF_ERR_KRS;
}

void UCF_KRS::ReleaseInner()
{
    for (std::unique_ptr<UCFilter>* inner : {&m_sharpener, &m_memoryColour})
        if (*inner) {
            (*inner)->Command(11, nullptr);
            (*inner)->Command(15, nullptr);
            inner->reset();
        }
}

int32_t UCF_KRS::EndApply()
{
    ReleaseInner();
    m_owner->FreeWorkBuffer(kSpareBuffer);
    return UCF_OK;
}

int32_t UCF_KRS::SetAnalysisResult(void* sizeAndData)
{
    const auto* pair = static_cast<const int64_t*>(sizeAndData);
    if (!pair || pair[0] != kResultBytes || pair[1] == 0)
        return UCF_ERR_BADPARAM;
    const auto* data = reinterpret_cast<const uint8_t*>(static_cast<intptr_t>(pair[1]));
    auto* copy = static_cast<uint8_t*>(m_owner->AllocWorkBuffer(kResultBuffer, kResultBytes));
    if (!copy) {
        m_hasAnalysisResult = 0;
        return UCF_ERR_NOMEMORY;
    }
    std::memcpy(copy, data, kResultBytes);
    m_hasAnalysisResult = 1;
    return UCF_OK;
}

int32_t UCF_KRS::GetAnalysisResult(void* sizeAndData)
{
    auto* pair = static_cast<int64_t*>(sizeAndData);
    void* result = m_owner->GetWorkBuffer(kResultBuffer);
    if (!m_hasAnalysisResult || !result)
        return UCF_ERR_NOTANALYSED;
    if (!pair)
        return UCF_ERR_BADPARAM;
    pair[0] = kResultBytes;
    pair[1] = static_cast<int64_t>(reinterpret_cast<intptr_t>(result));
    return UCF_OK;
}

void UCF_KRS::CorrectPixel(uint8_t* p) const
{
    const int32_t* w = m_settings.switches;
    const KrsCorrection& s = m_state;
    int32_t in[3] = {p[0], p[1], p[2]};
    if (w[0] == 0) {
        const int32_t y = (30 * in[0] + 59 * in[1] + 11 * in[2]) / 100;
        in[0] = in[1] = in[2] = y;
    }
    if (w[4] == 30)
        for (int32_t c = 0; c < 3; ++c)
            in[c] = s.pre[c][in[c]];
    const int32_t base[3] = {s.base[1][in[0]], s.base[2][in[1]], s.base[3][in[2]]};
    const int32_t r = base[0], g = base[1], b = base[2];
    int64_t sum[3] = {};
    int32_t active = 0;
    for (int32_t i = 0; i < 5; ++i) {
        const int32_t sw = w[10 + i];
        if (sw == 0)
            continue;
        ++active;
        int64_t out[3] = {base[0], base[1], base[2]};
        auto alt = [&](int32_t c) -> int64_t { return s.alternative[i][1 + c][in[c]]; };
        auto mix256 = [&](int64_t weight) { // weight on the alternative, of 256
            for (int32_t c = 0; c < 3; ++c)
                out[c] = (alt(c) * weight + base[c] * (256 - weight)) >> 8;
        };
        int64_t weight = 0;
        switch (i) {
        case 0:
        case 1:
        case 3:
            weight = i == 0 ? 2 * g - b - r : (i == 1 ? 2 * b - g - r : 0);
            if (i == 3)
                weight = sw == 2 ? (r == 0 ? 0 : 2 * r - b - g) : (sw == 4 ? r : 0);
            if (weight >= 1)
                mix256(std::min<int64_t>(weight, 256));
            break;
        case 2:
            weight = 2 * r - b - g;
            if (weight >= 1 && weight <= 255) {
                const int64_t u = std::abs(128 - weight);
                for (int32_t c = 0; c < 3; ++c)
                    out[c] = (alt(c) * (128 - u) + base[c] * u) >> 7;
            }
            break;
        default:
            weight = Saturation(r, g, b) + 256 - (r + g + b) / 3;
            if (weight < 256)
                mix256(256 - weight);
            break;
        }
        for (int32_t c = 0; c < 3; ++c)
            sum[c] += out[c];
    }
    int64_t v[3] = {base[0], base[1], base[2]};
    if (active > 0)
        for (int32_t c = 0; c < 3; ++c)
            v[c] = Clamp255(sum[c] / active);
    if (s.second[1] != 0 || s.second[2] != 0 || s.second[3] != 0) {
        const int64_t m = (v[0] + v[1] + v[2]) / 3;
        for (int32_t c = 0; c < 3; ++c)
            v[c] =
                Clamp255(v[c] + (v[c] - m) * std::clamp<int64_t>(s.second[1 + c], -1000000, 1000000) / 100);
    }
    for (int32_t c = 0; c < 3; ++c)
        p[c] = static_cast<uint8_t>(v[c]);
}

void UCF_KRS::ProcessRowInline(uint8_t* row, int32_t width)
{
    for (int32_t x = 0; x < width; ++x)
        CorrectPixel(row + 3 * x);
    if (m_memoryColour)
        m_memoryColour->ProcessRowInline(row, width);
}

std::unique_ptr<UCFilter> CreateKrsFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_KRS(owner));
}
