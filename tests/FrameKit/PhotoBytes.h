#pragma once

// Builds small TIFF structures and JPEG files for the photo reader's tests.
#include <cstdint>
#include <string>
#include <vector>

namespace photo_bytes {

inline std::string U16(std::uint32_t v, bool be)
{
    std::string s(2, '\0');
    s[be ? 0 : 1] = static_cast<char>(v >> 8);
    s[be ? 1 : 0] = static_cast<char>(v);
    return s;
}

inline std::string U32(std::uint32_t v, bool be)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[be ? 3 - i : i] = static_cast<char>(v >> (8 * i));
    return s;
}

struct Tag
{
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::string value;     // in file order; longer than 4 bytes goes to the data area
    bool rawField = false; // value is the 4-byte offset field itself
};

struct Tiff
{
    bool be = false;
    std::vector<Tag> ifd0;
    std::vector<Tag> exif;
    bool exifPointsToIfd0 = false;

    Tag Ascii(std::uint16_t tag, const std::string& text) const
    {
        return {tag, 2, std::uint32_t(text.size() + 1), text + '\0'};
    }
    Tag Rational(std::uint16_t tag, std::uint32_t n, std::uint32_t d, bool isSigned = false) const
    {
        return {tag, std::uint16_t(isSigned ? 10 : 5), 1, U32(n, be) + U32(d, be)};
    }
    Tag Short(std::uint16_t tag, std::uint16_t v) const
    {
        return {tag, 3, 1, U16(v, be) + std::string(2, '\0')};
    }
    Tag Raw(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t field) const
    {
        return {tag, type, count, U32(field, be), true};
    }

    std::string Build() const
    {
        std::vector<Tag> zero = ifd0;
        if (!exif.empty() || exifPointsToIfd0)
            zero.push_back({34665, 4, 1, std::string()});
        const std::uint32_t ifd0At = 8;
        const std::uint32_t exifAt = ifd0At + 2 + 12 * std::uint32_t(zero.size()) + 4;
        std::uint32_t dataAt = exifAt + (exif.empty() ? 0 : 2 + 12 * std::uint32_t(exif.size()) + 4);
        std::string data;
        auto ifd = [&](const std::vector<Tag>& tags) {
            std::string out = U16(std::uint32_t(tags.size()), be);
            for (const Tag& t : tags) {
                out += U16(t.tag, be) + U16(t.type, be) + U32(t.count, be);
                if (t.tag == 34665 && t.value.empty()) {
                    out += U32(exifPointsToIfd0 ? ifd0At : exifAt, be);
                } else if (t.rawField || t.value.size() <= 4) {
                    out += (t.value + std::string(4, '\0')).substr(0, 4);
                } else {
                    out += U32(dataAt + std::uint32_t(data.size()), be);
                    data += t.value;
                }
            }
            return out + U32(0, be);
        };
        std::string head = std::string(be ? "MM" : "II") + U16(42, be) + U32(ifd0At, be);
        std::string a = ifd(zero);
        std::string b = exif.empty() ? std::string() : ifd(exif);
        return head + a + b + data;
    }
};

inline std::string Segment(unsigned char marker, const std::string& data)
{
    return std::string("\xFF") + char(marker) + U16(std::uint32_t(data.size() + 2), true) + data;
}

inline std::string Jfif()
{
    return Segment(0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
}

inline std::string ExifSegment(const std::string& tiff)
{
    return Segment(0xE1, std::string("Exif\0\0", 6) + tiff);
}

inline std::string ScanAndEnd()
{
    return Segment(0xDA, std::string(10, '\0')) + "\x12\x34\xFF\xD9";
}

inline std::string Jpeg(const std::string& segments)
{
    return "\xFF\xD8" + segments + ScanAndEnd();
}

} // namespace photo_bytes
