#include "FrameKit/PZAVLayoutFileInfo.h"

#include "FrameKit/FileUtil.h"
#include "FrameKit/PackageErrorCode.h"

#include <cstring>
#include <string>

namespace {

// Splits at the last "\" after the first character; without one both names
// stay as they were.
void FillFromPath(MemberRecord& record, const char* path, std::uint32_t offset, std::uint32_t size)
{
    if (path != nullptr) {
        const std::size_t len = strnlen(path, 256);
        const char* sep = nullptr;
        for (std::size_t i = 0; i < len; ++i) {
            const unsigned char c = static_cast<unsigned char>(path[i]);
            if (IsSjisLeadByte(c) && i + 1 < len) {
                ++i;
                continue;
            }
            if (c == '\\' && i > 0)
                sep = path + i;
        }
        if (sep != nullptr) {
            std::memset(record.referenceName, 0, sizeof record.referenceName);
            std::memset(record.packageName, 0, sizeof record.packageName);
            std::memcpy(record.referenceName, path, static_cast<std::size_t>(sep - path));
            std::memcpy(record.packageName, sep + 1, len - static_cast<std::size_t>(sep - path) - 1);
        }
    }
    record.offset = offset;
    record.size = size;
}

} // namespace

bool PZAVLayoutFileInfo::SetLayoutFile(const char packageName[256], std::uint32_t offset, std::uint32_t size)
{
    m_layoutFile = MemberRecord();
    if (packageName != nullptr)
        std::memcpy(m_layoutFile.packageName, packageName, strnlen(packageName, 255));
    m_layoutFile.offset = offset;
    m_layoutFile.size = size;
    return true;
}

bool PZAVLayoutFileInfo::SetThumbnail(const char* path, std::uint32_t offset, std::uint32_t size)
{
    FillFromPath(m_thumbnail, path, offset, size);
    return true;
}

bool PZAVLayoutFileInfo::SetSound(const char* path, std::uint32_t offset, std::uint32_t size)
{
    FillFromPath(m_sound, path, offset, size);
    return true;
}

bool PZAVLayoutFileInfo::AddPicture(const char* path, std::uint32_t offset, std::uint32_t size)
{
    MemberRecord record;
    FillFromPath(record, path, offset, size);
    try {
        m_pictures.push_back(record);
    } catch (...) {
        return false;
    }
    return true;
}

bool PZAVLayoutFileInfo::SetHeader(const LayoutHeaderRecord& header)
{
    m_header = header;
    return true;
}

bool PZAVLayoutFileInfo::GetHeader(LayoutHeaderRecord* out) const
{
    if (out != nullptr)
        *out = m_header;
    return true;
}

void PZAVLayoutFileInfo::GetLayoutFile(MemberRecord* out) const
{
    if (out != nullptr)
        *out = m_layoutFile;
}

void PZAVLayoutFileInfo::GetThumbnail(MemberRecord* out) const
{
    if (out != nullptr)
        *out = m_thumbnail;
}

void PZAVLayoutFileInfo::GetSound(MemberRecord* out) const
{
    if (out != nullptr)
        *out = m_sound;
}

int PZAVLayoutFileInfo::GetPicture(std::int32_t index, MemberRecord* out) const
{
    if (index < 0 || index >= GetPictureCount())
        return ZAV_ERR_LAYOUT_INDEX;
    if (out != nullptr)
        *out = m_pictures[static_cast<std::size_t>(index)];
    return ZAV_OK;
}

void PZAVLayoutFileInfo::Clear()
{
    m_pictures.clear();
    m_layoutFile = MemberRecord();
    m_thumbnail = MemberRecord();
    m_sound = MemberRecord();
    m_header = LayoutHeaderRecord();
}

bool IsSetIndexName(const char* path)
{
    if (path == nullptr)
        return false;
    std::string upper(path, strnlen(path, 256));
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    const std::size_t at = upper.find(".USM");
    return at != std::string::npos && at + 4 == upper.size();
}
