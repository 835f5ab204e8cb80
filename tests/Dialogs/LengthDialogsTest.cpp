#include "App/ZAVEditorDoc.h"
#include "App/support/ModalScript.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/DigitEdit.h"
#include "Dialogs/SetGridDialog.h"
#include "Dialogs/SetLineDialog.h"
#include "Dialogs/SetRollPaperDialog.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {

class LengthDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        shell.localizeIniPath = ShippedIniPath();
    }

    // Types into the box as the user would replace its text.
    static void Enter(QLineEdit* edit, const char* text)
    {
        edit->selectAll();
        edit->del();
        dynamic_cast<CCustomizedEdit*>(edit)->InsertText(text);
    }

    FakeDialogShell shell;
};

TEST_F(LengthDialogsTest, AnEmptyGridOpensAt64InTheUnitsLabel)
{
    struct Case
    {
        int unit;
        const char* shown;
        int labelText;
    };
    const Case cases[] = {{0, "64", 104}, {1, "4.516", 199}, {2, "0.178", 200}};
    for (const Case& c : cases) {
        shell.settings.SetUnit(c.unit);
        CSetGridDialog dialog(shell);
        dialog.SetGrid(GridSettings{0, 0, true, false});
        dialog.show();
        EXPECT_EQ(dialog.WidthEdit()->text(), QString::fromLatin1(c.shown)) << c.unit;
        EXPECT_EQ(dialog.HeightEdit()->text(), QString::fromLatin1(c.shown)) << c.unit;
        EXPECT_TRUE(dialog.ShowBox()->isChecked());
        EXPECT_FALSE(dialog.SnapBox()->isChecked());
        EXPECT_TRUE(dialog.OkButton()->isEnabled());
        std::string label;
        bool found = false;
        for (QLabel* l : dialog.findChildren<QLabel*>())
            found |= l->text().toStdString() == LocalizedText(shell, c.labelText);
        EXPECT_TRUE(found) << c.unit;
        EXPECT_EQ(dialog.GetGrid().stepX, 64);
        EXPECT_EQ(dialog.GetGrid().stepY, 64);
    }
}

TEST_F(LengthDialogsTest, GridLengthsAreCheckedOnOkInTheirUnit)
{
    struct Case
    {
        int unit;
        const char* typed;
        bool accepted;
        int stored;
        const char* lower;
        const char* upper;
    };
    const Case cases[] = {
        {1, "0.036", true, 1, "", ""},
        {1, "18.097", true, 256, "", ""},
        {1, "18.1", false, 0, "0.036", "18.097"},
        {1, "0.03", false, 0, "0.036", "18.097"},
        {0, "256", true, 256, "", ""},
        {0, "257", false, 0, "1", "256"},
        {2, "0.712", true, 256, "", ""},
        {2, "0.713", false, 0, "0.002", "0.712"},
    };
    for (const Case& c : cases) {
        shell.settings.SetUnit(c.unit);
        shell.textMessages.clear();
        CSetGridDialog dialog(shell);
        dialog.SetGrid(GridSettings{20, 30, false, false});
        dialog.show();
        Enter(dialog.WidthEdit(), c.typed);
        dialog.SnapBox()->setChecked(true);
        dialog.OkButton()->click();
        EXPECT_EQ(ClosedWithOk(dialog), c.accepted) << c.typed;
        if (c.accepted) {
            EXPECT_TRUE(shell.textMessages.empty()) << c.typed;
            EXPECT_EQ(dialog.GetGrid().stepX, c.stored) << c.typed;
            EXPECT_EQ(dialog.GetGrid().stepY, 30) << c.typed;
            EXPECT_TRUE(dialog.GetGrid().snap);
        } else {
            ASSERT_EQ(shell.textMessages.size(), 1u) << c.typed;
            EXPECT_EQ(shell.textMessages[0].first, RangeText(c.lower, c.upper)) << c.typed;
            EXPECT_EQ(shell.textMessages[0].second, MB_ICONSTOP);
            EXPECT_TRUE(dialog.isVisible()) << c.typed;
        }
    }
}

