#pragma once
// The clock lists of a clock generator that takes only the clocks it lists.
#include <vector>

class IClockGeneratorDevice;

// Reads the reference-clock and the PCIe-clock list, each by asking its length and
// then its entries. False when a list is refused or empty; the line says which, as
// the pages have always logged it, under function ("Class::Method").
bool ReadClockLists(IClockGeneratorDevice* pClockGen, std::vector<double>& htRefClocks,
                    std::vector<double>& pcieClocks, const char* function);
