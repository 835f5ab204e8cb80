#include "Dialogs/SelectSaveDialog.h"
#include "App/DocumentUi.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/ModalScript.h"
#include "Dialogs/WizardDocumentUi.h"
#include "Dialogs/support/SaveDialogFixture.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using Entries = std::vector<int>;

struct EntryCase
{
    const char* what;
    SaveFormatFacts facts;
    Entries expected;
};

SaveFormatFacts Facts(int mode, const char* path, bool camera, int visible, bool frame, int editable = 0,
                      bool inCommon = false)
{
    SaveFormatFacts facts;
    facts.mode = mode;
    facts.path = path;
    facts.camera = camera;
    facts.visibleItems = visible;
    facts.hasInsertFrame = frame;
    facts.editableFrameType = editable;
    facts.inCommonFolder = inCommon;
    return facts;
}

TEST(SaveFormatEntriesTest, OffersTheTargetsTheLayoutAndTheInstallationAllow)
{
    const EntryCase cases[] = {
        {"mode 0 never offers the own format", Facts(0, "/a/b.zvd", false, 1, false), {215, 216, 217, 219}},
        {"mode 0, a layout script", Facts(0, "/a/b.usd", false, 2, false), {215, 216, 217, 219}},
        {"a new empty photo layout", Facts(1, "", false, 0, false), {215}},
        {"an empty photo layout script", Facts(1, "/a/b.usd", false, 0, false), {215}},
        {"an empty document keeps its own format", Facts(1, "/a/b.ZVD", false, 0, false), {214, 215}},
        {"mode 1, a packaged file with items",
         Facts(1, "/a/b.fdp", false, 1, false),
         {214, 215, 216, 217, 219}},
        {"camera layouts only", Facts(0, "/a/b.usd", false, 3, false, 1), {215, 216, 219}},
        {"photo layouts only", Facts(0, "", true, 1, true, 2), {215, 216, 217, 219}},
        {"a camera layout of hidden frames", Facts(0, "", true, 0, true), {215, 216, 218, 217, 219}},
        {"its set index in mode 1", Facts(1, "/a/b.usm", true, 0, true), {214, 215, 216, 218, 217, 219}},
        {"a set index without a frame", Facts(1, "/a/b.usm", true, 0, false), {215}},
        {"a camera layout restricted to cameras", Facts(0, "", true, 0, true, 1), {215, 216, 218, 219}},
        {"a photo layout's hidden frame saves nothing", Facts(0, "", false, 0, true), {215}},
        {"the shared folder's file is not saved in place",
         Facts(1, "/a/b.zvd", false, 1, false, 0, true),
         {215, 216, 217, 219}},
        {"another ending", Facts(1, "/a/b.txt", false, 1, false), {215, 216, 217, 219}},
    };
    for (const EntryCase& test : cases)
        EXPECT_EQ(SaveFormatEntries(test.facts), test.expected) << test.what;
}

TEST(SaveFormatEntriesTest, DescriptionsFollowTheKindOfLayout)
{
    const int photo[] = {220, 221, 222, 223, 224, 225};
    const int camera[] = {220, 221, 248, 249, 224, 251};
    for (int entry = 214; entry <= 219; ++entry) {
        EXPECT_EQ(SaveFormatDescription(entry, false), photo[entry - 214]) << entry;
        EXPECT_EQ(SaveFormatDescription(entry, true), camera[entry - 214]) << entry;
    }
    EXPECT_EQ(SaveFormatDescription(-1, false), -1);
}

class ScriptedRunner : public ISaveDialogRunner
{
public:
    int RunPackagedSave(QWidget*) override { return Run(-1); }
    int RunRegist(int mode, QWidget*) override { return Run(mode); }

    int end = 1;
    std::vector<int> runs; // -1 the packaged save, else the registration's mode
    QWidget* dialog = nullptr;
    bool dialogVisibleDuringRun = false;

private:
    int Run(int what)
    {
        runs.push_back(what);
        dialogVisibleDuringRun = dialog && dialog->isVisible();
        return end;
    }
};

