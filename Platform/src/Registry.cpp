#include "Platform/Registry.h"
#include "PrivateFiles.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

#include <utility>
#include <vector>

#include "Platform/FileAside.h"

#include "VirtualBoard/Machine.h"

namespace plat {

namespace {

// An empty key still has to exist in the INI file: it holds this entry.
const QString kKeyMarker = QStringLiteral(".key");

QString GroupOf(QStringView path)
{
    QString group = path.toString();
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (group.startsWith(QLatin1Char('/')))
        group.remove(0, 1);
    while (group.endsWith(QLatin1Char('/')))
        group.chop(1);
    return group;
}

bool ValidValueName(QStringView name)
{
    // QSettings would read a slash as a sub-key.
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && name != kKeyMarker;
}

// "registry-read-fails:<value>", "registry-write-fails:<value>".
bool ValueFault(const char* kind, QStringView name)
{
    return vb::Machine::Instance().GetFaults().IsSet(std::string(kind) + ':' + name.toString().toStdString());
}

bool KeyExists(QSettings& settings, const QString& group)
{
    if (group.isEmpty())
        return true;
    settings.beginGroup(group);
    const bool exists = !settings.childKeys().isEmpty() || !settings.childGroups().isEmpty();
    settings.endGroup();
    return exists;
}

// The hives are this user's own: an owner-only folder and files, whatever the umask.
long Sync(QSettings& settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return ERROR_ACCESS_DENIED;
    QFile::setPermissions(settings.fileName(), QFile::ReadOwner | QFile::WriteOwner);
    return ERROR_SUCCESS;
}

// Whether QSettings writes the hive back as it stands: UTF-8 text whose every line is
// blank, a [section] or a key=value pair. Anything else (a stray line, a comment,
// Latin-1 bytes) its next write drops or changes.
bool ReadsBackCleanly(const QString& file)
{
    QFile hive(file);
    if (!hive.exists())
        return true;
    if (!hive.open(QIODevice::ReadOnly))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(hive.readAll());
    if (utf8.hasError())
        return false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || (line.startsWith(u'[') && line.endsWith(u']')))
            continue;
        if (!line.contains(u'=') || line.startsWith(u';') || line.startsWith(u'#'))
            return false;
    }
    return true;
}

// Before anything is written over a hive that does not read back cleanly, it is set
// aside as the settings files are; what could be read of it goes on in a new hive.
// False when it cannot be set aside: then it must not be written.
bool SetDamagedHiveAside(const QString& file)
{
    if (ReadsBackCleanly(file))
        return true;
    std::vector<std::pair<QString, QVariant>> readable;
    {
        QSettings damaged(file, QSettings::IniFormat);
        for (const QString& key : damaged.allKeys())
            readable.emplace_back(key, damaged.value(key));
    }
    if (!SetFileAside(file))
        return false;
    QSettings fresh(file, QSettings::IniFormat);
    for (const auto& [key, value] : readable)
        fresh.setValue(key, value);
    return Sync(fresh) == ERROR_SUCCESS;
}

} // namespace

QString RegistryRoot()
{
    const QString dir = qEnvironmentVariable("VELOCREST_REGISTRY_DIR");
    if (!dir.isEmpty())
        return dir;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Vyk/registry");
}

QString RegistryHiveFile(RegistryHive hive)
{
    return RegistryRoot() + (hive == RegistryHive::LocalMachine ? QStringLiteral("/HKEY_LOCAL_MACHINE.ini")
                                                                : QStringLiteral("/HKEY_CURRENT_USER.ini"));
}

long RegistryKey::Open(RegistryHive hive, QStringView path)
{
    m_bOpen = false;
    QSettings settings(RegistryHiveFile(hive), QSettings::IniFormat);
    const QString group = GroupOf(path);
    if (!KeyExists(settings, group))
        return ERROR_FILE_NOT_FOUND;
    m_hive = hive;
    m_group = group;
    m_bOpen = true;
    return ERROR_SUCCESS;
}

