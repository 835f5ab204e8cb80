#include "Script/ZAVObjectLine.h"
#include "Platform/ShiftJis.h"
#include "Script/ZAVScript.h"

#include "Script/support/ScriptFiles.h"

#include <gtest/gtest.h>

namespace {

const std::string kFolder = "/docs/D";

std::string CharLine(const std::string& text, const std::string& tail)
{
    return "DrawChar(\"MS Font\",\"" + text + "\",0,0,100,50,0,3,1,2,3,4,5,6,7,8,9,0,2,2,-24,3,1" + tail +
           ")";
}

struct LineCase
{
    std::string line;
    bool accepted;
};

class ZAVObjectLineTable : public testing::TestWithParam<LineCase>
{
};

TEST_P(ZAVObjectLineTable, ParsesOrRefuses)
{
    EXPECT_EQ(ParseObjectLine(GetParam().line, kFolder).has_value(), GetParam().accepted) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Script, ZAVObjectLineTable,
    testing::Values(LineCase{"DrawLine(10,20,110,20,3,255,0,0)", true},
                    LineCase{"DrawLine(10,20,110,20,3,255,0,0,0)", true},
                    LineCase{"DrawLine(10,20,110,20,3,255,0,0,0,1)", false},
                    LineCase{"DrawLine(110,20,10,20,3,0,0,0,1)", false},
                    LineCase{"DrawLine (10,20,110,20,3,255,0,0)", false},
                    LineCase{"drawline(10,20,110,20,3,255,0,0)", false},
                    LineCase{"DrawText(10,20,110,20,3,255,0,0)", false}, LineCase{"no parenthesis", false},
                    LineCase{"DrawPicture(\"a.jpg\",1,0,50,100,N,0,0,4,0,0,0,0,1)", true},
                    LineCase{"DrawPicture(\"a.jpg\",1,0,50,100,-1,0,0,4,0,0,0,0,1)", true},
                    LineCase{"DrawPicture(\"a.jpg\",1,0,50,100,-2,0,0,4,0,0,0,0,1)", false},
                    LineCase{"DrawPicture(\"a.jpg\",1,0,50,100,60,5,0,4,0,0,0,0,1)", false},
                    LineCase{"DrawPicture(\"a.jpg\",1,0,50,100,60,0,3,4,0,0,0,0,1)", false},
                    LineCase{"DrawPicture(\"a.jpg\",1,0,50,100,60,0,0,9,0,0,0,0,1)", false},
                    LineCase{"DrawPicture(\"a.jpg\",1,0,50,100,60,0,0,4,0,0,0,0)", true},
                    LineCase{"DrawPicture(\"a.jpg\",1,0,50,100,60,0,0,4,0,0,0)", false},
                    LineCase{"DrawStrings(\"\",1,\"%Y\",0,0,10,10,0,\"key\",1,0,0,0)", true},
                    LineCase{"DrawStrings(\"\",1,\"%Y\",0,0,10,10,0,\"key\",2,0,0,0)", false},
                    LineCase{"DrawStrings(\"\",1,\"%Y\",0,0,10,10,4,\"key\",1,0,0,0)", false},
                    LineCase{CharLine("x", ""), true},          // 23 fields
                    LineCase{CharLine("x", ",128"), true},      // 24
                    LineCase{CharLine("x", ",128,0"), true},    // 25
                    LineCase{CharLine("x", ",128,0,1"), false}, // 26
                    LineCase{"DrawChar(\"F\",\"x\",0,0,100,50,0,3,1,2,3,4,5,6,7,8,9,0,2,2,-24,4,1)", false},
                    LineCase{"DrawChar(\"F\",\"x\",0,0,100,50,0,3,1,2,3,4,5,6,7,8,9,0,2,2,-24,3,2)", false},
                    LineCase{"DrawChar(\"F\",\"x\",0,0,100,50,4,3,1,2,3,4,5,6,7,8,9,0,2,2,-24,3,1)", false},
                    LineCase{"DrawChar(\"F\",\"x\",0,0,100,50,0,3,1,2,3,4,5,6,7,8,9,0,2,2,-24,3)", false}));

TEST(ZAVObjectLine, OptionalClosingFieldsDefaultToOne)
{
    const auto eight = ParseObjectLine("DrawLine(10,20,110,20,3,255,0,0)", kFolder);
    ASSERT_TRUE(eight);
    EXPECT_EQ(eight->type, ZAVDrawLine);
    EXPECT_EQ(eight->line, (ZAVLinePart{10, 20, 110, 20, 3, 255, 0, 0, 1}));
    const auto nine = ParseObjectLine("DrawLine(10,20,110,20,3,255,0,0,0)", kFolder);
    ASSERT_TRUE(nine);
    EXPECT_EQ(nine->line.visible, 0);

    const auto c23 = ParseObjectLine(CharLine("x", ""), kFolder);
    const auto c24 = ParseObjectLine(CharLine("x", ",128"), kFolder);
    const auto c25 = ParseObjectLine(CharLine("x", ",128,0"), kFolder);
    ASSERT_TRUE(c23 && c24 && c25);
    EXPECT_EQ(c23->chars.charSet, 1);
    EXPECT_EQ(c23->chars.visible, 1);
    EXPECT_EQ(c24->chars.charSet, 128);
    EXPECT_EQ(c24->chars.visible, 1);
    EXPECT_EQ(c25->chars.charSet, 128);
    EXPECT_EQ(c25->chars.visible, 0);
    ZAVCharPart expected{"MS Font", "x", 0, 0, 100, 50, 0, 3,   1, 2, 3,   4, 5,
                         6,         7,   8, 9, 0,   2,  2, -24, 3, 1, 128, 0};
    EXPECT_EQ(c25->chars, expected);
}

TEST(ZAVObjectLine, ColoursKeepTheirLowByte)
{
    const auto line = ParseObjectLine("DrawLine(0,0,1,1,1,300,-1,256)", kFolder);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->line.red, 44);
    EXPECT_EQ(line->line.green, 255);
    EXPECT_EQ(line->line.blue, 0);
}

