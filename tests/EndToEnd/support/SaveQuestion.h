// The question the program asks before it discards changes: the save-format
// dialog in its asking form, answered Yes (with a planned save), No or Cancel.
#pragma once

#include "EndToEnd/support/SavedFiles.h"

enum class Answer { Yes, No, Cancel };

// The handlers of the question and, for Yes, of the save that follows.
std::vector<ModalHandler> AnswerSaveQuestion(Answer answer, const PlannedSave* save = nullptr);
