#include "Platform/OsInfo.h"
#include "Platform/LastError.h"

#include "VirtualBoard/Machine.h"

#include <QSysInfo>

namespace plat {

bool IsNtPlatform() { return true; }

bool Is64BitSystem(bool* is64)
{
    if (!is64 || vb::Machine::Instance().GetFaults().IsSet("os-bitness-unknown")) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    const QString arch = QSysInfo::currentCpuArchitecture();
    *is64 = sizeof(void*) == 8 || arch.contains(QLatin1String("64"));
    return true;
}

} // namespace plat
