#include "VirtualBoard/GraphicsChip.h"

#include <QJsonArray>
#include <cmath>
#include <cstring>

#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/KestAssembler.h"
#include "VirtualBoard/PhysicalMemory.h"

namespace vb {

namespace {

class RegisterWindow final : public MemoryDevice {
public:
    explicit RegisterWindow(Machine& machine) : m_machine(machine) {}
    bool Read(uint64_t offset, uint8_t* data, size_t length) override
    {
        for (size_t i = 0; i < length;) {
            const uint64_t at = offset + i, word = at & ~3ull;
            const uint32_t value = m_machine.Get<GraphicsChip>().ReadRegister(static_cast<uint32_t>(word));
            for (; i < length && ((offset + i) & ~3ull) == word; ++i)
                data[i] = static_cast<uint8_t>(value >> (8 * ((offset + i) & 3)));
        }
        return true;
    }
    bool Write(uint64_t offset, const uint8_t* data, size_t length) override
    {
        GraphicsChip& chip = m_machine.Get<GraphicsChip>();
        for (size_t i = 0; i < length;) {
            const uint64_t word = (offset + i) & ~3ull;
            // A partial write keeps the other bytes of the word (plain storage only).
            uint32_t value = length - i >= 4 && (offset + i) == word ? 0 : chip.ReadRegister(static_cast<uint32_t>(word));
            for (; i < length && ((offset + i) & ~3ull) == word; ++i) {
                const uint32_t shift = 8 * ((offset + i) & 3);
                value = (value & ~(0xFFu << shift)) | uint32_t(data[i]) << shift;
            }
            chip.WriteRegister(static_cast<uint32_t>(word), value);
        }
        return true;
    }
private:
    Machine& m_machine;
};

// The chip's own procedures: set and read the engine and memory clocks. The sets
// address the clock registers through the register block base and let the clock
// settle in a nested table.
const char* const kSetEngineClock =
    "regbase 0x200          ; clock registers\n"
    "move reg(4), param(0)  ; engine clock\n"
    "call 60                ; let it settle\n"
    "end\n";
const char* const kSetMemoryClock =
    "regbase 0x200\n"
    "move reg(5), param(0)  ; memory clock\n"
    "call 60\n"
    "end\n";
const char* const kSettle = "delay 1\nend\n";
const char* const kGetEngineClock = "move param(0), reg(0x204)\nend\n";
const char* const kGetMemoryClock = "move param(0), reg(0x205)\nend\n";

const bool g_registered = [] {
    PhysicalMemory::RegisterSource([](Machine& machine, PhysicalMemory& memory) {
        GraphicsChip& chip = machine.Get<GraphicsChip>();
        if (!chip.Present())
            return;
        if (chip.RegisterBase() != 0)
            memory.AddRegion(chip.RegisterBase(), GraphicsChip::kWindowSize, "graphics-registers",
                             std::make_shared<RegisterWindow>(machine));
        if (chip.VideoBiosBase() != 0 && !chip.VideoBios().empty()) {
            auto rom = std::make_shared<BufferDevice>(chip.VideoBios().size(), 0xFF, true);
            rom->Load(0, chip.VideoBios().data(), chip.VideoBios().size());
            memory.AddRegion(chip.VideoBiosBase(), chip.VideoBios().size(), "video-bios", rom);
        }
    });
    return true;
}();

} // namespace

GraphicsChip::GraphicsChip(Machine& machine) : m_machine(machine)
{
    const QJsonObject g = machine.Section(QStringLiteral("graphics"));
    if (g.isEmpty() || !PciBus::ParseLocation(g.value(QStringLiteral("at")).toString(), &m_at))
        return;
    PciBus& bus = machine.Get<PciBus>();
    uint8_t cfg[0x40] = {};
    if (!bus.Exists(m_at) || !bus.ReadConfig(m_at, 0, cfg, sizeof cfg))
        return;
    m_present = true;
    auto u32 = [&](uint32_t at) { uint32_t v; std::memcpy(&v, cfg + at, 4); return v; };
    const uint32_t bar = u32(0x18);
    m_registerBase = (bar & ~0xFull) | ((bar & 4) ? uint64_t(u32(0x1C)) << 32 : 0);
    const uint16_t vendor = static_cast<uint16_t>(u32(0)), device = static_cast<uint16_t>(u32(0) >> 16);
    m_integrated = device >= 0x9610 && device <= 0x9617;
    m_gpu = static_cast<uint32_t>(ToU64(g.value(QStringLiteral("gpu"))));
    m_referenceClock = static_cast<uint32_t>(ToU64(g.value(QStringLiteral("referenceClock")), 2700));
    m_settleReads = static_cast<uint32_t>(ToU64(g.value(QStringLiteral("counterSettleReads"))));
    const QJsonObject regs = g.value(QStringLiteral("registers")).toObject();
    for (auto it = regs.begin(); it != regs.end(); ++it)
        m_regs[static_cast<uint32_t>(ToU64(QJsonValue(it.key()))) & ~3u] = static_cast<uint32_t>(ToU64(it.value()));

    m_videoBiosBase = ToU64(g.value(QStringLiteral("videoBios")));
    if (m_videoBiosBase == 0)
        return;
    kest::ImageBuilder image(vendor, device);
    std::vector<uint32_t> omit;
    for (const QJsonValue& v : g.value(QStringLiteral("omitTables")).toArray())
        omit.push_back(static_cast<uint32_t>(v.toInt()));
    const std::pair<uint32_t, const char*> tables[] = {
        {10, kSetEngineClock}, {11, kSetMemoryClock}, {47, kGetMemoryClock}, {48, kGetEngineClock}, {60, kSettle},
    };
    std::string error;
    for (const auto& [index, text] : tables)
        if (std::find(omit.begin(), omit.end(), index) == omit.end()
            && !image.AddCommandTable(index, text, 0, 1, &error))
            Report(rtError, "VirtualBoard: video BIOS table %u: %s", index, error.c_str());
    image.SetReferenceClock(static_cast<uint16_t>(m_referenceClock));
    m_image = image.Build();
}

double* GraphicsChip::Clock(uint32_t offset)
{
    DeviceBoard& board = m_machine.Get<DeviceBoard>();
    if (m_gpu >= board.gpus.size())
        return nullptr;
    GpuState& gpu = board.gpus[m_gpu];
    return offset == kEngineClock ? &gpu.engine.value : offset == kMemoryClock ? &gpu.memory.value : nullptr;
}

uint32_t GraphicsChip::ReadRegister(uint32_t offset)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    offset &= ~3u;
    if (offset == kEngineClock || offset == kMemoryClock) {
        DeviceBoard& board = m_machine.Get<DeviceBoard>();
        auto boardLock = board.Lock();
        const double* mhz = Clock(offset);
        return mhz ? static_cast<uint32_t>(std::lround(*mhz * 100)) : 0;
    }
    if (offset == kClockCounter)
        return CounterValue();
    auto it = m_regs.find(offset);
    return it == m_regs.end() ? 0 : it->second;
}

