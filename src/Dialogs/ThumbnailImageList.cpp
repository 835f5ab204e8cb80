#include "Dialogs/ThumbnailImageList.h"

#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageDC.h"

#include <QPainter>

namespace {

QImage ScreenCopy(const CImage& image)
{
    if (!image.IsValid() || !image.GetDC())
        return {};
    return image.GetDC()->ToQImage(0, 0, image.GetWidth(), image.GetHeight());
}

} // namespace

int CThumbnailImageList::Add(const CImage& picture, const CImage& mask)
{
    return Add(ScreenCopy(picture), ScreenCopy(mask));
}

int CThumbnailImageList::Add(const QImage& picture, const QImage& mask)
{
    if (picture.isNull() || mask.isNull() || picture.size() != mask.size())
        return -1;
    QImage shown = picture.convertToFormat(QImage::Format_ARGB32);
    const QImage cover = mask.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < shown.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(shown.scanLine(y));
        const auto* coverRow = reinterpret_cast<const QRgb*>(cover.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            row[x] = qGray(coverRow[x]) < 128 ? (row[x] | 0xFF000000u) : 0u;
    }
    const std::lock_guard guard(m_lock);
    m_pictures.push_back(std::move(shown));
    return static_cast<int>(m_pictures.size()) - 1;
}

bool CThumbnailImageList::Remove(int index)
{
    const std::lock_guard guard(m_lock);
    if (index < 0 || static_cast<std::size_t>(index) >= m_pictures.size())
        return false;
    m_pictures.erase(m_pictures.begin() + index);
    return true;
}

void CThumbnailImageList::RemoveAll()
{
    const std::lock_guard guard(m_lock);
    m_pictures.clear();
}

int CThumbnailImageList::GetImageCount() const
{
    const std::lock_guard guard(m_lock);
    return static_cast<int>(m_pictures.size());
}

bool CThumbnailImageList::Draw(QPainter& painter, int index, const QPoint& at) const
{
    QImage picture;
    {
        const std::lock_guard guard(m_lock);
        if (index < 0 || static_cast<std::size_t>(index) >= m_pictures.size())
            return false;
        picture = m_pictures[static_cast<std::size_t>(index)];
    }
    painter.drawImage(at, picture);
    return true;
}
