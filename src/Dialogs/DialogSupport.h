// What the settings dialogs share: localisation of a dialog and its texts,
// the range message, lengths in the display unit, the decorative bitmap of
// the left column, and the file chooser's case-blind patterns.
#pragma once

#include <string>
#include <string_view>

class CDigitEdit;
class IDialogShell;
class QPainter;
class QWidget;

// The dialog's size, title, control places and captions from its section.
void LocalizeDialog(QWidget* dialog, int dialogId, IDialogShell& shell);
// A text of section "Caption"; empty when missing.
std::string LocalizedText(IDialogShell& shell, int textId);

// The first two "%s" of the text replaced by the bounds; the text is never
// used as a printf format.
std::string FormatRangeText(std::string text, const std::string& lower, const std::string& upper);
// Text 164 with the bounds, with the stop icon.
void ShowRangeMessage(IDialogShell& shell, const std::string& lower, const std::string& upper);

// Display units: 0 pixels (layout units), 1 millimetres, 2 inches, at 360 per inch.
constexpr int kUnitPixels = 0;
constexpr int kUnitMillimetres = 1;
constexpr int kUnitInches = 2;
constexpr int kLayoutResolution = 360;
float LayoutToUnit(int length, int unit);
// Rounded half away from zero.
int UnitToLayout(double value, int unit);
// Text 104, 199 or 200.
int UnitLabelTextId(int unit);

// A length box for the unit: pixels whole numbers of at most `pixelChars`
// characters, millimetres and inches three decimals in `mmChars` or 6.
void SetupLengthEdit(CDigitEdit& edit, int unit, int pixelChars, int mmChars);
// The length written with "%f" (under the guard, so the dialog's change
// handler ignores that write) and reformatted by the box.
void ShowLengthIn(CDigitEdit& edit, int length, int unit, bool& guard);

// "*.bmp;*.jpg" as "*.[bB][mM][pP] *.[jJ][pP][gG]".
std::string CaseBlindWildcards(std::string_view patterns);

// The bitmap at the bottom of the left edge, the column above it white.
void PaintLeftBitmap(QWidget* dialog, QPainter& painter, int bitmapId);
