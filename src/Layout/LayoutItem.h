// CLayoutItem: the base of every item that lives on a page: its label, the
// selected, visible and draw-suppressed flags, the 50 x 50 thumbnail the item
// list shows, and the selection frame with its eight handles.
#pragma once

#include "ImageProcessing/Image.h"
#include "Layout/Item.h"

#include <string>

class CLayoutItem : public CItem
{
public:
    CLayoutItem();
    ~CLayoutItem() override = default;

    void Serialize(CArchive& archive) override;
    bool Draw(CImage* canvas, float scale, const POINT* origin, bool force) override;
    bool DrawToFit(CImage* canvas, const RECT& target, bool force) override;
    // Draws the item and refreshes its thumbnail.
    bool DrawAtOwnScale(CImage* canvas, const POINT* origin) override;
    // 2..9 a handle (tried first), 1 inside (widened to at least 4 x 4), 0 nothing.
    int HitTest(POINT point) override;

    virtual bool IsSelected() const { return m_selected != 0; }
    virtual void SetSelected(bool selected) { m_selected = selected ? 1 : 0; }
    virtual bool IsVisible() const { return m_visible != 0; }
    virtual void SetVisible(bool visible) { m_visible = visible ? 1 : 0; }
    virtual bool IsDrawSuppressed() const { return m_drawSuppressed != 0; }
    virtual void SetDrawSuppressed(bool suppressed) { m_drawSuppressed = suppressed ? 1 : 0; }
    virtual CImage* GetItemImage() { return &m_itemImage; }
    virtual const CImage* GetItemImage() const { return &m_itemImage; }
    virtual RECT* GetItemImageRect(RECT* out) const;
    // Left and top raised to 0, right and bottom lowered to 50; nothing else checked.
    virtual void SetItemImageRect(const RECT& rect);
    virtual float GetItemImageScale() const { return m_itemImageScale; }
    virtual void SetItemImageScale(float scale) { m_itemImageScale = scale; }
    virtual void DrawSelection(CImage* canvas, const POINT* origin);
    // Handles 0..7 from top-left to bottom-right around the rect grown by 4; (0, 0) for another index.
    virtual POINT* GetHandlePoint(POINT* out, int index, bool scaled) const;

    CLayoutItem* CopyFrom(const CLayoutItem& other);
    std::string GetLabel() const { return m_label; }
    void SetLabel(const std::string& label) { m_label = label; }

protected:
    // Tries the handles of the given indexes in order: index + 2 when the point lies in one's square.
    int HitHandles(POINT point, const int* indexes, int count) const;
    // The inside test on the own-scaled rect grown to at least 4 x 4 about its centre.
    static bool HitWidened(POINT point, RECT r);
    // The selection outline and the given handles, as the base draws them.
    void DrawSelectionFrame(CImage* canvas, const POINT* origin, bool outline, const int* handles,
                            int count) const;
    // Whether the normal drawing may draw the item.
    bool MayDraw(bool force) const { return force || (IsVisible() && !IsDrawSuppressed()); }

private:
    std::string m_label;
    int m_selected = 0;
    int m_visible = 1;
    int m_drawSuppressed = 1;
    CImage m_itemImage;
    RECT m_itemImageRect{0, 0, 50, 50};
    float m_itemImageScale = -1.0f;
};
