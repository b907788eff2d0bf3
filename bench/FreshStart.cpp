#include "FreshStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include "WindowWatch.h"

namespace bench {

namespace {

constexpr int kEndWaitMs = 10000;

// What the program reads beside itself; its settings files are left behind.
const char* const kProgramFolders[] = {"Device", "Widget", "language", "resource", "vyk64", "i386"};

// A hard link (QFile::link would make a symbolic one, and a program started through
// that finds its own folder where the link points), else a copy.
bool LinkOrCopy(const QString& from, const QString& to)
{
    return ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 || QFile::copy(from, to);
}

} // namespace

FreshStart::FreshStart(const QString& display) : m_display(display)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
}

FreshStart::~FreshStart() { End(); }

void FreshStart::KeepOutput()
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(OutputPath());
}

QString FreshStart::OwnFolderCopy(const QString& program)
{
    const QFileInfo info(program);
    const QString folder = m_home.path() + QStringLiteral("/program");
    QDir().mkpath(folder);
    // The executable and its libraries as files of the folder (hard links when the
    // file system allows), so the program takes this folder for its own.
    const QDir source = info.absoluteDir();
    for (const QFileInfo& file : source.entryInfoList({QStringLiteral("*.so"), QStringLiteral("*.so.*")}, QDir::Files))
        if (!LinkOrCopy(file.absoluteFilePath(), folder + QLatin1Char('/') + file.fileName()))
            return QString();
    const QString copy = folder + QLatin1Char('/') + info.fileName();
    if (!LinkOrCopy(info.absoluteFilePath(), copy))
        return QString();
    for (const char* name : kProgramFolders) {
        const QString sub = source.filePath(QLatin1String(name));
        if (QFileInfo(sub).isDir())
            QFile::link(sub, folder + QLatin1Char('/') + QLatin1String(name));
    }
    return copy;
}

bool FreshStart::Start(const QString& program, const QStringList& arguments, int64_t* startNs)
{
    const QString home = m_home.path() + QStringLiteral("/home");
    const QString runtime = m_home.path() + QStringLiteral("/runtime");
    const QString temp = m_home.path() + QStringLiteral("/tmp");
    QDir().mkpath(home);
    QDir().mkpath(runtime);
    QDir().mkpath(temp);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing of the caller's session: no other display, no session manager, none
    // of our program's folder overrides.
    for (const char* name : {"WAYLAND_DISPLAY", "SESSION_MANAGER", "VELOCREST_STATE_DIR", "VELOCREST_REGISTRY_DIR",
                             "VELOCREST_RUNTIME_DIR", "VELOCREST_BOARD"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/.local/state"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    // Single-instance locks in the temporary folder (KeePassXC's) are this start's own too.
    env.insert(QStringLiteral("TMPDIR"), temp);
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(home);
    m_process.setProgram(program);
    m_process.setArguments(arguments);

    *startNs = MonotonicNs();
    m_process.start();
    return m_process.waitForStarted();
}

void FreshStart::End()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(kEndWaitMs)) {
        m_process.kill();
        m_process.waitForFinished(kEndWaitMs);
    }
}

} // namespace bench
