// The shadow-position dialog: the user drags a shadow sample under a text
// sample; it moves in 2-pixel steps at most 20 pixels from the centre, which
// are 5 layout units each, at most 50.
#pragma once

#include "Dialogs/SettingsDialog.h"
#include "Dialogs/Tracker.h"
#include "ImageProcessing/GdiTypes.h"

#include <QImage>

#include <functional>

// An offset in layout units as preview pixels, and back.
int ShadowUnitsToPixels(int units);
int ShadowPixelsToUnits(int pixels);
// A dragged offset in pixels held to the 2-pixel steps within 20 pixels.
int SnapShadowPixels(int pixels);

class CSetShadowDialog : public CSettingsDialog, public ITrackerOwner
{
    Q_OBJECT
public:
    using ColorChooser = std::function<bool(COLORREF&)>;

    CSetShadowDialog(IDialogShell& shell, ColorChooser chooseColor, QWidget* parent = nullptr);

    // Filled before the dialog runs (offsets in layout units), read after OK.
    void SetShadow(int offsetX, int offsetY, COLORREF color);
    int ShadowOffsetX() const { return m_offsetX; }
    int ShadowOffsetY() const { return m_offsetY; }
    COLORREF ShadowColor() const { return m_color; }

    QWidget* Preview() const { return m_previewWidget; }
    QPushButton* ColorButton() const { return m_colorButton; }
    const CTracker& Tracker() const { return m_tracker; }
    // The centre of the preview, in its own coordinates.
    Point Origin() const { return Point{m_centreX, m_centreY}; }

    // The tracker's own outline follows the snapped rectangle.
    int OnTrackerDraw(TrackerDrawArgs& args) override;
    void OnTrackerChanged(const Rect& oldRect, CTracker& tracker) override;

    // A left press in the preview: drags the shadow sample when it is hit.
    void PressInPreview(Point point);
    // The preview's picture: the shadow sample at its place, the text sample
    // over it combined with AND.
    void PaintPreview(QPainter& painter);

protected:
    void OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The sample's rectangle with its centre this many pixels from the origin.
    Rect SampleRect(int dx, int dy) const;

    ColorChooser m_chooseColor;
    Rect m_preview;
    int m_centreX = 0;
    int m_centreY = 0;
    int m_offsetX = 0;
    int m_offsetY = 0;
    COLORREF m_color = 0;
    CTracker m_tracker;

    QImage m_textSample;
    QImage m_shadowSample;
    QWidget* m_previewWidget;
    QWidget* m_swatch;
    QPushButton* m_colorButton;
};
