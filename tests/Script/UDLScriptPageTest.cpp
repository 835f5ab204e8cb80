#include "Script/UDLObjectLine.h"
#include "Script/UDLScript.h"

#include "Script/support/ScriptFiles.h"

#include <gtest/gtest.h>

namespace {

const std::string kFolder = "/layouts/L";

struct LineCase
{
    const char* line;
    bool accepted;
};

class UDLObjectLineTable : public testing::TestWithParam<LineCase>
{
};

TEST_P(UDLObjectLineTable, ParsesOrRefuses)
{
    EXPECT_EQ(ParseUDLObjectLine(GetParam().line, kFolder).has_value(), GetParam().accepted)
        << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Script, UDLObjectLineTable,
    testing::Values(
        LineCase{"DrawPicture(\"C:\\L\\Image\\a.jpg\",0,10,20,110,220,0,1,4)", true},
        LineCase{"DrawPicture(\"a.jpg\",0,10,20,110,N,0,1,4)", true},
        LineCase{"DrawPicture(\"a.jpg\",0,10,20,110,-1,0,1,4)", true},
        LineCase{"DrawPicture(\"a.jpg\",0,10,20,110,10,0,1,4)", false},  // bottom above top
        LineCase{"DrawPicture(\"a.jpg\",0,110,20,10,220,0,1,4)", false}, // left past right
        LineCase{"DrawPicture(\"a.jpg\",0,10,20,110,n,0,1,4)", false},
        LineCase{"DrawPicture(\"a.jpg\",0,10,20,110,220,5,1,4)", false},
        LineCase{"DrawPicture(\"a.jpg\",0,10,20,110,220,0,3,4)", false},
        LineCase{"DrawPicture(\"a.jpg\",0,10,20,110,220,0,1,9)", false},
        LineCase{"DrawPicture(a.jpg,0,10,20,110,220,0,1,4)", false}, // unquoted name
        LineCase{"DrawPicture(\"a.jpg\",0,10,20,110,220,0,1)", false},
        LineCase{"DrawPicture(\"a.jpg\",0,10,20,110,220,0,1,4,0)", false},
        LineCase{"DrawPicture(\"a.jpg\",,10,20,110,220,0,1,4)", false}, // empty field
        LineCase{"DrawPicture(\"a.jpg\",0,10,20,110,4294967296,0,1,4)", false},
        LineCase{"DrawLine(5,5,100,5,2,255,0,0)", true},
        LineCase{"  DrawLine(5,5,100,5,2,255,0,0)", true}, // leading blanks
        LineCase{"DrawLine (5,5,100,5,2,255,0,0)", false}, // blank before "("
        LineCase{"drawline(5,5,100,5,2,0,0,0)", false}, LineCase{"DrawText(5,5,100,5,2,0,0,0)", false},
        LineCase{"DrawLine", false}, LineCase{"DrawLine(100,5,5,5,2,255,0,0)", false},
        LineCase{"DrawLine(5,50,100,5,2,255,0,0)", false},
        LineCase{"DrawLine(-100,5,-5,5,2,255,0,0)", true}, // compared as signed
        LineCase{"DrawLine(5,5,100,5,2,255,0,0),1", false}, LineCase{"DrawLine(5,5,100,5,2,255,0,0)x", false},
        LineCase{"DrawLine(5,5,100,5,2,255,0,0,1)", false}, LineCase{"DrawLine(5,5,100,5,2,255,0)", false},
        LineCase{"DrawLine(5,5,100,5,2,99999999999,0,0)", false}, // colour out of range
        LineCase{"DrawStrings(\"\",1,\"%Y\",0,0,10,10,0,\"n\",0,0,0,0)", true},
        LineCase{"DrawStrings(\"\",1,\"%Y\",0,0,10,10,4,\"n\",0,0,0,0)", false},
        LineCase{"DrawStrings(\"\",1,\"%Y\",0,0,10,10,0,\"n\",2,0,0,0)", false},
        LineCase{"DrawStrings(\"\",1,%Y,0,0,10,10,0,\"n\",0,0,0,0)", false},
        LineCase{"DrawStrings(\"\",1,\"%Y\",0,20,10,10,0,\"n\",0,0,0,0)", false},
        LineCase{"DrawStrings(\"\",1,\"a,b)c\",0,0,10,10,0,\"n\",0,0,0,0)", true}));

TEST(UDLObjectLine, FieldsReadIntoTheRecord)
{
    const auto picture = ParseUDLObjectLine("DrawPicture(\".\\Image\\a.jpg\",2,10,20,110,N,4,2,8)", kFolder);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->type, UDLDrawPicture);
    UDLPicturePart p{kFolder + "/Image/a.jpg", 2, 10, 20, 110, -1, 4, 2, 8};
    EXPECT_EQ(picture->picture, p);
    EXPECT_EQ(picture->line, UDLLinePart());

