#include "Engine/DriverHandler.h"
#include "Engine/Engine.h"
#include "Engine/LogCheck.h"

#include "Platform/Cpuid.h"

#include <cstring>

uint32_t g_GetVID()
{
    if (!plat::IsCpuidAvailable())
        return 0;
    const plat::CpuidResult leaf0 = plat::Cpuid(0);
    char vendor[13] = {};
    std::memcpy(vendor, &leaf0.ebx, 4);
    std::memcpy(vendor + 4, &leaf0.edx, 4);
    std::memcpy(vendor + 8, &leaf0.ecx, 4);
    if (leaf0.eax < 1 || std::strcmp(vendor, "AuthenticVyk") != 0)
        return 0;
    const plat::CpuidResult leaf1 = plat::Cpuid(1);
    if (!(leaf1.edx & (1u << 5)))                // no MSRs
        return 0;

    const uint32_t power = plat::Cpuid(0x80000007).edx;
    uint32_t low = 0, high = 0;
    bool bRetCode = false;
    switch (leaf1.eax & 0x0FF00F00) {
    case 0x00000F00:                             // family 0Fh: FIDVID status
        if (!(power & (1u << 2)) || !(power & (1u << 1)))
            return 0;
        bRetCode = g_DriverHandler.RDMSR(0xC0010042, low, high);
        LOG_PROCESS_ERROR_RET(bRetCode, 0u);
        return high & 0x3F;
    case 0x00100F00:                             // family 10h: COFVID status, current VID
        if (!(power & (1u << 7)))
            return 0;
        bRetCode = g_DriverHandler.RDMSR(0xC0010071, low, high);
        LOG_PROCESS_ERROR_RET(bRetCode, 0u);
        return (low >> 9) & 0x7F;
    default:
        return 0;
    }
}
