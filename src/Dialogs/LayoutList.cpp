#include "Dialogs/LayoutList.h"

#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/LayoutListEntry.h"
#include "Dialogs/ThumbnailImageList.h"
#include "Platform/ShiftJis.h"

#include <QAbstractListModel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

const QColor kSelectedBackground(0x33, 0x66, 0x99);
const QColor kBackground(0xC8, 0xC8, 0xDC);

// The three text lines of a row: top and bottom, relative to the row.
constexpr int kLineTop[3] = {2, 22, 42};
constexpr int kLineHeight = 20;
constexpr int kTextLeft = 64;
constexpr int kTextRightGap = 2;

// One character of the Shift-JIS bytes as the multibyte comparison sees it.
unsigned NextCharacter(const std::string& text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (ShiftJisCharLength(lead) == 2 && at + 1 < text.size()) {
        const auto trail = static_cast<unsigned char>(text[at + 1]);
        at += 2;
        return lead * 256u + trail;
    }
    ++at;
    return lead;
}

int CompareBytes(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned x = NextCharacter(a, i);
        const unsigned y = NextCharacter(b, j);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

} // namespace

int CompareShiftJisText(const std::string& a, const std::string& b)
{
    const auto sjisA = Utf8ToShiftJis(a);
    const auto sjisB = Utf8ToShiftJis(b);
    if (sjisA && sjisB)
        return CompareBytes(*sjisA, *sjisB);
    const int plain = a.compare(b);
    return plain < 0 ? -1 : plain > 0 ? 1 : 0;
}

class LayoutListModel : public QAbstractListModel
{
public:
    struct Row
    {
        std::string path;
        LayoutListEntry* entry = nullptr;
    };

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const Row* row = At(index.row());
        if (!row || !index.isValid() || role != Qt::DisplayRole)
            return {};
        return QString::fromStdString(row->path);
    }

    const Row* At(int index) const
    {
        return index >= 0 && static_cast<std::size_t>(index) < m_rows.size()
                   ? &m_rows[static_cast<std::size_t>(index)]
                   : nullptr;
    }
    int Append(Row row)
    {
        const int index = static_cast<int>(m_rows.size());
        beginInsertRows(QModelIndex(), index, index);
        m_rows.push_back(std::move(row));
        endInsertRows();
        return index;
    }
    void Clear()
    {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }
    void Changed(int index)
    {
        const QModelIndex at = this->index(index);
        emit dataChanged(at, at);
    }
    // Rows in the new order: order[n] is the old index of the row now at n.
    void Reorder(const std::vector<std::size_t>& order)
    {
        emit layoutAboutToBeChanged();
        std::vector<Row> rows;
        rows.reserve(order.size());
        for (std::size_t old : order)
            rows.push_back(std::move(m_rows[old]));
        m_rows = std::move(rows);
        // Persistent indexes (the selection among them) follow their rows.
        QModelIndexList from;
        QModelIndexList to;
        for (std::size_t n = 0; n < order.size(); ++n) {
            from.push_back(index(static_cast<int>(order[n])));
            to.push_back(index(static_cast<int>(n)));
        }
        changePersistentIndexList(from, to);
        emit layoutChanged();
    }
    const std::vector<Row>& Rows() const { return m_rows; }

private:
    std::vector<Row> m_rows;
};

class LayoutListDelegate : public QStyledItemDelegate
{
public:
    explicit LayoutListDelegate(CLayoutList& list) : QStyledItemDelegate(&list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {m_list.viewport()->width(), CLayoutList::kRowHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect row(option.rect.left(), option.rect.top(), m_list.viewport()->width(),
                        CLayoutList::kRowHeight);
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        painter->save();
        painter->fillRect(row, selected ? kSelectedBackground : kBackground);
        const LayoutListModel::Row* item = m_list.m_model->At(index.row());
        const LayoutListEntry* entry = item ? item->entry : nullptr;
        if (entry) {
            if (m_list.m_images)
                m_list.m_images->Draw(*painter, entry->imageIndex, row.topLeft());
            painter->setFont(m_list.RowFont());
            painter->setPen(selected ? Qt::white : Qt::black);
            const QFontMetrics metrics(painter->font());
            const std::string* values[3] = {&entry->fileName, &entry->title, &entry->kindText};
            for (int line = 0; line < 3; ++line) {
                const QRect box(row.left() + kTextLeft, row.top() + kLineTop[line],
                                row.width() - kTextRightGap - kTextLeft, kLineHeight);
                if (box.width() <= 0)
                    continue;
                const QString text =
                    m_list.Label(line) + QStringLiteral(" : ") + QString::fromStdString(*values[line]);
                painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                                  metrics.elidedText(text, Qt::ElideRight, box.width()));
            }
        }
        painter->restore();
    }

private:
    CLayoutList& m_list;
};

