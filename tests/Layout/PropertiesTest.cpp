#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/DialogFakes.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using namespace managertest;
using dialogtest::FakeDialogs;

class PropertiesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        SetUpA4(manager);
    }
    CStringItem* AppendText(const std::string& face, int height)
    {
        auto* text = Append(manager, MakeString(RECT{100, 100, 400, 200}, "S"));
        LOGFONT font;
        font.lfFaceName = face;
        font.lfHeight = height;
        text->SetLogFont(&font);
        text->SetText("before");
        return text;
    }
    std::string Scratch(const std::string& name) const { return scratch / name; }

    // The editor's temporary folders go to a folder of this test's own.
    ScratchFolder scratch;
    ScopedTmpDir tmpDir{scratch.Path()};
    FakeHost host;
    FakeModeShell shell;
    FakeDialogs dialogs;
    CLayoutManager manager;
};

TEST_F(PropertiesTest, FontIsOfferedWithoutTheVerticalMarkAtScreenHeight)
{
    CStringItem* text = AppendText("@IPAGothic", -16);
    text->SetSelected(true);
    dialogs.dpi = 120;
    ASSERT_TRUE(manager.EditStringItem(nullptr));
    EXPECT_EQ(dialogs.offeredFont.font.lfFaceName, "IPAGothic");
    EXPECT_EQ(dialogs.offeredFont.font.lfHeight, -20);
    EXPECT_EQ(dialogs.offeredFont.flags,
              CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_TTONLY | CF_NOVERTFONTS);
    EXPECT_EQ(dialogs.offeredFont.text, "before");
    // Confirmed unchanged, the stored height stays in 1/96 inch.
    LOGFONT stored;
    text->GetLogFont(&stored);
    EXPECT_EQ(stored.lfHeight, -16);
    EXPECT_EQ(stored.lfFaceName, "IPAGothic");
    EXPECT_EQ(manager.GetItemDefaults().font, stored);
    EXPECT_NE(dynamic_cast<CChangeStringUndoInfo*>(manager.GetPendingUndo()), nullptr);
    EXPECT_EQ(host.Kinds(), (std::vector<int>{5, 1}));
}

TEST_F(PropertiesTest, AChangedHeightAt120DpiIsStoredIn96thsOfAnInch)
{
    CStringItem* text = AppendText("IPAGothic", -16);
    text->SetSelected(true);
    dialogs.dpi = 120;
    // Screen pixels from the dialog: -30 is -24 at 96 dpi; -27 rounds to -22.
    for (const auto& [chosen, stored] : {std::pair{-30, -24}, std::pair{-27, -22}}) {
        dialogs.editFont = [chosen = chosen](StringItemFontValues& v) { v.font.lfHeight = chosen; };
        ASSERT_TRUE(manager.EditStringItem(nullptr));
        LOGFONT font;
        text->GetLogFont(&font);
        EXPECT_EQ(font.lfHeight, stored) << chosen;
    }
}

TEST_F(PropertiesTest, ChosenFontAndColoursBecomeTheDefaultsOfTheNextText)
{
    CStringItem* text = AppendText("IPAGothic", -16);
    text->SetSelected(true);
    dialogs.editFont = [](StringItemFontValues& v) {
        v.text = "after";
        v.font.lfHeight = -30;
        v.font.lfFaceName = "IPAMincho";
        v.textColor = 0x0000FF;
        v.shadow = true;
        v.shadowOffset = POINT{-5, 3};
    };
    ASSERT_TRUE(manager.EditStringItem(nullptr));
    EXPECT_EQ(text->GetText(), "after");
    EXPECT_TRUE(text->HasShadow());
    EXPECT_EQ(text->GetShadowOffset().x, -5);
    EXPECT_EQ(manager.GetItemDefaults().font.lfFaceName, "IPAMincho");
    EXPECT_EQ(manager.GetItemDefaults().font.lfHeight, -30);
    EXPECT_EQ(manager.GetItemDefaults().textColor, 0x0000FFu);
    EXPECT_EQ(manager.Undo(), 1);
    EXPECT_EQ(text->GetText(), "before");
}

