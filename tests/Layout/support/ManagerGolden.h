// Golden pictures of the page drawing: a canvas compared with a PNG under
// tests/fixtures/layout/. With ZAV_UPDATE_GOLDEN set the PNG is written instead.
#pragma once

#include "ImageProcessing/Image.h"

#include <string>

namespace managertest {

// Empty when the canvas equals the picture; else what differs.
std::string CompareWithGolden(const CImage& canvas, const std::string& name);

} // namespace managertest
