#include "VirtualBoard/KernelDriver.h"
#include "VirtualBoard/IoPorts.h"
#include "VirtualBoard/PciBus.h"
#include "VirtualBoard/PhysicalMemory.h"
#include "VirtualBoard/Processor.h"

#include <cstdarg>
#include <cstring>

namespace vb {

namespace {

// Request numbers (code = base + 4 n).
enum : uint32_t {
    kReadMsr, kWriteMsr, kPortIn, kPortOut, kMap, kUnmap, kPciRead2, kPciWrite2, kPciRead, kPciWrite,
    kMemRead, kMemWrite, kAllocate, kFree, kPciList, kRequestCount
};

// Record sizes.
const uint32_t kMsrRecord = 12, kPortRecord = 8, kMapRecord = 32, kPciHeader = 20, kMemHeader = 12,
               kAllocRecord = 48, kListEntries = 64, kListEntry = 52, kListHeader = 28,
               kListRecord = kListHeader + kListEntries * kListEntry;   // 3356
const size_t kTraceLimit = 20000;
const size_t kTraceBytes = 4096;                 // of each record kept in the trace

uint16_t Get16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }
uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint64_t Get64(const std::vector<uint8_t>& b, size_t at) { return Get32(b, at) | uint64_t(Get32(b, at + 4)) << 32; }
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}
void Put64(std::vector<uint8_t>& b, size_t at, uint64_t v)
{
    Put32(b, at, uint32_t(v));
    Put32(b, at + 4, uint32_t(v >> 32));
}
bool AllZero(const std::vector<uint8_t>& b, size_t from, size_t to)
{
    // Each byte equals its successor and the first is 0: one pass of memcmp, which
    // matters for the megabyte-sized data areas of memory reads.
    return from >= to || (b[from] == 0 && std::memcmp(b.data() + from, b.data() + from + 1, to - from - 1) == 0);
}

// The smallest output buffer each request needs before it does anything.
uint32_t ReplySize(uint32_t n, uint32_t inLength)
{
    switch (n) {
    case kReadMsr: return kMsrRecord;
    case kPortIn: return kPortRecord;
    case kMap: return kMapRecord;
    case kAllocate: return kAllocRecord;
    case kPciList: return kListRecord;
    case kPciRead:
    case kPciRead2:
    case kMemRead: return inLength;
    default: return 0;
    }
}

} // namespace

KernelDriver::KernelDriver(Machine& machine) : m_machine(machine) {}

KernelDriver::~KernelDriver() = default;

bool KernelDriver::Refuse(const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    Report(rtError, "QVXDriver: %s", line);
    return false;
}

bool KernelDriver::Control(uint32_t code, const void* in, uint32_t inLength, void* out, uint32_t outLength,
                           uint32_t* returned)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    if (!returned)
        return Refuse("request 0x%08X without a byte count", code);
    *returned = 0;
    if ((!in && inLength) || (!out && outLength))
        return Refuse("request 0x%08X with a missing buffer", code);
    if (inLength > kMaxTransfer + kPciHeader)
        return Refuse("request 0x%08X of %u bytes is too long", code, inLength);

    TraceEntry entry;
    entry.code = code;
    const auto* inBytes = static_cast<const uint8_t*>(in);
    // The trace keeps only the head of each record (a resize would keep the capacity).
    entry.in.assign(inBytes, inBytes + std::min<size_t>(inLength, kTraceBytes));
    entry.outLength = outLength;
    std::vector<uint8_t> buf(inBytes, inBytes + inLength);

    const uint32_t n = (code - kCodeBase) / 4;
    uint32_t reply = 0;
    bool ok = false;
    char refusedBy[40] = "";
    if (code < kCodeBase || (code - kCodeBase) % 4 != 0 || n >= kRequestCount) {
        Refuse("unknown request code 0x%08X", code);
    } else {
        snprintf(refusedBy, sizeof refusedBy, "driver-refuse-%u", n);
        Faults& faults = m_machine.GetFaults();
        if (faults.IsSet("driver-refuse-all") || faults.IsSet(refusedBy)) {
            m_machine.GetJournal().Record(std::string("driver: request refused by fault ") + refusedBy);
        } else if (outLength < ReplySize(n, inLength)) {
            Refuse("request %u: output buffer of %u bytes is too small", n, outLength);
        } else {
            ok = Dispatch(n, buf, outLength, &reply);
        }
    }
    if (ok) {
        if (reply > outLength || reply > buf.size())
            ok = Refuse("request %u: reply of %u bytes does not fit", n, reply);
    }
    if (ok) {
        if (reply)
            std::memmove(out, buf.data(), reply);
        *returned = reply;
        if (m_machine.GetFaults().IsSet("driver-reply-short"))
            *returned = reply ? reply - 1 : 1;
        entry.out.assign(buf.begin(), buf.begin() + std::min<size_t>(reply, kTraceBytes));
    }
    entry.ok = ok;
    entry.returned = *returned;
    // The program polls the hardware for as long as it runs: the journal only
    // keeps refusals, and the trace keeps the newest requests, cut to a size.
    if (!ok) {
        char line[96];
        snprintf(line, sizeof line, "driver: 0x%08X in %u out %u refused", code, inLength, outLength);
        m_machine.GetJournal().Record(line);
    }
    m_trace.push_back(std::move(entry));
    if (m_trace.size() > kTraceLimit)
        m_trace.pop_front();
    return ok;
}

