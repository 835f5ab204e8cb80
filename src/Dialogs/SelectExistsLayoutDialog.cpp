#include "Dialogs/SelectExistsLayoutDialog.h"

#include "App/AppSettings.h"
#include "App/MessageBoxes.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/TempFolders.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/ExistingLayoutEntry.h"
#include "Dialogs/ExistingLayoutSources.h"
#include "Dialogs/LayoutList.h"
#include "Dialogs/LayoutListEntry.h"
#include "Dialogs/UDLOpenFileDialog.h"
#include "Platform/DialogLayoutTarget.h"
#include "Platform/WaitFeedback.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The list's thumbnails take a picture and a mask: black shown, white transparent.
QImage MaskOfAlpha(const QImage& picture)
{
    QImage mask(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            out[x] = qAlpha(in[x]) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }
    return mask;
}

// Browse: the open dialog with the layout preview.
std::optional<std::string> BrowseForLayout(IDialogShell& shell, QWidget* parent)
{
    CUDLOpenFileDialog dialog(shell, parent);
    if (dialog.DoModal() != 1)
        return std::nullopt;
    return dialog.GetPathName();
}

} // namespace

CSelectExistsLayoutDialog::CSelectExistsLayoutDialog(IDialogShell& shell, CThumbnailWorker::Loader loader)
    : CWizardDialog(shell, 133, 30, 408), m_waitFeedback(std::make_unique<CQtWaitFeedback>()),
      m_worker(
          loader ? std::move(loader) : CThumbnailWorker::Loader(&MakeLayoutThumbnail),
          [this](const ThumbnailResult& result) { OnThumbnailReady(result); }, m_waitFeedback.get())
{
    m_list = new CLayoutList(shell, this);
    SetControlId(m_list, 1301);
    m_recent = new QRadioButton(this);
    m_registered = new QRadioButton(this);
    m_card = new QRadioButton(this);
    SetControlId(m_recent, 1091);
    SetControlId(m_registered, 1090);
    SetControlId(m_card, 1092);
    auto* group = new QButtonGroup(this);
    group->addButton(m_recent, kRecentSource);
    group->addButton(m_registered, kRegisteredSource);
    group->addButton(m_card, kCardSource);
    m_drives = new QComboBox(this);
    SetControlId(m_drives, 1525);
    m_hint = new QLabel(this);
    m_hint->setWordWrap(true);
    SetControlId(m_hint, 2080);
    m_browse = new QPushButton(this);
    SetControlId(m_browse, 1200);

    connect(group, &QButtonGroup::idClicked, this, [this](int) { FillLayoutList(); });
    connect(m_drives, &QComboBox::activated, this, [this](int) { FillLayoutList(); });
    connect(m_browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { OpenSelected(); });
    connect(m_list, &CLayoutList::SelectionChanged, this, [this](int) { emit completeChanged(); });
}

CSelectExistsLayoutDialog::~CSelectExistsLayoutDialog()
{
    m_worker.Stop();
    // The list goes with the page's children, after the entries it points at.
    m_list->SetImageList(nullptr);
    m_list->ResetContent();
    RemoveListFolder();
}

std::string CSelectExistsLayoutDialog::ListThumbnailFolder()
{
    return CombinePath(GetTempPackageFolder(), "List");
}

void CSelectExistsLayoutDialog::initializePage()
{
    m_driveRoots = m_shell.GetMemoryCardRoots();
    m_drives->clear();
    for (const std::string& root : m_driveRoots)
        m_drives->addItem(QString::fromStdString(root));
    (m_source == kCardSource         ? m_card
     : m_source == kRegisteredSource ? m_registered
                                     : m_recent)
        ->setChecked(true);
    m_drives->setCurrentIndex(m_driveRoots.empty() ? -1 : m_driveSelection);
    m_list->SetImageList(&m_thumbnails);
    if (m_shell.Settings().GetEditableFrameType() == 1)
        m_registered->hide();
    // A wizard that closes stops the worker and removes its files, even
    // before the page itself goes.
    if (QWizard* sheet = wizard())
        connect(sheet, &QDialog::finished, this, [this] {
            m_worker.Stop();
            RemoveListFolder();
        });
    FillLayoutList();
}

void CSelectExistsLayoutDialog::OnSetActive()
{
    CWizardDialog::OnSetActive();
    if (m_shell.Settings().GetEditableFrameType() == 1) {
        // The recent choice takes half the place of the hidden registered one.
        const int half = (m_registered->y() - m_recent->y()) / 2;
        m_recent->move(m_recent->x(), m_recent->y() + half);
    }
    emit completeChanged();
}

bool CSelectExistsLayoutDialog::isComplete() const
{
    return m_list->GetCount() > 0 && m_list->GetCurSel() >= 0;
}

bool CSelectExistsLayoutDialog::validatePage()
{
    if (m_ending)
        return true;
    // The page ends the wizard itself once it opened the file.
    OpenSelected();
    return false;
}

std::vector<std::string> CSelectExistsLayoutDialog::CollectSource()
{
    switch (m_source) {
    case kRecentSource:
        return CollectRecentLayouts(m_shell);
    case kRegisteredSource:
        return CollectRegisteredLayouts(m_shell);
    case kCardSource:
        if (m_driveSelection >= 0 && static_cast<std::size_t>(m_driveSelection) < m_driveRoots.size())
            return CollectCardLayouts(m_shell, m_driveRoots[static_cast<std::size_t>(m_driveSelection)]);
        return {};
    default:
        return {};
    }
}

