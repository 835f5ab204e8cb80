// What the picture-range tests share: JPEG pictures written at test time,
// insert-photo frames that hold them, and left-button drags that run while
// the widget's press handler tracks the mouse.
#pragma once

#include "ImageProcessing/GdiTypes.h"

#include <QPoint>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CInsertImageFrameItem;
class QWidget;

// A smooth pattern that survives compression; the path written.
std::string WriteTestJpeg(const QString& folder, const std::string& name, int width, int height);

// A frame holding the picture (loaded as the editor loads it), with its
// rectangle, page orientation and rotation.
std::unique_ptr<CInsertImageFrameItem> MakePictureFrame(const std::string& path, const RECT& rect,
                                                        int orientation, int rotation);

// Pressed at the first point, moved through the others, released at the
// last. `beforeRelease` runs while the button is still held, after the moves.
void DragOn(QWidget* widget, const std::vector<QPoint>& path, const std::function<void()>& beforeRelease = {},
            Qt::KeyboardModifiers pressModifiers = Qt::KeyboardModifiers());
