// The editing view's state and arithmetic without a window: the zoom mode,
// the page origin and scroll sizes, the view centre, the document's modified
// flag after a content change, the auto-scroll steps of a drag and the
// sub-menus the selection greys. The widget feeds it sizes and applies its answers.
#pragma once

#include "ImageProcessing/GdiTypes.h"

class CLayoutManager;

// Margin around the page in view pixels.
constexpr int kPageMargin = 15;

// The sizes the window reports.
struct ClientSizes
{
    SIZE client{};     // the client area now, scroll bars taken off
    SIZE trueClient{}; // the client area without any scroll bar
    SIZE barExtent{};  // cx: width of the vertical bar, cy: height of the horizontal one
};

struct ScrollSizes
{
    SIZE total{};
    SIZE page{};
    SIZE line{};
};

// Which sub-menus stay enabled (true) after the selection changed.
struct MenuGreying
{
    bool order = true;
    bool align = true;
    bool rotate = true;
    bool paperMode = true;
    bool aspectRatio = true;

    bool operator==(const MenuGreying&) const = default;
};

class EditorViewModel
{
public:
    enum class ZoomMode { Free, FitWidth, FitPage };
    enum class TimerAction { None, Start, Stop };

    // --- Zoom mode ------------------------------------------------------------------
    ZoomMode GetZoomMode() const { return m_zoomMode; }
    void SetZoomMode(ZoomMode mode) { m_zoomMode = mode; }
    bool IsFitToPaperWidth() const { return m_zoomMode == ZoomMode::FitWidth; }
    bool IsFitWholePaper() const { return m_zoomMode == ZoomMode::FitPage; }
    // The fit modes: origin (15, 15) and the scale for the client without
    // bars; the manager's notification (kind 2) does the rest. A client no
    // larger than the margins keeps the scale.
    void ApplyFitZoom(CLayoutManager& layout, const ClientSizes& sizes, bool notify) const;

    // --- Origin, scroll sizes and positions -------------------------------------------
    // Sets the page origin and the scroll sizes from the scaled page; false
    // (nothing changed) for an empty client.
    bool UpdateScrollSizes(CLayoutManager& layout, const ClientSizes& sizes);
    bool HasScrollSizes() const { return m_sizesSet; }
    const ScrollSizes& GetScrollSizes() const { return m_sizes; }
    // (0, 0) until the scroll sizes are set.
    POINT GetScrollPosition() const { return m_sizesSet ? m_position : POINT{0, 0}; }
    // Per axis: total - client, at least 0.
    POINT ScrollLimit(SIZE client) const;
    // Kept within 0 .. the limit; true when the position changed.
    bool ScrollTo(POINT position, SIZE client);
    bool ScrollBy(SIZE delta, SIZE client);
    // The scroll position that brings the stored view centre back to the
    // client centre; false before the scroll sizes are set.
    bool ViewCentreScroll(const CLayoutManager& layout, SIZE client, POINT* position) const;

    // --- Page coordinates -------------------------------------------------------------
    // Where the page is drawn in the client: the origin less the scroll position.
    POINT DrawOrigin(const CLayoutManager& layout) const;
    // A client point as the layout manager's mouse handlers take it.
    POINT PagePoint(const CLayoutManager& layout, POINT client) const;
    // The page point at the client centre, in layout units.
    POINT ViewCentre(const CLayoutManager& layout, SIZE client) const;

    // --- The modified flag after a content change ---------------------------------------
    // Returns the document's new modified flag; only undoing the first change
    // since the document was clean makes it clean again.
    bool OnContentChanged(bool modified, bool undo);
    bool IsFirstChange() const { return m_firstChange; }

    // --- Auto-scroll of a drag ----------------------------------------------------------
    // Lines to scroll per axis (-1, 0, 1) for a held drag at a client point.
    SIZE AutoScrollLines(POINT point, SIZE client, bool captured) const;
    // After a move: whether the timer starts or stops.
    TimerAction AfterDragMove(bool scrolled);
    // The button went up: Stop when the timer ran.
    TimerAction OnButtonUp();
    bool IsAutoScrolling() const { return m_autoScroll; }

private:
    ZoomMode m_zoomMode = ZoomMode::FitPage;
    bool m_firstChange = false;
    bool m_autoScroll = false;
    bool m_sizesSet = false;
    ScrollSizes m_sizes;
    POINT m_position{};
};

// The sub-menus to grey for the layout's selection in a document of that kind.
MenuGreying ComputeMenuGreying(const CLayoutManager& layout, bool camera);
