#pragma once
// The simulated processor: what CPUID reports, its model-specific registers and
// its time-stamp counter, from the board file's "processor" section.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "VirtualBoard/Machine.h"

namespace vb {

struct CpuidRegs {
    uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

class Processor final : public Component {
public:
    explicit Processor(Machine& machine);

    bool IsCpuidSupported() const { return m_cpuidSupported; }
    CpuidRegs Cpuid(uint32_t leaf, uint32_t subleaf = 0) const;

    uint32_t Signature() const { return m_signature; }
    int CoreCount() const { return m_cores; }
    std::string Vendor() const { return m_vendor; }
    std::string Brand() const { return m_brand; }

    // MSRs the board file lists (plus those written since); others do not exist.
    bool ReadMsr(uint32_t msr, uint64_t* value) const;
    bool WriteMsr(uint32_t msr, uint64_t value);

    // The counter runs at the core clock; a change of clock keeps it monotonic.
    uint64_t ReadTsc();
    double CoreClockMHz() const;
    void SetCoreClockMHz(double mhz);

private:
    mutable std::mutex m_mutex;
    bool m_cpuidSupported = true;
    std::string m_vendor;
    std::string m_brand;
    uint32_t m_signature = 0;
    int m_cores = 1;
    uint32_t m_maxStdLeaf = 1;
    uint32_t m_maxExtLeaf = 0x80000008;
    bool m_msrSupported = true;
    bool m_fidControl = false, m_vidControl = false, m_hwPstate = false;
    std::map<uint32_t, CpuidRegs> m_cpuidOverrides;
    std::map<uint32_t, uint64_t> m_msrs;
    double m_coreMHz = 0;
    uint64_t m_tscBase = 0;      // counter value at m_tscSinceNs
    uint64_t m_tscSinceNs = 0;
};

} // namespace vb
