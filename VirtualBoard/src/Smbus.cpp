#include "VirtualBoard/Smbus.h"
#include "VirtualBoard/PhysicalMemory.h"

#include <QJsonArray>

namespace vb {

namespace {

enum : uint8_t { kBusy = 0x01, kDone = 0x02, kDevErr = 0x04, kCollision = 0x08, kFailed = 0x10 };

class HostPorts final : public PortDevice {
public:
    explicit HostPorts(Machine& machine) : m_machine(machine) {}
    uint8_t In(uint16_t offset) override { return m_machine.Get<Smbus>().HostIn(offset); }
    void Out(uint16_t offset, uint8_t value) override { m_machine.Get<Smbus>().HostOut(offset, value); }
private:
    Machine& m_machine;
};

const bool g_registered = [] {
    IoPorts::RegisterSource([](Machine& machine, IoPorts& ports) {
        const uint16_t base = machine.Get<Smbus>().HostBase();
        if (base != 0)
            ports.Attach(base, 16, "smbus-host", std::make_shared<HostPorts>(machine));
    });
    return true;
}();

} // namespace

bool SmbusDevice::Read(uint8_t command, uint8_t* value) const
{
    if (command >= m_bytes.size())
        return false;
    *value = m_bytes[command];
    return true;
}

bool SmbusDevice::Write(uint8_t command, uint8_t value)
{
    if (!m_writable || command >= m_bytes.size())
        return false;
    m_bytes[command] = value;
    return true;
}

Smbus::Smbus(Machine& machine) : m_machine(machine)
{
    const QJsonObject s = machine.Section(QStringLiteral("smbus"));
    const uint64_t base = ToU64(s.value(QStringLiteral("base")));
    // Port 0 would overlay the DMA controller; the host needs 16 ports.
    if (base != 0 && base <= 0xFFF0)
        m_base = static_cast<uint16_t>(base);
    else if (base != 0)
        Report(rtError, "VirtualBoard: SMBus base 0x%llx is out of the port space", (unsigned long long)base);
    m_busyReads = static_cast<uint32_t>(ToU64(s.value(QStringLiteral("busyReads")), 2));
    for (const QJsonValue& v : s.value(QStringLiteral("devices")).toArray()) {
        const QJsonObject d = v.toObject();
        const uint64_t address = ToU64(d.value(QStringLiteral("address")), 0x80);
        std::vector<uint8_t> bytes;
        if (address > 0x7F || !ParseHexBytes(d.value(QStringLiteral("bytes")).toString(), &bytes) || bytes.size() > 256) {
            Report(rtError, "VirtualBoard: unusable SMBus device \"%s\"", qPrintable(d.value(QStringLiteral("name")).toString()));
            continue;
        }
        m_devices.emplace(static_cast<uint8_t>(address),
                          SmbusDevice(d.value(QStringLiteral("name")).toString().toStdString(), std::move(bytes),
                                      d.value(QStringLiteral("writable")).toBool(true)));
    }
}

SmbusDevice* Smbus::Device(uint8_t address7)
{
    auto it = m_devices.find(address7);
    return it == m_devices.end() ? nullptr : &it->second;
}

std::vector<uint8_t> Smbus::Addresses() const
{
    std::vector<uint8_t> out;
    for (const auto& [address, device] : m_devices)
        out.push_back(address);
    return out;
}

uint8_t Smbus::HostIn(uint16_t offset)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    Faults& faults = m_machine.GetFaults();
    switch (offset) {
    case 0:
        if (faults.IsSet("smbus-absent"))
            return 0xFF;
        if (faults.IsSet("smbus-stuck-busy"))
            return kBusy;
        if (m_busyLeft > 0 && --m_busyLeft == 0)
            m_status = m_result;
        return m_status;
    case 2:
        return m_control & 0x1F;                 // the start bit reads back 0
    case 3:
        return m_command;
    case 4:
        if (m_status & kDone) {
            if (faults.IsSet("smbus-readback-bad"))
                return m_address ^ 0x02;
            if (faults.IsSet("smbus-readback-once")) {
                faults.Set("smbus-readback-once", false);
                return m_address ^ 0x02;
            }
        }
        return m_address;
    case 5:
        return m_data0;
    case 6:
        return m_data1;
    default:
        return 0xFF;
    }
}

void Smbus::HostOut(uint16_t offset, uint8_t value)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    switch (offset) {
    case 0:
        m_status &= ~(value & 0x1E);             // write one to clear; busy is the host's own
        break;
    case 2:
        m_control = value;
        if (value & 0x40)
            Start(value);
        break;
    case 3: m_command = value; break;
    case 4: m_address = value; break;
    case 5: m_data0 = value; break;
    case 6: m_data1 = value; break;
    default:
        break;
    }
}

void Smbus::Start(uint8_t control)
{
    if (m_status & kBusy)
        return;
    Faults& faults = m_machine.GetFaults();
    const uint8_t address7 = m_address >> 1;
    const bool read = m_address & 1;
    const uint32_t protocol = (control >> 2) & 7;
    SmbusDevice* device = Device(address7);
    uint8_t result = kDone;
    char line[160];
    if (faults.IsSet("smbus-collision")) {
        result = kCollision;
    } else if (!device) {
        result = kDevErr;
    } else if (protocol == 2) {                   // byte data
        const bool ok = read ? device->Read(m_command, &m_data0) : device->Write(m_command, m_data0);
        if (!ok)
            result = kDevErr;
    } else if (protocol == 0) {                   // quick: the address alone
    } else {
        Report(rtError, "VirtualBoard: SMBus protocol %u is not modelled", protocol);
        result = kFailed;
    }
    if (result != kDone) {                       // sensors are polled: only failures are journalled
        snprintf(line, sizeof line, "smbus: %s 0x%02x cmd 0x%02x data 0x%02x status 0x%02x", read ? "read" : "write",
                 address7, m_command, m_data0, result);
        m_machine.GetJournal().Record(line);
    }
    if (faults.IsSet("smbus-never-done"))
        result = 0;
    m_result = result;
    m_busyLeft = m_busyReads;
    m_status = m_busyLeft ? uint8_t(kBusy) : result;
}

} // namespace vb
