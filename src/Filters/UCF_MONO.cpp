#include "UCF_MONO.h"

#include "FilterErrorCode.h"
#include "SampleAccess.h"

#include <cstring>
#include <new>

namespace {
constexpr char kName[] = "Monolize FILTER";
} // namespace

UCF_MONO::UCF_MONO(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_MONO::~UCF_MONO() = default;

int32_t UCF_MONO::GetInfo(const ImageDescriptor* source, int32_t parameterSize, const void* parameters,
                          FilterInfo* info)
{
    UCFilter::GetInfo(source, parameterSize, parameters, info);
    std::memset(info->name, 0, sizeof(info->name));
    std::memcpy(info->name, kName, sizeof(kName));
    info->word16 = 1;
    info->overlap = 0;
    info->word20 = info->word21 = info->word22 = 0;
    info->workBytes = info->word24 = info->word25 = 0;
    return UCF_OK;
}

int32_t UCF_MONO::ProcessStrip(const FilterJob& job)
{
    const PixelLayout& s = job.source;
    const PixelLayout& d = job.destination;
    if (job.sameFormat != 1 || s.format == UCF_FMT_GRAY16)
        return UCF_OK;
    if (d.regionWidth != s.regionWidth || d.regionHeight != s.regionHeight)
        return UCF_ERR_GEOMETRY;
    const bool eightBit = (s.format & UCF_FORMATS_8BIT) != 0;
    const uint8_t* srcRow = s.pixels;
    uint8_t* dstRow = d.pixels;
    const int32_t total = m_descriptor.regionHeight > 0 ? m_descriptor.regionHeight : 1;
    for (int32_t y = 0; y < s.regionHeight; ++y, srcRow += s.rowBytes, dstRow += d.rowBytes) {
        if (eightBit)
            ProcessRows8(srcRow, dstRow, s.regionWidth, s.red, s.green, s.blue, s.bytesPerPixel,
                         d.bytesPerPixel);
        else
            ProcessRows16(srcRow, dstRow, s.regionWidth, s.red, s.green, s.blue, s.bytesPerPixel,
                          d.bytesPerPixel, s.byteSwap16);
        ++m_rowCounter;
        if (ReportProgress(static_cast<int32_t>(int64_t{m_rowCounter} * 100 / total)))
            return UCF_ERR_CANCELLED;
    }
    return UCF_OK;
}

void UCF_MONO::ProcessRows8(const uint8_t* source, uint8_t* destination, int32_t width, int32_t red,
                            int32_t green, int32_t blue, int32_t sourceStep, int32_t destinationStep)
{
    for (int32_t x = 0; x < width; ++x, source += sourceStep, destination += destinationStep) {
        const auto grey = static_cast<uint8_t>((source[red] + source[green] + source[blue]) / 3);
        destination[red] = grey;
        destination[green] = grey;
        destination[blue] = grey;
    }
}

void UCF_MONO::ProcessRows16(const uint8_t* source, uint8_t* destination, int32_t width, int32_t red,
                             int32_t green, int32_t blue, int32_t sourceStep, int32_t destinationStep,
                             int32_t byteSwap16)
{
    const bool swap = byteSwap16 != 0;
    for (int32_t x = 0; x < width; ++x, source += sourceStep, destination += destinationStep) {
        const uint32_t sum = Load16(source + 2 * red, swap) + Load16(source + 2 * green, swap) +
                             Load16(source + 2 * blue, swap);
        const uint32_t grey = sum / 3;
        Store16(destination + 2 * red, grey, swap);
        Store16(destination + 2 * green, grey, swap);
        Store16(destination + 2 * blue, grey, swap);
    }
}

std::unique_ptr<UCFilter> CreateMonoFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new (std::nothrow) UCF_MONO(owner));
}
