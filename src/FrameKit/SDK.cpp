#include "FrameKit/SDK.h"

#include "FrameKit/Documents.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PaperTable.h"
#include "FrameKit/ValueChecks.h"

#include <cstring>

ZAV_SDK::ZAV_SDK() : m_documents(std::make_unique<ZAVDocuments>(this))
{
}

ZAV_SDK::~ZAV_SDK() = default;

LocationChange* ZAV_SDK::Location() const
{
    return m_documents->GetLocationChange();
}

bool ZAV_SDK::HasSearch() const
{
    return m_documents->GetSearch()->GetState() == ZAV_OK;
}

int ZAV_SDK::SearchLayouts(std::int32_t* count, std::int32_t paperCode, std::int32_t marginMode,
                           const char* folder, std::uint8_t subfolders)
{
    return ZavGuard([&]() -> int {
        if (paperCode < 0 || paperCode >= kZavPaperCount || marginMode < 0 ||
            marginMode >= kZavMarginModeCount)
            return ZAV_ERR_ARGUMENT;
        if (Busy())
            return ZAV_ERR_BUSY;
        return m_documents->GetSearch()->Search(count, paperCode, marginMode, folder, subfolders);
    });
}

int ZAV_SDK::GetSearchResult(std::int32_t index, ZavSearchResult* out)
{
    return ZavGuard([&]() -> int {
        if (!HasSearch())
            return ZAV_ERR_BUSY;
        return m_documents->GetSearch()->GetEntry(index, out);
    });
}

int ZAV_SDK::GetSearchResultCount(std::int32_t* count)
{
    return ZavGuard([&]() -> int {
        if (count == nullptr)
            return ZAV_ERR_ARGUMENT;
        *count = 0;
        if (!HasSearch())
            return ZAV_ERR_BUSY;
        *count = m_documents->GetSearch()->GetMatchCount();
        return ZAV_OK;
    });
}

int ZAV_SDK::GetSearchCondition(std::int32_t* paperCode, std::int32_t* marginMode, char folder[kZavPathSize],
                                std::uint8_t* subfolders)
{
    return ZavGuard([&]() -> int {
        if (!HasSearch())
            return ZAV_ERR_BUSY;
        return m_documents->GetSearch()->GetCondition(paperCode, marginMode, folder, subfolders);
    });
}

int ZAV_SDK::OpenLayout(const char* path)
{
    return ZavGuard([&]() -> int {
        if (Busy())
            return ZAV_ERR_BUSY;
        if (int rc = m_documents->GetDetail()->Load(path))
            return rc;
        return AttachLocationChange();
    });
}

int ZAV_SDK::OpenSearchResult(std::int32_t index)
{
    return ZavGuard([&]() -> int {
        if (!HasSearch())
            return ZAV_ERR_BUSY;
        if (Busy())
            return ZAV_ERR_BUSY;
        char path[kZavPathSize];
        if (!m_documents->GetSearch()->GetLayoutPath(index, path))
            return ZAV_ERR_INDEX;
        return OpenLayout(path);
    });
}

int ZAV_SDK::GetLayoutHeader(LayoutHeaderRecord* out)
{
    return ZavGuard([&]() -> int {
        if (Location() == nullptr)
            return ZAV_ERR_BUSY;
        return m_documents->GetDetail()->GetHeader(out);
    });
}

int ZAV_SDK::GetInsertFrame(std::int32_t order, ZavInsertFrameInfo* out)
{
    return ZavGuard([&]() -> int {
        if (order < 0)
            return ZAV_ERR_INDEX;
        if (Location() == nullptr)
            return ZAV_ERR_BUSY;
        ZavInsertFrame frame;
        if (int rc = m_documents->GetDetail()->GetInsertFrame(order, &frame))
            return rc;
        if (out == nullptr)
            return ZAV_ERR_ARGUMENT;
        const std::int32_t in[4] = {frame.rect.x1, frame.rect.y1, frame.rect.x2, frame.rect.y2};
        std::int32_t converted[4];
        Location()->ConvertRect(1, in, converted);
        *out = {converted[0], converted[1], converted[2], converted[3], frame.frameNumber, frame.itemIndex};
        return ZAV_OK;
    });
}

