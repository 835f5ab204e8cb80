// The wizard's existing-layout page: its sources and their selection rules,
// opening the chosen file, and its thumbnail worker when the list is refilled
// or the wizard closes mid-way.
#include "Dialogs/SelectExistsLayoutDialog.h"

#include "App/MessageBoxes.h"
#include "App/support/AppTestSupport.h"
#include "Dialogs/ExistingLayoutEntry.h"
#include "Dialogs/LayoutList.h"
#include "Dialogs/LayoutListEntry.h"
#include "Dialogs/UDLOpenFileDialog.h"
#include "Dialogs/support/FakeDialogShell.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "FrameKit/PackageTestUtil.h"
#include "FrameKit/PackageZAV.h"
#include "ImageProcessing/Image.h"
#include "ImageProcessing/ImageFile.h"
#include "Platform/DialogLayoutTarget.h"
#include "Platform/WaitFeedback.h"
#include "Script/UDLScript.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWizard>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;

QWidget* Control(QWidget* page, int controlId)
{
    for (QWidget* child : page->findChildren<QWidget*>())
        if (GetControlId(child) == controlId)
            return child;
    return nullptr;
}

QAbstractButton* Button(QWidget* page, int controlId)
{
    return qobject_cast<QAbstractButton*>(Control(page, controlId));
}

// A colour that stands for a path, so a picture on the wrong entry shows.
QRgb ColourOf(const std::string& path)
{
    const std::size_t hash = std::hash<std::string>()(path);
    return qRgb(static_cast<int>(hash & 0xFF), static_cast<int>((hash >> 8) & 0xFF), 128);
}

QImage Painted(const std::string& path)
{
    QImage image(60, 60, QImage::Format_ARGB32);
    image.fill(ColourOf(path));
    return image;
}

// The page's thumbnail of a row, as the list would draw it.
QRgb ShownColour(const CSelectExistsLayoutDialog& page, int row)
{
    const LayoutListEntry* entry = page.List()->GetItemData(row);
    QImage canvas(60, 60, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    page.Thumbnails().Draw(painter, entry->imageIndex, QPoint(0, 0));
    painter.end();
    return canvas.pixel(30, 30) | 0xFF000000u;
}

int ThumbnailsShown(const CSelectExistsLayoutDialog& page)
{
    int shown = 0;
    for (int i = 0; i < page.List()->GetCount(); ++i)
        if (page.List()->GetItemData(i)->imageIndex >= 0)
            ++shown;
    return shown;
}

bool ListFolderExists()
{
    return QFileInfo::exists(QString::fromStdString(CSelectExistsLayoutDialog::ListThumbnailFolder()));
}

class ExistingLayoutPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApp();
        m_oldTmp = qEnvironmentVariable("TMPDIR");
        qputenv("TMPDIR", QByteArray::fromStdString(dir / "tmp"));
        QDir().mkpath(QString::fromStdString(dir / "tmp"));
        shell.localizeIniPath = ShippedIniPath();
        // Papers 0, 1 and 2 in that order; any other sorts last.
        shell.paperList = {0, 1, 2};
    }
    void TearDown() override
    {
        host.reset();
        if (m_oldTmp.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_oldTmp.toUtf8());
    }

    // A layout script with a title, a paper and a thumbnail reference.
    std::string WriteLayout(const std::string& relative, const std::string& title, int paper,
                            const std::string& thumbnail = {})
    {
        const std::string path = dir / relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        CUDLScript script;
        script.InitHeader();
        EXPECT_EQ(script.SetTitle(title), 1);
        script.SetPaperSize(paper);
        script.SetThumbnail(thumbnail);
        EXPECT_EQ(script.Write(path), 1) << path;
        return path;
    }

    // The page alone in a plain wizard, with the loader given.
    void Show(CThumbnailWorker::Loader loader = {})
    {
        host = std::make_unique<QWizard>();
        page = new CSelectExistsLayoutDialog(shell, std::move(loader));
        host->addPage(page);
        host->show();
        ASSERT_EQ(host->currentPage(), page);
    }

    void Click(int controlId) { Button(page, controlId)->click(); }

    std::vector<std::string> Listed() const
    {
        std::vector<std::string> paths;
        for (int i = 0; i < page->List()->GetCount(); ++i)
            paths.push_back(page->List()->GetText(i));
        return paths;
    }

    PackageTempDir dir;
    FakeDialogShell shell;
    std::unique_ptr<QWizard> host;
    CSelectExistsLayoutDialog* page = nullptr;

