// CEditItem: the outline the layout manager draws while a rubber band is
// pulled, a line is drawn or items are moved or resized; it knows which
// handle is dragged and which item it stands for.
#pragma once

#include "Layout/Item.h"

class CLayoutItem;

// Handle code 1..9 (from HitTest) to edit-frame kind 3, 8, 4, 10, 5, 7, 11, 6, 9; anything else 0.
int MapHandleCode(int code);

class CEditItem : public CItem
{
public:
    enum Kind : int {
        KindNone = 0,
        KindRubberBand = 1,
        KindNewLine = 2,
        KindMove = 3,
        KindTop = 4,
        KindLeft = 5,
        KindBottom = 6,
        KindRight = 7,
        KindTopLeft = 8,
        KindBottomRight = 9,
        KindTopRight = 10,
        KindBottomLeft = 11,
    };

    void Serialize(CArchive& archive) override;
    bool Draw(CImage* canvas, float scale, const POINT* origin, bool force) override;
    bool DrawAtOwnScale(CImage* canvas, const POINT* origin) override;

    virtual int GetHandleKind() const { return m_kind; }
    virtual int SetHandleFromCode(int code);
    virtual void SetHandleKind(int kind) { m_kind = kind; }
    virtual CLayoutItem* GetTargetItem() const { return m_target; }
    virtual void SetTargetItem(CLayoutItem* target) { m_target = target; }

    // The cursor resource of a kind; the swap flag exchanges the two diagonals.
    int GetCursorForKind(int kind, bool swap) const;

private:
    int m_kind = KindNone;
    CLayoutItem* m_target = nullptr; // not owned
};

// Deletes every object of the list and empties it; false for a missing list.
template <class List> bool DeleteItemList(List* list)
{
    if (!list)
        return false;
    list->clear();
    return true;
}
