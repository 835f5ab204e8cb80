#include "JpegStreamBytes.h"

std::vector<JpegSegment> JpegSegments(const std::vector<uint8_t>& stream, size_t* scanStart)
{
    std::vector<JpegSegment> segments;
    size_t p = 2;
    while (p + 4 <= stream.size() && stream[p] == 0xFF) {
        JpegSegment s;
        s.marker = stream[p + 1];
        s.offset = p;
        const size_t length = (size_t(stream[p + 2]) << 8) | stream[p + 3];
        if (length < 2 || p + 2 + length > stream.size())
            break;
        s.body.assign(stream.begin() + p + 4, stream.begin() + p + 2 + length);
        segments.push_back(s);
        p += 2 + length;
        if (s.marker == 0xDA) {
            if (scanStart)
                *scanStart = p;
            break;
        }
    }
    return segments;
}

void JpegAppendSegment(std::vector<uint8_t>& stream, uint8_t marker, const std::vector<uint8_t>& body)
{
    const size_t length = body.size() + 2;
    stream.insert(stream.end(),
                  {0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
    stream.insert(stream.end(), body.begin(), body.end());
}

std::vector<uint8_t> JpegScanMarkers(const std::vector<uint8_t>& stream)
{
    size_t start = 0;
    JpegSegments(stream, &start);
    std::vector<uint8_t> markers;
    for (size_t p = start; start > 0 && p + 1 < stream.size(); ++p)
        if (stream[p] == 0xFF && stream[p + 1] != 0x00) {
            markers.push_back(stream[p + 1]);
            ++p;
        }
    return markers;
}
