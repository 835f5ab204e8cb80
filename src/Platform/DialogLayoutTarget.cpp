#include "Platform/DialogLayoutTarget.h"

#include <QFont>
#include <QLabel>
#include <QMetaProperty>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <vector>

namespace {

constexpr const char* kControlIdProperty = "controlId";

// Whether the text marks a mnemonic: an "&" not doubled.
bool HasMnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return true;
        ++i;
    }
    return false;
}

} // namespace

void SetControlId(QWidget* widget, int controlId)
{
    if (widget)
        widget->setProperty(kControlIdProperty, controlId);
}

int GetControlId(const QWidget* widget)
{
    if (!widget)
        return -1;
    bool ok = false;
    const int id = widget->property(kControlIdProperty).toInt(&ok);
    return ok ? id : -1;
}

struct CWidgetDialogLayout::Impl
{
    QPointer<QWidget> dialog;
    const QFont* font = nullptr;
    std::vector<QPointer<QWidget>> controls;
};

CWidgetDialogLayout::CWidgetDialogLayout(QWidget* dialog, const QFont* font)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->dialog = dialog;
    m_impl->font = font;
    if (!dialog)
        return;
    for (QWidget* child : dialog->findChildren<QWidget*>())
        if (GetControlId(child) != -1)
            m_impl->controls.emplace_back(child);
}

CWidgetDialogLayout::~CWidgetDialogLayout() = default;

void CWidgetDialogLayout::SetClientSize(int width, int height)
{
    // A widget's size is its client area; the frame comes on top and the
    // top-left corner stays where it is.
    if (m_impl->dialog)
        m_impl->dialog->resize(width, height);
}

void CWidgetDialogLayout::SetTitle(const std::string& title)
{
    if (m_impl->dialog)
        m_impl->dialog->setWindowTitle(QString::fromStdString(title));
}

void CWidgetDialogLayout::ApplyFont()
{
    if (!m_impl->dialog || !m_impl->font)
        return;
    m_impl->dialog->setFont(*m_impl->font);
    for (QWidget* child : m_impl->dialog->findChildren<QWidget*>())
        child->setFont(*m_impl->font);
}

int CWidgetDialogLayout::ControlCount() const
{
    return static_cast<int>(m_impl->controls.size());
}

int CWidgetDialogLayout::ControlId(int index) const
{
    return GetControlId(m_impl->controls.at(static_cast<std::size_t>(index)));
}

void CWidgetDialogLayout::PlaceControl(int index, int x, int y, int width, int height)
{
    QWidget* control = m_impl->controls.at(static_cast<std::size_t>(index));
    if (!control || !m_impl->dialog)
        return;
    QPoint topLeft(x, y);
    // The position is in the dialog's client area; a control inside a
    // container is placed relative to that container.
    if (QWidget* parent = control->parentWidget(); parent && parent != m_impl->dialog)
        topLeft = parent->mapFrom(m_impl->dialog.data(), topLeft);
    control->setGeometry(topLeft.x(), topLeft.y(), width, height);
}

void CWidgetDialogLayout::SetControlText(int index, const std::string& text)
{
    QWidget* control = m_impl->controls.at(static_cast<std::size_t>(index));
    if (!control)
        return;
    const QString value = QString::fromStdString(text);
    const QMetaObject* meta = control->metaObject();
    // Group boxes carry their caption as a title; buttons, labels and edits as text.
    for (const char* name : {"title", "text"}) {
        const int property = meta->indexOfProperty(name);
        if (property >= 0 && meta->property(property).isWritable()) {
            control->setProperty(name, value);
            break;
        }
    }
    // A label's mnemonic moves the focus to the next control that takes it,
    // as a static text's does; without a buddy Qt would show the "&".
    auto* label = qobject_cast<QLabel*>(control);
    if (!label || label->buddy() || !HasMnemonic(value))
        return;
    const auto& controls = m_impl->controls;
    for (std::size_t next = static_cast<std::size_t>(index) + 1; next < controls.size(); ++next) {
        QWidget* candidate = controls[next];
        if (candidate && !qobject_cast<QLabel*>(candidate) && (candidate->focusPolicy() & Qt::TabFocus)) {
            label->setBuddy(candidate);
            return;
        }
    }
}
