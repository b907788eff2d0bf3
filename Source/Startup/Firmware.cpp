#include "Startup/Firmware.h"

// The SMBIOS reader and the CMOS item list come with the Engine's firmware
// readers; until a build has them, the vendor is empty and no item is offered.
#if __has_include("Engine/SMBIOS.h")
#include "Engine/SMBIOS.h"
#define VELOCREST_HAVE_SMBIOS 1
#endif
#if __has_include("Engine/CMOSItemList.h")
#include "Engine/CMOSItemList.h"
#define VELOCREST_HAVE_CMOS_ITEMS 1
#endif

#include <cstring>

struct StartupFirmware::Tables {
#ifdef VELOCREST_HAVE_SMBIOS
    CSMBIOS smbios;
#endif
};

StartupFirmware::StartupFirmware() : m_pTables(std::make_unique<Tables>()) {}

StartupFirmware::~StartupFirmware() = default;

bool StartupFirmware::InitSmbios()
{
#ifdef VELOCREST_HAVE_SMBIOS
    return m_pTables->smbios.Init();
#else
    return false;
#endif
}

QByteArray StartupFirmware::BiosVendor() const
{
#ifdef VELOCREST_HAVE_SMBIOS
    const auto& info = m_pTables->smbios.GetBIOSInfo();
    return QByteArray(info.szVendor, static_cast<int>(strnlen(info.szVendor, sizeof(info.szVendor))));
#else
    return QByteArray();
#endif
}

bool StartupFirmware::HasCmosItem(const char* pszName)
{
#ifdef VELOCREST_HAVE_CMOS_ITEMS
    return g_CMOSItemList.FindItem(pszName) != 0xFFFF;
#else
    (void)pszName;
    return false;
#endif
}