class SelectSaveDialogTest : public ::testing::Test
{
protected:
    // Runs the dialog, choosing the entry and pressing the button once it shows.
    int Run(CSelectSaveDialog& dialog, int entry, QPushButton* (CSelectSaveDialog::*button)() const)
    {
        runner.dialog = &dialog;
        modaltest::OnceRunning<CSelectSaveDialog>(dialog, [entry, button](CSelectSaveDialog& shown) {
            const int index = shown.FormatCombo()->findData(entry);
            if (index < 0) {
                shown.reject();
                return;
            }
            shown.FormatCombo()->setCurrentIndex(index);
            (shown.*button)()->click();
        });
        return dialog.DoModal();
    }

    SaveDialogFixture s;
    ScriptedRunner runner;
};

TEST_F(SelectSaveDialogTest, ModeZeroHidesNoAndTheEntriesComeFromTheDocument)
{
    // A camera layout whose one item, its insert-photo frame, is hidden.
    s.MakeCameraLayout(s.f.Work() + "/PARTY1_0.usm");
    CLayoutManager& layout = *s.Doc().GetLayoutManager();
    for (int i = 0; i < static_cast<int>(layout.GetItems().size()); ++i)
        layout.GetItemAt(i)->SetVisible(false);
    ASSERT_EQ(layout.GetItemCount(-1, 1, nullptr), 0);

    CSelectSaveDialog zero(s.shell, 0, nullptr, &runner);
    zero.show();
    EXPECT_FALSE(zero.NoButton()->isVisible());
    EXPECT_EQ(zero.Entries(), (Entries{215, 216, 218, 217, 219}));

    CSelectSaveDialog one(s.shell, 1, nullptr, &runner);
    one.show();
    EXPECT_TRUE(one.NoButton()->isVisible());
    EXPECT_EQ(one.Entries(), (Entries{214, 215, 216, 218, 217, 219}));
    // A camera layout's packaged file has its own description.
    one.FormatCombo()->setCurrentIndex(one.FormatCombo()->findData(216));
    EXPECT_EQ(one.DescriptionEdit()->toPlainText(), ShippedCaption(248));
    one.FormatCombo()->setCurrentIndex(0);
    EXPECT_EQ(one.DescriptionEdit()->toPlainText(), ShippedCaption(220));

    // A mode above 1 is mode 0.
    CSelectSaveDialog three(s.shell, 3, nullptr, &runner);
    EXPECT_EQ(three.Mode(), 0);
}

TEST_F(SelectSaveDialogTest, TheOwnFormatOfADocumentSavesWithoutTheSavabilityChecks)
{
    // An empty title would open the header dialog if the checks ran.
    const std::string zvd = s.f.MakeFile("lay.zvd");
    s.Doc().SetPathName(zvd);
    s.Doc().SetModifiedFlag(1);
    CSelectSaveDialog dialog(s.shell, 1, nullptr, &runner);
    EXPECT_EQ(Run(dialog, 214, &CSelectSaveDialog::YesButton), kSaveDialogSaved);
    EXPECT_EQ(s.f.ui.headerDialogRuns, 0);
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save zvd " + zvd});
    EXPECT_FALSE(s.Doc().IsModified());
}

TEST_F(SelectSaveDialogTest, AFailedWriteOfTheOwnFormatIsNotSaved)
{
    s.MakePhotoLayout(s.f.MakeFile("lay.usd"));
    s.Doc().SetModifiedFlag(1);
    s.f.kinds.saveResult = 1;
    CSelectSaveDialog dialog(s.shell, 1, nullptr, &runner);
    EXPECT_EQ(Run(dialog, 214, &CSelectSaveDialog::YesButton), kSaveDialogCancel);
    EXPECT_EQ(s.Saves().size(), 1u);
    EXPECT_EQ(s.f.MessageIds(), std::vector<int>{23});
    EXPECT_TRUE(s.Doc().IsModified());
}

TEST_F(SelectSaveDialogTest, NoAndCancelEndWithoutSaving)
{
    s.MakePhotoLayout();
    CSelectSaveDialog no(s.shell, 1, nullptr, &runner);
    EXPECT_EQ(Run(no, 215, &CSelectSaveDialog::NoButton), kSaveDialogNoSave);
    CSelectSaveDialog cancel(s.shell, 1, nullptr, &runner);
    EXPECT_EQ(Run(cancel, 215, &CSelectSaveDialog::CancelButton), kSaveDialogCancel);
    EXPECT_TRUE(s.Saves().empty());
    EXPECT_TRUE(runner.runs.empty());
}

