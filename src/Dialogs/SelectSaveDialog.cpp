#include "Dialogs/SelectSaveDialog.h"

#include "App/AppSettings.h"
#include "App/DocumentUi.h"
#include "App/LayoutFolderServices.h"
#include "App/MessageBoxes.h"
#include "App/SaveChecks.h"
#include "App/ZAVEditorDoc.h"
#include "Core/SystemFolders.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/SCRegistDialog.h"
#include "Dialogs/SaveAsPackagedZAVDialog.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Platform/DialogLayoutTarget.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// Ends the modal loop so that the chosen target runs with the dialog closed.
constexpr int kClosedForTarget = 100;

bool EndsWith(const std::string& path, const char* extension)
{
    return path.size() >= 4 && EndsWithNoCase(path, extension);
}

} // namespace

int CSaveDialogRunner::RunPackagedSave(QWidget* parent)
{
    CSaveAsPackagedZAVDialog dialog(m_shell, parent);
    return dialog.DoModal();
}

int CSaveDialogRunner::RunRegist(int mode, QWidget* parent)
{
    CSCRegistDialog dialog(m_shell, mode, parent);
    return dialog.DoModal();
}

std::vector<int> SaveFormatEntries(const SaveFormatFacts& facts)
{
    const std::string& path = facts.path;
    const bool visible = facts.visibleItems > 0;
    std::vector<int> entries;
    if (facts.mode == 1) {
        const bool own = EndsWith(path, ".zvd") ||
                         ((EndsWith(path, ".usd") || EndsWith(path, ".fdp")) && visible) ||
                         (EndsWith(path, ".usm") && (facts.hasInsertFrame || visible));
        if (own && !(IsWin2000OrLater() && facts.inCommonFolder))
            entries.push_back(214);
    }
    entries.push_back(215);
    const bool savable = visible || (facts.camera && facts.hasInsertFrame);
    if (savable)
        entries.push_back(216);
    if (facts.camera && (facts.hasInsertFrame || visible) && facts.editableFrameType != 2)
        entries.push_back(218);
    if (savable) {
        if (facts.editableFrameType != 1)
            entries.push_back(217);
        entries.push_back(219);
    }
    return entries;
}

int SaveFormatDescription(int entry, bool camera)
{
    switch (entry) {
    case 214:
        return 220;
    case 215:
        return 221;
    case 216:
        return camera ? 248 : 222;
    case 217:
        return camera ? 249 : 223;
    case 218:
        return 224;
    case 219:
        return camera ? 251 : 225;
    default:
        return -1;
    }
}

CSelectSaveDialog::CSelectSaveDialog(IDialogShell& shell, int mode, QWidget* parent,
                                     ISaveDialogRunner* runner)
    : QDialog(parent), m_shell(shell), m_mode(mode > 1 || mode < 0 ? 0 : mode),
      m_runner(runner ? runner : &m_ownRunner), m_ownRunner(shell)
{
    setObjectName(QStringLiteral("SelectSaveDialog"));
    SetControlId(new QLabel(this), 2001);
    SetControlId(new QLabel(this), 2060);
    m_combo = new QComboBox(this);
    SetControlId(m_combo, 1528);
    m_description = new QPlainTextEdit(this);
    m_description->setReadOnly(true);
    SetControlId(m_description, 1527);
    m_yes = new QPushButton(this);
    m_yes->setDefault(true);
    SetControlId(m_yes, kYesId);
    m_no = new QPushButton(this);
    m_no->setAutoDefault(false);
    SetControlId(m_no, kNoId);
    m_cancel = new QPushButton(this);
    m_cancel->setAutoDefault(false);
    SetControlId(m_cancel, kCancelId);
    connect(m_combo, &QComboBox::currentIndexChanged, this, [this] { UpdateDescription(); });
    connect(m_yes, &QPushButton::clicked, this, [this] { OnSaveYes(); });
    connect(m_no, &QPushButton::clicked, this, [this] { done(kSaveDialogNoSave); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(kSaveDialogCancel); });
    OnInitDialog();
}

CSelectSaveDialog::~CSelectSaveDialog() = default;