namespace {

void Convert(const LocationChange& lc, std::int32_t t, const ZavRect& in, ZavRect* out)
{
    const std::int32_t a[4] = {in.x1, in.y1, in.x2, in.y2};
    std::int32_t b[4];
    lc.ConvertRect(t, a, b);
    *out = {b[0], b[1], b[2], b[3]};
}

} // namespace

int ZAV_SDK::GetItem(std::int32_t index, ZavItemRecord* out)
{
    return ZavGuard([&]() -> int {
        if (Location() == nullptr)
            return ZAV_ERR_BUSY;
        if (out == nullptr)
            return ZAV_ERR_ARGUMENT;
        ZAVLayoutDetail& detail = *m_documents->GetDetail();
        if (int rc = detail.GetItem(index, out))
            return rc;
        const LocationChange& lc = *Location();
        if (out->kind == 0) {
            ZavPictureRecord& p = out->picture;
            Convert(lc, 1, p.rect, &p.rectT1);
            Convert(lc, 0, p.rect, &p.rectT0);
            std::uint8_t codes[3];
            std::memcpy(codes, p.codes, 3);
            std::int32_t order = -1;
            std::uint8_t current[3];
            if (detail.GetFrameOrder(index, &order) == ZAV_OK && order >= 0 &&
                GetInsertFrameCodes(order, current) == ZAV_OK)
                lc.RevertCodes(1, current, codes);
            lc.ConvertCodes(1, codes, p.codesT1);
            lc.ConvertCodes(0, codes, p.codesT0);
        } else if (out->kind == 1) {
            ZavLineRecord& l = out->line;
            Convert(lc, 1, l.rect, &l.rectT1);
            Convert(lc, 0, l.rect, &l.rectT0);
            lc.ConvertLength(1, l.width, &l.widthT1);
            lc.ConvertLength(0, l.width, &l.widthT0);
        } else {
            ZavStringRecord& s = out->string;
            Convert(lc, 1, s.rect, &s.rectT1);
            Convert(lc, 0, s.rect, &s.rectT0);
            s.scaleT1 = lc.GetScale(1);
            s.scaleT0 = lc.GetScale(0);
            const std::uint8_t triple[3] = {s.rotation, 0, 0};
            std::uint8_t converted[3];
            lc.ConvertCodes(1, triple, converted);
            s.rotationT1 = converted[0];
            lc.ConvertCodes(0, triple, converted);
            s.rotationT0 = converted[0];
        }
        return ZAV_OK;
    });
}

int ZAV_SDK::GetRawValue(const char* section, const char* key, std::int32_t index, char* buffer,
                         std::int32_t size)
{
    return ZavGuard([&]() -> int {
        if (Location() == nullptr)
            return ZAV_ERR_BUSY;
        return m_documents->GetDetail()->GetRawValue(section, key, index, buffer, size);
    });
}

// Both code queries read three codes of a frame and convert them alike.
template <typename Read> int ZAV_SDK::ConvertedFrameCodes(std::int32_t order, std::uint8_t out[3], Read read)
{
    return ZavGuard([&]() -> int {
        if (order < 0)
            return ZAV_ERR_INDEX;
        if (Location() == nullptr)
            return ZAV_ERR_BUSY;
        std::uint8_t codes[3];
        if (int rc = read(*m_documents->GetDetail(), codes))
            return rc;
        if (out == nullptr)
            return ZAV_ERR_ARGUMENT;
        Location()->ConvertCodes(1, codes, out);
        return ZAV_OK;
    });
}

int ZAV_SDK::GetInsertFrameFileCodes(std::int32_t order, std::uint8_t out[3])
{
    return ConvertedFrameCodes(
        order, out, [order](auto& detail, std::uint8_t* codes) { return detail.GetFileCodes(order, codes); });
}

