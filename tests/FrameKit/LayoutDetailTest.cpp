#include "FrameKit/LayoutDetail.h"
#include "FrameKit/DrawObjects.h"
#include "FrameKit/PackageErrorCode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Header(const std::string& extra = "", const std::string& revision = "2.10")
{
    return "[HEADER]\r\nHdRevision=" + revision +
           "\r\nHdTitle=\"T\"\r\nHdDirection=Horizontal\r\nHdPhysicalPaperSize=HAGAKI\r\n"
           "HdMargines=42,42,42,42\r\n" +
           extra;
}

struct LoadCase
{
    const char* what;
    std::string page;
    int code;
};

int LoadPage(ZAVLayoutDetail& d, const std::string& page, const std::string& header = Header())
{
    const std::string text = header + "[PAGE]\r\n" + page;
    return d.LoadText("/nonexistent-folder", static_cast<std::int32_t>(text.size()), text.data());
}

// The loaded items and counts in one line: P<frame><order or F>(rect)[N] for
// pictures, L(rect) for lines, S(rect)'text' for strings.
std::string Describe(const ZAVLayoutDetail& d)
{
    std::ostringstream o;
    for (std::int32_t i = 0; i < d.GetItemCount(); ++i) {
        ZavItemRecord r;
        d.GetItem(i, &r);
        const ZavRect& rect = r.kind == 0 ? r.picture.rect : r.kind == 1 ? r.line.rect : r.string.rect;
        std::int32_t order = 0;
        if (r.kind == 0) {
            o << "P" << r.picture.frameNumber;
            if (d.GetFrameOrder(i, &order) == ZAV_OK)
                o << "o" << order;
            else
                o << "F";
        } else {
            o << (r.kind == 1 ? "L" : "S");
        }
        o << "(" << rect.x1 << "," << rect.y1 << "," << rect.x2 << "," << rect.y2 << ")";
        if (r.kind == 0 && r.picture.openHeight)
            o << "N";
        if (r.kind == 2)
            o << "'" << r.string.text << "'";
        o << " ";
    }
    LayoutHeaderRecord h;
    d.GetHeader(&h);
    o << "frames " << h.insertFrameCount << (h.duplicateFrameNumber ? " dup" : "")
      << (h.hasEffPicture ? " eff" : "");
    return o.str();
}

