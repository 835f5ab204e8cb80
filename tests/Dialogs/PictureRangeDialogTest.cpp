// The picture-range dialog: OK's size check and what it writes, Cancel, the
// remembered zoom, the stored window rectangle, its failures, and a run
// through the layout model with its undo record.
#include "Dialogs/PictureRangeDialog.h"
#include "App/AppSettings.h"
#include "App/MessageBoxes.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/ModalScript.h"
#include "Dialogs/RangePictureView.h"
#include "Dialogs/SetImageInfoDialog.h"
#include "Dialogs/support/PictureRangeSupport.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/UndoInfo.h"
#include "Platform/DialogLayoutTarget.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>

namespace {

std::string Show(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + ")";
}

RECT RangeOf(const CInsertImageFrameItem& frame)
{
    RECT range{};
    frame.GetImageRange(&range);
    return range;
}

QPoint ClientPointOf(const CRangePictureView& view, POINT picture)
{
    const RECT r = view.Geometry().PictureToClient({picture.x, picture.y, picture.x, picture.y});
    return QPoint(r.left, r.top);
}

class PictureRangeDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { CPictureRangeDialog::ForgetLastPicture(); }
    void TearDown() override { CPictureRangeDialog::ForgetLastPicture(); }

    std::unique_ptr<CInsertImageFrameItem> Frame(int width, int height,
                                                 const std::string& name = "picture.jpg", int rotation = 0)
    {
        return MakePictureFrame(WriteTestJpeg(app.TempFolder(), name, width, height), {0, 0, 1000, 1000}, 0,
                                rotation);
    }

    // Runs the dialog on the frame; the script acts on it once it runs and must end it.
    int Run(CInsertImageFrameItem* frame, const std::function<void(CPictureRangeDialog&)>& script)
    {
        CPictureRangeDialog dialog(app.shell);
        modaltest::OnceRunning<CPictureRangeDialog>(dialog, script);
        return dialog.DoModalForItem(frame);
    }

    StartedApp app;
};

