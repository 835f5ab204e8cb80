// Small tools over JPEG byte streams for the codec's tests: finding segments,
// splitting header and scan, building hostile streams by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct JpegSegment
{
    uint8_t marker = 0;
    size_t offset = 0;         // of the 0xFF
    std::vector<uint8_t> body; // after the length field
};

// The marker segments up to and including SOS; scanStart receives the offset of
// the first entropy-coded byte.
std::vector<JpegSegment> JpegSegments(const std::vector<uint8_t>& stream, size_t* scanStart = nullptr);

// Appends a segment with its length field.
void JpegAppendSegment(std::vector<uint8_t>& stream, uint8_t marker, const std::vector<uint8_t>& body);

// Markers (FF xx with xx not 00) inside the entropy-coded data, in order.
std::vector<uint8_t> JpegScanMarkers(const std::vector<uint8_t>& stream);
