#include "Core/FolderBrowser.h"

#include "Core/LocalizeScript.h"
#include "Core/SystemFolders.h"

std::string BrowseForFolder(IFolderChooser& chooser, const std::string& localizeIniPath,
                            const std::string& initialFolder)
{
    std::string start = initialFolder;
    if (start.empty()) {
        start = GetMyDocumentsFolder();
        if (start.size() > 1 && start.back() == '/')
            start.pop_back();
    }
    std::string title;
    CLocalizeScript(localizeIniPath).GetCaption(232, title);
    return chooser.ChooseFolder(title, start).value_or(start);
}
