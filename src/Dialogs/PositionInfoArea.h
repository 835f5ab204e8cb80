// CPositionInfoArea: the tool box's read-out of where the selection lies on
// the paper: its size in a square, the four distances to the paper's edges
// around it, and the unit's name. It keeps nothing: every paint asks the
// active document.
#pragma once

#include <QWidget>

class IDialogShell;
class QPainter;

// Two strokes meeting at the tip: direction 0 up, 1 down, 2 left, 3 right.
// A null painter draws nothing.
void DrawArrowTip(QPainter* painter, QPoint tip, int direction);

class CPositionInfoArea : public QWidget
{
    Q_OBJECT
public:
    explicit CPositionInfoArea(IDialogShell& shell, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    IDialogShell& m_shell;
};
