// Icons and bitmap copies: our values in place of icon and bitmap handles.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <QImage>
#include <cstdint>
#include <vector>

// An icon: a picture with per-pixel transparency, drawn at its own size.
class CImageIcon
{
public:
    CImageIcon() = default;
    explicit CImageIcon(QImage picture);

    bool IsNull() const { return m_picture.isNull(); }
    SIZE GetSize() const { return {m_picture.width(), m_picture.height()}; }
    // Top-down, premultiplied ARGB.
    const QImage& GetPicture() const { return m_picture; }

private:
    QImage m_picture;
};

// A standalone copy of an image's pixels (32 bits, bottom row first, packed).
struct CImageBitmap
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool IsNull() const { return width <= 0 || height <= 0; }
    // Top-down RGB32 picture for the user interface.
    QImage ToQImage() const;
};

// Loads the program's bitmap or icon resource of that id (Qt resources
// ":/bitmaps/<id>.bmp" or ".png", ":/icons/<id>.png" or ".ico"); null when absent.
QImage LoadBitmapResourcePicture(int id);
CImageIcon LoadIconResourcePicture(int id);
// The shared icon of that id, kept for the process; the caller does not free it.
// Null when there is no such icon.
const CImageIcon* LoadSharedIcon(int id);
