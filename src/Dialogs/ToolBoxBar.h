// CToolBoxBar: the floating tool box beside the page: the five tool buttons,
// delete and the four z-order buttons, the list of the page's items, the
// read-out of the selection's place and the page information. The main
// frame relays layout changes to it; the view's tool commands check its
// buttons.
#pragma once

#include "App/AppUi.h"
#include "Dialogs/BarLayout.h"
#include "Dialogs/PageInfo.h"
#include "Dialogs/RadioButton.h"

#include <QWidget>

class BarKeyForwarder;
class CItemListBox;
class CPositionInfoArea;
class IDialogShell;

class CToolBoxBar : public QWidget, public IToolBoxBar
{
    Q_OBJECT
public:
    static constexpr int kDialogId = 139;
    static constexpr int kListId = 1300;
    static constexpr int kReadOutId = 2120;
    static constexpr int kInfoAreaId = 2121;
    static constexpr int kSeparatorTopId = 2053;
    static constexpr int kSeparatorListId = 2054;
    static constexpr int kSeparatorInfoId = 2055;
    // Tool buttons in manager order: command and bitmaps normal, checked, disabled.
    struct ToolButtonInfo
    {
        int command, normal, checked, disabled;
    };
    static constexpr ToolButtonInfo kToolButtons[5] = {
        {32850, 430, 435, 514}, {32840, 431, 436, 515}, {32830, 429, 434, 517},
        {32810, 428, 433, 516}, {32857, 432, 437, 513},
    };
    // Delete and the z-order commands: bitmaps normal, selected, disabled.
    static constexpr ToolButtonInfo kSmallButtons[5] = {
        {32781, 438, 443, 448}, {32782, 439, 444, 449}, {32783, 440, 445, 450},
        {32784, 441, 446, 451}, {32785, 442, 447, 452},
    };

    explicit CToolBoxBar(IDialogShell& shell, QWidget* parent = nullptr);
    ~CToolBoxBar() override;

    // The bar's dialog and its fixed sizes; `changeDockedSize` makes the
    // docked size follow the floating one.
    bool Create(bool changeDockedSize);
    void InitButtons();
    QSize CalcDynamicLayout(int length, unsigned mode);

    CItemListBox* GetItemList() const { return m_itemList; }
    CPositionInfoArea* GetReadOut() const { return m_readOut; }
    CRadioButtonManager& GetToolButtons() { return m_buttons; }
    const PageInfoTexts& GetPageInfo() const { return m_pageInfo; }
    const BarSizes& GetSizes() const { return m_sizes; }
    // The item list's notice: the read-out is redrawn and the view told.
    int OnLayoutRedraw(int kind, CLayoutItem* item);

    // IToolBoxBar
    QWidget* Widget() override { return this; }
    void UpdateItemInfo(int erase) override;
    void RedrawPositionInfo(int erase) override;
    bool HasItemList() const override { return m_itemList != nullptr; }
    void UpdateItemList(int rebuild) override;
    void OnBarFrameMoved() override;
    void SetBarHeight(int height) override;
    // ILayoutToolBox
    void SetCurrentItem(CLayoutItem* item) override;
    CLayoutItem* FindFirstSelectedItem() override;
    void SelectTool(int tool) override;

    QSize sizeHint() const override { return m_sizes.floating; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Relayout();
    void StoreFrameRect();
    void ApplySizeLimits();
    void AdoptFrameTitle();

    IDialogShell& m_shell;
    BarSizes m_sizes;
    int m_defaultHeight = kToolBoxMinHeight;
    CItemListBox* m_itemList = nullptr;
    CPositionInfoArea* m_readOut = nullptr;
    CRadioButtonManager m_buttons;
    BarKeyForwarder* m_keys = nullptr;
    PageInfoTexts m_pageInfo;
    QRect m_labelRect, m_separatorRect, m_valueRect;
    bool m_initialised = false;
};
