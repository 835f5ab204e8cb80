// CLineItem: a straight horizontal or vertical line on the page with its
// colour, width and a number that tells the page's lines apart. Its rect
// holds the two end points; the thickness lies right of a vertical line and
// below a horizontal one.
#pragma once

#include "Layout/LayoutItem.h"

#include <cstdint>

class CLineItem : public CLayoutItem
{
public:
    void Serialize(CArchive& archive) override;
    bool Draw(CImage* canvas, float scale, const POINT* origin, bool force) override;
    void DrawSelection(CImage* canvas, const POINT* origin) override;
    int HitTest(POINT point) override;
    POINT* GetHandlePoint(POINT* out, int index, bool scaled) const override;

    virtual COLORREF GetColor() const { return m_color; }
    virtual void SetColor(COLORREF color) { m_color = color; }
    // Scaled: width x scale truncated (0 or less: the own scale).
    virtual int GetWidth(bool scaled, float scale) const;
    virtual void SetWidth(int width) { m_width = width; }
    // Left == right, whatever the height.
    virtual bool IsVertical() const;
    virtual std::uint16_t GetLineNumber() const { return m_lineNumber; }
    virtual void SetLineNumber(std::uint16_t number) { m_lineNumber = number; }
    // The centre segment of a stroke of thickness t along the rect's line.
    virtual RECT* CalcLineRect(RECT* out, RECT rect, int thickness) const;
    virtual RECT* GetScaledLineRect(RECT* out, float scale) const;
    virtual RECT* GetLineBounds(RECT* out, bool scaled) const;

    CLineItem* CopyFrom(const CLineItem& other);

private:
    // The end handles of the line's orientation, in ascending order.
    void EndHandles(int handles[2]) const;

    COLORREF m_color = 0;
    int m_width = 1;
    std::uint16_t m_lineNumber = 0;
};
