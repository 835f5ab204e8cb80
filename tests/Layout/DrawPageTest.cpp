#include "Layout/LayoutManager.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"
#include "Layout/support/ReferencePicture.h"

#include <gtest/gtest.h>

namespace {

using namespace managertest;
using layouttest::RgbAt;

constexpr std::uint32_t kGrey = 0xA8A8A8;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kGridColor = 0xE1E1E1;

class DrawPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        ASSERT_TRUE(canvas.Create(170, 240));
        canvas.FillRectLTRB(0, 0, 170, 240, kGrey);
    }
    FakeHost host;
    FakeModeShell shell;
    CLayoutManager manager;
    CImage canvas;
    const POINT origin{8, 8};
};

TEST_F(DrawPageTest, PostcardWithGridAndALine)
{
    manager.SetPaper(0, 0, 0, 500, false); // 1417 x 2097, margins 42
    manager.SetZoom(0.1f, false);
    manager.SetGrid({.stepX = 200, .stepY = 300, .shown = true});
    CLineItem* line = Append(manager, MakeLine(RECT{300, 700, 900, 700}, 30, RGB(255, 0, 0)));
    line->SetDrawSuppressed(false);
    ASSERT_EQ(manager.DrawPage(&canvas, &origin), 1);
    EXPECT_TRUE(referencetest::MatchesReference(referencetest::PictureOf(canvas), "layout/postcard-grid", 0));

    // Around the page the canvas stays grey; the page is 142 x 210 from (8, 8).
    EXPECT_EQ(RgbAt(canvas, 7, 100), kGrey);
    EXPECT_EQ(RgbAt(canvas, 8, 100), kWhite);
    EXPECT_EQ(RgbAt(canvas, 149, 100), kWhite);
    EXPECT_EQ(RgbAt(canvas, 150, 100), kGrey);
    // The printable rect {45, 45, 1368, 2048} at 0.1 from (8, 8), grown by a pixel: outlined black.
    EXPECT_EQ(RgbAt(canvas, 12, 100), kBlack);
    EXPECT_EQ(RgbAt(canvas, 11, 100), kWhite);
    EXPECT_EQ(RgbAt(canvas, 145, 100), kBlack);
    EXPECT_EQ(RgbAt(canvas, 100, 12), kBlack);
    // Grid lines: x = 45, 245, ... and y = 45, 345, ... at 0.1 from (8, 8).
    EXPECT_EQ(RgbAt(canvas, 33, 150), kGridColor);
    EXPECT_EQ(RgbAt(canvas, 34, 150), kWhite);
    EXPECT_EQ(RgbAt(canvas, 100, 43), kGridColor);
    EXPECT_EQ(RgbAt(canvas, 100, 44), kWhite);
    // The line: its rect {30, 70, 90, 70} from the margin offset (4, 4) + (8, 8), 2 pixels thick.
    EXPECT_EQ(RgbAt(canvas, 60, 82), 0xFF0000u);
    EXPECT_EQ(RgbAt(canvas, 60, 80), kWhite);
}

TEST_F(DrawPageTest, BorderlessPageShowsItsBleed)
{
    manager.SetPaper(0, 0, 4, 500, false); // bleed of 36 on every side
    manager.SetZoom(0.1f, false);
    ASSERT_EQ(manager.DrawPage(&canvas, &origin), 1);
    // The extent 1489 x 2169 at 0.1 grown by a pixel: black outline, bleed colour inside.
    EXPECT_EQ(RgbAt(canvas, 7, 100), kBlack);
    EXPECT_EQ(RgbAt(canvas, 8, 100), layouttest::Px(0xDCC8C8));
    // The paper {36, 36, 1453, 2133} at 0.1: white.
    EXPECT_EQ(RgbAt(canvas, 12, 100), kWhite);
    EXPECT_EQ(RgbAt(canvas, 11, 100), layouttest::Px(0xDCC8C8));
}

TEST_F(DrawPageTest, CameraPageWithItsBands)
{
    shell.cameraLayout = true;
    shell.editMode = 2;
    shell.params[1] = 0;   // margin mode 0
    shell.params[2] = 704; // scale 1
    shell.params[6] = 50;
    shell.params[7] = 60;
    shell.params[8] = 653;
    shell.params[9] = 963;
    shell.params[10] = 100;
    shell.params[11] = 120;
    shell.params[12] = 603;
    shell.params[13] = 903;
    manager.SetPaperOrientation(0, false);
    manager.SetZoom(0.2f, false);
    manager.SetGrid({.shown = true}); // no grid on a camera page
    ASSERT_EQ(manager.DrawPage(&canvas, &origin), 1);
    EXPECT_TRUE(referencetest::MatchesReference(referencetest::PictureOf(canvas), "layout/camera-bands", 0));

    // The paper: the image area grown by 42, {8, 18, 695, 1005} at 0.2 from (8, 8),
    // white; the bands cover the whole page outside the frame area, so the
    // paper's edge shows between their dots (x + y even).
    EXPECT_EQ(RgbAt(canvas, 9, 11), kGrey);
    EXPECT_EQ(RgbAt(canvas, 10, 12), kWhite);
    EXPECT_EQ(RgbAt(canvas, 8, 50), kGrey);
    EXPECT_EQ(RgbAt(canvas, 10, 50), kWhite);
    EXPECT_EQ(RgbAt(canvas, 9, 50), kBlack);
    // Inside the frame area {100, 120, 603, 903}: white, no grid.
    EXPECT_EQ(RgbAt(canvas, 80, 120), kWhite);
    EXPECT_EQ(RgbAt(canvas, 81, 121), kWhite);
    // The top band {0, 0, 603, 120} is a black checkerboard over the paper.
    int black = 0;
    int white = 0;
    for (int y = 13; y < 32; ++y)
        for (int x = 12; x < 128; ++x) {
            const std::uint32_t px = RgbAt(canvas, x, y);
            black += px == kBlack;
            white += px == kWhite;
        }
    EXPECT_EQ(black + white, 19 * 116);
    EXPECT_NEAR(black, white, 19);
    EXPECT_NE(RgbAt(canvas, 40, 20), RgbAt(canvas, 41, 20));
}

TEST_F(DrawPageTest, SelectionFramesAreDrawnOverTheItems)
{
    manager.SetPaper(0, 0, 0, 500, false);
    manager.SetZoom(0.1f, false);
    CStringItem* text = Append(manager, MakeString(RECT{300, 300, 900, 900}, "S"));
    text->SetDrawSuppressed(false);
    manager.DrawPage(&canvas, &origin);
    CImage plain;
    plain.Create(170, 240);
    plain.FillRectLTRB(0, 0, 170, 240, kGrey);
    manager.DrawPage(&plain, &origin);
    text->SetSelected(true);
    manager.DrawPage(&canvas, &origin);
    // The rect {30, 30, 90, 90} from (12, 12): the outline runs one pixel left of it,
    // and the top-left handle's border lies 3 pixels around (38, 38).
    EXPECT_EQ(RgbAt(plain, 41, 60), kWhite);
    EXPECT_EQ(RgbAt(canvas, 41, 60), kBlack);
    EXPECT_EQ(RgbAt(plain, 35, 38), kWhite);
    EXPECT_EQ(RgbAt(canvas, 35, 38), kBlack);
}

} // namespace