TEST_F(LengthDialogsTest, GridOkWaitsForTwoLengthsAboveZero)
{
    shell.settings.SetUnit(1);
    CSetGridDialog dialog(shell);
    dialog.show();
    for (const char* typed : {"0", "", "-2", "0.000"}) {
        Enter(dialog.HeightEdit(), typed);
        EXPECT_FALSE(dialog.OkButton()->isEnabled()) << typed;
    }
    Enter(dialog.HeightEdit(), "0.5");
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
}

TEST_F(LengthDialogsTest, TheGridCommandStoresTheFourValuesOnOkOnly)
{
    CLayoutManager manager;
    manager.SetGrid(GridSettings{10, 12, false, true});
    shell.settings.SetUnit(0);
    const auto answer = [](bool ok, const char* width) {
        modaltest::OnNextModal<CSetGridDialog>([ok, width](CSetGridDialog& modal) {
            auto* dialog = &modal;
            Enter(dialog->WidthEdit(), width);
            dialog->ShowBox()->setChecked(true);
            (ok ? dialog->OkButton() : dialog->CancelButton())->click();
        });
    };
    answer(false, "99");
    EXPECT_FALSE(RunGridDialog(shell, manager));
    EXPECT_EQ(manager.GetGrid().stepX, 10);
    answer(true, "99");
    EXPECT_TRUE(RunGridDialog(shell, manager));
    const GridSettings grid = manager.GetGrid();
    EXPECT_EQ(grid.stepX, 99);
    EXPECT_EQ(grid.stepY, 12);
    EXPECT_TRUE(grid.shown);
    EXPECT_TRUE(grid.snap);
}

TEST_F(LengthDialogsTest, LineWidthIsRefusedOutOfRange)
{
    CSetLineDialog dialog(shell);
    dialog.SetLineWidth(0);
    dialog.show();
    EXPECT_EQ(dialog.WidthEdit()->text(), QStringLiteral("1"));
    EXPECT_EQ(dialog.WidthEdit()->maxLength(), 3);
    Enter(dialog.WidthEdit(), "-4");
    EXPECT_EQ(dialog.WidthEdit()->text(), QStringLiteral("4"));
    Enter(dialog.WidthEdit(), "0");
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    Enter(dialog.WidthEdit(), "257");
    dialog.OkButton()->click();
    ASSERT_EQ(shell.textMessages.size(), 1u);
    EXPECT_EQ(shell.textMessages[0].first, RangeText("1", "256"));
    EXPECT_TRUE(dialog.isVisible());
    Enter(dialog.WidthEdit(), "256");
    dialog.OkButton()->click();
    EXPECT_TRUE(ClosedWithOk(dialog));
    EXPECT_EQ(dialog.GetLineWidth(), 256);
}

TEST_F(LengthDialogsTest, AWidthThatPushesASelectedLineOffThePrintableAreaKeepsTheDialogOpen)
{
    StartedApp app;
    CLayoutManager& manager = *app.Document().GetLayoutManager();
    const RECT printable = manager.GetPrintableRect();
    auto line = std::make_unique<CLineItem>();
    const int y = printable.top + 8; // up to 4 points the line stays inside
    line->SetRect(RECT{printable.left + 100, y, printable.left + 400, y});
    line->SetWidth(5);
    line->SetSelected(true);
    CLineItem* raw = line.get();
    ASSERT_TRUE(manager.AddItem(-1, std::move(line)));

    CSetLineDialog dialog(app.shell);
    dialog.SetLineWidth(1);
    dialog.show();
    Enter(dialog.WidthEdit(), "5");
    dialog.OkButton()->click();
    ASSERT_EQ(app.shell.messages.size(), 1u);
    EXPECT_EQ(app.shell.messages[0], std::make_pair(160, MB_ICONSTOP));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(raw->GetWidth(false, 1.0f), 5); // the dialog only checks

    Enter(dialog.WidthEdit(), "4");
    dialog.OkButton()->click();
    ASSERT_TRUE(ClosedWithOk(dialog));

    // What the view's Other-width command then does, once, with one undo record.
    ItemDefaults defaults = manager.GetItemDefaults();
    defaults.lineWidth = dialog.GetLineWidth() * 5;
    manager.SetItemDefaults(defaults);
    manager.ChangeSelectedLines(true, false);
    EXPECT_EQ(raw->GetWidth(false, 1.0f), 20);
    manager.Undo();
    EXPECT_EQ(raw->GetWidth(false, 1.0f), 5);
}

