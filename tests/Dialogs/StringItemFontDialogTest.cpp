#include "Dialogs/StringItemFontDialog.h"
#include "App/FontCatalogue.h"
#include "App/MessageBoxes.h"
#include "App/QtTranslation.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/ModalScript.h"
#include "Core/FontList.h"
#include "Dialogs/FontChoices.h"
#include "Dialogs/HeaderInfoDialog.h"
#include "Dialogs/SetImageInfoDialog.h"
#include "Dialogs/SetShadowDialog.h"
#include "Dialogs/ShiftJisEdit.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "Layout/LayoutManager.h"
#include "Layout/StringItem.h"

#include <gtest/gtest.h>

#include <QFontDatabase>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kHiragana[] = "\xe3\x81\x82";  // two bytes in Shift-JIS
const char kEmoji[] = "\xf0\x9f\x98\x80"; // no Shift-JIS form

// The fonts a test offers; the names are families the system may or may not have.
class ListedFonts : public IFontCatalogue
{
public:
    explicit ListedFonts(std::vector<std::string> names) : m_names(std::move(names)) {}
    bool HasOutlineFamily(std::string_view face) override { return HasFamily(face); }
    bool HasFamily(std::string_view face) override
    {
        return std::find(m_names.begin(), m_names.end(), face) != m_names.end();
    }
    std::string DefaultInterfaceFace() override { return m_names.front(); }
    std::vector<std::string> SortedOutlineNames() override { return m_names; }

private:
    std::vector<std::string> m_names;
};

StringItemFontValues SomeValues()
{
    StringItemFontValues values;
    values.font.lfHeight = -20;
    values.font.lfWeight = 400;
    values.font.lfCharSet = 128;
    values.font.lfFaceName = "IPAGothic";
    values.text = "Hello";
    values.textColor = RGB(1, 2, 3);
    values.shadowOffset = POINT{10, -25};
    values.shadowColor = RGB(9, 9, 9);
    values.backColor = 0xFFFFFF;
    return values;
}

class StringItemFontDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        shell.localizeIniPath = ShippedIniPath();
    }

    // A shown dialog over the values at the resolution.
    std::unique_ptr<CStringItemFontDialog> Open(const StringItemFontValues& values, int dpi = 120)
    {
        auto dialog = std::make_unique<CStringItemFontDialog>(shell, fonts, dpi, [this](COLORREF& color) {
            chooserSaw.push_back(color);
            if (!nextColor)
                return false;
            color = *nextColor;
            return true;
        });
        dialog->SetValues(values);
        dialog->show();
        return dialog;
    }

    FakeDialogShell shell;
    ListedFonts fonts{{"DejaVu Sans", "IPAGothic", "@IPAGothic", "IPAMincho", kEmoji + std::string("Face"),
                       std::string(32, 'L')}};
    std::vector<COLORREF> chooserSaw;
    std::optional<COLORREF> nextColor;
};

// A text without a face of its own opens on the first face in its upright
// regular style, also where that face lists a slanted style first.
TEST_F(StringItemFontDialogTest, ATextWithoutAFaceOpensOnTheRegularStyleOfTheFirstFace)
{
    auto dialog = Open(StringItemFontValues{});
    ASSERT_EQ(dialog->FaceBox()->currentText(), "DejaVu Sans");
    const std::vector<FontStyleChoice> choices = FontStylesOf(QStringLiteral("DejaVu Sans"));
    ASSERT_EQ(dialog->StyleBox()->count(), static_cast<int>(choices.size()));
    const FontStyleChoice& current = choices.at(static_cast<std::size_t>(dialog->StyleBox()->currentIndex()));
    EXPECT_EQ(dialog->StyleBox()->currentText(), current.label);
    const QString style = current.name;
    const QFont shown = QFontDatabase::font(QStringLiteral("DejaVu Sans"), style, 12);
    EXPECT_EQ(shown.style(), QFont::StyleNormal) << style.toStdString();
    EXPECT_EQ(shown.weight(), QFont::Normal) << style.toStdString();
    // Slanted styles are offered, each once, as slanted; of the family's
    // narrow and usual widths the usual one.
    for (const FontStyleChoice& choice : choices) {
        EXPECT_EQ(choice.italic,
                  QFontDatabase::font(QStringLiteral("DejaVu Sans"), choice.name, 12).style() !=
                      QFont::StyleNormal)
            << choice.name.toStdString();
        EXPECT_FALSE(choice.name.contains(QStringLiteral("Condensed"))) << choice.name.toStdString();
    }
}

