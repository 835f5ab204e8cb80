#include "ImageProcessing/Region.h"

namespace {
QRect ToQRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return {};
    return QRect(left, top, right - left, bottom - top);
}
} // namespace

bool CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    m_region = QRegion(ToQRect(left, top, right, bottom));
    return true;
}

bool CRgn::CreateRectRgnIndirect(const RECT* rect)
{
    if (!rect)
        return false;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

bool CRgn::CombineRgn(const CRgn* a, const CRgn* b, int operation)
{
    if (!a || (operation != RGN_COPY && !b))
        return false;
    switch (operation) {
    case RGN_AND:
        m_region = a->m_region.intersected(b->m_region);
        return true;
    case RGN_OR:
        m_region = a->m_region.united(b->m_region);
        return true;
    case RGN_XOR:
        m_region = a->m_region.xored(b->m_region);
        return true;
    case RGN_DIFF:
        m_region = a->m_region.subtracted(b->m_region);
        return true;
    case RGN_COPY:
        m_region = a->m_region;
        return true;
    default:
        return false;
    }
}

bool CRgn::CopyRgn(const CRgn* other)
{
    if (!other)
        return false;
    m_region = other->m_region;
    return true;
}

void CRgn::OffsetRgn(int dx, int dy)
{
    m_region.translate(dx, dy);
}

bool CRgn::PtInRegion(int x, int y) const
{
    return m_region.contains(QPoint(x, y));
}

RECT CRgn::GetRgnBox() const
{
    const QRect box = m_region.boundingRect();
    if (box.isEmpty())
        return {};
    return {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
}