bool KernelDriver::Dispatch(uint32_t n, std::vector<uint8_t>& buf, uint32_t outLength, uint32_t* returned)
{
    switch (n) {
    case kReadMsr:
    case kWriteMsr: return Msr(n, buf, returned);
    case kPortIn:
    case kPortOut: return Port(n, buf, returned);
    case kMap: return Map(buf, returned);
    case kUnmap: return Unmap(buf, returned);
    case kPciRead:
    case kPciRead2:
    case kPciWrite:
    case kPciWrite2: return PciConfig(n, buf, returned);
    case kMemRead:
    case kMemWrite: return MemoryIo(n, buf, returned);
    case kAllocate: return Allocate(buf, returned);
    case kFree: return Free(buf, returned);
    case kPciList: return PciList(buf, returned);
    default: return Refuse("unknown request %u", n);
    }
}

bool KernelDriver::Msr(uint32_t n, std::vector<uint8_t>& buf, uint32_t* returned)
{
    if (buf.size() != kMsrRecord)
        return Refuse("MSR request of %zu bytes", buf.size());
    const uint32_t msr = Get32(buf, 0);
    Processor& cpu = m_machine.Get<Processor>();
    if (n == kReadMsr) {
        if (!AllZero(buf, 4, 12))
            return Refuse("MSR read 0x%08X with data in the record", msr);
        uint64_t value = 0;
        if (!cpu.ReadMsr(msr, &value))
            return Refuse("MSR 0x%08X does not exist (#GP)", msr);
        Put32(buf, 4, uint32_t(value));
        Put32(buf, 8, uint32_t(value >> 32));
        *returned = kMsrRecord;
        return true;
    }
    if (!cpu.WriteMsr(msr, Get32(buf, 4) | uint64_t(Get32(buf, 8)) << 32))
        return Refuse("MSR 0x%08X does not exist (#GP)", msr);
    *returned = 0;
    return true;
}

bool KernelDriver::Port(uint32_t n, std::vector<uint8_t>& buf, uint32_t* returned)
{
    if (buf.size() != kPortRecord)
        return Refuse("port request of %zu bytes", buf.size());
    const uint16_t port = Get16(buf, 0);
    const uint32_t width = Get16(buf, 2);
    const uint32_t data = Get32(buf, 4);
    if ((width != 1 && width != 2 && width != 4) || uint32_t(port) + width > 0x10000)
        return Refuse("port request 0x%04X with width %u", port, width);
    IoPorts& ports = m_machine.Get<IoPorts>();
    if (n == kPortIn) {
        uint32_t value = 0;
        if (data != 0)
            return Refuse("port input 0x%04X with data in the record", port);
        if (!ports.In(port, width, &value))
            return Refuse("port input 0x%04X failed", port);
        Put32(buf, 4, value);
        *returned = kPortRecord;
        return true;
    }
    if (width < 4 && (data >> (8 * width)) != 0)
        return Refuse("port output 0x%04X: value 0x%X wider than %u bytes", port, data, width);
    if (!ports.Out(port, width, data))
        return Refuse("port output 0x%04X failed", port);
    *returned = 0;
    return true;
}

