// The Localize.ini that ships beside the program: it must stay Shift-JIS and
// hold every text, font, paper and menu that the editor reads from it.
#include "Core/Files.h"
#include "Core/LocalizeScript.h"
#include "Core/MenuLocalization.h"
#include "Platform/ProfileReader.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

CLocalizeScript Shipped()
{
    std::string folder;
    EXPECT_TRUE(GetModuleFolder(folder));
    EXPECT_TRUE(IsFile(folder + "Localize.ini"));
    return CLocalizeScript(folder + "Localize.ini");
}

} // namespace

TEST(ShippedLocalizeIni, CaptionsFontsAndSettings)
{
    const CLocalizeScript script = Shipped();
    for (int id : {7, 11, 24, 25, 146, 147, 155, 156, 157, 161, 179, 232, 241}) {
        std::string text;
        EXPECT_TRUE(script.GetCaption(id, text)) << id;
        EXPECT_FALSE(text.empty()) << id;
    }
    std::string text;
    ASSERT_TRUE(script.GetCaption(161, text));
    EXPECT_EQ(text, "レイアウトエディタ");
    for (int id : {7, 11}) {
        ASSERT_TRUE(script.GetCaption(id, text));
        EXPECT_NE(text.find("%d"), std::string::npos) << "caption " << id << " is a name format";
    }

    for (int id : {1, 2}) {
        LocalizeFontInfo font;
        EXPECT_TRUE(script.GetFont(id, font)) << id;
        EXPECT_GT(font.pointSize, 0);
    }
    for (const char* key : {"Courier", "Gothic", "Mincho", "Helvetica", "Roman"}) {
        std::string face;
        EXPECT_TRUE(script.GetDrawStringFont(key, face)) << key;
    }
    for (int paper = 6; paper <= 10; ++paper) {
        int length = 0;
        EXPECT_TRUE(script.GetDefaultRollPaperLength(paper, length)) << paper;
        EXPECT_GE(length, 500);
        EXPECT_LE(length, 15840);
    }
    for (const char* paper : {"3.5x5", "HAGAKI", "100x150", "4x6NP"})
        EXPECT_EQ(script.GetDSCPaperFlag(paper), 1) << paper;
    for (const char* key :
         {"ShowOpeningFirst", "ShowAutoCutter", "EnableMemoryCardDrive", "DefaultUnit", "EditableFrameType"})
        EXPECT_TRUE(ReadProfileValue(script.GetPath(), "UISetting", key)) << key;
}

TEST(ShippedLocalizeIni, EveryPaperOnce)
{
    std::vector<PaperSizeEntry> papers;
    ASSERT_TRUE(Shipped().GetPaperSizeString(papers));
    ASSERT_EQ(papers.size(), 23u);
    std::vector<bool> seen(24);
    for (const PaperSizeEntry& paper : papers) {
        ASSERT_GE(paper.paperId, 0);
        ASSERT_LE(paper.paperId, 23);
        EXPECT_NE(paper.paperId, 11);
        EXPECT_FALSE(seen[static_cast<std::size_t>(paper.paperId)]) << paper.paperId;
        seen[static_cast<std::size_t>(paper.paperId)] = true;
    }
    EXPECT_EQ(papers[0].name, "はがき");
}

TEST(ShippedLocalizeIni, MainMenuLocalisesEveryEntry)
{
    // The main menu's skeleton: 6 pop-ups whose entries are read from their
    // own sections; localising must reach every command the menu carries.
    const CLocalizeScript script = Shipped();
    MenuModel menu;
    for (int i = 0; i < 6; ++i)
        menu.entries.push_back(MenuEntry::Popup("", {}));
    // Give each pop-up as many blank entries as its section has, with pop-ups
    // where the section names one.
    std::function<void(std::uint32_t, std::vector<MenuEntry>&)> build = [&](std::uint32_t id,
                                                                            std::vector<MenuEntry>& entries) {
        int flag = 0;
        std::string text;
        entries.clear();
        for (int n = 0; script.GetMenuItem(id, n, flag, text); ++n) {
            if (flag < 0) {
                entries.push_back(MenuEntry::Popup("", {}));
                build(PopupMenuId(static_cast<std::uint32_t>(-flag)), entries.back().items);
            } else if (flag == 0) {
                entries.push_back(MenuEntry::Separator());
            } else {
                entries.push_back(MenuEntry::Command(0, ""));
            }
        }
    };
    build(128, menu.entries);
    ASSERT_EQ(menu.entries.size(), 6u);
    LocalizeMenu(128, &menu, script.GetPath());
    for (int command : {57600, 57601, 57603, 32773, 57607, 57665, 57643, 57642, 32785, 32787, 32789, 32800,
                        32804, 32880, 32882, 32889, 32850, 32875, 32842, 32831, 32820, 32861, 57664}) {
        const MenuEntry* entry = menu.Find(command);
        ASSERT_NE(entry, nullptr) << command;
        EXPECT_FALSE(entry->text.empty()) << command;
    }
    EXPECT_EQ(menu.Find(57601)->text, "開く(&O)...\tCtrl+O");
    for (std::uint32_t context = 180; context <= 186; ++context) {
        int flag = 0;
        std::string text;
        EXPECT_TRUE(script.GetMenuItem(context, 0, flag, text)) << context;
    }
}
