#include "App/support/DocumentFakes.h"

#include "App/DocumentBuildGeometry.h"
#include "Core/Files.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/PaperTable.h"
#include "Layout/StringItem.h"
#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include <gtest/gtest.h>

#include <QFile>
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

struct UsdCase
{
    const char* name;
    int direction;
    std::function<void(Page&)> make;
    bool succeeds;
    std::function<void(CUDLScript&, Page&)> check;
};

const UDLDrawRecord& At(CUDLScript& s, int i)
{
    static const UDLDrawRecord none;
    const UDLDrawRecord* r = s.GetDrawRecord(i);
    EXPECT_NE(r, nullptr) << i;
    return r ? *r : none;
}

std::array<int, 4> Corners(const UDLPicturePart& p)
{
    return {p.left, p.top, p.right, p.bottom};
}

void RunUsd(const UsdCase& c)
{
    SCOPED_TRACE(c.name);
    DocumentFixture doc;
    CZAVEditorDoc& d = *doc.document;
    ASSERT_TRUE(d.SetLayoutPaper(3, c.direction, 0, 500, false));
    Page page{*d.GetLayoutManager(), doc.Work()};
    c.make(page);
    const std::string layoutPath = doc.Work() + "/Spring.usd";
    ASSERT_TRUE(CreateFolderPath(doc.Work() + "/Spring"));
    std::vector<std::string> images;
    ASSERT_EQ(d.ExportUsdFrameImages(d.StripExtension(layoutPath), &images, 0), 1);
    CUDLScript script;
    EXPECT_EQ(d.BuildUsdRecords(script, layoutPath, &images, 0), c.succeeds ? 1 : 0);
    if (c.check)
        c.check(script, page);
}

// Frame numbers and names as the items hold them, in list order.
std::vector<std::pair<int, std::string>> FrameNames(CLayoutManager& layout)
{
    std::vector<std::pair<int, std::string>> names;
    for (const auto& item : layout.GetItems())
        if (auto* frame = dynamic_cast<CInsertImageFrameItem*>(item.get()))
            names.emplace_back(frame->GetFrameNumber(), frame->GetLabel());
    return names;
}

void NamedFrames(Page& p, bool failing)
{
    CInsertImageFrameItem* first = p.Frame(1, {100, 100, 200, 200}, false);
    CInsertImageFrameItem* second = p.Frame(2, {300, 100, 400, 200});
    CInsertImageFrameItem* third = p.Frame(3, {500, 100, 600, 200});
    first->SetLabel("one");
    second->SetLabel("two");
    third->SetLabel("three");
    if (failing) {
        third->SetInfoFontKey(std::string(32, 'k'));
        p.Macro(third);
    }
}

const std::vector<std::pair<int, std::string>> kNamedFrames{{1, "one"}, {2, "two"}, {3, "three"}};

