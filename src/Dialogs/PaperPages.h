// The wizard's paper pages: paper, direction and printable area of a layout
// for the photo-printing application, and the direction of a camera layout.
// Finish makes the new layout and remembers the choice as the next default.
#pragma once

#include "Dialogs/NewWizard.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;

// Printable areas, the ids of the area buttons' group.
enum PrintableArea { kAreaStandard = 0, kAreaMaximum = 1, kAreaBorderless = 2, kAreaRollPaper = 3 };

// The printable area a stored margin mode shows (-1 for none).
int AreaOfMarginMode(int margin);
// The margin mode Finish stores.
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
