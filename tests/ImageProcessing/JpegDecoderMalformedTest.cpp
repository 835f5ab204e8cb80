// Hand-built streams: every malformed piece ends the stream with status 1
// (or waits for more data), never touching memory outside the decoder's own.
#include "ImageProcessing/JpegDecoder.h"
#include "support/JpegStreamBytes.h"
#include "support/JpegTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::vector<uint8_t> Flat()
{
    std::vector<uint8_t> table(65, 1);
    table[0] = 0x00; // 8-bit entries, table 0
    return table;
}

struct StreamParts
{
    std::vector<uint8_t> dqt = Flat();
    std::vector<uint8_t> dhtDc = {0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00};
    std::vector<uint8_t> dhtAc = {0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00};
    std::vector<uint8_t> sof = {8, 0, 8, 0, 8, 3, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0};
    std::vector<uint8_t> sos = {3, 1, 0x00, 2, 0x00, 3, 0x00, 0, 63, 0};
    uint8_t sofMarker = 0xC0;
    std::vector<uint8_t> scan = {0x03}; // three blocks of DC 0 and EOB, padded with ones
    bool sofFirst = false;
};

std::vector<uint8_t> Build(const StreamParts& p)
{
    std::vector<uint8_t> s = {0xFF, 0xD8};
    JpegAppendSegment(s, 0xDB, p.dqt);
    JpegAppendSegment(s, 0xC4, p.dhtDc);
    JpegAppendSegment(s, 0xC4, p.dhtAc);
    JpegAppendSegment(s, p.sofMarker, p.sof);
    JpegAppendSegment(s, 0xDA, p.sos);
    s.insert(s.end(), p.scan.begin(), p.scan.end());
    s.insert(s.end(), {0xFF, 0xD9});
    return s;
}

} // namespace

TEST(JpegDecoderMalformed, TheHandBuiltStreamIsValid)
{
    const auto result = JpegDecodeOurs(Build({}));
    ASSERT_EQ(result.status, 4);
    EXPECT_EQ(result.pixels, std::vector<uint8_t>(8 * 8 * 3, 128));
}

