// Window positions for placing dialogs, on Qt widgets.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// The widget's outer rectangle in its parent's client coordinates (screen
// coordinates for a top-level window).
QRect GetWindowRectInParent(const QWidget* window);
QPoint GetWindowPosInParent(const QWidget* window);
int GetWindowWidth(const QWidget* window);
int GetWindowHeight(const QWidget* window);
// The screen point at which `window` is centred on `other`: the other's outer
// top-left corner plus half the difference of the other's client size and
// the window's outer size.
QPoint CalcCenteredWindowPos(const QWidget* window, const QWidget* other);

// How much wider and higher a control must be to show its whole text: labels
// (a word-wrapped one by the height its width needs), push buttons, check
// boxes and radio buttons; (0, 0) when the whole text shows and for any other
// widget.
QSize TextShortfall(const QWidget* control);
