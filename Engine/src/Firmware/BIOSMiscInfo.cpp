#include "Engine/BIOSMiscInfo.h"
#include "Engine/LogCheck.h"

#include "BiosCommand.h"

#include <cstring>

CBIOSMiscInfo g_BIOSMiscInfo;

bool CBIOSMiscInfo::Init()
{
    bool bRetCode = _GetVendorName();
    LOG_PROCESS_ERROR(bRetCode);
    bRetCode = _GetIGPInfo();
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

bool CBIOSMiscInfo::_GetVendorName()
{
    const VYK_BIOS_COMMAND command = g_MakeCommand(CMD_BIOS_VENDOR);
    uint8_t result[68] = {};
    const uint32_t uRetCode = g_VykBIOS.RunCommand(&command, sizeof command, result, sizeof result);
    LOG_PROCESS_ERROR(uRetCode == briSuccess);
    // A full 64-character name keeps its terminator in the 65th byte.
    std::memset(m_szVendorName, 0, sizeof m_szVendorName);
    std::strncpy(m_szVendorName, reinterpret_cast<const char*>(result + 4), sizeof m_szVendorName - 1);
    return true;
}

bool CBIOSMiscInfo::_GetIGPInfo()
{
    const VYK_BIOS_COMMAND command = g_MakeCommand(CMD_BIOS_IGP_INFO);
    uint8_t result[8] = {};
    const uint32_t uRetCode = g_VykBIOS.RunCommand(&command, sizeof command, result, sizeof result);
    LOG_PROCESS_ERROR(uRetCode == briSuccess);
    m_eIGPMode = static_cast<IGP_MODE>(static_cast<int8_t>(result[4]));
    m_bEngineClockOverride = result[5] == 1;
    return true;
}
