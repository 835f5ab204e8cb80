#include "App/MemoryCards.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

// The kernel marks a removable disk in /sys/block/<disk>/removable; a
// partition's own folder lies inside its disk's.
bool IsRemovableDevice(const QByteArray& device)
{
    if (!device.startsWith("/dev/"))
        return false;
    const QString name = QFileInfo(QString::fromLocal8Bit(device)).fileName();
    QString sysPath = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    for (int depth = 0; depth < 2 && !sysPath.isEmpty(); ++depth) {
        QFile flag(sysPath + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
        sysPath = QFileInfo(sysPath).path();
    }
    return false;
}

} // namespace

std::vector<std::string> MountedRemovableRoots()
{
    std::vector<std::string> roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || !IsRemovableDevice(volume.device()))
            continue;
        std::string root = volume.rootPath().toStdString();
        if (root.empty() || root.back() != '/')
            root += '/';
        roots.push_back(root);
    }
    return roots;
}
