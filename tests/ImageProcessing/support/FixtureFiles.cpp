#include "ImageProcessing/support/FixtureFiles.h"

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

FixtureFolder::FixtureFolder()
{
    static std::atomic<int> serial{0};
    m_root = std::filesystem::temp_directory_path() /
             ("zav-files-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(m_root);
}

FixtureFolder::~FixtureFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(m_root, ec);
}

FixtureBytes& FixtureBytes::U8(unsigned v)
{
    m_bytes.push_back(static_cast<std::uint8_t>(v));
    return *this;
}

FixtureBytes& FixtureBytes::U16(unsigned v)
{
    return U8(v & 0xFF).U8((v >> 8) & 0xFF);
}

FixtureBytes& FixtureBytes::U32(std::uint32_t v)
{
    return U16(v & 0xFFFF).U16(v >> 16);
}

FixtureBytes& FixtureBytes::Raw(const std::vector<std::uint8_t>& bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

FixtureBytes& FixtureBytes::Zeros(std::size_t count)
{
    m_bytes.insert(m_bytes.end(), count, 0);
    return *this;
}

void FixtureBytes::Patch32(std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        m_bytes.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

void WriteFixtureFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

FixturePixel FixturePattern(int x, int y)
{
    return {static_cast<std::uint8_t>(x * 37 + y * 11), static_cast<std::uint8_t>(x * 5 + y * 73),
            static_cast<std::uint8_t>(200 - x * 13 - y * 3), 255};
}