private:
    QString m_oldTmp;
};

} // namespace

// --- Sources and selection ----------------------------------------------------

TEST_F(ExistingLayoutPageTest, AnEmptySourceShowsAnEmptyListDisablesFinishAndStartsNoWorker)
{
    Show();
    EXPECT_EQ(page->Source(), 0);
    EXPECT_EQ(page->List()->GetCount(), 0);
    EXPECT_FALSE(page->isComplete());
    EXPECT_FALSE(host->button(QWizard::FinishButton)->isEnabled());
    EXPECT_EQ(page->Worker().StartCount(), 0);
    // No card at all: the card source is empty too, and its combo box empty.
    Click(1092);
    EXPECT_EQ(page->Source(), 2);
    EXPECT_EQ(page->List()->GetCount(), 0);
    EXPECT_EQ(qobject_cast<QComboBox*>(Control(page, 1525))->count(), 0);
    EXPECT_EQ(page->Worker().StartCount(), 0);
    EXPECT_FALSE(ListFolderExists());
}

TEST_F(ExistingLayoutPageTest, EachSourceEnablesItsOwnControls)
{
    Show();
    const struct
    {
        int radio;
        bool hint, browse, drives;
    } cases[] = {{1090, false, false, false}, {1092, false, false, true}, {1091, true, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radio);
        Click(c.radio);
        EXPECT_EQ(Control(page, 2080)->isEnabled(), c.hint);
        EXPECT_EQ(Control(page, 1200)->isEnabled(), c.browse);
        EXPECT_EQ(Control(page, 1525)->isEnabled(), c.drives);
    }
}

TEST_F(ExistingLayoutPageTest, RegisteredLayoutsSortByPaperThenTitleAndUnknownPapersLast)
{
    const std::string unknown = WriteLayout("udl/U.usd", "A first title", 3);
    const std::string paper1 = WriteLayout("udl/P1.usd", "Beta", 1);
    const std::string paper0b = WriteLayout("udl/P0B.usd", "Zulu", 0);
    const std::string paper0a = WriteLayout("udl/P0A.usd", "Alpha", 0);
    WriteBytes(dir / "udl/broken.usd", "[HEADER]\r\nHdRevision=x\r\n");
    shell.udlFolder = dir / "udl";
    Show();
    Click(1090);
    EXPECT_EQ(Listed(), (std::vector<std::string>{paper0a, paper0b, paper1, unknown}));
    const LayoutListEntry* last = page->List()->GetItemData(3);
    EXPECT_EQ(last->paperOrder, LayoutListEntry::kUnknownPaperOrder);
    EXPECT_EQ(last->title, "A first title");
    EXPECT_EQ(page->List()->GetCurSel(), 0);
    EXPECT_TRUE(host->button(QWizard::FinishButton)->isEnabled());
}

