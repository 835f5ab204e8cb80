// ReadersAgree over each kind of file the editor's writers make, and over
// files on which the two readers are known to part, which it must report.
#include "FrameKit/compare/ReadersAgree.h"

#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageZAV.h"
#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ReadersAgreeCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("readers-agree-check-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "lay" / "Image");
        WriteText("lay/Image/back.jpg", "not read by either");
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& relative) const { return (dir / relative).string(); }
    void WriteText(const std::string& relative, const std::string& text) const
    {
        std::ofstream(dir / relative, std::ios::binary) << text;
    }
    static std::string Header()
    {
        return "[HEADER]\r\nHdRevision=02.10\r\nHdCopyFlag=Possible\r\nHdChangeFlag=Possible\r\n"
               "HdDirection=Vertical\r\nHdPhysicalPaperSize=A4\r\n"
               "HdMargines=42,42,42,42\r\n[PAGE]\r\n";
    }

    fs::path dir;
};

UDLDrawRecord Picture(std::string file, int frame, int l, int t, int r, int b)
{
    UDLDrawRecord rec;
    rec.type = UDLDrawPicture;
    rec.picture = {std::move(file), frame, l, t, r, b, 0, 0, 4};
    return rec;
}

TEST_F(ReadersAgreeCheck, ALayoutScriptWithAnOpenBottom)
{
    CUDLScript script;
    script.SetPaperSize(7);
    script.SetMarginMode(3);
    ASSERT_EQ(script.SetRollPaperLength(2000), 1);
    UDLDrawRecord line;
    line.type = UDLDrawLine;
    line.line = {10, 20, 110, 20, 5, 1, 2, 3};
    UDLDrawRecord text;
    text.type = UDLDrawText;
    text.text = {".\\Image\\t.jpg", 0, "%Y.%L.%D", 5, 6, 70, 80, 1, "Gothic", 1, 9, 8, 7};
    // The editor writes an open bottom as -1; the kit must read it so too.
    script.SetDrawRecords({Picture(Path("lay/Image/back.jpg"), 0, 0, 0, 600, 900),
                           Picture("", 1, 100, 100, 300, -1), line, text});
    ASSERT_EQ(script.Write(Path("lay/a.usd")), 1);
    EXPECT_TRUE(ReadersAgree(Path("lay/a.usd")));
}

TEST_F(ReadersAgreeCheck, EditorDocumentsOfBothForms)
{
    for (const int camera : {0, 1}) {
        SCOPED_TRACE(camera);
        CZAVScript script;
        script.SetDSCFlag(camera);
        ASSERT_EQ(script.SetTitle("題 \"q\" 100%"), 1);
        std::vector<ZAVDrawRecord> records(3);
        records[0].type = ZAVDrawPicture;
        records[0].picture = {Path("lay/Image/back.jpg"), 0, 1, 2, 300, 400, 0, 0, 4, 0, 0, 0, 0, 1};
        records[1].type = ZAVDrawString;
        records[1].chars.faceName = "Body";
        records[1].chars.text = "two\r\nlines \"quoted\" 50% a\\b";
        records[1].chars.right = 100;
        records[1].chars.bottom = 40;
        records[1].chars.visible = 1;
        records[2].type = ZAVDrawMacroString;
        records[2].macroString.ownerFrameNumber = 1;
        records[2].macroString.macroText = "%f";
        records[2].macroString.right = 50;
        records[2].macroString.bottom = 20;
        records[2].macroString.fontKey = "Gothic";
        script.SetDrawRecords(records);
        script.SetDrawRecordCount(3);
        const std::string path = Path("lay/d" + std::to_string(camera) + ".zvd");
        ASSERT_EQ(script.Write(path), 1);
        EXPECT_TRUE(ReadersAgree(path));
    }
}

TEST_F(ReadersAgreeCheck, APackageIsUnpackedAndItsScriptCompared)
{
    CUDLScript script;
    script.SetDrawRecords({Picture(Path("lay/Image/back.jpg"), 0, 0, 0, 600, 900)});
    ASSERT_EQ(script.Write(Path("lay/a.usd")), 1);
    PackageZAV kit;
    ZAVPath layout = {};
    std::strncpy(layout, Path("lay/a.usd").c_str(), sizeof layout - 1);
    ASSERT_EQ(kit.Package(1, &layout, Path("a.fdp").c_str()), ZAV_OK);
    EXPECT_TRUE(ReadersAgree(Path("a.fdp")));
}

TEST_F(ReadersAgreeCheck, TellsWhereTheReadersPart)
{
    struct Case
    {
        const char* what;
        std::string page;
        const char* reported;
    };
    const Case cases[] = {
        // The editor takes a name without a leading "." as it stands; the kit
        // finds it in the layout's folder.
        {"bare name", "DrawPicture(\"Image\\back.jpg\",0,0,0,600,900,0,0,4)\r\n", "item 0 picture"},
        // The kit gives a fixed picture no open height.
        {"open fixed picture", "DrawPicture(\".\\Image\\back.jpg\",0,0,0,600,N,0,0,4)\r\n", "opened"},
        // The editor refuses a line that runs backwards; the kit turns it round.
        {"backward line", "DrawLine(110,20,10,20,3,0,0,0)\r\n", "opened"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteText("lay/p.usd", Header() + c.page);
        const ::testing::AssertionResult agree = ReadersAgree(Path("lay/p.usd"));
        EXPECT_FALSE(agree);
        EXPECT_NE(std::string(agree.message()).find(c.reported), std::string::npos) << agree.message();
    }
    // Without the flags the editor reads them "Possible", the kit not.
    std::string header = Header();
    header.erase(header.find("HdCopyFlag"), header.find("HdDirection") - header.find("HdCopyFlag"));
    WriteText("lay/p.usd", header);
    const ::testing::AssertionResult agree = ReadersAgree(Path("lay/p.usd"));
    EXPECT_FALSE(agree);
    EXPECT_NE(std::string(agree.message()).find("copy flag: editor 1, kit 0"), std::string::npos)
        << agree.message();
}

} // namespace
