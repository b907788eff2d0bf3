#include "support/OtherUsersTemp.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "SocketFile.h"

namespace test {

namespace {
constexpr uid_t kOtherUser = 4242;
const char* const kVariables[] = {"TMPDIR", "HOME", "VELOCREST_RUNTIME_DIR", "VELOCREST_STATE_DIR", "XDG_RUNTIME_DIR"};

// Names, kinds, owners, modes and contents of everything under a folder.
QByteArray Listing(const QString& folder)
{
    QByteArray out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        out += QFile::encodeName(path) + ' ' + QByteArray::number(st.st_mode, 8) + ' ' + QByteArray::number(st.st_uid);
        QFile file(path);
        if (S_ISREG(st.st_mode) && file.open(QIODevice::ReadOnly))
            out += ' ' + file.readAll();
        out += '\n';
    }
    return out;
}
} // namespace

bool OtherUsersTemp::CanPlayAnotherUser() { return ::geteuid() == 0; }

OtherUsersTemp::OtherUsersTemp(Trap trap)
{
    for (const char* name : kVariables)
        m_savedEnv[name] = qgetenv(name);
    // A folder of its own per trap, so that a test can try several.
    const QString base = TestDir() + QStringLiteral("/trap%1").arg(int(trap));
    m_temp = base + QStringLiteral("/tmp");
    m_victim = base + QStringLiteral("/home/.config/precious");
    const QString home = base + QStringLiteral("/home");
    EXPECT_TRUE(QDir().mkpath(m_temp));
    EXPECT_TRUE(QDir().mkpath(QFileInfo(m_victim).path()));
    QFile victim(m_victim);
    EXPECT_TRUE(victim.open(QIODevice::WriteOnly) && victim.write(VictimContent()) == VictimContent().size());
    victim.close();
    ::chmod(QFile::encodeName(m_temp).constData(), 01777);

    // His folder: with the link trap it lies elsewhere and the taken name points at it.
    m_his = trap == LinkToHisFolder ? m_temp + QStringLiteral("/his") : TakenName();
    EXPECT_TRUE(QDir().mkpath(m_his));
    EXPECT_TRUE(QFile::link(m_victim, m_his + QStringLiteral("/services.json")));
    QFile junk(m_his + QStringLiteral("/VykVelocrestMutex.lock"));
    EXPECT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.close();
    // His socket, listening and open to all, made as the program makes its own (his
    // folder may lie deeper than a socket address reaches).
    plat::SocketFile socket(m_his, "VykVelocrest.window");
    m_socketFd = socket.Listen();
    EXPECT_GE(m_socketFd, 0) << socket.Error().toStdString();
    ::chmod(QFile::encodeName(socket.Path()).constData(), 0777);
    if (trap == LinkToHisFolder) {
        EXPECT_TRUE(QFile::link(m_his, TakenName()));
    }
    ::chmod(QFile::encodeName(m_his).constData(), 0777);
    if (trap == HisFolder && CanPlayAnotherUser()) {
        for (const QString& path : {m_his, m_his + QStringLiteral("/VykVelocrestMutex.lock")})
            EXPECT_EQ(::lchown(QFile::encodeName(path).constData(), kOtherUser, kOtherUser), 0);
        ::chmod(QFile::encodeName(m_his).constData(), 0700);
    }
    m_listing = Listing(m_his);

    qputenv("TMPDIR", QFile::encodeName(m_temp));
    qputenv("HOME", QFile::encodeName(home));
    for (const char* name : {"VELOCREST_RUNTIME_DIR", "VELOCREST_STATE_DIR", "XDG_RUNTIME_DIR"})
        qunsetenv(name);
}

OtherUsersTemp::~OtherUsersTemp()
{
    if (m_socketFd >= 0)
        ::close(m_socketFd);
    for (const auto& [name, value] : m_savedEnv) {
        if (value.isNull())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
    // The test's folder must be removable again.
    ::lchown(QFile::encodeName(m_his).constData(), ::geteuid(), ::getegid());
    ::chmod(QFile::encodeName(m_his).constData(), 0700);
}

QString OtherUsersTemp::TakenName() const { return m_temp + QStringLiteral("/VykVelocrest-%1").arg(::geteuid()); }

bool OtherUsersTemp::HisFolderUntouched() const { return Listing(m_his) == m_listing; }

} // namespace test
