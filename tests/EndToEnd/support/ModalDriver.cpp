#include "EndToEnd/support/ModalDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <memory>
#include <string>

namespace {

std::string Describe(const QWidget& modal)
{
    std::string text = modal.metaObject()->className() + std::string(" \"") +
                       modal.objectName().toStdString() + "\" (" + modal.windowTitle().toStdString() + ")";
    if (const auto* box = qobject_cast<const QMessageBox*>(&modal))
        text += ": " + box->text().toStdString();
    return text;
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
        if (handlers.empty()) {
            ADD_FAILURE() << "unexpected modal window " << Describe(*modal);
            CloseModal(*modal);
            return;
        }
        // Run from a timer of its own: a window the handler opens runs a
        // nested loop, in which this timer must keep ticking to answer it,
        // and a timer never fires again while its own handler runs.
        QTimer::singleShot(0, modal, [modal, handler = std::move(handlers.front())] {
            QPointer<QWidget> guard(modal);
            try {
                handler(*modal);
            } catch (const std::exception& error) {
                ADD_FAILURE() << "handler of " << Describe(*modal) << " threw: " << error.what();
            } catch (...) {
                ADD_FAILURE() << "handler of " << Describe(*modal) << " threw";
            }
            if (guard && guard->isVisible())
                CloseModal(*guard);
        });
        handlers.pop_front();
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
