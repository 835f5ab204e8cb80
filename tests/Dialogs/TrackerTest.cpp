#include "Dialogs/Tracker.h"
#include "App/support/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string Text(const Rect& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// A tracked widget that records what its tracker tells it and starts a drag
// on a left press.
class RecordingOwner : public QWidget, public ITrackerOwner
{
public:
    RecordingOwner() { resize(200, 150); }

    int OnTrackerDraw(TrackerDrawArgs& args) override
    {
        log.push_back((tracker.m_bErase ? "erase " : "draw ") + Text(args.rect));
        if (onDraw)
            onDraw(args);
        return drawAnswer;
    }
    void OnTrackerChanged(const Rect& oldRect, CTracker& t) override
    {
        log.push_back("changed " + Text(oldRect) + " -> " + Text(t.m_rect));
        if (onChanged)
            onChanged(t);
    }

    CTracker tracker;
    std::vector<std::string> log;
    int drawAnswer = 0;
    std::function<void(TrackerDrawArgs&)> onDraw;
    std::function<void(CTracker&)> onChanged;
    bool rubberBand = true;
    int result = -1;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        Point point{event->position().toPoint().x(), event->position().toPoint().y()};
        result = rubberBand ? tracker.TrackRubberBand(this, point) : tracker.Track(this, point);
    }
};

struct Step
{
    Point point;
    bool release = false;
};

struct DragCase
{
    const char* name;
    Rect start;
    int handle;
    Point press;
    int forceNotify;
    std::vector<Step> steps;
    std::vector<std::string> log;
    Rect end;
    int result;
};

TEST(TrackerTest, StepsNotifyTheOwnerInOrder)
{
    EnsureApp();
    const DragCase cases[] = {
        {"press and release without a move",
         {10, 10, 10, 10},
         CTracker::hitBottomRight,
         {10, 10},
         0,
         {{{10, 10}, true}},
         {"changed 10,10,10,10 -> 10,10,10,10"},
         {10, 10, 10, 10},
         0},
        {"rubber band dragged out",
         {10, 10, 10, 10},
         CTracker::hitBottomRight,
         {10, 10},
         0,
         {{{30, 25}}, {{40, 35}}, {{40, 35}, true}},
         {"changed 10,10,10,10 -> 10,10,30,25", "draw 10,10,30,25", "erase 10,10,30,25",
          "changed 10,10,30,25 -> 10,10,40,35", "draw 10,10,40,35", "erase 10,10,40,35",
          "changed 10,10,40,35 -> 10,10,40,35"},
         {10, 10, 40, 35},
         1},
        {"a still step is silent",
         {10, 10, 10, 10},
         CTracker::hitBottomRight,
         {10, 10},
         0,
         {{{30, 25}}, {{30, 25}}},
         {"changed 10,10,10,10 -> 10,10,30,25", "draw 10,10,30,25"},
         {10, 10, 30, 25},
         1},
        {"force-notify: a still step erases, notifies and draws",
         {10, 10, 10, 10},
         CTracker::hitBottomRight,
         {10, 10},
         1,
         {{{30, 25}}, {{30, 25}}},
         {"changed 10,10,10,10 -> 10,10,30,25", "draw 10,10,30,25", "erase 10,10,30,25",
          "changed 10,10,30,25 -> 10,10,30,25", "draw 10,10,30,25"},
         {10, 10, 30, 25},
         1},
        {"handle 8 moves the rectangle and keeps its size",
         {20, 20, 60, 50},
         CTracker::hitMiddle,
         {30, 30},
         0,
         {{{35, 20}}, {{35, 20}, true}},
         {"changed 20,20,60,50 -> 25,10,65,40", "draw 25,10,65,40", "erase 25,10,65,40",
          "changed 25,10,65,40 -> 25,10,65,40"},
         {25, 10, 65, 40},
         1},
        {"a side handle moves one edge only",
         {20, 20, 60, 50},
         CTracker::hitLeft,
         {21, 35},
         0,
         {{{11, 99}}, {{11, 99}, true}},
         {"changed 20,20,60,50 -> 10,20,60,50", "draw 10,20,60,50", "erase 10,20,60,50",
          "changed 10,20,60,50 -> 10,20,60,50"},
         {10, 20, 60, 50},
         1},
        {"dragged back to where it started",
         {20, 20, 60, 50},
         CTracker::hitMiddle,
         {30, 30},
         0,
         {{{40, 40}}, {{30, 30}, true}},
         {"changed 20,20,60,50 -> 30,30,70,60", "draw 30,30,70,60", "erase 30,30,70,60",
          "changed 30,30,70,60 -> 20,20,60,50"},
         {20, 20, 60, 50},
         0},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingOwner owner;
        owner.tracker.SetOwner(&owner);
        owner.tracker.m_rect = c.start;
        owner.tracker.SetValue(c.forceNotify);
        CTrackerDrag drag(owner.tracker, c.handle, c.press, &owner, nullptr);
        for (const Step& step : c.steps)
            if (drag.Step(step.point, step.release))
                break;
        EXPECT_EQ(drag.Finish(), c.result);
        EXPECT_EQ(owner.log, c.log);
        EXPECT_EQ(owner.tracker.m_rect, c.end);
        EXPECT_EQ(owner.tracker.m_bErase, 0);
        EXPECT_EQ(owner.tracker.m_bFinalErase, 0);
    }
}

