#include "ImageProcessing/JpegEncoder.h"

#include "ImageProcessing/JpegAvx2.h"
#include "ImageProcessing/JpegCpu.h"
#include "ImageProcessing/JpegDct.h"
#include "ImageProcessing/JpegTables.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Exact for every dividend below 2048 (a true coefficient of 8-bit samples is
// at most 1024 in magnitude, plus half the divisor) with 32-bit products.
constexpr int kReciprocalShift = 19;
// Worst case of one MCU of ten blocks, every byte stuffed, with room to spare
// (also for the bit sink's eight-byte stores).
constexpr size_t kStagingSize = 8192;

void PrintMessage(const char* text)
{
    std::printf("\n%s\n", text);
    std::fflush(stdout);
}

// Plausible parameters: anything else would write a header that no decoder reads.
bool CanEncode(const JpegEncodeParams& p)
{
    return p.width >= 1 && p.width <= 65535 && p.height >= 1 && p.height <= 65535 && p.samplingMode <= 2 &&
           p.colourKind == 1;
}

int ClampedQuality(const JpegEncodeParams& p)
{
    return static_cast<int>(std::clamp<uint32_t>(p.quality, 1, 100));
}

bool SamePicture(const JpegEncodeParams& a, const JpegEncodeParams& b)
{
    return a.width == b.width && a.height == b.height && a.samplingMode == b.samplingMode &&
           a.colourKind == b.colourKind && ClampedQuality(a) == ClampedQuality(b);
}

int McuWidth(uint32_t mode)
{
    return mode == 0 ? 8 : 16;
}

int McuHeight(uint32_t mode)
{
    return mode == 2 ? 16 : 8;
}

void Put16(std::vector<uint8_t>& v, unsigned value)
{
    v.push_back(static_cast<uint8_t>(value >> 8));
    v.push_back(static_cast<uint8_t>(value));
}

void PutHuffmanTable(std::vector<uint8_t>& v, uint8_t classAndId, const JpegTables::HuffmanDefinition& table)
{
    v.push_back(classAndId);
    v.insert(v.end(), table.bits.begin(), table.bits.end());
    v.insert(v.end(), table.values, table.values + table.valueCount);
}

inline int16_t ClampChroma(int v)
{
    return static_cast<int16_t>(v < -128 ? -128 : v > 127 ? 127 : v);
}

} // namespace

CJpegEncoder::CJpegEncoder(const CEffClock& clock) : m_clock(clock), m_staging(kStagingSize)
{
}