TEST_F(ExistingLayoutPageTest, ARefillKeepsTheSelectedPathAnotherSourceSelectsTheFirst)
{
    const std::string a = WriteLayout("udl/A.usd", "a", 0);
    const std::string b = WriteLayout("udl/B.usd", "b", 0);
    const std::string c = WriteLayout("udl/C.usd", "c", 0);
    WriteLayout("card/VLUDL/CARD1.usd", "card 1", 0);
    WriteLayout("card/VLUDL/CARD2.usd", "card 2", 0);
    shell.udlFolder = dir / "udl";
    shell.cardRoots = {dir / "card/"};
    Show();
    Click(1090);
    page->List()->SetCurSel(2);
    ASSERT_EQ(page->List()->GetText(2), c);
    // A new file sorts before the selected one; the selection follows its path.
    const std::string first = WriteLayout("udl/AA.usd", "0", 0);
    Click(1090);
    EXPECT_EQ(Listed(), (std::vector<std::string>{first, a, b, c}));
    EXPECT_EQ(page->List()->GetCurSel(), 3);
    // Another source: the first entry.
    Click(1092);
    EXPECT_EQ(page->List()->GetCount(), 2);
    EXPECT_EQ(page->List()->GetCurSel(), 0);
    // The selected file gone: the first again.
    page->List()->SetCurSel(1);
    std::filesystem::remove(dir / "card/VLUDL/CARD2.usd");
    Click(1092);
    EXPECT_EQ(page->List()->GetCount(), 1);
    EXPECT_EQ(page->List()->GetCurSel(), 0);
}

TEST_F(ExistingLayoutPageTest, ADeletedRecentFileIsNotListedAndLeavesTheShellsList)
{
    const std::string kept = WriteLayout("r/kept.usd", "kept", 1);
    const std::string unreadable = dir / "r/notes.zvd";
    WriteBytes(unreadable, "not a document");
    shell.recentFiles = {dir / "r/deleted.usd", kept, unreadable};
    Show();
    // Recent files are listed in their order, unreadable ones too.
    EXPECT_EQ(Listed(), (std::vector<std::string>{kept, unreadable}));
    EXPECT_EQ(shell.recentFiles, (std::vector<std::string>{kept, unreadable}));
    EXPECT_EQ(page->List()->GetItemData(0)->title, "kept");
    EXPECT_EQ(page->List()->GetItemData(1)->fileName, "notes.zvd");
}

TEST_F(ExistingLayoutPageTest, CameraOnlyHidesTheRegisteredChoiceAndMovesTheRecentOne)
{
    InstallSettings install;
    install.editableFrameType = 1;
    shell.settings.SetInstallSettings(install);
    CNewWizard wizard(shell, nullptr);
    wizard.Prepare(3);
    wizard.show();
    auto* existing = qobject_cast<CSelectExistsLayoutDialog*>(wizard.currentPage());
    ASSERT_NE(existing, nullptr);
    EXPECT_FALSE(Control(existing, 1090)->isVisible());
    // 56 and 80 in section 133: half of 24 down.
    EXPECT_EQ(Control(existing, 1091)->y(), 68);
    EXPECT_EQ(Control(existing, 1092)->y(), 104);
}

// --- Opening ----------------------------------------------------------------------

class ExistingLayoutOpenTest : public ExistingLayoutPageTest
{
protected:
    void ShowWizard()
    {
        wizard = std::make_unique<CNewWizard>(shell, nullptr);
        wizard->Prepare(3);
        wizard->show();
        page = qobject_cast<CSelectExistsLayoutDialog*>(wizard->currentPage());
        ASSERT_NE(page, nullptr);
    }
    void TearDown() override
    {
        wizard.reset();
        ExistingLayoutPageTest::TearDown();
    }
    std::unique_ptr<CNewWizard> wizard;
};

TEST_F(ExistingLayoutOpenTest, AFileOfTheConfigurationFolderIsRefusedAndTheWizardStays)
{
    const std::string owned = WriteLayout("app/Config/UDL/OWN.usd", "own", 0);
    shell.configUdlFolder = dir / "app/Config/UDL";
    shell.recentFiles = {owned};
    ShowWizard();
    ASSERT_EQ(page->List()->GetCount(), 1);
    wizard->button(QWizard::FinishButton)->click();
    EXPECT_EQ(shell.messages, (std::vector<std::pair<int, unsigned>>{{140, MB_ICONSTOP}}));
    EXPECT_TRUE(shell.documentCalls.empty());
    EXPECT_TRUE(wizard->isVisible());
}