TEST(TrackerTest, PreviousRectangleAndOwnerSnappingDuringSteps)
{
    EnsureApp();
    RecordingOwner owner;
    owner.tracker.SetOwner(&owner);
    owner.tracker.m_rect = {0, 0, 0, 0};
    std::vector<std::string> previous;
    // Snaps the corner to multiples of 10, as an owner may.
    owner.onChanged = [&previous](CTracker& t) {
        previous.push_back(Text(t.m_rectPrev));
        t.m_rect.right = t.m_rect.right / 10 * 10;
        t.m_rect.bottom = t.m_rect.bottom / 10 * 10;
    };
    CTrackerDrag drag(owner.tracker, CTracker::hitBottomRight, {0, 0}, &owner, nullptr);
    EXPECT_FALSE(drag.Step({27, 14}, false));
    EXPECT_FALSE(drag.Step({29, 19}, false));
    EXPECT_TRUE(drag.Step({29, 19}, true));
    EXPECT_EQ(drag.Finish(), 1);
    EXPECT_EQ(owner.tracker.m_rect, (Rect{0, 0, 20, 10}));
    // The still step after snapping still counts as a change of the unsnapped rectangle.
    EXPECT_EQ(previous, (std::vector<std::string>{"0,0,0,0", "0,0,20,10", "0,0,20,10"}));
    EXPECT_EQ(owner.log[1], "draw 0,0,20,10");
    owner.tracker.EmptyRect();
    EXPECT_EQ(owner.tracker.m_rectPrev, Rect{});
}

