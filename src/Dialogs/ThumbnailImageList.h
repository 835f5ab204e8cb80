// The thumbnails of a list: pictures with their masks (black shown, white
// transparent), added by index like the platform's image lists. A worker may
// add pictures while the user-interface thread draws, so every access locks.
#pragma once

#include <QImage>

#include <mutex>
#include <vector>

class CImage;
class QPainter;
class QPoint;

class CThumbnailImageList
{
public:
    // The new picture's index; -1 for an empty picture or sizes that differ.
    int Add(const CImage& picture, const CImage& mask);
    int Add(const QImage& picture, const QImage& mask);
    // Indexes after it move down by one.
    bool Remove(int index);
    void RemoveAll();
    int GetImageCount() const;
    // The picture at the point through its mask; false for an index it has not.
    bool Draw(QPainter& painter, int index, const QPoint& at) const;

private:
    mutable std::mutex m_lock;
    std::vector<QImage> m_pictures; // transparent where the mask is white
};
