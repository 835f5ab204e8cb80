#include "Dialogs/Tracker.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

Rect Normalized(Rect rect)
{
    if (rect.left > rect.right)
        std::swap(rect.left, rect.right);
    if (rect.top > rect.bottom)
        std::swap(rect.top, rect.bottom);
    return rect;
}

QRect ToQRect(const Rect& rect)
{
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
}

} // namespace

// Shows the tracker's outline over the widget it is drawn on: a child that
// covers its parent, lets the mouse through and inverts what lies under the
// line, so the outline stays visible on any picture.
class TrackerOutline : public QWidget
{
public:
    explicit TrackerOutline(QWidget* parent, int style) : QWidget(parent), m_style(style)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(parent->rect());
        raise();
        show();
    }

    const std::optional<Rect>& Outline() const { return m_outline; }

    void SetOutline(std::optional<Rect> outline)
    {
        if (geometry() != parentWidget()->rect())
            setGeometry(parentWidget()->rect());
        if (m_outline)
            update(ToQRect(*m_outline).adjusted(-1, -1, 1, 1));
        m_outline = outline;
        if (m_outline)
            update(ToQRect(*m_outline).adjusted(-1, -1, 1, 1));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!m_outline || m_outline->IsEmpty())
            return;
        QPainter painter(this);
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.setPen(QPen(Qt::black, 1, (m_style & CTracker::dottedLine) ? Qt::DotLine : Qt::SolidLine));
        painter.setBrush(Qt::NoBrush);
        // Right and bottom edges are exclusive: the line runs on the last pixels inside.
        painter.drawRect(
            QRect(m_outline->left, m_outline->top, m_outline->Width() - 1, m_outline->Height() - 1));
    }

private:
    int m_style;
    std::optional<Rect> m_outline;
};

namespace {

// The modal part of a drag: a local event loop while the tracked widget holds
// the mouse grab. Mouse steps and the left release go to the drag, Escape and
// the right button cancel it, everything else is delivered as usual; losing
// the grab (or the widget) ends the loop.
class TrackingLoop : public QObject
{
public:
    TrackingLoop(CTrackerDrag& drag, QWidget* wnd) : m_drag(drag), m_wnd(wnd) {}

    void Run()
    {
        qApp->installEventFilter(this);
        // Nothing is posted when another widget takes the grab: look now and then.
        QTimer watch;
        watch.setInterval(50);
        QObject::connect(&watch, &QTimer::timeout, this, [this] { CheckGrab(); });
        watch.start();
        if (!m_done)
            m_loop.exec();
        qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (m_done || !receiver->isWidgetType())
            return false;
        if (CheckGrab())
            return false;
        switch (event->type()) {
        case QEvent::MouseMove:
            Step(receiver, static_cast<QMouseEvent*>(event), false);
            return true;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
                return false;
            Step(receiver, static_cast<QMouseEvent*>(event), true);
            return true;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton)
                return false;
            Cancel();
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
                return false;
            Cancel();
            return true;
        default:
            return false;
        }
    }

private:
    Point PointIn(QObject* receiver, QMouseEvent* event) const
    {
        QPoint point = receiver == m_wnd.data() ? event->position().toPoint()
                                                : m_wnd->mapFromGlobal(event->globalPosition().toPoint());
        return Point{point.x(), point.y()};
    }

    void Step(QObject* receiver, QMouseEvent* event, bool release)
    {
        if (m_drag.Step(PointIn(receiver, event), release))
            End();
    }

    void Cancel()
    {
        m_drag.Cancel();
        End();
    }

    // True when the loop is over because the widget lost the grab.
    bool CheckGrab()
    {
        if (!m_done && (m_wnd.isNull() || QWidget::mouseGrabber() != m_wnd.data()))
            End();
        return m_done;
    }

    void End()
    {
        m_done = true;
        m_loop.exit();
    }

    CTrackerDrag& m_drag;
    QPointer<QWidget> m_wnd;
    QEventLoop m_loop;
    bool m_done = false;
};

} // namespace

CTracker::CTracker() = default;

CTracker::~CTracker()
{
    RemoveOutline();
}

