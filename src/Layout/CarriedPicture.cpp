#include "Layout/CarriedPicture.h"

#include "Layout/WorkingFile.h"

#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The same file, though its change time moved: a save links the files it
// carries into the folder that replaces theirs, and the link made and the one
// removed (or, when the save fails, the link undone) move it. A write moves
// the modification time, or the inode where it replaces the file.
bool SameFile(const FileStamp& a, const FileStamp& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modifiedNs == b.modifiedNs;
}

bool IsFolderOf(const std::string& folder, const std::string& file)
{
    const auto slash = file.rfind('/');
    if (slash == std::string::npos)
        return false;
    struct stat a
    {
    };
    struct stat b
    {
    };
    return ::stat(folder.c_str(), &a) == 0 && ::stat(file.substr(0, slash == 0 ? 1 : slash).c_str(), &b) == 0 &&
           S_ISDIR(a.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

void CCarriedPicture::Expect(const std::string& source)
{
    m_expected = source;
    m_expectedStamp = StampOfFile(source);
}

std::optional<CCarriedPicture::Carry>
CCarriedPicture::Tie(const std::string& file, const FileStamp& fileStamp, const CWorkingFile& working)
{
    const std::optional<FileStamp> workingStamp = StampOfFile(working.Path());
    if (!workingStamp)
        return std::nullopt;
    return Carry{file, fileStamp, working.Version(), *workingStamp};
}

void CCarriedPicture::Remember(const CWorkingFile& working)
{
    m_carry.reset();
    m_stored.reset();
    if (m_expectedStamp)
        m_carry = Tie(m_expected, *m_expectedStamp, working);
    m_expected.clear();
    m_expectedStamp.reset();
}

void CCarriedPicture::Forget()
{
    *this = CCarriedPicture();
}

void CCarriedPicture::Stored(const std::string& file, const CWorkingFile& working)
{
    m_stored.reset();
    if (const std::optional<FileStamp> stamp = StampOfFile(file))
        m_stored = Tie(file, *stamp, working);
}

void CCarriedPicture::Follow(const std::string& file)
{
    const std::optional<FileStamp> stamp = StampOfFile(file);
    if (!stamp)
        return;
    // Between storing and following, the save moved the file's links (its
    // folder renamed, a linked previous copy removed); a write would also have
    // moved its modification time or size.
    if (m_stored && SameFile(m_stored->fileStamp, *stamp)) {
        m_carry = std::move(m_stored);
        m_stored.reset();
    }
    if (m_carry && SameFile(m_carry->fileStamp, *stamp)) {
        m_carry->file = file;
        m_carry->fileStamp = *stamp;
    }
}

bool CCarriedPicture::Agrees(const Carry& carry, const CWorkingFile& working)
{
    const std::optional<FileStamp> file = StampOfFile(carry.file);
    return working.Version() == carry.workingVersion && StampOfFile(working.Path()) == carry.workingStamp &&
           file && SameFile(*file, carry.fileStamp);
}

bool CCarriedPicture::Holds(const CWorkingFile& working) const
{
    return m_carry && Agrees(*m_carry, working);
}

CCarriedPicture CCarriedPicture::CopiedTo(const CWorkingFile& from, const CWorkingFile& to) const
{
    CCarriedPicture copy;
    if (Holds(from))
        copy.m_carry = Tie(m_carry->file, m_carry->fileStamp, to);
    return copy;
}

std::optional<std::vector<char>> CCarriedPicture::Take(const CWorkingFile& working) const
{
    if (!Holds(working))
        return std::nullopt;
    std::ifstream in(m_carry->file, std::ios::binary);
    std::vector<char> bytes(static_cast<std::size_t>(m_carry->fileStamp.size));
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())) || in.peek() != EOF)
        return std::nullopt;
    // A file written while it was read is not the one carried.
    const std::optional<FileStamp> after = StampOfFile(m_carry->file);
    if (!after || !SameFile(*after, m_carry->fileStamp))
        return std::nullopt;
    return bytes;
}

bool CCarriedPicture::LinkInto(const CWorkingFile& working, const std::string& folder, const std::string& to) const
{
    if (!Holds(working) || !IsFolderOf(folder, m_carry->file))
        return false;
    if (::link(m_carry->file.c_str(), to.c_str()) != 0)
        return false;
    // Written between the check and the link, the file is not the one carried.
    const std::optional<FileStamp> linked = StampOfFile(to);
    if (linked && SameFile(*linked, m_carry->fileStamp))
        return true;
    ::unlink(to.c_str());
    return false;
}
