#include "SocketFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace plat {

SocketFile::SocketFile(const QString& folder, const char* name)
    : m_path(folder + QLatin1Char('/') + QLatin1String(name)), m_name(name)
{
    m_folderFd = ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0) {
        Fail(QStringLiteral("cannot open the folder %1").arg(folder), errno);
        return;
    }
    const QByteArray full = QFile::encodeName(m_path);
    const QByteArray viaFolder = "/proc/self/fd/" + QByteArray::number(m_folderFd) + '/' + m_name;
    const QByteArray& path = full.size() < qsizetype(sizeof m_address.sun_path) ? full : viaFolder;
    m_address.sun_family = AF_UNIX;
    std::memcpy(m_address.sun_path, path.constData(), static_cast<size_t>(path.size()) + 1);
    m_length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
}

SocketFile::~SocketFile()
{
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

bool SocketFile::Fail(const QString& what, int error)
{
    m_error = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(error)));
    return false;
}

int SocketFile::Listen()
{
    if (m_folderFd < 0)
        return -1;
    // Only the program holding the single-instance lock listens: a file at the name
    // was left by one that died.
    ::unlinkat(m_folderFd, m_name.constData(), 0);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        Fail(QStringLiteral("cannot listen at %1").arg(m_path), errno);
        return -1;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&m_address), m_length) != 0) {
        Fail(QStringLiteral("cannot listen at %1").arg(m_path), errno);
        ::close(fd);
        return -1;
    }
    // The folder is this user's alone already; the file is closed to others as well.
    if (::fchmodat(m_folderFd, m_name.constData(), 0600, 0) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        Fail(QStringLiteral("cannot listen at %1").arg(m_path), errno);
        ::close(fd);
        Remove();
        return -1;
    }
    return fd;
}

int SocketFile::Connect(int timeoutMs)
{
    if (m_folderFd < 0)
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // A program that takes no connections (hung, or its queue full) is not waited for
    // beyond the limit; a limit of 0 would mean no limit at all.
    const int limitMs = std::max(timeoutMs, 1);
    const timeval limit{limitMs / 1000, (limitMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&m_address), m_length) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void SocketFile::Remove()
{
    if (m_folderFd >= 0)
        ::unlinkat(m_folderFd, m_name.constData(), 0);
}

} // namespace plat
