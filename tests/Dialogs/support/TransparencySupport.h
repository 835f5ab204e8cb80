// Fixtures of the transparency editor's tests: a background item whose
// working file is a 32-bit bitmap with a given alpha, and mask read-out.
#pragma once

#include "Dialogs/TransparencyMask.h"
#include "Layout/BackgroundImageFrameItem.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

// A background item loaded from a w x h picture, its working file holding
// alpha(x, y) (top-down) in the fourth byte.
std::unique_ptr<CBackgroundImageFrameItem> MakeAlphaItem(const QString& folder, const std::string& name,
                                                         int w, int h,
                                                         const std::function<int(int, int)>& alpha);
// The mask byte at top-down (x, y).
int MaskByteAt(const CTransparencyMask& picture, int x, int y);