TEST_F(StringItemFontDialogTest, OpensOnTheValuesWithFacesTheFilesCanStore)
{
    StringItemFontValues values = SomeValues();
    values.shadow = true;
    auto dialog = Open(values);
    QStringList faces;
    for (int i = 0; i < dialog->FaceBox()->count(); ++i)
        faces << dialog->FaceBox()->itemText(i);
    EXPECT_EQ(faces, (QStringList{"DejaVu Sans", "IPAGothic", "IPAMincho"}));
    EXPECT_EQ(dialog->FaceBox()->currentText(), "IPAGothic");
    EXPECT_EQ(dialog->SizeBox()->currentText(), "12"); // -20 pixels at 120 dpi
    EXPECT_EQ(dialog->TextEdit()->text(), "Hello");
    EXPECT_TRUE(dialog->OkButton()->isEnabled());
    EXPECT_TRUE(dialog->ShadowButton()->isEnabled());
    EXPECT_FALSE(dialog->BackColorButton()->isEnabled());
    EXPECT_EQ(dialog->SampleFont().family(), "IPAGothic");
    EXPECT_EQ(dialog->SampleFont().pointSize(), 9);
    EXPECT_EQ(dialog->TextEdit()->font().pointSize(), 9);
    EXPECT_EQ(dialog->LastFaceText(), "IPAGothic");
    EXPECT_EQ(dialog->LastSizeText(), "12");

    // A face the list lacks: the first entry is taken.
    values.font.lfFaceName = "Nowhere";
    auto other = Open(values);
    EXPECT_EQ(other->FaceBox()->currentText(), "DejaVu Sans");
    EXPECT_EQ(other->CurrentLogFont().lfFaceName, "DejaVu Sans");
}

TEST_F(StringItemFontDialogTest, AnEmptyTextDisablesOk)
{
    auto dialog = Open(SomeValues());
    dialog->TextEdit()->clear();
    EXPECT_FALSE(dialog->OkButton()->isEnabled());
    QTest::keyClicks(dialog->TextEdit(), "x");
    EXPECT_TRUE(dialog->OkButton()->isEnabled());

    StringItemFontValues values = SomeValues();
    values.text.clear();
    auto empty = Open(values);
    EXPECT_FALSE(empty->OkButton()->isEnabled());
}

TEST_F(StringItemFontDialogTest, TheTextHolds128ShiftJisBytesHoweverItComesIn)
{
    StringItemFontValues values = SomeValues();
    values.text.clear();
    auto dialog = Open(values);
    CShiftJisEdit* edit = dialog->TextEdit();
    QTest::keyClicks(edit, QString(128, 'a'));
    QTest::keyClicks(edit, "b");
    EXPECT_EQ(edit->text(), QString(128, 'a'));

    edit->setText(QString(127, 'a'));
    edit->end(false);
    QGuiApplication::clipboard()->setText(QString::fromUtf8(kHiragana) + "z");
    edit->Paste();
    EXPECT_EQ(edit->text(), QString(127, 'a')); // the two-byte character would pass the limit

    // A longer text from elsewhere is cut at a character boundary.
    values.text = std::string(127, 'a') + kHiragana;
    auto cut = Open(values);
    EXPECT_EQ(cut->TextEdit()->text(), QString(127, 'a'));
    values.text = std::string(126, 'a') + kHiragana + "tail";
    auto fits = Open(values);
    EXPECT_EQ(fits->TextEdit()->text().toStdString(), std::string(126, 'a') + kHiragana);
}

TEST_F(StringItemFontDialogTest, ATextTheFilesCannotHoldIsRefusedWithAMessage)
{
    auto dialog = Open(SomeValues());
    dialog->TextEdit()->setText(QString::fromUtf8("Hi ") + QString::fromUtf8(kEmoji));
    dialog->OkButton()->click();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0], std::make_pair(kUnstorableTextMessage, MB_ICONSTOP));
    EXPECT_EQ(dialog->GetValues().text, "Hello");

    dialog->TextEdit()->setText(QString::fromUtf8(kHiragana));
    dialog->OkButton()->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->GetValues().text, kHiragana);
}

