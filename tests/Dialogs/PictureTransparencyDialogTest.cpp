// The transparency dialog: its settings in and out (also on Cancel), the
// mode switch with its two ratios, the camera document, the remembered zoom,
// the keys it translates during a gesture, and a run through the layout
// model that writes the mask under one undo record.
#include "Dialogs/PictureTransparencyDialog.h"
#include "App/AppSettings.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/ModalScript.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/SetImageInfoDialog.h"
#include "Dialogs/TransparencyDrawingView.h"
#include "Dialogs/support/PictureRangeSupport.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "Dialogs/support/TransparencySupport.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/UndoInfo.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

int Zero(int, int)
{
    return 0;
}

class PictureTransparencyDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { CPictureTransparencyDialog::ForgetLastPicture(); }
    void TearDown() override
    {
        CPictureTransparencyDialog::ForgetLastPicture();
        app.Document().SetDSCLayout(0);
    }

    std::unique_ptr<CBackgroundImageFrameItem> Item(const std::string& name = "picture.bmp", int w = 400,
                                                    int h = 300)
    {
        return MakeAlphaItem(app.TempFolder(), name, w, h, Zero);
    }

    // Runs the dialog on the item; the script acts on it once it runs and must end it.
    int Run(CImageFrameItem* item, const std::function<void(CPictureTransparencyDialog&)>& script)
    {
        CPictureTransparencyDialog dialog(app.shell);
        modaltest::OnceRunning<CPictureTransparencyDialog>(dialog, script);
        return dialog.DoModalForItem(item);
    }

    static QPoint At(const CTransparencyPictureView& view, int x, int y)
    {
        const POINT p = view.PictureToClient(POINT{x, y}, true, true);
        return QPoint(p.x, p.y);
    }

    StartedApp app;
};

} // namespace

