#include "App/AppSettings.h"
#include "App/ZAVEditorApp.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

const Rect NeverStoredRect{-32768, -32768, -65536, -65536};
const DefaultFolders Folders{"/home/user/Documents/", "/opt/zav/"};

class AppSettingsTest : public ::testing::Test
{
protected:
    QSettings Store()
    {
        return QSettings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    }
    AppSettings Loaded(const InstallSettings& install = {})
    {
        AppSettings settings;
        settings.SetInstallSettings(install);
        QSettings store = Store();
        settings.LoadSettings(store, Folders);
        return settings;
    }
    void Put(const char* name, const QVariant& value)
    {
        QSettings store = Store();
        store.setValue(QStringLiteral("App Info/") + QLatin1String(name), value);
    }

    QTemporaryDir dir;
};

TEST_F(AppSettingsTest, EmptyStoreReadsEveryPlaceAsNeverStoredAndTheDefaultFolders)
{
    const AppSettings settings = Loaded();
    EXPECT_EQ(settings.GetMainWindowRect(), NeverStoredRect);
    EXPECT_EQ(settings.GetToolBoxWindowRect(), NeverStoredRect);
    EXPECT_EQ(settings.GetTransparentWindowRect(), NeverStoredRect);
    EXPECT_EQ(settings.GetRangeWindowRect(), NeverStoredRect);
    EXPECT_EQ(settings.GetChangeModeWindowPos(), (Point{-32768, -32768}));
    EXPECT_EQ(settings.GetLoadLayoutFolder(), "/home/user/Documents/");
    EXPECT_EQ(settings.GetLoadImageFolderForInsertFrame(), "/opt/zav/Image");
    EXPECT_EQ(settings.GetLoadImageFolderForBkFrame(), "/opt/zav/Image");
    EXPECT_EQ(settings.GetSingleZAVDefaultPaperSize(), 3);
    EXPECT_EQ(settings.GetDSCZAVDefaultPaperDirection(), 1);
    EXPECT_EQ(settings.GetOpenFileFilterIndex(), 1);
}

TEST_F(AppSettingsTest, InstallationValuesGiveTwoDefaults)
{
    const AppSettings settings = Loaded(InstallSettings{0, 0, 0, 2, 0});
    EXPECT_EQ(settings.GetShowOpeningOnStartUp(), 0);
    EXPECT_EQ(settings.GetUnit(), 2);
}

struct SetterCase
{
    const char* name;
    int (AppSettings::*set)(int);
    int (AppSettings::*get)() const;
    int value;
    int accepted;
};

TEST_F(AppSettingsTest, SettersRefuseOutOfRangeValuesAndKeepTheOldOne)
{
    const SetterCase cases[] = {
        {"paper 11", &AppSettings::SetSingleZAVDefaultPaperSize, &AppSettings::GetSingleZAVDefaultPaperSize,
         11, 0},
        {"paper 24", &AppSettings::SetSingleZAVDefaultPaperSize, &AppSettings::GetSingleZAVDefaultPaperSize,
         24, 0},
        {"paper 23", &AppSettings::SetSingleZAVDefaultPaperSize, &AppSettings::GetSingleZAVDefaultPaperSize,
         23, 1},
        {"paper -1", &AppSettings::SetSingleZAVDefaultPaperSize, &AppSettings::GetSingleZAVDefaultPaperSize,
         -1, 0},
        {"margin 7", &AppSettings::SetSingleZAVDefaultPaperMargin,
         &AppSettings::GetSingleZAVDefaultPaperMargin, 7, 0},
        {"margin 6", &AppSettings::SetSingleZAVDefaultPaperMargin,
         &AppSettings::GetSingleZAVDefaultPaperMargin, 6, 1},
        {"filter 0", &AppSettings::SetOpenFileFilterIndex, &AppSettings::GetOpenFileFilterIndex, 0, 0},
        {"filter 4", &AppSettings::SetOpenFileFilterIndex, &AppSettings::GetOpenFileFilterIndex, 4, 1},
        {"unit 3", &AppSettings::SetUnit, &AppSettings::GetUnit, 3, 0},
        {"unit 0", &AppSettings::SetUnit, &AppSettings::GetUnit, 0, 1},
        {"insert image 4", &AppSettings::SetInsertFrameImage, &AppSettings::GetInsertFrameImage, 4, 0},
        {"gaussian 101", &AppSettings::SetGaussianRatio, &AppSettings::GetGaussianRatio, 101, 0},
        {"maximize 2", &AppSettings::SetMainWindowMaximize, &AppSettings::GetMainWindowMaximize, 2, 0},
    };
    for (const SetterCase& c : cases) {
        AppSettings settings;
        const int before = (settings.*c.get)();
        EXPECT_EQ((settings.*c.set)(c.value), c.accepted) << c.name;
        EXPECT_EQ((settings.*c.get)(), c.accepted ? c.value : before) << c.name;
    }
    AppSettings settings;
    EXPECT_EQ(settings.SetMainWindowRect(nullptr), 0);
    EXPECT_EQ(settings.SetLoadLayoutFolder(nullptr), 0);
    EXPECT_EQ(settings.SetChangeModeWindowPos(nullptr), 0);
}

