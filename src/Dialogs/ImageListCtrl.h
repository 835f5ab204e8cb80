// CImageListCtrl: the picture files of one folder in icon view, each with a
// 60 x 60 thumbnail that a worker thread makes while the list is already
// shown. Only this (the user-interface) thread touches the items and the
// thumbnails; the worker sees nothing but the paths it was handed.
#pragma once

#include "Dialogs/ThumbnailWorker.h"
#include "Platform/WaitFeedback.h"

#include <QImage>
#include <QListWidget>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CImageListCtrl : public QListWidget
{
    Q_OBJECT
public:
    static constexpr int kThumbnailSize = 60;

    explicit CImageListCtrl(QWidget* parent = nullptr);
    ~CImageListCtrl() override;

    // Icon view with 60 x 60 icons and an empty set of thumbnails.
    void Init();
    // The folder the next filling lists.
    void SetFolder(const std::string& folder) { m_folder = folder; }
    const std::string& GetFolder() const { return m_folder; }
    // Stops the worker, lists the folder's pictures and starts the worker
    // over them (none: no worker).
    void FillFromFolder();
    // The first selected item's path; empty without a selection.
    std::string GetSelectedFilePath() const;

    // The item's file name and path; the thumbnail's index, -1 while it has none.
    std::string GetItemPath(int item) const;
    int GetItemImage(int item) const;
    // The thumbnail at the index; null for an index out of range.
    QImage GetThumbnail(int index) const;
    int GetThumbnailCount() const { return static_cast<int>(m_thumbnails.size()); }
    // Thumbnails of the current filling still to come.
    int PendingThumbnails() const { return m_pending; }

    // Tests put a maker of their own in place of MakeThumbnail; it runs on
    // the worker thread.
    void SetThumbnailMaker(CThumbnailWorker::Loader maker);
    const CThumbnailWorker& Worker() const { return *m_worker; }

signals:
    // The last thumbnail of a filling has arrived (or the filling had none).
    void ThumbnailsDone();

private:
    void OnThumbnail(const ThumbnailResult& result);
    QSize CellSize() const;
    std::unique_ptr<CThumbnailWorker> MakeWorker(CThumbnailWorker::Loader maker);

    std::string m_folder;
    std::vector<QImage> m_thumbnails;
    CQtWaitFeedback m_feedback;
    std::unique_ptr<CThumbnailWorker> m_worker;
    int m_generation = 0;
    int m_pending = 0;
};

// The 60 x 60 thumbnail of a listed picture file: the EFF's stored
// thumbnail, the JPEG's Exif thumbnail, else (while no stop was asked) the
// picture read scaled; centred on white, shrunk but never enlarged, drawn
// through its mask when it has one. Null when the file gives no picture.
// Safe on any thread.
QImage MakeThumbnail(const std::string& path);

// The name ends in ".jpg", ".bmp", ".tif" or ".eff", in any case.
bool IsListedImageName(std::string_view name);
// File names in list order: through their Shift-JIS form, ASCII letters
// without regard to case, a double-byte character compared whole. Negative,
// 0 or positive.
int CompareFileNamesNoCase(const std::string& a, const std::string& b);
// The listed picture files directly in the folder (not folders), in list order.
std::vector<std::string> ListImageFileNames(const std::string& folder);
