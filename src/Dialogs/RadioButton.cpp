#include "Dialogs/RadioButton.h"

#include "Platform/DialogLayoutTarget.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

QWidget* FindControl(QWidget* parent, int id, const QWidget* except)
{
    for (QWidget* child : parent->findChildren<QWidget*>()) {
        if (child != except && GetControlId(child) == id)
            return child;
    }
    return nullptr;
}

} // namespace

CRadioButton::CRadioButton(int controlId, QImage normal, QImage checked, QImage disabled)
    : m_controlId(controlId), m_normal(std::move(normal)), m_checkedPicture(std::move(checked)),
      m_disabled(std::move(disabled))
{
    const QPalette palette;
    m_face = palette.color(QPalette::Button);
    m_highlight = palette.color(QPalette::Light);
    m_shadow = palette.color(QPalette::Mid);
    SetControlId(this, controlId);
    setFocusPolicy(Qt::NoFocus);
    // A click checks the button before the bar hears of it.
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_manager)
            m_manager->Select(this, true);
    });
}

CRadioButton::~CRadioButton()
{
    if (m_manager)
        m_manager->Remove(this, false);
}

bool CRadioButton::SubclassDlgItem(QWidget* parent)
{
    QWidget* control = parent ? FindControl(parent, m_controlId, this) : nullptr;
    if (!control)
        return false;
    QWidget* container = control->parentWidget();
    setParent(container);
    setGeometry(control->geometry());
    setVisible(!control->isHidden());
    setEnabled(control->isEnabled());
    setToolTip(control->toolTip());
    setText(control->property("text").toString());
    stackUnder(control);
    delete control;
    return true;
}

int CRadioButton::DrawState() const
{
    if (isDown())
        return 1;
    return m_checked && isEnabled() ? 1 : 0;
}

const QImage& CRadioButton::CurrentPicture() const
{
    if (isDown())
        return m_checked && !m_checkedPicture.isNull() ? m_checkedPicture : m_normal;
    if (!isEnabled())
        return m_disabled.isNull() ? m_normal : m_disabled;
    if (m_checked)
        return m_checkedPicture.isNull() ? m_normal : m_checkedPicture;
    return m_normal;
}

void CRadioButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect item = rect();
    painter.fillRect(item, m_face);
    const QImage& picture = CurrentPicture();
    if (!picture.isNull())
        painter.drawImage(QPoint(2, 2), picture, QRect(0, 0, item.width(), item.height()));
    DrawButtonBevel(painter, item, DrawState());
}

void DrawButtonBevel(QPainter& painter, const QRect& item, int state)
{
    const QPalette palette;
    const QColor face = palette.color(QPalette::Button);
    const QColor highlight = palette.color(QPalette::Light);
    const QColor shadow = palette.color(QPalette::Mid);
    const QColor dark = palette.color(QPalette::Dark);
    // Top-left and bottom-right colours of the outer and the inner ring.
    const QColor outerTL = state ? dark : highlight;
    const QColor innerTL = state ? shadow : face;
    const QColor innerBR = state ? highlight : dark;
    const QColor outerBR = state ? face : shadow;
    auto ring = [&painter](const QRect& r, const QColor& tl, const QColor& br) {
        painter.setPen(tl);
        painter.drawLine(r.left(), r.top(), r.right(), r.top());
        painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
        painter.setPen(br);
        painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
    };
    ring(item, outerTL, outerBR);
    ring(item.adjusted(1, 1, -1, -1), innerTL, innerBR);
}

CRadioButtonManager::CRadioButtonManager()
{
    const QPalette palette;
    m_face = palette.color(QPalette::Button);
    m_highlight = palette.color(QPalette::Light);
    m_shadow = palette.color(QPalette::Mid);
}

CRadioButtonManager::~CRadioButtonManager()
{
    for (CRadioButton* button : m_buttons)
        button->SetManager(nullptr);
}

int CRadioButtonManager::Add(CRadioButton* button)
{
    if (!button)
        return 0;
    if (CRadioButtonManager* other = button->GetManager(); other && other != this)
        other->Remove(button, false);
    if (IndexOf(button) < 0)
        m_buttons.push_back(button);
    button->SetManager(this);
    if (m_parent && button->GetId() > 0 && !button->IsAttached())
        button->SubclassDlgItem(m_parent);
    return 1;
}

int CRadioButtonManager::Remove(CRadioButton* button, bool destroy)
{
    const auto it = std::find(m_buttons.begin(), m_buttons.end(), button);
    if (it == m_buttons.end())
        return 0;
    const int index = static_cast<int>(it - m_buttons.begin());
    m_buttons.erase(it);
    if (m_current == index)
        m_current = -1;
    else if (m_current > index)
        --m_current;
    button->SetManager(nullptr);
    if (destroy)
        delete button;
    return 1;
}

void CRadioButtonManager::RemoveAll(bool destroy)
{
    std::vector<CRadioButton*> buttons;
    buttons.swap(m_buttons);
    m_current = -1;
    for (CRadioButton* button : buttons) {
        button->SetManager(nullptr);
        if (destroy)
            delete button;
    }
}

int CRadioButtonManager::Select(int index, bool redraw)
{
    if (index < 0 || index >= GetCount() || index == m_current)
        return 0;
    CRadioButton* old = GetAt(m_current);
    CRadioButton* now = m_buttons[index];
    now->SetChecked(true);
    if (old)
        old->SetChecked(false);
    if (redraw) {
        now->Invalidate();
        if (old)
            old->Invalidate();
    }
    m_current = index;
    return 1;
}

int CRadioButtonManager::Select(CRadioButton* button, bool redraw)
{
    const int index = IndexOf(button);
    if (index < 0)
        return 0;
    if (index == m_current)
        return 1;
    return Select(index, redraw);
}

CRadioButton* CRadioButtonManager::GetAt(int index) const
{
    return index >= 0 && index < GetCount() ? m_buttons[index] : nullptr;
}

int CRadioButtonManager::IndexOf(const CRadioButton* button) const
{
    const auto it = std::find(m_buttons.begin(), m_buttons.end(), button);
    return it == m_buttons.end() ? -1 : static_cast<int>(it - m_buttons.begin());
}
