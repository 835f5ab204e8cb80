#include "App/support/BuildFakes.h"
#include "App/support/DocumentFakes.h"

#include "App/DocumentBuildGeometry.h"
#include "App/FontCatalogue.h"
#include "App/MessageBoxes.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutDialogs.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Script/ZAVScript.h"

#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <climits>
#include <functional>
#include <set>

namespace {

using Messages = std::vector<std::pair<int, unsigned>>;
const Messages kNone;
const Messages kCorrected{{169, MB_ICONHAND}};

class FakeFonts : public IFontCatalogue
{
public:
    FakeFonts() { SetFontCatalogue(this); }
    ~FakeFonts() override { SetFontCatalogue(nullptr); }
    bool HasOutlineFamily(std::string_view face) override { return outline.count(std::string(face)) != 0; }
    bool HasFamily(std::string_view face) override
    {
        return HasOutlineFamily(face) || other.count(std::string(face)) != 0;
    }
    std::string DefaultInterfaceFace() override { return interfaceFace; }
    std::vector<std::string> SortedOutlineNames() override { return {outline.begin(), outline.end()}; }

    std::set<std::string> outline{"Body", "Zeta"};
    std::set<std::string> other{"@Zeta"};
    std::string interfaceFace = "Body";
};

class FixedDpi : public ILayoutDialogs
{
public:
    explicit FixedDpi(int dpi) : m_dpi(dpi) { SetLayoutDialogs(this); }
    ~FixedDpi() override { SetLayoutDialogs(nullptr); }
    bool ChooseColor(COLORREF&) override { return false; }
    int RunStringItemFontDialog(StringItemFontValues&) override { return 0; }
    int RunPictureTransparencyDialog(CImageFrameItem&) override { return 0; }
    int RunPictureRangeDialog(CImageFrameItem&) override { return 0; }
    int RunSelectImageDialog(int, std::string&) override { return 0; }
    int RunSetImageInfoDialog(ImageInfoValues&) override { return 0; }
    int GetScreenLogPixelsY() override { return m_dpi; }

private:
    int m_dpi;
};

ZAVDrawRecord Picture(int frame, std::array<int, 4> r, const std::string& file = "", int rotation = 0)
{
    ZAVDrawRecord record;
    record.type = ZAVDrawPicture;
    record.picture.frameNumber = frame;
    record.picture.left = r[0];
    record.picture.top = r[1];
    record.picture.right = r[2];
    record.picture.bottom = r[3];
    record.picture.fileName = file;
    record.picture.rotation = rotation;
    record.picture.imageMode = 4;
    record.picture.visible = 1;
    return record;
}

ZAVDrawRecord Line(std::array<int, 4> r, int width)
{
    ZAVDrawRecord record;
    record.type = ZAVDrawLine;
    record.line = ZAVLinePart{r[0], r[1], r[2], r[3], width, 1, 2, 3, 1};
    return record;
}

ZAVDrawRecord Macro(int frame, const std::string& macro)
{
    ZAVDrawRecord record;
    record.type = ZAVDrawMacroString;
    record.macroString.ownerFrameNumber = frame;
    record.macroString.macroText = macro;
    record.macroString.left = 100;
    record.macroString.top = 400;
    record.macroString.right = 300;
    record.macroString.bottom = 440;
    record.macroString.fontKey = "Gothic";
    record.macroString.visible = 1;
    return record;
}

ZAVDrawRecord String(const std::string& face, int height = -20, int vertical = 0)
{
    ZAVDrawRecord record;
    record.type = ZAVDrawString;
    record.chars.faceName = face;
    record.chars.text = "Hello";
    record.chars.left = 100;
    record.chars.top = 500;
    record.chars.right = 300;
    record.chars.bottom = 560;
    record.chars.fontHeight = height;
    record.chars.vertical = vertical;
    record.chars.visible = 1;
    return record;
}

struct ZvdCase
{
    const char* name;
    std::vector<ZAVDrawRecord> records;
    int paper = 3;
    int margin = 0;
    int direction = 0;
    bool camera = false;
    bool succeeds = true;
    Messages messages;
    std::function<void(CLayoutManager&)> check;
    int dpi = 96;
};

std::vector<ZAVDrawRecord> Repeat(const ZAVDrawRecord& record, int count)
{
    return std::vector<ZAVDrawRecord>(static_cast<std::size_t>(count), record);
}

std::vector<ZAVDrawRecord> Frames(int count)
{
    std::vector<ZAVDrawRecord> records;
    for (int n = 0; n < count; ++n)
        records.push_back(n % 2 ? String("Body") : Picture(n + 1, {100, 100, 200, 200}));
    return records;
}

void RunCase(const ZvdCase& c)
{
    SCOPED_TRACE(c.name);
    DocumentFixture doc;
    RecordingView view;
    FakeFonts fonts;
    FixedDpi dpi(c.dpi);
    CZAVScript script;
    script.InitHeader();
    script.SetPaperSize(c.paper);
    script.SetDirection(c.direction);
    script.SetMarginMode(c.margin);
    script.SetDSCFlag(c.camera ? 1 : 0);
    script.SetDrawRecords(c.records);
    EXPECT_EQ(doc.document->BuildFromZvdScript(script), c.succeeds ? 1 : 0);
    EXPECT_EQ(view.messages, c.succeeds ? c.messages : kNone);
    if (c.check)
        c.check(*doc.document->GetLayoutManager());
}

LOGFONT FontAt(CLayoutManager& l, int index)
{
    LOGFONT font;
    auto* item = dynamic_cast<CStringItem*>(l.GetItemAt(index));
    EXPECT_NE(item, nullptr);
    if (item)
        item->GetLogFont(&font);
    return font;
}

TEST(MulDivTest, RoundsHalfAwayFromZero)
{
    const std::array<std::array<int, 4>, 7> cases{{{-1333, 72, 96, -1000},
                                                   {999, 96, 72, 1332},
                                                   {999, 120, 72, 1665},
                                                   {3, 1, 2, 2},
                                                   {-3, 1, 2, -2},
                                                   {1, 1, 0, -1},
                                                   {INT_MIN, 72, 1, -1}}};
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
}

TEST(BuildFromZvdScriptTest, RecordsBecomeItemsWithTheirRepairsReportedOnceInOrder)
{
    const ZvdCase cases[] = {
        {"20 pictures and strings", Frames(20), 3, 0, 0, false, true, kNone,
         [](CLayoutManager& l) { EXPECT_EQ(l.GetItemCount(-1, -1, nullptr), 20); }},
        {"21 pictures and strings", Frames(21), 3, 0, 0, false, false, kNone, nullptr},
        {"21 lines", Repeat(Line({100, 100, 200, 100}, 2), 21), 3, 0, 0, false, false, kNone, nullptr},
        {"height -1333 at 96 dpi",
         {String("Body", -1333)},
         3,
         0,
         0,
         false,
         true,
         kCorrected,
         [](CLayoutManager& l) { EXPECT_EQ(FontAt(l, 0).lfHeight, -1332); }},
        {"height -1700 at 120 dpi",
         {String("Body", -1700)},
         3,
         0,
         0,
         false,
         true,
         kCorrected,
         [](CLayoutManager& l) { EXPECT_EQ(FontAt(l, 0).lfHeight, -1665); },
         120},
        {"height -1333 at 120 dpi",
         {String("Body", -1333)},
         3,
         0,
         0,
         false,
         true,
         kNone,
         [](CLayoutManager& l) { EXPECT_EQ(FontAt(l, 0).lfHeight, -1333); },
         120},
        {"missing face takes the interface face",
         {String("Gone")},
         3,
         0,
         0,
         false,
         true,
         {{208, MB_ICONHAND}},
         [](CLayoutManager& l) { EXPECT_EQ(FontAt(l, 0).lfFaceName, "Body"); }},
        {"vertical text takes its @ face",
         {String("Zeta", -20, 1)},
         3,
         0,
         0,
         false,
         true,
         kNone,
         [](CLayoutManager& l) { EXPECT_EQ(FontAt(l, 0).lfFaceName, "@Zeta"); }},
        {"camera file without pictures",
         {},
         3,
         0,
         0,
         true,
         true,
         kCorrected,
         [](CLayoutManager& l) {
             ASSERT_EQ(l.GetItemCount(-1, -1, nullptr), 1);
             auto* frame = dynamic_cast<CInsertImageFrameItem*>(l.GetItemAt(0));
             ASSERT_NE(frame, nullptr);
             EXPECT_EQ(frame->GetFrameNumber(), 1);
             EXPECT_EQ(frame->GetImageRotation(), 1);
         }},
        {"camera file without pictures, direction 1",
         {},
         3,
         0,
         1,
         true,
         true,
         kCorrected,
         [](CLayoutManager& l) {
             auto* frame = dynamic_cast<CInsertImageFrameItem*>(l.GetItemAt(0));
             ASSERT_NE(frame, nullptr);
             EXPECT_EQ(frame->GetImageRotation(), 0);
         }},
        {"margin 6 on paper 3", {}, 3, 6, 0, false, true, {{240, MB_ICONINFORMATION}}, nullptr},
        {"%F then %f",
         {Picture(1, {100, 100, 300, 300}), Macro(1, "%F"), Macro(1, "%f")},
         3,
         0,
         0,
         false,
         true,
         kCorrected,
         [](CLayoutManager& l) {
             ASSERT_EQ(l.GetItemCount(-1, -1, nullptr), 2);
             auto* frame = dynamic_cast<CInsertImageFrameItem*>(l.GetItemAt(1));
             ASSERT_NE(frame, nullptr);
             EXPECT_EQ(frame->GetLinkedText3(), l.GetItemAt(0));
             EXPECT_TRUE(frame->ShowsFullPath());
         }},
        {"a caption before any frame, or after a line, has no frame and is dropped",
         {Macro(1, "%F"), Picture(1, {100, 100, 300, 300}), Line({100, 700, 300, 700}, 2), Macro(1, "%F")},
         3,
         0,
         0,
         false,
         true,
         kCorrected,
         [](CLayoutManager& l) {
             ASSERT_EQ(l.GetItemCount(-1, -1, nullptr), 2);
             auto* frame = dynamic_cast<CInsertImageFrameItem*>(l.GetItemAt(1));
             ASSERT_NE(frame, nullptr);
             EXPECT_EQ(frame->GetLinkedText3(), nullptr);
         }},
        {"169, 208, 240 in order",
         {Line({100, 100, 200, 100}, 0), String("Gone")},
         1,
         2,
         0,
         false,
         true,
         {{169, MB_ICONHAND}, {208, MB_ICONHAND}, {240, MB_ICONINFORMATION}},
         nullptr},
        {"diagonal line", {Line({100, 100, 200, 200}, 2)}, 3, 0, 0, false, false, kNone, nullptr},
        {"extreme coordinates",
         {Picture(1, {INT_MIN, INT_MIN, INT_MAX, -1})},
         3,
         0,
         1,
         false,
         false,
         kNone,
         nullptr},
        {"extreme line",
         {Line({INT_MIN, INT_MAX, INT_MIN, INT_MIN}, INT_MIN)},
         3,
         0,
         1,
         false,
         false,
         kNone,
         nullptr},
        {"extreme string", {String("Body", INT_MIN)}, 3, 0, 0, false, true, kCorrected, nullptr},
    };
    for (const ZvdCase& c : cases)
        RunCase(c);
}

TEST(BuildFromZvdScriptTest, AFaceMissingWithTheInterfaceFaceTakesTheFirstSortedOutlineFace)
{
    DocumentFixture doc;
    RecordingView view;
    FakeFonts fonts;
    fonts.interfaceFace = "Missing too";
    CZAVScript script;
    script.InitHeader();
    script.SetPaperSize(3);
    script.SetDrawRecords({String("Gone")});
    ASSERT_EQ(doc.document->BuildFromZvdScript(script), 1);
    EXPECT_EQ(FontAt(*doc.document->GetLayoutManager(), 0).lfFaceName, "Body");
    EXPECT_EQ(view.messages, (Messages{{208, MB_ICONHAND}}));
}

TEST(BuildFromZvdScriptTest, AutomaticRotationOfASquareBackgroundFollowsTheDirection)
{
    DocumentFixture doc;
    QImage image(300, 200, QImage::Format_RGB888);
    image.fill(Qt::blue);
    const std::string path = doc.Work() + "/back.bmp";
    ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
    for (int direction : {0, 1}) {
        DocumentFixture f;
        RecordingView view;
        CZAVScript script;
        script.InitHeader();
        script.SetPaperSize(3);
        script.SetDirection(direction);
        script.SetDrawRecords({Picture(0, {100, 100, 300, 300}, path, 4)});
        ASSERT_EQ(f.document->BuildFromZvdScript(script), 1);
        auto* back = dynamic_cast<CBackgroundImageFrameItem*>(f.document->GetLayoutManager()->GetItemAt(0));
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->GetImageRotation(), direction == 1 ? 3 : 0) << direction;
        EXPECT_EQ(view.messages, kCorrected);
    }
}

} // namespace
