#include "App/ZAVEditorView.h"

#include "App/ZAVEditorDoc.h"
#include "ImageProcessing/Image.h"

#include <QImage>
#include <QPainter>

CZAVEditorView::CZAVEditorView(CZAVEditorDoc& document, QWidget* parent)
    : QWidget(parent), m_document(document)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(p);
}

void CZAVEditorView::paintEvent(QPaintEvent* /*event*/)
{
    if (width() <= 0 || height() <= 0)
        return;
    CImage canvas;
    if (!canvas.Create(width(), height()))
        return;
    const POINT origin{0, 0};
    CLayoutManager& layout = *m_document.GetLayoutManager();
    layout.ZoomToFit(SIZE{width(), height()}, false);
    if (!layout.DrawPage(&canvas, &origin))
        return;
    // The canvas keeps its rows bottom-up.
    const QImage image(canvas.GetBits(), canvas.GetWidth(), canvas.GetHeight(), canvas.GetWidth() * 4,
                       QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image.mirrored());
}
