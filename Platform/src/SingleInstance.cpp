#include "Platform/SingleInstance.h"
#include "Platform/RuntimeDir.h"
#include "PrivateFiles.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <cstring>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat {

namespace {
const char kRaiseRequest[] = "raise\n";

QString SocketPath()
{
    const QString folder = SingleInstance::RuntimeFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/VykVelocrest.window");
}

// Only a program of this same user may answer for a running instance.
bool PeerIsThisUser(const QLocalSocket& socket)
{
    struct ucred peer {};
    socklen_t length = sizeof peer;
    return ::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0
           && peer.uid == ::geteuid();
}
} // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() { Release(); }

QString SingleInstance::RuntimeFolder() { return RuntimeDir(); }

bool SingleInstance::RaiseRunning(int timeoutMs)
{
    const QString path = SocketPath();
    if (path.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    if (!PeerIsThisUser(socket)) {
        socket.abort();
        return false;
    }
    socket.write(kRaiseRequest);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::TryLock()
{
    if (IsLocked())
        return true;
    m_error.clear();
    QString why;
    const QString folder = RuntimeDir(&why);
    if (folder.isEmpty()) {
        m_error = why;
        return false;
    }
    const QString path = folder + QStringLiteral("/VykVelocrestMutex.lock");
    const int fd = OpenPrivateFile(path);
    if (fd < 0) {
        m_error = PrivateFolderError();
        return false;
    }
    // The kernel drops the lock with the process that held it: a lock left by a program
    // that died is free again, whatever (or nothing) its file holds.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK)
            m_error = QStringLiteral("cannot lock %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd);
        return false;
    }
    // The process id only tells a reader who holds it: nothing depends on it being there.
    const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
    [[maybe_unused]] const bool noted = ::ftruncate(fd, 0) == 0
                                        && ::pwrite(fd, pid.constData(), static_cast<size_t>(pid.size()), 0) == pid.size();
    m_lockFd = fd;
    return true;
}

bool SingleInstance::IsLocked() const { return m_lockFd >= 0; }

bool SingleInstance::Listen(std::function<void()> onRaise)
{
    if (!IsLocked())
        return false;
    m_server.reset();
    const QString path = SocketPath();
    if (path.isEmpty())
        return false;
    // We hold the lock, so a socket file left here belongs to a program that died.
    QLocalServer::removeServer(path);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path))
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
    // The file stays: removing it could let a second program lock a new file while a
    // first still holds the old one.
    if (m_lockFd >= 0) {
        ::flock(m_lockFd, LOCK_UN);
        ::close(m_lockFd);
    }
    m_lockFd = -1;
}

} // namespace plat
