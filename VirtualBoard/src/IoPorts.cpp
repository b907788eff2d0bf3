#include "VirtualBoard/IoPorts.h"

namespace vb {

namespace {
std::vector<IoPorts::PortSource>& Sources()
{
    static std::vector<IoPorts::PortSource> sources;
    return sources;
}

bool ValidAccess(uint16_t port, uint32_t width)
{
    return (width == 1 || width == 2 || width == 4) && uint32_t(port) + width <= 0x10000;
}
} // namespace

void IoPorts::RegisterSource(PortSource source) { Sources().push_back(std::move(source)); }

IoPorts::IoPorts(Machine& machine) : m_machine(machine)
{
    for (const PortSource& source : Sources())
        source(machine, *this);
}

bool IoPorts::Attach(uint16_t base, uint32_t count, const std::string& name, std::shared_ptr<PortDevice> device)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    bool bad = count == 0 || uint32_t(base) + count > 0x10000 || !device;
    for (uint32_t p = base; !bad && p < uint32_t(base) + count; ++p)
        bad = Find(static_cast<uint16_t>(p)) != nullptr;
    if (bad) {
        Report(rtError, "VirtualBoard: port range %s at 0x%04x (%u ports) is unusable or overlaps another",
               name.c_str(), base, count);
        return false;
    }
    m_ranges[base] = Range{base, count, name, std::move(device)};
    return true;
}

const IoPorts::Range* IoPorts::Find(uint16_t port) const
{
    auto it = m_ranges.upper_bound(port);
    if (it == m_ranges.begin())
        return nullptr;
    const Range& r = std::prev(it)->second;
    return uint32_t(port) - r.base < r.count ? &r : nullptr;
}

bool IoPorts::In(uint16_t port, uint32_t width, uint32_t* value)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    if (!ValidAccess(port, width))
        return false;
    uint32_t v = 0;
    for (uint32_t i = 0; i < width; ++i) {
        const uint16_t p = static_cast<uint16_t>(port + i);
        const Range* r = Find(p);
        uint8_t b = 0xFF;
        if (r)
            b = r->device->In(static_cast<uint16_t>(p - r->base));
        else
            m_machine.GetJournal().Record("port: read of unmodelled port 0x" + QString::number(p, 16).toStdString());
        v |= uint32_t(b) << (8 * i);
    }
    *value = v;
    return true;
}

bool IoPorts::Out(uint16_t port, uint32_t width, uint32_t value)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    if (!ValidAccess(port, width))
        return false;
    for (uint32_t i = 0; i < width; ++i) {
        const uint16_t p = static_cast<uint16_t>(port + i);
        const Range* r = Find(p);
        if (r)
            r->device->Out(static_cast<uint16_t>(p - r->base), static_cast<uint8_t>(value >> (8 * i)));
        else
            m_machine.GetJournal().Record("port: write to unmodelled port 0x" + QString::number(p, 16).toStdString());
    }
    return true;
}

} // namespace vb
