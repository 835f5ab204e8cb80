#include "Layout/StringItem.h"
#include "Core/support/ScratchFolder.h"
#include "Layout/KeyedText.h"
#include "Layout/StringTextRules.h"
#include "Layout/support/LayoutTestSupport.h"

#include <gtest/gtest.h>

using namespace layouttest;

namespace {

LOGFONT TestFont(int height = -10)
{
    LOGFONT font;
    font.lfHeight = height;
    font.lfWeight = 400;
    font.lfFaceName = "DejaVu Sans";
    return font;
}

void PlaceText(CStringItem& item, RECT rect, const std::string& text, COLORREF color = 0x0000FF)
{
    item.SetRect(rect);
    item.SetText(text);
    const LOGFONT font = TestFont();
    item.SetLogFont(&font);
    item.SetTextColor(color);
    item.SetDrawSuppressed(false);
}

// Rows (or columns) of the canvas in which a pixel of the colour lies.
std::vector<bool> InkLines(const CImage& image, std::uint32_t pixel, bool columns)
{
    const int n = columns ? image.GetWidth() : image.GetHeight();
    std::vector<bool> ink(static_cast<std::size_t>(n), false);
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (RgbAt(image, x, y) == pixel)
                ink[static_cast<std::size_t>(columns ? x : y)] = true;
    return ink;
}

bool AnyIn(const std::vector<bool>& ink, int from, int to)
{
    for (int i = std::max(0, from); i < std::min<int>(to, static_cast<int>(ink.size())); ++i)
        if (ink[static_cast<std::size_t>(i)])
            return true;
    return false;
}

} // namespace

class StringItemTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureGuiApplication(); }
};

TEST(StringTextRules, KeyColour)
{
    EXPECT_EQ(ChooseKeyColor(0x000000, 0x0000FF), 0xFFFFFFu);
    EXPECT_EQ(ChooseKeyColor(0xFFFFFF, 0x000000), 0x808080u);
    EXPECT_EQ(ChooseKeyColor(0x000000, 0xFFFFFF), 0x808080u);
    EXPECT_EQ(ChooseKeyColor(0xFFFFFF, 0x0000FF), 0x000000u);
    EXPECT_EQ(ChooseKeyColor(0x00FF00, 0xFFFFFF), 0x000000u);
}

TEST(StringTextRules, WorkingSize)
{
    struct Case
    {
        int w, h, ww, wh;
        double factor;
    };
    const Case cases[] = {
        {100, 50, 320, 160, 3.2},  {5000, 1000, 4095, 819, 0.819}, {200, 300, 200, 300, 1.0},
        {160, 160, 160, 160, 1.0}, {10, 3000, 10, 3000, 1.0},      {1000, 100, 1600, 160, 1.6},
        {0, 0, 160, 160, 160.0},
    };
    for (const Case& c : cases) {
        const StringWorkingSize size = CalcStringWorkingSize(c.w, c.h);
        EXPECT_EQ(size.width, c.ww) << c.w << "x" << c.h;
        EXPECT_EQ(size.height, c.wh) << c.w << "x" << c.h;
        EXPECT_NEAR(size.factor, c.factor, 1e-9) << c.w << "x" << c.h;
    }
    const StringWorkingSize fitted = FitWorkingSize(StringWorkingSize{1600, 160, 1.6}, 800, 800);
    EXPECT_EQ(fitted.width, 800);
    EXPECT_EQ(fitted.height, 80);
    EXPECT_NEAR(fitted.factor, 0.8, 1e-9);
}

