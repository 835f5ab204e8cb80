// The user's whole road: a postcard with a photo frame holding a picture and
// all three captions, a background whose transparency was painted, a text
// with a shadow and a line, saved, opened in a fresh program and saved again
// under another name - the same page, the same document text and the same
// companion files.
#include "App/PackageKit.h"
#include "App/ZAVEditorDoc.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Dialogs/FolderTreeCtrl.h"
#include "Dialogs/HeaderInfoDialog.h"
#include "Dialogs/ImageListCtrl.h"
#include "Dialogs/PictureTransparencyDialog.h"
#include "Dialogs/SelectImageDialog.h"
#include "Dialogs/SetImageInfoDialog.h"
#include "Dialogs/SetShadowDialog.h"
#include "Dialogs/ShiftJisEdit.h"
#include "Dialogs/StringItemFontDialog.h"
#include "Dialogs/TransparencyDrawingView.h"
#include "EndToEnd/support/Commands.h"
#include "EndToEnd/support/Controls.h"
#include "EndToEnd/support/Pictures.h"
#include "EndToEnd/support/SavedFiles.h"
#include "EndToEnd/support/Scenario.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <map>
#include <sstream>

namespace {

constexpr int kEllipseTool = 1001;

std::string RectText(const CLayoutItem& item)
{
    RECT r;
    item.GetRect(&r, false);
    std::ostringstream out;
    out << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
    return out.str();
}

// The painted shape on an 8 x 8 grid, each cell mostly opaque (#) or not (.):
// the stored mask is coded with loss, so single bytes may differ.
std::string MaskDigest(const CImageFrameItem& frame)
{
    // The picture is read, not changed.
    const CImage* picture = const_cast<CImageFrameItem&>(frame).GetImageBuffer1();
    if (!picture || !picture->HasMask())
        return "no mask";
    PageBuffer plane(picture->GetMaskPlane());
    const int width = picture->GetWidth();
    const int height = picture->GetHeight();
    std::string grid = "mask ";
    for (int cy = 0; cy < 8; ++cy)
        for (int cx = 0; cx < 8; ++cx) {
            long long sum = 0, count = 0;
            for (int y = cy * height / 8; y < (cy + 1) * height / 8; ++y)
                for (int x = cx * width / 8; x < (cx + 1) * width / 8; ++x, ++count)
                    sum += plane.get()[static_cast<std::size_t>(y) * width + x];
            grid += count && sum / count >= 128 ? '#' : '.';
        }
    return grid;
}

// What the page holds, item by item, in the properties the user set.
std::vector<std::string> DescribePage(CZAVEditorDoc& document)
{
    CLayoutManager& layout = *document.GetLayoutManager();
    std::vector<std::string> page;
    page.push_back("header " + document.GetTitle() + "/" + document.GetAuthor() + "/" +
                   document.GetComment());
    std::map<const CLayoutItem*, int> index;
    for (const auto& item : layout.GetItems())
        index[item.get()] = static_cast<int>(index.size());
    for (const auto& owned : layout.GetItems()) {
        const CLayoutItem& item = *owned;
        std::ostringstream out;
        out << RectText(item) << " ";
        if (const auto* frame = dynamic_cast<const CInsertImageFrameItem*>(&item)) {
            out << "photo frame: picture " << !frame->GetImageFileName().empty() << ", info "
                << frame->GetInfoOption() << frame->ShowsExposureTime() << frame->ShowsFNumber()
                << frame->ShowsISO() << frame->ShowsCameraName() << frame->ShowsFlash()
                << frame->ShowsFullPath() << ", font " << frame->GetInfoFontKey() << "/"
                << frame->GetInfoFontName() << "/" << frame->GetInfoFontSize() << "/"
                << frame->GetInfoTextColor() << ", captions";
            for (const CMacroStringItem* caption :
                 {frame->GetLinkedText1(), frame->GetLinkedText2(), frame->GetLinkedText3()})
                out << " " << (caption ? index[caption] : -1);
        } else if (const auto* background = dynamic_cast<const CBackgroundImageFrameItem*>(&item)) {
            out << "background: picture " << !background->GetImageFileName().empty() << ", "
                << MaskDigest(*background);
        } else if (const auto* caption = dynamic_cast<const CMacroStringItem*>(&item)) {
            out << "caption " << caption->GetMacroKind() << " of "
                << (caption->GetOwnerFrame() ? index[caption->GetOwnerFrame()] : -1);
        } else if (const auto* text = dynamic_cast<const CStringItem*>(&item)) {
            const POINT shadow = text->GetShadowOffset();
            LOGFONT font{};
            text->GetLogFont(&font);
            out << "text \"" << text->GetText() << "\" colour " << text->GetTextColor() << ", shadow "
                << text->HasShadow() << " " << shadow.x << "," << shadow.y << " " << text->GetShadowColor()
                << ", font " << font.lfFaceName << " " << font.lfHeight;
        } else if (const auto* line = dynamic_cast<const CLineItem*>(&item)) {
            out << "line colour " << line->GetColor() << " width " << line->GetWidth(false, 1.0f);
        } else {
            out << "other";
        }
        page.push_back(out.str());
    }
    return page;
}

ModalHandler ChoosePicture(const std::string& folder)
{
    return [folder](QWidget& modal) {
        auto* dialog = qobject_cast<CSelectImageDialog*>(&modal);
        ASSERT_NE(dialog, nullptr) << "expected the picture choice";
        ASSERT_TRUE(dialog->FolderTree()->SelectFolder(folder));
        ASSERT_EQ(dialog->ImageList()->count(), 1);
        dialog->ImageList()->item(0)->setSelected(true);
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    };
}

QPoint OnPicture(const CTransparencyDrawingView& view, int x, int y)
{
    const POINT p = view.PictureToClient(POINT{x, y}, true, true);
    return QPoint(p.x, p.y);
}

class ScenarioRoundTripTest : public ProgramTest
{
protected:
    // Memory-card drives switched on, so a camera layout set can be registered on the test's card.
    ScenarioRoundTripTest() : ProgramTest({"EnableMemoryCardDrive=1"}) {}

