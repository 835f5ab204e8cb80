#include "App/support/BuildFakes.h"
#include "App/support/DocumentFakes.h"

#include "App/FontCatalogue.h"
#include "Core/Files.h"
#include "ImageProcessing/BMPFile.h"
#include "ImageProcessing/EFFFile.h"
#include "ImageProcessing/ImageFile.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LayoutServices.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"
#include "Layout/support/DialogFakes.h"
#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdlib>
#include <memory>
#include <set>
#include <typeinfo>

namespace {

class BodyFont : public IFontCatalogue
{
public:
    BodyFont() { SetFontCatalogue(this); }
    ~BodyFont() override { SetFontCatalogue(nullptr); }
    bool HasOutlineFamily(std::string_view face) override { return face == "Body"; }
    bool HasFamily(std::string_view face) override { return face == "Body"; }
    std::string DefaultInterfaceFace() override { return "Body"; }
    std::vector<std::string> SortedOutlineNames() override { return {"Body"}; }
};

std::string Picture(const std::string& folder, const std::string& name, const char* format)
{
    QImage image(400, 300, QImage::Format_RGB888);
    image.fill(Qt::green);
    const std::string path = folder + "/" + name;
    EXPECT_TRUE(image.save(QString::fromStdString(path), format));
    return path;
}

// A picture with fine detail, which every new encoding changes a little.
std::string DetailedPicture(const std::string& folder, const std::string& name)
{
    QImage image(320, 240, QImage::Format_RGB888);
    std::uint32_t seed = 12345;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y,
                           qRgb((x * 3 + static_cast<int>(seed >> 24)) & 0xFF, (y * 5) & 0xFF,
                                static_cast<int>((seed >> 16) & 0xFF)));
        }
    const std::string path = folder + "/" + name;
    EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
    return path;
}

template <class T> T* Put(CLayoutManager& layout, std::unique_ptr<T> item, RECT rect, bool visible = true)
{
    T* raw = item.get();
    item->SetRect(rect);
    item->SetVisible(visible);
    EXPECT_TRUE(layout.AddItem(layout.GetItemCount(-1, -1, nullptr), std::move(item)));
    return raw;
}

// A photo layout: a text, lines (one hidden, for the editor document only),
// a file-name text over its framed photo and a background picture.
void MakePhotoPage(CLayoutManager& layout, const std::string& work, bool withHidden, bool withText)
{
    auto frame = std::make_unique<CInsertImageFrameItem>();
    CInsertImageFrameItem* owner = frame.get();
    auto macro = std::make_unique<CMacroStringItem>();
    macro->SetOwnerFrame(owner);
    macro->SetMacroKind(CMacroStringItem::KindFileName);
    owner->SetLinkedText3(macro.get());
    owner->SetShowFullPath(true);
    owner->ApplyInfoFontKey("Gothic");
    owner->SetInfoFontSize(1);
    owner->SetInfoTextColor(RGB(10, 20, 30));
    if (withText) {
        auto text = std::make_unique<CStringItem>();
        text->SetText("Hello");
        LOGFONT font;
        font.lfHeight = -24;
        font.lfWeight = 700;
        font.lfFaceName = "Body";
        text->SetLogFont(&font);
        text->SetTextColor(RGB(200, 10, 10));
        Put(layout, std::move(text), RECT{100, 500, 400, 560});
    }
    auto line = std::make_unique<CLineItem>();
    line->SetWidth(3);
    line->SetColor(RGB(1, 2, 3));
    Put(layout, std::move(line), RECT{50, 600, 450, 600});
    if (withHidden) {
        auto hidden = std::make_unique<CLineItem>();
        hidden->SetWidth(2);
        Put(layout, std::move(hidden), RECT{60, 100, 60, 300}, false);
    }
    // A frame's texts lie right above it in the list.
    Put(layout, std::move(macro), RECT{100, 420, 300, 450});
    owner->SetFrameNumber(1);
    EXPECT_EQ(owner->LoadImage(Picture(work, "photo.jpg", "JPG")), 0);
    Put(layout, std::move(frame), RECT{100, 100, 400, 400});
    auto back = std::make_unique<CBackgroundImageFrameItem>();
    EXPECT_EQ(back->LoadImage(Picture(work, "back.bmp", "BMP")), 0);
    Put(layout, std::move(back), RECT{10, 10, 500, 700});
}