    const auto line = ParseUDLObjectLine("DrawLine(5,5,100,5,2,256,-1,300)", kFolder);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->type, UDLDrawLine);
    EXPECT_EQ(line->line, (UDLLinePart{5, 5, 100, 5, 2, 0, 255, 44})); // low bytes

    const auto text =
        ParseUDLObjectLine("DrawStrings(\".\\t.eff\",3,\"%Y%%\",1,2,3,4,3,\"名前\",1,1,2,3)", kFolder);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->type, UDLDrawText);
    // The text image name is not resolved and the macro text not unescaped.
    EXPECT_EQ(text->text, (UDLTextPart{".\\t.eff", 3, "%Y%%", 1, 2, 3, 4, 3, "名前", 1, 1, 2, 3}));
}

TEST(UDLObjectLine, TextsMustFitTheirFields)
{
    const auto Line = [](const std::string& macro, const std::string& name) {
        return "DrawStrings(\"\",1,\"" + macro + "\",0,0,10,10,0,\"" + name + "\",0,0,0,0)";
    };
    EXPECT_TRUE(ParseUDLObjectLine(Line(std::string(67, 'm'), std::string(31, 'n')), kFolder));
    EXPECT_FALSE(ParseUDLObjectLine(Line(std::string(68, 'm'), "n"), kFolder));
    EXPECT_FALSE(ParseUDLObjectLine(Line("m", std::string(32, 'n')), kFolder));
    EXPECT_TRUE(
        ParseUDLObjectLine(Line("m", std::string(15, 'n') + "表表表表表表表表"), kFolder)); // 31 bytes
    EXPECT_FALSE(
        ParseUDLObjectLine(Line("m", std::string(15, 'n') + "表表表表表表表表表"), kFolder)); // 33 bytes
    const auto Picture = [](const std::string& name) {
        return "DrawPicture(\"" + name + "\",0,10,20,110,220,0,1,4)";
    };
    EXPECT_TRUE(ParseUDLObjectLine(Picture(std::string(767, 'p')), kFolder));
    EXPECT_FALSE(ParseUDLObjectLine(Picture(std::string(768, 'p')), kFolder));
}

UDLDrawRecord PictureRecord(const std::string& name)
{
    UDLDrawRecord record;
    record.type = UDLDrawPicture;
    record.picture = {name, 0, 10, 20, 110, 220, 0, 1, 4};
    return record;
}

TEST(UDLScriptPage, PictureLineOfTheExample)
{
    TempFolder folder;
    CUDLScript script;
    script.SetDrawRecords({PictureRecord("C:\\L\\Image\\a.jpg")});
    ASSERT_EQ(script.Write(folder.File("a.usd")), 1);
    const std::string bytes = ReadBytes(folder.File("a.usd"));
    EXPECT_NE(bytes.find("[PAGE]\r\nDrawPicture(\"C:\\L\\Image\\a.jpg\",0,10,20,110,220,0,1,4)\r\n"),
              std::string::npos);
    CUDLScript back;
    ASSERT_EQ(back.Read(folder.File("a.usd")), 1);
    ASSERT_EQ(back.GetDrawRecordCount(), 1);
    EXPECT_EQ(*back.GetDrawRecord(0), PictureRecord("C:\\L\\Image\\a.jpg"));
    EXPECT_EQ(back.GetDrawRecord(1), nullptr);
    EXPECT_EQ(back.GetDrawRecord(-1), nullptr);
}

TEST(UDLScriptPage, RecordsRoundTripInTheReadersNormalForm)
{
    TempFolder folder;
    std::vector<UDLDrawRecord> records;
    records.push_back(PictureRecord("./Image/Image001.eff")); // dot-relative, native separators
    records.push_back(PictureRecord(folder.Path() + "/Image/Image002.jpg"));
    records.back().picture.bottom = -1;
    records.back().picture.top = 500;
    UDLDrawRecord line;
    line.type = UDLDrawLine;
    line.line = {-5, 0, 100, 0, 3, 255, 128, 0};
    records.push_back(line);
    UDLDrawRecord text;
    text.type = UDLDrawText;
    text.text = {"", 1, "%Y/%m/%d 表", 0, 0, 100, 50, 2, "日付", 1, 1, 2, 3};
    records.push_back(text);

    CUDLScript script;
    script.SetDrawRecords(records);
    ASSERT_EQ(script.Write(folder.File("a.usd")), 1);
    const std::string bytes = ReadBytes(folder.File("a.usd"));
    EXPECT_NE(bytes.find("DrawPicture(\".\\Image\\Image001.eff\""), std::string::npos);
    EXPECT_NE(bytes.find("DrawPicture(\".\\Image\\Image002.jpg\",0,10,500,110,-1,"), std::string::npos);

    CUDLScript back;
    ASSERT_EQ(back.Read(folder.File("a.usd")), 1);
    ASSERT_EQ(back.GetDrawRecordCount(), 4);
    records[0].picture.fileName = folder.Path() + "/Image/Image001.eff"; // resolved on reading
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(*back.GetDrawRecord(i), records[static_cast<std::size_t>(i)]) << i;
    ASSERT_EQ(back.Write(folder.File("a.usd")), 1);
    EXPECT_EQ(ReadBytes(folder.File("a.usd")), bytes);
}

