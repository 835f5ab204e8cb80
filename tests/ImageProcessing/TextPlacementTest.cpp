#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>

using imagetest::PixelAt;

namespace {

struct Box
{
    int left, top, right, bottom;
};

// The line boxes of the frame image's string rendering for direction d,
// line i, with (cx, cy) the unturned extent and l, t, r, b the item.
Box LineBox(int direction, int i, SIZE extent, const RECT& item)
{
    const int a = direction % 2 == 0 ? extent.cx : extent.cy;
    const int c = direction % 2 == 0 ? extent.cy : extent.cx;
    const int l = item.left, t = item.top, r = item.right, b = item.bottom;
    switch (direction) {
    case 0:
        return {l, t + i * c, l + a, t + (i + 1) * c};
    case 1:
        return {r - (i + 1) * a, t, r - i * a + c, t + c + a};
    case 2:
        return {r - a, b - i * c - a, r + a, b + (1 - i) * c};
    default:
        return {l + i * a, b - c, l + (i + 1) * a, b + a};
    }
}

constexpr int kEscapement[4] = {0, -900, 1800, 900};
constexpr unsigned kAlignment[4] = {DT_VCENTER, DT_RIGHT, DT_RIGHT | DT_BOTTOM, DT_BOTTOM};

struct Ink
{
    int count = 0;
    int outside = 0;
    Box bounds{1 << 30, 1 << 30, -1, -1};
};

Ink FindInk(const CImage& canvas, const Box& box)
{
    Ink ink;
    for (int y = 0; y < canvas.GetHeight(); ++y) {
        for (int x = 0; x < canvas.GetWidth(); ++x) {
            if ((PixelAt(canvas, x, y) & 0xFFFFFF) == 0xFFFFFF)
                continue;
            ++ink.count;
            if (x < box.left || x >= box.right || y < box.top || y >= box.bottom)
                ++ink.outside;
            ink.bounds = {std::min(ink.bounds.left, x), std::min(ink.bounds.top, y),
                          std::max(ink.bounds.right, x + 1), std::max(ink.bounds.bottom, y + 1)};
        }
    }
    return ink;
}

LOGFONT TestFont(int escapement)
{
    LOGFONT font;
    font.lfHeight = 40;
    font.lfWeight = FW_NORMAL;
    font.lfEscapement = escapement;
    font.lfFaceName = "IPAGothic";
    return font;
}

} // namespace

class TextPlacement : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override { imagetest::EnsureGuiApplication(); }
};

TEST_P(TextPlacement, TwoLinesKeepTheirInkInsideTheFrameImageLineBoxes)
{
    const int direction = GetParam();
    const RECT item{150, 150, 450, 450};
    const char* lines[2] = {"Photo Ag ", "frame jy "};
    Box previous{};
    for (int i = 0; i < 2; ++i) {
        CImage canvas;
        ASSERT_TRUE(canvas.Create(600, 600));
        // Measured with the unturned font, drawn with the turned one.
        canvas.SelectObject(CImageFont(TestFont(0)));
        const SIZE extent = canvas.GetTextExtent(lines[i]);
        ASSERT_GT(extent.cx, extent.cy);
        ASSERT_GE(extent.cy, 38);
        ASSERT_LE(extent.cy, 42);
        canvas.SelectObject(CImageFont(TestFont(kEscapement[direction])));
        canvas.SetBkMode(TRANSPARENT);
        canvas.SetTextColor(RGB(0, 0, 0));
        const Box box = LineBox(direction, i, extent, item);
        RECT rect{box.left, box.top, box.right, box.bottom};
        // No clip: the placement alone must keep the ink in the box.
        ASSERT_GT(canvas.DrawText(lines[i], -1, &rect,
                                  DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | kAlignment[direction]),
                  0);
        const Ink ink = FindInk(canvas, box);
        EXPECT_GT(ink.count, 100) << "line " << i;
        EXPECT_EQ(ink.outside, 0) << "direction " << direction << " line " << i << " ink " << ink.bounds.left
                                  << "," << ink.bounds.top << " - " << ink.bounds.right << ","
                                  << ink.bounds.bottom;
        // The text runs along its direction: long across the turned axis.
        const int inkWidth = ink.bounds.right - ink.bounds.left,
                  inkHeight = ink.bounds.bottom - ink.bounds.top;
        if (direction % 2 == 0)
            EXPECT_GT(inkWidth, inkHeight);
        else
            EXPECT_GT(inkHeight, inkWidth);
        if (i == 1) {
            // Lines follow each other downward, leftward, upward, rightward.
            switch (direction) {
            case 0:
                EXPECT_GE(ink.bounds.top, previous.bottom - 1);
                break;
            case 1:
                EXPECT_LE(ink.bounds.right, previous.left + 1);
                break;
            case 2:
                EXPECT_LE(ink.bounds.bottom, previous.top + 1);
                break;
            default:
                EXPECT_GE(ink.bounds.left, previous.right - 1);
                break;
            }
        }
        previous = ink.bounds;
    }
}

