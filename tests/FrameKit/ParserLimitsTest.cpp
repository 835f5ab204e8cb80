#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/Parser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// A key name is kept up to 63 characters; a longer line is passed over.
TEST(FrameParserLimits, AKeyNameOf63CharactersIsKeptAndOf64IsPassedOver)
{
    for (const auto& [length, kept] : {std::pair{62u, true}, std::pair{63u, true}, std::pair{64u, false}}) {
        SCOPED_TRACE(std::to_string(length) + " characters");
        const std::string key(length, 'k');
        const std::string text = "[S]\n" + key + "=1\nnext=2\n";
        ZAVParser parser;
        ASSERT_EQ(parser.ParseMemory(text.data(), text.size(), nullptr), ZAV_OK);
        char value[8] = {};
        EXPECT_EQ(parser.GetValue("S", key.c_str(), value, sizeof value, -1, false), kept);
        if (kept) {
            EXPECT_STREQ(value, "1");
        }
        ASSERT_TRUE(parser.GetValue("S", "next", value, sizeof value, -1, false));
        EXPECT_STREQ(value, "2");
    }
}

// A value is cut to the buffer with its terminator inside it, quoted or not,
// and nothing is written past the buffer.
TEST(FrameParserLimits, AValueFillsItsBufferExactlyAndIsCutOneByteShort)
{
    const std::string text = "[S]\nplain=ABCDEFGH\nquoted=\"ABCDEFGH\"\n";
    ZAVParser parser;
    ASSERT_EQ(parser.ParseMemory(text.data(), text.size(), nullptr), ZAV_OK);
    struct Case
    {
        const char* what;
        int size;
        std::string expected;
    };
    const Case cases[] = {{"one byte to spare", 10, "ABCDEFGH"},
                          {"exactly full", 9, "ABCDEFGH"},
                          {"one byte short", 8, "ABCDEFG"}};
    constexpr char kGuard = '\x5A';
    for (const Case& c : cases) {
        for (const auto& [key, unquote] : {std::pair{"plain", false}, std::pair{"quoted", true}}) {
            SCOPED_TRACE(std::string(c.what) + ", " + key);
            std::vector<char> buffer(static_cast<std::size_t>(c.size) + 4, kGuard);
            ASSERT_TRUE(parser.GetValue("S", key, buffer.data(), c.size, -1, unquote));
            EXPECT_EQ(std::string(buffer.data()), c.expected);
            for (std::size_t i = static_cast<std::size_t>(c.size); i < buffer.size(); ++i)
                EXPECT_EQ(buffer[i], kGuard) << "byte " << i << " past the end was written";
        }
    }
}

// Unquoting never splits a double-byte character at the cut.
TEST(FrameParserLimits, AnUnquotedCutKeepsADoubleByteCharacterWhole)
{
    const std::string text = "[S]\nq=\"ABCDEF\x95\x5C\"\n";
    ZAVParser parser;
    ASSERT_EQ(parser.ParseMemory(text.data(), text.size(), nullptr), ZAV_OK);
    const std::pair<int, std::string> cases[] = {
        {10, "ABCDEF\x95\x5C"}, {9, "ABCDEF\x95\x5C"}, {8, "ABCDEF"}, {7, "ABCDEF"}};
    for (const auto& [size, expected] : cases) {
        SCOPED_TRACE("size " + std::to_string(size));
        std::vector<char> buffer(static_cast<std::size_t>(size) + 2, '\x5A');
        ASSERT_TRUE(parser.GetValue("S", "q", buffer.data(), size, -1, true));
        EXPECT_EQ(std::string(buffer.data()), expected);
        EXPECT_EQ(buffer[static_cast<std::size_t>(size)], '\x5A');
    }
}

} // namespace
