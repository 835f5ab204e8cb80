// Folders the system provides, the platform tests that chose between them, and
// the test whether the current user may use a file or a folder tree.
#pragma once

#include "Platform/WaitFeedback.h"

#include <cstdint>
#include <string>

// The shared layout folder, open to every user: "UDL" in the common
// application data folder (see Platform/Folders.h). No trailing "/".
std::string GetSharedDataFolder();
// The user's documents folder, ending in "/".
std::string GetMyDocumentsFolder();

// This system behaves as the NT family of Windows, never as the 9x family
// (per-user folders and access rights).
constexpr bool IsWin9x()
{
    return false;
}
// Whether the volume holding the path keeps per-user access rights (it is not
// FAT or exFAT); false for an empty path.
bool IsNTFSVolume(const std::string& path);

// Windows access rights as callers ask for them (for example 0x13019F, read,
// write and delete); they are mapped to the system's own test.
namespace FileRights {
constexpr std::uint32_t ReadData = 0x0001, WriteData = 0x0002, AppendData = 0x0004, ReadEa = 0x0008,
                        WriteEa = 0x0010, Execute = 0x0020, DeleteChild = 0x0040, ReadAttributes = 0x0080,
                        WriteAttributes = 0x0100, Delete = 0x00010000, GenericAll = 0x10000000,
                        GenericExecute = 0x20000000, GenericWrite = 0x40000000, GenericRead = 0x80000000;
} // namespace FileRights

// Whether the current user, by the effective user and group ids, holds every
// right of the mask on the file or folder, as the system itself decides (on
// every volume, FAT included). Delete asks for the right to remove the entry
// from its folder.
bool HasFileAccess(const std::string& path, std::uint32_t mask);

// HasFileAccess for every file and folder of the tree, then for the folder
// itself; false at the first refusal. Symbolic links are not walked into.
bool HasFolderTreeAccess(const std::string& folder, std::uint32_t mask, IWaitFeedback* feedback = nullptr);
