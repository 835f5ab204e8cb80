#include "App/AppSettings.h"

#include "Platform/ProfileReader.h"

#include <QSettings>
#include <QString>

#include <cstdint>
#include <limits>

namespace {

constexpr Rect NeverStoredRect{NeverStored, NeverStored, 2 * NeverStored, 2 * NeverStored};

int SetInRange(int& member, int value, int low, int high)
{
    if (value < low || value > high)
        return 0;
    member = value;
    return 1;
}

template <typename T> int SetNotNull(T& member, const T* value)
{
    if (!value)
        return 0;
    member = *value;
    return 1;
}

int ReadInt(QSettings& store, const char* name, int defaultValue)
{
    bool ok = false;
    const int value = store.value(QString::fromLatin1(name), defaultValue).toInt(&ok);
    return ok ? value : defaultValue;
}

// X, Y, W, H as stored; a right or bottom that a 32-bit rectangle cannot hold
// counts as never stored.
Rect ReadRect(QSettings& store, const char* prefix)
{
    const QString p = QString::fromLatin1(prefix);
    const auto read = [&](const char* suffix) {
        return static_cast<std::int64_t>(
            ReadInt(store, (p + QLatin1String(suffix)).toLatin1().constData(), NeverStored));
    };
    const std::int64_t x = read("X"), y = read("Y"), w = read("W"), h = read("H");
    const std::int64_t right = x + w, bottom = y + h;
    constexpr std::int64_t low = std::numeric_limits<int>::min(), high = std::numeric_limits<int>::max();
    if (right < low || right > high || bottom < low || bottom > high)
        return NeverStoredRect;
    return Rect{static_cast<int>(x), static_cast<int>(y), static_cast<int>(right), static_cast<int>(bottom)};
}

void WriteRect(QSettings& store, const char* prefix, const Rect& rect)
{
    const QString p = QString::fromLatin1(prefix);
    store.setValue(p + QLatin1String("X"), rect.left);
    store.setValue(p + QLatin1String("Y"), rect.top);
    // Differences of any two 32-bit edges wrap as the stored 32-bit value would.
    store.setValue(p + QLatin1String("W"), static_cast<int>(static_cast<std::uint32_t>(rect.right) -
                                                            static_cast<std::uint32_t>(rect.left)));
    store.setValue(p + QLatin1String("H"), static_cast<int>(static_cast<std::uint32_t>(rect.bottom) -
                                                            static_cast<std::uint32_t>(rect.top)));
}

std::string ReadString(QSettings& store, const char* name)
{
    return store.value(QString::fromLatin1(name), QString()).toString().toStdString();
}

} // namespace

InstallSettings ReadInstallSettings(const std::string& localizeIniPath)
{
    InstallSettings install;
    install.showOpeningFirst = ReadProfileInt(localizeIniPath, "UISetting", "ShowOpeningFirst", 1);
    install.showAutoCutter = ReadProfileInt(localizeIniPath, "UISetting", "ShowAutoCutter", 0);
    install.enableMemoryCardDrive = ReadProfileInt(localizeIniPath, "UISetting", "EnableMemoryCardDrive", 0);
    install.defaultUnit = ReadProfileInt(localizeIniPath, "UISetting", "DefaultUnit", 1);
    if (install.defaultUnit < 0 || install.defaultUnit > 2)
        install.defaultUnit = 1;
    install.editableFrameType = ReadProfileInt(localizeIniPath, "UISetting", "EditableFrameType", 0);
    return install;
}

AppSettings::AppSettings()
    : m_mainWindowRect(NeverStoredRect), m_toolBoxWindowRect(NeverStoredRect),
      m_transparentWindowRect(NeverStoredRect), m_rangeWindowRect(NeverStoredRect)
{
}

