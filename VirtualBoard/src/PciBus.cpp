#include "VirtualBoard/PciBus.h"
#include "VirtualBoard/PhysicalMemory.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <cstring>

namespace vb {

namespace {

void Put(std::vector<uint8_t>& cfg, uint32_t offset, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        cfg[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The enhanced configuration window: bus << 20 | device << 15 | function << 12 | offset.
class EcamWindow final : public MemoryDevice {
public:
    explicit EcamWindow(Machine& machine) : m_machine(machine) {}
    bool Read(uint64_t offset, uint8_t* data, size_t length) override
    {
        return Access(offset, data, length, false);
    }
    bool Write(uint64_t offset, const uint8_t* data, size_t length) override
    {
        return Access(offset, const_cast<uint8_t*>(data), length, true);
    }
    // Absent functions read all ones: the next one that answers starts the next read.
    uint64_t FirstAnswering(uint64_t offset) override
    {
        PciBus& bus = m_machine.Get<PciBus>();
        const uint64_t end = uint64_t(bus.EcamBuses()) << 20;
        if (m_machine.GetFaults().IsSet("pci-ecam-off"))
            return std::max(offset, end);
        const PciLocation from{static_cast<uint32_t>(offset >> 20), static_cast<uint32_t>((offset >> 15) & 31),
                               static_cast<uint32_t>((offset >> 12) & 7)};
        PciLocation next;
        if (!bus.NextAnswering(from, &next))
            return std::max(offset, end);
        return std::max(offset, uint64_t(next.bus) << 20 | uint64_t(next.device) << 15 | uint64_t(next.function) << 12);
    }
private:
    bool Access(uint64_t offset, uint8_t* data, size_t length, bool write)
    {
        size_t done = 0;
        while (done < length) {
            const uint64_t at = offset + done;
            const PciLocation loc{static_cast<uint32_t>(at >> 20), static_cast<uint32_t>((at >> 15) & 31),
                                  static_cast<uint32_t>((at >> 12) & 7)};
            const uint32_t reg = static_cast<uint32_t>(at & 0xFFF);
            const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(length - done, PciBus::kConfigSize - reg));
            if (m_machine.GetFaults().IsSet("pci-ecam-off")) {
                if (!write)
                    std::memset(data + done, 0xFF, count);
            } else {
                PciBus& bus = m_machine.Get<PciBus>();
                const bool ok = write ? bus.WriteConfig(loc, reg, data + done, count)
                                      : bus.ReadConfig(loc, reg, data + done, count);
                if (!ok)
                    return false;
            }
            done += count;
        }
        return true;
    }
    Machine& m_machine;
};

std::vector<PciBus::HookSource>& HookSources()
{
    static std::vector<PciBus::HookSource> sources;
    return sources;
}

const bool g_registered = [] {
    PhysicalMemory::RegisterSource([](Machine& machine, PhysicalMemory& memory) {
        PciBus& bus = machine.Get<PciBus>();
        if (bus.EcamBase() != 0)
            memory.AddRegion(bus.EcamBase(), uint64_t(bus.EcamBuses()) << 20, "pci-ecam",
                             std::make_shared<EcamWindow>(machine));
    });
    return true;
}();

} // namespace

void PciBus::RegisterHookSource(HookSource source) { HookSources().push_back(std::move(source)); }

bool PciBus::ParseLocation(const QString& text, PciLocation* at)
{
    static const QRegularExpression re(QStringLiteral("^([0-9A-Fa-f]{1,2}):([0-9A-Fa-f]{1,2})\\.([0-7])$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    at->bus = m.captured(1).toUInt(nullptr, 16);
    at->device = m.captured(2).toUInt(nullptr, 16);
    at->function = m.captured(3).toUInt();
    return at->device < 32;
}

PciBus::PciBus(Machine& machine) : m_machine(machine)
{
    const QJsonObject pci = machine.Section(QStringLiteral("pci"));
    const QJsonObject ecam = pci.value(QStringLiteral("ecam")).toObject();
    m_ecamBase = ToU64(ecam.value(QStringLiteral("base")));
    m_ecamBuses = static_cast<uint32_t>(ToU64(ecam.value(QStringLiteral("buses")), 256));
    if (m_ecamBuses == 0 || m_ecamBuses > 256 || (m_ecamBase & 0xFFFFF) != 0) {
        Report(rtError, "VirtualBoard: unusable ECAM window at 0x%llx", (unsigned long long)m_ecamBase);
        m_ecamBase = 0;
        m_ecamBuses = 0;
    }
    for (const QJsonValue& v : pci.value(QStringLiteral("functions")).toArray()) {
        const QJsonObject f = v.toObject();
        PciLocation at;
        if (!ParseLocation(f.value(QStringLiteral("at")).toString(), &at)) {
            Report(rtError, "VirtualBoard: bad PCI location \"%s\"", qPrintable(f.value(QStringLiteral("at")).toString()));
            continue;
        }
        std::vector<uint8_t> cfg(kConfigSize, 0);
        Put(cfg, 0x00, ToU64(f.value(QStringLiteral("vendor")), 0xFFFF), 2);
        Put(cfg, 0x02, ToU64(f.value(QStringLiteral("device")), 0xFFFF), 2);
        Put(cfg, 0x04, ToU64(f.value(QStringLiteral("command")), 0x0007), 2);
        Put(cfg, 0x06, ToU64(f.value(QStringLiteral("status")), 0x0210), 2);
        Put(cfg, 0x08, ToU64(f.value(QStringLiteral("revision"))), 1);
        Put(cfg, 0x09, ToU64(f.value(QStringLiteral("class"))), 3);   // prog-if, subclass, class
        Put(cfg, 0x0E, ToU64(f.value(QStringLiteral("headerType"))), 1);
        const QJsonArray bars = f.value(QStringLiteral("bars")).toArray();
        for (int i = 0; i < bars.size() && i < 6; ++i)
            Put(cfg, 0x10 + 4 * i, ToU64(bars.at(i)), 4);
        Put(cfg, 0x2C, ToU64(f.value(QStringLiteral("subsystem"))), 4);
        const QJsonObject regs = f.value(QStringLiteral("config")).toObject();
        for (auto it = regs.begin(); it != regs.end(); ++it) {
            const uint64_t off = ToU64(QJsonValue(it.key()), kConfigSize);
            if (off + 4 <= kConfigSize && off >= 0x40)
                Put(cfg, static_cast<uint32_t>(off), ToU64(it.value()), 4);
            else
                Report(rtError, "VirtualBoard: PCI register %s outside the device area", qPrintable(it.key()));
        }
        m_functions[at] = std::move(cfg);
    }
    // A device with more than function 0 says so in its header type.
    for (auto& [at, cfg] : m_functions)
        if (at.function == 0)
            for (uint32_t fn = 1; fn < 8; ++fn)
                if (m_functions.count(PciLocation{at.bus, at.device, fn}))
                    cfg[0x0E] |= 0x80;
    for (const HookSource& source : HookSources())
        source(machine, *this);
}

bool PciBus::Answers(const PciLocation& at) const
{
    if (!m_functions.count(at))
        return false;
    char name[32];
    snprintf(name, sizeof name, "pci-absent-%02x:%02x.%x", at.bus, at.device, at.function);
    return !m_machine.GetFaults().IsSet(name);
}

bool PciBus::Exists(const PciLocation& at) const
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    return Answers(at);
}

bool PciBus::NextAnswering(const PciLocation& at, PciLocation* next) const
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    for (auto it = m_functions.lower_bound(at); it != m_functions.end(); ++it)
        if (Answers(it->first)) {
            *next = it->first;
            return true;
        }
    return false;
}

std::vector<PciLocation> PciBus::Functions() const
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    std::vector<PciLocation> out;
    for (const auto& [at, cfg] : m_functions)
        if (Answers(at))
            out.push_back(at);
    return out;
}

void PciBus::SetConfigHook(const PciLocation& at, ConfigHook hook)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    m_hooks[at] = std::move(hook);
}

