// The file-system primitives the shared services build on: listing a folder,
// the read-only attribute, unique files and the effective access test, over
// POSIX. Paths are native (UTF-8, "/").
#pragma once

#include <optional>
#include <string>
#include <vector>

struct FolderEntry
{
    std::string name;
    bool isFolder = false; // a symbolic link counts as a file: walks never follow it
};

// The entries of a folder other than "." and "..", sorted by name; nothing
// when the folder cannot be read.
std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder);

bool PathExists(const std::string& path);
bool IsSymbolicLink(const std::string& path);
// The path a write through `path` lands on: a symbolic link's target, link
// after link (a relative target counts from the link's folder), which need not
// exist yet; the path itself when it is no link. Empty for a loop.
std::string FollowSymbolicLinks(const std::string& path);
bool IsFolderPath(const std::string& path);
// Something that exists and is not a folder (links followed).
bool IsFilePath(const std::string& path);

// The Windows read-only attribute maps to the owner's write permission.
bool HasReadOnlyAttribute(const std::string& path);
// Gives the owner write permission back; false when the mode cannot be changed.
bool ClearReadOnlyAttribute(const std::string& path);
// A plain delete with the Windows rule: a read-only file is not deleted.
bool DeletePlainFile(const std::string& path);
bool RemoveEmptyFolder(const std::string& path);
// Creates one folder; `mode` before the umask.
bool MakeFolder(const std::string& path, unsigned mode = 0777);
bool SetPathMode(const std::string& path, unsigned mode);

// Creates a new empty file "<prefix>XXXXXX<suffix>" with a unique name in the
// folder (mode 0600) and returns its path; empty when the folder is missing or
// no name could be had.
std::string CreateUniqueFile(const std::string& folder, const std::string& prefix, const std::string& suffix);

// The kernel's access test with the effective user and group ids, so that
// every permission bit, access-control entry and read-only mount counts as the
// system counts it. `mode` is a combination of R_OK, W_OK and X_OK.
bool HasEffectiveAccess(const std::string& path, int mode);
// Whether the effective user may delete the entry: write and search rights on
// its folder, and, in a sticky folder, ownership of the entry or the folder.
bool MayDeleteEntry(const std::string& path);

// Whether the volume holding the path keeps per-user permissions (not FAT or
// exFAT). False when the path and its parents cannot be examined.
bool VolumeKeepsPermissions(const std::string& path);

// Size of a regular file; nothing for a missing file or anything else.
std::optional<unsigned long long> RegularFileSize(const std::string& path);