int CJpegEncoder::EncodeHeader(const JpegEncodeParams& params, uint8_t* out, uint32_t outSize,
                               uint32_t& written, bool eff)
{
    written = 0;
    m_componentCount = eff ? 4 : 3;
    m_bandCounter = 1;
    m_restartCounter = 0;
    m_headerWritten = false;
    if (params.bitsPerPixel != 24) {
        PrintMessage("Data is not 24 bits per pixel.");
        return JpegEncodeRefused;
    }
    if (outSize < 1024) {
        PrintMessage("Output buffer should be more than 1024 bytes.");
        return JpegEncodeRefused;
    }
    if (out == nullptr || !CanEncode(params)) {
        m_bandCounter = 0;
        return JpegEncodeRefused;
    }
    const int quality = ClampedQuality(params);
    const auto luminance = JpegTables::ScaleQuantTable(JpegTables::kLuminanceBase, quality);
    const auto chrominance = JpegTables::ScaleQuantTable(JpegTables::kChrominanceBase, quality);
    const int mcuWidth = McuWidth(params.samplingMode);
    const int n = m_componentCount;

    std::vector<uint8_t> h;
    h.reserve(800);
    if (eff) {
        h.resize(EffFormat::kPrefixSize);
        EffFormat::WritePrefix(h.data(), m_clock.Now());
    } else {
        h = {0xFF, 0xD8};
    }
    // DQT
    h.push_back(0xFF);
    h.push_back(0xDB);
    Put16(h, eff ? 0xC5 : 0x84);
    for (int t = 0; t < (eff ? 3 : 2); ++t) {
        h.push_back(static_cast<uint8_t>(t));
        for (int i = 0; i < 64; ++i)
            h.push_back(t == 0   ? luminance[JpegTables::kZigzag[i]]
                        : t == 1 ? chrominance[JpegTables::kZigzag[i]]
                                 : 1);
    }
    // DHT
    h.push_back(0xFF);
    h.push_back(0xC4);
    Put16(h, 0x01A2);
    PutHuffmanTable(h, 0x00, JpegTables::kDcLuminance);
    PutHuffmanTable(h, 0x10, JpegTables::kAcLuminance);
    PutHuffmanTable(h, 0x01, JpegTables::kDcChrominance);
    PutHuffmanTable(h, 0x11, JpegTables::kAcChrominance);
    // SOF0; identifiers count from 0
    static const uint8_t kLumaSampling[3] = {0x11, 0x21, 0x22};
    h.push_back(0xFF);
    h.push_back(0xC0);
    Put16(h, 3 * n + 8);
    h.push_back(8);
    Put16(h, params.height);
    Put16(h, params.width);
    h.push_back(static_cast<uint8_t>(n));
    for (int c = 0; c < n; ++c) {
        h.push_back(static_cast<uint8_t>(c));
        h.push_back(c == 0 || c == 3 ? kLumaSampling[params.samplingMode] : 0x11);
        h.push_back(static_cast<uint8_t>(c == 0 ? 0 : c == 3 ? 2 : 1));
    }
    // DRI: one restart interval per MCU row, also when there is only one row,
    // so that the interval always matches the markers the scan holds.
    const uint32_t mcusPerRow = (params.width + mcuWidth - 1) / mcuWidth;
    h.push_back(0xFF);
    h.push_back(0xDD);
    Put16(h, 4);
    Put16(h, mcusPerRow);
    // SOS
    h.push_back(0xFF);
    h.push_back(0xDA);
    Put16(h, 2 * n + 6);
    h.push_back(static_cast<uint8_t>(n));
    for (int c = 0; c < n; ++c) {
        h.push_back(static_cast<uint8_t>(c));
        h.push_back(c == 1 || c == 2 ? 0x11 : 0x00);
    }
    h.push_back(0x00);
    h.push_back(0x3F);
    h.push_back(0x00);

    if (h.size() > outSize) {
        PrintMessage("Destination buffer is smaller than required size.");
        return JpegEncodeRefused;
    }
    std::memcpy(out, h.data(), h.size());
    written = static_cast<uint32_t>(h.size());
    m_headerWritten = true;
    m_headerParams = params;
    return JpegEncodeMore;
}

void CJpegEncoder::Initialise(const JpegEncodeParams& params)
{
    m_params = params;
    const int quality = ClampedQuality(params);
    const std::array<uint8_t, 64> tables[3] = {
        JpegTables::ScaleQuantTable(JpegTables::kLuminanceBase, quality),
        JpegTables::ScaleQuantTable(JpegTables::kChrominanceBase, quality),
        JpegTables::ScaleQuantTable(JpegTables::kLuminanceBase, 100)};
    for (int t = 0; t < 3; ++t)
        for (int i = 0; i < 64; ++i) {
            const uint32_t q = tables[t][i];
            m_reciprocal[t][i] = ((1u << kReciprocalShift) + q - 1) / q;
            m_halfQ[t][i] = q / 2;
        }
    for (int t = 0; t < 3; ++t)
        JpegAvx2::MakeQuantTable(tables[t].data(), m_vectorTables[t]);
    auto build = [](const JpegTables::HuffmanDefinition& table, HuffmanCodes& codes) {
        codes = HuffmanCodes{};
        for (int symbol = 0; symbol < 256; ++symbol) // a symbol without a code: its extra bits alone
            codes.length[symbol] = static_cast<uint8_t>(symbol & 15);
        uint32_t code = 0;
        int k = 0;
        for (int length = 1; length <= 16; ++length) {
            for (int i = 0; i < table.bits[length - 1]; ++i, ++k) {
                const int symbol = table.values[k];
                codes.code[symbol] = code++ << (symbol & 15);
                codes.length[symbol] = static_cast<uint8_t>(length + (symbol & 15));
            }
            code <<= 1;
        }
    };
    build(JpegTables::kDcLuminance, m_dcLuminance);
    build(JpegTables::kAcLuminance, m_acLuminance);
    build(JpegTables::kDcChrominance, m_dcChrominance);
    build(JpegTables::kAcChrominance, m_acChrominance);

    m_restartCounter = 0;
    m_mcuWidth = McuWidth(params.samplingMode);
    m_mcuHeight = McuHeight(params.samplingMode);
    m_mcusPerRow = (params.width + m_mcuWidth - 1) / m_mcuWidth;
    m_mcuRows = (params.height + m_mcuHeight - 1) / m_mcuHeight;
    m_paddedWidth = m_mcusPerRow * m_mcuWidth;
    m_chromaStep = m_mcuWidth / 8;
    m_chromaRowStep = m_mcuHeight / 8;
    m_chromaWidth = m_mcusPerRow * 8;
    m_planeY.assign(size_t(m_paddedWidth) * m_mcuHeight, 0);
    m_planeCb.assign(size_t(m_chromaWidth) * 8, 0);
    m_planeCr.assign(size_t(m_chromaWidth) * 8, 0);
    m_planeA.assign(m_componentCount == 4 ? size_t(m_paddedWidth) * m_mcuHeight : 0, 0);
    m_pairSums.assign(m_chromaRowStep == 2 ? size_t(params.width) * 3 : 0, 0);
}

