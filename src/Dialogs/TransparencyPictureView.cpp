#include "Dialogs/TransparencyPictureView.h"

#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/ProgressDialog.h"
#include "Dialogs/TransparencyShapes.h"
#include "Layout/ImageFrameItem.h"

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>

namespace {

QCursor LoadViewCursor(int id, Qt::CursorShape fallback)
{
    const QPixmap picture(QStringLiteral(":/cursors/%1.png").arg(id));
    if (picture.isNull())
        return QCursor(fallback);
    return QCursor(picture, 0, 0);
}

POINT ToPoint(const QPointF& p)
{
    return POINT{static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

bool Contains(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// Swallows the user's mouse and key input while the queue is emptied.
class InputDropper : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

template <typename Body> void CTransparencyPictureView::Guarded(Body&& body)
{
    try {
        body();
    } catch (enumErrorID id) {
        ReportFailure(id);
    }
}

CTransparencyPictureView::CTransparencyPictureView(IDialogShell& shell, QWidget* parent)
    : QWidget(parent), m_shell(shell),
      m_progressFactory([this](QWidget* owner) { return CreateFilterProgress(m_shell, owner); }),
      m_ownWait(std::make_unique<CQtWaitFeedback>())
{
    setObjectName(QStringLiteral("CTransparencyPictureView"));
    setWindowTitle(QStringLiteral("CTransparencyPictureView"));
    setProperty("controlId", kTransparencyViewId);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    m_hbar = new QScrollBar(Qt::Horizontal, this);
    m_vbar = new QScrollBar(Qt::Vertical, this);
    m_hbar->hide();
    m_vbar->hide();
    connect(m_hbar, &QScrollBar::actionTriggered, this,
            [this](int action) { OnBarAction(m_hbar, WM_HSCROLL, action); });
    connect(m_vbar, &QScrollBar::actionTriggered, this,
            [this](int action) { OnBarAction(m_vbar, WM_VSCROLL, action); });
    SetWaitFeedback(nullptr);
    Reset();
}

CTransparencyPictureView::~CTransparencyPictureView()
{
    Reset();
}

void CTransparencyPictureView::SetWaitFeedback(IWaitFeedback* feedback)
{
    m_wait = feedback ? feedback : m_ownWait.get();
    m_picture.SetWaitFeedback(m_wait);
}

int CTransparencyPictureView::Create(QWidget* parent, int x, int y)
{
    BoolCheck(parent != nullptr, ErrorIdReported);
    setParent(parent);
    setGeometry(x, y, 1, 1);
    show();
    return 1;
}

void CTransparencyPictureView::Reset()
{
    m_display.Release();
    m_picture.Reset();
    m_geometry.Reset();
    m_item = nullptr;
    m_tool = 0;
    m_checker = false;
    m_mode = 0;
    m_inputState = InputIdle;
    m_tracking = false;
    m_autoScroll = false;
    m_progress.reset();
    m_square = false;
    m_redraw = false;
    m_ratio = 100;
    m_blur = 50;
    for (auto& [id, timer] : m_timers)
        timer.stop();
    m_timers.clear();
    if (m_hbar)
        m_hbar->hide();
    if (m_vbar)
        m_vbar->hide();
}

int CTransparencyPictureView::SetItem(CImageFrameItem* item)
{
    Reset();
    NullCheck(item, ErrorIdSilent);
    BoolCheck(!item->GetImageFileName2().empty(), ErrorIdSilent);
    m_item = item;
    m_zoomInCursor = LoadViewCursor(300, Qt::CrossCursor);
    m_zoomOutCursor = LoadViewCursor(301, Qt::CrossCursor);
    m_noZoomCursor = LoadViewCursor(303, Qt::ForbiddenCursor);
    try {
        m_picture.Load(*item);
    } catch (...) {
        m_item = nullptr;
        throw;
    }
    m_geometry.SetPictureSize(m_picture.GetWidth(), m_picture.GetHeight());
    m_redraw = true;
    OnSize();
    return 1;
}

int CTransparencyPictureView::SetTool(int tool)
{
    m_tool = tool;
    return 1;
}

int CTransparencyPictureView::SetTransparencyLevel(int ratio)
{
    m_ratio = ratio;
    return 1;
}

int CTransparencyPictureView::SetBlurAmount(int blur)
{
    m_blur = blur;
    return 1;
}

int CTransparencyPictureView::SetMode(int mode)
{
    m_mode = mode;
    return 1;
}

bool CTransparencyPictureView::IsCameraDocument() const
{
    CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
    return document && document->IsDSCLayout();
}

int CTransparencyPictureView::GetFillLevel() const
{
    return TransparencyFillLevel(m_ratio, m_mode, IsCameraDocument());
}

// --- Shapes ---------------------------------------------------------------------

int CTransparencyPictureView::MakeRectangleMask(const RECT& shape, const RECT&, PageBuffer& coverage,
                                                int level)
{
    if (shape.right <= shape.left || shape.bottom <= shape.top)
        return 0; // nothing to cover
    coverage = MakeSymmetricCoverage(SymmetricShape::Rectangle, shape.right - shape.left,
                                     shape.bottom - shape.top, m_blur, level, this);
    return 1;
}

int CTransparencyPictureView::MakeEllipseMask(const RECT& shape, const RECT&, PageBuffer& coverage, int level)
{
    if (shape.right <= shape.left || shape.bottom <= shape.top)
        return 0; // nothing to cover
    coverage = MakeSymmetricCoverage(SymmetricShape::Ellipse, shape.right - shape.left,
                                     shape.bottom - shape.top, m_blur, level, this);
    return 1;
}

int CTransparencyPictureView::ApplyTransparencyTool(RECT shape)
{
    BoolCheck(m_picture.IsLoaded(), ErrorIdReported);
    shape = RECT{std::min(shape.left, shape.right), std::min(shape.top, shape.bottom),
                 std::max(shape.left, shape.right), std::max(shape.top, shape.bottom)};
    const int d = std::clamp(m_blur, 0, 100);
    struct ProgressCloser
    {
        std::unique_ptr<IFilterProgress>& progress;
        ~ProgressCloser() { progress.reset(); }
    } closer{m_progress};
    if (d > 1) {
        m_progress = m_progressFactory(this);
        if (m_progress)
            m_progress->SetText(LocalizedText(m_shell, kFeatherProgressTextId));
    }
    if (m_tool == ToolFirstStamp + 2) {
        // The heart needs at least two pixels each way.
        if (shape.right - shape.left < 2)
            ++shape.right;
        if (shape.bottom - shape.top < 2)
            ++shape.bottom;
    }
    const RECT work{0, 0, (shape.right - shape.left) + 2 * d, (shape.bottom - shape.top) + 2 * d};
    const int level = GetFillLevel();
    PageBuffer coverage;
    int made = 0;
    if (m_tool == ToolRectangle)
        made = MakeRectangleMask(shape, work, coverage, level);
    else if (m_tool == ToolEllipse)
        made = MakeEllipseMask(shape, work, coverage, level);
    else
        made = MakeToolCoverage(m_tool, shape, work, coverage, level);
    if (made && coverage)
        MergeCoverage(m_picture.GetMask(), m_picture.GetWidth(), m_picture.GetHeight(), m_picture.GetStride(),
                      coverage.get(), work.right, work.bottom, shape.left - d, shape.top - d, m_mode);
    coverage.reset();

    const RECT grown{std::max(0, shape.left - d), std::max(0, shape.top - d),
                     std::min(m_picture.GetWidth(), shape.right + d),
                     std::min(m_picture.GetHeight(), shape.bottom + d)};
    if (GetZoom() >= 100)
        Render(RenderArea, grown.left, grown.top, grown.right, grown.bottom);
    else
        RenderAll();
    DropPendingInput();
    m_progress.reset();
    update();
    return 1;
}

void CTransparencyPictureView::DrawCheckerBackground(CImage* image, const RECT& rect)
{
    if (image)
        m_renderer.DrawCheckerBackground(*image, m_geometry, rect);
}

void CTransparencyPictureView::DropPendingInput()
{
    InputDropper dropper;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    app->installEventFilter(&dropper);
    QCoreApplication::processEvents();
    app->removeEventFilter(&dropper);
}

// --- Geometry ----------------------------------------------------------------------

void CTransparencyPictureView::SetZoom(int zoom, int x, int y)
{
    OnSetRedraw(false);
    m_geometry.StoreZoom(zoom);
    LayoutScrollBars();
    CenterOn(x, y);
    OnSetRedraw(true);
    OnSize();
}

void CTransparencyPictureView::ZoomIn(POINT point)
{
    const int next = m_geometry.NextZoomIn();
    if (next == GetZoom())
        return;
    const POINT p = ClientToPicture(point);
    SetZoom(next, p.x, p.y);
}

void CTransparencyPictureView::ZoomOut(POINT point)
{
    const int next = m_geometry.NextZoomOut();
    if (next == GetZoom())
        return;
    const POINT p = ClientToPicture(point);
    SetZoom(next, p.x, p.y);
}

void CTransparencyPictureView::FitZoom()
{
    SetZoom(10, 0, 0);
    SetZoom(m_geometry.ComputeFitZoom(), 0, 0);
}

int CTransparencyPictureView::ScrollBy(unsigned message, int code, int position, int flag)
{
    if (flag)
        return 0;
    if (!m_geometry.ScrollBy(message, code, position))
        return 0;
    SyncScrollBars();
    return 1;
}

void CTransparencyPictureView::CenterOn(int x, int y)
{
    m_geometry.CenterOn(x, y);
    SyncScrollBars();
}

int CTransparencyPictureView::AutoScroll(POINT point, int timerId)
{
    int directions = 0;
    const int cw = ClientWidth();
    const int ch = ClientHeight();
    const auto step = [this](unsigned bar, int by) {
        ScrollBy(bar, SB_THUMBPOSITION, m_geometry.Bar(bar).pos + by, 0);
    };
    if (point.x < 0 && !m_geometry.IsAtScrollStart(WM_HSCROLL)) {
        step(WM_HSCROLL, -10);
        directions |= 1;
    } else if (point.x > cw && !m_geometry.IsAtScrollEnd(WM_HSCROLL)) {
        step(WM_HSCROLL, 10);
        directions |= 4;
    }
    if (point.y < 0 && !m_geometry.IsAtScrollStart(WM_VSCROLL)) {
        step(WM_VSCROLL, -10);
        directions |= 2;
    } else if (point.y > ch && !m_geometry.IsAtScrollEnd(WM_VSCROLL)) {
        step(WM_VSCROLL, 10);
        directions |= 8;
    }
    if (directions) {
        RenderAll();
        update();
        if (!m_autoScroll) {
            m_autoScroll = true;
            StartViewTimer(timerId);
        }
    } else if (point.x >= 0 && point.y >= 0 && point.x < cw && point.y < ch) {
        m_autoScroll = false;
    }
    return directions;
}

int CTransparencyPictureView::Render(int kind, int left, int top, int right, int bottom)
{
    if (!m_redraw || !m_display.IsValid())
        return 1;
    const RECT area{left, top, right, bottom};
    return m_renderer.Render(m_display, m_geometry, m_picture, m_checker, kind,
                             kind == RenderArea ? &area : nullptr);
}

int CTransparencyPictureView::RenderAll()
{
    if (!m_redraw || !m_display.IsValid())
        return 1;
    return m_renderer.Render(m_display, m_geometry, m_picture, m_checker, RenderArea, nullptr);
}

void CTransparencyPictureView::DrawPixelGrid(CImage* image, int left, int top, int right, int bottom)
{
    if (image && GetZoom() >= 800)
        m_renderer.DrawPixelGrid(*image, m_geometry, left, top, right, bottom);
}

// --- History, commit, switches ---------------------------------------------------------

int CTransparencyPictureView::Undo()
{
    SwapUndo();
    RenderAll();
    update();
    return 1;
}

int CTransparencyPictureView::CommitToItem()
{
    NullCheck(m_item, ErrorIdReported);
    return m_picture.CommitToItem(*m_item);
}

void CTransparencyPictureView::SetChecker(bool on)
{
    if (on == m_checker)
        return;
    TransparencyWaitScope wait(m_wait);
    m_checker = on;
    RenderAll();
    update();
}

int CTransparencyPictureView::OnFilterProgress(int event, int percent)
{
    if (event == 1 && m_progress)
        m_progress->SetPos(percent);
    return 0;
}

intptr_t CTransparencyPictureView::SendFilterMessage(unsigned message, intptr_t wParam, intptr_t lParam)
{
    if (message != UM_FILTERPROGRESS)
        return 0;
    return OnFilterProgress(static_cast<int>(wParam), static_cast<int>(lParam));
}

// --- Window ---------------------------------------------------------------------------------

void CTransparencyPictureView::LayoutScrollBars()
{
    // The bars take room from the client area, which decides whether they are
    // needed: settle it from the bare window, then with the bars it asked for.
    const int extentV = m_vbar->sizeHint().width();
    const int extentH = m_hbar->sizeHint().height();
    bool horizontal = false;
    bool vertical = false;
    for (int pass = 0; pass < 3; ++pass) {
        m_geometry.SetClientSize(width() - (vertical ? extentV : 0), height() - (horizontal ? extentH : 0));
        m_geometry.UpdateScrollBars();
        const bool h = m_geometry.Bar(WM_HSCROLL).inUse;
        const bool v = m_geometry.Bar(WM_VSCROLL).inUse;
        if (h == horizontal && v == vertical)
            break;
        horizontal = horizontal || h;
        vertical = vertical || v;
    }
    m_laying = true;
    m_hbar->setVisible(horizontal);
    m_vbar->setVisible(vertical);
    if (horizontal)
        m_hbar->setGeometry(0, height() - extentH, width() - (vertical ? extentV : 0), extentH);
    if (vertical)
        m_vbar->setGeometry(width() - extentV, 0, extentV, height() - (horizontal ? extentH : 0));
    m_laying = false;
    SyncScrollBars();
}

void CTransparencyPictureView::SyncScrollBars()
{
    for (auto [bar, message] : {std::pair{m_hbar, WM_HSCROLL}, std::pair{m_vbar, WM_VSCROLL}}) {
        const TransparencyScrollBar& model = m_geometry.Bar(message);
        const QSignalBlocker block(bar);
        bar->setRange(0, model.LastPos());
        bar->setPageStep(std::max(1, model.page));
        bar->setSingleStep(std::max(1, model.page));
        bar->setValue(model.pos);
        bar->setSliderPosition(model.pos);
    }
}

void CTransparencyPictureView::OnBarAction(QScrollBar* bar, unsigned message, int action)
{
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = SB_LINEUP;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = SB_LINEDOWN;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = SB_PAGEUP;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = SB_PAGEDOWN;
        break;
    case QAbstractSlider::SliderMove:
        code = SB_THUMBTRACK;
        break;
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum:
        code = SB_THUMBPOSITION;
        break;
    default:
        return;
    }
    const int position = bar->sliderPosition();
    OnScroll(message, code, position);
    // The bar shows what the view decided, not what it would have done itself.
    bar->setSliderPosition(m_geometry.Bar(message).pos);
}

void CTransparencyPictureView::OnScroll(unsigned message, int code, int position)
{
    Guarded([&] {
        if (m_tracking || !m_picture.IsLoaded())
            return;
        if (!ScrollBy(message, code, position, 0))
            return;
        Render(message == WM_VSCROLL ? RenderAfterVerticalScroll : RenderAfterHorizontalScroll, 0, 0, 0, 0);
        update();
    });
}

void CTransparencyPictureView::OnSize()
{
    Guarded([&] {
        if (m_laying || !m_picture.IsLoaded())
            return;
        LayoutScrollBars();
        const int cw = std::max(1, ClientWidth());
        const int ch = std::max(1, ClientHeight());
        if (!m_display.IsValid() || m_display.GetWidth() != cw || m_display.GetHeight() != ch)
            BoolCheck(m_display.Create(cw, ch), ErrorIdReported);
        RenderAll();
        update();
    });
}

void CTransparencyPictureView::OnLButtonDown(POINT point)
{
    Guarded([&] {
        if (!m_picture.IsLoaded() || !Contains(GetPictureClientRect(), point))
            return;
        setFocus(Qt::MouseFocusReason);
        if (m_tool >= ToolFirstPen && m_tool <= ToolLastPen)
            BeginFreehand(point);
        else if (m_tool == ToolPolygon)
            AddPolygonPoint(point);
        else if (m_tool == ToolZoomIn)
            ZoomIn(point);
        else if (m_tool == ToolZoomOut)
            ZoomOut(point);
        else
            TrackShape(point);
        m_autoScroll = false;
        StopViewTimer(kTrackerTimer);
        m_tracker.SetValue(0);
    });
}

void CTransparencyPictureView::OnMouseMove(POINT point)
{
    Guarded([&] {
        if (m_inputState == InputPolygon)
            TrackPolygonLine(point);
        else if (m_inputState == InputFreehand)
            ContinueFreehand(point);
    });
}

void CTransparencyPictureView::OnLButtonUp(POINT point)
{
    Guarded([&] {
        if (m_inputState == InputFreehand)
            EndFreehand(point);
        if (m_tool == ToolPolygon)
            m_autoScroll = false;
    });
}

void CTransparencyPictureView::OnRButtonDown(POINT point)
{
    Guarded([&] {
        if (m_inputState == InputPolygon)
            RemoveLastPolygonPoint(point);
    });
}

void CTransparencyPictureView::OnLButtonDblClk(POINT point)
{
    Guarded([&] {
        if (m_inputState == InputPolygon)
            EndPolygon(point);
        else if (m_tool == ToolPolygon || m_tool == ToolZoomIn)
            OnLButtonDown(point);
    });
}

void CTransparencyPictureView::OnTimer(int timerId)
{
    Guarded([&] {
        if (m_autoScroll) {
            PostMouseMoveAtCursor();
            if (timerId == kTrackerTimer)
                TrackerForceNotify(true);
        } else {
            if (timerId == kTrackerTimer)
                TrackerForceNotify(false);
            StopViewTimer(timerId);
        }
    });
}

bool CTransparencyPictureView::IsTimerRunning(int timerId) const
{
    const auto it = m_timers.find(timerId);
    return it != m_timers.end() && it->second.isActive();
}

void CTransparencyPictureView::StartViewTimer(int timerId)
{
    m_timers[timerId].start(100, this);
}

void CTransparencyPictureView::StopViewTimer(int timerId)
{
    const auto it = m_timers.find(timerId);
    if (it != m_timers.end())
        it->second.stop();
}

void CTransparencyPictureView::PostMouseMoveAtCursor()
{
    const QPointF local = mapFromGlobal(QCursor::pos());
    QCoreApplication::postEvent(this, new QMouseEvent(QEvent::MouseMove, local, QCursor::pos(), Qt::NoButton,
                                                      QGuiApplication::mouseButtons(),
                                                      QGuiApplication::queryKeyboardModifiers()));
}

void CTransparencyPictureView::TrackerForceNotify(bool on)
{
    m_tracker.SetValue(on ? 1 : 0);
}

void CTransparencyPictureView::TrackShape(POINT point)
{
    m_tracking = true;
    m_carryX = m_carryY = 0;
    m_tracker.EmptyRect();
    struct TrackingEnd
    {
        CTransparencyPictureView& view;
        ~TrackingEnd()
        {
            view.m_tracking = false;
            view.m_square = false;
        }
    } end{*this};
    const int changed = m_tracker.TrackRubberBand(this, point, true);
    if (changed) {
        const Rect r = m_tracker.m_rect;
        RECT picture = ClientToPictureRect(RECT{std::min(r.left, r.right), std::min(r.top, r.bottom),
                                                      std::max(r.left, r.right), std::max(r.top, r.bottom)});
        picture = ConstrainDraggedShape(r, picture);
        if (picture.right > picture.left && picture.bottom > picture.top) {
            SaveUndo();
            ApplyTransparencyTool(picture);
        }
    }
    // The outline was drawn into the display image: draw it clean.
    RenderAll();
    update();
}

int CTransparencyPictureView::OnTrackerDraw(TrackerDrawArgs& args)
{
    if (!m_display.IsValid() || !m_picture.IsLoaded())
        return 0;
    RECT r{std::min(args.rect.left, args.rect.right), std::min(args.rect.top, args.rect.bottom),
           std::max(args.rect.left, args.rect.right), std::max(args.rect.top, args.rect.bottom)};
    r = SnapRect(r);
    if (m_square) {
        // The longer side is cut to the shorter, keeping the corner the drag started from.
        const int side = std::min(r.right - r.left, r.bottom - r.top);
        if (args.rect.right < args.rect.left)
            r.left = r.right - side;
        else
            r.right = r.left + side;
        if (args.rect.bottom < args.rect.top)
            r.top = r.bottom - side;
        else
            r.bottom = r.top + side;
    }
    const RECT clip = GetPictureClientRect();
    CRgn region;
    region.CreateRectRgn(clip.left, clip.top, clip.right, clip.bottom);
    m_display.SelectClipRgn(&region);
    const CImagePen pen = m_display.SelectObject(CImagePen{PS_SOLID, 2, 0x808080});
    const CImageBrush brush = m_display.SelectObject(CImageBrush{0, true});
    const int mix = m_display.SetROP2(R2_XORPEN);
    if (m_tool == ToolRectangle)
        m_display.GetDC()->Rectangle(r.left, r.top, r.right, r.bottom);
    else if (m_tool == ToolEllipse)
        m_display.Ellipse(r.left, r.top, r.right, r.bottom);
    else
        DrawShapeOutline(m_tool, r);
    m_display.SetROP2(mix);
    m_display.SelectObject(brush);
    m_display.SelectObject(pen);
    m_display.SelectClipRgn(nullptr);
    update(QRect(r.left - 2, r.top - 2, r.right - r.left + 4, r.bottom - r.top + 4));
    return 0;
}

void CTransparencyPictureView::OnTrackerChanged(const Rect&, CTracker& tracker)
{
    Guarded([&] {
        const POINT before = m_geometry.GetScrollOrigin();
        if (!AutoScroll(POINT{tracker.m_rect.right, tracker.m_rect.bottom}, kTrackerTimer))
            return;
        // The anchor stays on its picture point: it moves by the scrolled
        // distance in window pixels, the fraction carried to the next scroll.
        const POINT after = m_geometry.GetScrollOrigin();
        const double dx = (after.x - before.x) * GetZoomFactor() + m_carryX;
        const double dy = (after.y - before.y) * GetZoomFactor() + m_carryY;
        const int moveX = static_cast<int>(dx);
        const int moveY = static_cast<int>(dy);
        m_carryX = dx - moveX;
        m_carryY = dy - moveY;
        tracker.m_rect.left -= moveX;
        tracker.m_rect.top -= moveY;
        // The display was drawn again: the old outline is gone from it.
        tracker.EmptyRect();
    });
}

void CTransparencyPictureView::ReportFailure(int errorId)
{
    m_shell.ReportErrorCode(errorId);
    if (auto* dialog = qobject_cast<QDialog*>(window()); dialog && dialog->isVisible() && dialog->isModal())
        dialog->done(3);
}

void CTransparencyPictureView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_display.IsValid())
        m_display.BitBltToCDC(&painter, 0, 0, m_display.GetWidth(), m_display.GetHeight(), 0, 0, SRCCOPY);
    const int cw = ClientWidth();
    const int ch = ClientHeight();
    const QColor workspace(GetRValue(kTransparencyWorkspaceColor), GetGValue(kTransparencyWorkspaceColor),
                           GetBValue(kTransparencyWorkspaceColor));
    if (!m_display.IsValid())
        painter.fillRect(rect(), workspace);
    else if (m_hbar->isVisible() && m_vbar->isVisible())
        painter.fillRect(cw, ch, width() - cw, height() - ch, palette().window());
}

void CTransparencyPictureView::resizeEvent(QResizeEvent*)
{
    OnSize();
}

void CTransparencyPictureView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(ToPoint(event->position()));
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(ToPoint(event->position()));
}

void CTransparencyPictureView::mouseMoveEvent(QMouseEvent* event)
{
    OnMouseMove(ToPoint(event->position()));
}

void CTransparencyPictureView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(ToPoint(event->position()));
}

void CTransparencyPictureView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(ToPoint(event->position()));
}

void CTransparencyPictureView::timerEvent(QTimerEvent* event)
{
    for (auto& [id, timer] : m_timers) {
        if (timer.timerId() == event->timerId()) {
            OnTimer(id);
            return;
        }
    }
    QWidget::timerEvent(event);
}

void CTransparencyPictureView::wheelEvent(QWheelEvent* event)
{
    if (m_tracking) {
        event->accept();
        return;
    }
    QWidget::wheelEvent(event);
}
