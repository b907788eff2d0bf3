#include "Startup/StartupChecks.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstring>

#include "Engine/Log.h"
#include "Engine/LogCheck.h"
#include "Platform/Registry.h"
#include "Settings/MiscSettings.h"

bool IsQVXEnabled()
{
    plat::RegistryKey key;
    if (key.Open(plat::RegistryHive::LocalMachine, plat::kProductKey) != plat::ERROR_SUCCESS)
        return true;
    uint32_t value = 0;
    const long result = key.QueryDword(u"DisableQVX", value);
    key.Close();
    if (result != plat::ERROR_SUCCESS)
        return true;
    return (value & 0xFF) == 0;
}

void LogVersion()
{
    g_Log.Write(ltInfo, "Version: 2.0  Build Date: %s", "Feb 23 2009");
    int major = 0, minor = 0, build = 0;
    struct utsname name {};
    if (uname(&name) == 0)
        std::sscanf(name.release, "%d.%d.%d", &major, &minor, &build);
    g_Log.Write(ltInfo, "Operating system version : %d - %d - %d", major, minor, build);
}

QString ChooseSkin(const char* pszSkinScheme, bool bMx350SouthBridge, bool bHasCalibrationItem)
{
    const QString scheme = QString::fromUtf8(pszSkinScheme, static_cast<int>(strnlen(pszSkinScheme, 256)));
    if (!scheme.isEmpty()) {
        if (CMiscSettings::IsSafeSkinName(scheme))
            return scheme;
        // The name becomes a folder name: one that leaves the skin folder is ignored.
        LOG_WRITE_CHECK_LINE("LOG_CHECK_ERROR", "CMiscSettings::IsSafeSkinName(SkinScheme)");
    }
    return bMx350SouthBridge && bHasCalibrationItem ? QStringLiteral("skin-black") : QStringLiteral("skin-red");
}
