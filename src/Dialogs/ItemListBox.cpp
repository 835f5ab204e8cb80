#include "Dialogs/ItemListBox.h"

#include "App/ZAVEditorDoc.h"
#include "Dialogs/DialogShell.h"
#include "ImageProcessing/Image.h"
#include "Layout/ImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/MacroStringItem.h"
#include "Layout/UndoInfo.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>

namespace {

COLORREF ToColorRef(const QColor& c)
{
    return RGB(c.red(), c.green(), c.blue());
}

// The row's zones, relative to its left edge.
constexpr int kIconRight = 21;
constexpr int kThumbLeft = 23;
constexpr int kThumbRight = 73;
constexpr int kTextLeft = 75;
constexpr int kMaxNameChars = 260;

QCursor LoadDragCursor(int id)
{
    const QPixmap picture(QStringLiteral(":/cursors/%1.png").arg(id));
    if (picture.isNull())
        return QCursor(id == CItemListBox::kCursorDrop ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
    return QCursor(picture, 0, 0);
}

std::string FirstLine(const std::string& text)
{
    std::string line = text.substr(0, text.find_first_of("\r\n"));
    const QString limited = QString::fromStdString(line).left(kMaxNameChars);
    return limited.toStdString();
}

} // namespace

CItemListBox::CItemListBox(IDialogShell& shell, QWidget* parent) : QAbstractScrollArea(parent), m_shell(shell)
{
    const QPalette palette;
    m_text = ToColorRef(palette.color(QPalette::WindowText));
    m_background = ToColorRef(palette.color(QPalette::Base));
    m_selectedText = ToColorRef(palette.color(QPalette::HighlightedText));
    m_selectedBackground = ToColorRef(palette.color(QPalette::Highlight));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(1);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
}

void CItemListBox::SetColors(COLORREF text, COLORREF background, COLORREF selectedText,
                             COLORREF selectedBackground)
{
    m_text = text;
    m_background = background;
    m_selectedText = selectedText;
    m_selectedBackground = selectedBackground;
    viewport()->update();
}

CLayoutManager* CItemListBox::Layout() const
{
    return m_shell.GetLayoutManager();
}

bool CItemListBox::IsCameraLayout() const
{
    CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
    return document && document->IsDSCLayout();
}

bool CItemListBox::IsBaseFrame(const CLayoutItem* item) const
{
    CLayoutManager* layout = Layout();
    if (!item || !layout || !IsCameraLayout() || layout->GetItems().empty())
        return false;
    return layout->GetItems().back().get() == item;
}

CLayoutItem* CItemListBox::GetItemAt(int row) const
{
    if (row < 0 || row >= GetCount())
        return nullptr;
    CLayoutManager* layout = Layout();
    CLayoutItem* item = m_rows[row];
    // The page may have dropped the item since the last rebuild.
    return layout && layout->GetItemIndex(item) >= 0 ? item : nullptr;
}

int CItemListBox::RowIconId(int row) const
{
    const CLayoutItem* item = GetItemAt(row);
    if (!item)
        return 0;
    return IsBaseFrame(item) ? kIconBaseFrame : item->IsVisible() ? kIconVisible : kIconHidden;
}

int CItemListBox::RowOf(const CLayoutItem* item) const
{
    if (!item)
        return -1;
    const auto it = std::find(m_rows.begin(), m_rows.end(), item);
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

int CItemListBox::GetTopIndex() const
{
    return verticalScrollBar()->value();
}

void CItemListBox::SetTopIndex(int row)
{
    verticalScrollBar()->setValue(row);
}

int CItemListBox::VisibleRows() const
{
    return std::max(1, viewport()->height() / kRowHeight);
}

void CItemListBox::UpdateScrollRange()
{
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(VisibleRows());
    bar->setRange(0, std::max(0, GetCount() - VisibleRows()));
}

QRect CItemListBox::RowRect(int row) const
{
    return QRect(0, (row - GetTopIndex()) * kRowHeight, viewport()->width(), kRowHeight);
}

int CItemListBox::HitTest(QPoint point, int* row) const
{
    if (row)
        *row = -1;
    if (point.y() < 0 || point.x() < 0 || point.x() >= viewport()->width())
        return 0;
    const int index = GetTopIndex() + point.y() / kRowHeight;
    if (index >= GetCount() || point.y() >= viewport()->height())
        return 0;
    if (row)
        *row = index;
    const QRect r = RowRect(index);
    const int x = point.x() - r.left();
    const int y = point.y() - r.top();
    if (x < kIconRight)
        return 1;
    const bool inner = y >= 2 && y < kRowHeight - 2;
    if (inner && x >= kThumbLeft && x < kThumbRight)
        return 2;
    if (inner && x >= kTextLeft)
        return 3;
    return 4;
}

void CItemListBox::UpdateList(bool rebuild)
{
    const int previousTop = GetTopIndex();
    if (rebuild) {
        setUpdatesEnabled(false);
        m_rows.clear();
        if (m_list) {
            for (const auto& item : *m_list)
                if (!IsKindOf<CMacroStringItem>(item.get()))
                    m_rows.push_back(item.get());
        }
        if (m_caretRow >= GetCount())
            m_caretRow = -1;
        UpdateScrollRange();
        setUpdatesEnabled(true);
    }
    const int selected = RowOf(FindFirstSelectedItem());
    if (selected >= 0) {
        const int top = GetTopIndex();
        const int lastVisible = top + VisibleRows() - 1;
        if (selected < top)
            SetTopIndex(selected);
        else if (selected > lastVisible)
            SetTopIndex(top + (selected - lastVisible));
    } else if (rebuild && previousTop >= 1 && previousTop < GetCount()) {
        SetTopIndex(previousTop);
    }
    viewport()->update();
}

CLayoutItem* CItemListBox::FindFirstSelectedItem() const
{
    for (int row = 0; row < GetCount(); ++row) {
        CLayoutItem* item = GetItemAt(row);
        if (item && item->IsSelected())
            return item;
    }
    return nullptr;
}

void CItemListBox::SelectRange(int from, int to, bool exclusive)
{
    if (from < 0)
        from = to;
    if (to < 0)
        to = from;
    if (from > to)
        std::swap(from, to);
    for (int row = 0; row < GetCount(); ++row) {
        CLayoutItem* item = GetItemAt(row);
        if (!item)
            continue;
        const bool inside = row >= from && row <= to;
        if (inside)
            item->SetSelected(true);
        else if (exclusive)
            item->SetSelected(false);
    }
}

void CItemListBox::SelectOnly(int row)
{
    SelectRange(row, row, true);
}

int CItemListBox::SendRedraw(int kind, CLayoutItem* item)
{
    return m_redrawSink ? m_redrawSink(kind, item) : m_shell.SendLayoutRedraw(kind, item);
}

void CItemListBox::ResetPending()
{
    m_toggleRow = -1;
    m_dragRow = -1;
    m_pressedRow = -1;
    m_pendingCtrl = false;
    m_pendingPlain = false;
}

void CItemListBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_pointer = point;
    if (event->button() == Qt::RightButton) {
        const Qt::KeyboardModifiers keys = event->modifiers();
        const bool shift = keys & Qt::ShiftModifier;
        const bool ctrl = keys & Qt::ControlModifier;
        int row = -1;
        const int zone = HitTest(point, &row);
        CLayoutItem* item = GetItemAt(row);
        if (row < 0) {
            if (!shift && !ctrl && Layout())
                Layout()->SelectAll(false);
        } else if (zone != 1 && item && !item->IsSelected() && !(ctrl && !shift)) {
            SelectOnly(row);
        }
        viewport()->update();
        SendRedraw(2, nullptr);
        if (row >= 0)
            m_caretRow = row;
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_captured = true;
    ResetPending();
    if (m_rows.empty())
        return;
    const Qt::KeyboardModifiers keys = event->modifiers();
    const bool shift = keys & Qt::ShiftModifier;
    const bool ctrl = keys & Qt::ControlModifier;
    int row = -1;
    const int zone = HitTest(point, &row);
    CLayoutItem* item = GetItemAt(row);
    if (zone == 1) {
        if (item && !IsBaseFrame(item))
            m_toggleRow = row;
    } else if (zone != 0 && item) {
        if (!(shift && RowOf(m_anchor) >= 0 && GetItemAt(RowOf(m_anchor))))
            m_anchor = item;
        const int anchorRow = RowOf(m_anchor);
        if (ctrl && shift)
            SelectRange(anchorRow, row, false);
        else if (ctrl)
            m_pendingCtrl = true;
        else if (shift)
            SelectRange(anchorRow, row, true);
        else if (item->IsSelected())
            m_pendingPlain = true;
        else
            SelectOnly(row);
        m_pressedRow = row;
    } else if (zone == 0 && !shift && !ctrl) {
        m_pendingPlain = true;
    }
    viewport()->update();
    SendRedraw(2, nullptr);
    if (m_pressedRow >= 0)
        m_caretRow = m_pressedRow;
}

bool CItemListBox::IsValidDrop(QPoint point) const
{
    int row = -1;
    if (HitTest(point, &row) != 0)
        return true;
    const bool inside = viewport()->rect().contains(point);
    const bool belowLast = point.y() >= (GetCount() - GetTopIndex()) * kRowHeight;
    return inside && belowLast && !IsCameraLayout();
}

int CItemListBox::DropTarget(QPoint point) const
{
    int row = -1;
    if (HitTest(point, &row) != 0)
        return row;
    if (IsValidDrop(point))
        return GetCount();
    return -1;
}

void CItemListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_captured)
        return;
    const QPoint point = event->position().toPoint();
    m_pointer = point;
    if (m_toggleRow >= 0) {
        const QRect r = RowRect(m_toggleRow);
        viewport()->update(QRect(r.left(), r.top(), kIconRight, kRowHeight));
        return;
    }
    const int top = GetTopIndex();
    if (point.y() < 0 && top > 0)
        SetTopIndex(top - 1);
    else if (point.y() >= VisibleRows() * kRowHeight && top + VisibleRows() < GetCount())
        SetTopIndex(top + 1);
    int row = -1;
    HitTest(point, &row);
    if (m_pressedRow >= 0 && m_dragRow < 0 && row >= 0 && row != m_pressedRow) {
        CLayoutItem* source = GetItemAt(m_pressedRow);
        const bool baseSelected = IsCameraLayout() && Layout() && !Layout()->GetItems().empty() &&
                                  Layout()->GetItems().back()->IsSelected();
        if (!source || baseSelected) {
            ResetPending();
        } else {
            m_dragRow = m_pressedRow;
            if (!source->IsSelected()) {
                source->SetSelected(true);
                SendRedraw(2, nullptr);
            }
        }
    }
    if (m_dragRow >= 0) {
        viewport()->setCursor(LoadDragCursor(IsValidDrop(point) ? kCursorDrop : kCursorNoDrop));
        viewport()->update();
    }
}

