#include "VirtualBoard/Firmware/FirmwareTables.h"

#include "AcpiBuilder.h"
#include "SmbiosBuilder.h"

#include "VirtualBoard/Processor.h"

#include <algorithm>
#include <cstring>

namespace vb {

FirmwareTables::FirmwareTables(Machine& machine)
{
    const Processor& cpu = machine.Get<Processor>();
    const QJsonObject processor = machine.Section(QStringLiteral("processor"));
    const int sockets = std::max(1, static_cast<int>(ToU64(processor.value(QStringLiteral("sockets")), 1)));
    const uint64_t pciEcam = ToU64(machine.Section(QStringLiteral("pci")).value(QStringLiteral("ecamBase")), 0xE0000000);

    tables::AcpiLayout acpi = tables::BuildAcpi(machine.Section(QStringLiteral("acpi")), machine.BoardDir(),
                                                cpu.CoreCount() * sockets, pciEcam);
    m_ecamBase = acpi.ecamBase;
    m_blobs = std::move(acpi.blobs);
    for (FirmwareBlob& b : tables::BuildSmbios(machine.Section(QStringLiteral("smbios")), machine.BoardDir(), cpu, sockets))
        m_blobs.push_back(std::move(b));
}

bool FirmwareTables::Read(uint64_t address, uint32_t length, uint8_t* out) const
{
    bool covered = false;
    const uint64_t end = address + length;
    for (const FirmwareBlob& b : m_blobs) {
        const uint64_t bEnd = b.address + static_cast<uint64_t>(b.bytes.size());
        const uint64_t from = std::max(address, b.address);
        const uint64_t to = std::min(end, bEnd);
        if (from >= to)
            continue;
        std::memcpy(out + (from - address), b.bytes.constData() + (from - b.address), to - from);
        covered = true;
    }
    return covered;
}

} // namespace vb
