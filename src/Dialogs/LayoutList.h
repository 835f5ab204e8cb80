// CLayoutList: the list of existing layouts, one 64-pixel row each with the
// thumbnail and three labelled lines (file name, title, paper or kind). Each
// row keeps the layout's full path and points at its entry, which the owner
// keeps. A press below the last row is ignored, so the selection stays.
#pragma once

#include <QListView>

#include <string>

class CThumbnailImageList;
class IDialogShell;
class LayoutListModel;
struct LayoutListEntry;

class CLayoutList : public QListView
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 64;
    // Sort keys.
    static constexpr int kSortTitle = 0;
    static constexpr int kSortPaperOrder = 1;

    explicit CLayoutList(IDialogShell& shell, QWidget* parent = nullptr);
    ~CLayoutList() override;

    // The owner's thumbnails; not owned, may be null.
    void SetImageList(const CThumbnailImageList* images);

    // The rows, as a list box keeps them: the path as the string, the entry
    // as the item data. Indexes out of range answer -1, "" or null.
    int AddString(const std::string& path, LayoutListEntry* entry);
    void ResetContent();
    int GetCount() const;
    std::string GetText(int index) const;
    LayoutListEntry* GetItemData(int index) const;
    // -1 without a selection; SetCurSel(-1) clears it.
    int GetCurSel() const;
    void SetCurSel(int index);
    // Redraws the row, as when its thumbnail arrived.
    void RedrawRow(int index);

    // Key 0 titles (compared as the multibyte comparison compares their
    // Shift-JIS bytes), 1 paper orders; other keys leave the list as it is.
    // Rows with equal keys keep their order; the selection follows its row.
    void SortItems(int key, bool ascending);

    // The three labels, "file name", "title" and "paper".
    const QString& Label(int line) const { return m_labels[line]; }
    QFont RowFont() const;

signals:
    void SelectionChanged(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool IsOnRow(const QPoint& point) const;

    IDialogShell& m_shell;
    LayoutListModel* m_model;
    QString m_labels[3];
    friend class LayoutListDelegate;
    const CThumbnailImageList* m_images = nullptr;
};

// The multibyte comparison of two UTF-8 texts through their Shift-JIS form:
// character by character, a double-byte character as lead x 256 + trail.
// Negative, 0 or positive. A text Shift-JIS cannot hold compares by its UTF-8 bytes.
int CompareShiftJisText(const std::string& a, const std::string& b);
