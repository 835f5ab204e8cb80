#include "Core/MenuLocalization.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerMenus.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace managertest;

// The real localisation file, so that the skeletons are checked against its positions.
class LocalizedShell : public FakeModeShell
{
public:
    std::string GetLocalizeIniPath() override
    {
        return std::string(ZAV_SOURCE_DIR) + "/resources/Localize.ini";
    }
};

struct Expect
{
    int id;
    bool enabled;
    bool checked;
};

class ItemMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        SetUpA4(manager);
        manager.SetClipboardPort(&clipboard);
    }
    const MenuModel& Shown()
    {
        EXPECT_FALSE(host.menus.empty());
        return host.menus.back();
    }
    MenuModel ShowFor(CLayoutItem* clicked)
    {
        host.menus.clear();
        manager.ShowItemMenu(clicked, POINT{7, 9});
        return host.menus.empty() ? MenuModel{} : host.menus.back();
    }
    static void ExpectStates(const MenuModel& menu, const std::vector<Expect>& expected)
    {
        for (const Expect& e : expected) {
            const MenuEntry* entry = menu.Find(e.id);
            ASSERT_NE(entry, nullptr) << e.id;
            EXPECT_EQ(entry->enabled, e.enabled) << e.id;
            EXPECT_EQ(entry->checked, e.checked) << e.id;
        }
    }
    static std::vector<std::size_t> GrayedPositions(const MenuModel& menu)
    {
        std::vector<std::size_t> grayed;
        for (std::size_t i = 0; i < menu.entries.size(); ++i)
            if (menu.entries[i].kind != MenuEntry::Kind::Separator && !menu.entries[i].enabled)
                grayed.push_back(i);
        return grayed;
    }
    static bool IsMenu(const MenuModel& menu, int menuId)
    {
        const MenuModel skeleton = BuildLayoutMenuSkeleton(menuId);
        if (skeleton.entries.size() != menu.entries.size())
            return false;
        for (std::size_t i = 0; i < menu.entries.size(); ++i)
            if (menu.entries[i].kind != skeleton.entries[i].kind ||
                menu.entries[i].id != skeleton.entries[i].id)
                return false;
        return true;
    }

    FakeHost host;
    LocalizedShell shell;
    FakeClipboard clipboard;
    CLayoutManager manager;
};

TEST_F(ItemMenuTest, SkeletonsMatchTheLocalisedEntries)
{
    for (int id = MenuPage; id <= MenuMixed; ++id) {
        MenuModel menu = BuildLayoutMenuSkeleton(id);
        const MenuModel skeleton = menu;
        LocalizeMenu(static_cast<std::uint32_t>(id), &menu, shell.GetLocalizeIniPath());
        ASSERT_EQ(menu.entries.size(), skeleton.entries.size()) << id;
        for (std::size_t i = 0; i < menu.entries.size(); ++i) {
            const MenuEntry& entry = menu.entries[i];
            EXPECT_EQ(entry.kind, skeleton.entries[i].kind) << id << ":" << i;
            if (entry.kind == MenuEntry::Kind::Command) {
                EXPECT_EQ(entry.id, skeleton.entries[i].id) << id << ":" << i;
            }
            if (entry.kind != MenuEntry::Kind::Separator) {
                EXPECT_FALSE(entry.text.empty()) << id << ":" << i;
            }
        }
    }
}

TEST_F(ItemMenuTest, PageMenuOfAnEmptyPage)
{
    host.fitToWidth = true;
    manager.OnContextMenu(POINT{5, 5});
    const MenuModel& menu = Shown();
    ASSERT_TRUE(IsMenu(menu, MenuPage));
    EXPECT_EQ(menu.entries[0].text, "元に戻す(&U)");
    ExpectStates(menu, {{57643, false, false},
                        {57637, false, false},
                        {32801, false, false},
                        {32802, true, false},
                        {32803, true, true},
                        {32804, true, false},
                        {32800, true, false}});
    EXPECT_EQ(GrayedPositions(menu), (std::vector<std::size_t>{0, 2, 4, 6, 12}));
    EXPECT_EQ(host.menuPoints.back().x, 5);
}