TEST(TrackerTest, OwnerDecidesWhetherTheOutlineIsDrawn)
{
    EnsureApp();
    {
        RecordingOwner owner;
        owner.tracker.SetOwner(&owner);
        owner.drawAnswer = 0;
        owner.tracker.m_rect = {5, 5, 5, 5};
        CTrackerDrag drag(owner.tracker, CTracker::hitBottomRight, {5, 5}, &owner, nullptr);
        drag.Step({50, 40}, false);
        Rect shown;
        EXPECT_FALSE(owner.tracker.GetOutline(shown));
        EXPECT_EQ(owner.tracker.OutlineWidget(), nullptr);
    }
    {
        RecordingOwner owner;
        owner.tracker.SetOwner(&owner);
        owner.drawAnswer = 1;
        // The owner moves what is drawn; the outline follows its values.
        owner.onDraw = [](TrackerDrawArgs& args) {
            args.rect.left += 3;
            args.rect.right += 3;
        };
        owner.tracker.m_rect = {5, 5, 5, 5};
        CTrackerDrag drag(owner.tracker, CTracker::hitBottomRight, {5, 5}, &owner, nullptr);
        drag.Step({50, 40}, false);
        Rect shown;
        ASSERT_TRUE(owner.tracker.GetOutline(shown));
        EXPECT_EQ(shown, (Rect{8, 5, 53, 40}));
        EXPECT_EQ(owner.tracker.OutlineWidget()->parentWidget(), &owner);
        drag.Step({30, 20}, false);
        ASSERT_TRUE(owner.tracker.GetOutline(shown));
        EXPECT_EQ(shown, (Rect{8, 5, 33, 20}));
        drag.Step({30, 20}, true);
        EXPECT_FALSE(owner.tracker.GetOutline(shown)); // the release erased it
        EXPECT_EQ(drag.Finish(), 1);
    }
    {
        // Without an owner the outline is drawn, normalised, over the clip widget.
        QWidget parent;
        parent.resize(300, 300);
        QWidget* child = new QWidget(&parent);
        child->setGeometry(40, 30, 100, 100);
        CTracker tracker;
        tracker.m_rect = {60, 60, 60, 60};
        tracker.m_bAllowInvert = 1;
        CTrackerDrag drag(tracker, CTracker::hitBottomRight, {60, 60}, child, &parent);
        drag.Step({20, 10}, false);
        Rect shown;
        ASSERT_TRUE(tracker.GetOutline(shown));
        EXPECT_EQ(shown, (Rect{60, 40, 100, 90}));
        EXPECT_EQ(tracker.OutlineWidget()->parentWidget(), &parent);
        drag.Cancel();
        EXPECT_FALSE(tracker.GetOutline(shown));
        EXPECT_EQ(drag.Finish(), 0);
        EXPECT_EQ(tracker.m_rect, (Rect{60, 60, 60, 60}));
    }
}

TEST(TrackerTest, CancelAfterMovingRestoresTheStart)
{
    EnsureApp();
    RecordingOwner owner;
    owner.tracker.SetOwner(&owner);
    owner.tracker.m_rect = {10, 10, 50, 50};
    CTrackerDrag drag(owner.tracker, CTracker::hitMiddle, {20, 20}, &owner, nullptr);
    drag.Step({40, 45}, false);
    drag.Cancel();
    EXPECT_EQ(drag.Finish(), 0);
    EXPECT_EQ(owner.tracker.m_rect, (Rect{10, 10, 50, 50}));
    EXPECT_EQ(owner.log, (std::vector<std::string>{"changed 10,10,50,50 -> 30,35,70,75", "draw 30,35,70,75",
                                                   "erase 30,35,70,75"}));
}

TEST(TrackerTest, AdjustRectKeepsTheMinimumAndTheDirection)
{
    struct Case
    {
        int handle;
        Rect rect;
        TrackerSize minimum;
        bool allowInvert;
        Rect expected;
    };
    const Case cases[] = {
        {CTracker::hitBottomRight, {10, 10, 4, 30}, {0, 0}, false, {10, 10, 10, 30}},
        {CTracker::hitBottomRight, {10, 10, 4, 30}, {0, 0}, true, {10, 10, 4, 30}},
        {CTracker::hitBottomRight, {10, 10, 12, 12}, {5, 6}, false, {10, 10, 15, 16}},
        {CTracker::hitTopLeft, {12, 12, 15, 15}, {5, 5}, false, {10, 10, 15, 15}},
        {CTracker::hitLeft, {18, 10, 15, 40}, {5, 5}, true, {20, 10, 15, 40}},
        {CTracker::hitMiddle, {30, 30, 10, 10}, {5, 5}, false, {30, 30, 10, 10}},
    };
    for (const Case& c : cases) {
        CTracker tracker;
        tracker.m_sizeMin = c.minimum;
        tracker.m_bAllowInvert = c.allowInvert;
        Rect rect = c.rect;
        tracker.AdjustRect(c.handle, rect);
        EXPECT_EQ(Text(rect), Text(c.expected)) << "handle " << c.handle << " from " << Text(c.rect);
    }
}

