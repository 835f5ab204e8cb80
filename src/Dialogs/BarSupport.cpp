#include "Dialogs/BarSupport.h"

#include "Dialogs/DialogShell.h"
#include "Platform/DialogLayoutTarget.h"
#include "Platform/ShiftJis.h"

#include <QDockWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

void BarKeyForwarder::Watch(QWidget* root)
{
    if (!root)
        return;
    root->installEventFilter(this);
    for (QWidget* child : root->findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool BarKeyForwarder::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        m_shell.ForwardKeyToView(*static_cast<QKeyEvent*>(event));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

std::string BarToolTipText(const std::string& text)
{
    return CutToShiftJisBytes(text, 80);
}

void ApplyBarToolTips(QWidget* bar)
{
    for (QWidget* child : bar->findChildren<QWidget*>()) {
        if (GetControlId(child) < 0)
            continue;
        const QString text = child->property("text").toString();
        if (!text.isEmpty())
            child->setToolTip(QString::fromStdString(BarToolTipText(text.toStdString())));
    }
}

QWidget* AddPlaceholder(QWidget* bar, int controlId, bool button)
{
    QWidget* control = button ? new QPushButton(bar) : new QWidget(bar);
    SetControlId(control, controlId);
    return control;
}

QWidget* FindControl(QWidget* parent, int controlId)
{
    if (!parent)
        return nullptr;
    for (QWidget* child : parent->findChildren<QWidget*>())
        if (GetControlId(child) == controlId)
            return child;
    return nullptr;
}

bool ReplaceControl(QWidget* parent, int controlId, QWidget* replacement)
{
    QWidget* control = FindControl(parent, controlId);
    if (!control || control == replacement)
        return false;
    replacement->setParent(control->parentWidget());
    replacement->setGeometry(control->geometry());
    replacement->setFont(control->font());
    replacement->setVisible(!control->isHidden());
    replacement->setEnabled(control->isEnabled());
    const QVariant text = control->property("text");
    if (text.isValid() && replacement->metaObject()->indexOfProperty("text") >= 0)
        replacement->setProperty("text", text);
    SetControlId(replacement, controlId);
    delete control;
    return true;
}

QDockWidget* FloatingFrameOf(QWidget* bar)
{
    auto* frame = bar ? qobject_cast<QDockWidget*>(bar->parentWidget()) : nullptr;
    return frame && frame->isFloating() ? frame : nullptr;
}

CBitmapPushButton::CBitmapPushButton(int controlId, QImage normal, QImage selected, QImage disabled)
    : m_normal(std::move(normal)), m_selected(std::move(selected)), m_disabled(std::move(disabled))
{
    SetControlId(this, controlId);
    setFocusPolicy(Qt::NoFocus);
}

void CBitmapPushButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QImage* picture = &m_normal;
    if (!isEnabled() && !m_disabled.isNull())
        picture = &m_disabled;
    else if (isDown() && !m_selected.isNull())
        picture = &m_selected;
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (!picture->isNull())
        painter.drawImage(rect(), *picture);
}

void AdoptDockFrameTitle(QWidget* bar)
{
    if (auto* frame = qobject_cast<QDockWidget*>(bar->parentWidget())) {
        frame->setWindowTitle(bar->windowTitle());
        frame->setFeatures(frame->features() & ~QDockWidget::DockWidgetClosable);
    }
}
