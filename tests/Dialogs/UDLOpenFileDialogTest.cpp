#include "Dialogs/UDLOpenFileDialog.h"
#include "App/AppSettings.h"
#include "App/PaperNames.h"
#include "App/support/AppTestSupport.h"
#include "App/support/ModalScript.h"
#include "Core/Files.h"
#include "Core/SystemFolders.h"
#include "Core/TempFolders.h"
#include "Core/support/ScopedEnv.h"
#include "Dialogs/DialogSupport.h"
#include "Dialogs/NewWizard.h"
#include "Dialogs/WizardDocumentUi.h"
#include "Dialogs/support/BarFixture.h"
#include "Dialogs/support/LayoutFileFixtures.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageDC.h"
#include "Platform/DialogLayoutTarget.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWizard>

#include <cstdlib>
#include <optional>

namespace {

const QRgb kGreyBlue = qRgb(0xC8, 0xC8, 0xDC);

// What a preview showed: its texts and where the picture landed.
struct Shown
{
    std::string first, second;
    QRect picture;                  // the red pixels' bounds; empty when none
    bool otherwiseGreyBlue = false; // the inside outside the picture is the empty colour
};

Shown Look(const CUDLOpenFileDialog& dialog)
{
    Shown shown;
    shown.first = dialog.FirstText();
    shown.second = dialog.SecondText();
    const QImage image = dialog.PreviewImage().GetDC()->ToQImage(0, 0, 122, 122);
    shown.otherwiseGreyBlue = true;
    for (int y = 2; y < 120; ++y) {
        for (int x = 2; x < 120; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 70 && c.blue() < 70)
                shown.picture |= QRect(x, y, 1, 1);
            else if ((image.pixel(x, y) & 0xFFFFFF) != (kGreyBlue & 0xFFFFFF))
                shown.otherwiseGreyBlue = false;
        }
    }
    // The rows and columns 1 and 120 belong to the picture when it reaches them.
    for (int n = 1; n <= 120; ++n) {
        for (const QPoint p : {QPoint(1, n), QPoint(120, n), QPoint(n, 1), QPoint(n, 120)}) {
            const QColor c = image.pixelColor(p);
            if (c.red() > 200 && c.green() < 70 && c.blue() < 70)
                shown.picture |= QRect(p, QSize(1, 1));
        }
    }
    return shown;
}

class OpenFileDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        ASSERT_TRUE(root.isValid());
        // The temporary package folder, and the file dialog's own settings,
        // under folders of this test's own.
        QDir().mkpath(QString::fromStdString(Path("tmp")));
        QDir().mkpath(QString::fromStdString(Path("config")));
        temp.emplace("TMPDIR", Path("tmp"));
        config.emplace("XDG_CONFIG_HOME", Path("config"));
    }
    void TearDown() override
    {
        temp.reset();
        config.reset();
    }
    std::string Path(const std::string& name) const { return root.path().toStdString() + "/" + name; }
    std::string Text(int id) const { return bars.Text(id); }
    // Runs the dialog, handing it to `during` once it shows.
    int Run(CUDLOpenFileDialog& dialog, const std::function<void()>& during)
    {
        modaltest::OnceRunning<CUDLOpenFileDialog>(dialog, [during](CUDLOpenFileDialog&) { during(); });
        return dialog.DoModal();
    }

    QTemporaryDir root;
    BarFixture bars;
    std::optional<ScopedEnv> temp;
    std::optional<ScopedEnv> config;
};

