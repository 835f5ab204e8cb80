#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed at the end.
class PackageTempDir
{
public:
    PackageTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zavpkg-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~PackageTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    PackageTempDir(const PackageTempDir&) = delete;
    PackageTempDir& operator=(const PackageTempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string operator/(const std::string& rel) const { return (m_path / rel).string(); }

private:
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::uint32_t Le32(const std::string& bytes, std::size_t at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

inline void PutLe32(std::string& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(v >> (8 * i));
}
