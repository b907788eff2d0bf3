#pragma once
// The physical address space of the simulated machine: a sparse list of regions
// (firmware ROM, RAM, register windows of devices). Bytes no region backs read as
// all ones and swallow writes, as on a real bus.
//
// Models add their own regions through a source registered at load time (see
// RegisterSource), so the PCI bus adds its configuration window, a graphics model
// its register window, a firmware model its tables, without this class knowing them.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "VirtualBoard/Machine.h"

namespace vb {

// One device on the memory bus, addressed by the offset into its region.
class MemoryDevice {
public:
    virtual ~MemoryDevice() = default;
    virtual bool Read(uint64_t offset, uint8_t* data, size_t length) = 0;
    virtual bool Write(uint64_t offset, const uint8_t* data, size_t length) = 0;
    // Plain storage a mapping may hand out as it is (RAM, ROM); null for registers,
    // whose reads and writes have effects.
    virtual uint8_t* Storage() { return nullptr; }
    // An offset at or after offset before which every byte reads as all ones (a
    // window that knows its silent stretches, such as PCI configuration space,
    // lets a scan pass them over); offset itself when the device cannot tell.
    virtual uint64_t FirstAnswering(uint64_t offset) { return offset; }
};

// RAM or ROM: plain bytes.
class BufferDevice final : public MemoryDevice {
public:
    BufferDevice(size_t size, uint8_t fill, bool readOnly);
    bool Read(uint64_t offset, uint8_t* data, size_t length) override;
    bool Write(uint64_t offset, const uint8_t* data, size_t length) override;
    uint8_t* Storage() override { return m_bytes.get(); }
    // Firmware models fill ROM through here (the bus itself cannot write ROM).
    bool Load(uint64_t offset, const uint8_t* data, size_t length);
    size_t Size() const { return m_size; }
private:
    struct Free {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    // Zero-filled memory comes from calloc: the system hands out pages of zeros as
    // they are first touched, so megabytes of board RAM nobody reads cost nothing.
    std::unique_ptr<uint8_t[], Free> m_bytes;
    size_t m_size;
    bool m_readOnly;
};

class PhysicalMemory final : public Component {
public:
    struct Region {
        uint64_t base = 0;
        uint64_t size = 0;
        std::string name;
        std::shared_ptr<MemoryDevice> device;
    };
    // Called once for every new PhysicalMemory, after the board's own regions.
    using RegionSource = std::function<void(Machine&, PhysicalMemory&)>;
    static void RegisterSource(RegionSource source);

    explicit PhysicalMemory(Machine& machine);

    // False (and reported) when the range is empty, wraps or overlaps a region.
    bool AddRegion(uint64_t base, uint64_t size, const std::string& name, std::shared_ptr<MemoryDevice> device);
    // The region holding the address, or null.
    const Region* Find(uint64_t address) const;
    std::vector<Region> Regions() const;

    // Unbacked bytes read as 0xFF; with the fault "memory-unbacked-fails" they fail.
    bool Read(uint64_t address, uint8_t* data, size_t length);
    // An address at or after address before which every byte reads as all ones (or
    // fails, unbacked): no region, or a region's silent stretch; ~0 when no region follows.
    uint64_t FirstAnswering(uint64_t address) const;
    bool Write(uint64_t address, const uint8_t* data, size_t length);

    // Contiguous blocks from the board's RAM pool ("memory"."pool"). Alignment 0
    // means a page; highest 0 means anywhere.
    bool Allocate(uint64_t size, uint64_t highest, uint64_t alignment, uint64_t* physical, uint8_t** storage);
    bool Free(uint64_t physical);

private:
    template <class Fn> bool Walk(uint64_t address, size_t length, Fn fn);

    Machine& m_machine;
    std::map<uint64_t, Region> m_regions;        // by base
    uint64_t m_poolBase = 0, m_poolSize = 0;
    uint8_t* m_poolStorage = nullptr;
    std::map<uint64_t, uint64_t> m_allocations; // physical -> size
};

// Bytes of a hex text ("80 08 0a" or "80080a"); false on a stray character.
bool ParseHexBytes(const QString& text, std::vector<uint8_t>* bytes);

} // namespace vb