RECT RectOf(const CLayoutItem& item)
{
    RECT r{};
    item.GetRect(&r, false);
    return r;
}

void ExpectSameItems(CLayoutManager& before, CLayoutManager& after)
{
    ASSERT_EQ(after.GetItemCount(-1, -1, nullptr), before.GetItemCount(-1, -1, nullptr));
    for (int i = 0; i < before.GetItemCount(-1, -1, nullptr); ++i) {
        SCOPED_TRACE(i);
        CLayoutItem& a = *before.GetItemAt(i);
        CLayoutItem& b = *after.GetItemAt(i);
        ASSERT_EQ(typeid(a), typeid(b));
        const RECT ra = RectOf(a);
        const RECT rb = RectOf(b);
        EXPECT_EQ((std::array<int, 4>{ra.left, ra.top, ra.right, ra.bottom}),
                  (std::array<int, 4>{rb.left, rb.top, rb.right, rb.bottom}));
        EXPECT_EQ(a.IsVisible(), b.IsVisible());
        if (auto* fa = dynamic_cast<CInsertImageFrameItem*>(&a)) {
            auto& fb = dynamic_cast<CInsertImageFrameItem&>(b);
            EXPECT_EQ(fa->GetFrameNumber(), fb.GetFrameNumber());
            EXPECT_EQ(fa->GetImageFileName().empty(), fb.GetImageFileName().empty());
            EXPECT_EQ(fa->GetImageRotation(), fb.GetImageRotation());
            EXPECT_EQ(fa->GetInfoFontKey(), fb.GetInfoFontKey());
            EXPECT_EQ(fa->GetInfoFontSize(), fb.GetInfoFontSize());
            EXPECT_EQ(fa->GetInfoTextColor(), fb.GetInfoTextColor());
            EXPECT_EQ(fa->ShowsFullPath(), fb.ShowsFullPath());
            ASSERT_EQ(fa->GetLinkedText3() != nullptr, fb.GetLinkedText3() != nullptr);
            if (fb.GetLinkedText3()) {
                EXPECT_EQ(fb.GetLinkedText3()->GetOwnerFrame(), &fb);
            }
        } else if (auto* ia = dynamic_cast<CImageFrameItem*>(&a)) {
            EXPECT_FALSE(dynamic_cast<CImageFrameItem&>(b).GetImageFileName().empty());
            EXPECT_EQ(ia->GetImageMode(), dynamic_cast<CImageFrameItem&>(b).GetImageMode());
        } else if (auto* la = dynamic_cast<CLineItem*>(&a)) {
            auto& lb = dynamic_cast<CLineItem&>(b);
            EXPECT_EQ(la->GetWidth(false, 0.0f), lb.GetWidth(false, 0.0f));
            EXPECT_EQ(la->GetColor(), lb.GetColor());
        } else if (auto* ma = dynamic_cast<CMacroStringItem*>(&a)) {
            auto& mb = dynamic_cast<CMacroStringItem&>(b);
            EXPECT_EQ(ma->GetMacroKind(), mb.GetMacroKind());
            EXPECT_EQ(ma->GetDirection(), mb.GetDirection());
            ASSERT_NE(mb.GetOwnerFrame(), nullptr);
        } else if (auto* sa = dynamic_cast<CStringItem*>(&a)) {
            auto& sb = dynamic_cast<CStringItem&>(b);
            EXPECT_EQ(sa->GetText(), sb.GetText());
            EXPECT_EQ(sa->GetTextColor(), sb.GetTextColor());
            LOGFONT fa;
            LOGFONT fb;
            ASSERT_TRUE(sa->GetLogFont(&fa));
            ASSERT_TRUE(sb.GetLogFont(&fb));
            EXPECT_EQ(fa.lfFaceName, fb.lfFaceName);
            EXPECT_EQ(fa.lfHeight, fb.lfHeight);
            EXPECT_EQ(fa.lfWeight, fb.lfWeight);
        }
    }
}

void SaveZvd(CZAVEditorDoc& d, const std::string& path)
{
    ASSERT_TRUE(CreateFolderPath(d.StripExtension(path)));
    std::vector<std::string> images;
    ASSERT_EQ(d.ExportZvdFrameImages(d.StripExtension(path), &images), 1);
    CZAVScript written;
    ASSERT_EQ(d.BuildZvdRecords(written, path, &images), 1);
    ASSERT_EQ(written.Write(path), 1);
}

