// Blend tables for twelve blend modes at an opacity, and the row and pixel
// blends built on them; shared by the merge and blur-mask filters.
#pragma once

#include <cstdint>
#include <memory>

class UCFilterMerge
{
public:
    UCFilterMerge(int32_t mode, int32_t opacity, const uint8_t* colour);
    virtual ~UCFilterMerge();

    // Clamps both into range and rebuilds the tables.
    void SetMode(int32_t mode, int32_t opacity);
    // 2105 when a table cannot be had; the constructor's build is checked by the owner.
    int32_t BuildTables();
    void BlendRowWithMask(const uint8_t* source, int32_t sourceRed, int32_t sourceGreen, int32_t sourceBlue,
                          int32_t sourceStep, const uint8_t* mask, uint8_t* destination,
                          int32_t destinationRed, int32_t destinationGreen, int32_t destinationBlue,
                          int32_t destinationStep, int32_t count) const;
    void BlendPixel(uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t blendRed, uint8_t blendGreen,
                    uint8_t blendBlue) const;

    bool HasTables() const { return m_table != nullptr && m_weights != nullptr; }
    // table[a * 256 + b]: base sample a blended with b.
    const uint8_t* Table() const { return m_table.get(); }
    const int16_t* Weights() const { return m_weights.get(); }
    int32_t Mode() const { return m_mode; }
    int32_t Opacity() const { return m_opacity; }

    // The soft-light curve: round(255 * g(a / 255)).
    static uint8_t SoftLightCurve(int32_t a);

private:
    std::unique_ptr<uint8_t[]> m_table;
    std::unique_ptr<int16_t[]> m_weights;
    int32_t m_mode = 0;
    uint8_t m_colour[3] = {};
    int32_t m_opacity = 0;
};
