#include "Dialogs/RangePictureView.h"

#include "App/ZAVEditorView.h"
#include "Core/ErrorCheck.h"
#include "Dialogs/PictureRange.h"
#include "ImageProcessing/JpegFile.h"
#include "Layout/InsertImageFrameItem.h"
#include "Platform/DialogLayoutTarget.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {

const std::vector<int> kZoomSteps{10, 25, 50, 100, 200, 400};
constexpr COLORREF kOutlineColor = 0x808080;
constexpr int kOutlineWidth = 2;

COLORREF WorkSpaceColor(const QWidget& widget)
{
    const QColor c = widget.palette().color(QPalette::Dark);
    return RGB(c.red(), c.green(), c.blue());
}

QRect ToQRect(const RECT& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

RECT Intersect(const RECT& a, const RECT& b)
{
    const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return r.IsEmpty() ? RECT{} : r;
}

} // namespace

CRangePictureView::CRangePictureView(QWidget* parent)
    : QWidget(parent), m_geometry(kZoomSteps, 100), m_hbar(new QScrollBar(Qt::Horizontal, this)),
      m_vbar(new QScrollBar(Qt::Vertical, this))
{
    setObjectName(QStringLiteral("CRangePictureView"));
    setWindowTitle(QStringLiteral("CRangePictureView"));
    SetControlId(this, kControlId);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_hbar->hide();
    m_vbar->hide();
    m_tracker.SetOwner(this);
    connect(m_hbar, &QScrollBar::valueChanged, this, [this](int value) { OnScroll(false, value); });
    connect(m_vbar, &QScrollBar::valueChanged, this, [this](int value) { OnScroll(true, value); });
    m_timer.setInterval(kAutoScrollInterval);
    connect(&m_timer, &QTimer::timeout, this, [this] { OnTimer(kAutoScrollTimer); });
}

CRangePictureView::~CRangePictureView() = default;

CRangePictureView* CRangePictureView::Create(QWidget* parent, int x, int y)
{
    auto* view = new CRangePictureView(parent);
    view->setGeometry(x, y, 1, 1);
    view->show();
    return view;
}

template <typename Body> void CRangePictureView::Guarded(Body&& body)
{
    try {
        body();
    } catch (enumErrorID id) {
        if (m_onFailure)
            m_onFailure(id);
    }
}

void CRangePictureView::Reset()
{
    m_pixels.reset();
    m_geometry.Reset();
    m_range = RECT{};
    m_item = nullptr;
    m_rotation = 0;
    m_square = false;
    m_rangeOutlineShown = false;
    m_lastOutline = RECT{};
    m_renderedValid = false;
    m_mode = ModeRange;
}

void CRangePictureView::SetItem(CInsertImageFrameItem* item)
{
    Reset();
    NullCheck(item, ErrorIdSilent);
    m_item = item;
    const std::string path = item->GetImageFileName2();
    BoolCheck(!path.empty(), ErrorIdSilent);
    const int rotation = item->GetShownRotation();
    m_rotation = rotation >= 0 && rotation <= 3 ? rotation : 0;

    CJpegFile reader;
    std::uint8_t* pixels = nullptr;
    SIZE size{};
    const int result = reader.ReadBuffer(path, &pixels, nullptr, &size, nullptr);
    PageBuffer owned(pixels);
    BoolCheck(result == ImageFileOk && owned && size.cx > 0 && size.cy > 0, ErrorIdReported);
    m_pixels = std::move(owned);
    TurnPicture(m_pixels, size, m_rotation);
    m_geometry.SetPictureSize(size);

    RECT stored{};
    item->GetImageRange(&stored);
    const RECT whole{0, 0, size.cx, size.cy};
    m_range = stored.IsEmpty() ? whole : Intersect(StoredToTurnedRange(stored, m_rotation, size), whole);
    OnSize();
}

void CRangePictureView::GetRange(RECT* range) const
{
    if (!range)
        return;
    // The empty range has no orientation: turning (0, 0, 0, 0) would give a non-zero empty rectangle.
    *range =
        m_range.IsEmpty() ? RECT{} : TurnedToStoredRange(m_range, m_rotation, m_geometry.GetPictureSize());
}