void GraphicsChip::WriteRegister(uint32_t offset, uint32_t value)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    offset &= ~3u;
    m_writes.emplace_back(offset, value);
    if (offset == kEngineClock || offset == kMemoryClock) {
        DeviceBoard& board = m_machine.Get<DeviceBoard>();
        auto boardLock = board.Lock();
        if (double* mhz = Clock(offset))
            *mhz = value / 100.0;
        return;
    }
    if (offset == kClockCounter)
        m_readsLeft = m_settleReads;
    m_regs[offset] = value;
}

// The counter counts the selected clock (0: engine, 1: memory) against the
// chip's reference: count = MHz x 127 / (reference / 100). Until it settles, each
// read gives a different count.
uint32_t GraphicsChip::CounterValue()
{
    const uint32_t stored = m_regs[kClockCounter];
    const uint32_t select = stored & 0xF;
    const uint32_t reference = (m_integrated ? 1250 : m_referenceClock) / 100;
    uint32_t count = 0;
    if (reference != 0 && select <= 1) {
        DeviceBoard& board = m_machine.Get<DeviceBoard>();
        auto boardLock = board.Lock();
        const double* mhz = Clock(select == 0 ? kEngineClock : kMemoryClock);
        count = mhz ? static_cast<uint32_t>(*mhz * 127 / reference) : 0;
    }
    if (m_readsLeft > 0)
        count += 3 * m_readsLeft--;
    return (stored & 0x1FFFF) | (count & 0x7FFF) << 17;
}

} // namespace vb
