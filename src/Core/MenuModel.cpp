#include "Core/MenuModel.h"

namespace {

const MenuEntry* FindIn(const std::vector<MenuEntry>& entries, int id)
{
    for (const MenuEntry& entry : entries) {
        if (entry.kind == MenuEntry::Kind::Command && entry.id == id)
            return &entry;
        if (const MenuEntry* found = FindIn(entry.items, id))
            return found;
    }
    return nullptr;
}

} // namespace

MenuEntry MenuEntry::Command(int id, std::string text)
{
    MenuEntry entry;
    entry.id = id;
    entry.text = std::move(text);
    return entry;
}

MenuEntry MenuEntry::Separator()
{
    MenuEntry entry;
    entry.kind = Kind::Separator;
    return entry;
}

MenuEntry MenuEntry::Popup(std::string text, std::vector<MenuEntry> items)
{
    MenuEntry entry;
    entry.kind = Kind::Popup;
    entry.text = std::move(text);
    entry.items = std::move(items);
    return entry;
}

MenuEntry* MenuModel::Find(int id)
{
    return const_cast<MenuEntry*>(FindIn(entries, id));
}

const MenuEntry* MenuModel::Find(int id) const
{
    return FindIn(entries, id);
}
