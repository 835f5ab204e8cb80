#include "FrameKit/PhotoInfo.h"

#include "FrameKit/FileUtil.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

bool ZAVMemoryByteSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const
{
    if (offset > m_size || count > m_size - offset)
        return false;
    if (count > 0)
        std::memcpy(buffer, m_data + offset, count);
    return true;
}

namespace {

// Reads a photo through the kit's file layer, which seeks with 32-bit positions.
class FileByteSource : public ZAVByteSource
{
public:
    explicit FileByteSource(const char* path) : m_file(path, true, false)
    {
        if (!m_file.IsOpen() || m_file.GetSize(&m_size) != 0)
            m_size = 0;
    }
    bool IsOpen() const { return m_file.IsOpen(); }
    std::uint64_t Size() const override { return m_size; }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const override
    {
        if (offset > m_size || count > m_size - offset || offset > INT32_MAX)
            return false;
        std::uint32_t got = 0;
        return m_file.Seek(static_cast<std::int32_t>(offset)) == 0 &&
               m_file.Read(static_cast<std::uint32_t>(count), buffer, &got) == 0 && got == count;
    }

private:
    mutable ZAV_FileUtil m_file;
    std::uint32_t m_size = 0;
};

bool ReadU16(const ZAVByteSource& s, std::uint64_t at, bool be, std::uint16_t& out)
{
    unsigned char b[2];
    if (!s.ReadAt(at, b, 2))
        return false;
    out = be ? static_cast<std::uint16_t>(b[0] << 8 | b[1]) : static_cast<std::uint16_t>(b[1] << 8 | b[0]);
    return true;
}

bool ReadU32(const ZAVByteSource& s, std::uint64_t at, bool be, std::uint32_t& out)
{
    unsigned char b[4];
    if (!s.ReadAt(at, b, 4))
        return false;
    out = be ? (std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3])
             : (std::uint32_t{b[3]} << 24 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[1]} << 8 | b[0]);
    return true;
}

