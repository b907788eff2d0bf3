#pragma once
// Stand-in of the registry: keys under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER,
// each hive an INI file (QSettings) below one folder. Key paths use backslashes
// as on Windows ("Software\Vyk\Vyk Velocrest"). Values are kept as text; a DWORD
// read accepts decimal or "0x.." text. Faults "registry-read-fails:<value>" and
// "registry-write-fails:<value>" make every read or write of that value name fail.
// A hive file that would not be written back as it stands (a line of no value, a
// comment, text that is not UTF-8) is set aside (SetFileAside) before the first write
// over it; what could be read of it goes on in the new file.
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

namespace plat {

// The registry's result codes (the Windows values).
constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_INVALID_DATA = 13;

enum class RegistryHive { LocalMachine, CurrentUser };

// The product's key under both hives.
inline constexpr char16_t kProductKey[] = u"Software\\Vyk\\Vyk Velocrest";

// Folder of the hive files: $VELOCREST_REGISTRY_DIR when set (tests point it into
// their own folder), else "Vyk/registry" in the user's configuration folder.
QString RegistryRoot();
// The file that holds a hive ("HKEY_LOCAL_MACHINE.ini", "HKEY_CURRENT_USER.ini").
QString RegistryHiveFile(RegistryHive hive);

// One open key. Open never creates a key; Create does.
class RegistryKey {
public:
    long Open(RegistryHive hive, QStringView path);
    long Create(RegistryHive hive, QStringView path);
    void Close() { m_bOpen = false; }
    bool IsOpen() const { return m_bOpen; }

    long QueryString(QStringView name, QString& value) const;
    long QueryDword(QStringView name, uint32_t& value) const;
    long SetString(QStringView name, const QString& value);
    long SetDword(QStringView name, uint32_t value);
    long DeleteValue(QStringView name);
    // Names of the key's values, sorted.
    QStringList ValueNames() const;

private:
    long _Write(QStringView name, const QString* value);

    RegistryHive m_hive = RegistryHive::LocalMachine;
    QString m_group;
    bool m_bOpen = false;
};

} // namespace plat
