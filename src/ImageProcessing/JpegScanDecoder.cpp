// The entropy-coded part of CJpegDecoder: MCUs, restart markers, colour output.
#include "ImageProcessing/JpegAvx2.h"
#include "ImageProcessing/JpegCpu.h"
#include "ImageProcessing/JpegDct.h"
#include "ImageProcessing/JpegDecoder.h"
#include "ImageProcessing/JpegTables.h"

#include <algorithm>
#include <cstring>

namespace {

struct ColourTables
{
    int32_t crRed[256];
    int32_t cbBlue[256];
    int32_t cbGreen[256];
    int32_t crGreen[256];
};

constexpr ColourTables MakeColourTables()
{
    ColourTables t{};
    for (int i = 0; i < 256; ++i) {
        const int c = i - 128;
        t.crRed[i] = (359 * c) >> 8;
        t.cbBlue[i] = (7258 * c) >> 12;
        t.cbGreen[i] = -2819 * c;
        t.crGreen[i] = -5850 * c;
    }
    return t;
}

constexpr ColourTables kColour = MakeColourTables();

inline uint8_t Clamp255(int v)
{
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

inline void PutRgb(uint8_t* o, int y, int cb, int cr)
{
    o[0] = Clamp255(y + kColour.crRed[cr]);
    o[1] = Clamp255(y + ((kColour.cbGreen[cb] + kColour.crGreen[cr]) >> 13));
    o[2] = Clamp255(y + kColour.cbBlue[cb]);
}

// Luminance at full resolution, both chroma planes replicated by ChromaStep;
// from pixel x on (even where ChromaStep is 2).
template <int N, int ChromaStep>
void ConvertRow(uint8_t* o, const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t width,
                uint32_t x = 0)
{
    if constexpr (ChromaStep == 2) {
        for (; x + 1 < width; x += 2) {
            const int b = cb[x >> 1], r = cr[x >> 1];
            const int red = kColour.crRed[r], green = (kColour.cbGreen[b] + kColour.crGreen[r]) >> 13,
                      blue = kColour.cbBlue[b];
            uint8_t* p = o + x * N;
            p[0] = Clamp255(y[x] + red);
            p[1] = Clamp255(y[x] + green);
            p[2] = Clamp255(y[x] + blue);
            p[N] = Clamp255(y[x + 1] + red);
            p[N + 1] = Clamp255(y[x + 1] + green);
            p[N + 2] = Clamp255(y[x + 1] + blue);
        }
    }
    for (; x < width; ++x)
        PutRgb(o + x * N, y[x], cb[x / ChromaStep], cr[x / ChromaStep]);
}

} // namespace

void CJpegDecoder::BitReader::Fill()
{
    // Whole bytes up to 64 bits from one load, where none of the eight is 0xFF.
    if (stop == 0 && bits >= 0 && bits <= 56 && end - p >= 8) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const uint64_t inverted = ~word;
        if (((inverted - 0x0101010101010101u) & ~inverted & 0x8080808080808080u) == 0) {
            const int count = (64 - bits) / 8;
            acc |= (__builtin_bswap64(word) >> bits) & (~uint64_t(0) << (64 - bits - 8 * count));
            p += count;
            bits += 8 * count;
            return;
        }
    }
    while (bits <= 56) {
        if (stop != 0) {
            bits += 8; // zeros stand in for data not given (yet)
            zeros += 8;
            continue;
        }
        if (p >= end) {
            stop = 1;
            continue;
        }
        const uint8_t b = *p;
        if (b == 0xFF) {
            if (end - p < 2) {
                stop = 1;
                continue;
            }
            if (p[1] != 0) {
                stop = 2;
                continue;
            }
            p += 2;
        } else {
            ++p;
        }
        acc |= uint64_t(b) << (56 - bits);
        bits += 8;
    }
}

namespace {

// Decodes one symbol; -1 for a code the table does not hold. The caller keeps
// at least 32 bits in the reader.
template <typename Reader> inline int DecodeSymbol(Reader& r, const JpegHuffmanTable& table)
{
    const uint16_t entry = table.lookahead[r.acc >> (64 - JpegHuffmanTable::kLookaheadBits)];
    if (entry != 0) {
        const int length = entry >> 8;
        r.acc <<= length;
        r.bits -= length;
        return entry & 0xFF;
    }
    for (int length = JpegHuffmanTable::kLookaheadBits + 1; length <= 16; ++length) {
        const int32_t code = static_cast<int32_t>(r.acc >> (64 - length));
        if (code <= table.maxCode[length]) {
            const int32_t index = table.valuePointer[length] + code - table.minCode[length];
            if (index < 0 || index > 255)
                return -1;
            r.acc <<= length;
            r.bits -= length;
            return table.values[index];
        }
    }
    return -1;
}

template <typename Reader> inline int32_t ReceiveExtend(Reader& r, int size)
{
    if (size == 0)
        return 0;
    const int32_t value = static_cast<int32_t>(r.acc >> (64 - size));
    r.acc <<= size;
    r.bits -= size;
    // Without a branch: the sign of a coefficient is a coin toss.
    const int32_t negative = static_cast<int32_t>((static_cast<uint32_t>(value) >> (size - 1)) & 1) - 1;
    return value + (negative & (static_cast<int32_t>(~uint32_t(0) << size) + 1));
}

inline int32_t Dequantise(int64_t value, int32_t q)
{
    const int64_t v = value * q;
    return static_cast<int32_t>(std::clamp<int64_t>(v, -(int64_t(1) << 30), int64_t(1) << 30));
}

} // namespace