INSTANTIATE_TEST_SUITE_P(Escapements, TextPlacement, ::testing::Values(0, 1, 2, 3));

TEST(TextDrawing, UpsideDownTextIsTurnedAboutItsReferencePoint)
{
    imagetest::EnsureGuiApplication();
    CImage canvas;
    ASSERT_TRUE(canvas.Create(300, 200));
    canvas.SelectObject(CImageFont(TestFont(1800)));
    canvas.SetBkMode(TRANSPARENT);
    ASSERT_EQ(canvas.GetDC()->TextOut(200, 100, "Lg"), 1);
    // Turned by half a turn about (200, 100): the ink lies left of and above it.
    const Ink ink = FindInk(canvas, {0, 0, 201, 101});
    EXPECT_GT(ink.count, 20);
    EXPECT_EQ(ink.outside, 0);
}

TEST(TextDrawing, JapaneseTextRendersWithAJapaneseFace)
{
    imagetest::EnsureGuiApplication();
    const std::string text = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3"
                             "\x83\x88";                                    // 日本語テキスト
    for (const char* face : {"IPAGothic", "IPA\xE6\x98\x8E\xE6\x9C\x9D"}) { // IPA明朝
        LOGFONT lf;
        lf.lfHeight = -32;
        lf.lfFaceName = face;
        const CImageFont font(lf);
        const QFontInfo info(font.GetQFont());
        EXPECT_TRUE(info.family().startsWith("IPA")) << info.family().toStdString();
        const QFontMetrics metrics(font.GetQFont());
        for (QChar ch : QString::fromUtf8(text.c_str()))
            EXPECT_TRUE(metrics.inFont(ch)) << face;
        CImage canvas;
        ASSERT_TRUE(canvas.Create(400, 60));
        canvas.SelectObject(font);
        canvas.SetBkMode(TRANSPARENT);
        RECT rect{0, 0, 400, 60};
        ASSERT_GT(canvas.DrawText(text, -1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER), 0);
        const Ink ink = FindInk(canvas, {0, 0, 400, 60});
        EXPECT_GT(ink.count, 200) << face;
        // Seven full-width characters of 32 pixels.
        EXPECT_GT(ink.bounds.right - ink.bounds.left, 6 * 32 - 16);
    }
}

TEST(TextDrawing, MissingJapaneseFacesFallBackToTheIpaFaceOfTheirKind)
{
    imagetest::EnsureGuiApplication();
    struct Case
    {
        const char* face;
        std::uint8_t charSet;
        const char* expected;
    };
    const Case cases[] = {
        {"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\xE6\x98\x8E\xE6\x9C\x9D", 0, "Mincho"}, // テスト明朝
        {"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88", 0, "Gothic"},                         // テスト
        {"NoSuchFace", 128, "Gothic"},
    };
    for (const Case& c : cases) {
        LOGFONT lf;
        lf.lfHeight = -24;
        lf.lfFaceName = c.face;
        lf.lfCharSet = c.charSet;
        const QFontInfo info(CImageFont(lf).GetQFont());
        EXPECT_TRUE(info.family().contains(c.expected)) << c.face << " -> " << info.family().toStdString();
    }
}

TEST(TextDrawing, UnsmoothedTextHasOnlyTextAndBackgroundColours)
{
    imagetest::EnsureGuiApplication();
    for (int escapement : {0, 900}) {
        CImage canvas;
        ASSERT_TRUE(canvas.Create(200, 200));
        canvas.SelectObject(CImageFont(TestFont(escapement)));
        canvas.SetBkMode(OPAQUE);
        canvas.SetBkColor(RGB(0, 0, 255));
        canvas.SetTextColor(RGB(255, 0, 0));
        RECT rect{10, 10, 190, 190};
        canvas.DrawText("Key & mask", -1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_BOTTOM);
        int text = 0, back = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 200; ++x) {
                const std::uint32_t p = PixelAt(canvas, x, y) & 0xFFFFFF;
                text += p == 0xFF0000;
                back += p == 0x0000FF;
                ASSERT_TRUE(p == 0xFF0000 || p == 0x0000FF || p == 0xFFFFFF) << std::hex << p;
            }
        }
        EXPECT_GT(text, 50);
        EXPECT_GT(back, 500);
    }
}

TEST(TextDrawing, ExtentsFormatsAndPrefixes)
{
    imagetest::EnsureGuiApplication();
    CImage canvas;
    EXPECT_EQ(canvas.GetTextExtent("abc").cx, 0);
    ASSERT_TRUE(canvas.Create(300, 100));
    LOGFONT cell = TestFont(0), character = TestFont(0);
    character.lfHeight = -40;
    canvas.SelectObject(CImageFont(cell));
    const SIZE byCell = canvas.GetTextExtent("Ag");
    EXPECT_NEAR(byCell.cy, 40, 1);
    canvas.SelectObject(CImageFont(character));
    EXPECT_GT(canvas.GetTextExtent("Ag").cy, byCell.cy); // the character height excludes the leading
    canvas.SelectObject(CImageFont(cell));
    RECT calc{5, 5, 5, 5};
    canvas.DrawText("a&&b", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.right - calc.left, canvas.GetTextExtent("a&b").cx);
    RECT two{0, 0, 0, 0};
    EXPECT_EQ(canvas.DrawText("x\r\ny", -1, &two, DT_CALCRECT | DT_NOPREFIX), 2 * byCell.cy);
    // Right alignment ends the ink at the right edge.
    RECT right{0, 0, 290, 100};
    canvas.SetBkMode(TRANSPARENT);
    canvas.DrawText("HH", -1, &right, DT_SINGLELINE | DT_RIGHT);
    const Ink ink = FindInk(canvas, {0, 0, 290, 100});
    EXPECT_EQ(ink.outside, 0);
    EXPECT_GT(ink.bounds.right, 290 - 12);
}

