#include "Platform/RuntimeDir.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

namespace plat {

QString RuntimeDir()
{
    QString dir = qEnvironmentVariable("VELOCREST_RUNTIME_DIR");
    if (dir.isEmpty() && !qEnvironmentVariable("VELOCREST_STATE_DIR").isEmpty())
        dir = qEnvironmentVariable("VELOCREST_STATE_DIR") + QStringLiteral("/run");
    if (dir.isEmpty() && !qEnvironmentVariable("XDG_RUNTIME_DIR").isEmpty())
        dir = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/VykVelocrest");
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/VykVelocrest-%1").arg(getuid());
    if (!QDir(dir).exists() && QDir().mkpath(dir))
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
}

} // namespace plat
