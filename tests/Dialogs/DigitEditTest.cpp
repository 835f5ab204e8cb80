#include "Dialogs/DigitEdit.h"
#include "App/support/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <functional>
#include <memory>

namespace {

class DigitEditTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureApp(); }

    // A box as the length dialogs make it: decimals or whole numbers, minus allowed or not.
    static std::unique_ptr<CDigitEdit> Box(bool integerOnly, int decimals, bool allowMinus = true)
    {
        auto edit = std::make_unique<CDigitEdit>();
        edit->SetIntegerOnly(integerOnly);
        edit->SetDecimals(decimals);
        edit->SetAllowMinus(allowMinus);
        return edit;
    }

    static void Type(QWidget* widget, const char* keys)
    {
        for (const char* key = keys; *key; ++key)
            QTest::keyClick(widget, *key);
    }
};

TEST_F(DigitEditTest, TypingKeepsOnlyTheAllowedDecimalsAndBeepsForTheRest)
{
    auto edit = Box(false, 2);
    QSignalSpy beeps(edit.get(), &CCustomizedEdit::refused);
    Type(edit.get(), "12.3456");
    EXPECT_EQ(edit->text(), QStringLiteral("12.34"));
    EXPECT_EQ(beeps.count(), 2);
    // Before the point digits still go in.
    edit->setCursorPosition(0);
    Type(edit.get(), "9");
    EXPECT_EQ(edit->text(), QStringLiteral("912.34"));
    // Replacing a selected decimal is no excess.
    edit->setSelection(5, 1);
    Type(edit.get(), "7");
    EXPECT_EQ(edit->text(), QStringLiteral("912.37"));
    EXPECT_EQ(beeps.count(), 2);
}

TEST_F(DigitEditTest, ASecondPointOnlyReplacesTheSelectedFirst)
{
    auto edit = Box(false, -1);
    QSignalSpy beeps(edit.get(), &CCustomizedEdit::refused);
    Type(edit.get(), "1.5.");
    EXPECT_EQ(edit->text(), QStringLiteral("1.5"));
    EXPECT_EQ(beeps.count(), 1);
    edit->setSelection(1, 2); // ".5"
    Type(edit.get(), ".");
    EXPECT_EQ(edit->text(), QStringLiteral("1."));
    EXPECT_EQ(beeps.count(), 1);

    auto whole = Box(true, -1);
    Type(whole.get(), "3.");
    EXPECT_EQ(whole->text(), QStringLiteral("3"));
}

TEST_F(DigitEditTest, APointLeavesNoMoreDecimalsThanAllowed)
{
    auto edit = Box(false, 2);
    Type(edit.get(), "1234");
    edit->setCursorPosition(1);
    Type(edit.get(), ".");
    EXPECT_EQ(edit->text(), QStringLiteral("1234"));
    edit->setCursorPosition(2);
    Type(edit.get(), ".");
    EXPECT_EQ(edit->text(), QStringLiteral("12.34"));
}

TEST_F(DigitEditTest, AMinusGoesOnlyFirstAndOnce)
{
    struct Case
    {
        const char* text;
        int selectionStart;
        int selectionLength;
        bool allowMinus;
        const char* expected;
    };
    const Case cases[] = {
        {"", 0, 0, true, "-"},    {"5", 0, 0, true, "-5"}, {"5", 1, 0, true, "5"},   {"-5", 0, 0, true, "-5"},
        {"-5", 0, 1, true, "-5"}, {"-5", 0, 2, true, "-"}, {"-5", 1, 0, true, "-5"}, {"", 0, 0, false, ""},
    };
    for (const Case& c : cases) {
        auto edit = Box(true, -1, c.allowMinus);
        edit->setText(QString::fromLatin1(c.text));
        if (c.selectionLength > 0)
            edit->setSelection(c.selectionStart, c.selectionLength);
        else
            edit->setCursorPosition(c.selectionStart);
        Type(edit.get(), "-");
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.expected)) << c.text << " at " << c.selectionStart;
    }
}

TEST_F(DigitEditTest, EveryPasteRouteFiltersThroughTheInsertion)
{
    // Each route delivers "a-1b2" into an empty integer box.
    const std::vector<std::pair<const char*, std::function<void(CDigitEdit&)>>> routes{
        {"keys", [](CDigitEdit& e) { QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier); }},
        {"shift-insert", [](CDigitEdit& e) { QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier); }},
        {"context menu",
         [](CDigitEdit& e) {
             std::unique_ptr<QMenu> menu(e.CreateContextMenu());
             QAction* paste = nullptr;
             for (QAction* action : menu->actions())
                 if (action->objectName() == QLatin1String("edit-paste"))
                     paste = action;
             ASSERT_NE(paste, nullptr);
             paste->trigger();
         }},
        {"drop",
         [](CDigitEdit& e) {
             QMimeData data;
             data.setText(QStringLiteral("a-1b2"));
             // A drop reaches the box that accepted the drag's entry.
             QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(&e, &enter);
             QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(&e, &drop);
         }},
        {"insertion", [](CDigitEdit& e) { e.InsertText("a-1b2"); }},
    };
    for (const auto& [name, deliver] : routes) {
        QGuiApplication::clipboard()->setText(QStringLiteral("a-1b2"));
        auto edit = Box(true, -1);
        edit->setAcceptDrops(true);
        QSignalSpy beeps(edit.get(), &CCustomizedEdit::refused);
        deliver(*edit);
        EXPECT_EQ(edit->text(), QStringLiteral("-12")) << name;
        EXPECT_EQ(edit->cursorPosition(), 3) << name;
        EXPECT_EQ(beeps.count(), 1) << name;
    }
}

