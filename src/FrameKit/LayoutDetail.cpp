#include "FrameKit/LayoutDetail.h"

#include "FrameKit/Documents.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PaperTable.h"
#include "FrameKit/Parser.h"
#include "FrameKit/PathResolve.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>

namespace {

constexpr std::size_t kValueBuffer = 513;
constexpr std::size_t kDrawLineBuffer = 600; // a name and a full value

// Copies a header text of at most maxBytes; a longer one gives 6100 rather
// than a cut. present is false (and out untouched) when the key is missing.
int ReadText(const ZAVParser& parser, const char* key, char* out, std::size_t maxBytes, bool strip,
             bool* present = nullptr)
{
    char v[kValueBuffer];
    const bool found = parser.GetValue("HEADER", key, v, sizeof v, -1, strip);
    if (present != nullptr)
        *present = found;
    if (!found)
        return ZAV_OK;
    const std::size_t len = std::strlen(v);
    if (len > maxBytes)
        return ZAV_ERR_ARGUMENT;
    std::memcpy(out, v, len + 1);
    return ZAV_OK;
}

std::uint8_t PossibleFlag(const ZAVParser& parser, const char* key)
{
    char v[kValueBuffer];
    return parser.GetValue("HEADER", key, v, sizeof v, -1, false) && std::strcmp(v, "Possible") == 0 ? 1 : 0;
}

// A host folder made absolute here, so that references never resolve
// against whatever the working directory is later.
int AbsoluteFolder(const char* folder, std::string& out)
{
    if (folder == nullptr || !IsTerminatedWithin(folder, kZavPathSize))
        return ZAV_ERR_ARGUMENT;
    out = std::filesystem::absolute(folder).lexically_normal().string();
    if (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out.size() < kZavPathSize ? ZAV_OK : ZAV_ERR_ARGUMENT;
}

} // namespace

ZAVLayoutDetail::ZAVLayoutDetail(ZAVDocuments* owner) : m_owner(owner)
{
}

ZAVLayoutDetail::~ZAVLayoutDetail() = default;

std::string& ZAVLayoutDetail::Folder()
{
    return m_owner != nullptr ? m_owner->CurrentLayoutFolder() : m_ownFolder;
}

void ZAVLayoutDetail::Clear()
{
    m_header = LayoutHeaderRecord();
    std::memset(m_thumbnailName, 0, sizeof m_thumbnailName);
    std::memset(m_soundName, 0, sizeof m_soundName);
    m_items.clear();
    m_rawParser.reset();
}

int ZAVLayoutDetail::Load(const char* path)
{
    int rc = ZavGuard([&]() -> int {
        if (path == nullptr || !IsTerminatedWithin(path, kZavPathSize) || path[0] == '\0')
            return ZAV_ERR_ARGUMENT;
        std::string absolute = std::filesystem::absolute(path).string();
        if (absolute.size() >= kZavPathSize)
            return ZAV_ERR_ARGUMENT;
        std::string folder;
        if (int r = AbsoluteFolder(std::filesystem::path(absolute).parent_path().c_str(), folder))
            return r;
        Clear();
        m_text.clear();
        std::memset(m_path, 0, sizeof m_path);
        std::memcpy(m_path, absolute.c_str(), absolute.size());
        return Read(folder, nullptr);
    });
    if (rc != ZAV_OK) {
        Clear();
        std::memset(m_path, 0, sizeof m_path);
    }
    return rc;
}

int ZAVLayoutDetail::LoadText(const char* folder, std::int32_t length, const char* text)
{
    int rc = ZavGuard([&]() -> int {
        if (length < 0 || (text == nullptr && length > 0))
            return ZAV_ERR_ARGUMENT;
        std::string absolute;
        if (int r = AbsoluteFolder(folder, absolute))
            return r;
        Clear();
        std::memset(m_path, 0, sizeof m_path);
        m_text.assign(text == nullptr ? "" : text, static_cast<std::size_t>(length));
        return Read(absolute, &m_text);
    });
    if (rc != ZAV_OK) {
        Clear();
        m_text.clear();
    }
    return rc;
}

int ZAVLayoutDetail::Read(const std::string& folder, const std::string* text)
{
    Folder() = folder;
    ZAVParser parser(m_path);
    int rc =
        text != nullptr ? parser.ParseMemory(text->data(), text->size(), nullptr) : parser.Parse(nullptr);
    if (rc == ZAV_OK)
        rc = ReadPage(parser);
    if (rc == ZAV_OK)
        rc = ReadHeader(parser);
    if (rc != ZAV_OK)
        return rc;
    Summarise();
    NumberInsertFrames();
    return ZAV_OK;
}

int ZAVLayoutDetail::ReadPage(const ZAVParser& parser)
{
    char line[kDrawLineBuffer];
    int kind = 0;
    for (int i = 0; parser.GetCallLine("PAGE", i, line, sizeof line, &kind); ++i) {
        std::unique_ptr<ZAVDrawObject> item;
        if (kind == 1)
            item = std::make_unique<ZAVPictureObject>(Folder());
        else if (kind == 2)
            item = std::make_unique<ZAVStringObject>(Folder());
        else if (kind == 3)
            item = std::make_unique<ZAVLineObject>();
        else
            continue;
        if (int rc = item->Parse(line, sizeof line))
            return rc;
        m_items.push_back(std::move(item));
    }
    return ZAV_OK;
}

int ZAVLayoutDetail::ReadHeader(const ZAVParser& parser)
{
    LayoutHeaderRecord& h = m_header;
    if (int rc = parser.GetRevisionMajor(&h.revisionMajor))
        return rc;
    if (int rc = parser.GetRevisionMinor(&h.revisionMinor))
        return rc;
    if (h.revisionMajor != 2)
        return ZAV_ERR_HEADER;
    int direction = 0;
    if (int rc = parser.GetDirection(&direction))
        return rc;
    h.direction = static_cast<std::uint8_t>(direction);
    if (int rc = parser.GetMargins(&h.margins[0], &h.margins[1], &h.margins[2], &h.margins[3]))
        return rc;
    char paper[kValueBuffer];
    if (!parser.GetValue("HEADER", "HdPhysicalPaperSize", paper, sizeof paper, -1, false))
        return ZAV_ERR_SYNTAX;
    const bool paperKnown = std::strlen(paper) < sizeof h.paperName && GetPaperSize(paper, nullptr, nullptr);
    if (paperKnown)
        std::strcpy(h.paperName, paper);

    struct Text
    {
        const char* key;
        char* out;
        std::size_t max;
        bool strip;
    } texts[] = {
        {"HdAuthor", h.author, kZavHeaderTextBytes, true},
        {"HdCopyright", h.copyright, kZavHeaderTextBytes, true},
        {"HdKeyWord", h.keyword, kZavHeaderTextBytes, false},
        {"HdTitle", h.title, kZavHeaderTextBytes, true},
        {"HdComment", h.comment, kZavHeaderTextBytes, true},
        {"HdThumbnail", m_thumbnailName, 255, true},
        {"HdSound", m_soundName, 255, true},
        {"HdApplication", h.application, 256, true},
    };
    for (const Text& t : texts)
        if (int rc = ReadText(parser, t.key, t.out, t.max, t.strip))
            return rc;
    h.copyFlag = PossibleFlag(parser, "HdCopyFlag");
    h.changeFlag = PossibleFlag(parser, "HdChangeFlag");
    if (m_thumbnailName[0] != '\0')
        if (int rc = ResolveRelativePath(m_thumbnailName, Folder().c_str(), h.thumbnailPath))
            return rc;
    if (m_soundName[0] != '\0')
        if (int rc = ResolveRelativePath(m_soundName, Folder().c_str(), h.soundPath))
            return rc;
    char v[kValueBuffer];
    if (parser.GetValue("HEADER", "HdCapacity", v, sizeof v, -1, false))
        h.capacity = ZavDecimal(v);
    if (parser.GetValue("HEADER", "HdRollPaperLength", v, sizeof v, -1, false))
        h.rollPaperLength = ZavDecimal(v);
    h.resolution = 360.0;
    if (!paperKnown)
        return ZAV_ERR_SYNTAX;
    GetPaperSize(h.paperName, &h.paperLength, &h.paperWidth);
    return ZAV_OK;
}

void ZAVLayoutDetail::Summarise()
{
    LayoutHeaderRecord& h = m_header;
    std::set<std::int32_t> frames;
    h.itemCount = static_cast<std::int32_t>(m_items.size());
    for (const auto& item : m_items) {
        switch (item->GetKind()) {
        case 0: {
            const auto& p = static_cast<const ZAVPictureObject&>(*item);
            if (p.isFixed) {
                ++h.fixedPictureCount;
            } else {
                ++h.insertPictureCount;
                if (!frames.insert(p.frameNumber).second)
                    h.duplicateFrameNumber = 1;
            }
            h.hasEffPicture |= p.isEff;
            h.hasOpenHeight |= p.openHeight;
            break;
        }
        case 1:
            ++h.lineCount;
            break;
        case 2:
            ++h.stringCount;
            break;
        }
    }
    h.insertFrameCount = static_cast<std::int32_t>(frames.size());
}

// Orders follow the frame numbers 1, 2, ... and file order within a number.
// The numbers are visited as they occur rather than counted up to the
// largest, which a hostile file could set to two billion.
void ZAVLayoutDetail::NumberInsertFrames()
{
    std::set<std::int32_t> numbers;
    for (const auto& item : m_items)
        if (item->GetKind() == 0) {
            const auto& p = static_cast<const ZAVPictureObject&>(*item);
            if (!p.isFixed && p.frameNumber >= 1)
                numbers.insert(p.frameNumber);
        }
    std::int32_t next = 0;
    for (std::int32_t n : numbers)
        for (const auto& item : m_items)
            if (item->GetKind() == 0) {
                auto& p = static_cast<ZAVPictureObject&>(*item);
                if (!p.isFixed && p.frameNumber == n)
                    p.order = next++;
            }
}

int ZAVLayoutDetail::GetHeader(LayoutHeaderRecord* out) const
{
    if (out == nullptr)
        return ZAV_ERR_ARGUMENT;
    *out = m_header;
    return ZAV_OK;
}

ZAVPictureObject* ZAVLayoutDetail::Picture(std::int32_t itemIndex) const
{
    if (itemIndex < 0 || itemIndex >= GetItemCount() || m_items[itemIndex]->GetKind() != 0)
        return nullptr;
    return static_cast<ZAVPictureObject*>(m_items[itemIndex].get());
}

int ZAVLayoutDetail::GetItem(std::int32_t index, ZavItemRecord* out) const
{
    return ZavGuard([&]() -> int {
        if (index < 0 || index >= GetItemCount())
            return ZAV_ERR_ITEM_INDEX;
        if (out == nullptr)
            return ZAV_ERR_ARGUMENT;
        *out = ZavItemRecord();
        const ZAVDrawObject& item = *m_items[index];
        out->kind = static_cast<std::uint8_t>(item.GetKind());
        if (item.GetKind() == 0) {
            const auto& p = static_cast<const ZAVPictureObject&>(item);
            out->picture.frameNumber = p.frameNumber;
            out->picture.rect = p.rect;
            std::memcpy(out->picture.codes, p.codes, 3);
            std::memcpy(out->picture.filePath, p.filePath, sizeof p.filePath);
            out->picture.openHeight = p.openHeight;
        } else if (item.GetKind() == 1) {
            const auto& l = static_cast<const ZAVLineObject&>(item);
            out->line.rect = l.rect;
            out->line.width = l.width;
            std::memcpy(out->line.color, l.color, 3);
        } else {
            const auto& s = static_cast<const ZAVStringObject&>(item);
            std::memcpy(out->string.filePath, s.filePath, sizeof s.filePath);
            out->string.frameNumber = s.frameNumber;
            std::memcpy(out->string.text, s.text, sizeof s.text);
            out->string.rect = s.rect;
            out->string.rotation = s.rotation;
            std::memcpy(out->string.fontName, s.fontName, sizeof s.fontName);
            out->string.style = s.style;
            std::memcpy(out->string.color, s.color, 3);
        }
        return ZAV_OK;
    });
}

std::int32_t ZAVLayoutDetail::FindInsertFrame(std::int32_t order) const
{
    for (std::int32_t i = 0; i < GetItemCount(); ++i) {
        const ZAVPictureObject* p = Picture(i);
        if (p != nullptr && !p->isFixed && p->order == order)
            return i;
    }
    return -1;
}

int ZAVLayoutDetail::GetInsertFrame(std::int32_t order, ZavInsertFrame* out) const
{
    const std::int32_t i = order < 0 ? -1 : FindInsertFrame(order);
    if (i < 0)
        return ZAV_ERR_INDEX;
    if (out == nullptr)
        return ZAV_ERR_ARGUMENT;
    const ZAVPictureObject* p = Picture(i);
    out->rect = p->rect;
    out->frameNumber = p->frameNumber;
    out->itemIndex = i;
    return ZAV_OK;
}

int ZAVLayoutDetail::GetFrameOrder(std::int32_t itemIndex, std::int32_t* order) const
{
    const ZAVPictureObject* p = Picture(itemIndex);
    if (p == nullptr || p->isFixed)
        return ZAV_ERR_ITEM_INDEX;
    if (order == nullptr)
        return ZAV_ERR_ARGUMENT;
    *order = p->order;
    return ZAV_OK;
}

int ZAVLayoutDetail::GetFileCodes(std::int32_t order, std::uint8_t out[3]) const
{
    const std::int32_t i = order < 0 ? -1 : FindInsertFrame(order);
    if (i < 0)
        return ZAV_ERR_INDEX;
    std::memcpy(out, Picture(i)->codes, 3);
    return ZAV_OK;
}

int ZAVLayoutDetail::GetCurrentCodes(std::int32_t order, std::uint8_t out[3]) const
{
    const std::int32_t i = order < 0 ? -1 : FindInsertFrame(order);
    if (i < 0)
        return ZAV_ERR_INDEX;
    std::memcpy(out, Picture(i)->currentCodes, 3);
    return ZAV_OK;
}

int ZAVLayoutDetail::SetCodes(std::int32_t scope, std::int32_t order, const std::uint8_t codes[3])
{
    if (scope < 0 || scope > 2 || codes == nullptr)
        return ZAV_ERR_ARGUMENT;
    if (scope == 0) {
        for (std::int32_t i = 0; i < GetItemCount(); ++i)
            if (ZAVPictureObject* p = Picture(i))
                std::memcpy(p->currentCodes, codes, 3);
        return ZAV_OK;
    }
    const std::int32_t found = order < 0 ? -1 : FindInsertFrame(order);
    if (found < 0)
        return ZAV_ERR_INDEX;
    if (scope == 1) {
        std::memcpy(Picture(found)->currentCodes, codes, 3);
        return ZAV_OK;
    }
    const std::int32_t number = Picture(found)->frameNumber;
    for (std::int32_t i = 0; i < GetItemCount(); ++i) {
        ZAVPictureObject* p = Picture(i);
        if (p != nullptr && !p->isFixed && p->frameNumber == number)
            std::memcpy(p->currentCodes, codes, 3);
    }
    return ZAV_OK;
}

int ZAVLayoutDetail::SetInsertFrameValue(std::int32_t order, std::int32_t value)
{
    const std::int32_t i = order < 0 ? -1 : FindInsertFrame(order);
    if (i < 0)
        return ZAV_ERR_INDEX;
    Picture(i)->value = value;
    return ZAV_OK;
}

int ZAVLayoutDetail::SetItemValue(std::int32_t itemIndex, std::int32_t value)
{
    ZAVPictureObject* p = Picture(itemIndex);
    if (p == nullptr)
        return ZAV_ERR_ITEM_INDEX;
    p->value = value;
    return ZAV_OK;
}

std::int32_t ZAVLayoutDetail::GetItemValue(std::int32_t itemIndex, int* code) const
{
    const ZAVPictureObject* p = Picture(itemIndex);
    if (code != nullptr)
        *code = p == nullptr ? ZAV_ERR_ITEM_INDEX : ZAV_OK;
    return p == nullptr ? 0 : p->value;
}

int ZAVLayoutDetail::GetItemFileName(std::int32_t itemIndex, char out[256]) const
{
    const ZAVPictureObject* p = Picture(itemIndex);
    if (p == nullptr)
        return ZAV_ERR_ITEM_INDEX;
    if (out == nullptr)
        return ZAV_ERR_ARGUMENT;
    std::memcpy(out, p->fileName, sizeof p->fileName);
    return ZAV_OK;
}

void ZAVLayoutDetail::GetNames(char out[512]) const
{
    std::memcpy(out, m_thumbnailName, 256);
    std::memcpy(out + 256, m_soundName, 256);
}

int ZAVLayoutDetail::GetRawValue(const char* section, const char* key, std::int32_t index, char* buffer,
                                 std::int32_t size)
{
    return ZavGuard([&]() -> int {
        if (section == nullptr || buffer == nullptr || size < 1)
            return ZAV_ERR_ARGUMENT;
        buffer[0] = '\0';
        if (m_rawParser == nullptr) {
            auto parser = std::make_unique<ZAVParser>(m_path);
            int rc = m_path[0] != '\0' ? parser->Parse(nullptr)
                                       : parser->ParseMemory(m_text.data(), m_text.size(), nullptr);
            if (rc != ZAV_OK)
                return rc;
            m_rawParser = std::move(parser);
        }
        char v[kDrawLineBuffer];
        int kind = 0;
        const bool found = key != nullptr ? m_rawParser->GetValue(section, key, v, sizeof v, index, false)
                                          : m_rawParser->GetCallLine(section, index, v, sizeof v, &kind);
        const std::size_t len = found ? std::strlen(v) : 0;
        if (!found || len > static_cast<std::size_t>(size) - 1)
            return ZAV_ERR_ARGUMENT;
        std::memcpy(buffer, v, len + 1);
        return ZAV_OK;
    });
}
