#include "Dialogs/SCRegistDialog.h"

#include "App/AppSettings.h"
#include "App/LayoutFolderServices.h"
#include "App/MessageBoxes.h"
#include "App/SaveChecks.h"
#include "App/StagedSave.h"
#include "App/ZAVEditorDoc.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Core/SystemFolders.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/SaveNameSupport.h"
#include "Platform/FileSystem.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kMaxCardEntries = 100;
// A camera set adds eight layout scripts to the card.
constexpr int kMaxUsdForCameraSet = 92;

} // namespace

std::string FindPathNoCase(const std::string& path)
{
    std::string found;
    if (!GetLongPath(found, path, false))
        found = path;
    return QFileInfo::exists(QString::fromStdString(found)) ? found : std::string();
}

std::string CardLayoutFolder(const std::string& cardRoot)
{
    const std::string folder = WithTrailingSlash(cardRoot) + "VLUDL/";
    const std::string found = FindPathNoCase(folder);
    return found.empty() || !IsDirectory(found) ? folder : WithTrailingSlash(found);
}

int CountFilesWithExtension(const std::string& folder, const std::string& extension)
{
    const QDir dir(QString::fromStdString(folder));
    int count = 0;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (name.size() > static_cast<int>(extension.size()) && EndsWithNoCase(name.toStdString(), extension))
            ++count;
    return count;
}

CSCRegistDialog::CSCRegistDialog(IDialogShell& shell, int mode, QWidget* parent)
    : CSaveNameDialog(shell, 140, parent), m_mode(mode < 0 || mode > 2 ? 0 : mode)
{
    setObjectName(QStringLiteral("SCRegistDialog"));
    m_driveLabel = AddControl(new QLabel(this), 2061);
    m_drives = AddControl(new QComboBox(this), kDriveComboId);
    AddNameControls(kNameEditId);
    Localize();
}

CSCRegistDialog::~CSCRegistDialog() = default;

bool CSCRegistDialog::CardsSwitchedOff() const
{
    return m_mode != 0 && m_shell.Settings().GetEnableMemoryCardDrive() == 0;
}

int CSCRegistDialog::DoModal()
{
    if (CardsSwitchedOff())
        return -1;
    return RunModal();
}

void CSCRegistDialog::OnInitDialog()
{
    if (m_mode == 0) {
        m_drives->hide();
        m_driveLabel->hide();
    } else {
        m_cardRoots = m_shell.GetMemoryCardRoots();
        for (const std::string& root : m_cardRoots)
            m_drives->addItem(QString::fromStdString(root));
        m_drives->setCurrentIndex(m_cardRoots.empty() ? -1 : 0);
    }
    const LayoutNameProposal proposal = ProposeName(m_shell.GetDocumentsFolder());
    OnNameChange();
    if (proposal.name.empty())
        OkButton()->setEnabled(false);
}

bool CSCRegistDialog::HasTarget() const
{
    return m_mode == 0 || !m_cardRoots.empty();
}

void CSCRegistDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintLeftBitmap(this, painter, m_mode == 0 ? 503 : m_mode == 1 ? 504 : 525);
}

void CSCRegistDialog::accept()
{
    // Failures of the document or the file system end the registration here
    // rather than escaping through the event loop.
    try {
        Register();
    } catch (...) {
        m_shell.ShowLocalizedMessage(24, MB_ICONSTOP);
        End(2);
    }
}

