#include "PrivateFiles.h"
#include "Platform/RuntimeDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

thread_local QString g_problem;

QString SystemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

QString PrivateFolderError() { return g_problem; }

void ClearPrivateFolderError() { g_problem.clear(); }

void NotePrivateFolderError(const QString& text) { g_problem = text; }

bool IsPrivateFolder(const QString& path, QString* error)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0)
        return Fail(error, QStringLiteral("cannot use the folder %1: %2").arg(path, SystemError()));
    if (S_ISLNK(st.st_mode))
        return Fail(error, QStringLiteral("%1 is a link, not a folder").arg(path));
    if (!S_ISDIR(st.st_mode))
        return Fail(error, QStringLiteral("%1 is not a folder").arg(path));
    if (st.st_uid != ::geteuid())
        return Fail(error, QStringLiteral("the folder %1 belongs to another user").arg(path));
    // Whatever another user could have put in a folder open to him stays suspect.
    if ((st.st_mode & 077) != 0)
        return Fail(error, QStringLiteral("the folder %1 is open to other users").arg(path));
    if ((st.st_mode & 0700) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return Fail(error, QStringLiteral("cannot use the folder %1: %2").arg(path, SystemError()));
    return true;
}

bool MakePrivateFolders(const QString& path, QString* error)
{
    QString why;
    // Missing parents are made owner-only too: under umask 000 mkdir would open them to all.
    std::vector<QString> missing;
    for (QString part = QDir::cleanPath(path); !part.isEmpty() && part != QLatin1String("/") && !QFileInfo::exists(part);
         part = QFileInfo(part).path())
        missing.push_back(part);
    for (auto it = missing.rbegin(); it != missing.rend() && why.isEmpty(); ++it) {
        const QByteArray native = QFile::encodeName(*it);
        if (::mkdir(native.constData(), 0700) == 0)
            ::chmod(native.constData(), 0700);   // the umask may have taken owner rights away
        else if (errno != EEXIST)
            why = QStringLiteral("cannot make the folder %1: %2").arg(*it, SystemError());
    }
    if (why.isEmpty()) {
        // A folder of ours outside the shared temp folder that is open to others (made
        // by an older version, or by hand) is closed: nobody else could have made it ours.
        const QByteArray native = QFile::encodeName(path);
        struct stat st {};
        if (::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
            && (st.st_mode & 077) != 0)
            ::chmod(native.constData(), 0700);
        if (IsPrivateFolder(path, &why))
            return true;
    }
    NotePrivateFolderError(why);
    return Fail(error, why);
}

int OpenPrivateFile(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do
        fd = ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        NotePrivateFolderError(QStringLiteral("cannot open %1: %2").arg(path, SystemError()));
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        NotePrivateFolderError(QStringLiteral("%1 is not a file of this user").arg(path));
        errno = EPERM;
        return -1;
    }
    // A file made under another umask, or by hand, is closed to others from now on.
    if ((st.st_mode & 077) != 0)
        ::fchmod(fd, 0600);
    return fd;
}

bool ReadPrivateFile(const QString& path, QByteArray* bytes)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool WritePrivateFile(const QString& path, const QByteArray& bytes)
{
    QByteArray temp = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);     // 0600, never an existing file
    bool ok = fd >= 0;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0)
            done += n;
        else
            ok = n < 0 && errno == EINTR;
    }
    if (fd >= 0 && ::close(fd) != 0)
        ok = false;
    ok = ok && ::rename(temp.constData(), QFile::encodeName(path).constData()) == 0;
    if (!ok) {
        NotePrivateFolderError(QStringLiteral("cannot write %1: %2").arg(path, SystemError()));
        if (fd >= 0)
            ::unlink(temp.constData());
    }
    return ok;
}

} // namespace plat