TEST(TrackerTest, HandlesAreHitWhereTheyAreShown)
{
    CTracker tracker;
    EXPECT_EQ(tracker.m_nStyle, CTracker::solidLine);
    EXPECT_EQ(tracker.m_nHandleSize, 10);
    tracker.m_rect = {100, 100, 200, 160};
    // A solid line alone has no handles: inside is the whole rectangle.
    EXPECT_EQ(tracker.HitTestHandles({100, 100}), CTracker::hitMiddle);
    EXPECT_EQ(tracker.HitTestHandles({200, 130}), CTracker::hitNothing);

    tracker.m_nStyle = CTracker::solidLine | CTracker::resizeInside;
    EXPECT_EQ(tracker.HitTestHandles({101, 101}), CTracker::hitTopLeft);
    EXPECT_EQ(tracker.HitTestHandles({199, 101}), CTracker::hitTopRight);
    EXPECT_EQ(tracker.HitTestHandles({199, 159}), CTracker::hitBottomRight);
    EXPECT_EQ(tracker.HitTestHandles({101, 159}), CTracker::hitBottomLeft);
    EXPECT_EQ(tracker.HitTestHandles({150, 101}), CTracker::hitTop);
    EXPECT_EQ(tracker.HitTestHandles({199, 130}), CTracker::hitRight);
    EXPECT_EQ(tracker.HitTestHandles({150, 159}), CTracker::hitBottom);
    EXPECT_EQ(tracker.HitTestHandles({101, 130}), CTracker::hitLeft);
    EXPECT_EQ(tracker.HitTestHandles({150, 130}), CTracker::hitMiddle);

    // Too short a side shows no middle handle on it.
    tracker.m_rect = {100, 100, 125, 200};
    EXPECT_EQ(tracker.GetHandleMask() & (1u << CTracker::hitTop), 0u);
    EXPECT_NE(tracker.GetHandleMask() & (1u << CTracker::hitLeft), 0u);
    // Inside handles shrink to fit a small rectangle; outside ones keep their size.
    EXPECT_EQ(tracker.GetHandleSize({0, 0, 8, 30}), 4);
    tracker.m_nStyle = CTracker::solidLine | CTracker::resizeOutside;
    EXPECT_EQ(tracker.GetHandleSize({0, 0, 8, 30}), 10);
    tracker.m_rect = {100, 100, 200, 160};
    EXPECT_EQ(tracker.HitTestHandles({95, 95}), CTracker::hitTopLeft);
}

// The real loop: a press on the widget starts the drag; the moves, keys and
// the release come while the loop runs.
class TrackerLoopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        window.resize(300, 250);
        auto* layout = new QVBoxLayout(&window);
        edit = new QLineEdit(&window);
        owner = new RecordingOwner;
        layout->addWidget(edit);
        layout->addWidget(owner);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        edit->setFocus();
    }
    void TearDown() override
    {
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        if (QWidget::mouseGrabber() != nullptr)
            QWidget::mouseGrabber()->releaseMouse();
    }

    QWidget window;
    QLineEdit* edit = nullptr;
    RecordingOwner* owner = nullptr;
};

