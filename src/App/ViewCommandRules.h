// The editing view's commands that do more than forward, and the questions
// their update handlers ask of the selection, on the layout model alone.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <string>

class CInsertImageFrameItem;
class CLayoutManager;

// Menu line widths in layout units (1 pt = 5 units).
constexpr int kUnitsPerPoint = 5;

// The width of a line-width command (32811 hairline .. 32818 8 pt); 0 for any other id.
int LineWidthOfCommand(int id);
// True when the width is one of the eight menu widths.
bool IsMenuLineWidth(int width);

// --- Selection questions of the update handlers --------------------------------------
int SelectedCount(const CLayoutManager& layout);
bool HasSelectedLine(const CLayoutManager& layout);
// The common width of the selected lines (0 when they differ) when a line is
// selected, else the default line width.
int CurrentLineWidth(const CLayoutManager& layout);
// The selection is not empty and all of it is lines / texts / background or frame images /
// insert-photo frames (a macro string whose frame is selected too counts with its frame).
bool IsOnlyLines(const CLayoutManager& layout);
bool IsOnlyTexts(const CLayoutManager& layout);
bool IsOnlyBackgrounds(const CLayoutManager& layout);
bool IsOnlyInsertFrames(const CLayoutManager& layout);
// Cut, Copy, Delete and Order: something selected, not only macro strings,
// and on a camera layout no insert-photo frame among it.
bool CanEditSelection(const CLayoutManager& layout, bool camera);
// The one insert-photo frame the selection is about (the frame itself or its
// macro strings); null when the selection is empty or covers more than one.
const CInsertImageFrameItem* OneFrameOfSelection(const CLayoutManager& layout);
bool CanZoomIn(float scale);
bool CanZoomOut(float scale);

// --- Commands ----------------------------------------------------------------------
// A menu width for the selected lines and as the default: false (nothing
// changed, not even the default) when the layout refuses it.
bool ApplyLineWidth(CLayoutManager& layout, int width);
// The line dialog's starting value in points: the current width / 5, at least 1.
int OtherWidthStartPoints(const CLayoutManager& layout);
// The width the dialog's points give, as the default and to the selected lines.
void ApplyOtherWidth(CLayoutManager& layout, int points);
// The colour dialog's starting colour: the selected lines' common colour, or the default.
COLORREF LineColourStart(const CLayoutManager& layout);
void ApplyLineColour(CLayoutManager& layout, COLORREF colour);
// The first selected insert-photo frame loses its picture and used range,
// under a record Undo restores it from; false when no frame is selected. The
// caller tells the view (selection, then content).
bool RemoveAppliedImage(CLayoutManager& layout);
// Aspect commands 32873 (3:2), 32874 (4:3), 32875 (not fixed) on the selected
// insert-photo frames, every one recorded; false for another id. The caller
// tells the view.
bool SetSelectedFramesAspect(CLayoutManager& layout, int command);
// The new value of the keep-aspect and automatic-rotation toggles.
bool NextKeepAspect(const CLayoutManager& layout);
bool NextAutoRotate(const CLayoutManager& layout);
// The shortest roll the items fit on: their far edge along the roll, negative
// margins added, plus 1.
int RollPaperLowestLength(const CLayoutManager& layout);
// The roll length the dialog starts with, kept within lowest .. 15840.
int RollPaperStartLength(const CLayoutManager& layout, int lowest);
// The online manual beside the program.
std::string OnlineManualPath(const std::string& programFolder);
