#include "Platform/Cpuid.h"

#include "VirtualBoard/Processor.h"

namespace plat {

static vb::Processor& Cpu() { return vb::Machine::Instance().Get<vb::Processor>(); }

bool IsCpuidAvailable() { return Cpu().IsCpuidSupported(); }

CpuidResult Cpuid(uint32_t leaf, uint32_t subleaf)
{
    const vb::CpuidRegs r = Cpu().Cpuid(leaf, subleaf);
    return CpuidResult{r.eax, r.ebx, r.ecx, r.edx};
}

} // namespace plat
