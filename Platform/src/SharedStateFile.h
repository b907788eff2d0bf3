#pragma once
// A small JSON file shared by every process of this user, read and rewritten under
// an exclusive lock (flock on a companion ".lock" file, released by the kernel
// even when a process dies). Writes are atomic.
#include <QJsonObject>
#include <QString>

namespace plat {

class SharedStateFile {
public:
    explicit SharedStateFile(const QString& name);   // a file name in RuntimeDir()
    ~SharedStateFile();
    SharedStateFile(const SharedStateFile&) = delete;
    SharedStateFile& operator=(const SharedStateFile&) = delete;

    bool IsLocked() const { return m_lockFd >= 0; }
    bool Exists() const;
    QJsonObject Read() const;                         // empty when absent or unreadable
    bool Write(const QJsonObject& state);
    bool Remove();

private:
    QString m_path;
    int m_lockFd = -1;
};

// Whether a process still runs (holders of shared objects that died are dropped).
bool IsProcessAlive(qint64 pid);
// Drops the dead processes from a list of process ids.
QJsonArray LiveHolders(const QJsonArray& holders);

} // namespace plat