void CopyText(char* dst, std::size_t dstSize, const char* src, std::size_t srcLen)
{
    std::size_t n = 0;
    while (n < srcLen && n + 1 < dstSize && src[n] != '\0')
        ++n;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

__attribute__((format(printf, 3, 4))) void PrintTo(char* dst, std::size_t size, const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    int n = std::vsnprintf(dst, size, format, args);
    va_end(args);
    if (n < 0 || static_cast<std::size_t>(n) >= size)
        dst[0] = '\0'; // a cut number would be a wrong number
}

void ExposureText(ZAVPhotoInfo& info, std::uint32_t n, std::uint32_t d)
{
    info.exposureText[0] = '\0';
    if (d == 0)
        return;
    if (n == 0)
        PrintTo(info.exposureText, sizeof info.exposureText, "0s");
    else if (n >= d)
        PrintTo(info.exposureText, sizeof info.exposureText, "%us", n / d);
    else
        PrintTo(info.exposureText, sizeof info.exposureText, "1/%us", d / n);
}

void FNumberText(ZAVPhotoInfo& info, double f)
{
    info.fNumberText[0] = '\0';
    if (std::isfinite(f) && f > 0 && f < 1e6)
        PrintTo(info.fNumberText, sizeof info.fNumberText, "F%2.1f", f);
}

// ShutterSpeedValue is an APEX value: the exposure is 2^-v seconds.
void ShutterText(ZAVPhotoInfo& info, std::int32_t n, std::int32_t d)
{
    info.exposureText[0] = '\0';
    if (d == 0)
        return;
    double t = std::exp2(-static_cast<double>(n) / d);
    if (!std::isfinite(t) || t <= 0 || t > 1e9 || 1 / t > 1e9)
        return;
    if (t >= 1)
        PrintTo(info.exposureText, sizeof info.exposureText, "%us", static_cast<unsigned>(std::lround(t)));
    else
        PrintTo(info.exposureText, sizeof info.exposureText, "1/%us",
                static_cast<unsigned>(std::lround(1 / t)));
}

constexpr std::uint32_t kTypeSize[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

constexpr unsigned char kVividexWord[8] = {'V', 'i', 'v', 'i', 'd', 'e', 'x', 0};

// One TIFF structure: offsets count from base, and every value must lie before limit.
struct TiffReader
{
    const ZAVByteSource& src;
    std::uint64_t base;
    std::uint64_t limit;
    bool be;
    ZAVPhotoInfo& info;
    bool sawExposure = false;
    bool sawFNumber = false;
    std::uint32_t exifOffset = 0;
    bool hasExif = false;
    bool hasPrintTag = false;
    std::uint32_t printOffset = 0;
    std::uint32_t printLength = 0;

    struct Entry
    {
        std::uint16_t tag, type;
        std::uint32_t count;
        std::uint64_t at; // where the value lies
        std::uint64_t size;
        std::uint32_t field; // the raw offset field
    };

    bool Value(const Entry& e, void* out, std::size_t n) const
    {
        return n <= e.size && src.ReadAt(e.at, out, n);
    }
    bool UInt(const Entry& e, std::uint32_t& out) const
    {
        if (e.count == 0)
            return false;
        if (e.type == 3 || e.type == 8) {
            std::uint16_t v;
            if (!ReadU16(src, e.at, be, v))
                return false;
            out = v;
            return true;
        }
        if (e.type == 4 || e.type == 9 || e.type == 13)
            return ReadU32(src, e.at, be, out);
        if (e.type == 1 || e.type == 7) {
            unsigned char b;
            if (!src.ReadAt(e.at, &b, 1))
                return false;
            out = b;
            return true;
        }
        return false;
    }
    bool Rational(const Entry& e, std::uint32_t& n, std::uint32_t& d) const
    {
        return (e.type == 5 || e.type == 10) && e.count > 0 && ReadU32(src, e.at, be, n) &&
               ReadU32(src, e.at + 4, be, d);
    }
    void Text(const Entry& e, char* dst, std::size_t dstSize, std::size_t max) const
    {
        char buf[128];
        std::size_t n = static_cast<std::size_t>(
            std::min<std::uint64_t>({e.size, std::uint64_t{max}, std::uint64_t{sizeof buf}}));
        dst[0] = '\0';
        if ((e.type == 2 || e.type == 7 || e.type == 1) && src.ReadAt(e.at, buf, n))
            CopyText(dst, dstSize, buf, n);
    }

    bool ReadIfd(std::uint32_t offset, bool exif)
    {
        std::uint64_t at = base + offset;
        std::uint16_t n;
        if (at + 2 > limit || !ReadU16(src, at, be, n))
            return false;
        at += 2;
        for (std::uint16_t i = 0; i < n; ++i, at += 12) {
            Entry e{};
            if (at + 12 > limit || !ReadU16(src, at, be, e.tag) || !ReadU16(src, at + 2, be, e.type) ||
                !ReadU32(src, at + 4, be, e.count) || !ReadU32(src, at + 8, be, e.field))
                break;
            if (e.type == 0 || e.type > 12)
                continue;
            e.size = std::uint64_t{e.count} * kTypeSize[e.type];
            e.at = e.size <= 4 ? at + 8 : base + e.field;
            // The print-matching block is looked for in the whole file, so its tag is kept
            // however far it points.
            if (e.at + e.size > limit && !(e.tag == 50341 && !exif))
                continue; // the value stays empty
            exif ? ExifEntry(e) : Ifd0Entry(e);
        }
        return true;
    }

    void Ifd0Entry(const Entry& e)
    {
        std::uint32_t v = 0;
        switch (e.tag) {
        case 256:
            if (UInt(e, v))
                info.imageWidth = v;
            break;
        case 257:
            if (UInt(e, v))
                info.imageLength = v;
            break;
        case 262:
            if (UInt(e, v))
                info.photometric = static_cast<std::int32_t>(v);
            break;
        case 271:
            Text(e, info.makeText, sizeof info.makeText, 127);
            break;
        case 272:
            Text(e, info.modelText, sizeof info.modelText, 127);
            break;
        case 306:
            Text(e, info.dateTime, sizeof info.dateTime, 19);
            break;
        case 34665:
            if (UInt(e, v)) {
                exifOffset = v;
                hasExif = true;
            }
            break;
        case 34675:
            // Presence only; the caller records it with the segment's.
            iccPresent = true;
            break;
        case 50341:
            hasPrintTag = true;
            printOffset = e.size <= 4 ? 0 : e.field;
            printLength = e.size > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(e.size);
            break;
        default:
            break;
        }
    }
    bool iccPresent = false;

    void ExifEntry(const Entry& e)
    {
        std::uint32_t v = 0, n = 0, d = 0;
        auto set = [&](std::int32_t& field) {
            if (UInt(e, v))
                field = static_cast<std::int32_t>(v);
        };
        switch (e.tag) {
        case 33434:
            sawExposure = true;
            info.exposureText[0] = '\0';
            if (Rational(e, n, d))
                ExposureText(info, n, d);
            break;
        case 33437:
            sawFNumber = true;
            info.fNumberText[0] = '\0';
            if (Rational(e, n, d) && d != 0)
                FNumberText(info, static_cast<double>(n) / d);
            break;
        case 34855:
            info.isoText[0] = '\0';
            if (UInt(e, v))
                PrintTo(info.isoText, sizeof info.isoText, "ISO%u", v);
            break;
        case 36864:
            if (e.size >= 4 && Value(e, info.exifVersion, 4))
                info.exifVersion[4] = '\0';
            break;
        case 36867:
            Text(e, info.dateOriginal, sizeof info.dateOriginal, 19);
            break;
        case 36868:
            Text(e, info.dateDigitized, sizeof info.dateDigitized, 19);
            break;
        case 37377:
            if (!sawExposure && Rational(e, n, d))
                ShutterText(info, static_cast<std::int32_t>(n), static_cast<std::int32_t>(d));
            break;
        case 37378:
            if (!sawFNumber && Rational(e, n, d)) {
                info.fNumberText[0] = '\0';
                if (d != 0)
                    FNumberText(info, std::exp2(static_cast<double>(n) / d / 2));
            }
            break;
        case 37380:
            if (Rational(e, n, d)) {
                info.exposureBiasNum = static_cast<std::int32_t>(n);
                info.exposureBiasDen = static_cast<std::int32_t>(d);
            }
            break;
        case 37383:
            set(info.meteringMode);
            break;
        case 37384:
            set(info.lightSource);
            break;
        case 37385:
            if (UInt(e, v))
                info.flash = (v & 1) ? 2 : 1;
            break;
        case 37500:
            info.makerNoteOffset = static_cast<std::uint32_t>(e.at - base);
            info.makerNoteLength = e.count;
            break;
        case 40962:
            if (UInt(e, v))
                info.pixelXDimension = v;
            break;
        case 40963:
            if (UInt(e, v))
                info.pixelYDimension = v;
            break;
        case 41986:
            set(info.exposureMode);
            break;
        case 41987:
            set(info.whiteBalance);
            break;
        case 41990:
            set(info.sceneCaptureType);
            break;
        case 41991:
            set(info.gainControl);
            break;
        case 41992:
            set(info.contrast);
            break;
        case 41993:
            set(info.saturation);
            break;
        case 41994:
            set(info.sharpness);
            break;
        case 41996:
            set(info.subjectDistanceRange);
            break;
        default:
            break;
        }
    }

    // Reads the header at base, IFD0 and the Exif IFD; false when the header or IFD0 is unreadable.
    bool Read()
    {
        unsigned char h[2];
        std::uint16_t magic;
        std::uint32_t ifd0;
        if (base + 8 > limit || !src.ReadAt(base, h, 2))
            return false;
        if (h[0] == 'I' && h[1] == 'I')
            be = false;
        else if (h[0] == 'M' && h[1] == 'M')
            be = true;
        else
            return false;
        if (!ReadU16(src, base + 2, be, magic) || magic != 42 || !ReadU32(src, base + 4, be, ifd0))
            return false;
        if (!ReadIfd(ifd0, false))
            return false;
        // IFD0 is never read a second time as the Exif IFD.
        if (hasExif && exifOffset != ifd0)
            ReadIfd(exifOffset, true);
        return true;
    }
};

bool HasWordAt(const ZAVByteSource& s, std::uint64_t at)
{
    unsigned char w[8];
    return s.ReadAt(at, w, 8) && std::memcmp(w, kVividexWord, 8) == 0;
}

// Finds the print-matching block by the tag's offset or the places cameras put it by mistake.
int ParsePrintBlock(const ZAVByteSource& s, const TiffReader& t, std::uint64_t segment,
                    ZAVVividexRecord* record)
{
    const std::uint64_t size = s.Size();
    const std::uint64_t off = t.printOffset;
    const std::uint64_t candidates[5] = {t.base + off, segment + off, segment + 768, segment + 1024,
                                         off + 55160};
    for (std::uint64_t at : candidates) {
        if (!HasWordAt(s, at))
            continue;
        std::uint64_t limit = at + t.printLength;
        if (limit > size)
            limit = size;
        return VividexBlockParser({&s, at, limit, t.be}, record);
    }
    return 2;
}

bool StartsWith(const std::vector<char>& data, const char* word, std::size_t n)
{
    return data.size() >= n && std::memcmp(data.data(), word, n) == 0;
}

const char* const kCameraNames[] = {"Frame Camera 100", "Frame Camera 200", "Frame Camera 300",
                                    "Frame Camera 400"};

// Lines between "[diag info]" and "[end]" of the camera's text segment, as Key=Value.
bool ReadTextSegment(const std::vector<char>& data, ZAVPhotoInfo& info)
{
    bool inside = false, used = false;
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t end = pos;
        while (end < data.size() && data[end] != '\n')
            ++end;
        std::size_t len = end - pos;
        if (len > 128)
            len = 128;
        std::string line(data.data() + pos, len);
        pos = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0'))
            line.pop_back();
        if (!inside) {
            inside = line == "[diag info]";
            continue;
        }
        if (line == "[end]")
            break;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        char* stop = nullptr;
        long number = std::strtol(value.c_str(), &stop, 10);
        bool isNumber = !value.empty() && *stop == '\0';
        if (key == "TimeDate") {
            CopyText(info.dateOriginal, sizeof info.dateOriginal, value.c_str(), 19);
        } else if (key == "Aperture") {
            static const char* const apertures[] = {"F2.3", "F4", "F5.6", "F11"};
            if (isNumber && number >= 0 && number <= 3)
                CopyText(info.fNumberText, sizeof info.fNumberText, apertures[number], 19);
        } else if (key == "FNumber") {
            double f = std::strtod(value.c_str(), &stop);
            if (!value.empty() && *stop == '\0')
                FNumberText(info, f);
        } else if (key == "ImageSize") {
            unsigned w = 0, h = 0;
            if (std::sscanf(value.c_str(), "%ux%u", &w, &h) == 2) {
                info.imageWidth = w;
                info.imageLength = h;
            }
        } else if (key == "Flash") {
            if (isNumber && (number == 0 || number == 1))
                info.flash = number == 1 ? 2 : 1;
        } else if (key == "Shutter") {
            if (isNumber && number > 0 && number < 1000000000L)
                PrintTo(info.exposureText, sizeof info.exposureText, "1/%lds", number);
        } else if (key == "Type") {
            if (const char* name = isNumber ? ZavCameraTypeName(static_cast<int>(number)) : nullptr)
                CopyText(info.modelText, sizeof info.modelText, name, 127);
        } else {
            continue;
        }
        used = true;
    }
    return used;
}

void ResetInfo(ZAVPhotoInfo& info)
{
    std::memset(&info, 0, sizeof info);
    info.unknown = -1;
}

int ReadJpeg(const ZAVByteSource& s, ZAVPhotoInfo& info, std::uint32_t& flags, ZAVVividexRecord* record)
{
    const std::uint64_t size = s.Size();
    std::uint64_t pos = 2;
    bool endedEarly = true;
    while (pos < size) {
        unsigned char b;
        if (!s.ReadAt(pos, &b, 1) || b != 0xFF)
            break;
        unsigned char marker = 0xFF;
        while (marker == 0xFF && s.ReadAt(++pos, &marker, 1)) {
        }
        if (marker == 0xFF)
            break;
        ++pos;
        if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xD9 || marker == 0xDA) {
            endedEarly = false;
            break;
        }
        std::uint16_t length;
        if (!ReadU16(s, pos, true, length) || length < 2)
            break;
        const std::uint64_t segment = pos - 2; // the marker
        const std::uint64_t dataAt = pos + 2;
        const std::uint64_t segEnd = pos + length;
        if (segEnd > size)
            break; // a cut segment is not read
        pos = segEnd;
        if (marker < 0xE0 || marker > 0xEF)
            continue;
        std::vector<char> data(static_cast<std::size_t>(segEnd - dataAt));
        if (!s.ReadAt(dataAt, data.data(), data.size()))
            break;
        if (marker == 0xE0 && StartsWith(data, "JFIF", 5)) {
            flags |= ZAV_PHOTO_JFIF;
        } else if (marker == 0xE1 && StartsWith(data, "Exif\0", 6) && !(flags & ZAV_PHOTO_EXIF)) {
            TiffReader t{s, dataAt + 6, segEnd, false, info};
            if (t.Read()) {
                flags |= ZAV_PHOTO_EXIF;
                if (t.iccPresent)
                    flags |= ZAV_PHOTO_ICC;
                if (t.hasPrintTag && ParsePrintBlock(s, t, segment, record) == 0)
                    flags |= ZAV_PHOTO_PRINT_BLOCK;
            }
        } else if (marker == 0xE2 && StartsWith(data, "ICC_PROFILE", 12)) {
            flags |= ZAV_PHOTO_ICC;
        } else if (marker == 0xEC && !(flags & ZAV_PHOTO_TEXT)) {
            if (ReadTextSegment(data, info))
                flags |= ZAV_PHOTO_TEXT;
        } else if (StartsWith(data, "VLVDX", 5)) {
            flags |= ZAV_PHOTO_VLVDX;
        }
    }
    if (endedEarly)
        return ZAV_PHOTO_NOTHING;
    if (flags & ZAV_PHOTO_EXIF)
        return ZAV_PHOTO_KIND_EXIF;
    if (flags & ZAV_PHOTO_TEXT)
        return ZAV_PHOTO_KIND_TEXT;
    if (flags & ZAV_PHOTO_JFIF)
        return ZAV_PHOTO_KIND_JFIF;
    if (flags & ZAV_PHOTO_VLVDX)
        return ZAV_PHOTO_KIND_MAKER;
    return ZAV_PHOTO_NOTHING;
}

} // namespace

