// Byte offsets of the automatic photo correction's analysis result (16028
// bytes, little-endian words) and the small readers and writers of it.
#pragma once

#include <cstdint>
#include <cstring>

namespace krs {

constexpr int32_t kResultBytes = 16028;
constexpr int32_t kHistograms = 0; // Y, R, G, B: 256 counts each
constexpr int32_t kCount = 4096;
constexpr int32_t kBaseCurveSwitch = 4100;
constexpr int32_t kBaseCurves = 4104;
constexpr int32_t kAlternativeCurves = 5128;
constexpr int32_t kEnable = 10248;
constexpr int32_t kSwitches = 10252;
constexpr int32_t kFactors = 10316;
constexpr int32_t kCastFactors = 10380;
constexpr int32_t kAmount = 10428;
constexpr int32_t kThreshold = 10432;
constexpr int32_t kRadius = 10436;
constexpr int32_t kVariant = 10440;
constexpr int32_t kAfterRequest = 10504;
constexpr int32_t kBefore = 10508; // four channels of 128 counts
constexpr int32_t kAfter = 12556;
constexpr int32_t kCeiling = 14604;
constexpr int32_t kScene = 14608; // 56 words
constexpr int32_t kTargets = 14832;
constexpr int32_t kMemorySwitch = 14956;
constexpr int32_t kMemoryParameters = 14960;
constexpr int32_t kRefusal = 15000;
constexpr int32_t kPreCurves = 15260;

constexpr int32_t kSwitchCount = 16;
constexpr int32_t kTargetCount = 31;
constexpr int32_t kSceneCount = 56;

inline uint32_t ReadU32(const uint8_t* result, int32_t offset)
{
    const uint8_t* p = result + offset;
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

inline int32_t Read32(const uint8_t* result, int32_t offset)
{
    const uint32_t v = ReadU32(result, offset);
    int32_t s;
    std::memcpy(&s, &v, 4);
    return s;
}

inline void Write32(uint8_t* result, int32_t offset, int64_t value)
{
    const auto v = static_cast<uint32_t>(value);
    uint8_t* p = result + offset;
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

} // namespace krs
