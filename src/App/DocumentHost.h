// What the document asks of the application around it: the settings, the
// localisation file, the user's folders, and the main window's bars and view.
// Each window operation does nothing while there is no main window.
#pragma once

#include <string>
#include <vector>

class AppSettings;
class QWidget;

class IDocumentHost
{
public:
    virtual ~IDocumentHost() = default;
    virtual AppSettings& Settings() = 0;
    virtual std::string GetLocalizeIniPath() = 0;
    // Ends in "/".
    virtual std::string GetDocumentsFolder() = 0;
    // The roots of the mounted memory cards, each ending in "/".
    virtual std::vector<std::string> GetMemoryCardRoots() = 0;

    virtual QWidget* MainWindow() = 0;
    virtual void SelectMode(int mode) = 0;
    virtual void ShowModeBar(bool show) = 0;
    virtual void SelectTool(int tool) = 0;
    // The tool box's position read-out and item information.
    virtual void RedrawToolBoxInfo() = 0;
    // The view's zoom and initial update.
    virtual void RefreshView(bool reset) = 0;
    // Drawing of the view and the tool-box frame off while a file loads.
    virtual void SetViewUpdates(bool enabled) = 0;
    virtual void UpdateFrameTitle() = 0;
};
