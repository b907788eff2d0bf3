#pragma once
// The kernel driver as the simulated machine answers it: it decodes every request
// record byte for byte, checks every size, length and address, and serves it from
// the register models (processor MSRs, I/O ports, physical memory, PCI). Anything
// unknown or out of range is refused and reported.
//
// Codes are 0x81112EE0 + 4 * n (n = 0..14); the records are little-endian. Faults:
//   "driver-refuse-all"          every request fails
//   "driver-refuse-<n>"          request n fails (e.g. "driver-refuse-8")
//   "driver-reply-length-zero"   reads (n = 6, 8, 10) reply with length field 0
//   "driver-reply-short"         every successful reply reports a wrong byte count
//   "driver-refuse-ecam-read"    physical reads inside the PCI configuration window fail
//   "driver-list-stuck"          the PCI list cursor never advances
//   "driver-list-overcount"      the PCI list reply claims more entries than fit
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "VirtualBoard/Machine.h"

namespace vb {

class KernelDriver final : public Component {
public:
    static constexpr uint32_t kCodeBase = 0x81112EE0;
    static constexpr uint32_t Code(uint32_t n) { return kCodeBase + 4 * n; }
    // The largest physical read or write, PCI-list scan aside, one request may move.
    static constexpr uint32_t kMaxTransfer = 16u << 20;

    explicit KernelDriver(Machine& machine);
    ~KernelDriver() override;

    // One device I/O control. in and out may be the same buffer. False: refused
    // (returned is then 0).
    bool Control(uint32_t code, const void* in, uint32_t inLength, void* out, uint32_t outLength, uint32_t* returned);

    // Register windows handed out as shadow buffers: an access through the mapped
    // pointer reaches the device model. False when the pointer is in no such map.
    bool MmioRead(const volatile void* pointer, uint32_t width, uint32_t* value);
    bool MmioWrite(volatile void* pointer, uint32_t width, uint32_t value);

    // What was asked, for tests: the newest requests with (up to 4 KB of) their bytes.
    struct TraceEntry {
        uint32_t code = 0;
        std::vector<uint8_t> in;
        uint32_t outLength = 0;
        bool ok = false;
        uint32_t returned = 0;
        std::vector<uint8_t> out;                // the reply bytes (returned of them)
    };
    std::vector<TraceEntry> Trace() const;
    void ClearTrace();
    size_t LiveMappings() const { return m_maps.size(); }
    size_t LiveAllocations() const { return m_allocs.size(); }

private:
    struct Mapping {
        uint64_t physical = 0;
        uint32_t size = 0;
        uint64_t user = 0;
        std::unique_ptr<uint8_t[]> shadow;       // register windows
    };
    struct Allocation {
        uint64_t physical = 0;
        uint64_t user = 0;
        std::vector<uint8_t> request;            // the 48 bytes as returned
    };

    bool Dispatch(uint32_t n, std::vector<uint8_t>& buf, uint32_t outLength, uint32_t* returned);
    bool Msr(uint32_t n, std::vector<uint8_t>& buf, uint32_t* returned);
    bool Port(uint32_t n, std::vector<uint8_t>& buf, uint32_t* returned);
    bool Map(std::vector<uint8_t>& buf, uint32_t* returned);
    bool Unmap(std::vector<uint8_t>& buf, uint32_t* returned);
    bool PciConfig(uint32_t n, std::vector<uint8_t>& buf, uint32_t* returned);
    bool MemoryIo(uint32_t n, std::vector<uint8_t>& buf, uint32_t* returned);
    bool Allocate(std::vector<uint8_t>& buf, uint32_t* returned);
    bool Free(std::vector<uint8_t>& buf, uint32_t* returned);
    bool PciList(std::vector<uint8_t>& buf, uint32_t* returned);
    bool Refuse(const char* format, ...) __attribute__((format(printf, 2, 3)));
    Mapping* FindMapping(const volatile void* pointer, uint32_t width);

    Machine& m_machine;
    uint64_t m_nextHandle = 0x1000;
    std::map<uint64_t, Mapping> m_maps;          // by handle
    std::map<uint64_t, Allocation> m_allocs;     // by handle
    std::deque<TraceEntry> m_trace;
};

} // namespace vb