void OpenZvd(CZAVEditorDoc& d, const std::string& path)
{
    CZAVScript read;
    ASSERT_EQ(read.Read(path), 1);
    ASSERT_EQ(d.BuildFromZvdScript(read), 1);
}

// The one frame image of a companion folder.
std::string OnlyEff(const std::string& folder)
{
    const QStringList found = QDir(QString::fromStdString(folder)).entryList({QStringLiteral("*.eff")});
    EXPECT_EQ(found.size(), 1) << folder;
    return found.isEmpty() ? folder : folder + "/" + found.front().toStdString();
}

QByteArray FileBytes(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll();
}

// Writes the page of `from` as an editor document and builds it again in `to`.
void ZvdTrip(DocumentFixture& from, DocumentFixture& to)
{
    CZAVEditorDoc& d = *from.document;
    const std::string path = from.Work() + "/Trip.zvd";
    ASSERT_TRUE(CreateFolderPath(from.Work() + "/Trip"));
    std::vector<std::string> images;
    ASSERT_EQ(d.ExportZvdFrameImages(d.StripExtension(path), &images), 1);
    CZAVScript written;
    ASSERT_EQ(d.BuildZvdRecords(written, path, &images), 1);
    ASSERT_EQ(written.Write(path), 1);
    CZAVScript read;
    ASSERT_EQ(read.Read(path), 1);
    ASSERT_EQ(to.document->BuildFromZvdScript(read), 1);
}

TEST(RoundTripTest, APhotoLayoutAsAnEditorDocument)
{
    DocumentFixture from;
    DocumentFixture to;
    RecordingView view;
    BodyFont fonts;
    ASSERT_TRUE(from.document->SetLayoutPaper(3, 0, 0, 500, false));
    MakePhotoPage(*from.document->GetLayoutManager(), from.Work(), true, true);
    ZvdTrip(from, to);
    EXPECT_TRUE(view.messages.empty());
    ExpectSameItems(*from.document->GetLayoutManager(), *to.document->GetLayoutManager());
}

TEST(RoundTripTest, APhotoLayoutAsALayoutScript)
{
    DocumentFixture from;
    DocumentFixture to;
    RecordingView view;
    CZAVEditorDoc& d = *from.document;
    ASSERT_TRUE(d.SetLayoutPaper(3, 1, 0, 500, false));
    MakePhotoPage(*d.GetLayoutManager(), from.Work(), false, false);
    const std::string path = from.Work() + "/Trip.usd";
    ASSERT_TRUE(CreateFolderPath(from.Work() + "/Trip"));
    std::vector<std::string> images;
    ASSERT_EQ(d.ExportUsdFrameImages(d.StripExtension(path), &images, 0), 1);
    CUDLScript written;
    ASSERT_EQ(d.BuildUsdRecords(written, path, &images, 0), 1);
    ASSERT_EQ(written.Write(path), 1);
    CUDLScript read;
    ASSERT_EQ(read.Read(path), 1);
    ASSERT_EQ(to.document->BuildFromLayoutScript(read), 0);
    EXPECT_TRUE(view.messages.empty());
    // The layout script holds no photo: the frame comes back empty.
    auto* frame = dynamic_cast<CInsertImageFrameItem*>(d.GetLayoutManager()->GetItemAt(2));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->LoadImage(std::string()) == 0);
    frame->SetImageFileName(std::string());
    ExpectSameItems(*d.GetLayoutManager(), *to.document->GetLayoutManager());
}

TEST(RoundTripTest, ACameraLayoutAsAnEditorDocument)
{
    DocumentFixture from;
    DocumentFixture to;
    RecordingView view;
    BodyFont fonts;
    CZAVEditorDoc& d = *from.document;
    ASSERT_TRUE(d.NewDSCLayout(1));
    CLayoutManager& layout = *d.GetLayoutManager();
    auto text = std::make_unique<CStringItem>();
    text->SetText("Card");
    LOGFONT font;
    font.lfHeight = -30;
    font.lfWeight = 400;
    font.lfFaceName = "Body";
    text->SetLogFont(&font);
    text->SetRect(RECT{100, 100, 400, 160});
    ASSERT_TRUE(layout.AddItem(0, std::move(text)));
    ZvdTrip(from, to);
    EXPECT_TRUE(to.document->IsDSCLayout());
    EXPECT_TRUE(view.messages.empty());
    ExpectSameItems(layout, *to.document->GetLayoutManager());
}

