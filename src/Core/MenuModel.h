// The editor's menus without a toolkit: entries with ids, texts and states,
// and pop-up entries holding their own entries. Core localises a model, the
// layout model fills its states, the application shows it.
#pragma once

#include <string>
#include <vector>

struct MenuEntry
{
    enum class Kind { Command, Separator, Popup };

    Kind kind = Kind::Command;
    int id = 0;
    std::string text;
    bool enabled = true;
    bool checked = false;
    std::vector<MenuEntry> items; // the entries of a pop-up

    static MenuEntry Command(int id, std::string text);
    static MenuEntry Separator();
    static MenuEntry Popup(std::string text, std::vector<MenuEntry> items);
};

struct MenuModel
{
    std::vector<MenuEntry> entries;

    // The first command with that id, searched depth first; null when none.
    MenuEntry* Find(int id);
    const MenuEntry* Find(int id) const;
};
