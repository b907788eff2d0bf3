#include "Startup/Leftovers.h"

#include <QDir>

#include "Platform/PrivateProfile.h"
#include "Platform/StaleTemporaries.h"
#include "Settings/MiscSettings.h"
#include "Settings/PageSettings.h"
#include "SystemInfo/Corvane.h"

void RemoveLeftoverTemporaries(const QDateTime& startedAt)
{
    // The program folder (the current one by now) holds the preferences, the page
    // table and the first hardware profile; the value store sees to its own file,
    // which may lie in the install folder.
    const QString folder = QDir::currentPath() + QLatin1Char('/');
    plat::RemoveStaleTemporaries({folder + CMiscSettings::FileName(), folder + CPageSettings::FileName(),
                                  folder + QStringLiteral("DefaultConfig.xml"), QCorvane::ScriptFilePath(),
                                  plat::PrivateProfilePath(u"Corvane.ini")},
                                 startedAt);
    plat::RemoveStandInTemporaries(startedAt);
}
