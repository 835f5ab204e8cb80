#include "FilterRegistry.h"

#include "UCF_AFFINE.h"
#include "UCF_BLURMASK.h"
#include "UCF_CROP.h"
#include "UCF_FLIP.h"
#include "UCF_MERGE.h"
#include "UCF_RESIZE.h"
#include "UCF_ROTATE.h"
#include "UCF_SGAUSS.h"
#include "UCF_TEXTURE.h"
#include "UCFilter.h"

#include "ToneFilterFactories.h"

namespace {

// Rows whose factory is null belong to filters that later builds add.
constexpr FilterRegistryRow kRegistry[kFilterRegistrySize] = {
    {0, 0x20207, CreateInverseFilter, "INVS"},
    {1, 0x20207, CreateMonoFilter, "MONO"},
    {2, 0x127, CreateFlipFilter, "FLIP"},
    {3, 0x40322, CreateRotateFilter, "ROTATE"},
    {4, 0x40322, CreateAffineFilter, "AFFINE"},
    {5, 0x185, CreateAutoLevelFilter, "AUTO LEVEL"},
    {6, 0x40322, CreateResizeFilter, "RESIZE"},
    {7, 0x305, CreateSContrastFilter, "SCONTRAST"},
    {8, 0x305, CreateHueSaturationFilter, "HUESAT"},
    {9, 0x40022, CreateCropFilter, "CROP"},
    {10, 0x80707, nullptr, "USM"},
    {11, 0x90581, nullptr, "KRS"},
    {12, 0x80707, CreateDscnrFilter, "DSCNR"},
    {13, 0x80707, CreateSgaussFilter, "SGAUSS"},
    {14, 0x305, nullptr, "CMM"},
    {15, 0x305, nullptr, "NEW MEM COLOR"},
    {16, 0x10303, CreateMergeFilter, "MERGE"},
    {17, 0x90707, CreateBlurMaskFilter, "BLUR MASK"},
    {18, 0x10303, CreateTextureFilter, "TEXTURE"},
};

} // namespace

const FilterRegistryRow* GetRegistryRow(int32_t id)
{
    if (id < 0 || id >= kFilterRegistrySize)
        return nullptr;
    return &kRegistry[id];
}

std::unique_ptr<UCFilter> CreateRegisteredFilter(int32_t id)
{
    const FilterRegistryRow* row = GetRegistryRow(id);
    return row && row->factory ? row->factory(nullptr) : nullptr;
}

uint32_t GetRegisteredFlags(int32_t id)
{
    const FilterRegistryRow* row = GetRegistryRow(id);
    return row ? row->flags : 0;
}