void CTracker::DrawTrackerRect(const Rect& rect, QWidget* clipWnd, QWidget* wnd)
{
    TrackerDrawArgs args{rect, clipWnd, wnd};
    if (m_pOwnerWnd != nullptr && m_pOwnerWnd->OnTrackerDraw(args) == 0)
        return;
    DrawOutline(args.rect, args.clipWnd, args.wnd);
}

void CTracker::DrawOutline(const Rect& rect, QWidget* clipWnd, QWidget* wnd)
{
    QWidget* target = clipWnd != nullptr ? clipWnd : wnd;
    if (target == nullptr)
        return;
    if (m_bErase) {
        if (m_outline)
            m_outline->SetOutline(std::nullopt);
        return;
    }
    Rect shown = Normalized(rect);
    if (target != wnd && wnd != nullptr) {
        QPoint offset = target->mapFromGlobal(wnd->mapToGlobal(QPoint(0, 0)));
        shown = Rect{shown.left + offset.x(), shown.top + offset.y(), shown.right + offset.x(),
                     shown.bottom + offset.y()};
    }
    if (m_outline && m_outline->parentWidget() != target)
        RemoveOutline();
    if (!m_outline)
        m_outline = new TrackerOutline(target, m_nStyle);
    m_outline->SetOutline(shown);
    m_rectLast = shown;
    m_sizeLast = TrackerSize{1, 1};
}

void CTracker::RemoveOutline()
{
    delete m_outline.data();
    m_outline = nullptr;
}

bool CTracker::GetOutline(Rect& rect) const
{
    if (!m_outline || !m_outline->Outline())
        return false;
    rect = *m_outline->Outline();
    return true;
}

QWidget* CTracker::OutlineWidget() const
{
    return m_outline.data();
}

void CTracker::AdjustRect(int handle, Rect& rect)
{
    if (handle == hitMiddle)
        return;
    bool movesLeft = handle == hitTopLeft || handle == hitBottomLeft || handle == hitLeft;
    bool movesRight = handle == hitTopRight || handle == hitBottomRight || handle == hitRight;
    bool movesTop = handle == hitTopLeft || handle == hitTopRight || handle == hitTop;
    bool movesBottom = handle == hitBottomLeft || handle == hitBottomRight || handle == hitBottom;
    // An edge that crossed its opposite edge stays beyond it only when inverting is allowed.
    auto keep = [this](int& moved, int opposite, bool movedIsHigh, int minimum) {
        int size = movedIsHigh ? moved - opposite : opposite - moved;
        if (m_bAllowInvert && size < 0) {
            if (-size < minimum)
                moved = movedIsHigh ? opposite - minimum : opposite + minimum;
        } else if (size < minimum) {
            moved = movedIsHigh ? opposite + minimum : opposite - minimum;
        }
    };
    if (movesLeft)
        keep(rect.left, rect.right, false, m_sizeMin.cx);
    if (movesRight)
        keep(rect.right, rect.left, true, m_sizeMin.cx);
    if (movesTop)
        keep(rect.top, rect.bottom, false, m_sizeMin.cy);
    if (movesBottom)
        keep(rect.bottom, rect.top, true, m_sizeMin.cy);
}

void CTracker::OnChangedRect(const Rect& oldRect)
{
    if (m_pOwnerWnd != nullptr)
        m_pOwnerWnd->OnTrackerChanged(oldRect, *this);
}

unsigned CTracker::GetHandleMask() const
{
    unsigned mask = 0x0F;
    Rect rect = Normalized(m_rect);
    int size = m_nHandleSize * 3;
    if (std::abs(rect.Width()) > size)
        mask |= (1u << hitTop) | (1u << hitBottom);
    if (std::abs(rect.Height()) > size)
        mask |= (1u << hitRight) | (1u << hitLeft);
    return mask;
}

int CTracker::GetHandleSize(const Rect& rect) const
{
    int size = m_nHandleSize;
    if (!(m_nStyle & resizeOutside)) {
        // Handles drawn inside must leave room for each other.
        Rect normal = Normalized(rect);
        int smaller = std::min(normal.Width(), normal.Height());
        size = std::min(size, std::max(1, smaller / 2));
    }
    return size;
}

