#include "VirtualBoard/Firmware/FirmwareTables.h"

#include "AcpiBuilder.h"
#include "SmbiosBuilder.h"

#include "VirtualBoard/PhysicalMemory.h"
#include "VirtualBoard/Processor.h"

#include <algorithm>

namespace vb {

FirmwareTables::FirmwareTables(Machine& machine)
{
    const Processor& cpu = machine.Get<Processor>();
    const QJsonObject processor = machine.Section(QStringLiteral("processor"));
    const int sockets = std::max(1, static_cast<int>(ToU64(processor.value(QStringLiteral("sockets")), 1)));
    // The MCFG names the configuration window the PCI bus model serves.
    const QJsonObject ecam = machine.Section(QStringLiteral("pci")).value(QStringLiteral("ecam")).toObject();
    const uint64_t pciEcam = ToU64(ecam.value(QStringLiteral("base")), 0xE0000000);
    const uint64_t buses = ToU64(ecam.value(QStringLiteral("buses")), 256);

    tables::AcpiLayout acpi = tables::BuildAcpi(machine.Section(QStringLiteral("acpi")), machine.BoardDir(),
                                                cpu.CoreCount() * sockets, pciEcam,
                                                static_cast<uint8_t>(std::clamp<uint64_t>(buses, 1, 256) - 1));
    m_ecamBase = acpi.ecamBase;
    m_blobs = std::move(acpi.blobs);
    for (FirmwareBlob& b : tables::BuildSmbios(machine.Section(QStringLiteral("smbios")), machine.BoardDir(), cpu, sockets))
        m_blobs.push_back(std::move(b));
}

namespace {

// Blobs closer than this share one region of the address space.
const uint64_t kClusterGap = 1u << 20;

// Places the tables in the machine's physical memory: inside a region the board
// already has (its BIOS ROM), or in ROM regions of their own.
void PlaceTables(Machine& machine, PhysicalMemory& memory)
{
    std::vector<FirmwareBlob> blobs = machine.Get<FirmwareTables>().Blobs();
    std::vector<FirmwareBlob> loose;
    for (const FirmwareBlob& b : blobs) {
        if (b.bytes.isEmpty())
            continue;
        const PhysicalMemory::Region* r = memory.Find(b.address);
        auto* rom = r ? dynamic_cast<BufferDevice*>(r->device.get()) : nullptr;
        if (rom && b.address + b.bytes.size() <= r->base + r->size)
            rom->Load(b.address - r->base, reinterpret_cast<const uint8_t*>(b.bytes.constData()), b.bytes.size());
        else if (!r)
            loose.push_back(b);
        else
            Report(rtError, "VirtualBoard: %s at 0x%llx does not fit the memory there", b.what,
                   static_cast<unsigned long long>(b.address));
    }
    std::sort(loose.begin(), loose.end(), [](const FirmwareBlob& a, const FirmwareBlob& b) { return a.address < b.address; });
    for (size_t i = 0; i < loose.size();) {
        const uint64_t base = loose[i].address & ~uint64_t(0xFFF);
        uint64_t end = loose[i].address + loose[i].bytes.size();
        size_t j = i + 1;
        while (j < loose.size() && loose[j].address < end + kClusterGap) {
            end = std::max<uint64_t>(end, loose[j].address + loose[j].bytes.size());
            ++j;
        }
        auto rom = std::make_shared<BufferDevice>((end - base + 0xFFF) & ~uint64_t(0xFFF), 0, true);
        for (size_t k = i; k < j; ++k)
            rom->Load(loose[k].address - base, reinterpret_cast<const uint8_t*>(loose[k].bytes.constData()),
                      loose[k].bytes.size());
        memory.AddRegion(base, rom->Size(), "firmware-tables", rom);
        i = j;
    }
}

const bool g_placed = (PhysicalMemory::RegisterSource(&PlaceTables), true);

} // namespace

} // namespace vb