    void MakeScenario()
    {
        const std::string photos = MakeDetailedPicture(ScratchFolder(), "photo", 300, 200, 11);
        const std::string backs = MakeDetailedPicture(ScratchFolder(), "back", 320, 240, 7);
        NewPostcardLayout(*this);

        // The photo frame, its picture and all three captions.
        Choose(commands::kInsertFrameTool);
        Drag(OnPage(0.15, 0.1), OnPage(0.8, 0.45));
        ASSERT_EQ(ItemsOf<CInsertImageFrameItem>(Layout()).size(), 1u);
        ChooseWithModals(commands::kApplyImage, {ChoosePicture(photos)});
        ChooseWithModals(commands::kImageInfo,
                         {SwitchOnCaptions({1120, 1121, 1122, 1123, 1124, 1125, 1126})});
        ASSERT_EQ(ItemsOf<CMacroStringItem>(Layout()).size(), 3u);

        // The background and its painted transparency.
        Choose(commands::kBackgroundTool);
        RunWithModals([&] { Drag(OnPage(0.05, 0.5), OnPage(0.95, 0.95)); }, {ChoosePicture(backs)});
        ASSERT_EQ(ItemsOf<CBackgroundImageFrameItem>(Layout()).size(), 1u);
        ChooseWithModals(commands::kTransparency, {[](QWidget& modal) {
                             auto* dialog = qobject_cast<CPictureTransparencyDialog*>(&modal);
                             ASSERT_NE(dialog, nullptr) << "expected the transparency dialog";
                             CTransparencyDrawingView* view = dialog->View();
                             view->SetZoom(100, 0, 0);
                             dialog->Slider(CPictureTransparencyDialog::kBlurSliderId)->setValue(0);
                             dialog->Button(kEllipseTool)->click();
                             const QPoint from = OnPicture(*view, 50, 40);
                             const QPoint middle = OnPicture(*view, 150, 100);
                             const QPoint to = OnPicture(*view, 250, 160);
                             // The press runs its own loop until the release.
                             QTimer::singleShot(0, view, [view, middle, to] {
                                 QTest::mouseMove(view, middle);
                                 QTest::mouseMove(view, to);
                                 QTest::mouseRelease(view, Qt::LeftButton, Qt::KeyboardModifiers(), to);
                             });
                             QTest::mousePress(view, Qt::LeftButton, Qt::KeyboardModifiers(), from);
                             dialog->OkButton()->click();
                         }});
        ASSERT_NE(MaskDigest(*ItemsOf<CBackgroundImageFrameItem>(Layout()).front()), "no mask");

        // A text with a shadow, and a line.
        Choose(commands::kTextTool);
        RunWithModals([&] { Drag(OnPage(0.2, 0.55), OnPage(0.8, 0.65)); },
                      {[](QWidget& modal) {
                           auto* dialog = qobject_cast<CStringItemFontDialog*>(&modal);
                           ASSERT_NE(dialog, nullptr) << "expected the text dialog";
                           QTest::keyClicks(ControlOf<QLineEdit>(modal, 1471), QStringLiteral("Summer 2026"));
                           dialog->ShadowCheck()->setChecked(true);
                           // The shadow's offset and colour come from the shadow dialog.
                           QTest::mouseClick(dialog->ShadowButton(), Qt::LeftButton);
                           QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
                       },
                       [](QWidget& modal) {
                           auto* dialog = qobject_cast<CSetShadowDialog*>(&modal);
                           ASSERT_NE(dialog, nullptr) << "expected the shadow dialog";
                           dialog->SetShadow(6, 4, RGB(90, 90, 200));
                           QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
                       }});
        const auto texts = ItemsOf<CStringItem>(Layout());
        ASSERT_EQ(texts.size(), 1u);
        DrawLine(*this, 0.1, 0.9, 0.9, 0.9);
        ASSERT_EQ(ItemsOf<CLineItem>(Layout()).size(), 1u);

        // File > Layout information: the header texts.
        SetLayoutInformation(*this, QStringLiteral("Summer"), QStringLiteral("Kim"),
                             QStringLiteral("by the sea"));
        ASSERT_EQ(Document().GetTitle(), "Summer");
    }
};

// The document's text with the companion folder's name and the capacity
// taken out, which differ between two saves under two names.
QByteArray ComparableDocument(const std::string& path)
{
    QByteArray text = FileBytes(path);
    const QByteArray name = QByteArray::fromStdString(GetFileNameFromPath(path, false));
    text.replace(name, "NAME");
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray& line : lines)
        if (line.startsWith("HdCapacity="))
            line = "HdCapacity=";
    return lines.join('\n');
}

