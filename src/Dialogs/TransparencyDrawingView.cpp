#include "Dialogs/TransparencyDrawingView.h"

#include "Core/ErrorCheck.h"
#include "Dialogs/TransparencyShapeMakers.h"
#include "Dialogs/TransparencyStamps.h"
#include "ImageProcessing/ImageDC.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kNoRubber = -65535;
constexpr COLORREF kOutlineGrey = 0x808080;
constexpr int kStrokePatternId = 424;
constexpr int kPolygonMargin = 2;

bool Inside(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

RECT Around(POINT p, int margin)
{
    return RECT{p.x - margin, p.y - margin, p.x + margin, p.y + margin};
}

void Include(RECT& r, const RECT& other)
{
    r.left = std::min(r.left, other.left);
    r.top = std::min(r.top, other.top);
    r.right = std::max(r.right, other.right);
    r.bottom = std::max(r.bottom, other.bottom);
}

QRect ToQRect(const RECT& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Draws with a pen, brush and mix mode over a clip, restoring the context after.
class OutlineScope
{
public:
    OutlineScope(CImage& image, const RECT& clip, const CImagePen& pen, int mix) : m_image(image)
    {
        CRgn region;
        region.CreateRectRgn(clip.left, clip.top, clip.right, clip.bottom);
        m_image.SelectClipRgn(&region);
        m_pen = m_image.SelectObject(pen);
        m_brush = m_image.SelectObject(CImageBrush{0, true});
        m_mix = m_image.SetROP2(mix);
    }
    ~OutlineScope()
    {
        m_image.SetROP2(m_mix);
        m_image.SelectObject(m_brush);
        m_image.SelectObject(m_pen);
        m_image.SelectClipRgn(nullptr);
    }
    OutlineScope(const OutlineScope&) = delete;
    OutlineScope& operator=(const OutlineScope&) = delete;

private:
    CImage& m_image;
    CImagePen m_pen;
    CImageBrush m_brush;
    int m_mix = R2_COPYPEN;
};

} // namespace

CTransparencyDrawingView::CTransparencyDrawingView(IDialogShell& shell, QWidget* parent)
    : CTransparencyPictureView(shell, parent), m_rubberEnd{kNoRubber, kNoRubber},
      m_strokePattern(QStringLiteral(":/bitmaps/%1.png").arg(kStrokePatternId))
{
    setFocusPolicy(Qt::StrongFocus);
}

void CTransparencyDrawingView::Grab()
{
    grabMouse();
    if (!m_watchingGrab && qApp) {
        qApp->installEventFilter(this);
        m_watchingGrab = true;
    }
}

void CTransparencyDrawingView::Release()
{
    if (m_watchingGrab && qApp) {
        qApp->removeEventFilter(this);
        m_watchingGrab = false;
    }
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

bool CTransparencyDrawingView::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (watched != this && watched->isWidgetType())
            OnCaptureChanged();
        break;
    default:
        break;
    }
    return CTransparencyPictureView::eventFilter(watched, event);
}

// --- Free-hand strokes -----------------------------------------------------------------

void CTransparencyDrawingView::BeginFreehand(POINT point)
{
    const int pen = FreehandPenWidth(GetTool());
    const POINT p = ClientToPicture(point);
    SetInputState(InputFreehand);
    m_points.assign(2, p);
    m_shapeRect = Around(p, pen);
    SetTracking(true);
    Grab();
}

void CTransparencyDrawingView::ContinueFreehand(POINT point)
{
    const int penWidth = FreehandPenWidth(GetTool());
    const int shown = static_cast<int>(std::ceil(penWidth * GetZoom() / 100.0));
    if (AutoScroll(point, kFreehandTimer)) {
        DrawFreehandPreview(Display(), shown);
        update();
    }
    const POINT p = ClientToPicture(point);
    Include(m_shapeRect, Around(p, std::max(shown, penWidth)));
    if (!m_points.empty()) {
        const POINT from = PictureToClient(m_points.back(), true, true);
        OutlineScope scope(Display(), GetPictureClientRect(), PreviewPen(shown), R2_COPYPEN);
        Display().MoveTo(from.x, from.y);
        Display().LineTo(point.x, point.y);
        RECT touched{std::min(from.x, point.x), std::min(from.y, point.y), std::max(from.x, point.x),
                     std::max(from.y, point.y)};
        update(ToQRect(touched).adjusted(-shown - 2, -shown - 2, shown + 2, shown + 2));
    }
    m_points.push_back(p);
}

