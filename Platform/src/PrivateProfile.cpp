#include "Platform/PrivateProfile.h"
#include "Platform/StateDir.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace plat {

namespace {
QString KeyOf(const char16_t* section, const char16_t* key)
{
    return QString::fromUtf16(section) + QLatin1Char('/') + QString::fromUtf16(key);
}
} // namespace

QString PrivateProfilePath(const char16_t* fileName)
{
    const QString name = QString::fromUtf16(fileName);
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QDir::fromNativeSeparators(name);
    return StateDir() + QLatin1Char('/') + name;
}

bool WritePrivateProfileString(const char16_t* section, const char16_t* key, const char16_t* value,
                               const char16_t* fileName)
{
    if (!section || !*section || !key || !*key || !fileName || !*fileName)
        return false;
    QSettings profile(PrivateProfilePath(fileName), QSettings::IniFormat);
    if (value)
        profile.setValue(KeyOf(section, key), QString::fromUtf16(value));
    else
        profile.remove(KeyOf(section, key));
    profile.sync();
    if (profile.status() != QSettings::NoError)
        return false;
    // The user's own, like everything in the state folder, whatever the umask.
    QFile::setPermissions(profile.fileName(), QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

} // namespace plat
