#include "UCF_TEXTURE.h"

#include "FilterErrorCode.h"
#include "UCF_MERGE.h"
#include "UtilFilter.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr char kTextureName[] = "Txture FILTER";
constexpr int32_t kTextureBlockBytes = 12;
constexpr int32_t kToneTableBuffer = 0;
} // namespace

UCF_TEXTURE::UCF_TEXTURE(UtilFilter* owner) : UCFilter(owner)
{
}

UCF_TEXTURE::~UCF_TEXTURE() = default;

int32_t UCF_TEXTURE::GetInfo(const ImageDescriptor*, int32_t, const void*, FilterInfo* info)
{
    *info = FilterInfo{};
    FillSecondImageInfo(info, kTextureName, sizeof(kTextureName));
    info->overlap = 0;
    info->workBytes = 65536;
    return UCF_OK;
}

int32_t UCF_TEXTURE::SetSecondImage(void* sizeAndDescriptor)
{
    return HoldGreySecondImage(sizeAndDescriptor, m_texture, m_hasTexture);
}

void UCF_TEXTURE::BuildToneTable(int32_t contrast, float threshold, uint8_t table[256])
{
    if (contrast == 100) {
        for (int32_t i = 0; i < 256; ++i)
            table[i] = static_cast<float>(i) >= threshold ? 255 : 0;
        return;
    }
    // Gain about 127: 100 / (100 - c) steepens up to a step near 100, (100 + c) / 100
    // flattens down to a constant 127 at -100; both are 1 at 0.
    const int32_t c = std::clamp(contrast, -100, 99);
    const double gain = c >= 0 ? 100.0 / (100.0 - c) : (100.0 + c) / 100.0;
    for (int32_t i = 0; i < 256; ++i) {
        const double v = 127.0 + (i - 127) * gain;
        table[i] = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
    }
}

int32_t UCF_TEXTURE::BeginApply()
{
    if (!m_hasTexture)
        return UCF_ERR_NOSECONDIMAGE;
    const FilterContext* context = m_owner->GetContext();
    if (!context || context->parameterSize < kTextureBlockBytes || !m_parameters)
        return UCF_ERR_BADPARAM;
    // Tiling divides by the texture's size and reads its rows.
    if (!m_texture.pixels || m_texture.regionWidth < 1 || m_texture.regionHeight < 1 ||
        m_texture.rowBytes < m_texture.regionWidth)
        return UCF_ERR_BADPARAM;
    int32_t words[3];
    std::memcpy(words, m_parameters, sizeof(words));
    float threshold = 0;
    std::memcpy(&threshold, &words[1], sizeof(threshold));
    auto* table = static_cast<uint8_t*>(m_owner->AllocWorkBuffer(kToneTableBuffer, 256));
    if (!table)
        return UCF_ERR_NOMEMORY;
    BuildToneTable(words[0], threshold, table);
    m_level = 127 - int64_t{words[2]};
    return UCF_OK;
}

int32_t UCF_TEXTURE::ProcessStrip(const FilterJob& job)
{
    const auto* table = static_cast<const uint8_t*>(m_owner->GetWorkBuffer(kToneTableBuffer));
    if (!table)
        return UCF_ERR_NOBUFFER;
    if (job.sameFormat != 1)
        return UCF_ERR_FORMATMISMATCH;
    const PixelLayout& s = job.source;
    const PixelLayout& d = job.destination;
    if (d.regionWidth != s.regionWidth || d.regionHeight != s.regionHeight)
        return UCF_ERR_GEOMETRY;
    for (int32_t y = 0; y < s.regionHeight; ++y) {
        const uint8_t* tile = DescriptorRow(m_texture, (int64_t{job.stripRow} + y) % m_texture.regionHeight);
        const uint8_t* src = s.pixels + static_cast<int64_t>(y) * s.rowBytes;
        uint8_t* dst = d.pixels + static_cast<int64_t>(y) * d.rowBytes;
        int32_t column = 0;
        for (int32_t x = 0; x < s.regionWidth; ++x, src += s.bytesPerPixel, dst += d.bytesPerPixel) {
            const int64_t shift = (int64_t{table[tile[column]]} - m_level) >> 1;
            if (++column == m_texture.regionWidth)
                column = 0;
            const uint8_t r = static_cast<uint8_t>(std::clamp<int64_t>(src[s.red] + shift, 0, 255));
            const uint8_t g = static_cast<uint8_t>(std::clamp<int64_t>(src[s.green] + shift, 0, 255));
            const uint8_t b = static_cast<uint8_t>(std::clamp<int64_t>(src[s.blue] + shift, 0, 255));
            dst[d.red] = r;
            dst[d.green] = g;
            dst[d.blue] = b;
        }
    }
    return UCF_OK;
}

int32_t UCF_TEXTURE::EndApply()
{
    m_owner->FreeWorkBuffer(kToneTableBuffer);
    return UCF_OK;
}

std::unique_ptr<UCFilter> CreateTextureFilter(UtilFilter* owner)
{
    return std::unique_ptr<UCFilter>(new UCF_TEXTURE(owner));
}