TEST(StringTextRules, LinesAreSplitTrimmedAndEmptyOnesKept)
{
    EXPECT_EQ(SplitStringLines("a \r\n\r\nb\t"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitStringLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitStringLines(std::string(300, 'x'))[0].size(), 259u);
    EXPECT_EQ(OverhangSpaces(700, true), "   ");
    EXPECT_EQ(OverhangSpaces(400, true), "  ");
    EXPECT_EQ(OverhangSpaces(800, false), " ");
}

TEST(StringTextRules, ShorteningKeepsOneCharacterMoreThanFits)
{
    // Ten units for every character, a double-byte one included.
    const auto measure = [](std::string_view text) {
        int count = 0;
        for (unsigned char c : text)
            if ((c & 0xC0) != 0x80)
                ++count;
        return count * 10;
    };
    EXPECT_EQ(ShortenLine("abcdef", 35, measure), "abcd");
    EXPECT_EQ(ShortenLine("abcdef", 40, measure), "abcde");
    EXPECT_EQ(ShortenLine("abcdef", 60, measure), "abcdef");
    EXPECT_EQ(ShortenLine("abcdef", 5, measure), "a");
    EXPECT_EQ(ShortenLine("\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86", 15, measure), "\xE3\x81\x82\xE3\x81\x84");
}

TEST(StringTextRules, LineBoxesInFourDirections)
{
    const RECT r{10, 20, 110, 220};
    const auto show = [](RECT b) {
        return std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.right) + "," +
               std::to_string(b.bottom);
    };
    EXPECT_EQ(show(StringLineBox(r, 0, 1, 50, 8)), "10,28,60,36");
    EXPECT_EQ(show(StringLineBox(r, 1, 1, 50, 8)), "94,20,102,70");
    EXPECT_EQ(show(StringLineBox(r, 2, 1, 50, 8)), "60,204,110,212");
    EXPECT_EQ(show(StringLineBox(r, 3, 1, 50, 8)), "18,170,26,220");
}

TEST(StringTextRules, ShadowTable)
{
    const POINT s{3, 5};
    struct Case
    {
        int direction;
        bool vertical;
        POINT offset;
        POINT shift;
    };
    const Case cases[] = {
        {0, false, {3, 5}, {0, 0}},  {0, true, {5, -3}, {0, 3}},   {1, false, {-5, 3}, {0, 0}},
        {1, true, {3, 5}, {-3, 0}},  {2, false, {-3, -5}, {0, 0}}, {2, true, {-5, 3}, {0, -3}},
        {3, false, {5, -3}, {0, 0}}, {3, true, {-3, -5}, {3, 0}},
    };
    for (const Case& c : cases) {
        const POINT d = ShadowOffsetForDirection(s, c.direction, c.vertical);
        EXPECT_EQ(d.x, c.offset.x) << c.direction << c.vertical;
        EXPECT_EQ(d.y, c.offset.y) << c.direction << c.vertical;
        const POINT m = TextShiftForShadow(d, c.direction);
        EXPECT_EQ(m.x, c.shift.x) << c.direction << c.vertical;
        EXPECT_EQ(m.y, c.shift.y) << c.direction << c.vertical;
    }
    // Shifts for offsets that leave the rect on the other sides.
    EXPECT_EQ(TextShiftForShadow(POINT{-4, -6}, 0).x, 4);
    EXPECT_EQ(TextShiftForShadow(POINT{-4, -6}, 0).y, 6);
    EXPECT_EQ(TextShiftForShadow(POINT{4, 6}, 2).x, -4);
    EXPECT_EQ(TextShiftForShadow(POINT{4, 6}, 2).y, -6);
}

TEST(StringItemState, RotateFontAndCopy)
{
    CStringItem item;
    item.Rotate(false);
    EXPECT_EQ(item.GetDirection(), 3);
    item.Rotate(true);
    EXPECT_EQ(item.GetDirection(), 0);
    item.SetDirection(7);
    item.Rotate(true);
    EXPECT_EQ(item.GetDirection(), 7);
    EXPECT_FALSE(item.GetLogFont(nullptr));
    EXPECT_FALSE(item.SetLogFont(nullptr));
    EXPECT_EQ(item.GetBackColor(), 0xFFFFFFu);

    CStringItem source;
    source.SetText("x\r\ny");
    const LOGFONT font = TestFont(-13);
    source.SetLogFont(&font);
    source.SetShadowOffset(POINT{2, -3});
    source.SetShadow(true);
    source.SetVerticalText(true);
    source.SetDirection(2);
    CStringItem copy;
    copy.CopyFrom(source);
    LOGFONT copied;
    ASSERT_TRUE(copy.GetLogFont(&copied));
    EXPECT_EQ(copied, font);
    EXPECT_EQ(copy.GetText(), "x\r\ny");
    EXPECT_EQ(copy.GetShadowOffset().y, -3);
    EXPECT_TRUE(copy.HasShadow());
    EXPECT_TRUE(copy.IsVerticalText());
    EXPECT_EQ(copy.GetDirection(), 2);
}

