// Driving a modal dialog from inside its own event loop. Whatever the script
// does - returns, fails an assertion (which returns from it) or throws - the
// dialog is ended when it is done, so a failing check fails the test at once
// instead of leaving exec() waiting for a click that never comes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <exception>
#include <functional>
#include <utility>

namespace modaltest {

// Ends the dialog when it leaves scope and the dialog is still open: at once
// after a failure, else once the events already queued have run (a dialog may
// end itself through one of them), failing the test if it is open even then.
class ModalEnd
{
public:
    explicit ModalEnd(QDialog* dialog) : m_dialog(dialog) {}
    ~ModalEnd()
    {
        if (!m_dialog || !m_dialog->isVisible())
            return;
        if (::testing::Test::HasFailure()) {
            m_dialog->reject();
            return;
        }
        QTimer::singleShot(0, m_dialog, [dialog = m_dialog] {
            if (dialog && dialog->isVisible()) {
                ADD_FAILURE() << "the script left the dialog open";
                dialog->reject();
            }
        });
    }
    ModalEnd(const ModalEnd&) = delete;
    ModalEnd& operator=(const ModalEnd&) = delete;

private:
    QPointer<QDialog> m_dialog;
};

// Runs the script on the dialog, then ends the dialog if the script did not.
template <class Dialog> void RunScript(Dialog& dialog, const std::function<void(Dialog&)>& script)
{
    ModalEnd end(&dialog);
    try {
        script(dialog);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "the dialog's script threw: " << e.what();
    } catch (...) {
        ADD_FAILURE() << "the dialog's script threw";
    }
}

// Runs the script on the dialog once its event loop runs (call before exec()).
template <class Dialog> void OnceRunning(Dialog& dialog, std::function<void(Dialog&)> script)
{
    QPointer<Dialog> guarded(&dialog);
    QTimer::singleShot(0, &dialog, [guarded, script = std::move(script)] {
        if (guarded)
            RunScript<Dialog>(*guarded, script);
    });
}

// Runs the script on the modal dialog that is open when the event loop next
// runs (the one the code under test opens); fails the test and closes whatever
// is modal when that is no dialog of the expected class.
template <class Dialog = QDialog> void OnNextModal(std::function<void(Dialog&)> script)
{
    QTimer::singleShot(0, [script = std::move(script)] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog of the expected class is open";
            if (auto* other = qobject_cast<QDialog*>(modal))
                other->reject();
            else if (modal)
                modal->close();
            return;
        }
        RunScript<Dialog>(*dialog, script);
    });
}

} // namespace modaltest
