// The flash disk as a cache volume: the partitioning script, the drive letter,
// the policies that hide the drive, the cache description file and the restart.
#include "SystemInfo/Corvane.h"

#include <QFile>
#include <QSaveFile>

#include <memory>

#include "Engine/LogCheck.h"
#include "Platform/CommandRunner.h"
#include "Platform/Drives.h"
#include "Platform/Privileges.h"
#include "Platform/Registry.h"
#include "Platform/ResourceModule.h"
#include "Platform/StateDir.h"
#include "Settings/SettingsFiles.h"
#include "SystemInfo/CorvaneRegistry.h"

namespace {

constexpr char16_t kPoliciesKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies";
constexpr char16_t kExplorerKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer";

bool IsDriveLetter(char cLetter) { return cLetter >= 'A' && cLetter <= 'Z'; }

// Runs a command line in the state folder, where the script lies. Its exit code
// says nothing we could act on; only a command that never ran is a failure.
bool RunCommand(const QString& commandLine)
{
    uint32_t uExitCode = 0;
    const bool bRetCode = plat::CommandRunner().Run(commandLine, plat::StateDir(), &uExitCode);
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

bool RunScript()
{
    const bool bRetCode = RunCommand(QStringLiteral("diskpart /s diskpart.tmp"));
    QFile::remove(QCorvane::ScriptFilePath());
    return bRetCode;
}

struct ModuleRelease {
    void operator()(plat::ResourceModule* hModule) const { plat::FreeLibrary(hModule); }
};

} // namespace

QString QCorvane::ScriptFilePath() { return plat::StateDir() + QStringLiteral("/diskpart.tmp"); }

bool QCorvane::GenerateScriptFile(bool bEnable)
{
    const int iCorvaneID = GetCorvaneDiskID();
    LOG_PROCESS_ERROR(iCorvaneID >= 0);

    // Without a letter there is no volume to name: run nothing and keep the stored letter.
    char cLetter = 0;
    if (!bEnable) {
        cLetter = m_cDriveLetter ? m_cDriveLetter : ReadDriveLetter();
        LOG_PROCESS_ERROR(IsDriveLetter(cLetter));
        m_cDriveLetter = cLetter;
    }

    // The script is run with the system's rights: nobody else may read or change it.
    QSaveFile file(ScriptFilePath());
    const int iRet = file.open(QIODevice::WriteOnly | QIODevice::Text)
                         && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
                     ? 0
                     : 1;
    LOG_PROCESS_ERROR(iRet == 0);
    QByteArray script;
    if (bEnable) {
        m_cDriveLetter = GetFreeDriveLetter();
        if (!m_cDriveLetter) {
            // An empty script, so no earlier one can ever be run by mistake.
            file.commit();
            return false;
        }
        script = QStringLiteral("automount enable noerr\n"
                                "select disk %1\n"
                                "convert dynamic noerr\n"
                                "create volume simple\n"
                                "format quick FS=FAT noerr\n"
                                "assign letter=%2\n"
                                "Exit\n")
                     .arg(iCorvaneID)
                     .arg(QChar::fromLatin1(m_cDriveLetter))
                     .toLatin1();
    } else {
        script = QStringLiteral("select volume=%1\n"
                                "delete volume override noerr\n"
                                "Exit\n")
                     .arg(QChar::fromLatin1(cLetter))
                     .toLatin1();
    }
    // Only a whole script is swapped in (commit() alone would not see a failed flush).
    const bool bRetCode = file.write(script) == script.size() && file.flush() && file.commit();
    LOG_PROCESS_ERROR(bRetCode);
    SaveDriveLetter(bEnable ? m_cDriveLetter : 0);
    return true;
}

char QCorvane::GetFreeDriveLetter()
{
    const uint32_t uDrives = plat::GetLogicalDrives();
    for (int nBit = 25; nBit >= 0; --nBit)
        if (!(uDrives & (1u << nBit)))
            return static_cast<char>('A' + nBit);
    return 0;
}

char QCorvane::ReadDriveLetter()
{
    plat::RegistryKey key;
    if (key.Open(plat::RegistryHive::LocalMachine, kCorvaneServiceKey) != plat::ERROR_SUCCESS)
        return 0;
    QString value;
    if (key.QueryString(u"DriveLetter", value) != plat::ERROR_SUCCESS || value.isEmpty())
        return 0;
    const char16_t c = value.at(0).unicode();
    return c < 0x80 ? static_cast<char>(c) : 0;
}

bool QCorvane::SaveDriveLetter(char cLetter)
{
    plat::RegistryKey key;
    if (key.Open(plat::RegistryHive::LocalMachine, kCorvaneServiceKey) != plat::ERROR_SUCCESS)
        return false;
    // The letter and its terminator; a cleared letter leaves only zeros, an empty text here.
    const QString value = cLetter ? QString(QChar::fromLatin1(cLetter)) : QString();
    return key.SetString(u"DriveLetter", value) == plat::ERROR_SUCCESS;
}

bool QCorvane::ApplyCacheDrivePolicies()
{
    // Only a letter A-Z has a bit of its own in the drive mask.
    LOG_PROCESS_ERROR(IsDriveLetter(m_cDriveLetter));

    plat::RegistryKey policies;
    if (policies.Open(plat::RegistryHive::LocalMachine, kPoliciesKey) != plat::ERROR_SUCCESS)
        return false;
    plat::RegistryKey explorer;
    if (explorer.Create(plat::RegistryHive::LocalMachine, kExplorerKey) != plat::ERROR_SUCCESS)
        return false;
    // Drives the user hid already stay hidden.
    uint32_t uNoDrives = 0;
    if (explorer.QueryDword(u"NoDrives", uNoDrives) != plat::ERROR_SUCCESS)
        uNoDrives = 0;
    uNoDrives |= 0x2000000u >> ('Z' - m_cDriveLetter);
    if (explorer.SetDword(u"NoDrives", uNoDrives) != plat::ERROR_SUCCESS)
        return false;
    if (explorer.SetDword(u"NoLowDiskSpaceChecks", 1) != plat::ERROR_SUCCESS)
        return false;

    plat::RegistryKey parameters;
    if (parameters.Open(plat::RegistryHive::LocalMachine, kCorvaneParametersKey) != plat::ERROR_SUCCESS)
        return false;
    uint32_t uGlobalCaps = 0, uGlobalCapsMask = 0;
    if (parameters.QueryDword(u"GlobalCaps", uGlobalCaps) != plat::ERROR_SUCCESS
        || parameters.QueryDword(u"GlobalCapsMask", uGlobalCapsMask) != plat::ERROR_SUCCESS)
        return false;
    return parameters.SetDword(u"GlobalCaps", uGlobalCaps | kCorvaneBaseCap) == plat::ERROR_SUCCESS
        && parameters.SetDword(u"GlobalCapsMask", uGlobalCapsMask | kCorvaneBaseCap) == plat::ERROR_SUCCESS;
}

bool QCorvane::EnableReadyBoost(uint32_t uSize, bool bEnable)
{
    if (!GenerateScriptFile(bEnable))
        return false;
    if (!bEnable)
        return RunScript();
    ApplyCacheDrivePolicies();
    if (!RunScript())
        return false;
    return _WriteEmdFile(uSize);
}

bool QCorvane::_WriteEmdFile(uint32_t uSize)
{
    QByteArray emd;
    {
        const std::unique_ptr<plat::ResourceModule, ModuleRelease> hModule(plat::LoadLibrary(u"Corvane.dll"));
        LOG_PROCESS_ERROR(hModule);
        const uint8_t* pData = nullptr;
        uint32_t uDataSize = 0;
        const bool bRetCode = plat::LoadResourceBytes(hModule.get(), 107, u"RT_EMD", &pData, &uDataSize);
        LOG_PROCESS_ERROR(bRetCode);
        LOG_PROCESS_ERROR(uDataSize == kEmdSize);
        emd = QByteArray(reinterpret_cast<const char*>(pData), static_cast<qsizetype>(uDataSize));
    }
    for (int i = 0; i < 4; ++i)
        emd[kEmdSizeOffset + i] = static_cast<char>(uSize >> (8 * i));

    const QString drivePath = QStringLiteral("%1:\\EMD.dat").arg(QChar::fromLatin1(m_cDriveLetter));
    const QString path = plat::LocalPathOfDrivePath(drivePath);
    LOG_PROCESS_ERROR(!path.isEmpty());
    if (!settings::WriteFileAtomically(path, emd))
        return false;
    return RunCommand(QStringLiteral("attrib +A +S +H +R ") + drivePath);
}

bool QCorvane::RebootSystem()
{
    bool bNotAllAssigned = false;
    const bool bRetCode = plat::Privileges().EnablePrivilege(u"SeShutdownPrivilege", &bNotAllAssigned);
    LOG_PROCESS_ERROR(bRetCode);
    return plat::Privileges().ExitSystem(true);
}
