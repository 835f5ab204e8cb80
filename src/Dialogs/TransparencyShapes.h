// The transparency editor's shape coverage: a shape drawn in pure black and
// white, raised to the fill level, feathered by the blur and laid out as a
// bottom-up byte plane of its working area, ready to merge into the mask.
#pragma once

#include "ImageProcessing/ImageFile.h"

#include <cstdint>
#include <functional>

class CImage;
class IFilterProgressSink;

// The byte a shape fills with: a camera layout always 255; otherwise the ratio
// (0..100), or 100 minus it in the cancel mode (1), scaled to 0..255 in
// integers, so that 100 gives 255 exactly.
int TransparencyFillLevel(int ratio, int mode, bool camera);

// Where the three samples of a level buffer's pixel come from: sample c of
// pixel x is the work image's column starts[c] + x, for `width` pixels. The
// blurred work image's columns up to ends[0] are read from sample 0, those up
// to ends[1] from sample 1 and the rest from sample 2.
struct ShapeLevelLayout
{
    int width = 0;
    int starts[3] = {};
    int ends[2] = {};
};

// The work image as the bottom-up 24-bit buffer the feathering blurs (rows
// padded to 4 bytes with zeros): a sample whose work pixel has 255 as its
// first byte takes the level, every other is 0. Null when memory runs out or
// the layout reaches outside the image.
PageBuffer ShapeLevelBits(const CImage& work, int level, const ShapeLevelLayout& layout);

// The layout blurring a work image `width` columns wide by `blur`: three
// overlapping ranges side by side where that is narrower, else the whole
// width in every sample.
ShapeLevelLayout PackShapeLevels(int width, int blur);

// Which part of a working area the shape is drawn in; the rest is mirrored
// from it: all of it, its left half (ceil(W / 2) columns) or its top-left
// quarter.
enum class CoverageMirror { None, Horizontal, Both };

// The pipeline every shape maker shares: `draw` paints the shape in white
// into a black work image of the drawn part (drawn without smoothing, in
// working-area coordinates); the white becomes the level, a blur above 1
// feathers it (progress to `progress`), and the result is laid out as the
// areaWidth x areaHeight coverage, rows bottom-up and unpadded, the mirrored
// parts copied (a middle column or row is kept once). Throws enumErrorID
// (1 for memory and drawing, -1 for the blur).
PageBuffer MakeShapeCoverage(int areaWidth, int areaHeight, CoverageMirror mirror,
                             const std::function<void(CImage& work)>& draw, int blur, int level,
                             IFilterProgressSink* progress);

enum class SymmetricShape { Rectangle, Ellipse };

// The coverage of a w x h rectangle or inscribed ellipse feathered by `blur`
// pixels: (w + 2 blur) x (h + 2 blur) bytes, rows bottom-up and unpadded. Only
// the top-left quarter is drawn and blurred, the rest is mirrored from it.
// The blur (above 1) reports its progress to `progress`. Throws enumErrorID
// (1 for memory and drawing, -1 for the blur).
PageBuffer MakeSymmetricCoverage(SymmetricShape shape, int width, int height, int blur, int level,
                                 IFilterProgressSink* progress);

// Merges a coverage plane whose top-left corner lies at picture (left, top)
// into a bottom-up mask of width x height bytes with rows `stride` apart; only
// the part inside the picture changes. Mode 0 raises each byte to the
// coverage, mode 1 lowers it to 255 minus the coverage.
void MergeCoverage(std::uint8_t* mask, int width, int height, int stride, const std::uint8_t* coverage,
                   int coverageWidth, int coverageHeight, int left, int top, int mode);
