#include "App/SaveFileSystem.h"

#include "Core/Files.h"
#include "Core/Path.h"
#include "Platform/AtomicFileWriter.h"
#include "Platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <random>

namespace {

std::string UniqueTail()
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string tail;
    for (int i = 0; i < 6; ++i)
        tail += kLetters[pick(random)];
    return tail;
}

class SystemFileSystem : public ISaveFileSystem
{
public:
    bool MakeUniqueFolder(const std::string& prefix, std::string& made) override
    {
        // Not mkdtemp, whose folder is the owner's alone: the umask (and a
        // default access list of the parent) decides, as for any new folder.
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string path = prefix + UniqueTail();
            if (MakeFolder(path, 0777)) {
                made = path;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }
    bool SyncTree(const std::string& path) override
    {
        if (IsSymbolicLink(path))
            return true;
        if (IsDirectory(path)) {
            const auto entries = ListFolder(path);
            if (!entries)
                return false;
            for (const FolderEntry& entry : *entries)
                if (!SyncTree(CombinePath(path, entry.name)))
                    return false;
        }
        return SyncPath(path);
    }
    bool WriteDurably(const std::string& path, std::string_view bytes) override
    {
        return WriteFileAtomically(path, bytes.data(), bytes.size());
    }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }
    bool SyncFolder(const std::string& folder) override { return SyncPath(folder); }
    bool DeleteTree(const std::string& folder) override
    {
        DeleteFolderTree(folder);
        return !PathExists(folder);
    }
    bool RemoveFile(const std::string& path) override { return ForceDeleteFile(path) || !PathExists(path); }
};

} // namespace

ISaveFileSystem& SystemSaveFileSystem()
{
    static SystemFileSystem system;
    return system;
}
