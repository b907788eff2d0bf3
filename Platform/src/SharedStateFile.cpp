#include "SharedStateFile.h"
#include "Platform/RuntimeDir.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

namespace plat {

SharedStateFile::SharedStateFile(const QString& name) : m_path(RuntimeDir() + QLatin1Char('/') + name)
{
    const QByteArray lockPath = QFile::encodeName(m_path + QStringLiteral(".lock"));
    m_lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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

bool SharedStateFile::Exists() const { return QFile::exists(m_path); }

QJsonObject SharedStateFile::Read() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool SharedStateFile::Write(const QJsonObject& state)
{
    if (!IsLocked())
        return false;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(state).toJson(QJsonDocument::Compact));
    return file.commit();
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
