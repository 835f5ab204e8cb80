// Leaving the program with unsaved changes - File > Exit, the window's close
// button, the desktop's log-out - asks first: Cancel keeps the program, the
// window and the document with its changes; Yes saves and ends only when the
// save succeeded; No ends without saving.
#include "App/MainFrame.h"
#include "App/MainMenu.h"
#include "App/ZAVEditorDoc.h"
#include "EndToEnd/support/SaveQuestion.h"
#include "EndToEnd/support/Scenario.h"
#include "Layout/LineItem.h"

#include <QDir>
#include <QWindow>

namespace {

enum class Way { Exit, CloseButton, LogOut };

const char* Name(Way way)
{
    return way == Way::Exit ? "File > Exit" : way == Way::CloseButton ? "the close button" : "the log-out";
}

class CloseQuestionTest : public ProgramTest
{
protected:
    // A program with a drawn, unsaved postcard.
    void StartWithChanges()
    {
        StartProgram();
        NewPostcardLayout(*this);
        DrawLine(*this, 0.2, 0.2, 0.8, 0.6);
        ASSERT_TRUE(Document().IsModified());
        m_document = &Document();
    }

    void Leave(Way way)
    {
        switch (way) {
        case Way::Exit:
            Choose(ID_APP_EXIT);
            break;
        case Way::CloseButton:
            Frame().windowHandle()->close();
            break;
        case Way::LogOut:
            // What the desktop's request runs once the program may ask; the
            // offscreen platform has no session that allows asking.
            m_sessionMayEnd = Frame().QueryEndSession();
            break;
        }
    }

    // Leaves the program one way, answering the question; true when the program ended.
    bool LeaveAnswering(Way way, std::vector<ModalHandler> answers)
    {
        return ProgramEndsDuring([&] { RunWithModals([&] { Leave(way); }, std::move(answers)); });
    }

    void ExpectEverythingKept(Way way)
    {
        EXPECT_TRUE(Frame().isVisible()) << Name(way);
        EXPECT_EQ(&Document(), m_document) << Name(way);
        EXPECT_TRUE(Document().IsModified()) << Name(way);
        EXPECT_EQ(ItemsOf<CLineItem>(Layout()).size(), 1u) << Name(way);
    }

    bool NothingSaved() const { return QDir(QString::fromStdString(DocumentsFolder())).isEmpty(); }

    CZAVEditorDoc* m_document = nullptr;
    bool m_sessionMayEnd = true;
};

constexpr Way AllWays[] = {Way::Exit, Way::CloseButton, Way::LogOut};

TEST_F(CloseQuestionTest, CancelKeepsTheProgramTheWindowAndTheChanges)
{
    for (const Way way : AllWays) {
        StartWithChanges();
        EXPECT_FALSE(LeaveAnswering(way, AnswerSaveQuestion(Answer::Cancel))) << Name(way);
        ExpectEverythingKept(way);
        if (way == Way::LogOut) {
            EXPECT_FALSE(m_sessionMayEnd);
        }
        EXPECT_TRUE(NothingSaved()) << Name(way);
        FinishProgram();
    }
}

TEST_F(CloseQuestionTest, YesSavesAndThenEndsTheProgram)
{
    for (const Way way : AllWays) {
        StartWithChanges();
        const PlannedSave save =
            PlanSave(*this, SaveTarget::EditorDocument, std::string("left-") + Name(way));
        SCOPED_TRACE(Name(way));
        const bool ended = LeaveAnswering(way, AnswerSaveQuestion(Answer::Yes, &save));
        EXPECT_FALSE(RecordSave(*this, save).empty()) << Name(way);
        if (way == Way::LogOut) {
            // The desktop ends the program itself once every program agreed.
            EXPECT_FALSE(ended);
            EXPECT_TRUE(m_sessionMayEnd);
            EXPECT_TRUE(Frame().isVisible());
        } else {
            EXPECT_TRUE(ended) << Name(way);
            EXPECT_FALSE(Frame().isVisible()) << Name(way);
        }
        FinishProgram();
    }
}

TEST_F(CloseQuestionTest, NoEndsTheProgramWithoutSaving)
{
    for (const Way way : {Way::Exit, Way::CloseButton}) {
        StartWithChanges();
        SCOPED_TRACE(Name(way));
        EXPECT_TRUE(LeaveAnswering(way, AnswerSaveQuestion(Answer::No))) << Name(way);
        EXPECT_FALSE(Frame().isVisible()) << Name(way);
        EXPECT_TRUE(NothingSaved()) << Name(way);
        FinishProgram();
    }
}

TEST_F(CloseQuestionTest, NoAtLogOutLetsTheSessionEndWithoutSaving)
{
    StartWithChanges();
    EXPECT_FALSE(LeaveAnswering(Way::LogOut, AnswerSaveQuestion(Answer::No)));
    EXPECT_TRUE(m_sessionMayEnd);
    EXPECT_TRUE(NothingSaved());
    EXPECT_TRUE(Frame().isVisible());
}

TEST_F(CloseQuestionTest, AYesWhoseSaveIsCancelledKeepsEverything)
{
    for (const Way way : AllWays) {
        StartWithChanges();
        PlannedSave save = PlanSave(*this, SaveTarget::EditorDocument, "never");
        // The file dialog is cancelled: nothing was saved.
        save.handlers.back() = [](QWidget& modal) { CloseModal(modal); };
        EXPECT_FALSE(LeaveAnswering(way, AnswerSaveQuestion(Answer::Yes, &save))) << Name(way);
        ExpectEverythingKept(way);
        if (way == Way::LogOut) {
            EXPECT_FALSE(m_sessionMayEnd);
        }
        EXPECT_TRUE(NothingSaved()) << Name(way);
        FinishProgram();
    }
}

TEST_F(CloseQuestionTest, AnUnchangedLayoutEndsWithoutAQuestion)
{
    StartProgram();
    NewPostcardLayout(*this);
    ASSERT_FALSE(Document().IsModified());
    EXPECT_TRUE(LeaveAnswering(Way::Exit, {}));
}

} // namespace
