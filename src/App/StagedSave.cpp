#include "App/StagedSave.h"

#include "Core/Files.h"
#include "Core/Path.h"
#include "Platform/FileSystem.h"

#include <set>
#include <unistd.h>

namespace {

std::string SiblingPrefix(const std::string& target, const char* kind)
{
    const std::string name = GetFileNameFromPath(target, true);
    return CombinePath(GetFolderFromPath(target), "." + name + kind);
}

} // namespace

bool FolderTreeMayBeRemoved(const std::string& folder)
{
    if (!MayDeleteEntry(folder))
        return false;
    if (HasReadOnlyAttribute(folder) || !HasEffectiveAccess(folder, R_OK | W_OK | X_OK))
        return false;
    const auto entries = ListFolder(folder);
    if (!entries)
        return false;
    for (const FolderEntry& entry : *entries) {
        const std::string path = CombinePath(folder, entry.name);
        if (entry.isFolder) {
            if (!FolderTreeMayBeRemoved(path))
                return false;
        } else if (!MayDeleteEntry(path) || (!IsSymbolicLink(path) && HasReadOnlyAttribute(path))) {
            return false;
        }
    }
    return true;
}

SaveSwap::SaveSwap(ISaveFileSystem& files, std::string journalPath)
    : m_files(files), m_journalPath(std::move(journalPath))
{
}

SaveSwap::~SaveSwap()
{
    // A crash stop or a failing step may refuse the undo: the journal then
    // stays for the next open, and a destructor must not throw.
    try {
        if (!m_finished)
            Undo();
    } catch (...) {
    }
}

bool SaveSwap::Add(const std::string& staged, const std::string& target)
{
    if (IsDirectory(target) && !IsSymbolicLink(target) && !FolderTreeMayBeRemoved(target))
        return false;
    m_journal.swaps.push_back(SaveSwapEntry{staged, target, {}});
    return true;
}

bool SaveSwap::Swap()
{
    m_started = true;
    std::set<std::string> folders;
    for (SaveSwapEntry& swap : m_journal.swaps) {
        if (!m_files.SyncTree(swap.staged))
            return false;
        folders.insert(GetFolderFromPath(swap.staged));
        folders.insert(GetFolderFromPath(swap.target));
        if (!PathExists(swap.target))
            continue;
        std::string aside;
        if (!m_files.MakeUniqueFolder(SiblingPrefix(swap.target, ".old-"), aside))
            return false;
        swap.aside = CombinePath(aside, GetFileNameFromPath(swap.target, true));
    }
    // The staged entries and the set-aside folders are on the disk before
    // the journal names them.
    for (const std::string& folder : folders)
        if (!m_files.SyncFolder(folder))
            return false;
    if (!m_journalPath.empty() && !m_files.WriteDurably(m_journalPath, FormatSaveJournal(m_journal)))
        return false;
    m_moving = true;
    return MoveIntoPlace(m_files, m_journal);
}

bool SaveSwap::Finish()
{
    m_finished = true;
    return ClearSwap(m_files, m_journal, m_journalPath);
}

void SaveSwap::Undo()
{
    if (!m_started)
        return;
    // Before the first move only the staging and the set-aside folders are
    // there; what could not be put back stays with its journal for the next open.
    if (!m_moving || PutBack(m_files, m_journal))
        ClearSwap(m_files, m_journal, m_journalPath);
}

StagingFolder::~StagingFolder()
{
    try {
        if (!m_file.empty() && PathExists(m_file))
            m_files.RemoveFile(m_file);
        if (!m_path.empty() && IsDirectory(m_path))
            m_files.DeleteTree(m_path);
        if (!m_createdRoot.empty() && IsDirectory(m_createdRoot))
            m_files.DeleteTree(m_createdRoot);
    } catch (...) {
        // Stopped as a crash would stop it: what stays is removed by the next
        // open or save of the target.
    }
}

bool StagingFolder::Make(const std::string& target)
{
    const std::string parent = GetFolderFromPath(target);
    if (!IsDirectory(parent)) {
        // The outermost folder this save makes, to take away again on failure.
        std::string missing = parent;
        for (std::string up = GetFolderFromPath(missing); up != missing && !IsDirectory(up);
             up = GetFolderFromPath(missing))
            missing = up;
        m_createdRoot = missing;
        if (!CreateFolderPath(parent))
            return false;
    }
    return m_files.MakeUniqueFolder(SiblingPrefix(target, ".save-"), m_path);
}

std::string StagingFolder::SiblingFile(const std::string& extension)
{
    m_file = m_path + extension;
    return m_file;
}
