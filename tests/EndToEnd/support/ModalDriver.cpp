#include "EndToEnd/support/ModalDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <memory>
#include <string>

namespace {

std::string Describe(const QWidget& modal)
{
    return modal.metaObject()->className() + std::string(" \"") + modal.objectName().toStdString() + "\" (" +
           modal.windowTitle().toStdString() + ")";
}

struct ModalRun
{
    std::deque<ModalHandler> handlers;
    std::vector<QPointer<QWidget>> seen;
    QElapsedTimer clock;
    std::chrono::milliseconds deadline{};
    bool expired = false;

    bool Seen(QWidget* modal) const
    {
        for (const QPointer<QWidget>& known : seen)
            if (known == modal)
                return true;
        return false;
    }

    void Tick()
    {
        if (!expired && clock.elapsed() > deadline.count()) {
            expired = true;
            ADD_FAILURE() << "modal windows still open after " << deadline.count() << " ms";
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (expired) {
            CloseModal(*modal);
            return;
        }
        if (Seen(modal))
            return;
        seen.emplace_back(modal);
        QPointer<QWidget> guard(modal);
        if (handlers.empty()) {
            ADD_FAILURE() << "unexpected modal window " << Describe(*modal);
        } else {
            const ModalHandler handler = std::move(handlers.front());
            handlers.pop_front();
            // A nested window the handler opens is answered by the next handler
            // from this same timer, which keeps running inside the nested loop.
            try {
                handler(*modal);
            } catch (const std::exception& error) {
                ADD_FAILURE() << "handler of " << Describe(*modal) << " threw: " << error.what();
            } catch (...) {
                ADD_FAILURE() << "handler of " << Describe(*modal) << " threw";
            }
        }
        if (guard && guard->isVisible())
            CloseModal(*guard);
    }
};

} // namespace

void CloseModal(QWidget& modal)
{
    if (auto* dialog = qobject_cast<QDialog*>(&modal)) {
        dialog->reject();
        // A dialog that refuses Escape still ends.
        if (dialog->isVisible())
            dialog->done(QDialog::Rejected);
    }
    if (modal.isVisible())
        modal.close();
    if (modal.isVisible())
        modal.hide();
}

void RunWithModals(const std::function<void()>& action, std::vector<ModalHandler> handlers,
                   std::chrono::milliseconds deadline)
{
    auto run = std::make_shared<ModalRun>();
    run->handlers.assign(std::make_move_iterator(handlers.begin()), std::make_move_iterator(handlers.end()));
    run->deadline = deadline;
    run->clock.start();
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [run] { run->Tick(); });
    timer.start();
    action();
    timer.stop();
    // A window left open by the action itself is closed before the next step.
    for (int tries = 0; tries < 10; ++tries) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        ADD_FAILURE() << "modal window left open: " << Describe(*modal);
        CloseModal(*modal);
        QApplication::processEvents();
    }
    if (!run->handlers.empty())
        ADD_FAILURE() << run->handlers.size() << " expected modal window(s) never appeared";
}
