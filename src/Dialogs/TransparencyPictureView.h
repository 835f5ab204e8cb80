// CTransparencyPictureView: the child window of the transparency dialog in
// which the user paints the transparent parts of a background or frame
// picture. It shows the picture through its edited mask at seven zoom steps,
// scrolls it, merges every finished shape into the mask with the mode, level
// and feathering, keeps one undo step and writes the mask back on commit.
// The geometry, the mask and the drawing live in their own classes; the
// members here are the window's entry points.
#pragma once

#include "CUtilFilter/FilterProgressSink.h"
#include "Dialogs/FilterProgress.h"
#include "Dialogs/Tracker.h"
#include "Dialogs/TransparencyGeometry.h"
#include "Dialogs/TransparencyMask.h"
#include "Dialogs/TransparencyRender.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"

#include <QBasicTimer>
#include <QCursor>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class CImageFrameItem;
class IDialogShell;
class QScrollBar;

constexpr int kTransparencyViewId = 10000;
// Caption of the progress shown while a shape is feathered.
constexpr int kFeatherProgressTextId = 148;

class CTransparencyPictureView : public QWidget, public IFilterProgressSink, public ITrackerOwner
{
    Q_OBJECT

public:
    // Tools: the dialog's radio button index.
    enum Tool : int {
        ToolRectangle = 0,
        ToolEllipse = 1,
        ToolPolygon = 2,
        ToolQuarterEllipse = 3,
        ToolFirstStamp = 4,
        ToolLastStamp = 8,
        ToolFirstPen = 9,
        ToolLastPen = 12,
        ToolZoomIn = 13,
        ToolZoomOut = 14,
    };
    // Input states of a gesture in progress.
    enum InputState : int { InputIdle = 0, InputPolygon = 1, InputFreehand = 2 };
    // Timer ids: rubber-band drags, then the polygon's and the stroke's.
    static constexpr int kTrackerTimer = 1;

    using ProgressFactory = std::function<std::unique_ptr<IFilterProgress>(QWidget* parent)>;

    explicit CTransparencyPictureView(IDialogShell& shell, QWidget* parent = nullptr);
    ~CTransparencyPictureView() override;

    // The window at (x, y) in the parent, 1 x 1 until the dialog sizes it.
    int Create(QWidget* parent, int x, int y);
    // Loads the item's working file; throws enumErrorID (-1 without one, 1
    // when it cannot be read).
    int SetItem(CImageFrameItem* item);
    int SetTool(int tool);
    int SetTransparencyLevel(int ratio);
    int SetBlurAmount(int blur);
    int SetMode(int mode);
    int GetTool() const { return m_tool; }
    int GetTransparencyLevel() const { return m_ratio; }
    int GetBlurAmount() const { return m_blur; }
    int GetMode() const { return m_mode; }

    // --- Shapes and their merge ---
    // Makes the current tool's coverage for the shape (picture pixels) and
    // merges it into the mask; returns 1, throws enumErrorID.
    int ApplyTransparencyTool(RECT shape);
    int MakeRectangleMask(const RECT& shape, const RECT& work, PageBuffer& coverage, int level);
    int MakeEllipseMask(const RECT& shape, const RECT& work, PageBuffer& coverage, int level);
    void DrawCheckerBackground(CImage* image, const RECT& rect);
    // The fill byte of the current settings and document.
    int GetFillLevel() const;

