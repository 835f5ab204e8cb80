#include "Core/Path.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

std::size_t NameStart(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsStoredAbsolute(std::string_view path)
{
    const bool drive =
        path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
    const bool network = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    return drive || network || (!path.empty() && path[0] == '/');
}

// Drive-letter and network paths name another system's files.
bool IsForeignAbsolute(std::string_view path)
{
    return IsStoredAbsolute(path) && path[0] != '/';
}

// The components of a native path with "." and ".." folded; ".." at the root stays there.
std::vector<std::string> FoldedComponents(std::string_view path)
{
    const bool rooted = !path.empty() && path[0] == '/';
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (!rooted)
                parts.emplace_back(part);
        } else if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
        start = end + 1;
    }
    return parts;
}

bool EntryExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found &&
           !error;
}

// The entries of `folder` whose names equal `name` without regard to ASCII case.
std::vector<std::string> CaseBlindMatches(const std::string& folder, const std::string& name)
{
    std::vector<std::string> matches;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (EqualsIgnoringAsciiCase(entry, name))
            matches.push_back(std::move(entry));
    }
    return matches;
}

std::string Replaced(std::string_view text, char from, char to)
{
    std::string out(text);
    std::replace(out.begin(), out.end(), from, to);
    return out;
}

} // namespace

std::string GetFileNameFromPath(std::string_view path, bool withExtension)
{
    std::string_view name = path.substr(NameStart(path));
    if (!withExtension) {
        const auto dot = name.rfind('.');
        if (dot != std::string_view::npos)
            name = name.substr(0, dot);
    }
    return std::string(name);
}

std::string GetFileExtension(std::string_view path)
{
    const std::string_view name = path.substr(NameStart(path));
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string GetFolderFromPath(std::string_view path)
{
    const std::size_t start = NameStart(path);
    if (start == 0)
        return {};
    if (start == 1)
        return "/";
    return std::string(path.substr(0, start - 1));
}

std::string CombinePath(std::string_view folder, std::string_view name)
{
    std::string out(folder);
    if (!out.empty() && out.back() == '/')
        out.pop_back();
    // Only "./" marks a dot-relative name: "..", ".hidden" are plain names.
    if (name.size() >= 2 && name[0] == '.' && name[1] == '/') {
        out.append(name.substr(1));
        return out;
    }
    if (name.empty() || name[0] != '/')
        out += '/';
    out.append(name);
    return out;
}

bool IsDotRelativePath(std::string_view path)
{
    return !path.empty() && path[0] == '.';
}

std::string MakeDotRelativePath(std::string_view baseFolder, std::string_view fullPath)
{
    std::string_view base = baseFolder;
    if (!base.empty() && base.back() == '/')
        base.remove_suffix(1);
    const bool below = fullPath.size() > base.size() && fullPath.substr(0, base.size()) == base &&
                       fullPath[base.size()] == '/';
    if (!below)
        return std::string(fullPath);
    // Appended rather than concatenated: GCC's -Wrestrict misreads the operator+ form.
    std::string relative(1, '.');
    relative.append(fullPath.substr(base.size()));
    return relative;
}

bool IsJpegFileName(std::string_view path)
{
    const std::string ext = GetFileExtension(path);
    return EqualsIgnoringAsciiCase(ext, ".jpg") || EqualsIgnoringAsciiCase(ext, ".jpeg");
}

std::string StoredReferenceToNative(std::string_view stored)
{
    if (IsStoredAbsolute(stored))
        return std::string(stored);
    return Replaced(stored, '\\', '/');
}

std::string NativeToStoredReference(std::string_view native)
{
    if (IsStoredAbsolute(native))
        return std::string(native);
    return Replaced(native, '/', '\\');
}

ReferenceLookup LookUpStoredReference(std::string_view layoutFolder, std::string_view stored)
{
    ReferenceLookup lookup;
    if (stored.empty() || IsForeignAbsolute(stored)) {
        lookup.path = std::string(stored);
        return lookup;
    }
    const std::string native = Replaced(stored, '\\', '/');
    const std::string joined = native[0] == '/' ? native : CombinePath(layoutFolder, native);
    lookup.match = ReferenceMatch::Exact;
    const bool rooted = joined[0] == '/';
    std::string folder = rooted ? "/" : ".";
    std::string path;
    for (std::string& part : FoldedComponents(joined)) {
        const std::string prefix = path.empty() && !rooted ? std::string() : path + '/';
        std::string next = prefix + part;
        if (lookup.match <= ReferenceMatch::CaseBlind && !EntryExists(next)) {
            const std::vector<std::string> matches = CaseBlindMatches(folder, part);
            if (matches.size() == 1) {
                next = prefix + matches.front();
                lookup.match = ReferenceMatch::CaseBlind;
            } else if (matches.empty()) {
                lookup.match = ReferenceMatch::Missing;
            } else {
                lookup.match = ReferenceMatch::Ambiguous;
                lookup.ambiguousFolder = folder;
                lookup.ambiguousName = part;
            }
        }
        path = std::move(next);
        folder = path;
    }
    // The last folder reached: the start itself when there was no component.
    lookup.path = std::move(folder);
    return lookup;
}

std::string ResolveStoredReference(std::string_view layoutFolder, std::string_view stored)
{
    return LookUpStoredReference(layoutFolder, stored).path;
}

std::string MakeStoredReference(std::string_view layoutFolder, std::string_view fullPath)
{
    return NativeToStoredReference(MakeDotRelativePath(layoutFolder, fullPath));
}
