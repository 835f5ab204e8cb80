#include "Dialogs/PositionInfoArea.h"

#include "App/AppSettings.h"
#include "Core/LocalizeScript.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/PositionValues.h"

#include <QPainter>
#include <QPalette>

void DrawArrowTip(QPainter* painter, QPoint tip, int direction)
{
    if (!painter)
        return;
    const int x = tip.x();
    const int y = tip.y();
    QPoint a, b;
    switch (direction) {
    case 0:
        a = {x - 2, y + 6};
        b = {x + 2, y + 6};
        break;
    case 1:
        a = {x - 2, y - 6};
        b = {x + 2, y - 6};
        break;
    case 2:
        a = {x + 6, y - 2};
        b = {x + 6, y + 2};
        break;
    case 3:
        a = {x - 6, y - 2};
        b = {x - 6, y + 2};
        break;
    default:
        return;
    }
    painter->drawLine(tip, a);
    painter->drawLine(tip, b);
}

CPositionInfoArea::CPositionInfoArea(IDialogShell& shell, QWidget* parent) : QWidget(parent), m_shell(shell)
{
}

void CPositionInfoArea::paintEvent(QPaintEvent*)
{
    const int unit = m_shell.Settings().GetUnit();
    const PositionValues values = CalcPositionValues(GetPositionInput(m_shell.GetActiveEditorDoc(), unit));
    const PositionTexts texts = FormatPositionValues(values, unit);

    QPainter painter(this);
    const QRect c = rect();
    const int w = c.width();
    const int h = c.height();
    painter.fillRect(c, QPalette().color(QPalette::Button));
    const QColor ink(0x14, 0x32, 0x50); // 0x503214 as blue, green, red
    painter.setPen(QPen(ink, 1));
    painter.setFont(font());

    const int s = static_cast<int>(h * 0.44444445f);
    const int x0 = (w - s) / 2;
    const int y0 = (h - s) / 2;
    painter.drawRect(x0, y0, s, s);
    QString size = QString::fromStdString(texts.size);
    size.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    painter.drawText(QRect(x0, y0, s, s), Qt::AlignCenter, size);

    const int midX = x0 + s / 2;
    const int midY = y0 + s / 2;
    const int textHeight = painter.fontMetrics().height();
    // Top and bottom: vertical lines from the square to the control's edges.
    painter.drawLine(midX, 0, midX, y0 - 1);
    DrawArrowTip(&painter, QPoint(midX, 0), 0);
    DrawArrowTip(&painter, QPoint(midX, y0 - 1), 1);
    painter.drawLine(midX, y0 + s + 1, midX, h - 1);
    DrawArrowTip(&painter, QPoint(midX, y0 + s + 1), 0);
    DrawArrowTip(&painter, QPoint(midX, h - 1), 1);
    painter.drawText(QRect(midX + 4, 0, w - midX - 4, y0), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(texts.top));
    painter.drawText(QRect(midX + 4, y0 + s, w - midX - 4, h - y0 - s), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(texts.bottom));
    // Left and right: horizontal lines at the square's middle.
    painter.drawLine(0, midY, x0 - 1, midY);
    DrawArrowTip(&painter, QPoint(0, midY), 2);
    DrawArrowTip(&painter, QPoint(x0 - 1, midY), 3);
    painter.drawLine(x0 + s + 1, midY, w - 1, midY);
    DrawArrowTip(&painter, QPoint(x0 + s + 1, midY), 2);
    DrawArrowTip(&painter, QPoint(w - 1, midY), 3);
    const int leftTextX = x0 - s * 6 / 8;
    painter.drawText(QRect(leftTextX, midY - textHeight - 1, s * 6 / 8, textHeight), Qt::AlignCenter,
                     QString::fromStdString(texts.left));
    const int rightTextX = x0 + s + s / 4 - s / 8;
    painter.drawText(QRect(rightTextX, midY - textHeight - 1, s * 6 / 8, textHeight), Qt::AlignCenter,
                     QString::fromStdString(texts.right));

    std::string unitName;
    CLocalizeScript(m_shell.GetLocalizeIniPath())
        .GetCaption(unit == 2   ? 200
                    : unit == 1 ? 199
                                : 104,
                    unitName);
    painter.drawText(c.adjusted(0, 0, -2, -1), Qt::AlignRight | Qt::AlignBottom | Qt::TextDontClip,
                     QString::fromStdString(unitName));
}
