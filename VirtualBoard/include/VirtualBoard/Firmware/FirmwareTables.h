#pragma once
// The firmware tables of the simulated board as they lie in physical memory: the
// ACPI root pointer and tables, and the SMBIOS entry point and structure table.
// Built from the board file's "acpi" and "smbios" sections, or around raw table
// images the board file names.
#include <QByteArray>

#include <cstdint>
#include <vector>

#include "VirtualBoard/Machine.h"

namespace vb {

struct FirmwareBlob {
    uint64_t address;
    QByteArray bytes;
    const char* what;           // "RSDP", "FACP", "SMBIOS table"...
};

class FirmwareTables final : public Component {
public:
    // Where the tables go: the root pointer and the entry point in the BIOS area
    // searched at start, the tables themselves just below the top of memory.
    static constexpr uint64_t kRsdpAddress = 0xF6A00;
    static constexpr uint64_t kSmbiosEntryAddress = 0xF6B00;
    static constexpr uint64_t kSmbiosTableAddress = 0xF7000;
    static constexpr uint64_t kAcpiTablesBase = 0xBFEF0000;

    explicit FirmwareTables(Machine& machine);

    const std::vector<FirmwareBlob>& Blobs() const { return m_blobs; }
    // Physical base of the PCI-express configuration window the MCFG names (0: none).
    uint64_t EcamBase() const { return m_ecamBase; }

private:
    std::vector<FirmwareBlob> m_blobs;
    uint64_t m_ecamBase = 0;
};

} // namespace vb