TEST_F(SelectSaveDialogTest, TheNestedDialogsRunWithThisOneClosedAndOnlyTheirWriteCountsAsSaved)
{
    struct Case
    {
        int entry;
        int nestedEnd;
        int expectedRun;
        int expectedEnd;
    };
    const Case cases[] = {
        {216, 1, -1, kSaveDialogSaved}, {216, 2, -1, kSaveDialogCancel}, {217, 1, 0, kSaveDialogSaved},
        {217, 2, 0, kSaveDialogCancel}, {218, 1, 2, kSaveDialogSaved},   {218, -1, 2, kSaveDialogCancel},
        {219, 1, 1, kSaveDialogSaved},  {219, -1, 1, kSaveDialogCancel}, {219, 2, 1, kSaveDialogCancel},
    };
    s.MakeCameraLayout();
    for (const Case& test : cases) {
        runner.runs.clear();
        runner.end = test.nestedEnd;
        CSelectSaveDialog dialog(s.shell, 1, nullptr, &runner);
        EXPECT_EQ(Run(dialog, test.entry, &CSelectSaveDialog::YesButton), test.expectedEnd)
            << test.entry << " " << test.nestedEnd;
        EXPECT_EQ(runner.runs, std::vector<int>{test.expectedRun}) << test.entry;
        EXPECT_FALSE(runner.dialogVisibleDuringRun) << test.entry;
    }
}

TEST_F(SelectSaveDialogTest, ALayoutThatCannotBeSavedOpensNoNestedDialog)
{
    // An empty title whose header dialog is cancelled.
    s.MakePhotoLayout();
    s.Doc().SetTitle("");
    s.f.ui.headerDialogAccepts = false;
    for (const int entry : {216, 217, 219}) {
        CSelectSaveDialog dialog(s.shell, 1, nullptr, &runner);
        EXPECT_EQ(Run(dialog, entry, &CSelectSaveDialog::YesButton), kSaveDialogCancel) << entry;
    }
    EXPECT_EQ(s.f.ui.headerDialogRuns, 3);
    EXPECT_TRUE(runner.runs.empty());
}

TEST_F(SelectSaveDialogTest, TheEditorDocumentAsksForItsFileAfterTheDialogClosed)
{
    s.MakePhotoLayout();
    s.f.ui.chosenPaths = {s.f.Work() + "/new.zvd"};
    CSelectSaveDialog saved(s.shell, 1, nullptr, &runner);
    EXPECT_EQ(Run(saved, 215, &CSelectSaveDialog::YesButton), kSaveDialogSaved);
    EXPECT_EQ(s.Saves(), std::vector<std::string>{"save zvd " + s.f.Work() + "/new.zvd"});
    EXPECT_EQ(s.Doc().GetPathName(), s.f.Work() + "/new.zvd");

    // The file dialog cancelled: not saved.
    CSelectSaveDialog cancelled(s.shell, 1, nullptr, &runner);
    EXPECT_EQ(Run(cancelled, 215, &CSelectSaveDialog::YesButton), kSaveDialogCancel);
    EXPECT_EQ(s.Saves().size(), 1u);
}

TEST_F(SelectSaveDialogTest, TheDocumentsSaveQuestionIsThisDialogInTheAskedMode)
{
    s.MakePhotoLayout();
    WizardDocumentUi documentUi(s.shell);
    for (const int mode : {0, 1}) {
        int shownMode = -1;
        modaltest::OnNextModal<CSelectSaveDialog>([&shownMode](CSelectSaveDialog& modal) {
            auto* dialog = &modal;
            shownMode = dialog->Mode();
            dialog->CancelButton()->click();
        });
        EXPECT_EQ(documentUi.RunSelectSaveDialog(s.Doc(), nullptr, mode), kSaveDialogCancel);
        EXPECT_EQ(shownMode, mode);
    }
}

} // namespace
