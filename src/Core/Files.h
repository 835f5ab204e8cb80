// Files and folders: tests, walks, deletion, sizes and creation on native
// paths. No function throws on a file-system failure; each reports false (or
// an empty result).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The folder of the running program, ending in "/"; false when it cannot be read.
bool GetModuleFolder(std::string& folder);

bool IsDirectory(const std::string& path);
// Something exists at the path and it is not a folder.
bool IsFile(const std::string& path);
// The read-only attribute (no write permission for the owner); folders too.
bool IsReadOnlyFile(const std::string& path);
// Clears the read-only attribute, then deletes the file.
bool ForceDeleteFile(const std::string& path);
// Deletes the folder and everything in it, except read-only files (which then
// keep their folders); symbolic links are removed, never followed. True when
// the folder itself was removed.
bool DeleteFolderTree(const std::string& folder);
// Deletes every entry of the folder whose full path is not in `keep` (compared
// without regard to case); the folder stays. False when the folder is missing.
bool DeleteFolderContentsExcept(const std::string& folder, const std::vector<std::string>& keep);
// Size of a file in bytes; 0 for a missing file.
std::uint64_t GetFileSizeOfPath(const std::string& path);
// Sum of the sizes of the files directly in the folder.
std::uint64_t GetFolderFilesSize(const std::string& folder);
// The path with every existing component spelled as it is on disk; a component
// that differs only in case is found in its folder, one that is not found is
// kept as given. A trailing "/" stays. With `mustBeFile`, false (and `out`
// unchanged) unless the result is an existing file.
bool GetLongPath(std::string& out, const std::string& path, bool mustBeFile);
// Creates every missing folder of the path, outermost first; the shared data
// folder is created open to every user (mode 1777). True when the folder
// already existed, else the success of the last creation.
bool CreateFolderPath(const std::string& path);
// Replaces the file's contents by the bytes, whole or not at all. False for an
// empty path, a null buffer or a failure to create or write.
bool WriteBufferToFile(const std::string& path, const void* buffer, std::size_t size);
inline bool WriteBufferToFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    return WriteBufferToFile(path, bytes.data() ? bytes.data() : reinterpret_cast<const std::uint8_t*>(""),
                             bytes.size());
}
