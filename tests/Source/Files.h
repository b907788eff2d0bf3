#pragma once
// Small file helpers for the shell's tests (paths relative to the test's folder).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace test {

inline bool WriteFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A folder nobody may write to, not even root: the place for "read-only folder" cases.
inline QString ReadOnlyFolder() { return QStringLiteral("/proc"); }

// Runs the test's body in another current folder and comes back.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString& path) : m_previous(QDir::currentPath()) { QDir::setCurrent(path); }
    ~CurrentFolder() { QDir::setCurrent(m_previous); }
private:
    QString m_previous;
};

} // namespace test
