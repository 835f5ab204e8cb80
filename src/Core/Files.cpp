#include "Core/Files.h"

#include "Core/SystemFolders.h"
#include "Platform/AtomicFileWriter.h"
#include "Platform/FileSystem.h"
#include "Platform/Folders.h"

#include <QString>

namespace {

std::string Join(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    return QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

bool GetModuleFolder(std::string& folder)
{
    const std::string program = ProgramFolderPath();
    if (program.empty())
        return false;
    folder = program == "/" ? program : program + '/';
    return true;
}

bool IsDirectory(const std::string& path)
{
    return IsFolderPath(path);
}

bool IsFile(const std::string& path)
{
    return IsFilePath(path);
}

bool IsReadOnlyFile(const std::string& path)
{
    return HasReadOnlyAttribute(path);
}

bool ForceDeleteFile(const std::string& path)
{
    ClearReadOnlyAttribute(path);
    return DeletePlainFile(path);
}

bool DeleteFolderTree(const std::string& folder)
{
    const auto entries = ListFolder(folder);
    if (!entries)
        return false;
    for (const FolderEntry& entry : *entries) {
        const std::string path = Join(folder, entry.name);
        if (entry.isFolder)
            DeleteFolderTree(path);
        else
            DeletePlainFile(path);
    }
    return RemoveEmptyFolder(folder);
}

bool DeleteFolderContentsExcept(const std::string& folder, const std::vector<std::string>& keep)
{
    const auto entries = ListFolder(folder);
    if (!entries)
        return false;
    for (const FolderEntry& entry : *entries) {
        const std::string path = Join(folder, entry.name);
        bool kept = false;
        for (const std::string& k : keep)
            kept = kept || SameIgnoringCase(path, k);
        if (kept)
            continue;
        if (entry.isFolder)
            DeleteFolderTree(path);
        else
            DeletePlainFile(path);
    }
    return true;
}

std::uint64_t GetFileSizeOfPath(const std::string& path)
{
    return RegularFileSize(path).value_or(0);
}

std::uint64_t GetFolderFilesSize(const std::string& folder)
{
    std::uint64_t total = 0;
    if (const auto entries = ListFolder(folder)) {
        for (const FolderEntry& entry : *entries)
            if (!entry.isFolder)
                total += GetFileSizeOfPath(Join(folder, entry.name));
    }
    return total;
}

bool GetLongPath(std::string& out, const std::string& path, bool mustBeFile)
{
    std::string result = !path.empty() && path[0] == '/' ? "/" : "";
    std::size_t pos = result.size();
    while (pos < path.size()) {
        const std::size_t slash = path.find('/', pos);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        const std::string given = path.substr(pos, end - pos);
        std::string name = given;
        if (!given.empty() && !PathExists(result + given)) {
            if (const auto entries = ListFolder(result.empty() ? "." : result)) {
                for (const FolderEntry& entry : *entries) {
                    if (SameIgnoringCase(entry.name, given)) {
                        name = entry.name;
                        break;
                    }
                }
            }
        }
        result += name;
        if (slash == std::string::npos)
            break;
        result += '/';
        pos = slash + 1;
    }
    if (mustBeFile && !IsFile(result))
        return false;
    out = result;
    return true;
}

bool CreateFolderPath(const std::string& path)
{
    if (path.empty())
        return false;
    if (IsDirectory(path))
        return true;
    const std::string full = path.back() == '/' ? path : path + '/';
    const std::string shared = GetSharedDataFolder();
    bool result = false;
    for (std::size_t slash = full.find('/', 1); slash != std::string::npos;
         slash = full.find('/', slash + 1)) {
        const std::string prefix = WithoutTrailingSlash(full.substr(0, slash));
        if (prefix.empty() || IsDirectory(prefix))
            continue;
        result = MakeFolder(prefix);
        // Every user may add to the shared folder; nobody may delete another's files.
        if (result && prefix == shared)
            result = SetPathMode(prefix, 01777);
    }
    return result;
}

bool WriteBufferToFile(const std::string& path, const void* buffer, std::size_t size)
{
    if (path.empty() || !buffer)
        return false;
    return WriteFileAtomically(path, buffer, size);
}
