#include "Core/LocalizeScript.h"

#include "Core/support/ScratchFolder.h"
#include "Platform/ShiftJis.h"

#include <gtest/gtest.h>

namespace {

// Writes a Localize.ini from UTF-8 lines, stored in Shift-JIS as the real one is.
class LocalizeScript : public ::testing::Test
{
protected:
    CLocalizeScript Script(const std::string& utf8)
    {
        const auto sjis = Utf8ToShiftJis(utf8);
        EXPECT_TRUE(sjis);
        return CLocalizeScript(m_scratch.Write("Localize.ini", sjis.value_or("")));
    }
    ScratchFolder m_scratch;
};

} // namespace

TEST_F(LocalizeScript, DialogAndControlInfo)
{
    const auto script = Script("[100]\n100=7,320,200\n5=12,10,20,80,24\n6=3,1,2,3\n[101]\n101=7,320\n"
                               "[102]\n102=,1,2\n[103]\n103=8x,9,10,11\n");
    int caption = -1, width = -1, height = -1;
    ASSERT_TRUE(script.GetDialogInfo(100, caption, width, height));
    EXPECT_EQ(caption, 7);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);

    // "7,320": the width has no comma after it, so it is empty; the caption id
    // read before the fault keeps its new value.
    caption = width = height = -1;
    EXPECT_FALSE(script.GetDialogInfo(101, caption, width, height));
    EXPECT_EQ(caption, 7);
    EXPECT_EQ(height, -1);
    EXPECT_FALSE(script.GetDialogInfo(102, caption, width, height)); // empty caption id
    EXPECT_FALSE(script.GetDialogInfo(999, caption, width, height));
    // The C library's conversion: digits followed by letters give the digits.
    ASSERT_TRUE(script.GetDialogInfo(103, caption, width, height));
    EXPECT_EQ(caption, 8);
    EXPECT_EQ(height, 10); // the last field is the whole rest: "10,11"

    int x = -1, y = -1;
    ASSERT_TRUE(script.GetControlInfo(100, 5, caption, x, y, width, height));
    EXPECT_EQ((std::vector<int>{caption, x, y, width, height}), (std::vector<int>{12, 10, 20, 80, 24}));
    EXPECT_FALSE(script.GetControlInfo(100, 6, caption, x, y, width, height));
    EXPECT_FALSE(script.GetControlInfo(100, 7, caption, x, y, width, height));
}

TEST_F(LocalizeScript, CaptionsAndTheirEscapes)
{
    // The value of 5 holds a backslash followed by the escape "\n".
    const auto script = Script("[Caption]\n1=上段\\n下段\n2=None\n3=\n4=a\\r\\nb\n5=x\\\\ny\n6=none\n"
                               "7=表n\n");
    std::string text = "old";
    ASSERT_TRUE(script.GetCaption(1, text));
    EXPECT_EQ(text, "上段\n下段");
    ASSERT_TRUE(script.GetCaption(2, text));
    EXPECT_EQ(text, "");
    text = "old";
    EXPECT_FALSE(script.GetCaption(3, text));
    EXPECT_EQ(text, "");
    text = "old";
    EXPECT_FALSE(script.GetCaption(99, text));
    EXPECT_EQ(text, "");
    ASSERT_TRUE(script.GetCaption(4, text));
    EXPECT_EQ(text, "a\r\nb");
    ASSERT_TRUE(script.GetCaption(5, text));
    EXPECT_EQ(text, "x\\\ny");
    ASSERT_TRUE(script.GetCaption(6, text)); // "None" is case-sensitive
    EXPECT_EQ(text, "none");
    // The trail byte of "表" is 0x5C: it must not start an escape with the "n".
    ASSERT_TRUE(script.GetCaption(7, text));
    EXPECT_EQ(text, "表n");
}

TEST_F(LocalizeScript, Fonts)
{
    const auto script =
        Script("[Font]\n1=9,ＭＳ ゴシック,128\n2=14,Title,300\n3=9,,128\n4=9,Face\n"
               "5=9,あいうえおかきくけこさしすせそた,1\n6=9,あいうえおかきくけこさしすせそ,1\n");
    LocalizeFontInfo font;
    ASSERT_TRUE(script.GetFont(1, font));
    EXPECT_EQ(font.pointSize, 9);
    EXPECT_EQ(font.faceName, "ＭＳ ゴシック");
    EXPECT_EQ(font.charSet, 128);
    ASSERT_TRUE(script.GetFont(2, font));
    EXPECT_EQ(font.charSet, 300 & 0xFF);
    EXPECT_FALSE(script.GetFont(3, font)); // no face
    EXPECT_FALSE(script.GetFont(4, font)); // no character set
    EXPECT_FALSE(script.GetFont(5, font)); // 32 bytes in Shift-JIS: refused, not cut
    ASSERT_TRUE(script.GetFont(6, font));  // 30 bytes
    EXPECT_FALSE(script.GetFont(7, font));
}

