#include "Platform/Archive.h"

#include <gtest/gtest.h>

TEST(Archive, ValuesAreLittleEndianInFieldOrder)
{
    CArchive out;
    out.WriteInt32(-2);
    out.WriteUInt32(0x01020304);
    const std::vector<std::uint8_t> expected = {0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(out.Data(), expected);

    CArchive in(out.Data());
    EXPECT_EQ(in.ReadInt32(), -2);
    EXPECT_EQ(in.ReadUInt32(), 0x01020304u);
    EXPECT_THROW(in.ReadInt32(), CArchiveException);
}

TEST(Archive, ReadStringLineEnds)
{
    // '\n' ends a line; '\r' ends it too and swallows the byte after it.
    const std::string bytes = "a\nbc\r\nde\rXf";
    CArchive in(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    std::string line;
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "a");
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "bc");
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "de");
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "f");
    EXPECT_FALSE(in.ReadString(line));
}

TEST(Archive, ShortReadThrowsWithoutMoving)
{
    const std::uint8_t bytes[3] = {1, 2, 3};
    CArchive in(bytes);
    std::uint8_t out[4] = {};
    EXPECT_THROW(in.ReadBytes(out, 4), CArchiveException);
    EXPECT_EQ(in.Remaining(), 3u);
}
