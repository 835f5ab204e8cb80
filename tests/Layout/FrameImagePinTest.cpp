// The frame image of two pages: the canvas, its mask and the written file
// are pinned against stored pictures, so that a faster renderer cannot change a pixel
// unseen. The first page is the benchmark's A4 page; the second gathers the
// cases the fast paths must leave as they were (turned, partly transparent
// and overhanging backgrounds, texts and lines under and over them).
#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/Image.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/FrameImage.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"
#include "Layout/StringItem.h"
#include "Layout/support/FrameImageSupport.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"
#include "Layout/support/ReferencePicture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using namespace managertest;

std::vector<char> Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// The canvas and its mask as pictures, and whether the written file holds
// what encoding that canvas gives (the encoder's own bytes are pinned by its
// tests).
struct Rendered
{
    QImage canvas, mask;
    bool fileIsTheCanvas = false;
};

class FrameImagePinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        SetUpA4(manager);
        manager.SetFrameImageClock(&clock);
    }

    CBackgroundImageFrameItem* AddBackground(int at, RECT rect, const std::string& path)
    {
        auto background = std::make_unique<CBackgroundImageFrameItem>();
        EXPECT_EQ(background->LoadImage(path), ImageLoadOk);
        background->SetRect(rect);
        CBackgroundImageFrameItem* raw = background.get();
        manager.AddItem(at, std::move(background));
        return raw;
    }

    CStringItem* AddText(int at, RECT rect, const std::string& text, int size, int direction)
    {
        auto item = std::make_unique<CStringItem>();
        item->SetRect(rect);
        LOGFONT font;
        font.lfFaceName = "IPAGothic";
        font.lfHeight = -size;
        item->SetLogFont(&font);
        item->SetText(text);
        item->SetDirection(direction);
        CStringItem* raw = item.get();
        manager.AddItem(at, std::move(item));
        return raw;
    }

    void AddLine(int at, RECT rect, int width, COLORREF color)
    {
        manager.AddItem(at, MakeLine(rect, width, color));
    }

    Rendered Render()
    {
        CImage canvas;
        bool small = true;
        EXPECT_EQ(manager.RenderFrameCanvas(canvas, &small), 0);
        EXPECT_TRUE(canvas.HasMask());
        const std::string out = scratch / "page.eff";
        int quality = 90;
        EXPECT_EQ(manager.RenderStringItems(out, "", 0, &quality, 0), 0);
        if (!canvas.HasMask())
            return {};
        const std::string whole = scratch / "whole.eff";
        EXPECT_EQ(CEFFFile(clock).WriteImage(whole, &canvas, 0, quality), 0);
        return {referencetest::PictureOf(canvas), referencetest::PictureOf(*canvas.GetMask()),
                Bytes(out) == Bytes(whole)};
    }

    ScratchFolder scratch;
    ScopedTmpDir tmpDir{scratch.Path()};
    frameimagetest::FixedClock clock;
    FakeHost host;
    FakeModeShell shell;
    CLayoutManager manager;
};

// Each picture against its stored reference. Two levels of a channel absorb
// a rounding that differs between the vector and plain paths of a platform;
// a moved, added or lost pixel of a picture, a line or a glyph differs by far
// more and fails with the drawn picture and the difference beside it.
constexpr int kTolerance = 2;

void ExpectLikeReferences(const Rendered& got, const std::string& page)
{
    EXPECT_TRUE(referencetest::MatchesReference(got.canvas, page + "-canvas", kTolerance));
    EXPECT_TRUE(referencetest::MatchesReference(got.mask, page + "-mask", kTolerance));
    EXPECT_TRUE(got.fileIsTheCanvas);
}