void CItemListBox::ToggleVisibility(int row)
{
    CLayoutItem* item = GetItemAt(row);
    CLayoutManager* layout = Layout();
    if (!item || !layout)
        return;
    layout->DeletePendingUndo();
    auto record = std::make_unique<CChangeStateUndoInfo>();
    record->Add(item);
    layout->SetPendingUndo(std::move(record));
    item->SetVisible(!item->IsVisible());
    SendRedraw(1, item);
    m_shell.SendLayoutChanged(1, 0);
    viewport()->update(RowRect(row));
}

void CItemListBox::Drop(QPoint point)
{
    const int target = DropTarget(point);
    CLayoutItem* source = GetItemAt(m_dragRow);
    CLayoutManager* layout = Layout();
    if (target < 0 || target == m_dragRow || !source || !layout)
        return;
    CLayoutItem* before = nullptr;
    if (target < GetCount()) {
        before = GetItemAt(target);
        if (!before)
            return;
    }
    layout->MoveItemInOrder(before);
    m_anchor = source;
}

void CItemListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_captured)
        return;
    m_captured = false;
    const QPoint point = event->position().toPoint();
    m_pointer = point;
    int row = -1;
    const int zone = HitTest(point, &row);
    if (m_toggleRow >= 0) {
        if (zone == 1 && row == m_toggleRow)
            ToggleVisibility(row);
        else
            viewport()->update(RowRect(m_toggleRow));
    } else if (m_dragRow < 0) {
        if (m_pendingCtrl && row >= 0 && row == m_pressedRow) {
            if (CLayoutItem* item = GetItemAt(row))
                item->SetSelected(!item->IsSelected());
            SendRedraw(2, nullptr);
        } else if (m_pendingPlain) {
            if (row >= 0)
                SelectOnly(row);
            else if (Layout())
                Layout()->SelectAll(false);
            SendRedraw(2, nullptr);
        }
    } else {
        Drop(point);
        viewport()->unsetCursor();
    }
    ResetPending();
    viewport()->update();
}

void CItemListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    int row = -1;
    const int zone = HitTest(event->position().toPoint(), &row);
    CLayoutItem* item = GetItemAt(row);
    if (zone > 1 && item && Layout())
        Layout()->EditItemProperties(item);
}

void CItemListBox::contextMenuEvent(QContextMenuEvent* event)
{
    int row = -1;
    if (HitTest(event->pos(), &row) == 1)
        return;
    CLayoutItem* first = FindFirstSelectedItem();
    if (first && Layout()) {
        const QPoint at = event->globalPos();
        Layout()->ShowItemMenu(first, POINT{at.x(), at.y()});
    }
}

void CItemListBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
        m_shell.RouteCommand(kDeleteCommand);
        event->accept();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        // The arrows move items on the page, not the list's caret.
        if (QWidget* bar = parentWidget()) {
            QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
            QCoreApplication::sendEvent(bar, &copy);
        }
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void CItemListBox::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CItemListBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void CItemListBox::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int width = viewport()->width();
    if (m_rows.empty()) {
        painter.fillRect(viewport()->rect(), Qt::white);
        return;
    }
    const int top = GetTopIndex();
    const int last = std::min(GetCount(), top + viewport()->height() / kRowHeight + 1);
    for (int row = top; row < last; ++row)
        DrawRow(painter, row);
    const int filled = (last - top) * kRowHeight;
    if (filled < viewport()->height())
        painter.fillRect(QRect(0, filled, width, viewport()->height() - filled),
                         QPalette().color(QPalette::Base));
}