TEST(ZAVObjectLine, PictureNamesResolveOnlyWhenDotRelative)
{
    const auto relative =
        ParseObjectLine("DrawPicture(\".\\Image\\Image001.eff\",0,0,0,10,10,0,0,4,0,0,0,0,1)", kFolder);
    ASSERT_TRUE(relative);
    EXPECT_EQ(relative->picture.fileName, kFolder + "/Image/Image001.eff");
    const auto absolute =
        ParseObjectLine("DrawPicture(\"C:\\L\\a.jpg\",0,0,0,10,10,0,0,4,0,0,0,0,1)", kFolder);
    ASSERT_TRUE(absolute);
    EXPECT_EQ(absolute->picture.fileName, "C:\\L\\a.jpg");
}

TEST(ZAVObjectLine, MacroTextIsUnescapedOnReading)
{
    const auto record =
        ParseObjectLine("DrawStrings(\"\",2,\"%%Y%\"\",0,0,10,10,0,\"key\",1,0,0,0)", kFolder);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->macroString.macroText, "%Y\"");
    // Written with its percent signs single.
    ZAVDrawRecord macro;
    macro.type = ZAVDrawMacroString;
    macro.macroString = {"", 2, "%Y/%m", 0, 0, 10, 10, 0, "key", 1, 0, 0, 0, 1};
    EXPECT_EQ(FormatObjectLine(macro, kFolder),
              "DrawStrings(\"\",2,\"%Y/%m\",0,0,10,10,0,\"key\",1,0,0,0,1)");
    // A text the unescaping would change cannot be written faithfully.
    macro.macroString.macroText = "100%%";
    EXPECT_FALSE(FormatObjectLine(macro, kFolder));
}

struct EscapeCase
{
    const char* text;
    const char* written; // between the quotes
};

class DrawCharEscaping : public testing::TestWithParam<EscapeCase>
{
};