static bool InConfigSpace(const PciLocation& at, uint32_t offset, uint32_t length)
{
    return at.bus < 256 && at.device < 32 && at.function < 8 && offset <= PciBus::kConfigSize
        && length <= PciBus::kConfigSize - offset;
}

bool PciBus::ReadConfig(const PciLocation& at, uint32_t offset, uint8_t* data, uint32_t length)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    if (!InConfigSpace(at, offset, length))
        return false;
    if (!Answers(at)) {
        std::memset(data, 0xFF, length);
        return true;
    }
    auto hook = m_hooks.find(at);
    if (hook != m_hooks.end() && hook->second(offset, data, length, false))
        return true;
    std::memcpy(data, m_functions[at].data() + offset, length);
    return true;
}

bool PciBus::WriteConfig(const PciLocation& at, uint32_t offset, const uint8_t* data, uint32_t length)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    if (!InConfigSpace(at, offset, length))
        return false;
    if (!Answers(at))
        return true;
    auto hook = m_hooks.find(at);
    if (hook != m_hooks.end() && hook->second(offset, const_cast<uint8_t*>(data), length, true))
        return true;
    std::vector<uint8_t>& cfg = m_functions[at];
    for (uint32_t i = 0; i < length; ++i) {
        const uint32_t reg = offset + i;
        // Identity bytes (ids, revision, class, header type) are read-only.
        if (reg < 4 || (reg >= 8 && reg < 12) || reg == 0x0E)
            continue;
        cfg[reg] = data[i];
    }
    return true;
}

} // namespace vb
