#include "ImageProcessing/JpegDecoder.h"

#include "ImageProcessing/JpegTables.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t Read16(const uint8_t* p)
{
    return (uint32_t(p[0]) << 8) | p[1];
}

bool IsRestart(uint8_t code)
{
    return code >= 0xD0 && code <= 0xD7;
}

} // namespace

CJpegDecoder::CJpegDecoder() = default;

void CJpegDecoder::Reset()
{
    m_phase = Phase::Idle;
    m_status = JpegDecodeComplete;
    m_resumePending = false;
    m_carry.clear();
    m_carry.shrink_to_fit();
    for (Component& c : m_components) {
        c.samples = {};
        c.sampleIndex = {};
    }
}

void CJpegDecoder::StartStream()
{
    Reset();
    m_phase = Phase::StartOfImage;
    m_app0Kind = 1;
    m_app0Count = 0;
    m_jfif = false;
    m_adobeTransform = -1;
    m_haveFrame = false;
    m_width = m_height = 0;
    m_componentCount = 0;
    m_hMax = m_vMax = 1;
    for (QuantTable& q : m_quant)
        q.present = false;
    for (JpegHuffmanTable& t : m_dcTables)
        t.present = false;
    for (JpegHuffmanTable& t : m_acTables)
        t.present = false;
    m_restartInterval = 0;
    m_scanReady = false;
    m_mcuRow = m_mcuInRow = 0;
    m_acc = 0;
    m_bits = 0;
    m_predictors.fill(0);
}

int CJpegDecoder::Decode(const uint8_t* chunk, uint32_t chunkLength, uint8_t* out, uint32_t outSize,
                         uint32_t& written, uint32_t& width, uint32_t& height, uint32_t& rowWidth,
                         uint32_t& rowsWritten, int outputKind)
{
    written = 0;
    rowsWritten = 0;
    width = height = rowWidth = 0;
    if (m_phase == Phase::Idle)
        StartStream();
    auto fail = [&] {
        written = 0; // rows of a refused stream are not handed out
        rowsWritten = 0;
        Reset();
        m_status = JpegDecodeError;
        return JpegDecodeError;
    };
    // Only the colour output is offered; the coded-component form has no caller.
    if (outputKind != 0 || (chunk == nullptr && chunkLength > 0) || (out == nullptr && outSize > 0))
        return fail();

    const uint8_t* data;
    size_t size, pos;
    if (m_resumePending) {
        m_resumePending = false;
        if (m_resumeInCarry) {
            data = m_carry.data();
            size = m_carry.size();
        } else {
            if (chunkLength != m_resumeLength)
                return fail(); // not the chunk that filled the block
            data = chunk;
            size = chunkLength;
        }
        pos = m_resumePos;
    } else if (!m_carry.empty()) {
        m_carry.insert(m_carry.end(), chunk, chunk + chunkLength);
        data = m_carry.data();
        size = m_carry.size();
        pos = 0;
    } else {
        data = chunk;
        size = chunkLength;
        pos = 0;
    }

    const Step step = Run(data, size, pos, out, outSize, written, rowsWritten);
    if (step == Step::Error)
        return fail();
    if (m_scanReady) {
        width = m_width;
        height = m_height;
        rowWidth = m_width * m_componentCount;
    }
    switch (step) {
    case Step::Done:
        Reset();
        m_status = JpegDecodeComplete;
        return m_status;
    case Step::Full:
        m_resumePending = true;
        m_resumeInCarry = !m_carry.empty() && data == m_carry.data();
        m_resumePos = pos;
        m_resumeLength = size;
        m_status = JpegDecodeBlockFull;
        return m_status;
    default:
        if (!m_carry.empty() && data == m_carry.data())
            m_carry.erase(m_carry.begin(), m_carry.begin() + static_cast<std::ptrdiff_t>(pos));
        else
            m_carry.assign(data + pos, data + size);
        m_status = rowsWritten > 0 ? JpegDecodeRows : JpegDecodeMoreData;
        return m_status;
    }
}

CJpegDecoder::Step CJpegDecoder::Run(const uint8_t* data, size_t size, size_t& pos, uint8_t* out,
                                     uint32_t outSize, uint32_t& written, uint32_t& rowsWritten)
{
    if (m_phase == Phase::StartOfImage) {
        if (size - pos < 2)
            return size - pos == 1 && data[pos] != 0xFF ? Step::Error : Step::NeedMore;
        if (data[pos] != 0xFF || data[pos + 1] != 0xD8)
            return Step::Error;
        pos += 2;
        m_phase = Phase::Markers;
    }
    if (m_phase == Phase::Markers) {
        const Step step = WalkMarkers(data, size, pos);
        if (step != Step::Done)
            return step;
        m_phase = Phase::Scan;
    }
    return DecodeScan(data, size, pos, out, outSize, written, rowsWritten);
}