bool CJpegDecoder::DecodeBlock(BitReader& r, Component& comp, int32_t& predictor, int32_t* block,
                               unsigned& nonZeroRows)
{
    // The bits in locals, which the stores into the block cannot alias; the
    // reader itself is touched only to refill.
    struct
    {
        uint64_t acc;
        int bits;
    } b{r.acc, r.bits};
    auto refill = [&] {
        if (b.bits < 32) {
            r.acc = b.acc;
            r.bits = b.bits;
            r.Fill();
            b.acc = r.acc;
            b.bits = r.bits;
        }
    };
    auto finish = [&](bool ok, unsigned rows) {
        r.acc = b.acc;
        r.bits = b.bits;
        nonZeroRows = rows;
        return ok;
    };
    refill();
    const int dcSize = DecodeSymbol(b, m_dcTables[comp.dcTable]);
    if (dcSize < 0 || dcSize > 15)
        return finish(false, 0);
    const int32_t diff = ReceiveExtend(b, dcSize);
    predictor = static_cast<int32_t>(static_cast<uint32_t>(predictor) + static_cast<uint32_t>(diff));
    block[0] = Dequantise(predictor, comp.quant[0]);
    unsigned rows = 1;
    const JpegHuffmanTable& ac = m_acTables[comp.acTable];
    for (int k = 1; k < 64;) {
        refill();
        const int symbol = DecodeSymbol(b, ac);
        if (symbol < 0)
            return finish(false, rows);
        const int run = symbol >> 4, size = symbol & 15;
        if (size == 0) {
            if (run != 15)
                break; // end of block
            k += 16;
            continue;
        }
        k += run;
        if (k > 63)
            return finish(false, rows);
        const int natural = JpegTables::kZigzag[k];
        block[natural] = Dequantise(ReceiveExtend(b, size), comp.quant[natural]);
        rows |= 1u << (natural >> 3);
        ++k;
    }
    return finish(true, rows);
}

CJpegDecoder::Step CJpegDecoder::DecodeScan(const uint8_t* data, size_t size, size_t& pos, uint8_t* out,
                                            uint32_t outSize, uint32_t& written, uint32_t& rowsWritten)
{
    const uint64_t rowBytes = uint64_t(m_width) * m_componentCount;
    if (uint64_t(outSize) < std::min(m_mcuHeight, m_height) * rowBytes)
        return Step::Error; // the block cannot take one MCU row
    BitReader r{data + pos, data + size, m_acc, m_bits, 0, 0};
    std::array<int32_t, 4> snapshotPredictors;
    alignas(32) int32_t block[64];
    std::memset(block, 0, sizeof block);
    // A frame of one MCU row was written with an interval of 1 and no markers
    // inside the row: there the markers are optional.
    const bool restartsRequired = m_mcuRows > 1;

    while (m_mcuRow < m_mcuRows) {
        const uint32_t rows = std::min(m_mcuHeight, m_height - m_mcuRow * m_mcuHeight);
        if (m_mcuInRow == 0 && written + rows * rowBytes > outSize) {
            pos = static_cast<size_t>(r.p - data);
            m_acc = r.acc;
            m_bits = r.bits - r.zeros;
            return Step::Full;
        }
        for (; m_mcuInRow < m_mcusPerRow; ++m_mcuInRow) {
            // Take the snapshot from which an MCU cut by the chunk's end restarts.
            r.bits -= r.zeros;
            r.zeros = 0;
            r.stop = 0;
            const uint8_t* snapshotP = r.p;
            const uint64_t snapshotAcc = r.acc;
            const int snapshotBits = r.bits;
            snapshotPredictors = m_predictors;
            auto suspend = [&] {
                pos = static_cast<size_t>(snapshotP - data);
                m_acc = snapshotAcc;
                m_bits = snapshotBits;
                m_predictors = snapshotPredictors;
                return Step::NeedMore;
            };

            const uint64_t index = uint64_t(m_mcuRow) * m_mcusPerRow + m_mcuInRow;
            if (m_restartInterval != 0 && index > 0 && index % m_restartInterval == 0) {
                r.Fill();
                const int real = r.bits - r.zeros;
                if (real < 8 && r.stop == 1)
                    return suspend();
                if (real < 8 && r.stop == 2 && r.p[1] >= 0xD0 && r.p[1] <= 0xD7) {
                    r.p += 2; // the markers' sequence is not checked
                    r.acc = 0;
                    r.bits = 0;
                    r.zeros = 0;
                    r.stop = 0;
                    m_predictors.fill(0);
                } else if (restartsRequired) {
                    return Step::Error;
                }
            }

            bool ok = true;
            for (int s = 0; s < m_componentCount && ok; ++s) {
                const int c = m_scanOrder[s];
                Component& comp = m_components[c];
                uint8_t* base = comp.samples.data() + size_t(m_mcuInRow) * comp.h * 8;
                for (int by = 0; by < comp.v && ok; ++by)
                    for (int bx = 0; bx < comp.h && ok; ++bx) {
                        unsigned nonZeroRows = 0;
                        ok = DecodeBlock(r, comp, m_predictors[c], block, nonZeroRows);
                        if (!ok)
                            nonZeroRows = 0xFF;
                        else
                            JpegDct::Inverse(block, nonZeroRows, base + by * 8 * comp.stride + bx * 8,
                                             static_cast<int>(comp.stride));
                        // A whole clear costs less than a mispredicted choice of rows.
                        std::memset(block, 0, nonZeroRows == 1 ? 8 * sizeof(int32_t) : sizeof block);
                    }
            }
            if (r.UsedPadding()) {
                if (r.stop == 2)
                    return Step::Error; // a marker inside the entropy-coded data
                return suspend();
            }
            if (!ok)
                return Step::Error;
        }
        WriteRows(out + written, rows);
        written += static_cast<uint32_t>(rows * rowBytes);
        rowsWritten += rows;
        m_mcuInRow = 0;
        ++m_mcuRow;
    }
    pos = static_cast<size_t>(r.p - data);
    return Step::Done;
}