TEST(JpegDecoderMalformed, EveryBrokenPieceIsRefused)
{
    struct Case
    {
        const char* name;
        std::function<void(StreamParts&)> breakIt;
    };
    const Case cases[] = {
        {"huffman counts overfull", [](StreamParts& p) { p.dhtDc[1] = 3; }},
        {"huffman class 2", [](StreamParts& p) { p.dhtDc[0] = 0x20; }},
        {"huffman table 4", [](StreamParts& p) { p.dhtAc[0] = 0x14; }},
        {"huffman values missing", [](StreamParts& p) { p.dhtAc.pop_back(); }},
        {"quant precision 2", [](StreamParts& p) { p.dqt[0] = 0x20; }},
        {"quant table 4", [](StreamParts& p) { p.dqt[0] = 0x04; }},
        {"quant table short", [](StreamParts& p) { p.dqt.resize(30); }},
        {"zero sampling factor", [](StreamParts& p) { p.sof[7] = 0x01; }},
        {"sampling factor 5", [](StreamParts& p) { p.sof[7] = 0x51; }},
        {"uneven sampling", [](StreamParts& p) { p.sof[7] = 0x31, p.sof[10] = 0x21; }},
        {"two components", [](StreamParts& p) { p.sof[5] = 2, p.sof.resize(12); }},
        {"component count and length differ", [](StreamParts& p) { p.sof[5] = 4; }},
        {"precision 12", [](StreamParts& p) { p.sof[0] = 12; }},
        {"width 0", [](StreamParts& p) { p.sof[3] = 0, p.sof[4] = 0; }},
        {"quant table of component 5", [](StreamParts& p) { p.sof[8] = 5; }},
        {"progressive frame", [](StreamParts& p) { p.sofMarker = 0xC2; }},
        {"arithmetic frame", [](StreamParts& p) { p.sofMarker = 0xC9; }},
        {"more than ten blocks",
         [](StreamParts& p) {
             p.sof = {8, 0, 8, 0, 8, 4, 1, 0x22, 0, 2, 0x22, 0, 3, 0x22, 0, 4, 0x11, 0};
             p.sos = {4, 1, 0, 2, 0, 3, 0, 4, 0, 0, 63, 0};
         }},
        {"scan lacks a component", [](StreamParts& p) { p.sos = {2, 1, 0x00, 2, 0x00, 0, 63, 0}; }},
        {"scan names an unknown component", [](StreamParts& p) { p.sos[5] = 9; }},
        {"scan names a component twice", [](StreamParts& p) { p.sos[3] = 1; }},
        {"scan uses a missing AC table", [](StreamParts& p) { p.sos[2] = 0x01; }},
        {"scan uses a missing DC table", [](StreamParts& p) { p.sos[4] = 0x20; }},
        {"scan is progressive", [](StreamParts& p) { p.sos[8] = 5; }},
        {"code not in the table",
         [](StreamParts& p) {
             p.scan = {0x40, 0x00};
         }},
        {"coefficient past 63",
         [](StreamParts& p) {
             p.dhtAc.back() = 0xF5; // run 15, size 5 is the only code
             p.scan.assign(16, 0x00);
         }},
        {"marker inside the scan",
         [](StreamParts& p) {
             p.scan = {0xFF, 0xD9};
         }},
        {"restart marker where none is due",
         [](StreamParts& p) {
             p.scan = {0xFF, 0xD0, 0x03};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StreamParts parts;
        c.breakIt(parts);
        const auto stream = Build(parts);
        for (size_t chunk : {size_t(1), size_t(5000)}) {
            const auto result = JpegDecodeOurs(stream, chunk);
            EXPECT_EQ(result.status, 1) << chunk;
            EXPECT_TRUE(result.pixels.empty());
        }
    }
}

TEST(JpegDecoderMalformed, BrokenMarkerStructureIsRefused)
{
    const std::vector<uint8_t> cases[] = {
        {0xFF, 0xD8, 0x12, 0x34},             // no marker where one must stand
        {0xFF, 0xD8, 0xFF, 0xD9},             // the end before any scan
        {0xFF, 0xD8, 0xFF, 0xD8},             // a second start
        {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x01}, // a length below 2
        {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02}, // a scan without a frame
        {0xFF, 0xD8, 0xFF, 0xDD, 0x00, 0x02}, // a restart interval without its value
    };
    for (const auto& stream : cases)
        EXPECT_EQ(JpegDecodeOurs(stream).status, 1);
}

TEST(JpegDecoderMalformed, SegmentLongerThanTheDataWaitsForMore)
{
    std::vector<uint8_t> stream = {0xFF, 0xD8, 0xFF, 0xDB, 0xFF, 0xFF, 0x00, 1, 2, 3};
    const auto result = JpegDecodeOurs(stream, 3);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.pixels.empty());
    // A scan cut short waits too, and gives no rows it has not finished.
    auto valid = Build({});
    valid.resize(valid.size() - 3);
    EXPECT_EQ(JpegDecodeOurs(valid, 1).status, 2);
}

TEST(JpegDecoderMalformed, ForeignApp0AndUnknownSegmentsArePassedOver)
{
    auto stream = Build({});
    const std::vector<uint8_t> extra = {0xFF, 0xE0, 0x00, 0x06, 'A',  'B',  'C', 'D',
                                        0xFF, 0xE9, 0x00, 0x02, 0xFF, 0xFF, 0xD0};
    stream.insert(stream.begin() + 2, extra.begin(), extra.end());
    const auto result = JpegDecodeOurs(stream, 2);
    EXPECT_EQ(result.status, 4);
    EXPECT_EQ(result.pixels, std::vector<uint8_t>(8 * 8 * 3, 128));
}

TEST(JpegDecoderMalformed, RowsOfARefusedCallAreNotHandedOut)
{
    auto stream = JpegEncodeOurs(JpegTestPhoto(16, 40), nullptr, 16, 40, 0, 90, false).stream;
    stream[stream.size() - 4] = 0xFF; // a marker inside the last MCU row
    stream[stream.size() - 3] = 0x01;
    CJpegDecoder decoder;
    std::vector<uint8_t> block(307200);
    uint32_t written = 99, width, height, rowWidth, rows = 99;
    EXPECT_EQ(JpegDecodeMemory(decoder, stream.data(), static_cast<uint32_t>(stream.size()), block.data(),
                               307200, written, width, height, rowWidth, rows, 0),
              1);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(rows, 0u);
}
