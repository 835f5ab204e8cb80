// Clip and edit regions of the drawing layer: a set of pixel rectangles
// (right and bottom exclusive), our value in place of a region handle.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <QRegion>

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

class CRgn
{
public:
    CRgn() = default;
    explicit CRgn(const QRegion& region) : m_region(region) {}

    bool CreateRectRgn(int left, int top, int right, int bottom);
    bool CreateRectRgnIndirect(const RECT* rect);
    // this = a op b; returns false for an unknown operation.
    bool CombineRgn(const CRgn* a, const CRgn* b, int operation);
    bool CopyRgn(const CRgn* other);
    void OffsetRgn(int dx, int dy);
    bool PtInRegion(int x, int y) const;
    bool IsEmpty() const { return m_region.isEmpty(); }
    RECT GetRgnBox() const;
    void SetRectRgn(int left, int top, int right, int bottom) { CreateRectRgn(left, top, right, bottom); }
    void DeleteObject() { m_region = QRegion(); }

    const QRegion& GetQRegion() const { return m_region; }

private:
    QRegion m_region;
};
