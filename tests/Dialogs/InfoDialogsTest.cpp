#include "App/MessageBoxes.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/ModalScript.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/HeaderInfoDialog.h"
#include "Dialogs/SetImageInfoDialog.h"
#include "Dialogs/ShiftJisEdit.h"
#include "Dialogs/WizardDocumentUi.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/MacroStringItem.h"
#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const char kHiragana[] = "\xe3\x81\x82"; // two bytes in Shift-JIS

std::string Repeat(const std::string& piece, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

class HeaderInfoDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.Document().SetTitle("Summer");
        app.Document().SetAuthor("Ann");
        app.Document().SetComment("Draft");
        app.Document().SetModifiedFlag(0);
    }

    StartedApp app;
};

TEST_F(HeaderInfoDialogTest, ADoubleQuoteInAnyFieldKeepsTheDialogOpenAndTheDocumentAsItWas)
{
    for (int field = 0; field < 3; ++field) {
        app.shell.messages.clear();
        CHeaderInfoDialog dialog(app.shell, app.Document());
        dialog.show();
        CShiftJisEdit* edits[] = {dialog.TitleEdit(), dialog.AuthorEdit(), dialog.CommentEdit()};
        edits[field]->setText(QStringLiteral("say \"cheese\""));
        dialog.OkButton()->click();
        EXPECT_TRUE(dialog.isVisible()) << field;
        ASSERT_EQ(app.shell.messages.size(), 1u) << field;
        EXPECT_EQ(app.shell.messages[0], std::make_pair(182, MB_ICONSTOP));
        EXPECT_EQ(app.Document().GetTitle(), "Summer");
        EXPECT_EQ(app.Document().GetAuthor(), "Ann");
        EXPECT_EQ(app.Document().GetComment(), "Draft");
        EXPECT_FALSE(app.Document().IsModified());
    }
}

TEST_F(HeaderInfoDialogTest, OkStoresTheTextsAndMarksTheDocumentModified)
{
    CHeaderInfoDialog dialog(app.shell, app.Document());
    dialog.show();
    EXPECT_EQ(dialog.TitleEdit()->text(), QStringLiteral("Summer"));
    EXPECT_EQ(dialog.AuthorEdit()->text(), QStringLiteral("Ann"));
    EXPECT_EQ(dialog.CommentEdit()->text(), QStringLiteral("Draft"));
    dialog.TitleEdit()->clear();
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xe5\xa4\x8f")); // "夏"
    QApplication::sendEvent(dialog.TitleEdit(), &typed);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    dialog.AuthorEdit()->setText(QStringLiteral("Bo"));
    dialog.CommentEdit()->clear();
    dialog.OkButton()->click();
    ASSERT_TRUE(ClosedWithOk(dialog));
    EXPECT_EQ(app.Document().GetTitle(), "\xe5\xa4\x8f");
    EXPECT_EQ(app.Document().GetAuthor(), "Bo");
    EXPECT_EQ(app.Document().GetComment(), "");
    EXPECT_TRUE(app.Document().IsModified());
}

TEST_F(HeaderInfoDialogTest, EachFieldHolds128ShiftJisBytes)
{
    CHeaderInfoDialog dialog(app.shell, app.Document());
    dialog.show();
    CShiftJisEdit* edit = dialog.CommentEdit();
    QSignalSpy beeps(edit, &CCustomizedEdit::refused);
    struct Case
    {
        std::string inserted;
        std::string kept;
        int refusals;
    };
    const Case cases[] = {
        {std::string(128, 'a'), std::string(128, 'a'), 0},
        {std::string(129, 'a'), std::string(128, 'a'), 1},
        {Repeat(kHiragana, 65), Repeat(kHiragana, 64), 1},
        {"a" + Repeat(kHiragana, 64), "a" + Repeat(kHiragana, 63), 1}, // never half a character
    };
    for (const Case& c : cases) {
        beeps.clear();
        edit->clear();
        edit->InsertText(c.inserted);
        EXPECT_EQ(edit->text().toStdString(), c.kept) << c.inserted.size();
        EXPECT_EQ(beeps.count(), c.refusals) << c.inserted.size();
    }
    // Typing at the limit is refused; over a selection it replaces.
    edit->setText(QString(128, QLatin1Char('a')));
    beeps.clear();
    QTest::keyClick(edit, Qt::Key_B);
    EXPECT_EQ(edit->text().size(), 128);
    EXPECT_EQ(beeps.count(), 1);
    edit->setSelection(0, 1);
    QTest::keyClick(edit, Qt::Key_B);
    EXPECT_TRUE(edit->text().startsWith(QLatin1Char('b')));
}

