#include "Layout/FrameImage.h"
#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/support/FrameImageSupport.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

using namespace managertest;
using namespace frameimagetest;
using layouttest::MaskAt;
using layouttest::Px;
using layouttest::RgbAt;

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlue = 0xFF0000;

class FrameImageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        SetUpA4(manager);
        // The smallest paper: a printable area of 672 x 1126 units from (3, 3).
        manager.SetPaper(23, 0, 0, 500, false);
        manager.SetFrameImageClock(&clock);
    }
    CStringItem* AppendText(RECT rect, const std::string& text, int direction)
    {
        auto* item = Append(manager, MakeString(rect, "S"));
        LOGFONT font;
        font.lfFaceName = "IPAGothic";
        font.lfHeight = -10;
        item->SetLogFont(&font);
        item->SetText(text);
        item->SetTextColor(kRed);
        item->SetDirection(direction);
        return item;
    }
    CImage Canvas()
    {
        CImage canvas;
        bool small = true;
        EXPECT_EQ(manager.RenderFrameCanvas(canvas, &small), 0);
        EXPECT_FALSE(small);
        return canvas;
    }
    CBackgroundImageFrameItem* AppendBackground(RECT rect, const std::string& path)
    {
        auto* item = Append(manager, std::make_unique<CBackgroundImageFrameItem>());
        EXPECT_EQ(item->LoadImage(path), ImageLoadOk);
        item->SetRect(rect);
        return item;
    }

    std::string ScratchPath(const std::string& name) const { return scratch / name; }

    // The editor's temporary folders go to a folder of this test's own.
    ScratchFolder scratch;
    ScopedTmpDir tmpDir{scratch.Path()};
    FixedClock clock;
    FakeHost host;
    FakeModeShell shell;
    CLayoutManager manager;
};

TEST(FramePaddingTest, SmallSidesArePadded)
{
    struct Case
    {
        int w, h;
        int width, height, offsetX, offsetY;
        bool small;
    };
    for (const Case& c : {
             Case{100, 151, 152, 151, 26, 0, true},
             Case{151, 100, 151, 152, 0, 26, true},
             Case{120, 120, 120, 120, 0, 0, true},
             Case{100, 500, 160, 500, 30, 0, false},
             Case{101, 500, 161, 500, 30, 0, false},
             Case{500, 100, 500, 160, 0, 30, false},
             // Too tall for the display box: fitted to 25 x 1024 first.
             Case{50, 2000, 314, 2000, 132, 0, false},
             Case{2000, 50, 2000, 314, 0, 132, false},
             Case{300, 300, 300, 300, 0, 0, false},
         }) {
        const FramePadding pad = ComputeFramePadding(c.w, c.h);
        EXPECT_EQ(pad.width, c.width) << c.w << "x" << c.h;
        EXPECT_EQ(pad.height, c.height) << c.w << "x" << c.h;
        EXPECT_EQ(pad.offset.x, c.offsetX) << c.w << "x" << c.h;
        EXPECT_EQ(pad.offset.y, c.offsetY) << c.w << "x" << c.h;
        EXPECT_EQ(pad.small, c.small) << c.w << "x" << c.h;
    }
}