TEST(TextDrawing, WithoutNoClipTheInkStaysInTheRectangleEvenWhenTurned)
{
    imagetest::EnsureGuiApplication();
    for (int escapement : {0, -900, 1800, 900}) {
        int inkCount[2] = {0, 0};
        for (unsigned noClip : {0u, DT_NOCLIP}) {
            CImage canvas;
            ASSERT_TRUE(canvas.Create(300, 300));
            canvas.SelectObject(CImageFont(TestFont(escapement)));
            canvas.SetBkMode(TRANSPARENT);
            // The text is longer than the rectangle: without the clip it overflows.
            RECT rect{120, 120, 180, 180};
            canvas.DrawText("Overflowing", -1, &rect,
                            DT_SINGLELINE | DT_NOPREFIX | DT_CENTER | DT_VCENTER | noClip);
            const Ink ink = FindInk(canvas, {120, 120, 180, 180});
            inkCount[noClip ? 1 : 0] = ink.count;
            if (!noClip)
                EXPECT_EQ(ink.outside, 0) << escapement;
            else
                EXPECT_GT(ink.outside, 0) << escapement;
        }
        EXPECT_LT(inkCount[0], inkCount[1]) << escapement;
    }
}

TEST(TextDrawing, TextWithMaskEqualsTheTwoDrawings)
{
    imagetest::EnsureGuiApplication();
    // Image and mask start with varied pixels, so that smoothed ink blends.
    auto prepare = [](CImage& image, std::uint32_t seed) {
        ASSERT_TRUE(image.Create(260, 240));
        auto* pixels = reinterpret_cast<std::uint32_t*>(image.GetBits());
        for (std::uint32_t i = 0; i < 260 * 240; ++i)
            pixels[i] = (i * 7919 + seed) & 0xFFFFFF;
    };
    auto same = [](const CImage& a, const CImage& b) {
        return std::equal(a.GetBits(), a.GetBits() + 260 * 240 * 4, b.GetBits());
    };
    CRgn clip;
    clip.CreateRectRgn(30, 20, 230, 200);
    int inked = 0;
    for (bool smooth : {false, true})
        for (int escapement : {0, -900, 1800, 900})
            for (COLORREF colour : {RGB(255, 0, 0), RGB(0x20, 0x40, 0xC0), RGB(254, 254, 254)})
                for (COLORREF maskInk : {RGB(0, 0, 0), RGB(0, 0, 1)})
                    for (unsigned noClip : {0u, DT_NOCLIP}) {
                        CImage images[2], masks[2];
                        for (int k = 0; k < 2; ++k) {
                            prepare(images[k], 0x123456);
                            prepare(masks[k], 0x654321);
                            LOGFONT font = TestFont(escapement);
                            font.lfQuality = smooth ? ANTIALIASED_QUALITY : DEFAULT_QUALITY;
                            for (CImage* image : {&images[k], &masks[k]}) {
                                image->SelectObject(CImageFont(font));
                                image->SetBkMode(TRANSPARENT);
                                image->SelectClipRgn(&clip);
                            }
                            images[k].SetTextColor(colour);
                            masks[k].SetTextColor(maskInk);
                        }
                        const unsigned format = DT_NOPREFIX | DT_CENTER | noClip;
                        RECT rects[3] = {{40, 40, 200, 150}, {40, 40, 200, 150}, {40, 40, 200, 150}};
                        const int height = images[0].DrawText("Ink gW\nline", -1, &rects[0], format);
                        EXPECT_EQ(masks[0].DrawText("Ink gW\nline", -1, &rects[1], format), height);
                        EXPECT_EQ(DrawTextWithMask(*images[1].GetDC(), *masks[1].GetDC(), "Ink gW\nline", -1,
                                                   &rects[2], format),
                                  height);
                        EXPECT_TRUE(same(images[0], images[1]))
                            << smooth << " " << escapement << " " << colour << " " << noClip;
                        EXPECT_TRUE(same(masks[0], masks[1])) << smooth << " " << escapement << " " << colour
                                                              << " " << maskInk << " " << noClip;
                        CImage untouched;
                        prepare(untouched, 0x123456);
                        inked += !same(images[0], untouched);
                    }
    // Every case put ink on the image.
    EXPECT_EQ(inked, 2 * 4 * 3 * 2 * 2);
}
