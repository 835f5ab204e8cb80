#include "App/SingleInstance.h"

#include "Platform/Folders.h"

#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QPointer>

namespace {

constexpr qint64 MaxRequestBytes = 64 * 1024;

QString LockPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("instance.lock"));
}

QString SocketPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("instance.socket"));
}

} // namespace

QString DefaultInstanceFolder()
{
    return QString::fromStdString(UserTempPath());
}

SingleInstance::SingleInstance(QString folder, QObject* parent) : QObject(parent), m_folder(std::move(folder))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::TryBecomeOnlyInstance()
{
    if (m_server)
        return true;
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return false;
    auto lock = std::make_unique<QLockFile>(LockPath(m_folder));
    // Only a lock whose process is gone is stale, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is ours, so a socket file left there belongs to a dead holder.
    QLocalServer::removeServer(SocketPath(m_folder));
    if (!server->listen(SocketPath(m_folder)))
        return false;
    connect(server.get(), &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    m_lock = std::move(lock);
    m_server = std::move(server);
    return true;
}

void SingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<QLocalSocket> guard(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, guard] {
            if (!guard)
                return;
            QLocalSocket* s = guard.data();
            if (s->bytesAvailable() < 4)
                return;
            QDataStream in(s->peek(4));
            quint32 size = 0;
            in >> size;
            if (size > MaxRequestBytes) {
                s->abort();
                return;
            }
            if (s->bytesAvailable() < 4 + static_cast<qint64>(size))
                return;
            s->read(4);
            const QByteArray bytes = s->read(size);
            s->write("\1", 1);
            s->flush();
            s->disconnectFromServer();
            emit RequestReceived(QString::fromUtf8(bytes));
        });
    }
}

bool SingleInstance::SendToRunningInstance(const QString& folder, const std::string& path, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath(folder));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out << static_cast<quint32>(path.size());
    request.append(path.data(), static_cast<qsizetype>(path.size()));
    socket.write(request);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The answer byte says the whole request arrived.
    return socket.waitForReadyRead(timeoutMs) && socket.read(1) == QByteArray("\1", 1);
}
