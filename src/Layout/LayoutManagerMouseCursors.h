// The cursors of the mouse editing by resource id (304..313): the picture
// and its hot spot, for the view to turn into its own cursor.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <QImage>

struct LayoutCursor
{
    QImage image; // null for an unknown id
    POINT hotSpot{};
};

LayoutCursor LoadLayoutCursor(int id);
