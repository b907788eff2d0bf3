#pragma once
// The south bridge's SMBus host controller (PIIX4-compatible byte registers) and
// the devices on its bus, from the board file's "smbus" section:
//
//   "smbus": { "base": "0x0B00", "busyReads": 2,
//              "devices": [ { "address": "0x50", "name": "SPD DIMM0", "bytes": "80 08 08 ..." } ] }
//
// Host registers: +0 status (bit 0 busy, 1 done, 2 device error, 3 collision,
// 4 failed; writing ones clears), +2 control (0x40 start, bits 4..2 protocol),
// +3 command, +4 address ((addr7 << 1) | read), +5 data 0, +6 data 1.
// After a start the host reports busy for busyReads status reads, then done or
// device error. Faults: "smbus-absent" (status reads 0xFF), "smbus-stuck-busy",
// "smbus-never-done" (busy clears, done never comes), "smbus-collision",
// "smbus-readback-once" (the next address read-back after a transfer is wrong, once),
// "smbus-readback-bad" (every address read-back is wrong: someone else uses the bus).
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "VirtualBoard/IoPorts.h"

namespace vb {

// A byte-register device: an SPD EEPROM, a clock generator...
class SmbusDevice {
public:
    SmbusDevice(std::string name, std::vector<uint8_t> bytes, bool writable)
        : m_name(std::move(name)), m_bytes(std::move(bytes)), m_writable(writable) {}
    const std::string& Name() const { return m_name; }
    bool Read(uint8_t command, uint8_t* value) const;
    bool Write(uint8_t command, uint8_t value);
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
private:
    std::string m_name;
    std::vector<uint8_t> m_bytes;
    bool m_writable;
};

class Smbus final : public Component {
public:
    explicit Smbus(Machine& machine);

    uint16_t HostBase() const { return m_base; }               // 0: no controller
    SmbusDevice* Device(uint8_t address7);
    std::vector<uint8_t> Addresses() const;

    // Host controller registers (offset from the base).
    uint8_t HostIn(uint16_t offset);
    void HostOut(uint16_t offset, uint8_t value);

private:
    void Start(uint8_t control);

    Machine& m_machine;
    uint16_t m_base = 0;
    uint32_t m_busyReads = 2;
    std::map<uint8_t, SmbusDevice> m_devices;
    uint8_t m_status = 0, m_control = 0, m_command = 0, m_address = 0, m_data0 = 0, m_data1 = 0;
    uint32_t m_busyLeft = 0;
    uint8_t m_result = 0;                                        // status bits once busy ends
};

} // namespace vb
