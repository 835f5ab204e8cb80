// What a user makes in the editor comes back whole when the layout is saved
// and opened again: the captions of a photo frame with their font, a
// background picture byte for byte, and a text under its own name.
#include "App/ZAVEditorDoc.h"
#include "Dialogs/FolderTreeCtrl.h"
#include "Dialogs/ImageListCtrl.h"
#include "Dialogs/SelectImageDialog.h"
#include "Dialogs/SetImageInfoDialog.h"
#include "Dialogs/StringItemFontDialog.h"
#include "EndToEnd/support/Commands.h"
#include "EndToEnd/support/Controls.h"
#include "EndToEnd/support/SavedFiles.h"
#include "EndToEnd/support/Scenario.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <map>

namespace {

using ReopenedLayoutTest = ProgramTest;

// Every companion file the same name, byte for byte.
void ExpectSameCompanion(const std::map<QString, QByteArray>& saved,
                         const std::map<QString, QByteArray>& first)
{
    EXPECT_EQ(saved.size(), first.size());
    for (const auto& [name, bytes] : first) {
        const auto found = saved.find(name);
        ASSERT_NE(found, saved.end()) << name.toStdString();
        EXPECT_TRUE(found->second == bytes)
            << name.toStdString() << ": " << found->second.size() << " bytes, first saved " << bytes.size();
    }
}

const CInsertImageFrameItem* OnlyFrame(CLayoutManager& layout)
{
    const auto frames = ItemsOf<CInsertImageFrameItem>(layout);
    return frames.size() == 1 ? frames.front() : nullptr;
}

TEST_F(ReopenedLayoutTest, CaptionsSwitchedOnInTheImageInformationDialogComeBackWithTheirFont)
{
    StartProgram();
    NewPostcardLayout(*this);
    Choose(commands::kInsertFrameTool);
    Drag(OnPage(0.15, 0.1), OnPage(0.8, 0.5));
    ASSERT_NE(OnlyFrame(Layout()), nullptr);

    ChooseWithModals(commands::kImageInfo, {SwitchOnCaptions({1120, 1123, 1125, 1122})});
    ASSERT_EQ(ItemsOf<CMacroStringItem>(Layout()).size(), 3u);

    const std::string path = SaveLayout(*this, SaveTarget::EditorDocument, "captions");
    ASSERT_FALSE(path.empty());
    ForgetMessages();
    StartProgram(path);
    EXPECT_TRUE(Messages().empty()) << Messages().front().text.toStdString();
    const CInsertImageFrameItem* frame = OnlyFrame(Layout());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetInfoFontKey(), "Mincho");
    EXPECT_EQ(frame->GetInfoFontName(), "IPAMincho");
    EXPECT_EQ(frame->GetInfoFontSize(), 1);
    EXPECT_TRUE(frame->ShowsExposureTime());
    EXPECT_TRUE(frame->ShowsISO());
    EXPECT_FALSE(frame->ShowsFNumber());
    EXPECT_FALSE(frame->ShowsFullPath());
    const CMacroStringItem* texts[] = {frame->GetLinkedText1(), frame->GetLinkedText2(),
                                       frame->GetLinkedText3()};
    for (int kind = 0; kind < 3; ++kind) {
        ASSERT_NE(texts[kind], nullptr) << kind;
        EXPECT_EQ(texts[kind]->GetOwnerFrame(), frame);
        EXPECT_EQ(texts[kind]->GetMacroKind(), kind);
    }
    EXPECT_EQ(ItemsOf<CMacroStringItem>(Layout()).size(), 3u);
}

TEST_F(ReopenedLayoutTest, ABackgroundPictureIsSavedByteForByteAfterEveryReopening)
{
    // A picture with fine detail, which every new encoding would change.
    const QString pictures = QString::fromStdString(ScratchFolder()) + "pictures";
    QDir().mkpath(pictures);
    QImage image(320, 240, QImage::Format_RGB888);
    std::uint32_t seed = 7;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y, qRgb(static_cast<int>(seed >> 24), (x + y) & 0xFF, (y * 3) & 0xFF));
        }
    ASSERT_TRUE(image.save(pictures + "/back.bmp", "BMP"));

    StartProgram();
    NewPostcardLayout(*this);
    Choose(commands::kBackgroundTool);
    RunWithModals([&] { Drag(OnPage(0.1, 0.1), OnPage(0.9, 0.9)); }, {[&pictures](QWidget& modal) {
                      auto* dialog = qobject_cast<CSelectImageDialog*>(&modal);
                      ASSERT_NE(dialog, nullptr) << "expected the picture choice";
                      ASSERT_TRUE(dialog->FolderTree()->SelectFolder(pictures.toStdString()));
                      ASSERT_EQ(dialog->ImageList()->count(), 1);
                      dialog->ImageList()->item(0)->setSelected(true);
                      QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
                  }});
    ASSERT_EQ(ItemsOf<CBackgroundImageFrameItem>(Layout()).size(), 1u);

    const std::string first = SaveLayout(*this, SaveTarget::EditorDocument, "background");
    ASSERT_FALSE(first.empty());
    const auto stored = CompanionFiles(first);
    ASSERT_TRUE(stored.count(QStringLiteral("Image000.eff")));

    // Opened in a fresh program and saved under another name: every companion
    // file, the picture and the thumbnail, is the first save's byte for byte.
    StartProgram(first);
    const std::string second = SaveLayout(*this, SaveTarget::EditorDocument, "background2");
    ASSERT_FALSE(second.empty());
    ExpectSameCompanion(CompanionFiles(second), stored);
    // And so it stays on every later save.
    StartProgram(second);
    ASSERT_EQ(ItemsOf<CBackgroundImageFrameItem>(Layout()).size(), 1u);
    Document().SetModifiedFlag(1);
    ASSERT_FALSE(SaveLayout(*this, SaveTarget::InPlace, std::string()).empty());
    ExpectSameCompanion(CompanionFiles(second), stored);
    EXPECT_TRUE(Messages().empty()) << Messages().front().text.toStdString();
}

TEST_F(ReopenedLayoutTest, ATextIsListedUnderItsTextAtOnceAndAfterReopening)
{
    StartProgram();
    NewPostcardLayout(*this);
    Choose(commands::kTextTool);
    RunWithModals([&] { Drag(OnPage(0.2, 0.6), OnPage(0.8, 0.7)); }, {[](QWidget& modal) {
                      auto* dialog = qobject_cast<CStringItemFontDialog*>(&modal);
                      ASSERT_NE(dialog, nullptr) << "expected the text dialog";
                      auto* text = ControlOf<QLineEdit>(modal, 1471);
                      ASSERT_NE(text, nullptr);
                      QTest::keyClicks(text, QStringLiteral("Summer 2026"));
                      QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
                  }});
    const auto made = ItemsOf<CStringItem>(Layout());
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made.front()->GetLabel(), "Summer 2026");

    const std::string path = SaveLayout(*this, SaveTarget::EditorDocument, "text");
    ASSERT_FALSE(path.empty());
    StartProgram(path);
    const auto reopened = ItemsOf<CStringItem>(Layout());
    ASSERT_EQ(reopened.size(), 1u);
    EXPECT_EQ(reopened.front()->GetLabel(), "Summer 2026");
}

} // namespace
