#include "Core/MenuLocalization.h"

#include "Core/LocalizeScript.h"
#include "Core/TextOps.h"

namespace {

const char* CameraPaperKey(int command)
{
    switch (command) {
    case 32882:
    case 32883:
        return "3.5x5";
    case 32884:
    case 32885:
        return "HAGAKI";
    case 32886:
    case 32887:
        return "100x150";
    case 32888:
    case 32889:
        return "4x6NP";
    default:
        return nullptr;
    }
}

void LocalizeEntries(std::uint32_t menuId, std::vector<MenuEntry>& entries, const CLocalizeScript& script)
{
    std::size_t deleted = 0;
    int flag = 0;
    std::string text;
    // The key is the position in the skeleton; deletions shift the entries.
    for (int n = 0; script.GetMenuItem(menuId, n, flag, text); ++n) {
        UnescapeTab(text);
        const std::size_t position = static_cast<std::size_t>(n) - deleted;
        MenuEntry* entry = position < entries.size() ? &entries[position] : nullptr;
        if (flag < 0) {
            if (!entry)
                continue;
            entry->text = text;
            entry->id = 0;
            if (entry->kind == MenuEntry::Kind::Popup)
                LocalizeEntries(PopupMenuId(0u - static_cast<std::uint32_t>(flag)), entry->items, script);
        } else if (flag > 0) {
            if (const char* key = CameraPaperKey(flag); key && script.GetDSCPaperFlag(key) == -1) {
                if (entry)
                    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(position));
                ++deleted;
                continue;
            }
            if (!entry)
                continue;
            entry->kind = MenuEntry::Kind::Command;
            entry->items.clear();
            entry->id = flag;
            entry->text = text;
        }
    }
}

} // namespace

void LocalizeMenu(std::uint32_t menuId, MenuModel* menu, const std::string& localizeIniPath)
{
    if (!menu)
        return;
    const CLocalizeScript script(localizeIniPath);
    LocalizeEntries(menuId, menu->entries, script);
}