TEST(FrameLayoutDetail, DrawItemCasesAsOneTable)
{
    struct Case
    {
        const char* what;
        std::string header;
        std::string page;
        int code;
        std::string loaded; // Describe() after a successful load
    } cases[] = {
        {"line widened down", Header(), "DrawLine(10,20,110,20,5,0,0,0)", ZAV_OK, "L(10,20,110,24) frames 0"},
        {"width 0", Header(), "DrawLine(10,20,110,20,0,0,0,0)", ZAV_ERR_SYNTAX, ""},
        {"width 1281", Header(), "DrawLine(10,20,110,20,1281,0,0,0)", ZAV_ERR_SYNTAX, ""},
        {"width 1280", Header(), "DrawLine(10,20,110,20,1280,0,0,0)", ZAV_OK, "L(10,20,110,1299) frames 0"},
        {"seven fields", Header(), "DrawLine(10,20,110,20,5,0,0)", ZAV_ERR_SYNTAX, ""},
        {"nine fields", Header(), "DrawLine(10,20,110,20,5,0,0,0,0)", ZAV_ERR_SYNTAX, ""},
        {"insert frame with open height", Header(), "DrawPicture(\"\",1,10,20,30,N,0,0,0)", ZAV_OK,
         "P1o0(10,20,30,20)N frames 1"},
        {"open height on a fixed picture", Header(), "DrawPicture(\"a.bmp\",0,10,20,30,N,0,0,0)",
         ZAV_ERR_SYNTAX, ""},
        // The editor writes an open height as -1.
        {"insert frame with open height -1", Header(), "DrawPicture(\"\",1,10,20,30,-1,0,0,0)", ZAV_OK,
         "P1o0(10,20,30,20)N frames 1"},
        {"open height -1 on a fixed picture", Header(), "DrawPicture(\"a.bmp\",0,10,20,30,-1,0,0,0)",
         ZAV_ERR_SYNTAX, ""},
        {"a bottom of -2 is a bottom", Header(), "DrawPicture(\"\",1,10,20,30,-2,0,0,0)", ZAV_OK,
         "P1o0(10,-2,30,20) frames 1"},
        {"a.eff fixed and normalised", Header(), "DrawPicture(\"a.eff\",0,100,20,0,40,0,0,0)", ZAV_OK,
         "P0F(0,20,100,40) frames 0 eff"},
        {"codes 4 2 8", Header(), "DrawPicture(\"\",1,0,0,9,9,4,2,8)", ZAV_OK, "P1o0(0,0,9,9) frames 1"},
        {"codes 5 0 0", Header(), "DrawPicture(\"\",1,0,0,9,9,5,0,0)", ZAV_ERR_SYNTAX, ""},
        {"code past a byte", Header(), "DrawPicture(\"\",1,0,0,9,9,260,0,0)", ZAV_ERR_SYNTAX, ""},
        {"picture name of 129", Header(), "DrawPicture(\"" + std::string(129, 'n') + "\",0,0,0,9,9,0,0,0)",
         ZAV_ERR_SYNTAX, ""},
        {"picture without closing quote", Header(), "DrawPicture(\"a.bmp,0,0,0,9,9,0,0,0)", ZAV_ERR_SYNTAX,
         ""},
        {"frames 3, 3, 1", Header(),
         "DrawPicture(\"\",3,0,0,9,9,0,0,0)\r\nDrawPicture(\"\",3,1,1,9,9,0,0,0)\r\n"
         "DrawPicture(\"\",1,2,2,9,9,0,0,0)",
         ZAV_OK, "P3o1(0,0,9,9) P3o2(1,1,9,9) P1o0(2,2,9,9) frames 2 dup"},
        {"text of 70 bytes", Header(),
         "DrawStrings(\"\",1,\"" + std::string(62, 't') +
             "\x82\xa0\x82\xa0\x82\xa0\x82\xa0\",0,0,9,9,0,\"F\",0,0,0,0)",
         ZAV_OK, "S(0,0,9,9)'" + std::string(62, 't') + "' frames 0"},
        {"string rotation 5", Header(), "DrawStrings(\"\",0,\"x\",0,0,9,9,5,\"F\",0,1,2,3)", ZAV_ERR_SYNTAX,
         ""},
        {"string style 2", Header(), "DrawStrings(\"\",0,\"x\",0,0,9,9,0,\"F\",2,1,2,3)", ZAV_ERR_SYNTAX, ""},
        {"string three colours short", Header(), "DrawStrings(\"\",0,\"x\",0,0,9,9,0,\"F\",0,1,2)",
         ZAV_ERR_SYNTAX, ""},
        {"string without font", Header(), "DrawStrings(\"\",0,\"x\",0,0,9,9,0", ZAV_ERR_SYNTAX, ""},
        {"other draw name skipped", Header(), "DrawCircle(1,2,3)\r\nDrawLines(1)", ZAV_OK, "frames 0"},
        {"revision 1.00", Header("", "1.00"), "DrawLine(10,20,110,20,5,0,0,0)", ZAV_ERR_HEADER, ""},
    };
    for (const Case& c : cases) {
        ZAVLayoutDetail d(nullptr);
        EXPECT_EQ(LoadPage(d, c.page + "\r\n", c.header), c.code) << c.what;
        if (c.code == ZAV_OK) {
            EXPECT_EQ(Describe(d), c.loaded) << c.what;
        } else {
            EXPECT_EQ(d.GetItemCount(), 0) << c.what;
        }
    }
}

