#include "FrameKit/PackageFormat.h"

#include "FrameKit/FileUtil.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint8_t kMagic[8] = {'V', 'L', 'Z', 'A', 'V', 0, 1, 0};

void Put32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

void Put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint32_t Get32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

bool ReadAt(int fd, void* data, std::size_t count, std::uint64_t offset)
{
    char* p = static_cast<char*>(data);
    while (count > 0) {
        ssize_t n = ::pread(fd, p, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        count -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

// Size of a regular file, refused from 4 GiB on: offsets are 32-bit.
int MeasureSource(const std::string& path, std::uint32_t* size)
{
    Fd fd(ZavOpenRegularForReading(path.c_str()));
    if (fd.get() < 0)
        return ZAV_ERR_FILE_IO;
    struct stat st;
    if (::fstat(fd.get(), &st) != 0 || st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > UINT32_MAX)
        return ZAV_ERR_FILE_IO;
    *size = static_cast<std::uint32_t>(st.st_size);
    return ZAV_OK;
}

int MemberNameOf(const PackageSource& source, std::array<char, kMemberNameField>& field)
{
    std::string name = source.name;
    if (name.empty() && !ZavUtf8ToCp932(ZavHostName(source.path), name))
        return ZAV_ERR_NAME_TOO_LONG;
    if (name.empty() || name.size() > kMemberNameMax)
        return ZAV_ERR_NAME_TOO_LONG;
    field.fill('\0');
    std::memcpy(field.data(), name.data(), name.size());
    return ZAV_OK;
}

// Refuses what cannot be a member's own file name: no NUL in the field, empty,
// "." or "..", or a separator (a "\" that is not the trail byte of a
// double-byte character, or any "/").
bool IsSafeNameField(const std::array<char, kMemberNameField>& field)
{
    const void* nul = std::memchr(field.data(), '\0', field.size());
    if (nul == nullptr)
        return false;
    const std::string name = ZavMemberName(field);
    if (name.empty() || name == "." || name == "..")
        return false;
    if (name.find('/') != std::string::npos)
        return false;
    return ZavReferenceName(name) == name && name.front() != '\\';
}

unsigned char Upper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? c - 32 : c;
}

// Compares over the 13 bytes, upper-casing single-byte letters only.
bool SameField(const std::array<char, kMemberNameField>& a, const std::array<char, kMemberNameField>& b)
{
    for (std::size_t i = 0; i < kMemberNameField; ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[i]);
        if (IsSjisLeadByte(ca) && i + 1 < kMemberNameField) {
            if (ca != cb || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (Upper(ca) != Upper(cb))
            return false;
        if (ca == '\0')
            return true;
    }
    return true;
}

} // namespace

bool ZavWriteFully(int fd, const void* data, std::size_t count)
{
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        ssize_t n = ::write(fd, p, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string ZavMemberName(const std::array<char, kMemberNameField>& field)
{
    const void* nul = std::memchr(field.data(), '\0', field.size());
    const std::size_t len =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field.data()) : field.size();
    return std::string(field.data(), len);
}

PackageHeader PackageHeader::Standard()
{
    PackageHeader h;
    std::memcpy(h.bytes.data(), kMagic, sizeof kMagic);
    Put32(h.bytes.data() + 8, kPackageHeaderSize);
    return h;
}

bool PackageHeader::IsValid() const
{
    return std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0 &&
           Get32(bytes.data() + 8) == kPackageHeaderSize;
}

void GroupTable::BuildEntries(int group, std::uint32_t tableOffset, std::uint32_t nextTable)
{
    const std::uint32_t n = Count();
    const std::uint16_t base = static_cast<std::uint16_t>(100 * group);
    const std::uint16_t tags[5] = {static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(base + 2),
                                   static_cast<std::uint16_t>(base + 3), static_cast<std::uint16_t>(base + 4),
                                   static_cast<std::uint16_t>(base + 99)};
    const std::uint32_t values[5] = {
        n,
        n ? tableOffset + 66 : 0,
        n ? tableOffset + 66 + 4 * n : 0,
        n ? tableOffset + 66 + 8 * n : 0,
        nextTable,
    };
    bytes.fill(0);
    Put16(bytes.data(), 5);
    for (int e = 0; e < 5; ++e) {
        std::uint8_t* entry = bytes.data() + 2 + 12 * e;
        Put16(entry, tags[e]);
        Put16(entry + 2, 4);
        Put32(entry + 4, 1);
        Put32(entry + 8, values[e]);
    }
    Put32(bytes.data() + 62, nextTable);
}

int PZAVPackage::Lay(const PackageGroups& groups)
{
    m_header = PackageHeader::Standard();
    std::uint64_t tablePos = kPackageHeaderSize;
    for (int g = 0; g < kGroupCount; ++g) {
        GroupTable& t = m_tables[g];
        t = GroupTable();
        for (const PackageSource& source : groups[g]) {
            std::array<char, kMemberNameField> field{};
            if (int rc = MemberNameOf(source, field))
                return rc;
            std::uint32_t size = 0;
            if (int rc = MeasureSource(source.path, &size))
                return rc;
            t.names.push_back(field);
            t.sizes.push_back(size);
        }
        tablePos += kGroupTableSize + 21u * static_cast<std::uint64_t>(t.Count());
    }
    // Every offset must fit 32 bits: the bodies end below 4 GiB.
    std::uint64_t body = tablePos;
    for (GroupTable& t : m_tables) {
        for (std::uint32_t size : t.sizes) {
            if (body > UINT32_MAX)
                return ZAV_ERR_FILE_IO;
            t.offsets.push_back(static_cast<std::uint32_t>(body));
            body += size;
        }
    }
    if (body > UINT32_MAX)
        return ZAV_ERR_FILE_IO;
    std::uint64_t pos = kPackageHeaderSize;
    for (int g = 0; g < kGroupCount; ++g) {
        const std::uint64_t next =
            pos + kGroupTableSize + 21u * static_cast<std::uint64_t>(m_tables[g].Count());
        m_tables[g].BuildEntries(g, static_cast<std::uint32_t>(pos),
                                 g + 1 < kGroupCount ? static_cast<std::uint32_t>(next) : 0);
        pos = next;
    }
    return ZAV_OK;
}

int PZAVPackage::WriteAll(int fd, const PackageGroups& groups)
{
    if (!ZavWriteFully(fd, m_header.bytes.data(), m_header.bytes.size()))
        return ZAV_ERR_FILE_IO;
    for (const GroupTable& t : m_tables) {
        std::vector<std::uint8_t> arrays(21u * t.Count());
        for (std::uint32_t i = 0; i < t.Count(); ++i) {
            Put32(arrays.data() + 4 * i, t.offsets[i]);
            Put32(arrays.data() + 4 * (t.Count() + i), t.sizes[i]);
            std::memcpy(arrays.data() + 8 * t.Count() + kMemberNameField * i, t.names[i].data(),
                        kMemberNameField);
        }
        if (!ZavWriteFully(fd, t.bytes.data(), t.bytes.size()) ||
            !ZavWriteFully(fd, arrays.data(), arrays.size()))
            return ZAV_ERR_FILE_IO;
    }
    for (int g = 0; g < kGroupCount; ++g) {
        for (std::size_t i = 0; i < groups[g].size(); ++i) {
            Fd src(ZavOpenRegularForReading(groups[g][i].path.c_str()));
            struct stat st;
            // A source that changed size since it was measured would shift
            // every later body away from its recorded offset.
            if (src.get() < 0 || ::fstat(src.get(), &st) != 0 ||
                static_cast<std::uint64_t>(st.st_size) != m_tables[g].sizes[i])
                return ZAV_ERR_FILE_IO;
            std::vector<char> body(m_tables[g].sizes[i]);
            if (!ReadAt(src.get(), body.data(), body.size(), 0))
                return ZAV_ERR_FILE_IO;
            char extra;
            if (::pread(src.get(), &extra, 1, static_cast<off_t>(body.size())) != 0)
                return ZAV_ERR_FILE_IO;
            if (!ZavWriteFully(fd, body.data(), body.size()))
                return ZAV_ERR_FILE_IO;
        }
    }
    return ::fsync(fd) == 0 ? ZAV_OK : ZAV_ERR_FILE_IO;
}

int PZAVPackage::Write(const char* target, const PackageGroups& groups)
{
    return ZavGuard([&]() -> int {
        if (target == nullptr || target[0] == '\0')
            return ZAV_ERR_INVALID_ARG;
        if (int rc = Lay(groups))
            return rc;
        struct stat st;
        if (::lstat(target, &st) == 0)
            return ZAV_ERR_PACKAGE_TARGET;
        Fd fd(::open(target, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.get() < 0)
            return errno == EEXIST ? ZAV_ERR_PACKAGE_TARGET : ZAV_ERR_FILE_IO;
        int rc = ZavGuard([&] { return WriteAll(fd.get(), groups); });
        if (::close(fd.release()) != 0 && rc == ZAV_OK)
            rc = ZAV_ERR_FILE_IO;
        if (rc != ZAV_OK)
            ::unlink(target);
        return rc;
    });
}

void PZAVPackageInfo::Reset()
{
    m_path.clear();
    m_header = PackageHeader();
    m_tables = {};
}

int PZAVPackageInfo::ReadDirectory(int fd, std::uint64_t fileSize)
{
    std::uint64_t pos = kPackageHeaderSize;
    for (GroupTable& t : m_tables) {
        if (fileSize - pos < kGroupTableSize || !ReadAt(fd, t.bytes.data(), kGroupTableSize, pos))
            return ZAV_ERR_FILE_IO;
        pos += kGroupTableSize;
        const std::uint64_t n = Get32(t.bytes.data() + 10);
        // The arrays must lie in the file before anything is allocated for them.
        if (21u * n > fileSize - pos)
            return ZAV_ERR_FILE_IO;
        std::vector<std::uint8_t> arrays(static_cast<std::size_t>(21u * n));
        if (!ReadAt(fd, arrays.data(), arrays.size(), pos))
            return ZAV_ERR_FILE_IO;
        pos += arrays.size();
        t.offsets.resize(n);
        t.sizes.resize(n);
        t.names.resize(n);
        for (std::uint64_t i = 0; i < n; ++i) {
            t.offsets[i] = Get32(arrays.data() + 4 * i);
            t.sizes[i] = Get32(arrays.data() + 4 * (n + i));
            std::memcpy(t.names[i].data(), arrays.data() + 8 * n + kMemberNameField * i, kMemberNameField);
            if (!IsSafeNameField(t.names[i]))
                return ZAV_ERR_FILE_IO;
            if (static_cast<std::uint64_t>(t.offsets[i]) + t.sizes[i] > fileSize)
                return ZAV_ERR_FILE_IO;
        }
    }
    return ZAV_OK;
}

int PZAVPackageInfo::Open(const char* package)
{
    return ZavGuard([&]() -> int {
        Reset();
        if (package == nullptr || !FileExists(package))
            return ZAV_ERR_PACKAGE_OPEN;
        Fd fd(ZavOpenRegularForReading(package));
        struct stat st;
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || st.st_size < 0)
            return ZAV_ERR_FILE_IO;
        const std::uint64_t fileSize = static_cast<std::uint64_t>(st.st_size);
        PackageHeader header;
        if (fileSize < kPackageHeaderSize || !ReadAt(fd.get(), header.bytes.data(), kPackageHeaderSize, 0))
            return ZAV_ERR_FILE_IO;
        if (!header.IsValid())
            return ZAV_ERR_PACKAGE_MAGIC;
        m_header = header;
        int rc = ReadDirectory(fd.get(), fileSize);
        if (rc != ZAV_OK) {
            Reset();
            return rc;
        }
        m_path = package;
        return ZAV_OK;
    });
}

int PZAVPackageInfo::GetCount(int group) const
{
    if (group < 0 || group >= kGroupCount)
        return 0;
    return static_cast<int>(m_tables[group].Count());
}

int PZAVPackageInfo::GetMemberName(int group, int index, char* out) const
{
    if (out == nullptr)
        return ZAV_ERR_INVALID_ARG;
    if (group < 0 || group >= kGroupCount || index < 0 || index >= GetCount(group))
        return ZAV_ERR_LAYOUT_INDEX;
    std::memset(out, 0, 256);
    std::memcpy(out, m_tables[group].names[index].data(), kMemberNameField);
    return ZAV_OK;
}

int PZAVPackageInfo::FindMember(const char* name, std::uint32_t* offset, std::uint32_t* size) const
{
    if (name == nullptr)
        return ZAV_ERR_MEMBER_NOT_FOUND;
    const std::size_t len = strnlen(name, kMemberNameField);
    if (len >= kMemberNameField)
        return ZAV_ERR_MEMBER_NOT_FOUND;
    std::array<char, kMemberNameField> wanted{};
    std::memcpy(wanted.data(), name, len);
    for (const GroupTable& t : m_tables) {
        for (std::uint32_t i = 0; i < t.Count(); ++i) {
            if (SameField(wanted, t.names[i])) {
                if (offset != nullptr)
                    *offset = t.offsets[i];
                if (size != nullptr)
                    *size = t.sizes[i];
                return ZAV_OK;
            }
        }
    }
    return ZAV_ERR_MEMBER_NOT_FOUND;
}

int PZAVPackageInfo::ReadMember(const char* name, void* buffer, std::uint32_t count) const
{
    return ZavGuard([&]() -> int {
        std::uint32_t offset = 0, size = 0;
        if (int rc = FindMember(name, &offset, &size))
            return rc;
        if (buffer == nullptr && count > 0)
            return ZAV_ERR_ARGUMENT;
        if (count > size)
            return ZAV_ERR_FILE_IO;
        Fd fd(ZavOpenRegularForReading(m_path.c_str()));
        if (fd.get() < 0 || !ReadAt(fd.get(), buffer, count, offset))
            return ZAV_ERR_FILE_IO;
        return ZAV_OK;
    });
}
