#include "App/support/BuildFakes.h"
#include "App/support/DocumentFakes.h"

#include "App/MessageBoxes.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Script/UDLScript.h"

#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <climits>
#include <functional>

namespace {

using Messages = std::vector<std::pair<int, unsigned>>;
const Messages kNone;
const Messages kCorrected{{169, MB_ICONHAND}};

UDLDrawRecord Picture(int frame, std::array<int, 4> r, const std::string& file = "", int rotation = 0)
{
    UDLDrawRecord record;
    record.type = UDLDrawPicture;
    record.picture.frameNumber = frame;
    record.picture.left = r[0];
    record.picture.top = r[1];
    record.picture.right = r[2];
    record.picture.bottom = r[3];
    record.picture.fileName = file;
    record.picture.rotation = rotation;
    record.picture.imageMode = 4;
    return record;
}

UDLDrawRecord Line(std::array<int, 4> r, int width)
{
    UDLDrawRecord record;
    record.type = UDLDrawLine;
    record.line = UDLLinePart{r[0], r[1], r[2], r[3], width, 1, 2, 3};
    return record;
}

UDLDrawRecord Text(int frame, const std::string& macro, const std::string& font = "Gothic", int size = 8,
                   std::uint8_t red = 0)
{
    UDLDrawRecord record;
    record.type = UDLDrawText;
    record.text.frameNumber = frame;
    record.text.macroText = macro;
    record.text.left = 100;
    record.text.top = 400;
    record.text.right = 300;
    record.text.bottom = 440;
    record.text.name = font;
    record.text.flag = size;
    record.text.red = red;
    return record;
}

std::array<int, 4> RectOf(const CLayoutItem* item)
{
    RECT r{};
    item->GetRect(&r, false);
    return {r.left, r.top, r.right, r.bottom};
}

struct ScriptCase
{
    const char* name;
    std::vector<UDLDrawRecord> records;
    int paper = 3;
    int margin = 0;
    bool camera = false;
    bool succeeds = true;
    int failureCode = 1;
    Messages messages;
    std::function<void(CLayoutManager&)> check;
};

class BuildFromLayoutScriptTest : public ::testing::Test
{
protected:
    std::string Photo(const std::string& name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(Qt::red);
        const std::string path = f.Work() + "/" + name;
        image.save(QString::fromStdString(path), "BMP");
        return path;
    }

    void Run(const ScriptCase& c)
    {
        SCOPED_TRACE(c.name);
        DocumentFixture doc;
        RecordingView view;
        doc.document->SetDSCLayout(c.camera ? 1 : 0);
        CUDLScript script;
        script.InitHeader();
        script.SetPaperSize(c.paper);
        script.SetDirection(0);
        script.SetMarginMode(c.margin);
        script.SetDrawRecords(c.records);
        const int result = doc.document->BuildFromLayoutScript(script);
        if (c.succeeds)
            EXPECT_EQ(result, 0);
        else
            EXPECT_EQ(result, c.failureCode);
        EXPECT_EQ(view.messages, c.messages);
        if (c.check)
            c.check(*doc.document->GetLayoutManager());
    }

