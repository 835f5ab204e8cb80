#include "Dialogs/SaveNameSupport.h"

#include "App/LayoutFolderServices.h"
#include "App/MessageBoxes.h"
#include "App/SaveChecks.h"
#include "App/ZAVEditorDoc.h"
#include "Core/Path.h"
#include "Dialogs/DialogShell.h"
#include "Dialogs/DialogSupport.h"

LayoutNameProposal ProposeLayoutName(ILayoutFolderServices& services, const std::string& path, bool camera,
                                     const std::string& documentsFolder)
{
    LayoutNameProposal proposal;
    if (path.empty())
        return proposal;
    if (IsInAnyLayoutFolder(services, path))
        proposal.folder = WithoutTrailingSlash(documentsFolder);
    else
        proposal.folder = GetFolderFromPath(path);
    const std::string stem = GetFileNameFromPath(path, false);
    if (camera) {
        if ((EndsWithNoCase(path, ".usm") || EndsWithNoCase(path, ".fdp")) &&
            services.CheckNumberedLayoutFileName(stem) == 0)
            proposal.name = QString::fromStdString(stem).left(6).toStdString();
    } else if ((EndsWithNoCase(path, ".usd") || EndsWithNoCase(path, ".fdp")) &&
               services.CheckLayoutFileName(stem) == 0) {
        proposal.name = stem;
    }
    return proposal;
}

int MaxLayoutNameLength(bool camera)
{
    return camera ? 6 : 8;
}

bool IsLayoutNameComplete(const QString& name, bool camera)
{
    return camera ? name.size() == 6 : !name.isEmpty();
}

void ShowLayoutNameRefusal(IDialogShell& shell, int rule, const std::string& checkedName)
{
    if (rule > 0)
        shell.ShowLocalizedMessage(13, MB_ICONSTOP);
    else if (rule == -1)
        shell.ShowLocalizedMessage(244, MB_ICONSTOP);
    else if (rule == -2)
        shell.ShowMessageText(FormatCharMessage(LocalizedText(shell, 207), EighthCharacter(checkedName)),
                              MB_ICONSTOP);
}

std::string WithoutTrailingSlash(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string WithTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string DocumentPath(IDialogShell& shell)
{
    CZAVEditorDoc* document = shell.GetActiveEditorDoc();
    return document ? document->GetPathName() : std::string();
}

bool IsCameraDocument(IDialogShell& shell)
{
    CZAVEditorDoc* document = shell.GetActiveEditorDoc();
    return document && document->IsDSCLayout();
}

ShellWaitCursor::ShellWaitCursor(IDialogShell& shell) : m_shell(shell)
{
    m_shell.SetWaitCursor(true);
}

ShellWaitCursor::~ShellWaitCursor()
{
    m_shell.SetWaitCursor(false);
}