TEST_F(PropertiesTest, CancelLeavesItemDefaultsAndPendingRecord)
{
    CStringItem* text = AppendText("IPAGothic", -16);
    text->SetSelected(true);
    manager.SetPendingUndo(std::make_unique<CAddUndoInfo>());
    CUndoInfo* pending = manager.GetPendingUndo();
    const LOGFONT defaults = manager.GetItemDefaults().font;
    dialogs.confirm = false;
    dialogs.editFont = [](StringItemFontValues& v) { v.text = "changed"; };
    EXPECT_FALSE(manager.EditStringItem(nullptr));
    EXPECT_FALSE(manager.EditTransparency(nullptr));
    manager.EditItemProperties(text);
    EXPECT_EQ(text->GetText(), "before");
    EXPECT_EQ(manager.GetItemDefaults().font, defaults);
    EXPECT_EQ(manager.GetPendingUndo(), pending);
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(PropertiesTest, VerticalFlagTurnsTheText)
{
    struct Case
    {
        bool before, after;
        int expectedDirection;
    };
    for (const Case c :
         {Case{false, true, 1}, Case{true, false, 3}, Case{false, false, 0}, Case{true, true, 0}}) {
        CLayoutManager page;
        SetUpA4(page);
        auto* text = Append(page, MakeString(RECT{100, 100, 400, 200}, "S"));
        LOGFONT font;
        font.lfFaceName = "IPAGothic";
        font.lfHeight = -16;
        text->SetLogFont(&font);
        text->SetVerticalText(c.before);
        dialogs.editFont = [&c](StringItemFontValues& v) { v.vertical = c.after; };
        ASSERT_TRUE(page.EditStringItem(text));
        EXPECT_EQ(text->IsVerticalText(), c.after);
        EXPECT_EQ(text->GetDirection(), c.expectedDirection) << c.before << " -> " << c.after;
        // Called with an item the caller keeps the record.
        EXPECT_EQ(page.GetPendingUndo(), nullptr);
    }
}

TEST_F(PropertiesTest, LineColourFromTheColourDialog)
{
    auto* line = Append(manager, MakeLine(RECT{10, 10, 200, 10}, 5, 0x112233));
    dialogs.chosenColor = 0x00FF00;
    manager.EditItemProperties(line);
    EXPECT_EQ(dialogs.offeredColor, 0x112233u);
    EXPECT_EQ(line->GetColor(), 0x00FF00u);
    EXPECT_EQ(manager.GetItemDefaults().lineColor, 0x00FF00u);
    EXPECT_EQ(host.Kinds(), (std::vector<int>{5, 1}));
    ASSERT_EQ(manager.Undo(), 1);
    EXPECT_EQ(line->GetColor(), 0x112233u);
}

TEST_F(PropertiesTest, DoubleClickSelectsAndEditsTheItemUnderThePointer)
{
    auto* other = Append(manager, MakeString(RECT{600, 600, 700, 700}, "other"));
    other->SetSelected(true);
    auto* line = Append(manager, MakeLine(RECT{10, 10, 200, 10}, 5, 0x112233));
    const POINT margin = manager.GetMarginOffset(true);
    const POINT onLine{100 + margin.x, 11 + margin.y};
    dialogs.confirm = false;

    manager.GetDragState().currentTool = 4;
    manager.OnLButtonDblClk(0, onLine);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_FALSE(line->IsSelected());

    manager.GetDragState().currentTool = 3;
    manager.OnLButtonDblClk(0, onLine);
    EXPECT_TRUE(line->IsSelected());
    EXPECT_TRUE(other->IsSelected());
    EXPECT_EQ(host.currentItem, line);
    EXPECT_EQ(host.Kinds(), (std::vector<int>{5}));
    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"color"}));
}

