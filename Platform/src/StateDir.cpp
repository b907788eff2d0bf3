#include "Platform/StateDir.h"

#include "VirtualBoard/Machine.h"

#include <QDir>

namespace plat {

QString StateDir()
{
    const QString dir = vb::Machine::StateDir();
    QDir().mkpath(dir);
    return dir;
}

} // namespace plat
