#include "App/StagedSave.h"

#include "Core/Files.h"
#include "Core/Path.h"
#include "Platform/FileSystem.h"

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

FolderSwap::~FolderSwap()
{
    if (!m_finished)
        Undo();
}

bool FolderSwap::Swap(const std::string& staged, const std::string& target)
{
    m_staged = staged;
    m_target = target;
    if (IsDirectory(target)) {
        if (!FolderTreeMayBeRemoved(target))
            return false;
        if (!m_files.MakeUniqueFolder(SiblingPrefix(target, ".old-"), m_aside))
            return false;
        if (!m_files.Rename(target, m_aside))
            return false;
        m_movedAside = true;
    }
    if (!m_files.Rename(staged, target))
        return false;
    m_swapped = true;
    return true;
}

bool FolderSwap::Finish()
{
    m_finished = true;
    return !m_movedAside || m_files.DeleteTree(m_aside);
}

void FolderSwap::Undo()
{
    if (m_swapped && !m_files.Rename(m_target, m_staged))
        DeleteFolderTree(m_target);
    if (m_movedAside)
        m_files.Rename(m_aside, m_target);
    else if (!m_aside.empty())
        RemoveEmptyFolder(m_aside);
}

StagingFolder::~StagingFolder()
{
    if (!m_file.empty() && IsFile(m_file))
        ForceDeleteFile(m_file);
    if (!m_path.empty() && IsDirectory(m_path))
        DeleteFolderTree(m_path);
    if (!m_createdRoot.empty() && IsDirectory(m_createdRoot))
        DeleteFolderTree(m_createdRoot);
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