void CTransparencyDrawingView::EndFreehand(POINT)
{
    EndGesture(kFreehandTimer);
    const int width = Picture().GetWidth();
    const int height = Picture().GetHeight();
    m_shapeRect = RECT{std::max(0, m_shapeRect.left), std::max(0, m_shapeRect.top),
                       std::min(width, m_shapeRect.right), std::min(height, m_shapeRect.bottom)};
    if (m_points.size() == 2 && GetTool() == ToolFirstPen && m_points[0].x == m_points[1].x &&
        m_points[0].y == m_points[1].y)
        ++m_points[1].y; // a click of the finest pen still leaves a mark
    if (m_points.size() >= 2)
        ApplyWithUndo(m_shapeRect);
    m_points.clear();
    RenderAll();
    update();
}

void CTransparencyDrawingView::CancelFreehand()
{
    if (GetDrawingState() != InputFreehand)
        return;
    EndGesture(kFreehandTimer);
    m_points.clear();
    m_shapeRect = RECT{};
    RenderAll();
    update();
}

// --- Polygons ---------------------------------------------------------------------------

void CTransparencyDrawingView::AddPolygonPoint(POINT point)
{
    const POINT p = ClientToPicture(point);
    if (GetDrawingState() == InputPolygon) {
        if (!m_points.empty() && m_points.back().x == p.x && m_points.back().y == p.y)
            return;
        m_points.push_back(p);
        Include(m_shapeRect, Around(p, kPolygonMargin));
    } else {
        m_points.assign(1, p);
        m_shapeRect = Around(p, kPolygonMargin);
        SetTracking(true);
        Grab();
        setCursor(Qt::CrossCursor);
        SetInputState(InputPolygon);
    }
    // The fixed edges, drawn afresh; the rubber line starts again from the new vertex.
    RenderAll();
    DrawPolygonPreview(Display());
    m_rubberEnd = POINT{kNoRubber, kNoRubber};
    update();
}

void CTransparencyDrawingView::TrackPolygonLine(POINT point)
{
    if (m_points.empty())
        return;
    if (AutoScroll(point, kPolygonTimer)) {
        DrawPolygonPreview(Display());
        m_rubberEnd = POINT{kNoRubber, kNoRubber};
        update();
    }
    const POINT last = PictureToClient(m_points.back(), true, true);
    RECT touched{std::min(last.x, point.x), std::min(last.y, point.y), std::max(last.x, point.x),
                 std::max(last.y, point.y)};
    {
        OutlineScope scope(Display(), GetPictureClientRect(), CImagePen{PS_SOLID, 2, kOutlineGrey},
                           R2_XORPEN);
        if (m_rubberEnd.x != kNoRubber) {
            Display().MoveTo(m_rubberStart.x, m_rubberStart.y);
            Display().LineTo(m_rubberEnd.x, m_rubberEnd.y);
            Include(touched,
                    RECT{std::min(m_rubberStart.x, m_rubberEnd.x), std::min(m_rubberStart.y, m_rubberEnd.y),
                         std::max(m_rubberStart.x, m_rubberEnd.x), std::max(m_rubberStart.y, m_rubberEnd.y)});
        }
        Display().MoveTo(last.x, last.y);
        Display().LineTo(point.x, point.y);
    }
    update(ToQRect(touched).adjusted(-2, -2, 3, 3));
    m_rubberStart = last;
    m_rubberEnd = point;
}

void CTransparencyDrawingView::EndPolygon(POINT point)
{
    if (!Inside(GetPictureClientRect(), point))
        return;
    EndGesture(kPolygonTimer);
    if (m_points.size() >= 3)
        ApplyWithUndo(m_shapeRect);
    m_points.clear();
    m_rubberEnd = POINT{kNoRubber, kNoRubber};
    RenderAll();
    update();
}

