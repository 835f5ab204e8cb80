#include "Dialogs/ProgressDialog.h"
#include "Dialogs/DialogsUi.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "Platform/WidgetMeasures.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

namespace {

class ProgressDialogTest : public ::testing::Test
{
protected:
    ProgressDialogTest()
    {
        EnsureApp();
        shell.localizeIniPath = ShippedIniPath();
        ownerWindow = std::make_unique<QWidget>();
        ownerWindow->setGeometry(200, 150, 800, 600);
        ownerWindow->show();
    }

    FakeDialogShell shell;
    std::unique_ptr<QWidget> ownerWindow;
};

TEST_F(ProgressDialogTest, TheBlurProgressIsThisDialogShownAtOnceAndClosedWhenReleased)
{
    auto progress = CreateFilterProgress(shell, ownerWindow.get());
    auto* dialog = ownerWindow->findChild<CProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(static_cast<IFilterProgress*>(dialog), progress.get());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    progress->SetPos(40);
    EXPECT_EQ(dialog->Bar()->value(), 40);
    progress.reset();
    EXPECT_EQ(ownerWindow->findChild<CProgressDialog*>(), nullptr);
}

TEST_F(ProgressDialogTest, TheBarRunsFromZeroToAHundredAndAHundredFillsIt)
{
    CProgressDialog dialog(shell);
    dialog.Create(ownerWindow.get());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.Bar()->minimum(), 0);
    EXPECT_EQ(dialog.Bar()->maximum(), 100);
    EXPECT_EQ(dialog.Bar()->value(), 0);
    IFilterProgress& progress = dialog;
    progress.SetText("blurring");
    progress.SetPos(50);
    EXPECT_EQ(dialog.Bar()->value(), 50);
    progress.SetPos(100);
    EXPECT_EQ(dialog.Bar()->value(), dialog.Bar()->maximum());
    EXPECT_EQ(dialog.TextLabel()->text(), QStringLiteral("blurring"));
    // The size the localisation gives it.
    EXPECT_EQ(dialog.size(), QSize(347, 65));
}

TEST_F(ProgressDialogTest, CreateCentresOnItsOwnerOnly)
{
    CProgressDialog centred(shell);
    centred.Create(ownerWindow.get());
    EXPECT_EQ(centred.frameGeometry().topLeft(), CalcCenteredWindowPos(&centred, ownerWindow.get()));

    CProgressDialog alone(shell);
    alone.move(13, 17);
    alone.Create(nullptr);
    EXPECT_EQ(alone.pos(), QPoint(13, 17));
}

TEST_F(ProgressDialogTest, TheWaitNoticeIsLocalisedAndCentredOnItsOwner)
{
    CWaitPrintSettingDialog dialog(shell, ownerWindow.get());
    dialog.show();
    EXPECT_FALSE(dialog.isModal());
    EXPECT_FALSE(dialog.TextLabel()->text().isEmpty());
    EXPECT_EQ(dialog.frameGeometry().topLeft(), CalcCenteredWindowPos(&dialog, ownerWindow.get()));
}

TEST_F(ProgressDialogTest, PrintGetsTheWaitNoticeFromTheDialogLibrary)
{
    DialogsUi ui(shell);
    std::unique_ptr<QWidget> notice = ui.CreateWaitPrintSettingDialog(ownerWindow.get());
    ASSERT_NE(qobject_cast<CWaitPrintSettingDialog*>(notice.get()), nullptr);
    EXPECT_EQ(notice->parentWidget(), ownerWindow.get());
}

} // namespace
