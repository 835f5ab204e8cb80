// The editor's own baseline JPEG encoder, memory to memory: a header call
// (plain JPEG or EFF), then batches of rows into a caller's output block.
// All progress lives in one CJpegEncoder per stream, so that several streams
// can be encoded at once on different threads.
#pragma once

#include "ImageProcessing/EffFormat.h"
#include "ImageProcessing/JpegAvx2.h"

#include <array>
#include <cstdint>
#include <vector>

// Filled by the caller, read by every entry point.
struct JpegEncodeParams
{
    uint32_t reserved = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 24;
    uint32_t colourKind = 1;   // 1: rows hold R, G, B, coded as Y, Cb, Cr
    uint32_t samplingMode = 0; // 0: 1x1, 1: luminance 2x1, 2: luminance 2x2
    uint32_t quality = 90;     // 1..100
};

// Results of the batch calls.
enum JpegEncodeStatus : int {
    JpegEncodeMore = 0,
    JpegEncodeRefused = 1,
    JpegEncodeDone = 2,
    JpegEncodeBlockFull = 3,
};

class CJpegEncoder
{
public:
    explicit CJpegEncoder(const CEffClock& clock = DefaultEffClock());

    int EncodeHeader(const JpegEncodeParams& params, uint8_t* out, uint32_t outSize, uint32_t& written,
                     bool eff);
    int EncodeBatch(const JpegEncodeParams& params, const uint8_t* rows, const uint8_t* plane, uint8_t* out,
                    uint32_t outSize, uint32_t& written, uint32_t rowCount, bool eff);

private:
    struct HuffmanCodes
    {
        // Each symbol's code shifted left by the number of extra bits it is
        // followed by (its low four bits), and the length of both together:
        // a coefficient's bits are then code[symbol] | extra.
        std::array<uint32_t, 256> code{};
        std::array<uint8_t, 256> length{};
    };

    // Pending bits of the entropy-coded stream, right-aligned; bits above the
    // pending ones are stale. Lives in registers while an MCU is coded.
    struct BitSink
    {
        uint64_t buffer = 0;
        int free = 64; // 64 minus the pending bits
        uint8_t* out = nullptr;
    };

    void Initialise(const JpegEncodeParams& params);
    void FillPlanes(const uint8_t* rows, const uint8_t* plane, uint32_t rowsLeft);
    int EncodeBand(const uint8_t* rows, const uint8_t* plane, uint8_t* out, uint32_t outSize,
                   uint32_t& written, uint32_t startBand, uint8_t startRestart);
    // The blocks of one MCU in coding order.
    struct McuBlock
    {
        const int16_t* samples;
        int stride;
        int table; // 0 luma, 1 chroma, 2 alpha
        int component;
    };
    int McuBlocks(uint32_t mx, McuBlock blocks[10]) const;
    void EncodeMcu(uint32_t mx, BitSink& sink, int predictors[4]) const;
    void EncodeMcuVector(uint32_t mx, BitSink& sink, int predictors[4]) const;

    const CEffClock& m_clock;
    int m_componentCount = 3;
    uint32_t m_bandCounter = 0; // 0 idle, else the next band, counted from 1
    uint8_t m_restartCounter = 0;
    bool m_headerWritten = false;
    JpegEncodeParams m_headerParams;

    // Taken at the first band.
    JpegEncodeParams m_params;
    int m_mcuWidth = 8;
    int m_mcuHeight = 8;
    uint32_t m_paddedWidth = 0;
    uint32_t m_mcusPerRow = 0;
    uint32_t m_mcuRows = 0;
    int m_chromaStep = 1; // columns per chroma sample
    int m_chromaRowStep = 1;

    // Quantisation by multiplication: reciprocal and half of each entry, natural
    // order, and the same tables for the vector quantiser.
    std::array<uint32_t, 64> m_reciprocal[3]{};
    std::array<uint32_t, 64> m_halfQ[3]{};
    JpegAvx2::QuantTable m_vectorTables[3]{};
    HuffmanCodes m_dcLuminance, m_acLuminance, m_dcChrominance, m_acChrominance;

    // One band of level-shifted samples per component.
    std::vector<int16_t> m_planeY, m_planeCb, m_planeCr, m_planeA;
    std::vector<uint16_t> m_pairSums; // two rows added, for 2x2 chroma
    uint32_t m_chromaWidth = 0;

    // One MCU's bytes when the output block may be too small for it.
    std::vector<uint8_t> m_staging;
};

// The entry points over an encoder.
int JpegEncodeMemory(CJpegEncoder& encoder, const JpegEncodeParams& params, uint8_t* out, uint32_t outSize,
                     uint32_t& written);
int EffEncodeMemory(CJpegEncoder& encoder, const JpegEncodeParams& params, uint8_t* out, uint32_t outSize,
                    uint32_t& written);
int JpegEncodePrepare(CJpegEncoder& encoder, const JpegEncodeParams& params, const uint8_t* rows,
                      uint8_t* out, uint32_t outSize, uint32_t& written, uint32_t rowCount);
int EffEncodePrepare(CJpegEncoder& encoder, const JpegEncodeParams& params, const uint8_t* rows, uint8_t* out,
                     uint32_t outSize, uint32_t& written, uint32_t rowCount, const uint8_t* plane);