TEST(BuildUsdRecordsTest, VisibleItemsBecomeRecordsInReverseOrder)
{
    const UsdCase cases[] = {
        {"no visible item, no record", 0,
         [](Page& p) {
             p.Frame(1, {100, 100, 300, 300}, false);
             p.Text("A")->SetVisible(false);
         },
         true, [](CUDLScript& s, Page&) { EXPECT_EQ(s.GetDrawRecordCount(), 0); }},
        {"A, B, C become C, B, A; texts take pictures 001 and 000", 0,
         [](Page& p) {
             p.Text("A");
             p.Line({100, 700, 300, 700}, 5);
             p.Text("C");
         },
         true,
         [](CUDLScript& s, Page& p) {
             ASSERT_EQ(s.GetDrawRecordCount(), 3);
             EXPECT_EQ(At(s, 0).picture.fileName, "./Spring/Image000.eff");
             EXPECT_EQ(At(s, 1).type, UDLDrawLine);
             EXPECT_EQ(At(s, 1).line, (UDLLinePart{100, 700, 300, 700, 5, 1, 2, 3}));
             const UDLPicturePart& a = At(s, 2).picture;
             EXPECT_EQ(a.fileName, "./Spring/Image001.eff");
             EXPECT_EQ(a.imageMode, 4);
             EXPECT_EQ(a.rotation, 0);
             EXPECT_EQ(Corners(a), (std::array<int, 4>{100, 500, 300, 560}));
             EXPECT_TRUE(IsFile(p.work + "/Spring/Image000.eff"));
             EXPECT_TRUE(IsFile(p.work + "/Spring/Image001.eff"));
         }},
        {"direction 1 turns the page; a horizontal line moves by its width", 1,
         [](Page& p) {
             p.Frame(1, {10, 20, 110, 220});
             p.Line({50, 60, 250, 60}, 5);
             p.Text("T", "Body", {10, 20, 110, 220});
         },
         true,
         [](CUDLScript& s, Page& p) {
             const auto h = static_cast<int>(PageTurnHeight(p.layout));
             ASSERT_EQ(s.GetDrawRecordCount(), 3);
             EXPECT_EQ(Corners(At(s, 0).picture), (std::array<int, 4>{h - 220, 10, h - 20, 110}));
             EXPECT_EQ(At(s, 0).picture.rotation, 1);
             const UDLLinePart& line = At(s, 1).line;
             EXPECT_EQ((std::array<int, 4>{line.x1, line.y1, line.x2, line.y2}),
                       (std::array<int, 4>{h - 60 - 4, 50, h - 60 - 4, 250}));
             EXPECT_EQ(Corners(At(s, 2).picture), (std::array<int, 4>{h - 220, 10, h - 20, 110}));
             EXPECT_EQ(At(s, 2).picture.frameNumber, 1);
         }},
        {"an ownerless macro string is left out", 0,
         [](Page& p) {
             p.Macro(nullptr);
             CInsertImageFrameItem* frame = p.Frame(4, {100, 100, 300, 300});
             frame->SetInfoFontKey("Gothic");
             frame->SetInfoFontSize(1);
             frame->SetInfoTextColor(RGB(9, 8, 7));
             p.Macro(frame);
         },
         true,
         [](CUDLScript& s, Page&) {
             ASSERT_EQ(s.GetDrawRecordCount(), 2);
             const UDLTextPart& text = At(s, 0).text;
             EXPECT_EQ(At(s, 0).type, UDLDrawText);
             EXPECT_EQ(text.frameNumber, 4);
             EXPECT_EQ(text.imageFileName, "");
             EXPECT_EQ(text.name, "Gothic");
             EXPECT_EQ(text.flag, 1);
             EXPECT_EQ((std::array<int, 3>{text.red, text.green, text.blue}), (std::array<int, 3>{9, 8, 7}));
             EXPECT_EQ(At(s, 1).picture.frameNumber, 4);
         }},
        {"a hidden frame renumbers the file, and the items keep their numbers and names", 0,
         [](Page& p) { NamedFrames(p, false); }, true,
         [](CUDLScript& s, Page& p) {
             ASSERT_EQ(s.GetDrawRecordCount(), 2);
             EXPECT_EQ(At(s, 0).picture.frameNumber, 2);
             EXPECT_EQ(At(s, 1).picture.frameNumber, 1);
             EXPECT_EQ(FrameNames(p.layout), kNamedFrames);
         }},
        {"after a failed write too", 0, [](Page& p) { NamedFrames(p, true); }, false,
         [](CUDLScript&, Page& p) { EXPECT_EQ(FrameNames(p.layout), kNamedFrames); }},
    };
    for (const UsdCase& c : cases)
        RunUsd(c);
}

QSize JpegSize(const std::string& path)
{
    QImage image(QString::fromStdString(path));
    return image.size();
}

// Quality 100 quantises every coefficient by 1: every entry of every table is 1.
bool QuantisesAtQuality100(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const auto at = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    int tables = 0;
    for (qsizetype i = 2; i + 4 <= bytes.size() && at(i) == 0xFF && at(i + 1) != 0xDA;) {
        const qsizetype length = (at(i + 2) << 8) | at(i + 3);
        if (at(i + 1) == 0xDB) {
            for (qsizetype t = i + 4; t < i + 2 + length && t < bytes.size();) {
                const int entryBytes = (at(t) >> 4) ? 2 : 1;
                for (int k = 0; k < 64; ++k) {
                    const qsizetype e = t + 1 + k * entryBytes;
                    if (e + entryBytes > bytes.size())
                        return false;
                    const unsigned v = entryBytes == 2 ? (at(e) << 8) | at(e + 1) : at(e);
                    if (v != 1)
                        return false;
                }
                t += 1 + 64 * entryBytes;
                ++tables;
            }
        }
        i += 2 + length;
    }
    return tables > 0;
}

TEST(ExportUsdFrameImagesTest, HandOverPhotosAreCutOrScaledToTheirRange)
{
    struct Case
    {
        RECT range;
        QSize size;
        int quality100; // 1: written anew at quality 100, 0: the photo's own file, -1: not checked
    };
    const Case cases[] = {{{0, 0, 100, 300}, {160, 480}, 1},
                          {{10, 20, 210, 220}, {200, 200}, -1},
                          {{0, 0, 0, 0}, {400, 300}, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size.width());
        DocumentFixture doc;
        CZAVEditorDoc& d = *doc.document;
        Page page{*d.GetLayoutManager(), doc.Work()};
        CInsertImageFrameItem* frame = page.Frame(1, {100, 100, 300, 300});
        ASSERT_EQ(frame->LoadImage(page.Photo("photo.jpg", "JPG")), 0);
        frame->SetImageRange(c.range);
        std::vector<std::string> images;
        ASSERT_EQ(d.ExportUsdFrameImages(doc.Work() + "/Spring", &images, 1), 1);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(JpegSize(images[0]), c.size);
        if (c.quality100 >= 0) {
            EXPECT_EQ(QuantisesAtQuality100(images[0]), c.quality100 == 1);
        }
        // Without the hand-over a photo stays where the printing side finds it.
        std::vector<std::string> saved;
        ASSERT_EQ(d.ExportUsdFrameImages(doc.Work() + "/Spring", &saved, 0), 1);
        EXPECT_TRUE(saved.empty());
    }
}

