// The bilinear resize on 4-byte pixels: each sample is
// ((fy (BR fx + B (1024 - fx))) >> 20) + (((1024 - fy) (R fx + P (1024 - fx))) >> 20),
// which is the weighted form with the four products wP, wR, wB, wBR exactly.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// One destination row from source rows top and bottom; weights[i] holds
// (fx << 16) | (1024 - fx) of column i. Bytes under keepMask keep their value.
void ResizeBilinearRow(const uint8_t* top, const uint8_t* bottom, const int32_t* columns,
                       const int32_t* rights, const int32_t* weights, int32_t width, int32_t fy,
                       uint32_t keepMask, uint8_t* out);

// The rows of one bilinear run over 4-byte pixels. The column map is turned
// once into byte shuffles over short source windows, so that processors with
// 512-bit byte permutes blend sixteen pixels at a time; columns whose sources
// lie too far apart for a window take the per-pixel row.
class BilinearRows4
{
public:
    // columns, rights and fractions (0 to 1023) per destination column;
    // wide false keeps every column on the per-pixel row.
    BilinearRows4(std::span<const int32_t> columns, std::span<const int32_t> rights,
                  std::span<const int32_t> fractions, int32_t sourceWidth, uint32_t keepMask,
                  bool wide = true);

    void Row(const uint8_t* top, const uint8_t* bottom, int32_t fy, uint8_t* out) const;

    // Whether any block of sixteen columns takes the 512-bit path, and whether
    // this processor has it at all.
    bool Wide() const { return m_wideBlocks > 0; }
    static bool WideSupported();

    // One vector of sixteen colour samples: its permute index into the
    // window's 128 bytes and its horizontal weights as signed bytes.
    struct alignas(64) Step
    {
        uint8_t index[64];
        int32_t weights[16];
    };

private:
    std::vector<int32_t> m_columns, m_rights, m_weights;
    uint32_t m_keep;
    int32_t m_width;
    int32_t m_wideBlocks = 0;
    std::vector<int32_t> m_windows; // per step, its window's first source column; -1: per-pixel block
    std::vector<Step> m_steps;      // three per block of sixteen columns
    uint8_t m_order[64] = {};       // packed colour bytes to pixel bytes
    uint64_t m_colourBytes = 0;     // store mask: every byte but alpha
};
