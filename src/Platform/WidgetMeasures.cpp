#include "Platform/WidgetMeasures.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>

namespace {

QSize Shortfall(QSize need, QSize has)
{
    return {std::max(0, need.width() - has.width()), std::max(0, need.height() - has.height())};
}

QSize LabelShortfall(const QLabel& label)
{
    if (label.text().isEmpty())
        return QSize(0, 0);
    if (label.wordWrap())
        return QSize(0, std::max(0, label.heightForWidth(label.width()) - label.height()));
    return Shortfall(label.sizeHint(), label.size());
}

// The button's text against the part of it that its style gives the text
// (the check box's and radio button's beside their indicator).
QSize ButtonShortfall(const QAbstractButton& button)
{
    const QString text = button.text();
    if (text.isEmpty())
        return QSize(0, 0);
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = text;
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(&button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(&button))
        contents = QStyle::SE_RadioButtonContents;
    else if (!qobject_cast<const QPushButton*>(&button))
        return QSize(0, 0);
    const QRect room = button.style()->subElementRect(contents, &option, &button);
    QSize need = button.fontMetrics().size(Qt::TextShowMnemonic, text);
    if (!option.icon.isNull())
        need.rwidth() += option.iconSize.width() + 4;
    return Shortfall(need, room.size());
}

} // namespace

QRect GetWindowRectInParent(const QWidget* window)
{
    return window ? window->frameGeometry() : QRect();
}

QPoint GetWindowPosInParent(const QWidget* window)
{
    return GetWindowRectInParent(window).topLeft();
}

int GetWindowWidth(const QWidget* window)
{
    return GetWindowRectInParent(window).width();
}

int GetWindowHeight(const QWidget* window)
{
    return GetWindowRectInParent(window).height();
}

QPoint CalcCenteredWindowPos(const QWidget* window, const QWidget* other)
{
    if (!window || !other)
        return {};
    QPoint corner = other->frameGeometry().topLeft();
    if (const QWidget* parent = other->parentWidget(); parent && !other->isWindow())
        corner = parent->mapToGlobal(corner);
    const QRect outer = window->frameGeometry();
    return {corner.x() + (other->width() - outer.width()) / 2,
            corner.y() + (other->height() - outer.height()) / 2};
}

QSize TextShortfall(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return LabelShortfall(*label);
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return ButtonShortfall(*button);
    return QSize(0, 0);
}