int AppSettings::SetShowOpeningOnStartUp(int value)
{
    return SetInRange(m_showOpeningOnStartUp, value, 0, 1);
}
int AppSettings::SetShowNewWizardOnStartUp(int value)
{
    return SetInRange(m_showNewWizardOnStartUp, value, 0, 1);
}
int AppSettings::SetMainWindowRect(const Rect* rect)
{
    return SetNotNull(m_mainWindowRect, rect);
}
int AppSettings::SetMainWindowMaximize(int value)
{
    return SetInRange(m_mainWindowMaximize, value, 0, 1);
}
int AppSettings::SetToolBoxWindowRect(const Rect* rect)
{
    return SetNotNull(m_toolBoxWindowRect, rect);
}
int AppSettings::SetShowToolBoxWindow(int value)
{
    return SetInRange(m_showToolBoxWindow, value, 0, 1);
}
int AppSettings::SetChangeModeWindowPos(const Point* point)
{
    return SetNotNull(m_changeModeWindowPos, point);
}
int AppSettings::SetShowChangeModeWindow(int value)
{
    return SetInRange(m_showChangeModeWindow, value, 0, 1);
}
int AppSettings::SetTransparentWindowRect(const Rect* rect)
{
    return SetNotNull(m_transparentWindowRect, rect);
}
int AppSettings::SetRangeWindowRect(const Rect* rect)
{
    return SetNotNull(m_rangeWindowRect, rect);
}
int AppSettings::SetLoadLayoutFolder(const std::string* folder)
{
    return SetNotNull(m_loadLayoutFolder, folder);
}
int AppSettings::SetLoadImageFolderForInsertFrame(const std::string* folder)
{
    return SetNotNull(m_loadImageFolderForInsertFrame, folder);
}
int AppSettings::SetLoadImageFolderForBkFrame(const std::string* folder)
{
    return SetNotNull(m_loadImageFolderForBkFrame, folder);
}
int AppSettings::SetUnit(DisplayUnit unit)
{
    return SetInRange(m_unit, unit, 0, 2);
}
int AppSettings::SetInsertFrameImage(int value)
{
    return SetInRange(m_insertFrameImage, value, 0, 3);
}
int AppSettings::SetSingleZAVDefaultPaperSize(int value)
{
    if (value == 11) // the roll paper without a fixed length cannot start a layout
        return 0;
    return SetInRange(m_singleZAVDefaultPaperSize, value, 0, 23);
}
int AppSettings::SetSingleZAVDefaultPaperDirection(int value)
{
    return SetInRange(m_singleZAVDefaultPaperDirection, value, 0, 1);
}
int AppSettings::SetSingleZAVDefaultPaperMargin(int value)
{
    return SetInRange(m_singleZAVDefaultPaperMargin, value, 0, 6);
}
int AppSettings::SetDSCZAVDefaultPaperDirection(int value)
{
    return SetInRange(m_dscZAVDefaultPaperDirection, value, 0, 1);
}
int AppSettings::SetGaussianRatio(int value)
{
    return SetInRange(m_gaussianRatio, value, 0, 100);
}
int AppSettings::SetSetTransparencyRatio(int value)
{
    return SetInRange(m_setTransparencyRatio, value, 0, 100);
}
int AppSettings::SetCancelTransparencyRatio(int value)
{
    return SetInRange(m_cancelTransparencyRatio, value, 0, 100);
}
int AppSettings::SetSetTransparency(int value)
{
    return SetInRange(m_setTransparency, value, 0, 1);
}
int AppSettings::SetOpenFileFilterIndex(int value)
{
    return SetInRange(m_openFileFilterIndex, value, 1, 4);
}

void AppSettings::LoadSettings(QSettings& store, const DefaultFolders& folders)
{
    // Start from the defaults so that a refused stored value leaves the default.
    AppSettings defaults;
    const InstallSettings install = m_install;
    const RecentFileList recent = m_recentFiles;
    *this = defaults;
    m_install = install;
    m_recentFiles = recent;
    m_showOpeningOnStartUp = m_install.showOpeningFirst;
    m_unit = m_install.defaultUnit;

    store.beginGroup(QStringLiteral("App Info"));
    SetShowOpeningOnStartUp(ReadInt(store, "ShowOpeningOnStartUp", m_showOpeningOnStartUp));
    SetShowNewWizardOnStartUp(ReadInt(store, "ShowNewWizardOnStartUp", m_showNewWizardOnStartUp));
    const Rect mainRect = ReadRect(store, "MainWindow");
    SetMainWindowRect(&mainRect);
    SetMainWindowMaximize(ReadInt(store, "MainWindowMaximize", m_mainWindowMaximize));
    const Rect toolBoxRect = ReadRect(store, "ToolBoxWindow");
    SetToolBoxWindowRect(&toolBoxRect);
    SetShowToolBoxWindow(ReadInt(store, "ShowToolBoxWindow", m_showToolBoxWindow));
    const Point modePos{ReadInt(store, "ChangeModeWindowX", NeverStored),
                        ReadInt(store, "ChangeModeWindowY", NeverStored)};
    SetChangeModeWindowPos(&modePos);
    SetShowChangeModeWindow(ReadInt(store, "ShowChangeModeWindow", m_showChangeModeWindow));
    const Rect transparentRect = ReadRect(store, "TransparentWindow");
    SetTransparentWindowRect(&transparentRect);
    const Rect rangeRect = ReadRect(store, "RangeWindow");
    SetRangeWindowRect(&rangeRect);

    std::string folder = ReadString(store, "LoadLayoutFolder");
    if (folder.empty())
        folder = folders.documents;
    SetLoadLayoutFolder(&folder);
    const std::string imageFolder = folders.programFolder + "Image";
    folder = ReadString(store, "LoadImageFolderForInsertFrame");
    if (folder.empty())
        folder = imageFolder;
    SetLoadImageFolderForInsertFrame(&folder);
    folder = ReadString(store, "LoadImageFolderForBkFrame");
    if (folder.empty())
        folder = imageFolder;
    SetLoadImageFolderForBkFrame(&folder);

    SetUnit(ReadInt(store, "Unit", m_unit));
    SetInsertFrameImage(ReadInt(store, "InsertFrameImage", m_insertFrameImage));
    SetSingleZAVDefaultPaperSize(ReadInt(store, "SingleZAVDefaultPaperSize", m_singleZAVDefaultPaperSize));
    SetSingleZAVDefaultPaperDirection(
        ReadInt(store, "SingleZAVDefaultPaperDirection", m_singleZAVDefaultPaperDirection));
    SetSingleZAVDefaultPaperMargin(
        ReadInt(store, "SingleZAVDefaultPaperMargin", m_singleZAVDefaultPaperMargin));
    SetDSCZAVDefaultPaperDirection(
        ReadInt(store, "DSCZAVDefaultPaperDirection", m_dscZAVDefaultPaperDirection));
    SetGaussianRatio(ReadInt(store, "GaussianRatio", m_gaussianRatio));
    SetSetTransparencyRatio(ReadInt(store, "SetTransparencyRatio", m_setTransparencyRatio));
    SetCancelTransparencyRatio(ReadInt(store, "CancelTransparencyRatio", m_cancelTransparencyRatio));
    SetSetTransparency(ReadInt(store, "SetTransparency", m_setTransparency));
    SetOpenFileFilterIndex(ReadInt(store, "OpenFileFilterIndex", m_openFileFilterIndex));
    store.endGroup();

    store.beginGroup(QStringLiteral("RecentUsedFile"));
    m_recentFiles.Load(store);
    store.endGroup();
}

