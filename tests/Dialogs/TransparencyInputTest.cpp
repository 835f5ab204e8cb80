// The drawing input of the transparency view, driven by QTest: polygon
// clicks, free-hand strokes, the dragged quarter ellipse and stamps with the
// Shift square, the cursors, and the ending of a gesture without a trace.
#include "Core/ErrorCheck.h"
#include "Dialogs/TransparencyDrawingView.h"
#include "Dialogs/TransparencyStamps.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "Dialogs/support/TransparencySupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <vector>

namespace {

int Zero(int, int)
{
    return 0;
}

class TransparencyInputTest : public ::testing::Test
{
protected:
    // A w x h picture of alpha 0 (the item takes none below 160 x 160) shown at 100 % in a 300 x 200 view,
    // blur 0, full level.
    std::unique_ptr<CTransparencyDrawingView> Open(int w = 240, int h = 170, int zoom = 100)
    {
        m_item = MakeAlphaItem(app.TempFolder(), "picture" + std::to_string(++m_count) + ".bmp", w, h, Zero);
        auto view = std::make_unique<CTransparencyDrawingView>(app.shell);
        view->resize(300, 200);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        view->SetItem(m_item.get());
        view->SetZoom(zoom, 0, 0);
        view->SetBlurAmount(0);
        view->SetProgressFactory([](QWidget*) { return nullptr; });
        return view;
    }

    static QPoint At(const CTransparencyDrawingView& view, int x, int y)
    {
        const POINT p = view.PictureToClient(POINT{x, y}, true, true);
        return QPoint(p.x, p.y);
    }

    static std::vector<std::uint8_t> Mask(const CTransparencyDrawingView& view)
    {
        const CTransparencyMask& picture = view.Picture();
        return {picture.GetMask(),
                picture.GetMask() + static_cast<std::size_t>(picture.GetStride()) * picture.GetHeight()};
    }

    // The bounding rectangle of the changed mask bytes (empty when none changed).
    static RECT Changed(const CTransparencyDrawingView& view)
    {
        RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        const CTransparencyMask& picture = view.Picture();
        for (int y = 0; y < picture.GetHeight(); ++y)
            for (int x = 0; x < picture.GetWidth(); ++x)
                if (MaskByteAt(picture, x, y) != 0) {
                    r.left = std::min(r.left, x);
                    r.top = std::min(r.top, y);
                    r.right = std::max(r.right, x + 1);
                    r.bottom = std::max(r.bottom, y + 1);
                }
        return r.left == INT_MAX ? RECT{} : r;
    }

    // A rectangle of the rectangle tool applied as a finished drag would apply it.
    static void ApplyRectangle(CTransparencyDrawingView& view, const RECT& r)
    {
        const int tool = view.GetTool();
        view.SetTool(CTransparencyPictureView::ToolRectangle);
        view.SaveUndo();
        view.ApplyTransparencyTool(r);
        view.SetTool(tool);
    }

    StartedApp app;

private:
    std::unique_ptr<CBackgroundImageFrameItem> m_item;
    int m_count = 0;
};

} // namespace

TEST_F(TransparencyInputTest, PolygonClicksCollectVerticesOnceAndTheRightButtonTakesTheLastBack)
{
    auto view = Open();
    view->SetTool(CTransparencyPictureView::ToolPolygon);
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 20, 20));
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 20, 20));
    EXPECT_EQ(view->Points().size(), 1u);
    EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputPolygon);
    EXPECT_EQ(QWidget::mouseGrabber(), view.get());

    // One vertex: the right button does nothing.
    QTest::mouseClick(view.get(), Qt::RightButton, Qt::NoModifier, At(*view, 60, 60));
    EXPECT_EQ(view->Points().size(), 1u);
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 120, 20));
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 20, 100));
    ASSERT_EQ(view->Points().size(), 3u);
    QTest::mouseClick(view.get(), Qt::RightButton, Qt::NoModifier, At(*view, 60, 60));
    ASSERT_EQ(view->Points().size(), 2u);
    EXPECT_EQ(view->Points().back().x, 120);
    EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputPolygon);
    view->CancelPolygon();
}

