// A rubber band dragged back past its start corner keeps that corner: the
// picture views take it as the corner the range starts from.
#include "App/support/AppTestSupport.h"
#include "Dialogs/Tracker.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace {

class SilentOwner : public QWidget, public ITrackerOwner
{
public:
    int OnTrackerDraw(TrackerDrawArgs&) override { return 0; }
    void OnTrackerChanged(const Rect&, CTracker&) override {}
};

TEST(TrackerInvertedBandTest, TheAnchorStaysWhenTheBandTurnsOverAndBack)
{
    EnsureApp();
    struct Case
    {
        std::vector<Point> steps;
        Rect expected;
    };
    const Case cases[] = {
        {{{150, 120}, {140, 110}}, {200, 200, 140, 110}},
        {{{150, 120}, {260, 230}}, {200, 200, 260, 230}},
        {{{260, 230}, {150, 250}, {120, 150}}, {200, 200, 120, 150}},
    };
    for (const Case& c : cases) {
        SilentOwner owner;
        CTracker tracker;
        tracker.SetOwner(&owner);
        tracker.m_bAllowInvert = 1;
        tracker.m_rect = {200, 200, 200, 200};
        CTrackerDrag drag(tracker, CTracker::hitBottomRight, {200, 200}, &owner, nullptr);
        for (const Point& p : c.steps)
            drag.Step(p, false);
        drag.Step(c.steps.back(), true);
        EXPECT_EQ(drag.Finish(), 1);
        EXPECT_EQ(tracker.m_rect, c.expected);
    }
}

} // namespace