void CSCRegistDialog::Register()
{
    ILayoutFolderServices* services = m_shell.FolderServices();
    if (!services)
        throw 1;
    // 1. The printing application reads the shared folder while it runs.
    if (m_mode == 0) {
        std::string app;
        if (services->GetSiblingAppPath(app) && !app.empty() && services->IsSiblingAppRunning()) {
            m_shell.ShowLocalizedMessage(195, MB_ICONSTOP);
            return;
        }
    }
    // 2. The target.
    CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
    if (!document)
        throw 1;
    const std::string name = m_name->text().toStdString();
    std::string cardRoot;
    std::string folder;
    if (m_mode == 0) {
        std::string shared;
        if (!services->GetUDLFolder(shared) || shared.empty()) {
            m_shell.ShowLocalizedMessage(24, MB_ICONSTOP);
            return;
        }
        folder = WithTrailingSlash(shared);
    } else {
        const int index = m_drives->currentIndex();
        if (index < 0 || index >= static_cast<int>(m_cardRoots.size()))
            return;
        cardRoot = m_cardRoots[static_cast<std::size_t>(index)];
        folder = CardLayoutFolder(cardRoot);
    }
    const std::string stem = folder + (m_camera ? name + "_0" : name);
    const std::string target = stem + (m_camera ? ".usm" : ".usd");

    // 3. Free places on the card.
    if (m_mode == 1) {
        const int scripts = CountFilesWithExtension(folder, ".usd");
        if (scripts >= kMaxCardEntries || (m_camera && scripts > kMaxUsdForCameraSet)) {
            m_shell.ShowLocalizedMessage(176, MB_ICONSTOP);
            return;
        }
    } else if (m_mode == 2 && m_camera && CountFilesWithExtension(folder, ".usm") >= kMaxCardEntries) {
        m_shell.ShowLocalizedMessage(176, MB_ICONSTOP);
        return;
    }
    // 4. The names the card's cameras use; only a card has them.
    if (m_camera && m_mode != 0) {
        std::vector<std::string> used;
        document->CollectUstLayoutNames(cardRoot, used);
        if (std::find(used.begin(), used.end(), AsciiLower(target)) != used.end()) {
            RefuseName(262);
            return;
        }
    }
    // 5. A script that a set index of the folder owns.
    if (!m_camera && m_mode != 2) {
        const std::string existing = FindPathNoCase(target);
        if (services->IsNamedByUsmInFolder(existing.empty() ? target : existing)) {
            RefuseName(265);
            return;
        }
    }
    // 6. and 7. The name rules.
    if (m_camera && m_name->text().size() != 6) {
        RefuseName(243);
        return;
    }
    if (!PassesNameRules(*services, m_camera ? name + "_0" : name))
        return;
    // A shared folder or card mounted deep enough leaves no room for the
    // layout's path, as a chosen folder would not.
    if (IsSavedPathTooLong(target)) {
        RefuseName(21);
        return;
    }
    // 8. Files the registration would replace or that stand in its way.
    const std::vector<std::string> variants =
        m_camera ? CameraVariantScriptPaths(GetFolderFromPath(target), name) : std::vector<std::string>();
    std::string writeTo = FindPathNoCase(target);
    if (!writeTo.empty()) {
        if (!MayReplace(writeTo, 196))
            return;
    } else {
        writeTo = target;
        if (!FindPathNoCase(stem).empty()) {
            RefuseName(12);
            return;
        }
        for (const std::string& variant : variants)
            if (!FindPathNoCase(variant).empty()) {
                RefuseName(12);
                return;
            }
    }
    // 9. Read-only files, and a companion folder the save could not clear away.
    const std::string companion = FindPathNoCase(stem);
    bool readOnly = IsReadOnlyFile(writeTo) || (!companion.empty() && IsDirectory(companion) &&
                                                !FolderTreeMayBeRemoved(FollowSymbolicLinks(companion)));
    for (const std::string& variant : variants) {
        const std::string found = FindPathNoCase(variant);
        readOnly = readOnly || (!found.empty() && IsReadOnlyFile(found));
    }
    if (readOnly) {
        RefuseName(198);
        return;
    }
    // 10. The write; a card's layout folder is made when missing.
    if (m_mode != 0 && !IsDirectory(folder))
        CreateFolderPath(folder);
    bool written = false;
    {
        const ShellWaitCursor wait(m_shell);
        written = document->OnSaveDocument(writeTo);
    }
    // The document has reported a failed write itself.
    End(written ? 1 : 2);
}
