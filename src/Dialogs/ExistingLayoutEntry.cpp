#include "Dialogs/ExistingLayoutEntry.h"

#include "Core/LocalizeScript.h"
#include "Core/Path.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/LayoutHeaderReader.h"
#include "Dialogs/LayoutListEntry.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageDC.h"
#include "Script/USMFile.h"

#include <QDir>

#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int kCanvas = 60;

std::string Caption(IDialogShell& shell, int id)
{
    std::string text;
    CLocalizeScript(shell.GetLocalizeIniPath()).GetCaption(id, text);
    return text;
}

bool EqualsNoCase(const std::string& a, const char* b)
{
    return QString::fromStdString(a).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

void TakeHeader(LayoutHeaderText&& header, LayoutListEntry& entry)
{
    entry.thumbnailPath = std::move(header.thumbnailPath);
    entry.title = std::move(header.title);
    entry.kindText = std::move(header.kindText);
    entry.paperOrder = header.paperOrder;
}

// The numbered set form: "_" 7th and "0" 8th character. Its thumbnail is the
// folder's "THUMB.USF", named whether it exists or not.
void ReadSetIndexEntry(IDialogShell& shell, const std::string& path, LayoutListEntry& entry)
{
    const std::string name = GetFileNameFromPath(path, true);
    if (name.size() < 8 || name[6] != '_' || name[7] != '0')
        return;
    const std::string folder = GetFolderFromPath(path);
    const std::string thumbnail = FindFileInFolder(folder, "THUMB.USF");
    entry.thumbnailPath = thumbnail.empty() ? CombinePath(folder, "THUMB.USF") : thumbnail;
    CUSMFile index;
    if (index.ReadIndex(path) == 1)
        entry.title = index.GetTitle();
    entry.kindText = Caption(shell, kCameraLayoutTextId);
}

// A packaged frame file's thumbnail goes into a new file "jpgXXXXXX" of the
// folder, so entries never share one.
void ReadPackageEntry(IDialogShell& shell, const std::string& path, LayoutListEntry& entry,
                      const std::string& thumbnailFolder)
{
    std::string file;
    if (!thumbnailFolder.empty() && QDir().mkpath(QString::fromStdString(thumbnailFolder))) {
        file = CombinePath(thumbnailFolder, "jpgXXXXXX");
        const int fd = mkstemp(file.data());
        if (fd < 0)
            file.clear();
        else
            close(fd);
    }
    LayoutHeaderText header;
    ReadPackageHeader(shell, path, file, header);
    if (!file.empty() && header.thumbnailPath != file)
        unlink(file.c_str());
    TakeHeader(std::move(header), entry);
}

} // namespace

int ReadLayoutEntry(IDialogShell& shell, const std::string& path, LayoutListEntry& entry,
                    const std::string& thumbnailFolder)
{
    if (path.empty())
        return 0;
    entry = LayoutListEntry();
    entry.paperOrder = -1;
    entry.imageIndex = -1;
    // A recent file whose header cannot be read is still listed: by its name.
    entry.fileName = GetFileNameFromPath(path, true);
    const std::string extension = GetFileExtension(path);
    if (EqualsNoCase(extension, ".usd") || EqualsNoCase(extension, ".zvd")) {
        LayoutHeaderText header;
        if (!ReadLayoutScriptHeader(shell, path, header)) {
            entry.paperOrder = LayoutListEntry::kUnknownPaperOrder;
            return 0;
        }
        TakeHeader(std::move(header), entry);
    } else if (EqualsNoCase(extension, ".usm")) {
        ReadSetIndexEntry(shell, path, entry);
    } else if (EqualsNoCase(extension, ".fdp")) {
        ReadPackageEntry(shell, path, entry, thumbnailFolder);
    }
    if (entry.paperOrder < 0)
        entry.paperOrder = LayoutListEntry::kUnknownPaperOrder;
    return 1;
}

QImage MakeLayoutThumbnail(const std::string& thumbnailPath)
{
    if (thumbnailPath.empty())
        return {};
    CImage picture;
    if (picture.LoadJpeg(thumbnailPath) != 0 && picture.LoadFile(thumbnailPath) != 0)
        return {};
    const int width = picture.GetWidth();
    const int height = picture.GetHeight();
    if (!picture.IsValid() || width <= 0 || height <= 0)
        return {};
    int x = 0, y = 0, w = 0, h = 0;
    if (width > height) {
        w = kCanvas;
        h = static_cast<int>(60.0 / width * height);
        x = 2;
        y = static_cast<int>((kCanvas - h) * 0.5);
    } else {
        h = kCanvas;
        w = static_cast<int>(60.0 / height * width);
        y = 2;
        x = static_cast<int>((kCanvas - w) * 0.5);
    }
    CImage canvas;
    if (!canvas.Create(kCanvas, kCanvas) ||
        picture.StretchBltTo(&canvas, x, y, w, h, 0, 0, width, height, SRCCOPY) == 0)
        return {};
    QImage thumbnail =
        canvas.GetDC()->ToQImage(0, 0, kCanvas, kCanvas).convertToFormat(QImage::Format_ARGB32);
    // Shown only where the picture lies; the canvas cuts what runs past its edge.
    const QRect shown = QRect(x, y, w, h).intersected(thumbnail.rect());
    for (int row = 0; row < kCanvas; ++row) {
        auto* line = reinterpret_cast<QRgb*>(thumbnail.scanLine(row));
        for (int column = 0; column < kCanvas; ++column)
            line[column] =
                shown.contains(column, row) ? (line[column] | 0xFF000000u) : qRgba(255, 255, 255, 0);
    }
    return thumbnail;
}
