#include "VirtualBoard/PhysicalMemory.h"

#include <QJsonArray>
#include <cstring>
#include <new>

namespace vb {

namespace {

std::vector<PhysicalMemory::RegionSource>& Sources()
{
    static std::vector<PhysicalMemory::RegionSource> sources;
    return sources;
}

// Blocks handed out by the allocate request never exceed this.
const uint64_t kPageSize = 0x1000;

} // namespace

bool ParseHexBytes(const QString& text, std::vector<uint8_t>* bytes)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isSpace())
            continue;
        if (!isxdigit(c.toLatin1()))
            return false;
        digits += c;
    }
    if (digits.size() % 2)
        return false;
    bytes->clear();
    for (qsizetype i = 0; i < digits.size(); i += 2)
        bytes->push_back(static_cast<uint8_t>(digits.mid(i, 2).toUInt(nullptr, 16)));
    return true;
}

BufferDevice::BufferDevice(size_t size, uint8_t fill, bool readOnly)
    : m_bytes(static_cast<uint8_t*>(fill == 0 ? std::calloc(size ? size : 1, 1) : std::malloc(size ? size : 1))),
      m_size(size), m_readOnly(readOnly)
{
    if (!m_bytes)
        throw std::bad_alloc();
    if (fill != 0)
        std::memset(m_bytes.get(), fill, size);
}

bool BufferDevice::Read(uint64_t offset, uint8_t* data, size_t length)
{
    if (offset > m_size || length > m_size - offset)
        return false;
    std::memcpy(data, m_bytes.get() + offset, length);
    return true;
}

bool BufferDevice::Write(uint64_t offset, const uint8_t* data, size_t length)
{
    if (m_readOnly)
        return true;                             // ROM ignores writes
    return Load(offset, data, length);
}

bool BufferDevice::Load(uint64_t offset, const uint8_t* data, size_t length)
{
    if (offset > m_size || length > m_size - offset)
        return false;
    std::memcpy(m_bytes.get() + offset, data, length);
    return true;
}

void PhysicalMemory::RegisterSource(RegionSource source) { Sources().push_back(std::move(source)); }

PhysicalMemory::PhysicalMemory(Machine& machine) : m_machine(machine)
{
    const QJsonObject memory = machine.Section(QStringLiteral("memory"));
    for (const QJsonValue& v : memory.value(QStringLiteral("regions")).toArray()) {
        const QJsonObject r = v.toObject();
        const uint64_t base = ToU64(r.value(QStringLiteral("base")));
        const uint64_t size = ToU64(r.value(QStringLiteral("size")));
        const bool rom = r.value(QStringLiteral("kind")).toString() == QLatin1String("rom");
        if (size == 0 || size > (256u << 20)) {
            Report(rtError, "VirtualBoard: memory region at 0x%llx has an unusable size", (unsigned long long)base);
            continue;
        }
        auto device = std::make_shared<BufferDevice>(size, static_cast<uint8_t>(ToU64(r.value(QStringLiteral("fill")))), rom);
        const QJsonObject data = r.value(QStringLiteral("data")).toObject();
        for (auto it = data.begin(); it != data.end(); ++it) {
            std::vector<uint8_t> bytes;
            if (!ParseHexBytes(it.value().toString(), &bytes)
                || !device->Load(ToU64(QJsonValue(it.key())), bytes.data(), bytes.size()))
                Report(rtError, "VirtualBoard: bad data at %s in memory region %s", qPrintable(it.key()),
                       qPrintable(r.value(QStringLiteral("name")).toString()));
        }
        AddRegion(base, size, r.value(QStringLiteral("name")).toString().toStdString(), device);
    }
    const QJsonObject pool = memory.value(QStringLiteral("pool")).toObject();
    const uint64_t poolSize = ToU64(pool.value(QStringLiteral("size")));
    if (poolSize > 0 && poolSize <= (64u << 20)) {
        auto device = std::make_shared<BufferDevice>(poolSize, 0, false);
        if (AddRegion(ToU64(pool.value(QStringLiteral("base"))), poolSize, "ram-pool", device)) {
            m_poolBase = ToU64(pool.value(QStringLiteral("base")));
            m_poolSize = poolSize;
            m_poolStorage = device->Storage();
        }
    }
    for (const RegionSource& source : Sources())
        source(machine, *this);
}