    // --- Geometry (the view's zoom, conversions and scrolling) ---
    int GetZoom() const { return m_geometry.GetZoom(); }
    double GetZoomFactor() const { return m_geometry.GetZoomFactor(); }
    void SetZoom(int zoom, int x, int y);
    void ZoomIn(POINT point);
    void ZoomOut(POINT point);
    void FitZoom();
    POINT ClientToPicture(POINT point) const { return m_geometry.ClientToPicture(point); }
    RECT ClientToPictureRect(RECT rect) const { return m_geometry.ClientToPictureRect(rect); }
    POINT UnzoomPoint(POINT point) const { return m_geometry.UnzoomPoint(point); }
    RECT UnzoomRect(RECT rect) const { return m_geometry.UnzoomRect(rect); }
    RECT PictureToClient(RECT rect, bool zoom, bool offset) const
    {
        return m_geometry.PictureToClient(rect, zoom, offset);
    }
    POINT PictureToClient(POINT point, bool zoom, bool offset) const
    {
        return m_geometry.PictureToClient(point, zoom, offset);
    }
    RECT GetVisiblePictureRect() const { return m_geometry.GetVisiblePictureRect(); }
    SIZE GetScaledPictureSize(bool fromScrollOrigin) const
    {
        return m_geometry.GetScaledPictureSize(fromScrollOrigin);
    }
    RECT GetPictureClientRect() const { return m_geometry.GetPictureClientRect(); }
    RECT SnapRect(RECT rect) const { return m_geometry.SnapRect(rect); }
    // Nonzero flag: nothing happens (0). Otherwise the bar moves and the
    // origin follows; 1.
    int ScrollBy(unsigned message, int code, int position, int flag);
    void CenterOn(int x, int y);
    void SetScrollOrigin(int x, int y) { m_geometry.SetScrollOrigin(x, y); }
    // Scrolls by 10 picture pixels towards a point outside the window;
    // returns the directions as bits (1 left, 2 up, 4 right, 8 down).
    int AutoScroll(POINT point, int timerId);
    int Render(int kind, int left, int top, int right, int bottom);
    int RenderAll();
    void DrawPixelGrid(CImage* image, int left, int top, int right, int bottom);
    const CTransparencyGeometry& Geometry() const { return m_geometry; }

    // --- History, commit, switches ---
    int SaveUndo() { return m_picture.SaveUndo(); }
    int SwapUndo() { return m_picture.SwapUndo(); }
    int Undo();
    int CommitToItem();
    void Reset();
    void OnSetRedraw(bool redraw) { m_redraw = redraw; }
    void SetChecker(bool on);
    bool IsCheckerOn() const { return m_checker; }
    int OnFilterProgress(int event, int percent);
    intptr_t SendFilterMessage(unsigned message, intptr_t wParam, intptr_t lParam) override;

    // --- State ---
    const CTransparencyMask& Picture() const { return m_picture; }
    CTransparencyMask& Picture() { return m_picture; }
    const CImage& DisplayImage() const { return m_display; }
    CImageFrameItem* GetItem() const { return m_item; }
    int GetDrawingState() const { return m_inputState; }
    bool IsTracking() const { return m_tracking; }
    bool IsAutoScrolling() const { return m_autoScroll; }
    bool IsTimerRunning(int timerId) const;
    bool IsProgressOpen() const { return m_progress != nullptr; }
    // The client area: the window less the scroll bars in use.
    int ClientWidth() const { return m_geometry.GetClientWidth(); }
    int ClientHeight() const { return m_geometry.GetClientHeight(); }

    // Replaces how the feathering progress is shown (tests record it).
    void SetProgressFactory(ProgressFactory factory) { m_progressFactory = std::move(factory); }
    void SetWaitFeedback(IWaitFeedback* feedback);

    // --- Message entry points (the window's handlers call them) ---
    void OnSize();
    void OnScroll(unsigned message, int code, int position);
    void OnLButtonDown(POINT point);
    void OnMouseMove(POINT point);
    void OnLButtonUp(POINT point);
    void OnRButtonDown(POINT point);
    void OnLButtonDblClk(POINT point);
    void OnTimer(int timerId);

