// Fuzz input: an SMBIOS structure table, placed behind an entry point in the BIOS area.
#include "FuzzBoard.h"
#include "FuzzMain.h"

#include "Engine/SMBIOS.h"

// The board and the driver, once for all inputs.
static void Start()
{
    fuzz::Start();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kTableAreaSize - 1)
        return 0;
    fuzz::ClearBiosArea();
    QByteArray entry(31, '\0');
    std::memcpy(entry.data(), "_SM_", 4);
    std::memcpy(entry.data() + 0x10, "_DMI_", 5);
    entry[0x16] = static_cast<char>(size & 0xFF);
    entry[0x17] = static_cast<char>(size >> 8);
    fuzz::Put32(entry, 0x18, static_cast<uint32_t>(fuzz::kTableArea));
    fuzz::Seal(entry, 4, 31);
    fuzz::LoadBiosArea(0xF0000, entry);
    fuzz::LoadTableArea(0, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    // Past the table's first checks: some structure was read.
    CSMBIOS smbios;
    if (smbios.Init() && (smbios.GetBIOSInfo().szVendor[0] || smbios.GetBaseBoardInfo().szManufacturer[0]
                          || smbios.GetProcessorCount() > 0))
        fuzz::Reached();
    return 0;
}

// Seeds: the structure table of the fixture, and the one the default board's
// firmware lays out (found through its entry point before any input replaces it).
[[maybe_unused]] static fuzz::Seeds Seeds()
{
    fuzz::Seeds seeds{{"qemu-pc", fuzz::Fixture("firmware/qemu-pc/smbios-2.8.bin")}};
    vb::PhysicalMemory& memory = vb::Machine::Instance().Get<vb::PhysicalMemory>();
    uint8_t entry[31] = {};
    for (uint64_t at = 0xF0000; at < 0x100000; at += 16) {
        if (!memory.Read(at, entry, sizeof entry) || std::memcmp(entry, "_SM_", 4) != 0)
            continue;
        const uint16_t length = static_cast<uint16_t>(entry[0x16] | entry[0x17] << 8);
        uint32_t address = 0;
        std::memcpy(&address, entry + 0x18, 4);
        QByteArray table(length, '\0');
        if (memory.Read(address, reinterpret_cast<uint8_t*>(table.data()), length))
            seeds.emplace_back("default-board", table);
        break;
    }
    return seeds;
}

#ifdef VELOCREST_LIBFUZZER
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Start();
    return 0;
}
#else
int main(int argc, char** argv) { return fuzz::Main(argc, argv, 4096, &Start, &Seeds); }
#endif
