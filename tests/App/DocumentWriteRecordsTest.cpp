#include "App/support/DocumentFakes.h"

#include "App/DocumentBuildGeometry.h"
#include "Core/Files.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Script/ZAVScript.h"

#include <gtest/gtest.h>

#include <QImage>

#include <functional>
#include <memory>

namespace {

// The page a case writes: its items in list order (index 0 drawn on top).
struct Page
{
    CLayoutManager& layout;
    std::string work;

    template <class T> T* Add(std::unique_ptr<T> item, std::array<int, 4> r, bool visible = true)
    {
        T* raw = item.get();
        item->SetRect(RECT{r[0], r[1], r[2], r[3]});
        item->SetVisible(visible);
        EXPECT_TRUE(layout.AddItem(layout.GetItemCount(-1, -1, nullptr), std::move(item)));
        return raw;
    }
    CInsertImageFrameItem* Frame(int number, std::array<int, 4> r, bool visible = true)
    {
        auto frame = std::make_unique<CInsertImageFrameItem>();
        frame->SetFrameNumber(number);
        return Add(std::move(frame), r, visible);
    }
    CStringItem* Text(const std::string& text, const std::string& face = "Body",
                      std::array<int, 4> r = {100, 500, 300, 560})
    {
        auto item = std::make_unique<CStringItem>();
        item->SetText(text);
        LOGFONT font;
        font.lfHeight = -20;
        font.lfWeight = 700;
        font.lfItalic = 1;
        font.lfFaceName = face;
        item->SetLogFont(&font);
        return Add(std::move(item), r);
    }
    CLineItem* Line(std::array<int, 4> r, int width)
    {
        auto line = std::make_unique<CLineItem>();
        line->SetWidth(width);
        line->SetColor(RGB(1, 2, 3));
        return Add(std::move(line), r);
    }
    CMacroStringItem* Macro(CInsertImageFrameItem* owner)
    {
        auto text = std::make_unique<CMacroStringItem>();
        text->SetOwnerFrame(owner);
        text->SetMacroKind(CMacroStringItem::KindFileName);
        return Add(std::move(text), {100, 400, 300, 440});
    }
    std::string Photo(const std::string& name, const char* format)
    {
        QImage image(400, 300, QImage::Format_RGB888);
        image.fill(Qt::blue);
        const std::string path = work + "/" + name;
        EXPECT_TRUE(image.save(QString::fromStdString(path), format));
        return path;
    }
};

struct WriteCase
{
    const char* name;
    int direction;
    std::function<void(Page&)> make;
    bool succeeds;
    std::function<void(CZAVScript&, Page&)> check;
};

void RunZvd(const WriteCase& c)
{
    SCOPED_TRACE(c.name);
    DocumentFixture doc;
    CZAVEditorDoc& d = *doc.document;
    ASSERT_TRUE(d.SetLayoutPaper(3, c.direction, 0, 500, false));
    Page page{*d.GetLayoutManager(), doc.Work()};
    c.make(page);
    std::vector<std::string> images;
    const std::string layoutPath = doc.Work() + "/Spring.zvd";
    ASSERT_TRUE(CreateFolderPath(doc.Work() + "/Spring"));
    ASSERT_EQ(d.ExportZvdFrameImages(d.StripExtension(layoutPath), &images), 1);
    CZAVScript script;
    EXPECT_EQ(d.BuildZvdRecords(script, layoutPath, &images), c.succeeds ? 1 : 0);
    if (c.succeeds && c.check)
        c.check(script, page);
}

const ZAVDrawRecord& At(CZAVScript& s, int i)
{
    static const ZAVDrawRecord none;
    const ZAVDrawRecord* r = s.GetDrawRecord(i);
    EXPECT_NE(r, nullptr) << i;
    return r ? *r : none;
}

TEST(BuildZvdRecordsTest, ItemsBecomeRecordsInReverseOrderWithTheirSettings)
{
    const WriteCase cases[] = {
        {"hidden items are kept, visible 0", 0,
         [](Page& p) {
             p.Frame(1, {100, 100, 300, 300}, false);
             p.Text("A")->SetVisible(false);
         },
         true,
         [](CZAVScript& s, Page&) {
             ASSERT_EQ(s.GetDrawRecordCount(), 2);
             EXPECT_EQ(At(s, 0).type, ZAVDrawString);
             EXPECT_EQ(At(s, 0).chars.visible, 0);
             EXPECT_EQ(At(s, 1).type, ZAVDrawPicture);
             EXPECT_EQ(At(s, 1).picture.visible, 0);
             EXPECT_EQ(At(s, 1).picture.frameNumber, 1);
         }},
        {"A, B, C become C, B, A", 0,
         [](Page& p) {
             p.Text("A");
             p.Line({100, 700, 300, 700}, 5);
             p.Text("C");
         },
         true,
         [](CZAVScript& s, Page&) {
             ASSERT_EQ(s.GetDrawRecordCount(), 3);
             EXPECT_EQ(At(s, 0).chars.text, "C");
             EXPECT_EQ(At(s, 1).type, ZAVDrawLine);
             EXPECT_EQ(At(s, 1).line, (ZAVLinePart{100, 700, 300, 700, 5, 1, 2, 3, 1}));
             const ZAVCharPart& a = At(s, 2).chars;
             EXPECT_EQ(a.text, "A");
             EXPECT_EQ(a.faceName, "Body");
             EXPECT_EQ(a.style, 3);
             EXPECT_EQ(a.fontHeight, -20);
             EXPECT_EQ(a.fixedValue, 3);
             EXPECT_EQ(a.noBackground, 1);
             EXPECT_EQ((std::array<int, 4>{a.left, a.top, a.right, a.bottom}),
                       (std::array<int, 4>{100, 500, 300, 560}));
         }},
        {"direction 1 turns the page; a horizontal line moves by its width", 1,
         [](Page& p) {
             p.Frame(1, {10, 20, 110, 220});
             p.Line({50, 60, 250, 60}, 5);
             p.Line({50, 60, 50, 260}, 5);
         },
         true,
         [](CZAVScript& s, Page& p) {
             const std::int64_t h = PageTurnHeight(p.layout);
             const auto hh = static_cast<int>(h);
             ASSERT_EQ(s.GetDrawRecordCount(), 3);
             const ZAVLinePart& vertical = At(s, 0).line;
             EXPECT_EQ((std::array<int, 4>{vertical.x1, vertical.y1, vertical.x2, vertical.y2}),
                       (std::array<int, 4>{hh - 260, 50, hh - 60, 50}));
             const ZAVLinePart& horizontal = At(s, 1).line;
             EXPECT_EQ((std::array<int, 4>{horizontal.x1, horizontal.y1, horizontal.x2, horizontal.y2}),
                       (std::array<int, 4>{hh - 60 - 4, 50, hh - 60 - 4, 250}));
             const ZAVPicturePart& frame = At(s, 2).picture;
             EXPECT_EQ((std::array<int, 4>{frame.left, frame.top, frame.right, frame.bottom}),
                       (std::array<int, 4>{hh - 220, 10, hh - 20, 110}));
         }},
        {"an ownerless macro string is left out", 0,
         [](Page& p) {
             p.Macro(nullptr);
             CInsertImageFrameItem* frame = p.Frame(2, {100, 100, 300, 300});
             frame->SetInfoFontKey("Gothic");
             frame->SetInfoFontSize(1);
             frame->SetInfoTextColor(RGB(9, 8, 7));
             p.Macro(frame);
         },
         true,
         [](CZAVScript& s, Page&) {
             ASSERT_EQ(s.GetDrawRecordCount(), 2);
             const ZAVMacroStringPart& text = At(s, 0).macroString;
             EXPECT_EQ(At(s, 0).type, ZAVDrawMacroString);
             EXPECT_EQ(text.ownerFrameNumber, 2);
             EXPECT_EQ(text.fontKey, "Gothic");
             EXPECT_EQ(text.fontSize, 1);
             EXPECT_EQ((std::array<int, 3>{text.red, text.green, text.blue}), (std::array<int, 3>{9, 8, 7}));
             EXPECT_EQ(At(s, 1).type, ZAVDrawPicture);
         }},
        {"a text of 259 bytes is written", 0, [](Page& p) { p.Text(std::string(259, 'x')); }, true,
         [](CZAVScript& s, Page&) { EXPECT_EQ(At(s, 0).chars.text.size(), 259u); }},
        {"a text of 260 bytes fails", 0, [](Page& p) { p.Text(std::string(260, 'x')); }, false, nullptr},
        {"a face of 32 bytes fails", 0, [](Page& p) { p.Text("A", std::string(32, 'F')); }, false, nullptr},
        {"an information font key of 32 bytes fails", 0,
         [](Page& p) {
             CInsertImageFrameItem* frame = p.Frame(1, {100, 100, 300, 300});
             frame->SetInfoFontKey(std::string(32, 'k'));
             p.Macro(frame);
         },
         false, nullptr},
        {"a vertical face loses its @", 0, [](Page& p) { p.Text("A", "@Zeta")->SetVerticalText(true); }, true,
         [](CZAVScript& s, Page&) {
             EXPECT_EQ(At(s, 0).chars.faceName, "Zeta");
             EXPECT_EQ(At(s, 0).chars.vertical, 1);
         }},
    };
    for (const WriteCase& c : cases)
        RunZvd(c);
}

// The frames' pictures: numbered in record order into the companion folder,
// or into a staging folder with the new names handed back.
class ZvdPicturesTest : public ::testing::TestWithParam<bool>
{
};

TEST_P(ZvdPicturesTest, PicturesAreNumberedInRecordOrder)
{
    const bool staged = GetParam();
    DocumentFixture doc;
    CZAVEditorDoc& d = *doc.document;
    ASSERT_TRUE(d.SetLayoutPaper(3, 0, 0, 500, false));
    Page page{*d.GetLayoutManager(), doc.Work()};
    CInsertImageFrameItem* frame = page.Frame(1, {100, 100, 300, 300});
    ASSERT_EQ(frame->LoadImage(page.Photo("photo.jpg", "JPG")), 0);
    auto background = std::make_unique<CBackgroundImageFrameItem>();
    ASSERT_EQ(background->LoadImage(page.Photo("back.bmp", "BMP")), 0);
    CBackgroundImageFrameItem* back = page.Add(std::move(background), {0, 0, 400, 400});
    frame->SetImageRange(RECT{1, 2, 30, 20});
    const std::string photoName = frame->GetImageFileName();
    const std::string backName = back->GetImageFileName();
    ASSERT_FALSE(photoName.empty());
    ASSERT_FALSE(backName.empty());

    const std::string layoutPath = doc.Work() + "/Spring.zvd";
    const std::string folder = doc.Work() + "/Spring";
    const std::string staging = doc.Work() + "/stage";
    ASSERT_TRUE(CreateFolderPath(staged ? staging : folder));
    std::vector<std::string> images;
    ASSERT_EQ(d.ExportZvdFrameImages(folder, &images), 1);
    ASSERT_EQ(images.size(), 2u);
    CZAVScript script;
    std::vector<FrameImageRename> renames;
    ASSERT_EQ(d.BuildZvdRecords(script, layoutPath, &images, staged ? staging : std::string(), &renames), 1);

    ASSERT_EQ(script.GetDrawRecordCount(), 2);
    EXPECT_EQ(At(script, 0).picture.fileName, "./Spring/Image000.eff");
    EXPECT_EQ(At(script, 0).picture.frameNumber, 0);
    EXPECT_EQ(At(script, 1).picture.fileName, "./Spring/Image001.jpg");
    EXPECT_EQ(At(script, 1).picture.frameNumber, 1);
    const ZAVPicturePart& p = At(script, 1).picture;
    EXPECT_EQ((std::array<int, 4>{p.rangeLeft, p.rangeTop, p.rangeRight, p.rangeBottom}),
              (std::array<int, 4>{1, 2, 30, 20}));
    for (const std::string& temp : images)
        EXPECT_FALSE(IsFile(temp)) << temp;
    const std::string written = staged ? staging : folder;
    EXPECT_TRUE(IsFile(written + "/Image000.eff"));
    EXPECT_TRUE(IsFile(written + "/Image001.jpg"));
    EXPECT_EQ(GetFileSizeOfPath(written + "/Image001.jpg"), GetFileSizeOfPath(frame->GetImageFileName2()));
    if (staged) {
        EXPECT_FALSE(IsFile(folder + "/Image000.eff"));
        EXPECT_EQ(frame->GetImageFileName(), photoName);
        EXPECT_EQ(back->GetImageFileName(), backName);
        ASSERT_EQ(renames.size(), 2u);
        EXPECT_EQ(renames[0].item, back);
        EXPECT_EQ(renames[0].path, folder + "/Image000.eff");
        EXPECT_EQ(renames[1].item, frame);
        EXPECT_EQ(renames[1].path, folder + "/Image001.jpg");
    } else {
        EXPECT_TRUE(renames.empty());
        EXPECT_EQ(back->GetImageFileName(), folder + "/Image000.eff");
        EXPECT_EQ(frame->GetImageFileName(), folder + "/Image001.jpg");
    }
}

INSTANTIATE_TEST_SUITE_P(InPlaceAndStaged, ZvdPicturesTest, ::testing::Bool());

TEST(BuildZvdRecordsTest, AFailedCopyFailsAndLeavesTheNamesAlone)
{
    DocumentFixture doc;
    CZAVEditorDoc& d = *doc.document;
    Page page{*d.GetLayoutManager(), doc.Work()};
    CInsertImageFrameItem* frame = page.Frame(1, {100, 100, 300, 300});
    ASSERT_EQ(frame->LoadImage(page.Photo("photo.jpg", "JPG")), 0);
    const std::string photoName = frame->GetImageFileName();
    std::vector<std::string> images;
    ASSERT_EQ(d.ExportZvdFrameImages(doc.Work(), &images), 1);
    CZAVScript script;
    // No companion folder to copy into.
    EXPECT_EQ(d.BuildZvdRecords(script, doc.Work() + "/Missing/Spring.zvd", &images), 0);
    EXPECT_EQ(frame->GetImageFileName(), photoName);
    EXPECT_EQ(d.BuildZvdRecords(script, doc.Work() + "/Spring.zvd", nullptr), 0);
}

} // namespace