TEST_F(StringItemFontDialogTest, ASizeOutsideOneTo999FallsBackToTheLastValid)
{
    struct Case
    {
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"0", "12"}, {"", "12"}, {"abc", "12"}, {"-4", "12"}, {" 14", "14"}, {"10.5", "10"}, {"999", "999"},
    };
    for (const Case& c : cases) {
        auto dialog = Open(SomeValues());
        dialog->SizeBox()->setEditText(QString::fromLatin1(c.typed));
        dialog->ValidateSize();
        EXPECT_EQ(dialog->SizeBox()->currentText(), c.shown) << c.typed;
        EXPECT_EQ(dialog->LastSizeText(), c.shown) << c.typed;
    }
    // The box holds three characters: a typed 1000 cannot get in.
    auto dialog = Open(SomeValues());
    dialog->SizeBox()->lineEdit()->clear();
    QTest::keyClicks(dialog->SizeBox()->lineEdit(), "1000");
    EXPECT_EQ(dialog->SizeBox()->currentText(), "100");
    EXPECT_EQ(ReadSizeNumber("1000"), 1000);
}

TEST_F(StringItemFontDialogTest, AnUnknownTypedFaceFallsBackToTheLastValid)
{
    auto dialog = Open(SomeValues());
    dialog->FaceBox()->setEditText("Nowhere");
    dialog->ValidateFace();
    EXPECT_EQ(dialog->FaceBox()->currentText(), "IPAGothic");
    EXPECT_EQ(dialog->FaceBox()->currentIndex(), 1);

    dialog->FaceBox()->setEditText("ipamincho");
    dialog->ValidateFace();
    EXPECT_EQ(dialog->FaceBox()->currentText(), "IPAMincho");
    EXPECT_EQ(dialog->LastFaceText(), "IPAMincho");
    EXPECT_EQ(dialog->SampleFont().family(), "IPAMincho");

    // OK while the typed face is still in the box checks it first.
    dialog->FaceBox()->setEditText("Nowhere");
    dialog->OkButton()->click();
    EXPECT_EQ(dialog->GetValues().font.lfFaceName, "IPAMincho");
}

TEST_F(StringItemFontDialogTest, ConfirmingUnchangedNeverMovesTheHeight)
{
    for (int dpi : {96, 120, 144, 72}) {
        for (int height : {-13, -15, -16, -20, -21, -27, 19}) {
            StringItemFontValues values = SomeValues();
            values.font.lfHeight = height;
            for (int round = 0; round < 3; ++round) {
                auto dialog = Open(values, dpi);
                dialog->OkButton()->click();
                ASSERT_FALSE(dialog->isVisible());
                values = dialog->GetValues();
            }
            EXPECT_EQ(values.font.lfHeight, height) << "dpi " << dpi;
        }
    }
    // A new size is converted at the dialog's resolution.
    auto dialog = Open(SomeValues(), 120);
    dialog->SizeBox()->setEditText("14");
    dialog->OkButton()->click();
    EXPECT_EQ(dialog->GetValues().font.lfHeight, -23); // 14 pt x 120 / 72 = 23.3
}

TEST_F(StringItemFontDialogTest, ConfirmingUnchangedKeepsWeightSlantAndCharacterSet)
{
    struct Case
    {
        int weight;
        int italic;
        int charSet;
    };
    const Case cases[] = {{700, 0, 128}, {600, 1, 128}, {300, 0, 1}, {400, 1, 0}};
    for (const Case& c : cases) {
        StringItemFontValues values = SomeValues();
        values.font.lfWeight = c.weight;
        values.font.lfItalic = static_cast<std::uint8_t>(c.italic);
        values.font.lfCharSet = static_cast<std::uint8_t>(c.charSet);
        auto dialog = Open(values);
        dialog->OkButton()->click();
        const LOGFONT& font = dialog->GetValues().font;
        EXPECT_EQ(font.lfWeight, c.weight);
        EXPECT_EQ(font.lfItalic, c.italic);
        EXPECT_EQ(font.lfCharSet, c.charSet);
    }
    // Every face offers bold and italic; choosing one takes its weight and slant.
    auto dialog = Open(SomeValues());
    const int boldItalic = dialog->StyleBox()->findText("Bold Italic");
    ASSERT_GE(boldItalic, 0);
    dialog->StyleBox()->setCurrentIndex(boldItalic);
    dialog->OkButton()->click();
    EXPECT_EQ(dialog->GetValues().font.lfWeight, 700);
    EXPECT_EQ(dialog->GetValues().font.lfItalic, 1);
}

