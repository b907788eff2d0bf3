#include "Startup/Firmware.h"

#include "Engine/CMOSItemList.h"

#include <cstring>

QByteArray StartupFirmware::BiosVendor() const
{
    const SMBIOS_BIOS_INFO& info = m_smbios.GetBIOSInfo();
    return QByteArray(info.szVendor, static_cast<int>(strnlen(info.szVendor, sizeof info.szVendor)));
}

bool StartupFirmware::HasCmosItem(const char* pszName) { return g_CMOSItemList.FindItem(pszName) != 0xFFFF; }
