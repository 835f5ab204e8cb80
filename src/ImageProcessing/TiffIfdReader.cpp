#include "ImageProcessing/TiffIfdReader.h"

#include "ImageProcessing/PixelConversion.h"

#include <vector>

namespace {

constexpr std::size_t kEntrySize = 12;

struct Frame
{
    std::uint32_t directory; // offset of the directory being scanned
    std::uint32_t next;      // index of the next entry to look at
    bool follow;             // go on along the directory chain afterwards
};

} // namespace

CTiffIfdReader::CTiffIfdReader(std::span<const std::uint8_t> block)
{
    if (block.size() < 8)
        return;
    const std::uint8_t* p = block.data();
    const bool magicLittle = p[2] == 0x2A && p[3] == 0x00;
    const bool magicBig = p[2] == 0x00 && p[3] == 0x2A;
    if (!magicLittle && !magicBig)
        return;
    m_base = p;
    m_size = block.size();
    m_bigEndian = (p[0] == 'I' && p[1] == 'I') ? 0 : 1;
}

std::uint16_t CTiffIfdReader::Read16(const std::uint8_t* p) const
{
    return ::Read16(p, m_bigEndian);
}

std::uint32_t CTiffIfdReader::Read32(const std::uint8_t* p) const
{
    return ::Read32(p, m_bigEndian);
}

int CTiffIfdReader::TiffTypeSize(std::uint16_t type)
{
    switch (type) {
    case 3:
    case 8:
        return 2;
    case 4:
    case 9:
    case 11:
        return 4;
    case 5:
    case 10:
    case 12:
        return 8;
    default:
        return 1;
    }
}

std::uint32_t CTiffIfdReader::FirstDirectory() const
{
    return m_base ? Read32(m_base + 4) : 0;
}

int CTiffIfdReader::FindTag(std::uint16_t* type, std::uint32_t* count, const std::uint8_t** value,
                            std::uint16_t tag) const
{
    if (!m_base)
        return 0;
    return FindInIfd(type, count, value, tag, FirstDirectory(), 1);
}

int CTiffIfdReader::FindInIfd(std::uint16_t* type, std::uint32_t* count, const std::uint8_t** value,
                              std::uint16_t tag, std::uint32_t directory, int followChain) const
{
    if (!m_base || directory == 0)
        return 0;
    // Every directory is entered at most once, so a chain or an Exif pointer
    // that leads back to a directory already seen ends there instead of looping.
    std::vector<std::uint32_t> visited;
    auto enter = [&](std::uint32_t offset) {
        for (std::uint32_t seen : visited)
            if (seen == offset)
                return false;
        visited.push_back(offset);
        return true;
    };
    // A directory must hold its count and all of its entries inside the block.
    auto entries = [&](std::uint32_t offset, std::uint32_t* n) {
        if (offset > kMaxOffset || std::uint64_t{offset} + 2 > m_size)
            return false;
        *n = Read16(m_base + offset);
        return std::uint64_t{offset} + 2 + std::uint64_t{*n} * kEntrySize <= m_size;
    };

    std::vector<Frame> stack;
    std::uint32_t n = 0;
    if (!entries(directory, &n) || !enter(directory))
        return 0;
    stack.push_back({directory, 0, followChain != 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        entries(frame.directory, &n);
        if (frame.next < n) {
            const std::uint8_t* entry = m_base + frame.directory + 2 + std::size_t{frame.next} * kEntrySize;
            ++frame.next;
            const std::uint16_t entryTag = Read16(entry);
            if (entryTag == tag) {
                const std::uint16_t entryType = Read16(entry + 2);
                const std::uint32_t entryCount = Read32(entry + 4);
                const std::uint64_t bytes = std::uint64_t{entryCount} * TiffTypeSize(entryType);
                const std::uint8_t* where = entry + 8;
                if (bytes > 4) {
                    const std::uint32_t offset = Read32(entry + 8);
                    if (offset > kMaxOffset || offset + bytes > m_size)
                        return 0;
                    where = m_base + offset;
                }
                *type = entryType;
                *count = entryCount;
                *value = where;
                return 1;
            }
            if (entryTag == kExifIfdTag) {
                const std::uint32_t offset = Read32(entry + 8);
                if (offset == 0)
                    continue;
                std::uint32_t subCount = 0;
                if (!entries(offset, &subCount))
                    return 0;
                if (enter(offset))
                    stack.push_back({offset, 0, true});
            }
            continue;
        }
        // The directory is done: go on along its chain, or back to the parent.
        const std::uint64_t nextField = std::uint64_t{frame.directory} + 2 + std::uint64_t{n} * kEntrySize;
        std::uint32_t next = 0;
        if (frame.follow && nextField + 4 <= m_size)
            next = Read32(m_base + nextField);
        if (next == 0) {
            stack.pop_back();
            continue;
        }
        std::uint32_t nextCount = 0;
        if (!entries(next, &nextCount))
            return 0;
        if (!enter(next)) {
            stack.pop_back();
            continue;
        }
        frame = {next, 0, true};
    }
    return 0;
}