// Three components coded as R, G, B: a "VLMO" stream, or an Adobe segment
// saying "no transform" without a JFIF segment (which would mean YCbCr).
bool CJpegDecoder::ComponentsAreRgb() const
{
    return m_app0Kind == 2 || (m_componentCount == 3 && !m_jfif && m_adobeTransform == 0);
}

JPEG_VECTOR_CLONES void CJpegDecoder::WriteRows(uint8_t* out, uint32_t rows) const
{
    const int n = m_componentCount;
    const size_t rowBytes = size_t(m_width) * n;
    const Component& c0 = m_components[0];
    const Component& c1 = m_components[1];
    const Component& c2 = m_components[2];
    const bool colour = !ComponentsAreRgb();
    const bool fullLuma = c0.hFactor == 1;
    const int chromaStep = c1.hFactor == c2.hFactor ? c1.hFactor : 0;
    const bool vectors = JpegAvx2::Available();
    for (uint32_t y = 0; y < rows; ++y) {
        uint8_t* o = out + y * rowBytes;
        const uint8_t* src[4] = {nullptr, nullptr, nullptr, nullptr};
        for (int c = 0; c < n; ++c)
            src[c] = m_components[c].samples.data() + (y / m_components[c].vFactor) * m_components[c].stride;
        if (colour && fullLuma && chromaStep == 1) {
            n == 4 ? ConvertRow<4, 1>(o, src[0], src[1], src[2], m_width)
                   : ConvertRow<3, 1>(o, src[0], src[1], src[2], m_width);
        } else if (colour && fullLuma && chromaStep == 2) {
            if (n == 4)
                ConvertRow<4, 2>(o, src[0], src[1], src[2], m_width);
            else
                ConvertRow<3, 2>(o, src[0], src[1], src[2], m_width,
                                 vectors ? JpegAvx2::RgbFromYccHalf(src[0], src[1], src[2], m_width, o) : 0);
        } else if (colour) {
            const uint32_t* i0 = c0.sampleIndex.data();
            const uint32_t* i1 = c1.sampleIndex.data();
            const uint32_t* i2 = c2.sampleIndex.data();
            for (uint32_t x = 0; x < m_width; ++x)
                PutRgb(o + x * n, src[0][i0[x]], src[1][i1[x]], src[2][i2[x]]);
        } else { // the components as coded (streams that carry R, G, B)
            for (int c = 0; c < 3; ++c) {
                const uint32_t* index = m_components[c].sampleIndex.data();
                for (uint32_t x = 0; x < m_width; ++x)
                    o[x * n + c] = src[c][index[x]];
            }
        }
        if (n == 4) {
            const uint32_t* index = m_components[3].sampleIndex.data();
            for (uint32_t x = 0; x < m_width; ++x)
                o[x * 4 + 3] = src[3][index[x]];
        }
    }
}