CBackgroundImageFrameItem* OnlyBackground(CZAVEditorDoc& d)
{
    CBackgroundImageFrameItem* found = nullptr;
    for (const auto& item : d.GetLayoutManager()->GetItems())
        if (auto* background = dynamic_cast<CBackgroundImageFrameItem*>(item.get()))
            found = background;
    return found;
}

TEST(RoundTripTest, AnUnchangedBackgroundIsStoredByteForByteOnEverySave)
{
    DocumentFixture first;
    DocumentFixture second;
    DocumentFixture third;
    RecordingView view;
    ASSERT_TRUE(first.document->SetLayoutPaper(3, 0, 0, 500, false));
    auto back = std::make_unique<CBackgroundImageFrameItem>();
    ASSERT_EQ(back->LoadImage(DetailedPicture(first.Work(), "back.bmp")), 0);
    Put(*first.document->GetLayoutManager(), std::move(back), RECT{10, 10, 500, 700});

    const std::string one = first.Work() + "/One.zvd";
    SaveZvd(*first.document, one);
    const QByteArray stored = FileBytes(OnlyEff(first.Work() + "/One"));
    ASSERT_FALSE(stored.isEmpty());
    // Reopened and saved twice, once under another name and once in place.
    OpenZvd(*second.document, one);
    const std::string two = second.Work() + "/Two.zvd";
    SaveZvd(*second.document, two);
    EXPECT_EQ(FileBytes(OnlyEff(second.Work() + "/Two")), stored);
    SaveZvd(*second.document, two);
    EXPECT_EQ(FileBytes(OnlyEff(second.Work() + "/Two")), stored);
    EXPECT_TRUE(view.messages.empty());

    // A changed mask is encoded anew and comes back with the change.
    CBackgroundImageFrameItem* reopened = OnlyBackground(*second.document);
    ASSERT_NE(reopened, nullptr);
    CBMPFile bmp;
    std::uint8_t* raw = nullptr;
    SIZE size{};
    ASSERT_EQ(bmp.ReadRaw32(reopened->GetImageFileName2(), &raw, &size), 0);
    PageBuffer pixels(raw);
    // One row of the mask turned over, as the transparency dialog would.
    for (int x = 0; x < size.cx; ++x)
        pixels.get()[x * 4 + 3] ^= 0xFF;
    const int turned = pixels.get()[3];
    const std::size_t lastRow = static_cast<std::size_t>(size.cx) * 4 * (size.cy - 1) + 3;
    const int kept = pixels.get()[lastRow];
    ASSERT_EQ(bmp.WriteRaw32(reopened->GetImageFileName2(), pixels.get(), size.cx, size.cy), 0);
    const std::string three = third.Work() + "/Three.zvd";
    SaveZvd(*second.document, three);
    const std::string changed = OnlyEff(third.Work() + "/Three");
    EXPECT_NE(FileBytes(changed), stored);
    std::uint8_t* readBack = nullptr;
    SIZE readSize{};
    ASSERT_EQ(CEFFFile().ReadBuffer(changed, &readBack, nullptr, &readSize, nullptr), 0);
    PageBuffer decoded(readBack);
    ASSERT_EQ(readSize.cx, size.cx);
    EXPECT_NEAR(decoded.get()[3], turned, 48);
    EXPECT_NEAR(decoded.get()[lastRow], kept, 48);
    EXPECT_GT(std::abs(turned - kept), 200);
}

// The items ask the document's texts for their fonts, as in the program.
class ShellOver : public ILayoutShell
{
public:
    explicit ShellOver(std::string ini) : m_ini(std::move(ini)) { SetLayoutShell(this); }
    ~ShellOver() override { SetLayoutShell(nullptr); }
    ILayoutDocument* GetActiveEditorDoc() override { return nullptr; }
    std::string GetLocalizeIniPath() override { return m_ini; }

private:
    std::string m_ini;
};