TEST_F(LocalizeScript, PaperSizeStrings)
{
    std::vector<PaperSizeEntry> list(3);
    ASSERT_TRUE(Script("[PaperSizeString]\n1=0,はがき\n2=1,L判,縦\n4=3,A4\n").GetPaperSizeString(list));
    ASSERT_EQ(list.size(), 2u); // key 3 ends the list
    EXPECT_EQ(list[0].paperId, 0);
    EXPECT_EQ(list[0].name, "はがき");
    EXPECT_EQ(list[1].paperId, 1);
    EXPECT_EQ(list[1].name, "L判,縦");

    EXPECT_FALSE(Script("[PaperSizeString]\n1=0,はがき\n2=5,\n").GetPaperSizeString(list));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(Script("[PaperSizeString]\n1=はがき\n").GetPaperSizeString(list));
    EXPECT_TRUE(Script("[Other]\n").GetPaperSizeString(list));
    EXPECT_TRUE(list.empty());
}

TEST_F(LocalizeScript, MenuItems)
{
    const auto script = Script("[Menu_128]\n0=-3,ファイル(&F)\n1=0,\n2=57600,新規作成\\tCtrl+N\n3=5,\n"
                               "[PopupMenu_3]\n0=32771,開く\n");
    int flag = 99;
    std::string text;
    ASSERT_TRUE(script.GetMenuItem(128, 0, flag, text));
    EXPECT_EQ(flag, -3);
    EXPECT_EQ(text, "ファイル(&F)");
    ASSERT_TRUE(script.GetMenuItem(128, 1, flag, text)); // a separator
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(text, "");
    ASSERT_TRUE(script.GetMenuItem(128, 2, flag, text));
    EXPECT_EQ(text, "新規作成\\tCtrl+N"); // the tab escape is the caller's
    EXPECT_FALSE(script.GetMenuItem(128, 3, flag, text));
    EXPECT_FALSE(script.GetMenuItem(128, 4, flag, text));
    ASSERT_TRUE(script.GetMenuItem(0x10000 + 3, 0, flag, text));
    EXPECT_EQ(flag, 32771);
    ASSERT_TRUE(script.GetMenuItem(0xFFFF0003u, 0, flag, text));
    EXPECT_EQ(text, "開く");
    EXPECT_FALSE(script.GetMenuItem(3, 0, flag, text)); // "Menu_3" does not exist
}

TEST_F(LocalizeScript, DrawStringFontsRollPapersAndCameraFlags)
{
    const auto script = Script("[DrawStringFont]\nGothic=ＭＳ ゴシック\n"
                               "Long=あいうえおかきくけこさしすせそたち\n"
                               "[DefaultRollPaperLength]\nR89=1270\nR100=\nRA4=abc\nR5IN=-5\n"
                               "[DSCPaperFlag]\nHAGAKI=0\n3.5x5=2\n100x150=x\n4x6NP=1\n");
    std::string face;
    ASSERT_TRUE(script.GetDrawStringFont("gothic", face));
    EXPECT_EQ(face, "ＭＳ ゴシック");
    ASSERT_TRUE(script.GetDrawStringFont("Long", face));
    EXPECT_EQ(face, "あいうえおかきくけこさしすせそ"); // cut to 31 bytes, never inside a character
    EXPECT_FALSE(script.GetDrawStringFont("Mincho", face));

    int length = -1;
    ASSERT_TRUE(script.GetDefaultRollPaperLength(6, length));
    EXPECT_EQ(length, 1270);
    EXPECT_FALSE(script.GetDefaultRollPaperLength(7, length));
    ASSERT_TRUE(script.GetDefaultRollPaperLength(8, length));
    EXPECT_EQ(length, 0);
    EXPECT_FALSE(script.GetDefaultRollPaperLength(9, length));
    ASSERT_TRUE(script.GetDefaultRollPaperLength(10, length));
    EXPECT_EQ(length, -5);
    EXPECT_FALSE(script.GetDefaultRollPaperLength(5, length));
    EXPECT_FALSE(script.GetDefaultRollPaperLength(11, length));

    EXPECT_EQ(script.GetDSCPaperFlag("HAGAKI"), -1);
    EXPECT_EQ(script.GetDSCPaperFlag("3.5x5"), 2);
    EXPECT_EQ(script.GetDSCPaperFlag("100x150"), -1);
    EXPECT_EQ(script.GetDSCPaperFlag("4x6NP"), 1);
    EXPECT_EQ(script.GetDSCPaperFlag("L"), -1);
}

TEST_F(LocalizeScript, MissingFileReadsAsEmpty)
{
    const CLocalizeScript script(m_scratch / "none.ini");
    std::string text;
    int a = 0, b = 0, c = 0;
    std::vector<PaperSizeEntry> list;
    EXPECT_FALSE(script.GetCaption(24, text));
    EXPECT_FALSE(script.GetDialogInfo(100, a, b, c));
    EXPECT_TRUE(script.GetPaperSizeString(list));
    EXPECT_EQ(script.GetDSCPaperFlag("HAGAKI"), -1);
}
