// The road a user walks: a new postcard, a photo frame and a text drawn with
// the mouse, saved as the editor document, opened again and saved in place.
#include "App/MainFrame.h"
#include "App/MainMenu.h"
#include "App/MenuDisplay.h"
#include "App/support/StandInAppUi.h"
#include "App/support/StandInDocumentUi.h"
#include "App/ZAVEditorDoc.h"
#include "App/support/AppTestSupport.h"
#include "App/support/ModalScript.h"
#include "App/support/SiblingAppConfig.h"
#include "Layout/InsertImageFrameItem.h"
#include "Layout/LayoutManager.h"
#include "Layout/StringItem.h"
#include "Layout/support/DialogFakes.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

namespace {

// The stand-in dialogs, with the file choosers answered by the test.
class ScriptedDocumentUi : public StandInDocumentUi
{
public:
    void RunNewWizard(CZAVEditorDoc& document, QWidget* parent, int startMode) override
    {
        if (startMode == 3) {
            document.OnOpenDocument(openPath);
            return;
        }
        StandInDocumentUi::RunNewWizard(document, parent, startMode);
    }
    std::optional<std::string> RunSaveFileDialog(QWidget*, const std::string&, const std::string&,
                                                 const std::string&) override
    {
        ++saveDialogRuns;
        return savePath;
    }

    std::string savePath;
    std::string openPath;
    int saveDialogRuns = 0;
};

class RoundTripUi : public StandInAppUi
{
public:
    IDocumentUi* DocumentUi() override { return &documents; }
    ScriptedDocumentUi documents;
};

QByteArray ReadAll(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ino_t FileId(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class EditorRoundTripTest : public ::testing::Test
{
protected:
    EditorRoundTripTest() : tempEnv("TMPDIR", temp.path().toStdString())
    {
        EnsureApp();
        QSettings store(folders.SettingsFile(), QSettings::IniFormat);
        store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
        store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
    }

    // Opens the entry's menu, so its update handlers run, and chooses the entry.
    void Choose(int id)
    {
        QAction* action = FindMenuAction(*app->MainMenuBar(), id);
        ASSERT_NE(action, nullptr) << id;
        auto* menu = qobject_cast<QMenu*>(action->parent());
        ASSERT_NE(menu, nullptr);
        emit menu->aboutToShow();
        ASSERT_TRUE(action->isEnabled()) << id;
        action->trigger();
    }
    // A drag with the left button between two client points of the view.
    void Drag(QPoint from, QPoint to)
    {
        QWidget* port = app->GetView()->viewport();
        const auto send = [port](QEvent::Type type, QPoint at, Qt::MouseButton button,
                                 Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(at), port->mapToGlobal(QPointF(at)), button, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(port, &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    // A client point inside the page, a fraction of its width and height from its corner.
    QPoint OnPage(double fx, double fy)
    {
        RECT page;
        app->GetDocument()->GetLayoutManager()->GetRect(&page, true);
        const POINT scroll = app->GetView()->GetScrollPosition();
        return QPoint(page.left - scroll.x + int((page.right - page.left) * fx),
                      page.top - scroll.y + int((page.bottom - page.top) * fy));
    }

    QTemporaryDir temp;
    ScopedEnv tempEnv;
    AppFolders folders{{"ShowOpeningFirst=0"}};
    RoundTripUi ui;
    FakeServices services;
    MessageRecorder recorder;
    dialogtest::FakeDialogs layoutDialogs;
    std::unique_ptr<CZAVEditorApp> app;
};

TEST_F(EditorRoundTripTest, ANewPostcardSavedOpenedAndSavedInPlaceIsByteForByteTheSame)
{
    app = std::make_unique<CZAVEditorApp>(folders.Environment(), ui, services);
    ASSERT_TRUE(app->InitInstance(std::nullopt));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->GetMainFrame()));
    CZAVEditorDoc& document = *app->GetDocument();

    // File > New: the paper page, postcard, upright.
    bool paperChosen = false;
    modaltest::OnNextModal<QDialog>([&paperChosen](QDialog& modal) {
        auto* dialog = &modal;
        auto* papers = dialog->findChild<QComboBox*>(QStringLiteral("PaperSize"));
        auto* direction = dialog->findChild<QComboBox*>(QStringLiteral("Direction"));
        ASSERT_NE(papers, nullptr);
        ASSERT_NE(direction, nullptr);
        papers->setCurrentIndex(papers->findData(0));
        direction->setCurrentIndex(0);
        paperChosen = true;
        dialog->accept();
    });
    Choose(ID_FILE_NEW);
    ASSERT_TRUE(paperChosen);
    CLayoutManager& layout = *document.GetLayoutManager();
    ASSERT_EQ(layout.GetPaperSizeIndex(), 0);
    ASSERT_EQ(layout.GetItemCount(-1, -1, nullptr), 0);

    // A photo frame and a text, each tool chosen from the Item menu and drawn with the mouse.
    Choose(32850);
    Drag(OnPage(0.15, 0.1), OnPage(0.8, 0.5));
    ASSERT_EQ(layout.GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>), 1);
    layoutDialogs.editFont = [](StringItemFontValues& values) { values.text = "Summer 2026"; };
    Choose(32830);
    Drag(OnPage(0.2, 0.65), OnPage(0.8, 0.75));
    ASSERT_EQ(layout.GetItemCount(-1, -1, &IsKindOf<CStringItem>), 1);
    EXPECT_TRUE(document.IsModified());

    // File > Save as / register: the editor document.
    const std::string path = temp.path().toStdString() + "/postcard.zvd";
    ui.documents.savePath = path;
    modaltest::OnNextModal<QDialog>([](QDialog& modal) {
        auto* dialog = &modal;
        ASSERT_EQ(dialog->objectName(), QStringLiteral("SelectSave"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        buttons->button(QDialogButtonBox::Save)->click();
    });
    Choose(32773);
    EXPECT_EQ(ui.documents.saveDialogRuns, 1);
    const QByteArray first = ReadAll(path);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(document.GetPathName(), path);
    EXPECT_FALSE(document.IsModified());

    // File > Open it again.
    ui.documents.openPath = path;
    Choose(ID_FILE_OPEN);
    EXPECT_EQ(layout.GetItemCount(-1, -1, &IsKindOf<CInsertImageFrameItem>), 1);
    ASSERT_EQ(layout.GetItemCount(-1, -1, &IsKindOf<CStringItem>), 1);
    for (const auto& item : layout.GetItems()) {
        if (const auto* text = dynamic_cast<const CStringItem*>(item.get())) {
            EXPECT_EQ(text->GetText(), "Summer 2026");
        }
    }
    EXPECT_FALSE(document.IsModified());

    // File > Save writes the file anew, with the same bytes.
    const ino_t before = FileId(path);
    Choose(ID_FILE_SAVE);
    EXPECT_NE(FileId(path), before);
    EXPECT_EQ(ReadAll(path), first);
    EXPECT_TRUE(recorder.messages.empty());
    app->ExitInstance();
}

} // namespace
