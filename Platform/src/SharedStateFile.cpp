#include "SharedStateFile.h"
#include "Platform/RuntimeDir.h"
#include "PrivateFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

SharedStateFile::SharedStateFile(const QString& name)
{
    // Without a folder this user can trust nothing is read or written.
    const QString folder = RuntimeDir();
    if (folder.isEmpty())
        return;
    m_path = folder + QLatin1Char('/') + name;
    m_lockFd = OpenPrivateFile(m_path + QStringLiteral(".lock"));
    if (m_lockFd >= 0) {
        int rc;
        do
            rc = ::flock(m_lockFd, LOCK_EX);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(m_lockFd);
            m_lockFd = -1;
        }
    }
}

SharedStateFile::~SharedStateFile()
{
    if (m_lockFd >= 0) {
        ::flock(m_lockFd, LOCK_UN);
        ::close(m_lockFd);
    }
}

bool SharedStateFile::Exists() const
{
    struct stat st {};
    return !m_path.isEmpty() && ::lstat(QFile::encodeName(m_path).constData(), &st) == 0;
}

QJsonObject SharedStateFile::Read() const
{
    QByteArray bytes;
    if (m_path.isEmpty() || !ReadPrivateFile(m_path, &bytes))
        return {};
    return QJsonDocument::fromJson(bytes).object();
}

bool SharedStateFile::Write(const QJsonObject& state)
{
    if (!IsLocked())
        return false;
    return WritePrivateFile(m_path, QJsonDocument(state).toJson(QJsonDocument::Compact));
}

bool SharedStateFile::Remove() { return !Exists() || QFile::remove(m_path); }

bool IsProcessAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

QJsonArray LiveHolders(const QJsonArray& holders)
{
    QJsonArray live;
    for (const QJsonValue& h : holders)
        if (IsProcessAlive(h.toInteger()))
            live.append(h);
    return live;
}

} // namespace plat
