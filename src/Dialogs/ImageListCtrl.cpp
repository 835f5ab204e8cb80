#include "Dialogs/ImageListCtrl.h"

#include "Core/Geometry.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/PixelConversion.h"
#include "Platform/ShiftJis.h"

#include <QIcon>
#include <QPixmap>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

// The grid cell: the icon with two lines of its name below.
constexpr int kCellWidth = 100;
constexpr int kCellTextLines = 2;

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The last four characters, lower-cased, as the list compares them.
std::string LowerEnding(std::string_view name)
{
    std::string ending(name.size() < 4 ? name : name.substr(name.size() - 4));
    std::transform(ending.begin(), ending.end(), ending.begin(), LowerAscii);
    return ending;
}

// One character of the bytes: a Shift-JIS double-byte character whole (when
// `shiftJis`), a single byte with ASCII letters folded.
unsigned NextFoldedCharacter(const std::string& text, std::size_t& at, bool shiftJis)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (shiftJis && ShiftJisCharLength(lead) == 2 && at + 1 < text.size()) {
        const auto trail = static_cast<unsigned char>(text[at + 1]);
        at += 2;
        return lead * 256u + trail;
    }
    ++at;
    return static_cast<unsigned char>(LowerAscii(static_cast<char>(lead)));
}

int CompareFolded(const std::string& a, const std::string& b, bool shiftJis)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned x = NextFoldedCharacter(a, i, shiftJis);
        const unsigned y = NextFoldedCharacter(b, j, shiftJis);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

bool IsPicture(const CImage& image)
{
    return image.IsValid() && image.GetWidth() > 0 && image.GetHeight() > 0;
}

// The picture behind a file's thumbnail, by the cheapest way the file offers.
bool LoadThumbnailPicture(const std::string& path, CImage& picture)
{
    const std::string ending = LowerEnding(path);
    if (ending == ".eff" && picture.LoadEffThumbnail(path) == 0 && IsPicture(picture))
        return true;
    if (ending == ".jpg" && picture.LoadExifThumbnail(path) == 0 && IsPicture(picture))
        return true;
    // The scaled reader drops a bitmap's fourth byte, which is where our
    // 32-bit bitmaps keep their mask; this reader takes only those.
    if (ending == ".bmp" && picture.LoadBmpWithMask(path) == 0 && IsPicture(picture))
        return true;
    // The readers above restart this thread's flag, so a stop asked during
    // them is seen here and the costly read is skipped.
    if (!CanContinue())
        return false;
    SIZE size{};
    double scale = 1.0;
    return picture.LoadFileScaled(path, CImageListCtrl::kThumbnailSize, CImageListCtrl::kThumbnailSize, &size,
                                  &scale, 0xFFFFFF, 1, nullptr) == 0 &&
           IsPicture(picture);
}

} // namespace

bool IsListedImageName(std::string_view name)
{
    const std::string ending = LowerEnding(name);
    return ending == ".jpg" || ending == ".bmp" || ending == ".tif" || ending == ".eff";
}

int CompareFileNamesNoCase(const std::string& a, const std::string& b)
{
    const auto sjisA = Utf8ToShiftJis(a);
    const auto sjisB = Utf8ToShiftJis(b);
    if (sjisA && sjisB)
        return CompareFolded(*sjisA, *sjisB, true);
    return CompareFolded(a, b, false);
}

std::vector<std::string> ListImageFileNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code kindError;
        if (it->is_directory(kindError))
            continue;
        std::string name = it->path().filename().string();
        if (IsListedImageName(name))
            names.push_back(std::move(name));
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return CompareFileNamesNoCase(a, b) < 0;
    });
    return names;
}

QImage MakeThumbnail(const std::string& path)
{
    if (path.empty() || !IsListedImageName(path))
        return {};
    try {
        constexpr int size = CImageListCtrl::kThumbnailSize;
        CImage canvas;
        CImage picture;
        if (!canvas.Create(size, size) || !LoadThumbnailPicture(path, picture))
            return {};
        const int width = picture.GetWidth();
        const int height = picture.GetHeight();
        const Rect fit = FitRectInRect(Rect{0, 0, size, size}, Rect{0, 0, width, height}, true, false);
        if (fit.IsEmpty())
            return {};
        const int drawn = picture.HasMask()
                              ? picture.DrawMaskedRect(&canvas, fit.left, fit.top, fit.Width(), fit.Height(),
                                                       0, 0, width, height)
                              : picture.StretchBltTo(&canvas, fit.left, fit.top, fit.Width(), fit.Height(), 0,
                                                     0, width, height, SRCCOPY);
        if (!drawn || !canvas.GetDC())
            return {};
        return canvas.GetDC()->ToQImage(0, 0, size, size);
    } catch (...) {
        // A damaged file or short memory: the item simply gets no picture.
        return {};
    }
}