bool KernelDriver::Map(std::vector<uint8_t>& buf, uint32_t* returned)
{
    if (buf.size() != kMapRecord)
        return Refuse("map request of %zu bytes", buf.size());
    const uint64_t physical = Get64(buf, 0);
    const uint32_t size = Get32(buf, 12);
    if (Get32(buf, 8) != 0 || !AllZero(buf, 16, 32))
        return Refuse("map request with reserved or output fields set");
    if (size == 0 || size > kMaxTransfer || physical + size - 1 < physical)
        return Refuse("map of 0x%X bytes at 0x%llX", size, (unsigned long long)physical);
    PhysicalMemory& memory = m_machine.Get<PhysicalMemory>();
    Mapping m;
    m.physical = physical;
    m.size = size;
    const PhysicalMemory::Region* r = memory.Find(physical);
    uint8_t* storage = r ? r->device->Storage() : nullptr;
    if (storage && physical + size - 1 <= r->base + r->size - 1) {
        m.user = reinterpret_cast<uintptr_t>(storage + (physical - r->base));
    } else {
        // Registers (or a range across regions): a shadow buffer, reached through
        // the MMIO accessor for accesses with effects.
        m.shadow.reset(new uint8_t[size]);
        if (!memory.Read(physical, m.shadow.get(), size))
            return Refuse("map of unreadable memory at 0x%llX", (unsigned long long)physical);
        m.user = reinterpret_cast<uintptr_t>(m.shadow.get());
    }
    const uint64_t handle = m_nextHandle++;
    Put64(buf, 16, m.user);
    Put64(buf, 24, handle);
    m_maps.emplace(handle, std::move(m));
    *returned = kMapRecord;
    return true;
}

bool KernelDriver::Unmap(std::vector<uint8_t>& buf, uint32_t* returned)
{
    if (buf.size() != kMapRecord)
        return Refuse("unmap request of %zu bytes", buf.size());
    auto it = m_maps.find(Get64(buf, 24));
    if (it == m_maps.end() || it->second.physical != Get64(buf, 0) || it->second.size != Get32(buf, 12)
        || it->second.user != Get64(buf, 16) || Get32(buf, 8) != 0)
        return Refuse("unmap of a mapping that does not exist");
    m_maps.erase(it);
    *returned = 0;
    return true;
}

bool KernelDriver::PciConfig(uint32_t n, std::vector<uint8_t>& buf, uint32_t* returned)
{
    if (buf.size() < kPciHeader)
        return Refuse("PCI request of %zu bytes", buf.size());
    const PciLocation at{Get32(buf, 0), Get32(buf, 4), Get32(buf, 8)};
    const uint32_t offset = Get32(buf, 12);
    const uint32_t length = Get32(buf, 16);
    if (length == 0 || uint64_t(kPciHeader) + length != buf.size())
        return Refuse("PCI request of %zu bytes with length field %u", buf.size(), length);
    if (at.bus > 255 || at.device > 31 || at.function > 7 || offset >= PciBus::kConfigSize
        || length > PciBus::kConfigSize - offset)
        return Refuse("PCI request %X:%X.%X offset 0x%X length %u out of range", at.bus, at.device, at.function,
                      offset, length);
    PciBus& bus = m_machine.Get<PciBus>();
    if (n == kPciRead || n == kPciRead2) {
        if (!AllZero(buf, kPciHeader, buf.size()))
            return Refuse("PCI read with data in the record");
        if (!bus.ReadConfig(at, offset, buf.data() + kPciHeader, length))
            return Refuse("PCI read failed");
        if (m_machine.GetFaults().IsSet("driver-reply-length-zero"))
            Put32(buf, 16, 0);
        *returned = static_cast<uint32_t>(buf.size());
        return true;
    }
    if (!bus.WriteConfig(at, offset, buf.data() + kPciHeader, length))
        return Refuse("PCI write failed");
    *returned = 0;
    return true;
}