void AppSettings::SaveSettings(QSettings& store) const
{
    store.beginGroup(QStringLiteral("App Info"));
    store.setValue(QStringLiteral("ShowOpeningOnStartUp"), m_showOpeningOnStartUp);
    store.setValue(QStringLiteral("ShowNewWizardOnStartUp"), m_showNewWizardOnStartUp);
    WriteRect(store, "MainWindow", m_mainWindowRect);
    store.setValue(QStringLiteral("MainWindowMaximize"), m_mainWindowMaximize);
    WriteRect(store, "ToolBoxWindow", m_toolBoxWindowRect);
    store.setValue(QStringLiteral("ShowToolBoxWindow"), m_showToolBoxWindow);
    store.setValue(QStringLiteral("ChangeModeWindowX"), m_changeModeWindowPos.x);
    store.setValue(QStringLiteral("ChangeModeWindowY"), m_changeModeWindowPos.y);
    store.setValue(QStringLiteral("ShowChangeModeWindow"), m_showChangeModeWindow);
    WriteRect(store, "TransparentWindow", m_transparentWindowRect);
    WriteRect(store, "RangeWindow", m_rangeWindowRect);
    store.setValue(QStringLiteral("LoadLayoutFolder"), QString::fromStdString(m_loadLayoutFolder));
    store.setValue(QStringLiteral("LoadImageFolderForInsertFrame"),
                   QString::fromStdString(m_loadImageFolderForInsertFrame));
    store.setValue(QStringLiteral("LoadImageFolderForBkFrame"),
                   QString::fromStdString(m_loadImageFolderForBkFrame));
    store.setValue(QStringLiteral("Unit"), m_unit);
    store.setValue(QStringLiteral("InsertFrameImage"), m_insertFrameImage);
    store.setValue(QStringLiteral("SingleZAVDefaultPaperSize"), m_singleZAVDefaultPaperSize);
    store.setValue(QStringLiteral("SingleZAVDefaultPaperDirection"), m_singleZAVDefaultPaperDirection);
    store.setValue(QStringLiteral("SingleZAVDefaultPaperMargin"), m_singleZAVDefaultPaperMargin);
    store.setValue(QStringLiteral("DSCZAVDefaultPaperDirection"), m_dscZAVDefaultPaperDirection);
    store.setValue(QStringLiteral("GaussianRatio"), m_gaussianRatio);
    store.setValue(QStringLiteral("SetTransparencyRatio"), m_setTransparencyRatio);
    store.setValue(QStringLiteral("CancelTransparencyRatio"), m_cancelTransparencyRatio);
    store.setValue(QStringLiteral("SetTransparency"), m_setTransparency);
    store.setValue(QStringLiteral("OpenFileFilterIndex"), m_openFileFilterIndex);
    store.endGroup();

    store.beginGroup(QStringLiteral("RecentUsedFile"));
    m_recentFiles.Save(store);
    store.endGroup();
}