void CSelectSaveDialog::OnInitDialog()
{
    LocalizeDialog(this, m_mode == 0 ? 509 : 519, m_shell);
    if (m_mode == 0)
        m_no->hide();

    SaveFormatFacts facts;
    facts.mode = m_mode;
    facts.editableFrameType = m_shell.Settings().GetEditableFrameType();
    if (CZAVEditorDoc* document = m_shell.GetActiveEditorDoc()) {
        facts.path = document->GetPathName();
        facts.camera = document->IsDSCLayout();
        if (CLayoutManager* layout = document->GetLayoutManager()) {
            facts.visibleItems = layout->GetItemCount(-1, 1, nullptr);
            facts.hasInsertFrame = layout->GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>) > 0;
        }
    }
    if (ILayoutFolderServices* services = m_shell.FolderServices(); services && !facts.path.empty())
        facts.inCommonFolder = services->IsInCommonUDLFolder(facts.path) != 0;
    for (const int entry : SaveFormatEntries(facts))
        m_combo->addItem(QString::fromStdString(LocalizedText(m_shell, entry)), entry);
    m_combo->setCurrentIndex(0);
    UpdateDescription();
}

int CSelectSaveDialog::GetSelectedFormat() const
{
    return m_combo->currentIndex() < 0 ? -1 : m_combo->currentData().toInt();
}

std::vector<int> CSelectSaveDialog::Entries() const
{
    std::vector<int> entries;
    for (int i = 0; i < m_combo->count(); ++i)
        entries.push_back(m_combo->itemData(i).toInt());
    return entries;
}

void CSelectSaveDialog::UpdateDescription()
{
    CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
    const int text = SaveFormatDescription(GetSelectedFormat(), document && document->IsDSCLayout());
    if (text >= 0)
        m_description->setPlainText(QString::fromStdString(LocalizedText(m_shell, text)));
}

void CSelectSaveDialog::reject()
{
    done(kSaveDialogCancel);
}

int CSelectSaveDialog::DoModal()
{
    m_closedFor = -1;
    const int shown = exec();
    if (shown == kClosedForTarget)
        return RunAfterClose(m_closedFor);
    return shown == kSaveDialogSaved || shown == kSaveDialogNoSave ? shown : kSaveDialogCancel;
}

void CSelectSaveDialog::OnSaveYes()
{
    const int entry = GetSelectedFormat();
    try {
        CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
        if (!document || entry < 214 || entry > 219) {
            done(kSaveDialogCancel);
            return;
        }
        if (entry == 214) {
            done(SaveInOwnFormat());
            return;
        }
        // The editor's own document (215) is saved whatever its page holds.
        if (entry >= 216 && !document->CheckSavable()) {
            done(kSaveDialogCancel);
            return;
        }
        m_closedFor = entry;
        done(kClosedForTarget);
    } catch (...) {
        m_shell.ShowLocalizedMessage(24, MB_ICONSTOP);
        done(kSaveDialogCancel);
    }
}

int CSelectSaveDialog::SaveInOwnFormat()
{
    CZAVEditorDoc& document = *m_shell.GetActiveEditorDoc();
    const std::string path = document.GetPathName();
    if (EndsWith(path, ".zvd"))
        return document.SaveAs(".zvd", path, false) ? kSaveDialogSaved : kSaveDialogCancel;
    const char* extension = EndsWith(path, ".fdp")   ? ".fdp"
                            : EndsWith(path, ".usd") ? ".usd"
                            : EndsWith(path, ".usm") ? ".usm"
                                                     : nullptr;
    if (!extension)
        return kSaveDialogCancel;
    if (!document.CheckSavable())
        return kSaveDialogCancel;
    if (document.CheckSaveDestination(extension, path, 1) != SaveDestinationOk)
        return kSaveDialogCancel;
    return document.OnSaveDocument(path) ? kSaveDialogSaved : kSaveDialogCancel;
}

int CSelectSaveDialog::RunAfterClose(int entry)
{
    try {
        CZAVEditorDoc* document = m_shell.GetActiveEditorDoc();
        if (!document)
            return kSaveDialogCancel;
        QWidget* owner = parentWidget();
        int end = 2;
        switch (entry) {
        case 215:
            return document->SaveAs(".zvd", std::string(), true) ? kSaveDialogSaved : kSaveDialogCancel;
        case 216:
            end = m_runner->RunPackagedSave(owner);
            break;
        case 217:
            end = m_runner->RunRegist(0, owner);
            break;
        case 218:
            end = m_runner->RunRegist(2, owner);
            break;
        case 219:
            end = m_runner->RunRegist(1, owner);
            break;
        default:
            return kSaveDialogCancel;
        }
        // Only a completed write counts as saved: in mode 1 the caller discards the changes.
        return end == 1 ? kSaveDialogSaved : kSaveDialogCancel;
    } catch (...) {
        m_shell.ShowLocalizedMessage(24, MB_ICONSTOP);
        return kSaveDialogCancel;
    }
}

void CSelectSaveDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintLeftBitmap(this, painter, 512);
}
