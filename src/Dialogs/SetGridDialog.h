// The grid dialog: shown, snapped, and the cell's width and height, edited in
// the display unit and kept in layout units.
#pragma once

#include "Dialogs/SettingsDialog.h"
#include "Layout/LayoutManager.h"

class CDigitEdit;
class CLayoutManager;
class QCheckBox;
class QLabel;

class CSetGridDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    explicit CSetGridDialog(IDialogShell& shell, QWidget* parent = nullptr);

    // Filled before the dialog runs, read after OK.
    void SetGrid(const GridSettings& grid) { m_grid = grid; }
    GridSettings GetGrid() const { return m_grid; }

    CDigitEdit* WidthEdit() const { return m_widthEdit; }
    CDigitEdit* HeightEdit() const { return m_heightEdit; }
    QCheckBox* ShowBox() const { return m_show; }
    QCheckBox* SnapBox() const { return m_snap; }

    void accept() override;

protected:
    void OnInitDialog() override;

private:
    void ShowLengths();
    void OnLengthChanged(bool width);

    GridSettings m_grid;
    int m_unitShown = -1;
    int m_unit;
    bool m_guard = false;
    QCheckBox* m_show;
    QCheckBox* m_snap;
    CDigitEdit* m_widthEdit;
    CDigitEdit* m_heightEdit;
    QLabel* m_widthUnit;
    QLabel* m_heightUnit;
};

// The view's Grid command: the layout model's grid through the dialog; true
// when it was confirmed and stored.
bool RunGridDialog(IDialogShell& shell, CLayoutManager& manager, QWidget* parent = nullptr);
