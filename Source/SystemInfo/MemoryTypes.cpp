#include "SystemInfo/MemoryTypes.h"

#include <iterator>

QString MemoryTypeText(unsigned uCode, const char* pszUnknown)
{
    static const char* const kNames[] = {
        "Reserved", "Standard FPM DRAM", "EDO",          "Pipelined Nibble", "SDRAM",     "ROM",
        "DDR SGRAM", "DDR SDRAM",        "DDR2 SDRAM",   nullptr,            nullptr,     "DDR3 SDRAM",
    };
    if (uCode >= std::size(kNames) || !kNames[uCode])
        return QLatin1String(pszUnknown);
    return QLatin1String(kNames[uCode]);
}