void CRangePictureView::SetZoom(int zoom, int pictureX, int pictureY)
{
    m_geometry.SetZoom(zoom);
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    UpdateClient();
    m_geometry.CentreOn(POINT{pictureX, pictureY});
    SyncBars();
    setUpdatesEnabled(updates);
    OnSize();
}

void CRangePictureView::FitZoom()
{
    m_geometry.SetZoom(kZoomSteps.front());
    UpdateClient();
    const SIZE picture = m_geometry.GetPictureSize();
    SetZoom(m_geometry.FitZoom(), picture.cx / 2, picture.cy / 2);
}

void CRangePictureView::UpdateClient()
{
    const int barWidth = m_vbar->sizeHint().width();
    const int barHeight = m_hbar->sizeHint().height();
    // Showing one bar narrows the client, which may call for the other.
    SIZE client{width(), height()};
    for (int pass = 0; pass < 3; ++pass) {
        m_geometry.SetClientSize(client);
        const SIZE next{width() - (m_geometry.Vertical().barShown ? barWidth : 0),
                        height() - (m_geometry.Horizontal().barShown ? barHeight : 0)};
        if (next.cx == client.cx && next.cy == client.cy)
            break;
        client = next;
    }
    m_geometry.SetClientSize(client);
    SyncBars();
}

void CRangePictureView::SyncBars()
{
    m_syncingBars = true;
    const SIZE client = m_geometry.GetClientSize();
    const auto sync = [](QScrollBar* bar, const PictureViewAxis& axis) {
        bar->setRange(0, axis.MaxPosition());
        bar->setPageStep(std::max(axis.page, 1));
        // Line codes move a page too.
        bar->setSingleStep(std::max(axis.page, 1));
        bar->setValue(axis.origin);
        bar->setVisible(axis.barShown);
    };
    sync(m_hbar, m_geometry.Horizontal());
    sync(m_vbar, m_geometry.Vertical());
    m_hbar->setGeometry(0, client.cy, client.cx, std::max(height() - client.cy, 0));
    m_vbar->setGeometry(client.cx, 0, std::max(width() - client.cx, 0), client.cy);
    m_syncingBars = false;
}

void CRangePictureView::OnSize()
{
    UpdateClient();
    Render(false);
}

void CRangePictureView::OnScroll(bool vertical, int position)
{
    if (m_syncingBars)
        return;
    Guarded([&] {
        if (m_geometry.ScrollTo(vertical, position))
            Render(true);
        SyncBars();
    });
}