TEST_P(DrawCharEscaping, WritesEscapedAndReadsBack)
{
    ZAVDrawRecord record;
    record.type = ZAVDrawString;
    record.chars = {
        "Face", GetParam().text, 0, 0, 10, 10, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, -12, 0, 0, 128, 1};
    const auto line = FormatObjectLine(record, kFolder);
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, std::string("DrawChar(\"Face\",\"") + GetParam().written +
                         "\",0,0,10,10,0,3,0,0,0,0,0,0,0,0,0,1,0,0,-12,0,0,128,1)");
    const auto back = ParseObjectLine(*line, kFolder);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->chars.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Script, DrawCharEscaping,
                         testing::Values(EscapeCase{"a\r\nb", "a\\r\\nb"}, EscapeCase{"a\\b", "a\\\\b"},
                                         EscapeCase{"say \"hi\"", "say %\"hi%\""},
                                         EscapeCase{"100%", "100%%"}, EscapeCase{"%\"", "%%%\""},
                                         EscapeCase{"\\n", "\\\\n"}, EscapeCase{"a;b,c)", "a;b,c)"},
                                         EscapeCase{"表示ソ\r\n能", "表示ソ\\r\\n能"}, // trail byte 0x5C
                                         EscapeCase{"end\\", "end\\\\"}));

TEST(ZAVObjectLine, ShiftJisTrailByteIsNotABackslashInTheFile)
{
    TempFolder folder;
    ZAVDrawRecord record;
    record.type = ZAVDrawString;
    record.chars = {"ＭＳ", "表\r\n", 0, 0, 10, 10, 0, 3,   0, 0, 0,   0, 0,
                    0,      0,        0, 0, 1,  0,  0, -12, 0, 0, 128, 1};
    CZAVScript script;
    script.SetDrawRecords({record});
    ASSERT_EQ(script.Write(folder.File("a.zvd")), 1);
    // "表" is 0x95 0x5C and stays two bytes; only the line break is escaped.
    EXPECT_NE(ReadBytes(folder.File("a.zvd")).find("\",\"\x95\x5C\\r\\n\","), std::string::npos);
    CZAVScript back;
    ASSERT_EQ(back.Read(folder.File("a.zvd")), 1);
    ASSERT_EQ(back.GetDrawRecordCount(), 1);
    EXPECT_EQ(*back.GetDrawRecord(0), record);
}

TEST(ZAVObjectLine, TextsMustFitTheirFields)
{
    EXPECT_TRUE(ParseObjectLine(CharLine(std::string(259, 't'), ""), kFolder));
    EXPECT_FALSE(ParseObjectLine(CharLine(std::string(260, 't'), ""), kFolder));
    // The limit counts the text after unescaping: 257 characters and one line break.
    EXPECT_TRUE(ParseObjectLine(CharLine(std::string(257, 't') + "\\r\\n", ""), kFolder));
    ZAVDrawRecord record;
    record.type = ZAVDrawString;
    record.chars.text = std::string(129, '\xE8'); // invalid UTF-8: not writable
    EXPECT_FALSE(FormatObjectLine(record, kFolder));
    std::string kanji;
    for (int i = 0; i < 64; ++i)
        kanji += "表";
    record.chars.text = std::string(131, 'x') + kanji; // 259 Shift-JIS bytes
    EXPECT_TRUE(FormatObjectLine(record, kFolder));
    record.chars.text = std::string(132, 'x') + kanji; // 260
    EXPECT_FALSE(FormatObjectLine(record, kFolder));
    record.chars.text = "fits";
    record.chars.faceName = std::string(32, 'f');
    EXPECT_FALSE(FormatObjectLine(record, kFolder));
}

ZAVDrawRecord Picture(const std::string& name)
{
    ZAVDrawRecord record;
    record.type = ZAVDrawPicture;
    record.picture = {name, 1, 0, 50, 100, -1, 4, 2, 4, 1, 2, 3, 4, 1};
    return record;
}