// Standard (BT.601 full-range) conversion in 16-bit fixed point with rounding;
// chroma of a subsampled group is the group's mean, so that colours come back
// true and fine coloured detail does not alias.
namespace {

constexpr int32_t kYr = 19595, kYg = 38470, kYb = 7471;
constexpr int32_t kCbR = -11059, kCbG = -21709, kCbB = 32768;
constexpr int32_t kCrR = 32768, kCrG = -27439, kCrB = -5329;

inline int16_t Chroma(int32_t weighted, int shift)
{
    return ClampChroma((weighted + (1 << (15 + shift)) - 1) >> (16 + shift));
}

// One row of chroma samples, each the mean of its Step x RowStep group.
template <int Step, int RowStep>
JPEG_VECTOR_CLONES void ChromaRow(const uint8_t* src, const uint8_t* below, uint32_t width,
                                  uint32_t chromaWidth, int16_t* cb, int16_t* cr, uint32_t first = 0)
{
    constexpr int shift = (Step == 2 ? 1 : 0) + (RowStep == 2 ? 1 : 0);
    auto group = [&](uint32_t cx, uint32_t x0, uint32_t x1) {
        x0 *= 3;
        x1 *= 3;
        int32_t red = src[x0], green = src[x0 + 1], blue = src[x0 + 2];
        if constexpr (Step == 2) {
            red += src[x1];
            green += src[x1 + 1];
            blue += src[x1 + 2];
        }
        if constexpr (RowStep == 2) {
            red += below[x0] + below[x1];
            green += below[x0 + 1] + below[x1 + 1];
            blue += below[x0 + 2] + below[x1 + 2];
        }
        cb[cx] = Chroma(kCbR * red + kCbG * green + kCbB * blue, shift);
        cr[cx] = Chroma(kCrR * red + kCrG * green + kCrB * blue, shift);
    };
    const uint32_t inside = width / Step;
    for (uint32_t cx = first; cx < inside; ++cx)
        group(cx, cx * Step, cx * Step + Step - 1);
    // Columns past the picture repeat its last column.
    for (uint32_t cx = inside; cx < chromaWidth; ++cx)
        group(cx, std::min<uint32_t>(cx * Step, width - 1),
              std::min<uint32_t>(cx * Step + Step - 1, width - 1));
}

// 2x2 groups: the two rows are added into planes first; both loops vectorise.
JPEG_VECTOR_CLONES void ChromaRowPairs(const uint8_t* __restrict src, const uint8_t* __restrict below,
                                       uint16_t* __restrict sums, uint32_t width, uint32_t chromaWidth,
                                       int16_t* __restrict cb, int16_t* __restrict cr, uint32_t first)
{
    uint16_t* __restrict red = sums;
    uint16_t* __restrict green = sums + width;
    uint16_t* __restrict blue = sums + 2 * size_t(width);
    for (uint32_t x = 2 * first; x < width; ++x) {
        red[x] = static_cast<uint16_t>(src[3 * x] + below[3 * x]);
        green[x] = static_cast<uint16_t>(src[3 * x + 1] + below[3 * x + 1]);
        blue[x] = static_cast<uint16_t>(src[3 * x + 2] + below[3 * x + 2]);
    }
    const uint32_t inside = width / 2;
    for (uint32_t cx = first; cx < inside; ++cx) {
        const int32_t r = red[2 * cx] + red[2 * cx + 1], g = green[2 * cx] + green[2 * cx + 1],
                      b = blue[2 * cx] + blue[2 * cx + 1];
        cb[cx] = Chroma(kCbR * r + kCbG * g + kCbB * b, 2);
        cr[cx] = Chroma(kCrR * r + kCrG * g + kCrB * b, 2);
    }
    // Columns past the picture repeat its last column.
    for (uint32_t cx = inside; cx < chromaWidth; ++cx) {
        const uint32_t x0 = std::min<uint32_t>(2 * cx, width - 1),
                       x1 = std::min<uint32_t>(2 * cx + 1, width - 1);
        const int32_t r = red[x0] + red[x1], g = green[x0] + green[x1], b = blue[x0] + blue[x1];
        cb[cx] = Chroma(kCbR * r + kCbG * g + kCbB * b, 2);
        cr[cx] = Chroma(kCrR * r + kCrG * g + kCrB * b, 2);
    }
}

} // namespace

