#include "App/ZAVEditorView.h"

#include "App/MenuDisplay.h"
#include "App/MessageBoxes.h"
#include "App/ViewCommandTable.h"
#include "App/ZAVEditorDoc.h"
#include "ImageProcessing/OpaqueRowCopy.h"
#include "Layout/LayoutDialogs.h"
#include "Layout/LayoutManager.h"
#include "Layout/LayoutManagerMouseCursors.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>

namespace {

// Key-message flags: the key was down before / is being released.
constexpr int KF_REPEAT = 0x4000;
constexpr int KF_UP = 0x8000;

int MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    int flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

Qt::MouseButtons ButtonsOf(int flags)
{
    Qt::MouseButtons buttons;
    if (flags & MK_LBUTTON)
        buttons |= Qt::LeftButton;
    if (flags & MK_RBUTTON)
        buttons |= Qt::RightButton;
    return buttons;
}

Qt::KeyboardModifiers ModifiersOf(int flags)
{
    Qt::KeyboardModifiers modifiers;
    if (flags & MK_SHIFT)
        modifiers |= Qt::ShiftModifier;
    if (flags & MK_CONTROL)
        modifiers |= Qt::ControlModifier;
    return modifiers;
}

// The virtual keys the editing reads; 0 for the others.
int VirtualKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    default:
        return 0;
    }
}

POINT ToPoint(QPoint p)
{
    return POINT{p.x(), p.y()};
}

QPoint ToQPoint(POINT p)
{
    return QPoint(p.x, p.y);
}

} // namespace

namespace {

bool IsWordPerPixel(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// The painter's surface is a 32-bit image reached by a plain offset (a window's
// backing store, an image): the rows go straight into it, last stored row
// first, opaque. False when the surface is anything else.
bool CopyRowsIntoSurface(QPainter& painter, const CImage& image, QPoint at, DisplayAlpha alpha)
{
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || painter.hasClipping())
        return false;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return false;
    auto* surface = static_cast<QImage*>(device);
    const QTransform transform = painter.deviceTransform();
    if (!IsWordPerPixel(surface->format()) || transform.type() > QTransform::TxTranslate ||
        surface->devicePixelRatio() != 1.0)
        return false;
    const int w = image.GetWidth(), h = image.GetHeight();
    QRect target = transform.mapRect(QRect(at, QSize(w, h))).intersected(surface->rect());
    const QRegion systemClip = engine->systemClip();
    if (!systemClip.isEmpty())
        target = target.intersected(systemClip.boundingRect());
    if (target.isEmpty())
        return true;
    const QPoint origin = transform.map(at);
    const std::ptrdiff_t rowBytes = image.GetRowBytes();
    const std::ptrdiff_t surfaceBytes = surface->bytesPerLine();
    // In the order the image stores its rows: the bottom row of the target
    // first. The surface's own memory is written in place: bits() would
    // detach it from the painter.
    const int bottomImageRow = target.bottom() - origin.y();
    const std::uint8_t* from = image.GetBits() + (h - 1 - bottomImageRow) * rowBytes +
                               std::ptrdiff_t(target.left() - origin.x()) * 4;
    auto* to = const_cast<std::uint8_t*>(surface->constScanLine(target.bottom())) +
               std::ptrdiff_t(target.left()) * 4;
    if (alpha == DisplayAlpha::Opaque) {
        // The processor's own copy: nothing to change on the way, and it
        // outruns any loop that reads and writes each pixel.
        const std::size_t bytes = std::size_t(target.width()) * 4;
        for (int row = 0; row < target.height(); ++row, to -= surfaceBytes, from += rowBytes)
            std::memcpy(to, from, bytes);
    } else {
        CopyRowsOpaque(to, -surfaceBytes, from, rowBytes, target.height(), target.width());
    }
    return true;
}

} // namespace

