#include "App/FontCatalogue.h"

#include "Core/FontList.h"

namespace {

class SystemFontCatalogue : public IFontCatalogue
{
public:
    bool HasOutlineFamily(std::string_view face) override { return HasTrueTypeFont(face); }
    bool HasFamily(std::string_view face) override { return HasAnyFont(face); }
    std::string DefaultInterfaceFace() override { return GetDefaultGuiFontFace(); }
    std::vector<std::string> SortedOutlineNames() override { return CollectTrueTypeFontNames(); }
};

IFontCatalogue* g_catalogue = nullptr;

} // namespace

void SetFontCatalogue(IFontCatalogue* catalogue)
{
    g_catalogue = catalogue;
}

IFontCatalogue& GetFontCatalogue()
{
    static SystemFontCatalogue system;
    return g_catalogue ? *g_catalogue : system;
}
