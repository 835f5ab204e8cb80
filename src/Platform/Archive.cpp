#include "Platform/Archive.h"

#include <cstring>

CArchive::CArchive() : m_storing(true)
{
}

CArchive::CArchive(std::span<const std::uint8_t> data) : m_storing(false), m_in(data)
{
}

void CArchive::WriteUInt32(std::uint32_t value)
{
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16),
                                   static_cast<std::uint8_t>(value >> 24)};
    WriteBytes(bytes, 4);
}

void CArchive::WriteInt32(std::int32_t value)
{
    WriteUInt32(static_cast<std::uint32_t>(value));
}

void CArchive::WriteBytes(std::span<const std::uint8_t> bytes)
{
    m_block.insert(m_block.end(), bytes.begin(), bytes.end());
}

void CArchive::WriteBytes(const void* bytes, std::size_t count)
{
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    m_block.insert(m_block.end(), p, p + count);
}

void CArchive::WriteString(std::string_view text)
{
    WriteBytes(text.data(), text.size());
}

void CArchive::Need(std::size_t count) const
{
    if (m_storing || count > m_in.size() - m_pos)
        throw CArchiveException("archive: end of data");
}

std::uint32_t CArchive::ReadUInt32()
{
    Need(4);
    const std::uint8_t* p = m_in.data() + m_pos;
    m_pos += 4;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::int32_t CArchive::ReadInt32()
{
    return static_cast<std::int32_t>(ReadUInt32());
}

void CArchive::ReadBytes(void* out, std::size_t count)
{
    Need(count);
    if (count)
        std::memcpy(out, m_in.data() + m_pos, count);
    m_pos += count;
}

bool CArchive::ReadString(std::string& line)
{
    line.clear();
    if (m_storing || m_pos >= m_in.size())
        return false;
    while (m_pos < m_in.size()) {
        const char c = static_cast<char>(m_in[m_pos++]);
        if (c == '\n')
            break;
        if (c == '\r') {
            if (m_pos < m_in.size())
                ++m_pos;
            break;
        }
        line.push_back(c);
    }
    return true;
}
