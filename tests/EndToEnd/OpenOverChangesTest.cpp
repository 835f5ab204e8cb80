// A file that would replace a layout with unsaved changes - handed over by a
// second start, dropped on the window, chosen from the recent files - asks
// first; Cancel keeps the layout, and a file that then fails to open leaves
// the layout as it was instead of an empty page.
#include "App/MainMenu.h"
#include "App/ZAVEditorDoc.h"
#include "Dialogs/LayoutList.h"
#include "Dialogs/NewWizard.h"
#include "Dialogs/SelectExistsLayoutDialog.h"
#include "EndToEnd/support/SaveQuestion.h"
#include "EndToEnd/support/Scenario.h"
#include "Layout/LineItem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QWizard>

namespace {

enum class Way { HandOver, Drop, RecentFile };

const char* Name(Way way)
{
    return way == Way::HandOver ? "the hand-over" : way == Way::Drop ? "the dropped file" : "the recent file";
}

constexpr int kNotOpenedText = 25;

class OpenOverChangesTest : public ProgramTest
{
protected:
    // A saved postcard with one line (in the recent files), then a new
    // postcard with two lines, unsaved.
    void StartWithChanges(Way way)
    {
        StartProgram();
        NewPostcardLayout(*this);
        DrawLine(*this, 0.2, 0.2, 0.8, 0.6);
        m_saved = SaveLayout(*this, SaveTarget::EditorDocument, std::string("saved-") + Name(way));
        ASSERT_FALSE(m_saved.empty());
        NewPostcardLayout(*this);
        DrawLine(*this, 0.1, 0.1, 0.5, 0.5);
        DrawLine(*this, 0.3, 0.7, 0.9, 0.8);
        ASSERT_EQ(ItemsOf<CLineItem>(Layout()).size(), 2u);
        ASSERT_TRUE(Document().IsModified());
    }

    // Opens the file one way; `answers` answer the windows that appear.
    void OpenWhileChanged(Way way, const std::string& path, std::vector<ModalHandler> answers)
    {
        bool done = false;
        // The last window answered ends the wait.
        if (!answers.empty()) {
            const ModalHandler last = answers.back();
            answers.back() = [last, &done](QWidget& modal) {
                last(modal);
                done = true;
            };
        }
        RunWithModals(
            [&] {
                switch (way) {
                case Way::HandOver:
                    HandOver(path, [&] { return done || !Messages().empty(); });
                    break;
                case Way::Drop:
                    Drop(path, [&] { return done || !Messages().empty(); });
                    break;
                case Way::RecentFile:
                    Choose(ID_FILE_OPEN);
                    break;
                }
            },
            std::move(answers));
        QApplication::processEvents();
    }

    // The recent file's way continues in the wizard's existing-layout page.
    static ModalHandler ChooseRecent(const std::string& path)
    {
        return [path](QWidget& modal) {
            auto* wizard = qobject_cast<QWizard*>(&modal);
            ASSERT_NE(wizard, nullptr) << "expected the wizard";
            auto* page = qobject_cast<CSelectExistsLayoutDialog*>(wizard->currentPage());
            ASSERT_NE(page, nullptr) << "expected the existing-layout page";
            CLayoutList* list = page->List();
            int at = -1;
            for (int i = 0; i < list->GetCount(); ++i)
                if (list->GetText(i) == path)
                    at = i;
            ASSERT_GE(at, 0) << path << " is not among the recent files";
            list->SetCurSel(at);
            wizard->button(QWizard::FinishButton)->click();
        };
    }

    std::vector<ModalHandler> Answers(Way way, Answer answer, const std::string& path)
    {
        std::vector<ModalHandler> answers = AnswerSaveQuestion(answer);
        if (way == Way::RecentFile && answer != Answer::Cancel)
            answers.push_back(ChooseRecent(path));
        return answers;
    }

    void ExpectChangesKept(Way way)
    {
        EXPECT_EQ(ItemsOf<CLineItem>(Layout()).size(), 2u) << Name(way);
        EXPECT_TRUE(Document().GetPathName().empty()) << Name(way) << ": " << Document().GetPathName();
        EXPECT_TRUE(Document().IsModified()) << Name(way);
    }

    std::string m_saved;
};

TEST_F(OpenOverChangesTest, CancelOfTheQuestionKeepsTheChangedLayout)
{
    for (const Way way : {Way::HandOver, Way::Drop, Way::RecentFile}) {
        StartWithChanges(way);
        OpenWhileChanged(way, m_saved, Answers(way, Answer::Cancel, m_saved));
        ExpectChangesKept(way);
        FinishProgram();
    }
}

TEST_F(OpenOverChangesTest, NoOpensTheFileInPlaceOfTheChanges)
{
    for (const Way way : {Way::HandOver, Way::Drop, Way::RecentFile}) {
        StartWithChanges(way);
        OpenWhileChanged(way, m_saved, Answers(way, Answer::No, m_saved));
        EXPECT_EQ(Document().GetPathName(), m_saved) << Name(way);
        EXPECT_EQ(ItemsOf<CLineItem>(Layout()).size(), 1u) << Name(way);
        EXPECT_FALSE(Document().IsModified()) << Name(way);
        FinishProgram();
    }
}

TEST_F(OpenOverChangesTest, AFileThatFailsToOpenAfterTheQuestionLeavesTheLayoutAsItWas)
{
    for (const Way way : {Way::HandOver, Way::Drop, Way::RecentFile}) {
        StartWithChanges(way);
        // The saved file, in the recent files, is damaged since.
        QFile damaged(QString::fromStdString(m_saved));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("not a layout");
        damaged.close();
        ForgetMessages();
        OpenWhileChanged(way, m_saved, Answers(way, Answer::No, m_saved));
        EXPECT_TRUE(SawMessage(kNotOpenedText)) << Name(way);
        ExpectChangesKept(way);
        FinishProgram();
    }
}

TEST_F(OpenOverChangesTest, AnUnchangedLayoutIsReplacedWithoutAQuestion)
{
    for (const Way way : {Way::HandOver, Way::Drop}) {
        StartProgram();
        NewPostcardLayout(*this);
        DrawLine(*this, 0.2, 0.2, 0.8, 0.6);
        const std::string saved =
            SaveLayout(*this, SaveTarget::EditorDocument, std::string("plain-") + Name(way));
        NewPostcardLayout(*this);
        RunWithModals(
            [&] {
                const auto opened = [&] { return Document().GetPathName() == saved; };
                if (way == Way::HandOver)
                    HandOver(saved, opened);
                else
                    Drop(saved, opened);
            },
            {});
        EXPECT_EQ(ItemsOf<CLineItem>(Layout()).size(), 1u) << Name(way);
        FinishProgram();
    }
}

} // namespace