int ZAV_SDK::GetInsertFrameCodes(std::int32_t order, std::uint8_t out[3])
{
    return ConvertedFrameCodes(order, out, [order](auto& detail, std::uint8_t* codes) {
        return detail.GetCurrentCodes(order, codes);
    });
}

int ZAV_SDK::SetInsertFrameCodes(std::int32_t scope, std::int32_t order, const std::uint8_t codes[3])
{
    return ZavGuard([&]() -> int {
        if (order < 0)
            return ZAV_ERR_INDEX;
        if (scope < 0 || scope > 2 || !IsValidStringStyle(codes))
            return ZAV_ERR_ARGUMENT;
        if (Location() == nullptr || Busy())
            return ZAV_ERR_BUSY;
        std::uint8_t reverted[3];
        Location()->RevertCodes(1, codes, reverted);
        return m_documents->GetDetail()->SetCodes(scope, order, reverted);
    });
}

int ZAV_SDK::SetConversion(std::int32_t target, const ZavConversion* p)
{
    return ZavGuard([&]() -> int {
        if ((target != 0 && target != 1) || p == nullptr || p->rotated > 1 || p->kind > 3)
            return ZAV_ERR_ARGUMENT;
        if ((p->kind == 0 && !(p->resolution > 0.0)) || (p->kind == 1 && !(p->scale > 0.0)) ||
            (p->kind == 2 && (p->width < 1 || p->height < 1)))
            return ZAV_ERR_ARGUMENT;
        if (Location() == nullptr || Busy())
            return ZAV_ERR_BUSY;
        if (!Location()->Accepts(*p))
            return ZAV_ERR_ARGUMENT;
        return Location()->SetConversion(target, *p);
    });
}

int ZAV_SDK::GetConversion(std::int32_t target, ZavConversion* out)
{
    return ZavGuard([&]() -> int {
        if ((target != 0 && target != 1) || out == nullptr)
            return ZAV_ERR_ARGUMENT;
        if (Location() == nullptr)
            return ZAV_ERR_BUSY;
        Location()->GetConversion(target, out);
        return ZAV_OK;
    });
}

int ZAV_SDK::SetInsertFrameValue(std::int32_t order, std::int32_t value)
{
    return ZavGuard([&]() -> int {
        if (order < 0)
            return ZAV_ERR_INDEX;
        if (Location() == nullptr || Busy())
            return ZAV_ERR_BUSY;
        return m_documents->GetDetail()->SetInsertFrameValue(order, value);
    });
}

int ZAV_SDK::CheckBusy(std::int32_t)
{
    return Busy() ? ZAV_ERR_BUSY : ZAV_OK;
}

int ZAV_SDK::IsBusy()
{
    return Busy() ? ZAV_ERR_BUSY : ZAV_OK;
}

int ZAV_SDK::AttachLocationChange()
{
    m_documents->SetLocationChange(nullptr);
    LayoutHeaderRecord header;
    if (int rc = m_documents->GetDetail()->GetHeader(&header))
        return rc;
    return ZavGuard([&]() -> int {
        const bool roll = header.hasOpenHeight && header.paperName[0] == 'R';
        m_documents->SetLocationChange(std::make_unique<LocationChange>(
            this, m_documents.get(), header.paperLength, header.paperWidth, 360.0, header.margins, roll));
        return ZAV_OK;
    });
}

int ZAV_SDK_PACK::OpenLayoutText(const char* folder, std::int32_t length, const char* text)
{
    return ZavGuard([&]() -> int {
        if (Busy())
            return ZAV_ERR_BUSY;
        if (int rc = Documents().GetDetail()->LoadText(folder, length, text))
            return rc;
        return AttachLocationChange();
    });
}

void ZAV_SDK_PACK::GetThumbnailName(char out[256])
{
    if (out != nullptr)
        std::memcpy(out, Documents().GetDetail()->GetThumbnailName(), 256);
}

