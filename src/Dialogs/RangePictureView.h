// CRangePictureView: the picture-range dialog's view of an insert-photo
// frame's picture, turned as the frame shows it, at six zoom steps with
// scroll bars. A rubber band chooses the part of the picture the frame shows;
// dragging it past an edge scrolls. The range it hands back is in the
// coordinates of the picture as stored.
#pragma once

#include "Dialogs/PictureViewGeometry.h"
#include "Dialogs/Tracker.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"

#include <QCursor>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>

class CInsertImageFrameItem;
class QScrollBar;

class CRangePictureView : public QWidget, public ITrackerOwner
{
    Q_OBJECT
public:
    static constexpr int kControlId = 10000;
    static constexpr int kAutoScrollTimer = 1;
    static constexpr int kAutoScrollInterval = 100;
    enum Mode { ModeRange = 0, ModeZoomIn = 1, ModeZoomOut = 2 };
    // What the cursor shows: the cross, the cursor resources, or the arrow.
    enum CursorKind {
        CursorArrow = 0,
        CursorCross = 1,
        CursorZoomIn = 300,
        CursorZoomOut = 301,
        CursorNoZoom = 303
    };

    explicit CRangePictureView(QWidget* parent = nullptr);
    ~CRangePictureView() override;

    // The view as a child of `parent` at (x, y), 1 x 1 until it is sized.
    static CRangePictureView* Create(QWidget* parent, int x, int y);

    // Loads the item's working copy turned as the frame shows it, and its
    // range. Throws enumErrorID: -1 without a working copy, 1 when it cannot be read.
    void SetItem(CInsertImageFrameItem* item);
    void SetMode(int mode) { m_mode = mode; }
    int GetMode() const { return m_mode; }
    int GetZoom() const { return m_geometry.GetZoom(); }
    // Centres the picture point; a zoom that is not a step throws enumErrorID -1.
    void SetZoom(int zoom, int pictureX, int pictureY);
    void FitZoom();
    // In the stored picture's coordinates; empty when no range is chosen.
    void GetRange(RECT* range) const;

    // A message handler failed: told the error id. Without one the failure is dropped.
    void SetFailureHandler(std::function<void(int)> handler) { m_onFailure = std::move(handler); }
    // A page of the vertical (or horizontal) bar, as its page-up and page-down codes do.
    void ScrollPage(bool vertical, bool forward);
    void OnTimer(int id);

    // --- What tests and the dialog read ---------------------------------------------
    const CPictureViewGeometry& Geometry() const { return m_geometry; }
    RECT GetTurnedRange() const { return m_range; }
    int GetRotation() const { return m_rotation; }
    bool IsSquare() const { return m_square; }
    CursorKind CursorAt(QPoint client) const;
    CursorKind CurrentCursor() const { return m_cursor; }
    QScrollBar* HorizontalBar() const { return m_hbar; }
    QScrollBar* VerticalBar() const { return m_vbar; }
    QTimer& AutoScrollTimer() { return m_timer; }
    const CImage& Offscreen() const { return m_offscreen; }
    CTracker& Tracker() { return m_tracker; }
    // The outline now drawn for the range or the band (client), empty when none.
    RECT DrawnOutline() const { return m_lastOutline; }

    // --- ITrackerOwner ----------------------------------------------------------------
    int OnTrackerDraw(TrackerDrawArgs& args) override;
    void OnTrackerChanged(const Rect& oldRect, CTracker& tracker) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    template <typename Body> void Guarded(Body&& body);
    void Reset();
    // Sizes the client and the bars from the widget's size, then renders.
    void OnSize();
    void UpdateClient();
    void SyncBars();
    void OnScroll(bool vertical, int position);
    // Everything, or after a scroll only what the scroll uncovered.
    void Render(bool afterScroll);
    void RenderAll();
    void RenderArea(const RECT& area);
    void EraseRangeOutline();
    void DrawRangeOutline();
    // The grey outline inverted onto the offscreen image within the picture.
    void XorOutline(const RECT& client);
    RECT BandOutline(const Rect& band) const;
    void ChooseRange(POINT at);
    void ZoomAt(POINT at, int zoom);
    void SetSquare(bool square);
    void UpdateCursor(QPoint at);
    const QCursor& CursorFor(CursorKind kind);

    CPictureViewGeometry m_geometry;
    PageBuffer m_pixels;
    CImage m_offscreen;
    RECT m_range{};
    CInsertImageFrameItem* m_item = nullptr;
    int m_rotation = 0;
    bool m_square = false;
    RECT m_drawnRect{};
    bool m_rangeOutlineShown = false;
    RECT m_lastOutline{};
    POINT m_renderedOrigin{};
    bool m_renderedValid = false;
    CTracker m_tracker;
    bool m_wheelLock = false;
    int m_mode = ModeRange;
    bool m_autoScroll = false;
    bool m_tracking = false;
    bool m_syncingBars = false;
    CursorKind m_cursor = CursorArrow;
    std::map<int, QCursor> m_cursors;
    QScrollBar* m_hbar;
    QScrollBar* m_vbar;
    QTimer m_timer;
    std::function<void(int)> m_onFailure;
};
