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

// The widest row kernel a run may use: per pixel, eight pixels in 256-bit
// vectors, or sixteen with 512-bit byte permutes.
enum class ResizePath {
    PerPixel,
    Avx2,
    Vbmi,
};

// The rows of one bilinear run over 4-byte pixels. The column map is turned
// once into byte shuffles and split weights, so that the vector paths blend
// whole blocks of pixels; blocks whose sources do not fit their loads (the
// right edge, shrinks beyond the windows) take the per-pixel row.
class BilinearRows4
{
public:
    // columns, rights and fractions (0 to 1023) per destination column; the
    // run takes the widest path up to widest that the processor has.
    BilinearRows4(std::span<const int32_t> columns, std::span<const int32_t> rights,
                  std::span<const int32_t> fractions, int32_t sourceWidth, uint32_t keepMask,
                  ResizePath widest = ResizePath::Vbmi);

    void Row(const uint8_t* top, const uint8_t* bottom, int32_t fy, uint8_t* out) const;

    // The path that at least one block takes (PerPixel when none does), and
    // the widest this processor has.
    ResizePath Path() const { return m_wideBlocks > 0 ? m_path : ResizePath::PerPixel; }
    static ResizePath Supported();

    // One 512-bit vector of sixteen colour samples: its permute index into the
    // window's 128 bytes and its horizontal weights as signed bytes.
    struct alignas(64) Step
    {
        uint8_t index[64];
        int32_t weights[16];
    };

private:
    void PlanVbmi(int32_t sourceWidth, const int32_t colour[3], std::span<const int32_t> fractions);
    void PlanAvx2(int32_t sourceWidth, int32_t alpha, std::span<const int32_t> fractions);

    std::vector<int32_t> m_columns, m_rights, m_weights;
    uint32_t m_keep;
    int32_t m_width;
    ResizePath m_path = ResizePath::PerPixel;
    int32_t m_blockPixels = 0;
    int32_t m_wideBlocks = 0;
    std::vector<uint8_t> m_wide;    // per block: whether it takes the vector path
    std::vector<int32_t> m_windows; // 512-bit: per step, its window's first source column
    std::vector<Step> m_steps;      // 512-bit: three per block of sixteen columns
    std::vector<int32_t> m_splits;  // 256-bit: per column, the split weights of its four bytes
    uint8_t m_order[64] = {};       // 512-bit: packed colour bytes to pixel bytes; 256-bit: the shuffle
    uint64_t m_colourBytes = 0;     // 512-bit store mask: every byte but alpha
};
