// Layout scripts written by the editor's CUDLScript read the same through the
// kit as through CUDLScript itself.
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/SDK.h"
#include "FrameKit/compare/ReadersAgree.h"
#include "Platform/ShiftJis.h"
#include "Script/UDLScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Utf8(const char* sjis)
{
    return ShiftJisToUtf8(sjis).value_or("<not CP932>");
}

UDLDrawRecord Picture(std::string file, int frame, int l, int t, int r, int b, int rot, int place, int mode)
{
    UDLDrawRecord rec;
    rec.type = UDLDrawPicture;
    rec.picture = {std::move(file), frame, l, t, r, b, rot, place, mode};
    return rec;
}

UDLDrawRecord Line(int x1, int y1, int x2, int y2, int w, std::uint8_t red, std::uint8_t green,
                   std::uint8_t blue)
{
    UDLDrawRecord rec;
    rec.type = UDLDrawLine;
    rec.line = {x1, y1, x2, y2, w, red, green, blue};
    return rec;
}

UDLDrawRecord Text(std::string file, int frame, std::string text, int l, int t, int r, int b, int dir,
                   std::string font, int flag, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    UDLDrawRecord rec;
    rec.type = UDLDrawText;
    rec.text = {std::move(file), frame, std::move(text), l, t, r, b, dir, std::move(font), flag, red,
                green,           blue};
    return rec;
}

struct Case
{
    const char* name;
    const char* paperName; // the kit's name of the script's paper
    std::int32_t margins[4];
    std::function<void(CUDLScript&, const std::string& folder)> setup;
};