TEST_F(PictureTransparencyDialogTest, TheStoredCancelModeOpensAtItsRatioAndTheSwitchTradesTheTwoRatios)
{
    AppSettings& settings = app.shell.Settings();
    settings.SetSetTransparency(1);
    settings.SetCancelTransparencyRatio(20);
    settings.SetSetTransparencyRatio(90);
    settings.SetGaussianRatio(35);
    for (int text : {5, 188, 189, 190})
        ASSERT_FALSE(LocalizedText(app.shell, text).empty()) << text;
    auto item = Item();
    const int result = Run(item.get(), [&](CPictureTransparencyDialog& dialog) {
        QSlider* ratio = dialog.Slider(CPictureTransparencyDialog::kRatioSliderId);
        QToolButton* mode = dialog.Button(CPictureTransparencyDialog::kModeButtonId);
        EXPECT_TRUE(mode->isChecked());
        EXPECT_EQ(ratio->value(), 20);
        EXPECT_EQ(dialog.View()->GetMode(), 1);
        EXPECT_EQ(dialog.View()->GetTransparencyLevel(), 20);
        EXPECT_EQ(dialog.View()->GetBlurAmount(), 35);
        EXPECT_EQ(dialog.ToolTipFor(CPictureTransparencyDialog::kModeButtonId).toStdString(),
                  LocalizedText(app.shell, 189));
        EXPECT_EQ(dialog.Label(CPictureTransparencyDialog::kRatioLabelId)->text().toStdString(),
                  LocalizedText(app.shell, 190));
        EXPECT_EQ(ratio->maximum(), 100);
        EXPECT_EQ(ratio->pageStep(), 10);
        EXPECT_EQ(ratio->tickInterval(), 10);

        mode->click();
        EXPECT_EQ(ratio->value(), 90);
        EXPECT_EQ(settings.GetCancelTransparencyRatio(), 20);
        EXPECT_EQ(dialog.View()->GetMode(), 0);
        EXPECT_EQ(dialog.View()->GetTransparencyLevel(), 90);
        EXPECT_EQ(dialog.ToolTipFor(CPictureTransparencyDialog::kModeButtonId).toStdString(),
                  LocalizedText(app.shell, 188));
        EXPECT_EQ(dialog.Label(CPictureTransparencyDialog::kRatioLabelId)->text().toStdString(),
                  LocalizedText(app.shell, 5));
        EXPECT_TRUE(dialog.ToolTipFor(1).isEmpty());
        EXPECT_TRUE(dialog.ToolTipFor(CPictureTransparencyDialog::kBlurSliderId).isEmpty());

        // The sliders reach the view at every move; Cancel still stores them.
        ratio->setValue(70);
        EXPECT_EQ(dialog.View()->GetTransparencyLevel(), 70);
        dialog.Slider(CPictureTransparencyDialog::kBlurSliderId)->setValue(12);
        EXPECT_EQ(dialog.View()->GetBlurAmount(), 12);
        dialog.CancelButton()->click();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(settings.GetSetTransparency(), 0);
    EXPECT_EQ(settings.GetSetTransparencyRatio(), 70);
    EXPECT_EQ(settings.GetCancelTransparencyRatio(), 20);
    EXPECT_EQ(settings.GetGaussianRatio(), 12);
}

TEST_F(PictureTransparencyDialogTest, ACameraDocumentDisablesTheRatioAndAPlainRunGivesThree)
{
    app.Document().SetDSCLayout(1);
    auto item = Item();
    Run(item.get(), [](CPictureTransparencyDialog& dialog) {
        EXPECT_FALSE(dialog.Slider(CPictureTransparencyDialog::kRatioSliderId)->isEnabled());
        EXPECT_FALSE(dialog.Label(CPictureTransparencyDialog::kRatioLabelId)->isEnabled());
        EXPECT_FALSE(dialog.Label(1519)->isEnabled());
        EXPECT_FALSE(dialog.Label(1520)->isEnabled());
        EXPECT_TRUE(dialog.Slider(CPictureTransparencyDialog::kBlurSliderId)->isEnabled());
        dialog.CancelButton()->click();
    });
    CPictureTransparencyDialog plain(app.shell);
    EXPECT_EQ(plain.exec(), 3);
    EXPECT_EQ(plain.DoModalForItem(nullptr), 3);
    CBackgroundImageFrameItem empty;
    EXPECT_EQ(plain.DoModalForItem(&empty), 3);
}

TEST_F(PictureTransparencyDialogTest, ReopeningOnTheSamePictureStartsAtTheLastZoom)
{
    auto item = Item("same.bmp");
    Run(item.get(), [](CPictureTransparencyDialog& dialog) {
        dialog.View()->SetZoom(400, 10, 10);
        dialog.CancelButton()->click();
    });
    EXPECT_EQ(CPictureTransparencyDialog::LastZoom(), 400);
    int zoom = 0;
    Run(item.get(), [&](CPictureTransparencyDialog& dialog) {
        zoom = dialog.View()->GetZoom();
        dialog.CancelButton()->click();
    });
    EXPECT_EQ(zoom, 400);
    auto other = Item("other.bmp");
    Run(other.get(), [&](CPictureTransparencyDialog& dialog) {
        zoom = dialog.View()->GetZoom();
        dialog.CancelButton()->click();
    });
    EXPECT_NE(zoom, 400);
}

TEST_F(PictureTransparencyDialogTest, ControlZUndoesAndDuringAGestureIsSwallowedWhileEscapeCancels)
{
    auto item = Item();
    Run(item.get(), [&](CPictureTransparencyDialog& dialog) {
        CTransparencyDrawingView* view = dialog.View();
        view->SetZoom(100, 0, 0);
        dialog.Slider(CPictureTransparencyDialog::kBlurSliderId)->setValue(0);
        view->SaveUndo();
        view->ApplyTransparencyTool(RECT{10, 10, 60, 60});
        ASSERT_EQ(MaskByteAt(view->Picture(), 20, 20), 255);
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(MaskByteAt(view->Picture(), 20, 20), 0);
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(MaskByteAt(view->Picture(), 20, 20), 255);

        dialog.Button(1002)->click();
        EXPECT_EQ(view->GetTool(), CTransparencyPictureView::ToolPolygon);
        for (auto [x, y] : {std::pair{100, 100}, {200, 100}, {100, 200}})
            QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, At(*view, x, y));
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(MaskByteAt(view->Picture(), 20, 20), 255);
        EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputPolygon);
        QTest::keyClick(view, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputIdle);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        EXPECT_EQ(MaskByteAt(view->Picture(), 120, 120), 0);

        // Escape ends a stroke too, and a right press during a stroke cancels it.
        dialog.Button(1011)->click();
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, At(*view, 150, 150));
        QTest::mouseMove(view, At(*view, 250, 150));
        QTest::keyClick(view, Qt::Key_Escape);
        EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputIdle);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, At(*view, 250, 150));
        EXPECT_EQ(MaskByteAt(view->Picture(), 200, 150), 0);
        EXPECT_TRUE(dialog.isVisible());

        dialog.Button(1011)->click();
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, At(*view, 150, 150));
        QTest::mouseMove(view, At(*view, 250, 150));
        QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, At(*view, 250, 150));
        EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputIdle);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, At(*view, 250, 150));
        EXPECT_EQ(MaskByteAt(view->Picture(), 200, 150), 0);

        // The rectangle is still the shape the undo takes away.
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(MaskByteAt(view->Picture(), 20, 20), 0);
        dialog.CancelButton()->click();
    });
}

