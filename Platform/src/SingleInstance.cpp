#include "Platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include "Platform/RuntimeDir.h"

namespace plat {

namespace {
const char kRaiseRequest[] = "raise\n";

QString SocketPath() { return SingleInstance::RuntimeFolder() + QStringLiteral("/VykVelocrest.window"); }
}

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() { Release(); }

QString SingleInstance::RuntimeFolder() { return RuntimeDir(); }

bool SingleInstance::RaiseRunning(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRaiseRequest);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::TryLock()
{
    if (IsLocked())
        return true;
    auto lock = std::make_unique<QLockFile>(RuntimeFolder() + QStringLiteral("/VykVelocrestMutex.lock"));
    // The lock is held for the program's whole run: only a dead owner makes it stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    return true;
}

bool SingleInstance::IsLocked() const { return m_lock && m_lock->isLocked(); }

bool SingleInstance::Listen(std::function<void()> onRaise)
{
    if (!IsLocked())
        return false;
    m_server.reset();
    // We hold the lock, so a socket file left here belongs to a program that died.
    QLocalServer::removeServer(SocketPath());
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(SocketPath()))
        return false;
    QLocalServer* raw = server.get();
    QObject::connect(raw, &QLocalServer::newConnection, raw, [raw, onRaise]() {
        while (QLocalSocket* socket = raw->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            auto take = [socket, onRaise]() {
                if (socket->readAll().contains("raise") && onRaise)
                    onRaise();
            };
            QObject::connect(socket, &QLocalSocket::readyRead, socket, take);
            if (socket->bytesAvailable() > 0)
                take();
        }
    });
    m_server = std::move(server);
    return true;
}

void SingleInstance::Release()
{
    if (m_server)
        m_server->close();
    m_server.reset();
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

} // namespace plat