void CItemListBox::DrawRow(QPainter& painter, int row)
{
    const QRect target = RowRect(row);
    const int w = target.width();
    CLayoutItem* item = GetItemAt(row);
    if (!item || w <= 0) {
        painter.fillRect(target, Qt::white);
        return;
    }
    CImage canvas;
    if (!canvas.Create(w, kRowHeight))
        return;
    const bool selected = item->IsSelected();
    const COLORREF back = selected ? m_selectedBackground : m_background;
    const COLORREF fore = selected ? m_selectedText : m_text;
    canvas.FillRect(0, 0, w, kRowHeight, back);

    const QPalette palette;
    const COLORREF face = ToColorRef(palette.color(QPalette::Button));
    const COLORREF light = ToColorRef(palette.color(QPalette::Light));
    const COLORREF shadow = ToColorRef(palette.color(QPalette::Mid));
    const bool focusRow = hasFocus() && row == m_caretRow;
    canvas.DrawLine(0, 0, w, 0, 1, focusRow ? shadow : light, PS_SOLID);
    canvas.DrawLine(0, 1, w, 1, 1, focusRow ? shadow : face, PS_SOLID);
    canvas.DrawLine(0, kRowHeight - 2, w, kRowHeight - 2, 1, shadow, PS_SOLID);

    // The visibility icon, one pixel down and right while pressed.
    const int iconId = RowIconId(row);
    CImage icon;
    if (icon.LoadIconResource(iconId)) {
        SIZE size{};
        icon.GetIconSize(&size);
        int x = (kIconRight - size.cx) / 2;
        int y = (kRowHeight - size.cy) / 2;
        int pressedRow = -1;
        if (m_toggleRow == row && HitTest(m_pointer, &pressedRow) == 1 && pressedRow == row) {
            ++x;
            ++y;
        }
        icon.DrawIconTo(&canvas, x, y);
    }

    // The row's closing line, or the insertion mark of a drag.
    canvas.DrawLine(0, kRowHeight - 1, w, kRowHeight - 1, 1, 0x000000, PS_SOLID);
    if (m_dragRow >= 0) {
        const int target = DropTarget(m_pointer);
        const bool markAbove = target == row && row == GetTopIndex();
        const bool markBelow = target == row + 1;
        if (markAbove)
            canvas.FillRect(0, 0, w, 3, 0x000000);
        if (markBelow)
            canvas.FillRect(0, kRowHeight - 3, w, 3, 0x000000);
    }

    if (const CImage* thumb = item->GetItemImage(); thumb && thumb->IsValid())
        thumb->BitBltTo(&canvas, kThumbLeft, 2, kThumbRight - kThumbLeft, kRowHeight - 4, 0, 0, SRCCOPY);

    LOGFONT logFont;
    const QFont listFont = font();
    logFont.lfHeight =
        -(listFont.pixelSize() > 0 ? listFont.pixelSize() : QFontMetrics(listFont).height() * 3 / 4);
    logFont.lfFaceName = listFont.family().toStdString();
    logFont.lfQuality = ANTIALIASED_QUALITY;
    canvas.SelectObject(CImageFont(logFont));
    canvas.SetBkMode(TRANSPARENT);
    canvas.SetTextColor(fore);
    const QFontMetrics metrics(CImageFont(logFont).GetQFont());
    const int textWidth = w - kTextLeft;
    auto elided = [&](const std::string& text) {
        return metrics.elidedText(QString::fromStdString(text), Qt::ElideRight, textWidth).toStdString();
    };
    const unsigned format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    const std::string name = elided(FirstLine(item->GetLabel()));
    std::string size;
    if (auto* frame = dynamic_cast<CImageFrameItem*>(item)) {
        CImage* picture = frame->GetImageBuffer1();
        if (!frame->GetImageFileName().empty() && picture && picture->IsValid()) {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%d x %d pixel", picture->GetWidth(), picture->GetHeight());
            size = elided(buffer);
        }
    }
    if (size.empty()) {
        RECT r{kTextLeft, 2, w, kRowHeight - 2};
        canvas.DrawText(name, -1, &r, format);
    } else {
        RECT upper{kTextLeft, 2, w, kRowHeight / 2};
        RECT lower{kTextLeft, kRowHeight / 2, w, kRowHeight - 2};
        canvas.DrawText(name, -1, &upper, format);
        canvas.DrawText(size, -1, &lower, format);
    }
    canvas.BitBltToCDC(&painter, target.left(), target.top(), w, kRowHeight, 0, 0, SRCCOPY);
}
