#include "App/MainMenu.h"

#include "Core/MenuLocalization.h"

#include <algorithm>

namespace {

MenuEntry Cmd(int id)
{
    return MenuEntry::Command(id, std::string());
}

MenuEntry Sep()
{
    return MenuEntry::Separator();
}

MenuEntry Pop(std::vector<MenuEntry> items)
{
    return MenuEntry::Popup(std::string(), std::move(items));
}

std::vector<MenuEntry> Commands(std::initializer_list<int> ids)
{
    std::vector<MenuEntry> items;
    for (int id : ids)
        items.push_back(id == 0 ? Sep() : Cmd(id));
    return items;
}

} // namespace

MenuModel BuildMainMenuSkeleton()
{
    MenuModel menu;
    auto file =
        Pop({Pop(Commands({ID_FILE_NEW, ID_FILE_NEW_DSC})), Cmd(ID_FILE_OPEN), Sep(), Cmd(ID_FILE_SAVE),
             Cmd(32773), Sep(), Cmd(32772), Sep(), Cmd(ID_FILE_PRINT), Sep(), Cmd(ID_APP_EXIT)});
    auto edit = Pop({Cmd(57643), Sep(), Cmd(57635), Cmd(57634), Cmd(57637), Sep(), Cmd(57642), Sep(),
                     Cmd(32781), Sep(), Pop(Commands({32782, 32783, 32784, 32785})),
                     Pop(Commands({32786, 32787})), Pop(Commands({32788, 32789}))});
    auto view = Pop({Cmd(32877), Cmd(32876), Sep(), Pop(Commands({32801, 32802, 0, 32803, 32804})), Sep(),
                     Pop(Commands({32880, 32881, 0, 32882, 32883, 32884, 32885, 32886, 32887, 32888, 32889})),
                     Sep(), Cmd(32800)});
    std::vector<MenuEntry> insertFrame =
        Commands({32850, 0, 32851, 32871, 32852, 0, 32853, 32854, 0, 32855, 0, 32856, 0});
    insertFrame.push_back(Pop(Commands({32873, 32874, 32875})));
    auto item = Pop(
        {Pop(std::move(insertFrame)), Pop(Commands({32840, 0, 32841, 0, 32842})),
         Pop(Commands({32830, 0, 32831})),
         Pop(Commands({32810, 0, 32811, 32812, 32813, 32814, 32815, 32816, 32817, 32818, 32819, 0, 32820}))});
    auto options = Pop(Commands({32860, 0, 32861}));
    auto help = Pop(Commands({32870, 0, ID_APP_ABOUT}));
    menu.entries = {std::move(file), std::move(edit),    std::move(view),
                    std::move(item), std::move(options), std::move(help)};
    return menu;
}

void PruneMainMenu(MenuModel& menu, int editableFrameType)
{
    if (menu.entries.empty() || menu.entries[0].kind != MenuEntry::Kind::Popup)
        return;
    std::vector<MenuEntry>& file = menu.entries[0].items;
    const auto removeFromNew = [&](int id) {
        if (!file.empty() && file[0].kind == MenuEntry::Kind::Popup)
            std::erase_if(file[0].items, [id](const MenuEntry& e) { return e.id == id; });
    };
    if (editableFrameType == 1) {
        removeFromNew(ID_FILE_NEW);
        // Print (position 8), then the separator before it (7).
        if (file.size() > 8)
            file.erase(file.begin() + 8);
        if (file.size() > 7)
            file.erase(file.begin() + 7);
    } else if (editableFrameType == 2) {
        removeFromNew(ID_FILE_NEW_DSC);
    }
}

MenuModel BuildMainMenu(const std::string& localizeIniPath, int editableFrameType)
{
    MenuModel menu = BuildMainMenuSkeleton();
    LocalizeMenu(128, &menu, localizeIniPath);
    PruneMainMenu(menu, editableFrameType);
    return menu;
}

const std::vector<Accelerator>& MainAccelerators()
{
    static const std::vector<Accelerator> table = {
        {"Ctrl+N", 57600}, {"Ctrl+Shift+N", 32872},  {"Ctrl+O", 57601},    {"Ctrl+S", 57603},
        {"Ctrl+Z", 57643}, {"Alt+Backspace", 57643}, {"Ctrl+X", 57635},    {"Shift+Del", 57635},
        {"Ctrl+C", 57634}, {"Ctrl+Ins", 57634},      {"Ctrl+V", 57637},    {"Shift+Ins", 57637},
        {"Ctrl+A", 57642}, {"Ctrl+Up", 32801},       {"Ctrl+Down", 32802}, {"Ctrl+1", 32850},
        {"Ctrl+2", 32840}, {"Ctrl+3", 32830},        {"Ctrl+4", 32810},
    };
    return table;
}
