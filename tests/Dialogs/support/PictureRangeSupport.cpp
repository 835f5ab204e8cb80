#include "Dialogs/support/PictureRangeSupport.h"

#include "ImageProcessing/JpegFile.h"
#include "Layout/ImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"

#include <QTest>
#include <QTimer>

#include <cstdint>
#include <stdexcept>

std::string WriteTestJpeg(const QString& folder, const std::string& name, int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row; // rows bottom-up
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(row) * width + x) * 4];
            p[0] = static_cast<std::uint8_t>(x * 255 / width);
            p[1] = static_cast<std::uint8_t>(y * 255 / height);
            p[2] = static_cast<std::uint8_t>(128 + (x / 40 + y / 40) % 2 * 100);
        }
    }
    const std::string path = folder.toStdString() + "/" + name;
    CJpegFile writer;
    if (writer.WriteBuffer(path, pixels.data(), nullptr, width, height) != 0)
        throw std::runtime_error("cannot write " + path);
    return path;
}

std::unique_ptr<CInsertImageFrameItem> MakePictureFrame(const std::string& path, const RECT& rect,
                                                        int orientation, int rotation)
{
    auto frame = std::make_unique<CInsertImageFrameItem>();
    frame->SetRect(rect);
    frame->SetOrientation(orientation);
    if (frame->LoadImage(path) != ImageLoadOk)
        throw std::runtime_error("cannot load " + path);
    frame->SetImageRotation(rotation);
    return frame;
}

void DragOn(QWidget* widget, const std::vector<QPoint>& path, const std::function<void()>& beforeRelease,
            Qt::KeyboardModifiers pressModifiers)
{
    // The press handler runs its own loop until the release: the rest of the drag is queued for it.
    QTimer::singleShot(0, widget, [widget, path, beforeRelease] {
        for (std::size_t i = 1; i < path.size(); ++i)
            QTest::mouseMove(widget, path[i]);
        if (beforeRelease)
            beforeRelease();
        QTest::mouseRelease(widget, Qt::LeftButton, Qt::KeyboardModifiers(), path.back());
    });
    QTest::mousePress(widget, Qt::LeftButton, pressModifiers, path.front());
}
