// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zavtest-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code error;
        // Read-only entries must not stop the clean-up.
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(m_path, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

    // Writes a file (and its folders) below the scratch folder; returns its path.
    std::string Write(const std::string& name, const std::string& bytes = {}) const
    {
        const std::string path = *this / name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

private:
    std::string m_path;
};
