// The per-user settings the editor remembers between runs and the five
// read-only installation values of Localize.ini's "UISetting" section.
// Setters validate and report; loading passes every stored value through
// its setter, so an out-of-range value in the store never reaches a reader.
#pragma once

#include "App/RecentFileList.h"
#include "Core/Geometry.h"

#include <string>

class QSettings;

// 0 pixels, 1 millimetres, 2 inches.
using DisplayUnit = int;

constexpr int NeverStored = -32768;

struct InstallSettings
{
    int showOpeningFirst = 1;
    int showAutoCutter = 0;
    int enableMemoryCardDrive = 0;
    int defaultUnit = 1;
    int editableFrameType = 0;
};

// Reads section "UISetting"; a "DefaultUnit" outside 0 to 2 becomes 1.
InstallSettings ReadInstallSettings(const std::string& localizeIniPath);

// The folders that stand in for empty stored folders.
struct DefaultFolders
{
    std::string documents;     // ends in "/"
    std::string programFolder; // ends in "/"
};

class AppSettings
{
public:
    AppSettings();

    int GetShowOpeningOnStartUp() const { return m_showOpeningOnStartUp; }
    int SetShowOpeningOnStartUp(int value);
    int GetShowNewWizardOnStartUp() const { return m_showNewWizardOnStartUp; }
    int SetShowNewWizardOnStartUp(int value);
    Rect GetMainWindowRect() const { return m_mainWindowRect; }
    int SetMainWindowRect(const Rect* rect);
    int GetMainWindowMaximize() const { return m_mainWindowMaximize; }
    int SetMainWindowMaximize(int value);
    Rect GetToolBoxWindowRect() const { return m_toolBoxWindowRect; }
    int SetToolBoxWindowRect(const Rect* rect);
    int GetShowToolBoxWindow() const { return m_showToolBoxWindow; }
    int SetShowToolBoxWindow(int value);
    Point GetChangeModeWindowPos() const { return m_changeModeWindowPos; }
    int SetChangeModeWindowPos(const Point* point);
    int GetShowChangeModeWindow() const { return m_showChangeModeWindow; }
    int SetShowChangeModeWindow(int value);
    Rect GetTransparentWindowRect() const { return m_transparentWindowRect; }
    int SetTransparentWindowRect(const Rect* rect);
    Rect GetRangeWindowRect() const { return m_rangeWindowRect; }
    int SetRangeWindowRect(const Rect* rect);
    std::string GetLoadLayoutFolder() const { return m_loadLayoutFolder; }
    int SetLoadLayoutFolder(const std::string* folder);
    std::string GetLoadImageFolderForInsertFrame() const { return m_loadImageFolderForInsertFrame; }
    int SetLoadImageFolderForInsertFrame(const std::string* folder);
    std::string GetLoadImageFolderForBkFrame() const { return m_loadImageFolderForBkFrame; }
    int SetLoadImageFolderForBkFrame(const std::string* folder);
    DisplayUnit GetUnit() const { return m_unit; }
    int SetUnit(DisplayUnit unit);
    int GetInsertFrameImage() const { return m_insertFrameImage; }
    int SetInsertFrameImage(int value);
    int GetSingleZAVDefaultPaperSize() const { return m_singleZAVDefaultPaperSize; }
    int SetSingleZAVDefaultPaperSize(int value);
    int GetSingleZAVDefaultPaperDirection() const { return m_singleZAVDefaultPaperDirection; }
    int SetSingleZAVDefaultPaperDirection(int value);
    int GetSingleZAVDefaultPaperMargin() const { return m_singleZAVDefaultPaperMargin; }
    int SetSingleZAVDefaultPaperMargin(int value);
    int GetDSCZAVDefaultPaperDirection() const { return m_dscZAVDefaultPaperDirection; }
    int SetDSCZAVDefaultPaperDirection(int value);
    int GetGaussianRatio() const { return m_gaussianRatio; }
    int SetGaussianRatio(int value);
    int GetSetTransparencyRatio() const { return m_setTransparencyRatio; }
    int SetSetTransparencyRatio(int value);
    int GetCancelTransparencyRatio() const { return m_cancelTransparencyRatio; }
    int SetCancelTransparencyRatio(int value);
    int GetSetTransparency() const { return m_setTransparency; }
    int SetSetTransparency(int value);
    int GetOpenFileFilterIndex() const { return m_openFileFilterIndex; }
    int SetOpenFileFilterIndex(int value);

    int GetShowOpeningFirst() const { return m_install.showOpeningFirst; }
    int GetShowAutoCutter() const { return m_install.showAutoCutter; }
    int GetEnableMemoryCardDrive() const { return m_install.enableMemoryCardDrive; }
    int GetDefaultUnit() const { return m_install.defaultUnit; }
    int GetEditableFrameType() const { return m_install.editableFrameType; }
    void SetInstallSettings(const InstallSettings& install) { m_install = install; }

    // Reads group "App Info" and the recent list; the installation values
    // must be set first, as they give two defaults.
    void LoadSettings(QSettings& store, const DefaultFolders& folders);
    void SaveSettings(QSettings& store) const;

    RecentFileList& RecentFiles() { return m_recentFiles; }
    const RecentFileList& RecentFiles() const { return m_recentFiles; }

private:
    int m_showOpeningOnStartUp = 1;
    int m_showNewWizardOnStartUp = 1;
    Rect m_mainWindowRect;
    int m_mainWindowMaximize = 0;
    Rect m_toolBoxWindowRect;
    int m_showToolBoxWindow = 1;
    Point m_changeModeWindowPos{NeverStored, NeverStored};
    int m_showChangeModeWindow = 1;
    Rect m_transparentWindowRect;
    Rect m_rangeWindowRect;
    std::string m_loadLayoutFolder;
    std::string m_loadImageFolderForInsertFrame;
    std::string m_loadImageFolderForBkFrame;
    DisplayUnit m_unit = 1;
    int m_insertFrameImage = 0;
    int m_singleZAVDefaultPaperSize = 3;
    int m_singleZAVDefaultPaperDirection = 0;
    int m_singleZAVDefaultPaperMargin = 0;
    int m_dscZAVDefaultPaperDirection = 1;
    int m_gaussianRatio = 50;
    int m_setTransparencyRatio = 100;
    int m_cancelTransparencyRatio = 0;
    int m_setTransparency = 0;
    int m_openFileFilterIndex = 1;
    InstallSettings m_install;
    RecentFileList m_recentFiles;
};