TEST_F(FrameImagePinTest, BenchmarkPage)
{
    for (int i = 0; i < 4; ++i) {
        const std::string path = layouttest::WriteBmp24(
            scratch / ("picture" + std::to_string(i) + ".bmp"), 900, 1200, [i](int x, int y) {
                // The benchmark writes its rows from the bottom up.
                return std::uint32_t((x * 255 / 900) << 16 | ((1199 - y) * 255 / 1200) << 8 |
                                     ((i * 60) & 0xFF));
            });
        AddBackground(
            -1, RECT{50 + (i % 2) * 1400, 100 + (i / 2) * 2000, 1350 + (i % 2) * 1400, 1900 + (i / 2) * 2000},
            path);
    }
    for (int i = 0; i < 20; ++i) {
        auto line = std::make_unique<CLineItem>();
        if (i % 2)
            line->SetRect(RECT{100 + i * 130, 50, 100 + i * 130, 4000});
        else
            line->SetRect(RECT{50, 100 + i * 200, 2800, 100 + i * 200});
        line->SetWidth(1 + i % 10);
        line->SetColor(0x102030u * static_cast<unsigned>(i % 7));
        manager.AddItem(0, std::move(line));
    }
    for (int i = 0; i < 16; ++i) {
        CStringItem* text = AddText(
            0, RECT{100 + (i % 4) * 700, 200 + (i / 4) * 1000, 700 + (i % 4) * 700, 600 + (i / 4) * 1000},
            "Frame text " + std::to_string(i) + "\nsecond line", 16 + i, i % 4);
        LOGFONT font;
        text->GetLogFont(&font);
        font.lfWeight = i % 3 ? FW_NORMAL : FW_BOLD;
        text->SetLogFont(&font);
        text->SetTextColor(0x2040C0u + static_cast<unsigned>(i));
        text->SetShadow(i % 2 == 0);
        text->SetShadowOffset(POINT{-5, 3});
    }
    ExpectLikeReferences(Render(), "layout/frame-benchmark");
}

TEST_F(FrameImagePinTest, EdgeCasesOfBackgroundsAndTexts)
{
    // Drawn back to front: the items added last at the tail are drawn first.
    // A partly transparent picture over text and lines.
    const std::string glass = layouttest::WriteBmp24(scratch / "glass.bmp", 300, 200, 0x808080);
    CBackgroundImageFrameItem* see = AddBackground(-1, RECT{200, 300, 1400, 1100}, glass);
    {
        std::vector<std::uint8_t> pixels(300 * 200 * 4);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x) {
                std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * 300 + x) * 4];
                p[0] = static_cast<std::uint8_t>(x);
                p[1] = static_cast<std::uint8_t>(y);
                p[2] = static_cast<std::uint8_t>(x ^ y);
                // Opaque, transparent and graded bands.
                p[3] = x < 100 ? 0 : x < 200 ? 255 : static_cast<std::uint8_t>((x - 200) * 2 + y / 4);
            }
        ASSERT_EQ(CBMPFile().WriteRaw32(see->GetImageFileName2(), pixels.data(), 300, 200), 0);
    }
    CStringItem* over = AddText(-1, RECT{250, 350, 1300, 700}, "Under glass\nline two", 30, 0);
    over->SetTextColor(0x3060A0);
    over->SetShadow(true);
    over->SetShadowOffset(POINT{4, -6});
    AddLine(-1, RECT{150, 900, 1500, 900}, 12, 0x0000C0);
    // Opaque pictures: turned, reduced, overhanging every edge of the canvas.
    const std::string stripes = layouttest::WriteBmp24(scratch / "stripes.bmp", 400, 250, [](int x, int y) {
        return std::uint32_t(((x * 7) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | ((x + y) & 0xFF));
    });
    AddBackground(-1, RECT{1500, 200, 2300, 1500}, stripes)->SetImageRotation(1);
    AddBackground(-1, RECT{2400, 1600, 2700, 1800}, stripes)->SetImageRotation(2);
    AddBackground(-1, RECT{300, 1600, 500, 3000}, stripes)->SetImageRotation(3);
    AddBackground(-1, RECT{-400, -300, 700, 250}, stripes);
    AddBackground(-1, RECT{2500, 3800, 3600, 4600}, stripes);
    AddBackground(-1, RECT{1000, 2000, 1170, 2170}, stripes);
    // Drawn before the one above, which so lands on a drawn background.
    AddBackground(-1, RECT{1100, 2100, 1400, 2300}, stripes);
    // Texts in every direction, with and without a back colour, over the pictures.
    for (int d = 0; d < 4; ++d) {
        CStringItem* text = AddText(0, RECT{600 + d * 450, 1800, 1000 + d * 450, 2600},
                                    "Dir " + std::to_string(d) + " gM\nsecond", 20 + 4 * d, d);
        text->SetTextColor(0x10A040u * static_cast<unsigned>(d + 1));
        if (d % 2) {
            text->SetBackColor(0x20C0E0);
            text->SetBackColorOn(true);
        }
        LOGFONT font;
        text->GetLogFont(&font);
        font.lfItalic = d == 2;
        font.lfWeight = d == 3 ? FW_BOLD : FW_NORMAL;
        text->SetLogFont(&font);
        text->SetShadow(d != 1);
        text->SetShadowColor(0x804020);
        text->SetShadowOffset(POINT{3 - d, 2 + d});
    }
    AddLine(0, RECT{100, 1200, 100, 3800}, 3, 0x00FF00);
    // An opaque picture over texts.
    AddBackground(0, RECT{700, 1900, 1300, 2400}, stripes);
    ExpectLikeReferences(Render(), "layout/frame-edge-cases");
}

