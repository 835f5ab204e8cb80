// The wizard's paper pages: paper, direction and printable area of a layout
// for the photo-printing application, and the direction of a camera layout.
// Finish makes the new layout and remembers the choice as the next default.
#pragma once

#include "Core/PaperRules.h"
#include "Dialogs/NewWizard.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;

// The area buttons' group numbers its buttons as the paper rules number the
// printable areas (PrintableArea).

// The margin mode Finish stores: the auto cutter counts only while shown.
int MarginModeOf(int area, int paper, bool autoCutter, int showAutoCutter);

class CPaperSettingDialog : public CWizardDialog
{
    Q_OBJECT
public:
    explicit CPaperSettingDialog(IDialogShell& shell);

    void initializePage() override;
    bool validatePage() override;
    // Finish needs a paper.
    bool isComplete() const override;

protected:
    void PaintPage(QPainter& painter) override;

private:
    void OnPaperChanged();

    QComboBox* m_papers;
    QButtonGroup* m_area;
    QButtonGroup* m_direction;
    QCheckBox* m_autoCutter;
    bool m_filling = false;
};

class CDSCPaperSettingDialog : public CWizardDialog
{
    Q_OBJECT
public:
    explicit CDSCPaperSettingDialog(IDialogShell& shell);

    void initializePage() override;
    bool validatePage() override;

protected:
    void PaintPage(QPainter& painter) override;

private:
    QButtonGroup* m_direction;
};
