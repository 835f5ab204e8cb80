#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The packaged frame file (".fdp"): a 12-byte header, five group tables with
// their offset, size and name arrays, then the member bodies back to back.

enum MemberGroup : int {
    kGroupLayouts = 0,
    kGroupAccompanying = 1,
    kGroupThumbnails = 2,
    kGroupPictures = 3,
    kGroupSpare = 4,
    kGroupCount = 5,
};

constexpr std::size_t kPackageHeaderSize = 12;
constexpr std::size_t kGroupTableSize = 66;
constexpr std::size_t kMemberNameField = 13;
constexpr std::size_t kMemberNameMax = 12;

struct PackageHeader
{
    std::array<std::uint8_t, kPackageHeaderSize> bytes{};

    static PackageHeader Standard();
    bool IsValid() const;
};

struct GroupTable
{
    std::array<std::uint8_t, kGroupTableSize> bytes{};
    std::vector<std::uint32_t> offsets;
    std::vector<std::uint32_t> sizes;
    std::vector<std::array<char, kMemberNameField>> names;

    std::uint32_t Count() const { return static_cast<std::uint32_t>(names.size()); }
    // Fills the five entries for group g lying at tableOffset.
    void BuildEntries(int group, std::uint32_t tableOffset, std::uint32_t nextTable);
};

// One file to pack: the host path to read and the CP932 name it gets in the
// package (empty: the host file name, converted).
struct PackageSource
{
    std::string path;
    std::string name;
};

using PackageGroups = std::array<std::vector<PackageSource>, kGroupCount>;

class PZAVPackage
{
public:
    PZAVPackage() = default;
    virtual ~PZAVPackage() = default;

    // Creates target afresh; on any failure no package file is left behind.
    int Write(const char* target, const PackageGroups& groups);

private:
    int Lay(const PackageGroups& groups);
    int WriteAll(int fd, const PackageGroups& groups);

    PackageHeader m_header;
    std::array<GroupTable, kGroupCount> m_tables;
};

// The directory of a package, read once; bodies are read on demand.
class PZAVPackageInfo
{
public:
    PZAVPackageInfo() = default;
    virtual ~PZAVPackageInfo() = default;

    int Open(const char* package);
    void Reset();
    const std::string& Path() const { return m_path; }
    int GetCount(int group) const;
    // out holds 256 bytes.
    int GetMemberName(int group, int index, char* out) const;
    int FindMember(const char* name, std::uint32_t* offset, std::uint32_t* size) const;
    // Reads the first count bytes of the member's body; never past it.
    int ReadMember(const char* name, void* buffer, std::uint32_t count) const;

private:
    int ReadDirectory(int fd, std::uint64_t fileSize);

    std::string m_path;
    PackageHeader m_header;
    std::array<GroupTable, kGroupCount> m_tables;
};

// The name field as a string: its bytes up to the first NUL.
std::string ZavMemberName(const std::array<char, kMemberNameField>& field);

// Writes all `count` bytes, resuming after interruptions; false on any failure.
bool ZavWriteFully(int fd, const void* data, std::size_t count);
