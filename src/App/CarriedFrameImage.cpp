#include "App/CarriedFrameImage.h"

#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/FrameImage.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The one visible background when every other visible item is a photo frame
// (which the frame image leaves out).
const CBackgroundImageFrameItem* OnlyBackground(const CLayoutManager& layout)
{
    const CBackgroundImageFrameItem* found = nullptr;
    for (const auto& item : layout.GetItems()) {
        if (!item->IsVisible() || IsKindOf<CInsertImageFrameItem>(item.get()))
            continue;
        const auto* background = dynamic_cast<const CBackgroundImageFrameItem*>(item.get());
        if (!background || found)
            return nullptr;
        found = background;
    }
    return found;
}

} // namespace

std::optional<std::vector<char>> CarriedFrameImage(const CLayoutManager& layout)
{
    const CBackgroundImageFrameItem* background = OnlyBackground(layout);
    if (!background || !background->GetCarriedPicture().IsSet() || background->GetImageRotation() != 0)
        return std::nullopt;
    RECT range{};
    background->GetImageRange(&range);
    if (!SameRect(range, RECT{}))
        return std::nullopt;
    // The canvas is the printable area, right and bottom inclusive, at one
    // pixel per unit; a padded one places the page inside a larger picture.
    const RECT printable = layout.GetPrintableRect();
    const FramePadding pad =
        ComputeFramePadding(printable.right - printable.left + 1, printable.bottom - printable.top + 1);
    if (pad.small || pad.offset.x != 0 || pad.offset.y != 0 ||
        pad.width != printable.right - printable.left + 1 ||
        pad.height != printable.bottom - printable.top + 1)
        return std::nullopt;
    RECT rect{};
    background->GetRect(&rect, false);
    const SIZE picture = background->GetPictureSize();
    if (!SameRect(rect, printable) || picture.cx != pad.width || picture.cy != pad.height)
        return std::nullopt;
    return background->TakeCarriedPicture();
}