TEST_F(TrackerLoopTest, RubberBandDraggedAndReleased)
{
    QTimer::singleShot(0, owner, [this] {
        EXPECT_EQ(QWidget::mouseGrabber(), owner);
        QTest::mouseMove(owner, QPoint(60, 45));
        QTest::mouseMove(owner, QPoint(80, 55));
        QTest::mouseRelease(owner, Qt::LeftButton, Qt::NoModifier, QPoint(80, 55));
    });
    QTest::mousePress(owner, Qt::LeftButton, Qt::NoModifier, QPoint(20, 15));
    EXPECT_EQ(owner->result, 1);
    EXPECT_EQ(owner->tracker.m_rect, (Rect{20, 15, 80, 55}));
    EXPECT_EQ(owner->tracker.GetOwner(), owner);
    EXPECT_EQ(owner->log.back(), "changed 20,15,80,55 -> 20,15,80,55");
    EXPECT_EQ(owner->tracker.OutlineWidget(), nullptr);
}

TEST_F(TrackerLoopTest, EscapeCancelsAndOtherKeysReachTheFocusedWidget)
{
    owner->rubberBand = false;
    owner->tracker.m_rect = {10, 10, 50, 40};
    QTimer::singleShot(0, owner, [this] {
        QTest::mouseMove(owner, QPoint(40, 40));
        QTest::keyClick(edit, Qt::Key_A);
        QTest::keyClick(edit, Qt::Key_Escape);
    });
    QTest::mousePress(owner, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseRelease(owner, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    EXPECT_EQ(owner->result, 0);
    EXPECT_EQ(owner->tracker.m_rect, (Rect{10, 10, 50, 40}));
    EXPECT_EQ(edit->text(), "a");
    EXPECT_EQ(owner->log.back(), "erase 30,30,70,60");
}

TEST_F(TrackerLoopTest, RightButtonCancels)
{
    QTimer::singleShot(0, owner, [this] {
        QTest::mouseMove(owner, QPoint(90, 70));
        QTest::mousePress(owner, Qt::RightButton, Qt::NoModifier, QPoint(90, 70));
    });
    QTest::mousePress(owner, Qt::LeftButton, Qt::NoModifier, QPoint(20, 15));
    QTest::mouseRelease(owner, Qt::RightButton, Qt::NoModifier, QPoint(90, 70));
    QTest::mouseRelease(owner, Qt::LeftButton, Qt::NoModifier, QPoint(90, 70));
    EXPECT_EQ(owner->result, 0);
    EXPECT_EQ(owner->tracker.m_rect, (Rect{20, 15, 20, 15}));
}

TEST_F(TrackerLoopTest, AGrabTakenElsewhereEndsTheDragWithoutRestoring)
{
    QTimer::singleShot(0, owner, [this] {
        QTest::mouseMove(owner, QPoint(60, 45));
        edit->grabMouse();
    });
    QTest::mousePress(owner, Qt::LeftButton, Qt::NoModifier, QPoint(20, 15));
    EXPECT_EQ(owner->result, 1);
    EXPECT_EQ(owner->tracker.m_rect, (Rect{20, 15, 60, 45}));
    EXPECT_EQ(QWidget::mouseGrabber(), edit); // not released by the tracker
    edit->releaseMouse();
    QTest::mouseRelease(owner, Qt::LeftButton, Qt::NoModifier, QPoint(60, 45));
}

TEST_F(TrackerLoopTest, AGrabHeldElsewhereReturnsAtOnceAndSendsNothing)
{
    edit->grabMouse();
    owner->tracker.SetOwner(owner);
    EXPECT_EQ(owner->tracker.TrackRubberBand(owner, {20, 15}), 0);
    EXPECT_EQ(owner->tracker.TrackHandle(CTracker::hitMiddle, owner, {20, 15}, nullptr), 0);
    EXPECT_TRUE(owner->log.empty());
    EXPECT_EQ(QWidget::mouseGrabber(), edit);
    edit->releaseMouse();
}

TEST_F(TrackerLoopTest, TrackMissingTheRectangleDoesNothing)
{
    owner->tracker.m_rect = {10, 10, 50, 40};
    EXPECT_EQ(owner->tracker.Track(owner, {100, 100}), 0);
    EXPECT_TRUE(owner->log.empty());
    EXPECT_EQ(owner->tracker.GetOwner(), owner);
}

} // namespace