TEST_F(OpenFileDialogTest, PreviewsEveryKindAndNothingElse)
{
    // Layout scripts and documents.
    WriteFileBytes(Path("lay/wide.usd"), LayoutScriptText("Wide", ".\\wide\\THUMB.USF"));
    ASSERT_TRUE(WriteRedJpeg(Path("lay/wide/THUMB.USF"), 240, 120));
    WriteFileBytes(Path("lay/tall.usd"), LayoutScriptText("Tall", ".\\TALL.TGA", "3.5x5"));
    WriteRedTga(Path("lay/tall.tga"), 100, 200); // found without regard to case
    WriteFileBytes(Path("lay/nothumb.usd"), LayoutScriptText("Bare", ".\\gone.jpg"));
    WriteFileBytes(Path("lay/outside.usd"), LayoutScriptText("Far", ".\\..\\wide\\THUMB.USF"));
    WriteFileBytes(Path("lay/damaged.usd"), std::string("\x00\xFF[HEADER\r\nHdTitle=\"x", 20));
    WriteFileBytes(Path("lay/camera.zvd"), CameraDocumentText("Cam", ".\\wide\\THUMB.USF"));
    WriteFileBytes(Path("lay/notes.txt"), "text");
    // Set indexes: the first member missing, the second present under another case.
    WriteFileBytes(Path("set/SET.usm"), SetIndexText({"MISSING.usd", "second.usd"}));
    WriteFileBytes(Path("set/SECOND.USD"), LayoutScriptText("Second", "THUMB.USF"));
    ASSERT_TRUE(WriteRedJpeg(Path("set/thumb.usf"), 240, 120));
    WriteFileBytes(Path("set/inner/EVIL.usm"), SetIndexText({"..\\x.usd", "../x.usd"}));
    WriteFileBytes(Path("set/inner/x.usd"), LayoutScriptText("Inner", ""));
    WriteFileBytes(Path("set/x.usd"), LayoutScriptText("Outside", ""));

    // Packages made with the kit: one layout, and a camera set whose first
    // layout has no thumbnail.
    WriteFileBytes(Path("src/one.usd"), LayoutScriptText("\xE5\x86\x99\xE7\x9C\x9F", "THUMB.USF"));
    ASSERT_TRUE(WriteRedJpeg(Path("src/THUMB.USF"), 100, 200));
    WriteFileBytes(Path("cam/A.usd"), LayoutScriptText("A", ""));
    WriteFileBytes(Path("cam/B.usd"), LayoutScriptText("B", "TB.USF"));
    ASSERT_TRUE(WriteRedJpeg(Path("cam/TB.USF"), 240, 120));
    WriteFileBytes(Path("cam/CAM.usm"), SetIndexText({"A.usd", "B.usd"}));
    ASSERT_TRUE(PackageLayout(Path("src/one.usd"), Path("lay/one.fdp")));
    ASSERT_TRUE(PackageCameraSet(Path("cam/CAM.usm"), Path("lay/set.fdp")));

    const std::string postcard = GetPaperSizeName(bars.shell.GetLocalizeIniPath(), 0);
    const std::string lSize = GetPaperSizeName(bars.shell.GetLocalizeIniPath(), PaperIndexFromName("3.5x5"));
    const std::string camera = Text(247);
    ASSERT_FALSE(postcard.empty());
    ASSERT_FALSE(camera.empty());
    const QRect wide(1, 31, 120, 60);
    const QRect tall(31, 1, 60, 120);
    struct Case
    {
        const char* file;
        std::string first, second;
        QRect picture;
    };
    const Case cases[] = {
        {"lay/wide.usd", "Wide", postcard, wide},
        {"lay/tall.usd", "Tall", lSize, tall},
        {"lay/nothumb.usd", "Bare", postcard, {}},
        {"lay/outside.usd", "Far", postcard, {}}, // a thumbnail outside the folder is not read
        {"lay/damaged.usd", "", "", {}},
        {"lay/camera.zvd", "Cam", camera, wide},
        {"lay/one.fdp", "\xE5\x86\x99\xE7\x9C\x9F", postcard, tall},
        {"lay/set.fdp", "Set", camera, wide},
        {"set/SET.usm", "Second", camera, wide},
        {"set/inner/EVIL.usm", "", "", {}},
        {"lay", "", "", {}},
        {"lay/notes.txt", "", "", {}},
        {"lay/missing.usd", "", "", {}},
    };
    CUDLOpenFileDialog dialog(bars.shell);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        // The previous preview must not show through.
        dialog.ShowPreviewOf(Path("lay/wide.usd"));
        dialog.ShowPreviewOf(Path(c.file));
        const Shown shown = Look(dialog);
        EXPECT_EQ(shown.first, c.first);
        EXPECT_EQ(shown.second, c.second);
        EXPECT_EQ(shown.picture, c.picture);
        EXPECT_TRUE(shown.otherwiseGreyBlue);
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(CUDLOpenFileDialog::PreviewFolder())));
    }
}

