// The arithmetic of the picture views, without a window: the zoom steps,
// picture <-> client coordinates, the scroll bars' model, snapping to picture
// pixels and the automatic scroll of a drag past the edge with the fractions
// it carries. Each view gives its own zoom steps; the widget feeds sizes in
// and applies the answers.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <vector>

// One direction of the view: its scroll bar and where the picture lies.
struct PictureViewAxis
{
    bool barShown = false;
    // The bar's range is 0 .. rangeMax with this page.
    int rangeMax = 0;
    int page = 0;
    // The picture coordinate of the first visible pixel (the bar's position).
    int origin = 0;
    // Where the picture starts in the client when it is smaller and centred.
    int offset = 0;

    // Where the bar stops: its page reaches the end of its range.
    int MaxPosition() const;
};

class CPictureViewGeometry
{
public:
    // The steps ascending; `resetZoom` must be one of them.
    CPictureViewGeometry(std::vector<int> zoomSteps, int resetZoom);

    // Back to no picture, no client and the reset zoom.
    void Reset();
    void SetPictureSize(SIZE size);
    SIZE GetPictureSize() const { return m_picture; }
    // Recomputes the bars; the origins stay where the bars allow.
    void SetClientSize(SIZE size);
    SIZE GetClientSize() const { return m_client; }

    int GetZoom() const { return m_zoom; }
    const std::vector<int>& ZoomSteps() const { return m_steps; }
    // A zoom outside the steps throws enumErrorID -1.
    void SetZoom(int zoom);
    // The next step in or out; the zoom itself at the last step.
    int ZoomInStep() const;
    int ZoomOutStep() const;
    // The largest step at which the whole picture fits the client; the first step when none does.
    int FitZoom() const;
    // The origin that puts the picture point in the middle of the client, per shown bar.
    void CentreOn(POINT picture);

    const PictureViewAxis& Horizontal() const { return m_x; }
    const PictureViewAxis& Vertical() const { return m_y; }
    POINT Origin() const { return POINT{m_x.origin, m_y.origin}; }
    // Clamped by the bar; true when the origin moved.
    bool ScrollTo(bool vertical, int position);
    bool ScrollBy(bool vertical, int distance);

    // --- Coordinates ------------------------------------------------------------------
    POINT ClientToPicture(POINT client) const;
    // Left and top rounded down, right and bottom up.
    RECT PictureToClient(const RECT& picture) const;
    // The picture scaled, each side rounded up.
    SIZE ScaledSize() const;
    // From the origin, what the client can show of the picture.
    RECT VisiblePictureRect() const;
    // The part of the client area that shows picture.
    RECT PictureClientArea() const;
    // Above 100 % a client rectangle's edges move onto picture-pixel borders.
    RECT Snap(const RECT& client) const;

    // --- A drag past the edge -----------------------------------------------------------
    // The moving corner of a drag, in client coordinates: outside the client
    // the view scrolls 10 picture pixels that way unless it is at that end.
    // Returns the picture pixels scrolled in each direction.
    POINT AutoScroll(POINT corner);
    // How far back, in client pixels, the drag's anchor moves for a scroll; the
    // fractions below a pixel are carried to the next call, so that the anchor
    // keeps its picture pixel.
    POINT AnchorShift(POINT scrolled);
    void ClearCarries();

    static constexpr int kAutoScrollStep = 10;

private:
    void UpdateAxis(PictureViewAxis& axis, int picture, int client) const;

    std::vector<int> m_steps;
    int m_resetZoom;
    int m_zoom;
    SIZE m_picture{};
    SIZE m_client{};
    PictureViewAxis m_x;
    PictureViewAxis m_y;
    double m_carryX = 0.0;
    double m_carryY = 0.0;
};

// The rectangle from the anchor towards the moving corner with its longer
// side cut to the shorter, normalised.
RECT SquareFromAnchor(POINT anchor, POINT moving);
// Left/right and top/bottom put in order.
RECT NormalizedRect(const RECT& rect);
