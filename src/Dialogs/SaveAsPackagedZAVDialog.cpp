#include "Dialogs/SaveAsPackagedZAVDialog.h"

#include "App/LayoutFolderServices.h"
#include "App/MessageBoxes.h"
#include "App/ZAVEditorDoc.h"
#include "Core/Files.h"
#include "Core/FolderBrowser.h"
#include "Core/Path.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/SaveNameSupport.h"
#include "Platform/FolderChooser.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

bool PathExists(const std::string& path)
{
    return QFileInfo::exists(QString::fromStdString(path));
}

// The folder tests answer for a file directly inside a folder.
bool IsLayoutFolder(ILayoutFolderServices& services, const std::string& folder)
{
    const std::string probe = WithTrailingSlash(folder) + "_";
    return IsInAnyLayoutFolder(services, probe);
}

} // namespace

CSaveAsPackagedZAVDialog::CSaveAsPackagedZAVDialog(IDialogShell& shell, QWidget* parent)
    : CSaveNameDialog(shell, 510, parent)
{
    setObjectName(QStringLiteral("SaveAsPackagedZAVDialog"));
    AddControl(new QLabel(this), 2061);
    m_folderArea = AddControl(new QWidget(this), kFolderAreaId);
    m_selectFolder = AddControl(new QPushButton(this), kSelectFolderId);
    m_selectFolder->setAutoDefault(false);
    AddNameControls(kNameEditId);
    connect(m_selectFolder, &QPushButton::clicked, this, [this] {
        try {
            OnSelectFolder();
        } catch (...) {
            m_shell.ShowLocalizedMessage(24, MB_ICONSTOP);
        }
    });
    Localize();
}

CSaveAsPackagedZAVDialog::~CSaveAsPackagedZAVDialog() = default;

void CSaveAsPackagedZAVDialog::OnInitDialog()
{
    const std::string documents = m_shell.GetDocumentsFolder();
    const LayoutNameProposal proposal = ProposeName(documents);
    m_folder = proposal.folder.empty() ? WithoutTrailingSlash(documents) : proposal.folder;
    OkButton()->setEnabled(!proposal.name.empty());
}

QRect CSaveAsPackagedZAVDialog::FolderArea() const
{
    return m_folderArea->geometry();
}

QString CSaveAsPackagedZAVDialog::FolderAreaText() const
{
    const QFontMetrics metrics(m_shell.GetUIFont());
    return metrics.elidedText(QString::fromStdString(m_folder) + QStringLiteral("    "), Qt::ElideMiddle,
                              FolderArea().width());
}

void CSaveAsPackagedZAVDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintLeftBitmap(this, painter, 526);
    painter.setFont(m_shell.GetUIFont());
    painter.drawText(FolderArea(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                     FolderAreaText());
}

void CSaveAsPackagedZAVDialog::OnSelectFolder()
{
    QWidget* owner = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    CQtFolderChooser system(owner);
    IFolderChooser& chooser = m_chooser ? *m_chooser : system;
    const std::string chosen = BrowseForFolder(chooser, m_shell.GetLocalizeIniPath(), m_folder);
    if (chosen.empty())
        return;
    if (ILayoutFolderServices* services = m_shell.FolderServices();
        services && IsLayoutFolder(*services, chosen)) {
        m_shell.ShowLocalizedMessage(167, MB_ICONSTOP);
        return;
    }
    m_folder = WithoutTrailingSlash(chosen);
    update(FolderArea());
}

void CSaveAsPackagedZAVDialog::accept()
{
    try {
        ILayoutFolderServices* services = m_shell.FolderServices();
        CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
        if (!services || !document)
            throw 1;
        std::string name = m_name->text().toStdString();
        if (m_camera)
            name += "_0";
        const std::string path = WithTrailingSlash(m_folder) + name + ".fdp";

        if (!PassesNameRules(*services, name))
            return;
        if (PathExists(path) && !MayReplace(path, 205))
            return;
        if (IsSavedPathTooLong(path)) {
            RefuseName(21);
            return;
        }
        if (IsReadOnlyFile(path)) {
            RefuseName(180);
            return;
        }
        bool written = false;
        {
            const ShellWaitCursor wait(m_shell);
            written = document->OnSaveDocument(path);
        }
        // The document has reported a failed write itself.
        End(written ? 1 : 2);
    } catch (...) {
        m_shell.ShowLocalizedMessage(24, MB_ICONSTOP);
        End(2);
    }
}
