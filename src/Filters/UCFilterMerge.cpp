#include "UCFilterMerge.h"

#include "FilterErrorCode.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

int32_t Blend(int32_t mode, int32_t a, int32_t b)
{
    switch (mode) {
    case 0:
        return b;
    case 1:
        return std::abs(a - b);
    case 2:
        if (b == 0)
            return a == 255 ? 255 : 0;
        return std::max(0, (a + b - 255) * 255 / b);
    case 3:
        if (b == 255)
            return 255;
        return std::min(255, a * 255 / (255 - b));
    case 4:
        return a * b / 255;
    case 5:
        return std::min(a, b);
    case 6:
        return std::max(a, b);
    case 7: {
        const int32_t v = b <= 128 ? a * b / 128 : 2 * (a + b) - 256 - a * b / 128;
        return std::clamp(v, 0, 255);
    }
    case 8: {
        const int32_t q = a * a / 255;
        const int32_t v =
            b < 128 ? (a - q) * b / 127 + q : a + (UCFilterMerge::SoftLightCurve(a) - a) * (b - 127) / 128;
        return std::clamp(v, 0, 255);
    }
    case 9:
        return a + b - a * b / 255;
    default: // 10, overlay
        if (a < 128)
            return (a * b / 128) % 256;
        if (b < 128)
            return std::clamp(2 * a - 255 + (255 - a) * b / 127, 0, 255);
        return std::clamp(a + (b - 128) * (255 - a) / 127, 0, 255);
    }
}

} // namespace

uint8_t UCFilterMerge::SoftLightCurve(int32_t a)
{
    if (a == 254)
        return 255;
    const double x = a / 255.0;
    const double g = x <= 0.25 ? ((16 * x - 12) * x + 4) * x : std::sqrt(x);
    return static_cast<uint8_t>(std::lround(255 * g));
}

UCFilterMerge::UCFilterMerge(int32_t mode, int32_t opacity, const uint8_t* colour)
{
    if (colour)
        std::memcpy(m_colour, colour, 3);
    SetMode(mode, opacity);
}

UCFilterMerge::~UCFilterMerge() = default;

void UCFilterMerge::SetMode(int32_t mode, int32_t opacity)
{
    m_mode = std::clamp(mode, 0, 11);
    m_opacity = std::clamp(opacity, 0, 100);
    BuildTables();
}

int32_t UCFilterMerge::BuildTables()
{
    m_table.reset();
    m_weights.reset();
    m_table.reset(new (std::nothrow) uint8_t[65536]);
    m_weights.reset(new (std::nothrow) int16_t[256]);
    if (!m_table || !m_weights) {
        m_table.reset();
        m_weights.reset();
        return UCF_ERR_NOBUFFER;
    }
    std::memset(m_table.get(), 0, 65536);
    if (m_mode == 11) {
        uint16_t products[256][3];
        for (int32_t i = 0; i < 256; ++i) {
            m_weights[i] = static_cast<int16_t>(std::min(255, m_opacity * (255 - i) / 100));
            for (int c = 0; c < 3; ++c)
                products[i][c] = static_cast<uint16_t>(m_colour[c] * i);
        }
        std::memcpy(m_table.get(), products, sizeof(products));
        return UCF_OK;
    }
    std::memset(m_weights.get(), 0, 512);
    const int32_t wb = (100 - m_opacity) * 1024 / 100;
    const int32_t wf = m_opacity * 1024 / 100;
    for (int32_t a = 0; a < 256; ++a)
        for (int32_t b = 0; b < 256; ++b)
            m_table[a * 256 + b] = static_cast<uint8_t>((a * wb + Blend(m_mode, a, b) * wf) >> 10);
    return UCF_OK;
}

void UCFilterMerge::BlendRowWithMask(const uint8_t* source, int32_t sourceRed, int32_t sourceGreen,
                                     int32_t sourceBlue, int32_t sourceStep, const uint8_t* mask,
                                     uint8_t* destination, int32_t destinationRed, int32_t destinationGreen,
                                     int32_t destinationBlue, int32_t destinationStep, int32_t count) const
{
    if (!HasTables())
        return;
    const int32_t so[3] = {sourceRed, sourceGreen, sourceBlue};
    const int32_t dof[3] = {destinationRed, destinationGreen, destinationBlue};
    uint16_t products[256][3];
    if (m_mode == 11)
        std::memcpy(products, m_table.get(), sizeof(products));
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t m = mask[i];
        for (int c = 0; c < 3; ++c) {
            const int32_t s = source[so[c]];
            if (m_mode == 11) {
                const int32_t k = m_weights[m];
                destination[dof[c]] = static_cast<uint8_t>((s * (256 - k) + products[k][c]) >> 8);
            } else {
                destination[dof[c]] = m_table[s * 256 + m];
            }
        }
        source += sourceStep;
        destination += destinationStep;
    }
}

void UCFilterMerge::BlendPixel(uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t blendRed,
                               uint8_t blendGreen, uint8_t blendBlue) const
{
    if (!HasTables())
        return;
    *red = m_table[*red * 256 + blendRed];
    *green = m_table[*green * 256 + blendGreen];
    *blue = m_table[*blue * 256 + blendBlue];
}
