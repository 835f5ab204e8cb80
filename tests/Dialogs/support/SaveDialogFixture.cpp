#include "Dialogs/support/SaveDialogFixture.h"

#include "Core/Path.h"
#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/InsertImageFrameItem.h"

SaveDialogFixture::SaveDialogFixture(const std::vector<std::string>& uiSettings) : f(uiSettings)
{
    shell.localizeIniPath = f.host.localizeIniPath;
    shell.document = f.document.get();
    shell.appSettings = &f.host.settings;
    shell.services = &services;
    shell.documentsFolder = f.host.documentsFolder;
}

std::vector<int> SaveDialogFixture::ShellMessages() const
{
    std::vector<int> ids;
    for (const auto& [id, type] : shell.messages)
        ids.push_back(id);
    return ids;
}

void SaveDialogFixture::MakePhotoLayout(const std::string& path)
{
    Doc().NewSingleLayout(3, 0, 0);
    Doc().SetDSCLayout(0);
    Doc().SetTitle("title");
    Doc().GetLayoutManager()->AddItem(0, std::make_unique<CBackgroundImageFrameItem>());
    if (!path.empty())
        Doc().SetPathName(path);
}

void SaveDialogFixture::MakeCameraLayout(const std::string& path)
{
    Doc().NewDSCLayout(0);
    Doc().SetDSCLayout(1);
    Doc().SetTitle("title");
    if (Doc().GetLayoutManager()->GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>) == 0)
        Doc().AddCameraInsertFrame();
    if (!path.empty())
        Doc().SetPathName(path);
}

std::vector<std::string> SaveDialogFixture::Saves() const
{
    std::vector<std::string> saves;
    for (const std::string& call : f.kinds.calls)
        if (call.rfind("save", 0) == 0)
            saves.push_back(call);
    return saves;
}
