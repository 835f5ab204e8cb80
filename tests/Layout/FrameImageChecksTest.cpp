#include "Layout/LayoutManager.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace managertest;

class FrameImageChecksTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        layouttest::EnsureGuiApplication();
        SetUpA4(manager);
    }
    FakeHost host;
    FakeModeShell shell;
    CLayoutManager manager;
};

TEST_F(FrameImageChecksTest, MoreThanTwentyItemsOnOneLineRefusePrinting)
{
    for (int i = 0; i < 21; ++i)
        Append(manager, MakeString(RECT{10 * i, 100 + i, 10 * i + 5, 200}, "S"));
    EXPECT_EQ(manager.GetPrintLineExtent(), 0);
    // Spread down the page no line meets more than one.
    manager.DeleteAllItems();
    for (int i = 0; i < 21; ++i)
        Append(manager, MakeString(RECT{0, 100 * i, 50, 100 * i + 50}, "S"));
    EXPECT_EQ(manager.GetPrintLineExtent(), 1);
    // A line's thickness counts: the 21st item is a line reaching into the band from above.
    manager.DeleteAllItems();
    for (int i = 0; i < 20; ++i)
        Append(manager, MakeString(RECT{10 * i, 100, 10 * i + 5, 200}, "S"));
    auto* line = Append(manager, MakeLine(RECT{0, 90, 300, 90}, 5));
    EXPECT_EQ(manager.GetPrintLineExtent(), 1);
    line->SetWidth(11);
    EXPECT_EQ(manager.GetPrintLineExtent(), 0);
    line->SetVisible(false);
    EXPECT_EQ(manager.GetPrintLineExtent(), 1);
}

TEST_F(FrameImageChecksTest, StringRectsMustRenderBetween160And4095)
{
    struct Case
    {
        int w, h, expected;
    };
    for (const Case& c : {Case{100, 100, 1}, Case{10, 4000, 0}, Case{100, 2000, 1}, Case{5000, 100, 0},
                          Case{5000, 3000, 1}, Case{300, 300, 1}}) {
        manager.DeleteAllItems();
        Append(manager, MakeString(RECT{0, 0, c.w, c.h}, "S"));
        EXPECT_EQ(manager.GetPrintStringExtent(), c.expected) << c.w << "x" << c.h;
    }
    manager.DeleteAllItems();
    Append(manager, MakeString(RECT{0, 0, 10, 4000}, "S"))->SetVisible(false);
    EXPECT_EQ(manager.GetPrintStringExtent(), 1);
}

TEST_F(FrameImageChecksTest, AppliedImagesNeedSomethingBesidesEmptyFrames)
{
    EXPECT_EQ(manager.CheckAppliedImages(), -1);
    auto* frame = AppendFrameWithTexts(manager, RECT{0, 0, 100, 100}, 1, {RECT{0, 101, 50, 120}});
    EXPECT_EQ(manager.CheckAppliedImages(), -1);
    frame->SetImageFileName("/photos/a.jpg");
    EXPECT_EQ(manager.CheckAppliedImages(), 2);
    frame->SetImageFileName("");
    Append(manager, MakeLine(RECT{0, 200, 100, 200}, 1));
    EXPECT_EQ(manager.CheckAppliedImages(), 3);
}

TEST_F(FrameImageChecksTest, GetItemAtCountsFromTheHead)
{
    auto* a = Append(manager, MakeString(RECT{0, 0, 10, 10}, "a"));
    auto* b = Append(manager, MakeString(RECT{0, 0, 10, 10}, "b"));
    EXPECT_EQ(manager.GetItemAt(0), a);
    EXPECT_EQ(manager.GetItemAt(1), b);
    EXPECT_EQ(manager.GetItemAt(2), nullptr);
}

} // namespace
