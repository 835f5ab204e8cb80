// One editor per user: a lock file and a local socket in a per-user folder.
// The first start holds the lock and listens; a later start sends its file
// (or an empty request that only raises the window) and ends.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>
#include <string>

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // folder: where the lock and the socket live (created when missing).
    explicit SingleInstance(QString folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process took the lock and listens for later starts.
    bool TryBecomeOnlyInstance();
    bool IsOnlyInstance() const { return m_server != nullptr; }

    // A later start's request: the path whole and length-prefixed; an empty
    // path only asks to raise the running window. False when nobody listens.
    static bool SendToRunningInstance(const QString& folder, const std::string& path, int timeoutMs = 3000);

signals:
    // A complete request arrived; an empty path asks only to raise the window.
    void RequestReceived(const QString& path);

private:
    void OnNewConnection();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

// The per-user folder of the lock and the socket.
QString DefaultInstanceFolder();
