// The editor's own baseline JPEG decoder, fed in chunks: marker segments and
// MCUs may straddle chunks; pixel rows come back one MCU row at a time into
// the caller's output block. All progress lives in one CJpegDecoder per stream,
// so that several streams can be decoded at once on different threads.
#pragma once

#include "ImageProcessing/JpegHuffmanTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

enum JpegDecodeStatus : int {
    JpegDecodeRows = 0,      // chunk used up, rows (or none) written
    JpegDecodeError = 1,     // refused; the decoder is idle again
    JpegDecodeMoreData = 2,  // chunk used up inside a segment or an MCU
    JpegDecodeBlockFull = 3, // call again with the same chunk
    JpegDecodeComplete = 4,  // the picture's last rows were written; idle again
};

class CJpegDecoder
{
public:
    CJpegDecoder();

    int Decode(const uint8_t* chunk, uint32_t chunkLength, uint8_t* out, uint32_t outSize, uint32_t& written,
               uint32_t& width, uint32_t& height, uint32_t& rowWidth, uint32_t& rowsWritten, int outputKind);
    void Reset();
    int Status() const { return m_status; }

private:
    enum class Phase { Idle, StartOfImage, Markers, Scan };
    enum class Step { NeedMore, Full, Done, Error };

    struct Component
    {
        uint8_t id = 0;
        int h = 1, v = 1;
        int quantTable = 0;
        int dcTable = 0, acTable = 0;
        int hFactor = 1, vFactor = 1; // replication up to the largest sampling
        size_t stride = 0;
        std::vector<uint8_t> samples;      // one MCU row of this component
        std::vector<uint32_t> sampleIndex; // picture column -> sample column
        std::array<int32_t, 64> quant{};   // natural order
    };

    struct QuantTable
    {
        bool present = false;
        std::array<uint16_t, 64> values{}; // natural order
    };

    struct BitReader
    {
        const uint8_t* p;
        const uint8_t* end;
        uint64_t acc; // valid bits left-aligned
        int bits;
        int zeros; // zero bits appended past the data, at the low end of the valid bits
        int stop;  // 0 reading, 1 data ran out, 2 a marker stands at p

        void Fill();
        bool UsedPadding() const { return bits < zeros; }
    };

    void StartStream();
    Step Run(const uint8_t* data, size_t size, size_t& pos, uint8_t* out, uint32_t outSize, uint32_t& written,
             uint32_t& rowsWritten);
    Step WalkMarkers(const uint8_t* data, size_t size, size_t& pos);
    bool Dispatch(uint8_t marker, const uint8_t* body, size_t length);
    bool ReadFrame(const uint8_t* body, size_t length);
    bool ReadHuffmanTables(const uint8_t* body, size_t length);
    bool ReadQuantTables(const uint8_t* body, size_t length);
    bool ReadScan(const uint8_t* body, size_t length);
    bool PrepareScan();

    Step DecodeScan(const uint8_t* data, size_t size, size_t& pos, uint8_t* out, uint32_t outSize,
                    uint32_t& written, uint32_t& rowsWritten);
    bool DecodeBlock(BitReader& reader, Component& component, int32_t& predictor, int32_t* block,
                     unsigned& nonZeroRows);
    void WriteRows(uint8_t* out, uint32_t rows) const;
    bool ComponentsAreRgb() const;

    Phase m_phase = Phase::Idle;
    int m_status = JpegDecodeComplete;
    std::vector<uint8_t> m_carry; // unread bytes of earlier chunks

    bool m_resumePending = false; // after status 3 the same input goes on
    bool m_resumeInCarry = false;
    size_t m_resumePos = 0;
    size_t m_resumeLength = 0;

    int m_app0Kind = 1;
    int m_app0Count = 0;
    bool m_jfif = false;       // the first APP0 is JFIF
    int m_adobeTransform = -1; // from an Adobe APP14 segment; -1 none
    bool m_haveFrame = false;
    uint32_t m_width = 0, m_height = 0;
    int m_componentCount = 0;
    std::array<Component, 4> m_components;
    int m_hMax = 1, m_vMax = 1;
    std::array<QuantTable, 4> m_quant;
    std::array<JpegHuffmanTable, 4> m_dcTables, m_acTables;
    uint32_t m_restartInterval = 0;

    bool m_scanReady = false;
    std::array<int, 4> m_scanOrder{};
    uint32_t m_mcusPerRow = 0, m_mcuRows = 0, m_mcuWidth = 0, m_mcuHeight = 0;
    uint32_t m_mcuRow = 0, m_mcuInRow = 0;
    uint64_t m_acc = 0;
    int m_bits = 0;
    std::array<int32_t, 4> m_predictors{};
};

// The entry points over a decoder.
int JpegDecodeMemory(CJpegDecoder& decoder, const uint8_t* chunk, uint32_t chunkLength, uint8_t* out,
                     uint32_t outSize, uint32_t& written, uint32_t& width, uint32_t& height,
                     uint32_t& rowWidth, uint32_t& rowsWritten, int outputKind);
void JpegDecodeReset(CJpegDecoder& decoder);