TEST(UDLScriptPage, WriteRefusesRecordsThatWouldNotReadBack)
{
    TempFolder folder;
    const std::string path = folder.File("a.usd");
    WriteBytes(path, "previous\r\n");
    UDLDrawRecord backwards;
    backwards.type = UDLDrawLine;
    backwards.line = {100, 0, 5, 0, 1, 0, 0, 0};
    UDLDrawRecord rotation = PictureRecord("a.jpg");
    rotation.picture.rotation = 5;
    UDLDrawRecord longMacro;
    longMacro.type = UDLDrawText;
    longMacro.text.macroText = std::string(68, 'm');
    UDLDrawRecord quoteComma = PictureRecord("a\",b.jpg");
    UDLDrawRecord typeThree;
    typeThree.type = 3;
    for (const auto& record : {backwards, rotation, longMacro, quoteComma, typeThree}) {
        CUDLScript script;
        script.SetDrawRecords({PictureRecord("ok.jpg"), record});
        EXPECT_EQ(script.Write(path), 0);
    }
    CUDLScript countBeyondBlock;
    countBeyondBlock.SetDrawRecords({PictureRecord("ok.jpg")});
    countBeyondBlock.SetDrawRecordCount(2);
    EXPECT_EQ(countBeyondBlock.GetDrawRecord(1), nullptr);
    EXPECT_EQ(countBeyondBlock.Write(path), 0);
    EXPECT_EQ(ReadBytes(path), "previous\r\n");
}

TEST(UDLScriptPage, UnknownTypesWriteAnEmptyLineThatReadersSkip)
{
    TempFolder folder;
    UDLDrawRecord odd;
    odd.type = 7;
    CUDLScript script;
    script.SetDrawRecords({odd, PictureRecord("a.jpg")});
    ASSERT_EQ(script.Write(folder.File("a.usd")), 1);
    EXPECT_NE(ReadBytes(folder.File("a.usd")).find("[PAGE]\r\n\r\nDrawPicture("), std::string::npos);
    CUDLScript back;
    ASSERT_EQ(back.Read(folder.File("a.usd")), 1);
    EXPECT_EQ(back.GetDrawRecordCount(), 1);
}

TEST(UDLScriptPage, PageSectionRules)
{
    TempFolder folder;
    const auto header = std::string("[HEADER]\r\nHdRevision=2.1\r\nHdDirection="
                                    "Vertical\r\nHdPhysicalPaperSize=A4\r\nHdMargines=42,42,42,42\r\n");
    struct PageCase
    {
        std::string rest;
        int result;
        int count;
    };
    const PageCase cases[] = {
        {"[PAGE]\r\n", 1, 0},
        {"", 0, 0},                                                             // no [PAGE]
        {"HdUnasked=1\r\n[PAGE]\r\nDrawLine(1,1,2,2,1,0,0,0)\r\n", 1, 1},       // skipped before [PAGE]
        {"[PAGE]\r\nDrawLine(1,1,2,2,1,0,0,0) ; c\r\n[NEXT]\r\nbad\r\n", 1, 1}, // stops at a section
        {"[PAGE]\r\nDrawLine(1,1,2,2,1,0,0,0)\r\nDrawLine(2,1,1,2,1,0,0,0)\r\n", 0, 0},
    };
    for (const auto& c : cases) {
        WriteBytes(folder.File("a.usd"), header + c.rest);
        CUDLScript script;
        EXPECT_EQ(script.Read(folder.File("a.usd")), c.result) << c.rest;
        EXPECT_EQ(script.GetDrawRecordCount(), c.count) << c.rest;
        if (!c.result) {
            EXPECT_EQ(script.GetDrawRecord(0), nullptr);
        }
        EXPECT_EQ(script.ReadHeader(folder.File("a.usd")), 1);
    }
}

} // namespace