TEST(BuildUsdRecordsTest, HandOverNamesThePhotosAndLeavesTheItemsAlone)
{
    DocumentFixture doc;
    CZAVEditorDoc& d = *doc.document;
    Page page{*d.GetLayoutManager(), doc.Work()};
    CInsertImageFrameItem* empty = page.Frame(2, {300, 300, 400, 400});
    CInsertImageFrameItem* frame = page.Frame(1, {100, 100, 300, 300});
    // Texts lie above their frame in the list.
    auto text = std::make_unique<CMacroStringItem>();
    text->SetOwnerFrame(frame);
    text->SetRect(RECT{100, 400, 300, 440});
    ASSERT_TRUE(page.layout.AddItem(0, std::move(text)));
    // A caption whose frame is gone is left out of the hand-over as of a save.
    page.Macro(nullptr);
    ASSERT_EQ(frame->LoadImage(page.Photo("photo.jpg", "JPG")), 0);
    const std::string photoName = frame->GetImageFileName();
    (void)empty;
    const std::string layoutPath = doc.Work() + "/zavtemp.usd";
    ASSERT_TRUE(CreateFolderPath(doc.Work() + "/zavtemp"));
    std::vector<std::string> images;
    ASSERT_EQ(d.ExportUsdFrameImages(doc.Work() + "/zavtemp", &images, 1), 1);
    CUDLScript script;
    ASSERT_EQ(d.BuildUsdRecords(script, layoutPath, &images, 1), 1);
    // The frame without a photo prints nothing.
    ASSERT_EQ(script.GetDrawRecordCount(), 2);
    EXPECT_EQ(At(script, 0).picture.fileName, "./zavtemp/Image000.jpg");
    EXPECT_EQ(At(script, 0).picture.frameNumber, 0);
    EXPECT_EQ(At(script, 1).type, UDLDrawText);
    EXPECT_EQ(At(script, 1).text.imageFileName, "./zavtemp/Image000.jpg");
    EXPECT_EQ(At(script, 1).text.frameNumber, 0);
    EXPECT_TRUE(IsFile(doc.Work() + "/zavtemp/Image000.jpg"));
    EXPECT_EQ(frame->GetImageFileName(), photoName);
}

TEST(BuildDscUsdRecordsTest, ACameraLayoutIsThePhotoAndOneFrameImageOverThePrintableArea)
{
    for (const int direction : {0, 1}) {
        SCOPED_TRACE(direction);
        DocumentFixture doc;
        CZAVEditorDoc& d = *doc.document;
        ASSERT_TRUE(d.NewDSCLayout(direction));
        d.SetCameraSetPrefix("ABCDEF");
        CLayoutManager& layout = *d.GetLayoutManager();
        auto back = std::make_unique<CBackgroundImageFrameItem>();
        back->SetRect(RECT{10, 10, 200, 200});
        ASSERT_TRUE(layout.AddItem(0, std::move(back)));
        Page page{layout, doc.Work()};
        auto text = std::make_unique<CStringItem>();
        text->SetText("Hi");
        text->SetRect(RECT{10, 300, 200, 400});
        ASSERT_TRUE(layout.AddItem(0, std::move(text)));
        // A caption, with its frame or not, is no member's record.
        auto caption = std::make_unique<CMacroStringItem>();
        caption->SetRect(RECT{10, 450, 200, 480});
        ASSERT_TRUE(layout.AddItem(0, std::move(caption)));
        ASSERT_NE(dynamic_cast<CInsertImageFrameItem*>(layout.GetItemAt(3)), nullptr);

        const std::string layoutPath = doc.Work() + "/Spring.usd";
        ASSERT_TRUE(CreateFolderPath(doc.Work() + "/Spring"));
        std::vector<std::string> images;
        ASSERT_EQ(d.ExportUsdFrameImages(doc.Work() + "/Spring", &images, 0), 1);
        EXPECT_TRUE(images.empty());
        CUDLScript script;
        ASSERT_EQ(d.BuildDscUsdRecords(script, layoutPath, &images, 0), 1);
        EXPECT_EQ(script.GetPaperSize(), 17);
        EXPECT_EQ(script.GetMarginMode(), 2);
        const SIZE paper = GetPaperSizeFromTable(17, direction, 500);
        const PageMargins margins = GetModeMargins(2, direction);
        const RECT p = CalcPrintableRect(paper.cx, paper.cy, direction, margins);
        const int h = paper.cy - margins.top - margins.bottom;
        const std::array<int, 4> area = direction == 1
                                            ? std::array<int, 4>{h - p.bottom, p.left, h - p.top, p.right}
                                            : std::array<int, 4>{p.left, p.top, p.right, p.bottom};
        ASSERT_EQ(script.GetDrawRecordCount(), 2);
        EXPECT_EQ(At(script, 0).picture.frameNumber, 1);
        EXPECT_EQ(At(script, 0).picture.fileName, "");
        EXPECT_EQ(Corners(At(script, 0).picture), area);
        EXPECT_EQ(At(script, 1).picture.frameNumber, 0);
        EXPECT_EQ(At(script, 1).picture.fileName, "./Spring/ABCDEF.eff");
        EXPECT_EQ(At(script, 1).picture.rotation, direction);
        EXPECT_EQ(At(script, 1).picture.imageMode, 4);
        EXPECT_EQ(Corners(At(script, 1).picture), area);
    }
}