bool KernelDriver::MemoryIo(uint32_t n, std::vector<uint8_t>& buf, uint32_t* returned)
{
    if (buf.size() < kMemHeader)
        return Refuse("memory request of %zu bytes", buf.size());
    const uint64_t physical = Get64(buf, 0);
    const uint32_t length = Get32(buf, 8);
    if (length == 0 || length > kMaxTransfer || uint64_t(kMemHeader) + length != buf.size()
        || physical + length - 1 < physical)
        return Refuse("memory request at 0x%llX: length %u in %zu bytes", (unsigned long long)physical, length,
                      buf.size());
    PhysicalMemory& memory = m_machine.Get<PhysicalMemory>();
    if (n == kMemRead) {
        if (!AllZero(buf, kMemHeader, buf.size()))
            return Refuse("memory read with data in the record");
        PciBus& pci = m_machine.Get<PciBus>();
        const uint64_t ecamEnd = pci.EcamBase() + (uint64_t(pci.EcamBuses()) << 20);
        if (m_machine.GetFaults().IsSet("driver-refuse-ecam-read") && pci.EcamBase() != 0
            && physical < ecamEnd && physical + length > pci.EcamBase()) {
            m_machine.GetJournal().Record("driver: ECAM read refused by fault");
            return false;
        }
        if (!memory.Read(physical, buf.data() + kMemHeader, length))
            return Refuse("read of 0x%X bytes at 0x%llX failed", length, (unsigned long long)physical);
        if (m_machine.GetFaults().IsSet("driver-reply-length-zero"))
            Put32(buf, 8, 0);
        *returned = static_cast<uint32_t>(buf.size());
        return true;
    }
    if (!memory.Write(physical, buf.data() + kMemHeader, length))
        return Refuse("write of 0x%X bytes at 0x%llX failed", length, (unsigned long long)physical);
    *returned = 0;
    return true;
}

bool KernelDriver::Allocate(std::vector<uint8_t>& buf, uint32_t* returned)
{
    if (buf.size() != kAllocRecord)
        return Refuse("allocate request of %zu bytes", buf.size());
    // First value: size in bytes; second: highest acceptable physical address
    // (0: any); third: alignment (0: a page).
    const uint64_t size = Get64(buf, 0), highest = Get64(buf, 8);
    const uint32_t alignment = Get32(buf, 20);
    if (Get32(buf, 16) != 0 || !AllZero(buf, 24, 48))
        return Refuse("allocate request with reserved or output fields set");
    if (size == 0 || size > kMaxTransfer)
        return Refuse("allocation of 0x%llX bytes", (unsigned long long)size);
    uint64_t physical = 0;
    uint8_t* storage = nullptr;
    if (!m_machine.Get<PhysicalMemory>().Allocate(size, highest, alignment, &physical, &storage))
        return Refuse("no room for 0x%llX bytes in the memory pool", (unsigned long long)size);
    const uint64_t handle = m_nextHandle++;
    Put64(buf, 32, reinterpret_cast<uintptr_t>(storage));
    Put64(buf, 40, handle);
    m_allocs[handle] = Allocation{physical, reinterpret_cast<uintptr_t>(storage), buf};
    *returned = kAllocRecord;
    return true;
}

bool KernelDriver::Free(std::vector<uint8_t>& buf, uint32_t* returned)
{
    if (buf.size() != kAllocRecord)
        return Refuse("free request of %zu bytes", buf.size());
    auto it = m_allocs.find(Get64(buf, 40));
    if (it == m_allocs.end() || it->second.request != buf)
        return Refuse("free of an allocation that does not exist");
    m_machine.Get<PhysicalMemory>().Free(it->second.physical);
    m_allocs.erase(it);
    *returned = 0;
    return true;
}