TEST_F(StringItemFontDialogTest, VerticalWritingTakesTheAtFaceOnlyWhereItExists)
{
    struct Case
    {
        const char* face;
        const char* result;
    };
    const Case cases[] = {{"IPAGothic", "@IPAGothic"}, {"IPAMincho", "IPAMincho"}};
    for (const Case& c : cases) {
        StringItemFontValues values = SomeValues();
        values.font.lfFaceName = c.face;
        values.vertical = true;
        auto dialog = Open(values);
        EXPECT_TRUE(dialog->VerticalCheck()->isChecked());
        dialog->OkButton()->click();
        EXPECT_EQ(dialog->GetValues().font.lfFaceName, c.result);
        EXPECT_TRUE(dialog->GetValues().vertical);
    }
    // Without vertical writing the face stays as chosen.
    StringItemFontValues values = SomeValues();
    auto dialog = Open(values);
    dialog->OkButton()->click();
    EXPECT_EQ(dialog->GetValues().font.lfFaceName, "IPAGothic");
}

TEST_F(StringItemFontDialogTest, ButtonsFollowTheirChecksAndColoursAreStored)
{
    auto dialog = Open(SomeValues());
    EXPECT_FALSE(dialog->ShadowButton()->isEnabled());
    EXPECT_FALSE(dialog->BackColorButton()->isEnabled());
    dialog->ShadowCheck()->click();
    dialog->BackColorCheck()->click();
    EXPECT_TRUE(dialog->ShadowButton()->isEnabled());
    EXPECT_TRUE(dialog->BackColorButton()->isEnabled());
    dialog->ShadowCheck()->click();
    EXPECT_FALSE(dialog->ShadowButton()->isEnabled());

    nextColor = RGB(200, 0, 0);
    dialog->TextColorButton()->click();
    nextColor = RGB(0, 0, 200);
    dialog->BackColorButton()->click();
    nextColor.reset();
    dialog->TextColorButton()->click(); // cancelled: the colour stays
    EXPECT_EQ(chooserSaw, (std::vector<COLORREF>{RGB(1, 2, 3), 0xFFFFFF, RGB(200, 0, 0)}));
    dialog->OkButton()->click();
    const StringItemFontValues& values = dialog->GetValues();
    EXPECT_EQ(values.textColor, RGB(200, 0, 0));
    EXPECT_EQ(values.backColor, RGB(0, 0, 200));
    EXPECT_FALSE(values.shadow);
    EXPECT_TRUE(values.backColorOn);
}

TEST(FontChoicesTest, CharacterSetsAreNamedInTheProgramsLanguage)
{
    struct Case
    {
        std::uint8_t charSet;
        const char* english;
        const char* japanese;
    };
    const Case cases[] = {{0, "Western", "欧文"},
                          {128, "Japanese", "日本語"},
                          {2, "Symbol", "記号"},
                          {204, "Cyrillic", "キリル"},
                          {77, "Character set 77", "文字セット 77"}};
    for (const Case& c : cases) {
        EXPECT_EQ(CharSetName(c.charSet, ""), QString::fromUtf8(c.english));
        EXPECT_EQ(CharSetName(c.charSet, "ja"), QString::fromUtf8(c.japanese));
    }
    EnsureApp();
    // A family that reports no script shows the text's own set.
    const std::vector<FontScriptChoice> none = FontScriptsOf(QStringLiteral("No Such Face 1f3a"), 128, "ja");
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none.front().name, QString::fromUtf8("日本語"));
}

TEST(FontChoicesTest, FaceNamesAndHeights)
{
    EXPECT_TRUE(IsStorableFaceName("IPAGothic"));
    EXPECT_TRUE(IsStorableFaceName(std::string(31, 'x')));
    EXPECT_FALSE(IsStorableFaceName(std::string(32, 'x')));
    EXPECT_FALSE(IsStorableFaceName(""));
    EXPECT_FALSE(IsStorableFaceName(kEmoji));
    EXPECT_EQ(HeightToPoints(-20, 120), 12);
    EXPECT_EQ(HeightToPoints(-16, 96), 12);
    EXPECT_EQ(PointsToHeight(12, 120), -20);
    EXPECT_EQ(PointsToHeight(9, 96), -12);
    EXPECT_EQ(ReadSizeNumber("12pt"), 12);
    EXPECT_EQ(ReadSizeNumber("pt"), 0);
}

