#include "Layout/WorkingFile.h"

#include "Core/TempFolders.h"

#include <atomic>
#include <filesystem>

namespace {

bool IsInTempImageFolder(const std::string& path)
{
    const std::string folder = GetTempImageFolder(false);
    return !folder.empty() && path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0;
}

std::atomic<std::uint64_t> g_lastVersion{0};

} // namespace

void CWorkingFile::Rewritten()
{
    m_version = ++g_lastVersion;
}

void CWorkingFile::Assign(const std::string& path)
{
    if (path == m_path)
        return;
    if (!m_path.empty() && IsInTempImageFolder(m_path)) {
        std::error_code error;
        std::filesystem::remove(m_path, error);
    }
    m_path = path;
    Rewritten();
}

bool CWorkingFile::MakeFresh()
{
    Reset();
    const std::string path = GetTempImageFileName(true);
    if (path.empty())
        return false;
    m_path = path;
    Rewritten();
    return true;
}

bool CopyFileWritable(const std::string& from, const std::string& to)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(to, error))
        fs::permissions(to, fs::perms::owner_write, fs::perm_options::add, error);
    if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, error) || error)
        return false;
    fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
    return true;
}