TEST(StringItemArchive, TextFontRecordAndNineValues)
{
    CStringItem item;
    item.SetText("ab\r\ncd\r\n");
    LOGFONT font = TestFont(-12);
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfCharSet = 128;
    font.lfFaceName = "IPA明朝";
    item.SetLogFont(&font);
    item.SetTextColor(0x010203);
    item.SetShadowOffset(POINT{-4, 5});
    item.SetShadowColor(0x0A0B0C);
    item.SetShadow(true);
    item.SetBackColor(0x112233);
    item.SetBackColorOn(true);
    item.SetVerticalText(true);
    item.SetDirection(3);
    CLayoutItem plain;
    const std::size_t base = Store(plain).size();
    const auto bytes = Store(item);
    // Text: count 2, flag 1, "ab\n", "cd\n"; then 60 font bytes and nine values.
    ASSERT_EQ(bytes.size(), base + 8 + 6 + 60 + 36);
    const std::size_t fontAt = base + 14;
    EXPECT_EQ(bytes[fontAt], 0xF4);      // -12
    EXPECT_EQ(bytes[fontAt + 16], 0xBC); // weight 700
    EXPECT_EQ(bytes[fontAt + 20], 1);    // italic
    EXPECT_EQ(bytes[fontAt + 23], 128);  // character set
    // The face in Shift-JIS: "IPA" then the two double-byte characters, zero-ended.
    EXPECT_EQ(std::string(bytes.begin() + static_cast<long>(fontAt) + 28,
                          bytes.begin() + static_cast<long>(fontAt) + 31),
              "IPA");
    EXPECT_EQ(bytes[fontAt + 31], 0x96);
    EXPECT_EQ(bytes[fontAt + 35], 0);
    EXPECT_EQ(bytes.back(), 0);
    EXPECT_EQ(bytes[bytes.size() - 4], 3);

    CStringItem back;
    Load(back, bytes);
    LOGFONT read;
    back.GetLogFont(&read);
    EXPECT_EQ(read, font);
    EXPECT_EQ(back.GetText(), "ab\r\ncd\r\n");
    EXPECT_EQ(back.GetShadowOffset().x, -4);
    EXPECT_EQ(back.GetShadowColor(), 0x0A0B0Cu);
    EXPECT_EQ(back.GetBackColor(), 0x112233u);
    EXPECT_TRUE(back.HasBackColor());
    EXPECT_TRUE(back.IsVerticalText());
    EXPECT_EQ(back.GetDirection(), 3);
}

