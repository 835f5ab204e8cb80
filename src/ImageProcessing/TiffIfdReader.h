// Finds one tag in a TIFF-structured block held in memory (the body of a JPEG
// file's Exif segment). Reads in place; never copies or allocates, and never
// reads outside the block it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class CTiffIfdReader
{
public:
    // The block runs from the TIFF header on. A block that is not a TIFF header
    // (magic other than 2A 00 / 00 2A, or too short) answers 0 to every search.
    explicit CTiffIfdReader(std::span<const std::uint8_t> block);
    virtual ~CTiffIfdReader() = default;

    // 1 found, 0 not found. Searches the first directory, each Exif
    // sub-directory met on the way (depth first) and the later directories of
    // the chain. `value` points at the value inside the block: into the entry
    // itself when it fits in 4 bytes, else at the offset the entry names.
    int FindTag(std::uint16_t* type, std::uint32_t* count, const std::uint8_t** value,
                std::uint16_t tag) const;
    // The same search starting at the directory at `directory` (an offset from
    // the header); with `followChain` clear only that directory and its Exif
    // sub-directories are searched.
    int FindInIfd(std::uint16_t* type, std::uint32_t* count, const std::uint8_t** value, std::uint16_t tag,
                  std::uint32_t directory, int followChain) const;

    // The offset of the first directory; 0 (none) for a block that is not a TIFF header.
    std::uint32_t FirstDirectory() const;

    // Unsigned values in the block's byte order.
    std::uint16_t Read16(const std::uint8_t* p) const;
    std::uint32_t Read32(const std::uint8_t* p) const;

    bool IsValid() const { return m_base != nullptr; }
    bool IsBigEndian() const { return m_bigEndian != 0; }

    static int TiffTypeSize(std::uint16_t type);

    static constexpr std::uint16_t kExifIfdTag = 34665;
    // The block is one JPEG segment, so no offset beyond this is meaningful.
    static constexpr std::uint32_t kMaxOffset = 65535;

private:
    const std::uint8_t* m_base = nullptr;
    std::size_t m_size = 0;
    int m_bigEndian = 0;
};