TEST(BuildDscUsdRecordsTest, TheHandOverNeedsACameraPaperMode)
{
    struct Case
    {
        int mode;
        int result;
        int paper;
        int margin;
    };
    const Case cases[] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {2, 1, 17, 2}, {5, 1, 0, 0}, {9, 1, 18, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        DocumentFixture doc;
        CZAVEditorDoc& d = *doc.document;
        ASSERT_TRUE(d.NewDSCLayout(0));
        d.SetEditMode(c.mode);
        ASSERT_EQ(d.GetEditMode(), c.mode);
        std::vector<std::string> images;
        CUDLScript script;
        ASSERT_EQ(d.BuildDscUsdRecords(script, doc.Work() + "/zavtemp.usd", &images, 1), c.result);
        if (c.result) {
            EXPECT_EQ(script.GetPaperSize(), c.paper);
            EXPECT_EQ(script.GetMarginMode(), c.margin);
            // The frame without a photo prints nothing.
            EXPECT_EQ(script.GetDrawRecordCount(), 0);
        }
    }
}

TEST(BuildDscUsdRecordsTest, TheHandOverRendersTheFrameImageAndNamesThePhoto)
{
    DocumentFixture doc;
    CZAVEditorDoc& d = *doc.document;
    ASSERT_TRUE(d.NewDSCLayout(0));
    d.SetEditMode(4);
    CLayoutManager& layout = *d.GetLayoutManager();
    Page page{layout, doc.Work()};
    auto* frame = dynamic_cast<CInsertImageFrameItem*>(layout.GetItemAt(0));
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->LoadImage(page.Photo("photo.jpg", "JPG")), 0);
    const std::string photoName = frame->GetImageFileName();
    auto text = std::make_unique<CStringItem>();
    text->SetText("Hi");
    text->SetRect(RECT{10, 300, 200, 400});
    ASSERT_TRUE(layout.AddItem(0, std::move(text)));

    const std::string layoutPath = doc.Work() + "/zavtemp.usd";
    const std::string staging = doc.Work() + "/stage";
    ASSERT_TRUE(CreateFolderPath(staging));
    std::vector<std::string> images;
    ASSERT_EQ(d.ExportUsdFrameImages(doc.Work() + "/zavtemp", &images, 1), 1);
    ASSERT_EQ(images.size(), 1u);
    CUDLScript script;
    std::vector<FrameImageRename> renames;
    ASSERT_EQ(d.BuildDscUsdRecords(script, layoutPath, &images, 1, staging, &renames), 1);
    EXPECT_EQ(script.GetPaperSize(), 0);
    EXPECT_EQ(script.GetMarginMode(), 2);
    ASSERT_EQ(script.GetDrawRecordCount(), 2);
    EXPECT_EQ(At(script, 0).picture.fileName, "./zavtemp/Image001.jpg");
    EXPECT_EQ(At(script, 0).picture.frameNumber, 0);
    EXPECT_EQ(At(script, 1).picture.fileName, "./zavtemp/Image001.eff");
    EXPECT_TRUE(IsFile(staging + "/Image001.jpg"));
    EXPECT_TRUE(IsFile(staging + "/Image001.eff"));
    EXPECT_FALSE(IsFile(images[0]));
    EXPECT_TRUE(renames.empty());
    EXPECT_EQ(frame->GetImageFileName(), photoName);
}

} // namespace