TEST_F(PropertiesTest, DialogRunsOnTheItemOfItsClass)
{
    auto* background = Append(manager, std::make_unique<CBackgroundImageFrameItem>());
    auto* empty = Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 1));
    dialogs.confirm = false;
    manager.EditItemProperties(background);
    manager.EditItemProperties(empty);
    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"transparency", "select0"}));
    // Without an item only backgrounds that have a picture are served.
    background->SetSelected(true);
    EXPECT_FALSE(manager.EditTransparency(nullptr));
    EXPECT_EQ(dialogs.asked.size(), 2u);
}

TEST_F(PropertiesTest, ApplyingAPictureNamesAndShapesTheBackground)
{
    const std::string path = layouttest::WriteBmp24(Scratch("Sunset.bmp"), 300, 200, 0x336699);
    auto background = std::make_unique<CBackgroundImageFrameItem>();
    background->SetRect(RECT{0, 0, 600, 600});
    auto* item = Append(manager, std::move(background));
    dialogs.chosenPath = path;
    ASSERT_TRUE(manager.ApplyImageToFrame(item));
    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"select1"}));
    EXPECT_EQ(item->GetLabel(), "Sunset");
    RECT r;
    item->GetRect(&r, false);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 600);
    EXPECT_EQ(r.bottom, 400);
}

TEST_F(PropertiesTest, UnreadablePictureShowsItsMessageAndChangesNothing)
{
    auto* frame = Append(manager, MakeFrame(RECT{0, 0, 600, 600}, 1));
    frame->SetSelected(true);
    dialogs.chosenPath = Scratch("missing.bmp");
    EXPECT_FALSE(manager.ApplyImageToFrame(nullptr));
    EXPECT_EQ(host.messages, (std::vector<int>{25}));
    EXPECT_EQ(host.styles, (std::vector<unsigned>{MB_ICONHAND}));
    EXPECT_TRUE(frame->GetImageFileName().empty());
    EXPECT_EQ(manager.GetPendingUndo(), nullptr);
}

TEST_F(PropertiesTest, FixingTheAspectReshapesToThePicture)
{
    const std::string path = layouttest::WriteBmp24(Scratch("Wide.bmp"), 300, 200, 0x336699);
    auto* withPicture = Append(manager, std::make_unique<CBackgroundImageFrameItem>());
    ASSERT_EQ(withPicture->LoadImage(path), ImageLoadOk);
    withPicture->SetRect(RECT{10, 20, 610, 620});
    auto* turned = Append(manager, std::make_unique<CBackgroundImageFrameItem>());
    ASSERT_EQ(turned->LoadImage(path), ImageLoadOk);
    turned->SetImageRotation(1);
    turned->SetRect(RECT{0, 0, 600, 600});
    auto* without = Append(manager, std::make_unique<CBackgroundImageFrameItem>());
    without->SetRect(RECT{5, 5, 50, 60});
    for (auto* item : {static_cast<CLayoutItem*>(withPicture), static_cast<CLayoutItem*>(turned),
                       static_cast<CLayoutItem*>(without)})
        item->SetSelected(true);

    EXPECT_TRUE(manager.ToggleAspectFixed(true));
    RECT r;
    withPicture->GetRect(&r, false);
    EXPECT_EQ((std::vector<long>{r.left, r.top, r.right, r.bottom}), (std::vector<long>{10, 20, 610, 420}));
    turned->GetRect(&r, false);
    EXPECT_EQ((std::vector<long>{r.left, r.top, r.right, r.bottom}), (std::vector<long>{0, 0, 400, 600}));
    // A frame without a picture has no proportions: it keeps its rect.
    without->GetRect(&r, false);
    EXPECT_EQ((std::vector<long>{r.left, r.top, r.right, r.bottom}), (std::vector<long>{5, 5, 50, 60}));
    EXPECT_TRUE(withPicture->IsAspectFixed());
    EXPECT_EQ(host.Kinds(), (std::vector<int>{5, 1}));

    EXPECT_TRUE(manager.ToggleAspectFixed(false));
    withPicture->GetRect(&r, false);
    EXPECT_EQ(r.bottom, 420);
    EXPECT_FALSE(withPicture->IsAspectFixed());
    ASSERT_EQ(manager.Undo(), 1);
    EXPECT_TRUE(withPicture->IsAspectFixed());
}

