// What the tool box and the paper-mode bar share: the keys typed into them go
// to the view, their controls start as placeholders that the real controls
// replace, tool tips are the controls' texts, and the small bitmap buttons.
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QObject>

#include <string>

class IDialogShell;
class QDockWidget;

// The system edge of the bars' frames, in pixels.
constexpr int kBarEdge = 2;

// Every key typed into the watched widgets goes to the active view instead;
// shortcuts then work while a bar has the focus.
class BarKeyForwarder : public QObject
{
public:
    BarKeyForwarder(IDialogShell& shell, QObject* parent) : QObject(parent), m_shell(shell) {}
    // The widget and all its descendants.
    void Watch(QWidget* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    IDialogShell& m_shell;
};

// A control's tool tip: its text, at most 80 bytes in Shift-JIS.
std::string BarToolTipText(const std::string& text);
// Sets every control's tool tip from its text.
void ApplyBarToolTips(QWidget* bar);

// A placeholder control of a bar's dialog; the real one takes its place.
QWidget* AddPlaceholder(QWidget* bar, int controlId, bool button);
// The parent's control of that id (descendants included), or null.
QWidget* FindControl(QWidget* parent, int controlId);
// The replacement takes the control's id, place, visibility and text; the
// placeholder is deleted. False when the parent has no such control.
bool ReplaceControl(QWidget* parent, int controlId, QWidget* replacement);

// The floating frame of a bar, or null while it is not floating.
QDockWidget* FloatingFrameOf(QWidget* bar);

// A push button drawn with bitmaps: normal, pressed and disabled.
class CBitmapPushButton : public QAbstractButton
{
    Q_OBJECT
public:
    CBitmapPushButton(int controlId, QImage normal, QImage selected, QImage disabled);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_normal, m_selected, m_disabled;
};

// A floating bar's frame takes the bar's title and cannot be closed: the
// frames are shown and hidden from the View menu only.
void AdoptDockFrameTitle(QWidget* bar);
