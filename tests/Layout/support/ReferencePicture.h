// Rendered pages checked against stored pictures rather than hashes: a
// difference fails with the picture that was drawn and a picture of where it
// differs, so that a font or Qt update shows what changed.
#pragma once

#include <QImage>

#include <gtest/gtest.h>

#include <string>

class CImage;

namespace referencetest {

// The image's colours as a picture, top row first (a mask's value is its red).
QImage PictureOf(const CImage& image);

// Every channel of every pixel within `tolerance` levels of
// tests/fixtures/NAME.png. On failure NAME.actual.png and NAME.diff.png
// (differing pixels red, as strong as the difference, over a faded copy) are
// written under the folder "reference-differences" of the working folder and
// named in the message. With ZAV_UPDATE_GOLDEN set the reference is written
// from the picture instead, and the check fails, so that a rewritten
// reference is never taken for a pass.
::testing::AssertionResult MatchesReference(const QImage& picture, const std::string& name, int tolerance);

} // namespace referencetest
