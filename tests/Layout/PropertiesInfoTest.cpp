#include "Layout/LayoutManager.h"
#include "Layout/UndoInfo.h"
#include "Layout/support/DialogFakes.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace managertest;
using dialogtest::FakeDialogs;

class PropertiesInfoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        SetUpA4(manager);
        printable = manager.GetPrintableRect();
    }
    static RECT RectOf(const CLayoutItem* item)
    {
        RECT r;
        item->GetRect(&r, false);
        return r;
    }
    void Want(bool dateTime, bool exposure, bool fileName)
    {
        dialogs.editInfo = [=](ImageInfoValues& v) {
            v.fontFace = "IPAGothic";
            v.fontSize = 10;
            v.showDateTime = dateTime;
            v.showExposureTime = exposure;
            v.showFileName = fileName;
        };
    }

    FakeHost host;
    FakeModeShell shell;
    FakeDialogs dialogs;
    CLayoutManager manager;
    RECT printable{};
};

TEST_F(PropertiesInfoTest, NewTextsGoBelowTheFrameInFrontOfIt)
{
    Append(manager, MakeString(RECT{0, 0, 10, 10}, "front"));
    auto* frame = Append(manager, MakeFrame(RECT{100, 100, 400, 300}, 1));
    frame->SetSelected(true);
    Want(true, false, true);
    ASSERT_TRUE(manager.EditImageInfo(nullptr));
    EXPECT_FALSE(dialogs.offeredInfo.showDateTime);

    CMacroStringItem* date = frame->GetLinkedText1();
    CMacroStringItem* name = frame->GetLinkedText3();
    ASSERT_NE(date, nullptr);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(frame->GetLinkedText2(), nullptr);
    EXPECT_EQ(date->GetMacroKind(), 0);
    EXPECT_EQ(name->GetMacroKind(), 2);
    const RECT d = RectOf(date);
    EXPECT_EQ(d.left, 100);
    EXPECT_EQ(d.top, 301);
    EXPECT_GT(d.right, d.left);
    EXPECT_GT(d.bottom, d.top);
    EXPECT_EQ(RectOf(name).top, d.bottom + 1);
    EXPECT_FALSE(date->IsDrawSuppressed());
    EXPECT_TRUE(date->IsSelected());
    EXPECT_EQ(manager.GetItemIndex(date), 1);
    EXPECT_EQ(manager.GetItemIndex(name), 2);
    EXPECT_EQ(manager.GetItemIndex(frame), 3);
    EXPECT_EQ(frame->GetInfoFontName(), "IPAGothic");
    EXPECT_NE(dynamic_cast<CChangeMacroStringUndoInfo*>(manager.GetPendingUndo()), nullptr);
    EXPECT_EQ(host.Kinds(), (std::vector<int>{3, 1}));
}

TEST_F(PropertiesInfoTest, TextBelowThePrintableRectIsMovedUp)
{
    auto* frame =
        Append(manager, MakeFrame(RECT{2700, printable.bottom - 10, 2880, printable.bottom - 2}, 1));
    Want(true, false, false);
    ASSERT_TRUE(manager.EditImageInfo(frame));
    const RECT r = RectOf(frame->GetLinkedText1());
    EXPECT_EQ(r.bottom, printable.bottom);
    EXPECT_LT(r.top, printable.bottom - 1);
    EXPECT_LE(r.right, printable.right);
    EXPECT_GE(r.left, printable.left);
}

TEST_F(PropertiesInfoTest, ShootingDataFollowsItsFlagsAndAllOffDeletes)
{
    auto* frame = Append(manager, MakeFrame(RECT{100, 100, 400, 300}, 1));
    Want(true, true, false);
    ASSERT_TRUE(manager.EditImageInfo(frame));
    ASSERT_NE(frame->GetLinkedText2(), nullptr);
    EXPECT_TRUE(frame->ShowsExposureTime());
    EXPECT_EQ(manager.GetItems().size(), 3u);

    host.Clear();
    Want(false, false, false);
    ASSERT_TRUE(manager.EditImageInfo(frame));
    EXPECT_EQ(frame->GetLinkedText1(), nullptr);
    EXPECT_EQ(frame->GetLinkedText2(), nullptr);
    EXPECT_EQ(manager.GetItems().size(), 1u);
    EXPECT_EQ(host.Kinds(), (std::vector<int>{3, 1}));
}

TEST_F(PropertiesInfoTest, CancelChangesNothingAndATextFindsItsFrame)
{
    auto* frame = AppendFrameWithTexts(manager, RECT{100, 100, 400, 300}, 1, {RECT{100, 301, 200, 320}});
    frame->GetLinkedText1()->SetSelected(true);
    dialogs.confirm = false;
    EXPECT_FALSE(manager.EditImageInfo(nullptr));
    EXPECT_TRUE(dialogs.offeredInfo.showDateTime);
    EXPECT_EQ(manager.GetItems().size(), 2u);
    EXPECT_EQ(manager.GetPendingUndo(), nullptr);
    EXPECT_TRUE(host.sent.empty());
    // The double click on a text opens its frame's dialog.
    manager.EditItemProperties(frame->GetLinkedText1());
    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"info", "info"}));
}

} // namespace
