// Answers the modal windows an action opens, in the order they appear, so
// that a test can drive the program's dialogs without hanging: whatever a
// handler does or fails, its window is closed when the handler returns; a
// window no handler expects is closed and fails the test; and after a
// deadline every modal window is closed and the test fails.
#pragma once

#include <chrono>
#include <functional>
#include <vector>

class QWidget;

using ModalHandler = std::function<void(QWidget& modal)>;

// Runs `action` (which returns once its dialogs are closed) while each modal
// window that appears is given the next handler. Fails the test when fewer
// windows appeared than handlers were given.
void RunWithModals(const std::function<void()>& action, std::vector<ModalHandler> handlers,
                   std::chrono::milliseconds deadline = std::chrono::seconds(30));

// Closes a modal window the way Escape does; used when a handler leaves it open.
void CloseModal(QWidget& modal);
