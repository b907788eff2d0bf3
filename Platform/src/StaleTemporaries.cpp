#include "Platform/StaleTemporaries.h"
#include "Platform/Registry.h"
#include "Platform/RuntimeDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "VirtualBoard/Machine.h"

#include <algorithm>
#include <map>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr qsizetype kRandomPart = 6;   // QSaveFile's and mkostemp's "XXXXXX"

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Removes path when it is a regular file of this user last written before `before`
// (whenever written, when `before` is invalid).
bool RemoveIfStale(const QString& path, const QDateTime& before)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    const qint64 writtenMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1'000'000;
    if (before.isValid() && writtenMs >= before.toMSecsSinceEpoch())
        return false;
    return ::unlink(native.constData()) == 0;
}

// The stale temporaries of the files called names in folder, which is listed once.
int RemoveTemporariesOf(const QString& folder, const QStringList& names, const QDateTime& before)
{
    int removed = 0;
    for (const QString& entry : Entries(folder))
        if (std::any_of(names.begin(), names.end(), [&](const QString& name) { return IsTemporaryOf(entry, name); })
            && RemoveIfStale(folder + QLatin1Char('/') + entry, before))
            ++removed;
    return removed;
}

// Runs fn while holding the lock at lockPath, when no other process holds it.
template <class Fn>
int WithFreeLock(const QString& lockPath, Fn fn)
{
    // Never created here: a state file without its lock was not written by a writer of ours.
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return 0;
    int result = 0;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
        && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        result = fn();
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return result;
}

// The runtime folder's shared state files: "<name>.json", locked through "<name>.json.lock".
int RemoveSharedStateTemporaries()
{
    const QString folder = RuntimeDir();
    if (folder.isEmpty())
        return 0;
    QStringList names;
    for (const QString& entry : Entries(folder)) {
        const QString name = entry.left(entry.size() - kRandomPart - 1);
        if (name.endsWith(QLatin1String(".json")) && IsTemporaryOf(entry, name) && !names.contains(name))
            names << name;
    }
    int removed = 0;
    for (const QString& name : names)
        removed += WithFreeLock(folder + QLatin1Char('/') + name + QStringLiteral(".lock"),
                                [&] { return RemoveTemporariesOf(folder, {name}, QDateTime()); });
    return removed;
}

} // namespace

bool IsTemporaryOf(const QString& entry, const QString& name)
{
    if (name.isEmpty() || entry.size() != name.size() + 1 + kRandomPart || !entry.startsWith(name)
        || entry.at(name.size()) != QLatin1Char('.'))
        return false;
    return std::all_of(entry.begin() + name.size() + 1, entry.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
    });
}

int RemoveStaleTemporaries(const QStringList& files, const QDateTime& before)
{
    std::map<QString, QStringList> namesByFolder;
    for (const QString& file : files) {
        const QFileInfo info(file);
        namesByFolder[info.path()] << info.fileName();
    }
    int removed = 0;
    for (const auto& [folder, names] : namesByFolder)
        removed += RemoveTemporariesOf(folder, names, before);
    return removed;
}

int RemoveStandInTemporaries(const QDateTime& before)
{
    return RemoveStaleTemporaries({RegistryHiveFile(RegistryHive::LocalMachine),
                                   RegistryHiveFile(RegistryHive::CurrentUser), vb::Machine::CmosStateFile()},
                                  before)
        + RemoveSharedStateTemporaries();
}

} // namespace plat