void PaintDisplayImage(QPainter& painter, const CImage& image, QPoint at, DisplayAlpha alpha)
{
    const std::uint8_t* bits = image.GetBits();
    if (!bits)
        return;
    if (CopyRowsIntoSurface(painter, image, at, alpha))
        return;
    const int w = image.GetWidth(), h = image.GetHeight();
    // The rows are stored bottom first; the painter turns them over.
    const QImage rows(bits, w, h, image.GetRowBytes(), QImage::Format_RGB32);
    painter.save();
    painter.setTransform(QTransform(1, 0, 0, -1, at.x(), at.y() + h), true);
    painter.drawImage(0, 0, rows);
    painter.restore();
}

CZAVEditorView::CZAVEditorView(CZAVEditorDoc& document, IEditorViewHost& host, QWidget* parent)
    : QAbstractScrollArea(parent), m_document(document), m_host(host)
{
    setObjectName(QStringLiteral("EditorView"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    // The whole client area is painted from the kept image: nothing is erased first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    m_autoScrollTimer.setInterval(kAutoScrollPeriodMs);
    connect(&m_autoScrollTimer, &QTimer::timeout, this, [this] { OnTimer(kAutoScrollTimer); });
}

CZAVEditorView::~CZAVEditorView() = default;

CLayoutManager& CZAVEditorView::Layout() const
{
    return *m_document.GetLayoutManager();
}

ClientSizes CZAVEditorView::Sizes() const
{
    ClientSizes sizes;
    sizes.client = SIZE{viewport()->width(), viewport()->height()};
    const QSize whole = maximumViewportSize();
    sizes.trueClient = SIZE{whole.width(), whole.height()};
    sizes.barExtent = SIZE{style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar()),
                           style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, horizontalScrollBar())};
    return sizes;
}

// --- Sizes, zoom and scrolling ---------------------------------------------------------------

void CZAVEditorView::RunLayoutPass(const std::function<void()>& pass)
{
    ++m_layoutDepth;
    pass();
    --m_layoutDepth;
    if (m_layoutDepth > 0)
        return;
    // Scroll bars that appeared or went change the client: apply the mode to
    // the new size, a few times at most, as a size message would.
    for (int again = 0; again < 3 && m_resizePending; ++again) {
        m_resizePending = false;
        ++m_layoutDepth;
        ApplyZoomMode(false);
        --m_layoutDepth;
    }
    m_resizePending = false;
}

void CZAVEditorView::ApplyZoomMode(bool reset)
{
    if (reset)
        m_model.SetZoomMode(EditorViewModel::ZoomMode::FitPage);
    RunLayoutPass([this] {
        if (m_model.GetZoomMode() == EditorViewModel::ZoomMode::Free) {
            const bool redraw = updatesEnabled();
            setUpdatesEnabled(false);
            UpdateScrollSizes();
            ScrollToViewCentre();
            setUpdatesEnabled(redraw);
            InvalidateNoErase();
            UpdateWindow();
            return;
        }
        m_model.ApplyFitZoom(Layout(), Sizes(), true);
    });
}

int CZAVEditorView::UpdateScrollSizes()
{
    if (!m_model.UpdateScrollSizes(Layout(), Sizes()))
        return 0;
    SyncScrollBars();
    return 1;
}

int CZAVEditorView::ScrollToViewCentre()
{
    POINT position{};
    if (!m_model.ViewCentreScroll(Layout(), Sizes().client, &position))
        return 0;
    m_model.ScrollTo(position, Sizes().client);
    SyncScrollBars();
    RenderOffscreen(true);
    return 1;
}

