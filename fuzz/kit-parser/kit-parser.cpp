#include "FrameKit/Parser.h"

#include <cstddef>
#include <cstdint>

// Parses the bytes as a layout script and reads every value back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ZAVParser parser;
    const char *stop = (size > 0 && data[0] & 1) ? "HEADER" : nullptr;
    if (parser.ParseMemory(reinterpret_cast<const char *>(data), size, stop) != 0)
        return 0;
    unsigned char major = 0, minor = 0;
    int direction = 0, m[4] = {};
    parser.GetRevisionMajor(&major);
    parser.GetRevisionMinor(&minor);
    parser.GetDirection(&direction);
    parser.GetMargins(&m[0], &m[1], &m[2], &m[3]);
    char buf[600];
    for (const char *section : {"HEADER", "PAGE"}) {
        for (int occurrence = -1; occurrence < 3; ++occurrence) {
            parser.GetValue(section, "HdTitle", buf, sizeof buf, occurrence, true);
            parser.GetValue(section, "HdTitle", buf, 8, occurrence, false);
        }
        int kind = 0;
        for (int i = 0; parser.GetCallLine(section, i, buf, sizeof buf, &kind); ++i) {
        }
    }
    return 0;
}
