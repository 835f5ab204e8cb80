// The script readers read files: each input goes through files in one
// temporary folder per process. Shared by the script harnesses.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

class FuzzFolder
{
public:
    FuzzFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zav-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_path = pattern;
    }
    ~FuzzFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::string File(const char* name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline const FuzzFolder& TheFuzzFolder()
{
    static FuzzFolder folder;
    return folder;
}

inline void WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (size && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}

inline std::string ReadFuzzFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A broken invariant is a finding: stop with a message libFuzzer reports.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);          \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)
