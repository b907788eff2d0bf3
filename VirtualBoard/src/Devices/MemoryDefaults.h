#pragma once
// What a memory controller of each kind (DDR, DDR2, DDR3) offers and holds when the
// board file does not say: every value list of the memory pages and every timing
// and configuration field, each field on a value of its list.
#include "VirtualBoard/Devices/DeviceState.h"

namespace vb {

// Fills the lists, fields and memory clock the board file left out.
void FillMemoryDefaults(MemoryControllerState& m, bool memClkGiven);

// Class name of a controller of that memory type when the board file names none.
const char* DefaultControllerClass(int memoryType);

} // namespace vb
