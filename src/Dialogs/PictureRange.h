// The rules of the picture-range editor that need no window: turning the
// picture the way its frame shows it, moving a range between the stored and
// the turned picture, the range a rubber band chose, the check on OK and
// where the dialog's stored rectangle opens.
#pragma once

#include "Dialogs/PictureViewGeometry.h"
#include "ImageProcessing/GdiTypes.h"
#include "ImageProcessing/ImageFile.h"

// A range of the stored picture in the picture turned by `rotation` quarter
// turns (clockwise), whose size is `turned`; and back.
RECT StoredToTurnedRange(const RECT& range, int rotation, SIZE turned);
RECT TurnedToStoredRange(const RECT& range, int rotation, SIZE turned);

// A 32-bit bottom-up picture turned by 0..3 quarter turns through the rotate
// filter; the size follows. A failed turn throws the filter's enumErrorID.
void TurnPicture(PageBuffer& pixels, SIZE& size, int rotation);

// The range a rubber band chose: its corners (the anchor first, as dragged,
// in client coordinates) in picture coordinates within the picture, squared
// about the anchor when asked. Empty when nothing remains.
RECT RangeFromBand(const CPictureViewGeometry& geometry, const RECT& band, bool square);

enum class RangeVerdict {
    WriteEmpty, // no range: the whole picture
    Write,
    Refuse, // text 84
};
// A range of the stored picture that the frame would show enlarged to at
// least 160 pixels a side must not then exceed 4095 pixels a side.
RangeVerdict CheckPictureRange(const RECT& range);

// A stored window rectangle moved into the work area, its size kept.
RECT PlaceInsideWorkArea(const RECT& window, const RECT& workArea);