TEST_F(ExistingLayoutOpenTest, FinishOpensTheSelectedFileAndEndsTheWizard)
{
    const std::string path = WriteLayout("r/open.usd", "open", 0);
    shell.recentFiles = {path};
    ShowWizard();
    wizard->button(QWizard::FinishButton)->click();
    EXPECT_EQ(shell.documentCalls,
              (std::vector<std::string>{"OnOpenDocument " + path, "InitialFrameUpdate"}));
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
}

TEST_F(ExistingLayoutOpenTest, AFailedOpenClearsTheModifiedFlagAndStillEndsTheWizard)
{
    const std::string path = WriteLayout("r/fails.usd", "fails", 0);
    shell.recentFiles = {path};
    shell.openSucceeds = false;
    ShowWizard();
    wizard->button(QWizard::FinishButton)->click();
    EXPECT_EQ(shell.documentCalls, (std::vector<std::string>{"OnOpenDocument " + path, "SetModifiedFlag 0",
                                                             "InitialFrameUpdate"}));
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
}

TEST_F(ExistingLayoutOpenTest, ADoubleClickOpensLikeFinishAndBelowTheRowsNothing)
{
    const std::string only = WriteLayout("r/only.usd", "only", 0);
    shell.recentFiles = {only};
    ShowWizard();
    QWidget* viewport = page->List()->viewport();
    ASSERT_GT(viewport->height(), CLayoutList::kRowHeight + 10);
    // Below the last row: ignored.
    const QPoint below(10, CLayoutList::kRowHeight + 10);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, below);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, below);
    EXPECT_TRUE(shell.documentCalls.empty());
    EXPECT_TRUE(wizard->isVisible());
    const QPoint row(10, 10);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, row);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, row);
    ASSERT_FALSE(shell.documentCalls.empty());
    EXPECT_EQ(shell.documentCalls.front(), "OnOpenDocument " + only);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
}

TEST_F(ExistingLayoutOpenTest, BrowseOpensTheChosenFileAndAnEmptyChoiceIsText150)
{
    ShowWizard();
    page->SetBrowseChooser([](QWidget*) { return std::optional<std::string>(""); });
    Button(page, 1200)->click();
    EXPECT_EQ(shell.messages, (std::vector<std::pair<int, unsigned>>{{150, MB_ICONSTOP}}));
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_TRUE(shell.documentCalls.size() == 1 && shell.documentCalls[0] == "InitialFrameUpdate");

    // Cancelled: nothing happens.
    ShowWizard();
    shell.messages.clear();
    page->SetBrowseChooser([](QWidget*) { return std::optional<std::string>(); });
    Button(page, 1200)->click();
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_TRUE(wizard->isVisible());
}

// --- The thumbnail worker --------------------------------------------------------

class ExistingLayoutThreadTest : public ExistingLayoutPageTest
{
protected:
    // Layouts whose thumbnails the fake loader paints in their own colour.
    void WriteFolder(const std::string& folder, int count)
    {
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "L%04d.usd", i);
            const std::string thumbnail = dir / (folder + "/T" + std::to_string(i) + ".jpg");
            WriteBytes(thumbnail, "painted by the fake loader");
            WriteLayout(folder + "/" + name, name, i % 3, thumbnail);
        }
    }
    CThumbnailWorker::Loader SlowLoader()
    {
        return [this](const std::string& path) {
            ++running;
            std::this_thread::sleep_for(2ms);
            --running;
            return Painted(path);
        };
    }
    // Every shown thumbnail is the picture of its own entry.
    void ExpectOwnPictures()
    {
        for (int i = 0; i < page->List()->GetCount(); ++i) {
            const LayoutListEntry* entry = page->List()->GetItemData(i);
            if (entry->imageIndex >= 0) {
                EXPECT_EQ(ShownColour(*page, i), ColourOf(entry->thumbnailPath)) << entry->fileName;
            }
        }
    }

    std::atomic<int> running{0};
};

