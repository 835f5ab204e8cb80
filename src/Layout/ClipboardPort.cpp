#include "Layout/ClipboardPort.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QClipboard* Clipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                        : nullptr;
}

class CQtClipboardPort : public IClipboardPort
{
public:
    bool HasAnyFormat() override
    {
        QClipboard* clipboard = Clipboard();
        const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
        return data && !data->formats().isEmpty();
    }

    bool HasLayoutFormat() override
    {
        QClipboard* clipboard = Clipboard();
        const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
        return data && data->hasFormat(QString::fromLatin1(kLayoutClipboardFormat));
    }

    bool Put(const std::vector<std::uint8_t>& block) override
    {
        QClipboard* clipboard = Clipboard();
        if (!clipboard)
            return false;
        auto data = std::make_unique<QMimeData>();
        data->setData(
            QString::fromLatin1(kLayoutClipboardFormat),
            QByteArray(reinterpret_cast<const char*>(block.data()), static_cast<qsizetype>(block.size())));
        clipboard->setMimeData(data.release()); // the clipboard owns it from here
        return HasLayoutFormat();
    }

    std::optional<std::vector<std::uint8_t>> Get() override
    {
        QClipboard* clipboard = Clipboard();
        const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
        if (!data || !data->hasFormat(QString::fromLatin1(kLayoutClipboardFormat)))
            return std::nullopt;
        const QByteArray bytes = data->data(QString::fromLatin1(kLayoutClipboardFormat));
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
};

} // namespace

IClipboardPort& GetSystemClipboardPort()
{
    static CQtClipboardPort port;
    return port;
}
