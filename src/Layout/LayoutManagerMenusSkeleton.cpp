#include "Layout/LayoutManagerMenus.h"

#include <initializer_list>

namespace {

// Positive: a command; 0: a separator; negative: the pop-up of that number.
std::vector<MenuEntry> Entries(std::initializer_list<int> layout);

std::vector<MenuEntry> PopupEntries(int number)
{
    switch (number) {
    case 4:
        return Entries({32782, 32783, 32784, 32785});
    case 5:
        return Entries({32786, 32787});
    case 6:
        return Entries({32788, 32789});
    case 9:
        return Entries({32880, 32881, 0, 32882, 32883, 32884, 32885, 32886, 32887, 32888, 32889});
    case 12:
        return Entries({32873, 32874, 32875});
    default:
        return {};
    }
}

std::vector<MenuEntry> Entries(std::initializer_list<int> layout)
{
    std::vector<MenuEntry> entries;
    for (int value : layout) {
        if (value > 0)
            entries.push_back(MenuEntry::Command(value, {}));
        else if (value == 0)
            entries.push_back(MenuEntry::Separator());
        else
            entries.push_back(MenuEntry::Popup({}, PopupEntries(-value)));
    }
    return entries;
}

} // namespace

MenuModel BuildLayoutMenuSkeleton(int menuId)
{
    MenuModel menu;
    switch (menuId) {
    case MenuPage:
        menu.entries =
            Entries({57643, 0, 57637, 0, 57642, 0, 32801, 32802, 0, 32803, 32804, 0, -9, 0, 32800});
        break;
    case MenuLine:
        menu.entries = Entries({57635, 57634, 32781, 0, -4, -5, 0, 32811, 32812, 32813, 32814, 32815, 32816,
                                32817, 32818, 32819, 0, 32820});
        break;
    case MenuText:
        menu.entries = Entries({57635, 57634, 32781, 0, -4, -5, -6, 0, 32831});
        break;
    case MenuInsertFrame:
        menu.entries = Entries({57635, 57634, 32781, 0,     32851, 32871, 32852, 0,  32853, 32854,
                                0,     32855, 0,     32856, 0,     -12,   0,     -4, -5,    -6});
        break;
    case MenuBackground:
        menu.entries = Entries({57635, 57634, 32781, 0, -4, -5, -6, 0, 32841, 32842});
        break;
    case MenuInfoText:
        menu.entries = Entries({32856, 0, -5, -6});
        break;
    case MenuMixed:
        menu.entries = Entries({57635, 57634, 32781, 0, -4, -5, -6});
        break;
    default:
        break;
    }
    return menu;
}