TEST_F(PictureTransparencyDialogTest, TheWheelScrollsThePictureButNotDuringAGesture)
{
    auto item = Item("large.bmp", 1600, 1600);
    Run(item.get(), [&](CPictureTransparencyDialog& dialog) {
        CTransparencyDrawingView* view = dialog.View();
        view->SetZoom(100, 0, 0);
        const auto wheel = [&] {
            QWheelEvent event(QPointF(5, 5), dialog.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&dialog, &event);
        };
        dialog.Button(1002)->click();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
        wheel();
        EXPECT_EQ(view->Geometry().GetScrollOrigin().y, 0);
        QTest::keyClick(view, Qt::Key_Escape);
        wheel();
        EXPECT_GT(view->Geometry().GetScrollOrigin().y, 0);
        dialog.CancelButton()->click();
    });
}

// Through the layout model: the ellipse dragged over a background's picture and OK.
TEST_F(PictureTransparencyDialogTest, EditTransparencyWritesTheMaskUnderOneUndoRecord)
{
    CLayoutManager* layout = app.Document().GetLayoutManager();
    ASSERT_NE(layout, nullptr);
    auto owned = Item("background.bmp", 400, 300);
    CBackgroundImageFrameItem* background = owned.get();
    const std::string working = background->GetImageFileName2();
    ASSERT_TRUE(layout->AddItem(0, std::move(owned)));
    background->SetSelected(true);
    layout->DeletePendingUndo();

    DialogsLayoutDialogs dialogs(app.shell, nullptr);
    SetLayoutDialogs(&dialogs);
    modaltest::OnNextModal<CPictureTransparencyDialog>([&](CPictureTransparencyDialog& shown) {
        CPictureTransparencyDialog* dialog = &shown;
        CTransparencyDrawingView* view = dialog->View();
        view->SetZoom(100, 0, 0);
        dialog->Slider(CPictureTransparencyDialog::kBlurSliderId)->setValue(0);
        dialog->Button(1001)->click();
        DragOn(view, {At(*view, 50, 40), At(*view, 150, 100), At(*view, 250, 160)});
        dialog->OkButton()->click();
    });
    const bool changed = layout->EditTransparency(nullptr);
    SetLayoutDialogs(nullptr);
    ASSERT_TRUE(changed);

    // The ellipse (50, 40)-(250, 160) in the working file's fourth byte.
    CTransparencyMask written;
    written.LoadFile(working, 0);
    EXPECT_EQ(MaskByteAt(written, 150, 100), 255);
    EXPECT_EQ(MaskByteAt(written, 52, 42), 0);
    EXPECT_EQ(MaskByteAt(written, 10, 10), 0);
    ASSERT_TRUE(background->GetImageBuffer1()->HasMask());
    {
        PageBuffer plane(background->GetImageBuffer1()->GetMaskPlane());
        ASSERT_NE(plane.get(), nullptr);
        const int w = background->GetImageBuffer1()->GetWidth();
        const int h = background->GetImageBuffer1()->GetHeight();
        EXPECT_EQ(plane.get()[static_cast<std::size_t>(h - 1 - 100) * w + 150], 255);
        EXPECT_EQ(plane.get()[static_cast<std::size_t>(h - 1 - 10) * w + 10], 0);
    }
    ASSERT_NE(dynamic_cast<CChangeImageFrameUndoInfo*>(layout->GetPendingUndo()), nullptr);
    layout->Undo();
    auto* restored = dynamic_cast<CBackgroundImageFrameItem*>(layout->GetItemAt(0));
    ASSERT_NE(restored, nullptr);
    CTransparencyMask before;
    before.LoadFile(restored->GetImageFileName2(), 0);
    EXPECT_EQ(MaskByteAt(before, 150, 100), 0);

    app.Exit();
    EXPECT_EQ(app.StoredSetting("GaussianRatio"), 0);
    EXPECT_EQ(app.StoredSetting("SetTransparency"), 0);
    EXPECT_NE(app.StoredSetting("TransparentWindowX"), -1);
}

TEST_F(PictureTransparencyDialogTest, TheLayoutDialogsRunItOnlyForAPictureThatIsLoaded)
{
    DialogsLayoutDialogs dialogs(app.shell, nullptr);
    CInsertImageFrameItem empty;
    EXPECT_EQ(dialogs.RunPictureTransparencyDialog(empty), 3);
    auto item = Item();
    modaltest::OnNextModal<CPictureTransparencyDialog>(
        [](CPictureTransparencyDialog& dialog) { dialog.CancelButton()->click(); });
    EXPECT_EQ(dialogs.RunPictureTransparencyDialog(*item), IDCANCEL);
}

TEST_F(PictureTransparencyDialogTest, AnOkThatCannotWriteIsReportedAndEndsWithThree)
{
    auto item = Item();
    const int result = Run(item.get(), [&](CPictureTransparencyDialog& dialog) {
        item->SetImageFileName2(app.TempFolder().toStdString() + "/missing/working.bmp");
        dialog.OkButton()->click();
    });
    EXPECT_EQ(result, 3);
    ASSERT_EQ(app.shell.errorCodes.size(), 1u);
    EXPECT_EQ(app.shell.errorCodes[0], 1);
}
