#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>

// Host paths (UTF-8, "/") up to PATH_MAX bytes including the terminator.
constexpr std::size_t kZavPathSize = PATH_MAX;
typedef char ZAVPath[kZavPathSize];

// Largest file the kit reads as a whole; layout scripts are a few kilobytes.
constexpr std::uint64_t kZavMaxTextFile = 16u * 1024u * 1024u;

class ZAV_FileUtil
{
public:
    ZAV_FileUtil(const char* path, bool openNow, bool forWriting);
    virtual ~ZAV_FileUtil();
    ZAV_FileUtil(const ZAV_FileUtil&) = delete;
    ZAV_FileUtil& operator=(const ZAV_FileUtil&) = delete;

    bool Exists() const;
    bool IsOpen() const { return m_fd >= 0; }
    int GetSize(std::uint32_t* size);
    int Read(std::uint32_t count, void* buffer, std::uint32_t* countRead = nullptr);
    int Write(std::uint32_t count, std::uint32_t* countWritten, const void* buffer);
    int Seek(std::int32_t position);

private:
    ZAVPath m_path;
    int m_fd = -1;
    bool m_heldOpen = false;
};

// Opens a regular file for reading without blocking on a FIFO or device; -1 otherwise.
int ZavOpenRegularForReading(const char* path);

bool FileExists(const char* path);
bool IsFolder(const char* path);
bool DeleteFileAt(const char* path);
bool RemoveFolder(const char* path);
int CreateFolder(const char* path);

// Shift-JIS lead byte: 0x81-0x9F and 0xE0-0xFC.
bool IsSjisLeadByte(unsigned char c);
// True when offset starts a character of the Shift-JIS text (not a trail byte).
bool IsCharBoundary(const char* text, std::size_t offset);
// True when text holds a terminator within its first size bytes.
bool IsTerminatedWithin(const char* text, std::size_t size);

int GetFileNamePart(const char* path, char* out, std::size_t outSize);
int SplitFolderAndName(const char* path, char* folder, char* name);
void ReplaceFileName(char* path, const char* name);
bool SamePath(const char* a, const char* b);
bool SameFileName(const char* a, const char* b, bool exactCase);
bool HasExtension(const char* extension, const char* path);