void CRangePictureView::ScrollPage(bool vertical, bool forward)
{
    QScrollBar* bar = vertical ? m_vbar : m_hbar;
    bar->triggerAction(forward ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
}

void CRangePictureView::Render(bool afterScroll)
{
    if (!m_tracking)
        EraseRangeOutline();
    const SIZE client = m_geometry.GetClientSize();
    if (client.cx <= 0 || client.cy <= 0) {
        m_offscreen.Release();
        m_renderedValid = false;
        return;
    }
    bool sameImage =
        m_offscreen.IsValid() && m_offscreen.GetWidth() == client.cx && m_offscreen.GetHeight() == client.cy;
    if (!sameImage) {
        BoolCheck(m_offscreen.Create(client.cx, client.cy), ErrorIdReported);
        m_renderedValid = false;
    }
    const POINT origin = m_geometry.Origin();
    const int zoom = m_geometry.GetZoom();
    const int dx = origin.x - m_renderedOrigin.x;
    const int dy = origin.y - m_renderedOrigin.y;
    const RECT visible = m_geometry.VisiblePictureRect();
    // At 100 % and above picture pixels are whole client pixels, so what is
    // already drawn can move and only the uncovered strips need drawing.
    const int fitsX = static_cast<int>((static_cast<long long>(client.cx) * 100 + zoom - 1) / zoom);
    const int fitsY = static_cast<int>((static_cast<long long>(client.cy) * 100 + zoom - 1) / zoom);
    if (afterScroll && m_renderedValid && zoom >= 100 && std::abs(dx) < fitsX && std::abs(dy) < fitsY &&
        !visible.IsEmpty()) {
        const int sx = dx * zoom / 100;
        const int sy = dy * zoom / 100;
        CImageDC* dc = m_offscreen.GetDC();
        dc->BitBlt(-sx, -sy, client.cx, client.cy, dc, 0, 0, SRCCOPY);
        if (sx > 0)
            RenderArea(RECT{client.cx - sx, 0, client.cx, client.cy});
        else if (sx < 0)
            RenderArea(RECT{0, 0, -sx, client.cy});
        if (sy > 0)
            RenderArea(RECT{0, client.cy - sy, client.cx, client.cy});
        else if (sy < 0)
            RenderArea(RECT{0, 0, client.cx, -sy});
    } else {
        RenderAll();
    }
    m_renderedOrigin = origin;
    m_renderedValid = true;
    if (!m_tracking)
        DrawRangeOutline();
    update();
}

void CRangePictureView::RenderAll()
{
    const SIZE client = m_geometry.GetClientSize();
    m_offscreen.FillRect(0, 0, client.cx, client.cy, WorkSpaceColor(*this));
    const RECT visible = m_geometry.VisiblePictureRect();
    if (!m_pixels || visible.IsEmpty())
        return;
    const SIZE picture = m_geometry.GetPictureSize();
    const int zoom = m_geometry.GetZoom();
    const int width = static_cast<int>(static_cast<long long>(visible.Width()) * zoom / 100);
    const int height = static_cast<int>(static_cast<long long>(visible.Height()) * zoom / 100);
    if (width <= 0 || height <= 0)
        return;
    m_offscreen.StretchDIBitsFrom(m_geometry.Horizontal().offset, m_geometry.Vertical().offset, width, height,
                                  visible.left, picture.cy - visible.bottom, visible.Width(),
                                  visible.Height(), 32, picture.cx, picture.cy, m_pixels.get(), SRCCOPY);
}

void CRangePictureView::RenderArea(const RECT& area)
{
    m_offscreen.FillRectLTRB(area.left, area.top, area.right, area.bottom, WorkSpaceColor(*this));
    const RECT shown = Intersect(area, m_geometry.PictureClientArea());
    if (!m_pixels || shown.IsEmpty())
        return;
    const POINT first = m_geometry.ClientToPicture(POINT{shown.left, shown.top});
    const POINT last = m_geometry.ClientToPicture(POINT{shown.right - 1, shown.bottom - 1});
    const RECT part =
        Intersect(RECT{first.x, first.y, last.x + 1, last.y + 1}, m_geometry.VisiblePictureRect());
    if (part.IsEmpty())
        return;
    const RECT to = m_geometry.PictureToClient(part);
    const SIZE picture = m_geometry.GetPictureSize();
    m_offscreen.StretchDIBitsFrom(to.left, to.top, to.Width(), to.Height(), part.left,
                                  picture.cy - part.bottom, part.Width(), part.Height(), 32, picture.cx,
                                  picture.cy, m_pixels.get(), SRCCOPY);
}

void CRangePictureView::XorOutline(const RECT& client)
{
    CImageDC* dc = m_offscreen.GetDC();
    const RECT clip = m_geometry.PictureClientArea();
    if (!dc || client.IsEmpty() || clip.IsEmpty())
        return;
    CRgn region;
    region.CreateRectRgnIndirect(&clip);
    dc->SelectClipRgn(&region);
    const CImagePen pen = dc->SelectObject(CImagePen{PS_SOLID, kOutlineWidth, kOutlineColor});
    const CImageBrush brush = dc->SelectObject(CImageBrush{0, true});
    const int rop = dc->SetROP2(R2_XORPEN);
    dc->Rectangle(client.left, client.top, client.right, client.bottom);
    dc->SetROP2(rop);
    dc->SelectObject(brush);
    dc->SelectObject(pen);
    dc->SelectClipRgn(nullptr);
    update(ToQRect(client).adjusted(-2, -2, 2, 2));
}

void CRangePictureView::EraseRangeOutline()
{
    if (!m_rangeOutlineShown)
        return;
    XorOutline(m_drawnRect);
    m_rangeOutlineShown = false;
    m_lastOutline = RECT{};
}

void CRangePictureView::DrawRangeOutline()
{
    if (m_range.IsEmpty() || !m_offscreen.IsValid())
        return;
    m_drawnRect = NormalizedRect(m_geometry.Snap(m_geometry.PictureToClient(m_range)));
    XorOutline(m_drawnRect);
    m_rangeOutlineShown = true;
    m_lastOutline = m_drawnRect;
}

RECT CRangePictureView::BandOutline(const Rect& band) const
{
    const RECT shaped = m_square
                            ? SquareFromAnchor(POINT{band.left, band.top}, POINT{band.right, band.bottom})
                            : NormalizedRect(band);
    return NormalizedRect(m_geometry.Snap(shaped));
}

int CRangePictureView::OnTrackerDraw(TrackerDrawArgs& args)
{
    Guarded([&] {
        const RECT outline = BandOutline(args.rect);
        XorOutline(outline);
        m_lastOutline = m_tracker.m_bErase ? RECT{} : outline;
    });
    return 0;
}

void CRangePictureView::OnTrackerChanged(const Rect& /*oldRect*/, CTracker& tracker)
{
    Guarded([&] {
        const POINT corner{tracker.m_rect.right, tracker.m_rect.bottom};
        const POINT scrolled = m_geometry.AutoScroll(corner);
        if (scrolled.x != 0 || scrolled.y != 0) {
            SyncBars();
            Render(true);
            // The anchor keeps its picture pixel while the picture moves under it.
            const POINT shift = m_geometry.AnchorShift(scrolled);
            tracker.m_rect.left -= shift.x;
            tracker.m_rect.top -= shift.y;
            // The fresh image no longer holds the old outline.
            tracker.EmptyRect();
            m_lastOutline = RECT{};
            if (!m_autoScroll) {
                m_autoScroll = true;
                m_timer.start();
            }
            return;
        }
        const SIZE client = m_geometry.GetClientSize();
        if (corner.x >= 0 && corner.y >= 0 && corner.x < client.cx && corner.y < client.cy)
            m_autoScroll = false;
    });
}

void CRangePictureView::OnTimer(int id)
{
    if (id != kAutoScrollTimer)
        return;
    Guarded([&] {
        if (!m_autoScroll) {
            m_tracker.SetValue(0);
            m_timer.stop();
            return;
        }
        const QPoint global = QCursor::pos();
        QCoreApplication::postEvent(this, new QMouseEvent(QEvent::MouseMove, QPointF(mapFromGlobal(global)),
                                                          QPointF(global), Qt::NoButton,
                                                          QGuiApplication::mouseButtons(),
                                                          QGuiApplication::keyboardModifiers()));
        m_tracker.SetValue(1);
    });
}

void CRangePictureView::ChooseRange(POINT at)
{
    setFocus(Qt::MouseFocusReason);
    EraseRangeOutline();
    m_geometry.ClearCarries();
    m_wheelLock = true;
    m_tracking = true;
    m_tracker.EmptyRect();
    const int changed = m_tracker.TrackRubberBand(this, Point{at.x, at.y}, true);
    m_tracking = false;
    m_wheelLock = false;
    m_autoScroll = false;
    m_timer.stop();
    m_tracker.SetValue(0);
    if (changed)
        m_range = RangeFromBand(m_geometry, m_tracker.m_rect, m_square);
    // The band is gone with a fresh image; the range outline comes back on it.
    m_lastOutline = RECT{};
    Render(false);
}

void CRangePictureView::ZoomAt(POINT at, int zoom)
{
    if (zoom == m_geometry.GetZoom())
        return;
    const POINT centre = m_geometry.ClientToPicture(at);
    SetZoom(zoom, centre.x, centre.y);
}

void CRangePictureView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Guarded([&] {
        const QPoint p = event->position().toPoint();
        const RECT area = m_geometry.PictureClientArea();
        if (!m_pixels || p.x() < area.left || p.y() < area.top || p.x() >= area.right || p.y() >= area.bottom)
            return;
        const POINT at{p.x(), p.y()};
        if (m_mode == ModeZoomIn)
            ZoomAt(at, m_geometry.ZoomInStep());
        else if (m_mode == ModeZoomOut)
            ZoomAt(at, m_geometry.ZoomOutStep());
        else {
            // Shift may have gone down before the view had the focus to hear it.
            m_square = event->modifiers().testFlag(Qt::ShiftModifier);
            ChooseRange(at);
        }
        UpdateCursor(p);
    });
}

