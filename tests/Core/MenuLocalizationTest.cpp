#include "Core/MenuLocalization.h"

#include "Core/support/ScratchFolder.h"
#include "Platform/ShiftJis.h"

#include <gtest/gtest.h>

namespace {

std::string WriteIni(const ScratchFolder& scratch, const std::string& utf8)
{
    return scratch.Write("Localize.ini", Utf8ToShiftJis(utf8).value());
}

std::vector<int> Ids(const std::vector<MenuEntry>& entries)
{
    std::vector<int> ids;
    for (const MenuEntry& e : entries)
        ids.push_back(e.id);
    return ids;
}

} // namespace

TEST(MenuLocalization, CommandsSeparatorsAndPopups)
{
    ScratchFolder scratch;
    const std::string ini = WriteIni(scratch, "[Menu_128]\n0=-3,ファイル(&F)\n1=0,\n2=57600,終了\\tAlt+F4\n"
                                              "[PopupMenu_3]\n0=32771,開く\n1=32772,保存\n");
    MenuModel menu;
    menu.entries = {MenuEntry::Popup("File", {MenuEntry::Command(1, "Open"), MenuEntry::Command(2, "Save"),
                                              MenuEntry::Command(3, "Keep")}),
                    MenuEntry::Separator(), MenuEntry::Command(9, "Exit"),
                    MenuEntry::Command(10, "Unlisted")};
    LocalizeMenu(128, &menu, ini);

    ASSERT_EQ(menu.entries.size(), 4u);
    EXPECT_EQ(menu.entries[0].kind, MenuEntry::Kind::Popup);
    EXPECT_EQ(menu.entries[0].text, "ファイル(&F)");
    EXPECT_EQ(Ids(menu.entries[0].items), (std::vector<int>{32771, 32772, 3}));
    EXPECT_EQ(menu.entries[0].items[0].text, "開く");
    EXPECT_EQ(menu.entries[0].items[2].text, "Keep"); // no entry: left as it is
    EXPECT_EQ(menu.entries[1].kind, MenuEntry::Kind::Separator);
    EXPECT_EQ(menu.entries[2].id, 57600);
    EXPECT_EQ(menu.entries[2].text, "終了\tAlt+F4");
    EXPECT_EQ(menu.entries[3].text, "Unlisted");
    EXPECT_NE(menu.Find(32772), nullptr);
    EXPECT_EQ(menu.Find(2), nullptr);
}

TEST(MenuLocalization, CameraPaperCommandsFollowTheirFlags)
{
    ScratchFolder scratch;
    const std::string ini = WriteIni(scratch, "[DSCPaperFlag]\nHAGAKI=0\n3.5x5=1\n"
                                              "[Menu_200]\n0=32882,3.5x5\n1=32883,3.5x5 縁なし\n"
                                              "2=32884,はがき\n3=32885,はがき 縁なし\n4=32886,100x150\n"
                                              "5=0,\n6=500,後ろ\n");
    MenuModel menu;
    for (int i = 0; i < 5; ++i)
        menu.entries.push_back(MenuEntry::Command(i, "skeleton"));
    menu.entries.push_back(MenuEntry::Separator());
    menu.entries.push_back(MenuEntry::Command(6, "skeleton"));
    LocalizeMenu(200, &menu, ini);

    // HAGAKI's flag 0 and the missing 100x150 flag remove 32884, 32885 and
    // 32886; later entries are still read from their skeleton positions.
    EXPECT_EQ(Ids(menu.entries), (std::vector<int>{32882, 32883, 0, 500}));
    EXPECT_EQ(menu.entries[2].kind, MenuEntry::Kind::Separator);
    EXPECT_EQ(menu.entries[3].text, "後ろ");
}

TEST(MenuLocalization, StopsAtTheFirstMissingEntry)
{
    ScratchFolder scratch;
    const std::string ini = WriteIni(scratch, "[Menu_7]\n1=5,second\n");
    MenuModel menu;
    menu.entries = {MenuEntry::Command(1, "a"), MenuEntry::Command(2, "b")};
    LocalizeMenu(7, &menu, ini);
    EXPECT_EQ(Ids(menu.entries), (std::vector<int>{1, 2}));
    LocalizeMenu(7, nullptr, ini); // ignored
}