bool KernelDriver::PciList(std::vector<uint8_t>& buf, uint32_t* returned)
{
    if (buf.size() != kListRecord)
        return Refuse("PCI list request of %zu bytes", buf.size());
    const uint64_t base = Get64(buf, 0);
    const uint32_t bus = Get32(buf, 8), device = Get32(buf, 12), function = Get32(buf, 16);
    if (Get32(buf, 20) != kListEntries || Get32(buf, 24) != kListEntries)
        return Refuse("PCI list request with capacity %u and count %u", Get32(buf, 20), Get32(buf, 24));
    if (base == 0 || (base & 0xFFFFF) != 0 || bus > 64 || device > 31 || function > 7)
        return Refuse("PCI list request at base 0x%llX from %X:%X.%X", (unsigned long long)base, bus, device, function);
    PhysicalMemory& memory = m_machine.Get<PhysicalMemory>();
    uint32_t pos = bus * 256 + device * 8 + function;
    uint32_t count = 0;
    std::fill(buf.begin() + kListHeader, buf.end(), 0);
    for (; pos < 64 * 256 && count < kListEntries; ++pos) {
        // Functions that can only read all ones (absent, or no memory there) are
        // passed over without a read each: the same list, a far shorter scan.
        const uint64_t answering = memory.FirstAnswering(base + (uint64_t(pos) << 12));
        if (answering == ~uint64_t(0) || ((answering - base) >> 12) >= 64 * 256) {
            pos = 64 * 256;
            break;
        }
        pos = std::max<uint32_t>(pos, static_cast<uint32_t>((answering - base) >> 12));
        const uint32_t b = pos / 256, d = (pos / 8) % 32, f = pos % 8;
        uint8_t header[40];
        if (!memory.Read(base + (uint64_t(b) << 20 | d << 15 | f << 12), header, sizeof header))
            continue;
        if (header[0] == 0xFF && header[1] == 0xFF)
            continue;
        const size_t at = kListHeader + size_t(count) * kListEntry;
        Put32(buf, at, b);
        Put32(buf, at + 4, d);
        Put32(buf, at + 8, f);
        std::memcpy(buf.data() + at + 12, header, sizeof header);
        ++count;
    }
    if (!m_machine.GetFaults().IsSet("driver-list-stuck")) {
        Put32(buf, 8, pos / 256);
        Put32(buf, 12, pos >= 64 * 256 ? 0 : (pos / 8) % 32);
        Put32(buf, 16, pos >= 64 * 256 ? 0 : pos % 8);
    }
    Put32(buf, 24, m_machine.GetFaults().IsSet("driver-list-overcount") ? 1000 : count);
    *returned = kListRecord;
    return true;
}

KernelDriver::Mapping* KernelDriver::FindMapping(const volatile void* pointer, uint32_t width)
{
    const uintptr_t p = reinterpret_cast<uintptr_t>(pointer);
    for (auto& [handle, m] : m_maps)
        if (m.shadow && p >= m.user && p - m.user < m.size && width <= m.size - (p - m.user))
            return &m;
    return nullptr;
}

bool KernelDriver::MmioRead(const volatile void* pointer, uint32_t width, uint32_t* value)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    Mapping* m = FindMapping(pointer, width);
    if (!m || width > 4)
        return false;
    const uint64_t offset = reinterpret_cast<uintptr_t>(pointer) - m->user;
    uint8_t bytes[4] = {};
    m_machine.Get<PhysicalMemory>().Read(m->physical + offset, bytes, width);
    std::memcpy(m->shadow.get() + offset, bytes, width);
    *value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24;
    return true;
}

bool KernelDriver::MmioWrite(volatile void* pointer, uint32_t width, uint32_t value)
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    Mapping* m = FindMapping(pointer, width);
    if (!m || width > 4)
        return false;
    const uint64_t offset = reinterpret_cast<uintptr_t>(pointer) - m->user;
    const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    std::memcpy(m->shadow.get() + offset, bytes, width);
    m_machine.Get<PhysicalMemory>().Write(m->physical + offset, bytes, width);
    return true;
}

std::vector<KernelDriver::TraceEntry> KernelDriver::Trace() const
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    return {m_trace.begin(), m_trace.end()};
}

void KernelDriver::ClearTrace()
{
    std::lock_guard<std::recursive_mutex> lock(m_machine.Mutex());
    m_trace.clear();
}

} // namespace vb
