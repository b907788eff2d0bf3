#pragma once
// The north bridge's clock register file, reached through the host bridge's
// configuration registers 0xE8 (index; bit 9 enables a write) and 0xEC (data).
// It holds the side-port memory PLL: register 0 bit 3 tells the PLL set in use
// and follows register 9 bit 1: after a number of reads of register 0 while the
// request bit 0 of register 9 is set (the switch-over handshake), at once when it
// is clear; registers 7 and 11 are the two PLL sets.
//
//   "northBridgeClocks": { "at": "00:00.0", "handshakePolls": 2,
//                          "registers": { "7": "0x40110478", "11": "0x18" } }
//
// Fault "nb-clock-handshake-stuck": register 0 bit 3 never follows.
// The clock of the set in use is the side-port clock the device library reports.
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "VirtualBoard/Machine.h"
#include "VirtualBoard/PciBus.h"

namespace vb {

class NorthBridgeClocks final : public Component {
public:
    static constexpr uint32_t kIndexRegister = 0xE8;
    static constexpr uint32_t kDataRegister = 0xEC;

    explicit NorthBridgeClocks(Machine& machine);

    bool Present() const { return m_present; }
    PciLocation Location() const { return m_at; }
    // Served from the host bridge's configuration hook; true when it was ours.
    bool Access(uint32_t offset, uint8_t* data, uint32_t length, bool write);

    uint32_t Register(uint32_t index) const;
    void SetRegister(uint32_t index, uint32_t value);
    uint32_t IndexLatch() const { return m_index; }
    // Writes through the data register, oldest first: (register, value).
    const std::vector<std::pair<uint32_t, uint32_t>>& Writes() const { return m_writes; }
    // Accesses of 0xE8/0xEC, reads and writes.
    uint32_t Accesses() const { return m_accesses; }
    // The clock of the PLL set in use, in 10 kHz units (reference 100 MHz).
    uint32_t ActiveClock() const;

private:
    void FollowHandshake();
    void PublishClock();

    Machine& m_machine;
    bool m_present = false;
    PciLocation m_at;
    uint32_t m_index = 0;
    std::map<uint32_t, uint32_t> m_regs;
    uint32_t m_pollsNeeded = 2;
    uint32_t m_pollsLeft = 0;
    std::vector<std::pair<uint32_t, uint32_t>> m_writes;
    uint32_t m_accesses = 0;
};

} // namespace vb
