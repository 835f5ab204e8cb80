#include "UCF_MERGE.h"

#include "FilterErrorCode.h"
#include "UtilFilter.h"

#include <cstring>

namespace {
constexpr char kMergeName[] = "Merge FILTER";
constexpr int32_t kMergeBlockBytes = 11;
} // namespace

int32_t TakeGreySecondImage(const void* sizeAndDescriptor, ImageDescriptor* copy)
{
    if (!sizeAndDescriptor)
        return UCF_ERR_BADPARAM;
    struct Pair
    {
        int64_t size;
        const ImageDescriptor* descriptor;
    };
    Pair pair;
    std::memcpy(&pair, sizeAndDescriptor, sizeof(pair));
    if (pair.size != static_cast<int64_t>(sizeof(ImageDescriptor)) || !pair.descriptor)
        return UCF_ERR_BADPARAM;
    if (pair.descriptor->format != UCF_FMT_GRAY8)
        return UCF_ERR_UNSUPPORTED;
    *copy = *pair.descriptor;
    return UCF_OK;
}

int32_t HoldGreySecondImage(const void* sizeAndDescriptor, ImageDescriptor& held, bool& isHeld)
{
    ImageDescriptor copy;
    if (int32_t rc = TakeGreySecondImage(sizeAndDescriptor, &copy))
        return rc;
    held = copy;
    isHeld = true;
    return UCF_OK;
}

void FillSecondImageInfo(FilterInfo* info, const char* name, std::size_t nameBytes)
{
    std::memset(info->name, 0, sizeof(info->name));
    std::memcpy(info->name, name, nameBytes);
    info->word16 = 1;
    info->word17 = 1;
    info->formatMask = UCF_FMT_RGB24 | UCF_FMT_BGR24 | UCF_FMT_BGRA32 | UCF_FMT_ARGB32;
}

int32_t CheckMaskCovers(const ImageDescriptor& mask, const ImageDescriptor& image)
{
    if (!mask.pixels || mask.regionWidth < image.regionWidth || mask.regionHeight < image.regionHeight)
        return UCF_ERR_BADPARAM;
    // Rows are addressed through rowBytes, so it must hold a region row.
    if (mask.rowBytes < mask.regionWidth)
        return UCF_ERR_BADPARAM;
    return UCF_OK;
}

UCF_MERGE::UCF_MERGE(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_MERGE::~UCF_MERGE() = default;

int32_t UCF_MERGE::GetInfo(const ImageDescriptor*, int32_t, const void*, FilterInfo* info)
{
    *info = FilterInfo{};
    FillSecondImageInfo(info, kMergeName, sizeof(kMergeName));
    info->overlap = 0;
    info->workBytes = 65536;
    return UCF_OK;
}

int32_t UCF_MERGE::SetSecondImage(void* sizeAndDescriptor)
{
    return HoldGreySecondImage(sizeAndDescriptor, m_mask, m_hasMask);
}

int32_t UCF_MERGE::BeginApply()
{
    if (!m_hasMask)
        return UCF_ERR_NOSECONDIMAGE;
    const FilterContext* context = m_owner->GetContext();
    if (!context || context->parameterSize < kMergeBlockBytes || !m_parameters)
        return UCF_ERR_BADPARAM;
    if (int32_t rc = CheckMaskCovers(m_mask, m_descriptor))
        return rc;
    const auto* block = static_cast<const uint8_t*>(m_parameters);
    int32_t mode = 0;
    int32_t opacity = 0;
    std::memcpy(&mode, block, 4);
    std::memcpy(&opacity, block + 4, 4);
    m_merge = std::make_unique<UCFilterMerge>(mode, opacity, block + 8);
    if (!m_merge->HasTables()) {
        m_merge.reset();
        return UCF_ERR_NOBUFFER;
    }
    return UCF_OK;
}

int32_t UCF_MERGE::ProcessStrip(const FilterJob& job)
{
    if (!m_merge)
        return UCF_ERR_NOBUFFER;
    const PixelLayout& s = job.source;
    const PixelLayout& d = job.destination;
    if (job.sameFormat != 1)
        return UCF_ERR_FORMATMISMATCH;
    if (d.regionWidth != s.regionWidth || d.regionHeight != s.regionHeight)
        return UCF_ERR_GEOMETRY;
    for (int32_t y = 0; y < s.regionHeight; ++y) {
        const int64_t maskRow = int64_t{job.stripRow} + y;
        if (maskRow < 0 || maskRow >= m_mask.regionHeight)
            return UCF_ERR_BADPARAM;
        m_merge->BlendRowWithMask(s.pixels + static_cast<int64_t>(y) * s.rowBytes, s.red, s.green, s.blue,
                                  s.bytesPerPixel, DescriptorRow(m_mask, maskRow),
                                  d.pixels + static_cast<int64_t>(y) * d.rowBytes, d.red, d.green, d.blue,
                                  d.bytesPerPixel, s.regionWidth);
    }
    return UCF_OK;
}

int32_t UCF_MERGE::EndApply()
{
    m_merge.reset();
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateMergeFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new UCF_MERGE(owner));
}
