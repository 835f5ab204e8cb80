// One item of each kind drawn at the scales 1.0 and 0.4, checked by pixels.
#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Layout/support/LayoutTestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace layouttest;

namespace {

int Scaled(int v, float scale)
{
    return static_cast<int>(v * scale + 0.5f);
}

} // namespace

class ItemDrawingTest : public ::testing::TestWithParam<float>
{
protected:
    void SetUp() override { EnsureGuiApplication(); }
    FakeShell shell;
};

TEST_P(ItemDrawingTest, InsertFrameEdgesNumberAndPlaceholder)
{
    const float scale = GetParam();
    CInsertImageFrameItem frame;
    frame.SetRect(RECT{50, 50, 250, 200});
    frame.SetFrameNumber(7);
    frame.SetDrawSuppressed(false);
    CImage canvas;
    ASSERT_TRUE(canvas.Create(Scaled(300, scale), Scaled(250, scale)));
    ASSERT_TRUE(frame.Draw(&canvas, scale, nullptr, false));
    const int L = Scaled(50, scale), T = Scaled(50, scale), R = Scaled(250, scale) - 1,
              B = Scaled(200, scale) - 1;
    const int mx = (L + R) / 2, my = (T + B) / 2;
    const std::uint32_t red = Px(0x0000FF), blue = Px(0xFF0000);
    EXPECT_EQ(RgbAt(canvas, mx, B), red);
    EXPECT_EQ(RgbAt(canvas, mx, T), blue);
    EXPECT_EQ(RgbAt(canvas, L, my), blue);
    EXPECT_EQ(RgbAt(canvas, R, my), blue);
    EXPECT_EQ(RgbAt(canvas, L - 3, my), 0xFFFFFFu) << "nothing outside the frame's lines";
    // The picture fills the inside (the placeholder is drawn opaque, without white).
    EXPECT_NE(RgbAt(canvas, L + 6, T + 6), 0xFFFFFFu);
    // The number's ink (black) lies around the centre.
    int inkLeft = 10000, inkRight = -1;
    for (int y = T + 3; y < B - 2; ++y)
        for (int x = L + 3; x < R - 2; ++x)
            if (RgbAt(canvas, x, y) == 0x000000u) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
    ASSERT_GE(inkRight, 0);
    EXPECT_NEAR((inkLeft + inkRight) / 2.0, mx, 6.0);

    // A quarter turn puts the red edge on the left.
    frame.SetImageRotation(1);
    ASSERT_TRUE(frame.Draw(&canvas, scale, nullptr, false));
    EXPECT_EQ(RgbAt(canvas, L, my), red);
    EXPECT_EQ(RgbAt(canvas, mx, B), blue);

    // Output drawing (forced) and camera layouts show neither number nor edges.
    CImage output;
    ASSERT_TRUE(output.Create(canvas.GetWidth(), canvas.GetHeight()));
    ASSERT_TRUE(frame.Draw(&output, scale, nullptr, true));
    EXPECT_EQ(CountColor(output, red) + CountColor(output, blue), 0);
    shell.cameraLayout = true;
    CImage camera;
    ASSERT_TRUE(camera.Create(canvas.GetWidth(), canvas.GetHeight()));
    ASSERT_TRUE(frame.Draw(&camera, scale, nullptr, false));
    EXPECT_EQ(CountColor(camera, red) + CountColor(camera, blue), 0);
}

TEST_P(ItemDrawingTest, BackgroundFrameThroughItsMask)
{
    const float scale = GetParam();
    ScratchFolder scratch;
    const ScopedTmpDir tmpDir(scratch.Path());
    {
        CBackgroundImageFrameItem frame;
        ASSERT_EQ(frame.LoadImage(WriteBmp24(scratch / "p.bmp", 200, 200, 0xFF0000)), ImageLoadOk);
        // The left half made transparent.
        CImage* picture = frame.GetImageBuffer1();
        std::vector<std::uint8_t> plane(200 * 200, 0);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 100; ++x)
                plane[static_cast<std::size_t>(y) * 200 + static_cast<std::size_t>(x)] = 255;
        ASSERT_TRUE(picture->SetMaskPlane(plane.data()));
        frame.SetRect(RECT{0, 0, 200, 200});
        frame.SetDrawSuppressed(false);
        CImage canvas;
        ASSERT_TRUE(canvas.Create(Scaled(200, scale), Scaled(200, scale)));
        canvas.FillRectLTRB(0, 0, canvas.GetWidth(), canvas.GetHeight(), 0x808080);
        ASSERT_TRUE(frame.Draw(&canvas, scale, nullptr, false));
        const int w = canvas.GetWidth();
        EXPECT_EQ(RgbAt(canvas, 1, 1), 0x808080u);
        EXPECT_EQ(RgbAt(canvas, w / 2 - 2, w / 2), 0x808080u);
        EXPECT_EQ(RgbAt(canvas, w / 2 + 1, w / 2), 0xFF0000u);
        EXPECT_EQ(RgbAt(canvas, w - 1, w - 1), 0xFF0000u);
        // Selection frame with its handles around the scaled rect.
        frame.SetSelected(true);
        CImage selection;
        ASSERT_TRUE(selection.Create(Scaled(200, scale) + 20, Scaled(200, scale) + 20));
        const POINT origin{10, 10};
        frame.DrawSelection(&selection, &origin);
        EXPECT_EQ(RgbAt(selection, 9, 30), 0x000000u);
        EXPECT_EQ(RgbAt(selection, 6, 6), 0xFFFFFFu);
        EXPECT_EQ(RgbAt(selection, 3, 3), 0x000000u);
    }
}

