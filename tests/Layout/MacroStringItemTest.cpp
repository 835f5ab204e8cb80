#include "Layout/MacroStringItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/support/LayoutTestSupport.h"

#include <gtest/gtest.h>

using namespace layouttest;

class MacroStringItemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureGuiApplication();
        owner.SetInfoFontName("DejaVu Sans Mono");
        owner.SetInfoFontSize(1);
        owner.SetInfoTextColor(0x0000FF);
        text.SetOwnerFrame(&owner);
        text.SetDrawSuppressed(false);
    }

    FakeShell shell;
    CInsertImageFrameItem owner;
    CMacroStringItem text;
};

TEST_F(MacroStringItemTest, SampleAndMacroTextsByKindAndSwitches)
{
    text.SetMacroKind(CMacroStringItem::KindDateTime);
    EXPECT_EQ(text.GetSampleText(), "XXXX.XX.XX  XX:XX:XX");
    EXPECT_EQ(text.GetMacroText(), "%Y.%L.%D  %H:%M:%S");

    text.SetMacroKind(CMacroStringItem::KindShootingData);
    owner.SetShowISO(true);
    owner.SetShowFlash(true);
    EXPECT_EQ(text.GetSampleText(), "ISOXXX XXX");
    EXPECT_EQ(text.GetMacroText(), "%I %A");
    owner.SetShowExposureTime(true);
    owner.SetShowFNumber(true);
    owner.SetShowCameraName(true);
    EXPECT_EQ(text.GetSampleText(), "X/XXs FX.X ISOXXX XXXXXXXX XXX");
    EXPECT_EQ(text.GetMacroText(), "%E %U %I %C %A");

    text.SetMacroKind(CMacroStringItem::KindFileName);
    EXPECT_EQ(text.GetSampleText(), std::string(32, 'X'));
    EXPECT_EQ(text.GetMacroText(), "%f");
    owner.SetShowFullPath(true);
    EXPECT_EQ(text.GetMacroText(), "%F");

    text.SetMacroKind(5);
    EXPECT_EQ(text.GetSampleText(), "");
    EXPECT_EQ(text.GetMacroText(), "");

    CMacroStringItem orphan;
    orphan.SetMacroKind(CMacroStringItem::KindShootingData);
    EXPECT_EQ(orphan.GetSampleText(), "");
    orphan.SetMacroKind(CMacroStringItem::KindFileName);
    EXPECT_EQ(orphan.GetMacroText(), "");
}

TEST_F(MacroStringItemTest, SelectionFollowsTheOwner)
{
    owner.SetLinkedText1(&text);
    owner.SetSelected(true);
    EXPECT_TRUE(text.IsSelected());
    text.SetSelected(false);
    EXPECT_TRUE(text.IsSelected()) << "a linked text of a selected frame stays selected";
    owner.SetSelected(false);
    EXPECT_FALSE(text.IsSelected());
    text.SetSelected(true);
    EXPECT_TRUE(text.IsSelected());
    text.SetSelected(false);
    EXPECT_FALSE(text.IsSelected());
    owner.SetVisible(false);
    EXPECT_FALSE(text.IsVisible());
}

TEST_F(MacroStringItemTest, FitRectToTextTurnsWithTheDirection)
{
    text.SetRect(RECT{10, 20, 11, 21});
    text.SetMacroKind(CMacroStringItem::KindFileName);
    RECT r;
    text.FitRectToText(&r, true);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_GT(r.right - r.left, r.bottom - r.top);
    text.SetDirection(1);
    text.FitRectToText(&r, true);
    EXPECT_GT(r.bottom - r.top, r.right - r.left);
    text.FitRectToText(&r, false);
    EXPECT_EQ(r.right, 10);
    EXPECT_EQ(r.bottom, 20);
    CMacroStringItem orphan;
    orphan.SetRect(RECT{1, 2, 3, 4});
    orphan.FitRectToText(&r, true);
    EXPECT_EQ(r.right, 3);
    EXPECT_EQ(r.bottom, 4);
}

TEST_F(MacroStringItemTest, DrawsSampleInOwnerColourAndNeverWithoutOwner)
{
    text.SetMacroKind(CMacroStringItem::KindDateTime);
    RECT fit;
    text.SetRect(RECT{0, 0, 1, 1});
    text.FitRectToText(&fit, true);
    text.SetRect(fit);
    for (float scale : {1.0f, 0.4f}) {
        CImage canvas;
        ASSERT_TRUE(canvas.Create(fit.right + 10, fit.bottom + 10));
        canvas.FillRectLTRB(0, 0, canvas.GetWidth(), canvas.GetHeight(), 0x808080);
        ASSERT_TRUE(text.Draw(&canvas, scale, nullptr, false));
        const RECT ink = InkBounds(canvas, 0x808080);
        ASSERT_GT(ink.right, ink.left) << scale;
        EXPECT_LE(ink.right, static_cast<int>(fit.right * scale + 0.5f)) << scale;
        EXPECT_LE(ink.bottom, static_cast<int>(fit.bottom * scale + 0.5f)) << scale;
        EXPECT_EQ(CountColor(canvas, Px(0x0000FF)) + CountColor(canvas, 0x808080),
                  canvas.GetWidth() * canvas.GetHeight());
    }
    CMacroStringItem orphan;
    orphan.SetRect(fit);
    orphan.SetDrawSuppressed(false);
    CImage canvas;
    ASSERT_TRUE(canvas.Create(50, 50));
    EXPECT_FALSE(orphan.Draw(&canvas, 1.0f, nullptr, true));
    EXPECT_EQ(CountColor(canvas, 0xFFFFFF), 50 * 50);
}

TEST_F(MacroStringItemTest, HandlesByDirection)
{
    text.SetRect(RECT{20, 20, 60, 40});
    POINT p;
    text.GetHandlePoint(&p, 0, true);
    EXPECT_EQ(p.x, 0);
    text.GetHandlePoint(&p, 3, true);
    EXPECT_EQ(p.x, 16);
    EXPECT_EQ(p.y, 30);
    EXPECT_EQ(text.HitTest(POINT{64, 30}), 6);
    EXPECT_EQ(text.HitTest(POINT{16, 16}), 0) << "no corner handle";
    text.SetDirection(3);
    EXPECT_EQ(text.HitTest(POINT{40, 16}), 3);
    EXPECT_EQ(text.HitTest(POINT{64, 30}), 0);
    EXPECT_EQ(text.HitTest(POINT{30, 30}), 1);
    text.Rotate(true);
    EXPECT_EQ(text.GetDirection(), 0);
}

TEST_F(MacroStringItemTest, ArchiveWritesNoOwner)
{
    text.SetMacroKind(2);
    text.SetDirection(1);
    const auto bytes = Store(text);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 12, bytes.end()),
              (std::vector<std::uint8_t>{2, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
    CMacroStringItem back;
    back.SetOwnerFrame(&owner);
    Load(back, bytes);
    EXPECT_EQ(back.GetMacroKind(), 2);
    EXPECT_EQ(back.GetDirection(), 1);
    EXPECT_EQ(back.GetOwnerFrame(), nullptr);
}