const char* ZavCameraTypeName(int code)
{
    // Codes 3 and 4 are one camera sold under two codes.
    static const int index[] = {-1, 0, 1, 2, 2, 3};
    if (code < 1 || code > 5)
        return nullptr;
    return kCameraNames[index[code]];
}

int VividexBlockParser(const ZAVVividexBlockReader& block, ZAVVividexRecord* record)
{
    if (record == nullptr || block.source == nullptr)
        return 2;
    std::memset(record, 0, sizeof *record);
    const ZAVByteSource& s = *block.source;
    const bool be = block.bigEndian;
    if (block.limit < block.offset || block.limit - block.offset < 16 || !HasWordAt(s, block.offset))
        return 2;
    char version[4];
    std::uint16_t count;
    if (!s.ReadAt(block.offset + 8, version, 4) || !ReadU16(s, block.offset + 14, be, count))
        return 2;
    std::int32_t v = 0;
    for (char c : version) {
        if (c < '0' || c > '9')
            return 2;
        v = v * 10 + (c - '0');
    }
    if (std::uint64_t{count} * 6 > block.limit - block.offset - 16)
        return 2;
    record->version = v;
    // Ranges of the print parameters 1 to 6, ours: nothing reads them back.
    static const int lo[7] = {0, 6, 0, 0, 0, 0, 0};
    static const int hi[7] = {0, 42, 100, 100, 100, 100, 100};
    auto isSwitch = [](unsigned char b) { return b >= 128 && b <= 133; };
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint64_t at = block.offset + 16 + std::uint64_t{i} * 6;
        std::uint16_t tag;
        unsigned char value[4];
        if (!ReadU16(s, at, be, tag) || !s.ReadAt(at + 2, value, 4))
            return 2;
        bool used = false;
        if (tag >= 1 && tag <= 6) {
            const int p = be ? value[0] << 8 | value[1] : value[1] << 8 | value[0];
            if (p >= lo[tag] && p <= hi[tag]) {
                std::memcpy(record->param[tag], value, 4);
                used = record->hasParam[tag] = true;
            }
        } else if (tag >= 7 && tag <= 14) {
            std::memcpy(record->param[tag], value, 4);
            used = record->hasParam[tag] = true;
        } else if (tag == 256) {
            if (value[0] >= 1 && value[0] <= 10) {
                record->mode = value[0];
                used = record->hasMode = true;
            }
        } else if ((tag >= 257 && tag <= 262) || (tag == 272 && v >= kVividexSwitch272Since)) {
            int slot = tag == 272 ? 7 : tag - 256;
            if (isSwitch(value[0])) {
                record->switchValue[slot] = value[0] & 0x0F;
                used = record->hasSwitch[slot] = true;
            }
        } else if (tag == 263) {
            if (isSwitch(value[0]) && isSwitch(value[1]) && isSwitch(value[2])) {
                for (int k = 0; k < 3; ++k)
                    record->colorSwitch[k] = value[k] == 128 ? 0 : 2;
                used = record->hasColorSwitch = true;
            }
        }
        if (used)
            record->present = true;
    }
    return 0;
}