class FrameKitAgainstScript : public ::testing::TestWithParam<Case>
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("framekit-compare-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "Image");
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_P(FrameKitAgainstScript, SameHeaderAndItems)
{
    const Case& c = GetParam();
    const std::string path = (dir / "layout.usd").string();
    {
        CUDLScript writer;
        writer.InitHeader();
        c.setup(writer, dir.string());
        ASSERT_EQ(writer.Write(path), 1) << c.name;
    }
    EXPECT_TRUE(ReadersAgree(path)) << c.name;
    CUDLScript script;
    ASSERT_EQ(script.Read(path), 1) << c.name;
    const UDLHeaderInfo& sh = script.GetHeaderInfo();

    ZAV_SDK_PACK kit;
    ASSERT_EQ(kit.OpenLayout(path.c_str()), ZAV_OK) << c.name;
    LayoutHeaderRecord kh;
    ASSERT_EQ(kit.GetLayoutHeader(&kh), ZAV_OK);

    EXPECT_EQ(kh.revisionMajor, static_cast<int>(sh.revision));
    EXPECT_EQ(kh.revisionMinor, static_cast<int>(sh.revision * 100 + 0.5) % 100);
    EXPECT_EQ(Utf8(kh.author), sh.author);
    EXPECT_EQ(Utf8(kh.copyright), sh.copyright);
    EXPECT_EQ(kh.copyFlag, sh.copyFlag);
    EXPECT_EQ(kh.changeFlag, sh.changeFlag);
    EXPECT_EQ(Utf8(kh.keyword), "\"" + sh.keyword + "\""); // the kit keeps HdKeyWord as written
    EXPECT_EQ(Utf8(kh.title), sh.title);
    EXPECT_EQ(Utf8(kh.comment), sh.comment);
    EXPECT_EQ(kh.direction, sh.direction);
    EXPECT_EQ(kh.capacity, sh.capacity);
    EXPECT_EQ(std::string(kh.thumbnailPath), sh.thumbnail);
    char sound[256];
    kit.GetSoundName(sound);
    EXPECT_EQ(Utf8(sound), sh.sound);
    EXPECT_STREQ(kh.paperName, c.paperName);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(kh.margins[i], c.margins[i]) << i;
    if (kh.paperLength == 0) { // roll papers alone carry a length
        EXPECT_EQ(kh.rollPaperLength, sh.rollPaperLength);
    }
    EXPECT_EQ(Utf8(kh.application), sh.application);

    ASSERT_EQ(kh.itemCount, script.GetDrawRecordCount());
    for (std::int32_t i = 0; i < kh.itemCount; ++i) {
        const UDLDrawRecord& s = *script.GetDrawRecord(i);
        ZavItemRecord k;
        ASSERT_EQ(kit.GetItem(i, &k), ZAV_OK);
        ASSERT_EQ(k.kind, s.type == UDLDrawPicture ? 0 : s.type == UDLDrawLine ? 1 : 2) << i;
        if (k.kind == 0) {
            const UDLPicturePart& p = s.picture;
            EXPECT_EQ(k.picture.frameNumber, p.frameNumber);
            EXPECT_EQ(k.picture.rect.x1, p.left);
            EXPECT_EQ(k.picture.rect.y1, p.top);
            EXPECT_EQ(k.picture.rect.x2, p.right);
            EXPECT_EQ(k.picture.rect.y2, p.bottom);
            EXPECT_EQ(k.picture.codes[0], p.rotation);
            EXPECT_EQ(k.picture.codes[1], p.placement);
            EXPECT_EQ(k.picture.codes[2], p.imageMode);
            // The kit keeps a path for fixed pictures only.
            EXPECT_EQ(std::string(k.picture.filePath), p.frameNumber == 0 ? p.fileName : std::string());
        } else if (k.kind == 1) {
            const UDLLinePart& l = s.line;
            EXPECT_EQ(k.line.rect.x1, l.x1);
            EXPECT_EQ(k.line.rect.x2, l.x2 + (l.x1 == l.x2 && l.y1 != l.y2 ? l.width - 1 : 0));
            EXPECT_EQ(k.line.rect.y1, l.y1);
            EXPECT_EQ(k.line.rect.y2, l.y2 + (l.y1 == l.y2 ? l.width - 1 : 0));
            EXPECT_EQ(k.line.width, l.width);
            EXPECT_EQ(k.line.color[0], l.red);
            EXPECT_EQ(k.line.color[1], l.green);
            EXPECT_EQ(k.line.color[2], l.blue);
        } else {
            const UDLTextPart& t = s.text;
            EXPECT_EQ(k.string.frameNumber, t.frameNumber);
            EXPECT_EQ(Utf8(k.string.text), t.macroText);
            EXPECT_EQ(k.string.rect.x1, t.left);
            EXPECT_EQ(k.string.rect.y1, t.top);
            EXPECT_EQ(k.string.rect.x2, t.right);
            EXPECT_EQ(k.string.rect.y2, t.bottom);
            EXPECT_EQ(k.string.rotation, t.direction);
            EXPECT_EQ(Utf8(k.string.fontName), t.name);
            EXPECT_EQ(k.string.style, t.flag);
            EXPECT_EQ(k.string.color[0], t.red);
            EXPECT_EQ(k.string.color[2], t.blue);
            const std::string expected =
                t.frameNumber == 0 && !t.imageFileName.empty() ? (dir / t.imageFileName).string() : "";
            EXPECT_EQ(std::string(k.string.filePath), expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    FrameKit, FrameKitAgainstScript,
    ::testing::Values(Case{"default header", "A4", {42, 42, 42, 42}, [](CUDLScript&, const std::string&) {}},
                      Case{"roll paper",
                           "R100",
                           {0, 0, -36, -36},
                           [](CUDLScript& s, const std::string& folder) {
                               s.SetPaperSize(7);
                               s.SetMarginMode(3);
                               ASSERT_EQ(s.SetRollPaperLength(4321), 1);
                               s.SetDirection(1);
                               s.SetDrawRecords(
                                   {Picture(folder + "/Image/back.bmp", 0, 0, 0, 1417, 4321, 0, 0, 0),
                                    Picture("", 1, 100, 100, 1300, 2000, 1, 1, 4)});
                           }},
                      Case{"pictures, strings and lines",
                           "HAGAKI",
                           {42, 198, 42, 42},
                           [](CUDLScript& s, const std::string& folder) {
                               s.SetPaperSize(0);
                               s.SetMarginMode(1);
                               ASSERT_EQ(s.SetTitle("年賀 card"), 1);
                               ASSERT_EQ(s.SetComment("a comment; with a semicolon"), 1);
                               ASSERT_EQ(s.SetAuthor("作者"), 1);
                               s.SetCapacity(3);
                               s.SetThumbnail(folder + "/Thumb.bmp");
                               s.SetDrawRecords({
                                   Picture(folder + "/Image/frame.eff", 0, 0, 0, 2097, 1417, 0, 2, 8),
                                   Picture("", 2, 300, 200, 900, 700, 3, 1, 4),
                                   Picture("", 1, 1000, 200, 1500, 700, 4, 0, 0),
                                   Line(10, 20, 110, 20, 5, 255, 0, 128),
                                   Line(50, 10, 50, 90, 3, 1, 2, 3),
                                   Text("", 1, "%Y年%m月", 100, 1200, 900, 1350, 1, "IPAゴシック", 1, 10, 20,
                                        30),
                                   Text("photo.jpg", 0, "%D", 0, 0, 10, 10, 0, "F", 0, 0, 0, 0),
                               });
                           }}),
    [](const ::testing::TestParamInfo<Case>& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

} // namespace
