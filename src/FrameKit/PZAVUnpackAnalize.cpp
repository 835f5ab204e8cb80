#include "FrameKit/PZAVUnpackAnalize.h"

#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageText.h"
#include "FrameKit/SDK.h"
#include "FrameKit/USMParser.h"
#include "FrameKit/ValueChecks.h"

#include <cstring>
#include <string>

namespace {

constexpr int kValueSize = 513;

void CopyName(char out[256], const std::string& text)
{
    std::memset(out, 0, 256);
    std::memcpy(out, text.data(), std::min<std::size_t>(text.size(), 255));
}

// The first limit bytes, never cutting a double-byte character.
void CopyCut(char* out, std::size_t outSize, const char* text, std::size_t limit)
{
    std::memset(out, 0, outSize);
    std::size_t len = strnlen(text, limit);
    while (len > 0 && !IsCharBoundary(text, len))
        --len;
    std::memcpy(out, text, len);
}

// A record that the package holds under the reference's file-name part; the
// reference name is the reference as written.
int FindReferenced(const PZAVPackageInfo& package, const char* reference, std::uint32_t* offset,
                   std::uint32_t* size, std::string* joined)
{
    const std::string name = ZavReferenceName(reference);
    if (int rc = package.FindMember(name.c_str(), offset, size))
        return rc;
    // Joined so that the split at the last "\" gives back both names.
    *joined = std::string(reference) + "\\" + name;
    return ZAV_OK;
}

} // namespace

PZAVUnpackAnalize::PZAVUnpackAnalize() = default;

PZAVUnpackAnalize::~PZAVUnpackAnalize()
{
    Close();
}

void PZAVUnpackAnalize::Close()
{
    m_package.Reset();
    m_index.reset();
    m_indexRecord = MemberRecord();
    m_cameraThumbnail = MemberRecord();
    m_layouts.clear();
}

bool PZAVUnpackAnalize::IsOpen() const
{
    return !m_package.Path().empty() && FileExists(m_package.Path().c_str());
}

int PZAVUnpackAnalize::FindIndex(char name[256]) const
{
    for (int i = 0; i < m_package.GetCount(kGroupAccompanying); ++i) {
        char member[256];
        if (m_package.GetMemberName(kGroupAccompanying, i, member) != ZAV_OK)
            continue;
        std::string upper(member);
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        if (upper.size() >= 4 && upper.compare(upper.size() - 4, 4, ".USM") == 0) {
            if (name != nullptr)
                std::memcpy(name, member, 256);
            return ZAV_OK;
        }
    }
    return ZAV_ERR_NO_INDEX;
}

int PZAVUnpackAnalize::ReadText(const char* name, std::vector<char>& text, std::uint32_t* offset,
                                std::uint32_t* size) const
{
    if (int rc = m_package.FindMember(name, offset, size))
        return rc;
    if (*size > kZavMaxTextFile)
        return ZAV_ERR_FILE_IO;
    text.assign(*size + 1u, '\0');
    return m_package.ReadMember(name, text.data(), *size);
}

int PZAVUnpackAnalize::ReadLayout(int member)
{
    char name[256];
    if (int rc = m_package.GetMemberName(kGroupLayouts, member, name))
        return rc;
    std::vector<char> text;
    std::uint32_t offset = 0, size = 0;
    if (int rc = ReadText(name, text, &offset, &size))
        return rc;
    auto sdk = std::make_unique<ZAV_SDK_PACK>();
    const std::string folder = "/";
    if (int rc = sdk->OpenLayoutText(folder.c_str(), static_cast<std::int32_t>(size), text.data()))
        return rc;
    auto entry = std::make_unique<PZAVLayoutFileInfo>();
    auto header = std::make_unique<LayoutHeaderRecord>();
    if (int rc = sdk->GetLayoutHeader(header.get()))
        return rc;
    entry->SetLayoutFile(name, offset, size);
    entry->SetHeader(*header);
    char written[256] = {};
    std::string joined;
    sdk->GetThumbnailName(written);
    if (written[0] != '\0') {
        if (int rc = FindReferenced(m_package, written, &offset, &size, &joined))
            return rc;
        entry->SetThumbnail(joined.c_str(), offset, size);
    }
    sdk->GetSoundName(written);
    if (written[0] != '\0') {
        if (int rc = FindReferenced(m_package, written, &offset, &size, &joined))
            return rc;
        entry->SetSound(joined.c_str(), offset, size);
    }
    auto item = std::make_unique<ZavItemRecord>();
    for (std::int32_t i = 0; i < header->itemCount; ++i) {
        if (int rc = sdk->GetItem(i, item.get()))
            return rc;
        if (item->kind != 0)
            continue;
        if (int rc = sdk->GetItemFileName(i, written))
            return rc;
        if (written[0] == '\0')
            continue;
        if (int rc = FindReferenced(m_package, written, &offset, &size, &joined))
            return rc;
        if (!entry->AddPicture(joined.c_str(), offset, size))
            return ZAV_ERR_UNEXPECTED;
    }
    m_layouts.push_back(std::move(entry));
    return ZAV_OK;
}

