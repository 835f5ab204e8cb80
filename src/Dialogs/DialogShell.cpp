#include "Dialogs/DialogShell.h"

#include "App/LayoutFolderServices.h"
#include "App/MainFrame.h"
#include "App/MessageBoxes.h"
#include "App/UsmFileNames.h"
#include "App/ZAVEditorApp.h"
#include "App/ZAVEditorDoc.h"
#include "App/ZAVEditorView.h"

#include "Core/Files.h"
#include "Core/LocalizeScript.h"
#include "Core/SystemFolders.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/MessageAnswers.h"
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMessageBox>

#include <QApplication>
#include <QFileDialog>

#include <cassert>
#include <cstdint>

CLayoutManager* IDialogShell::GetLayoutManager()
{
    CZAVEditorDoc* document = GetActiveEditorDoc();
    return document ? document->GetLayoutManager() : nullptr;
}

AppSettings& AppDialogShell::Settings()
{
    assert(m_app);
    return m_app->Settings();
}

std::string AppDialogShell::GetLocalizeIniPath()
{
    return m_app ? m_app->GetLocalizeIniPath() : std::string();
}

QFont AppDialogShell::GetUIFont()
{
    return m_app ? m_app->GetUIFont() : QFont();
}

CZAVEditorDoc* AppDialogShell::GetActiveEditorDoc()
{
    return m_app ? m_app->GetDocument() : nullptr;
}

QWidget* AppDialogShell::MainWindow()
{
    return m_app ? m_app->MainWindow() : nullptr;
}

void AppDialogShell::ReportErrorCode(int errorId)
{
    ::ReportErrorCode(errorId);
}

void AppDialogShell::ShowLocalizedMessage(int textId, unsigned type)
{
    ::ShowLocalizedMessage(textId, type);
}

// --- The tool box and the paper-mode bar ---

void AppDialogShell::RouteCommand(int id)
{
    if (m_app)
        m_app->Router().Route(id);
}

void AppDialogShell::ForwardKeyToView(const QKeyEvent& event)
{
    CMainFrame* frame = m_app ? m_app->GetMainFrame() : nullptr;
    if (!frame)
        return;
    frame->activateWindow();
    if (QWidget* view = frame->centralWidget())
        QCoreApplication::postEvent(view,
                                    new QKeyEvent(event.type(), event.key(), event.modifiers(), event.text(),
                                                  event.isAutoRepeat(), static_cast<quint16>(event.count())));
}

int AppDialogShell::SendLayoutRedraw(int kind, CLayoutItem* item)
{
    CZAVEditorView* view = m_app ? m_app->GetView() : nullptr;
    return view ? view->OnLayoutRedraw(kind, reinterpret_cast<std::intptr_t>(item)) : 0;
}

void AppDialogShell::SendLayoutChanged(int kind, int lParam)
{
    if (ILayoutView* view = m_app ? m_app->GetActiveEditorView() : nullptr)
        view->SendLayoutChanged(kind, lParam);
}

void AppDialogShell::ShowMessageText(const std::string& text, unsigned type)
{
    std::string caption;
    CLocalizeScript(GetLocalizeIniPath()).GetCaption(161, caption);
    QWidget* main = MainWindow();
    QWidget* owner =
        main ? MessageBoxOwner(main, QApplication::activeWindow()) : QApplication::activeWindow();
    ShowMessage(owner, QString::fromStdString(text), QString::fromStdString(caption), type);
}

std::optional<std::string> AppDialogShell::ChooseOpenFile(QWidget* parent, const std::string& filterName,
                                                          const std::string& patterns)
{
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, true);
    // The file system's case must not hide "PHOTO.JPG": the patterns spell both cases.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(QString::fromStdString(filterName + " (" + CaseBlindWildcards(patterns) + ")"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

bool IDialogShell::NewSingleLayout(int paperSize, int direction, int margin)
{
    CZAVEditorDoc* document = GetActiveEditorDoc();
    return document && document->NewSingleLayout(paperSize, direction, margin);
}

bool IDialogShell::NewDSCLayout(int direction)
{
    CZAVEditorDoc* document = GetActiveEditorDoc();
    return document && document->NewDSCLayout(direction);
}

void IDialogShell::SetDSCLayout(int value)
{
    if (CZAVEditorDoc* document = GetActiveEditorDoc())
        document->SetDSCLayout(value);
}

