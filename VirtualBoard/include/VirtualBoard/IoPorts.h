#pragma once
// The I/O port space of the simulated board. Devices claim a range of byte
// registers; wider accesses are composed of byte accesses, low byte first.
// Unclaimed ports read all ones and ignore writes (both journalled).
//
// Models add their devices through a source registered at load time (see
// RegisterSource), as the SMBus host controller does.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "VirtualBoard/Machine.h"

namespace vb {

class PortDevice {
public:
    virtual ~PortDevice() = default;
    virtual uint8_t In(uint16_t offset) = 0;
    virtual void Out(uint16_t offset, uint8_t value) = 0;
};

class IoPorts final : public Component {
public:
    using PortSource = std::function<void(Machine&, IoPorts&)>;
    static void RegisterSource(PortSource source);

    explicit IoPorts(Machine& machine);

    // False (reported) when the range is empty, runs past 0xFFFF or overlaps.
    bool Attach(uint16_t base, uint32_t count, const std::string& name, std::shared_ptr<PortDevice> device);

    // Width 1, 2 or 4, within the 64 K port space; anything else is refused.
    bool In(uint16_t port, uint32_t width, uint32_t* value);
    bool Out(uint16_t port, uint32_t width, uint32_t value);

private:
    struct Range {
        uint16_t base;
        uint32_t count;
        std::string name;
        std::shared_ptr<PortDevice> device;
    };
    const Range* Find(uint16_t port) const;

    Machine& m_machine;
    std::map<uint16_t, Range> m_ranges;
};

} // namespace vb
