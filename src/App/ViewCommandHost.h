// What the editing view's commands reach beyond the view and its document:
// the floating bars, the settings, the program's folder, Print, and the modal
// dialogs of the grid, the line width, the roll paper and the environment,
// which the dialog library implements and the program installs.
#pragma once

#include <string>

class AppSettings;
class ICommandTarget;
class IDocumentUi;
class QWidget;
struct GridSettings;

class IViewDialogs
{
public:
    virtual ~IViewDialogs() = default;
    // The four grid values shown; after OK, the values chosen. False when cancelled.
    virtual bool RunGridDialog(GridSettings& grid) = 0;
    // A line width in points shown; after OK, the width chosen.
    virtual bool RunLineDialog(int& points) = 0;
    // The limits as the dialog takes them (it keeps lowest >= 500, highest <= 15840);
    // the length in layout units shown and, after OK, entered.
    virtual bool RunRollPaperDialog(int lowest, int highest, int& length) = 0;
    // Writes the environment settings on OK.
    virtual bool RunEnvDialog() = 0;
};

enum class FloatingBar { ToolBox, ChangeMode };

class IViewCommandHost
{
public:
    virtual ~IViewCommandHost() = default;
    // Without a main window the bar, tool, mode and refresh commands do nothing.
    virtual bool HasMainWindow() = 0;
    virtual QWidget* MainWindow() = 0;
    virtual AppSettings& Settings() = 0;
    virtual bool IsBarVisible(FloatingBar bar) = 0;
    virtual void ShowBar(FloatingBar bar, bool show) = 0;
    // The tool box's button and the layout manager's tool.
    virtual void SelectTool(int tool) = 0;
    // The mode bar's button and the document's paper mode.
    virtual void SelectMode(int mode) = 0;
    // The tool box's position read-out and item information, redrawn.
    virtual void RedrawToolBoxInfo() = 0;
    // Ends in "/".
    virtual std::string GetProgramFolder() = 0;
    // Null: every one of these dialogs ends as cancelled.
    virtual IViewDialogs* GetViewDialogs() = 0;
    virtual IDocumentUi& GetDocumentUi() = 0;
    // Null without Print.
    virtual ICommandTarget* GetPrintCommand() = 0;
};