    DocumentFixture f;
};

TEST_F(BuildFromLayoutScriptTest, RecordsBecomeItemsAndRepairsAreReportedOnce)
{
    const std::string photo = Photo("photo.bmp", 300, 200);
    UDLDrawRecord openBottom = Picture(1, {100, 100, 300, -1});
    std::vector<UDLDrawRecord> twentyOne;
    for (int n = 0; n < 21; ++n)
        twentyOne.push_back(Picture(n + 1, {100, 100, 200, 200}));
    std::vector<UDLDrawRecord> twentyOneLines;
    for (int n = 0; n < 21; ++n)
        twentyOneLines.push_back(Line({100, 100 + n, 200, 100 + n}, 1));
    std::vector<UDLDrawRecord> twentyLines(twentyOneLines.begin(), twentyOneLines.end() - 1);

    const ScriptCase cases[] = {
        {"open bottom",
         {openBottom},
         3,
         0,
         false,
         true,
         1,
         kCorrected,
         [](CLayoutManager& l) {
             ASSERT_EQ(l.GetItemCount(-1, -1, nullptr), 1);
             EXPECT_EQ(RectOf(l.GetItemAt(0)), (std::array<int, 4>{100, 100, 300, 300}));
         }},
        {"missing background",
         {Picture(0, {100, 100, 200, 200}, f.Work() + "/none.bmp")},
         3,
         0,
         false,
         true,
         1,
         kCorrected,
         [](CLayoutManager& l) { EXPECT_EQ(l.GetItemCount(-1, -1, nullptr), 0); }},
        {"background",
         {Picture(0, {100, 100, 200, 200}, photo)},
         3,
         0,
         false,
         true,
         1,
         kNone,
         [](CLayoutManager& l) {
             ASSERT_EQ(l.GetItemCount(-1, -1, nullptr), 1);
             EXPECT_TRUE(IsKindOf<CBackgroundImageFrameItem>(l.GetItemAt(0)));
             EXPECT_EQ(l.GetItemAt(0)->GetLabel(), "photo.bmp");
         }},
        {"missing frame picture",
         {Picture(2, {100, 100, 200, 200}, f.Work() + "/none.jpg")},
         3,
         0,
         false,
         true,
         1,
         kCorrected,
         [](CLayoutManager& l) {
             ASSERT_EQ(l.GetItemCount(-1, -1, nullptr), 1);
             auto* frame = dynamic_cast<CInsertImageFrameItem*>(l.GetItemAt(0));
             ASSERT_NE(frame, nullptr);
             EXPECT_EQ(frame->GetFrameNumber(), 2);
             EXPECT_EQ(frame->GetImageFileName(), "");
         }},
        {"diagonal line", {Line({100, 100, 200, 200}, 3)}, 3, 0, false, false, 1, kNone, nullptr},
        {"width 0",
         {Line({100, 100, 200, 100}, 0)},
         3,
         0,
         false,
         true,
         1,
         kCorrected,
         [](CLayoutManager& l) { EXPECT_EQ(l.GetItemCount(-1, -1, nullptr), 0); }},
        {"width 1281",
         {Line({100, 100, 100, 200}, 1281)},
         3,
         0,
         false,
         true,
         1,
         kCorrected,
         [](CLayoutManager& l) { EXPECT_EQ(l.GetItemCount(-1, -1, nullptr), 0); }},
        {"width 1280",
         {Line({100, 100, 100, 200}, 1280)},
         3,
         0,
         false,
         true,
         1,
         kNone,
         [](CLayoutManager& l) {
             ASSERT_EQ(l.GetItemCount(-1, -1, nullptr), 1);
             auto* line = dynamic_cast<CLineItem*>(l.GetItemAt(0));
             ASSERT_NE(line, nullptr);
             EXPECT_EQ(line->GetLineNumber(), 1);
             EXPECT_EQ(line->GetColor(), 0x030201u);
         }},
        {"texts file name, shooting data, date",
         {Picture(1, {100, 100, 300, 300}), Text(1, "%F", "Mincho", 12, 9), Text(1, "%E %I", "Gothic", 7, 1),
          Text(1, "%Y.%L.%D  %H:%M:%S", "Gothic", 6, 2)},
         3,
         0,
         false,
         true,
         1,
         kNone,
         [](CLayoutManager& l) {
             ASSERT_EQ(l.GetItemCount(-1, -1, nullptr), 4);
             auto* frame = dynamic_cast<CInsertImageFrameItem*>(l.GetItemAt(3));
             ASSERT_NE(frame, nullptr);
             EXPECT_EQ(frame->GetLinkedText3(), l.GetItemAt(2));
             EXPECT_EQ(frame->GetLinkedText2(), l.GetItemAt(1));
             EXPECT_EQ(frame->GetLinkedText1(), l.GetItemAt(0));
             EXPECT_TRUE(frame->ShowsFullPath());
             EXPECT_EQ(frame->GetInfoFontKey(), "Mincho");
             EXPECT_EQ(frame->GetInfoFontSize(), 12);
             EXPECT_EQ(frame->GetInfoTextColor(), 9u);
         }},
        {"shooting data after the date",
         {Picture(1, {100, 100, 300, 300}), Text(1, "%Y.%L.%D  %H:%M:%S"), Text(1, "%E")},
         3,
         0,
         false,
         true,
         1,
         kCorrected,
         [](CLayoutManager& l) {
             ASSERT_EQ(l.GetItemCount(-1, -1, nullptr), 2);
             auto* frame = dynamic_cast<CInsertImageFrameItem*>(l.GetItemAt(1));
             ASSERT_NE(frame, nullptr);
             EXPECT_EQ(frame->GetLinkedText2(), nullptr);
         }},
        {"a text before any frame has no frame and is dropped",
         {Text(1, "%F"), Picture(1, {100, 100, 300, 300})},
         3,
         0,
         false,
         true,
         1,
         kCorrected,
         [](CLayoutManager& l) {
             ASSERT_EQ(l.GetItemCount(-1, -1, nullptr), 1);
             auto* frame = dynamic_cast<CInsertImageFrameItem*>(l.GetItemAt(0));
             ASSERT_NE(frame, nullptr);
             EXPECT_EQ(frame->GetLinkedText3(), nullptr);
         }},
        {"text of another frame",
         {Picture(1, {100, 100, 300, 300}), Text(2, "%f")},
         3,
         0,
         false,
         true,
         1,
         kCorrected,
         [](CLayoutManager& l) { EXPECT_EQ(l.GetItemCount(-1, -1, nullptr), 1); }},
        {"corner off the printable area",
         {Picture(1, {100, 100, 300, 100000})},
         3,
         0,
         false,
         false,
         1,
         kNone,
         nullptr},
        {"camera: second frame",
         {Picture(1, {100, 100, 200, 200}), Picture(2, {100, 100, 200, 200})},
         3,
         0,
         true,
         false,
         3,
         kNone,
         nullptr},
        {"camera: second background",
         {Picture(0, {100, 100, 200, 200}, photo), Picture(0, {100, 100, 200, 200}, photo)},
         3,
         0,
         true,
         false,
         3,
         kNone,
         nullptr},
        {"camera: line", {Line({100, 100, 200, 100}, 3)}, 3, 0, true, false, 3, kNone, nullptr},
        {"camera: rotation 2",
         {Picture(1, {100, 100, 200, 200}, "", 2)},
         3,
         0,
         true,
         false,
         3,
         kNone,
         nullptr},
        {"camera: one frame",
         {Picture(1, {100, 100, 200, 200}, "", 1)},
         3,
         0,
         true,
         true,
         1,
         kNone,
         [](CLayoutManager& l) { EXPECT_EQ(l.GetItemCount(-1, -1, nullptr), 1); }},
        {"A6 in margin mode 2", {}, 1, 2, false, true, 1, {{240, MB_ICONINFORMATION}}, nullptr},
        {"A6 in margin mode 1", {}, 1, 1, false, true, 1, kNone, nullptr},
        {"21 pictures", twentyOne, 3, 0, false, false, 1, kNone, nullptr},
        {"21 lines", twentyOneLines, 3, 0, false, false, 1, kNone, nullptr},
        {"20 lines", twentyLines, 3, 0, false, true, 1, kNone,
         [](CLayoutManager& l) { EXPECT_EQ(l.GetItemCount(-1, -1, nullptr), 20); }},
        {"extreme coordinates",
         {Picture(1, {INT_MIN, INT_MIN, INT_MAX, -1})},
         3,
         0,
         false,
         false,
         1,
         kNone,
         nullptr},
        {"extreme line",
         {Line({INT_MAX, INT_MIN, INT_MAX, INT_MAX}, INT_MAX)},
         3,
         0,
         false,
         false,
         1,
         kNone,
         nullptr},
    };
    for (const ScriptCase& c : cases)
        Run(c);
}

TEST_F(BuildFromLayoutScriptTest, LandscapePagesTurnRecordsAndMessagesKeepTheirOrder)
{
    DocumentFixture doc;
    RecordingView view;
    CUDLScript script;
    script.InitHeader();
    script.SetPaperSize(1);
    script.SetDirection(1);
    script.SetMarginMode(2);
    script.SetDrawRecords({Picture(1, {10, 20, 110, 220}), Line({100, 100, 200, 100}, 0)});
    ASSERT_EQ(doc.document->BuildFromLayoutScript(script), 0);
    CLayoutManager& layout = *doc.document->GetLayoutManager();
    const PageMargins m = layout.GetMargins();
    const int h = layout.GetPaperSize().cy - m.top - m.bottom;
    ASSERT_EQ(layout.GetItemCount(-1, -1, nullptr), 1);
    EXPECT_EQ(RectOf(layout.GetItemAt(0)), (std::array<int, 4>{20, h - 110, 220, h - 10}));
    EXPECT_EQ(view.messages, (Messages{{169, MB_ICONHAND}, {240, MB_ICONINFORMATION}}));
}

} // namespace