void CZAVEditorView::SyncScrollBars()
{
    const SIZE client = Sizes().client;
    const POINT limit = m_model.ScrollLimit(client);
    const ScrollSizes& sizes = m_model.GetScrollSizes();
    const POINT position = m_model.GetScrollPosition();
    m_syncingBars = true;
    horizontalScrollBar()->setRange(0, limit.x);
    horizontalScrollBar()->setPageStep(std::max(1, sizes.page.cx));
    horizontalScrollBar()->setSingleStep(std::max(1, sizes.line.cx));
    horizontalScrollBar()->setValue(position.x);
    verticalScrollBar()->setRange(0, limit.y);
    verticalScrollBar()->setPageStep(std::max(1, sizes.page.cy));
    verticalScrollBar()->setSingleStep(std::max(1, sizes.line.cy));
    verticalScrollBar()->setValue(position.y);
    m_syncingBars = false;
}

bool CZAVEditorView::OnScrollBy(SIZE delta, bool doScroll)
{
    const SIZE client = Sizes().client;
    const POINT limit = m_model.ScrollLimit(client);
    const POINT from = m_model.GetScrollPosition();
    const POINT to{std::clamp(from.x + delta.cx, 0, limit.x), std::clamp(from.y + delta.cy, 0, limit.y)};
    if (to.x == from.x && to.y == from.y)
        return false;
    if (doScroll) {
        m_model.ScrollTo(to, client);
        SyncScrollBars();
    }
    return true;
}

void CZAVEditorView::scrollContentsBy(int, int)
{
    if (m_syncingBars)
        return;
    // The user moved a bar: take its positions, render them, never shift the window.
    m_model.ScrollTo(POINT{horizontalScrollBar()->value(), verticalScrollBar()->value()}, Sizes().client);
    Redraw();
}

void CZAVEditorView::resizeEvent(QResizeEvent*)
{
    if (m_layoutDepth > 0) {
        m_resizePending = true;
        return;
    }
    ApplyZoomMode(false);
}

// --- Rendering and painting ---------------------------------------------------------------

void CZAVEditorView::RenderOffscreen(bool recreate)
{
    const SIZE client = Sizes().client;
    if (client.cx <= 0 || client.cy <= 0)
        return;
    if (recreate) {
        // Both are plain 32-bit images: the paint reads the display image's memory directly.
        if (!m_displayImage.Create(client.cx, client.cy) || !m_workImage.Create(client.cx, client.cy)) {
            m_displayImage.Release();
            m_workImage.Release();
            return;
        }
    }
    if (!m_workImage.IsValid() || !m_displayImage.IsValid())
        return;
    CLayoutManager& layout = Layout();
    m_workImage.FillRect(0, 0, m_workImage.GetWidth(), m_workImage.GetHeight(), kBackground);
    const POINT origin = m_model.DrawOrigin(layout);
    layout.DrawPage(&m_workImage, &origin);
    // Made opaque here, once per render, so that every paint until the next
    // is a plain copy.
    const int width = std::min({client.cx, m_workImage.GetWidth(), m_displayImage.GetWidth()});
    const int height = std::min({client.cy, m_workImage.GetHeight(), m_displayImage.GetHeight()});
    // Both store their rows bottom first: the client's top row is each one's last.
    CopyRowsOpaque(m_displayImage.GetBits() +
                       std::ptrdiff_t(m_displayImage.GetHeight() - height) * m_displayImage.GetRowBytes(),
                   m_displayImage.GetRowBytes(),
                   m_workImage.GetBits() +
                       std::ptrdiff_t(m_workImage.GetHeight() - height) * m_workImage.GetRowBytes(),
                   m_workImage.GetRowBytes(), height, width);
    m_displayOpaque = width == m_displayImage.GetWidth() && height == m_displayImage.GetHeight();
    const POINT centre = m_model.ViewCentre(layout, client);
    layout.SetViewOffset(&centre);
}

void CZAVEditorView::OnDraw(QPainter& painter)
{
    PaintDisplayImage(painter, m_displayImage, QPoint(0, 0),
                      m_displayOpaque ? DisplayAlpha::Opaque : DisplayAlpha::Unknown);
}

