// The base of the small modal settings dialogs: OK (id 1) and Cancel (id 2),
// localisation from the dialog's section, and the dialog's own start-up step
// run once when it is first shown, after the caller has filled it.
#pragma once

#include <QDialog>

class IDialogShell;
class QPushButton;

class CSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    CSettingsDialog(IDialogShell& shell, int dialogId, QWidget* parent);

    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

protected:
    // Called once, when the dialog is first shown.
    virtual void OnInitDialog() {}
    // After the controls exist: size, title and places from the localisation file.
    void Localize();
    // A control with its id, as the localisation file places it.
    template <typename Widget> Widget* AddControl(Widget* widget, int controlId)
    {
        Identify(widget, controlId);
        return widget;
    }

    void showEvent(QShowEvent* event) override;

    IDialogShell& m_shell;

private:
    static void Identify(QWidget* widget, int controlId);

    int m_dialogId;
    bool m_initialised = false;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