// The shadow dialog, shown, over offsets in layout units.
class SetShadowDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        shell.localizeIniPath = ShippedIniPath();
    }
    std::unique_ptr<CSetShadowDialog> Open(int x, int y)
    {
        auto dialog = std::make_unique<CSetShadowDialog>(shell, [](COLORREF& color) {
            color = RGB(0, 128, 0);
            return true;
        });
        dialog->SetShadow(x, y, RGB(50, 50, 50));
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }
    // Drags the shadow sample from its centre by the distance, the moves
    // arriving while the tracker runs; `during` sees the dialog mid-drag.
    void Drag(CSetShadowDialog& dialog, QPoint by, std::function<void()> during = {})
    {
        const Rect r = dialog.Tracker().m_rect;
        const QPoint from((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        QWidget* preview = dialog.Preview();
        QTimer::singleShot(0, preview, [preview, from, by, during] {
            QTest::mouseMove(preview, from + by / 2);
            QTest::mouseMove(preview, from + by);
            if (during)
                during();
            QTest::mouseRelease(preview, Qt::LeftButton, Qt::NoModifier, from + by);
        });
        QTest::mousePress(preview, Qt::LeftButton, Qt::NoModifier, from);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    }

    FakeDialogShell shell;
};

TEST_F(SetShadowDialogTest, OffsetsMoveInStepsOfFiveUnits)
{
    struct Case
    {
        int pixels;
        int snapped;
    };
    const Case snaps[] = {{0, 0}, {1, 0}, {3, 2}, {-3, -2}, {7, 6}, {21, 20}, {200, 20}, {-200, -20}};
    for (const Case& c : snaps)
        EXPECT_EQ(SnapShadowPixels(c.pixels), c.snapped) << c.pixels;
    EXPECT_EQ(ShadowUnitsToPixels(50), 20);
    EXPECT_EQ(ShadowUnitsToPixels(-25), -10);
    EXPECT_EQ(ShadowUnitsToPixels(7), 2);
    EXPECT_EQ(ShadowPixelsToUnits(20), 50);
    EXPECT_EQ(ShadowPixelsToUnits(-6), -15);

    auto dialog = Open(10, -25);
    const Point origin = dialog->Origin();
    const Rect r = dialog->Tracker().m_rect;
    EXPECT_EQ((r.left + r.right) / 2 - origin.x, 4);
    EXPECT_EQ((r.top + r.bottom) / 2 - origin.y, -10);

    Drag(*dialog, QPoint(7, -3)); // from (4, -10) to (11, -13): snapped (10, -12)
    EXPECT_EQ(dialog->ShadowOffsetX(), 25);
    EXPECT_EQ(dialog->ShadowOffsetY(), -30);
}

TEST_F(SetShadowDialogTest, ADragFarOutsideStopsAtTwentyPixels)
{
    auto dialog = Open(0, 0);
    const Rect centred = dialog->Tracker().m_rect;
    Rect midDrag;
    bool outlined = false;
    Drag(*dialog, QPoint(300, -300), [&] { outlined = dialog->Tracker().GetOutline(midDrag); });
    // The tracker's own outline followed the snapped rectangle.
    ASSERT_TRUE(outlined);
    EXPECT_EQ(midDrag, (Rect{centred.left + 20, centred.top - 20, centred.right + 20, centred.bottom - 20}));
    EXPECT_EQ(dialog->ShadowOffsetX(), 50);
    EXPECT_EQ(dialog->ShadowOffsetY(), -50);
    Rect after;
    EXPECT_FALSE(dialog->Tracker().GetOutline(after));

    Drag(*dialog, QPoint(-500, 500));
    EXPECT_EQ(dialog->ShadowOffsetX(), -50);
    EXPECT_EQ(dialog->ShadowOffsetY(), 50);

    // A press beside the sample starts nothing.
    QTest::mouseClick(dialog->Preview(), Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    EXPECT_EQ(dialog->ShadowOffsetX(), -50);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    dialog->ColorButton()->click();
    dialog->OkButton()->click();
    EXPECT_EQ(dialog->ShadowColor(), RGB(0, 128, 0));
}

TEST_F(SetShadowDialogTest, AClickWithoutAMoveKeepsAnOffsetBetweenSteps)
{
    auto dialog = Open(7, -8);
    const Rect r = dialog->Tracker().m_rect;
    const QPoint at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    QTimer::singleShot(0, dialog->Preview(), [&dialog, at] {
        QTest::mouseRelease(dialog->Preview(), Qt::LeftButton, Qt::NoModifier, at);
    });
    QTest::mousePress(dialog->Preview(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(dialog->ShadowOffsetX(), 7);
    EXPECT_EQ(dialog->ShadowOffsetY(), -8);
}

// The text dialog as the layout model opens it, on a screen of 120 dpi.
class TextDialogThroughTheModelTest : public ::testing::Test
{
protected:
    struct Screen120 : ILayoutDialogs
    {
        bool ChooseColor(COLORREF& color) override
        {
            color = RGB(255, 0, 0);
            return true;
        }
        int RunStringItemFontDialog(StringItemFontValues&) override { return IDCANCEL; }
        int RunPictureTransparencyDialog(CImageFrameItem&) override { return IDCANCEL; }
        int RunPictureRangeDialog(CImageFrameItem&) override { return IDCANCEL; }
        int RunSelectImageDialog(int, std::string&) override { return IDCANCEL; }
        int RunSetImageInfoDialog(ImageInfoValues&) override { return IDCANCEL; }
        int GetScreenLogPixelsY() override { return 120; }
    };

    void SetUp() override
    {
        SetFontCatalogue(&fonts);
        previous = GetLayoutDialogs();
        SetLayoutDialogs(&dialogs);
        auto item = std::make_unique<CStringItem>();
        item->SetRect(RECT{200, 200, 1400, 600});
        LOGFONT font;
        font.lfHeight = -16;
        font.lfWeight = 400;
        font.lfCharSet = 128;
        font.lfFaceName = "IPAGothic";
        item->SetLogFont(&font);
        item->SetText("Old");
        item->SetTextColor(RGB(0, 0, 0));
        item->SetSelected(true);
        text = item.get();
        ASSERT_TRUE(manager().AddItem(-1, std::move(item)));
    }
    void TearDown() override
    {
        SetLayoutDialogs(previous);
        SetFontCatalogue(nullptr);
    }
    CLayoutManager& manager() { return *app.Document().GetLayoutManager(); }
    LOGFONT ItemFont() const
    {
        LOGFONT font;
        text->GetLogFont(&font);
        return font;
    }
    // Runs `answer` on the dialog once it is up.
    static void WhenOpen(std::function<void(CStringItemFontDialog&)> answer)
    {
        modaltest::OnNextModal<CStringItemFontDialog>(std::move(answer));
    }

    StartedApp app;
    ListedFonts fonts{{"IPAGothic", "IPAMincho"}};
    Screen120 inner;
    DialogsLayoutDialogs dialogs{app.shell, &inner};
    ILayoutDialogs* previous = nullptr;
    CStringItem* text = nullptr;
};

// Where the system's interface face has no Japanese glyphs, a new text starts
// in the program's interface face; the lists name styles and scripts in the
// program's language, with Qt's translation loaded as the program loads it.
TEST_F(TextDialogThroughTheModelTest, ANewTextOpensOnAJapaneseFaceNamedInTheProgramsLanguage)
{
    SetFontCatalogue(nullptr);
    const std::unique_ptr<QTranslator> japanese = InstallQtTranslation(ShippedIniPath());
    ASSERT_NE(japanese, nullptr) << "Qt's Japanese translation is not installed";
    StringItemFontValues values;
    values.font = CLayoutManager().GetItemDefaults().font;
    values.text = "x";
    EXPECT_EQ(values.font.lfCharSet, 128);
    const std::vector<std::uint8_t> sets = CharSetsOf(values.font.lfFaceName);
    EXPECT_NE(std::find(sets.begin(), sets.end(), 128), sets.end()) << values.font.lfFaceName;

    CStringItemFontDialog dialog(app.shell, GetFontCatalogue(), 96, {});
    dialog.SetValues(values);
    dialog.show();
    EXPECT_EQ(dialog.FaceBox()->currentText().toStdString(), values.font.lfFaceName);
    EXPECT_EQ(dialog.StyleBox()->currentText(), QString::fromUtf8("標準"));
    EXPECT_EQ(dialog.ScriptBox()->currentText(), QString::fromUtf8("日本語"));
    QStringList styles;
    for (int i = 0; i < dialog.StyleBox()->count(); ++i)
        styles << dialog.StyleBox()->itemText(i);
    for (const char* usual : {"斜体", "太字", "太字 斜体"})
        EXPECT_TRUE(styles.contains(QString::fromUtf8(usual))) << usual;
    QStringList scripts;
    for (int i = 0; i < dialog.ScriptBox()->count(); ++i)
        scripts << dialog.ScriptBox()->itemText(i);
    EXPECT_TRUE(scripts.contains(QString::fromUtf8("欧文"))) << scripts.join(',').toStdString();
}

TEST_F(TextDialogThroughTheModelTest, ConfirmingUnchangedKeepsTheSize)
{
    int shownSize = 0;
    for (int round = 0; round < 2; ++round) {
        WhenOpen([&shownSize](CStringItemFontDialog& dialog) {
            shownSize = dialog.SizeBox()->currentText().toInt();
            dialog.OkButton()->click();
        });
        EXPECT_TRUE(manager().EditStringItem(nullptr));
        EXPECT_EQ(ItemFont().lfHeight, -16);
    }
    EXPECT_EQ(shownSize, 12); // -16 at 96 dpi is -20 at 120: 12 points
    EXPECT_EQ(text->GetText(), "Old");
}

TEST_F(TextDialogThroughTheModelTest, OkChangesTheItemUnderOneUndoRecord)
{
    WhenOpen([](CStringItemFontDialog& dialog) {
        dialog.TextEdit()->selectAll();
        QTest::keyClicks(dialog.TextEdit(), "New ");
        dialog.TextEdit()->InsertText(kHiragana); // as an input method commits it
        dialog.TextColorButton()->click();
        dialog.ShadowCheck()->click();
        modaltest::OnNextModal<CSetShadowDialog>([](CSetShadowDialog& shown) {
            CSetShadowDialog* shadow = &shown;
            QWidget* preview = shadow->Preview();
            const Rect r = shadow->Tracker().m_rect;
            const QPoint from((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            QTimer::singleShot(0, preview, [preview, from] {
                QTest::mouseMove(preview, from + QPoint(6, 4));
                QTest::mouseRelease(preview, Qt::LeftButton, Qt::NoModifier, from + QPoint(6, 4));
            });
            QTest::mousePress(preview, Qt::LeftButton, Qt::NoModifier, from);
            shadow->OkButton()->click();
        });
        dialog.ShadowButton()->click();
        dialog.SizeBox()->setEditText("15");
        dialog.OkButton()->click();
    });
    EXPECT_TRUE(manager().EditStringItem(nullptr));
    EXPECT_EQ(text->GetText(), std::string("New ") + kHiragana);
    EXPECT_EQ(text->GetTextColor(), RGB(255, 0, 0));
    EXPECT_TRUE(text->HasShadow());
    EXPECT_EQ(text->GetShadowOffset().x, 15);
    EXPECT_EQ(text->GetShadowOffset().y, 10);
    EXPECT_EQ(ItemFont().lfHeight, -20); // 15 pt at 120 dpi is -25, kept as -20 at 96
    ASSERT_NE(manager().GetPendingUndo(), nullptr);

    manager().Undo();
    EXPECT_EQ(text->GetText(), "Old");
    EXPECT_EQ(text->GetTextColor(), RGB(0, 0, 0));
    EXPECT_FALSE(text->HasShadow());
    EXPECT_EQ(ItemFont().lfHeight, -16);
}

TEST_F(TextDialogThroughTheModelTest, CancelLeavesTheItem)
{
    WhenOpen([](CStringItemFontDialog& dialog) {
        dialog.TextEdit()->setText("Other");
        dialog.CancelButton()->click();
    });
    EXPECT_FALSE(manager().EditStringItem(nullptr));
    EXPECT_EQ(text->GetText(), "Old");
}

} // namespace
