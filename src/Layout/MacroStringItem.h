// CMacroStringItem: an image-information text of an insert-photo frame (the
// shooting date, the shooting data or the file name). The editor shows a
// sample of X's in the frame's information font; the layout files get a macro
// text that the printing side fills in.
#pragma once

#include "ImageProcessing/ImageFont.h"
#include "Layout/LayoutItem.h"

#include <string>

class CInsertImageFrameItem;

class CMacroStringItem : public CLayoutItem
{
public:
    enum MacroKind : int { KindDateTime = 0, KindShootingData = 1, KindFileName = 2 };

    void Serialize(CArchive& archive) override;
    // Drawn only with an owner frame, even when forced.
    bool Draw(CImage* canvas, float scale, const POINT* origin, bool force) override;
    void DrawSelection(CImage* canvas, const POINT* origin) override;
    int HitTest(POINT point) override;
    POINT* GetHandlePoint(POINT* out, int index, bool scaled) const override;
    // Stays selected while its owner frame is selected.
    void SetSelected(bool selected) override;

    virtual int GetMacroKind() const { return m_kind; }
    virtual void SetMacroKind(int kind) { m_kind = kind; }
    virtual int GetDirection() const { return m_direction; }
    virtual void SetDirection(int direction) { m_direction = direction; }
    virtual CInsertImageFrameItem* GetOwnerFrame() const { return m_owner; }
    virtual void SetOwnerFrame(CInsertImageFrameItem* owner) { m_owner = owner; }
    virtual void Rotate(bool clockwise);

    CMacroStringItem* CopyFrom(const CMacroStringItem& other);
    std::string GetSampleText() const;
    std::string GetMacroText() const;
    // fit false: an empty rect at the top-left; no owner: the item's rect;
    // else the top-left with the sample text's extent in the owner's font.
    RECT* FitRectToText(RECT* out, bool fit) const;

private:
    // The owner's information font at its height in layout units, unturned.
    bool OwnerFont(LOGFONT* out) const;
    // The two handles of the direction.
    void DirectionHandles(int handles[2]) const;

    int m_kind = KindDateTime;
    int m_direction = 0;
    CInsertImageFrameItem* m_owner = nullptr; // not owned
};