TEST_F(StringItemTest, LinesPlacedInAllFourDirectionsWithEmptyLineKeepingItsPlace)
{
    // A 400 x 200 rect is worked at its own size; drawn at 0.5 onto a 200 x 100 canvas.
    for (int direction = 0; direction < 4; ++direction) {
        CStringItem item;
        const bool across = direction == 1 || direction == 3;
        PlaceText(item, across ? RECT{0, 0, 200, 400} : RECT{0, 0, 400, 200}, "AAAA\r\n\r\nBBBB");
        item.SetDirection(direction);
        CImage canvas;
        ASSERT_TRUE(canvas.Create(across ? 100 : 200, across ? 200 : 100));
        canvas.FillRectLTRB(0, 0, canvas.GetWidth(), canvas.GetHeight(), 0x808080);
        ASSERT_TRUE(item.Draw(&canvas, 0.5f, nullptr, false));
        const LOGFONT working = [] {
            LOGFONT f = TestFont();
            f.lfHeight = -38; // -10 x 3.75, rounded half away from zero
            return f;
        }();
        const int h = std::max(2, static_cast<int>(MeasureTextLine(working, "AAAA ").cy * 0.5 + 0.5));
        const std::uint32_t ink = Px(0x0000FF);
        const std::vector<bool> lines = InkLines(canvas, ink, across);
        const int n = static_cast<int>(lines.size());
        // Line 0 at the start of the flow, line 1 empty, line 2 third.
        const bool forward = direction == 0 || direction == 3;
        const auto band = [&](int i, int& from, int& to) {
            from = forward ? i * h : n - (i + 1) * h;
            to = forward ? (i + 1) * h : n - i * h;
        };
        int from, to;
        band(0, from, to);
        EXPECT_TRUE(AnyIn(lines, from, to)) << "direction " << direction;
        band(1, from, to);
        EXPECT_FALSE(AnyIn(lines, from, to)) << "direction " << direction;
        band(2, from, to);
        EXPECT_TRUE(AnyIn(lines, from, to)) << "direction " << direction;
        EXPECT_FALSE(AnyIn(lines, forward ? 3 * h : 0, forward ? n : n - 3 * h)) << "direction " << direction;
        // Only the text colour and the ground: the key colour never reaches the canvas.
        EXPECT_EQ(CountColor(canvas, ink) + CountColor(canvas, 0x808080),
                  canvas.GetWidth() * canvas.GetHeight());
    }
}

TEST_F(StringItemTest, ShadowDrawnAtItsOffsetBehindTheText)
{
    CStringItem item;
    PlaceText(item, RECT{0, 0, 300, 200}, "I", 0x000000);
    item.SetShadow(true);
    item.SetShadowColor(0x0000FF);
    item.SetShadowOffset(POINT{20, 10});
    CImage canvas;
    ASSERT_TRUE(canvas.Create(300, 200));
    ASSERT_TRUE(item.Draw(&canvas, 1.0f, nullptr, false));
    CImage textOnly;
    ASSERT_TRUE(textOnly.Create(300, 200));
    item.SetShadow(false);
    ASSERT_TRUE(item.Draw(&textOnly, 1.0f, nullptr, false));
    const RECT text = InkBounds(textOnly, 0xFFFFFF);
    ASSERT_GT(text.right, text.left);
    // The shadow's ink lies 20 right and 10 down of the text's.
    int shadowLeft = 1000, shadowTop = 1000;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            if (RgbAt(canvas, x, y) == Px(0x0000FF)) {
                shadowLeft = std::min(shadowLeft, x);
                shadowTop = std::min(shadowTop, y);
            }
    EXPECT_EQ(shadowLeft, text.left + 20);
    EXPECT_EQ(shadowTop, text.top + 10);
}

TEST_F(StringItemTest, BackgroundClipAndFontHeightZero)
{
    CStringItem item;
    PlaceText(item, RECT{10, 10, 60, 40}, "");
    item.SetBackColorOn(true);
    item.SetBackColor(0x00FF00);
    CImage canvas;
    ASSERT_TRUE(canvas.Create(50, 50));
    ASSERT_TRUE(item.Draw(&canvas, 1.0f, nullptr, false));
    EXPECT_EQ(InkBounds(canvas, 0xFFFFFF).left, 10);
    EXPECT_EQ(InkBounds(canvas, 0xFFFFFF).right, 50);
    EXPECT_EQ(RgbAt(canvas, 20, 20), Px(0x00FF00));

    // A font height of 0 draws with height 1 and does not fail.
    CStringItem tiny;
    PlaceText(tiny, RECT{0, 0, 200, 200}, "abc");
    LOGFONT zero = TestFont(0);
    tiny.SetLogFont(&zero);
    CImage other;
    ASSERT_TRUE(other.Create(50, 50));
    EXPECT_TRUE(tiny.Draw(&other, 1.0f, nullptr, false));

    // Wholly off the canvas, or suppressed: nothing.
    item.SetRect(RECT{60, 60, 90, 90});
    EXPECT_FALSE(item.Draw(&canvas, 1.0f, nullptr, false));
    tiny.SetDrawSuppressed(true);
    EXPECT_FALSE(tiny.Draw(&other, 1.0f, nullptr, false));
}