void AppDialogShell::InitialFrameUpdate()
{
    if (!m_app || !m_app->GetDocument())
        return;
    m_app->RefreshView(true);
    m_app->UpdateFrameTitle();
}

// --- Save as and register ---

std::string IDialogShell::GetDocumentsFolder()
{
    return GetMyDocumentsFolder();
}

int IDialogShell::AskLocalizedMessage(int textId, unsigned type)
{
    const CLocalizeScript script(GetLocalizeIniPath());
    std::string caption, text;
    script.GetCaption(161, caption);
    script.GetCaption(textId, text);
    QWidget* main = MainWindow();
    QWidget* owner =
        main ? MessageBoxOwner(main, QApplication::activeWindow()) : QApplication::activeWindow();
    const bool yesNo = (type & 0x0F) == MB_YESNO;
    QMessageBox box(owner);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    const unsigned icon = type & 0xF0;
    box.setIcon(icon == MB_ICONSTOP          ? QMessageBox::Critical
                : icon == MB_ICONWARNING     ? QMessageBox::Warning
                : icon == MB_ICONINFORMATION ? QMessageBox::Information
                                             : QMessageBox::NoIcon);
    if (!yesNo) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return kAnswerOk;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton((type & MB_DEFBUTTON2) ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
}

bool IDialogShell::CheckTargetAccess(const std::string& path, std::uint32_t mask)
{
    CZAVEditorDoc* document = GetActiveEditorDoc();
    return document && document->CheckTargetAccess(path, mask);
}

void IDialogShell::SetWaitCursor(bool on)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (on)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

ILayoutFolderServices* AppDialogShell::FolderServices()
{
    return m_app ? &m_app->FolderServices() : nullptr;
}

// --- The existing-layout page ---

int IDialogShell::CollectUsmNamedFiles(const std::string& folder, std::vector<std::string>* list)
{
    return ::CollectUsmNamedFiles(folder, list);
}

int IDialogShell::IsNamedByUsmInFolder(const std::string& path)
{
    return ::IsNamedByUsmInFolder(path);
}

int IDialogShell::FindPaperSizeEntry(int code)
{
    CZAVEditorDoc* document = GetActiveEditorDoc();
    return document ? document->FindPaperSizeEntry(code) : -1;
}

bool IDialogShell::OnOpenDocument(const std::string& path)
{
    CZAVEditorDoc* document = GetActiveEditorDoc();
    return document && document->OnOpenDocument(path);
}

bool IDialogShell::IsDocumentModified()
{
    CZAVEditorDoc* document = GetActiveEditorDoc();
    return document && document->IsModified();
}

void IDialogShell::SetModifiedFlag(int modified)
{
    if (CZAVEditorDoc* document = GetActiveEditorDoc())
        document->SetModifiedFlag(modified);
}

bool AppDialogShell::OnOpenDocument(const std::string& path)
{
    return m_app && m_app->OpenKeepingDocument(path);
}

std::vector<std::string> AppDialogShell::GetRecentFileList()
{
    const std::vector<std::string>* list = m_app ? m_app->GetRecentFileList() : nullptr;
    return list ? *list : std::vector<std::string>();
}

int AppDialogShell::RemoveRecentFile(const std::string& path)
{
    return m_app ? m_app->RemoveRecentFile(path) : 0;
}

int AppDialogShell::GetUDLFolder(std::string& folder)
{
    return m_app ? m_app->FolderServices().GetUDLFolder(folder) : 0;
}

int AppDialogShell::GetCommonUDLFolder(std::string& folder)
{
    return m_app ? m_app->FolderServices().GetCommonUDLFolder(folder) : 0;
}

int AppDialogShell::IsInSiblingConfigUDLFolder(const std::string& path)
{
    return m_app ? m_app->FolderServices().IsInSiblingConfigUDLFolder(path) : 0;
}

std::vector<std::string> AppDialogShell::GetMemoryCardRoots()
{
    return m_app ? m_app->GetMemoryCardRoots() : std::vector<std::string>();
}

std::string AppDialogShell::GetDocumentsFolder()
{
    return m_app ? m_app->GetDocumentsFolder() : IDialogShell::GetDocumentsFolder();
}

std::string IDialogShell::GetProgramFolder()
{
    std::string folder;
    return GetModuleFolder(folder) ? folder : std::string();
}
