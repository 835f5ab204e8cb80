#include "Platform/Folders.h"

#include <QDir>
#include <QStandardPaths>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string UserTempPath()
{
    return UserTempPath(true);
}

std::string UserTempPath(bool create)
{
    const std::string root = WithoutTrailingSlash(QDir::tempPath().toStdString());
    const std::string own = (root == "/" ? "" : root) + "/zaveditor-" + std::to_string(::geteuid());
    struct stat st;
    if (!create && ::lstat(own.c_str(), &st) != 0 && errno == ENOENT)
        return own;
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    if (::lstat(own.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return {};
    if ((st.st_mode & 0077) != 0 && ::chmod(own.c_str(), 0700) != 0)
        return {};
    return own;
}

std::string UserDocumentsPath()
{
    // Made when missing, as the desktop's own tools make it, so that the
    // folder offered for a save always exists; the mode is the umask's.
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!docs.isEmpty() && QDir::isAbsolutePath(docs)) {
        std::error_code error;
        const std::filesystem::path folder = docs.toStdString();
        std::filesystem::create_directories(folder, error);
        if (std::filesystem::is_directory(folder, error))
            return WithoutTrailingSlash(folder.string());
    }
    return WithoutTrailingSlash(QDir::homePath().toStdString());
}

std::string ProgramFolderFor(const std::string& executableFolder)
{
    namespace fs = std::filesystem;
    const fs::path folder(executableFolder);
    std::error_code error;
    if (fs::is_regular_file(folder / "Localize.ini", error))
        return WithoutTrailingSlash(executableFolder);
    const fs::path installed = (folder / ZAV_SHARE_FROM_BIN).lexically_normal();
    return WithoutTrailingSlash(installed.string());
}

std::string ProgramFolderPath()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return ProgramFolderFor(exe.parent_path().string());
}

std::string CommonAppDataPath()
{
    if (const char* named = std::getenv("ZAV_SHARED_DATA_DIR"); named && *named)
        return WithoutTrailingSlash(named);
    const std::string system = "/var/lib/zaveditor";
    struct stat st;
    if (::stat(system.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return system;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return WithoutTrailingSlash(data.toStdString()) + "/zaveditor";
}
