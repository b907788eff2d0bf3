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

namespace {

// The folders this process made for itself in shared temp folders, by temp folder.
// Made once and never destroyed: the last users of the runtime folder are static
// destructors (a driver handle closed at exit), which must find the same folder
// rather than freed memory or a new folder. RemoveFreshFolders ends their use.
class FreshFolders {
public:
    static FreshFolders& Instance()
    {
        static FreshFolders* const folders = new FreshFolders;
        return *folders;
    }

    std::mutex lock;
    // Temp folder -> its fresh folder; an empty one was removed at the end of the run.
    std::map<QString, QString> made;

private:
    FreshFolders() = default;
};

// The runtime folder this process gave Qt (GiveQtARuntimeFolder); set once, before
// any other thread runs. Never destroyed, like the folders above: a static destroyed
// at exit would leave a late caller of RuntimeDir comparing with freed memory, and
// taking Qt's folder for a session's.
QString& GivenToQt()
{
    static QString* const folder = new QString;
    return *folder;
}

} // namespace

QString UserFolderIn(const QString& tempFolder, QString* error)
{
    FreshFolders& fresh = FreshFolders::Instance();
    std::lock_guard<std::mutex> guard(fresh.lock);
    // Once the process has a folder of its own here, it keeps it: its lock, socket
    // and tables are there. After its removal nothing is made any more.
    const auto it = fresh.made.find(tempFolder);
    if (it != fresh.made.end() && it->second.isEmpty()) {
        if (error)
            *error = QStringLiteral("the program has removed its folder in %1").arg(tempFolder);
        return {};
    }
    if (it != fresh.made.end() && IsPrivateFolder(it->second))
        return it->second;

    const QString name = QStringLiteral("%1/VykVelocrest-%2").arg(tempFolder).arg(::geteuid());
    const QByteArray native = QFile::encodeName(name);
    QString why;
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        why = QStringLiteral("cannot make the folder %1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
    else if (IsPrivateFolder(name, &why))
        return name;

    // Another user made the name first (or it is unusable): a folder of our own instead,
    // kept for the rest of this process.
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
    fresh.made[tempFolder] = made;
    return made;
}

void RemoveFreshFolders()
{
    FreshFolders& fresh = FreshFolders::Instance();
    std::lock_guard<std::mutex> guard(fresh.lock);
    for (auto& [tempFolder, folder] : fresh.made) {
        // Only a folder that is still ours: removeRecursively removes links, never
        // what they point at.
        if (!folder.isEmpty() && IsPrivateFolder(folder))
            QDir(folder).removeRecursively();
        folder.clear();
    }
}

QString RuntimeDir(QString* error)
{
    QString dir = qEnvironmentVariable("VELOCREST_RUNTIME_DIR");
    if (dir.isEmpty() && !qEnvironmentVariable("VELOCREST_STATE_DIR").isEmpty())
        dir = qEnvironmentVariable("VELOCREST_STATE_DIR") + QStringLiteral("/run");
    const QString session = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() && !session.isEmpty() && session != GivenToQt())
        dir = session + QStringLiteral("/VykVelocrest");
    if (dir.isEmpty())
        return UserFolderIn(QDir::tempPath(), error);
    return MakePrivateFolders(dir, error) ? dir : QString();
}

void GiveQtARuntimeFolder()
{
    if (!qEnvironmentVariable("XDG_RUNTIME_DIR").isEmpty())
        return;
    // Without a runtime folder of its own the program cannot start; it says why then.
    const QString own = RuntimeDir();
    const QString folder = own + QStringLiteral("/qt");
    if (own.isEmpty() || !MakePrivateFolders(folder))
        return;
    GivenToQt() = folder;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

} // namespace plat
