// The picture-range view on real pictures: the turn it gives a frame's
// picture, the range it hands back, zoom clicks and cursors, rendering, and
// drags of the rubber band (still, empty, squared, past the edge).
#include "Core/ErrorCheck.h"
#include "Dialogs/RangePictureView.h"
#include "Dialogs/support/PictureRangeSupport.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "Layout/InsertImageFrameItem.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QScrollBar>
#include <QTest>

#include <cstdint>
#include <cstring>

namespace {

std::string Show(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + ")";
}

std::uint32_t PixelAt(const CImage& image, int x, int y)
{
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.GetBits() + (image.GetHeight() - 1 - y) *
                                                                                   image.GetRowBytes());
    return row[x] & 0xFFFFFF;
}

class PictureRangeViewTest : public ::testing::Test
{
protected:
    std::unique_ptr<CInsertImageFrameItem> Frame(int width, int height, const RECT& rect, int orientation,
                                                 int rotation, const std::string& name = "picture.jpg")
    {
        return MakePictureFrame(WriteTestJpeg(app.TempFolder(), name, width, height), rect, orientation,
                                rotation);
    }

    // A 400 x 300 view on the frame at the zoom, its origin at the picture's top-left.
    void Open(CInsertImageFrameItem& frame, int zoom)
    {
        view.resize(400, 300);
        view.show();
        view.SetItem(&frame);
        view.SetZoom(zoom, 0, 0);
    }

    StartedApp app;
    CRangePictureView view;
};

TEST_F(PictureRangeViewTest, AutomaticRotationTurnsThePictureAsThePageDrawsIt)
{
    struct Case
    {
        RECT frame;
        int orientation;
        RECT range;
        int rotation;
    };
    // The picture is 800 x 600; a square frame counts as both shapes on orientation 1 only.
    const Case cases[] = {
        {{0, 0, 1000, 1000}, 1, {}, 3},
        {{0, 0, 1000, 1000}, 0, {}, 0},
        {{0, 0, 2000, 1000}, 1, {0, 0, 300, 500}, 3},
        {{0, 0, 2000, 1000}, 0, {0, 0, 300, 500}, 1},
        {{0, 0, 2000, 1000}, 0, {}, 0},
        {{0, 0, 1000, 2000}, 0, {}, 1},
    };
    const std::string path = WriteTestJpeg(app.TempFolder(), "auto.jpg", 800, 600);
    for (const Case& c : cases) {
        auto frame = MakePictureFrame(path, c.frame, c.orientation, CImageFrameItem::kAutomaticRotation);
        frame->SetImageRange(c.range);
        CRangePictureView probe;
        probe.resize(300, 300);
        probe.SetItem(frame.get());
        EXPECT_EQ(probe.GetRotation(), c.rotation) << Show(c.frame) << " orientation " << c.orientation;
        EXPECT_EQ(probe.GetRotation(), frame->GetShownRotation());
        const SIZE size = probe.Geometry().GetPictureSize();
        EXPECT_EQ(size.cx, c.rotation % 2 ? 600 : 800);
        EXPECT_EQ(size.cy, c.rotation % 2 ? 800 : 600);
    }
}

TEST_F(PictureRangeViewTest, TheRangeComesBackInStoredCoordinatesAtEveryRotation)
{
    const RECT stored{20, 40, 260, 190};
    for (int rotation = 0; rotation < 4; ++rotation) {
        auto frame =
            Frame(301, 200, {0, 0, 1000, 1000}, 0, rotation, "turn" + std::to_string(rotation) + ".jpg");
        frame->SetImageRange(stored);
        CRangePictureView probe;
        probe.SetItem(frame.get());
        RECT back{};
        probe.GetRange(&back);
        EXPECT_EQ(back, stored) << "rotation " << rotation << " gave " << Show(back);
    }
    // An empty stored range shows the whole picture and hands it back as the whole picture.
    auto frame = Frame(301, 200, {0, 0, 1000, 1000}, 0, 1, "whole.jpg");
    CRangePictureView probe;
    probe.SetItem(frame.get());
    EXPECT_EQ(probe.GetTurnedRange(), (RECT{0, 0, 200, 301}));
    RECT back{};
    probe.GetRange(&back);
    EXPECT_EQ(back, (RECT{0, 0, 301, 200}));
}