TEST_F(OpenFileDialogTest, APackagePreviewWorksInItsOwnFolderOnly)
{
    WriteFileBytes(Path("src/one.usd"), LayoutScriptText("One", "THUMB.USF"));
    ASSERT_TRUE(WriteRedJpeg(Path("src/THUMB.USF"), 240, 120));
    ASSERT_TRUE(PackageLayout(Path("src/one.usd"), Path("one.fdp")));

    const std::string package = GetTempPackageFolder(true);
    ASSERT_EQ(package.rfind(Path("tmp"), 0), 0u);
    const std::string listed = package + "/List/jpg0001.tmp";
    const std::string beside = package + "/Temp.jpg";
    WriteFileBytes(listed, "another reader's thumbnail");
    WriteFileBytes(beside, "kept");
    {
        CUDLOpenFileDialog dialog(bars.shell);
        dialog.ShowPreviewOf(Path("one.fdp"));
        EXPECT_EQ(Look(dialog).picture, QRect(1, 31, 120, 60));
        EXPECT_FALSE(IsDirectory(CUDLOpenFileDialog::PreviewFolder()));
        // A file where the preview's folder would go is replaced, not followed.
        WriteFileBytes(CUDLOpenFileDialog::PreviewFolder(), "in the way");
        dialog.ShowPreviewOf(Path("one.fdp"));
        EXPECT_EQ(Look(dialog).picture, QRect(1, 31, 120, 60));
        CreateFolderPath(CUDLOpenFileDialog::PreviewFolder());
    }
    // The dialog's end removes its folder too.
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(CUDLOpenFileDialog::PreviewFolder())));
    EXPECT_TRUE(IsFile(listed));
    EXPECT_TRUE(IsFile(beside));
}

TEST_F(OpenFileDialogTest, AStoredTypeAbove2OpensOnTheFirstAndIsStoredBack)
{
    for (int stored : {3, 4}) {
        ASSERT_EQ(bars.shell.settings.SetOpenFileFilterIndex(stored), 1);
        CUDLOpenFileDialog dialog(bars.shell);
        QString filter;
        EXPECT_EQ(Run(dialog,
                      [&] {
                          filter = dialog.selectedNameFilter();
                          dialog.reject();
                      }),
                  0);
        EXPECT_EQ(filter.toStdString(), Text(162)); // the first type, shown by its description
        EXPECT_EQ(bars.shell.settings.GetOpenFileFilterIndex(), 1);
        EXPECT_EQ(dialog.windowTitle().toStdString(), Text(171));
    }
}

