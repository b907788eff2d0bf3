#include "Platform/SingleInstance.h"
#include "Platform/RuntimeDir.h"
#include "PrivateFiles.h"
#include "SocketFile.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <cstring>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat {

namespace {
const char kSocketName[] = "VykVelocrest.window";
const char kRaiseRequest[] = "raise\n";

// Only a program of this same user may answer for a running instance.
bool PeerIsThisUser(int fd)
{
    struct ucred peer {};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::geteuid();
}
} // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() { Release(); }

QString SingleInstance::RuntimeFolder() { return RuntimeDir(); }

bool SingleInstance::RaiseRunning(int timeoutMs)
{
    const QString folder = RuntimeFolder();
    if (folder.isEmpty())
        return false;
    SocketFile socket(folder, kSocketName);
    const int fd = socket.Connect(timeoutMs);
    if (fd < 0)
        return false;
    const size_t length = sizeof kRaiseRequest - 1;
    const bool raised = PeerIsThisUser(fd) && ::send(fd, kRaiseRequest, length, MSG_NOSIGNAL) == ssize_t(length);
    ::close(fd);
    return raised;
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
    StopListening();
    m_error.clear();
    QString why;
    const QString folder = RuntimeDir(&why);
    if (folder.isEmpty()) {
        m_error = why;
        return false;
    }
    auto socket = std::make_unique<SocketFile>(folder, kSocketName);
    const int fd = socket->Listen();
    if (fd < 0) {
        m_error = socket->Error();
        return false;
    }
    auto server = std::make_unique<QLocalServer>();
    if (!server->listen(fd)) {
        m_error = QStringLiteral("cannot listen at %1: %2").arg(socket->Path(), server->errorString());
        ::close(fd);
        socket->Remove();
        return false;
    }
    QLocalServer* raw = server.get();
    QObject::connect(raw, &QLocalServer::newConnection, raw, [raw, onRaise]() {
        while (QLocalSocket* connection = raw->nextPendingConnection()) {
            QObject::connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
            auto take = [connection, onRaise]() {
                if (connection->readAll().contains("raise") && onRaise)
                    onRaise();
            };
            QObject::connect(connection, &QLocalSocket::readyRead, connection, take);
            if (connection->bytesAvailable() > 0)
                take();
        }
    });
    m_socket = std::move(socket);
    m_server = std::move(server);
    return true;
}

void SingleInstance::StopListening()
{
    // The server may remove the file by the address it was bound to, which can lead
    // through the open folder: the folder is let go only after it.
    if (m_server)
        m_server->close();
    m_server.reset();
    if (m_socket)
        m_socket->Remove();
    m_socket.reset();
}

void SingleInstance::Release()
{
    StopListening();
    // The file stays: removing it could let a second program lock a new file while a
    // first still holds the old one.
    if (m_lockFd >= 0) {
        ::flock(m_lockFd, LOCK_UN);
        ::close(m_lockFd);
    }
    m_lockFd = -1;
}

} // namespace plat