Rect CTracker::GetHandleRect(int handle) const
{
    Rect rect = Normalized(m_rect);
    int size = GetHandleSize(rect);
    bool outside = (m_nStyle & resizeOutside) != 0;
    // The handle's top-left corner for each of the eight positions.
    int lowX = outside ? rect.left - size : rect.left;
    int highX = outside ? rect.right : rect.right - size;
    int lowY = outside ? rect.top - size : rect.top;
    int highY = outside ? rect.bottom : rect.bottom - size;
    int midX = rect.left + (rect.Width() - size) / 2;
    int midY = rect.top + (rect.Height() - size) / 2;
    int x = 0;
    int y = 0;
    switch (handle) {
    case hitTopLeft:
        x = lowX, y = lowY;
        break;
    case hitTopRight:
        x = highX, y = lowY;
        break;
    case hitBottomRight:
        x = highX, y = highY;
        break;
    case hitBottomLeft:
        x = lowX, y = highY;
        break;
    case hitTop:
        x = midX, y = lowY;
        break;
    case hitRight:
        x = highX, y = midY;
        break;
    case hitBottom:
        x = midX, y = highY;
        break;
    case hitLeft:
        x = lowX, y = midY;
        break;
    default:
        return Rect{};
    }
    return Rect{x, y, x + size, y + size};
}

int CTracker::HitTestHandles(Point point) const
{
    auto inside = [&point](const Rect& rect) {
        return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
    };
    if (m_nStyle & (resizeInside | resizeOutside)) {
        unsigned mask = GetHandleMask();
        for (int handle = hitTopLeft; handle <= hitLeft; ++handle)
            if ((mask & (1u << handle)) && inside(GetHandleRect(handle)))
                return handle;
    }
    return inside(Normalized(m_rect)) ? hitMiddle : hitNothing;
}

int CTracker::Track(QWidget* wnd, Point point, bool allowInvert, QWidget* clipWnd)
{
    if (m_pOwnerWnd == nullptr)
        m_pOwnerWnd = dynamic_cast<ITrackerOwner*>(wnd);
    int handle = HitTestHandles(point);
    if (handle == hitNothing)
        return 0;
    m_bAllowInvert = allowInvert;
    return RunDrag(handle, wnd, point, clipWnd);
}

int CTracker::TrackRubberBand(QWidget* wnd, Point point, bool allowInvert)
{
    if (m_pOwnerWnd == nullptr)
        m_pOwnerWnd = dynamic_cast<ITrackerOwner*>(wnd);
    m_bAllowInvert = allowInvert;
    m_rect = Rect{point.x, point.y, point.x, point.y};
    return TrackHandle(hitBottomRight, wnd, point, nullptr);
}

int CTracker::TrackHandle(int handle, QWidget* wnd, Point point, QWidget* clipWnd)
{
    return RunDrag(handle, wnd, point, clipWnd);
}

int CTracker::RunDrag(int handle, QWidget* wnd, Point point, QWidget* clipWnd)
{
    if (wnd == nullptr || QWidget::mouseGrabber() != nullptr)
        return 0;
    CTrackerDrag drag(*this, handle, point, wnd, clipWnd);
    {
        // Never leaves the grab behind, however the loop ends; a grab
        // another widget took stays its own.
        struct Grab
        {
            QPointer<QWidget> widget;
            explicit Grab(QWidget* w) : widget(w) { w->grabMouse(); }
            ~Grab()
            {
                if (widget && QWidget::mouseGrabber() == widget.data())
                    widget->releaseMouse();
            }
        } grab(wnd);
        TrackingLoop loop(drag, wnd);
        loop.Run();
    }
    int changed = drag.Finish();
    RemoveOutline();
    return changed;
}