TEST_F(TransparencyInputTest, ATriangleLandsWhereItWasClickedAndTheDoubleClickEndsIt)
{
    auto view = Open();
    view->SetTool(CTransparencyPictureView::ToolPolygon);
    // A right angle at the top left: rows flipped, it would lie at the bottom.
    for (auto [x, y] : {std::pair{20, 20}, {120, 20}, {20, 100}})
        QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, x, y));
    QTest::mouseDClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 20, 100));
    EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputIdle);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(view->IsTracking());
    const CTransparencyMask& picture = view->Picture();
    for (auto [x, y] : {std::pair{24, 24}, {110, 23}, {23, 92}, {60, 50}})
        EXPECT_EQ(MaskByteAt(picture, x, y), 255) << x << "," << y;
    for (auto [x, y] : {std::pair{100, 90}, {23, 130}, {110, 130}, {60, 80}, {150, 20}})
        EXPECT_EQ(MaskByteAt(picture, x, y), 0) << x << "," << y;
    const RECT changed = Changed(*view);
    EXPECT_GE(changed.left, 19);
    EXPECT_GE(changed.top, 19);
    EXPECT_LE(changed.right, 122);
    EXPECT_LE(changed.bottom, 102);
}

TEST_F(TransparencyInputTest, GesturesThatApplyNothingKeepThePreviousShapeUndoable)
{
    auto view = Open();
    ApplyRectangle(*view, RECT{100, 80, 140, 120});
    const std::vector<std::uint8_t> withRectangle = Mask(*view);

    // A polygon of two vertices only redraws.
    view->SetTool(CTransparencyPictureView::ToolPolygon);
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 20, 20));
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 60, 30));
    QTest::mouseDClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 60, 30));
    EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputIdle);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(Mask(*view), withRectangle);

    // A polygon cancelled after three clicks, and a stroke cancelled mid-way.
    for (auto [x, y] : {std::pair{20, 20}, {80, 20}, {20, 80}})
        QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, x, y));
    view->CancelPolygon();
    EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputIdle);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(view->Points().empty());
    EXPECT_FALSE(view->IsTracking());
    EXPECT_FALSE(view->IsTimerRunning(CTransparencyDrawingView::kPolygonTimer));

    view->SetTool(12);
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 10, 10));
    QTest::mouseMove(view.get(), At(*view, 90, 60));
    EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputFreehand);
    EXPECT_EQ(QWidget::mouseGrabber(), view.get());
    view->CancelFreehand();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 90, 60));
    EXPECT_EQ(Mask(*view), withRectangle);

    // The undo still takes the rectangle away.
    view->Undo();
    EXPECT_EQ(Changed(*view), (RECT{}));
}

TEST_F(TransparencyInputTest, AStrokeFarLeftOfTheWindowAtTenPercentDoesNotWrap)
{
    auto view = Open(3000, 300, 10);
    view->SetTool(11);
    const QPoint start = At(*view, 2000, 150);
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(view.get(), QPoint(start.x() - 100, start.y()));
    QTest::mouseMove(view.get(), QPoint(-4000, start.y()));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(-4000, start.y()));
    EXPECT_EQ(view->GetDrawingState(), CTransparencyPictureView::InputIdle);
    const CTransparencyMask& picture = view->Picture();
    EXPECT_EQ(MaskByteAt(picture, 0, 150), 255);
    EXPECT_EQ(MaskByteAt(picture, 1000, 150), 255);
    const RECT changed = Changed(*view);
    EXPECT_EQ(changed.left, 0);
    EXPECT_LE(changed.right, 2010);
    EXPECT_GE(changed.top, 140);
    EXPECT_LE(changed.bottom, 160);
}

TEST_F(TransparencyInputTest, AClickOfTheFinestPenLeavesAMarkAndAWidePenItsWidth)
{
    auto view = Open();
    view->SetTool(9);
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 40, 40));
    EXPECT_EQ(MaskByteAt(view->Picture(), 40, 40), 255);
    const RECT mark = Changed(*view);
    EXPECT_LE((mark.right - mark.left) * (mark.bottom - mark.top), 2);

    view->SetTool(12);
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 100, 100));
    QTest::mouseMove(view.get(), At(*view, 160, 100));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, At(*view, 160, 100));
    int covered = 0;
    for (int y = 60; y < 140; ++y)
        covered += MaskByteAt(view->Picture(), 130, y) == 255;
    EXPECT_NEAR(covered, 16, 1);
}