JPEG_VECTOR_CLONES void CJpegEncoder::FillPlanes(const uint8_t* rows, const uint8_t* plane, uint32_t rowsLeft)
{
    const uint32_t width = m_params.width;
    const uint32_t lastRow = std::min<uint32_t>(rowsLeft, m_mcuHeight) - 1;
    const size_t rowBytes = size_t(width) * 3;
    for (int r = 0; r < m_mcuHeight; ++r) {
        // Rows past the picture repeat its last row; they are never read.
        const uint8_t* src = rows + std::min<uint32_t>(r, lastRow) * rowBytes;
        int16_t* y = m_planeY.data() + size_t(r) * m_paddedWidth;
        const uint32_t done = JpegAvx2::Available() ? JpegAvx2::LumaRow(src, width, y) : 0;
        const uint8_t* p = src + 3 * size_t(done);
        for (uint32_t x = done; x < width; ++x, p += 3)
            y[x] = static_cast<int16_t>(((kYr * p[0] + kYg * p[1] + kYb * p[2] + 32768) >> 16) - 128);
        for (uint32_t x = width; x < m_paddedWidth; ++x)
            y[x] = y[width - 1];
        if (r % m_chromaRowStep == 0) {
            int16_t* cb = m_planeCb.data() + size_t(r / m_chromaRowStep) * m_chromaWidth;
            int16_t* cr = m_planeCr.data() + size_t(r / m_chromaRowStep) * m_chromaWidth;
            const uint8_t* below =
                m_chromaRowStep == 2 ? rows + std::min<uint32_t>(r + 1, lastRow) * rowBytes : src;
            if (m_chromaStep == 1)
                ChromaRow<1, 1>(src, below, width, m_chromaWidth, cb, cr,
                                JpegAvx2::Available() ? JpegAvx2::ChromaRow(src, width, cb, cr) : 0);
            else if (m_chromaRowStep == 1)
                ChromaRow<2, 1>(src, below, width, m_chromaWidth, cb, cr);
            else
                ChromaRowPairs(src, below, m_pairSums.data(), width, m_chromaWidth, cb, cr,
                               JpegAvx2::Available() ? JpegAvx2::ChromaPairs(src, below, width, cb, cr) / 2
                                                     : 0);
        }
        if (m_componentCount == 4) {
            const uint8_t* srcA = plane + size_t(std::min<uint32_t>(r, lastRow)) * width;
            int16_t* a = m_planeA.data() + size_t(r) * m_paddedWidth;
            for (uint32_t x = 0; x < width; ++x)
                a[x] = static_cast<int16_t>(srcA[x] - 128);
            for (uint32_t x = width; x < m_paddedWidth; ++x)
                a[x] = a[width - 1];
        }
    }
}

