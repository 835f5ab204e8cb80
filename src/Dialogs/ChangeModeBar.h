// CChangeModeBar: the floating bar of paper-mode buttons of a camera layout:
// the whole page, the area common to all papers, and each camera paper
// without and with border. Paper pairs that Localize.ini switches off are
// hidden and the bar shrinks.
#pragma once

#include "App/AppUi.h"
#include "Dialogs/BarLayout.h"
#include "Dialogs/RadioButton.h"

#include <QWidget>

#include <array>

class BarKeyForwarder;
class IDialogShell;

// Which pairs "DSCPaperFlag" shows: only a flag of exactly 1 does.
std::array<bool, 4> ReadModePairsShown(const std::string& localizeIniPath);

class CChangeModeBar : public QWidget, public IChangeModeBar
{
    Q_OBJECT
public:
    static constexpr int kDialogId = 149;
    static constexpr int kFirstModeCommand = 32880;
    static constexpr int kSeparatorId = 2053;
    // By mode: the normal and the checked bitmap.
    static constexpr int kBitmaps[10][2] = {{531, 530}, {533, 532}, {535, 534}, {537, 536}, {539, 538},
                                            {541, 540}, {543, 542}, {545, 544}, {547, 546}, {549, 548}};

    explicit CChangeModeBar(IDialogShell& shell, QWidget* parent = nullptr);
    ~CChangeModeBar() override;

    // The bar's dialog with the hiding rule applied.
    bool Create(bool changeDockedSize);
    void InitButtons();

    const std::array<bool, 4>& GetPairsShown() const { return m_pairShown; }
    CRadioButtonManager& GetButtons() { return m_buttons; }
    const BarSizes& GetSizes() const { return m_sizes; }

    // IChangeModeBar
    QWidget* Widget() override { return this; }
    void SelectMode(int mode) override;
    void OnBarFrameMoved() override;

    QSize sizeHint() const override { return m_sizes.floating; }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Relayout();
    void AdoptFrameTitle();

    IDialogShell& m_shell;
    BarSizes m_sizes;
    CRadioButtonManager m_buttons;
    BarKeyForwarder* m_keys = nullptr;
    std::array<bool, 4> m_pairShown{true, true, true, true};
    bool m_initialised = false;
};