// Returns Done once a scan header has been accepted.
CJpegDecoder::Step CJpegDecoder::WalkMarkers(const uint8_t* data, size_t size, size_t& pos)
{
    for (;;) {
        if (size - pos < 2)
            return size - pos == 1 && data[pos] != 0xFF ? Step::Error : Step::NeedMore;
        if (data[pos] != 0xFF)
            return Step::Error;
        const uint8_t code = data[pos + 1];
        if (code == 0xFF) { // fill byte before a marker
            ++pos;
            continue;
        }
        if (IsRestart(code) || code == 0x01) { // markers without a length
            pos += 2;
            continue;
        }
        if (code == 0xD8 || code == 0xD9 || code == 0x00)
            return Step::Error; // a second SOI, or the end before any scan
        if (size - pos < 4)
            return Step::NeedMore;
        const size_t length = Read16(data + pos + 2);
        if (length < 2)
            return Step::Error;
        if (size - pos < 2 + length)
            return Step::NeedMore;
        if (!Dispatch(code, data + pos + 4, length - 2))
            return Step::Error;
        pos += 2 + length;
        if (code == 0xDA)
            return Step::Done;
    }
}

// Any refusal ends the stream, except a foreign APP0, which is passed over.
bool CJpegDecoder::Dispatch(uint8_t marker, const uint8_t* body, size_t length)
{
    switch (marker) {
    case 0xC0:
        return ReadFrame(body, length);
    case 0xC4:
        return ReadHuffmanTables(body, length);
    case 0xDB:
        return ReadQuantTables(body, length);
    case 0xDA:
        return ReadScan(body, length);
    case 0xDD:
        if (length < 2)
            return false;
        m_restartInterval = Read16(body);
        return true;
    case 0xE0:
        if (m_app0Count++ == 0 && length >= 5) {
            if (std::memcmp(body, "JFIF", 5) == 0) {
                m_app0Kind = 1;
                m_jfif = true;
            } else if (std::memcmp(body, "VLMO", 5) == 0)
                m_app0Kind = 2;
        }
        return true;
    case 0xEE:
        // Adobe: identifier, version, two flag words, then the colour transform.
        if (length >= 12 && std::memcmp(body, "Adobe", 5) == 0)
            m_adobeTransform = body[11];
        return true;
    case 0xC1:
    case 0xC2:
    case 0xC3:
    case 0xC5:
    case 0xC6:
    case 0xC7:
    case 0xC9:
    case 0xCA:
    case 0xCB:
    case 0xCC:
    case 0xCD:
    case 0xCE:
    case 0xCF:
        return false; // frames other than baseline, arithmetic coding
    default:
        return true;
    }
}

bool CJpegDecoder::ReadFrame(const uint8_t* body, size_t length)
{
    if (m_haveFrame || length < 6 || body[0] != 8)
        return false;
    const int count = body[5];
    if ((count != 3 && count != 4) || length != 6 + 3 * size_t(count))
        return false;
    m_height = Read16(body + 1);
    m_width = Read16(body + 3);
    if (m_width == 0 || m_height == 0)
        return false; // a height given later (DNL) is not supported
    m_componentCount = count;
    m_hMax = m_vMax = 1;
    for (int c = 0; c < count; ++c) {
        const uint8_t* p = body + 6 + 3 * c;
        Component& comp = m_components[c];
        comp.id = p[0];
        comp.h = p[1] >> 4;
        comp.v = p[1] & 15;
        comp.quantTable = p[2];
        if (comp.h < 1 || comp.h > 4 || comp.v < 1 || comp.v > 4 || comp.quantTable > 3)
            return false;
        m_hMax = std::max(m_hMax, comp.h);
        m_vMax = std::max(m_vMax, comp.v);
    }
    for (int c = 0; c < count; ++c) {
        Component& comp = m_components[c];
        if (m_hMax % comp.h != 0 || m_vMax % comp.v != 0)
            return false; // only whole replication factors
        comp.hFactor = m_hMax / comp.h;
        comp.vFactor = m_vMax / comp.v;
    }
    m_haveFrame = true;
    return true;
}