CImageListCtrl::CImageListCtrl(QWidget* parent)
    : QListWidget(parent), m_worker(MakeWorker([](const std::string& path) { return MakeThumbnail(path); }))
{
}

CImageListCtrl::~CImageListCtrl()
{
    // The worker goes first: its results name items of this list.
    m_worker.reset();
}

std::unique_ptr<CThumbnailWorker> CImageListCtrl::MakeWorker(CThumbnailWorker::Loader maker)
{
    return std::make_unique<CThumbnailWorker>(
        std::move(maker), [this](const ThumbnailResult& result) { OnThumbnail(result); }, &m_feedback);
}

void CImageListCtrl::SetThumbnailMaker(CThumbnailWorker::Loader maker)
{
    m_worker = MakeWorker(std::move(maker));
}

QSize CImageListCtrl::CellSize() const
{
    return QSize(kCellWidth, kThumbnailSize + kCellTextLines * fontMetrics().height() + 8);
}

void CImageListCtrl::Init()
{
    setViewMode(QListView::IconMode);
    setIconSize(QSize(kThumbnailSize, kThumbnailSize));
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(true);
    setUniformItemSizes(true);
    setGridSize(CellSize());
    m_thumbnails.clear();
}

void CImageListCtrl::FillFromFolder()
{
    struct WaitScope
    {
        explicit WaitScope(IWaitFeedback& feedback) : feedback(feedback) { feedback.BeginWait(); }
        ~WaitScope() { feedback.EndWait(); }
        IWaitFeedback& feedback;
    } wait(m_feedback);
    m_worker->Stop();
    ++m_generation;
    m_pending = 0;

    setUpdatesEnabled(false);
    clear();
    m_thumbnails.clear();
    std::vector<ThumbnailJob> jobs;
    if (!m_folder.empty()) {
        const std::string folder = m_folder.back() == '/' ? m_folder : m_folder + '/';
        for (const std::string& name : ListImageFileNames(m_folder)) {
            auto* item = new QListWidgetItem(QString::fromStdString(name), this);
            const std::string path = folder + name;
            // The bytes as the file system gave them, whatever their encoding.
            item->setData(kPathRole, QByteArray::fromStdString(path));
            item->setData(kImageRole, -1);
            item->setToolTip(QString::fromStdString(name));
            // Items start without a picture; the cell must already fit one.
            item->setSizeHint(CellSize());
            jobs.push_back(ThumbnailJob{m_generation, count() - 1, path});
        }
    }
    setUpdatesEnabled(true);
    viewport()->update();

    m_pending = static_cast<int>(jobs.size());
    m_worker->Start(std::move(jobs));
    if (m_pending == 0)
        emit ThumbnailsDone();
}

void CImageListCtrl::OnThumbnail(const ThumbnailResult& result)
{
    if (result.generation != m_generation)
        return;
    --m_pending;
    QListWidgetItem* target = item(result.index);
    // The path check keeps a picture from ever landing under another name.
    if (!result.image.isNull() && target &&
        target->data(kPathRole).toByteArray().toStdString() == result.path) {
        m_thumbnails.push_back(result.image);
        target->setData(kImageRole, static_cast<int>(m_thumbnails.size()) - 1);
        target->setIcon(QIcon(QPixmap::fromImage(result.image)));
    }
    if (m_pending == 0)
        emit ThumbnailsDone();
}

std::string CImageListCtrl::GetSelectedFilePath() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    if (selected.isEmpty())
        return {};
    // The first selected item in list order.
    const auto first =
        std::min_element(selected.begin(), selected.end(),
                         [this](QListWidgetItem* a, QListWidgetItem* b) { return row(a) < row(b); });
    return (*first)->data(kPathRole).toByteArray().toStdString();
}

std::string CImageListCtrl::GetItemPath(int index) const
{
    const QListWidgetItem* target = item(index);
    return target ? target->data(kPathRole).toByteArray().toStdString() : std::string();
}

int CImageListCtrl::GetItemImage(int index) const
{
    const QListWidgetItem* target = item(index);
    return target ? target->data(kImageRole).toInt() : -1;
}

QImage CImageListCtrl::GetThumbnail(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < m_thumbnails.size()
               ? m_thumbnails[static_cast<std::size_t>(index)]
               : QImage();
}