TEST_F(ExistingLayoutThreadTest, ARefillMidListPutsNoPictureOfTheOldFillingOnTheNewOne)
{
    WriteFolder("one", 200);
    WriteFolder("two", 200);
    shell.udlFolder = dir / "one";
    Show(SlowLoader());
    Click(1090);
    ASSERT_EQ(page->List()->GetCount(), 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ThumbnailsShown(*page) >= 5; }));
    ASSERT_LT(ThumbnailsShown(*page), 200) << "the loader is too fast for the test";
    const int generation = page->Generation();

    // The same source, now another folder: same rows, other pictures.
    shell.udlFolder = dir / "two";
    Click(1090);
    EXPECT_EQ(page->Generation(), generation + 1);
    EXPECT_EQ(ThumbnailsShown(*page), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ThumbnailsShown(*page) == 200; }));
    ExpectOwnPictures();
    for (int settle = 0; settle < 20; ++settle)
        QCoreApplication::processEvents();
    EXPECT_EQ(page->Thumbnails().GetImageCount(), 200);
}

TEST_F(ExistingLayoutThreadTest, ClosingTheWizardMidListJoinsTheWorkerAndLeavesNoFiles)
{
    WriteFolder("one", 200);
    shell.udlFolder = dir / "one";
    Show(SlowLoader());
    Click(1090);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ThumbnailsShown(*page) >= 3; }));
    ASSERT_TRUE(page->Worker().IsRunning());
    host->reject();
    EXPECT_FALSE(page->Worker().IsRunning());
    EXPECT_EQ(running.load(), 0);
    host.reset();
    EXPECT_EQ(running.load(), 0);
    EXPECT_FALSE(ListFolderExists());
    for (int settle = 0; settle < 20; ++settle)
        QCoreApplication::processEvents();
}

TEST_F(ExistingLayoutThreadTest, DestroyingThePageMidListJoinsTheWorker)
{
    WriteFolder("one", 200);
    shell.udlFolder = dir / "one";
    Show(SlowLoader());
    Click(1090);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ThumbnailsShown(*page) >= 3; }));
    host.reset();
    EXPECT_EQ(running.load(), 0);
    for (int settle = 0; settle < 20; ++settle)
        QCoreApplication::processEvents();
    EXPECT_FALSE(ListFolderExists());
}

TEST_F(ExistingLayoutThreadTest, RealThumbnailsArriveWithTheQtWaitFeedbackInstalled)
{
    CQtWaitFeedback feedback;
    SetImageWaitFeedback(&feedback);
    std::vector<std::pair<std::string, QRgb>> expected;
    for (int i = 0; i < 12; ++i) {
        const std::string thumbnail = dir / ("r/T" + std::to_string(i) + ".jpg");
        std::filesystem::create_directories(dir / "r");
        CImage image;
        ASSERT_TRUE(image.Create(80, 40));
        const COLORREF colour = RGB(20 * i, 255 - 20 * i, (i % 2) * 255);
        image.FillRect(0, 0, 80, 40, colour);
        ASSERT_EQ(image.SaveAsJpeg(thumbnail, 0, 95), 0);
        const std::string layout = WriteLayout("r/L" + std::to_string(i) + ".usd", "t", 0, thumbnail);
        shell.recentFiles.push_back(layout);
    }
    Show();
    ASSERT_EQ(page->List()->GetCount(), 12);
    // A refill while the first filling decodes.
    Click(1091);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ThumbnailsShown(*page) == 12; }));
    for (int i = 0; i < 12; ++i) {
        const QRgb shown = ShownColour(*page, i);
        const int n = std::stoi(page->List()->GetItemData(i)->fileName.substr(1));
        EXPECT_NEAR(qRed(shown), 20 * n, 8) << i;
        EXPECT_NEAR(qGreen(shown), 255 - 20 * n, 8) << i;
    }
    host.reset();
    SetImageWaitFeedback(nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ExistingLayoutThreadTest, ThumbnailsOfPackagesLiveInTheListFolderUntilTheLastArrives)
{
    std::filesystem::create_directories(dir / "src");
    CImage image;
    ASSERT_TRUE(image.Create(40, 40));
    ASSERT_EQ(image.SaveAsJpeg(dir / "src/THUMB.USF", 0, 90), 0);
    WriteBytes(dir / "src/a.usd", LayoutScript("THUMB.USF", "", {}));
    ZAVPath layout{};
    std::snprintf(layout, sizeof layout, "%s", (dir / "src/a.usd").c_str());
    PackageZAV kit;
    ASSERT_EQ(kit.Package(1, &layout, (dir / "a.fdp").c_str()), 0);
    // Something else of the temporary package folder stays.
    WriteBytes(dir / "tmp/ZAVDTempPackage/Preview/Temp.jpg", "preview");
    shell.recentFiles = {dir / "a.fdp"};

    std::atomic<bool> release{false};
    std::atomic<bool> sawFile{false};
    Show([&](const std::string& path) {
        sawFile = QFileInfo::exists(QString::fromStdString(path));
        while (!release)
            std::this_thread::sleep_for(1ms);
        return MakeLayoutThumbnail(path);
    });
    ASSERT_EQ(page->List()->GetCount(), 1);
    EXPECT_TRUE(ListFolderExists());
    release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return ThumbnailsShown(*page) == 1; }));
    EXPECT_TRUE(sawFile.load());
    EXPECT_FALSE(ListFolderExists());
    EXPECT_EQ(ReadBytes(dir / "tmp/ZAVDTempPackage/Preview/Temp.jpg"), "preview");
}

