#include "ImageProcessing/EffFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Field(const uint8_t* prefix, size_t offset, size_t count)
{
    return std::string(reinterpret_cast<const char*>(prefix + offset), count);
}

} // namespace

TEST(EffFormat, PrefixLayout)
{
    uint8_t prefix[EffFormat::kPrefixSize + 1];
    prefix[EffFormat::kPrefixSize] = 0xEE;
    EffFormat::WritePrefix(prefix, {2001, 3, 9, 0, 30, 0});
    EXPECT_EQ(prefix[EffFormat::kPrefixSize], 0xEE); // exactly 97 bytes
    EXPECT_EQ(Field(prefix, 0, 6), std::string("\xFF\xD8\xFF\xE5\x00\x5D", 6));
    EXPECT_EQ(Field(prefix, 6, 8), std::string("EFFHEAD\0", 8));
    EXPECT_EQ(Field(prefix, 14, 52),
              std::string("Enhanced Frame File (C) 2000-2001 TAKRA VELMO CORP.\0", 52));
    EXPECT_EQ(Field(prefix, 66, 8), std::string("\x01\x00\x00\x00\x00\x01\x00\x01", 8));
    EXPECT_EQ(Field(prefix, 74, 16), "20010309003000AM");
    EXPECT_EQ(Field(prefix, 90, 7), std::string(7, '\0')); // five empty texts, no thumbnails
    EXPECT_EQ(4 + EffFormat::kHeaderSegmentLength, EffFormat::kPrefixSize);
}

TEST(EffFormat, OutOfRangeClockValuesStayInsideTheirFields)
{
    uint8_t prefix[EffFormat::kPrefixSize];
    EffFormat::WritePrefix(prefix, {123456, 12, 31, 123, 4567, 89});
    EXPECT_EQ(Field(prefix, 74, 8), "12345612");
    EXPECT_EQ(Field(prefix, 82, 8), "11145678");
    EXPECT_EQ(Field(prefix, 90, 7), std::string(7, '\0'));
}