// The file is written from bands of rows drawn as the encoder takes them; it
// must hold what writing the whole canvas gives, also when the size limit
// makes every band be drawn again, and a background that cannot be read
// fails the render even where no band reaches it.
TEST_F(FrameImagePinTest, BandsWriteWhatTheWholeCanvasWrites)
{
    const std::string stripes = layouttest::WriteBmp24(scratch / "stripes.bmp", 400, 250, [](int x, int y) {
        return std::uint32_t(((x * 5) & 0xFF) << 16 | ((y * 9) & 0xFF) << 8 | ((x ^ y) & 0xFF));
    });
    // Edges off the band grid (32 rows), above the canvas and across it.
    AddBackground(-1, RECT{-40, -57, 900, 31}, stripes);
    AddBackground(-1, RECT{300, 95, 1700, 1333}, stripes)->SetImagePlacement(1);
    AddLine(0, RECT{10, 63, 2500, 63}, 7, 0x204060);
    CStringItem* text = AddText(0, RECT{120, 15, 1900, 270}, "Across\nthe bands gM", 40, 0);
    text->SetBackColor(0xC0E020);
    text->SetBackColorOn(true);
    text->SetShadow(true);
    text->SetShadowOffset(POINT{-7, 9});
    AddText(0, RECT{1500, 1000, 1800, 2900}, "Down the page", 26, 1)->SetShadow(true);

    CImage canvas;
    bool small = true;
    ASSERT_EQ(manager.RenderFrameCanvas(canvas, &small), 0);
    ASSERT_FALSE(small);
    const std::string whole = scratch / "whole.eff";
    ASSERT_EQ(CEFFFile(clock).WriteImage(whole, &canvas, 0, 70), 0);

    // Two attempts over the limit: the third, at quality 70, is kept.
    const RECT printable = manager.GetPrintableRect();
    const FramePadding pad =
        ComputeFramePadding(printable.right - printable.left + 1, printable.bottom - printable.top + 1);
    CFramePainter painter(manager.GetItems(),
                          POINT{pad.offset.x - printable.left, pad.offset.y - printable.top}, pad.width,
                          pad.height);
    int measured = 0;
    int quality = 90;
    const std::string banded = scratch / "banded.eff";
    EXPECT_EQ(WriteFrameImageInBands(painter, pad.width, pad.height, banded, 0, &quality, true, clock,
                                     [&] { return ++measured < 3 ? 245760LL : 1000LL; }),
              0);
    EXPECT_EQ(quality, 70);
    EXPECT_EQ(Bytes(banded), Bytes(whole));

    // A background below the canvas whose picture is gone.
    CBackgroundImageFrameItem* gone = AddBackground(0, RECT{100, 9000, 400, 9300}, stripes);
    std::filesystem::remove(gone->GetImageFileName2());
    CImage failed;
    EXPECT_EQ(manager.RenderFrameCanvas(failed, &small), -1);
    const std::string none = scratch / "none.eff";
    quality = 90;
    EXPECT_EQ(manager.RenderStringItems(none, "", 0, &quality, 0), -1);
    EXPECT_FALSE(std::filesystem::exists(none));
}

} // namespace
