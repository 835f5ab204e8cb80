// The opening picture at start-up: bitmap 402, gone after three seconds, at a
// click, or when it first loses activation.
#pragma once

#include <QDialog>
#include <QImage>
#include <QTimer>

class IDialogShell;

// Set once a logo closed because it lost activation; never cleared, so only
// the first loss of activation in the process closes a logo.
extern int g_logoClosedByDeactivation;

class CLogoDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CLogoDialog(IDialogShell& shell, QWidget* parent = nullptr);

    QTimer& Timer() { return m_timer; }

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    QTimer m_timer;
};