TEST(FrameLayoutDetail, ItemValuesAfterParsing)
{
    ZAVLayoutDetail d(nullptr);
    ASSERT_EQ(LoadPage(d, "DrawLine(10,20,110,20,5,1,2,3)\r\n"
                          "DrawLine(50,90,50,10,3,0,0,0)\r\n"
                          "DrawPicture(\"\",1,10,20,30,N,0,0,0)\r\n"
                          "DrawPicture(\".\\Image\\a.eff\",0,100,5,0,1,3,1,7)\r\n"
                          "DrawStrings(\"p.jpg\",0,\"A%\"B\",5,6,1,2,1,\"Font\",1,9,8,7)\r\n"),
              ZAV_OK);
    ASSERT_EQ(d.GetItemCount(), 5);
    ZavItemRecord r;
    ASSERT_EQ(d.GetItem(0, &r), ZAV_OK);
    EXPECT_EQ(r.kind, 1);
    EXPECT_EQ(r.line.rect.x1, 10);
    EXPECT_EQ(r.line.rect.y1, 20);
    EXPECT_EQ(r.line.rect.x2, 110);
    EXPECT_EQ(r.line.rect.y2, 24);
    EXPECT_EQ(r.line.color[2], 3);
    ASSERT_EQ(d.GetItem(1, &r), ZAV_OK); // vertical: normalised, then widened right
    EXPECT_EQ(r.line.rect.x1, 50);
    EXPECT_EQ(r.line.rect.x2, 52);
    EXPECT_EQ(r.line.rect.y1, 10);
    EXPECT_EQ(r.line.rect.y2, 90);
    ASSERT_EQ(d.GetItem(2, &r), ZAV_OK);
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(r.picture.openHeight, 1);
    EXPECT_EQ(r.picture.rect.y2, 20);
    EXPECT_STREQ(r.picture.filePath, "");
    ASSERT_EQ(d.GetItem(3, &r), ZAV_OK);
    EXPECT_EQ(r.picture.rect.x1, 0);
    EXPECT_EQ(r.picture.rect.x2, 100);
    EXPECT_EQ(r.picture.rect.y1, 1);
    EXPECT_EQ(r.picture.rect.y2, 5);
    EXPECT_STREQ(r.picture.filePath, "/nonexistent-folder/Image/a.eff");
    EXPECT_EQ(r.picture.codes[2], 7);
    char name[256];
    ASSERT_EQ(d.GetItemFileName(3, name), ZAV_OK);
    EXPECT_STREQ(name, ".\\Image\\a.eff");
    EXPECT_EQ(d.GetItemFileName(0, name), ZAV_ERR_ITEM_INDEX);
    ASSERT_EQ(d.GetItem(4, &r), ZAV_OK);
    EXPECT_EQ(r.kind, 2);
    EXPECT_STREQ(r.string.filePath, "/nonexistent-folder/p.jpg");
    EXPECT_STREQ(r.string.text, "A%\"B");
    EXPECT_EQ(r.string.rect.x1, 1);
    EXPECT_EQ(r.string.rect.x2, 5);
    EXPECT_EQ(r.string.rotation, 1);
    EXPECT_STREQ(r.string.fontName, "Font");
    EXPECT_EQ(r.string.style, 1);
    EXPECT_EQ(r.string.color[0], 9);
    EXPECT_EQ(d.GetItem(5, &r), ZAV_ERR_ITEM_INDEX);
    EXPECT_EQ(d.GetItem(-1, &r), ZAV_ERR_ITEM_INDEX);
    LayoutHeaderRecord h;
    ASSERT_EQ(d.GetHeader(&h), ZAV_OK);
    EXPECT_EQ(h.hasEffPicture, 1);
    EXPECT_EQ(h.hasOpenHeight, 1);
    EXPECT_EQ(h.itemCount, 5);
    EXPECT_EQ(h.lineCount, 2);
    EXPECT_EQ(h.stringCount, 1);
    EXPECT_EQ(h.fixedPictureCount, 1);
    EXPECT_EQ(h.insertPictureCount, 1);
}

TEST(FrameLayoutDetail, LongTextsKeptTerminatedAtACharacterBoundary)
{
    // 62 single bytes, then double-byte characters: the one at bytes 62-63 does not fit in 63.
    const std::string text = std::string(62, 'a') + "\x82\xa0\x82\xa0\x82\xa0";
    const std::string font = std::string(30, 'f') + "\x95\x5c\x95\x5c";
    ZAVLayoutDetail d(nullptr);
    ASSERT_EQ(LoadPage(d, "DrawStrings(\"\",1,\"" + text + "\",0,0,9,9,0,\"" + font + "\",0,0,0,0)\r\n"),
              ZAV_OK);
    ZavItemRecord r;
    ASSERT_EQ(d.GetItem(0, &r), ZAV_OK);
    EXPECT_EQ(std::string(r.string.text), std::string(62, 'a'));
    EXPECT_EQ(std::string(r.string.fontName), std::string(30, 'f'));
    ASSERT_EQ(LoadPage(d, "DrawStrings(\"\",1,\"" + std::string(70, 'b') + "\",0,0,9,9,0,\"F\",0,0,0,0)\r\n"),
              ZAV_OK);
    ASSERT_EQ(d.GetItem(0, &r), ZAV_OK);
    EXPECT_EQ(std::string(r.string.text), std::string(63, 'b'));
}

