#include "Platform/WidgetMeasures.h"

#include <QWidget>

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
