// Finding a dialog's controls by the ids the localisation file places them by.
#pragma once

#include "Platform/DialogLayoutTarget.h"

#include <QWidget>

// The first descendant with that control id; null when none.
inline QWidget* ControlOf(QWidget& parent, int controlId)
{
    for (QWidget* child : parent.findChildren<QWidget*>())
        if (GetControlId(child) == controlId)
            return child;
    return nullptr;
}

template <typename Widget> Widget* ControlOf(QWidget& parent, int controlId)
{
    return qobject_cast<Widget*>(ControlOf(parent, controlId));
}