void ZAV_SDK_PACK::GetSoundName(char out[256])
{
    if (out != nullptr)
        std::memcpy(out, Documents().GetDetail()->GetSoundName(), 256);
}

int ZAV_SDK_PACK::GetItemFileName(std::int32_t itemIndex, char out[256])
{
    return ZavGuard([&] { return Documents().GetDetail()->GetItemFileName(itemIndex, out); });
}

namespace {

// Only an entry that says a photo is given is checked; its path is the host's.
bool ValidPhotos(std::int32_t count, const ZavPhotoEntry* photos)
{
    if (count < 0)
        return false;
    if (count == 0)
        return true;
    if (photos == nullptr)
        return false;
    for (std::int32_t i = 0; i < count; ++i)
        if (photos[i].kind == 0 && (photos[i].width < 1 || photos[i].height < 1 || photos[i].rotation > 3))
            return false;
    return true;
}

} // namespace

int ZAV_SDK::GetPageExtent(ZavExtent* out, std::int32_t target, std::int32_t photoCount,
                           const ZavPhotoEntry* photos)
{
    return ZavGuard([&]() -> int {
        if ((target != 0 && target != 1) || out == nullptr || !ValidPhotos(photoCount, photos))
            return ZAV_ERR_ARGUMENT;
        if (Location() == nullptr)
            return ZAV_ERR_BUSY;
        return m_documents->GetDrawAssist()->GetPageExtent(out, target, photoCount, photos);
    });
}

int ZAV_SDK::SetDrawTarget(ZavDrawTarget* target)
{
    return ZavGuard([&]() -> int {
        if (target == nullptr)
            return ZAV_ERR_ARGUMENT;
        if (Busy())
            return ZAV_ERR_BUSY;
        return m_documents->GetDrawAssist()->SetDrawTarget(target);
    });
}

int ZAV_SDK::DrawLayout(std::int32_t photoCount, const ZavPhotoEntry* photos, void* context)
{
    return ZavGuard([&]() -> int {
        if (!ValidPhotos(photoCount, photos))
            return ZAV_ERR_ARGUMENT;
        if (Location() == nullptr || Busy())
            return ZAV_ERR_BUSY;
        m_drawing = true;
        int rc =
            ZavGuard([&] { return m_documents->GetDrawAssist()->DrawLayout(photoCount, photos, context); });
        m_drawing = false;
        return rc;
    });
}

int ZAV_SDK::DrawLayoutInBands(std::int32_t photoCount, const ZavPhotoEntry* photos, void* context,
                               const ZavBandRecord* bands)
{
    return ZavGuard([&]() -> int {
        if (!ValidPhotos(photoCount, photos) || bands == nullptr || bands->start < 0 ||
            bands->bandHeight < 0 || bands->minimumBand < 0 ||
            (bands->bandHeight != 0 &&
             (bands->start > bands->minimumBand || bands->minimumBand > bands->bandHeight)))
            return ZAV_ERR_ARGUMENT;
        if (Location() == nullptr || Busy())
            return ZAV_ERR_BUSY;
        m_drawing = true;
        int rc = ZavGuard([&] {
            return m_documents->GetDrawAssist()->DrawLayoutInBands(photoCount, photos, context, *bands);
        });
        m_drawing = false;
        return rc;
    });
}

int ZAV_SDK::PlacePicture(const ZavPlacementRecord* r, ZavPlacement* out)
{
    return ZavGuard([&]() -> int {
        if (r == nullptr || out == nullptr || r->photoWidth < 1 || r->photoHeight < 1 || r->fitMode > 3 ||
            r->x1 > r->x2 || r->y1 > r->y2 || r->rotation > 3 || r->scaling > 2 || r->anchor > 8)
            return ZAV_ERR_ARGUMENT;
        return m_documents->GetDrawAssist()->PlacePicture(*r, out);
    });
}
