#include "ImageProcessing/TiffIfdReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A TIFF block in either byte order, written at fixed offsets so that each test
// can point entries wherever it needs to.
class TiffBlock
{
public:
    TiffBlock(bool bigEndian, std::size_t size) : m_big(bigEndian), m_bytes(size, 0)
    {
        m_bytes[0] = m_bytes[1] = bigEndian ? 'M' : 'I';
        Put16(2, 42);
    }
    void Put16(std::size_t at, std::uint16_t v)
    {
        if (m_big) {
            m_bytes[at] = v >> 8;
            m_bytes[at + 1] = v & 0xFF;
        } else {
            m_bytes[at] = v & 0xFF;
            m_bytes[at + 1] = v >> 8;
        }
    }
    void Put32(std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes[at + (m_big ? 3 - i : i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    // A directory at `at` with `count` entries; returns the offset of its next field.
    std::size_t Directory(std::size_t at, std::uint16_t count)
    {
        Put16(at, count);
        return at + 2 + 12u * count;
    }
    void Entry(std::size_t dir, int index, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
               std::uint32_t value)
    {
        const std::size_t e = dir + 2 + 12u * index;
        Put16(e, tag);
        Put16(e + 2, type);
        Put32(e + 4, count);
        if (type == 3 && count == 1)
            Put16(e + 8, static_cast<std::uint16_t>(value)); // a SHORT sits in the first half
        else
            Put32(e + 8, value);
    }
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }

private:
    bool m_big;
    std::vector<std::uint8_t> m_bytes;
};

// IFD0 at 8: ImageWidth SHORT 640 (inside the entry), XResolution RATIONAL at 100,
// Exif pointer to 200. Exif IFD at 200: DateTimeOriginal ASCII 20 bytes at 300.
// IFD1 at 400: Compression SHORT 6, JPEGInterchangeFormat LONG 1234.
TiffBlock ExifLikeBlock(bool bigEndian)
{
    TiffBlock b(bigEndian, 512);
    b.Put32(4, 8);
    std::size_t next = b.Directory(8, 3);
    b.Entry(8, 0, 0x0100, 3, 1, 640);
    b.Entry(8, 1, 0x011A, 5, 1, 100);
    b.Entry(8, 2, CTiffIfdReader::kExifIfdTag, 4, 1, 200);
    b.Put32(next, 400);
    b.Put32(100, 72);
    b.Put32(104, 1);
    b.Put32(b.Directory(200, 1), 0);
    b.Entry(200, 0, 0x9003, 2, 20, 300);
    for (int i = 0; i < 19; ++i)
        b.Bytes()[300 + i] = static_cast<std::uint8_t>('0' + i % 10);
    next = b.Directory(400, 2);
    b.Entry(400, 0, 0x0103, 3, 1, 6);
    b.Entry(400, 1, 0x0201, 4, 1, 1234);
    b.Put32(next, 0);
    return b;
}

struct Found
{
    int result = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    const std::uint8_t* value = nullptr;
};

Found Find(const CTiffIfdReader& reader, std::uint16_t tag)
{
    Found f;
    f.result = reader.FindTag(&f.type, &f.count, &f.value, tag);
    return f;
}

class TiffIfdByteOrder : public ::testing::TestWithParam<bool>
{
};

TEST_P(TiffIfdByteOrder, FindsTagsInEveryDirectoryWithTheirValues)
{
    TiffBlock block = ExifLikeBlock(GetParam());
    const auto& bytes = block.Bytes();
    CTiffIfdReader reader(bytes);
    ASSERT_TRUE(reader.IsValid());
    EXPECT_EQ(reader.IsBigEndian(), GetParam());

    Found width = Find(reader, 0x0100); // SHORT inside the entry
    ASSERT_EQ(width.result, 1);
    EXPECT_EQ(width.type, 3);
    EXPECT_EQ(width.count, 1u);
    EXPECT_EQ(width.value, bytes.data() + 8 + 2 + 8);
    EXPECT_EQ(reader.Read16(width.value), 640);

    Found resolution = Find(reader, 0x011A); // RATIONAL at an offset
    ASSERT_EQ(resolution.result, 1);
    EXPECT_EQ(resolution.value, bytes.data() + 100);
    EXPECT_EQ(reader.Read32(resolution.value), 72u);
    EXPECT_EQ(reader.Read32(resolution.value + 4), 1u);

    Found date = Find(reader, 0x9003); // only in the Exif sub-directory
    ASSERT_EQ(date.result, 1);
    EXPECT_EQ(date.count, 20u);
    EXPECT_EQ(date.value, bytes.data() + 300);

    Found compression = Find(reader, 0x0103); // only in IFD1
    ASSERT_EQ(compression.result, 1);
    EXPECT_EQ(reader.Read16(compression.value), 6);
    Found offset = Find(reader, 0x0201);
    ASSERT_EQ(offset.result, 1);
    EXPECT_EQ(reader.Read32(offset.value), 1234u);

    EXPECT_EQ(Find(reader, 0x0111).result, 0);
}

INSTANTIATE_TEST_SUITE_P(LittleAndBig, TiffIfdByteOrder, ::testing::Values(false, true));

TEST(TiffIfdReader, ExifSubDirectoryIsSearchedBeforeTheChain)
{
    TiffBlock b = ExifLikeBlock(false);
    // The same tag in the Exif directory and in IFD1: the Exif one is met first.
    b.Entry(200, 0, 0x0103, 3, 1, 1);
    CTiffIfdReader reader(b.Bytes());
    Found f = Find(reader, 0x0103);
    ASSERT_EQ(f.result, 1);
    EXPECT_EQ(reader.Read16(f.value), 1);
}

TEST(TiffIfdReader, WithoutTheChainFlagOnlyTheFirstDirectoryAndItsExifAreSearched)
{
    TiffBlock b = ExifLikeBlock(true);
    CTiffIfdReader reader(b.Bytes());
    Found f;
    EXPECT_EQ(reader.FindInIfd(&f.type, &f.count, &f.value, 0x9003, 8, 0), 1);
    EXPECT_EQ(reader.FindInIfd(&f.type, &f.count, &f.value, 0x0103, 8, 0), 0);
    EXPECT_EQ(reader.FindInIfd(&f.type, &f.count, &f.value, 0x0103, 8, 1), 1);
}

TEST(TiffIfdReader, MagicOtherThan42AnswersNothing)
{
    TiffBlock b = ExifLikeBlock(false);
    b.Bytes()[2] = 0x2B;
    CTiffIfdReader reader(b.Bytes());
    EXPECT_FALSE(reader.IsValid());
    EXPECT_EQ(Find(reader, 0x0100).result, 0);
    EXPECT_FALSE(CTiffIfdReader(std::span<const std::uint8_t>(b.Bytes().data(), 5)).IsValid());
}

TEST(TiffIfdReader, LoopingChainsEndTheSearch)
{
    TiffBlock b = ExifLikeBlock(false);
    b.Put32(400 + 2 + 2 * 12, 8);                          // IFD1 leads back to IFD0
    b.Put32(200 + 2 + 12, 200);                            // the Exif directory leads to itself
    b.Entry(200, 0, CTiffIfdReader::kExifIfdTag, 4, 1, 8); // and points back to IFD0
    CTiffIfdReader reader(b.Bytes());
    EXPECT_EQ(Find(reader, 0x0111).result, 0);
    EXPECT_EQ(Find(reader, 0x0201).result, 1);
}

struct BadOffsetCase
{
    const char* name;
    std::size_t at;
    std::uint32_t value;
    std::uint16_t sought;
};

class TiffIfdBadOffset : public ::testing::TestWithParam<BadOffsetCase>
{
};

TEST_P(TiffIfdBadOffset, IsRefusedNotFollowed)
{
    TiffBlock b = ExifLikeBlock(false);
    b.Put32(GetParam().at, GetParam().value);
    CTiffIfdReader reader(b.Bytes());
    EXPECT_EQ(Find(reader, GetParam().sought).result, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TiffIfdBadOffset,
    ::testing::Values(BadOffsetCase{"FirstDirectoryPastBlock", 4, 510, 0x0100},
                      BadOffsetCase{"FirstDirectoryFarAway", 4, 0x7FFFFFF0, 0x0100},
                      BadOffsetCase{"ValuePastBlock", 8 + 2 + 12 + 8, 508, 0x011A},
                      BadOffsetCase{"ValueOffsetWraps", 8 + 2 + 12 + 8, 0xFFFFFFFC, 0x011A},
                      BadOffsetCase{"CountOverflows", 8 + 2 + 12 + 4, 0xFFFFFFFF, 0x011A},
                      BadOffsetCase{"ExifPastBlock", 8 + 2 + 24 + 8, 70000, 0x9003},
                      BadOffsetCase{"NextDirectoryPastBlock", 8 + 2 + 36, 511, 0x0103}),
    [](const auto& info) { return info.param.name; });

TEST(TiffIfdReader, DirectoryWhoseEntriesRunPastTheBlockIsRefused)
{
    TiffBlock b = ExifLikeBlock(false);
    b.Put16(400, 10); // ten entries would end at 400 + 2 + 120 > 512
    CTiffIfdReader reader(b.Bytes());
    EXPECT_EQ(Find(reader, 0x0103).result, 0);
    EXPECT_EQ(Find(reader, 0x0100).result, 1);
}

TEST(TiffIfdReader, TypeSizes)
{
    const int expected[13] = {1, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    for (std::uint16_t t = 0; t < 13; ++t)
        EXPECT_EQ(CTiffIfdReader::TiffTypeSize(t), expected[t]) << t;
    EXPECT_EQ(CTiffIfdReader::TiffTypeSize(13), 1);
}

} // namespace
