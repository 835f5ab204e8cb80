#include "Dialogs/CustomizedEdit.h"

#include "Core/TextOps.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace {

bool IsControlText(const QString& text)
{
    return text.size() == 1 && (text[0].unicode() < 0x20 || text[0].unicode() == 0x7F);
}

} // namespace

CCustomizedEdit::CCustomizedEdit(QWidget* parent) : QLineEdit(parent)
{
}

void CCustomizedEdit::Paste()
{
    InsertText(GetClipboardText());
}

void CCustomizedEdit::InsertText(std::string_view text)
{
    // A one-line box takes the first line, as the platform's edit boxes do.
    text = text.substr(0, text.find_first_of("\r\n"));
    insert(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void CCustomizedEdit::Refuse()
{
    QApplication::beep();
    emit refused();
}

bool CCustomizedEdit::AcceptTypedChar(std::string_view)
{
    return true;
}

void CCustomizedEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            Paste();
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_validateOnExit)
        Validate();

    const QString typed = event->text();
    const bool character = !typed.isEmpty() && !IsControlText(typed) &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (character && !isReadOnly() && !AcceptTypedChar(typed.toStdString())) {
        Refuse();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
    if (character && m_autoAdvance && maxLength() > 0 && text().size() >= maxLength())
        AdvanceFocus();
}

void CCustomizedEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu takes the focus only for a moment: the text is still being edited.
    if (m_validateOnExit && event->reason() != Qt::PopupFocusReason)
        Validate();
}

QMenu* CCustomizedEdit::CreateContextMenu()
{
    QMenu* menu = createStandardContextMenu();
    // The standard Paste entry is known by its shortcut, shown after a tab.
    const QString pasteKeys = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    for (QAction* action : menu->actions()) {
        const QString text = action->text();
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        if (action->objectName() != QLatin1String("edit-paste") &&
            (tab < 0 || text.mid(tab + 1) != pasteKeys))
            continue;
        action->setObjectName(QStringLiteral("edit-paste"));
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        connect(action, &QAction::triggered, this, [this] { Paste(); });
    }
    return menu;
}

void CCustomizedEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CCustomizedEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The selection clipboard's middle-button paste, where the platform has one.
    if (event->button() == Qt::MiddleButton) {
        const QClipboard* clipboard = QGuiApplication::clipboard();
        if (!isReadOnly() && clipboard->supportsSelection()) {
            deselect();
            setCursorPosition(cursorPositionAt(event->position().toPoint()));
            InsertText(clipboard->text(QClipboard::Selection).toStdString());
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CCustomizedEdit::dropEvent(QDropEvent* event)
{
    if (isReadOnly() || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    // Dropped text is inserted as a copy, even when it was dragged out of this box.
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    InsertText(event->mimeData()->text().toStdString());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    setFocus(Qt::OtherFocusReason);
}

void CCustomizedEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (event->commitString().isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    const std::string committed = event->commitString().toStdString();
    // The composition's remaining state goes on, without the commit, so it is not inserted twice.
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&rest);
    InsertText(committed);
    event->accept();
}

void CCustomizedEdit::AdvanceFocus()
{
    focusNextPrevChild(true);
    if (auto* next = qobject_cast<QLineEdit*>(QApplication::focusWidget()); next && next != this) {
        // All of it selected, its start in view.
        const int length = static_cast<int>(next->text().size());
        next->setSelection(length, -length);
    }
}