CImage* CZAVEditorView::GetKeptImage()
{
    m_displayOpaque = false;
    return &m_displayImage;
}

void CZAVEditorView::paintEvent(QPaintEvent*)
{
    m_invalid = false;
    QPainter painter(viewport());
    OnDraw(painter);
}

void CZAVEditorView::InvalidateNoErase()
{
    m_invalid = true;
    viewport()->update();
}

void CZAVEditorView::UpdateWindow()
{
    if (m_invalid && updatesEnabled() && viewport()->isVisible())
        viewport()->repaint();
}

void CZAVEditorView::Redraw()
{
    RenderOffscreen(false);
    InvalidateNoErase();
    UpdateWindow();
}

// --- Layout messages and menus ---------------------------------------------------------------

int CZAVEditorView::OnLayoutChanged(int kind, int lParam)
{
    switch (kind) {
    case LayoutChangeContent:
        m_document.SetModifiedFlag(m_model.OnContentChanged(m_document.IsModified(), lParam == 1) ? 1 : 0);
        break;
    case LayoutChangePageSize:
        RunLayoutPass([this] {
            const bool redraw = updatesEnabled();
            setUpdatesEnabled(false);
            UpdateScrollSizes();
            ScrollToViewCentre();
            setUpdatesEnabled(redraw);
        });
        InvalidateNoErase();
        UpdateWindow();
        UpdateMenuState();
        break;
    case LayoutChangeItems:
    case LayoutChangeOrder:
    case LayoutChangeSelection:
        Redraw();
        UpdateMenuState();
        break;
    default:
        break;
    }
    m_host.ForwardLayoutChanged(kind, lParam);
    return 0;
}

int CZAVEditorView::OnLayoutRedraw(int kind, std::intptr_t)
{
    if (kind == 1 || kind == 2) {
        Redraw();
        UpdateMenuState();
    }
    return 0;
}

void CZAVEditorView::OnInitialUpdate()
{
    viewport()->update();
    m_host.RebuildItemList();
    UpdateMenuState();
}

void CZAVEditorView::UpdateMenuState()
{
    QMenuBar* bar = m_host.MainMenuBar();
    if (!bar)
        return;
    ApplyMenuGreying(*bar, ComputeMenuGreying(Layout(), m_document.IsDSCLayout()));
}

int CZAVEditorView::ShowLocalizedMessage(int textId, unsigned style)
{
    ::ShowLocalizedMessage(textId, style);
    return IDOK;
}

int CZAVEditorView::TrackPopupMenu(const MenuModel& menu, POINT screenPoint)
{
    const int chosen = m_menuRunner ? m_menuRunner(menu, ToQPoint(screenPoint))
                                    : RunPopupMenu(menu, ToQPoint(screenPoint), this);
    if (chosen != 0)
        m_host.RouteCommand(chosen);
    return chosen;
}

POINT CZAVEditorView::ScreenToClient(POINT screenPoint)
{
    return ToPoint(viewport()->mapFromGlobal(ToQPoint(screenPoint)));
}

// --- Mouse, keys and the auto-scroll timer ---------------------------------------------------------

void CZAVEditorView::SetCursorId(int id)
{
    auto found = m_cursors.find(id);
    if (found == m_cursors.end()) {
        const LayoutCursor cursor = LoadLayoutCursor(id);
        if (cursor.image.isNull())
            return;
        found =
            m_cursors
                .emplace(id, QCursor(QPixmap::fromImage(cursor.image), cursor.hotSpot.x, cursor.hotSpot.y))
                .first;
    }
    viewport()->setCursor(found->second);
}

int CZAVEditorView::GetKeyFlags()
{
    return MouseFlags(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers());
}

POINT CZAVEditorView::GetCursorClientPos()
{
    return ToPoint(viewport()->mapFromGlobal(QCursor::pos()));
}