TEST_F(PictureRangeViewTest, AFrameWithoutAReadablePictureFailsSetItem)
{
    auto frame = Frame(400, 300, {0, 0, 1000, 1000}, 0, 0);
    {
        QFile working(QString::fromStdString(frame->GetImageFileName2()));
        ASSERT_TRUE(working.open(QIODevice::WriteOnly | QIODevice::Truncate));
        working.write("not a picture");
    }
    CRangePictureView probe;
    try {
        probe.SetItem(frame.get());
        FAIL() << "an unreadable picture was accepted";
    } catch (enumErrorID id) {
        EXPECT_EQ(id, ErrorIdReported);
    }
    CInsertImageFrameItem empty;
    try {
        probe.SetItem(&empty);
        FAIL() << "a frame without a working copy was accepted";
    } catch (enumErrorID id) {
        EXPECT_EQ(id, ErrorIdSilent);
    }
}

TEST_F(PictureRangeViewTest, ZoomClicksStopAtTheEndsAndShowTheNoFurtherZoomCursor)
{
    auto frame = Frame(800, 600, {0, 0, 1000, 1000}, 0, 0);
    Open(*frame, 400);
    const QPoint inside(50, 50);
    view.SetMode(CRangePictureView::ModeZoomIn);
    EXPECT_EQ(view.CursorAt(inside), CRangePictureView::CursorNoZoom);
    const POINT origin = view.Geometry().Origin();
    QTest::mouseClick(&view, Qt::LeftButton, Qt::KeyboardModifiers(), inside);
    EXPECT_EQ(view.GetZoom(), 400);
    EXPECT_EQ(view.Geometry().Origin(), origin);
    EXPECT_EQ(view.CurrentCursor(), CRangePictureView::CursorNoZoom);
    EXPECT_EQ(view.cursor().shape(), Qt::BitmapCursor);

    view.SetMode(CRangePictureView::ModeZoomOut);
    EXPECT_EQ(view.CursorAt(inside), CRangePictureView::CursorZoomOut);
    view.SetZoom(10, 400, 300);
    // At 10 % the picture is 80 x 60 in the middle of the client.
    const RECT area = view.Geometry().PictureClientArea();
    const QPoint middle((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    EXPECT_EQ(view.CursorAt(middle), CRangePictureView::CursorNoZoom);
    EXPECT_EQ(view.CursorAt(QPoint(area.left - 1, middle.y())), CRangePictureView::CursorArrow);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::KeyboardModifiers(), middle);
    EXPECT_EQ(view.GetZoom(), 10);
    EXPECT_EQ(view.CurrentCursor(), CRangePictureView::CursorNoZoom);

    view.SetMode(CRangePictureView::ModeZoomIn);
    EXPECT_EQ(view.CursorAt(middle), CRangePictureView::CursorZoomIn);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::KeyboardModifiers(), middle);
    EXPECT_EQ(view.GetZoom(), 25);
    view.SetMode(CRangePictureView::ModeRange);
    EXPECT_EQ(view.CursorAt(middle), CRangePictureView::CursorCross);

    // Zooming in centres the clicked picture point.
    view.SetZoom(100, 0, 0);
    view.SetMode(CRangePictureView::ModeZoomIn);
    const POINT clicked = view.Geometry().ClientToPicture({150, 120});
    QTest::mouseClick(&view, Qt::LeftButton, Qt::KeyboardModifiers(), QPoint(150, 120));
    EXPECT_EQ(view.GetZoom(), 200);
    const SIZE client = view.Geometry().GetClientSize();
    EXPECT_EQ(view.Geometry().Origin(),
              (POINT{clicked.x - (client.cx + 1) / 2 / 2, clicked.y - (client.cy + 1) / 2 / 2}));
}

TEST_F(PictureRangeViewTest, FitZoomAndTheBarsFollowTheClient)
{
    auto frame = Frame(800, 600, {0, 0, 1000, 1000}, 0, 0);
    Open(*frame, 100);
    view.FitZoom();
    // 400 x 300 shows 800 x 600 at 50 % without bars.
    EXPECT_EQ(view.GetZoom(), 50);
    EXPECT_FALSE(view.HorizontalBar()->isVisible());
    view.SetZoom(200, 0, 0);
    const PictureViewAxis& x = view.Geometry().Horizontal();
    ASSERT_TRUE(x.barShown);
    EXPECT_TRUE(view.HorizontalBar()->isVisible());
    EXPECT_EQ(view.HorizontalBar()->maximum(), x.MaxPosition());
    EXPECT_EQ(view.HorizontalBar()->pageStep(), 100);
    // Line codes move a page.
    EXPECT_EQ(view.HorizontalBar()->singleStep(), 100);
    view.HorizontalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view.Geometry().Origin().x, 100);
    view.ScrollPage(true, true);
    EXPECT_EQ(view.Geometry().Origin().y, 75);
}