void CTransparencyDrawingView::RemoveLastPolygonPoint(POINT point)
{
    if (m_points.size() < 2)
        return;
    m_points.pop_back();
    RenderAll();
    DrawPolygonPreview(Display());
    m_rubberEnd = POINT{kNoRubber, kNoRubber};
    update();
    TrackPolygonLine(point);
}

void CTransparencyDrawingView::CancelPolygon()
{
    if (GetDrawingState() != InputPolygon)
        return;
    EndGesture(kPolygonTimer);
    m_points.clear();
    m_shapeRect = RECT{};
    m_rubberEnd = POINT{kNoRubber, kNoRubber};
    RenderAll();
    update();
}

void CTransparencyDrawingView::EndGesture(int timerId)
{
    SetInputState(InputIdle);
    SetTracking(false);
    SetAutoScrolling(false);
    StopViewTimer(timerId);
    Release();
    unsetCursor();
}

void CTransparencyDrawingView::ApplyWithUndo(const RECT& shape)
{
    if (shape.right <= shape.left || shape.bottom <= shape.top)
        return;
    // The undo copy is taken only when a shape is applied, so a cancelled or
    // empty gesture keeps the previous shape undoable.
    SaveUndo();
    ApplyTransparencyTool(shape);
}

// --- Previews and outlines --------------------------------------------------------------------

void CTransparencyDrawingView::DrawPolygonPreview(CImage& image)
{
    if (m_points.size() < 2 || !image.IsValid())
        return;
    std::vector<POINT> shown;
    shown.reserve(m_points.size());
    for (const POINT& p : m_points)
        shown.push_back(PictureToClient(p, true, true));
    OutlineScope scope(image, GetPictureClientRect(), CImagePen{PS_SOLID, 2, kOutlineGrey}, R2_XORPEN);
    image.GetDC()->Polyline(shown.data(), static_cast<int>(shown.size()));
}

void CTransparencyDrawingView::DrawFreehandPreview(CImage& image, int penWidth)
{
    if (m_points.size() < 2 || !image.IsValid())
        return;
    std::vector<POINT> shown;
    shown.reserve(m_points.size());
    for (const POINT& p : m_points)
        shown.push_back(PictureToClient(p, true, true));
    OutlineScope scope(image, GetPictureClientRect(), PreviewPen(penWidth), R2_COPYPEN);
    image.GetDC()->Polyline(shown.data(), static_cast<int>(shown.size()));
}

CImagePen CTransparencyDrawingView::PreviewPen(int width) const
{
    CImagePen pen{PS_SOLID, std::max(1, width), kOutlineGrey};
    if (!m_strokePattern.isNull())
        pen.pattern = &m_strokePattern;
    return pen;
}

void CTransparencyDrawingView::DrawEllipseOutline(const RECT& rect)
{
    Display().Ellipse(rect.left, rect.top, rect.right, rect.bottom);
}

void CTransparencyDrawingView::DrawQuarterEllipseOutline(const RECT& drag)
{
    // The box mirrors the drag about the press point, which is its centre.
    const int cx = drag.left;
    const int cy = drag.top;
    const int w = std::abs(drag.right - drag.left);
    const int h = std::abs(drag.bottom - drag.top);
    if (w == 0 || h == 0)
        return;
    const int sx = drag.right < drag.left ? -1 : 1;
    const int sy = drag.bottom < drag.top ? -1 : 1;
    // Counter-clockwise from the radial that starts the quarter to the one that ends it.
    const POINT vertical{cx, cy + sy * h};
    const POINT horizontal{cx + sx * w, cy};
    const bool flipped = (sx * sy) < 0;
    const POINT start = flipped ? horizontal : vertical;
    const POINT end = flipped ? vertical : horizontal;
    Display().Pie(cx - w, cy - h, cx + w, cy + h, start.x, start.y, end.x, end.y);
}

void CTransparencyDrawingView::DrawStampOutline(int stamp, const RECT& rect)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    DrawStampShape(stamp, *Display().GetDC(), rect.left, rect.top, rect.right, rect.bottom);
}