int PZAVUnpackAnalize::OpenBody(const char* package)
{
    if (int rc = m_package.Open(package))
        return rc;
    char indexName[256] = {};
    if (FindIndex(indexName) == ZAV_OK) {
        std::vector<char> text;
        std::uint32_t offset = 0, size = 0;
        if (int rc = ReadText(indexName, text, &offset, &size))
            return rc;
        auto parser = std::make_unique<USMParser>();
        if (int rc = parser->ParseMemory(text.data(), size, nullptr))
            return rc;
        m_index = std::move(parser);
        CopyName(m_indexRecord.packageName, indexName);
        m_indexRecord.offset = offset;
        m_indexRecord.size = size;
        char value[kValueSize] = {};
        if (m_index->GetValue("HEADER", "HdDSCThumbnail", value, 256, -1, true) && value[0] != '\0') {
            const std::string name = ZavReferenceName(value);
            if (int rc = m_package.FindMember(name.c_str(), &offset, &size))
                return rc;
            CopyName(m_cameraThumbnail.referenceName, ZavReferenceFolder(value));
            CopyName(m_cameraThumbnail.packageName, name);
            m_cameraThumbnail.offset = offset;
            m_cameraThumbnail.size = size;
        }
    }
    for (int i = 0; i < m_package.GetCount(kGroupLayouts); ++i)
        if (int rc = ReadLayout(i))
            return rc;
    return ZAV_OK;
}

int PZAVUnpackAnalize::Open(const char* package)
{
    Close();
    int rc = ZavGuard([&] { return OpenBody(package); });
    if (rc != ZAV_OK)
        Close();
    return rc;
}

int PZAVUnpackAnalize::GetClassification(std::uint8_t* classification) const
{
    if (classification == nullptr)
        return ZAV_ERR_INVALID_ARG;
    if (m_index == nullptr) {
        *classification = 0;
        return ZAV_OK;
    }
    unsigned char major = 0;
    // An index without a readable classification is not a camera set.
    if (m_index->GetClassificationMajor(&major) != ZAV_OK)
        major = 1;
    *classification = major == 0 ? 2 : 1;
    return ZAV_OK;
}

int PZAVUnpackAnalize::GetIndexHeader(char indexName[256], LayoutHeaderRecord* header, IndexInfo* info) const
{
    if (indexName == nullptr || header == nullptr || info == nullptr)
        return ZAV_ERR_INVALID_ARG;
    if (m_index == nullptr)
        return ZAV_ERR_NO_INDEX;
    char value[kValueSize] = {};
    if (!m_index->GetValue("HEADER", "HdRevision", value, sizeof value, -1, true))
        return ZAV_ERR_INDEX_KEY;
    auto record = std::make_unique<LayoutHeaderRecord>();
    if (int rc = m_index->GetRevisionMajor(&record->revisionMajor))
        return rc;
    if (int rc = m_index->GetRevisionMinor(&record->revisionMinor))
        return rc;
    if (m_index->GetValue("HEADER", "HdTitle", value, sizeof value, -1, true))
        CopyCut(record->title, sizeof record->title, value, kZavHeaderTextBytes);
    if (m_index->GetValue("HEADER", "HdComment", value, sizeof value, -1, true))
        CopyCut(record->comment, sizeof record->comment, value, kZavHeaderTextBytes);
    IndexInfo result;
    if (int rc = m_index->GetClassificationMajor(&result.classificationMajor))
        return rc;
    if (int rc = m_index->GetClassificationMinor(&result.classificationMinor))
        return rc;
    if (int rc = m_index->GetCapability(&result.capability))
        return rc;
    if (int rc = m_index->GetCount(&result.layoutCount))
        return rc;
    if (m_index->GetValue("HEADER", "HdDSCThumbnail", value, sizeof value, -1, true))
        CopyCut(result.cameraThumbnail, sizeof result.cameraThumbnail, value, 255);
    CopyName(indexName, m_indexRecord.packageName);
    *header = *record;
    *info = result;
    return ZAV_OK;
}