TEST_F(OpenFileDialogTest, AFolderThatIsGoneOpensTheDocumentsFolder)
{
    // The user's documents folder, named by the user's folder list.
    WriteFileBytes(Path("config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"" + Path("docs") + "\"\n");
    QDir().mkpath(QString::fromStdString(Path("docs")));
    ASSERT_EQ(GetMyDocumentsFolder(), Path("docs") + "/");

    const std::string gone = Path("gone");
    bars.shell.settings.SetLoadLayoutFolder(&gone);
    QString folder;
    {
        CUDLOpenFileDialog dialog(bars.shell);
        Run(dialog, [&] {
            folder = dialog.directory().absolutePath();
            dialog.reject();
        });
    }
    EXPECT_EQ(folder.toStdString(), Path("docs"));
    EXPECT_EQ(bars.shell.settings.GetLoadLayoutFolder(), gone);
}

TEST_F(OpenFileDialogTest, TheFileTypesFollowTheInstallation)
{
    for (int type : {0, 1, 2}) {
        InstallSettings install;
        install.editableFrameType = type;
        bars.shell.settings.SetInstallSettings(install);
        CUDLOpenFileDialog dialog(bars.shell);
        Run(dialog, [&] { dialog.reject(); });
        const QStringList filters = dialog.nameFilters();
        ASSERT_EQ(filters.size(), 2);
        EXPECT_EQ(filters[0].toStdString(), Text(162) + " (*.[zZ][vV][dD])");
        if (type == 1)
            EXPECT_EQ(filters[1].toStdString(), Text(203) + " (*.[fF][dD][pP])");
        else
            EXPECT_EQ(filters[1].toStdString(), Text(193) + " (*.[fF][dD][pP] *.[uU][sS][dD])");
    }
}

TEST_F(OpenFileDialogTest, OkStoresTheFolderAndTheType)
{
    WriteFileBytes(Path("lay/wide.usd"), LayoutScriptText("Wide", ""));
    const std::string start = Path("lay");
    bars.shell.settings.SetLoadLayoutFolder(&start);
    bars.shell.settings.SetOpenFileFilterIndex(1);
    CUDLOpenFileDialog dialog(bars.shell);
    QString opened;
    bool previewed = false;
    EXPECT_EQ(Run(dialog,
                  [&] {
                      opened = dialog.directory().absolutePath();
                      dialog.selectNameFilter(dialog.nameFilters().value(1));
                      // Choosing the file previews it (once the folder is listed).
                      previewed = QTest::qWaitFor(
                          [&] {
                              dialog.selectFile(QString::fromStdString(Path("lay/wide.usd")));
                              return dialog.FirstText() == "Wide";
                          },
                          5000);
                      QMetaObject::invokeMethod(&dialog, "accept", Qt::DirectConnection);
                  }),
              1);
    EXPECT_EQ(opened.toStdString(), start);
    EXPECT_TRUE(previewed);
    EXPECT_EQ(dialog.GetPathName(), Path("lay/wide.usd"));
    EXPECT_EQ(bars.shell.settings.GetLoadLayoutFolder(), start);
    EXPECT_EQ(bars.shell.settings.GetOpenFileFilterIndex(), 2);
}

TEST_F(OpenFileDialogTest, TheInformationShowsBothLinesOnTheButtonFace)
{
    WriteFileBytes(Path("lay/a.usd"), LayoutScriptText("Title line", ""));
    CUDLOpenFileDialog dialog(bars.shell);
    auto inks = [&](bool upper) {
        const QImage& info = dialog.InfoImage();
        const QRgb face = QApplication::palette().color(QPalette::Button).rgb();
        const int middle = 1 + (info.height() - 2) / 2;
        int count = 0;
        for (int y = upper ? 2 : middle; y < (upper ? middle : info.height() - 2); ++y)
            for (int x = 2; x < info.width() - 2; ++x)
                if ((info.pixel(x, y) & 0xFFFFFF) != (face & 0xFFFFFF))
                    ++count;
        return count;
    };
    ASSERT_EQ(dialog.InfoImage().width(), 122);
    EXPECT_EQ(inks(true) + inks(false), 0);
    dialog.ShowPreviewOf(Path("lay/a.usd"));
    EXPECT_GT(inks(true), 10);
    EXPECT_GT(inks(false), 10);
    dialog.ShowPreviewOf(Path("lay"));
    EXPECT_EQ(inks(true) + inks(false), 0);
}

TEST_F(OpenFileDialogTest, FileOpenRunsTheWizardWhoseBrowseOpensTheChosenFile)
{
    WriteFileBytes(Path("lay/wide.usd"), LayoutScriptText("Wide", ""));
    const std::string start = Path("lay");
    bars.shell.settings.SetLoadLayoutFolder(&start);
    bars.shell.settings.SetOpenFileFilterIndex(2);
    WizardDocumentUi ui(bars.shell);
    for (bool accept : {false, true}) {
        modaltest::OnNextModal<QWizard>([&](QWizard& modal) {
            auto* wizard = &modal;
            QWidget* browse = nullptr;
            for (QWidget* child : wizard->currentPage()->findChildren<QWidget*>())
                if (GetControlId(child) == 1200)
                    browse = child;
            ASSERT_NE(browse, nullptr);
            modaltest::OnNextModal<CUDLOpenFileDialog>([&](CUDLOpenFileDialog& dialog) {
                if (!accept) {
                    dialog.reject();
                    return;
                }
                dialog.selectFile(QString::fromStdString(Path("lay/wide.usd")));
                QMetaObject::invokeMethod(&dialog, "accept", Qt::DirectConnection);
            });
            qobject_cast<QAbstractButton*>(browse)->click();
            // A cancelled browse leaves the wizard open.
            if (!accept)
                wizard->reject();
        });
        ui.RunNewWizard(*bars.doc.document, nullptr, kExistingPage);
    }
    EXPECT_EQ(bars.doc.kinds.calls, std::vector<std::string>{"load usd " + Path("lay/wide.usd")});
}

} // namespace