TEST_F(DigitEditTest, InsertedTextKeepsWhatTypingWouldKeep)
{
    struct Case
    {
        const char* before;
        int caret;
        const char* inserted;
        bool integerOnly;
        int decimals;
        const char* expected;
        int caretAfter;
    };
    const Case cases[] = {
        {"", 0, "3.14159", false, 2, "3.14", 4},
        {"7", 1, "-5", true, -1, "75", 2},
        {"", 0, "1.2.3", false, -1, "1.23", 4},
        {"12", 1, "x", true, -1, "12", 1},
        {"", 0,
         "\xef\xbc\x91"
         "5",
         true, -1, "5", 1}, // a full-width one is skipped
    };
    for (const Case& c : cases) {
        auto edit = Box(c.integerOnly, c.decimals);
        edit->setText(QString::fromLatin1(c.before));
        edit->setCursorPosition(c.caret);
        edit->InsertText(c.inserted);
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.expected)) << c.inserted;
        EXPECT_EQ(edit->cursorPosition(), c.caretAfter) << c.inserted;
    }
}

TEST_F(DigitEditTest, AnInputMethodCommitGoesThroughTheInsertionOnce)
{
    auto digits = Box(true, -1);
    EXPECT_FALSE(digits->testAttribute(Qt::WA_InputMethodEnabled));
    QSignalSpy beeps(digits.get(), &CCustomizedEdit::refused);
    QInputMethodEvent wide;
    wide.setCommitString(QString::fromUtf8("\xef\xbc\x91\xef\xbc\x92")); // "１２"
    QApplication::sendEvent(digits.get(), &wide);
    EXPECT_EQ(digits->text(), QString());
    EXPECT_EQ(beeps.count(), 1);

    CCustomizedEdit plain;
    plain.setText(QStringLiteral("ab"));
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("\xe5\x86\x99\xe7\x9c\x9f")); // "写真"
    QApplication::sendEvent(&plain, &commit);
    EXPECT_EQ(plain.text(), QString::fromUtf8("ab\xe5\x86\x99\xe7\x9c\x9f"));
}

TEST_F(DigitEditTest, APastedTextStopsAtItsFirstLineBreak)
{
    CCustomizedEdit plain;
    QGuiApplication::clipboard()->setText(QStringLiteral("first\nsecond"));
    QTest::keyClick(&plain, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(plain.text(), QStringLiteral("first"));
}

TEST_F(DigitEditTest, ValidateClampsAndRewritesInItsFormat)
{
    struct Case
    {
        const char* text;
        bool integerOnly;
        int decimals;
        double minimum;
        double maximum;
        const char* expected;
    };
    const Case cases[] = {
        {"", true, -1, -10, 10, "0"},
        {"", true, -1, 5, 10, "5"},
        {"12.7", true, -1, -100, 100, "12"},
        {"-3.9", true, -1, -100, 100, "-3"},
        {"99", true, -1, 0, 50, "50"},
        {"1.23456", false, 3, 0, 100, "1.235"},
        {"2", false, 3, 0, 100, "2.000"},
        {"0.5", false, -1, 0, 100, "0.5"},
        {"1234567", false, -1, 0, 1e9, "1.23457e+06"},
        {".", false, 3, -1, 1, "0.000"},
        {"-", true, -1, -5, 5, "0"},
        {"7abc", true, -1, 0, 100, "7"},
    };
    for (const Case& c : cases) {
        auto edit = Box(c.integerOnly, c.decimals);
        edit->SetRange(c.minimum, c.maximum);
        edit->setText(QString::fromLatin1(c.text));
        edit->Validate();
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.expected)) << c.text;
    }
}

TEST_F(DigitEditTest, LeavingTheBoxOrEnterValidatesWhenAskedTo)
{
    auto edit = Box(true, -1);
    edit->SetRange(3, 8);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit.get(), &leave);
    EXPECT_EQ(edit->text(), QString()); // not asked to

    edit->SetValidateOnExit(true);
    QApplication::sendEvent(edit.get(), &leave);
    EXPECT_EQ(edit->text(), QStringLiteral("3"));
    edit->setText(QStringLiteral("12"));
    QTest::keyClick(edit.get(), Qt::Key_Return);
    EXPECT_EQ(edit->text(), QStringLiteral("8"));
    // A context menu opening is not leaving.
    edit->setText(QString());
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(edit.get(), &popup);
    EXPECT_EQ(edit->text(), QString());
}

TEST_F(DigitEditTest, AFullBoxMovesTheFocusOnAndSelectsTheNextBox)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new CDigitEdit(&window);
    auto* second = new CDigitEdit(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    first->setMaxLength(2);
    first->SetAutoAdvance(true);
    second->setText(QStringLiteral("345"));
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    Type(first, "1");
    EXPECT_TRUE(first->hasFocus());
    Type(first, "2");
    EXPECT_TRUE(second->hasFocus());
    EXPECT_EQ(second->selectedText(), QStringLiteral("345"));
}

TEST_F(DigitEditTest, NumbersAreReadAndWrittenAsTheCLibraryDoes)
{
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("  12.5mm"), 12.5);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("+3"), 3.0);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(".25"), 0.25);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("x1"), 0.0);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("1e-999"), 0.0);
    EXPECT_TRUE(std::isinf(ReadLeadingNumber("1e999")));
    EXPECT_EQ(FormatFixed(35.2777, 3), "35.278");
    EXPECT_EQ(FormatFixed(2000.4, 0), "2000");
    EXPECT_EQ(FormatGeneral(0.0001), "0.0001");
}

} // namespace