TEST_F(FrameImageTest, OneVisibleItemRendersNothing)
{
    const std::string path = ScratchPath("one.eff");
    std::filesystem::remove(path);
    Append(manager, MakeLine(RECT{10, 10, 200, 10}, 5));
    Append(manager, MakeLine(RECT{10, 50, 200, 50}, 5))->SetVisible(false);
    int quality = 90;
    EXPECT_EQ(manager.RenderStringItems(path, "", 0, &quality, 0), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    Append(manager, MakeLine(RECT{10, 90, 200, 90}, 5));
    EXPECT_EQ(manager.RenderStringItems("", "", 0, &quality, 0), 0);
}

TEST_F(FrameImageTest, SmallPageIsWrittenAt160)
{
    const FramePadding pad = ComputeFramePadding(100, 151);
    CImage canvas;
    ASSERT_TRUE(canvas.Create(pad.width, pad.height));
    ASSERT_TRUE(canvas.CreateMask());
    canvas.GetMask()->FillRect(0, 0, pad.width, pad.height, 0xFFFFFF);
    canvas.FillRect(pad.offset.x, 0, 100, 151, kBlue);
    canvas.GetMask()->FillRect(pad.offset.x, 0, 100, 151, 0);
    const std::string path = ScratchPath("small.eff");
    int quality = 90;
    ASSERT_EQ(WriteFrameImage(canvas, true, path, 0, &quality, false, clock, nullptr), 0);
    CImage decoded;
    ASSERT_EQ(CEFFFile(clock).Read(path, &decoded), 0);
    EXPECT_EQ(decoded.GetWidth(), 160);
    EXPECT_EQ(decoded.GetHeight(), 160);
    // The padding stays transparent, the page opaque.
    EXPECT_GE(MaskAt(decoded, 2, 80), 253);
    EXPECT_LE(MaskAt(decoded, 80, 80), 2);
}

TEST_F(FrameImageTest, VerticalLineOfWidthOneCoversOneColumn)
{
    Append(manager, MakeLine(RECT{100, 50, 100, 200}, 1, kBlue));
    Append(manager, MakeLine(RECT{300, 400, 500, 400}, 4, kRed));
    const CImage canvas = Canvas();
    for (int y : {47, 120, 197}) {
        EXPECT_EQ(MaskAt(canvas, 97, y), 0) << y;
        EXPECT_EQ(MaskAt(canvas, 96, y), 255) << y;
        EXPECT_EQ(MaskAt(canvas, 98, y), 255) << y;
        EXPECT_EQ(RgbAt(canvas, 97, y), Px(kBlue));
    }
    EXPECT_EQ(MaskAt(canvas, 97, 198), 255);
    // A horizontal line grows downwards by its width.
    const RECT red = ColorBounds(canvas, kRed);
    EXPECT_EQ((std::vector<long>{red.left, red.top, red.right, red.bottom}),
              (std::vector<long>{297, 397, 498, 401}));
}

TEST_F(FrameImageTest, FramesAndTheirTextsStayTransparent)
{
    auto* frame = AppendFrameWithTexts(manager, RECT{200, 200, 400, 400}, 1, {RECT{200, 401, 300, 420}});
    frame->GetLinkedText1()->SetDrawSuppressed(false);
    Append(manager, MakeLine(RECT{10, 10, 600, 10}, 5));
    const CImage canvas = Canvas();
    int opaque = 0;
    for (int y = 197; y < 418; ++y)
        for (int x = 197; x < 398; ++x)
            opaque += MaskAt(canvas, x, y) != 255;
    EXPECT_EQ(opaque, 0);
    EXPECT_EQ(MaskAt(canvas, 100, 8), 0);
}

TEST_F(FrameImageTest, SecondLineOfDirectionOneLiesLeftOfTheFirst)
{
    CStringItem* first = AppendText(RECT{100, 100, 400, 600}, "MMMM", 1);
    Append(manager, MakeLine(RECT{10, 1000, 600, 1000}, 1));
    const RECT alone = ColorBounds(Canvas(), kRed);
    ASSERT_LT(alone.left, alone.right);
    first->SetText("\nMMMM");
    const RECT second = ColorBounds(Canvas(), kRed);
    ASSERT_LT(second.left, second.right);
    EXPECT_LE(second.right, alone.left);
    // Turned text runs down the page.
    EXPECT_GT(alone.bottom - alone.top, alone.right - alone.left);
}

TEST_F(FrameImageTest, ShadowLiesLeftOfAndBelowTheMovedText)
{
    CStringItem* text = AppendText(RECT{100, 100, 500, 300}, "M", 0);
    Append(manager, MakeLine(RECT{10, 1000, 600, 1000}, 1));
    const RECT plain = ColorBounds(Canvas(), kRed);
    ASSERT_LT(plain.left, plain.right);
    text->SetShadow(true);
    text->SetShadowOffset(POINT{-5, 3});
    text->SetShadowColor(kBlue);
    const CImage canvas = Canvas();
    const RECT moved = ColorBounds(canvas, kRed);
    const RECT shadow = ColorBounds(canvas, kBlue);
    EXPECT_EQ(moved.left, plain.left + 5);
    EXPECT_EQ(moved.top, plain.top);
    EXPECT_EQ(shadow.left, moved.left - 5);
    EXPECT_EQ(shadow.bottom, moved.bottom + 3);
    // The mask covers text and shadow alike.
    int inked = 0;
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x) {
            const std::uint32_t rgb = RgbAt(canvas, x, y);
            if (rgb == Px(kRed) || rgb == Px(kBlue)) {
                ++inked;
                EXPECT_EQ(MaskAt(canvas, x, y), 0) << x << "," << y;
            }
        }
    EXPECT_GT(inked, 0);
}

