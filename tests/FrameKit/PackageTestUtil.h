#pragma once

#include <algorithm>
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

// A layout script referring to a thumbnail, a sound and picture files (each
// reference as written; empty leaves it out).
inline std::string LayoutScript(const std::string& thumbnail, const std::string& sound,
                                const std::vector<std::string>& pictures)
{
    std::string text = "[HEADER]\r\nHdRevision=2.10\r\nHdTitle=\"Card\"\r\nHdComment=\"Note\"\r\n"
                       "HdDirection=Vertical\r\nHdPhysicalPaperSize=HAGAKI\r\nHdMargines=0,0,0,0\r\n";
    if (!thumbnail.empty())
        text += "HdThumbnail=\"" + thumbnail + "\"\r\n";
    if (!sound.empty())
        text += "HdSound=\"" + sound + "\"\r\n";
    text += "[PAGE]\r\nDrawPicture(\"\",1,100,200,300,400,0,0,0)\r\n";
    for (const std::string& picture : pictures)
        text += "DrawPicture(\"" + picture + "\",0,0,0,2097,1417,0,0,0)\r\n";
    text += "DrawLine(0,10,100,10,4,0,0,0)\r\n";
    return text;
}

// Every entry below root: relative path, then "dir", "link -> target" or the
// file's bytes, one line each in sorted order.
inline std::string ListTree(const std::filesystem::path& root)
{
    std::vector<std::string> lines;
    for (auto it = std::filesystem::recursive_directory_iterator(root);
         it != std::filesystem::recursive_directory_iterator(); ++it) {
        const auto rel = std::filesystem::relative(it->path(), root).string();
        if (it->is_symlink())
            lines.push_back(rel + " link -> " + std::filesystem::read_symlink(it->path()).string());
        else if (it->is_directory())
            lines.push_back(rel + " dir");
        else
            lines.push_back(rel + " = " + ReadBytes(it->path().string()));
    }
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const auto& line : lines)
        out += line + "\n";
    return out;
}
