// The two outside tools of the Settings page: where the registry says they are
// installed, and starting them through the desktop's launcher.
#include "Preferences/SettingsPage.h"

#include "Engine/Log.h"
#include "Platform/Launcher.h"
#include "Platform/Registry.h"

namespace {

constexpr char16_t kRaidKey[] =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5A3C91E2-7D40-4B8F-9E21-6C0D2F8A4B17}";
constexpr char16_t kSecondRaidKey[] =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{C29E0B74-1F6A-4D53-8B90-3E7A5D1C6F08}";
constexpr char16_t kControlCentreKey[] = u"SOFTWARE\\Juv";
constexpr char16_t kSecondControlCentreKey[] = u"SOFTWARE\\Juv\\Zel";
// The value buffers hold 256 bytes: 127 wide characters and the terminator.
constexpr int kMaxFolderLength = 127;

// A registry value becomes part of a path only when it is a whole absolute folder
// name: not empty, short enough, without control characters.
bool IsToolFolder(const QString& folder)
{
    if (folder.isEmpty() || folder.size() > kMaxFolderLength)
        return false;
    for (const QChar c : folder)
        if (c.category() == QChar::Other_Control)
            return false;
    const bool bDrive = folder.size() >= 3 && folder.at(0).isLetter() && folder.at(1) == QLatin1Char(':')
                        && (folder.at(2) == QLatin1Char('\\') || folder.at(2) == QLatin1Char('/'));
    return bDrive || folder.startsWith(QLatin1Char('/')) || folder.startsWith(QLatin1Char('\\'));
}

// Reads a folder value of an open key; false when missing or unusable.
bool ReadFolder(plat::RegistryKey& key, const char16_t* valueName, QString& folder)
{
    QString value;
    const bool bRead = key.QueryString(QStringView(valueName), value) == plat::ERROR_SUCCESS && IsToolFolder(value);
    key.Close();
    if (bRead)
        folder = value;
    return bRead;
}

bool OpenKey(plat::RegistryKey& key, const char16_t* path)
{
    return key.Open(plat::RegistryHive::LocalMachine, QStringView(path)) == plat::ERROR_SUCCESS;
}

} // namespace

bool QSettingsPage::_GetRaidToolPath()
{
    plat::RegistryKey key;
    if (!OpenKey(key, kRaidKey)) {
        if (!OpenKey(key, kSecondRaidKey))
            return false;
        m_bSecondRaidPackage = true;
    }
    return ReadFolder(key, u"InstallLocation", m_szRaidToolPath);
}

bool QSettingsPage::_GetControlCentrePath()
{
    plat::RegistryKey key;
    if (!OpenKey(key, kControlCentreKey))
        return false;
    if (ReadFolder(key, u"Path", m_szControlCentrePath))
        return true;
    if (!OpenKey(key, kSecondControlCentreKey))
        return false;
    return ReadFolder(key, u"Path", m_szControlCentrePath);
}

void QSettingsPage::on_btnWebPAM_clicked()
{
    if (m_szRaidToolPath.isEmpty())
        return;
    // The second package's folder text ends in a separator of its own.
    const QString file =
        m_szRaidToolPath + (m_bSecondRaidPackage ? QStringLiteral("ArrayKeel.URL") : QStringLiteral("\\WebPAM.URL"));
    const intptr_t nRetCode = plat::Launcher().ShellExecute(QString(), file, QString(), QString(), 1);
    if (nRetCode <= 32)
        g_Log.Write(ltWarning, "Failed to start WebPAM, return code is: %d", static_cast<int>(nRetCode));
}

void QSettingsPage::on_btnLCC_clicked()
{
    if (m_szControlCentrePath.isEmpty())
        return;
    const intptr_t nRetCode = plat::Launcher().ShellExecute(QStringLiteral("open"), m_szControlCentrePath + QStringLiteral("\\Tov.exe"),
                                                            QStringLiteral("Start LCC"), QString(), 1);
    if (nRetCode <= 32)
        g_Log.Write(ltWarning, "Failed to start LCC, return code is: %d", static_cast<int>(nRetCode));
}
