// The running instance's side of a hand-over: a path is taken only while no
// modal window is up and none is pending, and opened later from the event
// queue; a path that meets a modal window then opens when that window closes.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <string>

class HandOverReceiver : public QObject
{
    Q_OBJECT
public:
    using OpenFunction = std::function<void(const std::string& path)>;
    explicit HandOverReceiver(OpenFunction open, QObject* parent = nullptr);

    // Returns at once; the opening is queued.
    void OnOpenFileRequest(const QString& path);
    void OnOpenPendingFile();
    const QString& PendingPath() const { return m_pending; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PostOpenPending();
    void WaitForModalToClose(QWidget* modal);

    OpenFunction m_open;
    QString m_pending;
    QPointer<QWidget> m_watchedModal;
};