void CTransparencyDrawingView::DrawShapeOutline(int tool, const RECT& rect)
{
    try {
        if (tool == ToolQuarterEllipse) {
            const Rect& drag = Tracker().m_rect;
            // The outline follows the tracker's anchor, squared like `rect`.
            const int w = rect.right - rect.left;
            const int h = rect.bottom - rect.top;
            const int sx = drag.right < drag.left ? -1 : 1;
            const int sy = drag.bottom < drag.top ? -1 : 1;
            const int ax = sx > 0 ? rect.left : rect.right;
            const int ay = sy > 0 ? rect.top : rect.bottom;
            DrawQuarterEllipseOutline(RECT{ax, ay, ax + sx * w, ay + sy * h});
        } else if (tool >= ToolFirstStamp && tool <= ToolLastStamp) {
            DrawStampOutline(tool - ToolFirstStamp, rect);
        }
    } catch (enumErrorID) {
        // An outline that cannot be drawn only leaves the preview out.
    }
}

// --- Makers -------------------------------------------------------------------------------------

int CTransparencyDrawingView::MakePolygonMask(const RECT& shape, const RECT& work, PageBuffer& coverage,
                                              int level)
{
    if (m_points.size() < 3)
        return 0;
    coverage = MakePolygonCoverage(m_points, shape,
                                   ShapeCoverageArea{work.right, work.bottom, GetBlurAmount()}, level, this);
    return 1;
}

int CTransparencyDrawingView::MakeQuarterEllipseMask(const RECT& drag, const RECT& work, PageBuffer& coverage,
                                                     int level)
{
    coverage = MakeQuarterEllipseCoverage(
        std::abs(drag.right - drag.left), std::abs(drag.bottom - drag.top), m_dragLeftwards, m_dragUpwards,
        ShapeCoverageArea{work.right, work.bottom, GetBlurAmount()}, level, this);
    return 1;
}

int CTransparencyDrawingView::MakeFreehandMask(const RECT& shape, const RECT& work, PageBuffer& coverage,
                                               int level)
{
    if (m_points.size() < 2)
        return 0;
    coverage = MakeFreehandCoverage(m_points, shape, FreehandPenWidth(GetTool()),
                                    ShapeCoverageArea{work.right, work.bottom, GetBlurAmount()}, level, this);
    return 1;
}

int CTransparencyDrawingView::MakeStampMask(int stamp, const RECT& shape, const RECT& work,
                                            PageBuffer& coverage, int level)
{
    coverage = MakeStampCoverage(stamp, shape.right - shape.left, shape.bottom - shape.top,
                                 ShapeCoverageArea{work.right, work.bottom, GetBlurAmount()}, level, this);
    return 1;
}

int CTransparencyDrawingView::MakeToolCoverage(int tool, const RECT& shape, const RECT& work,
                                               PageBuffer& coverage, int level)
{
    if (shape.right <= shape.left || shape.bottom <= shape.top)
        return 0;
    if (tool == ToolPolygon)
        return MakePolygonMask(shape, work, coverage, level);
    if (tool == ToolQuarterEllipse)
        return MakeQuarterEllipseMask(shape, work, coverage, level);
    if (tool >= ToolFirstStamp && tool <= ToolLastStamp)
        return MakeStampMask(tool - ToolFirstStamp, shape, work, coverage, level);
    if (tool >= ToolFirstPen && tool <= ToolLastPen)
        return MakeFreehandMask(shape, work, coverage, level);
    return 0;
}

// --- Dragged shapes -----------------------------------------------------------------------------

void CTransparencyDrawingView::TrackShape(POINT point)
{
    m_dragLeftwards = m_dragUpwards = false;
    CTransparencyPictureView::TrackShape(point);
    SetSquare(false);
}

