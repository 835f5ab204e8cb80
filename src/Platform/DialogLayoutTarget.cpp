#include "Platform/DialogLayoutTarget.h"

#include "Platform/WidgetMeasures.h"

#include <QFont>
#include <QLabel>
#include <QMetaProperty>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <algorithm>
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

// The control's rectangle in the dialog's client area.
QRect RectInDialog(const QWidget* control, const QWidget* dialog)
{
    return QRect(control->mapTo(dialog, QPoint(0, 0)), control->size());
}

void PlaceInDialog(QWidget* control, const QWidget* dialog, const QRect& rect)
{
    QPoint topLeft = rect.topLeft();
    if (QWidget* parent = control->parentWidget(); parent && parent != dialog)
        topLeft = parent->mapFrom(dialog, topLeft);
    control->setGeometry(QRect(topLeft, rect.size()));
}

bool OverlapVertically(const QRect& a, const QRect& b)
{
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

bool OverlapHorizontally(const QRect& a, const QRect& b)
{
    return a.left() <= b.right() && b.left() <= a.right();
}

bool HasAncestorIn(const QWidget* control, const std::vector<QWidget*>& set)
{
    for (const QWidget* parent = control->parentWidget(); parent; parent = parent->parentWidget())
        if (std::find(set.begin(), set.end(), parent) != set.end())
            return true;
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
    // The controls placed from an entry: only their stored sizes are grown.
    std::vector<QWidget*> placed;
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
    m_impl->placed.push_back(control);
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

void CWidgetDialogLayout::FitControlsToTexts()
{
    QWidget* dialog = m_impl->dialog;
    if (!dialog || m_impl->placed.empty())
        return;
    std::vector<QWidget*> controls;
    for (QWidget* control : m_impl->controls)
        if (control)
            controls.push_back(control);
    const auto extent = [&] {
        QRect all;
        for (QWidget* control : controls)
            all = all.united(RectInDialog(control, dialog));
        return all;
    };
    const QRect before = extent();
    if (before.isNull())
        return;
    const QSize margin(std::max(0, dialog->width() - before.right() - 1),
                       std::max(0, dialog->height() - before.bottom() - 1));
    bool grew = false;

    for (QWidget* control : controls) {
        if (std::find(m_impl->placed.begin(), m_impl->placed.end(), control) == m_impl->placed.end())
            continue;
        const QSize shortfall = TextShortfall(control);
        if (shortfall.isNull())
            continue;
        grew = true;
        const QRect old = RectInDialog(control, dialog);
        const auto* label = qobject_cast<QLabel*>(control);
        const bool wraps = label && label->wordWrap();
        QRect grown = old.adjusted(0, 0, shortfall.width(), 0);
        // A wrapped text goes on downwards; a single line keeps its centre.
        if (wraps)
            grown.setBottom(old.bottom() + shortfall.height());
        else
            grown.adjust(0, -(shortfall.height() / 2), 0, shortfall.height() - shortfall.height() / 2);
        PlaceInDialog(control, dialog, grown);

        // What encloses the control (a group frame) grows with it; what lies
        // beyond its right edge, or below a wrapped text, moves on.
        std::vector<QWidget*> moved;
        std::vector<std::pair<QWidget*, QRect>> changes;
        for (QWidget* other : controls) {
            if (other == control)
                continue;
            QRect rect = RectInDialog(other, dialog);
            if (rect.contains(old)) {
                rect.setRight(std::max(rect.right(), grown.right() + (rect.right() - old.right())));
                rect.setBottom(std::max(rect.bottom(), grown.bottom() + (rect.bottom() - old.bottom())));
                changes.emplace_back(other, rect);
            } else if (shortfall.width() > 0 && rect.left() >= old.right() && OverlapVertically(rect, old)) {
                changes.emplace_back(other, rect.translated(shortfall.width(), 0));
                moved.push_back(other);
            } else if (wraps && shortfall.height() > 0 && rect.top() >= old.bottom() &&
                       OverlapHorizontally(rect, old)) {
                changes.emplace_back(other, rect.translated(0, shortfall.height()));
                moved.push_back(other);
            }
        }
        // A child goes with its moved parent.
        for (const auto& [other, rect] : changes)
            if (!HasAncestorIn(other, moved))
                PlaceInDialog(other, dialog, rect);
    }

    if (!grew)
        return;
    const QRect after = extent();
    const QSize needed(after.right() + 1 + margin.width(), after.bottom() + 1 + margin.height());
    const QSize size = dialog->size().expandedTo(needed);
    if (size != dialog->size())
        dialog->resize(size);
}