TEST_F(PictureRangeDialogTest, OkRefusesAThinRangeWithText84AndStaysOpen)
{
    auto frame = Frame(400, 2100);
    frame->SetImageRange({0, 0, 10, 300});
    bool stayed = false;
    const int result = Run(frame.get(), [&](CPictureRangeDialog& dialog) {
        dialog.OkButton()->click();
        stayed = dialog.isVisible();
        dialog.CancelButton()->click();
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(app.shell.messages.size(), 1u);
    EXPECT_EQ(app.shell.messages[0], (std::pair<int, unsigned>{84, MB_ICONSTOP}));
    EXPECT_EQ(RangeOf(*frame), (RECT{0, 0, 10, 300}));

    // 100 x 2000 becomes 160 x 3200 in the frame: accepted.
    frame->SetImageRange({20, 40, 120, 2040});
    EXPECT_EQ(Run(frame.get(), [](CPictureRangeDialog& dialog) { dialog.OkButton()->click(); }), IDOK);
    EXPECT_EQ(RangeOf(*frame), (RECT{20, 40, 120, 2040}));
    EXPECT_EQ(app.shell.messages.size(), 1u);
}

TEST_F(PictureRangeDialogTest, AnEmptyRangeIsWrittenEmptyAndCancelWritesNothing)
{
    auto frame = Frame(800, 600);
    frame->SetImageRange({50, 60, 450, 400});
    EXPECT_EQ(Run(frame.get(),
                  [](CPictureRangeDialog& dialog) {
                      CRangePictureView* view = dialog.View();
                      const QPoint a = ClientPointOf(*view, {100, 100});
                      const QPoint b = ClientPointOf(*view, {300, 200});
                      DragOn(view, {a, b});
                      dialog.CancelButton()->click();
                  }),
              IDCANCEL);
    EXPECT_EQ(RangeOf(*frame), (RECT{50, 60, 450, 400}));

    // A band of no width chooses nothing, which OK writes as no range: the whole picture.
    EXPECT_EQ(Run(frame.get(),
                  [](CPictureRangeDialog& dialog) {
                      CRangePictureView* view = dialog.View();
                      const QPoint a = ClientPointOf(*view, {100, 100});
                      DragOn(view, {a, a + QPoint(0, 40)});
                      dialog.OkButton()->click();
                  }),
              IDOK);
    EXPECT_EQ(RangeOf(*frame), (RECT{}));
    EXPECT_TRUE(app.shell.messages.empty());
}

TEST_F(PictureRangeDialogTest, ReopeningTheSamePictureKeepsItsZoomAnotherPictureFits)
{
    auto first = Frame(800, 600, "first.jpg");
    auto other = Frame(800, 600, "other.jpg");
    int fitted = 0;
    Run(first.get(), [&](CPictureRangeDialog& dialog) {
        fitted = dialog.View()->GetZoom();
        dialog.View()->SetZoom(200, 400, 300);
        dialog.CancelButton()->click();
    });
    // 800 x 600 in the 324 x 248 view of the shipped layout.
    EXPECT_EQ(fitted, 25);
    EXPECT_EQ(CPictureRangeDialog::LastZoom(), 200);

    // The name is compared without regard to case.
    first->SetImageFileName(QString::fromStdString(first->GetImageFileName()).toUpper().toStdString());
    int reopened = 0;
    Run(first.get(), [&](CPictureRangeDialog& dialog) {
        reopened = dialog.View()->GetZoom();
        dialog.CancelButton()->click();
    });
    EXPECT_EQ(reopened, 200);

    int another = 0;
    Run(other.get(), [&](CPictureRangeDialog& dialog) {
        another = dialog.View()->GetZoom();
        dialog.CancelButton()->click();
    });
    EXPECT_EQ(another, 25);
}

TEST_F(PictureRangeDialogTest, AStoredRectanglePartlyOffTheWorkAreaOpensInsideItWithItsSize)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const Rect stored{area.right() - 99, area.top() + 30, area.right() - 99 + 420, area.top() + 30 + 380};
    app.shell.Settings().SetRangeWindowRect(&stored);
    auto frame = Frame(800, 600);
    QRect opened;
    Run(frame.get(), [&](CPictureRangeDialog& dialog) {
        opened = dialog.frameGeometry();
        dialog.CancelButton()->click();
    });
    EXPECT_EQ(opened, QRect(area.left() + area.width() - 420, area.top() + 30, 420, 380));
}

TEST_F(PictureRangeDialogTest, ResizingLaysOutTheControlsAndStoresTheWindow)
{
    auto frame = Frame(800, 600);
    Run(frame.get(), [&](CPictureRangeDialog& dialog) {
        EXPECT_EQ(dialog.minimumSize(), QSize(340, 340));
        dialog.resize(500, 420);
        const QRect ok = dialog.OkButton()->geometry();
        const QRect cancel = dialog.CancelButton()->geometry();
        EXPECT_EQ(cancel.x() + cancel.width(), 500 - 8);
        EXPECT_EQ(cancel.y() + cancel.height(), 420 - 8);
        EXPECT_EQ(ok.y(), cancel.y());
        EXPECT_EQ(cancel.x() - (ok.x() + ok.width()), 8);
        const QRect view = dialog.View()->geometry();
        EXPECT_EQ(view.topLeft(), QPoint(8, 48));
        EXPECT_EQ(view.width(), 500 - 16);
        EXPECT_EQ(view.height(), ok.y() - 48 - 8);
        const Rect stored = app.shell.Settings().GetRangeWindowRect();
        EXPECT_EQ(stored.Width(), dialog.frameGeometry().width());
        EXPECT_EQ(stored.Height(), dialog.frameGeometry().height());
        dialog.move(dialog.pos() + QPoint(7, 5));
        EXPECT_EQ(app.shell.Settings().GetRangeWindowRect().left, dialog.frameGeometry().left());
        dialog.CancelButton()->click();
    });
}

TEST_F(PictureRangeDialogTest, ToolButtonsTipsIconsModesAndTheWheel)
{
    auto frame = Frame(800, 600);
    Run(frame.get(), [&](CPictureRangeDialog& dialog) {
        EXPECT_FALSE(dialog.windowIcon().isNull());
        const std::pair<int, const char*> tips[] = {
            {1050, "\xe8\xa1\xa8\xe7\xa4\xba\xe7\xaf\x84\xe5\x9b\xb2\xe3\x82\x92\xe9\x81\xb8\xe3\x81\xb6"},
            {1051, "\xe6\x8b\xa1\xe5\xa4\xa7"},
            {1052, "\xe7\xb8\xae\xe5\xb0\x8f"},
        };
        for (const auto& [id, tip] : tips) {
            QToolButton* button = dialog.ToolButton(id);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->toolTip().toStdString(), tip) << id;
            EXPECT_FALSE(button->icon().isNull());
            EXPECT_TRUE(button->isCheckable());
        }
        EXPECT_TRUE(dialog.OkButton()->toolTip().isEmpty());
        EXPECT_TRUE(dialog.CancelButton()->toolTip().isEmpty());
        EXPECT_TRUE(dialog.View()->toolTip().isEmpty());
        EXPECT_EQ(GetControlId(dialog.View()), 10000);
        EXPECT_TRUE(dialog.ToolButton(1050)->isChecked());

        dialog.ToolButton(1052)->click();
        EXPECT_EQ(dialog.View()->GetMode(), 2);
        EXPECT_FALSE(dialog.ToolButton(1050)->isChecked());
        dialog.ToolButton(1051)->click();
        EXPECT_EQ(dialog.View()->GetMode(), 1);

        // A turn towards the user scrolls a page down.
        CRangePictureView* view = dialog.View();
        view->SetZoom(200, 0, 0);
        const QPoint inside(20, 20);
        QWheelEvent towards(QPointF(inside), QPointF(dialog.mapToGlobal(inside)), QPoint(), QPoint(0, -120),
                            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&dialog, &towards);
        EXPECT_EQ(view->Geometry().Origin().y, 75);
        QWheelEvent away(QPointF(inside), QPointF(dialog.mapToGlobal(inside)), QPoint(), QPoint(0, 120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&dialog, &away);
        EXPECT_EQ(view->Geometry().Origin().y, 0);
        dialog.CancelButton()->click();
    });
}

TEST_F(PictureRangeDialogTest, RunsOnlyForAFrameWithAReadablePicture)
{
    CPictureRangeDialog plain(app.shell);
    EXPECT_EQ(plain.exec(), IDCANCEL);
    EXPECT_FALSE(plain.isVisible());
    EXPECT_EQ(plain.DoModalForItem(nullptr), 3);
    // An empty frame shows a sample picture but has no picture file: a silent failure.
    CInsertImageFrameItem empty;
    EXPECT_EQ(plain.DoModalForItem(&empty), 3);
    EXPECT_EQ(app.shell.errorCodes, (std::vector<int>{-1}));
    app.shell.errorCodes.clear();

    auto frame = Frame(800, 600);
    frame->SetImageRange({10, 20, 300, 400});
    {
        QFile working(QString::fromStdString(frame->GetImageFileName2()));
        ASSERT_TRUE(working.open(QIODevice::WriteOnly | QIODevice::Truncate));
        working.write("not a picture");
    }
    CPictureRangeDialog dialog(app.shell);
    // Whatever the user manages to press before the dialog ends writes nothing.
    modaltest::OnceRunning<CPictureRangeDialog>(
        dialog, [](CPictureRangeDialog& shown) { shown.OkButton()->click(); });
    EXPECT_EQ(dialog.DoModalForItem(frame.get()), 3);
    EXPECT_EQ(app.shell.errorCodes, (std::vector<int>{1}));
    EXPECT_EQ(RangeOf(*frame), (RECT{10, 20, 300, 400}));
}

// Through the layout model: a frame with a 640 x 480 picture turned a quarter.
TEST_F(PictureRangeDialogTest, SelectImageRangeWritesTheStoredRangeUnderOneUndoRecord)
{
    CLayoutManager* layout = app.Document().GetLayoutManager();
    ASSERT_NE(layout, nullptr);
    auto owned = Frame(640, 480, "turned.jpg", 1);
    CInsertImageFrameItem* frame = owned.get();
    frame->SetImageRange({0, 0, 640, 480});
    ASSERT_TRUE(layout->AddItem(0, std::move(owned)));
    frame->SetSelected(true);
    layout->DeletePendingUndo();

    DialogsLayoutDialogs dialogs(app.shell, nullptr);
    SetLayoutDialogs(&dialogs);
    QRect window;
    modaltest::OnNextModal<CPictureRangeDialog>([&](CPictureRangeDialog& modal) {
        auto* dialog = &modal;
        CRangePictureView* view = dialog->View();
        // The view shows the picture 480 wide and 640 high.
        EXPECT_EQ(view->Geometry().GetPictureSize().cx, 480);
        DragOn(view, {ClientPointOf(*view, {40, 40}), ClientPointOf(*view, {200, 320})});
        EXPECT_EQ(view->GetTurnedRange(), (RECT{40, 40, 200, 320}));
        dialog->resize(360, 350);
        window = dialog->frameGeometry();
        dialog->OkButton()->click();
    });
    const bool changed = layout->SelectImageRange(nullptr);
    SetLayoutDialogs(nullptr);

    EXPECT_TRUE(changed);
    // Turned (l, t, r, b) is stored (t, W - r, b, W - l) with W = 480.
    EXPECT_EQ(RangeOf(*frame), (RECT{40, 280, 320, 440})) << Show(RangeOf(*frame));
    ASSERT_NE(dynamic_cast<CChangeInsertImageFrameUndoInfo*>(layout->GetPendingUndo()), nullptr);
    layout->Undo();
    EXPECT_EQ(RangeOf(*frame), (RECT{0, 0, 640, 480}));

    app.Exit();
    EXPECT_EQ(app.StoredSetting("RangeWindowX"), window.x());
    EXPECT_EQ(app.StoredSetting("RangeWindowY"), window.y());
    EXPECT_EQ(app.StoredSetting("RangeWindowW"), window.width());
    EXPECT_EQ(app.StoredSetting("RangeWindowH"), window.height());
}

TEST_F(PictureRangeDialogTest, TheLayoutDialogsRunItOnlyForInsertPhotoFrames)
{
    DialogsLayoutDialogs dialogs(app.shell, nullptr);
    CBackgroundImageFrameItem background;
    EXPECT_EQ(dialogs.RunPictureRangeDialog(background), 3);
    auto frame = Frame(800, 600);
    modaltest::OnNextModal<CPictureRangeDialog>(
        [](CPictureRangeDialog& dialog) { dialog.CancelButton()->click(); });
    EXPECT_EQ(dialogs.RunPictureRangeDialog(*frame), IDCANCEL);
}

} // namespace
