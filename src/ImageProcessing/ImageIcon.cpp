#include "ImageProcessing/ImageIcon.h"

#include <QFile>
#include <map>
#include <memory>
#include <mutex>

// The resources live in this static library: registering them here also
// makes the linker keep them.
static void RegisterImageResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(images);
        return true;
    }();
    (void)done;
}

CImageIcon::CImageIcon(QImage picture)
    : m_picture(picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied))
{
}

QImage CImageBitmap::ToQImage() const
{
    if (IsNull() || pixels.size() != static_cast<std::size_t>(width) * height)
        return {};
    QImage out(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* from = pixels.data() + static_cast<std::size_t>(height - 1 - y) * width;
        auto* to = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < width; ++x)
            to[x] = from[x] | 0xFF000000u;
    }
    return out;
}

namespace {

QImage LoadFirst(std::initializer_list<QString> paths)
{
    RegisterImageResources();
    for (const QString& path : paths) {
        if (QFile::exists(path)) {
            QImage picture(path);
            if (!picture.isNull())
                return picture;
        }
    }
    return {};
}

} // namespace

QImage LoadBitmapResourcePicture(int id)
{
    const QString name = QString::number(id);
    return LoadFirst({":/bitmaps/" + name + ".bmp", ":/bitmaps/" + name + ".png"});
}

CImageIcon LoadIconResourcePicture(int id)
{
    const QString name = QString::number(id);
    return CImageIcon(LoadFirst({":/icons/" + name + ".png", ":/icons/" + name + ".ico"}));
}

const CImageIcon* LoadSharedIcon(int id)
{
    static std::mutex lock;
    static std::map<int, std::unique_ptr<CImageIcon>> icons;
    const std::lock_guard<std::mutex> guard(lock);
    auto it = icons.find(id);
    if (it == icons.end()) {
        auto icon = std::make_unique<CImageIcon>(LoadIconResourcePicture(id));
        it = icons.emplace(id, icon->IsNull() ? nullptr : std::move(icon)).first;
    }
    return it->second.get();
}
