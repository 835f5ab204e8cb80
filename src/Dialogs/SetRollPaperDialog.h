// The roll-paper dialog: the length of a roll-paper layout, by a slider in
// layout units and a box in the display unit that follow each other.
#pragma once

#include "Dialogs/SettingsDialog.h"

class CDigitEdit;
class QLabel;
class QSlider;

class CSetRollPaperDialog : public CSettingsDialog
{
    Q_OBJECT
public:
    // The slider's scroll requests, as the length steps them.
    enum ScrollCode : int {
        LineLeft = 0,
        LineRight = 1,
        PageLeft = 2,
        PageRight = 3,
        ThumbPosition = 4,
        ThumbTrack = 5,
        ToLeft = 6,
        ToRight = 7,
        EndScroll = 8,
    };

    explicit CSetRollPaperDialog(IDialogShell& shell, QWidget* parent = nullptr);

    // Lowest at least 500, highest at most 15840; call before the dialog runs.
    int SetLimits(int lower, int upper);
    int GetLowerLimit() const { return m_lower; }
    int GetUpperLimit() const { return m_upper; }
    // Layout units; filled before the dialog runs, read after OK.
    void SetLength(int length) { m_length = length; }
    int GetLength() const { return m_length; }
    // The length in a display unit (-1: layout units); with `update`, read from the box first.
    float GetLengthInUnit(int unit, bool update);

    CDigitEdit* LengthEdit() const { return m_edit; }
    QSlider* Slider() const { return m_slider; }

    void OnHScroll(int code);
    void accept() override;

protected:
    void OnInitDialog() override;

private:
    void ShowLength();
    void OnLengthChanged();
    void OnSliderAction(int action);

    int m_length = 0;
    int m_lower = 500;
    int m_upper = 15840;
    int m_unitShown = -1;
    int m_unit;
    bool m_guard = false;
    bool m_hasWindow = false;
    CDigitEdit* m_edit;
    QSlider* m_slider;
    QLabel* m_unitLabel;
};
