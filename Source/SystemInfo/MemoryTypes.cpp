#include "SystemInfo/MemoryTypes.h"

#include <iterator>

QString MemoryTypeText(unsigned uCode)
{
    static const char* const kNames[] = {
        "Reserved", "Standard FPM DRAM", "EDO",          "Pipelined Nibble", "SDRAM",     "ROM",
        "DDR SGRAM", "DDR SDRAM",        "DDR2 SDRAM",   nullptr,            nullptr,     "DDR3 SDRAM",
    };
    if (uCode >= std::size(kNames) || !kNames[uCode])
        return QStringLiteral("Unknown Type");
    return QLatin1String(kNames[uCode]);
}
