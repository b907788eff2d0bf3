#pragma once
// The display text of a memory-type code, as the memory controller and a module's
// SPD record give it (the JEDEC memory-type byte; 9, 10 and codes above 11 are
// not named).
#include <QString>

// pszUnknown: the text of a code without a name (the module dialog spells it its own way).
QString MemoryTypeText(unsigned uCode, const char* pszUnknown = "Unknown Type");
