// The frame image a camera layout set stores, taken from the file it came
// from when drawing it again would give exactly that file's pixels and mask:
// re-registering a set opened unchanged then keeps its pictures byte for byte
// instead of encoding decoded pixels once more.
#pragma once

#include <optional>
#include <vector>

class CLayoutManager;

// The bytes of the one background's EFF file when the page draws nothing else
// into the frame image, the background covers the printable area at its
// picture's own size, unturned and with no range, and its working copy is
// still as that file gave it; nothing otherwise.
std::optional<std::vector<char>> CarriedFrameImage(const CLayoutManager& layout);