TEST_F(ItemMenuTest, PageMenuOfACameraLayout)
{
    shell.cameraLayout = true;
    shell.editMode = 4;
    Append(manager, MakeString(RECT{1000, 1000, 1100, 1100}, "far"));
    manager.SetPendingUndo(std::make_unique<CAddUndoInfo>());
    clipboard.held = std::vector<std::uint8_t>{1};
    manager.SetZoom(1.0f / 15.0f, false);
    host.fitWhole = true;
    manager.OnContextMenu(POINT{5, 5});
    const MenuModel& menu = Shown();
    ASSERT_TRUE(IsMenu(menu, MenuPage));
    ExpectStates(menu, {{57643, true, false},
                        {57637, true, false},
                        {32801, true, false},
                        {32802, false, false},
                        {32803, true, false},
                        {32804, true, true},
                        {32884, true, true},
                        {32883, true, false},
                        {32800, false, false}});
    EXPECT_EQ(GrayedPositions(menu), (std::vector<std::size_t>{7, 14}));
}

TEST_F(ItemMenuTest, ClickOnAnUnselectedItemSelectsItAlone)
{
    auto* other = Append(manager, MakeString(RECT{600, 600, 700, 700}, "other"));
    other->SetSelected(true);
    auto* text = Append(manager, MakeString(RECT{100, 100, 400, 200}, "text"));
    const POINT margin = manager.GetMarginOffset(true);
    host.clientOrigin = POINT{1000, 2000};
    host.scroll = POINT{30, 40};
    manager.OnContextMenu(POINT{1000 + 150 + margin.x - 30, 2000 + 150 + margin.y - 40});
    EXPECT_TRUE(text->IsSelected());
    EXPECT_FALSE(other->IsSelected());
    EXPECT_EQ(host.currentItem, text);
    EXPECT_EQ(host.Kinds(), (std::vector<int>{5}));
    EXPECT_TRUE(IsMenu(Shown(), MenuText));
    EXPECT_EQ(manager.GetDragState().hitItem, text);
    EXPECT_EQ(manager.GetDragState().hitCode, 1);
}

TEST_F(ItemMenuTest, NothingWhileDragging)
{
    manager.GetDragState().dragging = true;
    manager.OnContextMenu(POINT{5, 5});
    EXPECT_TRUE(host.menus.empty());
}

TEST_F(ItemMenuTest, LineMenuChecksTheSelectedWidth)
{
    struct Case
    {
        std::vector<int> widths;
        int checked; // 0: none
    };
    for (const Case& c :
         {Case{{10}, 32813}, Case{{1, 1}, 32811}, Case{{40}, 32818}, Case{{7}, 32819}, Case{{5, 10}, 0}}) {
        CLayoutManager page;
        SetUpA4(page);
        CLineItem* first = nullptr;
        for (int w : c.widths) {
            auto* line = Append(page, MakeLine(RECT{10, 10, 200, 10}, w));
            line->SetSelected(true);
            first = first ? first : line;
        }
        host.menus.clear();
        page.ShowItemMenu(first, POINT{});
        const MenuModel& menu = Shown();
        ASSERT_TRUE(IsMenu(menu, MenuLine));
        for (int id = 32811; id <= 32819; ++id)
            EXPECT_EQ(menu.Find(id)->checked, id == c.checked) << id;
    }
}

TEST_F(ItemMenuTest, TextAndBackgroundMenusNeedASingleItem)
{
    auto* a = Append(manager, MakeString(RECT{0, 0, 10, 10}, "a"));
    a->SetSelected(true);
    ExpectStates(ShowFor(a), {{32831, true, false}});
    Append(manager, MakeString(RECT{0, 0, 10, 10}, "b"))->SetSelected(true);
    ExpectStates(ShowFor(a), {{32831, false, false}});

    manager.SelectAll(false);
    auto* fixed = Append(manager, std::make_unique<CBackgroundImageFrameItem>());
    fixed->SetAspectFixed(true);
    fixed->SetSelected(true);
    MenuModel menu = ShowFor(fixed);
    ASSERT_TRUE(IsMenu(menu, MenuBackground));
    ExpectStates(menu, {{32841, true, false}, {32842, true, true}});
    auto* loose = Append(manager, std::make_unique<CBackgroundImageFrameItem>());
    loose->SetSelected(true);
    ExpectStates(ShowFor(fixed), {{32841, false, false}, {32842, true, false}});
}

