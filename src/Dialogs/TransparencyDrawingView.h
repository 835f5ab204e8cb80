// The transparency view with its drawing tools: polygon clicks, free-hand
// strokes and the dragged quarter ellipse and stamps, their previews and
// rubber-band outlines, the Shift square, the cursors and the cancelling of
// an unfinished gesture. Points are kept in picture pixels as 32-bit
// integers, so a stroke dragged far past the window never wraps.
#pragma once

#include "Dialogs/TransparencyPictureView.h"

#include <QImage>

#include <vector>

class CTransparencyDrawingView : public CTransparencyPictureView
{
    Q_OBJECT

public:
    // Timers of the polygon's and the stroke's auto-scroll.
    static constexpr int kFreehandTimer = 2;
    static constexpr int kPolygonTimer = 3;

    explicit CTransparencyDrawingView(IDialogShell& shell, QWidget* parent = nullptr);

    // --- Gestures (window points) ---
    void BeginFreehand(POINT point) override;
    void ContinueFreehand(POINT point) override;
    void EndFreehand(POINT point) override;
    void AddPolygonPoint(POINT point) override;
    void TrackPolygonLine(POINT point) override;
    void EndPolygon(POINT point) override;
    void RemoveLastPolygonPoint(POINT point) override;
    void TrackShape(POINT point) override;
    // An unfinished polygon or stroke ends at once without changing the mask:
    // the grab is released, the points and timers dropped, the view redrawn.
    void CancelPolygon();
    void CancelFreehand();

    // --- Previews and outlines into the display image (window coordinates) ---
    void DrawPolygonPreview(CImage& image);
    void DrawFreehandPreview(CImage& image, int penWidth);
    void DrawEllipseOutline(const RECT& rect);
    // `drag` is anchored at the press point.
    void DrawQuarterEllipseOutline(const RECT& drag);
    void DrawStampOutline0(const RECT& rect) { DrawStampOutline(0, rect); }
    void DrawStampOutline1(const RECT& rect) { DrawStampOutline(1, rect); }
    void DrawStampOutline2(const RECT& rect) { DrawStampOutline(2, rect); }
    void DrawStampOutline3(const RECT& rect) { DrawStampOutline(3, rect); }
    void DrawStampOutline4(const RECT& rect) { DrawStampOutline(4, rect); }

    // --- Makers of the drawn tools (see TransparencyShapeMakers.h) ---
    int MakePolygonMask(const RECT& shape, const RECT& work, PageBuffer& coverage, int level);
    int MakeQuarterEllipseMask(const RECT& drag, const RECT& work, PageBuffer& coverage, int level);
    int MakeFreehandMask(const RECT& shape, const RECT& work, PageBuffer& coverage, int level);
    int MakeStampMask(int stamp, const RECT& shape, const RECT& work, PageBuffer& coverage, int level);

    // --- Keys, cursor, wheel, grab ---
    void SetShiftState(bool held);
    bool GetShiftState() const { return IsSquare(); }
    void OnKeyDown(int key);
    void OnKeyUp(int key);
    // The cursor for a window point; also set on the window.
    QCursor OnSetCursor(POINT point);
    // True when the wheel was taken (ignored during a gesture).
    bool OnMouseWheel();
    // Takes the grab back while a polygon or stroke is in progress.
    void OnCaptureChanged();

    const std::vector<POINT>& Points() const { return m_points; }
    const RECT& ShapeRect() const { return m_shapeRect; }

protected:
    void DrawShapeOutline(int tool, const RECT& rect) override;
    int MakeToolCoverage(int tool, const RECT& shape, const RECT& work, PageBuffer& coverage,
                         int level) override;
    RECT ConstrainDraggedShape(const Rect& drag, RECT picture) override;

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // While a polygon or stroke holds the grab: a mouse event for another
    // widget means the grab was taken, and it is taken back.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DrawStampOutline(int stamp, const RECT& rect);
    void Grab();
    void Release();
    void EndGesture(int timerId);
    // The stroke's preview pen: the checker of bitmap 424, or solid grey without it.
    CImagePen PreviewPen(int width) const;
    void ApplyWithUndo(const RECT& shape);

    std::vector<POINT> m_points; // picture pixels
    RECT m_shapeRect{};
    // The rubber line of the polygon drawn last (window points); none when
    // m_rubberEnd.x is kNoRubber.
    POINT m_rubberStart{};
    POINT m_rubberEnd{};
    bool m_dragLeftwards = false;
    bool m_dragUpwards = false;
    QImage m_strokePattern;
    bool m_watchingGrab = false;
};
