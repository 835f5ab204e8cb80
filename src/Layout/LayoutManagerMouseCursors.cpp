#include "Layout/LayoutManagerMouseCursors.h"

#include <QString>

namespace {
struct HotSpot
{
    int id;
    POINT point;
};

// The tool cursors aim with their cross, the selection with the arrow's tip,
// the move and resize arrows with their middle.
constexpr HotSpot kHotSpots[] = {
    {304, {15, 15}}, {305, {15, 15}}, {306, {15, 15}}, {307, {15, 15}}, {308, {0, 0}},
    {309, {15, 15}}, {310, {15, 15}}, {311, {15, 15}}, {312, {15, 15}}, {313, {15, 15}},
};
} // namespace

LayoutCursor LoadLayoutCursor(int id)
{
    for (const HotSpot& spot : kHotSpots) {
        if (spot.id != id)
            continue;
        LayoutCursor cursor;
        cursor.image = QImage(QStringLiteral(":/cursors/%1.png").arg(id));
        if (!cursor.image.isNull())
            cursor.hotSpot = spot.point;
        return cursor;
    }
    return {};
}
