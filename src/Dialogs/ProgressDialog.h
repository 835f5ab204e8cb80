// Two small modeless notices shown while the editor works on the interface
// thread: the progress of a long filter (a text and a bar from 0 to 100),
// and the one-line notice shown while Print hands the layout over.
#pragma once

#include "Dialogs/FilterProgress.h"

#include <QDialog>

#include <memory>

class IDialogShell;
class QLabel;
class QProgressBar;

class CProgressDialog : public QDialog, public IFilterProgress
{
    Q_OBJECT
public:
    static constexpr int kTextId = 1501;
    static constexpr int kBarId = 1500;

    // Made by its user, who destroys it after the work.
    explicit CProgressDialog(IDialogShell& shell, QWidget* parent = nullptr);

    // Shows the notice, centred on the owner when there is one; without one
    // it stays where its layout puts it.
    void Create(QWidget* owner);
    void SetText(const std::string& text) override;
    // Painted at once: the work runs on this thread and pumps no messages.
    void SetPos(int percent) override;

    QLabel* TextLabel() const { return m_text; }
    QProgressBar* Bar() const { return m_bar; }

private:
    IDialogShell& m_shell;
    QLabel* m_text;
    QProgressBar* m_bar;
};

// The progress of a blur started from `owner`: shown at once, centred on it,
// closed when released.
std::unique_ptr<IFilterProgress> CreateFilterProgress(IDialogShell& shell, QWidget* owner);

class CWaitPrintSettingDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kTextId = 1501;

    // Localised and centred on the owner (the parent).
    explicit CWaitPrintSettingDialog(IDialogShell& shell, QWidget* owner = nullptr);

    QLabel* TextLabel() const { return m_text; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_text;
};
