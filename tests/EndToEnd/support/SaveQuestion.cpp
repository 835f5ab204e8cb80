#include "EndToEnd/support/SaveQuestion.h"

#include "Dialogs/SelectSaveDialog.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

namespace {

constexpr int kAskingForm = 1;

CSelectSaveDialog* Question(QWidget& modal)
{
    auto* dialog = qobject_cast<CSelectSaveDialog*>(&modal);
    EXPECT_NE(dialog, nullptr) << "expected the question before changes are discarded";
    if (dialog) {
        EXPECT_EQ(dialog->Mode(), kAskingForm) << "the save-format dialog is not in its asking form";
    }
    return dialog && dialog->Mode() == kAskingForm ? dialog : nullptr;
}

} // namespace

std::vector<ModalHandler> AnswerSaveQuestion(Answer answer, const PlannedSave* save)
{
    if (answer == Answer::Yes) {
        EXPECT_NE(save, nullptr);
        if (!save || save->handlers.empty())
            return {[](QWidget&) { ADD_FAILURE() << "a Yes needs a planned save"; }};
        std::vector<ModalHandler> handlers = save->handlers;
        const ModalHandler chooseFormat = handlers.front();
        handlers.front() = [chooseFormat](QWidget& modal) {
            if (Question(modal))
                chooseFormat(modal);
        };
        return handlers;
    }
    return {[answer](QWidget& modal) {
        if (CSelectSaveDialog* dialog = Question(modal))
            QTest::mouseClick(answer == Answer::No ? dialog->NoButton() : dialog->CancelButton(),
                              Qt::LeftButton);
    }};
}
