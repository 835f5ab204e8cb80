#include "FrameKit/PZAVPackAnalize.h"

#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageText.h"
#include "FrameKit/PathResolve.h"
#include "FrameKit/SDK.h"
#include "FrameKit/USMParser.h"

#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace {

bool PathTaken(const char* path)
{
    struct stat st;
    return ::lstat(path, &st) == 0;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t sep = path.rfind('/');
    return sep == std::string::npos ? std::string() : (sep == 0 ? std::string("/") : path.substr(0, sep));
}

} // namespace

void PZAVPackAnalize::Clear()
{
    for (auto& group : m_groups)
        group.clear();
}

int PZAVPackAnalize::GetCount(int group) const
{
    if (group < 0 || group >= kGroupCount)
        return 0;
    return static_cast<int>(m_groups[group].size());
}

int PZAVPackAnalize::GetFile(int group, int index, char* out, std::size_t outSize) const
{
    if (index < 0 || index >= GetCount(group))
        return ZAV_ERR_GROUP;
    const std::string& path = m_groups[group][static_cast<std::size_t>(index)].path;
    if (out == nullptr || path.size() >= outSize)
        return ZAV_ERR_ARGUMENT;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return ZAV_OK;
}

int PZAVPackAnalize::AddFile(int group, const char* path, const char* name)
{
    return ZavGuard([&]() -> int {
        if (path == nullptr || path[0] == '\0')
            return ZAV_ERR_INVALID_ARG;
        std::string member;
        if (name != nullptr)
            member = name;
        else if (!ZavUtf8ToCp932(ZavHostName(path), member))
            return ZAV_ERR_NAME_TOO_LONG;
        if (member.empty() || member.size() > kMemberNameMax)
            return ZAV_ERR_NAME_TOO_LONG;
        for (const auto& collected : m_groups) {
            for (const PackageSource& source : collected) {
                if (!ZavSameNameNoCase(source.name, member))
                    continue;
                // Host paths are case-sensitive: one path is one file.
                if (source.path == path)
                    return ZAV_OK;
                return ZAV_ERR_NAME_CLASH;
            }
        }
        if (group < 0 || group >= kGroupCount)
            return ZAV_ERR_GROUP;
        m_groups[group].push_back({path, member});
        return ZAV_OK;
    });
}

// A referenced file is read from where the reader resolved it and packed
// under the name the script writes, so that unpacking gives the script's name.
int PZAVPackAnalize::AddReferenced(int group, const char* resolved, const char* written)
{
    if (!FileExists(resolved) || IsFolder(resolved))
        return ZAV_ERR_LAYOUT_FILE_MISSING;
    return AddFile(group, resolved, ZavReferenceName(written).c_str());
}

int PZAVPackAnalize::AnalyseLayout(const char* layout)
{
    return ZavGuard([&]() -> int {
        auto sdk = std::make_unique<ZAV_SDK_PACK>();
        if (int rc = sdk->OpenLayout(layout))
            return rc;
        if (int rc = AddFile(kGroupLayouts, layout))
            return rc;
        auto header = std::make_unique<LayoutHeaderRecord>();
        if (int rc = sdk->GetLayoutHeader(header.get()))
            return rc;
        char written[256] = {};
        sdk->GetThumbnailName(written);
        if (written[0] != '\0')
            if (int rc = AddReferenced(kGroupThumbnails, header->thumbnailPath, written))
                return rc;
        sdk->GetSoundName(written);
        if (written[0] != '\0')
            if (int rc = AddReferenced(kGroupAccompanying, header->soundPath, written))
                return rc;
        auto item = std::make_unique<ZavItemRecord>();
        for (std::int32_t i = 0; i < header->itemCount; ++i) {
            if (int rc = sdk->GetItem(i, item.get()))
                return rc;
            if (item->kind != 0)
                continue;
            if (int rc = sdk->GetItemFileName(i, written))
                return rc;
            if (written[0] != '\0')
                if (int rc = AddReferenced(kGroupPictures, item->picture.filePath, written))
                    return rc;
        }
        return ZAV_OK;
    });
}

