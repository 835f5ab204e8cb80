// CItemListBox: the tool box's list of the page's items in drawing order, one
// 54-pixel row each with a visibility icon, a thumbnail and the name. It
// mirrors and drives the page's selection, hides and shows items, reorders
// them by dragging and opens an item's menu or properties. It owns no item:
// a row's pointer is used only after the page still holds that item.
#pragma once

#include "ImageProcessing/GdiTypes.h"
#include "Layout/LayoutItemList.h"

#include <QAbstractScrollArea>

#include <functional>
#include <vector>

class CLayoutItem;
class CLayoutManager;
class IDialogShell;

class CItemListBox : public QAbstractScrollArea
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 54;
    static constexpr int kDeleteCommand = 32781;
    // Icons of the visibility zone and the drag cursors.
    static constexpr int kIconHidden = 247;
    static constexpr int kIconVisible = 248;
    static constexpr int kIconBaseFrame = 249;
    static constexpr int kCursorNoDrop = 320;
    static constexpr int kCursorDrop = 321;

    explicit CItemListBox(IDialogShell& shell, QWidget* parent = nullptr);

    // The redraw notice goes to the bar, which passes it on; without one it
    // goes straight to the view.
    using RedrawSink = std::function<int(int kind, CLayoutItem* item)>;
    void SetRedrawSink(RedrawSink sink) { m_redrawSink = std::move(sink); }
    void SetColors(COLORREF text, COLORREF background, COLORREF selectedText, COLORREF selectedBackground);

    void SetItemList(const LayoutItemList* list) { m_list = list; }
    // 1: the rows again from the page (macro strings are shown through their
    // owner only); 0: a repaint. Both scroll the first selected row into view.
    void UpdateList(bool rebuild);
    CLayoutItem* FindFirstSelectedItem() const;
    void SetAnchor(CLayoutItem* item) { m_anchor = item; }
    CLayoutItem* GetAnchor() const { return m_anchor; }

    int GetCount() const { return static_cast<int>(m_rows.size()); }
    int GetTopIndex() const;
    void SetTopIndex(int row);
    // The row's item while the page still holds it, else null.
    CLayoutItem* GetItemAt(int row) const;
    // 0 outside every visible row, else the zone (1 icon, 2 thumbnail, 3 text,
    // 4 elsewhere) with the row index.
    int HitTest(QPoint point, int* row) const;
    QRect RowRect(int row) const;
    // The visibility icon the row shows; 0 for a row without an item.
    int RowIconId(int row) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    CLayoutManager* Layout() const;
    bool IsCameraLayout() const;
    // The camera layout's base frame: the page's backmost item.
    bool IsBaseFrame(const CLayoutItem* item) const;
    int RowOf(const CLayoutItem* item) const;
    int VisibleRows() const;
    void UpdateScrollRange();
    void SelectRange(int from, int to, bool exclusive);
    void SelectOnly(int row);
    int SendRedraw(int kind, CLayoutItem* item);
    void ToggleVisibility(int row);
    void Drop(QPoint point);
    bool IsValidDrop(QPoint point) const;
    // The row a drop at the point goes in front of; GetCount() for the end, -1 for none.
    int DropTarget(QPoint point) const;
    void DrawRow(QPainter& painter, int row);
    void ResetPending();

    IDialogShell& m_shell;
    RedrawSink m_redrawSink;
    const LayoutItemList* m_list = nullptr;
    std::vector<CLayoutItem*> m_rows;
    CLayoutItem* m_anchor = nullptr;
    int m_toggleRow = -1;
    int m_dragRow = -1;
    int m_pressedRow = -1;
    int m_caretRow = -1;
    bool m_pendingCtrl = false;
    bool m_pendingPlain = false;
    bool m_captured = false;
    QPoint m_pointer;
    COLORREF m_text;
    COLORREF m_background;
    COLORREF m_selectedText;
    COLORREF m_selectedBackground;
};