void CRangePictureView::mouseMoveEvent(QMouseEvent* event)
{
    UpdateCursor(event->position().toPoint());
}

void CRangePictureView::SetSquare(bool square)
{
    if (square == m_square)
        return;
    m_square = square;
    if (QWidget::mouseGrabber() != this)
        return;
    // The band's outline changes shape: a fresh image, and the band drawn anew.
    Render(false);
    m_tracker.EmptyRect();
    m_tracker.m_bErase = 0;
    m_tracker.DrawTrackerRect(m_tracker.m_rect, nullptr, this);
}

void CRangePictureView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Shift) {
        QWidget::keyPressEvent(event);
        return;
    }
    Guarded([&] { SetSquare(true); });
}

void CRangePictureView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Shift) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    Guarded([&] { SetSquare(false); });
}

void CRangePictureView::wheelEvent(QWheelEvent* event)
{
    // While a band is dragged the picture must not move under it; otherwise the dialog scrolls.
    if (m_wheelLock)
        event->accept();
    else
        event->ignore();
}

CRangePictureView::CursorKind CRangePictureView::CursorAt(QPoint client) const
{
    const RECT area = m_geometry.PictureClientArea();
    if (!m_pixels || client.x() < area.left || client.y() < area.top || client.x() >= area.right ||
        client.y() >= area.bottom)
        return CursorArrow;
    const int zoom = m_geometry.GetZoom();
    switch (m_mode) {
    case ModeZoomIn:
        return zoom == m_geometry.ZoomInStep() ? CursorNoZoom : CursorZoomIn;
    case ModeZoomOut:
        return zoom == m_geometry.ZoomOutStep() ? CursorNoZoom : CursorZoomOut;
    default:
        return CursorCross;
    }
}

