// The line-width dialog: a width in points for the selected lines, refused
// when it is out of range or would push a selected line off the printable
// area. The caller applies the width (with its undo record) after OK.
#pragma once

#include "Dialogs/SettingsDialog.h"

class CDigitEdit;

class CSetLineDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    explicit CSetLineDialog(IDialogShell& shell, QWidget* parent = nullptr);

    // Points; filled before the dialog runs, read after OK.
    void SetLineWidth(int points) { m_width = points; }
    int GetLineWidth() const { return m_width; }

    CDigitEdit* WidthEdit() const { return m_edit; }

    void accept() override;

protected:
    void OnInitDialog() override;

private:
    int m_width = 1;
    CDigitEdit* m_edit;
};
