#include "Script/ScriptPath.h"

#include "Core/Path.h"

#include <filesystem>
#include <system_error>

std::string ScriptFolderOf(const std::string& scriptPath)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(scriptPath, error);
    if (error)
        path = scriptPath;
    return GetFolderFromPath(path.lexically_normal().string());
}

std::string StoredToNativePath(std::string_view stored, std::string_view folder)
{
    return LookUpScriptReference(stored, folder).path;
}

ReferenceLookup LookUpScriptReference(std::string_view stored, std::string_view folder)
{
    // A native absolute path is looked up like a dot-relative one: a layout
    // moved from a case-blind file system may name it in another case.
    if (IsDotRelativePath(stored) || (!stored.empty() && stored[0] == '/'))
        return LookUpStoredReference(folder, stored);
    ReferenceLookup kept;
    kept.path = std::string(stored);
    return kept;
}

std::string NativeToStoredPath(std::string_view native, std::string_view folder)
{
    // Any other name is read back exactly as stored, so it is written so too.
    if (IsDotRelativePath(native))
        return NativeToStoredReference(native);
    const std::string relative = MakeDotRelativePath(folder, native);
    if (IsDotRelativePath(relative))
        return NativeToStoredReference(relative);
    return std::string(native);
}
