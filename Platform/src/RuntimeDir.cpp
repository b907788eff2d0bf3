#include "Platform/RuntimeDir.h"
#include "PrivateFiles.h"

#include <QDir>
#include <QFile>

#include "VirtualBoard/Journal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

QString UserFolderIn(const QString& tempFolder, QString* error)
{
    const QString name = QStringLiteral("%1/VykVelocrest-%2").arg(tempFolder).arg(::geteuid());
    const QByteArray native = QFile::encodeName(name);
    QString why;
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        why = QStringLiteral("cannot make the folder %1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
    else if (IsPrivateFolder(name, &why))
        return name;

    // Another user made the name first (or it is unusable): a folder of our own instead,
    // kept for the rest of this process.
    static std::mutex lock;
    static std::map<QString, QString> fresh;
    std::lock_guard<std::mutex> guard(lock);
    const auto it = fresh.find(tempFolder);
    if (it != fresh.end() && IsPrivateFolder(it->second))
        return it->second;
    QByteArray pattern = native + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        why = QStringLiteral("%1, and no other folder can be made in %2: %3")
                  .arg(why, tempFolder, QString::fromLocal8Bit(std::strerror(errno)));
        NotePrivateFolderError(why);
        if (error)
            *error = why;
        return {};
    }
    const QString made = QFile::decodeName(pattern);
    vb::Report(vb::rtWarning, "%s; this program uses %s instead.", qPrintable(why), qPrintable(made));
    fresh[tempFolder] = made;
    return made;
}

QString RuntimeDir(QString* error)
{
    QString dir = qEnvironmentVariable("VELOCREST_RUNTIME_DIR");
    if (dir.isEmpty() && !qEnvironmentVariable("VELOCREST_STATE_DIR").isEmpty())
        dir = qEnvironmentVariable("VELOCREST_STATE_DIR") + QStringLiteral("/run");
    if (dir.isEmpty() && !qEnvironmentVariable("XDG_RUNTIME_DIR").isEmpty())
        dir = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/VykVelocrest");
    if (dir.isEmpty())
        return UserFolderIn(QDir::tempPath(), error);
    return MakePrivateFolders(dir, error) ? dir : QString();
}

} // namespace plat