CLayoutList::CLayoutList(IDialogShell& shell, QWidget* parent)
    : QListView(parent), m_shell(shell), m_model(new LayoutListModel)
{
    m_model->setParent(this);
    for (int line = 0; line < 3; ++line)
        m_labels[line] = QString::fromStdString(LocalizedText(shell, 26 + line));
    setModel(m_model);
    setItemDelegate(new LayoutListDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setResizeMode(QListView::Adjust);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setFocusPolicy(Qt::StrongFocus);
    // Below the last row the list shows the rows' own colour.
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Base, kBackground);
    viewport()->setPalette(colours);
    viewport()->setAutoFillBackground(true);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit SelectionChanged(GetCurSel()); });
}

CLayoutList::~CLayoutList() = default;

void CLayoutList::SetImageList(const CThumbnailImageList* images)
{
    m_images = images;
    viewport()->update();
}

QFont CLayoutList::RowFont() const
{
    return m_shell.GetUIFont();
}

int CLayoutList::AddString(const std::string& path, LayoutListEntry* entry)
{
    return m_model->Append({path, entry});
}

void CLayoutList::ResetContent()
{
    m_model->Clear();
}

int CLayoutList::GetCount() const
{
    return m_model->rowCount();
}

std::string CLayoutList::GetText(int index) const
{
    const LayoutListModel::Row* row = m_model->At(index);
    return row ? row->path : std::string();
}

LayoutListEntry* CLayoutList::GetItemData(int index) const
{
    const LayoutListModel::Row* row = m_model->At(index);
    return row ? row->entry : nullptr;
}

int CLayoutList::GetCurSel() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void CLayoutList::SetCurSel(int index)
{
    if (!m_model->At(index)) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex at = m_model->index(index);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    scrollTo(at);
}

void CLayoutList::RedrawRow(int index)
{
    if (m_model->At(index))
        m_model->Changed(index);
}

void CLayoutList::SortItems(int key, bool ascending)
{
    if (key != kSortTitle && key != kSortPaperOrder)
        return;
    const std::vector<LayoutListModel::Row>& rows = m_model->Rows();
    if (rows.size() < 2)
        return;
    // A row without an entry sorts as an empty title and an unknown paper.
    static const LayoutListEntry kNoEntry;
    auto entryOf = [&rows](std::size_t n) -> const LayoutListEntry& {
        return rows[n].entry ? *rows[n].entry : kNoEntry;
    };
    auto compare = [&](std::size_t a, std::size_t b) {
        const LayoutListEntry& x = entryOf(a);
        const LayoutListEntry& y = entryOf(b);
        const int order = key == kSortTitle
                              ? CompareShiftJisText(x.title, y.title)
                              : (x.paperOrder < y.paperOrder ? -1 : x.paperOrder > y.paperOrder);
        return ascending ? order < 0 : order > 0;
    };
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), compare);
    if (std::is_sorted(order.begin(), order.end()))
        return;
    m_model->Reorder(order);
}

bool CLayoutList::IsOnRow(const QPoint& point) const
{
    return indexAt(point).isValid();
}

void CLayoutList::mousePressEvent(QMouseEvent* event)
{
    if (!IsOnRow(event->position().toPoint())) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void CLayoutList::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!IsOnRow(event->position().toPoint())) {
        event->accept();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void CLayoutList::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    // The rows are as wide as the view.
    scheduleDelayedItemsLayout();
}
