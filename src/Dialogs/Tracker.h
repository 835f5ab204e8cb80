// A rectangle tracker for the picture views: the user drags a rubber band, a
// handle or the whole rectangle while the tracker tells its owner every time
// it would draw the rectangle and every time the rectangle changes, so the
// owner can draw it at its own zoom and snap or constrain it.
#pragma once

#include "Core/Geometry.h"

#include <QPointer>

class CTracker;
class QWidget;
class TrackerOutline;

// What the tracker is about to draw. The owner may change any field before it
// answers; the tracker's own outline then uses the values as they stand.
struct TrackerDrawArgs
{
    Rect rect;                  // in the coordinates of `wnd`
    QWidget* clipWnd = nullptr; // the widget the outline is drawn over, when not `wnd`
    QWidget* wnd = nullptr;     // the widget being tracked in
};

// The owner of a tracker: the widget or dialog told of its drawing and its changes.
class ITrackerOwner
{
public:
    virtual ~ITrackerOwner() = default;
    // Nonzero lets the tracker draw its own outline with the arguments as the
    // owner left them; 0 means the owner has drawn the rectangle itself.
    virtual int OnTrackerDraw(TrackerDrawArgs& args) = 0;
    // The rectangle changed from `oldRect` to `tracker.m_rect`; the owner may
    // change `m_rect` (snap, constrain) and read `m_rectPrev`.
    virtual void OnTrackerChanged(const Rect& oldRect, CTracker& tracker) = 0;
};

struct TrackerSize
{
    int cx = 0;
    int cy = 0;
};

class CTracker
{
public:
    // Style bits of `m_nStyle`: the outline, and where resize handles are.
    enum Style {
        solidLine = 1,
        dottedLine = 2,
        resizeInside = 4,
        resizeOutside = 8,
    };
    // Handle numbers: the corners clockwise from the top-left, then the side
    // middles top, right, bottom, left; 8 is the whole rectangle.
    enum Handle {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8,
    };

    CTracker();
    virtual ~CTracker();
    CTracker(const CTracker&) = delete;
    CTracker& operator=(const CTracker&) = delete;

    // Shows or erases (`m_bErase`) the rectangle during a drag. With an owner
    // it asks the owner first; the own outline is a solid (or dotted) line
    // drawn over `clipWnd`, or `wnd` without one.
    virtual void DrawTrackerRect(const Rect& rect, QWidget* clipWnd, QWidget* wnd);
    // Keeps the rectangle at least `m_sizeMin` wide and high after `handle`
    // moved it; without `m_bAllowInvert` a moved edge never passes its
    // opposite edge.
    virtual void AdjustRect(int handle, Rect& rect);
    virtual void OnChangedRect(const Rect& oldRect);
    // Bit i set when handle i (0..7) is shown: the side middles are left out
    // when their side is too short to hold three handles.
    virtual unsigned GetHandleMask() const;
    // The size of the handles, shrunk to fit inside a small rectangle when
    // they are drawn inside it.
    virtual int GetHandleSize(const Rect& rect) const;

    // A press at `point`: drags the handle (or, inside the rectangle, the
    // whole rectangle) it hits. 0 when it hits nothing; else nonzero when the
    // rectangle changed. Sets the owner from `wnd` when none is set yet.
    virtual int Track(QWidget* wnd, Point point, bool allowInvert = false, QWidget* clipWnd = nullptr);
    // A new rectangle dragged out from `point`; nonzero when it is no longer
    // the empty rectangle at the point.
    virtual int TrackRubberBand(QWidget* wnd, Point point, bool allowInvert = true);
    // Drags `handle` until the left button is released (1 when `m_rect`
    // differs from where it started) or the drag is cancelled by Escape or
    // the right button (the start rectangle is restored, 0). While the drag
    // runs, every other event is delivered as usual. 0 at once, and nothing
    // sent, when any widget already holds the mouse grab.
    virtual int TrackHandle(int handle, QWidget* wnd, Point point, QWidget* clipWnd);

    // 1: every mouse step notifies and redraws even when the rectangle stayed
    // (an owner scrolling under a still mouse posts such steps).
    void SetValue(int forceNotify) { m_bForceNotify = forceNotify; }
    void EmptyRect() { m_rectPrev = Rect{}; }

    // The owner; set explicitly where the tracked widget is not the owner.
    ITrackerOwner* GetOwner() const { return m_pOwnerWnd; }
    void SetOwner(ITrackerOwner* owner) { m_pOwnerWnd = owner; }

    // The handle (or hitMiddle, or hitNothing) at the point.
    int HitTestHandles(Point point) const;
    // The rectangle of handle 0..7 around the rectangle's normalised form.
    Rect GetHandleRect(int handle) const;

    // The rectangle the own outline shows now, in the coordinates of
    // `OutlineWidget()`; none when nothing is shown.
    bool GetOutline(Rect& rect) const;
    QWidget* OutlineWidget() const;

    // The base members.
    int m_nStyle = solidLine;
    Rect m_rect;
    TrackerSize m_sizeMin;
    int m_nHandleSize = 10;
    int m_bAllowInvert = 0;
    Rect m_rectLast;
    TrackerSize m_sizeLast;
    int m_bErase = 0;
    int m_bFinalErase = 0;

    ITrackerOwner* m_pOwnerWnd = nullptr;
    int m_bForceNotify = 0;
    Rect m_rectPrev;

private:
    friend class CTrackerDrag;

    // The outline as the base draws it: recorded and shown by an overlay on
    // the widget it is drawn over.
    void DrawOutline(const Rect& rect, QWidget* clipWnd, QWidget* wnd);
    void RemoveOutline();
    // The drag loop shared by Track and TrackHandle.
    int RunDrag(int handle, QWidget* wnd, Point point, QWidget* clipWnd);

    QPointer<TrackerOutline> m_outline;
};

// One drag of a tracker, step by step: what the tracking loop does for each
// mouse step, release and cancel, without the loop itself.
class CTrackerDrag
{
public:
    CTrackerDrag(CTracker& tracker, int handle, Point point, QWidget* wnd, QWidget* clipWnd);

    // A mouse step to `point`, or the release of the left button there; true
    // when the drag is over.
    bool Step(Point point, bool release);
    // Escape or the right button: erases what was drawn and restores the
    // start rectangle.
    void Cancel();
    // The drag ends: without a move the start rectangle comes back. 1 when
    // `m_rect` differs from the start rectangle.
    int Finish();

    const Rect& StartRect() const { return m_start; }

private:
    // The coordinates of `m_rect` that the handle moves (null when it moves
    // none in that direction).
    void ModifyPointers(int*& x, int*& y) const;

    CTracker& m_tracker;
    int m_handle;
    QWidget* m_wnd;
    QWidget* m_clipWnd;
    Rect m_start;
    int m_width;
    int m_height;
    int m_offsetX = 0;
    int m_offsetY = 0;
    bool m_moved = false;
    // The edges the handle moves, fixed at the press; null where it moves none.
    int Rect::*m_xField = nullptr;
    int Rect::*m_yField = nullptr;
};
