#include "EndToEnd/support/Scenario.h"
#include "EndToEnd/support/Commands.h"

#include "App/MainMenu.h"
#include "Dialogs/HeaderInfoDialog.h"
#include "Dialogs/SetImageInfoDialog.h"
#include "Dialogs/ShiftJisEdit.h"
#include "EndToEnd/support/Controls.h"
#include "Layout/LayoutManager.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWizard>

namespace {

constexpr int kPaperList = 1340;
constexpr int kPostcardPaper = 0;

} // namespace

void NewPostcardLayout(ProgramTest& test)
{
    test.ChooseWithModals(ID_FILE_NEW, {[](QWidget& modal) {
                              auto* wizard = qobject_cast<QWizard*>(&modal);
                              ASSERT_NE(wizard, nullptr) << "expected the new-layout wizard";
                              QWizardPage* page = wizard->currentPage();
                              ASSERT_NE(page, nullptr);
                              auto* papers = ControlOf<QComboBox>(*page, kPaperList);
                              ASSERT_NE(papers, nullptr) << "expected the paper page";
                              const int postcard = papers->findData(kPostcardPaper);
                              ASSERT_GE(postcard, 0);
                              papers->setCurrentIndex(postcard);
                              wizard->button(QWizard::FinishButton)->click();
                          }});
    ASSERT_EQ(test.Layout().GetPaperSizeIndex(), kPostcardPaper);
}

void DrawLine(ProgramTest& test, double fx1, double fy1, double fx2, double fy2)
{
    test.Choose(commands::kLineTool);
    test.Drag(test.OnPage(fx1, fy1), test.OnPage(fx2, fy2));
}

void SetLayoutInformation(ProgramTest& test, const QString& title, const QString& author,
                          const QString& comment)
{
    test.ChooseWithModals(commands::kLayoutInfo, {[&](QWidget& modal) {
                              auto* dialog = qobject_cast<CHeaderInfoDialog*>(&modal);
                              ASSERT_NE(dialog, nullptr) << "expected the layout information dialog";
                              QTest::keyClicks(dialog->TitleEdit(), title);
                              QTest::keyClicks(dialog->AuthorEdit(), author);
                              QTest::keyClicks(dialog->CommentEdit(), comment);
                              QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
                          }});
}

ModalHandler SwitchOnCaptions(std::vector<int> switches)
{
    return [switches](QWidget& modal) {
        auto* dialog = qobject_cast<CSetImageInfoDialog*>(&modal);
        ASSERT_NE(dialog, nullptr) << "expected the image-information dialog";
        for (const int box : switches)
            if (auto* check = ControlOf<QCheckBox>(modal, box))
                check->setChecked(true);
        auto* faces = ControlOf<QComboBox>(modal, 1341);
        ASSERT_NE(faces, nullptr);
        const int mincho = faces->findText(QStringLiteral("IPAMincho"));
        ASSERT_GE(mincho, 0);
        faces->setCurrentIndex(mincho);
        ControlOf<QRadioButton>(modal, 1081)->setChecked(true);
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    };
}