TEST(FrameLayoutDetail, HeaderRules)
{
    struct LoadCase
    {
        const char* what;
        std::string page;
        int code;
    };
    const LoadCase cases[] = {
        {"revision 1.00", "", ZAV_ERR_HEADER},        {"no revision", "", ZAV_ERR_SYNTAX},
        {"unknown paper", "", ZAV_ERR_SYNTAX},        {"lower-case direction", "", ZAV_ERR_SYNTAX},
        {"title of 129 bytes", "", ZAV_ERR_ARGUMENT},
    };
    const std::string headers[] = {
        Header("", "1.00"),
        "[HEADER]\r\nHdDirection=Vertical\r\nHdPhysicalPaperSize=A4\r\nHdMargines=0,0,0,0\r\n",
        "[HEADER]\r\nHdRevision=2.00\r\nHdDirection=Vertical\r\nHdPhysicalPaperSize=hagaki\r\n"
        "HdMargines=0,0,0,0\r\n",
        "[HEADER]\r\nHdRevision=2.00\r\nHdDirection=vertical\r\nHdPhysicalPaperSize=A4\r\n"
        "HdMargines=0,0,0,0\r\n",
        Header("HdComment=\"" + std::string(129, 'c') + "\"\r\n"),
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        ZAVLayoutDetail d(nullptr);
        EXPECT_EQ(LoadPage(d, "DrawLine(1,1,9,1,1,0,0,0)\r\n", headers[i]), cases[i].code) << cases[i].what;
        LayoutHeaderRecord h;
        d.GetHeader(&h);
        EXPECT_EQ(h.revisionMajor, 0) << cases[i].what;
        EXPECT_EQ(d.GetItemCount(), 0) << cases[i].what;
    }
    ZAVLayoutDetail d(nullptr);
    ASSERT_EQ(LoadPage(d, "",
                       Header("HdCopyFlag=possible\r\nHdChangeFlag=Possible\r\nHdKeyWord=\"k\"\r\n"
                              "HdCapacity=12\r\nHdRollPaperLength=700\r\nHdThumbnail=\".\\t.bmp\"\r\n")),
              ZAV_OK);
    LayoutHeaderRecord h;
    ASSERT_EQ(d.GetHeader(&h), ZAV_OK);
    EXPECT_EQ(h.revisionMajor, 2);
    EXPECT_EQ(h.revisionMinor, 10);
    EXPECT_EQ(h.copyFlag, 0);
    EXPECT_EQ(h.changeFlag, 1);
    EXPECT_STREQ(h.keyword, "\"k\"");
    EXPECT_STREQ(h.title, "T");
    EXPECT_EQ(h.direction, 1);
    EXPECT_EQ(h.capacity, 12);
    EXPECT_EQ(h.rollPaperLength, 700);
    EXPECT_EQ(h.paperLength, 2097);
    EXPECT_EQ(h.paperWidth, 1417);
    EXPECT_EQ(h.resolution, 360.0);
    EXPECT_EQ(h.margins[1], 42);
    EXPECT_STREQ(h.thumbnailPath, "/nonexistent-folder/t.bmp");
    EXPECT_STREQ(d.GetThumbnailName(), ".\\t.bmp");
    EXPECT_STREQ(h.soundPath, "");
    // A layout without a page has no items.
    const std::string noPage = Header();
    ASSERT_EQ(d.LoadText("/x", static_cast<std::int32_t>(noPage.size()), noPage.data()), ZAV_OK);
    EXPECT_EQ(d.GetItemCount(), 0);
}

