// Fixture helpers for the image-file tests: a scratch folder removed at the end
// of the test, byte builders and small file writers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class FixtureFolder
{
public:
    FixtureFolder();
    ~FixtureFolder();
    FixtureFolder(const FixtureFolder&) = delete;
    FixtureFolder& operator=(const FixtureFolder&) = delete;

    std::string Path(const std::string& name) const { return (m_root / name).string(); }

private:
    std::filesystem::path m_root;
};

// Little-endian byte builder.
class FixtureBytes
{
public:
    FixtureBytes& U8(unsigned v);
    FixtureBytes& U16(unsigned v);
    FixtureBytes& U32(std::uint32_t v);
    FixtureBytes& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    FixtureBytes& Raw(const std::vector<std::uint8_t>& bytes);
    FixtureBytes& Zeros(std::size_t count);
    void Patch32(std::size_t at, std::uint32_t v);
    std::size_t Size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

void WriteFixtureFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A test picture: pixel (x, y), y = 0 the top row, as blue, green, red, alpha.
struct FixturePixel
{
    std::uint8_t b, g, r, a;
};
FixturePixel FixturePattern(int x, int y);