long RegistryKey::Create(RegistryHive hive, QStringView path)
{
    m_bOpen = false;
    const QString group = GroupOf(path);
    const QString file = RegistryHiveFile(hive);
    bool exists = false;
    {
        QSettings settings(file, QSettings::IniFormat);
        exists = KeyExists(settings, group);
    }
    if (!exists) {
        MakePrivateFolders(RegistryRoot());
        if (!SetDamagedHiveAside(file))
            return ERROR_ACCESS_DENIED;
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue(group + QLatin1Char('/') + kKeyMarker, QString());
        if (Sync(settings) != ERROR_SUCCESS)
            return ERROR_ACCESS_DENIED;
    }
    m_hive = hive;
    m_group = group;
    m_bOpen = true;
    return ERROR_SUCCESS;
}

long RegistryKey::QueryString(QStringView name, QString& value) const
{
    if (!m_bOpen)
        return ERROR_INVALID_HANDLE;
    if (!ValidValueName(name))
        return ERROR_FILE_NOT_FOUND;
    if (ValueFault("registry-read-fails", name))
        return ERROR_ACCESS_DENIED;
    QSettings settings(RegistryHiveFile(m_hive), QSettings::IniFormat);
    const QString key = m_group + QLatin1Char('/') + name.toString();
    if (!settings.contains(key))
        return ERROR_FILE_NOT_FOUND;
    // A hand-edited file may hold an unquoted comma, which QSettings reads as a list.
    const QVariant stored = settings.value(key);
    value = stored.typeId() == QMetaType::QStringList ? stored.toStringList().join(QStringLiteral(", "))
                                                       : stored.toString();
    return ERROR_SUCCESS;
}

long RegistryKey::QueryDword(QStringView name, uint32_t& value) const
{
    QString text;
    const long lRet = QueryString(name, text);
    if (lRet != ERROR_SUCCESS)
        return lRet;
    bool ok = false;
    const qulonglong number = text.trimmed().toULongLong(&ok, 0);
    if (!ok || number > 0xFFFFFFFFull)
        return ERROR_INVALID_DATA;
    value = static_cast<uint32_t>(number);
    return ERROR_SUCCESS;
}

long RegistryKey::SetString(QStringView name, const QString& value) { return _Write(name, &value); }

long RegistryKey::SetDword(QStringView name, uint32_t value)
{
    const QString text = QString::number(value);
    return _Write(name, &text);
}

long RegistryKey::DeleteValue(QStringView name) { return _Write(name, nullptr); }

long RegistryKey::_Write(QStringView name, const QString* value)
{
    if (!m_bOpen)
        return ERROR_INVALID_HANDLE;
    if (!ValidValueName(name))
        return ERROR_INVALID_DATA;
    if (ValueFault("registry-write-fails", name))
        return ERROR_ACCESS_DENIED;
    const QString file = RegistryHiveFile(m_hive);
    const QString key = m_group + QLatin1Char('/') + name.toString();
    if (!value && !QSettings(file, QSettings::IniFormat).contains(key))
        return ERROR_FILE_NOT_FOUND;
    MakePrivateFolders(RegistryRoot());
    if (!SetDamagedHiveAside(file))
        return ERROR_ACCESS_DENIED;
    QSettings settings(file, QSettings::IniFormat);
    if (value) {
        settings.setValue(key, *value);
    } else {
        // Keep the key itself when its last value goes.
        settings.setValue(m_group + QLatin1Char('/') + kKeyMarker, QString());
        settings.remove(key);
    }
    return Sync(settings);
}

QStringList RegistryKey::ValueNames() const
{
    if (!m_bOpen)
        return {};
    QSettings settings(RegistryHiveFile(m_hive), QSettings::IniFormat);
    settings.beginGroup(m_group);
    QStringList names = settings.childKeys();
    names.removeAll(kKeyMarker);
    names.sort();
    return names;
}

} // namespace plat
