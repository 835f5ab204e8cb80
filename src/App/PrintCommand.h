// Print: the layout goes to the photo-printing application, which prints it.
// The page is checked, the hand-over files are written and the application is
// started with the hand-off file; input that arrives meanwhile is dropped.
#pragma once

#include "App/CommandRouter.h"
#include "App/MainMenu.h"

#include <functional>
#include <string>

class CLayoutManager;
class CZAVEditorDoc;
class IAppUi;
class ILayoutFolderServices;
class IProgramLauncher;
class QWidget;

// What Print hands over, in the user's temporary folder: the layout script,
// its companion folder, the placeholder photo and the hand-off file. Empty
// paths when there is no temporary folder.
struct TempPrintFiles
{
    std::string layout;
    std::string companion;
    std::string photo;
    std::string handOff;
};
TempPrintFiles TempPrintFilePaths();
// Removes them: only while no photo-printing application can be reading them.
void RemoveTempPrintFiles();

// 0 when the page can be printed, else the text that says why not: 165 too
// many items on one printing line, 8 a text too small or too large, 9 nothing
// but empty photo frames.
int PrintRefusal(const CLayoutManager& layout);
// The Print menu item's state: something to print (on a camera layout a photo
// frame and a chosen paper), the application installed, not running and of
// version 3.2 or later.
bool IsPrintEnabled(CZAVEditorDoc& document, ILayoutFolderServices& services);
// Handles every event that waits, dropping key and mouse input.
void ProcessWaitingEventsWithoutInput();

class PrintCommand : public ICommandTarget
{
public:
    // Writes the hand-over files; 1 with the hand-off file's path, 0 failed.
    using TempFileWriter = std::function<int(std::string& udoPath)>;

    PrintCommand(CZAVEditorDoc& document, ILayoutFolderServices& services, IAppUi& ui,
                 IProgramLauncher& launcher);

    // The view, owner of the wait notice.
    void SetOwner(QWidget* owner) { m_owner = owner; }
    // Tests replace the document's writer; null restores it.
    void SetTempFileWriter(TempFileWriter writer) { m_writer = std::move(writer); }

    void OnFilePrint();

    // ICommandTarget
    bool HandlesCommand(int id) const override { return id == ID_FILE_PRINT; }
    bool IsCommandEnabled(int id) const override;
    void OnCommand(int id) override;

private:
    CZAVEditorDoc& m_document;
    ILayoutFolderServices& m_services;
    IAppUi& m_ui;
    IProgramLauncher& m_launcher;
    QWidget* m_owner = nullptr;
    TempFileWriter m_writer;
};
