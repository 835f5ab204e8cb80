// Edit boxes whose every way in for text (typing aside: pasting by keys, the
// context menu or the middle button, drops and input-method commits) goes
// through one overridable insertion, so a derived box filters all of them in
// one place. Optionally moves the focus on when full and validates on leaving.
#pragma once

#include <QLineEdit>

class QMenu;

#include <string>
#include <string_view>

class CCustomizedEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit CCustomizedEdit(QWidget* parent = nullptr);

    virtual bool GetAutoAdvance() const { return m_autoAdvance; }
    virtual void SetAutoAdvance(bool on) { m_autoAdvance = on; }
    virtual bool GetValidateOnExit() const { return m_validateOnExit; }
    virtual void SetValidateOnExit(bool on) { m_validateOnExit = on; }
    virtual void Validate() {}
    // The clipboard's text through InsertText.
    virtual void Paste();
    // Replaces the selection with the UTF-8 text.
    virtual void InsertText(std::string_view text);
    // The standard context menu, its Paste going through Paste; the caller owns it.
    QMenu* CreateContextMenu();

signals:
    // A character or a text was refused (the box has beeped).
    void refused();

protected:
    // Beeps and tells the listeners.
    void Refuse();
    // A typed character (UTF-8); true when it may go in.
    virtual bool AcceptTypedChar(std::string_view character);

    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void AdvanceFocus();

    bool m_autoAdvance = false;
    bool m_validateOnExit = false;
};
