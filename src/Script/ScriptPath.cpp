#include "Script/ScriptPath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

std::string ScriptFolderOf(const std::string& scriptPath)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(scriptPath, error);
    if (error)
        path = scriptPath;
    std::string folder = path.lexically_normal().parent_path().string();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string StoredToNativePath(std::string_view stored, std::string_view folder)
{
    if (stored.empty() || stored.front() != '.')
        return std::string(stored);
    std::string rest(stored.substr(1));
    std::replace(rest.begin(), rest.end(), '\\', '/');
    std::string base(folder);
    if (base == "/" && !rest.empty() && rest.front() == '/')
        base.clear();
    return base + rest;
}

std::string NativeToStoredPath(std::string_view native, std::string_view folder)
{
    std::string stored;
    if (!native.empty() && native.front() == '.') {
        stored = native;
    } else {
        std::string prefix(folder);
        if (prefix.empty() || prefix.back() != '/')
            prefix.push_back('/');
        if (folder.empty() || native.size() <= prefix.size() || native.substr(0, prefix.size()) != prefix)
            return std::string(native);
        stored = "./" + std::string(native.substr(prefix.size()));
    }
    std::replace(stored.begin(), stored.end(), '/', '\\');
    return stored;
}
