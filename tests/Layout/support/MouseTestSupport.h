// Helpers of the mouse and key editing tests: a manager on an A4 page at a
// known zoom, a fake view with a kept image, and press / move / release
// sequences given in item coordinates at the current scale.
#pragma once

#include "Core/support/ScopedTmpDir.h"
#include "Core/support/ScratchFolder.h"
#include "Layout/LayoutManager.h"
#include "Layout/support/LayoutTestSupport.h"
#include "Layout/support/ManagerTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace mousetest {

class MouseFixture : public ::testing::Test
{
protected:
    void SetUp() override;

    // The canvas point the view would forward for an item point at the current scale.
    POINT Canvas(POINT itemPoint) const;
    void Press(POINT itemPoint, int flags = MK_LBUTTON);
    void MoveTo(POINT itemPoint, int flags = MK_LBUTTON);
    void Release(POINT itemPoint, int flags = 0);
    // Press, one move per point, release at the last point.
    void Drag(POINT from, std::initializer_list<POINT> path, int flags = MK_LBUTTON);
    // A point in the printable rect, offset from its top-left, in layout units (scale 1).
    POINT InP(int dx, int dy) const;
    RECT RectOf(const CItem* item) const;

    // The editor's temporary folders go to a folder of this test's own.
    ScratchFolder scratch;
    ScopedTmpDir tmpDir{scratch.Path()};
    managertest::FakeHost host;
    managertest::FakeModeShell shell;
    CLayoutManager manager;
    CImage kept;
    RECT printable{};
};

// The scaled point of a handle (code 2..9) of an item.
POINT HandlePoint(const CLayoutItem& item, int code);

} // namespace mousetest
