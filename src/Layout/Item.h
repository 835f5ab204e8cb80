// CItem: the geometric base of everything placed on or drawn over a page: a
// rectangle in layout units, the item's own display scale and the page
// orientation, with the scaling, fitting and hit-test operations they share.
#pragma once

#include "ImageProcessing/GdiTypes.h"

class CArchive;
class CImage;

// The resize cursors by resource id; 0 is no cursor.
enum ItemCursor : int {
    CursorNone = 0,
    CursorMove = 309,
    CursorSizeVertical = 310,
    CursorSizeHorizontal = 311,
    CursorSizeDiagonalDown = 312, // top-left to bottom-right
    CursorSizeDiagonalUp = 313,   // bottom-left to top-right
};

class CItem
{
public:
    CItem() = default;
    virtual ~CItem() = default;
    CItem(const CItem&) = delete;
    CItem& operator=(const CItem&) = delete;

    virtual void Serialize(CArchive& archive);

    // The rect times the scale (0 or less: the own scale), edges rounded half away from zero.
    virtual RECT* GetScaledRect(RECT* out, float scale) const;
    virtual RECT* GetRect(RECT* out, bool scaled) const;
    virtual void SetRect(const RECT& rect);
    virtual float GetScale() const { return m_scale; }
    virtual void SetScale(float scale) { m_scale = scale; }
    virtual int GetOrientation() const { return m_orientation; }
    // Only 0 and 1 are stored.
    virtual bool SetOrientation(int orientation);

    // The base draws an inverted outline of the scaled rect.
    virtual bool Draw(CImage* canvas, float scale, const POINT* origin, bool force);
    virtual bool DrawToFit(CImage* canvas, const RECT& target, bool force);
    virtual bool DrawAtOwnScale(CImage* canvas, const POINT* origin);
    // The point is in own-scaled units: 1 inside, 0 outside.
    virtual int HitTest(POINT point);
    virtual int GetHandleCursor(int code) const;

    CItem* CopyFrom(const CItem& other);

    bool ScalePoint(POINT* point, float scale) const;
    bool ScalePoint(SIZE* size, float scale) const;
    bool ScaleRect(RECT* rect, float scale) const;
    bool UnscalePoint(POINT* point, float scale) const;
    bool UnscalePoint(SIZE* size, float scale) const;
    bool UnscaleRect(RECT* rect, float scale) const;

protected:
    // The scale to use: the given one, or the own one when it is 0 or less.
    float EffectiveScale(float scale) const { return scale > 0.0f ? scale : m_scale; }

private:
    RECT m_rect{0, 100, 0, 100};
    float m_scale = 1.0f;
    int m_orientation = 0;
};

// Run-time kind test: true when the item is of that class or derives from it.
template <class Kind> bool IsKindOf(const CItem* item)
{
    return dynamic_cast<const Kind*>(item) != nullptr;
}

// Helpers of the drawing code shared by the items.
namespace item_draw {
// The rect moved so that its top-left lies on the origin (size kept); unchanged without origin.
RECT MoveToOrigin(const RECT& rect, const POINT* origin);
// The intersection with the canvas (0, 0, width, height); empty when it does not meet it.
RECT ClipToCanvas(const RECT& rect, const CImage* canvas);
bool IsEmptyRect(const RECT& rect);
// The rect ordered and at least one pixel wide and high, as a stroke along it covers.
RECT NormalizedStroke(const RECT& rect);
// Each edge moved into the canvas; the rect keeps its order and may stay flat.
RECT ClampToCanvas(const RECT& rect, const CImage* canvas);
// A 1-pixel solid outline of (left, top, right, bottom), right and bottom exclusive, in the given mix mode.
void Outline(CImage* canvas, const RECT& rect, COLORREF color, int rop2);
// A handle square of half-size 3 around the point: black border, white inside.
void HandleSquare(CImage* canvas, POINT point);
} // namespace item_draw
