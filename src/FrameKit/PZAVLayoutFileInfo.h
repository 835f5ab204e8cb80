#pragma once

#include "FrameKit/LayoutDetail.h"
#include "FrameKit/PackageRecords.h"

#include <cstdint>
#include <vector>

// What an open package knows of one layout script: where the script and
// each file it references lie, and the script's header.
class PZAVLayoutFileInfo
{
public:
    PZAVLayoutFileInfo() = default;
    virtual ~PZAVLayoutFileInfo() = default;

    bool SetLayoutFile(const char packageName[256], std::uint32_t offset, std::uint32_t size);
    bool SetThumbnail(const char* path, std::uint32_t offset, std::uint32_t size);
    bool SetSound(const char* path, std::uint32_t offset, std::uint32_t size);
    bool AddPicture(const char* path, std::uint32_t offset, std::uint32_t size);
    bool SetHeader(const LayoutHeaderRecord& header);
    bool GetHeader(LayoutHeaderRecord* out) const;
    void GetLayoutFile(MemberRecord* out) const;
    void GetThumbnail(MemberRecord* out) const;
    void GetSound(MemberRecord* out) const;
    bool HasThumbnail() const { return !m_thumbnail.IsAbsent(); }
    bool HasSound() const { return !m_sound.IsAbsent(); }
    int GetPicture(std::int32_t index, MemberRecord* out) const;
    std::int32_t GetPictureCount() const { return static_cast<std::int32_t>(m_pictures.size()); }
    void Clear();

private:
    MemberRecord m_layoutFile;
    MemberRecord m_thumbnail;
    MemberRecord m_sound;
    LayoutHeaderRecord m_header;
    std::vector<MemberRecord> m_pictures;
};

// True when ".USM" (in any case) first occurs at the very end of the path.
bool IsSetIndexName(const char* path);