bool CJpegDecoder::ReadHuffmanTables(const uint8_t* body, size_t length)
{
    size_t p = 0;
    while (p < length) {
        const int tableClass = body[p] >> 4, id = body[p] & 15;
        ++p;
        if (tableClass > 1 || id > 3 || length - p < 16)
            return false;
        uint8_t counts[16];
        std::memcpy(counts, body + p, 16);
        p += 16;
        int total = 0;
        for (uint8_t c : counts)
            total += c;
        if (total > 256 || length - p < size_t(total))
            return false;
        JpegHuffmanTable& table = tableClass == 0 ? m_dcTables[id] : m_acTables[id];
        if (!table.Build(counts, body + p, total))
            return false;
        p += total;
    }
    return true;
}

bool CJpegDecoder::ReadQuantTables(const uint8_t* body, size_t length)
{
    size_t p = 0;
    while (p < length) {
        const int precision = body[p] >> 4, id = body[p] & 15;
        ++p;
        const size_t need = precision == 0 ? 64 : 128;
        if (precision > 1 || id > 3 || length - p < need)
            return false;
        QuantTable& table = m_quant[id];
        for (int i = 0; i < 64; ++i)
            table.values[JpegTables::kZigzag[i]] =
                static_cast<uint16_t>(precision == 0 ? body[p + i] : Read16(body + p + 2 * i));
        table.present = true;
        p += need;
    }
    return true;
}

bool CJpegDecoder::ReadScan(const uint8_t* body, size_t length)
{
    if (!m_haveFrame || length < 1)
        return false;
    const int count = body[0];
    // One interleaved scan must carry every component of the frame.
    if (count != m_componentCount || length != 4 + 2 * size_t(count))
        return false;
    bool used[4] = {false, false, false, false};
    for (int s = 0; s < count; ++s) {
        const uint8_t id = body[1 + 2 * s];
        const int dc = body[2 + 2 * s] >> 4, ac = body[2 + 2 * s] & 15;
        int found = -1;
        for (int c = 0; c < m_componentCount; ++c)
            if (m_components[c].id == id && !used[c]) {
                found = c;
                break;
            }
        if (found < 0 || dc > 3 || ac > 3)
            return false;
        used[found] = true;
        Component& comp = m_components[found];
        comp.dcTable = dc;
        comp.acTable = ac;
        m_scanOrder[s] = found;
    }
    const uint8_t* tail = body + 1 + 2 * count;
    if (tail[0] != 0 || tail[1] != 63 || tail[2] != 0)
        return false; // not a sequential scan
    return PrepareScan();
}

bool CJpegDecoder::PrepareScan()
{
    int blocks = 0;
    for (int c = 0; c < m_componentCount; ++c) {
        Component& comp = m_components[c];
        blocks += comp.h * comp.v;
        if (!m_quant[comp.quantTable].present || !m_dcTables[comp.dcTable].present ||
            !m_acTables[comp.acTable].present)
            return false;
        for (int i = 0; i < 64; ++i)
            comp.quant[i] = m_quant[comp.quantTable].values[i];
    }
    if (blocks > 10)
        return false;
    m_mcuWidth = 8 * m_hMax;
    m_mcuHeight = 8 * m_vMax;
    m_mcusPerRow = (m_width + m_mcuWidth - 1) / m_mcuWidth;
    m_mcuRows = (m_height + m_mcuHeight - 1) / m_mcuHeight;
    for (int c = 0; c < m_componentCount; ++c) {
        Component& comp = m_components[c];
        comp.stride = size_t(m_mcusPerRow) * comp.h * 8;
        comp.samples.assign(comp.stride * comp.v * 8, 0);
        comp.sampleIndex.resize(m_width);
        for (uint32_t x = 0; x < m_width; ++x)
            comp.sampleIndex[x] = x / comp.hFactor;
    }
    m_mcuRow = m_mcuInRow = 0;
    m_acc = 0;
    m_bits = 0;
    m_predictors.fill(0);
    m_scanReady = true;
    return true;
}

int JpegDecodeMemory(CJpegDecoder& decoder, const uint8_t* chunk, uint32_t chunkLength, uint8_t* out,
                     uint32_t outSize, uint32_t& written, uint32_t& width, uint32_t& height,
                     uint32_t& rowWidth, uint32_t& rowsWritten, int outputKind)
{
    return decoder.Decode(chunk, chunkLength, out, outSize, written, width, height, rowWidth, rowsWritten,
                          outputKind);
}

void JpegDecodeReset(CJpegDecoder& decoder)
{
    decoder.Reset();
}
