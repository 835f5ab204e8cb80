#include "UCF_CMM.h"

#include "FilterErrorCode.h"

#include <cstring>
#include <new>

namespace {
constexpr char kName[] = "CMM FILTER";
constexpr int32_t kFormats = UCF_FMT_RGB24 | UCF_FMT_BGR24 | UCF_FMT_BGRA32 | UCF_FMT_ARGB32 | UCF_FMT_RGB48;
} // namespace

UCF_CMM::UCF_CMM(UtilFilter* owner) : UCFilter(owner)
{
}

int32_t UCF_CMM::GetInfo(const ImageDescriptor*, int32_t, const void*, FilterInfo* info)
{
    *info = FilterInfo{};
    std::memcpy(info->name, kName, sizeof(kName));
    info->word16 = 1;
    info->word17 = 3;
    info->formatMask = kFormats;
    return UCF_OK;
}

int32_t UCF_CMM::ProcessStrip(const FilterJob& job)
{
    // A destination the run could not fill is refused as the writing filters refuse it.
    if (job.destination.regionWidth != job.source.regionWidth ||
        job.destination.regionHeight != job.source.regionHeight)
        return UCF_ERR_GEOMETRY;
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateCmmFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_CMM(owner));
}
