#include "PixelLayout.h"

#include "FilterErrorCode.h"

namespace {

struct FormatRow
{
    int32_t code, samples, bytes, red, green, blue, alpha;
};

constexpr FormatRow kFormats[] = {
    {1, 1, 1, 0, 0, 0, -1}, {2, 3, 1, 0, 1, 2, -1},  {4, 3, 1, 2, 1, 0, -1},  {8, 4, 1, 2, 1, 0, 3},
    {16, 4, 1, 1, 2, 3, 0}, {32, 1, 2, 0, 0, 0, -1}, {64, 3, 2, 0, 1, 2, -1},
};

const FormatRow* FindFormat(int32_t code)
{
    for (const FormatRow& row : kFormats)
        if (row.code == code)
            return &row;
    return nullptr;
}

} // namespace

int32_t DecodeFormat(int32_t format, int32_t* samples, int32_t* bytesPerSample)
{
    const FormatRow* row = FindFormat(format);
    *samples = row ? row->samples : 0;
    *bytesPerSample = row ? row->bytes : 0;
    return row ? UCF_OK : UCF_ERR_UNSUPPORTED;
}

int32_t DecodePixelFormat(const ImageDescriptor* descriptor, PixelLayout* layout)
{
    *layout = PixelLayout{};
    if (!descriptor)
        return UCF_ERR_NODESCRIPTOR;
    const FormatRow* row = FindFormat(descriptor->format);
    if (!row)
        return UCF_ERR_UNSUPPORTED;
    layout->format = row->code;
    layout->samples = row->samples;
    layout->bytesPerSample = row->bytes;
    layout->bytesPerPixel = row->samples * row->bytes;
    layout->byteSwap16 = descriptor->byteSwap16;
    layout->pixels = descriptor->pixels;
    layout->rowBytes = descriptor->rowBytes;
    layout->regionWidth = descriptor->regionWidth;
    layout->regionHeight = descriptor->regionHeight;
    layout->red = row->red;
    layout->green = row->green;
    layout->blue = row->blue;
    layout->alpha = row->alpha;
    if (descriptor->pixels)
        for (int32_t i = 0; i < row->samples; ++i)
            layout->sample[i] = descriptor->pixels + i * row->bytes;
    return UCF_OK;
}

int32_t BuildFilterJob(const ImageDescriptor* source, const ImageDescriptor* destination, FilterJob* job)
{
    *job = FilterJob{};
    if (int32_t rc = DecodePixelFormat(source, &job->source))
        return rc;
    if (source->isStrip) {
        job->stripColumn = source->stripColumn;
        job->stripRow = source->stripTop;
    }
    if (!destination || !destination->pixels) {
        job->destination = job->source;
        return UCF_OK;
    }
    job->sameFormat = destination->format == source->format;
    job->sameSize =
        destination->regionWidth == source->regionWidth && destination->regionHeight == source->regionHeight;
    job->sameMatchWord = destination->matchWordA == source->matchWordA;
    job->sameByteSwap = destination->byteSwap16 == source->byteSwap16;
    return DecodePixelFormat(destination, &job->destination);
}