RECT CTransparencyDrawingView::ConstrainDraggedShape(const Rect& drag, RECT picture)
{
    m_dragLeftwards = drag.right < drag.left;
    m_dragUpwards = drag.bottom < drag.top;
    if (IsSquare()) {
        // The shorter side wins; the corner the drag started from stays.
        const int side = std::min(picture.right - picture.left, picture.bottom - picture.top);
        if (m_dragLeftwards)
            picture.left = picture.right - side;
        else
            picture.right = picture.left + side;
        if (m_dragUpwards)
            picture.top = picture.bottom - side;
        else
            picture.bottom = picture.top + side;
    }
    if (GetTool() == ToolQuarterEllipse) {
        // The quarter needs two pixels each way; it grows away from its centre.
        if (picture.right - picture.left < 2) {
            if (m_dragLeftwards)
                picture.left = picture.right - 2;
            else
                picture.right = picture.left + 2;
        }
        if (picture.bottom - picture.top < 2) {
            if (m_dragUpwards)
                picture.top = picture.bottom - 2;
            else
                picture.bottom = picture.top + 2;
        }
    }
    return picture;
}

// --- Keys, cursor, wheel, grab --------------------------------------------------------------

void CTransparencyDrawingView::SetShiftState(bool held)
{
    if (held == IsSquare())
        return;
    SetSquare(held);
    const int tool = GetTool();
    const bool dragged = tool != ToolPolygon && !(tool >= ToolFirstPen && tool <= ToolLastPen) &&
                         tool != ToolZoomIn && tool != ToolZoomOut;
    if (QWidget::mouseGrabber() != this || !IsTracking() || !dragged)
        return;
    // The outline is drawn again at once, with or without the square.
    RenderAll();
    Tracker().EmptyRect();
    Tracker().DrawTrackerRect(Tracker().m_rect, nullptr, this);
    const Rect& r = Tracker().m_rect;
    const RECT snapped = SnapRect(RECT{std::min(r.left, r.right), std::min(r.top, r.bottom),
                                       std::max(r.left, r.right), std::max(r.top, r.bottom)});
    update(ToQRect(snapped).adjusted(-2, -2, 2, 2));
    update();
}

void CTransparencyDrawingView::OnKeyDown(int key)
{
    if (key == Qt::Key_Shift)
        SetShiftState(true);
}

void CTransparencyDrawingView::OnKeyUp(int key)
{
    if (key == Qt::Key_Shift)
        SetShiftState(false);
}

void CTransparencyDrawingView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Shift) {
        OnKeyDown(event->key());
        return;
    }
    CTransparencyPictureView::keyPressEvent(event);
}

void CTransparencyDrawingView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Shift) {
        OnKeyUp(event->key());
        return;
    }
    CTransparencyPictureView::keyReleaseEvent(event);
}

QCursor CTransparencyDrawingView::OnSetCursor(POINT point)
{
    QCursor cursor(Qt::ArrowCursor);
    if (Picture().IsLoaded() && Inside(GetPictureClientRect(), point)) {
        if (GetTool() == ToolZoomIn)
            cursor = GetZoom() >= 800 ? NoZoomCursor() : ZoomInCursor();
        else if (GetTool() == ToolZoomOut)
            cursor = GetZoom() <= 10 ? NoZoomCursor() : ZoomOutCursor();
        else
            cursor = QCursor(Qt::CrossCursor);
    }
    setCursor(cursor);
    return cursor;
}

bool CTransparencyDrawingView::OnMouseWheel()
{
    return IsTracking();
}

void CTransparencyDrawingView::OnCaptureChanged()
{
    const int state = GetDrawingState();
    if (state != InputPolygon && state != InputFreehand)
        return;
    if (QWidget::mouseGrabber() != this) {
        Grab();
        if (state == InputPolygon)
            setCursor(Qt::CrossCursor);
    }
}

void CTransparencyDrawingView::mouseMoveEvent(QMouseEvent* event)
{
    const POINT point{static_cast<int>(std::floor(event->position().x())),
                      static_cast<int>(std::floor(event->position().y()))};
    OnCaptureChanged();
    if (GetDrawingState() == InputIdle)
        OnSetCursor(point);
    CTransparencyPictureView::mouseMoveEvent(event);
}

void CTransparencyDrawingView::wheelEvent(QWheelEvent* event)
{
    if (OnMouseWheel()) {
        event->accept();
        return;
    }
    CTransparencyPictureView::wheelEvent(event);
}
