#include "Platform/WidgetMeasures.h"

#include "Platform/support/App.h"

#include <QWidget>
#include <gtest/gtest.h>

TEST(WidgetMeasures, ChildRectanglesAndCentring)
{
    EnsureApp();
    QWidget parent;
    parent.setGeometry(100, 200, 400, 300);
    auto* child = new QWidget(&parent);
    child->setGeometry(10, 20, 30, 40);
    EXPECT_EQ(GetWindowRectInParent(child), QRect(10, 20, 30, 40));
    EXPECT_EQ(GetWindowPosInParent(child), QPoint(10, 20));
    EXPECT_EQ(GetWindowWidth(child), 30);
    EXPECT_EQ(GetWindowHeight(child), 40);

    QWidget window;
    window.resize(100, 50);
    const QPoint centred = CalcCenteredWindowPos(&window, &parent);
    const QPoint corner = parent.frameGeometry().topLeft();
    const int outerWidth = window.frameGeometry().width();
    const int outerHeight = window.frameGeometry().height();
    EXPECT_EQ(centred, QPoint(corner.x() + (400 - outerWidth) / 2, corner.y() + (300 - outerHeight) / 2));
    EXPECT_EQ(CalcCenteredWindowPos(nullptr, &parent), QPoint());
    EXPECT_EQ(GetWindowWidth(nullptr), 0);
}