bool PZAVUnpackAnalize::ValidLayout(int layout) const
{
    return layout >= 0 && static_cast<std::size_t>(layout) < m_layouts.size();
}

int PZAVUnpackAnalize::GetLayoutFileNames(int layout, char scriptName[256], LayoutHeaderRecord* header) const
{
    if (!ValidLayout(layout))
        return ZAV_ERR_LAYOUT_INDEX;
    if (scriptName == nullptr || header == nullptr)
        return ZAV_ERR_INVALID_ARG;
    MemberRecord script;
    m_layouts[layout]->GetLayoutFile(&script);
    CopyName(scriptName, script.packageName);
    m_layouts[layout]->GetHeader(header);
    return ZAV_OK;
}

int PZAVUnpackAnalize::GetLayoutFileCounts(int layout, int* accompanying, int* thumbnails, int* pictures,
                                           int* spare) const
{
    if (!ValidLayout(layout))
        return ZAV_ERR_LAYOUT_INDEX;
    if (accompanying == nullptr || thumbnails == nullptr || pictures == nullptr || spare == nullptr)
        return ZAV_ERR_INVALID_ARG;
    const PZAVLayoutFileInfo& entry = *m_layouts[layout];
    *accompanying = (m_index ? 1 : 0) + (m_cameraThumbnail.IsAbsent() ? 0 : 1) + (entry.HasSound() ? 1 : 0);
    *thumbnails = entry.HasThumbnail() ? 1 : 0;
    *pictures = entry.GetPictureCount();
    *spare = 0;
    return ZAV_OK;
}

int PZAVUnpackAnalize::GetMemberFileName(int layout, int kind, int item, MemberRecord* out) const
{
    if (out == nullptr)
        return ZAV_ERR_INVALID_ARG;
    MemberRecord record;
    if (kind >= 1 && kind <= 4 && !ValidLayout(layout))
        return ZAV_ERR_LAYOUT_INDEX;
    switch (kind) {
    case 1:
        if (item != 0)
            return ZAV_ERR_LAYOUT_INDEX;
        m_layouts[layout]->GetLayoutFile(&record);
        break;
    case 2: {
        std::vector<MemberRecord> accompanying;
        if (m_index)
            accompanying.push_back(m_indexRecord);
        if (!m_cameraThumbnail.IsAbsent())
            accompanying.push_back(m_cameraThumbnail);
        if (m_layouts[layout]->HasSound()) {
            accompanying.emplace_back();
            m_layouts[layout]->GetSound(&accompanying.back());
        }
        if (item < 0 || static_cast<std::size_t>(item) >= accompanying.size())
            return ZAV_ERR_LAYOUT_INDEX;
        record = accompanying[item];
        break;
    }
    case 3:
        if (item != 0)
            return ZAV_ERR_LAYOUT_INDEX;
        if (!m_layouts[layout]->HasThumbnail())
            return ZAV_ERR_MEMBER_NOT_FOUND;
        m_layouts[layout]->GetThumbnail(&record);
        break;
    case 4:
        if (int rc = m_layouts[layout]->GetPicture(item, &record))
            return rc;
        break;
    case 5:
        break;
    case 6:
        if (layout != 0 || item != 0)
            return ZAV_ERR_LAYOUT_INDEX;
        if (m_cameraThumbnail.IsAbsent())
            return ZAV_ERR_MEMBER_NOT_FOUND;
        record = m_cameraThumbnail;
        break;
    case 7:
        if (layout != 0 || item != 0)
            return ZAV_ERR_LAYOUT_INDEX;
        if (!m_index)
            return ZAV_ERR_NO_INDEX;
        record = m_indexRecord;
        break;
    default:
        return ZAV_ERR_INVALID_ARG;
    }
    *out = record;
    return ZAV_OK;
}

int PZAVUnpackAnalize::CopyMemberFile(int layout, int kind, int item, void* buffer, int size) const
{
    if (buffer == nullptr || size <= 0)
        return ZAV_ERR_INVALID_ARG;
    MemberRecord record;
    if (int rc = GetMemberFileName(layout, kind, item, &record))
        return rc;
    // Never past the member: the caller's size comes from its record.
    if (static_cast<std::uint32_t>(size) > record.size)
        return ZAV_ERR_INVALID_ARG;
    return m_package.ReadMember(record.packageName, buffer, static_cast<std::uint32_t>(size));
}