namespace {

// Rounds half away from zero; reciprocal and half in natural order.
void QuantiseNatural(const int32_t* coefficients, const uint32_t* reciprocal, const uint32_t* half,
                     int16_t* out)
{
    for (int i = 0; i < 64; ++i) {
        const int32_t v = coefficients[i];
        const uint32_t magnitude = static_cast<uint32_t>(v < 0 ? -v : v);
        const int32_t quotient =
            static_cast<int32_t>(((magnitude + half[i]) * reciprocal[i]) >> kReciprocalShift);
        out[i] = static_cast<int16_t>(v < 0 ? -quotient : quotient);
    }
}

// Bit i: the coefficient at zigzag position i is not 0.
uint64_t ZigzagNonZero(const int16_t* natural)
{
    uint64_t mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= uint64_t(natural[JpegTables::kZigzag[i]] != 0) << i;
    return mask;
}

constexpr uint64_t kHighBits = 0x8080808080808080ull;
constexpr uint64_t kLowBits = 0x0101010101010101ull;

// Never false for eight bytes that hold a 0xFF; rarely true otherwise.
inline bool MayHoldFF(uint64_t v)
{
    return (v & kHighBits & ~(v + kLowBits)) != 0;
}

inline void StoreBigEndian(uint8_t* out, uint64_t v)
{
    v = __builtin_bswap64(v);
    std::memcpy(out, &v, 8);
}

template <typename Sink> [[gnu::always_inline]] inline void EmitStuffed(Sink& s, uint8_t b)
{
    *s.out++ = b;
    if (b == 0xFF)
        *s.out++ = 0x00;
}

// The sinks below write up to eight bytes past what they keep: every buffer
// they write into has that room.

// A full buffer: its eight bytes at once unless one needs stuffing.
template <typename Sink> [[gnu::always_inline]] inline void FlushFull(Sink& s)
{
    const uint64_t b = s.buffer;
    if (!MayHoldFF(b)) [[likely]] {
        StoreBigEndian(s.out, b);
        s.out += 8;
        return;
    }
    for (int shift = 56; shift >= 0; shift -= 8)
        EmitStuffed(s, static_cast<uint8_t>(b >> shift));
}

// size is 1 to 32; bits holds nothing above it.
template <typename Sink> [[gnu::always_inline]] inline void PutBits(Sink& s, uint32_t bits, int size)
{
    s.free -= size;
    if (s.free >= 0) [[likely]] {
        s.buffer = (s.buffer << size) | bits;
        return;
    }
    const int spill = -s.free; // the low bits of `bits` that do not fit
    s.buffer = (s.buffer << (size - spill)) | (bits >> spill);
    FlushFull(s);
    s.buffer = bits; // its bits above the spilled ones are stale now
    s.free += 64;
}

// Emits the whole bytes among the pending bits, as after every MCU.
template <typename Sink> [[gnu::always_inline]] inline void EmitWholeBytes(Sink& s)
{
    const int bytes = (64 - s.free) >> 3;
    if (bytes == 0)
        return;
    // The bytes after the whole ones are the partial byte and zeros: never 0xFF.
    const uint64_t aligned = s.buffer << s.free;
    if (!MayHoldFF(aligned)) [[likely]] {
        StoreBigEndian(s.out, aligned);
        s.out += bytes;
    } else {
        for (int i = 0; i < bytes; ++i)
            EmitStuffed(s, static_cast<uint8_t>(aligned >> (56 - 8 * i)));
    }
    s.free += 8 * bytes;
}

// One block's quotients (natural order) with the mask of its non-zero ones
// (zigzag order).
template <typename Sink, typename Codes>
[[gnu::always_inline]] inline void EncodeQuotients(Sink& s, const int16_t* natural, uint64_t nonZero,
                                                   const Codes& dc, const Codes& ac, int& predictor)
{
    const int diff = natural[0] - predictor;
    predictor = natural[0];
    {
        const int sign = diff >> 31;
        const int category = std::bit_width(static_cast<uint32_t>((diff ^ sign) - sign));
        const uint32_t extra = static_cast<uint32_t>(diff + sign) & ((1u << category) - 1);
        PutBits(s, dc.code[category] | extra, dc.length[category]);
    }
    nonZero &= ~uint64_t(1);
    int last = 0;
    while (nonZero != 0) {
        const int k = std::countr_zero(nonZero);
        nonZero &= nonZero - 1;
        int run = k - last - 1;
        last = k;
        while (run > 15)
            [[unlikely]]
            {
                PutBits(s, ac.code[0xF0], ac.length[0xF0]);
                run -= 16;
            }
        const int v = natural[JpegTables::kZigzag[k]];
        const int sign = v >> 31;
        const int category = std::bit_width(static_cast<uint32_t>((v ^ sign) - sign));
        const uint32_t extra = static_cast<uint32_t>(v + sign) & ((1u << category) - 1);
        const int symbol = run * 16 + category;
        PutBits(s, ac.code[symbol] | extra, ac.length[symbol]);
    }
    if (last != 63)
        PutBits(s, ac.code[0x00], ac.length[0x00]);
}

} // namespace

