#pragma once
// The graphics chip as the Engine reaches it: its 64 KB register window at the
// register BAR and its video BIOS image in the legacy video ROM area.
//
//   "graphics": { "at": "01:05.0", "gpu": 0, "videoBios": "0xC0000",
//                 "referenceClock": 2700, "counterSettleReads": 2,
//                 "omitTables": [10], "registers": { "0x600": "0x01000004" } }
//
// Registers: kEngineClock and kMemoryClock (10 kHz units) are the device library's
// engine and memory clocks of graphics device "gpu", so both views agree; 0x79C is
// the clock counter (write select | 0xFF50, then with bit 15 clear; the count of
// the selected clock is in bits 17 and up, settling after "counterSettleReads"
// reads); every other register is plain storage, preset from "registers".
// The video BIOS holds command tables 10/11 (set the engine/memory clock) and 48/47
// (read them), written with the byte-code assembler, minus "omitTables".
#include <cstdint>
#include <map>
#include <vector>

#include "VirtualBoard/Machine.h"
#include "VirtualBoard/PciBus.h"

namespace vb {

class GraphicsChip final : public Component {
public:
    static constexpr uint32_t kWindowSize = 0x10000;
    static constexpr uint32_t kEngineClock = 0x810;
    static constexpr uint32_t kMemoryClock = 0x814;
    static constexpr uint32_t kClockCounter = 0x79C;

    explicit GraphicsChip(Machine& machine);

    bool Present() const { return m_present; }
    PciLocation Location() const { return m_at; }
    uint64_t RegisterBase() const { return m_registerBase; }
    uint64_t VideoBiosBase() const { return m_videoBiosBase; }
    const std::vector<uint8_t>& VideoBios() const { return m_image; }

    uint32_t ReadRegister(uint32_t offset);
    void WriteRegister(uint32_t offset, uint32_t value);
    // Registers written, oldest first: (offset, value).
    const std::vector<std::pair<uint32_t, uint32_t>>& Writes() const { return m_writes; }

private:
    uint32_t CounterValue();
    double* Clock(uint32_t offset);

    Machine& m_machine;
    bool m_present = false;
    PciLocation m_at;
    uint32_t m_gpu = 0;
    uint64_t m_registerBase = 0;
    uint64_t m_videoBiosBase = 0;
    bool m_integrated = false;
    uint32_t m_referenceClock = 0;
    uint32_t m_settleReads = 0;
    uint32_t m_readsLeft = 0;
    std::map<uint32_t, uint32_t> m_regs;
    std::vector<std::pair<uint32_t, uint32_t>> m_writes;
    std::vector<uint8_t> m_image;
};

} // namespace vb
