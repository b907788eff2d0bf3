#include "Platform/StateDir.h"
#include "PrivateFiles.h"

#include "VirtualBoard/Machine.h"

namespace plat {

QString StateDir()
{
    // The user's own, whatever the umask: what is written in it is nobody else's to read.
    const QString dir = vb::Machine::StateDir();
    MakePrivateFolders(dir);
    return dir;
}

} // namespace plat
