// The transparency view's geometry without a toolkit: the seven zoom steps,
// the conversions between window points and picture pixels, the scroll bars'
// model and the scroll origin with its previous value for incremental redraws.
#pragma once

#include "ImageProcessing/GdiTypes.h"

constexpr unsigned WM_HSCROLL = 0x0114;
constexpr unsigned WM_VSCROLL = 0x0115;

// Scroll codes as the bars send them.
constexpr int SB_LINEUP = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;

// One scroll bar as the window shows it: range 0..max, a page, a position
// that stays within 0..max + 1 - page.
struct TransparencyScrollBar
{
    bool inUse = false;
    int max = 0;
    int page = 0;
    int pos = 0;

    int LastPos() const;
    void SetPos(int value);
};

class CTransparencyGeometry
{
public:
    static constexpr int kZoomSteps[7] = {10, 25, 50, 100, 200, 400, 800};

    // Forgets the picture: zoom 100, no bars, origin and offsets 0.
    void Reset();
    void SetPictureSize(int width, int height);
    void SetClientSize(int width, int height);
    int GetPictureWidth() const { return m_width; }
    int GetPictureHeight() const { return m_height; }
    int GetClientWidth() const { return m_clientWidth; }
    int GetClientHeight() const { return m_clientHeight; }

    int GetZoom() const { return m_zoom; }
    double GetZoomFactor() const { return m_zoom * 0.01; }
    // Stores the zoom only; the view lays itself out again afterwards.
    void StoreZoom(int zoom) { m_zoom = zoom; }
    // The neighbouring step, or the zoom itself at either end; throws
    // ErrorIdSilent for a zoom outside the steps.
    int NextZoomIn() const;
    int NextZoomOut() const;
    // The largest step that shows the whole picture in the client area.
    int ComputeFitZoom() const;

    // --- Conversions ---
    POINT UnzoomPoint(POINT point) const;
    RECT UnzoomRect(RECT rect) const;
    POINT ClientToPicture(POINT point) const;
    RECT ClientToPictureRect(RECT rect) const;
    RECT PictureToClient(RECT rect, bool zoom, bool offset) const;
    POINT PictureToClient(POINT point, bool zoom, bool offset) const;
    RECT GetVisiblePictureRect() const;
    SIZE GetScaledPictureSize(bool fromScrollOrigin) const;
    RECT GetPictureClientRect() const;
    RECT SnapRect(RECT rect) const;

    // --- Scroll bars and origin ---
    // The bars, origin and offsets for the current sizes and zoom: a bar is
    // used when the scaled picture exceeds the client in its direction.
    void UpdateScrollBars();
    const TransparencyScrollBar& Bar(unsigned message) const;
    // Moves the bar by the code and makes its position the origin; false for
    // an unknown bar message.
    bool ScrollBy(unsigned message, int code, int position);
    void CenterOn(int x, int y);
    // -1 keeps a coordinate; a changed one keeps its old value as the previous.
    void SetScrollOrigin(int x, int y);
    POINT GetScrollOrigin() const { return m_origin; }
    POINT GetPreviousScrollOrigin() const { return m_previous; }
    POINT GetOffset() const { return m_offset; }

    int GetScrollMax(unsigned message) const;
    int GetScrollMin(unsigned message) const;
    int GetScrollPage(unsigned message) const;
    bool IsAtScrollEnd(unsigned message) const;
    bool IsAtScrollStart(unsigned message) const;

private:
    int StepIndex() const;
    TransparencyScrollBar& MutableBar(unsigned message);

    int m_width = 0;
    int m_height = 0;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    int m_zoom = 100;
    POINT m_origin{0, 0};
    POINT m_previous{0, 0};
    POINT m_offset{0, 0};
    TransparencyScrollBar m_horizontal;
    TransparencyScrollBar m_vertical;
};
