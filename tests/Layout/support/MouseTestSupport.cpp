#include "Layout/support/MouseTestSupport.h"

namespace mousetest {

void MouseFixture::SetUp()
{
    layouttest::EnsureGuiApplication();
    managertest::SetUpA4(manager);
    manager.SetZoom(1.0f, false);
    kept.Create(400, 400);
    host.keptImage = &kept;
    printable = manager.GetPrintableRect();
}

POINT MouseFixture::Canvas(POINT itemPoint) const
{
    const POINT offset = manager.GetMarginOffset(true);
    return POINT{itemPoint.x + offset.x, itemPoint.y + offset.y};
}

void MouseFixture::Press(POINT itemPoint, int flags)
{
    manager.OnLButtonDown(flags, Canvas(itemPoint));
}

void MouseFixture::MoveTo(POINT itemPoint, int flags)
{
    manager.OnMouseMove(flags, Canvas(itemPoint));
}

void MouseFixture::Release(POINT itemPoint, int flags)
{
    manager.OnLButtonUp(flags, Canvas(itemPoint));
}

void MouseFixture::Drag(POINT from, std::initializer_list<POINT> path, int flags)
{
    Press(from, flags);
    POINT last = from;
    for (POINT p : path) {
        MoveTo(p, flags);
        last = p;
    }
    Release(last, flags & ~MK_LBUTTON);
}

POINT MouseFixture::InP(int dx, int dy) const
{
    return POINT{printable.left + dx, printable.top + dy};
}

RECT MouseFixture::RectOf(const CItem* item) const
{
    RECT r{};
    if (item)
        item->GetRect(&r, false);
    return r;
}

POINT HandlePoint(const CLayoutItem& item, int code)
{
    POINT p{};
    item.GetHandlePoint(&p, code - 2, true);
    return p;
}

} // namespace mousetest