int CJpegEncoder::McuBlocks(uint32_t mx, McuBlock blocks[10]) const
{
    const int lumaAcross = m_mcuWidth / 8, lumaDown = m_mcuHeight / 8;
    const int stride = static_cast<int>(m_paddedWidth);
    const int chromaStride = static_cast<int>(m_chromaWidth);
    int count = 0;
    const int16_t* y = m_planeY.data() + size_t(mx) * m_mcuWidth;
    for (int by = 0; by < lumaDown; ++by)
        for (int bx = 0; bx < lumaAcross; ++bx)
            blocks[count++] = {y + by * 8 * stride + bx * 8, stride, 0, 0};
    blocks[count++] = {m_planeCb.data() + mx * 8, chromaStride, 1, 1};
    blocks[count++] = {m_planeCr.data() + mx * 8, chromaStride, 1, 2};
    if (m_componentCount == 4) {
        const int16_t* a = m_planeA.data() + size_t(mx) * m_mcuWidth;
        for (int by = 0; by < lumaDown; ++by)
            for (int bx = 0; bx < lumaAcross; ++bx)
                blocks[count++] = {a + by * 8 * stride + bx * 8, stride, 2, 3};
    }
    return count;
}

void CJpegEncoder::EncodeMcu(uint32_t mx, BitSink& sink, int predictors[4]) const
{
    McuBlock blocks[10];
    const int count = McuBlocks(mx, blocks);
    BitSink s = sink;
    for (int i = 0; i < count; ++i) {
        const int t = blocks[i].table;
        int32_t coefficients[64];
        int16_t quotients[64];
        JpegDct::ForwardPortable(blocks[i].samples, blocks[i].stride, coefficients);
        QuantiseNatural(coefficients, m_reciprocal[t].data(), m_halfQ[t].data(), quotients);
        EncodeQuotients(s, quotients, ZigzagNonZero(quotients), t == 1 ? m_dcChrominance : m_dcLuminance,
                        t == 1 ? m_acChrominance : m_acLuminance, predictors[blocks[i].component]);
    }
    sink = s;
}

JPEG_BITS_TARGET void CJpegEncoder::EncodeMcuVector(uint32_t mx, BitSink& sink, int predictors[4]) const
{
    McuBlock blocks[10];
    const int count = McuBlocks(mx, blocks);
    // Transformed and quantised in pairs; an odd last block is paired with itself.
    alignas(32) int16_t quotients[10][64];
    uint64_t nonZero[10];
    for (int i = 0; i < count; i += 2) {
        const McuBlock& a = blocks[i];
        const McuBlock& b = blocks[i + 1 < count ? i + 1 : i];
        JpegAvx2::ForwardQuantisePair(a.samples, a.stride, b.samples, b.stride, m_vectorTables[a.table],
                                      m_vectorTables[b.table], quotients[i], quotients[i + 1], nonZero + i);
    }
    BitSink s = sink;
    for (int i = 0; i < count; ++i) {
        const int t = blocks[i].table;
        EncodeQuotients(s, quotients[i], nonZero[i], t == 1 ? m_dcChrominance : m_dcLuminance,
                        t == 1 ? m_acChrominance : m_acLuminance, predictors[blocks[i].component]);
    }
    sink = s;
}