const QCursor& CRangePictureView::CursorFor(CursorKind kind)
{
    auto found = m_cursors.find(kind);
    if (found == m_cursors.end()) {
        QCursor cursor(Qt::ArrowCursor);
        if (kind == CursorCross) {
            cursor = QCursor(Qt::CrossCursor);
        } else if (kind != CursorArrow) {
            const QPixmap picture(QStringLiteral(":/cursors/%1.png").arg(static_cast<int>(kind)));
            // The magnifier's hot spot is the middle of its lens.
            cursor = picture.isNull() ? QCursor(Qt::CrossCursor) : QCursor(picture, 12, 12);
        }
        found = m_cursors.emplace(kind, cursor).first;
    }
    return found->second;
}

void CRangePictureView::UpdateCursor(QPoint at)
{
    m_cursor = CursorAt(at);
    setCursor(CursorFor(m_cursor));
}

void CRangePictureView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_offscreen.IsValid())
        PaintDisplayImage(painter, m_offscreen, QPoint(0, 0));
    const SIZE client = m_geometry.GetClientSize();
    // The corner between two shown bars.
    if (width() > client.cx && height() > client.cy)
        painter.fillRect(client.cx, client.cy, width() - client.cx, height() - client.cy,
                         palette().color(QPalette::Window));
}

void CRangePictureView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Guarded([&] { OnSize(); });
}