TEST_F(TransparencyInputTest, AQuarterEllipseDraggedOnePixelCoversTwoByTwoOnThatSide)
{
    struct Case
    {
        int dx, dy;
        RECT covered;
    };
    const Case cases[] = {
        {1, 1, {100, 80, 102, 82}},
        {-1, 1, {98, 80, 100, 82}},
        {1, -1, {100, 78, 102, 80}},
        {-1, -1, {98, 78, 100, 80}},
    };
    for (const Case& c : cases) {
        auto view = Open();
        view->SetTool(CTransparencyPictureView::ToolQuarterEllipse);
        CTransparencyDrawingView* target = view.get();
        const QPoint from = At(*view, 100, 80);
        const QPoint to = from + QPoint(c.dx, c.dy);
        QTimer::singleShot(0, target, [target, to] {
            QTest::mouseMove(target, to);
            QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, to);
        });
        QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, from);
        EXPECT_EQ(Changed(*view), c.covered) << c.dx << "," << c.dy;
        for (int y = c.covered.top; y < c.covered.bottom; ++y)
            for (int x = c.covered.left; x < c.covered.right; ++x)
                EXPECT_EQ(MaskByteAt(view->Picture(), x, y), 255) << c.dx << "," << c.dy;
    }
}

TEST_F(TransparencyInputTest, ShiftSquaresAStampKeepingItsDirectionAndItsReleaseRedrawsAtOnce)
{
    auto view = Open();
    view->SetTool(CTransparencyPictureView::ToolLastStamp); // the club
    CTransparencyDrawingView* target = view.get();
    const QPoint from = At(*view, 150, 120);
    bool redrawn = false;
    QTimer::singleShot(0, target, [&] {
        QTest::keyPress(target, Qt::Key_Shift);
        QTest::mouseMove(target, At(*target, 120, 110));
        QTest::mouseMove(target, At(*target, 100, 100));
        EXPECT_TRUE(target->GetShiftState());
        // Releasing and pressing Shift again redraws the outline each time.
        const CImage& display = target->DisplayImage();
        const std::size_t bytes = static_cast<std::size_t>(display.GetRowBytes()) * display.GetHeight();
        const std::vector<std::uint8_t> squared(display.GetBits(), display.GetBits() + bytes);
        QTest::keyRelease(target, Qt::Key_Shift);
        redrawn = std::memcmp(squared.data(), display.GetBits(), bytes) != 0;
        QTest::keyPress(target, Qt::Key_Shift);
        QTest::mouseRelease(target, Qt::LeftButton, Qt::ShiftModifier, At(*target, 100, 100));
    });
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, from);
    QTest::keyRelease(target, Qt::Key_Shift);
    EXPECT_TRUE(redrawn);
    // 50 x 20 dragged left and up: the square of 20 keeps the start corner (150, 120).
    const RECT changed = Changed(*view);
    EXPECT_GE(changed.left, 130);
    EXPECT_LE(changed.right, 150);
    EXPECT_GE(changed.top, 100);
    EXPECT_LE(changed.bottom, 120);
    EXPECT_GE(changed.right - changed.left, 16);
    EXPECT_GE(changed.bottom - changed.top, 16);
    EXPECT_FALSE(view->GetShiftState());

    // Without Shift the same drag fills its whole 50 x 20.
    auto plain = Open();
    plain->SetTool(CTransparencyPictureView::ToolFirstStamp + 3); // the diamond
    CTransparencyDrawingView* other = plain.get();
    QTimer::singleShot(0, other, [other] {
        QTest::mouseMove(other, At(*other, 100, 100));
        QTest::mouseRelease(other, Qt::LeftButton, Qt::NoModifier, At(*other, 100, 100));
    });
    QTest::mousePress(other, Qt::LeftButton, Qt::NoModifier, At(*other, 150, 120));
    // The diamond spans about two thirds of its box's width.
    const RECT whole = Changed(*plain);
    EXPECT_GE(whole.right - whole.left, 30);
    EXPECT_LE(whole.bottom - whole.top, 20);
}