TEST(FrameLayoutDetail, InsertFramesNumberedByFrameThenFileOrder)
{
    ZAVLayoutDetail d(nullptr);
    ASSERT_EQ(LoadPage(d, "DrawPicture(\"\",3,0,0,9,9,0,0,0)\r\n"
                          "DrawPicture(\"f.bmp\",0,0,0,9,9,0,0,0)\r\n"
                          "DrawPicture(\"\",3,0,0,9,9,1,0,0)\r\n"
                          "DrawPicture(\"\",1,0,0,9,9,2,0,0)\r\n"),
              ZAV_OK);
    std::int32_t order = 9;
    const std::int32_t expected[] = {1, -99, 2, 0};
    for (std::int32_t i = 0; i < 4; ++i) {
        if (expected[i] == -99) {
            EXPECT_EQ(d.GetFrameOrder(i, &order), ZAV_ERR_ITEM_INDEX);
            continue;
        }
        ASSERT_EQ(d.GetFrameOrder(i, &order), ZAV_OK);
        EXPECT_EQ(order, expected[i]) << i;
    }
    LayoutHeaderRecord h;
    d.GetHeader(&h);
    EXPECT_EQ(h.insertFrameCount, 2);
    EXPECT_EQ(h.duplicateFrameNumber, 1);
    ZavInsertFrame f;
    ASSERT_EQ(d.GetInsertFrame(2, &f), ZAV_OK);
    EXPECT_EQ(f.itemIndex, 2);
    EXPECT_EQ(f.frameNumber, 3);
    EXPECT_EQ(d.GetInsertFrame(3, &f), ZAV_ERR_INDEX);
    EXPECT_EQ(d.GetInsertFrame(-1, &f), ZAV_ERR_INDEX);

    // Scope 2 reaches both frames numbered 3; scope 1 one frame; scope 0 every picture.
    const std::uint8_t c2[3] = {3, 2, 1};
    ASSERT_EQ(d.SetCodes(2, 1, c2), ZAV_OK);
    std::uint8_t got[3];
    ASSERT_EQ(d.GetCurrentCodes(2, got), ZAV_OK);
    EXPECT_EQ(got[0], 3);
    ASSERT_EQ(d.GetFileCodes(2, got), ZAV_OK);
    EXPECT_EQ(got[0], 1);
    ASSERT_EQ(d.GetCurrentCodes(0, got), ZAV_OK);
    EXPECT_EQ(got[0], 2);
    EXPECT_EQ(d.SetCodes(3, 0, c2), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(d.SetCodes(1, 7, c2), ZAV_ERR_INDEX);
    ASSERT_EQ(d.SetInsertFrameValue(0, 42), ZAV_OK);
    int code = -1;
    EXPECT_EQ(d.GetItemValue(3, &code), 42);
    EXPECT_EQ(code, ZAV_OK);
    d.GetItemValue(9, &code);
    EXPECT_EQ(code, ZAV_ERR_ITEM_INDEX);
    EXPECT_EQ(d.SetInsertFrameValue(8, 1), ZAV_ERR_INDEX);
    ASSERT_EQ(d.SetItemValue(1, 77), ZAV_OK); // a fixed picture holds a value too
    EXPECT_EQ(d.GetItemValue(1, &code), 77);
    EXPECT_EQ(d.SetItemValue(4, 1), ZAV_ERR_ITEM_INDEX);

    // Frame numbers in the billions are numbered without counting up to them;
    // a negative one stays unnumbered.
    ASSERT_EQ(LoadPage(d, "DrawPicture(\"\",2000000000,0,0,9,9,0,0,0)\r\n"
                          "DrawPicture(\"\",5,0,0,9,9,0,0,0)\r\n"
                          "DrawPicture(\"\",-4,0,0,9,9,0,0,0)\r\n"),
              ZAV_OK);
    const std::int32_t large[] = {1, 0, -1};
    for (std::int32_t i = 0; i < 3; ++i) {
        ASSERT_EQ(d.GetFrameOrder(i, &order), ZAV_OK);
        EXPECT_EQ(order, large[i]) << i;
    }
}

TEST(FrameLayoutDetail, FileReferencesResolveInTheScriptFolderAndRawValues)
{
    const fs::path dir = fs::temp_directory_path() / ("framekit-detail-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "Image");
    std::ofstream(dir / "Image" / "Pic.BMP") << "x";
    const std::string text = Header("HdSound=\"snd.wav\"\r\n") +
                             "[PAGE]\r\nDrawPicture(\".\\image\\pic.bmp\",0,0,0,9,9,0,0,0)\r\n"
                             "DrawLine(1,1,9,1,1,0,0,0) ; c\r\n";
    std::ofstream(dir / "L.usd", std::ios::binary) << text;
    ZAVLayoutDetail d(nullptr);
    ASSERT_EQ(d.Load((dir / "L.usd").c_str()), ZAV_OK);
    ZavItemRecord r;
    ASSERT_EQ(d.GetItem(0, &r), ZAV_OK);
    EXPECT_EQ(std::string(r.picture.filePath), (dir / "Image" / "Pic.BMP").string());
    LayoutHeaderRecord h;
    d.GetHeader(&h);
    EXPECT_EQ(std::string(h.soundPath), (dir / "snd.wav").string());
    char names[512];
    d.GetNames(names);
    EXPECT_STREQ(names + 256, "snd.wav");

    char raw[64];
    ASSERT_EQ(d.GetRawValue("HEADER", "HdTitle", 0, raw, sizeof raw), ZAV_OK);
    EXPECT_STREQ(raw, "\"T\"");
    ASSERT_EQ(d.GetRawValue("PAGE", nullptr, 1, raw, sizeof raw), ZAV_OK);
    EXPECT_STREQ(raw, "DrawLine(1,1,9,1,1,0,0,0) ");
    EXPECT_EQ(d.GetRawValue("PAGE", nullptr, 2, raw, sizeof raw), ZAV_ERR_ARGUMENT);
    EXPECT_EQ(d.GetRawValue("PAGE", nullptr, 0, raw, 8), ZAV_ERR_ARGUMENT); // never cut
    EXPECT_EQ(d.Load((dir / "missing.usd").c_str()), ZAV_ERR_NOT_FOUND);
    EXPECT_EQ(d.GetItemCount(), 0);
    fs::remove_all(dir);
}

} // namespace