void CZAVEditorView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const POINT page = m_model.PagePoint(Layout(), ToPoint(event->position().toPoint()));
    Layout().OnLButtonDown(MouseFlags(event->buttons(), event->modifiers()), page);
}

void CZAVEditorView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    const POINT page = m_model.PagePoint(Layout(), ToPoint(event->position().toPoint()));
    Layout().OnLButtonDblClk(MouseFlags(event->buttons(), event->modifiers()), page);
}

void CZAVEditorView::StopAutoScroll()
{
    m_autoScrollTimer.stop();
}

void CZAVEditorView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    const POINT page = m_model.PagePoint(Layout(), ToPoint(event->position().toPoint()));
    if (m_model.OnButtonUp() == EditorViewModel::TimerAction::Stop)
        StopAutoScroll();
    m_captured = false;
    Layout().OnLButtonUp(MouseFlags(event->buttons(), event->modifiers()), page);
}

void CZAVEditorView::mouseMoveEvent(QMouseEvent* event)
{
    HandleMouseMove(MouseFlags(event->buttons(), event->modifiers()), ToPoint(event->position().toPoint()));
}

void CZAVEditorView::HandleMouseMove(int flags, POINT client)
{
    // The page point of where the pointer is now, before this step scrolls.
    const POINT page = m_model.PagePoint(Layout(), client);
    const SIZE size = Sizes().client;
    const bool inside = client.x >= 0 && client.y >= 0 && client.x < size.cx && client.y < size.cy;
    const bool captured = m_captured;
    bool scrolled = false;
    if (captured && !inside)
        scrolled = ScrollLines(m_model.AutoScrollLines(client, size, true));
    const EditorViewModel::TimerAction action = m_model.AfterDragMove(scrolled);
    if (action == EditorViewModel::TimerAction::Start)
        m_autoScrollTimer.start();
    else if (action == EditorViewModel::TimerAction::Stop)
        StopAutoScroll();
    Layout().OnMouseMove(flags, page);
}

bool CZAVEditorView::ScrollLines(SIZE lines)
{
    const ScrollSizes& sizes = m_model.GetScrollSizes();
    bool scrolled = false;
    if (lines.cx != 0 && OnScrollBy(SIZE{lines.cx * sizes.line.cx, 0}, true)) {
        scrolled = true;
        Redraw();
    }
    if (lines.cy != 0 && OnScrollBy(SIZE{0, lines.cy * sizes.line.cy}, true)) {
        scrolled = true;
        Redraw();
    }
    return scrolled;
}

void CZAVEditorView::OnTimer(int id)
{
    if (id != kAutoScrollTimer)
        return;
    // Posted, so the drag goes on through the message queue while the pointer rests outside.
    const int flags = GetKeyFlags();
    const POINT at = GetCursorClientPos();
    const QPointF local(at.x, at.y);
    QCoreApplication::postEvent(viewport(),
                                new QMouseEvent(QEvent::MouseMove, local, viewport()->mapToGlobal(local),
                                                Qt::NoButton, ButtonsOf(flags), ModifiersOf(flags)));
}

void CZAVEditorView::wheelEvent(QWheelEvent* event)
{
    const DragState& drag = Layout().GetDragState();
    if (drag.pressed || drag.dragging) {
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
    Redraw();
}

void CZAVEditorView::contextMenuEvent(QContextMenuEvent* event)
{
    Layout().OnContextMenu(ToPoint(event->globalPos()));
    event->accept();
}

void CZAVEditorView::keyPressEvent(QKeyEvent* event)
{
    const int key = VirtualKeyOf(event->key());
    if (key == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    Layout().OnKeyDown(key, std::max(1, event->count()), event->isAutoRepeat() ? KF_REPEAT : 0);
}

void CZAVEditorView::keyReleaseEvent(QKeyEvent* event)
{
    const int key = VirtualKeyOf(event->key());
    if (key == 0 || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    Layout().OnKeyUp(key, 1, KF_REPEAT | KF_UP);
}