CTrackerDrag::CTrackerDrag(CTracker& tracker, int handle, Point point, QWidget* wnd, QWidget* clipWnd)
    : m_tracker(tracker), m_handle(handle), m_wnd(wnd), m_clipWnd(clipWnd), m_start(tracker.m_rect),
      m_width(tracker.m_rect.Width()), m_height(tracker.m_rect.Height())
{
    int* x = nullptr;
    int* y = nullptr;
    ModifyPointers(x, y);
    if (x != nullptr)
        m_offsetX = point.x - *x;
    if (y != nullptr)
        m_offsetY = point.y - *y;
    // The handle picks its edges once, at the press: a band dragged past its
    // anchor inverts the rectangle, and the anchor must stay where it was.
    Rect& rect = m_tracker.m_rect;
    m_xField = x == &rect.left ? &Rect::left : x == &rect.right ? &Rect::right : nullptr;
    m_yField = y == &rect.top ? &Rect::top : y == &rect.bottom ? &Rect::bottom : nullptr;
}

void CTrackerDrag::ModifyPointers(int*& x, int*& y) const
{
    Rect& rect = m_tracker.m_rect;
    // The handles are hit on the normalised rectangle: on an inverted one
    // "left" is the larger coordinate.
    int* low = rect.left <= rect.right ? &rect.left : &rect.right;
    int* high = rect.left <= rect.right ? &rect.right : &rect.left;
    int* lowY = rect.top <= rect.bottom ? &rect.top : &rect.bottom;
    int* highY = rect.top <= rect.bottom ? &rect.bottom : &rect.top;
    x = nullptr;
    y = nullptr;
    switch (m_handle) {
    case CTracker::hitTopLeft:
        x = low, y = lowY;
        break;
    case CTracker::hitTopRight:
        x = high, y = lowY;
        break;
    case CTracker::hitBottomRight:
        x = high, y = highY;
        break;
    case CTracker::hitBottomLeft:
        x = low, y = highY;
        break;
    case CTracker::hitTop:
        y = lowY;
        break;
    case CTracker::hitRight:
        x = high;
        break;
    case CTracker::hitBottom:
        y = highY;
        break;
    case CTracker::hitLeft:
        x = low;
        break;
    case CTracker::hitMiddle:
        x = &rect.left, y = &rect.top;
        break;
    default:
        break;
    }
}

bool CTrackerDrag::Step(Point point, bool release)
{
    CTracker& t = m_tracker;
    t.m_rectPrev = t.m_rect;
    int* x = m_xField ? &(t.m_rect.*m_xField) : nullptr;
    int* y = m_yField ? &(t.m_rect.*m_yField) : nullptr;
    if (x != nullptr)
        *x = point.x - m_offsetX;
    if (y != nullptr)
        *y = point.y - m_offsetY;
    if (m_handle == CTracker::hitMiddle) {
        t.m_rect.right = t.m_rect.left + m_width;
        t.m_rect.bottom = t.m_rect.top + m_height;
    }
    t.AdjustRect(m_handle, t.m_rect);
    t.m_bFinalErase = release ? 1 : 0;
    if (!(t.m_rect == t.m_rectPrev) || release || t.m_bForceNotify == 1) {
        if (m_moved) {
            t.m_bErase = 1;
            Rect erase = t.m_rectPrev;
            t.DrawTrackerRect(erase, m_clipWnd, m_wnd);
        }
        Rect old = t.m_rectPrev;
        t.OnChangedRect(old);
        if (!release)
            m_moved = true;
    }
    if (release)
        return true;
    if (!(t.m_rect == t.m_rectPrev) || t.m_bForceNotify == 1) {
        t.m_bErase = 0;
        Rect draw = t.m_rect;
        t.DrawTrackerRect(draw, m_clipWnd, m_wnd);
    }
    return false;
}

void CTrackerDrag::Cancel()
{
    CTracker& t = m_tracker;
    if (m_moved) {
        t.m_bErase = 1;
        t.m_bFinalErase = 1;
        Rect erase = t.m_rect;
        t.DrawTrackerRect(erase, m_clipWnd, m_wnd);
    }
    t.m_rect = m_start;
}

int CTrackerDrag::Finish()
{
    CTracker& t = m_tracker;
    if (!m_moved)
        t.m_rect = m_start;
    t.m_bFinalErase = 0;
    t.m_bErase = 0;
    return t.m_rect == m_start ? 0 : 1;
}