    // --- The rubber band's tracker ---
    // The outline of the current tool, drawn by the view itself (answer 0).
    int OnTrackerDraw(TrackerDrawArgs& args) override;
    // Scrolls under a corner dragged past the window, keeping the anchor on
    // its picture pixel.
    void OnTrackerChanged(const Rect& oldRect, CTracker& tracker) override;
    CTracker& Tracker() { return m_tracker; }

protected:
    // The gestures of the drawing tools, in order of the dispatch: a
    // free-hand stroke, polygon clicks and the rubber band of the dragged
    // shapes. The view itself only dispatches to them.
    virtual void BeginFreehand(POINT) {}
    virtual void ContinueFreehand(POINT) {}
    virtual void EndFreehand(POINT) {}
    virtual void AddPolygonPoint(POINT) {}
    virtual void TrackPolygonLine(POINT) {}
    virtual void EndPolygon(POINT) {}
    virtual void RemoveLastPolygonPoint(POINT) {}
    // The rubber band of the dragged shapes; a rectangle it reports is
    // converted to picture pixels and applied.
    virtual void TrackShape(POINT point);
    // The rubber-band outline of the tools other than the rectangle and the
    // ellipse, in window coordinates, with the pen the view selected.
    virtual void DrawShapeOutline(int /*tool*/, const RECT& /*rect*/) {}
    // The coverage of the tools other than the rectangle and the ellipse:
    // 0 when the tool makes none.
    virtual int MakeToolCoverage(int /*tool*/, const RECT& /*shape*/, const RECT& /*work*/,
                                 PageBuffer& /*coverage*/, int /*level*/)
    {
        return 0;
    }

    void SetInputState(int state) { m_inputState = state; }
    void SetTracking(bool tracking) { m_tracking = tracking; }
    void SetAutoScrolling(bool on) { m_autoScroll = on; }
    void StartViewTimer(int timerId);
    void StopViewTimer(int timerId);
    // Posts a mouse move at the cursor with the buttons and keys held now.
    void PostMouseMoveAtCursor();
    // Reports a failure of a handler and, while the dialog runs, ends it with 3.
    void ReportFailure(int errorId);
    IDialogShell& Shell() { return m_shell; }
    bool IsSquare() const { return m_square; }
    void SetSquare(bool square) { m_square = square; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void LayoutScrollBars();
    void SyncScrollBars();
    void OnBarAction(QScrollBar* bar, unsigned message, int action);
    bool IsCameraDocument() const;
    // The rubber band's tracker reports every step while the view scrolls under it.
    void TrackerForceNotify(bool on);
    // Runs a handler's body, reporting an enumErrorID it throws.
    template <typename Body> void Guarded(Body&& body);
    // Delivers what waits in the queue, except the user's mouse and key input,
    // which is dropped.
    static void DropPendingInput();

    IDialogShell& m_shell;
    CTransparencyGeometry m_geometry;
    CTransparencyMask m_picture;
    CTransparencyRenderer m_renderer;
    CImage m_display;
    CImageFrameItem* m_item = nullptr;
    int m_tool = 0;
    int m_ratio = 100;
    int m_blur = 50;
    int m_mode = 0;
    int m_inputState = InputIdle;
    bool m_tracking = false;
    bool m_redraw = false;
    bool m_checker = false;
    bool m_autoScroll = false;
    bool m_square = false;
    CTracker m_tracker;
    // Window pixels of the tracker's anchor not yet moved after scrolls.
    double m_carryX = 0;
    double m_carryY = 0;
    std::unique_ptr<IFilterProgress> m_progress;
    ProgressFactory m_progressFactory;
    std::unique_ptr<IWaitFeedback> m_ownWait;
    IWaitFeedback* m_wait = nullptr;
    QCursor m_zoomInCursor;
    QCursor m_zoomOutCursor;
    QCursor m_noZoomCursor;
    QScrollBar* m_hbar = nullptr;
    QScrollBar* m_vbar = nullptr;
    bool m_laying = false;
    std::map<int, QBasicTimer> m_timers;

    // What the drawing tools (a derived view) need of the window.
protected:
    CImage& Display() { return m_display; }
    const QCursor& ZoomInCursor() const { return m_zoomInCursor; }
    const QCursor& ZoomOutCursor() const { return m_zoomOutCursor; }
    const QCursor& NoZoomCursor() const { return m_noZoomCursor; }
    // The dragged rectangle in picture pixels before it is applied; `drag` is
    // the tracker's, its anchor first. The drawing tools square it and keep
    // its direction.
    virtual RECT ConstrainDraggedShape(const Rect& /*drag*/, RECT picture) { return picture; }
};