int PZAVPackAnalize::AnalyseLayouts(int count, const ZAVPath* layouts, const char* package)
{
    int rc = ZavGuard([&]() -> int {
        if (count < 1 || layouts == nullptr || package == nullptr)
            return ZAV_ERR_INVALID_ARG;
        if (PathTaken(package))
            return ZAV_ERR_PACKAGE_TARGET;
        Clear();
        for (int i = 0; i < count; ++i) {
            if (!IsTerminatedWithin(layouts[i], kZavPathSize) || !FileExists(layouts[i]) ||
                IsFolder(layouts[i]))
                return ZAV_ERR_INVALID_ARG;
            if (int rc = AnalyseLayout(layouts[i]))
                return rc;
        }
        return ZAV_OK;
    });
    if (rc != ZAV_OK)
        Clear();
    return rc;
}

int PZAVPackAnalize::AnalyseIndexBody(const char* index)
{
    USMParser parser(index);
    if (int rc = parser.Parse(nullptr))
        return rc;
    char value[513] = {};
    if (!parser.GetValue("HEADER", "HdRevision", value, sizeof value, -1, true))
        return ZAV_ERR_INDEX_KEY;
    unsigned char major = 0;
    if (int rc = parser.GetRevisionMajor(&major))
        return rc;
    if (major != 1)
        return ZAV_ERR_INDEX_REVISION;
    if (int rc = AddFile(kGroupAccompanying, index))
        return rc;
    const std::string folder = FolderOf(index);
    std::string resolved(kZavPathSize, '\0');
    if (parser.GetValue("HEADER", "HdDSCThumbnail", value, 256, -1, true) && value[0] != '\0') {
        if (int rc = ResolveRelativePath(value, folder.c_str(), resolved.data(), resolved.size()))
            return rc;
        if (!FileExists(resolved.c_str()) || IsFolder(resolved.c_str()))
            return ZAV_ERR_INDEX_FILE_MISSING;
        if (int rc = AddFile(kGroupAccompanying, resolved.c_str(), ZavReferenceName(value).c_str()))
            return rc;
    }
    int count = 0;
    if (int rc = parser.GetCount(&count))
        return rc;
    for (int i = 0; i < count; ++i) {
        char name[256] = {};
        if (int rc = parser.GetFilename(i, name))
            return rc == ZAV_ERR_ARGUMENT ? ZAV_ERR_INDEX_KEY : rc;
        if (int rc = ResolveRelativePath(name, folder.c_str(), resolved.data(), resolved.size()))
            return rc;
        if (!FileExists(resolved.c_str()) || IsFolder(resolved.c_str()))
            return ZAV_ERR_INDEX_FILE_MISSING;
        if (int rc = AnalyseLayout(resolved.c_str()))
            return rc;
    }
    return ZAV_OK;
}

int PZAVPackAnalize::AnalyseIndex(const char* index, const char* package)
{
    int rc = ZavGuard([&]() -> int {
        Clear();
        if (index == nullptr || package == nullptr)
            return ZAV_ERR_INVALID_ARG;
        if (PathTaken(package))
            return ZAV_ERR_PACKAGE_TARGET;
        if (!FileExists(index) || IsFolder(index))
            return ZAV_ERR_INVALID_ARG;
        return AnalyseIndexBody(index);
    });
    if (rc != ZAV_OK)
        Clear();
    return rc;
}

int WritePackage(const PZAVPackAnalize& analysis, const char* package)
{
    return ZavGuard([&]() -> int {
        PackageGroups groups;
        for (int g = 0; g < kGroupCount; ++g) {
            for (int i = 0; i < analysis.GetCount(g); ++i) {
                ZAVPath path;
                if (analysis.GetFile(g, i, path, sizeof path) != ZAV_OK)
                    return ZAV_ERR_GROUP;
                groups[g].push_back({path, analysis.Groups()[g][static_cast<std::size_t>(i)].name});
            }
        }
        PZAVPackage writer;
        return writer.Write(package, groups);
    });
}