TEST_F(PropertiesTest, FixingTheAspectFollowsEveryTurnOfThePicture)
{
    // A 300 x 200 picture shows 3:2 upright and half-turned, 2:3 at a quarter or
    // three-quarter turn.
    const std::string path = layouttest::WriteBmp24(Scratch("Wide.bmp"), 300, 200, 0x336699);
    const std::pair<int, RECT> cases[] = {{0, RECT{0, 0, 600, 400}},
                                          {1, RECT{0, 0, 400, 600}},
                                          {2, RECT{0, 0, 600, 400}},
                                          {3, RECT{0, 0, 400, 600}}};
    for (const auto& [rotation, expected] : cases) {
        SCOPED_TRACE("rotation " + std::to_string(rotation));
        manager.DeleteAllItems();
        auto* background = Append(manager, std::make_unique<CBackgroundImageFrameItem>());
        ASSERT_EQ(background->LoadImage(path), ImageLoadOk);
        background->SetImageRotation(rotation);
        background->SetRect(RECT{0, 0, 600, 600});
        background->SetSelected(true);
        EXPECT_TRUE(manager.ToggleAspectFixed(true));
        RECT r;
        background->GetRect(&r, false);
        EXPECT_EQ(r, expected);
    }
}

TEST_F(PropertiesTest, PlacementAndAutoRotateReachEverySelectedFrame)
{
    auto* a = Append(manager, MakeFrame(RECT{0, 0, 100, 100}, 1));
    auto* b = Append(manager, MakeFrame(RECT{200, 0, 300, 100}, 2));
    auto* other = Append(manager, MakeFrame(RECT{400, 0, 500, 100}, 3));
    a->SetSelected(true);
    b->SetSelected(true);
    EXPECT_TRUE(manager.SetFramePlacement(0));
    EXPECT_EQ(a->GetImagePlacement(), 0);
    EXPECT_EQ(b->GetImagePlacement(), 0);
    EXPECT_EQ(other->GetImagePlacement(), 1);
    EXPECT_TRUE(manager.SetAutoRotate(true));
    EXPECT_EQ(a->GetImageRotation(), 4);
    EXPECT_EQ(b->GetImageRotation(), 4);
    EXPECT_EQ(host.Kinds(), (std::vector<int>{5, 1, 5, 1}));
    EXPECT_TRUE(manager.SetAutoRotate(false));
    EXPECT_EQ(a->GetImageRotation(), 0);
    ASSERT_EQ(manager.Undo(), 1);
    EXPECT_EQ(b->GetImageRotation(), 4);
    // Nothing selected: a record, no message.
    manager.SelectAll(false);
    host.Clear();
    EXPECT_TRUE(manager.SetFramePlacement(1));
    EXPECT_TRUE(host.sent.empty());
    EXPECT_NE(manager.GetPendingUndo(), nullptr);
}

TEST_F(PropertiesTest, RenumberingClosesGapsAndKeepsSharedNumbers)
{
    auto* a = Append(manager, MakeFrame(RECT{0, 0, 10, 10}, 1));
    auto* b = Append(manager, MakeFrame(RECT{0, 0, 10, 10}, 3));
    auto* c = Append(manager, MakeFrame(RECT{0, 0, 10, 10}, 3));
    EXPECT_TRUE(manager.RenumberInsertFrames(false));
    EXPECT_EQ(FrameNumbers(manager), (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(a->GetLabel(), "F1");
    EXPECT_EQ(b->GetLabel(), "Frame2");
    EXPECT_EQ(c->GetLabel(), "Frame2");
    EXPECT_FALSE(manager.RenumberInsertFrames(false));
}

} // namespace
