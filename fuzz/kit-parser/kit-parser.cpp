#include "FrameKit/Parser.h"
#include "FrameKit/SDK.h"
#include "FrameKit/USMParser.h"

#include <cstddef>
#include <cstdint>

namespace {

void ReadParser(const std::uint8_t* data, std::size_t size)
{
    ZAVParser parser;
    const char* stop = (size > 0 && data[0] & 1) ? "HEADER" : nullptr;
    if (parser.ParseMemory(reinterpret_cast<const char*>(data), size, stop) != 0)
        return;
    unsigned char major = 0, minor = 0;
    int direction = 0, m[4] = {};
    parser.GetRevisionMajor(&major);
    parser.GetRevisionMinor(&minor);
    parser.GetDirection(&direction);
    parser.GetMargins(&m[0], &m[1], &m[2], &m[3]);
    char buf[600];
    for (const char* section : {"HEADER", "PAGE"}) {
        for (int occurrence = -1; occurrence < 3; ++occurrence) {
            parser.GetValue(section, "HdTitle", buf, sizeof buf, occurrence, true);
            parser.GetValue(section, "HdTitle", buf, 8, occurrence, false);
        }
        int kind = 0;
        for (int i = 0; parser.GetCallLine(section, i, buf, sizeof buf, &kind); ++i) {
        }
    }
}

void ReadIndex(const std::uint8_t* data, std::size_t size)
{
    USMParser index;
    if (index.ParseMemory(reinterpret_cast<const char*>(data), size, nullptr) != 0)
        return;
    unsigned char b = 0;
    int n = 0;
    char name[256];
    index.GetClassificationMajor(&b);
    index.GetClassificationMinor(&b);
    index.GetCapability(&n);
    index.GetCount(&n);
    for (int i = 0; i < 4; ++i)
        index.GetFilename(i, name);
}

void ReadLayout(const std::uint8_t* data, std::size_t size)
{
    ZAV_SDK_PACK sdk;
    if (sdk.OpenLayoutText("/nonexistent-kit-fuzz", static_cast<std::int32_t>(size),
                           reinterpret_cast<const char*>(data)) != 0)
        return;
    LayoutHeaderRecord header;
    sdk.GetLayoutHeader(&header);
    char name[256];
    sdk.GetThumbnailName(name);
    sdk.GetSoundName(name);
    ZavConversion turn;
    turn.rotated = 1;
    turn.kind = 2;
    turn.width = 997;
    turn.height = 701;
    sdk.SetConversion(1, &turn);
    ZavConversion scale;
    scale.kind = 1;
    scale.scale = 0.37;
    sdk.SetConversion(0, &scale);
    ZavItemRecord item;
    for (std::int32_t i = 0; sdk.GetItem(i, &item) == 0; ++i)
        sdk.GetItemFileName(i, name);
    ZavInsertFrameInfo frame;
    std::uint8_t codes[3];
    const std::uint8_t set[3] = {3, 1, 8};
    for (std::int32_t order = 0; sdk.GetInsertFrame(order, &frame) == 0; ++order) {
        sdk.GetInsertFrameFileCodes(order, codes);
        sdk.SetInsertFrameCodes(2, order, set);
        sdk.GetInsertFrameCodes(order, codes);
        sdk.SetInsertFrameValue(order, order);
    }
    char raw[64];
    sdk.GetRawValue("HEADER", "HdTitle", 0, raw, sizeof raw);
    sdk.GetRawValue("PAGE", nullptr, 0, raw, sizeof raw);
}

} // namespace

// Reads the bytes as a layout script, a set index and a layout opened from
// text, and asks every getter.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadParser(data, size);
    ReadIndex(data, size);
    ReadLayout(data, size);
    return 0;
}
