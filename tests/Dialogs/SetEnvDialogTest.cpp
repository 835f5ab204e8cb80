#include "Dialogs/SetEnvDialog.h"
#include "App/MessageBoxes.h"
#include "App/ZAVEditorDoc.h"
#include "Core/TempFolders.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "Layout/InsertImageFrameItem.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QSettings>

#include <sys/stat.h>

namespace {

class SetEnvDialogTest : public ::testing::Test
{
protected:
    // A picture of one colour written at test time.
    std::string Picture(const char* name, int width, int height, QColor color = Qt::red)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(color);
        const QString path = QDir(app.TempFolder()).filePath(QString::fromLatin1(name));
        EXPECT_TRUE(image.save(path));
        return path.toStdString();
    }

    static void Click(QButtonGroup* group, int id) { group->button(id)->click(); }

    // Mode 1 with the picture chosen through Browse, confirmed.
    void ConfirmUserPicture(const std::string& path)
    {
        CSetEnvDialog dialog(app.shell);
        dialog.show();
        Click(dialog.ModeGroup(), 1);
        app.shell.chosenFiles.push_back(path);
        dialog.BrowseButton()->click();
        ASSERT_EQ(dialog.GetImagePath(), path);
        dialog.OkButton()->click();
        ASSERT_TRUE(ClosedWithOk(dialog));
    }

    CInsertImageFrameItem& Prototype() { return app.Document().GetInsertFramePrototype(); }
    static std::string Folder() { return GetTempInsertFrameImageFolder(false); }

    StartedApp app;
};

TEST_F(SetEnvDialogTest, PicturesOutsideTheFramesLimitsAreRefusedWithTheirText)
{
    struct Case
    {
        std::string path;
        int refusal;
        int text;
    };
    QFile garbage(QDir(app.TempFolder()).filePath(QStringLiteral("broken.bmp")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("BM not a bitmap at all");
    garbage.close();
    const Case cases[] = {
        {Picture("wide.bmp", 4096, 200), CSetEnvDialog::TooLarge, 146},
        {Picture("tall.jpg", 200, 4096), CSetEnvDialog::TooLarge, 146},
        {Picture("small.bmp", 159, 300), CSetEnvDialog::TooSmall, 147},
        // A 100:1 strip is refused for its shape, though it is also too thin.
        {Picture("strip.bmp", 4000, 40), CSetEnvDialog::TooLong, 25},
        // 80.4:1 is 81 when rounded up, as the frames count it.
        {Picture("strip80.bmp", 4020, 50), CSetEnvDialog::TooLong, 25},
        {garbage.fileName().toStdString(), CSetEnvDialog::Unreadable, 25},
        {QDir(app.TempFolder()).filePath(QStringLiteral("missing.jpg")).toStdString(),
         CSetEnvDialog::Unreadable, 25},
    };
    const std::string good = Picture("good.jpg", 320, 240);
    for (const Case& c : cases) {
        app.shell.messages.clear();
        CSetEnvDialog dialog(app.shell);
        dialog.show();
        Click(dialog.ModeGroup(), 1);
        app.shell.chosenFiles = {good, c.path};
        dialog.BrowseButton()->click();
        ASSERT_EQ(dialog.GetImagePath(), good);
        dialog.BrowseButton()->click();
        EXPECT_EQ(dialog.GetImagePath(), good) << c.path; // the refused one does not replace it
        EXPECT_FALSE(dialog.GetPreview().IsValid()) << c.path;
        ASSERT_EQ(app.shell.messages.size(), 1u) << c.path;
        EXPECT_EQ(app.shell.messages[0], std::make_pair(c.text, MB_ICONSTOP)) << c.path;
        EXPECT_EQ(dialog.LoadPreview(c.path, false), c.refusal) << c.path;
        EXPECT_EQ(app.shell.messages.size(), 1u) << "without messages";
    }
    ASSERT_FALSE(app.shell.fileFilters.empty());
    EXPECT_EQ(app.shell.fileFilters[0].first, LocalizedText(app.shell, 134));
    EXPECT_EQ(app.shell.fileFilters[0].second, "*.bmp;*.jpg");
}

TEST_F(SetEnvDialogTest, TheUsersPictureModeNeedsAPictureBeforeOk)
{
    CSetEnvDialog dialog(app.shell);
    dialog.show();
    EXPECT_TRUE(dialog.ModeGroup()->button(0)->isChecked()); // the start-up fell back to the default
    EXPECT_FALSE(dialog.BrowseButton()->isEnabled());
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    Click(dialog.ModeGroup(), 1);
    EXPECT_TRUE(dialog.BrowseButton()->isEnabled());
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    dialog.BrowseButton()->click(); // cancelled
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    app.shell.chosenFiles.push_back(Picture("photo.bmp", 300, 200));
    dialog.BrowseButton()->click();
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    Click(dialog.ModeGroup(), 2);
    EXPECT_FALSE(dialog.BrowseButton()->isEnabled());
}

TEST_F(SetEnvDialogTest, TheConfirmedPictureIsCopiedOnceAndBecomesThePrototypes)
{
    const std::string source = Picture("Photo.JPG", 400, 300);
    ASSERT_EQ(chmod(source.c_str(), 0444), 0);
    ConfirmUserPicture(source);
    const std::string copy = Folder() + "Photo.JPG";
    EXPECT_EQ(FindFirstPictureFile(Folder()), copy);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(copy)).permissions() & QFile::WriteOwner);
    EXPECT_EQ(Prototype().GetImageFileName(), copy);
    EXPECT_EQ(Prototype().GetPictureSize().cx, 400);
    EXPECT_EQ(app.App().Settings().GetInsertFrameImage(), 1);

    // Confirmed again as the dialog now finds it: nothing is copied.
    QFile kept(QString::fromStdString(copy));
    ASSERT_TRUE(kept.open(QIODevice::ReadWrite));
    const QDateTime old(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC);
    ASSERT_TRUE(kept.setFileTime(old, QFileDevice::FileModificationTime));
    kept.close();
    CSetEnvDialog again(app.shell);
    again.show();
    EXPECT_TRUE(again.ModeGroup()->button(1)->isChecked());
    EXPECT_EQ(again.GetImagePath(), copy);
    EXPECT_TRUE(again.GetPreview().IsValid());
    again.OkButton()->click();
    ASSERT_TRUE(ClosedWithOk(again));
    EXPECT_EQ(QFileInfo(QString::fromStdString(copy)).lastModified().toSecsSinceEpoch(),
              old.toSecsSinceEpoch());
    EXPECT_EQ(Prototype().GetImageFileName(), copy);

    // Another picture replaces the first in the folder.
    const std::string second = Picture("second.bmp", 300, 300, Qt::blue);
    ConfirmUserPicture(second);
    EXPECT_EQ(FindFirstPictureFile(Folder()), Folder() + "second.bmp");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(copy)));
}

