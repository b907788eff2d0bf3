#include "VirtualBoard/NorthBridgeClocks.h"

#include <cstring>

#include "VirtualBoard/Devices/DeviceBoard.h"

namespace vb {

namespace {

const bool g_registered = [] {
    PciBus::RegisterHookSource([](Machine& machine, PciBus& bus) {
        const QJsonObject section = machine.Section(QStringLiteral("northBridgeClocks"));
        PciLocation at;
        if (section.isEmpty() || !PciBus::ParseLocation(section.value(QStringLiteral("at")).toString(), &at))
            return;
        bus.SetConfigHook(at, [&machine](uint32_t offset, uint8_t* data, uint32_t length, bool write) {
            return machine.Get<NorthBridgeClocks>().Access(offset, data, length, write);
        });
    });
    return true;
}();

uint32_t Decode(uint32_t r)
{
    const uint32_t ref = 10000;
    return (((r >> 3) & 0x3F) + 1) * ((r & 7) + 1) * ref * 2 / (((r >> 14) & 3) * 2 + 2) / (((r >> 9) & 0x1F) + 1);
}

} // namespace

NorthBridgeClocks::NorthBridgeClocks(Machine& machine) : m_machine(machine)
{
    const QJsonObject section = machine.Section(QStringLiteral("northBridgeClocks"));
    m_present = !section.isEmpty() && PciBus::ParseLocation(section.value(QStringLiteral("at")).toString(), &m_at);
    m_pollsNeeded = static_cast<uint32_t>(ToU64(section.value(QStringLiteral("handshakePolls")), 2));
    const QJsonObject regs = section.value(QStringLiteral("registers")).toObject();
    for (auto it = regs.begin(); it != regs.end(); ++it)
        m_regs[static_cast<uint32_t>(ToU64(QJsonValue(it.key()))) & 0x1FF] = static_cast<uint32_t>(ToU64(it.value()));
    // The set in use follows the control bit from power-on.
    m_regs[0] = (Register(0) & ~8u) | ((Register(9) & 2) << 2);
}

uint32_t NorthBridgeClocks::Register(uint32_t index) const
{
    auto it = m_regs.find(index & 0x1FF);
    return it == m_regs.end() ? 0 : it->second;
}

void NorthBridgeClocks::SetRegister(uint32_t index, uint32_t value)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    m_regs[index & 0x1FF] = value;
}

uint32_t NorthBridgeClocks::ActiveClock() const
{
    return Decode((Register(9) & 2) ? Register(11) : Register(7));
}

bool NorthBridgeClocks::Access(uint32_t offset, uint8_t* data, uint32_t length, bool write)
{
    if (length != 4 || (offset != kIndexRegister && offset != kDataRegister))
        return false;
    ++m_accesses;
    uint32_t value = 0;
    std::memcpy(&value, data, 4);
    if (offset == kIndexRegister) {
        if (write)
            m_index = value;
        else
            std::memcpy(data, &m_index, 4);
        return true;
    }
    const uint32_t reg = m_index & 0x1FF;
    if (!write) {
        if (reg == 0)
            FollowHandshake();
        const uint32_t current = Register(reg);
        std::memcpy(data, &current, 4);
        return true;
    }
    if (!(m_index & 0x200))
        return true;                             // no write enable: the write is lost
    m_writes.emplace_back(reg, value);
    const bool switchChanged = reg == 9 && ((Register(9) ^ value) & 2);
    m_regs[reg] = value;
    if (switchChanged)
        m_pollsLeft = m_pollsNeeded;
    // Without the request bit (0) the set follows the select bit at once; with it,
    // only after the handshake's polls.
    if (reg == 9 && !(value & 1))
        m_regs[0] = (Register(0) & ~8u) | ((value & 2) << 2);
    if (reg == 7 || reg == 9 || reg == 11)
        PublishClock();
    return true;
}

// Register 0 bit 3 takes the value of register 9 bit 1 once enough polls passed.
void NorthBridgeClocks::FollowHandshake()
{
    const uint32_t want = (Register(9) & 2) << 2;
    if ((Register(0) & 8) == want || m_machine.GetFaults().IsSet("nb-clock-handshake-stuck"))
        return;
    if (m_pollsLeft > 0) {
        --m_pollsLeft;
        return;
    }
    m_regs[0] = (Register(0) & ~8u) | want;
}

// The device library reads the same clock: the integrated chip's side-port clock.
void NorthBridgeClocks::PublishClock()
{
    DeviceBoard& board = m_machine.Get<DeviceBoard>();
    auto lock = board.Lock();
    for (GpuState& g : board.gpus)
        if (g.integrated && g.sidePort.max > 0)
            g.sidePort.value = ActiveClock() / 100.0;
}

} // namespace vb