TEST_F(PictureRangeViewTest, RenderingAfterAScrollMatchesAFullRendering)
{
    auto frame = Frame(800, 600, {0, 0, 1000, 1000}, 0, 0);
    frame->SetImageRange({100, 100, 300, 250});
    for (int zoom : {100, 200, 400}) {
        Open(*frame, zoom);
        view.HorizontalBar()->setValue(23);
        view.VerticalBar()->setValue(31);
        view.HorizontalBar()->setValue(17);
        const POINT origin = view.Geometry().Origin();
        ASSERT_EQ(origin, (POINT{17, 31}));

        CRangePictureView fresh;
        fresh.resize(400, 300);
        fresh.show();
        fresh.SetItem(frame.get());
        const SIZE client = view.Geometry().GetClientSize();
        const int fitsX = (client.cx * 100 + zoom - 1) / zoom, fitsY = (client.cy * 100 + zoom - 1) / zoom;
        fresh.SetZoom(zoom, origin.x + fitsX / 2, origin.y + fitsY / 2);
        ASSERT_EQ(fresh.Geometry().Origin(), origin);
        const CImage& a = view.Offscreen();
        const CImage& b = fresh.Offscreen();
        ASSERT_EQ(a.GetWidth(), b.GetWidth());
        ASSERT_EQ(a.GetHeight(), b.GetHeight());
        int differing = 0;
        for (int y = 0; y < a.GetHeight(); ++y)
            for (int x = 0; x < a.GetWidth(); ++x)
                differing += PixelAt(a, x, y) != PixelAt(b, x, y);
        EXPECT_EQ(differing, 0) << "at " << zoom << " %";
    }
}

class PictureRangeDragTest : public PictureRangeViewTest
{
protected:
    void SetUp() override
    {
        frame = Frame(800, 600, {0, 0, 1000, 1000}, 0, 0);
        frame->SetImageRange({300, 200, 500, 400});
        Open(*frame, 100);
        ASSERT_EQ(view.Geometry().Horizontal().offset, 0);
        ASSERT_EQ(view.Geometry().Origin(), (POINT{0, 0}));
    }

    std::unique_ptr<CInsertImageFrameItem> frame;
};

TEST_F(PictureRangeDragTest, APressAndReleaseWithoutAMoveKeepsTheRange)
{
    DragOn(&view, {QPoint(50, 60)});
    EXPECT_EQ(view.GetTurnedRange(), (RECT{300, 200, 500, 400}));
    EXPECT_EQ(view.DrawnOutline(), (RECT{300, 200, 500, 400}));
}

TEST_F(PictureRangeDragTest, ADragChoosesTheRangeAndABandOfNoWidthEmptiesIt)
{
    DragOn(&view, {QPoint(40, 30), QPoint(90, 70), QPoint(120, 150)});
    EXPECT_EQ(view.GetTurnedRange(), (RECT{40, 30, 120, 150}));
    RECT stored{};
    view.GetRange(&stored);
    EXPECT_EQ(stored, (RECT{40, 30, 120, 150}));

    DragOn(&view, {QPoint(50, 50), QPoint(80, 90), QPoint(50, 120)});
    EXPECT_TRUE(view.GetTurnedRange().IsEmpty());
    view.GetRange(&stored);
    EXPECT_EQ(stored, (RECT{}));
    EXPECT_EQ(view.DrawnOutline(), (RECT{}));
}