TEST_F(HeaderInfoDialogTest, ATextTheFilesCannotHoldIsRefusedWithAMessage)
{
    CHeaderInfoDialog dialog(app.shell, app.Document());
    dialog.show();
    dialog.AuthorEdit()->setText(QString::fromUtf8("\xf0\x9f\x98\x80")); // an emoji
    dialog.OkButton()->click();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(app.shell.messages.size(), 1u);
    EXPECT_EQ(app.shell.messages[0], std::make_pair(kUnstorableTextMessage, MB_ICONSTOP));
    EXPECT_FALSE(LocalizedText(app.shell, kUnstorableTextMessage).empty());
    EXPECT_EQ(app.Document().GetAuthor(), "Ann");
    EXPECT_FALSE(app.Document().IsModified());
}

// The dialog, the document and both layout scripts take exactly the same
// header texts: the one rule, however a text reaches them.
TEST_F(HeaderInfoDialogTest, TheDialogTheDocumentAndTheScriptsTakeTheSameTexts)
{
    struct Case
    {
        const char* what;
        std::string text;
        bool taken;
    };
    const Case cases[] = {
        {"128 bytes", std::string(128, 'a'), true},
        {"129 bytes", std::string(129, 'a'), false},
        {"64 kana, 128 bytes", Repeat(kHiragana, 64), true},
        {"65 kana, 130 bytes", Repeat(kHiragana, 65), false},
        {"kana after 127 bytes", std::string(127, 'a') + kHiragana, false},
        {"an emoji", "\xf0\x9f\x98\x80", false},
        {"a line break", "two\nlines", false},
        {"a semicolon", "a;b", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CUDLScript script;
        EXPECT_EQ(script.SetComment(c.text) == 1, c.taken);
        CZAVScript document;
        EXPECT_EQ(document.SetComment(c.text) == 1, c.taken);
        app.Document().SetComment("Draft");
        EXPECT_EQ(app.Document().SetComment(c.text) == 1, c.taken);
        app.Document().SetComment("Draft");

        app.shell.messages.clear();
        CHeaderInfoDialog dialog(app.shell, app.Document());
        dialog.show();
        dialog.CommentEdit()->setText(QString::fromStdString(c.text));
        dialog.OkButton()->click();
        EXPECT_EQ(dialog.isVisible(), !c.taken);
        EXPECT_EQ(app.Document().GetComment(), c.taken ? c.text : "Draft");
        EXPECT_EQ(app.shell.messages.size(), c.taken ? 0u : 1u);
    }
}

TEST_F(HeaderInfoDialogTest, TheRunReportsCancel)
{
    WizardDocumentUi documentUi(app.shell);
    for (const bool ok : {false, true}) {
        modaltest::OnNextModal<CHeaderInfoDialog>([ok](CHeaderInfoDialog& modal) {
            auto* dialog = &modal;
            dialog->TitleEdit()->setText(QStringLiteral("Winter"));
            (ok ? dialog->OkButton() : dialog->CancelButton())->click();
        });
        EXPECT_EQ(RunHeaderInfoDialog(app.shell, app.Document(), nullptr), ok);
        EXPECT_EQ(app.Document().GetTitle(), ok ? "Winter" : "Summer");
    }
    // The document's own header check reaches the same dialog.
    modaltest::OnNextModal<CHeaderInfoDialog>([](CHeaderInfoDialog& modal) {
        auto* dialog = &modal;
        dialog->TitleEdit()->setText(QStringLiteral("Spring"));
        dialog->OkButton()->click();
    });
    EXPECT_TRUE(documentUi.RunHeaderInfoDialog(app.Document(), nullptr));
    EXPECT_EQ(app.Document().GetTitle(), "Spring");
}

class ImageInfoDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        shell.localizeIniPath = ShippedIniPath();
    }

    QStringList Faces(CSetImageInfoDialog& dialog)
    {
        QStringList faces;
        for (int i = 0; i < dialog.FaceList()->count(); ++i)
            faces << dialog.FaceList()->itemText(i);
        return faces;
    }

    FakeDialogShell shell;
};

