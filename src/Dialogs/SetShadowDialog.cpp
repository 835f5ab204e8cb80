#include "Dialogs/SetShadowDialog.h"

#include "Dialogs/StringItemFontDialog.h"
#include "ImageProcessing/ImageIcon.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {

// The preview: it shows the dialog's picture and hands its left presses over.
class ShadowPreview : public QWidget
{
public:
    explicit ShadowPreview(CSetShadowDialog* dialog) : QWidget(dialog), m_dialog(dialog) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_dialog->PaintPreview(painter);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        const QPoint p = event->position().toPoint();
        m_dialog->PressInPreview(Point{p.x(), p.y()});
    }

private:
    CSetShadowDialog* m_dialog;
};

} // namespace

int ShadowUnitsToPixels(int units)
{
    return units / 5 * 2;
}

int ShadowPixelsToUnits(int pixels)
{
    return pixels * 5 / 2;
}

int SnapShadowPixels(int pixels)
{
    return std::clamp(pixels / 2, -10, 10) * 2;
}

CSetShadowDialog::CSetShadowDialog(IDialogShell& shell, ColorChooser chooseColor, QWidget* parent)
    : CSettingsDialog(shell, 142, parent), m_chooseColor(std::move(chooseColor))
{
    m_textSample = LoadBitmapResourcePicture(426);
    m_shadowSample = LoadBitmapResourcePicture(427);
    m_previewWidget = AddControl(new ShadowPreview(this), 2101);
    AddControl(new QLabel(QStringLiteral("Drag the shadow to place it."), this), 3236)->setWordWrap(true);
    m_colorButton = AddControl(new QPushButton(QStringLiteral("Shadow colour..."), this), 1220);
    m_colorButton->setAutoDefault(false);
    m_swatch = AddControl(new QWidget(this), 2140);
    m_tracker.SetOwner(this);
    m_tracker.SetValue(1);
    connect(m_colorButton, &QPushButton::clicked, this, [this] {
        if (m_chooseColor && m_chooseColor(m_color))
            update();
    });
    Localize();
}

void CSetShadowDialog::SetShadow(int offsetX, int offsetY, COLORREF color)
{
    m_offsetX = offsetX;
    m_offsetY = offsetY;
    m_color = color;
}

Rect CSetShadowDialog::SampleRect(int dx, int dy) const
{
    const int width = m_shadowSample.width();
    const int height = m_shadowSample.height();
    const int left = m_centreX - width / 2 + dx;
    const int top = m_centreY - height / 2 + dy;
    return Rect{left, top, left + width, top + height};
}

void CSetShadowDialog::OnInitDialog()
{
    const QRect area = m_previewWidget->geometry();
    m_preview = Rect{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    m_centreX = area.width() / 2;
    m_centreY = area.height() / 2;
    m_tracker.m_rect = SampleRect(ShadowUnitsToPixels(m_offsetX), ShadowUnitsToPixels(m_offsetY));
}

int CSetShadowDialog::OnTrackerDraw(TrackerDrawArgs&)
{
    return 1;
}

void CSetShadowDialog::OnTrackerChanged(const Rect&, CTracker& tracker)
{
    const Rect centred = SampleRect(0, 0);
    tracker.m_rect = SampleRect(SnapShadowPixels(tracker.m_rect.left - centred.left),
                                SnapShadowPixels(tracker.m_rect.top - centred.top));
}

void CSetShadowDialog::PressInPreview(Point point)
{
    if (m_tracker.Track(m_previewWidget, point) == 0)
        return;
    const Rect centred = SampleRect(0, 0);
    m_offsetX = ShadowPixelsToUnits(m_tracker.m_rect.left - centred.left);
    m_offsetY = ShadowPixelsToUnits(m_tracker.m_rect.top - centred.top);
    m_previewWidget->update();
}

void CSetShadowDialog::PaintPreview(QPainter& painter)
{
    painter.fillRect(m_previewWidget->rect(), palette().color(QPalette::Button));
    // Both samples are ink on white: with AND the white of each leaves what
    // lies under it, so the shadow shows through around the text.
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(m_tracker.m_rect.left, m_tracker.m_rect.top, m_shadowSample);
    const Rect text = SampleRect(0, 0);
    painter.drawImage(text.left, text.top, m_textSample);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void CSetShadowDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintColorSwatch(painter, m_swatch->geometry(), m_color);
}