// A photo frame whose three texts were switched on in the image-information
// dialog, with a face of the list and the larger size.
CInsertImageFrameItem* FrameWithCaptions(CZAVEditorDoc& d, dialogtest::FakeDialogs& dialogs,
                                         const std::string& work)
{
    CLayoutManager& layout = *d.GetLayoutManager();
    auto made = std::make_unique<CInsertImageFrameItem>();
    CInsertImageFrameItem* frame = made.get();
    frame->SetFrameNumber(1);
    EXPECT_EQ(frame->LoadImage(Picture(work, "photo.jpg", "JPG")), 0);
    Put(layout, std::move(made), RECT{100, 100, 400, 400});
    dialogs.editInfo = [](ImageInfoValues& v) {
        v.showDateTime = true;
        v.showExposureTime = true;
        v.showISO = true;
        v.showFileName = true;
        v.fontFace = "IPAMincho";
        v.fontSize = 1;
        v.infoValue = static_cast<int>(RGB(200, 30, 40));
    };
    EXPECT_TRUE(layout.EditImageInfo(frame));
    return frame;
}

void ExpectCaptions(CLayoutManager& layout)
{
    ASSERT_EQ(layout.GetItemCount(-1, -1, &IsKindOf<CMacroStringItem>), 3);
    CInsertImageFrameItem* frame = nullptr;
    for (const auto& item : layout.GetItems())
        if (auto* found = dynamic_cast<CInsertImageFrameItem*>(item.get()))
            frame = found;
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetInfoFontKey(), "Mincho");
    EXPECT_EQ(frame->GetInfoFontName(), "IPAMincho");
    EXPECT_EQ(frame->GetInfoFontSize(), 1);
    EXPECT_EQ(frame->GetInfoTextColor(), RGB(200, 30, 40));
    EXPECT_TRUE(frame->ShowsExposureTime());
    EXPECT_TRUE(frame->ShowsISO());
    EXPECT_FALSE(frame->ShowsFNumber());
    CMacroStringItem* texts[] = {frame->GetLinkedText1(), frame->GetLinkedText2(), frame->GetLinkedText3()};
    for (int kind = 0; kind < 3; ++kind) {
        ASSERT_NE(texts[kind], nullptr) << kind;
        EXPECT_EQ(texts[kind]->GetOwnerFrame(), frame);
        EXPECT_EQ(texts[kind]->GetMacroKind(), kind);
    }
}

TEST(RoundTripTest, CaptionsMadeInTheEditorReadBackWholeFromAnEditorDocument)
{
    DocumentFixture from;
    DocumentFixture to;
    ShellOver shell(from.host.localizeIniPath);
    dialogtest::FakeDialogs dialogs;
    RecordingView view;
    ASSERT_TRUE(from.document->SetLayoutPaper(3, 0, 0, 500, false));
    FrameWithCaptions(*from.document, dialogs, from.Work());
    ZvdTrip(from, to);
    EXPECT_TRUE(view.messages.empty());
    ExpectCaptions(*to.document->GetLayoutManager());
}

TEST(RoundTripTest, CaptionsMadeInTheEditorReadBackWholeFromALayoutScript)
{
    DocumentFixture from;
    DocumentFixture to;
    ShellOver shell(from.host.localizeIniPath);
    dialogtest::FakeDialogs dialogs;
    RecordingView view;
    CZAVEditorDoc& d = *from.document;
    ASSERT_TRUE(d.SetLayoutPaper(3, 0, 0, 500, false));
    FrameWithCaptions(d, dialogs, from.Work());
    const std::string path = from.Work() + "/Trip.usd";
    ASSERT_TRUE(CreateFolderPath(from.Work() + "/Trip"));
    std::vector<std::string> images;
    ASSERT_EQ(d.ExportUsdFrameImages(d.StripExtension(path), &images, 0), 1);
    CUDLScript written;
    ASSERT_EQ(d.BuildUsdRecords(written, path, &images, 0), 1);
    ASSERT_EQ(written.Write(path), 1);
    CUDLScript read;
    ASSERT_EQ(read.Read(path), 1);
    ASSERT_EQ(to.document->BuildFromLayoutScript(read), 0);
    EXPECT_TRUE(view.messages.empty());
    ExpectCaptions(*to.document->GetLayoutManager());
}

} // namespace