TEST_F(TransparencyInputTest, TheZoomToolsShowTheNoFurtherZoomCursorAtTheirEnds)
{
    const auto same = [](const QCursor& cursor, int id) {
        const QImage want =
            QImage(QStringLiteral(":/cursors/%1.png").arg(id)).convertToFormat(QImage::Format_ARGB32);
        return !want.isNull() && cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32) == want;
    };
    auto view = Open();
    const POINT inside{At(*view, 50, 50).x(), At(*view, 50, 50).y()};
    view->SetTool(CTransparencyPictureView::ToolZoomIn);
    EXPECT_TRUE(same(view->OnSetCursor(inside), 300));
    view->SetZoom(800, 50, 50);
    const POINT centre{10, 10};
    EXPECT_TRUE(same(view->OnSetCursor(centre), 303));
    view->SetTool(CTransparencyPictureView::ToolZoomOut);
    EXPECT_TRUE(same(view->OnSetCursor(centre), 301));
    view->SetZoom(10, 0, 0);
    const POINT corner{view->GetPictureClientRect().left + 2, view->GetPictureClientRect().top + 2};
    EXPECT_TRUE(same(view->OnSetCursor(corner), 303));
    view->SetTool(CTransparencyPictureView::ToolPolygon);
    EXPECT_EQ(view->OnSetCursor(corner).shape(), Qt::CrossCursor);
    EXPECT_EQ(view->OnSetCursor(POINT{0, 0}).shape(), Qt::ArrowCursor);
}

TEST_F(TransparencyInputTest, AGrabTakenMidPolygonIsTakenBackAndTheWheelIsIgnored)
{
    auto view = Open(1000, 800, 100);
    view->SetTool(CTransparencyPictureView::ToolPolygon);
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QWidget thief;
    thief.show();
    thief.grabMouse();
    QTest::mouseMove(view.get(), QPoint(60, 40));
    EXPECT_EQ(QWidget::mouseGrabber(), view.get());
    const POINT origin = view->Geometry().GetScrollOrigin();
    QWheelEvent wheel(QPointF(50, 50), view->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.get(), &wheel);
    EXPECT_TRUE(wheel.isAccepted());
    EXPECT_EQ(view->Geometry().GetScrollOrigin().y, origin.y);
    view->CancelPolygon();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(TransparencyInputTest, APolygonLineBeyondTheWindowScrollsOnItsOwnTimer)
{
    auto view = Open(1000, 800, 100);
    view->SetTool(CTransparencyPictureView::ToolPolygon);
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QTest::mouseMove(view.get(), QPoint(view->ClientWidth() + 20, 30));
    EXPECT_EQ(view->Geometry().GetScrollOrigin().x, 10);
    EXPECT_TRUE(view->IsTimerRunning(CTransparencyDrawingView::kPolygonTimer));
    EXPECT_FALSE(view->IsTimerRunning(CTransparencyDrawingView::kFreehandTimer));
    // Back inside, the scrolling stops; the vertex stayed on its picture pixel.
    QTest::mouseMove(view.get(), QPoint(100, 30));
    EXPECT_FALSE(view->IsAutoScrolling());
    EXPECT_EQ(view->Points().front().x, 30);
    view->CancelPolygon();
    EXPECT_FALSE(view->IsTimerRunning(CTransparencyDrawingView::kPolygonTimer));
}

TEST_F(TransparencyInputTest, AStampWhoseResourceIsMalformedThrowsOneAndLeavesTheMask)
{
    auto view = Open();
    ApplyRectangle(*view, RECT{10, 10, 40, 40});
    const std::vector<std::uint8_t> before = Mask(*view);
    // Base 460, three points, one word short.
    SetStampResourceReader(
        [](int) { return QByteArray("\xcc\x01\x03\x00\x00\x00\x01\x00\x02\x00\x03\x00\x04\x00", 14); });
    view->SetTool(CTransparencyPictureView::ToolFirstStamp + 2);
    view->SetBlurAmount(20);
    int thrown = 0;
    try {
        view->ApplyTransparencyTool(RECT{60, 60, 120, 120});
    } catch (enumErrorID id) {
        thrown = id;
    }
    SetStampResourceReader(nullptr);
    EXPECT_EQ(thrown, 1);
    EXPECT_EQ(Mask(*view), before);
    EXPECT_FALSE(view->IsProgressOpen());
}