TEST_F(StringItemTest, LongLineIsCutAtTheRect)
{
    CStringItem item;
    PlaceText(item, RECT{0, 0, 200, 200}, std::string(80, 'W'));
    CImage canvas;
    ASSERT_TRUE(canvas.Create(400, 200));
    ASSERT_TRUE(item.Draw(&canvas, 1.0f, nullptr, false));
    const RECT ink = InkBounds(canvas, 0xFFFFFF);
    EXPECT_GT(ink.right, 150);
    EXPECT_LE(ink.right, 200);
}

TEST_F(StringItemTest, VerticalFaceKeepsCjkUprightAndTurnsOthers)
{
    struct Case
    {
        const char* face;
        const char* text;
        bool wide; // ink wider than high
    };
    const Case cases[] = {
        {"@IPAMincho", "\xE4\xB8\x80", true}, // a horizontal stroke stays horizontal in vertical writing
        {"@IPAMincho", "-", false},           // a hyphen is turned with the line
        {"IPAMincho", "\xE4\xB8\x80", false}, // without the mark the whole line turns
    };
    for (const Case& c : cases) {
        CStringItem item;
        PlaceText(item, RECT{0, 0, 200, 400}, c.text);
        LOGFONT font = TestFont(-24);
        font.lfFaceName = c.face;
        item.SetLogFont(&font);
        item.SetDirection(1);
        CImage canvas;
        ASSERT_TRUE(canvas.Create(200, 400));
        ASSERT_TRUE(item.Draw(&canvas, 1.0f, nullptr, false));
        const RECT ink = InkBounds(canvas, 0xFFFFFF);
        ASSERT_GT(ink.right, ink.left) << c.face << " " << c.text;
        EXPECT_EQ(ink.right - ink.left > ink.bottom - ink.top, c.wide) << c.face << " " << c.text;
        // The line runs down the right edge from the top.
        EXPECT_GT(ink.left, 100) << c.face;
        EXPECT_LT(ink.top, 100) << c.face;
        LOGFONT kept;
        item.GetLogFont(&kept);
        EXPECT_EQ(kept.lfFaceName, c.face);
    }
}

TEST_F(StringItemTest, SaveTextImageWritesTheWorkingSizeWithAKeyMask)
{
    ScratchFolder scratch;
    CStringItem item;
    // 100 x 50 units are worked at 320 x 160.
    PlaceText(item, RECT{0, 0, 100, 50}, "MM", 0x0000FF);
    const std::string path = scratch / "text.eff";
    ASSERT_TRUE(item.SaveTextImage(path));
    CImage picture;
    ASSERT_EQ(picture.LoadFile(path), 0);
    EXPECT_EQ(picture.GetWidth(), 320);
    EXPECT_EQ(picture.GetHeight(), 160);
    ASSERT_TRUE(picture.HasMask());
    EXPECT_EQ(MaskAt(picture, 319, 159), 255) << "the key ground is transparent";
    // Somewhere in the first line there is opaque red ink.
    int opaqueRed = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 160; ++x)
            if (MaskAt(picture, x, y) == 0) {
                const std::uint32_t p = RgbAt(picture, x, y);
                if (((p >> 16) & 0xFF) > 200 && (p & 0xFF) < 60)
                    ++opaqueRed;
            }
    EXPECT_GT(opaqueRed, 50);

    // With the background on, the whole picture is opaque.
    item.SetBackColorOn(true);
    item.SetBackColor(0x00FF00);
    ASSERT_TRUE(item.SaveTextImage(path));
    CImage filled;
    ASSERT_EQ(filled.LoadFile(path), 0);
    ASSERT_TRUE(filled.HasMask());
    EXPECT_EQ(MaskAt(filled, 319, 159), 0);
}
