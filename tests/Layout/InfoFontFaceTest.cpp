// A face chosen for the image-information texts brings the key the layout
// files store for it, so the texts read back with their font.
#include "Core/support/ScratchFolder.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/MacroStringItem.h"
#include "Layout/support/DialogFakes.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kFonts = "[DrawStringFont]\r\nRoman=Face R\r\nCourier=Face G\r\nGothic=Face G\r\n"
                               "Mincho=Face M\r\nOther=Face X\r\n";

TEST(InfoFontFace, TheFaceBringsTheKeyThatNamesIt)
{
    struct Case
    {
        const char* ownKey;
        const char* face;
        const char* key;
    };
    // The frame's own key wins when it names the face; otherwise the first of
    // the offered keys; a face no offered key names keeps the key.
    const Case cases[] = {
        {"", "Face G", "Courier"},       {"Gothic", "Face G", "Gothic"},
        {"Courier", "Face M", "Mincho"}, {"", "Face R", "Roman"},
        {"Other", "Face X", "Other"},    {"Mincho", "Face X", "Mincho"},
        {"Mincho", "Unknown", "Mincho"}, {"", "Unknown", ""},
    };
    ScratchFolder scratch;
    layouttest::FakeShell shell;
    shell.localizeIniPath = scratch.Write("Localize.ini", kFonts);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ownKey) + " / " + c.face);
        CInsertImageFrameItem frame;
        frame.SetInfoFontKey(c.ownKey);
        frame.ApplyInfoFontFace(c.face);
        EXPECT_EQ(frame.GetInfoFontName(), c.face);
        EXPECT_EQ(frame.GetInfoFontKey(), c.key);
    }
}

TEST(InfoFontFace, TheImageInformationDialogGivesTheFrameTheKeyOfItsFace)
{
    layouttest::EnsureGuiApplication();
    ScratchFolder scratch;
    managertest::FakeHost host;
    managertest::FakeModeShell shell;
    shell.localizeIniPath = scratch.Write("Localize.ini", kFonts);
    dialogtest::FakeDialogs dialogs;
    CLayoutManager manager;
    managertest::SetUpA4(manager);
    auto* frame = managertest::Append(manager, managertest::MakeFrame(RECT{100, 100, 400, 300}, 1));
    dialogs.editInfo = [](ImageInfoValues& v) {
        v.fontFace = "Face M";
        v.showDateTime = true;
        v.showFileName = true;
    };
    ASSERT_TRUE(manager.EditImageInfo(frame));
    ASSERT_NE(frame->GetLinkedText1(), nullptr);
    EXPECT_EQ(frame->GetInfoFontName(), "Face M");
    EXPECT_EQ(frame->GetInfoFontKey(), "Mincho");

    // Another face chosen later moves the key with it.
    dialogs.editInfo = [](ImageInfoValues& v) { v.fontFace = "Face G"; };
    ASSERT_TRUE(manager.EditImageInfo(frame));
    EXPECT_EQ(frame->GetInfoFontKey(), "Courier");
}

} // namespace