// Line by line, so that a failure names the lines that differ.
void ExpectSameLines(const QByteArray& saved, const QByteArray& first)
{
    const QList<QByteArray> a = saved.split('\n');
    const QList<QByteArray> b = first.split('\n');
    EXPECT_EQ(a.size(), b.size());
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        EXPECT_EQ(a[i].toStdString(), b[i].toStdString()) << "line " << i + 1;
}

constexpr const char* kThumbnail = "THUMB.USF";

// Every companion file of `saved` is the one of `first`, byte for byte.
void ExpectSameCompanion(const std::string& saved, const std::string& first)
{
    const auto firstFiles = CompanionFiles(first);
    const auto savedFiles = CompanionFiles(saved);
    ASSERT_FALSE(firstFiles.empty());
    EXPECT_EQ(savedFiles.size(), firstFiles.size());
    for (const auto& [name, bytes] : firstFiles) {
        const auto found = savedFiles.find(name);
        ASSERT_NE(found, savedFiles.end()) << name.toStdString();
        EXPECT_TRUE(found->second == bytes) << name.toStdString() << " differs from " << first;
    }
}

TEST_F(ScenarioRoundTripTest, TheEditorDocumentOpensInAFreshProgramAsSavedAndSavesAgainTheSame)
{
    StartProgram();
    MakeScenario();
    if (HasFatalFailure())
        return;
    const std::vector<std::string> made = DescribePage(Document());
    const std::string first = SaveLayout(*this, SaveTarget::EditorDocument, "scenario");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(DescribePage(Document()), made);

    ForgetMessages();
    StartProgram(first);
    EXPECT_TRUE(Messages().empty()) << Messages().front().text.toStdString();
    EXPECT_EQ(DescribePage(Document()), made);
    EXPECT_FALSE(Document().IsModified());

    const std::string second = SaveLayout(*this, SaveTarget::EditorDocument, "scenario-again");
    ASSERT_FALSE(second.empty());
    ExpectSameLines(ComparableDocument(second), ComparableDocument(first));
    ExpectSameCompanion(second, first);

    // From then on every file stays as it is, the thumbnail too.
    StartProgram(second);
    EXPECT_EQ(DescribePage(Document()), made);
    const std::string third = SaveLayout(*this, SaveTarget::EditorDocument, "scenario-third");
    ASSERT_FALSE(third.empty());
    ExpectSameLines(ComparableDocument(third), ComparableDocument(second));
    ExpectSameCompanion(third, second);
}