void CSelectExistsLayoutDialog::RemoveListFolder()
{
    const std::string folder = ListThumbnailFolder();
    const QFileInfo info(QString::fromStdString(folder));
    if (info.isDir() && !info.isSymLink())
        DeleteFolderTree(folder);
    else if (info.exists() || info.isSymLink())
        QFile::remove(QString::fromStdString(folder));
}

void CSelectExistsLayoutDialog::FillLayoutList()
{
    m_waitFeedback->BeginWait();
    const int previousSource = m_source;
    m_source = m_card->isChecked()         ? kCardSource
               : m_registered->isChecked() ? kRegisteredSource
                                           : kRecentSource;
    m_driveSelection = m_drives->currentIndex();
    std::string remembered;
    const bool sameSource = previousSource == m_source;
    if (sameSource && m_list->GetCurSel() >= 0)
        remembered = m_list->GetText(m_list->GetCurSel());

    // The old filling's worker ends before its entries and files go.
    m_worker.Stop();
    ++m_generation;
    setUpdatesEnabled(false);
    m_list->ResetContent();
    m_thumbnails.RemoveAll();
    m_entries.clear();
    RemoveListFolder();
    const std::string folder = ListThumbnailFolder();
    QDir().mkpath(QString::fromStdString(folder));

    for (const std::string& path : CollectSource()) {
        LayoutListEntry entry;
        const int read = ReadLayoutEntry(m_shell, path, entry, folder);
        // Recent files are listed even when their header cannot be read.
        if (!read && m_source != kRecentSource)
            continue;
        m_entries.push_back(std::move(entry));
        m_list->AddString(path, &m_entries.back());
    }
    if (m_source != kRecentSource) {
        m_list->SortItems(CLayoutList::kSortTitle, true);
        m_list->SortItems(CLayoutList::kSortPaperOrder, true);
    }

    m_hint->setEnabled(m_source == kRecentSource);
    m_browse->setEnabled(m_source == kRecentSource);
    m_drives->setEnabled(m_source == kCardSource);

    int selection = m_list->GetCount() > 0 ? 0 : -1;
    if (sameSource && !remembered.empty()) {
        const QString wanted = QString::fromStdString(remembered);
        for (int i = 0; i < m_list->GetCount(); ++i)
            if (QString::fromStdString(m_list->GetText(i)).compare(wanted, Qt::CaseInsensitive) == 0) {
                selection = i;
                break;
            }
    }
    m_list->SetCurSel(selection);
    setUpdatesEnabled(true);
    emit completeChanged();
    update();

    std::vector<ThumbnailJob> jobs;
    for (int i = 0; i < m_list->GetCount(); ++i)
        if (const LayoutListEntry* entry = m_list->GetItemData(i); entry && !entry->thumbnailPath.empty())
            jobs.push_back(ThumbnailJob{m_generation, i, entry->thumbnailPath});
    m_jobCount = static_cast<int>(jobs.size());
    m_resultsSeen = 0;
    if (jobs.empty())
        RemoveListFolder();
    else
        m_worker.Start(std::move(jobs));
    m_waitFeedback->EndWait();
}

void CSelectExistsLayoutDialog::OnThumbnailReady(const ThumbnailResult& result)
{
    // A picture of another filling, or for a row that no longer is its
    // entry, is never shown.
    if (result.generation != m_generation)
        return;
    ++m_resultsSeen;
    LayoutListEntry* entry = m_list->GetItemData(result.index);
    if (entry && entry->thumbnailPath == result.path && !result.image.isNull()) {
        entry->imageIndex = m_thumbnails.Add(result.image, MaskOfAlpha(result.image));
        m_list->RedrawRow(result.index);
    }
    if (m_resultsSeen == m_jobCount)
        RemoveListFolder();
}

void CSelectExistsLayoutDialog::OpenSelected()
{
    const int selection = m_list->GetCurSel();
    if (selection < 0)
        return;
    OpenLayout(m_list->GetText(selection));
}

void CSelectExistsLayoutDialog::OpenLayout(const std::string& path)
{
    if (m_shell.IsInSiblingConfigUDLFolder(path)) {
        m_shell.ShowLocalizedMessage(140, MB_ICONSTOP);
        return;
    }
    // A failed open leaves the layout the wizard started from (the program
    // puts a kept layout back): it stays as modified as it was, so changes
    // made before are still asked about.
    const bool wasModified = m_shell.IsDocumentModified();
    if (path.empty())
        m_shell.ShowLocalizedMessage(150, MB_ICONSTOP);
    else if (!m_shell.OnOpenDocument(path))
        m_shell.SetModifiedFlag(wasModified ? 1 : 0);
    // The sheet's end validates the page once more: that pass lets it close.
    if (QDialog* sheet = wizard()) {
        m_ending = true;
        sheet->done(QDialog::Accepted);
        m_ending = false;
    }
}

void CSelectExistsLayoutDialog::OnBrowse()
{
    const std::optional<std::string> path =
        m_chooseFile ? m_chooseFile(this) : BrowseForLayout(m_shell, this);
    if (path)
        OpenLayout(*path);
}