TEST_F(FrameImageTest, BackgroundFillsItsRectInColourAndMask)
{
    const std::string path = layouttest::WriteBmp24(ScratchPath("green.bmp"), 200, 200, 0x00FF00);
    AppendBackground(RECT{100, 100, 300, 300}, path);
    Append(manager, MakeLine(RECT{10, 1000, 600, 1000}, 1));
    const CImage canvas = Canvas();
    EXPECT_EQ(RgbAt(canvas, 150, 150), 0x00FF00u);
    EXPECT_EQ(MaskAt(canvas, 150, 150), 0);
    EXPECT_EQ(MaskAt(canvas, 90, 150), 255);
}

TEST_F(FrameImageTest, WrittenFileDecodesToTheDrawnCanvas)
{
    const std::string path = layouttest::WriteBmp24(ScratchPath("gradient.bmp"), 240, 180, [](int x, int y) {
        return std::uint32_t(x << 16 | y << 8 | 0x40);
    });
    AppendBackground(RECT{50, 600, 530, 960}, path);
    for (int i = 0; i < 5; ++i)
        Append(manager, MakeLine(RECT{20, 30 + 40 * i, 600, 30 + 40 * i}, 1 + 3 * i, 0x204080u * (i + 1)));
    AppendText(RECT{40, 300, 640, 500}, "Frame image\nsecond line", 0)->SetBackColorOn(false);
    const CImage drawn = Canvas();
    const std::string out = ScratchPath("page.eff");
    int quality = 90;
    ASSERT_EQ(manager.RenderStringItems(out, "", 0, &quality, 0), 0);
    EXPECT_EQ(quality, 90);
    CImage decoded;
    ASSERT_EQ(CEFFFile(clock).Read(out, &decoded), 0);
    ASSERT_TRUE(decoded.HasMask());
    EXPECT_LE(MaxMaskDifference(drawn, decoded), 2);
    EXPECT_GE(ColorPsnr(drawn, decoded), 30.0);
}

TEST_F(FrameImageTest, NoisyPageLowersTheQualityUntilItFits)
{
    std::mt19937 random(7);
    const std::string path = layouttest::WriteBmp24(ScratchPath("noise.bmp"), 672, 1126, [&random](int, int) {
        return std::uint32_t(random() & 0xFFFFFF);
    });
    AppendBackground(RECT{3, 3, 674, 1128}, path);
    Append(manager, MakeLine(RECT{10, 1000, 600, 1000}, 1));
    const std::string out = ScratchPath("noise.eff");
    int quality = 90;
    ASSERT_EQ(manager.RenderStringItems(out, "", 0, &quality, 1), 0);
    EXPECT_LT(quality, 90);
    EXPECT_GE(quality, 10);
    EXPECT_EQ(quality % 10, 0);
    EXPECT_LT(std::filesystem::file_size(out), std::uintmax_t(CLayoutManager::kFrameImageSizeLimit));
    // One step better would not have fitted.
    int better = quality + 10;
    ASSERT_EQ(manager.RenderStringItems(out, "", 0, &better, 0), 0);
    EXPECT_GE(std::filesystem::file_size(out), std::uintmax_t(CLayoutManager::kFrameImageSizeLimit));

    int tooLow = 5;
    EXPECT_EQ(manager.RenderStringItems(out, "", 0, &tooLow, 1), -3);
    EXPECT_EQ(tooLow, 5);
}

} // namespace
