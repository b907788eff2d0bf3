#pragma once
// The CPUID instruction, answered by the simulated processor: a real host never
// reports the maker's vendor text.
#include <cstdint>

namespace plat {

struct CpuidResult {
    uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// Whether the ID flag of the flags register can be toggled.
bool IsCpuidAvailable();
CpuidResult Cpuid(uint32_t leaf, uint32_t subleaf = 0);

} // namespace plat
