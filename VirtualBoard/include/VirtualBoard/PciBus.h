#pragma once
// PCI configuration space of the simulated board: 4 KB per function, from the
// board file's "pci" section, reached by configuration requests and through the
// enhanced configuration window (ECAM) in physical memory.
//
//   "pci": { "ecam": { "base": "0xE0000000", "buses": 64 },
//            "functions": [ { "at": "00:14.0", "vendor": "0x1002", "device": "0x4385",
//                             "class": "0x0C0500", "revision": "0x3C", "subsystem": "0x...",
//                             "bars": ["0x..", ...], "config": { "0x90": "0x00000B01" } } ] }
//
// Absent functions read all ones. Faults: "pci-ecam-off" (the window answers all
// ones), "pci-absent-<bb:dd.f>" (that function does not answer).
#include <cstdint>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

#include "VirtualBoard/Machine.h"

namespace vb {

struct PciLocation {
    uint32_t bus = 0, device = 0, function = 0;
    bool operator<(const PciLocation& o) const
    {
        return std::tie(bus, device, function) < std::tie(o.bus, o.device, o.function);
    }
};

class PciBus final : public Component {
public:
    static constexpr uint32_t kConfigSize = 4096;

    explicit PciBus(Machine& machine);

    bool Exists(const PciLocation& at) const;
    std::vector<PciLocation> Functions() const;
    // The first function at or after at that answers; false when none does.
    bool NextAnswering(const PciLocation& at, PciLocation* next) const;

    // False for a location or range outside configuration space; an absent
    // function reads 0xFF bytes and ignores writes.
    bool ReadConfig(const PciLocation& at, uint32_t offset, uint8_t* data, uint32_t length);
    bool WriteConfig(const PciLocation& at, uint32_t offset, const uint8_t* data, uint32_t length);

    // Registers with effects (index/data pairs...) are served by a hook that sees
    // every access to its function first; it returns true when it served it.
    using ConfigHook = std::function<bool(uint32_t offset, uint8_t* data, uint32_t length, bool write)>;
    void SetConfigHook(const PciLocation& at, ConfigHook hook);
    // Models that serve registers of a function install their hooks through a
    // source registered at load time; each runs once for every new PciBus.
    using HookSource = std::function<void(Machine&, PciBus&)>;
    static void RegisterHookSource(HookSource source);

    uint64_t EcamBase() const { return m_ecamBase; }     // 0: no window
    uint32_t EcamBuses() const { return m_ecamBuses; }

    static bool ParseLocation(const QString& text, PciLocation* at);

private:
    bool Answers(const PciLocation& at) const;

    Machine& m_machine;
    std::map<PciLocation, std::vector<uint8_t>> m_functions;
    std::map<PciLocation, ConfigHook> m_hooks;
    uint64_t m_ecamBase = 0;
    uint32_t m_ecamBuses = 0;
};

} // namespace vb