TEST_F(PictureRangeDragTest, ShiftSquaresTheBandFromItsStartCorner)
{
    DragOn(
        &view, {QPoint(100, 100), QPoint(140, 120), QPoint(180, 130)},
        [this] {
            EXPECT_EQ(view.DrawnOutline(), (RECT{100, 100, 130, 130}));
        },
        Qt::ShiftModifier);
    EXPECT_EQ(view.GetTurnedRange(), (RECT{100, 100, 130, 130}));
    // Up and to the left: the start corner is the bottom-right one.
    DragOn(&view, {QPoint(200, 200), QPoint(150, 120)}, {}, Qt::ShiftModifier);
    EXPECT_EQ(view.GetTurnedRange(), (RECT{150, 150, 200, 200}));
    // Shift pressed during the drag squares the band from then on.
    DragOn(&view, {QPoint(10, 10), QPoint(70, 30)}, [this] {
        EXPECT_EQ(view.DrawnOutline(), (RECT{10, 10, 70, 30}));
        QTest::keyPress(&view, Qt::Key_Shift);
        EXPECT_EQ(view.DrawnOutline(), (RECT{10, 10, 30, 30}));
    });
    EXPECT_EQ(view.GetTurnedRange(), (RECT{10, 10, 30, 30}));
    QTest::keyRelease(&view, Qt::Key_Shift);
    EXPECT_FALSE(view.IsSquare());
    DragOn(&view, {QPoint(10, 10), QPoint(70, 30)});
    EXPECT_EQ(view.GetTurnedRange(), (RECT{10, 10, 70, 30}));
}

TEST_F(PictureRangeDragTest, ReleasingShiftMidDragRedrawsTheUnsquaredBandAtOnce)
{
    const std::uint32_t insideRight = PixelAt(view.Offscreen(), 179, 115);
    const std::uint32_t insideSquare = PixelAt(view.Offscreen(), 129, 115);
    DragOn(
        &view, {QPoint(100, 100), QPoint(180, 130)},
        [&] {
            ASSERT_EQ(view.DrawnOutline(), (RECT{100, 100, 130, 130}));
            EXPECT_EQ(PixelAt(view.Offscreen(), 129, 115), insideSquare ^ 0x808080);
            QTest::keyRelease(&view, Qt::Key_Shift);
            // Before any further mouse step.
            EXPECT_EQ(view.DrawnOutline(), (RECT{100, 100, 180, 130}));
            EXPECT_EQ(PixelAt(view.Offscreen(), 179, 115), insideRight ^ 0x808080);
            EXPECT_EQ(PixelAt(view.Offscreen(), 129, 115), insideSquare);
        },
        Qt::ShiftModifier);
    EXPECT_EQ(view.GetTurnedRange(), (RECT{100, 100, 180, 130}));
}

TEST_F(PictureRangeDragTest, PastTheRightEdgeAt200PercentEachTickScrollsTenPicturePixels)
{
    view.SetZoom(200, 0, 0);
    ASSERT_EQ(view.Geometry().Origin(), (POINT{0, 0}));
    const SIZE client = view.Geometry().GetClientSize();
    const QPoint outside(client.cx + 20, 100);
    // The timer's mouse steps come from where the pointer is.
    QCursor::setPos(view.mapToGlobal(outside));
    QCoreApplication::processEvents();
    const POINT anchor = view.Geometry().ClientToPicture({51, 61});
    ASSERT_EQ(anchor, (POINT{25, 30}));

    std::vector<int> origins;
    std::vector<POINT> anchors;
    bool timerRan = false;
    DragOn(&view, {QPoint(51, 61), outside}, [&] {
        // The step past the edge scrolled once and started the 100 ms timer.
        origins.push_back(view.Geometry().Origin().x);
        timerRan = view.AutoScrollTimer().isActive() && view.AutoScrollTimer().interval() == 100;
        view.AutoScrollTimer().stop(); // the ticks below are driven one by one
        for (int tick = 0; tick < 3; ++tick) {
            view.OnTimer(CRangePictureView::kAutoScrollTimer);
            QCoreApplication::sendPostedEvents(&view, QEvent::MouseMove);
            origins.push_back(view.Geometry().Origin().x);
            const Rect band = view.Tracker().m_rect;
            anchors.push_back(view.Geometry().ClientToPicture({band.left, band.top}));
        }
    });
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(origins, (std::vector<int>{10, 20, 30, 40}));
    for (const POINT& a : anchors)
        EXPECT_EQ(a, anchor);
    // The release past the edge scrolled once more; the range starts at the anchor.
    const RECT range = view.GetTurnedRange();
    EXPECT_EQ(range.left, 25);
    EXPECT_EQ(range.top, 30);
    EXPECT_EQ(range.bottom, 50);
    EXPECT_EQ(range.right, view.Geometry().ClientToPicture({outside.x(), 0}).x);
    EXPECT_FALSE(view.AutoScrollTimer().isActive());
}

} // namespace