int CJpegEncoder::EncodeBand(const uint8_t* rows, const uint8_t* plane, uint8_t* out, uint32_t outSize,
                             uint32_t& written, uint32_t startBand, uint8_t startRestart)
{
    const uint32_t rowsLeft = m_params.height - (m_bandCounter - 1) * m_mcuHeight;
    FillPlanes(rows, plane, rowsLeft);
    auto refuseBlock = [&] {
        m_bandCounter = startBand;
        m_restartCounter = startRestart;
        return JpegEncodeBlockFull;
    };

    const bool vector = JpegAvx2::Available();
    BitSink sink;
    int predictors[4] = {0, 0, 0, 0};
    for (uint32_t mx = 0; mx < m_mcusPerRow; ++mx) {
        // Straight into the output block when even the largest MCU fits there.
        const int64_t space = int64_t(outSize) - written;
        const bool direct = space > int64_t(kStagingSize);
        uint8_t* start = direct ? out + written : m_staging.data();
        sink.out = start;
        if (vector)
            EncodeMcuVector(mx, sink, predictors);
        else
            EncodeMcu(mx, sink, predictors);
        EmitWholeBytes(sink);
        const auto length = static_cast<size_t>(sink.out - start);
        if (!direct) {
            if (space - int64_t(length) <= 0)
                return refuseBlock();
            std::memcpy(out + written, start, length);
        }
        written += static_cast<uint32_t>(length);
    }

    uint8_t* start = m_staging.data();
    sink.out = start;
    const int pending = 64 - sink.free;
    if (pending > 0) {
        const int pad = 8 - pending;
        EmitStuffed(sink, static_cast<uint8_t>((sink.buffer << pad) | ((1u << pad) - 1)));
    }
    const bool last = m_bandCounter >= m_mcuRows;
    *sink.out++ = 0xFF;
    *sink.out++ = static_cast<uint8_t>(last ? 0xD9 : 0xD0 + m_restartCounter);
    const auto length = static_cast<size_t>(sink.out - start);
    const int64_t space = int64_t(outSize) - written;
    if (last ? space < int64_t(length) : space <= int64_t(length))
        return refuseBlock();
    std::memcpy(out + written, start, length);
    written += static_cast<uint32_t>(length);
    if (last) {
        m_bandCounter = 0;
        m_headerWritten = false;
        return JpegEncodeDone;
    }
    m_restartCounter = (m_restartCounter + 1) & 7;
    ++m_bandCounter;
    return JpegEncodeMore;
}

int CJpegEncoder::EncodeBatch(const JpegEncodeParams& params, const uint8_t* rows, const uint8_t* plane,
                              uint8_t* out, uint32_t outSize, uint32_t& written, uint32_t rowCount, bool eff)
{
    written = 0;
    if (rowCount % 16 != 0)
        return JpegEncodeRefused;
    if (params.bitsPerPixel != 24) {
        PrintMessage("Data is not 24 bits per pixel.");
        return JpegEncodeRefused;
    }
    if (!CanEncode(params) || rows == nullptr || out == nullptr || (eff && plane == nullptr))
        return JpegEncodeRefused;
    if (m_bandCounter == 0) {
        m_bandCounter = 1;
        m_headerWritten = false;
        m_componentCount = eff ? 4 : 3;
    } else if ((m_componentCount == 4) != eff) {
        return JpegEncodeRefused; // the header promised another component count
    } else if (m_bandCounter == 1 ? m_headerWritten && !SamePicture(params, m_headerParams)
                                  : !SamePicture(params, m_params)) {
        return JpegEncodeRefused; // a stream cannot change its picture half-way
    }
    const uint32_t bandRows = McuHeight(params.samplingMode);
    const uint32_t bands = rowCount / bandRows;
    const uint32_t startBand = m_bandCounter;
    const uint8_t startRestart = m_restartCounter;
    int result = JpegEncodeMore;
    for (uint32_t b = 0; b < bands; ++b) {
        if (m_bandCounter == 1)
            Initialise(params);
        const uint8_t* bandRowsStart = rows + size_t(b) * bandRows * params.width * 3;
        const uint8_t* bandPlane = eff ? plane + size_t(b) * bandRows * params.width : nullptr;
        result = EncodeBand(bandRowsStart, bandPlane, out, outSize, written, startBand, startRestart);
        if (result != JpegEncodeMore)
            break;
    }
    return result;
}

int JpegEncodeMemory(CJpegEncoder& encoder, const JpegEncodeParams& params, uint8_t* out, uint32_t outSize,
                     uint32_t& written)
{
    return encoder.EncodeHeader(params, out, outSize, written, false);
}

int EffEncodeMemory(CJpegEncoder& encoder, const JpegEncodeParams& params, uint8_t* out, uint32_t outSize,
                    uint32_t& written)
{
    return encoder.EncodeHeader(params, out, outSize, written, true);
}

int JpegEncodePrepare(CJpegEncoder& encoder, const JpegEncodeParams& params, const uint8_t* rows,
                      uint8_t* out, uint32_t outSize, uint32_t& written, uint32_t rowCount)
{
    return encoder.EncodeBatch(params, rows, nullptr, out, outSize, written, rowCount, false);
}

int EffEncodePrepare(CJpegEncoder& encoder, const JpegEncodeParams& params, const uint8_t* rows, uint8_t* out,
                     uint32_t outSize, uint32_t& written, uint32_t rowCount, const uint8_t* plane)
{
    return encoder.EncodeBatch(params, rows, plane, out, outSize, written, rowCount, true);
}