TEST_F(AppSettingsTest, StoredValuesPassTheirSettersAndRefusedOnesKeepTheDefault)
{
    Put("Unit", 7);
    Put("SingleZAVDefaultPaperSize", 30);
    Put("GaussianRatio", 80);
    Put("OpenFileFilterIndex", "garbage");
    const AppSettings settings = Loaded(InstallSettings{1, 0, 0, 2, 0});
    EXPECT_EQ(settings.GetUnit(), 2);
    EXPECT_EQ(settings.GetSingleZAVDefaultPaperSize(), 3);
    EXPECT_EQ(settings.GetGaussianRatio(), 80);
    EXPECT_EQ(settings.GetOpenFileFilterIndex(), 1);

    Put("SingleZAVDefaultPaperSize", 11);
    EXPECT_EQ(Loaded().GetSingleZAVDefaultPaperSize(), 3);
}

TEST_F(AppSettingsTest, RectangleWhoseRightOrBottomOverflowsReadsAsNeverStored)
{
    Put("MainWindowX", 2147483600);
    Put("MainWindowY", 10);
    Put("MainWindowW", 100);
    Put("MainWindowH", 100);
    Put("ToolBoxWindowX", 10);
    Put("ToolBoxWindowY", -2147483600);
    Put("ToolBoxWindowW", 10);
    Put("ToolBoxWindowH", -100);
    const AppSettings settings = Loaded();
    EXPECT_EQ(settings.GetMainWindowRect(), NeverStoredRect);
    EXPECT_EQ(settings.GetToolBoxWindowRect(), NeverStoredRect);
}

TEST_F(AppSettingsTest, SavedValuesLoadBackUnderTheirNames)
{
    AppSettings settings;
    const Rect main{-32768, 20, 500, 620};
    const Point mode{-5, 7};
    const std::string folder = "/data/layouts";
    settings.SetMainWindowRect(&main);
    settings.SetChangeModeWindowPos(&mode);
    settings.SetLoadLayoutFolder(&folder);
    settings.SetSingleZAVDefaultPaperSize(23);
    settings.SetShowToolBoxWindow(0);
    {
        QSettings store = Store();
        settings.SaveSettings(store);
    }
    QSettings store = Store();
    EXPECT_EQ(store.value(QStringLiteral("App Info/MainWindowX")).toInt(), -32768);
    EXPECT_EQ(store.value(QStringLiteral("App Info/MainWindowW")).toInt(), 33268);
    EXPECT_EQ(store.value(QStringLiteral("App Info/ShowToolBoxWindow")).toInt(), 0);
    const AppSettings loaded = Loaded();
    EXPECT_EQ(loaded.GetMainWindowRect(), main);
    EXPECT_EQ(loaded.GetChangeModeWindowPos(), mode);
    EXPECT_EQ(loaded.GetLoadLayoutFolder(), folder);
    EXPECT_EQ(loaded.GetSingleZAVDefaultPaperSize(), 23);
    EXPECT_EQ(loaded.GetShowToolBoxWindow(), 0);
}

TEST(InstallSettingsTest, DefaultUnitOutsideTheUnitsBecomesMillimetres)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Localize.ini"));
    for (const auto& [stored, expected] : {std::pair{"5", 1}, {"-1", 1}, {"2", 2}, {"0", 0}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("[UISetting]\r\nDefaultUnit=") + stored + "\r\nEditableFrameType=7\r\n");
        file.close();
        const InstallSettings install = ReadInstallSettings(path.toStdString());
        EXPECT_EQ(install.defaultUnit, expected) << stored;
        EXPECT_EQ(install.editableFrameType, 7);
        EXPECT_EQ(install.showOpeningFirst, 1);
    }
}

TEST(UIFontTest, HeightIsMinusThePointSizeAtNinetySixDotsPerInch)
{
    EXPECT_EQ(UIFontHeight(9), -12);
    EXPECT_EQ(UIFontHeight(14), -19);
    EXPECT_EQ(UIFontHeight(10), -13);
}

} // namespace
