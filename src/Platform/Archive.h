// The framework's archive as the items use it: 4-byte little-endian values in
// field order, raw byte runs and text lines, over an in-memory block.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Thrown when a loading archive runs out of data (the archive's own exception,
// distinct from the editor's error ids).
class CArchiveException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class CArchive
{
public:
    // Store mode: writes into an internal block (see Data()).
    CArchive();
    // Load mode: reads from `data`, which must outlive the archive.
    explicit CArchive(std::span<const std::uint8_t> data);

    bool IsStoring() const { return m_storing; }
    bool IsLoading() const { return !m_storing; }

    void WriteInt32(std::int32_t value);
    void WriteUInt32(std::uint32_t value);
    void WriteBytes(std::span<const std::uint8_t> bytes);
    void WriteBytes(const void* bytes, std::size_t count);
    // Writes the text's bytes as they are: no length and no terminating zero.
    void WriteString(std::string_view text);

    std::int32_t ReadInt32();
    std::uint32_t ReadUInt32();
    void ReadBytes(void* out, std::size_t count);
    // Reads one line: it ends at '\n', or at '\r' followed by one more byte,
    // which is dropped. False (and `line` empty) only when no byte was left.
    bool ReadString(std::string& line);

    const std::vector<std::uint8_t>& Data() const { return m_block; }
    std::size_t Remaining() const { return m_in.size() - m_pos; }

private:
    void Need(std::size_t count) const;

    bool m_storing;
    std::vector<std::uint8_t> m_block;
    std::span<const std::uint8_t> m_in;
    std::size_t m_pos = 0;
};