TEST_F(ItemMenuTest, FrameMenuStates)
{
    auto* frame = AppendFrameWithTexts(manager, RECT{100, 100, 400, 300}, 1, {RECT{100, 301, 200, 320}});
    frame->SetSelected(true);
    MenuModel menu = ShowFor(frame);
    ASSERT_TRUE(IsMenu(menu, MenuInsertFrame));
    ExpectStates(menu, {{32851, true, false},
                        {32871, false, false},
                        {32852, false, false},
                        {32856, true, false},
                        {32853, true, false},
                        {32854, true, true},
                        {32855, true, false},
                        {32873, true, false},
                        {32874, true, false},
                        {32875, true, true}});

    frame->SetImageFileName("/photos/a.jpg");
    frame->SetAspectKind(CInsertImageFrameItem::Aspect3x4);
    frame->SetImagePlacement(0);
    frame->SetImageRotation(4);
    menu = ShowFor(frame);
    ExpectStates(menu, {{32871, true, false},
                        {32852, true, false},
                        {32853, true, true},
                        {32854, true, false},
                        {32855, true, true},
                        {32873, true, false},
                        {32874, true, true},
                        {32875, true, false}});
    EXPECT_EQ(GrayedPositions(menu), (std::vector<std::size_t>{19}));

    // Reached through its own text: the picture commands stay off.
    menu = ShowFor(frame->GetLinkedText1());
    ASSERT_TRUE(IsMenu(menu, MenuInsertFrame));
    ExpectStates(menu, {{32851, true, false}, {32871, false, false}, {32852, false, false}});
}

TEST_F(ItemMenuTest, FrameMenuOfSeveralFrames)
{
    auto* a = Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 1));
    auto* b = Append(manager, MakeFrame(RECT{200, 0, 300, 100}, 2));
    a->SetAspectKind(CInsertImageFrameItem::Aspect2x3);
    b->SetAspectKind(CInsertImageFrameItem::Aspect3x2);
    a->SetSelected(true);
    b->SetSelected(true);
    const MenuModel menu = ShowFor(a);
    ExpectStates(menu, {{32851, false, false},
                        {32871, false, false},
                        {32856, false, false},
                        {32852, false, false},
                        {32873, true, true},
                        {32874, true, false},
                        {32875, true, false}});
    EXPECT_TRUE(manager.AllSelectedFramesHaveAspect(0));
    EXPECT_FALSE(manager.AllSelectedFramesHaveAspect(1));
    EXPECT_FALSE(manager.AllSelectedFramesHaveAspect(2));
}

TEST_F(ItemMenuTest, CameraFrameMenuLeavesOnlyThePictureCommands)
{
    shell.cameraLayout = true;
    auto* frame = Append(manager, MakeFrame(RECT{100, 100, 400, 300}, 1));
    frame->SetImageFileName("/photos/a.jpg");
    frame->SetSelected(true);
    const MenuModel menu = ShowFor(frame);
    std::set<int> enabled;
    for (const MenuEntry& entry : menu.entries)
        if (entry.kind == MenuEntry::Kind::Command && entry.enabled)
            enabled.insert(entry.id);
    EXPECT_EQ(enabled, (std::set<int>{32851, 32871, 32852, 32853}));
    EXPECT_EQ(GrayedPositions(menu), (std::vector<std::size_t>{0, 1, 2, 9, 11, 13, 15, 17, 18, 19}));
}

TEST_F(ItemMenuTest, InformationTextMenu)
{
    auto* frame = AppendFrameWithTexts(manager, RECT{100, 100, 400, 300}, 1, {RECT{100, 301, 200, 320}});
    CMacroStringItem* text = frame->GetLinkedText1();
    text->SetSelected(true);
    MenuModel menu = ShowFor(text);
    ASSERT_TRUE(IsMenu(menu, MenuInfoText));
    ExpectStates(menu, {{32856, true, false}});
    EXPECT_TRUE(GrayedPositions(menu).empty());

    auto* other = AppendFrameWithTexts(manager, RECT{500, 100, 800, 300}, 2, {RECT{500, 301, 600, 320}});
    other->GetLinkedText1()->SetSelected(true);
    ExpectStates(ShowFor(text), {{32856, false, false}});
}

TEST_F(ItemMenuTest, MixedMenu)
{
    auto* line = Append(manager, MakeLine(RECT{10, 10, 200, 10}, 5));
    auto* text = Append(manager, MakeString(RECT{0, 0, 10, 10}, "a"));
    line->SetSelected(true);
    text->SetSelected(true);
    MenuModel menu = ShowFor(line);
    ASSERT_TRUE(IsMenu(menu, MenuMixed));
    EXPECT_TRUE(GrayedPositions(menu).empty());

    auto* frame = Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 1));
    frame->SetSelected(true);
    frame->SetImageRotation(4);
    EXPECT_EQ(GrayedPositions(ShowFor(line)), (std::vector<std::size_t>{6}));
    shell.cameraLayout = true;
    EXPECT_EQ(GrayedPositions(ShowFor(text)), (std::vector<std::size_t>{0, 1, 2, 4, 5, 6}));
}

} // namespace