TEST_F(ImageInfoDialogTest, FacesComeInKeyOrderAndAnUnknownFaceSelectsTheFirst)
{
    QTemporaryDir folder;
    QFile ini(folder.filePath(QStringLiteral("Localize.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[DrawStringFont]\r\nRoman=R Face\r\nMincho=M Face\r\nCourier=C Face\r\nOther=X\r\n");
    ini.close();
    shell.localizeIniPath = ini.fileName().toStdString();
    struct Case
    {
        const char* face;
        int selected;
    };
    for (const Case& c : {Case{"M Face", 1}, Case{"Unknown", 0}, Case{"", 0}}) {
        CSetImageInfoDialog dialog(shell, nullptr);
        ImageInfoValues values;
        values.fontFace = c.face;
        dialog.SetValues(values);
        dialog.show();
        EXPECT_EQ(Faces(dialog), (QStringList{"C Face", "M Face", "R Face"}));
        EXPECT_EQ(dialog.FaceList()->currentIndex(), c.selected) << c.face;
    }
}

TEST_F(ImageInfoDialogTest, TheFullPathIsOfferedOnlyWithTheFileName)
{
    ImageInfoValues values;
    values.showFileName = false;
    values.fullPath = true;
    CSetImageInfoDialog dialog(shell, nullptr);
    dialog.SetValues(values);
    dialog.show();
    EXPECT_FALSE(dialog.Box(1128)->isEnabled());
    dialog.Box(1122)->click();
    EXPECT_TRUE(dialog.Box(1128)->isEnabled());
    dialog.Box(1122)->click();
    EXPECT_FALSE(dialog.Box(1128)->isEnabled());
}

TEST_F(ImageInfoDialogTest, OkReturnsEveryChoice)
{
    ImageInfoValues values;
    values.showDateTime = true;
    values.showISO = true;
    values.fontFace = "IPAMincho";
    values.fontSize = 1;
    values.infoValue = 0x123456;
    int chooserRuns = 0;
    CSetImageInfoDialog dialog(shell, [&chooserRuns](COLORREF& color) {
        ++chooserRuns;
        EXPECT_EQ(color, 0x123456u);
        color = 0x00FF00;
        return true;
    });
    dialog.SetValues(values);
    dialog.show();
    EXPECT_TRUE(dialog.Box(1120)->isChecked());
    EXPECT_TRUE(dialog.Box(1125)->isChecked());
    EXPECT_FALSE(dialog.Box(1126)->isChecked());
    EXPECT_EQ(dialog.FaceList()->currentText(), QStringLiteral("IPAMincho"));
    EXPECT_EQ(dialog.SizeGroup()->checkedId(), 1);
    dialog.Box(1120)->click();
    dialog.Box(1123)->click();
    dialog.Box(1124)->click();
    dialog.Box(1126)->click();
    dialog.Box(1127)->click();
    dialog.Box(1122)->click();
    dialog.Box(1128)->click();
    dialog.SizeGroup()->button(0)->click();
    dialog.FaceList()->setCurrentIndex(0);
    dialog.ColorButton()->click();
    dialog.OkButton()->click();
    ASSERT_TRUE(ClosedWithOk(dialog));
    const ImageInfoValues& out = dialog.GetValues();
    EXPECT_FALSE(out.showDateTime);
    EXPECT_TRUE(out.showExposureTime && out.showFNumber && out.showISO && out.showCameraName &&
                out.showFlash);
    EXPECT_TRUE(out.showFileName && out.fullPath);
    EXPECT_EQ(out.fontFace, "IPAGothic");
    EXPECT_EQ(out.fontSize, 0);
    EXPECT_EQ(chooserRuns, 1);
    EXPECT_EQ(out.infoValue, 0x00FF00);
}

TEST(ImageInfoThroughTheLayoutModelTest, OkAddsTheFramesTextsUnderOneUndoRecord)
{
    StartedApp app;
    CLayoutManager& manager = *app.Document().GetLayoutManager();
    auto frame = std::make_unique<CInsertImageFrameItem>();
    frame->SetRect(RECT{200, 200, 1200, 1000});
    frame->SetSelected(true);
    CInsertImageFrameItem* raw = frame.get();
    ASSERT_TRUE(manager.AddItem(-1, std::move(frame)));
    const int before = static_cast<int>(manager.GetItems().size());

    DialogsLayoutDialogs dialogs(app.shell, GetLayoutDialogs());
    ILayoutDialogs* previous = GetLayoutDialogs();
    SetLayoutDialogs(&dialogs);
    const auto answer = [](bool ok) {
        modaltest::OnNextModal<CSetImageInfoDialog>([ok](CSetImageInfoDialog& modal) {
            auto* dialog = &modal;
            dialog->Box(1120)->setChecked(true);
            dialog->Box(1122)->setChecked(true);
            (ok ? dialog->OkButton() : dialog->CancelButton())->click();
        });
    };
    answer(false);
    EXPECT_FALSE(manager.EditImageInfo(nullptr));
    EXPECT_EQ(static_cast<int>(manager.GetItems().size()), before);
    answer(true);
    EXPECT_TRUE(manager.EditImageInfo(nullptr));
    SetLayoutDialogs(previous);

    EXPECT_NE(raw->GetLinkedText1(), nullptr);
    EXPECT_EQ(raw->GetLinkedText2(), nullptr);
    EXPECT_NE(raw->GetLinkedText3(), nullptr);
    EXPECT_EQ(static_cast<int>(manager.GetItems().size()), before + 2);
    ASSERT_NE(manager.GetPendingUndo(), nullptr);
    manager.Undo();
    EXPECT_EQ(raw->GetLinkedText1(), nullptr);
    EXPECT_EQ(raw->GetLinkedText3(), nullptr);
    EXPECT_EQ(static_cast<int>(manager.GetItems().size()), before);
}

// The image browser is the library's own (SelectImageDialogTest).
TEST(LayoutDialogsWrapperTest, EveryOtherDialogGoesToTheWrappedOne)
{
    struct Inner : ILayoutDialogs
    {
        bool ChooseColor(COLORREF& color) override
        {
            color = 7;
            return true;
        }
        int RunStringItemFontDialog(StringItemFontValues&) override { return 11; }
        int RunPictureTransparencyDialog(CImageFrameItem&) override { return 12; }
        int RunPictureRangeDialog(CImageFrameItem&) override { return 13; }
        int RunSelectImageDialog(int mode, std::string& path) override
        {
            path = "chosen";
            return 14 + mode;
        }
        int RunSetImageInfoDialog(ImageInfoValues&) override { return 99; }
        int GetScreenLogPixelsY() override { return 120; }
    } inner;
    FakeDialogShell shell;
    DialogsLayoutDialogs wrapper(shell, &inner);
    COLORREF color = 0;
    EXPECT_TRUE(wrapper.ChooseColor(color));
    EXPECT_EQ(color, 7u);
    CInsertImageFrameItem frame;
    // The transparency and picture-range dialogs are the library's own: a
    // frame without a picture fails at once.
    EXPECT_EQ(wrapper.RunPictureTransparencyDialog(frame), 3);
    EXPECT_EQ(wrapper.RunPictureRangeDialog(frame), 3);
    EXPECT_EQ(wrapper.GetScreenLogPixelsY(), 120);

    DialogsLayoutDialogs alone(shell, nullptr);
    EXPECT_FALSE(alone.ChooseColor(color));
    EXPECT_EQ(alone.GetScreenLogPixelsY(), 96);
}

} // namespace