bool PhysicalMemory::AddRegion(uint64_t base, uint64_t size, const std::string& name, std::shared_ptr<MemoryDevice> device)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    const bool overlaps = [&] {
        if (size == 0 || base + size - 1 < base || !device)
            return true;
        auto next = m_regions.lower_bound(base);
        if (next != m_regions.end() && next->first <= base + size - 1)
            return true;
        if (next != m_regions.begin()) {
            const Region& prev = std::prev(next)->second;
            if (prev.base + prev.size - 1 >= base)
                return true;
        }
        return false;
    }();
    if (overlaps) {
        Report(rtError, "VirtualBoard: memory region %s at 0x%llx (0x%llx bytes) is empty or overlaps another",
               name.c_str(), (unsigned long long)base, (unsigned long long)size);
        return false;
    }
    m_regions[base] = Region{base, size, name, std::move(device)};
    return true;
}

const PhysicalMemory::Region* PhysicalMemory::Find(uint64_t address) const
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    auto it = m_regions.upper_bound(address);
    if (it == m_regions.begin())
        return nullptr;
    const Region& r = std::prev(it)->second;
    return address - r.base < r.size ? &r : nullptr;
}

std::vector<PhysicalMemory::Region> PhysicalMemory::Regions() const
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    std::vector<Region> out;
    for (const auto& [base, r] : m_regions)
        out.push_back(r);
    return out;
}

// Splits [address, address + length) at region edges; fn(region or null, offset
// into the region, position in the caller's buffer, count).
template <class Fn>
bool PhysicalMemory::Walk(uint64_t address, size_t length, Fn fn)
{
    if (length && address + (length - 1) < address)
        return false;                            // wraps the address space
    size_t done = 0;
    while (done < length) {
        const uint64_t at = address + done;
        const Region* r = Find(at);
        size_t count = length - done;
        if (r) {
            count = static_cast<size_t>(std::min<uint64_t>(count, r->size - (at - r->base)));
        } else {
            auto next = m_regions.upper_bound(at);
            if (next != m_regions.end())
                count = static_cast<size_t>(std::min<uint64_t>(count, next->first - at));
        }
        if (!fn(r, r ? at - r->base : 0, done, count))
            return false;
        done += count;
    }
    return true;
}

bool PhysicalMemory::Read(uint64_t address, uint8_t* data, size_t length)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    const bool unbackedFails = m_machine.GetFaults().IsSet("memory-unbacked-fails");
    return Walk(address, length, [&](const Region* r, uint64_t offset, size_t pos, size_t count) {
        if (r)
            return r->device->Read(offset, data + pos, count);
        std::memset(data + pos, 0xFF, count);
        return !unbackedFails;
    });
}

uint64_t PhysicalMemory::FirstAnswering(uint64_t address) const
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    for (;;) {
        if (const Region* r = Find(address)) {
            const uint64_t offset = r->device->FirstAnswering(address - r->base);
            if (offset < r->size)
                return r->base + offset;
            address = r->base + r->size;
            if (address == 0)                    // the region ends the address space
                return ~uint64_t(0);
            continue;
        }
        const auto next = m_regions.upper_bound(address);
        if (next == m_regions.end())
            return ~uint64_t(0);
        address = next->first;
    }
}

bool PhysicalMemory::Write(uint64_t address, const uint8_t* data, size_t length)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    return Walk(address, length, [&](const Region* r, uint64_t offset, size_t pos, size_t count) {
        return r ? r->device->Write(offset, data + pos, count) : true;
    });
}

bool PhysicalMemory::Allocate(uint64_t size, uint64_t highest, uint64_t alignment, uint64_t* physical, uint8_t** storage)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    if (alignment == 0)
        alignment = kPageSize;
    if (!m_poolStorage || size == 0 || size > m_poolSize || (alignment & (alignment - 1)) != 0)
        return false;
    // First fit between the blocks already handed out.
    uint64_t candidate = (m_poolBase + alignment - 1) & ~(alignment - 1);
    for (const auto& [base, used] : m_allocations) {
        if (candidate + size <= base)
            break;
        candidate = std::max(candidate, (base + used + alignment - 1) & ~(alignment - 1));
    }
    if (candidate < m_poolBase || candidate + size > m_poolBase + m_poolSize)
        return false;
    if (highest != 0 && candidate + size - 1 > highest)
        return false;
    m_allocations[candidate] = size;
    *physical = candidate;
    *storage = m_poolStorage + (candidate - m_poolBase);
    std::memset(*storage, 0, size);
    return true;
}

bool PhysicalMemory::Free(uint64_t physical)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    return m_allocations.erase(physical) == 1;
}

} // namespace vb