TEST_F(LengthDialogsTest, RollPaperLimitsAreKeptWithinTheRollsRange)
{
    CSetRollPaperDialog dialog(shell);
    EXPECT_EQ(dialog.SetLimits(100, 20000), 1);
    EXPECT_EQ(dialog.GetLowerLimit(), 500);
    EXPECT_EQ(dialog.GetUpperLimit(), 15840);
    dialog.SetLimits(2001, 9000);
    EXPECT_EQ(dialog.GetLowerLimit(), 2001);
    EXPECT_EQ(dialog.GetUpperLimit(), 9000);
    dialog.SetLength(3600);
    EXPECT_FLOAT_EQ(dialog.GetLengthInUnit(-1, true), 3600.0f);
    EXPECT_FLOAT_EQ(dialog.GetLengthInUnit(1, false), 254.0f);
    EXPECT_FLOAT_EQ(dialog.GetLengthInUnit(2, false), 10.0f);
    shell.settings.SetUnit(2);
    CSetRollPaperDialog shown(shell);
    shown.SetLength(3600);
    shown.show();
    EXPECT_EQ(shown.LengthEdit()->text(), QStringLiteral("10.000"));
    EXPECT_EQ(shown.Slider()->value(), 3600);
    Enter(shown.LengthEdit(), "5");
    EXPECT_FLOAT_EQ(shown.GetLengthInUnit(-1, true), 1800.0f);
    EXPECT_EQ(shown.Slider()->value(), 1800);
}

TEST_F(LengthDialogsTest, RollPaperStepsClampAtTheRollsEnds)
{
    struct Case
    {
        int unit;
        int length;
        QAbstractSlider::SliderAction action;
        const char* shown;
    };
    using A = QAbstractSlider;
    const Case cases[] = {
        {0, 600, A::SliderPageStepSub, "500"},      {0, 500, A::SliderSingleStepSub, "500"},
        {0, 15800, A::SliderPageStepAdd, "15840"},  {0, 1000, A::SliderSingleStepAdd, "1010"},
        {1, 500, A::SliderSingleStepSub, "35.278"}, {1, 15840, A::SliderPageStepAdd, "1117.600"},
        {2, 500, A::SliderPageStepSub, "1.389"},    {2, 15840, A::SliderSingleStepAdd, "44.000"},
        {2, 3600, A::SliderPageStepAdd, "11.000"},  {1, 3600, A::SliderPageStepSub, "244.000"},
    };
    for (const Case& c : cases) {
        shell.settings.SetUnit(c.unit);
        CSetRollPaperDialog dialog(shell);
        dialog.SetLength(c.length);
        dialog.show();
        dialog.Slider()->triggerAction(c.action);
        EXPECT_EQ(dialog.LengthEdit()->text(), QString::fromLatin1(c.shown)) << c.unit << " " << c.length;
        // The slider follows the box.
        EXPECT_EQ(dialog.Slider()->value(),
                  std::clamp(UnitToLayout(ReadLeadingNumber(c.shown), c.unit), 500, 15840));
    }
}