TEST_F(ExistingLayoutThreadTest, BrowseWhileTheWorkerRunsStillReceivesThumbnailsAndThePreviewWorks)
{
    // A package last: its thumbnail waits in the page's folder meanwhile.
    std::filesystem::create_directories(dir / "pk");
    CImage picture;
    ASSERT_TRUE(picture.Create(40, 40));
    ASSERT_EQ(picture.SaveAsJpeg(dir / "pk/THUMB.USF", 0, 90), 0);
    WriteBytes(dir / "pk/a.usd", LayoutScript("THUMB.USF", "", {}));
    ZAVPath layout{};
    std::snprintf(layout, sizeof layout, "%s", (dir / "pk/a.usd").c_str());
    PackageZAV kit;
    ASSERT_EQ(kit.Package(1, &layout, (dir / "a.fdp").c_str()), 0);
    WriteFolder("r", 60);
    for (int i = 0; i < 60; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "r/L%04d.usd", i);
        shell.recentFiles.push_back(dir / name);
    }
    shell.recentFiles.push_back(dir / "a.fdp");
    std::atomic<bool> release{false};
    auto slow = SlowLoader();
    // The package's thumbnail is made last, after Browse.
    Show([&](const std::string& path) {
        if (path.find("/List/") != std::string::npos) {
            while (!release)
                std::this_thread::sleep_for(1ms);
            return MakeLayoutThumbnail(path);
        }
        return slow(path);
    });
    const std::string packaged = page->List()->GetItemData(60)->thumbnailPath;
    ASSERT_FALSE(packaged.empty());
    int arrivedDuringBrowse = 0;
    std::string previewTitle;
    bool packagedKept = false;
    page->SetBrowseChooser([&](QWidget* parent) {
        const int before = ThumbnailsShown(*page);
        CUDLOpenFileDialog dialog(shell, parent);
        dialog.ShowPreviewOf(dir / "a.fdp");
        previewTitle = dialog.FirstText();
        packagedKept = QFileInfo::exists(QString::fromStdString(packaged));
        // The modal dialog's own event loop.
        static_cast<void>(QTest::qWaitFor([&] { return ThumbnailsShown(*page) >= before + 10; }));
        arrivedDuringBrowse = ThumbnailsShown(*page) - before;
        return std::optional<std::string>();
    });
    Button(page, 1200)->click();
    EXPECT_GE(arrivedDuringBrowse, 10);
    EXPECT_EQ(previewTitle, "Card");
    EXPECT_TRUE(packagedKept);
    release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return ThumbnailsShown(*page) == 61; }));
    EXPECT_GE(page->List()->GetItemData(60)->imageIndex, 0);
    host->reject();
    EXPECT_FALSE(ListFolderExists());
}