int ExifPhotoInfoReader(const ZAVByteSource& source, ZAVPhotoInfo* info, std::uint32_t* flags,
                        ZAVVividexRecord* record)
{
    if (info == nullptr || flags == nullptr || record == nullptr)
        return ZAV_PHOTO_BAD_ARGUMENT;
    ResetInfo(*info);
    std::memset(record, 0, sizeof *record);
    *flags = 0;
    const std::uint64_t size = source.Size();
    info->fileSizeKiB = static_cast<std::int32_t>(std::min<std::uint64_t>((size + 1023) / 1024, INT32_MAX));
    unsigned char head[2];
    if (!source.ReadAt(0, head, 2))
        return ZAV_PHOTO_NOTHING;
    if (head[0] == 0xFF && head[1] == 0xD8)
        return ReadJpeg(source, *info, *flags, record);
    if ((head[0] == 'I' && head[1] == 'I') || (head[0] == 'M' && head[1] == 'M')) {
        TiffReader t{source, 0, size, false, *info};
        if (!t.Read())
            return ZAV_PHOTO_NOTHING;
        *flags |= ZAV_PHOTO_TIFF;
        if (t.iccPresent)
            *flags |= ZAV_PHOTO_ICC;
        if (t.hasPrintTag && ParsePrintBlock(source, t, 0, record) == 0)
            *flags |= ZAV_PHOTO_PRINT_BLOCK;
        return ZAV_PHOTO_KIND_TIFF;
    }
    return ZAV_PHOTO_NOTHING;
}

int ExifPhotoInfoReader(const char* path, ZAVPhotoInfo* info, std::uint32_t* flags, ZAVVividexRecord* record)
{
    if (path == nullptr || info == nullptr || flags == nullptr || record == nullptr)
        return ZAV_PHOTO_BAD_ARGUMENT;
    FileByteSource file(path);
    if (!file.IsOpen()) {
        ResetInfo(*info);
        std::memset(record, 0, sizeof *record);
        *flags = 0;
        return ZAV_PHOTO_CANNOT_OPEN;
    }
    return ExifPhotoInfoReader(file, info, flags, record);
}