TEST_F(LengthDialogsTest, RollPaperStepsKeepOnlyThreeTypedDecimals)
{
    struct Case
    {
        int unit;
        const char* typed;
        QAbstractSlider::SliderAction action;
        const char* shown;
    };
    using A = QAbstractSlider;
    const Case cases[] = {
        {1, "100.5", A::SliderSingleStepAdd, "101.500"}, {1, "100.523", A::SliderSingleStepAdd, "101.523"},
        {1, "100.523", A::SliderPageStepSub, "90.523"},  {2, "3.25", A::SliderSingleStepSub, "3.150"},
        {1, "36.123", A::SliderSingleStepSub, "35.278"}, // at the bound the typed digits would pass it
    };
    for (const Case& c : cases) {
        shell.settings.SetUnit(c.unit);
        CSetRollPaperDialog dialog(shell);
        dialog.SetLength(2000);
        dialog.show();
        Enter(dialog.LengthEdit(), c.typed);
        dialog.Slider()->triggerAction(c.action);
        EXPECT_EQ(dialog.LengthEdit()->text(), QString::fromLatin1(c.shown)) << c.typed;
    }
}

TEST_F(LengthDialogsTest, RollPaperThumbAndReleaseFollowTheirCodes)
{
    shell.settings.SetUnit(1);
    CSetRollPaperDialog dialog(shell);
    dialog.SetLength(1000);
    dialog.show();
    dialog.Slider()->setSliderDown(true);
    dialog.Slider()->setSliderPosition(3600);
    EXPECT_EQ(dialog.LengthEdit()->text(), QStringLiteral("254.000"));
    Enter(dialog.LengthEdit(), "20");
    dialog.Slider()->setSliderDown(false); // the end of scrolling: the typed number, clamped
    EXPECT_EQ(dialog.LengthEdit()->text(), QStringLiteral("35.278"));
    EXPECT_EQ(dialog.GetLengthInUnit(-1, false), 500.0f);
}

TEST_F(LengthDialogsTest, RollPaperOkRefusesALengthBelowTheLowestItem)
{
    struct Case
    {
        int unit;
        const char* typed;
        bool accepted;
        int length;
        const char* lower;
        const char* upper;
    };
    const Case cases[] = {
        {0, "2000", false, 0, "2001", "15840"},  {0, "2001", true, 2001, "", ""},
        {0, "15841", false, 0, "2001", "15840"}, {1, "141.18", false, 0, "141.182", "1117.600"},
        {1, "141.182", true, 2001, "", ""},      {2, "44.001", false, 0, "5.558", "44.000"},
        {2, "44", true, 15840, "", ""},
    };
    for (const Case& c : cases) {
        shell.settings.SetUnit(c.unit);
        shell.textMessages.clear();
        CSetRollPaperDialog dialog(shell);
        dialog.SetLimits(2001, 15840);
        dialog.SetLength(3000);
        dialog.show();
        Enter(dialog.LengthEdit(), c.typed);
        dialog.OkButton()->click();
        EXPECT_EQ(ClosedWithOk(dialog), c.accepted) << c.typed;
        if (c.accepted) {
            EXPECT_EQ(dialog.GetLength(), c.length) << c.typed;
        } else {
            ASSERT_EQ(shell.textMessages.size(), 1u) << c.typed;
            EXPECT_EQ(shell.textMessages[0].first, RangeText(c.lower, c.upper)) << c.typed;
        }
    }
}

TEST(RangeTextTest, OnlyTheFirstTwoPlaceholdersAreFilledAndNothingIsAFormat)
{
    EXPECT_EQ(FormatRangeText("from %s to %s (%s %d%%)", "1", "256"), "from 1 to 256 (%s %d%%)");
    EXPECT_EQ(FormatRangeText("none", "1", "2"), "none");
    EXPECT_EQ(FormatRangeText("%s only", "%s", "x"), "%s only");
}

} // namespace
