#include "UCF_BLURMASK.h"

#include "FilterErrorCode.h"
#include "UCF_MERGE.h"
#include "UtilFilter.h"

#include <cstring>
#include <new>

namespace {
constexpr char kBlurMaskName[] = "Blur Mask FILTER";
constexpr int32_t kBlockBytes = 16;

int32_t ReadBlock(int32_t parameterSize, const void* parameters, int32_t words[4])
{
    if (parameterSize != kBlockBytes || !parameters)
        return UCF_ERR_BADPARAM;
    std::memcpy(words, parameters, kBlockBytes);
    return words[0] < 2 ? UCF_ERR_BADPARAM : UCF_OK;
}
} // namespace

UCF_BLURMASK::UCF_BLURMASK(UtilFilter* owner) : UCF_SGAUSS(owner)
{
    m_truncateColour = true;
}

UCF_BLURMASK::~UCF_BLURMASK() = default;

int32_t UCF_BLURMASK::GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                              FilterInfo* info)
{
    int32_t words[4];
    if (int32_t rc = ReadBlock(parameterSize, parameters, words))
        return rc;
    // Overlap and work bytes are the blur's.
    if (int32_t rc = UCF_SGAUSS::GetInfo(source, 8, parameters, info))
        return rc;
    FillSecondImageInfo(info, kBlurMaskName, sizeof(kBlurMaskName));
    return UCF_OK;
}

int32_t UCF_BLURMASK::SetSecondImage(void* sizeAndDescriptor)
{
    return HoldGreySecondImage(sizeAndDescriptor, m_mask, m_hasMask);
}

int32_t UCF_BLURMASK::BeginApply()
{
    const FilterContext* context = m_owner->GetContext();
    int32_t words[4];
    if (int32_t rc = ReadBlock(context ? context->parameterSize : 0, m_parameters, words))
        return rc;
    if (m_hasMask) {
        if (int32_t rc = CheckMaskCovers(m_mask, m_descriptor))
            return rc;
    } else {
        m_merge.reset(new (std::nothrow) UCFilterMerge(words[2], words[3], nullptr));
        if (!m_merge || !m_merge->HasTables()) {
            m_merge.reset();
            return UCF_ERR_NOBUFFER;
        }
    }
    return UCF_SGAUSS::BeginApply();
}

int32_t UCF_BLURMASK::ApplyStrip()
{
    FilterJob job;
    if (int32_t rc = BuildFilterJob(m_source, m_destination, &job))
        return rc;
    if (job.destination.regionWidth != job.source.regionWidth)
        return UCF_ERR_GEOMETRY;
    if (job.destination.format != job.source.format)
        return UCF_ERR_FORMATMISMATCH;
    return UCF_SGAUSS::ApplyStrip();
}

int32_t UCF_BLURMASK::FinishRow(const FilterJob& job, uint8_t* row, const uint8_t* unblurred, int64_t index)
{
    const PixelLayout& d = job.destination;
    const int32_t* source = ColourIndex();
    const int32_t step = job.source.bytesPerPixel;
    const int32_t width = d.regionWidth;
    if (m_hasMask) {
        if (index < 0 || index >= m_mask.regionHeight)
            return UCF_ERR_BADPARAM;
        const uint8_t* mask = DescriptorRow(m_mask, index);
        // Every sample but alpha is a colour one, in the same place in both rows.
        if (d.bytesPerPixel == step && job.source.format == d.format &&
            ((step == 3 && d.alpha < 0) || (step == 4 && d.alpha >= 0))) {
            BlurMixMasked(row, unblurred, mask, width, step, d.alpha);
            return UCF_OK;
        }
        for (int32_t x = 0; x < width; ++x, row += d.bytesPerPixel, unblurred += step) {
            const uint32_t m = mask[x];
            row[d.red] = static_cast<uint8_t>((row[d.red] * m + unblurred[source[0]] * (256 - m)) >> 8);
            row[d.green] = static_cast<uint8_t>((row[d.green] * m + unblurred[source[1]] * (256 - m)) >> 8);
            row[d.blue] = static_cast<uint8_t>((row[d.blue] * m + unblurred[source[2]] * (256 - m)) >> 8);
        }
        return UCF_OK;
    }
    for (int32_t x = 0; x < width; ++x, row += d.bytesPerPixel, unblurred += step) {
        uint8_t r = unblurred[source[0]];
        uint8_t g = unblurred[source[1]];
        uint8_t b = unblurred[source[2]];
        m_merge->BlendPixel(&r, &g, &b, row[d.red], row[d.green], row[d.blue]);
        row[d.red] = r;
        row[d.green] = g;
        row[d.blue] = b;
    }
    return UCF_OK;
}

int32_t UCF_BLURMASK::EndApply()
{
    m_merge.reset();
    return UCF_SGAUSS::EndApply();
}

std::unique_ptr<UCFilter> CreateBlurMaskFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_BLURMASK(owner));
}