TEST(ZAVScriptObjects, RecordsRoundTripInTheReadersNormalForm)
{
    TempFolder folder;
    std::vector<ZAVDrawRecord> records;
    records.push_back(Picture("./Image/Image001.eff"));
    records.push_back(Picture("C:\\elsewhere\\a.jpg"));
    records.back().picture.visible = 0;
    ZAVDrawRecord line;
    line.type = ZAVDrawLine;
    line.line = {10, 20, 110, 20, 3, 255, 0, 0, 0};
    records.push_back(line);
    ZAVDrawRecord macro;
    macro.type = ZAVDrawMacroString;
    macro.macroString = {"", 1, "%Y年%m月", 0, 0, 100, 40, 1, "Date", 1, 10, 20, 30, 1};
    records.push_back(macro);
    ZAVDrawRecord odd;
    odd.type = 7; // written as an empty line, skipped on reading
    records.push_back(odd);
    ZAVDrawRecord chars;
    chars.type = ZAVDrawString;
    chars.chars = {"ＭＳ ゴシック",
                   "1行目\r\n\"2\" 100%\\",
                   0,
                   0,
                   200,
                   80,
                   2,
                   3,
                   1,
                   2,
                   3,
                   4,
                   5,
                   6,
                   7,
                   8,
                   9,
                   1,
                   3,
                   -3,
                   -40,
                   3,
                   1,
                   128,
                   1};
    records.push_back(chars);

    CZAVScript script;
    script.SetDrawRecords(records);
    ASSERT_EQ(script.Write(folder.File("a.zvd")), 1);
    const std::string bytes = ReadBytes(folder.File("a.zvd"));
    EXPECT_NE(
        bytes.find("[PAGE]\r\nDrawPicture(\".\\Image\\Image001.eff\",1,0,50,100,-1,4,2,4,1,2,3,4,1)\r\n"),
        std::string::npos);
    EXPECT_NE(bytes.find(
                  *Utf8ToShiftJis(",1)\r\n\r\nDrawChar(\"ＭＳ ゴシック\",\"1行目\\r\\n%\"2%\" 100%%\\\\\",")),
              std::string::npos);

    CZAVScript back;
    ASSERT_EQ(back.Read(folder.File("a.zvd")), 1);
    records.erase(records.begin() + 4);
    records[0].picture.fileName = folder.Path() + "/Image/Image001.eff";
    ASSERT_EQ(back.GetDrawRecordCount(), static_cast<int>(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(*back.GetDrawRecord(static_cast<int>(i)), records[i]) << i;
    ASSERT_EQ(back.Write(folder.File("b.zvd")), 1);
    CZAVScript again;
    ASSERT_EQ(again.Read(folder.File("b.zvd")), 1);
    ASSERT_EQ(again.Write(folder.File("b.zvd")), 1);
    const std::string rewritten = ReadBytes(folder.File("b.zvd"));
    EXPECT_EQ(rewritten, ReadBytes(folder.File("b.zvd")));
    // Everything but the skipped empty line is as first written.
    std::string withoutEmpty = bytes;
    withoutEmpty.erase(withoutEmpty.find("\r\n\r\n"), 2);
    EXPECT_EQ(rewritten, withoutEmpty);
}

TEST(ZAVScriptObjects, SectionRules)
{
    TempFolder folder;
    const std::string plain = ReadBytes(FixturePath("plain.zvd"));
    const std::string header = plain.substr(0, plain.find("[PAGE]"));
    struct PageCase
    {
        std::string rest;
        int result;
        int count;
    };
    const PageCase cases[] = {
        {"[PAGE]\r\n", 1, 0},
        {"Stray=1\r\n[PAGE]\r\nDrawLine(1,1,2,2,1,0,0,0)\r\n", 1, 1},
        {"[PAGE]\r\nDrawLine(1,1,2,2,1,0,0,0)\r\n[MORE]\r\nnot read\r\n", 1, 1},
        {"[PAGE]\r\nDrawLine(1,1,2,2,1,0,0,0)\r\nDrawLine(1,1,2,2,1,0,0,0,0,0)\r\n", 0, 0},
    };
    for (const auto& c : cases) {
        WriteBytes(folder.File("a.zvd"), header + c.rest);
        CZAVScript script;
        EXPECT_EQ(script.Read(folder.File("a.zvd")), c.result) << c.rest;
        EXPECT_EQ(script.GetDrawRecordCount(), c.count) << c.rest;
    }
}

} // namespace