TEST_P(ItemDrawingTest, StringItemInkStaysInsideItsScaledRect)
{
    const float scale = GetParam();
    CStringItem item;
    item.SetRect(RECT{100, 50, 500, 250});
    item.SetText("Hello\r\nWorld");
    LOGFONT font;
    font.lfHeight = -16;
    font.lfFaceName = "DejaVu Sans";
    item.SetLogFont(&font);
    item.SetTextColor(0x00FF00);
    item.SetDrawSuppressed(false);
    CImage canvas;
    ASSERT_TRUE(canvas.Create(Scaled(600, scale), Scaled(300, scale)));
    ASSERT_TRUE(item.Draw(&canvas, scale, nullptr, false));
    const RECT ink = InkBounds(canvas, 0xFFFFFF);
    ASSERT_GT(ink.right, ink.left);
    EXPECT_GE(ink.left, Scaled(100, scale));
    EXPECT_GE(ink.top, Scaled(50, scale));
    EXPECT_LE(ink.right, Scaled(500, scale));
    EXPECT_LE(ink.bottom, Scaled(250, scale));
    EXPECT_EQ(CountColor(canvas, Px(0x00FF00)) + CountColor(canvas, 0xFFFFFF),
              canvas.GetWidth() * canvas.GetHeight());
}

INSTANTIATE_TEST_SUITE_P(Scales, ItemDrawingTest, ::testing::Values(1.0f, 0.4f));

TEST(InsertFrameLinks, RemoveLinkedTextsDeletesOnlyItsOwn)
{
    FakeShell shell;
    LayoutItemList list;
    auto frame = std::make_unique<CInsertImageFrameItem>();
    auto mine = std::make_unique<CMacroStringItem>();
    auto other = std::make_unique<CMacroStringItem>();
    frame->SetLinkedText2(mine.get());
    CInsertImageFrameItem* frameRef = frame.get();
    list.push_back(std::move(mine));
    list.push_back(std::move(other));
    list.push_back(std::move(frame));
    EXPECT_FALSE(frameRef->RemoveLinkedTexts(nullptr));
    EXPECT_TRUE(frameRef->RemoveLinkedTexts(&list));
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(frameRef->GetLinkedText2(), nullptr);
}

TEST(InsertFrameLinks, InfoFontKeyLooksUpTheFace)
{
    ScratchFolder scratch;
    FakeShell shell;
    shell.localizeIniPath = scratch.Write("Localize.ini", "[DrawStringFont]\r\nInfo=DejaVu Sans\r\n");
    CInsertImageFrameItem frame;
    frame.ApplyInfoFontKey("Info");
    EXPECT_EQ(frame.GetInfoFontKey(), "Info");
    EXPECT_EQ(frame.GetInfoFontName(), "DejaVu Sans");
    frame.ApplyInfoFontKey("Missing");
    EXPECT_EQ(frame.GetInfoFontName(), "Missing");
}

TEST(InsertFrameCamera, NoResizeHandlesInCameraLayouts)
{
    EnsureGuiApplication();
    FakeShell shell;
    CInsertImageFrameItem frame;
    frame.SetRect(RECT{20, 20, 60, 40});
    frame.SetDrawSuppressed(false);
    frame.SetSelected(true);
    EXPECT_EQ(frame.HitTest(POINT{16, 16}), 2);
    shell.cameraLayout = true;
    EXPECT_EQ(frame.HitTest(POINT{16, 16}), 0);
    EXPECT_EQ(frame.HitTest(POINT{30, 30}), 1);
    CImage canvas;
    ASSERT_TRUE(canvas.Create(80, 60));
    frame.DrawSelection(&canvas, nullptr);
    EXPECT_EQ(RgbAt(canvas, 30, 19), 0x000000u) << "the outline is drawn";
    EXPECT_EQ(CountColor(canvas, 0x000000), 2 * 41 + 2 * 19) << "and nothing else";
}
