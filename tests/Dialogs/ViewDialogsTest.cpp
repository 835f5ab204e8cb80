#include "Dialogs/ViewDialogs.h"
#include "App/ZAVEditorDoc.h"
#include "Core/support/ScopedTmpDir.h"
#include "Dialogs/DigitEdit.h"
#include "Dialogs/HeaderInfoDialog.h"
#include "Dialogs/SetEnvDialog.h"
#include "Dialogs/SetGridDialog.h"
#include "Dialogs/SetLineDialog.h"
#include "Dialogs/SetRollPaperDialog.h"
#include "Dialogs/WizardDocumentUi.h"
#include "Dialogs/support/SettingsDialogsSupport.h"
#include "Layout/LayoutManager.h"
#include "Layout/LineItem.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTimer>

#include <functional>
#include <optional>

namespace {

// The application's bars are the fakes; its document and view dialogs are the dialog library's.
class DialogLibraryUi : public FakeAppUi
{
public:
    explicit DialogLibraryUi(IDialogShell& shell) : documents(shell), views(shell) {}
    IDocumentUi* DocumentUi() override { return &documents; }
    IViewDialogs* ViewDialogs() override { return &views; }

    WizardDocumentUi documents;
    DialogsViewDialogs views;
};

class ViewDialogsTest : public ::testing::Test
{
protected:
    ViewDialogsTest() : ui(shell)
    {
        EnsureApp();
        m_tmpDir.emplace(m_tmp.path().toStdString());
        {
            QSettings store(folders.SettingsFile(), QSettings::IniFormat);
            store.setValue(QStringLiteral("App Info/ShowNewWizardOnStartUp"), 0);
            store.setValue(QStringLiteral("App Info/ShowOpeningOnStartUp"), 0);
        }
        app = std::make_unique<CZAVEditorApp>(folders.Environment(), ui, services);
        EXPECT_TRUE(app->InitInstance(std::nullopt));
        shell.localizeIniPath = ShippedIniPath();
        shell.document = app->GetDocument();
        shell.appSettings = &app->Settings();
    }
    ~ViewDialogsTest() override { app->ExitInstance(); }

    CLayoutManager& Layout() { return *app->GetDocument()->GetLayoutManager(); }

    // Sends the command as the menu does and answers the modal dialog it opens;
    // the dialog's class name, empty when none opened.
    template <class Dialog> std::string RouteAndAnswer(int id, const std::function<void(Dialog&)>& answer)
    {
        std::string seen;
        QTimer::singleShot(0, [&seen, &answer] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            seen = modal->metaObject()->className();
            if (auto* dialog = qobject_cast<Dialog*>(modal))
                answer(*dialog);
            if (modal->isVisible())
                QMetaObject::invokeMethod(modal, "reject", Qt::DirectConnection);
        });
        EXPECT_TRUE(app->Router().Route(id)) << id;
        return seen;
    }

    QTemporaryDir m_tmp;
    FakeDialogShell shell;
    DialogLibraryUi ui;
    AppFolders folders;
    FakeServices services;
    MessageRecorder recorder;
    std::unique_ptr<CZAVEditorApp> app;
    // Set once the test application exists (it points TMPDIR at its own
    // folder first); the last member, so that it is put back before the
    // application goes.
    std::optional<ScopedTmpDir> m_tmpDir;
};

TEST_F(ViewDialogsTest, TheViewsCommandsOpenTheDialogLibrarysDialogs)
{
    const auto cancel = [](auto& dialog) { dialog.CancelButton()->click(); };
    EXPECT_EQ(RouteAndAnswer<CSetGridDialog>(32800, cancel), "CSetGridDialog");
    EXPECT_EQ(RouteAndAnswer<CSetEnvDialog>(32861, cancel), "CSetEnvDialog");
    EXPECT_EQ(RouteAndAnswer<CHeaderInfoDialog>(32772, cancel), "CHeaderInfoDialog");

    const RECT p = Layout().GetPrintableRect();
    auto line = std::make_unique<CLineItem>();
    line->SetRect(RECT{p.left + 100, p.top + 200, p.left + 400, p.top + 200});
    line->SetWidth(5);
    line->SetSelected(true);
    CLineItem* raw = line.get();
    ASSERT_TRUE(Layout().AddItem(-1, std::move(line)));
    EXPECT_EQ(RouteAndAnswer<CSetLineDialog>(32819, cancel), "CSetLineDialog");

    ASSERT_TRUE(app->GetDocument()->SetLayoutPaper(6, 0, 0, 3000, false));
    EXPECT_EQ(RouteAndAnswer<CSetRollPaperDialog>(32860, cancel), "CSetRollPaperDialog");
    EXPECT_EQ(Layout().GetRollLength(), 3000);

    // Confirmed, each dialog's values reach the layout.
    RouteAndAnswer<CSetLineDialog>(32819, [](CSetLineDialog& dialog) {
        dialog.WidthEdit()->setText(QStringLiteral("3"));
        dialog.OkButton()->click();
    });
    EXPECT_EQ(raw->GetWidth(false, -1.0f), 15);
    EXPECT_EQ(Layout().GetItemDefaults().lineWidth, 15);

    RouteAndAnswer<CSetRollPaperDialog>(32860, [](CSetRollPaperDialog& dialog) {
        dialog.Slider()->triggerAction(QAbstractSlider::SliderToMaximum);
        dialog.OkButton()->click();
    });
    EXPECT_EQ(Layout().GetRollLength(), 15840);

    const bool snap = Layout().GetGrid().snap;
    RouteAndAnswer<CSetGridDialog>(32800, [](CSetGridDialog& dialog) {
        dialog.SnapBox()->setChecked(!dialog.SnapBox()->isChecked());
        dialog.OkButton()->click();
    });
    EXPECT_EQ(Layout().GetGrid().snap, !snap);
}

} // namespace