TEST_F(SetEnvDialogTest, APictureThePrototypeCannotLoadFallsBackToTheDefault)
{
    const std::string source = Picture("gone.bmp", 300, 300);
    CSetEnvDialog dialog(app.shell);
    dialog.show();
    Click(dialog.ModeGroup(), 1);
    app.shell.chosenFiles.push_back(source);
    dialog.BrowseButton()->click();
    ASSERT_EQ(dialog.GetImagePath(), source);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(source))); // gone before OK
    dialog.OkButton()->click();
    ASSERT_TRUE(ClosedWithOk(dialog));
    EXPECT_EQ(app.App().Settings().GetInsertFrameImage(), 0);
    EXPECT_EQ(Prototype().GetImageFileName(), "");
    EXPECT_EQ(Prototype().GetImageBuffer1()->GetResourceId(), 520);
    EXPECT_FALSE(QDir(QString::fromStdString(Folder())).exists());
}

TEST_F(SetEnvDialogTest, OtherModesLeaveTheFolderAndThePrototypeAlone)
{
    const std::string source = Picture("kept.bmp", 300, 300);
    ConfirmUserPicture(source);
    const std::string copy = Folder() + "kept.bmp";
    for (const int mode : {2, 3, 0}) {
        CSetEnvDialog dialog(app.shell);
        dialog.show();
        Click(dialog.ModeGroup(), mode);
        dialog.OkButton()->click();
        ASSERT_TRUE(ClosedWithOk(dialog));
        EXPECT_EQ(app.App().Settings().GetInsertFrameImage(), mode);
        EXPECT_EQ(FindFirstPictureFile(Folder()), copy) << mode;
        EXPECT_EQ(Prototype().GetImageFileName(), copy) << mode;
    }
}

TEST_F(SetEnvDialogTest, TheSettingsLandInTheSettingsFile)
{
    CSetEnvDialog dialog(app.shell);
    dialog.show();
    dialog.OpeningBox()->setChecked(true);
    dialog.WizardBox()->setChecked(true);
    Click(dialog.UnitGroup(), 2);
    Click(dialog.ModeGroup(), 3);
    dialog.OkButton()->click();
    ASSERT_TRUE(ClosedWithOk(dialog));
    app.Exit();
    QSettings store(app.SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(store.value(QStringLiteral("App Info/ShowOpeningOnStartUp")).toInt(), 1);
    EXPECT_EQ(store.value(QStringLiteral("App Info/ShowNewWizardOnStartUp")).toInt(), 1);
    EXPECT_EQ(store.value(QStringLiteral("App Info/Unit")).toInt(), 2);
    EXPECT_EQ(store.value(QStringLiteral("App Info/InsertFrameImage")).toInt(), 3);
}

TEST_F(SetEnvDialogTest, ThePreviewShowsWhatNewFramesWillShow)
{
    CSetEnvDialog dialog(app.shell);
    dialog.show();
    const auto centre = [&dialog] {
        const QImage shot = dialog.PreviewArea()->grab().toImage();
        return shot.pixelColor(shot.width() / 2, shot.height() / 2);
    };
    Click(dialog.ModeGroup(), 2);
    EXPECT_EQ(centre(), QColor(0xA0, 0xA0, 0xA0));
    Click(dialog.ModeGroup(), 3);
    EXPECT_EQ(centre(), QColor(Qt::white));
    Click(dialog.ModeGroup(), 1);
    app.shell.chosenFiles.push_back(Picture("green.bmp", 300, 200, QColor(0, 200, 0)));
    dialog.BrowseButton()->click();
    EXPECT_EQ(centre(), QColor(0, 200, 0));
}

} // namespace