TEST_F(ScenarioRoundTripTest, TheFirstSavesThumbnailIsTheOneTheReopenedLayoutSaves)
{
    StartProgram();
    MakeScenario();
    if (HasFatalFailure())
        return;
    const std::string first = SaveLayout(*this, SaveTarget::EditorDocument, "thumb");
    ASSERT_FALSE(first.empty());
    StartProgram(first);
    const std::string second = SaveLayout(*this, SaveTarget::EditorDocument, "thumb-again");
    ASSERT_FALSE(second.empty());
    const QString thumbnail = QString::fromLatin1(kThumbnail);
    EXPECT_TRUE(CompanionFiles(second).at(thumbnail) == CompanionFiles(first).at(thumbnail));
}

// The same round trip through the layout kinds the photo-printing
// application and cameras read: saved, opened in a fresh program, saved again
// twice under other names in the same kind.
struct KindCase
{
    SaveTarget target;
    const char* name;
};

class LayoutKindRoundTripTest : public ScenarioRoundTripTest, public ::testing::WithParamInterface<KindCase>
{
};

// A layout script holds no text and no sample photo: a text is written as
// the picture of its rendering, and a photo frame as the place of a photo to
// come; everything else comes back as made.
std::vector<std::string> AsLayoutScriptCarriesIt(std::vector<std::string> page, const std::string& textRect)
{
    for (std::string& entry : page) {
        if (entry.rfind(textRect + " ", 0) == 0)
            entry = textRect + " the text or its picture";
        const std::string withPicture = "photo frame: picture 1";
        if (const auto at = entry.find(withPicture); at != std::string::npos)
            entry.replace(at, withPicture.size(), "photo frame: picture 0");
    }
    return page;
}

// The layout script a saved file holds: the file itself, or for a packaged
// frame file the script unpacked into `folder` with its companion folder.
std::string SavedLayoutScript(SaveTarget target, const std::string& saved, const QTemporaryDir& folder)
{
    if (target != SaveTarget::PackagedFrame)
        return saved;
    int warning = 0;
    EXPECT_EQ(MakeFramePackageKit()->Unpackage(saved, folder.path().toStdString(), warning), 0) << saved;
    return CombinePath(folder.path().toStdString(), GetFileNameFromPath(saved, false) + ".usd");
}

TEST_P(LayoutKindRoundTripTest, OpensInAFreshProgramAsSavedAndSavesAgainTheSame)
{
    const KindCase kind = GetParam();
    StartProgram();
    MakeScenario();
    if (HasFatalFailure())
        return;
    const std::vector<std::string> made = DescribePage(Document());
    const std::string first = SaveLayout(*this, kind.target, kind.name);
    ASSERT_FALSE(first.empty());

    std::string textRect;
    for (const std::string& entry : made)
        if (entry.find(" text \"") != std::string::npos)
            textRect = entry.substr(0, entry.find(' '));
    ASSERT_FALSE(textRect.empty());

    ForgetMessages();
    StartProgram(first);
    EXPECT_TRUE(Messages().empty()) << Messages().front().text.toStdString();
    EXPECT_EQ(AsLayoutScriptCarriesIt(DescribePage(Document()), textRect),
              AsLayoutScriptCarriesIt(made, textRect));

    const std::string second = SaveLayout(*this, kind.target, std::string(kind.name) + "b");
    ASSERT_FALSE(second.empty());
    const QTemporaryDir firstFolder;
    const QTemporaryDir secondFolder;
    ASSERT_TRUE(firstFolder.isValid() && secondFolder.isValid());
    const std::string firstScript = SavedLayoutScript(kind.target, first, firstFolder);
    const std::string secondScript = SavedLayoutScript(kind.target, second, secondFolder);
    ASSERT_TRUE(IsFile(firstScript) && IsFile(secondScript));
    ExpectSameLines(ComparableDocument(secondScript), ComparableDocument(firstScript));
    ExpectSameCompanion(secondScript, firstScript);

    // Saved once more in the same session: the files the layout was opened
    // from may be gone by now (a package's unpacked folder is the last save's).
    const std::string third = SaveLayout(*this, kind.target, std::string(kind.name) + "c");
    ASSERT_FALSE(third.empty());
    const QTemporaryDir thirdFolder;
    ASSERT_TRUE(thirdFolder.isValid());
    const std::string thirdScript = SavedLayoutScript(kind.target, third, thirdFolder);
    ASSERT_TRUE(IsFile(thirdScript));
    ExpectSameLines(ComparableDocument(thirdScript), ComparableDocument(firstScript));
    ExpectSameCompanion(thirdScript, firstScript);
}

INSTANTIATE_TEST_SUITE_P(Kinds, LayoutKindRoundTripTest,
                         ::testing::Values(KindCase{SaveTarget::SharedLayoutFolder, "shared"},
                                           KindCase{SaveTarget::PackagedFrame, "pack"}));

} // namespace
